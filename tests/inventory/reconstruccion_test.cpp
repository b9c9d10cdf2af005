// The document check and the movement rebuild on real tables: a delivery note whose
// movements went missing is found, reported and re-posted once; stocks follow their
// movements unless they changed during the run.

#include <gtest/gtest.h>

#include "inventory/reconstruccion.h"
#include "store/dbf/dbf_table.h"
#include "support/empresa_ventas.h"
#include "support/entorno.h"
#include "support/reloj_fijo.h"
#include "prueba_movimientos.h"

namespace mostrador::prueba {
namespace {

using namespace inventory;
using Filas = std::vector<std::string>;

struct Reconstruccion : ::testing::Test {
  DirectorioTemporal dir;
  EmpresaVentas empresa;
  RelojFijo reloj{{{2025, 7, 14}, {10, 30, 0, 0}}};
  const std::string datos{EmpresaVentas::kDatos};

  void nota(int numero, int control, const std::vector<std::pair<std::string, double>>& lineas, bool cancelada = false) {
    dbf::Table e, d;
    e.open(datos, "Remision.dbf");
    e.append();
    e.setInteger("CLDOC_F", numero);
    e.setInteger("CONTROL", control);
    e.setText("CLCLI_F", "1");
    if (cancelada) e.setText("STATU_F", "C");
    e.post();
    d.open(datos, "Remisiod.dbf");
    for (const auto& [clave, q] : lineas) {
      d.append();
      d.setText("CLDOC_FD", std::to_string(numero));
      d.setInteger("CONTROL", control);
      d.setText("CLPRO_FD", clave);
      d.setFloat("CANTI_FD", q);
      d.setFloat("PUNPR_FD", 10);
      d.setText("FEDOC_FD", "13/07/2025");
      d.post();
    }
  }
  void movimiento(int tipo, const std::string& clave, double q, const std::string& documento = "") {
    escribeMovimiento(datos, tipo, clave, q, "", 0, documento);
  }
  void producto(const std::string& clave, double existencia) {
    ProductoVenta p;
    p.clave = clave;
    p.descripcion = "PRODUCTO " + clave;
    p.existencia = existencia;
    empresa.producto(p);
  }
};

TEST_F(Reconstruccion, UnaNotaSinMovimientosSeReportaYSeRepostaUnaVez) {
  producto("A", 10);
  nota(5, 123, {{"A", 2}, {"A", 1}});
  nota(6, 124, {{"A", 4}});
  movimiento(3, "A", 4, "R6-124");     // note 6 has its movement
  nota(7, 125, {{"A", 9}}, true);     // cancelled, without movement: reported only
  ResultadoRevision r = revisaDocumentos(ajustesDe(empresa.lineas), true, reloj);
  EXPECT_EQ(r.informe, (Filas{"R5,123,2,0", "R7,125,1,0,C"}));
  EXPECT_EQ(r.reposteados, 1);
  EXPECT_EQ(empresa.filas("movinven.dbf", {"CLDOC_MI", "TIMOV_MI", "CLPRO_MI", "CANTI_MI", "NUDOC_MI", "BANAF_MI"}),
            (Filas{"1|3|A|4.000|R6-124|", "2|3|A|2.000|R5-123|F", "2|3|A|1.000|R5-123|F"}));
  // The stock is not moved again: the save that lost its movements had moved it.
  EXPECT_EQ(empresa.numero("inventar.dbf", "CLPRO_I", "A", "EXIST_I"), 10);
  r = revisaDocumentos(ajustesDe(empresa.lineas), true, reloj);
  EXPECT_EQ(r.informe, (Filas{"R7,125,1,0,C"}));
  EXPECT_EQ(r.reposteados, 0);
}

TEST_F(Reconstruccion, LasExistenciasSiguenASusMovimientos) {
  producto("A", 10);
  producto("B", 5);
  movimiento(57, "A", 8);
  movimiento(4, "A", 1);
  movimiento(57, "B", 5);
  const ResultadoReconstruccion r = reconstruyeMovimientos(ajustesDe(empresa.lineas), reloj);
  EXPECT_EQ(r.resumen, "1  Actualizados");
  EXPECT_EQ(r.actualizados, (Filas{"A,7,7"}));
  EXPECT_EQ(empresa.numero("inventar.dbf", "CLPRO_I", "A", "EXIST_I"), 7);
  EXPECT_EQ(EmpresaVentas::filasDe(datos, "MI.dbf", {"CLAVE", "ANTERIOR", "REALES", "ACTUAL"}),
            (Filas{"A|10.000|7.000|10.000", "B|5.000|5.000|5.000"}));
}

}  // namespace
}  // namespace mostrador::prueba
