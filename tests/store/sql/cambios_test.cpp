// Statements that change tables: they go through the engine, and a failure leaves the
// table as it was.
#include <gtest/gtest.h>

#include <filesystem>

#include "empresa.h"
#include "base/rutas.h"
#include "support/entorno.h"

using namespace mostrador;
using namespace mostrador::prueba;
using dbf::FieldDef;
using dbf::TagDef;
using Filas = std::vector<std::string>;

namespace {

class Cambios : public ::testing::Test {
 protected:
  void SetUp() override { creaEmpresa(); }
  std::string de(const std::string& archivo) { return "\"" + tabla(archivo) + "\""; }
  std::string error(const std::string& s) {
    try {
      base_.ejecuta(s);
    } catch (const dbf::Error& e) {
      return e.what();
    }
    return "sin error";
  }
  // Field definitions and every record of a table, to prove a failure changed nothing.
  std::string foto(const std::string& archivo) {
    dbf::Table t;
    t.open(kDatos, archivo);
    std::string r;
    for (const auto& f : t.fieldDefs())
      r += f.name + " " + f.type + std::to_string(f.length) + "," + std::to_string(f.decimals) + ";";
    for (const auto& tag : t.tags()) r += "[" + tag.name + ":" + tag.key + "]";
    const auto& defs = t.fieldDefs();
    for (t.first(); !t.eof(); t.next()) {
      r += "\n";
      for (size_t i = 0; i < defs.size(); ++i) {
        int c = static_cast<int>(i);
        if (i) r += "|";
        if (t.isNull(c)) continue;
        if (defs[i].type == 'N' || defs[i].type == 'F') r += sql::textoDeNumero(t.asFloat(c));
        else if (defs[i].type == 'D') r += dbf::fechaCorta(*t.asDate(c));
        else r += t.asText(c);
      }
    }
    return r;
  }
  DirectorioTemporal dir_;
  sql::BaseSql base_;
};

}  // namespace

TEST_F(Cambios, CreateTableAsTheScratchTablesAreCreated) {
  EXPECT_EQ(base_.ejecuta("CREATE TABLE " + de("MI.dbf") +
                          " (CLAVE CHAR(20),ANTERIOR NUMERIC(10,3),REALES NUMERIC(10,3),ACTUAL "
                          "NUMERIC(10,3),OTRO CHAR(1),PRIMARY KEY(CLAVE))"),
            0);
  dbf::Table mi;
  mi.open(kDatos, "MI.dbf");
  EXPECT_EQ(mi.fieldDefs(), (std::vector<FieldDef>{{"CLAVE", 'C', 20, 0},
                                                   {"ANTERIOR", 'N', 10, 3},
                                                   {"REALES", 'N', 10, 3},
                                                   {"ACTUAL", 'N', 10, 3},
                                                   {"OTRO", 'C', 1, 0}}));
  EXPECT_EQ(mi.tags(), (std::vector<TagDef>{{"CLAVE", "CLAVE", true, false}}));
  mi.close();

  // Names longer than ten characters keep their first ten, as dBASE stores them.
  base_.ejecuta("CREATE TABLE \"C:\\Datos\\Ajuste.dbf\" (CLAVE CHAR(20),DESCRIPCIO CHAR(25),"
                "TEORICO NUMERIC(10,2),VALOR_TEORICO NUMERIC(10,2),FECHA DATE,PRECIO FLOAT(8,2),"
                "MARCA BOOLEAN)");
  base_.ejecuta("CREATE INDEX CLAVE ON \"C:\\Datos\\Ajuste.dbf\" (CLAVE)");
  dbf::Table aj;
  aj.open(kDatos, "ajuste.dbf");
  EXPECT_EQ(aj.fieldDefs(), (std::vector<FieldDef>{{"CLAVE", 'C', 20, 0},
                                                   {"DESCRIPCIO", 'C', 25, 0},
                                                   {"TEORICO", 'N', 10, 2},
                                                   {"VALOR_TEOR", 'N', 10, 2},
                                                   {"FECHA", 'D', 8, 0},
                                                   {"PRECIO", 'F', 8, 2},
                                                   {"MARCA", 'L', 1, 0}}));
  EXPECT_EQ(aj.tags(), (std::vector<TagDef>{{"CLAVE", "CLAVE", false, false}}));

  // The counters: two blanks after the name, path without quotes problems.
  base_.ejecuta("CREATE TABLE " + de("numero.dbf") + " (NUMERO  NUMERIC(8,0))");
  EXPECT_EQ(base_.ejecuta("INSERT INTO " + de("numero.dbf") + " (NUMERO) VALUES (4)"), 1);
  EXPECT_EQ(filas(base_, "select NUMERO+1 from " + de("numero.dbf")), (Filas{"5"}));
}

