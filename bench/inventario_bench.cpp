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
#include "empresa_inventario.h"

namespace fs = std::filesystem;
using namespace mostrador;

namespace {

using bench::kMovimientosKardex;
using Empresa = bench::EmpresaInventario;

Empresa& empresa() {
  static Empresa e("inventario_bench");
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
