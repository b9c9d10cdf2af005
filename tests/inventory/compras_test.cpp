// Purchases on real tables: net cost, totals in both tax modes, receipts (stock, average,
// last cost, layers, prices, quantities on order, the payable and the supplier), orders,
// returns, numbering, modifying, cancelling and deleting, the suggested order, the order
// file and the command line's document file.

#include <gtest/gtest.h>

#include "inventory/compras.h"
#include "base/rutas.h"
#include "base/texto.h"
#include "store/dbf/dbf_table.h"
#include "support/empresa_ventas.h"
#include "support/entorno.h"
#include "support/reloj_fijo.h"
#include "prueba_compras.h"

namespace mostrador::prueba {
namespace {

using namespace inventory;
using Filas = std::vector<std::string>;

struct Compras : ::testing::Test {
  DirectorioTemporal dir;
  EmpresaVentas empresa;
  RelojFijo reloj{{{2025, 7, 14}, {10, 30, 0, 0}}};  // control stamp 43750

  Compras() { proveedorCompras("PR1", "FERRETERA DEL NORTE", 30); }

  AjustesCompras ajustes() const {
    AjustesCompras a = ajustesComprasDe(empresa.lineas);
    a.usuario = "2";
    a.nombreUsuario = "CAJERO";
    return a;
  }
  void producto(const std::string& clave, double existencia, double promedio, double ultimo = 0,
                std::string metodo = "", double precio = 20) {
    ProductoVenta p;
    p.clave = clave;
    p.descripcion = "PRODUCTO " + clave;
    p.existencia = existencia;
    p.costoPromedio = promedio;
    p.ultimoCosto = ultimo;
    p.tipoCosto = std::move(metodo);
    p.precio = precio;
    empresa.producto(p);
  }
  std::string prod(const std::string& clave, const std::string& campo) const {
    return empresa.texto("inventar.dbf", "CLPRO_I", clave, campo);
  }
  std::string proveedor(const std::string& campo) const { return empresa.texto("proveedo.dbf", "CLAVE_P", "PR1", campo); }
  Filas movimientos() const {
    return empresa.filas("movinven.dbf", {"TIMOV_MI", "CLPRO_MI", "CANTI_MI", "COSUN_MI", "NUDOC_MI", "BANAF_MI", "CLPRV_MI"});
  }
  Filas lineas(const char* tabla = "ComprasD.dbf") const {
    return empresa.filas(tabla, {"CLDOC_OD", "CONTROL", "CLPRO_OD", "CANTI_OD", "CUNIT_OD", "TREGI_OD"});
  }
  Filas encabezados(const char* tabla = "ComprasE.dbf") const {
    return empresa.filas(tabla, {"CLDOC_O", "CLPRV_O", "SUBTO_O", "IMPMO_O", "IMDOC_O", "SALDO_O", "STDOC_O"});
  }
  Filas pagar() const {
    return empresa.filas("cuepagar.dbf", {"NUCOM_CP", "CLPRO_CP", "TIMOV_CP", "OPERA_CP", "IMCUE_CP", "SALDO_CP", "STATU_CP"});
  }
  ResultadoCompra recibe(std::vector<PartidaCompra> p, double descuento = 0) {
    DocumentoCompra d = documento(TipoCompra::Recepcion, std::move(p));
    d.descuento = descuento;
    return guardaCompra(ajustes(), d, reloj);
  }
};

TEST(CostosCompra, ElCostoNetoAplicaLosTresDescuentosYElDelDocumento) {
  EXPECT_NEAR(costoNeto(partida("A", 1, 100, 10, 5, 0), 2), 83.79, 1e-9);
  EXPECT_NEAR(importePartida(partida("A", 3, 100, 10, 5, 0)), 256.5, 1e-9);
  EXPECT_EQ(costoNeto(partida("A", 1, 80), 0), 80);
}

TEST(CostosCompra, ConPreciosConImpuestoElTotalEsLoQueSeDebe) {
  DocumentoCompra d = documento(TipoCompra::Recepcion, {partida("A", 1, 116, 0, 0, 0, 16)});
  const TotalesCompra incluido = totalesCompra(d, true);
  EXPECT_EQ(incluido.bruto.texto(), "116");
  EXPECT_EQ(incluido.impuesto.texto(), "16");
  EXPECT_EQ(incluido.subtotal.texto(), "100");
  EXPECT_EQ(incluido.total.texto(), "116");  // not 132: the tax is inside the goods
  EXPECT_EQ(textoImporte(incluido.total), "$116.00");

  const TotalesCompra aparte = totalesCompra(d, false);
  EXPECT_EQ(aparte.impuesto.texto(), "18.56");
  EXPECT_EQ(aparte.total.texto(), "134.56");
  d.noDesglosado = true;  // ticked: the tax is added even with line 33 "S"
  EXPECT_EQ(totalesCompra(d, true).total.texto(), "134.56");

  DocumentoCompra c = documento(TipoCompra::Recepcion, {partida("A", 3, 333.33, 0, 0, 0, 0)});
  c.descuento = 10;
  const TotalesCompra t = totalesCompra(c, false);
  EXPECT_EQ(t.bruto.texto(), "999.99");
  EXPECT_EQ(t.descuento.texto(), "100");  // 99.999 to cents
  EXPECT_EQ(t.total.texto(), "899.99");
  EXPECT_EQ(textoImporte(base::Importe::deDouble(1234567.5)), "$1,234,567.50");
}

TEST_F(Compras, UnaRecepcionFijaUltimoCostoPromedioExistenciaYLaDeudaUnaVez) {
  producto("A", 5, 10, 11);
  producto("B", 0, 0);
  const ResultadoCompra r = recibe({partida("A", 10, 12), partida("B", 10, 12)});
  ASSERT_TRUE(r.hecho) << r.mensaje;
  EXPECT_EQ(r.numero, 1);
  EXPECT_EQ(r.control, 43750);
  // Integrated movements: stock and average move once, through the posting rule.
  EXPECT_EQ(prod("A", "EXIST_I"), "15.000");
  EXPECT_EQ(prod("A", "CPROM_I"), "11.333333");  // (5 × 10 + 10 × 12) / 15
  EXPECT_EQ(prod("A", "ULCOS_I"), "12.0000");
  EXPECT_EQ(prod("A", "FEULC_I"), "14/07/2025");
  EXPECT_EQ(prod("B", "EXIST_I"), "10.000");
  EXPECT_EQ(prod("B", "CPROM_I"), "12.000000");
  EXPECT_EQ(movimientos(), (Filas{"51|A|10.000|12.0000|O1-43750|C|PR1", "51|B|10.000|12.0000|O1-43750|C|PR1"}));
  EXPECT_EQ(lineas(), (Filas{"1|43750|A|10.000|12.0000|", "1|43750|B|10.000|12.0000|"}));
  EXPECT_EQ(encabezados(), (Filas{"1|PR1|240.0000|0.0000|240.0000|240.0000|"}));
  EXPECT_EQ(empresa.texto("ComprasE.dbf", "CLDOC_O", "1", "NOMBR_O"), "FERRETERA DEL NORTE");
  EXPECT_EQ(empresa.texto("ComprasE.dbf", "CLDOC_O", "1", "FEPAG_O"), "13/08/2025");  // + 30 credit days
  EXPECT_EQ(empresa.texto("ComprasE.dbf", "CLDOC_O", "1", "TREGI_O"), "S");
  EXPECT_EQ(empresa.texto("ComprasE.dbf", "CLDOC_O", "1", "USUARIO"), "CAJERO");
  EXPECT_EQ(proveedor("SALDO_P"), "240.0000");
  EXPECT_EQ(proveedor("COMPR_P"), "240.0000");
  EXPECT_EQ(proveedor("FULCO_P"), "14/07/2025");
  EXPECT_EQ(pagar(), (Filas{"1|PR1|51|C|240.0000|240.0000|"}));
  EXPECT_EQ(empresa.filas("numeroc.dbf", {"NUMERO"}).back(), "1");
}

TEST_F(Compras, SinMovimientosIntegradosLaExistenciaTambienSubeUnaVez) {
  empresa.linea(6, "NO");
  producto("A", 5, 10, 11);
  ASSERT_TRUE(recibe({partida("A", 10, 12)}).hecho);
  EXPECT_EQ(prod("A", "EXIST_I"), "15.000");
  EXPECT_EQ(prod("A", "CPROM_I"), "11.333333");
  EXPECT_TRUE(movimientos().empty());
  EXPECT_EQ(empresa.texto("ComprasE.dbf", "CLDOC_O", "1", "TREGI_O"), "N");
}

TEST_F(Compras, ElCostoNetoConDescuentosEsElUltimoCostoYElDelMovimiento) {
  producto("A", 0, 0);
  ASSERT_TRUE(recibe({partida("A", 1, 100, 10, 5, 0)}, 2).hecho);
  EXPECT_EQ(prod("A", "ULCOS_I"), "83.7900");
  EXPECT_EQ(prod("A", "CPROM_I"), "83.790000");
  EXPECT_EQ(movimientos(), (Filas{"51|A|1.000|83.7900|O1-43750|C|PR1"}));
  EXPECT_EQ(encabezados(), (Filas{"1|PR1|83.7900|0.0000|83.7900|83.7900|"}));
}

TEST_F(Compras, PeepsYUepsDejanUnaCapaDeCostoPorPartida) {
  producto("A", 0, 0, 0, "PEPS");
  producto("B", 0, 0, 0, "PROM");
  ASSERT_TRUE(recibe({partida("A", 4, 10), partida("B", 2, 10)}).hecho);
  EXPECT_EQ(empresa.filas("Costeo.dbf", {"CLPRO_I", "CLDOC_I", "CANTI_I", "FECHA_I"}),
            (Filas{"A|1|4.000|14/07/2025"}));
  EXPECT_EQ(prod("A", "CPROM_I"), "10.000000");
}

TEST_F(Compras, PreciosPorMargenSoloConUnCostoQueNoBaja) {
  empresa.linea(44, "S");
  producto("A", 0, 10, 10, "", 15);
  campoProducto("A", "PORC1_I", 50);
  campoProducto("A", "PORC2_I", 20);
  campoProducto("A", "PLIS3_I", 7);
  ASSERT_TRUE(recibe({partida("A", 1, 12)}).hecho);
  EXPECT_EQ(prod("A", "PPUBL_I"), "18.0000");
  EXPECT_EQ(prod("A", "PLIS2_I"), "14.4000");
  EXPECT_EQ(prod("A", "PLIS3_I"), "7.0000");  // no margin: left alone
  // A lower cost: prices stay.
  ASSERT_TRUE(recibe({partida("A", 1, 8)}).hecho);
  EXPECT_EQ(prod("A", "ULCOS_I"), "8.0000");
  EXPECT_EQ(prod("A", "PPUBL_I"), "18.0000");
  EXPECT_EQ(prod("A", "PLIS2_I"), "14.4000");
}

TEST_F(Compras, PrecioDelClienteYMargenDelProveedor) {
  producto("A", 0, 10, 10, "", 15);
  PartidaCompra p = partida("A", 1, 10);
  p.precioCliente = 17.5;
  ASSERT_TRUE(recibe({p}).hecho);
  EXPECT_EQ(prod("A", "PPUBL_I"), "17.5000");
  // The supplier's margin sets the public price from the line's price when it went up.
  proveedorCompras("PR2", "MAYORISTA", 0, 25);
  DocumentoCompra d = documento(TipoCompra::Recepcion, {partida("A", 1, 12)}, "PR2");
  ASSERT_TRUE(guardaCompra(ajustes(), d, reloj).hecho);
  EXPECT_EQ(prod("A", "PPUBL_I"), "15.0000");
  // With the option to keep the typed price, the line's price wins over the margin.
  PartidaCompra tecleado = partida("A", 1, 14);
  tecleado.precioCliente = 19.9;
  AjustesCompras a = ajustes();
  a.conservaPrecio = true;
  ASSERT_TRUE(guardaCompra(a, documento(TipoCompra::Recepcion, {tecleado}, "PR2"), reloj).hecho);
  EXPECT_EQ(prod("A", "PPUBL_I"), "19.9000");
  // Without it the margin sets it: 14 × 1.25.
  ASSERT_TRUE(guardaCompra(ajustes(), documento(TipoCompra::Recepcion, {partida("A", 1, 16)}, "PR2"), reloj).hecho);
  EXPECT_EQ(prod("A", "PPUBL_I"), "20.0000");
}

TEST_F(Compras, BuscarPorProveedorDaSuPrimerDocumento) {
  proveedorCompras("PR2", "MAYORISTA");
  producto("A", 0, 10);
  ASSERT_TRUE(recibe({partida("A", 1, 10)}).hecho);
  ASSERT_TRUE(guardaCompra(ajustes(), documento(TipoCompra::Recepcion, {partida("A", 1, 10)}, "PR2"), reloj).hecho);
  ASSERT_TRUE(recibe({partida("A", 2, 10)}).hecho);
  EXPECT_EQ(buscaCompraPorProveedor(ajustes(), TipoCompra::Recepcion, "pr2"), 2);
  EXPECT_EQ(buscaCompraPorProveedor(ajustes(), TipoCompra::Recepcion, "PR1"), 1);
  EXPECT_EQ(buscaCompraPorProveedor(ajustes(), TipoCompra::Recepcion, "PR"), 1);
  EXPECT_EQ(buscaCompraPorProveedor(ajustes(), TipoCompra::Recepcion, "PR3"), std::nullopt);
  EXPECT_EQ(buscaCompraPorProveedor(ajustes(), TipoCompra::Orden, "PR1"), std::nullopt);
}

TEST_F(Compras, ElReposteoEsDelAdministrador) {
  const Reposteo r = repostaCompras(ajustes(), dir.str());
  EXPECT_FALSE(r.hecho);
  EXPECT_EQ(r.mensaje, "Opción Exclusiva del Administrador..");
}

TEST_F(Compras, UnaOrdenNoTocaExistenciasYRecibirlaBajaLoPedidoSinPasarDeCero) {
  producto("A", 5, 10, 10);
  producto("B", 0, 0);
  const ResultadoCompra o = guardaCompra(ajustes(), documento(TipoCompra::Orden, {partida("A", 6, 10)}), reloj);
  ASSERT_TRUE(o.hecho) << o.mensaje;
  EXPECT_EQ(prod("A", "COMRE_I"), "6.000");
  EXPECT_EQ(prod("A", "EXIST_I"), "5.000");
  EXPECT_EQ(prod("A", "CPROM_I"), "10.000000");
  EXPECT_TRUE(movimientos().empty());
  EXPECT_EQ(proveedor("SALDO_P"), "0.0000");
  EXPECT_TRUE(pagar().empty());
  EXPECT_EQ(encabezados("OrdenCom.dbf"), (Filas{"1|PR1|60.0000|0.0000|60.0000|60.0000|"}));

  ASSERT_TRUE(recibe({partida("A", 4, 10), partida("B", 6, 3)}).hecho);
  EXPECT_EQ(prod("A", "COMRE_I"), "2.000");
  EXPECT_EQ(prod("B", "COMRE_I"), "0.000");  // nothing was on order: not -6
  ASSERT_TRUE(recibe({partida("A", 4, 10)}).hecho);
  EXPECT_EQ(prod("A", "COMRE_I"), "0.000");
}

TEST_F(Compras, UnaDevolucionBajaLaExistenciaYDejaLosCostos) {
  producto("A", 10, 9.5, 11);
  const ResultadoCompra r = guardaCompra(ajustes(), documento(TipoCompra::Devolucion, {partida("A", 3, 20)}), reloj);
  ASSERT_TRUE(r.hecho) << r.mensaje;
  EXPECT_EQ(prod("A", "EXIST_I"), "7.000");
  EXPECT_EQ(prod("A", "ULCOS_I"), "11.0000");
  EXPECT_EQ(prod("A", "CPROM_I"), "9.500000");
  EXPECT_EQ(prod("A", "PPUBL_I"), "20.0000");
  EXPECT_EQ(movimientos(), (Filas{"2|A|3.000|20.0000|P1-43750|C|PR1"}));
  // What is owed does not change with a return: it is credited against a receipt.
  EXPECT_EQ(proveedor("SALDO_P"), "0.0000");
  EXPECT_TRUE(pagar().empty());
}

TEST_F(Compras, LosNumerosDeRecepcionNoSeRepiten) {
  producto("A", 0, 0);
  const Propuesta p1 = proponeNumero(ajustes(), TipoCompra::Recepcion);
  const Propuesta p2 = proponeNumero(ajustes(), TipoCompra::Recepcion);
  EXPECT_EQ(p1.numero, 1);
  EXPECT_EQ(p2.numero, 1);  // the counter only grows when a receipt is saved
  DocumentoCompra d = documento(TipoCompra::Recepcion, {partida("A", 1, 5)});
  d.reservado = p1.reservado;
  EXPECT_EQ(guardaCompra(ajustes(), d, reloj).numero, 1);
  d.reservado = p2.reservado;
  EXPECT_EQ(guardaCompra(ajustes(), d, reloj).numero, 2);
  d.reservado = 0;
  EXPECT_EQ(guardaCompra(ajustes(), d, reloj).numero, 3);
  // Both proposals' headers were filled: no empty header is left behind.
  EXPECT_EQ(empresa.filas("ComprasE.dbf", {"CLDOC_O", "CLPRV_O"}), (Filas{"1|PR1", "2|PR1", "3|PR1"}));
  EXPECT_EQ(empresa.filas("numeroc.dbf", {"NUMERO"}), (Filas{"0", "1", "2", "3"}));
  EXPECT_EQ(proponeNumero(ajustes(), TipoCompra::Recepcion).numero, 4);
  // A typed number that another receipt has is refused.
  d.numero = 2;
  const ResultadoCompra r = guardaCompra(ajustes(), d, reloj);
  EXPECT_FALSE(r.hecho);
  EXPECT_EQ(r.mensaje, "El Número de Documento ya Existe");
}

TEST_F(Compras, ModificarDosVecesCuentaElDocumentoUnaVez) {
  producto("A", 5, 10, 10);
  producto("B", 0, 0);
  ASSERT_TRUE(recibe({partida("A", 10, 22)}).hecho);
  EXPECT_EQ(proveedor("SALDO_P"), "220.0000");
  DocumentoCompra d = documento(TipoCompra::Recepcion, {partida("A", 4, 12), partida("B", 2, 24)});
  const ResultadoCompra m1 = modificaCompra(ajustes(), 1, d, reloj);
  ASSERT_TRUE(m1.hecho) << m1.mensaje;
  reloj.pon({{2025, 7, 14}, {11, 0, 0, 0}});  // stamp 45833
  const ResultadoCompra m2 = modificaCompra(ajustes(), 1, d, reloj);
  ASSERT_TRUE(m2.hecho) << m2.mensaje;
  EXPECT_EQ(m2.numero, 1);
  EXPECT_EQ(proveedor("SALDO_P"), "96.0000");  // not 220 + 96 + 96
  EXPECT_EQ(proveedor("COMPR_P"), "96.0000");
  EXPECT_EQ(prod("A", "EXIST_I"), "9.000");
  EXPECT_EQ(prod("A", "CPROM_I"), "10.888889");  // (5 × 10 + 4 × 12) / 9: the first save undone
  EXPECT_EQ(prod("B", "EXIST_I"), "2.000");
  EXPECT_EQ(lineas(), (Filas{"1|45833|A|4.000|12.0000|", "1|45833|B|2.000|24.0000|"}));
  EXPECT_EQ(movimientos(), (Filas{"51|A|4.000|12.0000|O1-45833|C|PR1", "51|B|2.000|24.0000|O1-45833|C|PR1"}));
  EXPECT_EQ(encabezados(), (Filas{"1|PR1|96.0000|0.0000|96.0000|96.0000|"}));
  EXPECT_EQ(pagar(), (Filas{"1|PR1|51|C|96.0000|96.0000|"}));
  EXPECT_EQ(empresa.filas("movinven.dbf", {"CLDOC_MI"}), (Filas{"1", "1"}));  // the number is kept
}

TEST_F(Compras, CancelarUnaRecepcionRegresaExistenciaYDeuda) {
  producto("A", 5, 10, 10);
  ASSERT_TRUE(recibe({partida("A", 10, 22)}).hecho);
  std::vector<std::string> preguntas;
  const ResultadoCompra r = cancelaCompra(ajustes(), TipoCompra::Recepcion, 1, [&](std::string_view p) {
    preguntas.emplace_back(p);
    return true;
  }, reloj);
  ASSERT_TRUE(r.hecho) << r.mensaje;
  EXPECT_EQ(preguntas, (Filas{"Esta Seguro de Cancelar este Documento ?"}));
  EXPECT_EQ(prod("A", "EXIST_I"), "5.000");
  EXPECT_EQ(prod("A", "CPROM_I"), "10.000000");
  EXPECT_EQ(proveedor("SALDO_P"), "0.0000");
  EXPECT_EQ(proveedor("COMPR_P"), "0.0000");
  EXPECT_EQ(movimientos(), (Filas{"51|A|10.000|22.0000|O1-43750|C|PR1", "2|A|10.000|22.0000|O1-43750C|C|PR1"}));
  EXPECT_EQ(lineas(), (Filas{"1|43750|A|10.000|22.0000|C"}));
  EXPECT_EQ(empresa.texto("ComprasE.dbf", "CLDOC_O", "1", "STDOC_O"), "C");
  EXPECT_EQ(pagar(), (Filas{"1|PR1|51|C|220.0000|220.0000|C"}));
  const ResultadoCompra otra = cancelaCompra(ajustes(), TipoCompra::Recepcion, 1, {}, reloj);
  EXPECT_EQ(otra.mensaje, "El Documento ya Fue Cancelado");
}

TEST_F(Compras, CancelarUnaDevolucionEscribeEntradasPorqueLaExistenciaSube) {
  producto("A", 10, 9.5, 11);
  ASSERT_TRUE(guardaCompra(ajustes(), documento(TipoCompra::Devolucion, {partida("A", 3, 20)}), reloj).hecho);
  const ResultadoCompra r = cancelaCompra(ajustes(), TipoCompra::Devolucion, 1, {}, reloj);
  ASSERT_TRUE(r.hecho) << r.mensaje;
  EXPECT_EQ(prod("A", "EXIST_I"), "10.000");
  EXPECT_EQ(prod("A", "CPROM_I"), "9.500000");
  const Filas m = movimientos();
  ASSERT_EQ(m.size(), 2u);
  EXPECT_EQ(m[1], "56|A|3.000|20.0000|P1-43750C|C|PR1");
}

TEST_F(Compras, ConPagosNoSeCancelaNiSeEliminaYUnNoDejaTodoIgual) {
  producto("A", 0, 0);
  ASSERT_TRUE(recibe({partida("A", 2, 50)}).hecho);
  const Filas antes = encabezados();
  const ResultadoCompra no = cancelaCompra(ajustes(), TipoCompra::Recepcion, 1, [](std::string_view) { return false; }, reloj);
  EXPECT_FALSE(no.hecho);
  EXPECT_EQ(no.mensaje, "");
  EXPECT_EQ(encabezados(), antes);
  EXPECT_EQ(prod("A", "EXIST_I"), "2.000");
  {
    dbf::Table t;
    t.open(EmpresaVentas::kDatos, "cuepagar.dbf");
    t.append();
    t.setInteger("NUCOM_CP", 1);
    t.setText("CLPRO_CP", "PR1");
    t.setInteger("TIMOV_CP", 2);
    t.setText("OPERA_CP", "A");
    t.setFloat("IMCUE_CP", 30);
    t.post();
  }
  bool preguntado = false;
  auto confirma = [&](std::string_view) { return preguntado = true; };
  EXPECT_EQ(cancelaCompra(ajustes(), TipoCompra::Recepcion, 1, confirma, reloj).mensaje,
            "El Documento No Puede Borrarse Tiene Pagos..,");
  EXPECT_EQ(eliminaCompra(ajustes(), TipoCompra::Recepcion, 1, confirma).mensaje,
            "El Documento No Puede Borrarse Tiene Pagos..,");
  EXPECT_FALSE(preguntado);
  EXPECT_EQ(encabezados(), antes);
  EXPECT_EQ(proveedor("SALDO_P"), "100.0000");
  EXPECT_EQ(cancelaCompra(ajustes(), TipoCompra::Recepcion, 9, {}, reloj).mensaje, "El Documento No Existe");
}

TEST_F(Compras, EliminarQuitaDocumentoMovimientosDeudaYExistencia) {
  producto("A", 5, 10, 10);
  ASSERT_TRUE(recibe({partida("A", 10, 22)}).hecho);
  ASSERT_TRUE(recibe({partida("A", 1, 10)}).hecho);
  std::string pregunta;
  const ResultadoCompra r = eliminaCompra(ajustes(), TipoCompra::Recepcion, 1, [&](std::string_view p) {
    pregunta = p;
    return true;
  });
  ASSERT_TRUE(r.hecho) << r.mensaje;
  EXPECT_EQ(pregunta, "Esta Seguro de Eliminar este Registro ?");
  EXPECT_EQ(encabezados(), (Filas{"2|PR1|10.0000|0.0000|10.0000|10.0000|"}));
  EXPECT_EQ(lineas(), (Filas{"2|43750|A|1.000|10.0000|"}));
  EXPECT_EQ(movimientos(), (Filas{"51|A|1.000|10.0000|O2-43750|C|PR1"}));
  EXPECT_EQ(pagar(), (Filas{"2|PR1|51|C|10.0000|10.0000|"}));
  EXPECT_EQ(prod("A", "EXIST_I"), "6.000");
  EXPECT_EQ(proveedor("SALDO_P"), "10.0000");
  // A cancelled one goes with its movements and their reversals.
  ASSERT_TRUE(cancelaCompra(ajustes(), TipoCompra::Recepcion, 2, {}, reloj).hecho);
  ASSERT_TRUE(eliminaCompra(ajustes(), TipoCompra::Recepcion, 2, {}).hecho);
  EXPECT_TRUE(movimientos().empty());
  EXPECT_TRUE(encabezados().empty());
  EXPECT_EQ(prod("A", "EXIST_I"), "5.000");
  EXPECT_EQ(proveedor("SALDO_P"), "0.0000");
}

TEST_F(Compras, EliminarUnaRecepcionYaVendidaSinNegativosSeRehusa) {
  empresa.linea(41, "N");
  producto("A", 0, 0);
  ASSERT_TRUE(recibe({partida("A", 10, 5)}).hecho);
  campoProducto("A", "EXIST_I", 4);  // six were sold
  const ResultadoCompra r = eliminaCompra(ajustes(), TipoCompra::Recepcion, 1, {});
  EXPECT_EQ(r.mensaje, "La Compra no puede Eliminarse porque Tiene Movimientos");
  EXPECT_EQ(encabezados().size(), 1u);
}

TEST_F(Compras, LaEntradaMalaSeRehusaSinEscribirNada) {
  producto("A", 0, 0);
  const AjustesCompras a = ajustes();
  auto rehusa = [&](DocumentoCompra d) { return guardaCompra(a, d, reloj).mensaje; };
  EXPECT_EQ(rehusa(documento(TipoCompra::Recepcion, {partida("A", 1, 5)}, "NO")), "No existe el Proveedor NO");
  EXPECT_EQ(rehusa(documento(TipoCompra::Recepcion, {partida("A", 1, 5)}, "")), "Falta el Proveedor");
  EXPECT_EQ(rehusa(documento(TipoCompra::Recepcion, {partida("A", 1, -5)})), "El Costo no es Válido: A");
  EXPECT_EQ(rehusa(documento(TipoCompra::Recepcion, {partida("A", 0, 5)})), "La Cantidad no es Válida: A");
  EXPECT_EQ(rehusa(documento(TipoCompra::Recepcion, {partida("A", 1, 5), partida("ZZ", 1, 5)})),
            "No se encontro esta CLAVE ZZ");
  EXPECT_EQ(rehusa(documento(TipoCompra::Recepcion, {partida("A", 1, 5)}, "PR1", "31/02/2025")), "La Fecha no es Válida");
  EXPECT_EQ(rehusa(documento(TipoCompra::Recepcion, {})), "El Documento no Tiene Partidas");
  EXPECT_EQ(rehusa(documento(TipoCompra::Recepcion, {partida("A", 1, 5, 100)})), "El Descuento no es Válido: A");
  EXPECT_TRUE(encabezados().empty());
  EXPECT_TRUE(lineas().empty());
  EXPECT_TRUE(movimientos().empty());
  EXPECT_EQ(empresa.filas("numeroc.dbf", {"NUMERO"}), (Filas{"0"}));
  EXPECT_EQ(prod("A", "EXIST_I"), "0.000");
  EXPECT_EQ(proveedor("SALDO_P"), "0.0000");
  EXPECT_EQ(modificaCompra(a, 5, documento(TipoCompra::Recepcion, {partida("A", 1, 5)}), reloj).mensaje,
            "El Documento No Existe");
}

TEST_F(Compras, CapturaPorClaveCodigoYEmpaque) {
  ProductoVenta p;
  p.clave = "A";
  p.codigo = "7501";
  p.descripcion = "MARTILLO";
  p.precio = 30;
  p.ultimoCosto = 18;
  p.impuesto = 16;
  p.empaque = 12;
  empresa.producto(p);
  AjustesCompras a = ajustes();
  EntradaPartida e = capturaPartida(a, "7501", 2);
  ASSERT_TRUE(e.partida);
  EXPECT_EQ(e.partida->clave, "A");
  EXPECT_EQ(e.partida->descripcion, "MARTILLO");
  EXPECT_EQ(e.partida->costo, 18);
  EXPECT_EQ(e.partida->precioCliente, 30);
  EXPECT_EQ(e.partida->impuesto, 16);
  EXPECT_EQ(e.partida->cantidad, 2);
  a.porEmpaque = true;
  e = capturaPartida(a, "A", 2);
  EXPECT_EQ(e.partida->cajas, 2);
  EXPECT_EQ(e.partida->cantidad, 24);
  EXPECT_EQ(capturaPartida(a, "X", 1).mensaje, "El Producto No Se encuenta");
  const auto pr = buscaProveedor(a, "PR1");
  ASSERT_TRUE(pr);
  EXPECT_EQ(pr->nombre, "FERRETERA DEL NORTE");
  EXPECT_EQ(fechaPagoPropuesta("20/12/2025", pr->diasCredito), "19/01/2026");
  EXPECT_FALSE(buscaProveedor(a, "NO"));
}

TEST_F(Compras, PedidoSugeridoPorMinimoYPorMaximo) {
  producto("A", 2, 0);
  producto("B", 9, 0);
  producto("C", 1, 0);
  for (const char* k : {"A", "B"}) {
    textoProducto(k, "CLPR1_I", "PR1");
    campoProducto(k, "STMIN_I", 5);
    campoProducto(k, "STMAX_I", 10);
  }
  campoProducto("C", "STMIN_I", 5);  // another supplier's product
  const AjustesCompras a = ajustes();
  Sugerido s = pedidoSugerido(a, "PR1", false);
  ASSERT_EQ(s.partidas.size(), 1u);
  EXPECT_EQ(s.partidas[0].clave, "A");
  EXPECT_EQ(s.partidas[0].cantidad, 3);
  s = pedidoSugerido(a, "PR1", true);
  ASSERT_EQ(s.partidas.size(), 2u);
  EXPECT_EQ(s.partidas[0].cantidad, 8);
  EXPECT_EQ(s.partidas[1].cantidad, 1);
  proveedorCompras("PR2", "SIN FALTANTES");
  s = pedidoSugerido(a, "PR2", false);
  EXPECT_TRUE(s.partidas.empty());
  EXPECT_EQ(s.mensaje, "");
  EXPECT_EQ(pedidoSugerido(a, "", false).mensaje, "Falto un Proveedor...");
}

TEST_F(Compras, ArchivoDePedidoConLineasMalas) {
  producto("A", 0, 0);
  const AjustesCompras a = ajustes();
  LecturaPedido l = importaPedido(a, {"A,4", "", "B,2", "A;3", "A,x", "A,-1"});
  EXPECT_EQ(l.errores, (Filas{"Línea 3: El Producto No Se encuenta (B)", "Línea 4: se esperaba clave,cantidad",
                              "Línea 5: la cantidad \"x\" no es válida", "Línea 6: la cantidad \"-1\" no es válida"}));
  ASSERT_EQ(l.partidas.size(), 1u);
  EXPECT_EQ(l.partidas[0].cantidad, 4);
  EXPECT_EQ(importaPedido(a, {"", " "}).errores, (Filas{"No hay información para procesar..."}));
}

TEST_F(Compras, ArchivoDeDocumentoDeLaLineaDeOrdenes) {
  LecturaCompra l = leeArchivoCompra({"tipo=Recepcion", "proveedor=PR1", "fecha=1/7/2025", "descuento=2",
                                      "nodesglosado=S", "# comentario", "A;10;100;10;5;0;150"});
  ASSERT_TRUE(l.errores.empty()) << l.errores.front();
  EXPECT_EQ(l.documento.fecha, "01/07/2025");
  EXPECT_EQ(l.documento.descuento, 2);
  EXPECT_TRUE(l.documento.noDesglosado);
  ASSERT_EQ(l.documento.partidas.size(), 1u);
  EXPECT_EQ(l.documento.partidas[0].descuento2, 5);
  EXPECT_EQ(l.documento.partidas[0].precioCliente, 150);
  l = leeArchivoCompra({"tipo=Compra", "fecha=x", "A;1;abc", "A;-1;5", "B;1;-3", "color=rojo"});
  EXPECT_EQ(l.errores, (Filas{"Línea 1: tipo \"Compra\" desconocido (Recepcion, Orden o Devolucion)",
                              "Línea 2: la fecha \"x\" no es válida (dd/MM/aaaa)", "Línea 3: el costo \"abc\" no es válido",
                              "Línea 4: la cantidad \"-1\" no es válida", "Línea 5: el costo \"-3\" no es válido",
                              "Línea 6: campo \"color\" desconocido", "Falta la línea tipo=Recepcion|Orden|Devolucion",
                              "Falta la línea proveedor=CLAVE", "Falta la línea fecha=dd/MM/aaaa"}));
}

TEST_F(Compras, LeerUnaRecepcionYSusEtiquetas) {
  producto("A", 0, 0);
  PartidaCompra p = partida("A", 2, 7.5);
  p.caducidad = "01/01/2026";
  ASSERT_TRUE(recibe({p}).hecho);
  const auto c = leeCompra(ajustes(), TipoCompra::Recepcion, 1);
  ASSERT_TRUE(c);
  EXPECT_EQ(c->textoEstado, "Activa");
  EXPECT_EQ(c->control, 43750);
  EXPECT_EQ(c->totales.total.texto(), "15");
  ASSERT_EQ(c->documento.partidas.size(), 1u);
  EXPECT_EQ(c->documento.partidas[0].caducidad, "01/01/2026");
  ASSERT_TRUE(escribeEtiquetasCompra(std::string(EmpresaVentas::kSistema), *c));
  EXPECT_EQ(*base::leeLineas(base::une(EmpresaVentas::kSistema, "etiqcd.dat")),
            (Filas{"CLPRO_OD\tDESCR_OD\tCANTI_OD\tCUNIT_OD\tPRECL_OD\tCADUC_OD", "A\tPRODUCTO A\t2\t7.5\t0\t01/01/2026"}));
  EXPECT_FALSE(leeCompra(ajustes(), TipoCompra::Orden, 1));
}

}  // namespace
}  // namespace mostrador::prueba