TEST_F(Cambios, CreateTableFailuresLeaveThingsAsTheyWere) {
  const std::string antes = foto("cliente.dbf");
  EXPECT_EQ(error("CREATE TABLE " + de("cliente.dbf") + " (A CHAR(5))"),
            "La tabla C:\\Datos\\cliente.dbf ya existe");
  EXPECT_EQ(foto("cliente.dbf"), antes);
  EXPECT_EQ(error("CREATE TABLE " + de("t.dbf") + " (A CHAR(5),B ,C DATE)"), "Falta el tipo del campo B");
  EXPECT_EQ(error("CREATE TABLE " + de("t.dbf") + " (A CHAR(5),B BLOB)"),
            "Tipo BLOB no reconocido para el campo B");
  EXPECT_EQ(error("CREATE TABLE " + de("t.dbf") + " (A CHAR(300))"),
            "Tamaño no válido para el campo A: 300");
  EXPECT_EQ(error("CREATE TABLE " + de("t.dbf") + " (A CHAR(5),a NUMERIC(4,0))"),
            "Campo duplicado A");
  EXPECT_EQ(error("CREATE TABLE " + de("t.dbf") + " (A CHAR(5),PRIMARY KEY(B))"),
            "Campo B no encontrado");
  EXPECT_EQ(error("CREATE TABLE " + de("t.dbf") + " (A CHAR(5)"),
            "Se esperaba \")\" al final de la sentencia");
  EXPECT_FALSE(base::existe(tabla("t.dbf")));
}

TEST_F(Cambios, KeyConversionAlterTableKeepsTheOtherFields) {
  const std::string cliente = de("cliente.dbf");
  base_.ejecuta("ALTER TABLE " + cliente + " DROP CLCLI_C, ADD CLCLI_C NUMERIC(10,0)");
  base_.ejecuta("CREATE INDEX ICLACLI ON " + cliente + " (CLCLI_C)");
  EXPECT_EQ(foto("cliente.dbf"),
            "NOMBR_C C60,0;SALDO_C N12,2;FULCO_C D8,0;CLCLI_C N10,0;"
            "[NOMBR_C:NOMBR_C][ICLACLI:CLCLI_C]"
            "\nMOSTRADOR|0|05/03/2001|\nFERRETERIA|250.5|06/03/2001|"
            "\nABARROTES|120|01/02/2001|\nZAPATERIA|99||");
  // The new key takes numbers, found through the new tag.
  EXPECT_EQ(base_.ejecuta("UPDATE " + cliente + " SET CLCLI_C = 12 WHERE NOMBR_C = \"ABARROTES\""), 1);
  dbf::Table t;
  t.open(kDatos, "cliente.dbf");
  t.setIndex("ICLACLI");
  ASSERT_TRUE(t.findKey({12.0}));
  EXPECT_EQ(t.asText("NOMBR_C"), "ABARROTES");
  t.close();
  // And back to text.
  base_.ejecuta("ALTER TABLE " + cliente + " DROP CLCLI_C, ADD CLCLI_C CHAR(10)");
  EXPECT_EQ(foto("cliente.dbf").substr(0, 55),
            "NOMBR_C C60,0;SALDO_C N12,2;FULCO_C D8,0;CLCLI_C C10,0;");
  // No scratch folder is left behind.
  for (const auto& n : base::lista(kDatos, "_*")) ADD_FAILURE() << n;
}

