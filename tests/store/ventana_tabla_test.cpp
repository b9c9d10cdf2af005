// The window a lookup grid reads: a few pages around the nearest match, grown and trimmed
// at its ends, never the whole table.

#include <gtest/gtest.h>

#include <cstdio>

#include "base/rutas.h"
#include "store/dbf/dbf_table.h"
#include "store/ventana_tabla.h"
#include "support/entorno.h"

namespace mostrador::store {
namespace {

constexpr const char* kDir = "C:\\datos";

std::string clave(int i) {
  char b[16];
  std::snprintf(b, sizeof b, "K%05d", i);
  return b;
}

struct Ventana : ::testing::Test {
  prueba::DirectorioTemporal dir;
  dbf::Table t;
  // n records K00000.. in reverse physical order, warehouse "1" for even numbers.
  void crea(int n) {
    base::creaDirectorios(kDir);
    dbf::Table::create(kDir, "prod.dbf",
                       {{"CLAVE", 'C', 10, 0}, {"NOMBRE", 'C', 20, 0}, {"ALMAC", 'C', 2, 0}},
                       {{"ICLAVE", "CLAVE"}});
    dbf::Table w;
    w.open(kDir, "prod.dbf");
    for (int i = n - 1; i >= 0; --i) {
      w.append();
      w.setText("CLAVE", clave(i));
      w.setText("NOMBRE", "N" + std::to_string(i));
      w.setText("ALMAC", i % 2 == 0 ? "1" : "2");
      w.post();
    }
    w.close();
    t.open(kDir, "prod.dbf");
    t.setIndex("ICLAVE");
  }
  static VentanaTabla::Lector lector() {
    return [](const dbf::Cursor& c) { return std::vector<std::string>{c.asText("NOMBRE")}; };
  }
};

TEST_F(Ventana, OpensOnTheNearestMatchReadingOnlyThePagesAroundIt) {
  crea(5000);
  VentanaTabla v(t, "CLAVE", lector(), {}, 10);
  const int fila = v.enCercano({"K02500"});
  EXPECT_EQ(v.fila(fila).clave, "K02500");
  EXPECT_EQ(v.fila(fila).celdas, std::vector<std::string>{"N2500"});
  // One page before, two after (the anchor among them).
  EXPECT_EQ(fila, 10);
  EXPECT_EQ(v.filas(), 31);
  EXPECT_EQ(v.fila(0).clave, "K02490");
  EXPECT_EQ(v.fila(30).clave, "K02520");
  EXPECT_LE(v.lecturas(), 35);
  EXPECT_FALSE(v.principioCargado());
  EXPECT_FALSE(v.finalCargado());
  // A partial key is positioned at the first key after it.
  EXPECT_EQ(v.fila(v.enCercano({"K0249"})).clave, "K02490");
}

TEST_F(Ventana, GrowsAPageAtEitherEndAndTrims) {
  crea(100);
  VentanaTabla v(t, "CLAVE", lector(), {}, 10);
  v.enCercano({"K00050"});
  EXPECT_EQ(v.agregaAbajo(), 10);
  EXPECT_EQ(v.fila(v.filas() - 1).clave, "K00080");
  EXPECT_EQ(v.agregaArriba(), 10);
  EXPECT_EQ(v.fila(0).clave, "K00030");
  EXPECT_EQ(v.filaDeRegistro(v.fila(5).registro), 5);
  v.recortaArriba(20);
  EXPECT_EQ(v.fila(0).clave, "K00050");
  v.recortaAbajo(10);
  EXPECT_EQ(v.fila(v.filas() - 1).clave, "K00070");
  EXPECT_EQ(v.filas(), 21);
  // Down to the end of the table.
  while (v.agregaAbajo() > 0) {
  }
  EXPECT_TRUE(v.finalCargado());
  EXPECT_EQ(v.fila(v.filas() - 1).clave, "K00099");
  EXPECT_EQ(v.agregaAbajo(), 0);
}

TEST_F(Ventana, EndsEmptyTablesAndPastTheLastKey) {
  crea(25);
  VentanaTabla v(t, "CLAVE", lector(), {}, 10);
  EXPECT_EQ(v.alPrincipio(), 0);
  EXPECT_TRUE(v.principioCargado());
  EXPECT_EQ(v.filas(), 11);  // one screen from the first record
  EXPECT_EQ(v.agregaArriba(), 0);
  const int ultima = v.alFinal();
  EXPECT_EQ(v.fila(ultima).clave, "K00024");
  EXPECT_EQ(ultima, v.filas() - 1);
  EXPECT_EQ(v.filas(), 11);
  EXPECT_TRUE(v.finalCargado());
  EXPECT_FALSE(v.principioCargado());
  EXPECT_EQ(v.fila(v.enCercano({"ZZZ"})).clave, "K00024");
  // The whole of a small table is held.
  EXPECT_EQ(v.fila(v.enCercano({"K00012"})).clave, "K00012");
  EXPECT_EQ(v.filas(), 23);
  t.close();
  dbf::Table::create(kDir, "vacia.dbf", {{"CLAVE", 'C', 10, 0}}, {{"ICLAVE", "CLAVE"}});
  t.open(kDir, "vacia.dbf");
  t.setIndex("ICLAVE");
  VentanaTabla w(t, "CLAVE", {}, {}, 10);
  EXPECT_EQ(w.enCercano({"A"}), -1);
  EXPECT_EQ(w.filas(), 0);
  EXPECT_EQ(w.agregaAbajo(), 0);
}

TEST_F(Ventana, AFilterSkipsRecordsAndTheRefusedMatchGivesTheNextAccepted) {
  crea(60);
  VentanaTabla v(t, "CLAVE", lector(), [](const dbf::Cursor& c) { return c.asText("ALMAC") == "2"; }, 5);
  const int fila = v.enCercano({"K00020"});
  EXPECT_EQ(v.fila(fila).clave, "K00021");
  EXPECT_EQ(v.fila(fila - 1).clave, "K00019");
  EXPECT_EQ(v.fila(fila + 1).clave, "K00023");
  // Past the last accepted record: the one before it.
  EXPECT_EQ(v.fila(v.enCercano({"K00059Z"})).clave, "K00059");
  VentanaTabla nada(t, "CLAVE", lector(), [](const dbf::Cursor&) { return false; }, 5);
  EXPECT_EQ(nada.enCercano({"K00010"}), -1);
}

TEST_F(Ventana, KeepsItsOrderWhenTheCallerChangesTheIndex) {
  crea(40);
  t.close();
  t.open(kDir, "prod.dbf", dbf::OpenMode::Exclusive);
  t.addTag({"INOMBRE", "NOMBRE"});
  t.close();
  t.open(kDir, "prod.dbf");
  t.setIndex("ICLAVE");
  VentanaTabla v(t, "CLAVE", lector(), {}, 5);
  v.enCercano({"K00010"});
  t.setIndex("INOMBRE");
  t.first();
  ASSERT_EQ(v.agregaAbajo(), 5);
  EXPECT_EQ(v.fila(v.filas() - 1).clave, "K00025");
}

}  // namespace
}  // namespace mostrador::store
