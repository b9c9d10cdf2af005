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

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "sales/ajustes.h"
#include "sales/captura.h"
#include "base/interaccion.h"
#include "base/rutas.h"
#include "base/texto.h"
#include "session/configuracion_inicial.h"
#include "store/dbf/dbf_table.h"
#include "store/demo.h"
#include "session/empresa_nueva.h"
#include "support/dialogos_venta_falsos.h"
#include "support/reloj_fijo.h"

namespace {

namespace fs = std::filesystem;
using namespace mostrador;

// Answers yes, remembers nothing: a clerk who never hesitates.
class UsuarioDecidido : public base::InteraccionSinUsuario {
 public:
  using InteraccionSinUsuario::advertencia;
  long mensajes = 0;
  void mensaje(std::string_view) override { ++mensajes; }
  base::RespuestaAdvertencia advertencia(std::string_view, bool) override {
    return base::RespuestaAdvertencia::Si;
  }
  base::RespuestaCerrar cerrar() override { return base::RespuestaCerrar::Descartar; }
  base::RespuestaAdministrador administrador() override {
    return {base::RespuestaAdministrador::Administrador, ""};
  }
};

// A company with the large catalogue, built once and removed at exit.
class Tienda {
 public:
  static Tienda& una() {
    static Tienda t;
    return t;
  }
  ~Tienda() {
    std::error_code ec;
    fs::remove_all(raiz_, ec);
  }
  sales::AjustesVenta ajustes() const { return sales::leeAjustes(sistema_, lineas_); }
  const std::vector<std::string>& codigos() const { return codigos_; }
  long productos() const { return productos_; }

 private:
  Tienda() {
    const char* base = std::getenv("MOSTRADOR_BENCH_DIR");
    std::string plantilla = std::string(base ? base : "/tmp") + "/mostrador-ventas-XXXXXX";
    if (!mkdtemp(plantilla.data())) std::abort();
    raiz_ = plantilla;
    session::OpcionesEmpresa o;
    o.dirDatos = (raiz_ / "datos").string();
    o.dirSistema = (raiz_ / "tvk").string();
    sistema_ = o.dirSistema;
    session::creaEmpresa(o);
    lineas_ = session::lineasConfiguracion(o);
    lineas_.resize(72);
    auto pon = [&](int n, const char* v) { lineas_[static_cast<size_t>(n - 1)] = v; };
    pon(1, "SI");   // no flush after each save
    pon(6, "SI");   // movements posted
    pon(21, "S");   // no stock control
    pon(41, "S");   // stock may go below zero
    pon(42, "2");
    pon(43, "N");
    pon(45, "0");
    pon(47, "N");
    pon(58, "N");
    base::escribeLineas(base::une(sistema_, "Gener1.cnf"), lineas_);
    base::escribeLineas(base::une(sistema_, "encabeza.cnf"), {"N", "N", "", "", "", "", "", "", "N"});
    base::escribeLineas(base::une(sistema_, "Multi.dat"), {"0"});

    store::OpcionesDemo d;
    d.tamano.productos = 100000;
    d.tamano.clientes = 200;
    d.tamano.movimientos = 20000;
    productos_ = store::generaDemo(o.dirDatos, d).productos;

    // Barcodes spread over the whole catalogue.
    dbf::Table t;
    t.open(o.dirDatos, "inventar.dbf");
    long n = 0;
    for (t.first(); !t.eof(); t.next(), ++n) {
      if (n % 97 != 0) continue;
      std::string c = t.asText("CODIG_I");
      if (!c.empty()) codigos_.push_back(std::move(c));
    }
  }

  fs::path raiz_;
  std::string sistema_;
  std::vector<std::string> lineas_;
  std::vector<std::string> codigos_;
  long productos_ = 0;
};

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
