// Company creation, demonstration data, numbering and the document check.
//
//   bench_demo_bench                              small and medium demo data
//   MOSTRADOR_BENCH_GRANDE=1 bench_demo_bench     also 100 000 products / 1 000 000 movements
//   MOSTRADOR_BENCH_DIR=<dir>                     where the scratch companies go (default /tmp)

#include <benchmark/benchmark.h>


#include <cstdlib>
#include <filesystem>
#include <string>

#include "store/demo.h"
#include "session/empresa_nueva.h"
#include "store/numeracion.h"

namespace {

namespace fs = std::filesystem;
using namespace mostrador;
using namespace mostrador::store;

class DirectorioBanco {
 public:
  DirectorioBanco() {
    const char* base = std::getenv("MOSTRADOR_BENCH_DIR");
    std::string plantilla = std::string(base ? base : "/tmp") + "/mostrador-banco-XXXXXX";
    if (!mkdtemp(plantilla.data())) std::abort();
    ruta_ = plantilla;
  }
  ~DirectorioBanco() {
    std::error_code ec;
    fs::remove_all(ruta_, ec);
  }
  std::string sub(const char* nombre) const { return (ruta_ / nombre).string(); }

 private:
  fs::path ruta_;
};

uintmax_t bytesDe(const std::string& dir) {
  uintmax_t total = 0;
  for (const auto& e : fs::directory_iterator(dir))
    if (e.is_regular_file()) total += e.file_size();
  return total;
}

void BM_CreaDirectorioDatos(benchmark::State& state) {
  DirectorioBanco dir;
  int n = 0;
  for (auto _ : state) session::creaDirectorioDatos(dir.sub(("e" + std::to_string(++n)).c_str()));
  state.counters["tablas"] = static_cast<double>(tablasEmpresa().size());
}
BENCHMARK(BM_CreaDirectorioDatos)->Unit(benchmark::kMillisecond);

void BM_Demo(benchmark::State& state) {
  TamanoDemo t;
  switch (state.range(0)) {
    case 0: t = TamanoDemo::pequeno(); break;
    case 1: t = TamanoDemo::mediano(); break;
    default:
      if (!std::getenv("MOSTRADOR_BENCH_GRANDE")) {
        state.SkipWithError("set MOSTRADOR_BENCH_GRANDE=1 to run the large size");
        return;
      }
      t = TamanoDemo::grande();
  }
  DirectorioBanco dir;
  ResumenDemo r;
  std::string datos;
  int n = 0;
  for (auto _ : state) {
    state.PauseTiming();
    datos = dir.sub(("d" + std::to_string(++n)).c_str());
    session::creaDirectorioDatos(datos);
    state.ResumeTiming();
    OpcionesDemo o;
    o.tamano = t;
    r = generaDemo(datos, o);
  }
  state.counters["movimientos/s"] = benchmark::Counter(
      static_cast<double>(r.movimientos) * static_cast<double>(state.iterations()),
      benchmark::Counter::kIsRate);
  state.counters["MB"] = static_cast<double>(bytesDe(datos)) / 1e6;
}
BENCHMARK(BM_Demo)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_TomaNumeroContador(benchmark::State& state) {
  DirectorioBanco dir;
  const std::string datos = dir.sub("datos");
  session::creaDirectorioDatos(datos);
  Numerador n;
  for (auto _ : state) benchmark::DoNotOptimize(n.tomaNumero(datos, contadorRemisiones()));
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_TomaNumeroContador);

void BM_VerificaDocumentos(benchmark::State& state) {
  DirectorioBanco dir;
  const std::string datos = dir.sub("datos");
  session::creaDirectorioDatos(datos);
  OpcionesDemo o;
  o.tamano = TamanoDemo::mediano();
  const ResumenDemo r = generaDemo(datos, o);
  for (auto _ : state) benchmark::DoNotOptimize(verificaDocumentos(datos, datos));
  state.SetItemsProcessed(state.iterations() * (r.remisiones + r.facturas + r.compras));
}
BENCHMARK(BM_VerificaDocumentos)->Unit(benchmark::kMillisecond);

}  // namespace



BENCHMARK_MAIN();
