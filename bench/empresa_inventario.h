#pragma once
// The company the inventory benchmarks run over: the demo company of the middle size
// (5,000 products, 50,000 movements), or the large one with MOSTRADOR_BENCH_GRANDE=1
// (100,000 products, 1,000,000 movements), plus a product "KARDEX" with 50,000 movements
// of its own. Built once per process under $TMPDIR (or /tmp) and removed at the end.

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "session/empresa_nueva.h"
#include "store/dbf/dbf_table.h"
#include "store/demo.h"

namespace mostrador::bench {

inline constexpr int kMovimientosKardex = 50'000;

struct EmpresaInventario {
  std::filesystem::path dir;
  std::string datos;
  explicit EmpresaInventario(const std::string& nombre) {
    const char* tmp = std::getenv("TMPDIR");
    dir = std::filesystem::path(tmp ? tmp : "/tmp") / (nombre + "_" + std::to_string(getpid()));
    datos = (dir / "datos").string();
    session::creaDirectorioDatos(datos);
    store::OpcionesDemo o;
    o.tamano = std::getenv("MOSTRADOR_BENCH_GRANDE") ? store::TamanoDemo::grande() : store::TamanoDemo::mediano();
    store::generaDemo(datos, o);
    dbf::Table p, m;
    p.open(datos, "inventar.dbf");
    p.append();
    p.setText("CLPRO_I", "KARDEX");
    p.setText("DSCPR_I", "PRODUCTO CON MUCHOS MOVIMIENTOS");
    p.post();
    m.open(datos, "movinven.dbf", dbf::OpenMode::Exclusive);
    for (int i = 0; i < kMovimientosKardex; ++i) {
      m.append();
      m.setInteger("CLDOC_MI", 1'000'000 + i);
      m.setInteger("TIMOV_MI", i % 3 == 0 ? 51 : 3);
      m.setText("CLPRO_MI", "KARDEX");
      m.setFloat("CANTI_MI", 1 + i % 7);
      m.setFloat("COSUN_MI", 10 + i % 5);
      char f[11];
      std::snprintf(f, sizeof f, "%02d/%02d/%04d", 1 + i % 28, 1 + (i / 28) % 12, 2020 + i / (28 * 12 * 10));
      m.setText("FEDOC_MI", f);
      m.post();
    }
  }
  ~EmpresaInventario() {
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
  }
};

}  // namespace mostrador::bench
