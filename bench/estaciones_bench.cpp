// Stations selling into one company: the aggregate rate and what an independent reader
// of the files finds afterwards; stations killed at random; the time of one large save.
//
//   ./build/bench_estaciones_bench --benchmark_filter=Ocho      (8 stations x 1,000 sales)
//   ./build/bench_estaciones_bench --benchmark_filter=Matadas   (300 rounds of 3 stations)
//   ./build/bench_estaciones_bench --benchmark_filter=Cincuenta (a 50-line sale)
//   ./build/bench_estaciones_bench --benchmark_filter=Una       (one station, 200 sales)
//   ./build/bench_estaciones_bench --benchmark_filter=Verifica  (verifica while 4 stations sell)

#include <benchmark/benchmark.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <random>

#include "sales/captura.h"
#include "store/dbf/verificacion.h"
#include "base/rutas.h"
#include "store/dbf/dbf_table.h"
#include "support/dialogos_venta_falsos.h"
#include "support/empresa_ventas.h"
#include "support/entorno.h"
#include "support/estaciones.h"
#include "support/interaccion_fake.h"
#include "support/reloj_fijo.h"
#include "support/tienda_estaciones.h"

using namespace mostrador::prueba;

namespace {

std::string datosLocal() {
  return mostrador::base::resuelve(std::string(EmpresaVentas::kDatos)).string();
}

void cuenta(benchmark::State& st, const RevisionTienda& r) {
  st.counters["guardados"] = double(r.guardados);
  st.counters["rechazados"] = double(r.rechazados);
  st.counters["distintos"] = double(r.distintos);
  st.counters["huerfanos"] = double(r.huerfanos);
  st.counters["duplicados"] = double(r.duplicados);
  st.counters["perdidos"] = double(r.perdidos);
  st.counters["existencias_mal"] = double(r.existencias);
  st.counters["saldos_mal"] = double(r.saldos);
  st.counters["ilegibles"] = double(r.ilegibles);
  if (!r.sana()) st.SetLabel(r.resumen().substr(0, 400));
}

void BM_EstacionesVendiendo(benchmark::State& st) {
  const int estaciones = int(st.range(0)), ventas = int(st.range(1));
  for (auto _ : st) {
    DirectorioTemporal dir;
    EmpresaVentas empresa;
    OpcionesTienda o;
    o.productos = 2000;
    const auto sistemas = preparaTienda(empresa, estaciones, o);
    std::vector<std::string> registros;
    for (int e = 1; e <= estaciones; ++e)
      registros.push_back((dir.ruta() / ("e" + std::to_string(e) + ".log")).string());
    const auto t0 = std::chrono::steady_clock::now();
    std::vector<pid_t> hijos;
    for (int e = 1; e <= estaciones; ++e)
      hijos.push_back(estacion([&, e] {
        return vendeEstacion(empresa, sistemas[size_t(e - 1)], e, ventas, e, registros[size_t(e - 1)], o);
      }));
    for (pid_t h : hijos) espera(h);
    const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    const RevisionTienda r = revisaTienda(datosLocal(), registros, o);
    st.counters["ventas_por_s"] = double(r.guardados) / s;
    cuenta(st, r);
  }
}
BENCHMARK(BM_EstacionesVendiendo)->Name("Ocho_estaciones_mil_ventas")->Args({8, 1000})->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);

void BM_EstacionesMatadas(benchmark::State& st) {
  const int rondas = int(st.range(0));
  for (auto _ : st) {
    DirectorioTemporal dir;
    EmpresaVentas empresa;
    OpcionesTienda o;
    const auto sistemas = preparaTienda(empresa, 3, o);
    std::vector<std::string> registros;
    for (int e = 1; e <= 3; ++e) registros.push_back((dir.ruta() / ("e" + std::to_string(e) + ".log")).string());
    std::mt19937 azar(11);
    long malas = 0, manuales = 0;
    RevisionTienda r;
    for (int ronda = 0; ronda < rondas; ++ronda) {
      std::vector<pid_t> hijos;
      for (int e = 1; e <= 3; ++e)
        hijos.push_back(estacion([&, e, ronda] {
          return vendeEstacion(empresa, sistemas[size_t(e - 1)], e * 1000 + ronda, 100000, ronda * 7 + e,
                               registros[size_t(e - 1)], o);
        }));
      usleep(20000 + azar() % 400000);
      for (pid_t h : hijos) kill(h, SIGKILL);
      for (pid_t h : hijos) espera(h);
      try {
        mostrador::dbf::Table t;
        t.open(std::string(EmpresaVentas::kDatos), "inventar.dbf");
      } catch (const mostrador::dbf::Error&) {
        ++manuales;
      }
      r = revisaTienda(datosLocal(), registros, o);
      malas += !r.sana();
    }
    st.counters["rondas_con_problemas"] = double(malas);
    st.counters["rondas_que_piden_reparar"] = double(manuales);
    cuenta(st, r);
  }
}
BENCHMARK(BM_EstacionesMatadas)->Name("Matadas_trescientas_rondas")->Arg(300)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);

