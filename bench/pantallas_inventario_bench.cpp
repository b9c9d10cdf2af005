// The inventory screens opened over a shop's whole company: the movements screen on the
// last movement, the kardex screen of a product with 50,000 movements, and the count
// sheet of the whole catalogue (made, then shown). Each is opened, shown and its first
// paint done, as the user would see it.
//
// Run: build/bench_pantallas_inventario_bench (QT_QPA_PLATFORM=offscreen without a
// display). The middle demo company by default; MOSTRADOR_BENCH_GRANDE=1 takes the large
// one (100,000 products, 1,000,000 movements).

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "base/interaccion.h"
#include "base/reloj.h"
#include "inventory/ajuste.h"
#include "inventory/kardex.h"
#include "inventory/screens/TFormaAjustar.h"
#include "inventory/screens/TFormaCosteo.h"
#include "inventory/screens/TFormaMovimientosInventario.h"
#include "session/empresa_nueva.h"
#include "store/dbf/dbf_table.h"
#include "store/demo.h"
#include "ui/modelo_filas.h"
#include "empresa_inventario.h"

namespace fs = std::filesystem;
using namespace mostrador;

namespace {

QApplication& app() {
  static int argc = 1;
  static char nombre[] = "bench";
  static char* argv[] = {nombre, nullptr};
  static QApplication a(argc, argv);
  return a;
}

struct Empresa {
  bench::EmpresaInventario base{"pantallas_inventario_bench"};
  inventory::AjustesMovimientos aj;
  Empresa() { aj.dirDatos = aj.dirCatalogo = base.datos; }
};

Empresa& empresa() {
  static Empresa e;
  return e;
}

void BM_AbreMovimientos(benchmark::State& state) {
  app();
  Empresa& e = empresa();
  base::InteraccionSinUsuario ui;
  base::RelojSistema reloj;
  for (auto _ : state) {
    inventory::TFormaMovimientosInventario f(e.aj, ui, reloj, {}, true);
    f.show();
    QApplication::processEvents();
  }
}
BENCHMARK(BM_AbreMovimientos)->Unit(benchmark::kMillisecond);

void BM_AbreKardex50000(benchmark::State& state) {
  app();
  Empresa& e = empresa();
  base::InteraccionSinUsuario ui;
  for (auto _ : state) {
    inventory::TFormaCosteo f(inventory::kardexDiario(e.aj.dirDatos, "KARDEX"), "KARDEX", ui);
    f.show();
    QApplication::processEvents();
    if (f.filas().rowCount() != bench::kMovimientosKardex) state.SkipWithError("filas de menos");
  }
}
BENCHMARK(BM_AbreKardex50000)->Unit(benchmark::kMillisecond);

void BM_HojaDeConteo(benchmark::State& state) {
  app();
  Empresa& e = empresa();
  base::InteraccionSinUsuario ui;
  base::RelojSistema reloj;
  for (auto _ : state) {
    inventory::creaHojaAjuste(e.aj);
    inventory::TFormaAjustar f(e.aj, ui, reloj);
    f.show();
    QApplication::processEvents();
    benchmark::DoNotOptimize(f.filas().rowCount());
  }
}
BENCHMARK(BM_HojaDeConteo)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace

BENCHMARK_MAIN();
