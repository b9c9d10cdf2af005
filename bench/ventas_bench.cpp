// The sales engine over a 100 000-product catalogue.
//
//   BM_LecturaCodigo   one scanned barcode: product lookup, line fill and totals
//                      (target: well under 1 ms)
//   BM_GuardaRemision  saving a 50-line delivery note with stock and movements
//                      (target: under 20 ms)
//
//   bench_ventas_bench                 MOSTRADOR_BENCH_DIR=<dir>: where the company goes
//                                      (default /tmp); it is built once per run.

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "sales/captura.h"
#include "support/dialogos_venta_falsos.h"
#include "support/reloj_fijo.h"
#include "tienda_ventas.h"

namespace {

using namespace mostrador;
using banco::Tienda;
using banco::UsuarioDecidido;

struct Pantalla {
  UsuarioDecidido ui;
  prueba::DialogosVentaFalsos dlg;
  prueba::RelojFijo reloj{{{2025, 6, 30}, {10, 0, 0, 0}}};
  sales::CapturaVenta cap{Tienda::una().ajustes(), ui, dlg, reloj};
  Pantalla() { cap.abre(); }
  void escanea(const std::string& codigo) {
    cap.ponCelda(sales::kCantidad, "1");
    cap.ponCelda(sales::kClave, codigo);
    cap.entraColumna(sales::kProducto);
  }
};

void BM_LecturaCodigo(benchmark::State& state) {
  Tienda& tienda = Tienda::una();
  Pantalla p;
  const auto& codigos = tienda.codigos();
  size_t i = 0;
  int enDocumento = 0;
  p.cap.nuevo();
  for (auto _ : state) {
    // A ticket of 20 lines at most, as at a counter; the totals walk all of them.
    if (enDocumento == 20) {
      state.PauseTiming();
      p.cap.nuevo();
      enDocumento = 0;
      state.ResumeTiming();
    }
    p.escanea(codigos[i++ % codigos.size()]);
    ++enDocumento;
  }
  state.counters["productos"] = static_cast<double>(tienda.productos());
  state.counters["mensajes"] = static_cast<double>(p.ui.mensajes);
}
BENCHMARK(BM_LecturaCodigo)->Unit(benchmark::kMicrosecond);

void BM_GuardaRemision(benchmark::State& state) {
  Tienda& tienda = Tienda::una();
  Pantalla p;
  const auto& codigos = tienda.codigos();
  size_t i = 0;
  for (auto _ : state) {
    state.PauseTiming();
    p.cap.nuevo();
    for (int l = 0; l < 50; ++l) p.escanea(codigos[i++ % codigos.size()]);
    state.ResumeTiming();
    if (!p.cap.guarda()) state.SkipWithError("the delivery note was not saved");
  }
  state.counters["partidas"] = 50;
  state.counters["mensajes"] = static_cast<double>(p.ui.mensajes);
}
BENCHMARK(BM_GuardaRemision)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
