// The virtual tables: how fields appear inside SQLite, and index use that never loses a
// row.
#include <gtest/gtest.h>

#include "empresa.h"
#include "base/rutas.h"
#include "support/entorno.h"

using namespace mostrador;
using namespace mostrador::prueba;
using dbf::FieldDef;
using Filas = std::vector<std::string>;

namespace {

const std::string kTipos = "\"C:\\Datos\\tipos.dbf\"";

void creaTipos() {
  base::creaDirectorios(kDatos);
  dbf::Table::create(kDatos, "tipos.dbf",
                     {{"TEXTO", 'C', 10, 0},
                      {"ENTERO", 'N', 8, 0},
                      {"DINERO", 'N', 10, 2},
                      {"FLOTA", 'F', 12, 3},
                      {"FECHA", 'D', 8, 0},
                      {"MARCA", 'L', 1, 0}},
                     {{"ENTERO", "ENTERO", false, false},
                      {"TEXTO", "TEXTO", false, false},
                      {"FECHA", "FECHA", false, false}});
  dbf::Table t;
  t.open(kDatos, "tipos.dbf");
  t.append();
  t.setText("TEXTO", "ñandú  ");
  t.setInteger("ENTERO", 54);
  t.setFloat("DINERO", 12.5);
  t.setFloat("FLOTA", -0.125);
  t.setDate("FECHA", dbf::Fecha{2001, 3, 5});
  t.setBool("MARCA", true);
  t.post();
  t.append();  // every field blank
  t.post();
  for (int i = 1; i <= 30; ++i) {
    t.append();
    t.setText("TEXTO", "K" + std::to_string(100 + i));
    t.setInteger("ENTERO", i);
    t.setFloat("DINERO", i * 1.5);
    t.setDate("FECHA", dbf::Fecha{2001, 1 + i % 12, 1 + i % 28});
    t.setBool("MARCA", i % 2 == 0);
    t.post();
  }
}

class Virtuales : public ::testing::Test {
 protected:
  void SetUp() override { creaTipos(); }
  DirectorioTemporal dir_;
  sql::BaseSql base_;
};

}  // namespace

TEST_F(Virtuales, FieldTypesInsideSqliteAndBlankAsNull) {
  EXPECT_EQ(filas(base_, "select typeof(TEXTO),typeof(ENTERO),typeof(DINERO),typeof(FLOTA),"
                         "typeof(FECHA),typeof(MARCA),TEXTO||'.',ENTERO,DINERO,FLOTA,'x'||FECHA,MARCA,"
                         "rowid from " + kTipos + " where rowid <= 2"),
            (Filas{"text|integer|real|real|text|integer|ñandú.|54|12.5|-0.125|x2001-03-05|1|1",
                   "null|null|null|null|null|null|||||||2"}));
  // Declared types: a quoted number compared with a numeric field is a number.
  EXPECT_EQ(filas(base_, "select count(*) from " + kTipos + " where ENTERO<>\"54\""), (Filas{"30"}));
  EXPECT_EQ(filas(base_, "select count(*) from " + kTipos + " where ENTERO>='9' and ENTERO<='10'"),
            (Filas{"2"}));
  EXPECT_EQ(filas(base_, "select count(*) from " + kTipos + " where DINERO=\"12.50\""), (Filas{"1"}));
  EXPECT_EQ(filas(base_, "select count(*) from " + kTipos + " where TEXTO IS NULL"), (Filas{"1"}));
}

TEST_F(Virtuales, DeletedRecordsAreNotSeen) {
  dbf::Table t;
  t.open(kDatos, "tipos.dbf");
  ASSERT_TRUE(t.goTo(3));
  t.remove();
  t.close();
  EXPECT_EQ(filas(base_, "select count(*), min(rowid) from " + kTipos + " where rowid > 2"),
            (Filas{"29|4"}));
  EXPECT_EQ(filas(base_, "select count(*) from " + kTipos + " where ENTERO = 1"), (Filas{"0"}));
}

