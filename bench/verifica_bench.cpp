// The read-only check of a table (verificaTabla) on a 1,000,000-record table shaped like
// the inventory movements: product key, document, date, quantity, cost, with three tags
// (product + date, document, an expression on the type and date), built once per run.
//
//   Verifica/Tabla        the whole check: every record read and every tag merged
//   Verifica/Rangos       the same with a budget of 32 MB of keys, which splits the
//                         table into ranges (each tag walked once per range)
//   Lectura/Secuencial    the sequential read alone, for reference
//
// The target is that the large demonstration company (about 467 MB, this table being
// most of it) checks in 10 s on the project's machine. VERIFICA_BENCH_REGISTROS overrides
// the size. Files go to $TMPDIR (or /tmp).

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "store/dbf/dbf_table.h"
#include "store/dbf/lector_secuencial.h"
#include "store/dbf/verificacion.h"

namespace fs = std::filesystem;
using namespace mostrador::dbf;

namespace {

const int kRegistros = [] {
  const char* v = std::getenv("VERIFICA_BENCH_REGISTROS");
  return v && std::atoi(v) > 0 ? std::atoi(v) : 1'000'000;
}();

struct Datos {
  fs::path dir;

  Datos() {
    const char* tmp = std::getenv("TMPDIR");
    std::string plantilla = std::string(tmp && *tmp ? tmp : "/tmp") + "/verifica-bench-XXXXXX";
    if (!mkdtemp(plantilla.data())) std::abort();
    dir = plantilla;
    Table::create(dir.string(), "movinven.dbf",
                  {{"CLPRO_MI", 'C', 20, 0},
                   {"CLDOC_MI", 'C', 10, 0},
                   {"FEMOV_MI", 'D', 8, 0},
                   {"TIMOV_MI", 'N', 4, 0},
                   {"CANTI_MI", 'N', 12, 2},
                   {"COSTO_MI", 'N', 14, 4},
                   {"OBSER_MI", 'C', 40, 0}},
                  {{"ICLPRO", "CLPRO_MI;FEMOV_MI"},
                   {"ICLDOC", "CLDOC_MI"},
                   {"ITIPMOV", "*STR(TIMOV_MI,4)+DTOS(FEMOV_MI)"}});
    Table t;
    t.open(dir.string(), "movinven.dbf", OpenMode::Exclusive);
    char b[32];
    for (int i = 0; i < kRegistros; ++i) {
      const long long n = i;
      t.append();
      std::snprintf(b, sizeof b, "P%06lld", (n * 7919) % 100000);
      t.setText(0, b);
      std::snprintf(b, sizeof b, "R%07d", i / 4);
      t.setText(1, b);
      t.setDate(2, Fecha{2020 + i % 7, 1 + (i / 7) % 12, 1 + (i / 84) % 28});
      t.setInteger(3, i % 3 ? 3 : 51);
      t.setFloat(4, 1 + i % 20);
      t.setFloat(5, 10.5 + i % 1000);
      t.setText(6, "movimiento de prueba");
      t.post();
    }
  }
  ~Datos() {
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
};

Datos& datos() {
  static Datos d;
  return d;
}

void Verifica_Tabla(benchmark::State& state) {
  Datos& d = datos();
  size_t problemas = 0;
  for (auto _ : state) {
    ResultadoVerificacion r = verificaTabla(d.dir.string(), "movinven.dbf");
    problemas = r.problemas.size();
    benchmark::DoNotOptimize(r);
  }
  if (problemas != 0) state.SkipWithError("la tabla de prueba salió con problemas");
  state.counters["registros/s"] =
      benchmark::Counter(static_cast<double>(kRegistros) * state.iterations(), benchmark::Counter::kIsRate);
}

void Verifica_Rangos(benchmark::State& state) {
  Datos& d = datos();
  size_t problemas = 0;
  for (auto _ : state) {
    ResultadoVerificacion r = verificaTabla(d.dir.string(), "movinven.dbf", {}, 32ull * 1024 * 1024);
    problemas = r.problemas.size();
    benchmark::DoNotOptimize(r);
  }
  if (problemas != 0) state.SkipWithError("la tabla de prueba salió con problemas");
  state.counters["registros/s"] =
      benchmark::Counter(static_cast<double>(kRegistros) * state.iterations(), benchmark::Counter::kIsRate);
}

void Lectura_Secuencial(benchmark::State& state) {
  Datos& d = datos();
  for (auto _ : state) {
    LectorSecuencial l(d.dir.string(), "movinven.dbf");
    uint32_t n = 0;
    while (l.siguiente()) ++n;
    benchmark::DoNotOptimize(n);
  }
}

}  // namespace

BENCHMARK(Verifica_Tabla)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(Verifica_Rangos)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(Lectura_Secuencial)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
