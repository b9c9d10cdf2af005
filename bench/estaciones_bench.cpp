// Stations selling into one company: the aggregate rate and what an independent reader
// of the files finds afterwards; stations killed at random; the time of one large save.
//
//   ./build/bench_estaciones_bench --benchmark_filter=Ocho      (8 stations x 1,000 sales)
//   ./build/bench_estaciones_bench --benchmark_filter=Matadas   (300 rounds of 3 stations)
//   ./build/bench_estaciones_bench --benchmark_filter=Cincuenta (a 50-line sale)
//   ./build/bench_estaciones_bench --benchmark_filter=Una       (one station, 200 sales)
//   ./build/bench_estaciones_bench --benchmark_filter=Verifica  (verifica while 4 stations sell)
//   ./build/bench_estaciones_bench --benchmark_filter=Sqlite    (the same save's rows in SQLite,
//                                                                 1 and 8 processes, side by side)

#include <benchmark/benchmark.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <sqlite3.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>

#include "sales/captura.h"
#include "store/dbf/verificacion.h"
#include "base/rutas.h"
#include "store/dbf/dbf_table.h"
#include "store/dbf/journal.h"
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

// What the kernel counted for this process (/proc/self/io): read and write calls and
// bytes sent to the disk.
struct Io {
  double syscr = 0, syscw = 0, writeBytes = 0;
};
Io leeIo() {
  Io io;
  std::ifstream f("/proc/self/io");
  std::string k;
  double v;
  while (f >> k >> v) {
    if (k == "syscr:") io.syscr = v;
    if (k == "syscw:") io.syscw = v;
    if (k == "write_bytes:") io.writeBytes = v;
  }
  return io;
}

// One station alone, in this process: the cost of a save's commit without contention
// (every sale 1 to 20 lines, as vendeEstacion types them), with the calls and the
// syncs it makes per sale.
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
    const long syncsAntes = mostrador::dbf::journal::syncsMade();
    const Io antes = leeIo();
    const auto t0 = std::chrono::steady_clock::now();
    const int fin = vendeEstacion(empresa, sistemas[0], 1, ventas, 1, registro, o);
    const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    const Io despues = leeIo();
    const long syncs = mostrador::dbf::journal::syncsMade() - syncsAntes;
    st.PauseTiming();
    if (fin != 0) st.SkipWithError("la estación se detuvo");
    const RevisionTienda r = revisaTienda(datosLocal(), {registro}, o);
    st.counters["ventas_por_s"] = double(r.guardados) / s;
    const double n = std::max(1.0, double(r.guardados));
    st.counters["lecturas_por_venta"] = (despues.syscr - antes.syscr) / n;
    st.counters["escrituras_por_venta"] = (despues.syscw - antes.syscw) / n;
    st.counters["kb_a_disco_por_venta"] = (despues.writeBytes - antes.writeBytes) / 1024 / n;
    st.counters["fdatasync_por_venta"] = double(syncs) / n;
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

// The peer: the rows of one sale (a header, 10.5 lines on average, a movement and a
// stock update per line, the document counter, the customer's balance) as one SQLite
// transaction, each table with the keys our tables index. Rollback journal with full
// sync, and write-ahead log; 1 or 8 processes on one file.
void revisa(int rc, sqlite3* db, const char* que) {
  if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) {
    std::fprintf(stderr, "sqlite %s: %s\n", que, sqlite3_errmsg(db));
    std::abort();
  }
}
void ejecuta(sqlite3* db, const char* sql) { revisa(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), db, sql); }

void preparaSqlite(const std::string& ruta, bool wal) {
  sqlite3* db = nullptr;
  revisa(sqlite3_open(ruta.c_str(), &db), db, "open");
  ejecuta(db, wal ? "PRAGMA journal_mode=WAL" : "PRAGMA journal_mode=DELETE");
  ejecuta(db,
          "CREATE TABLE enc(num INTEGER, cliente TEXT, fecha TEXT, total REAL, subtotal REAL, control INTEGER);"
          "CREATE INDEX enc_num ON enc(num); CREATE INDEX enc_cli ON enc(cliente); CREATE INDEX enc_fecha ON enc(fecha);"
          "CREATE TABLE lin(num INTEGER, prod TEXT, canti REAL, precio REAL, importe REAL);"
          "CREATE INDEX lin_num ON lin(num); CREATE INDEX lin_prod ON lin(prod);"
          "CREATE TABLE mov(num INTEGER, tipo INTEGER, prod TEXT, canti REAL, ref TEXT, fecha TEXT);"
          "CREATE INDEX mov_num ON mov(num); CREATE INDEX mov_prod ON mov(prod); CREATE INDEX mov_ref ON mov(ref);"
          "CREATE TABLE inv(prod TEXT PRIMARY KEY, exist REAL, precio REAL);"
          "CREATE TABLE cli(clave TEXT PRIMARY KEY, saldo REAL);"
          "CREATE TABLE numero(tipo TEXT PRIMARY KEY, ultimo INTEGER);");
  ejecuta(db, "BEGIN");
  for (int i = 1; i <= 2000; ++i) {
    char q[128];
    std::snprintf(q, sizeof q, "INSERT INTO inv VALUES('P%04d', 1000000, 10)", i);
    ejecuta(db, q);
  }
  for (int i = 1; i <= 50; ++i) {
    char q[128];
    std::snprintf(q, sizeof q, "INSERT INTO cli VALUES('C%02d', 0)", i);
    ejecuta(db, q);
  }
  ejecuta(db, "INSERT INTO numero VALUES('R', 0); COMMIT");
  sqlite3_close(db);
}

