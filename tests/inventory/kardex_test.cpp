// The kardex on real tables (journal and documents), recounts, the purchase average and
// the count worksheet with its adjustments.

#include <gtest/gtest.h>

#include "inventory/ajuste.h"
#include "inventory/kardex.h"
#include "inventory/movimientos.h"
#include "store/dbf/dbf_table.h"
#include "support/empresa_ventas.h"
#include "support/entorno.h"
#include "support/reloj_fijo.h"
#include "prueba_movimientos.h"

namespace mostrador::prueba {
namespace {

using namespace inventory;
using Filas = std::vector<std::string>;

struct KardexPrueba : ::testing::Test {
  DirectorioTemporal dir;
  EmpresaVentas empresa;
  RelojFijo reloj{{{2025, 7, 14}, {10, 30, 0, 0}}};
  const std::string datos{EmpresaVentas::kDatos};

  AjustesMovimientos ajustes() const { return ajustesDe(empresa.lineas); }
  void producto(const std::string& clave, double existencia, double costo = 0) {
    ProductoVenta p;
    p.clave = clave;
    p.descripcion = "PRODUCTO " + clave;
    p.existencia = existencia;
    p.ultimoCosto = costo;
    p.costoPromedio = costo;
    empresa.producto(p);
  }
  void compra(const std::string& doc, const std::string& clave, double q, const std::string& fecha, double costo = 0,
              const std::string& marca = "") {
    dbf::Table t;
    t.open(datos, "ComprasD.dbf");
    t.append();
    t.setText("CLDOC_OD", doc);
    t.setText("CLPRO_OD", clave);
    t.setFloat("CANTI_OD", q);
    t.setFloat("CUNIT_OD", costo);
    t.setText("FEDOC_OD", fecha);
    t.setText("TREGI_OD", marca);
    t.post();
  }
  void venta(const char* tabla, const std::string& doc, const std::string& clave, double q, const std::string& fecha,
             const std::string& marca = "", const std::string& convertida = "") {
    dbf::Table t;
    t.open(datos, tabla);
    t.append();
    t.setText("CLDOC_FD", doc);
    t.setText("CLPRO_FD", clave);
    t.setFloat("CANTI_FD", q);
    t.setText("FEDOC_FD", fecha);
    t.setText("TREGI_FD", marca);
    t.setText("TDOCU_FD", convertida);
    t.post();
  }
  void movimiento(int tipo, const std::string& clave, double q, const std::string& fecha, double costo = 0,
                  const std::string& documento = "") {
    escribeMovimiento(datos, tipo, clave, q, fecha, costo, documento);
  }
  static Filas corridas(const Kardex& k) {
    Filas r;
    for (const FilaKardex& f : k.filas)
      r.push_back(f.fecha + " " + std::to_string(f.tipo) + " " + std::to_string(f.cantidad).substr(0, 5) + " " +
                  std::to_string(f.kardex).substr(0, 6));
    return r;
  }
};

TEST_F(KardexPrueba, ComprasFacturaYRemisionEnOrdenDeFechaNoDeTexto) {
  producto("A", 0);
  compra("7", "A", 10, "28/12/2024");
  compra("8", "A", 5, "02/01/2025");
  venta("FacturaD.dbf", "3", "A", 3, "05/01/2025");
  venta("Remisiod.dbf", "4", "A", 2, "02/02/2025");
  // Lines that never count: a cancelled invoice line, one made into another document,
  // another product's.
  venta("FacturaD.dbf", "5", "A", 100, "03/01/2025", "C");
  venta("FacturaD.dbf", "6", "A", 100, "03/01/2025", "", "R4");
  compra("9", "A", 100, "03/01/2025", 0, "C");
  venta("Remisiod.dbf", "4", "B", 9, "02/02/2025");
  const Kardex k = kardexDocumentos(datos, "A");
  EXPECT_EQ(corridas(k), (Filas{"28/12/2024 51 10.00 10.000", "02/01/2025 51 5.000 15.000",
                                "05/01/2025 1 -3.00 12.000", "02/02/2025 3 -2.00 10.000"}));
  EXPECT_EQ(k.existencia, 10);
  EXPECT_EQ(k.entradas, 15);
  EXPECT_EQ(k.salidas, 5);
  EXPECT_EQ(lineaTotales(k), "   Entradas  15.00   Salidas  5.00  Existencias  10.00");
  EXPECT_EQ(recuentoExistencia(datos, "A"), 10);
  const auto porDocumento = totalesPorDocumento(k);
  ASSERT_EQ(porDocumento.size(), 4u);
  EXPECT_EQ(porDocumento[0].documento, 7);
  EXPECT_EQ(porDocumento[0].total, 10);
  EXPECT_EQ(porDocumento[2].documento, 3);
  EXPECT_EQ(porDocumento[2].total, -3);
  EXPECT_EQ(kardexDocumentos(datos, "NADA").existencia, 0);
  EXPECT_TRUE(kardexDocumentos(datos, "NADA").filas.empty());
}

TEST_F(KardexPrueba, ElTipo54NoCuentaYConMovimientosIntegradosNadaCuentaDosVeces) {
  producto("A", 0);
  compra("7", "A", 10, "01/03/2025");
  movimiento(51, "A", 10, "01/03/2025", 0, "C7-100");  // the purchase's own movement
  movimiento(54, "A", 50, "02/03/2025");
  movimiento(56, "A", 1, "03/03/2025");
  EXPECT_EQ(kardexDocumentos(datos, "A").existencia, 21);  // movements not integrated: both count
  OpcionesKardex o;
  o.integrados = true;
  EXPECT_EQ(kardexDocumentos(datos, "A", o).existencia, 11);
  EXPECT_EQ(recuentoTodosDocumentos(datos, o).at("A"), 11);
  // The journal lists every movement of a type above 0, 54 included.
  EXPECT_EQ(kardexDiario(datos, "A").existencia, 61);
}

TEST_F(KardexPrueba, LaExistenciaCorridaNoSeRedondeaEnCadaFila) {
  producto("A", 0);
  for (int i = 0; i < 3; ++i) movimiento(57, "A", 0.333, "01/03/2025");
  for (int i = 0; i < 4; ++i) movimiento(4, "A", 0.004, "02/03/2025");
  const Kardex k = kardexDiario(datos, "A");
  EXPECT_DOUBLE_EQ(k.existencia, 0.999 - 0.016);
  escribeAuxiliar(datos, k, false);
  const Filas f = EmpresaVentas::filasDe(datos, "auxiliar.dbf", {"CLAVE", "CANTIDAD", "MOVIMIENTO", "KARDEX", "FECHA"});
  ASSERT_EQ(f.size(), 7u);
  EXPECT_EQ(f[2], "A|0.33|57.00|1.00|01/03/2025");
  EXPECT_EQ(f[6], "A|0.00|4.00|0.98|02/03/2025");
}

TEST_F(KardexPrueba, FiltroDeFechasSinPerderLaExistenciaAnterior) {
  producto("A", 0);
  movimiento(57, "A", 10, "01/01/2025");
  movimiento(4, "A", 1, "01/02/2025");
  movimiento(4, "A", 2, "01/03/2025");
  OpcionesKardex o;
  o.desde = base::Fecha{2025, 2, 1};
  o.hasta = base::Fecha{2025, 2, 28};
  const Kardex k = kardexDiario(datos, "A", o);
  EXPECT_EQ(corridas(k), (Filas{"01/02/2025 4 -1.00 9.0000"}));
}

TEST_F(KardexPrueba, PromedioDeComprasYSinComprasNoHayPromedio) {
  producto("A", 0);
  movimiento(51, "A", 10, "02/01/2025", 7);
  movimiento(51, "A", 10, "01/01/2025", 5);
  movimiento(53, "A", 10, "01/01/2025", 100);
  EXPECT_EQ(promedioCompras(datos, "A"), 6);
  EXPECT_EQ(promedioCompras(datos, "SIN"), std::nullopt);
}

TEST_F(KardexPrueba, AjusteSegunKardexYSegunExistencias) {
  producto("A", 10, 3);
  producto("B", 10, 3);
  producto("C", 5, 3);
  compra("1", "A", 12, "01/01/2025");
  compra("2", "B", 10.004, "01/01/2025");
  compra("3", "C", 5, "01/01/2025");
  const long lineas = ajustaSegunExistencias(ajustes(), {}, reloj);
  EXPECT_EQ(lineas, 1);
  EXPECT_EQ(empresa.filas("movinven.dbf", {"TIMOV_MI", "CLPRO_MI", "CANTI_MI", "CLPRV_MI", "REFMO_MI", "FEDOC_MI"}),
            (Filas{"6|A|2.000|Ajuste|Ajus|14/07/2025"}));
  EXPECT_EQ(empresa.numero("inventar.dbf", "CLPRO_I", "A", "EXIST_I"), 10);
  // The adjustment exit now counts: the history ends at the stock.
  EXPECT_TRUE(revisaExistencias(ajustes(), {}).size() == 1);  // only B's 0.004
  EXPECT_EQ(revisaExistencias(ajustes(), {}), (Filas{"B,10,*10.004"}));
  EXPECT_EQ(ajustaSegunKardex(ajustes(), {}), 1);
  EXPECT_EQ(empresa.texto("inventar.dbf", "CLPRO_I", "B", "EXIST_I"), "10.004");
}

TEST_F(KardexPrueba, ConteoFisicoConElCampoAjuste) {
  producto("A", 10, 4);
  producto("B", 2, 1);
  EXPECT_EQ(creaHojaAjuste(ajustes()), 2);
  EXPECT_EQ(importaConteo(ajustes(), {"A,3", "A,5", "X,1", "B,dos", "", "B"}),
            (Filas{"Línea 4: cantidad no válida: dos", "Línea 6: se espera clave,cantidad",
                   "Línea 3: producto desconocido: X"}));
  calculaVariacion(ajustes());
  EXPECT_EQ(EmpresaVentas::filasDe(datos, "Ajuste.dbf", {"CLAVE", "TEORICO", "REALES", "AJUSTE", "VALOR_AJUS"}),
            (Filas{"A|10.00|8.00|-2.00|-8.00", "B|2.00|0.00|-2.00|-2.00"}));
  EXPECT_EQ(filasImpresasAjuste(leeHojaAjuste(ajustes())),
            (std::vector<std::vector<std::string>>{{"A", "PRODUCTO A", "40", "32", "-8", "95.24", "100", "80"},
                                                   {"B", "PRODUCTO B", "2", "0", "-2", "4.76", "0", "20"}}));
  const ResultadoMovimiento r = ajustaHoja(ajustes(), false, reloj);
  ASSERT_TRUE(r.guardado) << r.mensaje;
  EXPECT_EQ(empresa.filas("movinven.dbf", {"TIMOV_MI", "CLPRO_MI", "CANTI_MI"}), (Filas{"8|A|2.000", "8|B|2.000"}));
  EXPECT_EQ(empresa.numero("inventar.dbf", "CLPRO_I", "A", "EXIST_I"), 8);
  EXPECT_EQ(empresa.numero("inventar.dbf", "CLPRO_I", "B", "EXIST_I"), 0);
}

TEST_F(KardexPrueba, ConteoFisicoConElCampoRealesReiniciaLaHistoria) {
  producto("A", 10, 4);
  movimiento(57, "A", 10, "01/01/2025");
  creaHojaAjuste(ajustes());
  importaConteo(ajustes(), {"A,7"});
  ASSERT_TRUE(ajustaHoja(ajustes(), true, reloj).guardado);
  EXPECT_EQ(empresa.filas("movinven.dbf", {"CLDOC_MI", "TIMOV_MI", "CLPRO_MI", "CANTI_MI"}), (Filas{"1|58|A|7.000"}));
  EXPECT_EQ(empresa.numero("inventar.dbf", "CLPRO_I", "A", "EXIST_I"), 7);
}

TEST(FiltroAjuste, SinDatosNoSeFiltra) {
  EXPECT_EQ(textoFiltro({}), "Faltan Datos para Filtrar...");
  FiltroAjuste f;
  f.clave = std::pair<std::string, std::string>{"A", ""};
  EXPECT_EQ(textoFiltro(f), "Faltan Datos para Filtrar...");
  f.clave = std::pair<std::string, std::string>{"A", "M"};
  f.linea = std::pair<std::string, std::string>{"ABA", "ABA"};
  f.soloConAjuste = true;
  EXPECT_EQ(textoFiltro(f), "CLAVE>='A' and CLAVE<='M' and LINEA>='ABA' and LINEA<='ABA' and REALES>0");
}

}  // namespace
}  // namespace mostrador::prueba
