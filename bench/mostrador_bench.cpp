// The counter over a 100 000-product catalogue, numbered by the counter tables.
//
//   BM_EscaneoMostrador  one scanned barcode: lookup, priced line and totals
//                        (target: under 1 ms)
//   BM_GuardaTicket      saving a 30-line ticket paid in cash: header, lines, stock,
//                        movements, one save unit (target: under 20 ms)
//
//   bench_mostrador_bench            MOSTRADOR_BENCH_DIR=<dir>: where the company goes
//                                    (default /tmp); it is built once per run.

#include <benchmark/benchmark.h>

#include <string>

#include "base/programas.h"
#include "sales/captura.h"
#include "sales/mostrador_venta.h"
#include "support/dialogos_venta_falsos.h"
#include "support/procesos_falsos.h"
#include "support/reloj_fijo.h"
#include "tienda_ventas.h"

namespace {

using namespace mostrador;
using banco::Tienda;

struct Caja {
  banco::UsuarioDecidido ui;
  prueba::DialogosVentaFalsos dlg;
  prueba::RelojFijo reloj{{{2025, 6, 30}, {10, 0, 0, 0}}};
  prueba::ProcesosFalsos procesos;
  base::TablaProgramas programas{[](std::string_view) { return false; }, "mostrador"};
  sales::CapturaVenta cap{Tienda::una().ajustes(), ui, dlg, reloj};
  std::unique_ptr<sales::MostradorVenta> mostrador;
  Caja() {
    cap.abre();
    mostrador = std::make_unique<sales::MostradorVenta>(cap, procesos, programas, Tienda::una().sistema());
    mostrador->alMostrar();
  }
  void escanea(const std::string& codigo) {
    cap.agregaPartida();
    cap.tecleaCantidad(codigo);  // a scan where the quantity goes is the product
  }
};

void BM_EscaneoMostrador(benchmark::State& state) {
  Tienda& tienda = Tienda::una();
  Caja c;
  const auto& codigos = tienda.codigos();
  size_t i = 0;
  int enTicket = 0;
  c.cap.nuevo();
  for (auto _ : state) {
    if (enTicket == 30) {
      state.PauseTiming();
      c.cap.descarta();
      c.cap.nuevo();
      enTicket = 0;
      state.ResumeTiming();
    }
    c.escanea(codigos[i++ % codigos.size()]);
    ++enTicket;
  }
  state.counters["productos"] = static_cast<double>(tienda.productos());
  state.counters["mensajes"] = static_cast<double>(c.ui.mensajes);
}
BENCHMARK(BM_EscaneoMostrador)->Unit(benchmark::kMicrosecond);

void BM_GuardaTicket(benchmark::State& state) {
  Tienda& tienda = Tienda::una();
  Caja c;
  const auto& codigos = tienda.codigos();
  size_t i = 0;
  for (auto _ : state) {
    state.PauseTiming();
    c.cap.nuevo();
    for (int l = 0; l < 30; ++l) c.escanea(codigos[i++ % codigos.size()]);
    c.mostrador->efectivo("1000000");
    state.ResumeTiming();
    if (!c.cap.guarda()) state.SkipWithError("the ticket was not saved");
  }
  state.counters["partidas"] = 30;
  state.counters["mensajes"] = static_cast<double>(c.ui.mensajes);
}
BENCHMARK(BM_GuardaTicket)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
