// A unit over two directories (a transfer between companies) is one: a station that dies
// after the commit point keeps both sides, one that dies before it keeps neither — also
// when it dies between the two directories' journals being emptied.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "store/dbf/dbf_table.h"
#include "store/dbf/journal.h"
#include "store/unidad.h"
#include "support/entorno.h"
#include "support/estaciones.h"

namespace mostrador::prueba {
namespace {

namespace fs = std::filesystem;

struct Grupo : ::testing::Test {
  DirectorioTemporal dir;
  std::string a = (dir.ruta() / "origen").string(), b = (dir.ruta() / "destino").string();
  Grupo() {
    for (const std::string& d : {a, b}) {
      fs::create_directories(d);
      dbf::Table::create(d, "mov.dbf", {{"NUMERO", 'N', 6, 0}}, {{"INUMERO", "NUMERO"}});
    }
  }
  static void agrega(const std::string& d, int n) {
    dbf::Table t;
    t.open(d, "mov.dbf");
    t.append();
    t.setInteger("NUMERO", n);
    t.post();
  }
  static long registros(const std::string& d) {
    dbf::Table t;
    t.open(d, "mov.dbf");  // opening puts back what a dead station left
    long n = 0;
    for (t.first(); !t.eof(); t.next()) ++n;
    return n;
  }
  static std::vector<fs::path> marcadores(const std::string& d) {
    std::vector<fs::path> r;
    for (const auto& e : fs::directory_iterator(d))
      if (e.path().extension() == ".grp") r.push_back(e.path());
    return r;
  }
};

TEST_F(Grupo, MuertoTrasElPuntoDeConfirmacionQuedanAmbosLados) {
  const pid_t p = estacion([&] {
    // What confirma() does, stopped after the first directory's journal is emptied.
    const fs::path marcador = fs::path(a) / "mostrador-0000000000000001.grp";
    { FILE* f = std::fopen(marcador.c_str(), "w"); std::fclose(f); }
    dbf::Transaction ta(a), tb(b);
    ta.joinGroup(marcador);
    tb.joinGroup(marcador);
    agrega(a, 1);
    agrega(b, 1);
    ta.prepare();
    tb.prepare();
    fs::remove(marcador);
    ta.commit();
    _exit(0);  // dies before the destination's journal is emptied
    return 0;
  });
  ASSERT_EQ(espera(p), 0);
  EXPECT_GT(fs::file_size(fs::path(b) / dbf::journal::kFileName), 0u);
  EXPECT_EQ(registros(b), 1);
  EXPECT_EQ(registros(a), 1);
  EXPECT_EQ(fs::file_size(fs::path(b) / dbf::journal::kFileName), 0u);
}

TEST_F(Grupo, MuertoAntesDelPuntoDeConfirmacionNoQuedaNinguno) {
  const pid_t p = estacion([&] {
    store::UnidadGuardado u({a, b});
    agrega(a, 1);
    agrega(b, 1);
    _exit(0);  // never confirmed, never rolled back by itself
    return 0;
  });
  ASSERT_EQ(espera(p), 0);
  ASSERT_EQ(marcadores(a).size() + marcadores(b).size(), 1u);  // left by the dead station
  EXPECT_EQ(registros(b), 0);
  EXPECT_EQ(registros(a), 0);
}

TEST_F(Grupo, UnaUnidadConfirmadaNoDejaMarcadorYUnaDeshechaTampoco) {
  {
    store::UnidadGuardado u({a, b});
    agrega(a, 1);
    agrega(b, 2);
    u.confirma();
  }
  {
    store::UnidadGuardado u({b, a});
    agrega(a, 3);
    agrega(b, 4);
  }
  EXPECT_TRUE(marcadores(a).empty());
  EXPECT_TRUE(marcadores(b).empty());
  EXPECT_EQ(registros(a), 1);
  EXPECT_EQ(registros(b), 1);
}

// Stations forked from one process start from the same random state: the marker a dead
// one left behind must not be the name the next one picks, or its group cannot start.
TEST_F(Grupo, EstacionesHermanasNoChocanConElMarcadorQueDejoUnaMuerta) {
  {
    store::UnidadGuardado u({a, b});  // the generator is in use before the forks
    u.confirma();
  }
  const pid_t muerta = estacion([&] {
    store::UnidadGuardado u({a, b});
    agrega(a, 1);
    _exit(0);
    return 0;
  });
  ASSERT_EQ(espera(muerta), 0);
  ASSERT_EQ(marcadores(a).size() + marcadores(b).size(), 1u);
  const pid_t viva = estacion([&] {
    store::UnidadGuardado u({a, b});
    agrega(a, 2);
    agrega(b, 2);
    u.confirma();
    return 0;
  });
  EXPECT_EQ(espera(viva), 0);
  EXPECT_EQ(registros(a), 1);
  EXPECT_EQ(registros(b), 1);
}

}  // namespace
}  // namespace mostrador::prueba
