// Payables at a busy buyer's scale: 10,000 open purchases of 500 suppliers, each with its
// type-51 movement and, for half of them, a partial payment. The ageing of every open
// payable (target: under 500 ms), the inquiry of one supplier with its totals written
// back, one movement added on a payable's detail and every supplier's totals recomputed.
//
// Run: build/bench_cuentas_pagar_bench. The company is built once per process under
// $TMPDIR (or /tmp) and removed at the end.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "accounts/cuentas.h"
#include "accounts/proveedores.h"
#include "base/reloj.h"
#include "session/empresa_nueva.h"
#include "store/dbf/dbf_table.h"
#include "support/interaccion_fake.h"

using namespace mostrador;

namespace {

constexpr int kProveedores = 500;
constexpr int kCompras = 10'000;

std::string clave(int p) { return "P" + std::to_string(p); }

struct EmpresaPagar {
  std::filesystem::path dir;
  std::string datos;
  EmpresaPagar() {
    const char* tmp = std::getenv("TMPDIR");
    dir = std::filesystem::path(tmp ? tmp : "/tmp") / ("cuentas_pagar_bench_" + std::to_string(getpid()));
    datos = (dir / "datos").string();
    session::creaDirectorioDatos(datos);
    dbf::Table p, e, o;
    p.open(datos, "proveedo.dbf", dbf::OpenMode::Exclusive);
    for (int i = 1; i <= kProveedores; ++i) {
      p.append();
      p.setText("CLAVE_P", clave(i));
      p.setText("NOMBR_P", "Proveedor " + std::to_string(i));
      p.post();
    }
    e.open(datos, "cuepagar.dbf", dbf::OpenMode::Exclusive);
    o.open(datos, "ComprasE.dbf", dbf::OpenMode::Exclusive);
    auto fecha = [](int dia) {
      char f[32];
      std::snprintf(f, sizeof f, "%02d/%02d/%04d", 1 + dia % 28, 1 + (dia / 28) % 12, 2024 + dia / 336);
      return std::string(f);
    };
    auto movimiento = [&](int doc, int prov, int tipo, const char* op, double importe, int dia) {
      e.append();
      e.setInteger("NUCOM_CP", doc);
      e.setText("CLPRO_CP", clave(prov));
      e.setText("CLCLI_CP", clave(prov));
      e.setInteger("TIMOV_CP", tipo);
      e.setText("CONCE_CP", tipo == 51 ? "Compra" : "Abono");
      e.setText("OPERA_CP", op);
      e.setFloat("IMCUE_CP", importe);
      e.setText("FEAPL_CP", fecha(dia));
      if (tipo == 51) e.setText("FEVEN_CP", fecha(dia + 30));
      e.post();
    };
    for (int d = 1; d <= kCompras; ++d) {
      const int prov = 1 + d % kProveedores;
      const double total = 500 + d % 700;
      const double pagado = d % 2 ? 100 : 0;
      movimiento(d, prov, 51, "C", total, d % 600);
      o.append();
      o.setInteger("CLDOC_O", d);
      o.setText("CLPRV_O", clave(prov));
      o.setFloat("IMDOC_O", total);
      o.setFloat("ABONO_O", pagado);
      o.setFloat("SALDO_O", total - pagado);
      o.setText("MONED_O", d % 5 ? "M.N." : "USD");
      o.post();
    }
    for (int d = 1; d <= kCompras; d += 2) movimiento(d, 1 + d % kProveedores, 2, "A", 100, d % 600 + 5);
  }
  ~EmpresaPagar() {
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
  }
};

EmpresaPagar& empresa() {
  static EmpresaPagar e;
  return e;
}

const base::Fecha kHoy{2025, 6, 30};

void BM_AntiguedadCuentasPorPagar(benchmark::State& state) {
  EmpresaPagar& e = empresa();
  for (auto _ : state) {
    const auto r = accounts::cartera(e.datos, accounts::Cartera::Proveedores, kHoy);
    if (r.documentos.size() != static_cast<size_t>(kCompras)) state.SkipWithError("faltan compras abiertas");
    benchmark::DoNotOptimize(r.total);
  }
  state.counters["compras"] = kCompras;
}
BENCHMARK(BM_AntiguedadCuentasPorPagar)->Unit(benchmark::kMillisecond);

void BM_ConsultaUnProveedor(benchmark::State& state) {
  EmpresaPagar& e = empresa();
  prueba::InteraccionFalsa ui;
  for (auto _ : state) {
    const auto v = accounts::comprasProveedor(e.datos, clave(77), accounts::FiltroConsulta::ConSaldo, "M.N.");
    benchmark::DoNotOptimize(accounts::sumaTotales(v).saldo);
    if (!accounts::guardaTotalesProveedor(e.datos, clave(77), ui)) state.SkipWithError("totales no guardados");
  }
}
BENCHMARK(BM_ConsultaUnProveedor)->Unit(benchmark::kMillisecond);

// One cent at a time, so that the purchase stays open through the iterations.
void BM_MovimientoEnDetalle(benchmark::State& state) {
  EmpresaPagar& e = empresa();
  base::RelojSistema reloj;
  for (auto _ : state) {
    const std::string m = accounts::guardaMovimientoPagar(e.datos, "4000", 0, {2, 0.01, "", ""}, reloj);
    if (!m.empty()) state.SkipWithError(m.c_str());
  }
}
BENCHMARK(BM_MovimientoEnDetalle)->Unit(benchmark::kMillisecond);

void BM_ActualizaSaldosProveedores(benchmark::State& state) {
  EmpresaPagar& e = empresa();
  prueba::InteraccionFalsa ui;
  for (auto _ : state)
    if (accounts::actualizaSaldosProveedores(e.datos, ui) != kProveedores) state.SkipWithError("proveedores sin saldo");
}
BENCHMARK(BM_ActualizaSaldosProveedores)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