TEST_F(Cambios, AlterTableFailuresLeaveTheTableIntact) {
  const std::string antes = foto("cliente.dbf");
  const std::string cliente = de("cliente.dbf");
  EXPECT_EQ(error("ALTER TABLE " + cliente + " DROP NOEXISTE"), "Campo NOEXISTE no encontrado");
  EXPECT_EQ(error("ALTER TABLE " + cliente + " ADD NOMBR_C CHAR(5)"), "El campo NOMBR_C ya existe");
  EXPECT_EQ(error("ALTER TABLE " + cliente + " DROP SALDO_C, ADD X MONEDA"),
            "Tipo MONEDA no reconocido para el campo X");
  EXPECT_EQ(error("ALTER TABLE " + cliente + " RENAME X"),
            "Se esperaba DROP o ADD cerca de \"RENAME\"");
  EXPECT_EQ(error("ALTER TABLE " + de("nada.dbf") + " DROP X"),
            "No existe la tabla C:\\Datos\\nada.dbf");
  {
    // Another handle has the table open: no exclusive use, nothing changes.
    dbf::Table abierta;
    abierta.open(kDatos, "cliente.dbf");
    EXPECT_THROW(base_.ejecuta("ALTER TABLE " + cliente + " DROP SALDO_C"), dbf::Error);
  }
  EXPECT_EQ(foto("cliente.dbf"), antes);
  for (const auto& n : base::lista(kDatos, "_*")) ADD_FAILURE() << n;
}

TEST_F(Cambios, DropTableAndIndexes) {
  base_.ejecuta("CREATE INDEX SALDO ON " + de("cliente.dbf") + " (SALDO_C, NOMBR_C DESC)");
  dbf::Table t;
  t.open(kDatos, "cliente.dbf");
  EXPECT_EQ(t.tags().back(), (TagDef{"SALDO", "SALDO_C;NOMBR_C", false, true}));
  t.close();
  base_.ejecuta("DROP INDEX " + de("cliente.dbf") + ".saldo");
  base_.ejecuta("DROP INDEX NOMBR_C ON " + de("cliente.dbf"));
  t.open(kDatos, "cliente.dbf");
  EXPECT_EQ(t.tags(), (std::vector<TagDef>{{"ICLACLI", "CLCLI_C", false, false}}));
  t.close();
  EXPECT_EQ(error("DROP INDEX " + de("cliente.dbf") + ".SALDO"),
            "No existe el índice SALDO en la tabla C:\\Datos\\cliente.dbf");
  EXPECT_EQ(error("CREATE INDEX X ON " + de("cliente.dbf") + " (NADA)"), "Campo NADA no encontrado");

  base_.ejecuta("DROP TABLE " + de("cliente.dbf"));
  EXPECT_FALSE(base::existe(tabla("cliente.dbf")));
  EXPECT_FALSE(base::existe(tabla("cliente.mdx")));
  EXPECT_EQ(error("DROP TABLE " + de("cliente.dbf")), "No existe la tabla C:\\Datos\\cliente.dbf");
}

TEST_F(Cambios, InsertValuesAndSelect) {
  const std::string cliente = de("cliente.dbf");
  EXPECT_EQ(base_.ejecuta("INSERT INTO " + cliente +
                          " (CLCLI_C, NOMBR_C, SALDO_C, FULCO_C) VALUES (20, \"NUEVO\", '15.5', "
                          "'3/5/2001'), ('21', 'OTRO', NULL, \"05/03/2001\")"),
            2);
  EXPECT_EQ(base_.ejecuta("INSERT INTO " + cliente + " VALUES ('22', 'FECHA ISO', 1, '2001-12-31')"), 1);
  EXPECT_EQ(filas(base_, "select CLCLI_C,NOMBR_C,SALDO_C,FULCO_C from " + cliente +
                             " where CLCLI_C between '20' and '22' order by CLCLI_C"),
            (Filas{"20|NUEVO|15.5|05/03/2001", "21|OTRO||05/03/2001", "22|FECHA ISO|1|31/12/2001"}));
  // The new records are in the tags.
  dbf::Table t;
  t.open(kDatos, "cliente.dbf");
  t.setIndex("NOMBR_C");
  ASSERT_TRUE(t.findKey({std::string("NUEVO")}));
  EXPECT_EQ(t.asText("CLCLI_C"), "20");
  t.close();

  // INSERT ... SELECT from another table.
  base_.ejecuta("CREATE TABLE " + de("copia.dbf") + " (CLAVE CHAR(20),EXIST NUMERIC(10,2),ALTA DATE)");
  EXPECT_EQ(base_.ejecuta("INSERT INTO " + de("copia.dbf") + " SELECT CLPRO_I,EXIST_I,FEALT_I FROM " +
                          de("inventar.dbf") + " WHERE EXIST_I > 0"),
            2);
  EXPECT_EQ(filasOrdenadas(base_, "select * from " + de("copia.dbf")),
            (Filas{"A1|100|10/01/2000", "B2|5|01/06/2000"}));
  EXPECT_EQ(base_.ejecuta("INSERT INTO " + de("copia.dbf") + " (CLAVE) (SELECT CLCLI_C FROM " +
                          de("cliente.dbf") + " WHERE SALDO_C > 200)"),
            1);
  EXPECT_EQ(filas(base_, "select CLAVE, EXIST, ALTA from " + de("copia.dbf") + " where EXIST IS NULL"),
            (Filas{"7||"}));
}

