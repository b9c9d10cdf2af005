// Joins over the virtual tables: the inner table looked up through its tag, one lookup
// per outer row, must give exactly the rows the join means, whatever the keys hold
// (blanks, duplicates, deleted records, keys with no partner) and whatever path the
// lookup takes (the index, the keys kept in memory, a scan when a value cannot be a key).
// The expected rows are computed here from the rules that built the tables.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>

#include "empresa.h"
#include "base/rutas.h"
#include "support/entorno.h"

using namespace mostrador;
using namespace mostrador::prueba;
using Filas = std::vector<std::string>;

namespace {

constexpr int kProductos = 300;
constexpr int kLineas = 1000;

std::string clave(int i) {
  char b[8];
  std::snprintf(b, sizeof b, "P%03d", i);
  return b;
}

struct Producto {
  std::string clave, nombre;
  int precio;
};

// The live products, in record order.
std::vector<Producto> productos() {
  std::vector<Producto> r;
  for (int i = 0; i < kProductos; ++i)
    if (i != 7) r.push_back({clave(i), "N" + clave(i), 10 + i % 40});
  r.push_back({clave(5), "DOBLE", 99});  // a second record with the key P005
  r.push_back({"", "SINCLAVE", 10});     // a blank key
  return r;
}

struct Linea {
  int doc;
  std::string clave, hasta, ref;
};

std::vector<Linea> lineas() {
  std::vector<Linea> r;
  for (int j = 0; j < kLineas; ++j) {
    const int k = (j * 7) % 310;  // P300..P309 have no product
    std::string ref = j % 3 == 0 ? "abc" : j % 3 == 1 ? std::to_string(10 + j % 45) : "";
    r.push_back({j, j % 50 == 0 ? "" : clave(k), clave(k + 2), ref});
  }
  return r;
}

void creaTablas() {
  base::creaDirectorios(kDatos);
  const std::vector<dbf::FieldDef> campos{
      {"LINEA", 'C', 4, 0}, {"CLPRO", 'C', 8, 0}, {"NOMBR", 'C', 20, 0}, {"PRECIO", 'N', 10, 2}};
  dbf::Table::create(kDatos, "prods.dbf", campos,
                     {{"ILIN", "LINEA"}, {"IPRO", "CLPRO"}, {"IPRECIO", "PRECIO"}});
  dbf::Table::create(kDatos, "sinindice.dbf", campos);
  for (const char* archivo : {"prods.dbf", "sinindice.dbf"}) {
    dbf::Table t;
    t.open(kDatos, archivo);
    for (int i = 0; i < kProductos; ++i) {
      t.append();
      t.setText("CLPRO", clave(i));
      t.setText("NOMBR", "N" + clave(i));
      t.setFloat("PRECIO", 10 + i % 40);
      t.setText("LINEA", i % 2 ? "HERR" : "PINT");
      t.post();
    }
    t.goTo(8);  // P007
    t.remove();
    t.append();
    t.setText("CLPRO", clave(5));
    t.setText("NOMBR", "DOBLE");
    t.setFloat("PRECIO", 99);
    t.post();
    t.append();
    t.setText("NOMBR", "SINCLAVE");
    t.setFloat("PRECIO", 10);
    t.post();
  }
  dbf::Table::create(kDatos, "lineas.dbf",
                     {{"DOC", 'N', 6, 0}, {"CLPRO", 'C', 8, 0}, {"HASTA", 'C', 8, 0}, {"REF", 'C', 8, 0}});
  dbf::Table t;
  t.open(kDatos, "lineas.dbf");
  for (const Linea& l : lineas()) {
    t.append();
    t.setInteger("DOC", l.doc);
    t.setText("CLPRO", l.clave);
    t.setText("HASTA", l.hasta);
    t.setText("REF", l.ref);
    t.post();
  }
}

const std::string kLin = "\"C:\\Datos\\lineas.dbf\"";
const std::string kPro = "\"C:\\Datos\\prods.dbf\"";
const std::string kSin = "\"C:\\Datos\\sinindice.dbf\"";

class Joins : public ::testing::Test {
 protected:
  void SetUp() override { creaTablas(); }
  std::string plan(const std::string& sentencia) {
    std::string r;
    for (const auto& f : filas(base_, "EXPLAIN QUERY PLAN " + sentencia)) r += f.substr(f.rfind('|') + 1) + ";";
    return r;
  }
  DirectorioTemporal dir_;
  sql::BaseSql base_;
};

// Equal keys: every line with each product of its key; blanks (NULL) never match.
Filas porIgualdad() {
  Filas r;
  for (const Linea& l : lineas())
    for (const Producto& p : productos())
      if (!l.clave.empty() && l.clave == p.clave) r.push_back(std::to_string(l.doc) + "|" + l.clave + "|" + p.nombre);
  std::sort(r.begin(), r.end());
  return r;
}

TEST_F(Joins, EqualityThroughTheTagGivesEveryPairAndOnlyThose) {
  const Filas esperadas = porIgualdad();
  // 1000 lines: 20 blank, 36 on keys with no product or a deleted one, P005 twice.
  ASSERT_EQ(esperadas.size(), 948u);
  const std::string s = "select L.DOC, L.CLPRO, P.NOMBR from " + kLin + " L, " + kPro + " P where L.CLPRO = P.CLPRO";
  EXPECT_EQ(filasOrdenadas(base_, s), esperadas);
  // The lines are scanned and each looks up its products through IPRO (tag 2, equality).
  EXPECT_EQ(plan(s), "SCAN L VIRTUAL TABLE INDEX 0:;SCAN P VIRTUAL TABLE INDEX 33:;");
  // Written the other way round, the same plan and rows.
  const std::string r = "select L.DOC, L.CLPRO, P.NOMBR from " + kPro + " P, " + kLin + " L where P.CLPRO = L.CLPRO";
  EXPECT_EQ(filasOrdenadas(base_, r), esperadas);
  EXPECT_EQ(plan(r), "SCAN L VIRTUAL TABLE INDEX 0:;SCAN P VIRTUAL TABLE INDEX 33:;");
  // A table without index gives the same rows by scanning.
  const std::string sin = "select L.DOC, L.CLPRO, P.NOMBR from " + kLin + " L, " + kSin + " P where L.CLPRO = P.CLPRO";
  EXPECT_EQ(filasOrdenadas(base_, sin), esperadas);
  EXPECT_EQ(plan(sin).find("INDEX 33"), std::string::npos);

  // An outer join keeps the lines without a partner, the blank keys among them.
  EXPECT_EQ(filas(base_, "select count(*), count(P.NOMBR), sum(L.CLPRO is null) from " + kLin + " L left join " + kPro +
                             " P on L.CLPRO = P.CLPRO"),
            (Filas{"1004|948|20"}));
  // The key repeated in the products doubles its lines; the deleted one gives none.
  EXPECT_EQ(filas(base_, "select P.NOMBR, count(*) from " + kLin + " L, " + kPro +
                             " P where L.CLPRO = P.CLPRO and L.CLPRO in ('P005', 'P007') group by P.NOMBR order by 1"),
            (Filas{"DOBLE|4", "NP005|4"}));
}

TEST_F(Joins, RangesAndValuesThatCannotBeKeysAreStillExact) {
  // Products whose key lies after the line's key, up to its HASTA: two per line where
  // both exist.
  Filas esperadas;
  for (const Linea& l : lineas())
    for (const Producto& p : productos())
      if (!l.clave.empty() && !p.clave.empty() && p.clave > l.clave && p.clave <= l.hasta)
        esperadas.push_back(std::to_string(l.doc) + "|" + p.nombre);
  std::sort(esperadas.begin(), esperadas.end());
  ASSERT_EQ(esperadas.size(), 1886u);
  const std::string s = "select L.DOC, P.NOMBR from " + kLin + " L, " + kPro +
                        " P where P.CLPRO > L.CLPRO and P.CLPRO <= L.HASTA";
  EXPECT_EQ(filasOrdenadas(base_, s), esperadas);
  EXPECT_EQ(plan(s), "SCAN L VIRTUAL TABLE INDEX 0:;SCAN P VIRTUAL TABLE INDEX 38:;");

  // A text that is not a number cannot be a key of the numeric tag: those lookups scan,
  // and SQLite's own comparison decides ("15" equals 15, "abc" equals nothing).
  Filas porPrecio;
  for (const Linea& l : lineas())
    for (const Producto& p : productos())
      if (!l.ref.empty() && l.ref != "abc" && std::stoi(l.ref) == p.precio)
        porPrecio.push_back(std::to_string(l.doc) + "|" + p.nombre);
  std::sort(porPrecio.begin(), porPrecio.end());
  ASSERT_EQ(porPrecio.size(), 2157u);
  const std::string q = "select L.DOC, P.NOMBR from " + kLin + " L, " + kPro + " P where P.PRECIO = L.REF";
  EXPECT_EQ(filasOrdenadas(base_, q), porPrecio);
  // A bound outside printable ASCII is no key either: the tag is not trusted, SQLite
  // filters a scan.
  EXPECT_EQ(filas(base_, "select count(*) from " + kLin + " L, " + kPro +
                             " P where P.CLPRO = L.CLPRO and P.CLPRO < 'P01ñ'"),
            (Filas{"64"}));
}

TEST_F(Joins, ALookupRepeatedByTheNextOuterRowGivesTheSameRecordsAgain) {
  // Few outer rows, so every lookup walks the index; consecutive equal keys reuse it.
  dbf::Table::create(kDatos, "pocas.dbf", {{"DOC", 'N', 6, 0}, {"CLPRO", 'C', 8, 0}});
  agrega(kDatos, "pocas.dbf",
         {{{"DOC", 1.0}, {"CLPRO", std::string("P005")}},
          {{"DOC", 2.0}, {"CLPRO", std::string("P005")}},
          {{"DOC", 3.0}, {"CLPRO", std::string("P005")}},
          {{"DOC", 4.0}, {"CLPRO", std::string("P003")}},
          {{"DOC", 5.0}, {"CLPRO", std::string("P005")}},
          {{"DOC", 6.0}, {"CLPRO", std::string("P007")}},
          {{"DOC", 7.0}, {"CLPRO", std::string("P003")}}});
  const std::string s = "select L.DOC, P.NOMBR, P.PRECIO from \"C:\\Datos\\pocas.dbf\" L, " + kPro +
                        " P where L.CLPRO = P.CLPRO order by L.DOC, P.NOMBR";
  EXPECT_EQ(filas(base_, s), (Filas{"1|DOBLE|99", "1|NP005|15", "2|DOBLE|99", "2|NP005|15", "3|DOBLE|99",
                                    "3|NP005|15", "4|NP003|13", "5|DOBLE|99", "5|NP005|15", "7|NP003|13"}));
}

TEST_F(Joins, ThePlannerPrefersTheTagWithFewerRecordsPerKey) {
  // LINEA has two values over 300 products; CLPRO about one per key. Both are tagged,
  // and LINEA comes first among the fields.
  EXPECT_EQ(plan("select * from " + kPro + " P where LINEA = 'HERR' and CLPRO = 'P011'"),
            "SCAN P VIRTUAL TABLE INDEX 33:;");
  EXPECT_EQ(filas(base_, "select NOMBR from " + kPro + " P where LINEA = 'HERR' and CLPRO = 'P011'"),
            (Filas{"NP011"}));
  // Joined on the line of a product, the catalogue is scanned once and the products of
  // that line looked up, not the other way round.
  EXPECT_EQ(filas(base_, "select count(*) from " + kPro + " A, " + kPro +
                             " B where A.CLPRO = 'P011' and B.LINEA = A.LINEA"),
            (Filas{"149"}));
}

}  // namespace
