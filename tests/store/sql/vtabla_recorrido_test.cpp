// How the virtual tables read: full scans through the sequential reader, lookups through
// the tags (single ones, long ranges read in batches, many per statement searched in
// memory, tables too large to keep). Every path must give the rows a full scan gives,
// and the exact values the data holds.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "empresa.h"
#include "base/rutas.h"
#include "store/dbf/dbf_file.h"
#include "store/dbf/lector_secuencial.h"
#include "support/entorno.h"

using namespace mostrador;
using namespace mostrador::prueba;
using Filas = std::vector<std::string>;

namespace {

std::string q(const std::string& archivo) { return "\"" + tabla(archivo) + "\""; }

class Recorridos : public ::testing::Test {
 protected:
  void SetUp() override { creaEmpresa(); }
  // The statement as written and with the looked-up field hidden behind a unary "+"
  // (never an index), which must give the same rows.
  void mismasFilas(const std::string& directa, const std::string& oculta, const Filas& esperadas) {
    EXPECT_EQ(filas(base_, directa), esperadas) << directa;
    EXPECT_EQ(filas(base_, oculta), esperadas) << oculta;
  }
  std::string plan(const std::string& sentencia) {
    std::string r;
    for (const auto& f : filas(base_, "EXPLAIN QUERY PLAN " + sentencia)) r += f.substr(f.rfind('|') + 1) + ";";
    return r;
  }
  DirectorioTemporal dir_;
  sql::BaseSql base_;
};

}  // namespace

TEST_F(Recorridos, FullScansReadExactValues) {
  // Sums and counts of a GROUP BY over every record.
  EXPECT_EQ(filas(base_, "select CLPRO_MI, sum(CANTI_MI), count(*), sum(TIMOV_MI) from " +
                             q("movinven.dbf") + " group by CLPRO_MI order by CLPRO_MI"),
            (Filas{"A1|122|5|109", "B2|2|1|1", "C3|50|1|54"}));
  // A blank field is NULL (aggregates skip it); a zero is a number.
  EXPECT_EQ(filas(base_, "select count(*), count(NUM_CONCEP), sum(NUM_CONCEP), sum(CANTIDAD) from " +
                             q("retiros.dbf")),
            (Filas{"4|3|4|36"}));
  EXPECT_EQ(filas(base_, "select CLPRO_I, FEALT_I is null, typeof(FEALT_I), typeof(EXIST_I), STMAX_I from " +
                             q("inventar.dbf") + " where LIPRO_I = 'HERR' order by CLPRO_I"),
            (Filas{"B2|0|text|real|4", "D4|1|null|real|0"}));
  // Dates are ISO texts inside SQLite, so its date functions work on them.
  EXPECT_EQ(filas(base_, "select CLDOC_O, 'x' || FEDOC_O, julianday(FEPAG_O) - julianday(FEDOC_O), "
                         "strftime('%w', FEDOC_O) from " + q("comprase.dbf") + " order by CLDOC_O"),
            (Filas{"1|x2001-02-01|28|4", "2|x2001-02-15|23|4", "3|x2001-03-01|31|4"}));
  EXPECT_EQ(plan("select * from " + q("movinven.dbf") + " M"), "SCAN M VIRTUAL TABLE INDEX 0:;");
}

TEST_F(Recorridos, LookupsOnTheCompanyGiveTheRowsOfAScan) {
  const std::string mov = q("movinven.dbf");
  mismasFilas("select CLDOC_MI, CANTI_MI from " + mov + " where CLPRO_MI = 'A1' order by CLDOC_MI",
              "select CLDOC_MI, CANTI_MI from " + mov + " where +CLPRO_MI = 'A1' order by CLDOC_MI",
              {"1|100", "2|4", "3|7", "5|10", "6|1"});
  mismasFilas("select CLDOC_MI from " + mov + " where CLDOC_MI >= 3 and CLDOC_MI < 6 order by 1",
              "select CLDOC_MI from " + mov + " where +CLDOC_MI >= 3 and +CLDOC_MI < 6 order by 1",
              {"3", "4", "5"});
  mismasFilas("select CLPRO_MI, sum(CANTI_MI) from " + mov + " where CLPRO_MI >= 'A' group by 1",
              "select CLPRO_MI, sum(CANTI_MI) from " + mov + " where +CLPRO_MI >= 'A' group by 1",
              {"A1|122", "B2|2", "C3|50"});
  const std::string inv = q("inventar.dbf");
  mismasFilas("select CLPRO_I, FEALT_I is null, 'x' || FEALT_I from " + inv + " where CLPRO_I >= 'C'",
              "select CLPRO_I, FEALT_I is null, 'x' || FEALT_I from " + inv + " where +CLPRO_I >= 'C'",
              {"C3|0|x2001-01-15", "D4|1|"});
  // The detail joined with the products, one lookup per line.
  const std::string join = "select D.CLDOC_FD, I.DSCPR_I, D.CANTI_FD * I.PPUBL_I from " + q("facturad.dbf") +
                           " D, " + q("inventar.dbf") + " I where D.CLPRO_FD = ";
  mismasFilas(join + "I.CLPRO_I order by 1, 2", join + "+I.CLPRO_I order by 1, 2",
              {"10|MARTILLO|100", "10|TORNILLO|20", "11|TORNILLO|10", "12|MARTILLO|50",
               "13|CLAVO|1.5", "13|MARTILLO|150"});
  EXPECT_EQ(plan(join + "I.CLPRO_I"), "SCAN D VIRTUAL TABLE INDEX 0:;SCAN I VIRTUAL TABLE INDEX 17:;");
}

