// The table engine against SQLite on the same rows and indexes: a 1,000,000-record table
// with three tags, built once per process.
//
//   keyed find      Table::findKey on the unique tag   vs  indexed point SELECT
//   append          append + post, every tag kept      vs  INSERT, every index kept
//   open            open a table (no record read)      vs  open + prepare
//   range scan      setRange over 10,000 keys, read    vs  SELECT ... BETWEEN, read
//
// Run: build/bench_dbf_bench [--benchmark_filter=...]. Files go to $TMPDIR (or /tmp).

#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include "store/dbf/dbf_table.h"

namespace fs = std::filesystem;
using namespace mostrador::dbf;

namespace {

// DBF_BENCH_REGISTROS overrides the table size (for quick profiling runs).
const int kRegistros = [] {
  const char* v = std::getenv("DBF_BENCH_REGISTROS");
  return v && std::atoi(v) > 20'000 ? std::atoi(v) : 1'000'000;
}();
constexpr int kRango = 10'000;

std::string clave(int i) {
  char b[16];
  std::snprintf(b, sizeof b, "K%07d", i);
  return b;
}

std::string nombre(int i) {
  // Names spread over the alphabet so the name tag is not in record order.
  static const char* nombres[] = {"TORNILLO", "ARANDELA", "MARTILLO", "PINZA", "BROCA", "LIJA", "CLAVO", "TUERCA"};
  const long long n = i;
  return std::string(nombres[(n * 7919) % 8]) + " " + std::to_string((n * 104729) % 1000003);
}

Fecha fecha(int i) { return Fecha{2000 + (i % 25), 1 + (i % 12), 1 + (i % 28)}; }

void revisa(int rc, sqlite3* db, const char* que) {
  if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) {
    std::fprintf(stderr, "sqlite %s: %s\n", que, sqlite3_errmsg(db));
    std::abort();
  }
}

// The two stores with the same million rows, built on first use.
struct Datos {
  fs::path dir;
  std::string sqlitePath;

  Datos() {
    const char* tmp = std::getenv("TMPDIR");
    std::string plantilla = std::string(tmp && *tmp ? tmp : "/tmp") + "/dbf-bench-XXXXXX";
    if (!mkdtemp(plantilla.data())) std::abort();
    dir = plantilla;
    construyeDbf();
    construyeSqlite();
  }
  ~Datos() {
    std::error_code ec;
    fs::remove_all(dir, ec);
  }

  void construyeDbf() {
    Table::create(dir.string(), "bench.dbf",
                  {{"CLAVE", 'C', 10, 0}, {"NOMBRE", 'C', 30, 0}, {"PRECIO", 'N', 12, 2},
                   {"FECHA", 'D', 8, 0}, {"EXIST", 'N', 8, 0}});
    Table t;
    t.open(dir.string(), "bench.dbf", OpenMode::Exclusive);
    for (int i = 0; i < kRegistros; ++i) {
      t.append();
      t.setText(0, clave(i));
      t.setText(1, nombre(i));
      t.setFloat(2, (i % 100000) / 100.0);
      t.setDate(3, fecha(i));
      t.setInteger(4, i % 500);
      t.post();
    }
    // Tags built from the finished table: sorted bulk fill.
    t.addTag({"ICLAVE", "CLAVE", true, false});
    t.addTag({"INOMBRE", "NOMBRE", false, false});
    t.addTag({"IFECHA", "FECHA", false, false});
  }

