// Walks that another station changes under them: each move must see every change posted
// before it, whether the handle reads through its mapped headers and cached runs of
// records and index pages, or (MOSTRADOR_MAPEO=NO, as on a network drive) with pread
// and the index lock on every move.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

#include "store/dbf/dbf_file.h"
#include "store/dbf/dbf_table.h"
#include "store/dbf/journal.h"
#include "support/entorno.h"
#include "support/estaciones.h"

using namespace mostrador::dbf;
using mostrador::prueba::Canal;
using mostrador::prueba::DirectorioTemporal;
using mostrador::prueba::espera;
using mostrador::prueba::estacion;

namespace {

// Runs the body once with mapped headers and once reading everything with pread.
template <typename F>
void enAmbosModos(F&& f) {
  for (bool mapeo : {true, false}) {
    if (mapeo)
      unsetenv("MOSTRADOR_MAPEO");
    else
      setenv("MOSTRADOR_MAPEO", "NO", 1);
    SCOPED_TRACE(mapeo ? "con mapeo" : "sin mapeo");
    f();
  }
  unsetenv("MOSTRADOR_MAPEO");
}

std::string nombre(int i) {
  char b[8];
  std::snprintf(b, sizeof b, "R%03d", i);
  return b;
}

// n records R001.. with NUM = i, and a tag on NOMBRE.
void creaTabla(int n) {
  Table::create("", "art.dbf", {{"NOMBRE", 'C', 10, 0}, {"NUM", 'N', 6, 0}}, {{"INOMBRE", "NOMBRE"}});
  Table t;
  t.open("", "art.dbf", OpenMode::Exclusive);
  for (int i = 1; i <= n; ++i) {
    t.append();
    t.setText("NOMBRE", nombre(i));
    t.setInteger("NUM", i);
    t.post();
  }
}

}  // namespace

TEST(Recorridos, UnRecorridoEnOrdenNaturalVeLoQueOtraEstacionPublicaAMitad) {
  enAmbosModos([] {
    DirectorioTemporal dir;
    creaTabla(300);
    Table t;
    t.open("", "art.dbf");
    t.first();
    for (int i = 1; i < 100; ++i) t.next();
    ASSERT_EQ(t.recno(), 100u);

    pid_t otra = estacion([] {
      Table u;
      u.open("", "art.dbf");
      u.goTo(101);
      u.edit();
      u.setText("NOMBRE", "CAMBIO");
      u.post();
      u.goTo(102);
      u.remove();
      u.append();
      u.setText("NOMBRE", "NUEVO");
      u.setInteger("NUM", 301);
      u.post();
      return 0;
    });
    ASSERT_EQ(espera(otra), 0);

    t.next();
    EXPECT_EQ(t.recno(), 101u);
    EXPECT_EQ(t.asText("NOMBRE"), "CAMBIO");
    t.next();
    EXPECT_EQ(t.recno(), 103u);  // 102 was deleted
    int vistos = 1;  // 101; the loop counts from 103
    std::string ultimo;
    for (; !t.eof(); t.next()) {
      ++vistos;
      ultimo = t.asText("NOMBRE");
    }
    EXPECT_EQ(vistos, 200);  // 101, 103..300 and the new one
    EXPECT_EQ(ultimo, "NUEVO");
    EXPECT_EQ(t.recno(), 301u);

    // Walking back: a record behind the cursor changes, the move back sees it.
    for (int i = 0; i < 10; ++i) t.prior();
    ASSERT_EQ(t.recno(), 291u);
    otra = estacion([] {
      Table u;
      u.open("", "art.dbf");
      u.goTo(290);
      u.edit();
      u.setInteger("NUM", 9290);
      u.post();
      return 0;
    });
    ASSERT_EQ(espera(otra), 0);
    t.prior();
    EXPECT_EQ(t.recno(), 290u);
    EXPECT_EQ(t.asInteger("NUM"), 9290);
  });
}

TEST(Recorridos, UnRecorridoPorIndiceVeAltasCambiosDeLlaveYDeDatosDeOtraEstacion) {
  enAmbosModos([] {
    DirectorioTemporal dir;
    creaTabla(300);
    Table t;
    t.open("", "art.dbf");
    t.setIndex("INOMBRE");
    t.first();
    while (t.asText("NOMBRE") != "R100") t.next();

    pid_t otra = estacion([] {
      Table u;
      u.open("", "art.dbf");
      u.setIndex("INOMBRE");
      u.append();  // right after the cursor in key order
      u.setText("NOMBRE", "R100A");
      u.setInteger("NUM", 1000);
      u.post();
      u.findKey({"R150"});  // moves behind the cursor
      u.edit();
      u.setText("NOMBRE", "R050B");
      u.post();
      u.findKey({"R101"});  // same key, new data
      u.edit();
      u.setInteger("NUM", 999);
      u.post();
      return 0;
    });
    ASSERT_EQ(espera(otra), 0);

    t.next();
    EXPECT_EQ(t.asText("NOMBRE"), "R100A");
    EXPECT_EQ(t.asInteger("NUM"), 1000);
    t.next();
    EXPECT_EQ(t.asText("NOMBRE"), "R101");
    EXPECT_EQ(t.asInteger("NUM"), 999);
    int vistos = 2;
    bool vioR150 = false, vioR050B = false;
    for (t.next(); !t.eof(); t.next()) {
      ++vistos;
      vioR150 = vioR150 || t.asText("NOMBRE") == "R150";
      vioR050B = vioR050B || t.asText("NOMBRE") == "R050B";
    }
    EXPECT_EQ(vistos, 200);  // R100A, R101..R300 but R150
    EXPECT_FALSE(vioR150);
    EXPECT_FALSE(vioR050B);
    t.first();
    int todos = 0;
    for (; !t.eof(); t.next()) ++todos;
    EXPECT_EQ(todos, 301);
  });
}

