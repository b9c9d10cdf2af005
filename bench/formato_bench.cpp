// A print run in preview mode over a long document: the cost of the line loop, the
// expressions and the preview records per detail line.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

#include "support/fakes_impresion.h"
#include "printing/motor_formatos.h"
#include "base/interaccion.h"
#include "base/rutas.h"
#include "base/texto.h"

using namespace mostrador;
using namespace mostrador::printing;

namespace {

using InteraccionMuda = base::InteraccionSinUsuario;

class RelojQuieto : public base::Reloj {
 public:
  base::FechaHora ahora() const override { return {{2001, 7, 1}, {}}; }
};

void BM_VistaPreviaDetalle(benchmark::State& estado) {
  auto dir = std::filesystem::temp_directory_path() / ("formato-bench-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir / "unidades");
  setenv("MOSTRADOR_UNIDADES", (dir / "unidades").c_str(), 1);
  base::creaDirectorios("C:\\TVK\\consulta");
  base::escribeLineas("C:\\TVK\\consulta\\f.fmt",
                       {"lin(40)", "paginas(imprime)", "$", "texto(30,1,FACTURA)", "@12,4,NOMBR_F",
                        "saltar(6)", "$", "&", "@2,0,CANTIDAD", "aju(12,0,PRODUCTO,30)",
                        "moneda(50,0,PRECIO,f,,2)", "variable1=variable1+PRECIO*CANTIDAD",
                        "saltar(1)", "&", "moneda(50,1,variable1,f,,2)", "tra(2,2,variable1)"});
  std::vector<std::vector<std::string>> filas;
  for (int i = 0; i < estado.range(0); ++i)
    filas.push_back({"Producto " + std::to_string(i), std::to_string(i % 7 + 1), "12.5"});
  prueba::TablaMemoria encabezado{"FacturaE.dbf", {"NOMBR_F"}, {{"Cliente"}}};
  prueba::TablaMemoria detalle{"deta2.db", {"PRODUCTO", "CANTIDAD", "PRECIO"}, filas};
  prueba::EntornoFalso entorno;
  InteraccionMuda ui;
  RelojQuieto reloj;
  prueba::ImpresoraFalsa impresora;
  prueba::ColaFalsa cola;
  MotorFormatos motor(entorno, ui, reloj, impresora, cola);
  for (auto _ : estado) {
    auto r = motor.ImprimeFormato(encabezado, detalle, "C:\\TVK\\consulta\\f.fmt", 'p');
    benchmark::DoNotOptimize(r);
  }
  estado.SetItemsProcessed(estado.iterations() * estado.range(0));
  std::filesystem::remove_all(dir);
}
BENCHMARK(BM_VistaPreviaDetalle)->Arg(100)->Arg(2000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