  void construyeSqlite() {
    sqlitePath = (dir / "bench.sqlite").string();
    sqlite3* db = nullptr;
    revisa(sqlite3_open(sqlitePath.c_str(), &db), db, "open");
    revisa(sqlite3_exec(db,
                        "PRAGMA journal_mode=WAL; PRAGMA synchronous=OFF;"
                        "CREATE TABLE bench(clave TEXT, nombre TEXT, precio REAL, fecha TEXT, exist INTEGER);",
                        nullptr, nullptr, nullptr),
           db, "create");
    revisa(sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr), db, "begin");
    sqlite3_stmt* st = nullptr;
    revisa(sqlite3_prepare_v2(db, "INSERT INTO bench VALUES(?,?,?,?,?)", -1, &st, nullptr), db, "prepare");
    for (int i = 0; i < kRegistros; ++i) {
      const std::string c = clave(i), n = nombre(i), f = fechaCorta(fecha(i));
      sqlite3_bind_text(st, 1, c.c_str(), -1, SQLITE_TRANSIENT);
      sqlite3_bind_text(st, 2, n.c_str(), -1, SQLITE_TRANSIENT);
      sqlite3_bind_double(st, 3, (i % 100000) / 100.0);
      sqlite3_bind_text(st, 4, f.c_str(), -1, SQLITE_TRANSIENT);
      sqlite3_bind_int(st, 5, i % 500);
      revisa(sqlite3_step(st), db, "insert");
      sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    revisa(sqlite3_exec(db,
                        "COMMIT; CREATE UNIQUE INDEX iclave ON bench(clave);"
                        "CREATE INDEX inombre ON bench(nombre); CREATE INDEX ifecha ON bench(fecha);",
                        nullptr, nullptr, nullptr),
           db, "index");
    sqlite3_close(db);
  }
};

Datos& datos() {
  static Datos d;
  return d;
}

sqlite3* abreSqlite() {
  sqlite3* db = nullptr;
  revisa(sqlite3_open(datos().sqlitePath.c_str(), &db), db, "open");
  revisa(sqlite3_exec(db, "PRAGMA synchronous=OFF", nullptr, nullptr, nullptr), db, "pragma");
  return db;
}

// Steps a statement to its end adding up the price column; the rows it gave.
long recorreSqlite(sqlite3_stmt* st, double& suma) {
  long n = 0;
  while (sqlite3_step(st) == SQLITE_ROW) {
    suma += sqlite3_column_double(st, 2);
    ++n;
  }
  sqlite3_reset(st);
  return n;
}

void BM_BuscarClave_Dbf(benchmark::State& state) {
  Table t;
  t.open(datos().dir.string(), "bench.dbf");
  t.setIndex("ICLAVE");
  std::mt19937 azar(1);
  for (auto _ : state) {
    int i = static_cast<int>(azar() % kRegistros);
    if (!t.findKey({clave(i)})) state.SkipWithError("clave no encontrada");
    benchmark::DoNotOptimize(t.asFloat(2));
  }
}
BENCHMARK(BM_BuscarClave_Dbf);

void BM_BuscarClave_Sqlite(benchmark::State& state) {
  sqlite3* db = abreSqlite();
  sqlite3_stmt* st = nullptr;
  revisa(sqlite3_prepare_v2(db, "SELECT * FROM bench WHERE clave=?", -1, &st, nullptr), db, "prepare");
  std::mt19937 azar(1);
  for (auto _ : state) {
    const std::string c = clave(static_cast<int>(azar() % kRegistros));
    sqlite3_bind_text(st, 1, c.c_str(), -1, SQLITE_TRANSIENT);
    if (sqlite3_step(st) != SQLITE_ROW) state.SkipWithError("clave no encontrada");
    benchmark::DoNotOptimize(sqlite3_column_double(st, 2));
    sqlite3_reset(st);
  }
  sqlite3_finalize(st);
  sqlite3_close(db);
}
BENCHMARK(BM_BuscarClave_Sqlite);

