// Local SQL over the table engine against SQLite on its own tables, same data, same run.
//
//   GroupBy/Virtual   SELECT CLPRO_MI, SUM(CANTI_MI) ... GROUP BY CLPRO_MI over 1,000,000
//                     movements (1,000 products) read through the virtual table
//   GroupBy/Nativa    the same statement over a native SQLite table holding the same rows
//   Join/Virtual      100,000 invoice lines joined with 10,000 products on CLPRO_I, the
//                     products found through their ICLPRO tag
//   Join/Nativa       the same join over native tables, the products with an index
//   Join/NativaResultado  the native join with its rows gathered into a Resultado as
//                     BaseSql::consulta gathers them: the like-for-like cost of the native
//                     path, since the virtual runs above include that gathering
//   Join/VirtualPasos the virtual join stepped on a connection of its own, rows counted
//                     and not gathered: the like-for-like peer of Join/Nativa. The target
//                     is at most 1.5 times Join/Nativa.
//   Join/VirtualRango the inner table looked up by a range on its tag (BETWEEN), so the
//                     planner's choice and the reuse of the lookups count, not only the
//                     equality path
//
// The tables are built once per run in a fresh folder under the system's temp directory
// and removed at the end. SQL_BENCH_DIVISOR=n divides every size by n (for profiling
// under callgrind).
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <stdlib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "store/dbf/dbf_table.h"
#include "store/sql/resultado.h"
#include "store/sql/sql.h"
#include "store/sql/vtabla.h"

namespace fs = std::filesystem;
using namespace mostrador;