// A unit another station rolls back: a reader never sees its change in flight (a unit's
// changes stay with it until the commit), and sees the change that follows.
TEST(Recorridos, TrasDeshacerseUnaUnidadElLectorVeElCambioSiguiente) {
  enAmbosModos([] {
    DirectorioTemporal dir;
    creaTabla(20);
    Table t;
    t.open("", "art.dbf");
    ASSERT_TRUE(t.goTo(5));
    EXPECT_EQ(t.asText("NOMBRE"), "R005");

    Canal enVuelo, visto;
    pid_t otra = estacion([&] {
      Table u;
      u.open("", "art.dbf");
      {
        Transaction unidad(".");
        u.goTo(5);
        u.edit();
        u.setText("NOMBRE", "ENVUELO");
        u.post();
        enVuelo.avisa();
        visto.aguarda();
      }  // not committed: put back
      u.goTo(5);
      u.edit();
      u.setText("NOMBRE", "FINAL");
      u.post();
      return 0;
    });
    enVuelo.aguarda();
    ASSERT_TRUE(t.goTo(4));
    t.next();
    EXPECT_EQ(t.asText("NOMBRE"), "R005");
    visto.avisa();
    ASSERT_EQ(espera(otra), 0);
    ASSERT_TRUE(t.goTo(5));
    EXPECT_EQ(t.asText("NOMBRE"), "FINAL");
  });
}

// A reader walking a key range while another station keeps moving records in and out of
// it, and changing their data: every record the reader lands on must hold a key inside
// the range, in order, with the data that goes with that key. The reader checks the
// record's own fields, not what the index says.
TEST(Recorridos, UnRangoRecorridoMientrasOtraEstacionCambiaLlavesSoloDaRegistrosDelRango) {
  enAmbosModos([] {
    DirectorioTemporal dir;
    creaTabla(400);
    Canal listo;
    pid_t otra = estacion([&] {
      Table u;
      u.open("", "art.dbf");
      listo.avisa();
      // Records 150..249 go out of the range R100..R199 and back, NUM always tracking the
      // key: NUM = the number in NOMBRE.
      for (int vuelta = 0;; ++vuelta) {
        for (int r = 150; r < 250; ++r) {
          const int nuevo = (vuelta % 2 == 0) ? r - 100 + 200 * ((r / 7) % 2) : r - 100;
          u.goTo(static_cast<uint32_t>(r));
          u.edit();
          u.setText("NOMBRE", nombre(nuevo));
          u.setInteger("NUM", nuevo);
          u.post();
        }
      }
      return 0;
    });
    listo.aguarda();
    Table t;
    t.open("", "art.dbf");
    t.setIndex("INOMBRE");
    const auto fin = std::chrono::steady_clock::now() + std::chrono::milliseconds(400);
    int recorridos = 0, problemas = 0;
    std::string primero;
    while (std::chrono::steady_clock::now() < fin) {
      t.setRange({std::string("R100")}, {std::string("R199")});
      std::string anterior;
      for (; !t.eof(); t.next()) {
        const std::string n = t.asText("NOMBRE");
        if (n < "R100" || n > "R199" || n < anterior || t.asInteger("NUM") != std::stoi(n.substr(1))) {
          if (primero.empty()) primero = n + " tras " + anterior + " NUM " + t.asText("NUM");
          ++problemas;
        }
        anterior = n;
      }
      ++recorridos;
    }
    kill(otra, SIGKILL);
    espera(otra);
    EXPECT_EQ(problemas, 0) << primero;
    EXPECT_GT(recorridos, 5);
  });
}

