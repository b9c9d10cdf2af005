// Saving a 100-line receipt with everything it writes: lines, movements through the
// posting rule, stock, last and average costs, cost layers (half the products are
// "PEPS"), sale prices from margins, the payable, the supplier's balance and the
// counter, in one save unit. Target: under 30 ms per receipt.
//
// Run: build/bench_compras_bench. The company is a small one made on a temporary drive
// (1,000 products); each iteration saves one more receipt, so the tables grow as a
// shop's do.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "inventory/compras.h"
#include "base/reloj.h"
#include "store/dbf/dbf_table.h"
#include "support/empresa_ventas.h"
#include "support/entorno.h"
#include "support/reloj_fijo.h"

using namespace mostrador;

namespace {

void BM_GuardaRecepcion100(benchmark::State& state) {
  prueba::DirectorioTemporal dir;
  prueba::EmpresaVentas empresa;
  empresa.linea(44, "S");
  constexpr int kProductos = 1000;
  {
    dbf::Table t;
    t.open(prueba::EmpresaVentas::kDatos, "inventar.dbf");
    for (int i = 0; i < kProductos; ++i) {
      char clave[8];
      std::snprintf(clave, sizeof clave, "P%04d", i);
      t.append();
      t.setText("CLPRO_I", clave);
      t.setText("DSCPR_I", std::string("PRODUCTO ") + clave);
      t.setFloat("EXIST_I", 50);
      t.setFloat("CPROM_I", 10);
      t.setFloat("ULCOS_I", 10);
      t.setFloat("PPUBL_I", 15);
      t.setFloat("PORC1_I", 40);
      t.setText("TICOS_I", i % 2 ? "PEPS" : "PROM");
      t.post();
    }
    dbf::Table p;
    p.open(prueba::EmpresaVentas::kDatos, "proveedo.dbf");
    p.append();
    p.setText("CLAVE_P", "PR1");
    p.setText("NOMBR_P", "FERRETERA");
    for (const char* c : {"SALDO_P", "COMPR_P", "CARGO_P"}) p.setFloat(c, 0);
    p.post();
  }
  const inventory::AjustesCompras a = inventory::ajustesComprasDe(empresa.lineas);
  prueba::RelojFijo reloj{{{2025, 7, 14}, {10, 30, 0, 0}}};
  long n = 0;
  for (auto _ : state) {
    inventory::DocumentoCompra d;
    d.tipo = inventory::TipoCompra::Recepcion;
    d.proveedor = "PR1";
    d.fecha = "14/07/2025";
    for (int l = 0; l < 100; ++l) {
      char clave[8];
      std::snprintf(clave, sizeof clave, "P%04d", static_cast<int>((n * 100 + l * 7) % kProductos));
      inventory::PartidaCompra p;
      p.clave = clave;
      p.cantidad = 1 + l % 5;
      p.costo = 10 + (n + l) % 7;
      p.descuento1 = 5;
      p.impuesto = 16;
      d.partidas.push_back(p);
    }
    ++n;
    const inventory::ResultadoCompra r = inventory::guardaCompra(a, d, reloj);
    if (!r.hecho) {
      state.SkipWithError(r.mensaje.c_str());
      break;
    }
  }
  state.counters["recepciones"] = static_cast<double>(n);
}
BENCHMARK(BM_GuardaRecepcion100)->Unit(benchmark::kMillisecond)->Iterations(50);

}  // namespace

BENCHMARK_MAIN();