namespace {

int divisor() {
  const char* s = std::getenv("SQL_BENCH_DIVISOR");
  int n = s ? std::atoi(s) : 1;
  return n > 0 ? n : 1;
}

const int kMovimientos = 1'000'000 / divisor();
const int kProductos = 10'000 / divisor();
const int kProductosMovidos = std::max(1, 1'000 / divisor());
const int kLineas = 100'000 / divisor();

std::string clave(int i) {
  char b[16];
  std::snprintf(b, sizeof b, "P%05d", i);
  return b;
}

struct Datos {
  fs::path dir;
  sqlite3* nativa = nullptr;
  std::unique_ptr<sql::BaseSql> base;

  Datos() {
    std::string plantilla = (fs::temp_directory_path() / "mostrador-sql-bench-XXXXXX").string();
    if (!mkdtemp(plantilla.data())) throw std::runtime_error("mkdtemp");
    dir = plantilla;
    const std::string d = dir.string();
    sqlite3_open(":memory:", &nativa);
    sqlite3_exec(nativa,
                 "CREATE TABLE movinven(CLPRO_MI TEXT, CANTI_MI REAL, TIMOV_MI INTEGER);"
                 "CREATE TABLE facturad(CLDOC_FD TEXT, CLPRO_FD TEXT, CANTI_FD REAL);"
                 "CREATE TABLE inventar(CLPRO_I TEXT, DSCPR_I TEXT, PPUBL_I REAL);"
                 "BEGIN",
                 nullptr, nullptr, nullptr);

    dbf::Table::create(d, "movinven.dbf",
                       {{"CLPRO_MI", 'C', 20, 0}, {"CANTI_MI", 'N', 12, 2}, {"TIMOV_MI", 'N', 4, 0}});
    {
      dbf::Table t;
      t.open(d, "movinven.dbf", dbf::OpenMode::Exclusive);
      sqlite3_stmt* st;
      sqlite3_prepare_v2(nativa, "INSERT INTO movinven VALUES(?,?,?)", -1, &st, nullptr);
      for (int i = 0; i < kMovimientos; ++i) {
        std::string k = clave(i % kProductosMovidos);
        double c = (i % 17) + 0.25;
        int tipo = i % 2 ? 51 : 1;
        t.append();
        t.setText(0, k);
        t.setFloat(1, c);
        t.setInteger(2, tipo);
        t.post();
        sqlite3_bind_text(st, 1, k.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_double(st, 2, c);
        sqlite3_bind_int(st, 3, tipo);
        sqlite3_step(st);
        sqlite3_reset(st);
      }
      sqlite3_finalize(st);
    }

    dbf::Table::create(d, "inventar.dbf",
                       {{"CLPRO_I", 'C', 20, 0}, {"DSCPR_I", 'C', 30, 0}, {"PPUBL_I", 'N', 12, 2}},
                       {{"ICLPRO", "CLPRO_I", false, false}});
    {
      dbf::Table t;
      t.open(d, "inventar.dbf", dbf::OpenMode::Exclusive);
      sqlite3_stmt* st;
      sqlite3_prepare_v2(nativa, "INSERT INTO inventar VALUES(?,?,?)", -1, &st, nullptr);
      for (int i = 0; i < kProductos; ++i) {
        std::string k = clave(i), nombre = "PRODUCTO " + std::to_string(i);
        t.append();
        t.setText(0, k);
        t.setText(1, nombre);
        t.setFloat(2, 10 + i % 100);
        t.post();
        sqlite3_bind_text(st, 1, k.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 2, nombre.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_double(st, 3, 10 + i % 100);
        sqlite3_step(st);
        sqlite3_reset(st);
      }
      sqlite3_finalize(st);
    }

    dbf::Table::create(d, "facturad.dbf",
                       {{"CLDOC_FD", 'C', 10, 0}, {"CLPRO_FD", 'C', 20, 0}, {"CANTI_FD", 'N', 10, 2}});
    {
      dbf::Table t;
      t.open(d, "facturad.dbf", dbf::OpenMode::Exclusive);
      sqlite3_stmt* st;
      sqlite3_prepare_v2(nativa, "INSERT INTO facturad VALUES(?,?,?)", -1, &st, nullptr);
      for (int i = 0; i < kLineas; ++i) {
        std::string doc = std::to_string(i / 5), k = clave((i * 7919) % kProductos);
        t.append();
        t.setText(0, doc);
        t.setText(1, k);
        t.setFloat(2, 1 + i % 3);
        t.post();
        sqlite3_bind_text(st, 1, doc.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 2, k.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_double(st, 3, 1 + i % 3);
        sqlite3_step(st);
        sqlite3_reset(st);
      }
      sqlite3_finalize(st);
    }
    sqlite3_exec(nativa, "COMMIT; CREATE INDEX iclpro ON inventar(CLPRO_I)", nullptr, nullptr,
                 nullptr);
    base = std::make_unique<sql::BaseSql>();
  }

  ~Datos() {
    base.reset();
    sqlite3_close(nativa);
    std::error_code ec;
    fs::remove_all(dir, ec);
  }

  std::string tabla(const char* archivo) const { return "\"" + (dir / archivo).string() + "\""; }

  // A connection with the engine's tables as virtual tables F (lines) and I (products),
  // stepped as Join/Nativa steps the native one.
  struct Virtual {
    sqlite3* db = nullptr;
    std::unique_ptr<sql::TablasVirtuales> tablas;
    explicit Virtual(const fs::path& dir) {
      sqlite3_open(":memory:", &db);
      tablas = std::make_unique<sql::TablasVirtuales>(db);
      tablas->crea("facturad", (dir / "facturad.dbf").string());
      tablas->crea("inventar", (dir / "inventar.dbf").string());
    }
    ~Virtual() {
      tablas.reset();
      sqlite3_close(db);
    }
    long pasos(const char* sentencia) const {
      sqlite3_stmt* st;
      sqlite3_prepare_v2(db, sentencia, -1, &st, nullptr);
      long n = 0;
      while (sqlite3_step(st) == SQLITE_ROW) ++n;
      sqlite3_finalize(st);
      return n;
    }
  };

  long nativas(const char* sentencia) const {
    sqlite3_stmt* st;
    sqlite3_prepare_v2(nativa, sentencia, -1, &st, nullptr);
    long n = 0;
    while (sqlite3_step(st) == SQLITE_ROW) ++n;
    sqlite3_finalize(st);
    return n;
  }

  // The rows of a native statement gathered as BaseSql::consulta gathers them.
  std::unique_ptr<sql::Resultado> resultado(const char* sentencia) const {
    sqlite3_stmt* st;
    sqlite3_prepare_v2(nativa, sentencia, -1, &st, nullptr);
    const int n = sqlite3_column_count(st);
    std::vector<std::string> nombres;
    for (int i = 0; i < n; ++i) nombres.emplace_back(sqlite3_column_name(st, i));
    std::vector<sql::Valor> valores;
    while (sqlite3_step(st) == SQLITE_ROW) {
      for (int i = 0; i < n; ++i) {
        switch (sqlite3_column_type(st, i)) {
          case SQLITE_INTEGER:
            valores.emplace_back(static_cast<long long>(sqlite3_column_int64(st, i)));
            break;
          case SQLITE_FLOAT:
            valores.emplace_back(sqlite3_column_double(st, i));
            break;
          case SQLITE_NULL:
            valores.emplace_back(std::monostate{});
            break;
          default: {
            const char* t = reinterpret_cast<const char*>(sqlite3_column_text(st, i));
            valores.emplace_back(std::string(t, static_cast<size_t>(sqlite3_column_bytes(st, i))));
          }
        }
      }
    }
    sqlite3_finalize(st);
    return std::make_unique<sql::Resultado>(
        std::move(nombres), std::vector<std::optional<dbf::FieldDef>>(static_cast<size_t>(n)),
        std::move(valores));
  }
};

Datos& datos() {
  static Datos d;
  return d;
}

void GroupBy_Virtual(benchmark::State& state) {
  Datos& d = datos();
  const std::string s =
      "SELECT CLPRO_MI, SUM(CANTI_MI) FROM " + d.tabla("movinven.dbf") + " GROUP BY CLPRO_MI";
  long filas = 0;
  for (auto _ : state) {
    auto r = d.base->consulta(s);
    filas = r->recordCount();
    benchmark::DoNotOptimize(filas);
  }
  state.counters["filas"] = static_cast<double>(filas);
  state.counters["registros/s"] =
      benchmark::Counter(static_cast<double>(kMovimientos) * state.iterations(),
                         benchmark::Counter::kIsRate);
}

void GroupBy_Nativa(benchmark::State& state) {
  Datos& d = datos();
  long filas = 0;
  for (auto _ : state) {
    filas = d.nativas("SELECT CLPRO_MI, SUM(CANTI_MI) FROM movinven GROUP BY CLPRO_MI");
    benchmark::DoNotOptimize(filas);
  }
  state.counters["filas"] = static_cast<double>(filas);
  state.counters["registros/s"] =
      benchmark::Counter(static_cast<double>(kMovimientos) * state.iterations(),
                         benchmark::Counter::kIsRate);
}

void Join_Virtual(benchmark::State& state) {
  Datos& d = datos();
  const std::string s = "SELECT F.CLDOC_FD, F.CLPRO_FD, I.DSCPR_I, F.CANTI_FD*I.PPUBL_I FROM " +
                        d.tabla("facturad.dbf") + " F, " + d.tabla("inventar.dbf") +
                        " I WHERE F.CLPRO_FD = I.CLPRO_I";
  long filas = 0;
  for (auto _ : state) {
    auto r = d.base->consulta(s);
    filas = r->recordCount();
    benchmark::DoNotOptimize(filas);
  }
  state.counters["filas"] = static_cast<double>(filas);
}

void Join_Nativa(benchmark::State& state) {
  Datos& d = datos();
  long filas = 0;
  for (auto _ : state) {
    filas = d.nativas(
        "SELECT F.CLDOC_FD, F.CLPRO_FD, I.DSCPR_I, F.CANTI_FD*I.PPUBL_I FROM facturad F, "
        "inventar I WHERE F.CLPRO_FD = I.CLPRO_I");
    benchmark::DoNotOptimize(filas);
  }
  state.counters["filas"] = static_cast<double>(filas);
}

void Join_NativaResultado(benchmark::State& state) {
  Datos& d = datos();
  long filas = 0;
  for (auto _ : state) {
    auto r = d.resultado(
        "SELECT F.CLDOC_FD, F.CLPRO_FD, I.DSCPR_I, F.CANTI_FD*I.PPUBL_I FROM facturad F, "
        "inventar I WHERE F.CLPRO_FD = I.CLPRO_I");
    filas = r->recordCount();
    benchmark::DoNotOptimize(filas);
  }
  state.counters["filas"] = static_cast<double>(filas);
}

constexpr const char* kJoin =
    "SELECT F.CLDOC_FD, F.CLPRO_FD, I.DSCPR_I, F.CANTI_FD*I.PPUBL_I FROM facturad F, "
    "inventar I WHERE F.CLPRO_FD = I.CLPRO_I";
constexpr const char* kJoinRango =
    "SELECT F.CLDOC_FD, I.DSCPR_I FROM facturad F, inventar I "
    "WHERE I.CLPRO_I BETWEEN F.CLPRO_FD AND F.CLPRO_FD || 'Z'";

void Join_VirtualPasos(benchmark::State& state) {
  Datos& d = datos();
  Datos::Virtual v(d.dir);
  long filas = 0;
  for (auto _ : state) {
    filas = v.pasos(kJoin);
    benchmark::DoNotOptimize(filas);
  }
  state.counters["filas"] = static_cast<double>(filas);
}

void Join_VirtualRango(benchmark::State& state) {
  Datos& d = datos();
  Datos::Virtual v(d.dir);
  long filas = 0;
  for (auto _ : state) {
    filas = v.pasos(kJoinRango);
    benchmark::DoNotOptimize(filas);
  }
  state.counters["filas"] = static_cast<double>(filas);
}

void Join_NativaRango(benchmark::State& state) {
  Datos& d = datos();
  long filas = 0;
  for (auto _ : state) {
    filas = d.nativas(kJoinRango);
    benchmark::DoNotOptimize(filas);
  }
  state.counters["filas"] = static_cast<double>(filas);
}

}  // namespace

BENCHMARK(GroupBy_Virtual)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(GroupBy_Nativa)->Unit(benchmark::kMillisecond);
BENCHMARK(Join_Virtual)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(Join_Nativa)->Unit(benchmark::kMillisecond);
BENCHMARK(Join_NativaResultado)->Unit(benchmark::kMillisecond);
BENCHMARK(Join_VirtualPasos)->Unit(benchmark::kMillisecond);
BENCHMARK(Join_VirtualRango)->Unit(benchmark::kMillisecond);
BENCHMARK(Join_NativaRango)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
