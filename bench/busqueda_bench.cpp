// The search by any field over 50,000 customers of cliente.dbf: the time until the table
// stands on a match near the end of the file, in record order and under each of the
// table's tags, and the time to learn that nothing matches.
//
// Run: build/bench_busqueda_bench. The company is built once per process in $TMPDIR (or
// /tmp) and removed at the end.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "session/empresa_nueva.h"
#include "store/busqueda_campo.h"
#include "store/dbf/dbf_table.h"

namespace fs = std::filesystem;
using namespace mostrador;

namespace {

constexpr int kClientes = 50'000;

struct Clientes {
  fs::path dir;
  std::string datos;
  Clientes() {
    const char* tmp = std::getenv("TMPDIR");
    dir = fs::path(tmp ? tmp : "/tmp") / ("busqueda_bench_" + std::to_string(getpid()));
    datos = (dir / "datos").string();
    session::creaDirectorioDatos(datos);
    dbf::Table t;
    t.open(datos, "cliente.dbf", dbf::OpenMode::Exclusive);
    char clave[16], nombre[64], poblacion[32];
    for (int i = 1; i <= kClientes; ++i) {
      std::snprintf(clave, sizeof clave, "%10d", i);
      std::snprintf(nombre, sizeof nombre, "CLIENTE %05d %s", (i * 7919) % kClientes, i % 2 ? "SA DE CV" : "");
      std::snprintf(poblacion, sizeof poblacion, "POBLACION %d", i % 300);
      t.append();
      t.setText("CLCLI_C", clave);
      t.setText("NOMBR_C", nombre);
      t.setText("POBLA_C", poblacion);
      t.setFloat("SALDO_C", (i % 1000) * 1.25);
      t.post();
    }
    // The sought ones, near the end of the file.
    for (const char* n : {"Ultimo Cliente Buscado", "Ultimo Cliente Repetido"}) {
      t.append();
      t.setText("CLCLI_C", std::to_string(kClientes + 1 + (n[15] == 'R')));
      t.setText("NOMBR_C", n);
      t.setText("POBLA_C", "Lejana");
      t.post();
    }
  }
  ~Clientes() {
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
};

Clientes& clientes() {
  static Clientes c;
  return c;
}

void busca(benchmark::State& state, const char* indice, const char* campo, const char* valor,
           store::ResultadoBusquedaCampo esperado) {
  dbf::Table t;
  t.open(clientes().datos, "cliente.dbf");
  t.setIndex(indice);
  for (auto _ : state) {
    t.first();
    const auto r = store::buscaPorCampo(t, campo, valor);
    if (r != esperado) state.SkipWithError("resultado inesperado");
    benchmark::DoNotOptimize(t.recno());
  }
  state.counters["registros"] = kClientes + 2;
}

// One candidate, at the end of the file.
void BM_AlFinalEnOrdenNatural(benchmark::State& s) {
  busca(s, "", "NOMBR_C", "Ultimo Cliente B", store::ResultadoBusquedaCampo::Hallado);
}
void BM_AlFinalPorClave(benchmark::State& s) {
  busca(s, "ICLACLI", "NOMBR_C", "Ultimo Cliente B", store::ResultadoBusquedaCampo::Hallado);
}
// Two candidates at the end under a tag: the walk of the index decides.
void BM_DosCandidatosPorClave(benchmark::State& s) {
  busca(s, "ICLACLI", "POBLA_C", "Lejana", store::ResultadoBusquedaCampo::Hallado);
}
void BM_DosCandidatosPorNombre(benchmark::State& s) {
  busca(s, "NOMBR_C", "NOMBR_C", "Ultimo Cliente", store::ResultadoBusquedaCampo::Hallado);
}
void BM_NoSeEncuentra(benchmark::State& s) {
  busca(s, "ICLACLI", "NOMBR_C", "Nadie", store::ResultadoBusquedaCampo::NoSeEncuentra);
}

}  // namespace

BENCHMARK(BM_AlFinalEnOrdenNatural)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AlFinalPorClave)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DosCandidatosPorClave)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DosCandidatosPorNombre)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NoSeEncuentra)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
