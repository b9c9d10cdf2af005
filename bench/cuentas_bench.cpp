// Receivables at a wholesaler's scale: 100,000 entries (40,000 documents of 2,000
// customers, each a charge and up to two payments). The ageing of every open document
// (target: under 1 s), one customer's ageing and statement, one document's detail and
// one payment split over a customer's documents.
//
// Run: build/bench_cuentas_bench. The company is built once per process under $TMPDIR
// (or /tmp) and removed at the end.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "accounts/cuentas.h"
#include "base/reloj.h"
#include "session/empresa_nueva.h"
#include "store/dbf/dbf_table.h"

using namespace mostrador;

namespace {

constexpr int kClientes = 2'000;
constexpr int kDocumentos = 40'000;
constexpr long kAsientos = 100'000;

std::string clave(int c) { return "C" + std::to_string(c); }

struct EmpresaCuentas {
  std::filesystem::path dir;
  std::string datos;
  long asientos = 0;
  EmpresaCuentas() {
    const char* tmp = std::getenv("TMPDIR");
    dir = std::filesystem::path(tmp ? tmp : "/tmp") / ("cuentas_bench_" + std::to_string(getpid()));
    datos = (dir / "datos").string();
    session::creaDirectorioDatos(datos);
    dbf::Table c, e;
    c.open(datos, "cliente.dbf", dbf::OpenMode::Exclusive);
    for (int i = 1; i <= kClientes; ++i) {
      c.append();
      c.setText("CLCLI_C", clave(i));
      c.setText("NOMBR_C", "Cliente " + std::to_string(i));
      c.setFloat("SALDO_C", 0);
      c.post();
    }
    e.open(datos, "cucobrar.dbf", dbf::OpenMode::Exclusive);
    auto asiento = [&](int doc, int cliente, const char* tipo, const char* op, double importe, int dia) {
      char f[32];
      std::snprintf(f, sizeof f, "%02d/%02d/%04d", 1 + dia % 28, 1 + (dia / 28) % 12, 2024 + dia / 336);
      e.append();
      e.setText("CLCLI_CC", clave(cliente));
      e.setText("NUFAC_CC", std::to_string(doc));
      e.setText("NUREF_CC", std::to_string(doc));
      e.setText("TIMOV_CC", tipo);
      e.setText("OPERA_CC", op);
      e.setFloat("IMCUE_CC", importe);
      e.setText("FEAPL_CC", f);
      if (*op == 'C') {
        std::snprintf(f, sizeof f, "%02d/%02d/%04d", 1 + (dia + 9) % 28, 1 + ((dia + 30) / 28) % 12,
                      2024 + (dia + 30) / 336);
        e.setText("FEVEN_CC", f);
      }
      e.post();
      ++asientos;
    };
    // Charges first, then the payments, as a history's entries interleave documents.
    for (int d = 1; d <= kDocumentos; ++d) asiento(d, 1 + d % kClientes, "1", "C", 100 + d % 900, d % 600);
    for (int d = 1; asientos < kAsientos; d = d % kDocumentos + 1)
      asiento(d, 1 + d % kClientes, "2", "A", 25, d % 600 + 3);
  }
  ~EmpresaCuentas() {
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
  }
};

EmpresaCuentas& empresa() {
  static EmpresaCuentas e;
  return e;
}

const base::Fecha kHoy{2025, 6, 30};

void BM_CarteraCompleta(benchmark::State& state) {
  EmpresaCuentas& e = empresa();
  for (auto _ : state) {
    const auto r = accounts::cartera(e.datos, accounts::Cartera::Clientes, kHoy);
    if (r.documentos.empty()) state.SkipWithError("sin documentos abiertos");
    benchmark::DoNotOptimize(r.total);
  }
  state.counters["asientos"] = static_cast<double>(e.asientos);
}
BENCHMARK(BM_CarteraCompleta)->Unit(benchmark::kMillisecond);

void BM_CarteraUnCliente(benchmark::State& state) {
  EmpresaCuentas& e = empresa();
  for (auto _ : state)
    benchmark::DoNotOptimize(accounts::cartera(e.datos, accounts::Cartera::Clientes, kHoy, clave(77)).total);
}
BENCHMARK(BM_CarteraUnCliente)->Unit(benchmark::kMillisecond);

void BM_EstadoCuenta(benchmark::State& state) {
  EmpresaCuentas& e = empresa();
  for (auto _ : state)
    benchmark::DoNotOptimize(accounts::estadoCuenta(e.datos, accounts::Cartera::Clientes, clave(77))->saldo);
}
BENCHMARK(BM_EstadoCuenta)->Unit(benchmark::kMillisecond);

void BM_DetalleDocumento(benchmark::State& state) {
  EmpresaCuentas& e = empresa();
  for (auto _ : state)
    benchmark::DoNotOptimize(accounts::detalleDocumento(e.datos, accounts::Cartera::Clientes, "20077", kHoy)->saldo);
}
BENCHMARK(BM_DetalleDocumento)->Unit(benchmark::kMillisecond);

// One cent at a time, so that the customer's documents outlast the iterations.
void BM_AbonoRepartido(benchmark::State& state) {
  EmpresaCuentas& e = empresa();
  base::RelojSistema reloj;
  for (auto _ : state) {
    const std::string m = accounts::abona(e.datos, accounts::Cartera::Clientes, {clave(78), 0.01, kHoy, "", 2}, reloj);
    if (!m.empty()) state.SkipWithError(m.c_str());
  }
}
BENCHMARK(BM_AbonoRepartido)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
