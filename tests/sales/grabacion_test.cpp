// Saving and posting sales documents, modifying, deleting and cancelling them.

#include <gtest/gtest.h>

#include "banco_captura.h"

namespace mostrador::sales {
namespace {

using prueba::Banco;
using base::RespuestaAdvertencia;
using V = std::vector<std::string>;

const std::vector<std::string> kDetalle = {"CLDOC_FD", "CONTROL", "CLPRO_FD", "CANTI_FD", "PUNPR_FD",
                                           "PREDE_FD", "IMPOR_FD", "PDES1_FD", "FEDOC_FD"};
const std::vector<std::string> kMovimiento = {"CLDOC_MI", "TIMOV_MI", "CLPRO_MI", "CANTI_MI",
                                              "NUDOC_MI", "REFMO_MI", "CONTROL", "BANAF_MI"};

TEST(Guarda, RemisionEscribeEncabezadoPartidasMovimientosYExistencias) {
  Banco b;
  b.producto("A", 10, 0, 16);  // no public price yet: the sale sets it
  b.producto("B", 5, 20);
  CapturaVenta& c = b.abre();
  ASSERT_TRUE(c.nuevo());
  c.campos().vendedor = "V1";
  c.saleCliente();
  b.linea("2", "A");
  c.irAPartida(0);
  c.cambioPrecio();
  c.entraColumna(kPrecio);
  c.ponCelda(kPrecio, "50");
  c.ponCelda(kDescuento, "10");
  b.linea("0", "B");  // quantity 0: never saved
  ASSERT_TRUE(c.guarda());
  EXPECT_FALSE(c.enCaptura());
  EXPECT_EQ(b.emp.filas("Remision.dbf", {"CLDOC_F", "CONTROL", "CLCLI_F", "NOMBR_F", "CLVEN_F", "FEENT_F",
                                         "SUBTO_F", "IMIM2_F", "IMTOD_F", "HORAX_F"}),
            V{"1|50000|1|Publico en General|V1|15/03/2025|90.0000|14.4000|104.4000|12:00:00"});
  EXPECT_EQ(b.emp.filas("Remisiod.dbf", kDetalle),
            V{"1|50000|A|2.000|50.0000|38.7931|100.0000|10.0000|15/03/2025"});
  EXPECT_EQ(b.emp.filas("movinven.dbf", kMovimiento), V{"1|3|A|2.000|R1-50000|1|50000|F"});
  EXPECT_EQ(b.emp.numero("inventar.dbf", "CLPRO_I", "A", "EXIST_I"), 8);
  EXPECT_EQ(b.emp.numero("inventar.dbf", "CLPRO_I", "A", "VANCA_I"), 2);
  EXPECT_EQ(b.emp.numero("inventar.dbf", "CLPRO_I", "A", "VANMO_I"), 100);
  EXPECT_EQ(b.emp.numero("inventar.dbf", "CLPRO_I", "A", "PPUBL_I"), 50);
  EXPECT_EQ(b.emp.texto("inventar.dbf", "CLPRO_I", "A", "FEULV_I"), "15/03/2025");
  EXPECT_EQ(b.emp.numero("inventar.dbf", "CLPRO_I", "B", "EXIST_I"), 5);
  EXPECT_EQ(b.emp.numero("cliente.dbf", "CLCLI_C", "1", "SALDO_C"), 0);  // delivery notes charge nothing

  // Shown again from disk: the same lines and totals.
  c.ultimo();
  EXPECT_EQ(c.numeroPartidas(), 1);
  EXPECT_EQ(c.partida(0).importe, 90);
  EXPECT_EQ(c.textos().total, "104.40");
  EXPECT_EQ(c.textos().estado, "Activa");
  EXPECT_EQ(c.textos().impresa, "No Impresa");
}

TEST(Guarda, DescuentoDelDocumentoGuardaElImporteYElPrecioNetoUsaElPorcentaje) {
  Banco b;
  b.producto("A", 10, 100, 16);
  CapturaVenta& c = b.abre();
  ASSERT_TRUE(c.nuevo());
  c.campos().descuento = "10";
  b.linea("2", "A");
  ASSERT_TRUE(c.guarda());
  // 200 less 10 % = 180 and its tax 28.80 (not 32: the discount lowers the tax too);
  // DECOT_F holds the amount 20.
  EXPECT_EQ(b.emp.filas("Remision.dbf", {"DESFI_F", "DECOT_F", "SUBTO_F", "IMIM2_F", "IMTOD_F"}),
            V{"10.0000|20.0000|180.0000|28.8000|208.8000"});
  // 100 × (1 − 10 %) ÷ 1.16: the net unit price before tax.
  EXPECT_EQ(b.emp.filas("Remisiod.dbf", {"PUNPR_FD", "PREDE_FD", "IMPOR_FD"}),
            V{"100.0000|77.5862|200.0000"});
}

TEST(Guarda, FacturaCargaAlClienteYLosComentariosNoSeGuardan) {
  Banco b;
  b.producto("A", 10, 100);
  CapturaVenta& c = b.abre();
  c.abreTipo(TipoVenta::Factura);
  ASSERT_TRUE(c.nuevo());
  c.campos().tasa = "10";
  b.linea("2", "A");
  b.linea("1", "COMENTARIO");
  c.ponCelda(kProducto, "Nota");
  ASSERT_TRUE(c.guarda());
  EXPECT_EQ(b.emp.numero("cliente.dbf", "CLCLI_C", "1", "SALDO_C"), 220);
  EXPECT_EQ(b.emp.numero("cliente.dbf", "CLCLI_C", "1", "COMPR_C"), 220);
  EXPECT_EQ(b.emp.filas("FacturaD.dbf", {"CLPRO_FD"}), V{"A"});
  EXPECT_EQ(b.emp.filas("movinven.dbf", {"TIMOV_MI", "NUDOC_MI"}), V{"1|F1-50000"});

  // Only comment lines: a header worth 0 and no lines.
  ASSERT_TRUE(c.nuevo());
  b.linea("1", "COMENTARIO");
  c.ponCelda(kProducto, "Solo texto");
  ASSERT_TRUE(c.guarda());
  EXPECT_EQ(b.emp.filas("FacturaE.dbf", {"CLDOC_F", "IMTOD_F"}), (V{"1|220.0000", "2|0.0000"}));
  EXPECT_EQ(b.emp.filas("FacturaD.dbf", {"CLDOC_FD"}), V{"1"});

  // An invoice with movements cannot be deleted.
  c.buscaDocumento(1);
  b.ui.respondeAdvertencia(RespuestaAdvertencia::Si);
  EXPECT_FALSE(c.elimina());
  EXPECT_EQ(b.ui.mensajes().back(), "El documento No Puede Eliminarse Posee Movimientos");
}

TEST(Guarda, RedondeoDelTotalLlegaAlEncabezadoGuardado) {
  Banco b;
  b.emp.linea(45, "5");
  b.producto("A", 10, 10.01);
  CapturaVenta& c = b.abre();
  c.nuevo();
  b.linea("1", "A");
  ASSERT_TRUE(c.guarda());
  EXPECT_EQ(b.emp.filas("Remision.dbf", {"SUBTO_F", "IMTOD_F"}), V{"10.0100|10.5000"});
}

TEST(Guarda, DevolucionYVentaSinNegativos) {
  Banco b;
  b.emp.linea(41, "N");
  b.producto("A", 3, 10);
  CapturaVenta& c = b.abre();
  c.nuevo();
  b.linea("5", "A");
  ASSERT_TRUE(c.guarda());
  EXPECT_EQ(b.emp.numero("inventar.dbf", "CLPRO_I", "A", "EXIST_I"), 0);
  EXPECT_EQ(b.emp.numero("inventar.dbf", "CLPRO_I", "A", "VANCA_I"), 3);
  EXPECT_EQ(b.emp.numero("inventar.dbf", "CLPRO_I", "A", "VANMO_I"), 30);

  c.cambiaBase("Devolución");
  c.nuevo();
  b.linea("2", "A");
  ASSERT_TRUE(c.guarda());
  EXPECT_EQ(b.emp.numero("inventar.dbf", "CLPRO_I", "A", "EXIST_I"), 2);
  EXPECT_EQ(b.emp.numero("inventar.dbf", "CLPRO_I", "A", "VANCA_I"), 1);
  EXPECT_EQ(b.emp.numero("inventar.dbf", "CLPRO_I", "A", "VANMO_I"), 10);
  EXPECT_EQ(b.emp.filas("movinven.dbf", {"CLDOC_MI", "TIMOV_MI", "NUDOC_MI"}), (V{"1|3|R1-50000", "2|52|D1-50000"}));
  EXPECT_EQ(b.emp.filas("DevolucD.dbf", {"CLPRO_FD", "CANTI_FD"}), V{"A|2.000"});
}

TEST(Guarda, ExistenciaInsuficienteAlGuardarNoEscribePartidaNiMovimiento) {
  Banco b;
  b.emp.linea(21, "N");
  b.producto("A", 5, 10);
  CapturaVenta& c = b.abre();
  c.nuevo();
  b.linea("4", "A");
  {
    dbf::Table t;  // another station sells meanwhile
    t.open(prueba::EmpresaVentas::kDatos, "inventar.dbf");
    t.first();
    t.edit();
    t.setFloat("EXIST_I", 1);
    t.post();
  }
  ASSERT_TRUE(c.guarda());
  EXPECT_EQ(b.ui.mensajes(), V{"No hay Existencias Suficientes Para Surtir Producto A  Existencias 1"});
  EXPECT_TRUE(b.emp.filas("Remisiod.dbf", {"CLDOC_FD"}).empty());
  EXPECT_TRUE(b.emp.filas("movinven.dbf", {"CLDOC_MI"}).empty());
  EXPECT_EQ(b.emp.numero("inventar.dbf", "CLPRO_I", "A", "EXIST_I"), 1);
}

TEST(Guarda, ModificarDosVecesDejaUnSoloJuegoConElSelloNuevo) {
  Banco b;
  b.producto("A", 10, 10);
  CapturaVenta& c = b.abre();
  c.nuevo();
  b.linea("2", "A");
  ASSERT_TRUE(c.guarda());
  b.reloj.pon({{2025, 3, 15}, {18, 0, 0, 0}});  // stamp 75000
  ASSERT_TRUE(c.modifica());
  c.irAPartida(0);
  c.ponCelda(kCantidad, "3");
  ASSERT_TRUE(c.guarda());
  b.reloj.pon({{2025, 3, 15}, {6, 0, 0, 0}});  // stamp 25000
  ASSERT_TRUE(c.modifica());
  ASSERT_TRUE(c.guarda());
  EXPECT_EQ(b.emp.filas("Remisiod.dbf", {"CLDOC_FD", "CONTROL", "CANTI_FD"}), V{"1|25000|3.000"});
  EXPECT_EQ(b.emp.filas("movinven.dbf", {"CLDOC_MI", "NUDOC_MI", "CANTI_MI"}), V{"1|R1-25000|3.000"});
  EXPECT_EQ(b.emp.filas("Remision.dbf", {"CONTROL", "IMTOD_F"}), V{"25000|30.0000"});
  EXPECT_EQ(b.emp.numero("inventar.dbf", "CLPRO_I", "A", "EXIST_I"), 7);
  EXPECT_EQ(b.emp.numero("inventar.dbf", "CLPRO_I", "A", "VANCA_I"), 3);
}

TEST(EliminaYCancela, RemisionDevuelveExistenciasYLaCancelacionNoSeRepite) {
  Banco b;
  b.producto("A", 10, 10);
  CapturaVenta& c = b.abre();
  c.nuevo();
  b.linea("4", "A");
  ASSERT_TRUE(c.guarda());
  c.nuevo();
  b.linea("1", "A");
  ASSERT_TRUE(c.guarda());
  EXPECT_EQ(b.emp.numero("inventar.dbf", "CLPRO_I", "A", "EXIST_I"), 5);

  ASSERT_TRUE(c.buscaDocumento(1));
  b.ui.respondeAdvertencia(RespuestaAdvertencia::Si);
  ASSERT_TRUE(c.cancela());
  EXPECT_EQ(b.ui.llamadas().back(), "advertencia: Esta Seguro que Desea CANCELAR este Documento ?");
  EXPECT_EQ(c.textos().estado, "Cancelada");
  EXPECT_EQ(b.emp.numero("inventar.dbf", "CLPRO_I", "A", "EXIST_I"), 9);
  EXPECT_EQ(b.emp.filas("Remisiod.dbf", {"CLDOC_FD", "TREGI_FD"}), (V{"1|C", "2|"}));
  EXPECT_EQ(b.emp.filas("movinven.dbf", {"CLDOC_MI", "TIMOV_MI", "NUDOC_MI", "CANTI_MI"}),
            (V{"1|3|R1-50000|4.000", "2|3|R2-50000|1.000", "3|52|R1-50000C|4.000"}));
  EXPECT_EQ(b.emp.numero("cliente.dbf", "CLCLI_C", "1", "SALDO_C"), 0);
  b.ui.respondeAdvertencia(RespuestaAdvertencia::Si);
  EXPECT_FALSE(c.cancela());
  EXPECT_EQ(b.ui.mensajes().back(), "La Factura Ya Fue Cancelada");

  ASSERT_TRUE(c.buscaDocumento(2));
  b.ui.respondeAdvertencia(RespuestaAdvertencia::Si);
  ASSERT_TRUE(c.elimina());
  EXPECT_EQ(b.ui.llamadas().back(), "advertencia: Esta Seguro que Desea ELIMINAR este Documento ?");
  EXPECT_EQ(b.emp.numero("inventar.dbf", "CLPRO_I", "A", "EXIST_I"), 10);
  EXPECT_EQ(b.emp.filas("Remision.dbf", {"CLDOC_F"}), V{"1"});
  EXPECT_EQ(b.emp.filas("movinven.dbf", {"NUDOC_MI"}), (V{"R1-50000", "R1-50000C"}));

  // Without right 52 the administrator must confirm.
  b.emp.usuario(std::string(55, 'n'));
  b.emp.sesion("1");
  CapturaVenta& d = b.abre();
  b.ui.respondeAdministrador({});
  EXPECT_FALSE(d.cancela());
  EXPECT_EQ(b.ui.mensajes().back(), "No se tiene acceso a esta opción");
}

TEST(EliminaYCancela, CancelarUnaFacturaLeQuitaElCargoAlCliente) {
  Banco b;
  b.producto("A", 10, 100);
  CapturaVenta& c = b.abre();
  c.abreTipo(TipoVenta::Factura);
  ASSERT_TRUE(c.nuevo());
  c.campos().tasa = "10";
  b.linea("2", "A");
  ASSERT_TRUE(c.guarda());
  ASSERT_TRUE(c.nuevo());
  b.linea("1", "A");
  ASSERT_TRUE(c.guarda());
  EXPECT_EQ(b.emp.numero("cliente.dbf", "CLCLI_C", "1", "SALDO_C"), 320);

  ASSERT_TRUE(c.buscaDocumento(1));
  b.ui.respondeAdvertencia(RespuestaAdvertencia::Si);
  ASSERT_TRUE(c.cancela());
  EXPECT_EQ(b.emp.numero("cliente.dbf", "CLCLI_C", "1", "SALDO_C"), 100);
  EXPECT_EQ(b.emp.numero("cliente.dbf", "CLCLI_C", "1", "COMPR_C"), 100);
  EXPECT_EQ(b.emp.filas("FacturaE.dbf", {"CLDOC_F", "STATU_F"}), (V{"1|C", "2|"}));
  // The goods stay delivered: the invoice is usually issued again.
  EXPECT_EQ(b.emp.numero("inventar.dbf", "CLPRO_I", "A", "EXIST_I"), 7);
  b.ui.respondeAdvertencia(RespuestaAdvertencia::Si);
  EXPECT_FALSE(c.cancela());
  EXPECT_EQ(b.emp.numero("cliente.dbf", "CLCLI_C", "1", "SALDO_C"), 100);
}

TEST(Guarda, SinClienteONoCapturandoNoSeGuarda) {
  Banco b;
  CapturaVenta& c = b.abre();
  EXPECT_FALSE(c.guarda());
  EXPECT_EQ(b.ui.mensajes(), V{"No Pueden Guardarse los Datos ha Ocurrido un Error"});
  b.ui.olvidaLlamadas();
  c.nuevo();
  c.campos().cliente = "";
  EXPECT_FALSE(c.guarda());
  // The document's own name, and no error on top: nothing failed, a field is missing.
  EXPECT_EQ(b.ui.mensajes(), V{"No se puede Guardar la Remisión faltan datos del Cliente"});
  c.descarta();
  c.abreTipo(TipoVenta::Factura);
  b.ui.olvidaLlamadas();
  c.nuevo();
  c.campos().cliente = "";
  EXPECT_FALSE(c.guarda());
  EXPECT_EQ(b.ui.mensajes(), V{"No se puede Guardar la Factura faltan datos del Cliente"});
  c.descarta();
  c.abreTipo(TipoVenta::Pedido);
  b.ui.olvidaLlamadas();
  c.nuevo();
  c.campos().cliente = "";
  EXPECT_FALSE(c.guarda());
  EXPECT_EQ(b.ui.mensajes(), V{"No se puede Guardar el Pedido faltan datos del Cliente"});
}

// Deleting undoes what the save did, whatever the type: an invoice saved without
// movements gives back its stock, sold counts and charge; a return takes its units back
// out of stock and its movements go.
TEST(EliminaYCancela, BorrarFacturaSinMovimientosYDevolucionDeshaceSuGuardado) {
  Banco b;
  b.emp.linea(6, "NO");
  b.producto("A", 10, 100);
  CapturaVenta& c = b.abre();
  c.abreTipo(TipoVenta::Factura);
  ASSERT_TRUE(c.nuevo());
  b.linea("2", "A");
  ASSERT_TRUE(c.guarda());
  ASSERT_EQ(b.emp.numero("inventar.dbf", "CLPRO_I", "A", "EXIST_I"), 8);
  ASSERT_EQ(b.emp.numero("cliente.dbf", "CLCLI_C", "1", "SALDO_C"), 200);
  b.ui.respondeAdvertencia(RespuestaAdvertencia::Si);
  ASSERT_TRUE(c.elimina());
  EXPECT_EQ(b.emp.numero("inventar.dbf", "CLPRO_I", "A", "EXIST_I"), 10);
  EXPECT_EQ(b.emp.numero("inventar.dbf", "CLPRO_I", "A", "VANCA_I"), 0);
  EXPECT_EQ(b.emp.numero("inventar.dbf", "CLPRO_I", "A", "VANMO_I"), 0);
  EXPECT_EQ(b.emp.numero("cliente.dbf", "CLCLI_C", "1", "SALDO_C"), 0);
  EXPECT_EQ(b.emp.filas("FacturaE.dbf", {"CLDOC_F"}), V{});
  EXPECT_EQ(b.emp.filas("FacturaD.dbf", {"CLDOC_FD"}), V{});

  b.emp.linea(6, "SI");
  CapturaVenta& d = b.abre();
  d.cambiaBase("Devolución");
  ASSERT_TRUE(d.nuevo());
  b.linea("3", "A");
  ASSERT_TRUE(d.guarda());
  ASSERT_EQ(b.emp.numero("inventar.dbf", "CLPRO_I", "A", "EXIST_I"), 13);
  b.ui.respondeAdvertencia(RespuestaAdvertencia::Si);
  ASSERT_TRUE(d.elimina());
  EXPECT_EQ(b.emp.numero("inventar.dbf", "CLPRO_I", "A", "EXIST_I"), 10);
  EXPECT_EQ(b.emp.numero("inventar.dbf", "CLPRO_I", "A", "VANCA_I"), 0);
  EXPECT_EQ(b.emp.filas("movinven.dbf", {"NUDOC_MI"}), V{});
  EXPECT_EQ(b.emp.filas("DevolucD.dbf", {"CLPRO_FD"}), V{});
}

// A modified invoice moved to another customer charges the new one and no longer the first.
TEST(Guarda, ModificarUnaFacturaAOtroClienteMueveElCargo) {
  Banco b;
  b.producto("A", 10, 100);
  b.emp.cliente("C2", "Otro Cliente");
  CapturaVenta& c = b.abre();
  c.abreTipo(TipoVenta::Factura);
  ASSERT_TRUE(c.nuevo());
  b.linea("2", "A");
  ASSERT_TRUE(c.guarda());
  ASSERT_EQ(b.emp.numero("cliente.dbf", "CLCLI_C", "1", "SALDO_C"), 200);
  ASSERT_TRUE(c.modifica());
  c.campos().cliente = "C2";
  ASSERT_TRUE(c.saleCliente());
  ASSERT_TRUE(c.guarda());
  EXPECT_EQ(b.emp.numero("cliente.dbf", "CLCLI_C", "1", "SALDO_C"), 0);
  EXPECT_EQ(b.emp.numero("cliente.dbf", "CLCLI_C", "C2", "SALDO_C"), 200);
  EXPECT_EQ(b.emp.numero("cliente.dbf", "CLCLI_C", "C2", "COMPR_C"), 200);
  EXPECT_EQ(b.emp.numero("inventar.dbf", "CLPRO_I", "A", "EXIST_I"), 8);
  EXPECT_EQ(b.emp.filas("movinven.dbf", {"CLPRO_MI", "CANTI_MI", "CLCOP_MI"}), V{"A|2.000|C2"});
}

}  // namespace
}  // namespace mostrador::sales
