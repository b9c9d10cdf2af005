// Inventory work at a shop's scale: the kardex of one product with 50,000 movements from
// both sources, the stock recount of a whole catalogue from its documents and journal,
// and the import of a 10,000-line movement file posted through the posting rule.
//
// Run: build/bench_inventario_bench. The company is the demo company of the middle size
// (5,000 products, 50,000 movements); MOSTRADOR_BENCH_GRANDE=1 takes the large one
// (100,000 products, 1,000,000 movements; building it takes some minutes). It is built
// once per process under $TMPDIR (or /tmp).

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "inventory/ajuste.h"
#include "inventory/kardex.h"
#include "inventory/movimientos.h"
#include "base/reloj.h"
#include "session/empresa_nueva.h"
#include "store/dbf/dbf_table.h"
#include "store/demo.h"

namespace fs = std::filesystem;
using namespace mostrador;

namespace {

constexpr int kMovimientosKardex = 50'000;

struct Empresa {
  fs::path dir;
  std::string datos;
  Empresa() {
    const char* tmp = std::getenv("TMPDIR");
    dir = fs::path(tmp ? tmp : "/tmp") / ("inventario_bench_" + std::to_string(getpid()));
    datos = (dir / "datos").string();
    session::creaDirectorioDatos(datos);
    store::OpcionesDemo o;
    o.tamano = std::getenv("MOSTRADOR_BENCH_GRANDE") ? store::TamanoDemo::grande() : store::TamanoDemo::mediano();
    store::generaDemo(datos, o);
    // One product with 50,000 movements of its own.
    dbf::Table p, m;
    p.open(datos, "inventar.dbf");
    p.append();
    p.setText("CLPRO_I", "KARDEX");
    p.setText("DSCPR_I", "PRODUCTO CON MUCHOS MOVIMIENTOS");
    p.post();
    m.open(datos, "movinven.dbf", dbf::OpenMode::Exclusive);
    for (int i = 0; i < kMovimientosKardex; ++i) {
      m.append();
      m.setInteger("CLDOC_MI", 1'000'000 + i);
      m.setInteger("TIMOV_MI", i % 3 == 0 ? 51 : 3);
      m.setText("CLPRO_MI", "KARDEX");
      m.setFloat("CANTI_MI", 1 + i % 7);
      m.setFloat("COSUN_MI", 10 + i % 5);
      char f[11];
      std::snprintf(f, sizeof f, "%02d/%02d/%04d", 1 + i % 28, 1 + (i / 28) % 12, 2020 + i / (28 * 12 * 10));
      m.setText("FEDOC_MI", f);
      m.post();
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

void BM_KardexDiario(benchmark::State& state) {
  Empresa& e = empresa();
  for (auto _ : state) {
    auto k = inventory::kardexDiario(e.datos, "KARDEX");
    if (k.filas.size() != kMovimientosKardex) state.SkipWithError("filas de menos");
    benchmark::DoNotOptimize(k.existencia);
  }
}
BENCHMARK(BM_KardexDiario)->Unit(benchmark::kMillisecond);

void BM_KardexDocumentos(benchmark::State& state) {
  Empresa& e = empresa();
  inventory::OpcionesKardex o;
  o.integrados = true;
  for (auto _ : state) benchmark::DoNotOptimize(inventory::kardexDocumentos(e.datos, "KARDEX", o).existencia);
}
BENCHMARK(BM_KardexDocumentos)->Unit(benchmark::kMillisecond);

void BM_RecuentoCatalogo(benchmark::State& state) {
  Empresa& e = empresa();
  inventory::AjustesMovimientos a;
  a.dirDatos = a.dirCatalogo = e.datos;
  inventory::OpcionesKardex o;
  o.integrados = true;
  for (auto _ : state) benchmark::DoNotOptimize(inventory::ajustaSegunKardex(a, o));
}
BENCHMARK(BM_RecuentoCatalogo)->Unit(benchmark::kMillisecond);

void BM_ImportaArchivo10000(benchmark::State& state) {
  Empresa& e = empresa();
  std::vector<std::string> lineas;
  dbf::Table p;
  p.open(e.datos, "inventar.dbf");
  p.first();
  for (int i = 0; i < 10'000; ++i) {
    if (p.eof()) p.first();
    lineas.push_back(std::to_string(i) + "," + p.asText("CLPRO_I") + "," + std::to_string(1 + i % 3) + ",53");
    p.next();
  }
  inventory::AjustesMovimientos a;
  a.dirDatos = a.dirCatalogo = e.datos;
  base::RelojSistema reloj;
  for (auto _ : state) {
    const auto l = inventory::leeArchivoMovimientos(lineas, "14/07/2025");
    const auto r = inventory::guardaMovimiento(a, l.documentos.at(0), reloj);
    if (!r.guardado) state.SkipWithError(r.mensaje.c_str());
  }
}
BENCHMARK(BM_ImportaArchivo10000)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
