// Date-time fields in the local SQL: their text inside SQLite, literals compared with
// them, the result cursor, statements that write them, and the query-to-table service.
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

namespace {

const std::string kEventos = "\"C:\\Datos\\eventos.dbf\"";

dbf::FechaHora fh(int a, int m, int d, int h = 0, int mi = 0, int s = 0, int ms = 0) {
  return dbf::FechaHora{base::Fecha{a, m, d}, base::Hora{h, mi, s, ms}};
}

std::string mensajeDe(const std::function<void()>& f) {
  try {
    f();
  } catch (const dbf::Error& e) {
    return e.what();
  }
  return "(sin error)";
}

class FechaHoraSql : public ::testing::Test {
 protected:
  void SetUp() override {
    base::creaDirectorios(kDatos);
    dbf::Table::create(kDatos, "eventos.dbf",
                       {{"CLAVE", 'C', 4, 0}, {"MOMENTO", '@', 8, 0}, {"FECHA", 'D', 8, 0}},
                       {{"IMOMENTO", "MOMENTO"}});
    dbf::Table t;
    t.open(kDatos, "eventos.dbf");
    const std::vector<std::pair<std::string, std::optional<dbf::FechaHora>>> datos = {
        {"A", fh(2026, 12, 11, 13, 45, 30, 250)},
        {"B", std::nullopt},
        {"C", fh(2000, 1, 1, 12)},
        {"D", fh(2026, 12, 11, 8, 5, 9)},
    };
    for (const auto& [clave, momento] : datos) {
      t.append();
      t.setText("CLAVE", clave);
      t.setDateTime("MOMENTO", momento);
      t.setDate("FECHA", dbf::Fecha{2026, 12, 10});
      t.post();
    }
  }
  DirectorioTemporal dir_;
  sql::BaseSql base_;
};

}  // namespace

TEST_F(FechaHoraSql, InsideSqliteADateTimeIsIsoTextAndABlankOneIsNull) {
  EXPECT_EQ(filas(base_, "select CLAVE, typeof(MOMENTO), 'x'||MOMENTO from " + kEventos + " order by rowid"),
            (Filas{"A|text|x2026-12-11 13:45:30", "B|null|", "C|text|x2000-01-01 12:00:00",
                   "D|text|x2026-12-11 08:05:09"}));
  // SQLite's date functions take it as it is.
  EXPECT_EQ(filas(base_, "select date(MOMENTO), strftime('%H%M', MOMENTO), julianday(MOMENTO) from " +
                             kEventos + " where CLAVE = 'C'"),
            (Filas{"01/01/2000|1200|2451545"}));
  EXPECT_EQ(filas(base_, "select count(*) from " + kEventos + " where MOMENTO IS NULL"), (Filas{"1"}));
  // Date and date-time: days with their fraction.
  EXPECT_EQ(filas(base_, "select MOMENTO - '12/31/1999', MOMENTO - FECHA from " + kEventos +
                             " where CLAVE = 'C'"),
            (Filas{"1.5|-9839.5"}));
}

TEST_F(FechaHoraSql, LiteralsComparedWithADateTimeBecomeIso) {
  auto claves = [&](const std::string& condicion) {
    return filas(base_, "select CLAVE from " + kEventos + " where " + condicion + " order by CLAVE");
  };
  EXPECT_EQ(claves("MOMENTO >= '12/11/2026'"), (Filas{"A", "D"}));  // the SQL date text
  EXPECT_EQ(claves("MOMENTO < '11/12/2026'"), (Filas{"C"}));         // 12 November 2026
  EXPECT_EQ(claves("MOMENTO > \"2026-12-11 08:05:09\""), (Filas{"A"}));
  EXPECT_EQ(claves("MOMENTO = '12/11/2026 8:05:09'"), (Filas{"D"}));
  EXPECT_EQ(claves("MOMENTO BETWEEN '01/01/2000 12:00' AND '2026-12-11T09:00:00'"), (Filas{"C", "D"}));
  EXPECT_EQ(claves("MOMENTO IN ('2000-01-01 12:00:00', '12/11/2026 13:45:30')"), (Filas{"A", "C"}));
  // A tag on the field is never used to look it up: the text leaves out milliseconds.
  EXPECT_EQ(filas(base_, "EXPLAIN QUERY PLAN select * from " + kEventos + " T where MOMENTO = 'x'").at(0),
            "2|0|0|SCAN T VIRTUAL TABLE INDEX 0:");
}

