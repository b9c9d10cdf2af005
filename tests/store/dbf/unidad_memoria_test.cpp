// A unit's changes wait in memory until its commit: the unit reads them, other stations
// do not, a rollback leaves no reader with them, a unit larger than its memory still
// undoes whole, and an index another program changed meanwhile is never overwritten.

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "store/dbf/dbf_table.h"
#include "store/dbf/journal.h"
#include "store/dbf/key_expression.h"
#include "store/dbf/mdx_index.h"
#include "store/dbf/verificacion.h"
#include "support/entorno.h"
#include "support/estaciones.h"

using namespace mostrador::dbf;
using mostrador::prueba::Canal;
using mostrador::prueba::DirectorioTemporal;
using mostrador::prueba::espera;
using mostrador::prueba::estacion;

namespace {

const std::vector<FieldDef> kProducto{{"CLAVE", 'C', 6, 0}, {"EXISTE", 'N', 10, 2}};

std::string bytes(const std::string& archivo) {
  std::ifstream f(archivo, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
}

void creaProductos() {
  Table::create("", "produc.dbf", kProducto, {{"ICLAVE", "CLAVE"}});
  Table p;
  p.open("", "produc.dbf");
  for (int i = 1; i <= 5; ++i) {
    p.append();
    p.setText("CLAVE", "P" + std::to_string(i));
    p.setFloat("EXISTE", 100);
    p.post();
  }
}

// What a station sees: "P2 stock, P9 found, count".
std::string vista(Table& t) {
  t.setIndex("ICLAVE");
  std::string r = t.findKey({std::string("P2")}) ? t.asText("EXISTE") : std::string("-");
  r += t.findKey({std::string("P9")}) ? " P9" : " sin P9";
  return r + " " + std::to_string(t.recordCount());
}
std::string vistaDeOtraEstacion() {
  Canal c;
  std::string leido;
  int tubo[2];
  if (pipe(tubo) != 0) return "sin tubo";
  const pid_t h = estacion([&] {
    Table t;
    t.open("", "produc.dbf");
    const std::string v = vista(t);
    return write(tubo[1], v.data(), v.size()) == static_cast<ssize_t>(v.size()) ? 0 : 1;
  });
  close(tubo[1]);
  char b[128];
  ssize_t n;
  while ((n = read(tubo[0], b, sizeof b)) > 0) leido.append(b, static_cast<size_t>(n));
  close(tubo[0]);
  return espera(h) == 0 ? leido : "la estación falló";
}

void fija(Table& p, const std::string& clave, double existe) {
  p.setIndex("ICLAVE");
  ASSERT_TRUE(p.findKey({clave}));
  p.edit();
  p.setFloat("EXISTE", existe);
  p.post();
}

}  // namespace

TEST(UnidadEnMemoria, LaUnidadLeeLoQueEscribeYLasOtrasEstacionesNoHastaQueConfirma) {
  DirectorioTemporal dir;
  creaProductos();
  Table p, q;
  p.open("", "produc.dbf");
  q.open("", "produc.dbf");
  EXPECT_EQ(vista(q), "100.00 sin P9 5");  // q has the table cached from here on
  const std::string antes = bytes("produc.dbf"), indiceAntes = bytes("produc.mdx");
  {
    Transaction t(".");
    fija(p, "P2", 42);
    p.append();
    p.setText("CLAVE", "P9");
    p.setFloat("EXISTE", 9);
    p.post();
    // This process reads its own unit through any handle, by record and by key.
    EXPECT_EQ(vista(q), "42.00 P9 6");
    // Nothing has reached the files: another station sees the table as it was.
    EXPECT_EQ(bytes("produc.dbf"), antes);
    EXPECT_EQ(bytes("produc.mdx"), indiceAntes);
    EXPECT_EQ(vistaDeOtraEstacion(), "100.00 sin P9 5");
    t.commit();
  }
  EXPECT_EQ(vistaDeOtraEstacion(), "42.00 P9 6");
  EXPECT_EQ(bytes(journal::kFileName), "");

  // A unit undone: the handle that read its change does not keep it, neither now nor
  // when a later unit brings the change counter to the value it had seen.
  {
    Transaction t(".");
    fija(p, "P2", 7);
    EXPECT_EQ(vista(q), "7.00 P9 6");
    t.rollback();
  }
  EXPECT_EQ(vista(q), "42.00 P9 6");
  {
    Transaction t(".");
    fija(p, "P2", 8);
    t.commit();
  }
  EXPECT_EQ(vista(q), "8.00 P9 6");
  EXPECT_EQ(vistaDeOtraEstacion(), "8.00 P9 6");
  EXPECT_TRUE(verificaTabla(".", "produc.dbf").problemas.empty());
}

TEST(UnidadEnMemoria, UnaUnidadMayorQueSuMemoriaSaleAntesYSeDeshaceEntera) {
  DirectorioTemporal dir;
  creaProductos();
  journal::setMemoryLimit(8 * 1024);
  const std::string antes = bytes("produc.dbf"), indiceAntes = bytes("produc.mdx");
  auto agrega = [](Table& p) {
    for (int i = 10; i < 1010; ++i) {
      p.append();
      p.setText("CLAVE", "Q" + std::to_string(i));
      p.setFloat("EXISTE", i);
      p.post();
    }
  };
  {
    Table p;
    p.open("", "produc.dbf");
    Transaction t(".");
    agrega(p);
    // Past the limit the changes went out before the commit, the journal ahead of them.
    EXPECT_GT(bytes("produc.dbf").size(), antes.size());
    EXPECT_GT(bytes(journal::kFileName).size(), 0u);
    t.rollback();
  }
  std::string ahora = bytes("produc.dbf");
  ASSERT_EQ(ahora.size(), antes.size());
  ahora.replace(16, 4, antes.substr(16, 4));  // the change counter moves on, never back
  EXPECT_EQ(ahora, antes);
  EXPECT_EQ(bytes(journal::kFileName), "");
  Table p;
  p.open("", "produc.dbf");
  EXPECT_EQ(p.recordCount(), 5);
  {
    Transaction t(".");
    agrega(p);
    t.commit();
  }
  journal::setMemoryLimit(0);
  p.setIndex("ICLAVE");
  ASSERT_TRUE(p.findKey({std::string("Q777")}));
  EXPECT_EQ(p.asText("EXISTE"), "777.00");
  EXPECT_EQ(p.recordCount(), 1005);
  EXPECT_TRUE(verificaTabla(".", "produc.dbf").problemas.empty());
  (void)indiceAntes;
}

TEST(UnidadEnMemoria, UnIndiceQueOtroProgramaCambioDuranteLaUnidadNoSeSobreescribe) {
  DirectorioTemporal dir;
  creaProductos();
  const std::string antes = bytes("produc.dbf");
  Table p;
  p.open("", "produc.dbf");
  Transaction t(".");
  p.append();
  p.setText("CLAVE", "P7");
  p.setFloat("EXISTE", 7);
  p.post();
  // A program that writes the index without the directory's writer lock.
  const pid_t h = estacion([] {
    MdxFile m;
    m.open("produc.mdx", RecordLayout::from(kProducto));
    const int tag = m.tagNumber("ICLAVE");
    const KeyExpression e = m.expression(tag);
    m.insert(tag, e.encodePrefix({KeyValue{std::string("ZZZ")}}), 900);
    return 0;
  });
  ASSERT_EQ(espera(h), 0);
  std::string mensaje;
  try {
    t.commit();
  } catch (const Error& e) {
    mensaje = e.what();
  }
  EXPECT_EQ(mensaje, "El índice produc.mdx fue cambiado por otro programa durante el guardado; el guardado se deshizo");
  std::string ahora = bytes("produc.dbf");
  ASSERT_EQ(ahora.size(), antes.size());
  ahora.replace(16, 4, antes.substr(16, 4));
  EXPECT_EQ(ahora, antes);
  EXPECT_EQ(bytes(journal::kFileName), "");
  // The other program's entry is still there, for the check to report; the tree is one
  // state, not two.
  EXPECT_EQ(verificaTabla(".", "produc.dbf").problemas,
            (std::vector<std::string>{"índice ICLAVE: entrada del registro 900, que no existe"}));
}
