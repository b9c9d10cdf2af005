// The till's day at size: the Z cut (seven sections and the cash summary, with each
// document's taxed base read from its lines) of a day with 2,000 counter tickets of two
// lines each, a tenth of them invoiced, some cancelled, and 100 cash movements. Target:
// under one second.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <iostream>
#include <string>

#include "base/interaccion.h"
#include "base/reloj.h"
#include "reports/filtro_reporte.h"
#include "reports/reporte_sql.h"
#include "sales/reportes_venta.h"
#include "session/empresa_nueva.h"
#include "store/dbf/dbf_table.h"

using namespace mostrador;

namespace {

class RelojDia : public base::Reloj {
 public:
  base::FechaHora ahora() const override { return {{2025, 3, 15}, {22, 0, 0, 0}}; }
};

constexpr int kTickets = 2000;

const std::string& datos() {
  static const std::string d = [] {
    char plantilla[] = "/tmp/caja-bench-XXXXXX";
    const std::string raiz = mkdtemp(plantilla);
    const std::string dir = raiz + "/datos";
    session::creaDirectorioDatos(dir);
    std::filesystem::create_directories(raiz + "/sis/tempo");
    const dbf::Fecha dia{2025, 3, 15};
    dbf::Table e, l, r;
    e.open(dir, "Remision.dbf");
    l.open(dir, "Remisiod.dbf");
    r.open(dir, "retiros.dbf");
    for (int n = 1; n <= kTickets; ++n) {
      const double a = 10 + n % 50, b = 5 + n % 7;
      e.append();
      e.setInteger("CLDOC_F", n);
      e.setText("CLCLI_F", "1");
      e.setFloat("SUBTO_F", a + b);
      e.setFloat("IMIM2_F", b * 0.16);
      e.setFloat("IMTOD_F", a + b * 1.16);
      e.setDate("FEDOC_F", dia);
      if (n % 10 == 0) e.setText("REMIS_F", std::to_string(n / 10));
      if (n % 97 == 0) e.setText("STATU_F", "C");
      e.post();
      for (auto [precio, tasa] : {std::pair{a, 0.0}, std::pair{b, 16.0}}) {
        l.append();
        l.setText("CLDOC_FD", std::to_string(n));
        l.setText("CLPRO_FD", "P" + std::to_string(n % 300));
        l.setFloat("CANTI_FD", 1);
        l.setFloat("PUNPR_FD", precio);
        l.setFloat("IMPOR_FD", precio);
        l.setFloat("PIVA1_FD", tasa);
        l.setText("FEDOC_FD", "15/03/2025");
        l.post();
      }
    }
    for (int n = 1; n <= 100; ++n) {
      r.append();
      r.setInteger("CLDOC_F", n);
      r.setDate("FEDOC_F", dia);
      r.setFloat("CANTIDAD", 10);
      if (n % 3) r.setInteger("NUM_CONCEP", n % 2 ? 1 : 2);
      r.post();
    }
    return raiz;
  }();
  return d;
}

void BM_CorteZDeUnDia(benchmark::State& state) {
  const std::string raiz = datos();
  base::InteraccionSinUsuario ui(&std::cerr);
  RelojDia reloj;
  sales::PeticionReporteVenta p;
  p.comando = "CorteZ1";
  p.desde = base::Fecha{2025, 3, 15};
  p.hasta = base::Fecha{2025, 3, 15};
  size_t lineas = 0;
  for (auto _ : state) {
    auto h = sales::reporteVenta(p, raiz + "/sis", raiz + "/datos", ui, reloj);
    if (!h) state.SkipWithError("el corte no se generó");
    else lineas = h->lineas.size();
  }
  state.counters["lineas"] = static_cast<double>(lineas);
}
BENCHMARK(BM_CorteZDeUnDia)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
