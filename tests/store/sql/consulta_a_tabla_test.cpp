// The query-to-table service behind the catalogue browser's custom reports.
#include <gtest/gtest.h>

#include "empresa.h"
#include "base/rutas.h"
#include "base/texto.h"
#include "store/sql/consulta_a_tabla.h"
#include "support/entorno.h"

using namespace mostrador;
using namespace mostrador::prueba;
using dbf::FieldDef;
using Filas = std::vector<std::string>;

TEST(ConsultaATabla, StoresTheResultAsTempoInTheSystemDirectory) {
  DirectorioTemporal dir;
  creaEmpresa();
  base::creaDirectorios("C:\\TVK\\report");
  base::escribeLineas("C:\\TVK\\report\\tempo.sql",
                       {"% productos con existencia", "Select CLPRO_I,DSCPR_I,EXIST_I,FEALT_I,",
                        "COUNT(*) AS VECES, 10000 AS GRANDE, CLPRO_I, SUM(EXIST_I*2)/2",
                        "from \"C:\\Datos\\inventar.dbf\" where EXIST_I>0",
                        "%otra nota", "group by CLPRO_I order by CLPRO_I"});
  sql::BaseSql base;
  EXPECT_EQ(sql::ConsultaATabla(base, "C:\\TVK\\report\\tempo.sql", "C:\\TVK"), "C:\\TVK\\tempo.dbf");
  dbf::Table t;
  t.open("C:\\TVK", "tempo.dbf");
  EXPECT_EQ(t.fieldDefs(), (std::vector<FieldDef>{{"CLPRO_I", 'C', 20, 0},
                                                  {"DSCPR_I", 'C', 30, 0},
                                                  {"EXIST_I", 'F', 8, 2},
                                                  {"FEALT_I", 'D', 8, 0},
                                                  {"VECES", 'N', 6, 2},
                                                  {"GRANDE", 'N', 8, 2},
                                                  {"CLPRO_I_1", 'C', 20, 0},
                                                  {"SUM_EXIST_", 'F', 8, 2}}));
  EXPECT_EQ(filas(base, "select * from \"C:\\TVK\\tempo.dbf\""),
            (Filas{"A1|TORNILLO|100|10/01/2000|1|10000|A1|100",
                   "B2|MARTILLO|5|01/06/2000|1|10000|B2|5"}));
  t.close();

  // A second run replaces the table.
  base::escribeLineas("C:\\TVK\\report\\tempo.sql",
                       {"Select NOMBR_C from \"C:\\Datos\\cliente.dbf\" where SALDO_C > 100"});
  sql::ConsultaATabla(base, "C:\\TVK\\report\\tempo.sql", "C:\\TVK");
  EXPECT_EQ(filas(base, "select * from \"C:\\TVK\\tempo.dbf\""), (Filas{"FERRETERIA", "ABARROTES"}));
}

TEST(ConsultaATabla, ALogicalColumnHasNoTypeAndNoTableIsCreated) {
  DirectorioTemporal dir;
  creaEmpresa();
  dbf::Table::create(kDatos, "marcas.dbf", {{"CLAVE", 'C', 5, 0}, {"ACTIVO", 'L', 1, 0}});
  agrega(kDatos, "marcas.dbf", {{{"CLAVE", std::string("A")}}});
  base::creaDirectorios("C:\\TVK");
  base::escribeLineas("C:\\TVK\\uno.sql", {"Select CLPRO_I from \"C:\\Datos\\inventar.dbf\""});
  base::escribeLineas("C:\\TVK\\dos.sql", {"Select CLAVE, ACTIVO from \"C:\\Datos\\marcas.dbf\""});
  sql::BaseSql base;
  sql::ConsultaATabla(base, "C:\\TVK\\uno.sql", "C:\\TVK");
  ASSERT_TRUE(base::existe("C:\\TVK\\tempo.dbf"));
  try {
    sql::ConsultaATabla(base, "C:\\TVK\\dos.sql", "C:\\TVK");
    FAIL();
  } catch (const sql::Error& e) {
    EXPECT_STREQ(e.what(), "Falta el tipo del campo ACTIVO");
  }
  EXPECT_FALSE(base::existe("C:\\TVK\\tempo.dbf"));
  try {
    sql::ConsultaATabla(base, "C:\\TVK\\no.sql", "C:\\TVK");
    FAIL();
  } catch (const sql::Error& e) {
    EXPECT_STREQ(e.what(), "No existe el archivo de consulta C:\\TVK\\no.sql");
  }
}

TEST(ConsultaATabla, ColumnTypesByKind) {
  using sql::tipoDeColumna;
  EXPECT_EQ(tipoDeColumna({"A", 'C', 12, 0}), "CHAR(12)");
  EXPECT_EQ(tipoDeColumna({"A", 'N', 4, 0}), "NUMERIC(6,2)");
  EXPECT_EQ(tipoDeColumna({"A", 'N', 9, 0}), "NUMERIC(8,2)");
  EXPECT_EQ(tipoDeColumna({"A", 'N', 10, 0}), "FLOAT(8,2)");
  EXPECT_EQ(tipoDeColumna({"A", 'N', 5, 2}), "FLOAT(8,2)");
  EXPECT_EQ(tipoDeColumna({"A", 'N', 20, 4}), "FLOAT(8,2)");
  EXPECT_EQ(tipoDeColumna({"A", 'F', 12, 0}), "FLOAT(8,2)");
  EXPECT_EQ(tipoDeColumna({"A", 'D', 8, 0}), "DATE");
  EXPECT_EQ(tipoDeColumna({"A", 'L', 1, 0}), "");
}
