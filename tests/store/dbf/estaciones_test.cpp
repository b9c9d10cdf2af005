// Several stations on one table: each station is a real process (fork) with its own
// handles, as on a shop's shared drive.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <set>

#include "store/dbf/dbf_table.h"
#include "support/entorno.h"
#include "support/estaciones.h"

using namespace mostrador::dbf;
using mostrador::prueba::DirectorioTemporal;

namespace {

using mostrador::prueba::Canal;
using mostrador::prueba::espera;
using mostrador::prueba::estacion;

std::string mensajeDe(const std::function<void()>& f) {
  try {
    f();
  } catch (const LockError& e) {
    return std::string("LockError: ") + e.what();
  } catch (const Error& e) {
    return e.what();
  }
  return "(sin error)";
}

}  // namespace

TEST(Estaciones, ConcurrentAppendsLoseNothing) {
  DirectorioTemporal dir;
  Table::create("", "movs.dbf", {{"ESTACION", 'N', 2, 0}, {"NUMERO", 'N', 6, 0}, {"TEXTO", 'C', 20, 0}});
  constexpr int kEstaciones = 4, kPorEstacion = 2000;
  std::vector<pid_t> hijos;
  for (int e = 1; e <= kEstaciones; ++e)
    hijos.push_back(estacion([e] {
      Table t;
      t.open("", "movs.dbf");
      for (int i = 1; i <= kPorEstacion; ++i) {
        t.append();
        t.setInteger("ESTACION", e);
        t.setInteger("NUMERO", i);
        t.setText("TEXTO", "estación " + std::to_string(e));
        t.post();
      }
      return 0;
    }));
  for (pid_t p : hijos) EXPECT_EQ(espera(p), 0);

  Table t;
  t.open("", "movs.dbf");
  EXPECT_EQ(t.recordCount(), kEstaciones * kPorEstacion);
  std::set<std::pair<int, int>> vistos;
  std::vector<int> ultimo(kEstaciones + 1, 0);
  bool enOrden = true;
  for (t.first(); !t.eof(); t.next()) {
    int e = static_cast<int>(t.asInteger("ESTACION"));
    int n = static_cast<int>(t.asInteger("NUMERO"));
    ASSERT_TRUE(e >= 1 && e <= kEstaciones);
    EXPECT_EQ(t.asText("TEXTO"), "estación " + std::to_string(e));
    vistos.insert({e, n});
    enOrden = enOrden && n == ultimo[e] + 1;
    ultimo[e] = n;
  }
  EXPECT_EQ(vistos.size(), static_cast<size_t>(kEstaciones * kPorEstacion));
  EXPECT_TRUE(enOrden);  // each station's records keep its order
  t.close();
  const size_t cab = 32 + 3 * 32 + 1, rl = 1 + 2 + 6 + 20;
  EXPECT_EQ(dir.lee("movs.dbf").size(), cab + kEstaciones * kPorEstacion * rl + 1);
}

TEST(Estaciones, ARecordHeldByOneStationCannotBeEditedByAnother) {
  DirectorioTemporal dir;
  Table::create("", "cli.dbf", {{"NOMBRE", 'C', 10, 0}});
  {
    Table t;
    t.open("", "cli.dbf");
    t.append();
    t.setText("NOMBRE", "Ana");
    t.post();
  }
  Canal listo, suelta, soltado;
  pid_t otra = estacion([&] {
    Table t;
    t.open("", "cli.dbf");
    t.edit();
    t.setText("NOMBRE", "Beatriz");
    listo.avisa();
    suelta.aguarda();
    t.post();
    soltado.avisa();
    suelta.aguarda();
    return 0;
  });
  listo.aguarda();
  Table t;
  t.open("", "cli.dbf");
  EXPECT_EQ(mensajeDe([&] { t.edit(); }),
            "LockError: El registro 1 de la tabla cli.dbf está bloqueado por otra estación");
  EXPECT_FALSE(t.editing());
  EXPECT_EQ(t.asText("NOMBRE"), "Ana");
  suelta.avisa();
  soltado.aguarda();
  t.edit();  // released by the other station's post, and its value is there
  EXPECT_EQ(t.asText("NOMBRE"), "Beatriz");
  t.setText("NOMBRE", "Carla");
  t.post();
  suelta.avisa();
  EXPECT_EQ(espera(otra), 0);

  // A station that dies while editing does not keep the record locked.
  Canal editando;
  pid_t muere = estacion([&] {
    Table u;
    u.open("", "cli.dbf");
    u.edit();
    editando.avisa();
    pause();
    return 0;
  });
  editando.aguarda();
  EXPECT_EQ(mensajeDe([&] { t.edit(); }),
            "LockError: El registro 1 de la tabla cli.dbf está bloqueado por otra estación");
  kill(muere, SIGKILL);
  EXPECT_EQ(espera(muere), 100 + SIGKILL);
  t.edit();
  t.cancel();
}

TEST(Estaciones, APostedRecordIsSeenByAnotherOpenHandleOnItsNextMove) {
  DirectorioTemporal dir;
  Table::create("", "cli.dbf", {{"NOMBRE", 'C', 10, 0}});
  Table t;
  t.open("", "cli.dbf");
  t.append();
  t.setText("NOMBRE", "Ana");
  t.post();
  t.first();
  t.next();
  ASSERT_TRUE(t.eof());

  pid_t otra = estacion([] {
    Table u;
    u.open("", "cli.dbf");
    u.edit();
    u.setText("NOMBRE", "Ana María");
    u.post();
    u.append();
    u.setText("NOMBRE", "Bruno");
    u.post();
    u.remove();  // and one more that is deleted again
    u.append();
    u.setText("NOMBRE", "Ciro");
    u.post();
    return 0;
  });
  ASSERT_EQ(espera(otra), 0);
  EXPECT_EQ(t.asText("NOMBRE"), "Ana");  // no move yet: the record read last stays
  t.next();
  EXPECT_FALSE(t.eof());
  EXPECT_EQ(t.asText("NOMBRE"), "Ciro");
  EXPECT_EQ(t.recno(), 3u);
  EXPECT_EQ(t.recordCount(), 3);
  t.first();
  EXPECT_EQ(t.asText("NOMBRE"), "Ana María");
}

TEST(Estaciones, ExclusiveOpenFailsWhileAnotherStationHasTheTableOpen) {
  DirectorioTemporal dir;
  Table::create("", "cli.dbf", {{"NOMBRE", 'C', 10, 0}});
  Canal abierta, cierra;
  pid_t otra = estacion([&] {
    Table u;
    u.open("", "CLI.DBF");
    abierta.avisa();
    cierra.aguarda();
    return 0;
  });
  abierta.aguarda();
  Table t;
  EXPECT_EQ(mensajeDe([&] { t.open("", "cli.dbf", OpenMode::Exclusive); }),
            "LockError: La tabla cli.dbf está en uso por otra estación");
  cierra.avisa();
  EXPECT_EQ(espera(otra), 0);
  t.open("", "cli.dbf", OpenMode::Exclusive);
  EXPECT_TRUE(t.exclusive());

  // And the other way round: an exclusive holder keeps other stations out.
  pid_t fuera = estacion([] {
    Table u;
    try {
      u.open("", "cli.dbf");
    } catch (const LockError& e) {
      return std::string(e.what()) == "La tabla cli.dbf está abierta en exclusiva por otra estación" ? 0 : 1;
    }
    return 2;
  });
  EXPECT_EQ(espera(fuera), 0);
}