namespace {

// Products with a duplicated key, a deleted one and a blank key; lines pointing at them
// (and at keys that do not exist); numbers in an order unlike their record order.
struct Sinteticas {
  struct Producto {
    std::string clave;
    double precio;
    bool borrado;
  };
  std::vector<Producto> productos;
  std::vector<std::pair<int, std::string>> lineas;  // (cantidad, clave)
  std::vector<std::pair<int, bool>> numeros;        // (N, borrado)

  Sinteticas() {
    base::creaDirectorios(kDatos);
    dbf::Table::create(kDatos, "prod.dbf", {{"CLAVE", 'C', 8, 0}, {"PRECIO", 'N', 8, 2}},
                       {{"CLAVE", "CLAVE", false, false}});
    dbf::Table::create(kDatos, "lin.dbf", {{"DOC", 'N', 6, 0}, {"CLAVE", 'C', 8, 0}, {"CANT", 'N', 6, 0}});
    dbf::Table::create(kDatos, "num.dbf", {{"N", 'N', 6, 0}}, {{"N", "N", false, false}});
    dbf::Table p, l, n;
    p.open(kDatos, "prod.dbf");
    for (int i = 1; i <= 62; ++i) {
      Producto pr{i <= 60 ? "P" + std::to_string(i) : i == 61 ? "P7" : "", i == 61 ? 1000.0 : i, i == 13};
      p.append();
      if (!pr.clave.empty()) p.setText("CLAVE", pr.clave);
      p.setFloat("PRECIO", pr.precio);
      p.post();
      if (pr.borrado) p.remove();
      productos.push_back(pr);
    }
    l.open(kDatos, "lin.dbf");
    for (int j = 1; j <= 300; ++j) {
      lineas.emplace_back(j % 5 + 1, "P" + std::to_string(j % 70 + 1));
      l.append();
      l.setInteger("DOC", j);
      l.setText("CLAVE", lineas.back().second);
      l.setInteger("CANT", lineas.back().first);
      l.post();
    }
    n.open(kDatos, "num.dbf");
    for (int i = 1; i <= 700; ++i) {
      numeros.emplace_back((i * 37) % 700, i % 50 == 0);
      n.append();
      n.setInteger("N", numeros.back().first);
      n.post();
      if (numeros.back().second) n.remove();
    }
  }
};

std::string entero(double v) {
  char b[32];
  std::snprintf(b, sizeof b, "%.0f", v);
  return b;
}

}  // namespace