// The whole company verified again and again while four stations sell: every problem
// it reports is a false one (the stations leave the company sound, as the checker says).
void BM_VerificaMientrasVenden(benchmark::State& st) {
  for (auto _ : st) {
    DirectorioTemporal dir;
    EmpresaVentas empresa;
    OpcionesTienda o;
    const auto sistemas = preparaTienda(empresa, 4, o);
    std::vector<std::string> registros;
    for (int e = 1; e <= 4; ++e) registros.push_back((dir.ruta() / ("e" + std::to_string(e) + ".log")).string());
    std::vector<pid_t> hijos;
    for (int e = 1; e <= 4; ++e)
      hijos.push_back(estacion([&, e] {
        return vendeEstacion(empresa, sistemas[size_t(e - 1)], e, 300, e, registros[size_t(e - 1)], o);
      }));
    long vueltas = 0, problemas = 0, caidas = 0;
    for (bool vivas = true; vivas;) {
      const pid_t v = estacion([] {
        long n = 0;
        for (const auto& r : mostrador::dbf::verificaDirectorio(std::string(EmpresaVentas::kDatos))) n += long(r.problemas.size());
        return int(std::min(n, 90L));
      });
      const int fin = espera(v);
      ++vueltas;
      if (fin >= 100) ++caidas;
      else problemas += fin;
      vivas = false;
      for (pid_t h : hijos) vivas = vivas || (kill(h, 0) == 0 && waitpid(h, nullptr, WNOHANG) == 0);
    }
    for (pid_t h : hijos) waitpid(h, nullptr, 0);
    st.counters["verificaciones"] = double(vueltas);
    st.counters["caidas"] = double(caidas);
    st.counters["problemas_falsos"] = double(problemas);
    cuenta(st, revisaTienda(datosLocal(), registros, o));
  }
}
BENCHMARK(BM_VerificaMientrasVenden)->Name("Verifica_mientras_cuatro_venden")->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);

// One station alone, in this process: the cost of a save's commit without contention
// (every sale 1 to 20 lines, as vendeEstacion types them).
void BM_UnaEstacion(benchmark::State& st) {
  const int ventas = int(st.range(0));
  for (auto _ : st) {
    st.PauseTiming();
    DirectorioTemporal dir;
    EmpresaVentas empresa;
    OpcionesTienda o;
    o.productos = 200;
    const auto sistemas = preparaTienda(empresa, 1, o);
    const std::string registro = (dir.ruta() / "e1.log").string();
    st.ResumeTiming();
    const auto t0 = std::chrono::steady_clock::now();
    const int fin = vendeEstacion(empresa, sistemas[0], 1, ventas, 1, registro, o);
    const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    st.PauseTiming();
    if (fin != 0) st.SkipWithError("la estación se detuvo");
    const RevisionTienda r = revisaTienda(datosLocal(), {registro}, o);
    st.counters["ventas_por_s"] = double(r.guardados) / s;
    cuenta(st, r);
    st.ResumeTiming();
  }
}
BENCHMARK(BM_UnaEstacion)->Name("Una_estacion_doscientas_ventas")->Arg(200)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);

void BM_VentaDeCincuentaPartidas(benchmark::State& st) {
  DirectorioTemporal dir;
  EmpresaVentas empresa;
  OpcionesTienda o;
  o.productos = 50;
  preparaTienda(empresa, 1, o);
  RelojFijo reloj({{2025, 6, 30}, {10, 0, 0, 0}});
  InteraccionFalsa ui;
  DialogosVentaFalsos dlg;
  mostrador::sales::CapturaVenta cap(empresa.ajustes(), ui, dlg, reloj);
  cap.abre();
  for (auto _ : st) {
    st.PauseTiming();
    cap.nuevo();
    cap.campos().cliente = "C1";
    cap.saleCliente();
    for (int i = 1; i <= 50; ++i) {
      char k[8];
      std::snprintf(k, sizeof k, "P%02d", i);
      cap.agregaPartida();
      cap.ponCelda(mostrador::sales::kCantidad, "1");
      cap.entraColumna(mostrador::sales::kClave);
      cap.ponCelda(mostrador::sales::kClave, k);
      cap.entraColumna(mostrador::sales::kProducto);
    }
    st.ResumeTiming();
    if (!cap.guarda()) st.SkipWithError("no se guardó");
  }
}
BENCHMARK(BM_VentaDeCincuentaPartidas)->Name("Cincuenta_partidas_F10")->Unit(benchmark::kMillisecond)->Iterations(40);

}  // namespace

BENCHMARK_MAIN();
