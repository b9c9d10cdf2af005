// The lookup windows over catalogues of 1 000, 100 000 and 1 000 000 products.
//
//   BM_AbreVentana/N         opening the product window on the nearest match of a key:
//                            table open, index seek and the rows around it (target: the
//                            same time at every size, under 5 ms; the "lecturas" counter
//                            is the records read)
//   BM_AbreConsulta/N        the whole lookup screen TFormaConProduct opened offscreen on
//                            a key (target: under 100 ms at every size); "rss_kb" is the
//                            growth of the process over all runs (target: flat)
//   BM_PrimeraPantallaDescripcion/N/rara
//                            the first screen of the descriptions containing a text (F4):
//                            a common word (rara 0, one product in five) or a rare text
//                            (rara 1, about one in a hundred) (target: under 100 ms with
//                            100 000 products)
//   BM_BuscaDescripcion/N    the catalogue's search by description: nearest match on the
//                            description index
//
//   bench_consultas_bench      MOSTRADOR_BENCH_DIR=<dir>: where the tables go (default /tmp)

#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>

#include "inventory/consulta_productos.h"
#include "inventory/screens/TFormaConProduct.h"
#include "base/interaccion.h"
#include "base/rutas.h"
#include "store/catalogo.h"
#include "store/dbf/dbf_table.h"
#include "store/ventana_tabla.h"
#include "ui/rejilla_consulta.h"

namespace {

namespace fs = std::filesystem;
using namespace mostrador;

const char* kPalabras[] = {"TORNILLO", "MARTILLO", "CLAVO",  "PINZA",    "SERRUCHO",
                           "TALADRO",  "BROCA",    "TUERCA", "RONDANA", "LIJA"};

long rssKb() {
  std::ifstream f("/proc/self/status");
  std::string l;
  while (std::getline(f, l))
    if (l.rfind("VmRSS:", 0) == 0) return std::atol(l.c_str() + 6);
  return 0;
}

std::string clave(long i) {
  char b[16];
  std::snprintf(b, sizeof b, "P%07ld", i);
  return b;
}

// One catalogue directory per size, built once per run and removed at exit.
class Catalogos {
 public:
  static Catalogos& uno() {
    static Catalogos c;
    return c;
  }
  ~Catalogos() {
    std::error_code ec;
    fs::remove_all(raiz_, ec);
  }
  std::string dir(long n) {
    auto it = hechos_.find(n);
    if (it != hechos_.end()) return it->second;
    const std::string d = (raiz_ / ("n" + std::to_string(n))).string();
    fs::create_directories(d);
    const store::DefTabla* def = store::buscaTabla("inventar.dbf");
    dbf::Table::create(d, "inventar.dbf", def->campos);
    {
      dbf::Table t;
      t.open(d, "inventar.dbf", dbf::OpenMode::Exclusive);
      std::mt19937 r(7);
      for (long i = 0; i < n; ++i) {
        // Keys in an order of their own: the physical order is not the index order.
        const long k = (i * 7919) % n;
        t.append();
        t.setText("CLPRO_I", clave(k));
        t.setText("CODIG_I", std::to_string(7500000000000L + k));
        t.setText("DSCPR_I", std::string(kPalabras[r() % 10]) + " " + kPalabras[r() % 10] + " " +
                                 std::to_string(k));
        t.setText("ALMAC_I", "1");
        t.setFloat("PPUBL_I", static_cast<double>(k % 997) + 0.5);
        t.setFloat("EXIST_I", static_cast<double>(k % 50));
        t.post();
      }
      for (const auto& tag : def->indices) t.addTag(tag);
    }
    hechos_[n] = d;
    return d;
  }

