// The catalogue browser over a 1,000,000-record table: opening it and reading its first
// page of rows (the grid asks for 100), and the exact four-decimal sum of a money column
// over the whole table.
//
// Run: build/bench_catalogo_bench. The table is built once per process in $TMPDIR (or
// /tmp), written as raw records so that building it does not dominate the run.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "designers/navegador_catalogo.h"
#include "base/interaccion.h"
#include "store/dbf/dbf_table.h"

namespace fs = std::filesystem;
using namespace mostrador;

namespace {

constexpr int kRegistros = 1'000'000;

// Nothing here asks the user anything; a message is a failure of the run.
class SinUsuario : public base::Interaccion {
 public:
  void mensaje(std::string_view t) override { ultimo = std::string(t); }
  base::RespuestaAdvertencia advertencia(std::string_view, bool) override { return base::RespuestaAdvertencia::No; }
  base::RespuestaCerrar cerrar() override { return base::RespuestaCerrar::Quedarse; }
  base::RespuestaAdministrador administrador() override { return {}; }
  std::optional<base::Busqueda> busca(bool) override { return std::nullopt; }
  std::optional<std::string> abreArchivo(std::string_view, std::string_view) override { return std::nullopt; }
  std::optional<std::string> guardaArchivo(std::string_view, std::string_view) override { return std::nullopt; }
  std::optional<std::string> pideTexto(std::string_view, std::string_view, std::string_view) override { return std::nullopt; }
  void iniciaProgreso(std::string_view, int) override {}
  void avanzaProgreso(int) override {}
  void terminaProgreso() override {}
  void iniciaEspera() override {}
  void terminaEspera() override {}
  std::string ultimo;

 protected:
  std::string pideDato(std::string_view) override { return {}; }
};

struct Datos {
  fs::path dir;
  Datos() {
    const char* tmp = std::getenv("TMPDIR");
    dir = fs::path(tmp ? tmp : "/tmp") / ("catalogo_bench_" + std::to_string(getpid()));
    fs::create_directories(dir / "sistema");
    fs::create_directories(dir / "datos");
    const std::string datos = (dir / "datos").string();
    dbf::Table::create(datos, "inventar.dbf",
                       {{"CLPRO_I", 'C', 15, 0}, {"DSCPR_I", 'C', 40, 0}, {"EXIST_I", 'N', 12, 2},
                        {"PPUBL_I", 'N', 14, 4}});
    // Raw records after the header: deleted flag, then the fields blank-padded.
    const std::string ruta = (dir / "datos" / "inventar.dbf").string();
    std::fstream f(ruta, std::ios::in | std::ios::out | std::ios::binary);
    char cabecera[12];
    f.read(cabecera, 12);
    uint16_t largoCabecera, largoRegistro;
    std::memcpy(&largoCabecera, cabecera + 8, 2);
    std::memcpy(&largoRegistro, cabecera + 10, 2);
    f.seekp(largoCabecera);
    std::string bloque;
    char r[256];
    for (int i = 0; i < kRegistros; ++i) {
      std::snprintf(r, sizeof r, " %-15s%-40s%12.2f%14.4f", ("P" + std::to_string(i)).c_str(),
                    ("PRODUCTO " + std::to_string(i % 977)).c_str(), static_cast<double>(i % 50),
                    0.1 + (i % 100) / 100.0);
      bloque.append(r, largoRegistro);
      if (bloque.size() > (1 << 20)) {
        f.write(bloque.data(), static_cast<std::streamsize>(bloque.size()));
        bloque.clear();
      }
    }
    bloque.push_back('\x1A');
    f.write(bloque.data(), static_cast<std::streamsize>(bloque.size()));
    const uint32_t n = kRegistros;
    f.seekp(4);
    f.write(reinterpret_cast<const char*>(&n), 4);
  }
  ~Datos() { fs::remove_all(dir); }
  std::string sistema() const { return (dir / "sistema").string(); }
  std::string datos() const { return (dir / "datos").string(); }
};

Datos& datos() {
  static Datos d;
  return d;
}

void BM_PrimeraPagina(benchmark::State& state) {
  Datos& d = datos();
  SinUsuario ui;
  for (auto _ : state) {
    designers::NavegadorCatalogo n(ui, d.sistema(), d.datos(), "inventar.dbf",
                                  {{"CLPRO_I", "Producto", 80, ' '}, {"DSCPR_I", "Descripción", 80, ' '},
                                   {"PPUBL_I", "Precio", 80, ' '}});
    const size_t filas = n.cargaMas(100);
    if (filas != 100) state.SkipWithError("la primera página no tiene 100 filas");
    benchmark::DoNotOptimize(n.filas().back().celdas[0]);
  }
}
BENCHMARK(BM_PrimeraPagina)->Unit(benchmark::kMillisecond);

void BM_SumaExacta(benchmark::State& state) {
  Datos& d = datos();
  SinUsuario ui;
  designers::NavegadorCatalogo n(ui, d.sistema(), d.datos(), "inventar.dbf",
                                {{"CLPRO_I", "", 80, ' '}, {"PPUBL_I", "", 80, ' '}});
  for (auto _ : state) {
    auto s = n.sumaDiezmilesimos(1);
    if (!s) state.SkipWithError("la columna no se pudo sumar");
    benchmark::DoNotOptimize(s);
  }
  // 0.10 .. 1.09 repeated: 10,000 rounds of sum(0.10..1.09) = 10,000 × 59.5.
  if (auto s = n.sumaDiezmilesimos(1); !s || *s != 5950000000LL)
    state.SkipWithError("la suma no es exacta");
}
BENCHMARK(BM_SumaExacta)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