int vendeSqlite(const std::string& ruta, int ventas, int semilla) {
  sqlite3* db = nullptr;
  revisa(sqlite3_open(ruta.c_str(), &db), db, "open");
  sqlite3_busy_timeout(db, 10000);
  ejecuta(db, "PRAGMA synchronous=FULL");
  std::mt19937 azar(static_cast<unsigned>(semilla));
  sqlite3_stmt *num, *enc, *lin, *mov, *inv, *cli;
  revisa(sqlite3_prepare_v2(db, "UPDATE numero SET ultimo=ultimo+1 WHERE tipo='R' RETURNING ultimo", -1, &num, nullptr), db, "p");
  revisa(sqlite3_prepare_v2(db, "INSERT INTO enc VALUES(?,?,'20250630',?,?,?)", -1, &enc, nullptr), db, "p");
  revisa(sqlite3_prepare_v2(db, "INSERT INTO lin VALUES(?,?,?,10,?)", -1, &lin, nullptr), db, "p");
  revisa(sqlite3_prepare_v2(db, "INSERT INTO mov VALUES(?,3,?,?,?,'20250630')", -1, &mov, nullptr), db, "p");
  revisa(sqlite3_prepare_v2(db, "UPDATE inv SET exist=exist-? WHERE prod=?", -1, &inv, nullptr), db, "p");
  revisa(sqlite3_prepare_v2(db, "UPDATE cli SET saldo=saldo+? WHERE clave=?", -1, &cli, nullptr), db, "p");
  for (int v = 0; v < ventas; ++v) {
    const int lineas = 1 + int(azar() % 20);
    for (;;) {
      if (sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) == SQLITE_OK) break;
    }
    revisa(sqlite3_step(num), db, "num");
    const long long n = sqlite3_column_int64(num, 0);
    sqlite3_reset(num);
    double total = 0;
    for (int l = 0; l < lineas; ++l) {
      char prod[8];
      std::snprintf(prod, sizeof prod, "P%04d", 1 + int(azar() % 2000));
      const double c = 1 + azar() % 5;
      total += c * 10;
      sqlite3_bind_int64(lin, 1, n);
      sqlite3_bind_text(lin, 2, prod, -1, SQLITE_TRANSIENT);
      sqlite3_bind_double(lin, 3, c);
      sqlite3_bind_double(lin, 4, c * 10);
      revisa(sqlite3_step(lin), db, "lin");
      sqlite3_reset(lin);
      sqlite3_bind_int64(mov, 1, n * 100 + l);
      sqlite3_bind_text(mov, 2, prod, -1, SQLITE_TRANSIENT);
      sqlite3_bind_double(mov, 3, c);
      sqlite3_bind_text(mov, 4, ("R" + std::to_string(n)).c_str(), -1, SQLITE_TRANSIENT);
      revisa(sqlite3_step(mov), db, "mov");
      sqlite3_reset(mov);
      sqlite3_bind_double(inv, 1, c);
      sqlite3_bind_text(inv, 2, prod, -1, SQLITE_TRANSIENT);
      revisa(sqlite3_step(inv), db, "inv");
      sqlite3_reset(inv);
    }
    char clave[8];
    std::snprintf(clave, sizeof clave, "C%02d", 1 + int(azar() % 50));
    sqlite3_bind_int64(enc, 1, n);
    sqlite3_bind_text(enc, 2, clave, -1, SQLITE_TRANSIENT);
    sqlite3_bind_double(enc, 3, total);
    sqlite3_bind_double(enc, 4, total);
    sqlite3_bind_int64(enc, 5, n);
    revisa(sqlite3_step(enc), db, "enc");
    sqlite3_reset(enc);
    sqlite3_bind_double(cli, 1, total);
    sqlite3_bind_text(cli, 2, clave, -1, SQLITE_TRANSIENT);
    revisa(sqlite3_step(cli), db, "cli");
    sqlite3_reset(cli);
    ejecuta(db, "COMMIT");
  }
  for (sqlite3_stmt* p : {num, enc, lin, mov, inv, cli}) sqlite3_finalize(p);
  sqlite3_close(db);
  return 0;
}

void BM_Sqlite(benchmark::State& st) {
  const int procesos = int(st.range(0)), ventas = int(st.range(1));
  const bool wal = st.range(2) != 0;
  for (auto _ : st) {
    DirectorioTemporal dir;
    const std::string ruta = (dir.ruta() / "peer.sqlite").string();
    preparaSqlite(ruta, wal);
    const auto t0 = std::chrono::steady_clock::now();
    std::vector<pid_t> hijos;
    for (int e = 1; e <= procesos; ++e) hijos.push_back(estacion([&, e] { return vendeSqlite(ruta, ventas, e); }));
    for (pid_t h : hijos) espera(h);
    const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    st.counters["ventas_por_s"] = double(procesos) * ventas / s;
  }
}
BENCHMARK(BM_Sqlite)->Name("Sqlite_diario_una_estacion")->Args({1, 200, 0})->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);
BENCHMARK(BM_Sqlite)->Name("Sqlite_diario_ocho_estaciones")->Args({8, 200, 0})->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);
BENCHMARK(BM_Sqlite)->Name("Sqlite_wal_una_estacion")->Args({1, 200, 1})->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);
BENCHMARK(BM_Sqlite)->Name("Sqlite_wal_ocho_estaciones")->Args({8, 200, 1})->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