TEST_F(Cambios, InsertThatDoesNotFitWritesNothing) {
  const std::string antes = foto("cliente.dbf");
  const std::string cliente = de("cliente.dbf");
  EXPECT_EQ(error("INSERT INTO " + cliente + " (CLCLI_C, SALDO_C) VALUES ('30', 1), ('31', 'mucho')"),
            "Valor no válido para el campo SALDO_C: 'mucho'");
  EXPECT_EQ(error("INSERT INTO " + cliente + " (CLCLI_C, FULCO_C) VALUES ('30', '31/02/2001')"),
            "Valor no válido para el campo FULCO_C: '31/02/2001'");
  EXPECT_EQ(error("INSERT INTO " + cliente + " (CLCLI_C, NADA) VALUES ('30', 1)"),
            "Campo NADA no encontrado");
  EXPECT_EQ(error("INSERT INTO " + cliente + " (CLCLI_C, NOMBR_C) VALUES ('30')"),
            "El número de valores (1) no coincide con el de campos (2)");
  EXPECT_EQ(foto("cliente.dbf"), antes);
}

TEST_F(Cambios, UpdateAndDeleteThroughTheEngine) {
  const std::string inventar = de("inventar.dbf");
  EXPECT_EQ(base_.ejecuta("UPDATE " + inventar +
                          " I SET EXIST_I = I.EXIST_I + 1, FEALT_I = '3/5/2001', DSCPR_I = "
                          "DSCPR_I || ' ' || LIPRO_I WHERE LIPRO_I = \"FERR\""),
            2);
  EXPECT_EQ(filas(base_, "select CLPRO_I,DSCPR_I,EXIST_I,FEALT_I from " + inventar + " order by CLPRO_I"),
            (Filas{"A1|TORNILLO FERR|101|05/03/2001", "B2|MARTILLO|5|01/06/2000",
                   "C3|CLAVO FERR|1|05/03/2001", "D4|SERRUCHO|-2|"}));
  // The tag on the description follows the change.
  dbf::Table t;
  t.open(kDatos, "inventar.dbf");
  t.setIndex("DSCPR_I");
  EXPECT_TRUE(t.findKey({std::string("CLAVO FERR")}));
  t.close();

  // A value that does not fit fails before any record changes.
  const std::string antes = foto("inventar.dbf");
  EXPECT_EQ(error("UPDATE " + inventar + " SET EXIST_I = 'x' || CLPRO_I"),
            "Valor no válido para el campo EXIST_I: 'xA1'");
  EXPECT_EQ(error("UPDATE " + inventar + " SET NADA = 1"), "Campo NADA no encontrado");
  EXPECT_EQ(foto("inventar.dbf"), antes);

  EXPECT_EQ(base_.ejecuta("DELETE FROM " + inventar + " WHERE EXIST_I < 5"), 2);
  EXPECT_EQ(filas(base_, "select CLPRO_I from " + inventar + " order by CLPRO_I"), (Filas{"A1", "B2"}));
  EXPECT_EQ(base_.ejecuta("DELETE FROM " + de("retiros.dbf")), 4);
  EXPECT_EQ(filas(base_, "select count(*) from " + de("retiros.dbf")), (Filas{"0"}));
  EXPECT_EQ(base_.ejecuta("UPDATE " + inventar + " SET EXIST_I = 0 WHERE 1 = 0"), 0);
}
