// Inventory movements on real tables: the posting rule (stock, average cost, line 41,
// type 8), saving a movement document, transfers (both companies or neither), concepts,
// the movement files, the totals line and the inventory cut.

#include <gtest/gtest.h>

#include "inventory/movimientos.h"
#include "inventory/posteo.h"
#include "base/rutas.h"
#include "session/empresa_nueva.h"
#include "store/dbf/dbf_table.h"
#include "support/empresa_ventas.h"
#include "support/entorno.h"
#include "support/reloj_fijo.h"

namespace mostrador::prueba {
namespace {

using namespace inventory;
using Filas = std::vector<std::string>;

constexpr std::string_view kOtra = "C:\\sucursal";

struct Movimientos : ::testing::Test {
  DirectorioTemporal dir;
  EmpresaVentas empresa;
  RelojFijo reloj{{{2025, 7, 14}, {10, 30, 0, 0}}};

  AjustesMovimientos ajustes() const {
    AjustesMovimientos a = ajustesDe(empresa.lineas);
    a.usuario = "2";
    return a;
  }
  void producto(const std::string& clave, double existencia, double promedio, std::string metodo = "") {
    ProductoVenta p;
    p.clave = clave;
    p.descripcion = "PRODUCTO " + clave;
    p.existencia = existencia;
    p.costoPromedio = promedio;
    p.tipoCosto = std::move(metodo);
    p.precio = 20;
    empresa.producto(p);
  }
  double existencia(const std::string& clave) const {
    return empresa.numero("inventar.dbf", "CLPRO_I", clave, "EXIST_I");
  }
  double promedio(const std::string& clave) const { return empresa.numero("inventar.dbf", "CLPRO_I", clave, "CPROM_I"); }
  ResultadoMovimiento guarda(int tipo, std::vector<LineaMovimiento> lineas, std::string fecha = "14/07/2025") {
    DocumentoMovimiento d;
    d.tipo = tipo;
    d.fecha = std::move(fecha);
    d.referencia = "REF";
    d.lineas = std::move(lineas);
    return guardaMovimiento(ajustes(), d, reloj);
  }
  Filas movimientos() const {
    return empresa.filas("movinven.dbf", {"CLDOC_MI", "TIMOV_MI", "CLPRO_MI", "CANTI_MI", "COSUN_MI", "EXIST_MI"});
  }
  void concepto(int numero, std::string descripcion, std::string clase = "", std::string destino = "") {
    dbf::Table t;
    t.open(EmpresaVentas::kDatos, "CoMovInv.dbf");
    t.append();
    t.setInteger("NUCON_CM", numero);
    t.setText("DECON_CM", descripcion);
    t.setText("TIPOX_CM", clase);
    t.setText("ALMAC_CM", destino);
    t.post();
  }
};

TEST_F(Movimientos, ElPromedioPonderadoUsaLaExistenciaAntesDeLaEntrada) {
  producto("A", 5, 6);
  const ResultadoMovimiento r = guarda(51, {{"A", 10, 8}});
  ASSERT_TRUE(r.guardado) << r.mensaje;
  EXPECT_EQ(r.numero, 1);
  EXPECT_EQ(r.lineas, 1);
  EXPECT_EQ(empresa.texto("inventar.dbf", "CLPRO_I", "A", "CPROM_I"), "7.333333");  // not rounded to cents
  EXPECT_EQ(existencia("A"), 15);
  EXPECT_EQ(movimientos(), (Filas{"1|51|A|10.000|8.0000|15.000"}));
  EXPECT_EQ(empresa.texto("movinven.dbf", "CLDOC_MI", "1", "HORAF_F"), "2");
  EXPECT_EQ(empresa.texto("movinven.dbf", "CLDOC_MI", "1", "NALMA_MI"), "1");
  EXPECT_EQ(empresa.texto("movinven.dbf", "CLDOC_MI", "1", "DESCR_MI"), "PRODUCTO A");
}

TEST_F(Movimientos, SinExistenciaOConOtroMetodoElPromedioEsElCostoDeLaEntrada) {
  producto("CERO", 0, 6);
  producto("PEPS", 5, 6, "PEPS");
  producto("NEG", -3, 6);
  ASSERT_TRUE(guarda(57, {{"CERO", 10, 8}, {"PEPS", 10, 8}, {"NEG", 10, 8}}).guardado);
  EXPECT_EQ(promedio("CERO"), 8);
  EXPECT_EQ(promedio("PEPS"), 8);
  EXPECT_EQ(promedio("NEG"), 8);
  EXPECT_EQ(existencia("NEG"), 7);
}

TEST_F(Movimientos, CostoCeroSalidasYOtrasEntradasNoTocanElPromedio) {
  producto("A", 5, 6);
  ASSERT_TRUE(guarda(51, {{"A", 10, 0}}).guardado);
  EXPECT_EQ(promedio("A"), 6);
  ASSERT_TRUE(guarda(4, {{"A", 3, 99}}).guardado);
  EXPECT_EQ(promedio("A"), 6);
  ASSERT_TRUE(guarda(53, {{"A", 2, 99}}).guardado);  // an entry other than 51/57
  EXPECT_EQ(promedio("A"), 6);
  EXPECT_EQ(existencia("A"), 14);
}

TEST_F(Movimientos, UnaSalidaMayorQueLaExistenciaQuedaNegativaOEnCeroSegunLaLinea41) {
  producto("A", 2, 6);
  ASSERT_TRUE(guarda(4, {{"A", 3, 0}}).guardado);
  EXPECT_EQ(existencia("A"), -1);
  empresa.linea(41, "N");
  producto("B", 2, 6);
  { const auto r = guarda(4, {{"B", 3, 0}}); ASSERT_TRUE(r.guardado) << r.mensaje; }
  EXPECT_EQ(existencia("B"), 0);
  // Type 50 is an exit, 51 an entry.
  concepto(50, "Salida de Prueba");
  ASSERT_TRUE(guarda(50, {{"B", 1, 0}}).guardado);
  EXPECT_EQ(existencia("B"), 0);
  ASSERT_TRUE(guarda(51, {{"B", 1, 0}}).guardado);
  EXPECT_EQ(existencia("B"), 1);
}

TEST_F(Movimientos, UnaLineaNegativaBajoEntradaEsTipo8YNoCalculaPromedio) {
  producto("A", 10, 6);
  ASSERT_TRUE(guarda(51, {{"A", -4, 8}}).guardado);
  EXPECT_EQ(existencia("A"), 6);
  // The average formula is not run with a negative quantity.
  EXPECT_EQ(promedio("A"), 6);
  EXPECT_EQ(movimientos(), (Filas{"1|8|A|4.000|8.0000|6.000"}));
  // Where the stock equals the quantity the old formula divided by zero.
  producto("B", 4, 6);
  ASSERT_TRUE(guarda(57, {{"B", -4, 8}}).guardado);
  EXPECT_EQ(existencia("B"), 0);
  EXPECT_EQ(promedio("B"), 6);
}

TEST_F(Movimientos, UnaLineaNegativaBajoSalidaConservaSuTipoYSuSigno) {
  producto("A", 10, 6);
  ASSERT_TRUE(guarda(4, {{"A", -2, 0}}).guardado);
  EXPECT_EQ(existencia("A"), 12);
  EXPECT_EQ(movimientos(), (Filas{"1|4|A|-2.000|0.0000|12.000"}));
}

TEST_F(Movimientos, UnProductoQueNoEstaEnElCatalogoSoloDejaSuMovimiento) {
  ASSERT_TRUE(guarda(51, {{"NOHAY", 3, 5}}).guardado);
  EXPECT_EQ(movimientos(), (Filas{"1|51|NOHAY|3.000|5.0000|0.000"}));
}

TEST_F(Movimientos, LoQueFaltaSeDiceYNoSeEscribeNada) {
  producto("A", 1, 1);
  EXPECT_EQ(guarda(0, {{"A", 1, 1}}).mensaje, "Falta Seleccionar un Tipo de Movimiento");
  EXPECT_EQ(guarda(51, {{"A", 1, 1}}, "").mensaje, "No se puede Guardar faltan datos");
  EXPECT_EQ(guarda(51, {{"A", 0, 1}}).mensaje, "No se puede Guardar faltan datos");
  EXPECT_EQ(guarda(77, {{"A", 1, 1}}).mensaje, "No Existe Tipo de Movimiento");
  EXPECT_TRUE(movimientos().empty());
  EXPECT_EQ(existencia("A"), 1);
}

TEST_F(Movimientos, NumerosConsecutivosYLineasEnCeroOmitidas) {
  producto("A", 0, 0);
  producto("B", 0, 0);
  ASSERT_EQ(guarda(53, {{"A", 1, 0}}).numero, 1);
  const ResultadoMovimiento r = guarda(53, {{"A", 0, 0}, {"B", 2, 0}, {"A", 3, 0}});
  EXPECT_EQ(r.numero, 2);
  EXPECT_EQ(r.lineas, 2);
  EXPECT_EQ(movimientos(), (Filas{"1|53|A|1.000|0.0000|1.000", "2|53|B|2.000|0.0000|2.000",
                                  "2|53|A|3.000|0.0000|4.000"}));
}

TEST_F(Movimientos, LosConceptosIntegradosNoSeBorran) {
  EXPECT_EQ(borraConcepto(std::string(EmpresaVentas::kDatos), 7), "El concepto no puede Eliminarse...");
  EXPECT_EQ(borraConcepto(std::string(EmpresaVentas::kDatos), 55), "El concepto no puede Eliminarse...");
  EXPECT_EQ(borraConcepto(std::string(EmpresaVentas::kDatos), 20), "No Existe Tipo de Movimiento");
  concepto(20, "Salida a Obra");
  ASSERT_TRUE(leeConcepto(std::string(EmpresaVentas::kDatos), 20));
  EXPECT_EQ(borraConcepto(std::string(EmpresaVentas::kDatos), 20), "");
  EXPECT_FALSE(leeConcepto(std::string(EmpresaVentas::kDatos), 20));
  EXPECT_TRUE(leeConcepto(std::string(EmpresaVentas::kDatos), 7));
}

struct Traspasos : Movimientos {
  Traspasos() {
    session::OpcionesEmpresa o;
    o.numero = 2;
    o.dirDatos = std::string(kOtra);
    o.dirSistema = std::string(EmpresaVentas::kSistema);
    session::creaDirectorioDatos(o.dirDatos);
    concepto(30, "Traspaso a Sucursal", "T", std::string(kOtra));
    concepto(31, "Traspaso a ninguna parte", "T", "C:\\noexiste");
  }
  Filas destino() const {
    return EmpresaVentas::filasDe(kOtra, "movinven.dbf", {"CLDOC_MI", "TIMOV_MI", "CLPRO_MI", "CANTI_MI"});
  }
  double existenciaDestino(const std::string& clave) const {
    const Filas f = EmpresaVentas::filasDe(kOtra, "inventar.dbf", {"CLPRO_I", "EXIST_I", "DSCPR_I", "PPUBL_I"});
    for (const std::string& x : f)
      if (x.starts_with(clave + "|")) return std::stod(x.substr(clave.size() + 1));
    return -999;
  }
};

TEST_F(Traspasos, LaSalidaDelOrigenYLaEntradaDelDestinoVanJuntas) {
  producto("A", 10, 6);
  const ResultadoMovimiento r = guarda(30, {{"A", 4, 6}, {"A", -1, 6}});
  ASSERT_TRUE(r.guardado) << r.mensaje;
  EXPECT_EQ(existencia("A"), 7);
  EXPECT_EQ(r.numeroDestino, 1);
  // The product did not exist there: it was copied without its stock.
  EXPECT_EQ(EmpresaVentas::filasDe(kOtra, "inventar.dbf", {"CLPRO_I", "EXIST_I", "DSCPR_I", "PPUBL_I"}),
            (Filas{"A|3.000|PRODUCTO A|20.0000"}));
  EXPECT_EQ(destino(), (Filas{"1|60|A|4.000", "1|8|A|1.000"}));
}

TEST_F(Traspasos, ElFactorDeEmpaqueSoloConLaLinea57YParaExistenciaYMovimiento) {
  producto("A", 10, 6);
  {
    dbf::Table t;
    t.open(kOtra, "inventar.dbf");
    t.append();
    t.setText("CLPRO_I", "A");
    t.setText("DSCPR_I", "CAJA A");
    t.setFloat("UEMPA_I", 12);
    t.post();
  }
  ASSERT_TRUE(guarda(30, {{"A", 2, 6}}).guardado);
  EXPECT_EQ(existenciaDestino("A"), 2);
  empresa.linea(57, "S");
  ASSERT_TRUE(guarda(30, {{"A", 1, 6}}).guardado);
  EXPECT_EQ(existenciaDestino("A"), 14);
  EXPECT_EQ(destino(), (Filas{"1|60|A|2.000", "2|60|A|12.000"}));
  EXPECT_EQ(existencia("A"), 7);
}

TEST_F(Traspasos, UnDestinoQueNoEsEmpresaSeRechazaSinTocarNada) {
  producto("A", 10, 6);
  const ResultadoMovimiento r = guarda(31, {{"A", 4, 6}});
  EXPECT_FALSE(r.guardado);
  EXPECT_EQ(r.mensaje, "El Directorio C:\\noexiste del Traspaso no es una Empresa; no se Guardó Nada");
  EXPECT_EQ(existencia("A"), 10);
  EXPECT_TRUE(movimientos().empty());
}

TEST(ArchivosMovimiento, LasLineasMalasSeDicenConSuNumero) {
  const LecturaMovimiento r = leeArchivoAlta(
      {"# entrada de prueba", "tipo=51", "fecha=14/07/2025", "A;10;8", "B;diez;8", "C;1", "", ";1;1", "D;-2;0.5",
       "E;1;x"});
  EXPECT_EQ(r.errores, (Filas{"Línea 5: cantidad no válida: diez",
                              "Línea 6: se esperan 3 columnas (clave;cantidad;costo), hay 2", "Línea 8: falta la clave",
                              "Línea 10: costo no válido: x"}));
  EXPECT_EQ(r.documento.tipo, 51);
  EXPECT_EQ(r.documento.fecha, "14/07/2025");
  ASSERT_EQ(r.documento.lineas.size(), 2u);
  EXPECT_EQ(r.documento.lineas[1].clave, "D");
  EXPECT_EQ(r.documento.lineas[1].cantidad, -2);
  EXPECT_EQ(r.documento.lineas[1].costo, 0.5);

  EXPECT_EQ(leeArchivoAlta({"A;1;1", "tipo=cero", "fecha=31/02/2025"}).errores,
            (Filas{"Línea 2: tipo no válido: cero", "Línea 3: fecha no válida (dd/MM/aaaa): 31/02/2025",
                   "Falta la línea tipo=N", "Falta la línea fecha=dd/MM/aaaa"}));
}

TEST(ArchivosMovimiento, CadaTipoDelArchivoDeIntercambioEsSuMovimiento) {
  const LecturaImportacion r =
      leeArchivoMovimientos({"1,A,3,51", "2,B,4,4", "3,C,1,51", "4,D,x,51", "5,E,1"}, "14/07/2025");
  EXPECT_EQ(r.errores, (Filas{"Línea 4: cantidad no válida: x", "Línea 5: se esperan al menos 4 campos, hay 3"}));
  ASSERT_EQ(r.documentos.size(), 2u);
  EXPECT_EQ(r.documentos[0].tipo, 51);
  ASSERT_EQ(r.documentos[0].lineas.size(), 2u);
  EXPECT_EQ(r.documentos[0].lineas[1].clave, "C");
  EXPECT_EQ(r.documentos[1].tipo, 4);
  EXPECT_EQ(r.documentos[1].lineas[0].cantidad, 4);
  EXPECT_EQ(r.documentos[1].fecha, "14/07/2025");
}

TEST_F(Movimientos, LineaDeTotalesYConLaLinea38LaExistenciaDelProducto) {
  producto("A", 99, 6);
  ASSERT_TRUE(guarda(57, {{"A", 10, 6}}).guardado);
  ASSERT_TRUE(guarda(3, {{"A", 2.5, 0}}).guardado);
  ASSERT_TRUE(guarda(4, {{"A", 1, 0}}).guardado);
  TotalesMovimientos t = totalesProducto(ajustes(), "A");
  EXPECT_EQ(t.linea, "Entradas 10.00  Salidas 3.50  Existencias 6.50");
  EXPECT_EQ(existencia("A"), 105.5);  // line 38 off: only shown
  empresa.linea(38, "S");
  t = totalesProducto(ajustes(), "A");
  EXPECT_EQ(existencia("A"), 6.5);
  EXPECT_EQ(empresa.numero("inventar.dbf", "CLPRO_I", "A", "VANCA_I"), 2.5);
  EXPECT_EQ(empresa.numero("inventar.dbf", "CLPRO_I", "A", "VANMO_I"), 50);
}

TEST_F(Movimientos, ElCorteConservaAjustesYMovimientosManuales) {
  concepto(58, "Ajuste por Conteo");
  for (int tipo : {1, 2, 3, 6, 51, 54, 56, 57, 58}) ASSERT_TRUE(guarda(tipo, {{"X", 1, 0}}).guardado);
  long avance = 0;
  EXPECT_EQ(corteInventario(ajustes(), [&](long hechos, long) { avance = hechos; }), 5);
  EXPECT_EQ(avance, 9);
  Filas tipos;
  for (const std::string& f : empresa.filas("movinven.dbf", {"TIMOV_MI"})) tipos.push_back(f);
  EXPECT_EQ(tipos, (Filas{"6", "56", "57", "58"}));
}

}  // namespace
}  // namespace mostrador::prueba