// Shared: the multi-station case (header lock per append). Exclusive: no other station
// can append, so the header lock and the count read are skipped.
void BM_Agregar_Dbf(benchmark::State& state) {
  Table t;
  t.open(datos().dir.string(), "bench.dbf", state.range(0) ? OpenMode::Exclusive : OpenMode::Shared);
  int i = kRegistros + 10'000'000 + static_cast<int>(state.range(0)) * 1'000'000;
  for (auto _ : state) {
    t.append();
    t.setText(0, clave(i));
    t.setText(1, nombre(i));
    t.setFloat(2, 12.5);
    t.setDate(3, fecha(i));
    t.setInteger(4, 7);
    t.post();
    ++i;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Agregar_Dbf)->ArgName("exclusiva")->Arg(0)->Arg(1)->Iterations(20000)->UseRealTime();

void BM_Agregar_Sqlite(benchmark::State& state) {
  sqlite3* db = abreSqlite();
  sqlite3_stmt* st = nullptr;
  revisa(sqlite3_prepare_v2(db, "INSERT INTO bench VALUES(?,?,?,?,?)", -1, &st, nullptr), db, "prepare");
  int i = kRegistros + 20'000'000;
  for (auto _ : state) {
    // One transaction per row, as a post is one change visible to others at once.
    const std::string c = clave(i), n = nombre(i), f = fechaCorta(fecha(i));
    sqlite3_bind_text(st, 1, c.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(st, 2, n.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_double(st, 3, 12.5);
    sqlite3_bind_text(st, 4, f.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_int(st, 5, 7);
    revisa(sqlite3_step(st), db, "insert");
    sqlite3_reset(st);
    ++i;
  }
  sqlite3_finalize(st);
  sqlite3_close(db);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Agregar_Sqlite)->Iterations(20000)->UseRealTime();

void BM_Abrir_Dbf(benchmark::State& state) {
  const std::string dir = datos().dir.string();
  for (auto _ : state) {
    Table t;
    t.open(dir, "bench.dbf");
    benchmark::DoNotOptimize(t.recordCount());
  }
}
BENCHMARK(BM_Abrir_Dbf)->Unit(benchmark::kMicrosecond);

void BM_Abrir_Sqlite(benchmark::State& state) {
  datos();
  for (auto _ : state) {
    sqlite3* db = abreSqlite();
    sqlite3_stmt* st = nullptr;
    revisa(sqlite3_prepare_v2(db, "SELECT * FROM bench WHERE clave=?", -1, &st, nullptr), db, "prepare");
    sqlite3_finalize(st);
    sqlite3_close(db);
  }
}
BENCHMARK(BM_Abrir_Sqlite)->Unit(benchmark::kMicrosecond);

void BM_RecorrerRango_Dbf(benchmark::State& state) {
  Table t;
  t.open(datos().dir.string(), "bench.dbf");
  t.setIndex("ICLAVE");
  std::mt19937 azar(2);
  for (auto _ : state) {
    int desde = static_cast<int>(azar() % (kRegistros - kRango));
    t.setRange({clave(desde)}, {clave(desde + kRango - 1)});
    double suma = 0;
    long n = 0;
    for (; !t.eof(); t.next(), ++n) suma += t.asFloat(2);
    if (n != kRango) state.SkipWithError("rango incompleto");
    benchmark::DoNotOptimize(suma);
  }
  state.SetItemsProcessed(state.iterations() * kRango);
}
BENCHMARK(BM_RecorrerRango_Dbf)->Unit(benchmark::kMillisecond);

void BM_RecorrerRango_Sqlite(benchmark::State& state) {
  sqlite3* db = abreSqlite();
  sqlite3_stmt* st = nullptr;
  revisa(sqlite3_prepare_v2(db, "SELECT * FROM bench WHERE clave BETWEEN ? AND ? ORDER BY clave", -1, &st, nullptr),
         db, "prepare");
  std::mt19937 azar(2);
  for (auto _ : state) {
    int desde = static_cast<int>(azar() % (kRegistros - kRango));
    const std::string a = clave(desde), b = clave(desde + kRango - 1);
    sqlite3_bind_text(st, 1, a.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(st, 2, b.c_str(), -1, SQLITE_TRANSIENT);
    double suma = 0;
    const long n = recorreSqlite(st, suma);
    if (n != kRango) state.SkipWithError("rango incompleto");
    benchmark::DoNotOptimize(suma);
  }
  sqlite3_finalize(st);
  sqlite3_close(db);
  state.SetItemsProcessed(state.iterations() * kRango);
}
BENCHMARK(BM_RecorrerRango_Sqlite)->Unit(benchmark::kMillisecond);

// Every record in natural order through the cursor, as a browse or a maintenance walk
// does; SQLite walks its table in rowid order.
void BM_RecorrerTodo_Dbf(benchmark::State& state) {
  Table t;
  t.open(datos().dir.string(), "bench.dbf");
  for (auto _ : state) {
    double suma = 0;
    long n = 0;
    for (t.first(); !t.eof(); t.next(), ++n) suma += t.asFloat(2);
    if (n < kRegistros) state.SkipWithError("recorrido incompleto");
    benchmark::DoNotOptimize(suma);
  }
  state.SetItemsProcessed(state.iterations() * kRegistros);
}
BENCHMARK(BM_RecorrerTodo_Dbf)->Unit(benchmark::kMillisecond);

void BM_RecorrerTodo_Sqlite(benchmark::State& state) {
  sqlite3* db = abreSqlite();
  sqlite3_stmt* st = nullptr;
  revisa(sqlite3_prepare_v2(db, "SELECT * FROM bench", -1, &st, nullptr), db, "prepare");
  for (auto _ : state) {
    double suma = 0;
    const long n = recorreSqlite(st, suma);
    if (n < kRegistros) state.SkipWithError("recorrido incompleto");
    benchmark::DoNotOptimize(suma);
  }
  sqlite3_finalize(st);
  sqlite3_close(db);
  state.SetItemsProcessed(state.iterations() * kRegistros);
}
BENCHMARK(BM_RecorrerTodo_Sqlite)->Unit(benchmark::kMillisecond);

// A random name to start a walk of the name tag from, never in the last group of names
// (TUERCA), so that 10,000 entries always follow it.
std::string inicioNombre(std::mt19937& azar) {
  static const char* grupos[] = {"ARANDELA", "BROCA", "CLAVO", "LIJA", "MARTILLO", "PINZA", "TORNILLO"};
  const unsigned g = azar() % 7;
  return std::string(grupos[g]) + " " + std::to_string(azar() % 1000003);
}

// 10,000 entries of the name tag from a random name: records scattered over the table.
void BM_RecorrerNombres_Dbf(benchmark::State& state) {
  Table t;
  t.open(datos().dir.string(), "bench.dbf");
  t.setIndex("INOMBRE");
  std::mt19937 azar(3);
  for (auto _ : state) {
    t.findNearest({inicioNombre(azar)});
    double suma = 0;
    long n = 0;
    for (; !t.eof() && n < kRango; t.next(), ++n) suma += t.asFloat(2);
    if (n != kRango) state.SkipWithError("recorrido incompleto");
    benchmark::DoNotOptimize(suma);
  }
  state.SetItemsProcessed(state.iterations() * kRango);
}
BENCHMARK(BM_RecorrerNombres_Dbf)->Unit(benchmark::kMillisecond);

void BM_RecorrerNombres_Sqlite(benchmark::State& state) {
  sqlite3* db = abreSqlite();
  sqlite3_stmt* st = nullptr;
  revisa(sqlite3_prepare_v2(db, "SELECT * FROM bench WHERE nombre >= ? ORDER BY nombre LIMIT 10000", -1, &st,
                            nullptr),
         db, "prepare");
  std::mt19937 azar(3);
  for (auto _ : state) {
    const std::string a = inicioNombre(azar);
    sqlite3_bind_text(st, 1, a.c_str(), -1, SQLITE_TRANSIENT);
    double suma = 0;
    const long n = recorreSqlite(st, suma);
    if (n != kRango) state.SkipWithError("recorrido incompleto");
    benchmark::DoNotOptimize(suma);
  }
  sqlite3_finalize(st);
  sqlite3_close(db);
  state.SetItemsProcessed(state.iterations() * kRango);
}
BENCHMARK(BM_RecorrerNombres_Sqlite)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