// The mapped header is the file: a write by another process is seen by the next load.
TEST(Recorridos, ElEncabezadoMapeadoVeLaEscrituraDeOtroProceso) {
  DirectorioTemporal dir;
  creaTabla(3);
  const std::string ruta = (dir.ruta() / "art.dbf").string();
  int fd = ::open(ruta.c_str(), O_RDONLY);
  ASSERT_GE(fd, 0);
  {
    file::HeaderMap m(fd, 4096);
    if (!m) {
      ::close(fd);
      GTEST_SKIP() << "este sistema de archivos no se mapea";
    }
    const uint32_t antes = m.load32(file::kStampOffset);
    EXPECT_EQ(antes, 3u);  // three appends
    pid_t otra = estacion([] {
      Table u;
      u.open("", "art.dbf");
      u.goTo(2);
      u.edit();
      u.setInteger("NUM", 22);
      u.post();
      return 0;
    });
    ASSERT_EQ(espera(otra), 0);
    EXPECT_EQ(m.load32(file::kStampOffset), 4u);
  }
  setenv("MOSTRADOR_MAPEO", "NO", 1);
  file::HeaderMap sin(fd, 4096);
  unsetenv("MOSTRADOR_MAPEO");
  EXPECT_FALSE(sin);
  ::close(fd);
}

// Another program copying a file over an open table in place cuts it to nothing first:
// a station reading its header through the map must not die of it. The load reads zeros,
// the map says it is broken, and the handle goes back to pread: an emptied table reads
// as empty, an emptied index is reported and given up.
TEST(Recorridos, UnArchivoCortadoBajoElMapeoNoTumbaLaEstacion) {
  DirectorioTemporal dir;
  creaTabla(50);
  {
    const std::string ruta = (dir.ruta() / "art.dbf").string();
    int fd = ::open(ruta.c_str(), O_RDWR);
    ASSERT_GE(fd, 0);
    file::HeaderMap m(fd, 32);
    if (!m) {
      ::close(fd);
      GTEST_SKIP() << "este sistema de archivos no se mapea";
    }
    file::HeaderMap otro(fd, 32);
    ASSERT_EQ(m.load32(file::kStampOffset), 50u);
    ASSERT_EQ(::ftruncate(fd, 0), 0);
    EXPECT_EQ(m.load32(file::kStampOffset), 0u);
    EXPECT_TRUE(m.broken());
    EXPECT_FALSE(otro.broken());  // not loaded from since: it finds out when it is
    EXPECT_EQ(otro.load32(file::kStampOffset), 0u);
    EXPECT_TRUE(otro.broken());
    ::close(fd);
  }

  creaTabla(50);
  Table t;
  t.open("", "art.dbf");
  t.setIndex("INOMBRE");
  t.first();
  for (int i = 0; i < 20; ++i) t.next();
  ASSERT_EQ(t.asText("NOMBRE"), "R021");
  // The index cut to nothing under the walk: its tags went with it, so it cannot be
  // rebuilt here; the move says so and the handle goes on without it.
  ASSERT_EQ(::truncate((dir.ruta() / "art.mdx").c_str(), 0), 0);
  std::string mensaje;
  try {
    t.next();
  } catch (const Error& e) {
    mensaje = e.what();
  }
  EXPECT_EQ(mensaje,
            "El índice INOMBRE de la tabla art.dbf está dañado (Índice dañado: archivo demasiado corto); "
            "reconstruya los índices");
  EXPECT_EQ(t.index(), "");
  EXPECT_EQ(t.asText("NOMBRE"), "R021");
  // The table cut to nothing: no more records, and no crash.
  ASSERT_TRUE(t.goTo(10));
  ASSERT_EQ(::truncate((dir.ruta() / "art.dbf").c_str(), 0), 0);
  t.next();
  EXPECT_TRUE(t.eof());
}

// An edit that changes no key leaves the index file alone, byte for byte (so other
// stations keep the pages they cached); one that changes a key writes it, and the walk
// in key order sees the record at its new place. (Without a map the handle cannot tell
// cheaply that its tags are current, and writes the index as before.)
TEST(Recorridos, UnaEdicionQueNoCambiaLlavesNoEscribeElIndice) {
  DirectorioTemporal dir;
  creaTabla(30);
  {
    int fd = ::open((dir.ruta() / "art.mdx").c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    const bool mapea = static_cast<bool>(file::HeaderMap(fd, 4096));
    ::close(fd);
    if (!mapea) GTEST_SKIP() << "este sistema de archivos no se mapea";
  }
  Table t;
  t.open("", "art.dbf");
  t.setIndex("INOMBRE");
  ASSERT_TRUE(t.findKey({std::string("R010")}));
  const std::string indice = dir.lee("art.mdx");
  t.edit();
  t.setInteger("NUM", 777);
  t.post();
  EXPECT_TRUE(dir.lee("art.mdx") == indice);
  t.first();
  ASSERT_TRUE(t.findKey({std::string("R010")}));
  EXPECT_EQ(t.asInteger("NUM"), 777);

  t.edit();
  t.setText("NOMBRE", "R999");
  t.post();
  EXPECT_FALSE(dir.lee("art.mdx") == indice);
  EXPECT_FALSE(t.findKey({std::string("R010")}));
  t.last();
  EXPECT_EQ(t.asText("NOMBRE"), "R999");
  EXPECT_EQ(t.asInteger("NUM"), 777);
}
