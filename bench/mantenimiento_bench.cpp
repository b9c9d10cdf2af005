// Maintenance against its yardsticks:
//
//   reindex      a 1,000,000-record table rebuilt from three "Indices.cnf" lines (the
//                index file deleted and three tags made from the records)
//   zip          a company directory archived in process, against the zip tool
//                ("zip -q -r", same default compression) on the same files
//
// The company for the zip is built once: MANT_BENCH_MB megabytes (500 by default) of
// table files whose records look like a shop's (text, numbers, dates, blank padding).
// Run: build/bench_mantenimiento_bench [--benchmark_filter=...]. Files go to $TMPDIR.
//
// On the shared two-core build machine (load about 10): reindex 9.99 s wall, 3.44 s CPU
// per run; zip of 500 MB in process 48.3 s wall (22.1 s CPU) against 93.7 s for the zip
// tool on the same files, both archives about 116 MB.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <cstring>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <string>

#include "base/interaccion.h"
#include "store/dbf/dbf_table.h"
#include "store/mantenimiento/reindexado.h"
#include "store/mantenimiento/respaldo.h"

namespace fs = std::filesystem;
using namespace mostrador;

namespace {

// Messages to stderr, questions unanswered.
class Silenciosa : public base::InteraccionSinUsuario {
 public:
  Silenciosa() : InteraccionSinUsuario(&std::cerr) {}
};

fs::path raiz() {
  const char* t = std::getenv("TMPDIR");
  return fs::path(t && *t ? t : "/tmp") / ("mant_bench_" + std::to_string(getpid()));
}

struct Limpieza {
  ~Limpieza() {
    std::error_code ec;
    fs::remove_all(raiz(), ec);
  }
} limpieza;

// A table of n records written straight through the engine's create and then as bytes
// appended in bulk (the engine's own append would dominate the set-up time).
void tablaGrande(const fs::path& dir, const std::string& nombre, long n, uint32_t semilla) {
  fs::create_directories(dir);
  dbf::Table::create(dir.string(), nombre,
                     {{"CLPRO_I", 'C', 12, 0}, {"DSCPR_I", 'C', 40, 0}, {"EXIST_I", 'N', 12, 3},
                      {"PPUBL_I", 'N', 14, 4}, {"FEALT_I", 'D', 8, 0}});
  const fs::path p = dir / nombre;
  std::string cabecera;
  {
    std::ifstream f(p, std::ios::binary);
    cabecera.assign(std::istreambuf_iterator<char>(f), {});
  }
  if (!cabecera.empty() && cabecera.back() == 0x1A) cabecera.pop_back();
  const int largo = 1 + 12 + 40 + 12 + 14 + 8;
  for (int i = 0; i < 4; ++i) cabecera[4 + static_cast<size_t>(i)] = static_cast<char>((n >> (8 * i)) & 0xFF);
  std::ofstream f(p, std::ios::binary | std::ios::trunc);
  f.write(cabecera.data(), static_cast<std::streamsize>(cabecera.size()));
  static const char* palabras[] = {"TORNILLO", "ARANDELA", "MARTILLO", "PINZA", "BROCA", "LIJA", "CLAVO", "TUERCA"};
  std::mt19937 azar(semilla);
  std::string r(static_cast<size_t>(largo), ' ');
  std::string bloque;
  char b[64];
  for (long i = 0; i < n; ++i) {
    std::fill(r.begin(), r.end(), ' ');
    std::snprintf(b, sizeof b, "P%09ld", (i * 7919) % 1000003 + i / 1000003 * 1000003);
    r.replace(1, std::strlen(b), b);
    std::snprintf(b, sizeof b, "%s %s %u", palabras[azar() % 8], palabras[azar() % 8], static_cast<unsigned>(azar() % 5000));
    r.replace(13, std::strlen(b), b);
    std::snprintf(b, sizeof b, "%12.3f", static_cast<double>(azar() % 100000) / 10);
    r.replace(53, 12, b);
    std::snprintf(b, sizeof b, "%14.4f", static_cast<double>(azar() % 1000000) / 100);
    r.replace(65, 14, b);
    std::snprintf(b, sizeof b, "%04u%02u%02u", 2000 + static_cast<unsigned>(azar() % 26), 1 + static_cast<unsigned>(azar() % 12),
                  1 + static_cast<unsigned>(azar() % 28));
    r.replace(79, 8, b);
    bloque += r;
    if (bloque.size() > (1 << 22)) {
      f.write(bloque.data(), static_cast<std::streamsize>(bloque.size()));
      bloque.clear();
    }
  }
  bloque.push_back(0x1A);
  f.write(bloque.data(), static_cast<std::streamsize>(bloque.size()));
}

void BM_Reindexa1MillonTresEtiquetas(benchmark::State& state) {
  const fs::path dir = raiz() / "reindexa";
  static bool hecho = false;
  if (!hecho) {
    tablaGrande(dir, "inventar.dbf", 1'000'000, 7);
    hecho = true;
  }
  const std::vector<std::string> lineas{"inventar.dbf,ICLPRO,CLPRO_I", "inventar.dbf,IDSCPR,*UPPER(DSCPR_I)",
                                        "inventar.dbf,IFECHA,FEALT_I;CLPRO_I"};
  Silenciosa ui;
  for (auto _ : state) {
    store::ResultadoIndices r = store::reconstruyeIndices(ui, dir.string(), lineas);
    if (r.creados.size() != 3) state.SkipWithError("no se crearon las tres etiquetas");
  }
  state.SetItemsProcessed(state.iterations() * 1'000'000);
}
BENCHMARK(BM_Reindexa1MillonTresEtiquetas)->Unit(benchmark::kSecond)->Iterations(3)->UseRealTime();

const long kMegas = [] {
  const char* v = std::getenv("MANT_BENCH_MB");
  return v && std::atol(v) > 0 ? std::atol(v) : 500L;
}();

fs::path empresa() {
  const fs::path dir = raiz() / "empresa";
  static bool hecho = false;
  if (!hecho) {
    // Ten tables of a tenth of the size each (96 bytes per record).
    const long registros = kMegas * 1024 * 1024 / 96 / 10;
    for (int i = 0; i < 10; ++i) tablaGrande(dir, "tabla" + std::to_string(i) + ".dbf", registros, 100 + i);
    hecho = true;
  }
  return dir;
}

void BM_ZipEnProceso(benchmark::State& state) {
  const fs::path dir = empresa();
  const fs::path zip = raiz() / "proceso" / "prue.zip";
  for (auto _ : state) {
    store::ResultadoRespaldo r = store::respaldoComprimido(dir.string(), zip.string());
    if (!r.exito) state.SkipWithError(r.error.c_str());
  }
  state.SetBytesProcessed(state.iterations() * kMegas * 1024 * 1024);
  state.counters["zip_MB"] = static_cast<double>(fs::file_size(zip)) / (1024 * 1024);
}
BENCHMARK(BM_ZipEnProceso)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

void BM_ZipHerramienta(benchmark::State& state) {
  const fs::path dir = empresa();
  const fs::path zip = raiz() / "herramienta" / "prue.zip";
  fs::create_directories(zip.parent_path());
  const std::string orden = "cd '" + dir.string() + "' && zip -q -r '" + zip.string() + "' .";
  for (auto _ : state) {
    std::error_code ec;
    fs::remove(zip, ec);
    if (std::system(orden.c_str()) != 0) state.SkipWithError("zip falló");
  }
  state.SetBytesProcessed(state.iterations() * kMegas * 1024 * 1024);
  state.counters["zip_MB"] = static_cast<double>(fs::file_size(zip)) / (1024 * 1024);
}
BENCHMARK(BM_ZipHerramienta)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