 private:
  Catalogos() {
    const char* base = std::getenv("MOSTRADOR_BENCH_DIR");
    std::string plantilla = std::string(base ? base : "/tmp") + "/mostrador-consultas-XXXXXX";
    if (!mkdtemp(plantilla.data())) std::abort();
    raiz_ = plantilla;
  }
  fs::path raiz_;
  std::map<long, std::string> hechos_;
};

using Callado = base::InteraccionSinUsuario;

QApplication& app() {
  static int argc = 1;
  static char nombre[] = "bench";
  static char* argv[] = {nombre, nullptr};
  static QApplication a(argc, argv);
  return a;
}

store::VentanaTabla::Lector lector() {
  return [](const dbf::Cursor& c) {
    return std::vector<std::string>{c.asText("CLPRO_I"), c.asText("DSCPR_I"), c.asText("PPUBL_I"),
                                    c.asText("EXIST_I")};
  };
}

void BM_AbreVentana(benchmark::State& s) {
  const long n = s.range(0);
  const std::string d = Catalogos::uno().dir(n);
  std::mt19937 r(1);
  long lecturas = 0, vueltas = 0;
  for (auto _ : s) {
    dbf::Table t;
    t.open(d, "inventar.dbf");
    t.setIndex("ICLPRO");
    store::VentanaTabla v(t, "CLPRO_I", lector(), {}, ui::RejillaConsulta::kPagina);
    const int fila = v.enCercano({clave(static_cast<long>(r() % static_cast<unsigned>(n)))});
    benchmark::DoNotOptimize(fila);
    lecturas += v.lecturas();
    ++vueltas;
  }
  s.counters["lecturas"] = static_cast<double>(lecturas) / static_cast<double>(vueltas);
}
BENCHMARK(BM_AbreVentana)->Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

void BM_AbreConsulta(benchmark::State& s) {
  app();
  const long n = s.range(0);
  const std::string d = Catalogos::uno().dir(n);
  const std::string sistema = (fs::path(d) / "tvk").string();
  fs::create_directories(sistema);
  Callado ui;
  std::mt19937 r(2);
  const long antes = rssKb();
  for (auto _ : s) {
    inventory::TFormaConProduct c(nullptr, d, sistema, clave(static_cast<long>(r() % static_cast<unsigned>(n))),
                                  false, {}, &ui);
    c.show();
    QApplication::processEvents();
    benchmark::DoNotOptimize(c.rejilla()->filas());
  }
  s.counters["rss_kb"] = static_cast<double>(rssKb() - antes);
}
BENCHMARK(BM_AbreConsulta)->Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

void BM_PrimeraPantallaDescripcion(benchmark::State& s) {
  const long n = s.range(0);
  const std::string d = Catalogos::uno().dir(n);
  long lecturas = 0, vueltas = 0;
  for (auto _ : s) {
    dbf::Table t;
    t.open(d, "inventar.dbf");
    t.setIndex("DSCPR_I");
    store::VentanaTabla v(t, "CLPRO_I", lector(), inventory::filtroDescripcion(s.range(1) ? "rondana 5" : "martillo"),
                          ui::RejillaConsulta::kPagina);
    benchmark::DoNotOptimize(v.alPrincipio());
    lecturas += v.lecturas();
    ++vueltas;
  }
  s.counters["lecturas"] = static_cast<double>(lecturas) / static_cast<double>(vueltas);
}
BENCHMARK(BM_PrimeraPantallaDescripcion)
    ->Args({1000, 0})
    ->Args({100000, 0})
    ->Args({100000, 1})
    ->Unit(benchmark::kMillisecond);

void BM_BuscaDescripcion(benchmark::State& s) {
  const long n = s.range(0);
  const std::string d = Catalogos::uno().dir(n);
  dbf::Table t;
  t.open(d, "inventar.dbf");
  t.setIndex("DSCPR_I");
  std::mt19937 r(3);
  for (auto _ : s) {
    t.findNearest({std::string(kPalabras[r() % 10]) + " PI"});
    benchmark::DoNotOptimize(t.recno());
  }
}
BENCHMARK(BM_BuscaDescripcion)->Arg(100000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
