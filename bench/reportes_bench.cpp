// The report path at size: a definition with grouping over 100,000 detail lines, the
// concentration generator over the same lines, and the viewer opening and paging a
// result of 1,000,000 records (with the resident memory it takes, which must not grow
// with the file).

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "reports/concentrado.h"
#include "reports/reporte_sql.h"
#include "reports/visor_concentrado.h"
#include "base/interaccion.h"
#include "base/rutas.h"
#include "store/dbf/dbf_table.h"
#include "store/sql/sql.h"

using namespace mostrador;
using namespace mostrador::reports;

namespace {

// Messages to stderr, questions unanswered.
class InteraccionMuda : public base::InteraccionSinUsuario {
 public:
  InteraccionMuda() : InteraccionSinUsuario(&std::cerr) {}
};

// Resident memory of this process, in KiB.
long residenteKb() {
  std::ifstream f("/proc/self/status");
  std::string l;
  while (std::getline(f, l))
    if (l.rfind("VmRSS:", 0) == 0) return std::atol(l.c_str() + 6);
  return 0;
}

const std::string& raiz() {
  static const std::string r = [] {
    char plantilla[] = "/tmp/reportes-bench-XXXXXX";
    std::string d = mkdtemp(plantilla);
    std::filesystem::create_directories(d + "/datos");
    std::filesystem::create_directories(d + "/sis/tempo");
    return d;
  }();
  return r;
}

// 100,000 detail lines of 500 products and 2,000 documents.
const std::string& detalle() {
  static const std::string datos = [] {
    const std::string d = raiz() + "/datos";
    dbf::Table::create(d, "facturad.dbf",
                       {{"CLDOC_FD", 'C', 10, 0},
                        {"CLPRO_FD", 'C', 13, 0},
                        {"CANTI_FD", 'N', 12, 3},
                        {"COPRO_FD", 'N', 14, 4},
                        {"PREDE_FD", 'N', 14, 4},
                        {"TREGI_FD", 'C', 1, 0}});
    dbf::Table t;
    t.open(d, "facturad.dbf");
    for (int i = 0; i < 100000; ++i) {
      t.append();
      t.setText(0, std::to_string(i / 50 + 1));
      t.setText(1, "P" + std::to_string(i % 500));
      t.setFloat(2, 1 + i % 7);
      t.setFloat(3, 10 + i % 13);
      t.setFloat(4, 15 + i % 17);
      t.post();
    }
    return d;
  }();
  return datos;
}

void BM_DefinicionConGrupos100k(benchmark::State& st) {
  const std::string datos = detalle();
  InteraccionMuda ui;
  const std::string def = "$Ventas por Articulo\r&Select CLDOC_FD,CLPRO_FD,CANTI_FD,CANTI_FD*COPRO_FD,CANTI_FD*PREDE_FD,"
                          "((PREDE_FD-COPRO_FD)/PREDE_FD)*100 from \"" + datos + "/facturad.dbf\"\r"
                          "?(TREGI_FD<>\"C\" OR TREGI_FD IS NULL) \xC2\xBF\r!CLPRO_FD\r>CLPRO_FD\r%e c t t t m\r"
                          "#DOCUMENTO  PRODUCTO     CANTIDAD        COSTO_X_CANT.  PRECIO_X_CANT. %PROM.UTILID.\r@";
  size_t lineas = 0;
  for (auto _ : st) {
    ReporteSql r(ui, "Reporte de Ventas");
    if (!r.ejecuta(def, datos)) st.SkipWithError("el reporte falló");
    lineas = r.hoja().size();
  }
  st.counters["lineas"] = static_cast<double>(lineas);
}
BENCHMARK(BM_DefinicionConGrupos100k)->Unit(benchmark::kMillisecond)->Iterations(3);

// The query alone, to tell the runner's own share from the SQL engine's.
void BM_SoloConsulta100k(benchmark::State& st) {
  const std::string datos = detalle();
  sql::BaseSql base;
  for (auto _ : st) {
    auto r = base.consulta("Select CLDOC_FD,CLPRO_FD,CANTI_FD,CANTI_FD*COPRO_FD,CANTI_FD*PREDE_FD,"
                           "((PREDE_FD-COPRO_FD)/PREDE_FD)*100 from \"" + datos + "/facturad.dbf\" where "
                           "(TREGI_FD<>\"C\" OR TREGI_FD IS NULL) order by CLPRO_FD");
    benchmark::DoNotOptimize(r->recordCount());
  }
}
BENCHMARK(BM_SoloConsulta100k)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_Concentrado100k(benchmark::State& st) {
  const std::string datos = detalle();
  InteraccionMuda ui;
  ParametrosConcentrado p;
  p.clave = "CLPRO_FD";
  p.columnas = {"CANTI_FD", "&CANTI_FD*PREDE_FD", "", "", "", "", "", ""};
  for (auto _ : st) {
    dbf::Table t;
    t.open(datos, "facturad.dbf");
    if (GeneraConcentrado({&t}, p, raiz() + "/sis", datos, ui) != ResultadoConcentrado::Hecho)
      st.SkipWithError("el generador falló");
  }
}
BENCHMARK(BM_Concentrado100k)->Unit(benchmark::kMillisecond)->Iterations(3);

// A result of 1,000,000 records written straight to "final.tmp".
const std::string& millon() {
  static const std::string sistema = [] {
    const std::string s = raiz() + "/grande";
    std::filesystem::create_directories(s + "/tempo");
    TitulosConcentrado(s, {"Clave", "Nombre", "Importe", "-Cantidad", "", "", "", "", "", ""}, "C",
                       {'f', 'f', 'x', 'x', 'x', 'x', 'x', 'x'});
    AnchosConcentrado(s, {10, 10, 16, 12, 0, 0, 0, 0, 0, 0});
    std::ofstream f(s + "/tempo/final.tmp", std::ios::binary);
    RegistroConcentrado r;
    r.valores = {"f", "f", "x", "x", "x", "x", "x", "x"};
    f << aBytes(r);
    for (int i = 0; i < 1000000; ++i) {
      char k[16];
      std::snprintf(k, sizeof k, "K%07d", i);
      r.clave = k;
      r.clave2 = "Nombre";
      r.valores = {std::to_string(i % 1000) + ".25", std::to_string(i % 10), "0", "0", "0", "0", "0", "0"};
      f << aBytes(r);
    }
    r = RegistroConcentrado{};
    r.clave = "*";
    r.valores.fill("0");
    f << aBytes(r);
    return s;
  }();
  return sistema;
}

void BM_VisorAbreUnMillon(benchmark::State& st) {
  const std::string s = millon();
  const long antes = residenteKb();
  for (auto _ : st) {
    VisorConcentrado v(s, "Reporte");
    v.abre();
    v.BotonReporte();
    benchmark::DoNotOptimize(v.hoja().size());
  }
  st.counters["rss_kb_extra"] = static_cast<double>(residenteKb() - antes);
}
BENCHMARK(BM_VisorAbreUnMillon)->Unit(benchmark::kMillisecond);

void BM_VisorPaginaUnMillon(benchmark::State& st) {
  const std::string s = millon();
  VisorConcentrado v(s, "Reporte");
  v.abre();
  v.BotonReporte();
  const long antes = residenteKb();
  int n = 0;
  for (auto _ : st) {
    // Each page is a seek and fifty records read.
    v.BotonSiguiente();
    if (++n % 1000 == 0) v.BotonAnterior();
    benchmark::DoNotOptimize(v.hoja().size());
  }
  st.counters["pagina"] = v.pagina() + 1;
  st.counters["rss_kb_extra"] = static_cast<double>(residenteKb() - antes);
}
BENCHMARK(BM_VisorPaginaUnMillon)->Unit(benchmark::kMicrosecond);

// The last page: the closing totals need one pass over the whole file (kept afterwards).
void BM_VisorUltimaPaginaUnMillon(benchmark::State& st) {
  const std::string s = millon();
  const long antes = residenteKb();
  for (auto _ : st) {
    VisorConcentrado v(s, "Reporte");
    v.abre();
    v.BotonReporte();
    v.irAPagina(v.paginas() - 1);
    benchmark::DoNotOptimize(v.hoja().size());
  }
  st.counters["rss_kb_extra"] = static_cast<double>(residenteKb() - antes);
}
BENCHMARK(BM_VisorUltimaPaginaUnMillon)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::filesystem::remove_all(raiz());
  return 0;
}