TEST_F(Recorridos, ManyLookupsAndLongRangesGiveTheRowsOfAScan) {
  Sinteticas s;
  // One lookup per line: past the first few the keys are searched in memory.
  double suma = 0;
  long filasJoin = 0;
  for (const auto& [cant, clave] : s.lineas)
    for (const auto& p : s.productos)
      if (!p.borrado && p.clave == clave) {
        suma += cant * p.precio;
        ++filasJoin;
      }
  ASSERT_EQ(filasJoin, 260);  // 40 lines point nowhere, P13 is deleted, P7 is there twice
  const std::string join = "select count(*), sum(L.CANT * P.PRECIO) from " + q("lin.dbf") + " L, " +
                           q("prod.dbf") + " P where L.CLAVE = ";
  mismasFilas(join + "P.CLAVE", join + "+P.CLAVE", {std::to_string(filasJoin) + "|" + entero(suma)});
  EXPECT_EQ(plan(join + "P.CLAVE"), "SCAN L VIRTUAL TABLE INDEX 0:;SCAN P VIRTUAL TABLE INDEX 17:;");
  const std::string porLinea = "select L.DOC, P.PRECIO from " + q("lin.dbf") + " L, " + q("prod.dbf") +
                               " P where L.CLAVE = ";
  EXPECT_EQ(filas(base_, porLinea + "P.CLAVE order by 1, 2"), filas(base_, porLinea + "+P.CLAVE order by 1, 2"));
  EXPECT_EQ(filas(base_, porLinea + "P.CLAVE and L.DOC = 6"), (Filas{"6|7", "6|1000"}));

  // Ranges that cross several batches of index entries, and ranges looked up per line.
  struct Rango {
    std::string condicion;
    int desde, hasta;
  };
  for (const Rango& r : {Rango{"> 100", 101, 699}, Rango{"between 50 and 650", 50, 650},
                         Rango{"< 600", 0, 599}, Rango{"= 351", 351, 351},
                         Rango{"= 350", 350, 350}}) {  // 350: a deleted record
    long cuenta = 0, total = 0;
    for (const auto& [v, borrado] : s.numeros)
      if (!borrado && v >= r.desde && v <= r.hasta) {
        ++cuenta;
        total += v;
      }
    const std::string sel = "select count(*), sum(N) from " + q("num.dbf") + " where ";
    mismasFilas(sel + "N " + r.condicion, sel + "+N " + r.condicion,
                {std::to_string(cuenta) + "|" + (cuenta ? std::to_string(total) : "")});
  }
  long enRango = 0;
  for (const auto& [cant, clave] : s.lineas)
    for (const auto& [v, borrado] : s.numeros)
      if (!borrado && v >= cant * 100 && v <= cant * 100 + 20) ++enRango;
  const std::string rangos = "select count(*) from " + q("lin.dbf") + " L, " + q("num.dbf") + " M where ";
  mismasFilas(rangos + "M.N between L.CANT * 100 and L.CANT * 100 + 20",
              rangos + "+M.N between L.CANT * 100 and L.CANT * 100 + 20", {std::to_string(enRango)});
  EXPECT_EQ(plan(rangos + "M.N between L.CANT * 100 and L.CANT * 100 + 20"),
            "SCAN L VIRTUAL TABLE INDEX 0:;SCAN M VIRTUAL TABLE INDEX 22:;");
}

TEST_F(Recorridos, TablesTooLargeToKeepAreStreamedAndLookedUpRecordByRecord) {
  // 4,300 records of 4,009 bytes: more than a reader keeps, so scans stream it and
  // lookups read each record on its own.
  const uint32_t n = 4300;
  std::vector<dbf::FieldDef> campos = {{"K", 'N', 8, 0}};
  for (int i = 0; i < 16; ++i) campos.push_back({"R" + std::to_string(i), 'C', 250, 0});
  std::string bytes = dbf::file::buildHeader(campos, n, false, {}, 101, 1, 1);
  for (uint32_t r = 1; r <= n; ++r) {
    char k[16];
    std::snprintf(k, sizeof k, "%8u", r * 3);
    bytes += r % 100 == 0 ? '*' : ' ';
    bytes += k;
    bytes += std::string(250 * 16, static_cast<char>('a' + r % 26));
  }
  bytes += '\x1A';
  ASSERT_GT(bytes.size(), dbf::LectorSecuencial::kRetenido);
  {
    std::ofstream f(base::resuelve(tabla("grande.dbf")), std::ios::binary);
    f << bytes;
  }
  {
    dbf::Table t;
    t.open(kDatos, "grande.dbf", dbf::OpenMode::Exclusive);
    t.addTag({"K", "K", false, false});
  }
  auto suma = [&](uint32_t desde, uint32_t hasta) {
    long c = 0, s = 0;
    for (uint32_t r = 1; r <= n; ++r)
      if (r % 100 != 0 && r * 3 >= desde && r * 3 <= hasta) {
        ++c;
        s += r * 3;
      }
    return std::to_string(c) + "|" + std::to_string(s);
  };
  const std::string g = q("grande.dbf");
  mismasFilas("select count(*), sum(K) from " + g + " where K between 250 and 700",
              "select count(*), sum(K) from " + g + " where +K between 250 and 700", {suma(250, 700)});
  mismasFilas("select count(*), sum(K) from " + g + " where K = 600",  // record 200: deleted
              "select count(*), sum(K) from " + g + " where +K = 600", {"0|"});
  EXPECT_EQ(filas(base_, "select count(*), sum(K), min(R3), max(R15) from " + g),
            (Filas{suma(0, 3 * n) + "|" + std::string(250, 'a') + "|" + std::string(250, 'z')}));
  // 300 lookups: as many as it takes for a small table to be searched in memory.
  Sinteticas s;
  long cuenta = 0;
  for (int doc = 1; doc <= 300; ++doc)
    if (doc % 3 == 0 && (doc / 3) % 100 != 0) ++cuenta;
  const std::string join = "select count(*) from " + q("lin.dbf") + " L, " + g + " G where L.DOC = ";
  mismasFilas(join + "G.K", join + "+G.K", {std::to_string(cuenta)});
}