TEST_F(FechaHoraSql, TheResultKeepsTheTypeAndReadsLikeTheTable) {
  auto r = base_.consulta("select MOMENTO, max(MOMENTO) over () AS ULTIMO, 'x' || MOMENTO AS X from " +
                          kEventos + " order by rowid");
  EXPECT_EQ(r->fieldDefs(), (std::vector<FieldDef>{{"MOMENTO", '@', 8, 0},
                                                   {"ULTIMO", '@', 8, 0},
                                                   {"X", 'C', 20, 0}}));
  EXPECT_EQ(r->asText("MOMENTO"), "11/12/2026 13:45:30");
  EXPECT_EQ(r->asDateTime("MOMENTO"), fh(2026, 12, 11, 13, 45, 30));  // SQL keeps whole seconds
  EXPECT_EQ(r->asDate("MOMENTO"), (dbf::Fecha{2026, 12, 11}));
  EXPECT_EQ(r->asText("ULTIMO"), "11/12/2026 13:45:30");
  EXPECT_EQ(r->asText("X"), "x2026-12-11 13:45:30");
  EXPECT_EQ(r->asDateTime("X"), std::nullopt);
  r->next();
  EXPECT_TRUE(r->isNull("MOMENTO"));
  EXPECT_EQ(r->asText("MOMENTO"), "");
  EXPECT_EQ(r->asDateTime("MOMENTO"), std::nullopt);
}

TEST_F(FechaHoraSql, StatementsWriteDateTimesThroughTheEngine) {
  EXPECT_EQ(base_.ejecuta("insert into " + kEventos + " (CLAVE, MOMENTO) values "
                          "('E', '2026-12-11 23:59:59'), ('F', '11/12/2026 07:30'), ('G', '3/5/2001'), "
                          "('H', NULL)"),
            4);
  EXPECT_EQ(base_.ejecuta("update " + kEventos + " set MOMENTO = NULL where CLAVE = 'A'"), 1);
  EXPECT_EQ(base_.ejecuta("update " + kEventos + " set FECHA = MOMENTO where CLAVE = 'C'"), 1);
  EXPECT_EQ(mensajeDe([&] { base_.ejecuta("update " + kEventos + " set MOMENTO = 'ayer'"); }),
            "Valor no válido para el campo MOMENTO: 'ayer'");
  EXPECT_EQ(mensajeDe([&] { base_.ejecuta("update " + kEventos + " set MOMENTO = 5"); }),
            "Valor no válido para el campo MOMENTO: 5");

  dbf::Table t;
  t.open(kDatos, "eventos.dbf");
  t.setIndex("IMOMENTO");
  std::vector<std::string> orden;
  for (t.first(); !t.eof(); t.next()) orden.push_back(t.asText("CLAVE") + " " + t.asText("MOMENTO"));
  EXPECT_EQ(orden, (std::vector<std::string>{"A ", "B ", "H ", "C 01/01/2000 12:00:00", "G 05/03/2001 00:00:00",
                                             "F 12/11/2026 07:30:00",  // m/d/yyyy: 12 November
                                             "D 11/12/2026 08:05:09", "E 11/12/2026 23:59:59"}));
  t.setIndex("");
  t.goTo(3);
  EXPECT_EQ(t.asText("FECHA"), "01/01/2000");
}

TEST_F(FechaHoraSql, CreateTableAndTheQueryToTableService) {
  base_.ejecuta("create table \"C:\\Datos\\bitac.dbf\" (QUIEN CHAR(5), CUANDO TIMESTAMP, DIA DATE)");
  dbf::Table t;
  t.open(kDatos, "bitac.dbf");
  EXPECT_EQ(t.fieldDefs(), (std::vector<FieldDef>{{"QUIEN", 'C', 5, 0}, {"CUANDO", '@', 8, 0}, {"DIA", 'D', 8, 0}}));
  t.close();
  EXPECT_EQ(sql::tipoDeColumna({"A", '@', 8, 0}), "TIMESTAMP");

  base::creaDirectorios("C:\\TVK\\report");
  base::escribeLineas("C:\\TVK\\report\\ev.sql",
                      {"select CLAVE, MOMENTO from \"C:\\Datos\\eventos.dbf\" order by CLAVE"});
  EXPECT_EQ(sql::ConsultaATabla(base_, "C:\\TVK\\report\\ev.sql", "C:\\TVK"), "C:\\TVK\\tempo.dbf");
  t.open("C:\\TVK", "tempo.dbf");
  EXPECT_EQ(t.fieldDefs()[1], (FieldDef{"MOMENTO", '@', 8, 0}));
  EXPECT_EQ(t.asDateTime("MOMENTO"), fh(2026, 12, 11, 13, 45, 30));
  t.next();
  EXPECT_TRUE(t.isNull("MOMENTO"));
  t.next();
  EXPECT_EQ(t.asText("MOMENTO"), "01/01/2000 12:00:00");
}