TEST_F(Virtuales, ConstraintsOnTaggedFieldsGiveTheSameRowsAsAScan) {
  // Each condition is run as written (the index may be used) and with the field hidden
  // in a CAST (always a scan); the rows must be the same.
  struct Caso {
    std::string campo, condicion;
    std::string comoIso = {};  // the condition with its date written in ISO, for the CAST
  };
  // CAST keeps the column's affinity but is no longer a plain column.
  auto oculta = [](const std::string& campo) {
    return "CAST(" + campo + " AS " + (campo == "ENTERO" ? "INTEGER" : "TEXT") + ")";
  };
  const std::vector<Caso> casos = {
      {"ENTERO", "= 7"},           {"ENTERO", "= '7'"},        {"ENTERO", "> 25"},
      {"ENTERO", ">= 25.5"},       {"ENTERO", "< 3"},          {"ENTERO", "<= '3'"},
      {"ENTERO", "BETWEEN 4 AND 6"}, {"ENTERO", "= 'x'"},      {"ENTERO", "IN (2, 40, 5)"},
      {"TEXTO", "= 'K105'"},       {"TEXTO", "= 105"},         {"TEXTO", "> 'K125'"},
      {"TEXTO", "< 'K103'"},       {"TEXTO", ">= 'ña'"},       {"TEXTO", "BETWEEN 'K11' AND 'K12'"},
      {"FECHA", "= '2001-03-05'"}, {"FECHA", "> '3/5/2001'", "> '2001-03-05'"},
      {"FECHA", "<= '05/02/2001'", "<= '2001-02-05'"},
      {"FECHA", "> '2001-6'"},     {"FECHA", "= NULL"},
  };
  for (const auto& c : casos) {
    const std::string directo =
        "select rowid from " + kTipos + " where " + c.campo + " " + c.condicion + " order by rowid";
    const std::string oculto = "select rowid from " + kTipos + " where " + oculta(c.campo) + " " +
                               (c.comoIso.empty() ? c.condicion : c.comoIso) + " order by rowid";
    EXPECT_EQ(filas(base_, directo), filas(base_, oculto)) << c.campo << " " << c.condicion;
  }
  EXPECT_EQ(filas(base_, "select rowid from " + kTipos + " where FECHA = '2001-03-05'"),
            (Filas{"1"}));
  // Equality on a tagged field goes through its tag; a hidden field does not.
  auto plan = [&](const std::string& cond) {
    return filas(base_, "EXPLAIN QUERY PLAN select * from " + kTipos + " T where " + cond).at(0);
  };
  EXPECT_EQ(plan("ENTERO = 7"), "2|0|0|SCAN T VIRTUAL TABLE INDEX 17:");
  EXPECT_EQ(plan("TEXTO > 'K1' and TEXTO < 'K2'"), "2|0|0|SCAN T VIRTUAL TABLE INDEX 38:");
  EXPECT_EQ(plan("FECHA >= '2001-01-01'"), "2|0|0|SCAN T VIRTUAL TABLE INDEX 50:");
  EXPECT_EQ(plan("+ENTERO = 7"), "2|0|0|SCAN T VIRTUAL TABLE INDEX 0:");
  EXPECT_EQ(plan("DINERO = 7"), "2|0|0|SCAN T VIRTUAL TABLE INDEX 0:");
}

TEST_F(Virtuales, ResultCursorReadsLikeATable) {
  auto r = base_.consulta("select TEXTO, ENTERO, DINERO, FECHA, MARCA, DINERO*2 AS DOBLE, "
                          "FECHA AS F2, max(FECHA) over () AS MAXIMA, 'x' || TEXTO AS X, NULL AS N "
                          "from " + kTipos + " where rowid <= 3 order by rowid");
  EXPECT_EQ(r->fieldDefs(), (std::vector<FieldDef>{{"TEXTO", 'C', 10, 0},
                                                   {"ENTERO", 'N', 8, 0},
                                                   {"DINERO", 'N', 10, 2},
                                                   {"FECHA", 'D', 8, 0},
                                                   {"MARCA", 'L', 1, 0},
                                                   {"DOBLE", 'N', 20, 4},
                                                   {"F2", 'D', 8, 0},
                                                   {"MAXIMA", 'D', 8, 0},
                                                   {"X", 'C', 6, 0},
                                                   {"N", 'C', 1, 0}}));
  EXPECT_EQ(r->recordCount(), 3);
  EXPECT_TRUE(r->bof());
  EXPECT_FALSE(r->eof());
  EXPECT_EQ(r->asText("TEXTO"), "ñandú");
  EXPECT_EQ(r->asInteger("ENTERO"), 54);
  EXPECT_EQ(r->asFloat("DINERO"), 12.5);
  EXPECT_EQ(r->asText("FECHA"), "05/03/2001");
  EXPECT_EQ(r->asDate("F2"), (dbf::Fecha{2001, 3, 5}));
  EXPECT_TRUE(r->asBool("MARCA"));
  EXPECT_EQ(r->asText("DOBLE"), "25");
  EXPECT_EQ(r->asText("MAXIMA"), "05/03/2001");
  EXPECT_EQ(r->fieldIndex("x"), 8);
  EXPECT_THROW(r->asText("NADA"), dbf::Error);

  r->next();
  EXPECT_FALSE(r->bof());
  EXPECT_TRUE(r->isNull("TEXTO"));
  EXPECT_EQ(r->asText("ENTERO"), "");
  EXPECT_EQ(r->asFloat("ENTERO"), 0);
  EXPECT_EQ(r->asDate("FECHA"), std::nullopt);
  EXPECT_FALSE(r->asBool("MARCA"));
  r->next();
  EXPECT_EQ(r->asText("TEXTO"), "K101");
  r->next();  // past the last row: eof, still on it
  EXPECT_TRUE(r->eof());
  EXPECT_EQ(r->asText("TEXTO"), "K101");
  r->prior();
  EXPECT_FALSE(r->eof());
  EXPECT_TRUE(r->isNull("TEXTO"));
  r->first();
  r->prior();
  EXPECT_TRUE(r->bof());
  EXPECT_EQ(r->asInteger("ENTERO"), 54);
  r->last();
  EXPECT_TRUE(r->eof());
  EXPECT_EQ(r->asText("TEXTO"), "K101");
  r->moveBy(-2);
  EXPECT_EQ(r->asInteger("ENTERO"), 54);

  auto vacio = base_.consulta("select TEXTO from " + kTipos + " where 0");
  EXPECT_TRUE(vacio->eof());
  EXPECT_TRUE(vacio->bof());
  EXPECT_EQ(vacio->recordCount(), 0);
  EXPECT_EQ(vacio->asText(0), "");
}
