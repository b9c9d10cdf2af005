// The customer screen over 50,000 customers: opened and positioned on a key, as the
// catalogue browser and the lookup's button open it, up to its first paint; and a
// customer's change saved through the working copy.
//
// Run: build/bench_pantallas_clientes_bench (QT_QPA_PLATFORM=offscreen without a display).
// The company is built once per process in $TMPDIR (or /tmp) and removed at the end.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "accounts/screens/TFormaClientes.h"
#include "base/interaccion.h"
#include "base/reloj.h"
#include "session/empresa_nueva.h"
#include "store/dbf/dbf_table.h"

namespace fs = std::filesystem;
using namespace mostrador;

namespace {

constexpr int kClientes = 50'000;

QApplication& app() {
  static int argc = 1;
  static char nombre[] = "bench";
  static char* argv[] = {nombre, nullptr};
  static QApplication a(argc, argv);
  return a;
}

struct Empresa {
  fs::path dir;
  accounts::AjustesClientes aj;
  Empresa() {
    const char* tmp = std::getenv("TMPDIR");
    dir = fs::path(tmp ? tmp : "/tmp") / ("pantallas_clientes_bench_" + std::to_string(getpid()));
    aj.dirDatos = (dir / "datos").string();
    aj.dirSistema = (dir / "sistema").string();
    aj.usuario = "0";
    fs::create_directories(aj.dirSistema);
    session::creaDirectorioDatos(aj.dirDatos);
    dbf::Table t;
    t.open(aj.dirDatos, "cliente.dbf", dbf::OpenMode::Exclusive);
    char clave[16], nombre[64];
    for (int i = 1; i <= kClientes; ++i) {
      std::snprintf(clave, sizeof clave, "%10d", i);
      std::snprintf(nombre, sizeof nombre, "CLIENTE %05d", (i * 7919) % kClientes);
      t.append();
      t.setText("CLCLI_C", clave);
      t.setText("NOMBR_C", nombre);
      t.setFloat("SALDO_C", (i % 1000) * 1.25);
      t.post();
    }
  }
  ~Empresa() {
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
};

Empresa& empresa() {
  static Empresa e;
  return e;
}

// Created, positioned on a key three quarters into the table, shown and painted.
void BM_AbreEnClave(benchmark::State& state) {
  app();
  Empresa& e = empresa();
  base::InteraccionSinUsuario ui;
  base::RelojSistema reloj;
  int n = 0;
  for (auto _ : state) {
    accounts::TFormaClientes f(e.aj, ui, reloj, [](int) { return true; });
    const std::string clave = std::to_string(37'500 + (n++ % 100));
    if (!f.abreEnClave(clave, false)) state.SkipWithError("no se encontró la clave");
    f.resize(900, 560);
    f.show();
    QApplication::processEvents();
    benchmark::DoNotOptimize(f.motor().texto("NOMBR_C"));
  }
  state.counters["clientes"] = kClientes;
}
BENCHMARK(BM_AbreEnClave)->Unit(benchmark::kMillisecond);

// Change, a field typed, saved: the working copy made afresh and copied back in a unit.
void BM_GuardaCambio(benchmark::State& state) {
  Empresa& e = empresa();
  base::InteraccionSinUsuario ui;
  base::RelojSistema reloj;
  accounts::CatalogoClientes c(e.aj, ui, reloj, [](int) { return true; });
  if (!c.abre() || !c.abreEnClave("25000", false)) {
    state.SkipWithError("no abrió");
    return;
  }
  int n = 0;
  for (auto _ : state) {
    if (!c.modifica() || !c.ponTexto("TELEF_C", std::to_string(n++)) || !c.guarda()) state.SkipWithError("no guardó");
  }
}
BENCHMARK(BM_GuardaCambio)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
