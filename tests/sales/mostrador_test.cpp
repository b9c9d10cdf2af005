// The counter flow and what it must never lose or falsify: leaving a document in
// capture, impossible dates, figures that do not read, cash and change, scans where the
// quantity goes, runaway quantities, the line count and repeating the last line.

#include <gtest/gtest.h>

#include "banco_captura.h"
#include "base/rutas.h"
#include "base/texto.h"

namespace mostrador::sales {
namespace {

using prueba::Banco;
using prueba::ProductoVenta;
using base::RespuestaAdvertencia;
using base::RespuestaCerrar;
using V = std::vector<std::string>;

const std::vector<std::string> kTotales = {"CLDOC_F", "CLCLI_F", "STATU_F", "SUBTO_F", "IMTOD_F", "SALDO_F"};

void barras(Banco& b) {
  ProductoVenta p;
  p.clave = "MART";
  p.codigo = "7501000000012";
  p.descripcion = "Martillo";
  p.existencia = 10;
  p.precio = 100;
  p.impuesto = 16;
  b.emp.producto(p);
}

TEST(DejarCaptura, DescartarUnaVentaNuevaLaDejaCanceladaEnCeroYConSuNumero) {
  Banco b;
  barras(b);
  CapturaVenta& c = b.abre();
  ASSERT_TRUE(c.nuevo());
  b.linea("2", "MART");
  ASSERT_EQ(c.textos().total, "232.00");
  // The running total was written back to the reserved header while typing.
  EXPECT_EQ(b.emp.filas("Remision.dbf", kTotales), V{"1|||200.0000|232.0000|232.0000"});

  b.ui.respondeCerrar(RespuestaCerrar::Quedarse);
  EXPECT_FALSE(c.dejaCaptura());
  EXPECT_TRUE(c.enCaptura());
  EXPECT_EQ(c.numeroPartidas(), 2);

  b.ui.respondeCerrar(RespuestaCerrar::Descartar);
  EXPECT_TRUE(c.dejaCaptura());
  EXPECT_FALSE(c.enCaptura());
  EXPECT_EQ(b.ui.llamadas(), V({"cerrar", "cerrar"}));
  // Nothing a report or a balance adds up: cancelled, zero totals, no lines, no stock moved.
  EXPECT_EQ(b.emp.filas("Remision.dbf", kTotales), V{"1|1|C|0.0000|0.0000|0.0000"});
  EXPECT_TRUE(b.emp.filas("Remisiod.dbf", {"CLDOC_FD"}).empty());
  EXPECT_TRUE(b.emp.filas("movinven.dbf", {"CLDOC_MI"}).empty());
  EXPECT_EQ(b.emp.numero("inventar.dbf", "CLPRO_I", "MART", "EXIST_I"), 10);
  EXPECT_EQ(c.textos().estado, "Cancelada");
  EXPECT_EQ(c.textos().total, "0.00");

  // The number stays taken: the next sale is number 2.
  ASSERT_TRUE(c.nuevo());
  EXPECT_EQ(c.campos().numero, "2");
}

TEST(DejarCaptura, GuardarDesdeLaPreguntaGuardaYDescartarUnCambioDejaLoGuardado) {
  Banco b;
  barras(b);
  CapturaVenta& c = b.abre();
  ASSERT_TRUE(c.nuevo());
  b.linea("1", "MART");
  b.ui.respondeCerrar(RespuestaCerrar::Guardar);
  EXPECT_TRUE(c.dejaCaptura());
  EXPECT_EQ(b.emp.filas("Remision.dbf", kTotales), V{"1|1||100.0000|116.0000|116.0000"});
  EXPECT_EQ(b.emp.filas("Remisiod.dbf", {"CLPRO_FD", "CANTI_FD"}), V{"MART|1.000"});

  // A modification typed and then discarded: the stored lines and totals come back.
  ASSERT_TRUE(c.modifica());
  c.irAPartida(0);
  ASSERT_EQ(c.tecleaCantidad("3"), CapturaVenta::Cantidad::Puesta);
  EXPECT_EQ(b.emp.filas("Remision.dbf", kTotales), V{"1|1||300.0000|348.0000|348.0000"});
  b.ui.respondeCerrar(RespuestaCerrar::Descartar);
  EXPECT_TRUE(c.dejaCaptura());
  EXPECT_FALSE(c.enCaptura());
  EXPECT_EQ(b.emp.filas("Remision.dbf", kTotales), V{"1|1||100.0000|116.0000|116.0000"});
  EXPECT_EQ(c.partida(0).cantidad, 1.0);
  EXPECT_EQ(c.textos().estado, "Activa");
  EXPECT_EQ(b.emp.numero("inventar.dbf", "CLPRO_I", "MART", "EXIST_I"), 9);
  // Browsing asks nothing.
  EXPECT_TRUE(c.dejaCaptura());
}

TEST(Fecha, UnaFechaImposibleSeRechazaYElGuardadoConservaLaAnterior) {
  Banco b;
  barras(b);
  CapturaVenta& c = b.abre();
  ASSERT_TRUE(c.nuevo());
  EXPECT_FALSE(c.ponFecha("31/02/2026"));
  EXPECT_FALSE(c.ponFecha("15/13/2025"));
  EXPECT_EQ(c.campos().fecha, "15/03/2025");
  EXPECT_EQ(b.ui.mensajes(), V({"La Fecha \"31/02/2026\" no es válida, escríbala como dd/mm/aaaa",
                                "La Fecha \"15/13/2025\" no es válida, escríbala como dd/mm/aaaa"}));
  EXPECT_TRUE(c.ponFecha(" 1/3/2025 "));
  EXPECT_EQ(c.campos().fecha, "01/03/2025");
  b.linea("1", "MART");
  ASSERT_TRUE(c.guarda());
  EXPECT_EQ(b.emp.filas("Remision.dbf", {"FEDOC_F", "FEENT_F", "FEVEN_F"}), V{"01/03/2025|01/03/2025|01/03/2025"});
  EXPECT_EQ(b.emp.filas("Remisiod.dbf", {"FEDOC_FD"}), V{"01/03/2025"});
  EXPECT_EQ(b.emp.filas("movinven.dbf", {"FEDOC_MI"}), V{"01/03/2025"});
}

TEST(Cifras, LoQueNoEsNumeroSeRechazaYLosTotalesSiguenALasPartidas) {
  Banco b;
  barras(b);
  CapturaVenta& c = b.abre();
  ASSERT_TRUE(c.nuevo());
  b.linea("2", "MART");
  c.irAPartida(0);
  ASSERT_TRUE(c.cambioPrecio());
  EXPECT_FALSE(c.ponCelda(kPrecio, "abc"));
  EXPECT_FALSE(c.ponCelda(kPrecio, "-5"));
  EXPECT_FALSE(c.ponCelda(kDescuento, "150"));
  EXPECT_FALSE(c.ponCelda(kCantidad, "dos"));
  EXPECT_EQ(b.ui.mensajes(), V({"El Precio \"abc\" no es un número válido", "El Precio no puede ser negativo",
                                "El Descuento debe estar entre 0 y 100",
                                "La Cantidad \"dos\" no es un número válido"}));
  EXPECT_EQ(c.partida(0).precio, 100);
  EXPECT_EQ(c.partida(0).cantidad, 2.0);
  EXPECT_EQ(c.textos().total, "232.00");

  // A price that reads changes the line and the totals at once.
  EXPECT_TRUE(c.ponCelda(kPrecio, "50"));
  EXPECT_EQ(c.partida(0).importe, 100);
  EXPECT_EQ(c.textos().subtotal, "100.00");
  EXPECT_EQ(c.textos().total, "116.00");
  ASSERT_TRUE(c.guarda());
  EXPECT_EQ(b.emp.filas("Remision.dbf", {"SUBTO_F", "IMTOD_F"}), V{"100.0000|116.0000"});
  EXPECT_EQ(b.emp.filas("Remisiod.dbf", {"PUNPR_FD", "CANTI_FD"}), V{"50.0000|2.000"});
}

TEST(Efectivo, ElCambioSeMuestraSeGuardaEnElEncabezadoYSeLimpiaConF9) {
  Banco b;
  barras(b);
  CapturaVenta& c = b.abre();
  ASSERT_TRUE(c.nuevo());
  b.linea("2", "MART");  // 232.00
  EXPECT_FALSE(c.efectivo("mucho"));
  EXPECT_FALSE(c.efectivo("200"));
  EXPECT_EQ(b.ui.mensajes(), V({"El Efectivo \"mucho\" no es un número válido",
                                "El Efectivo 200.00 no cubre el Total 232.00"}));
  EXPECT_EQ(c.textos().cambio, "Cambio 0.00");
  EXPECT_TRUE(c.efectivo(""));  // an empty field changes nothing
  EXPECT_TRUE(c.efectivo("500"));
  EXPECT_EQ(c.campos().efectivo, "500");
  EXPECT_EQ(c.textos().cambio, "Cambio 268.00");
  EXPECT_EQ(b.emp.filas("Remision.dbf", {"CAMBI_F", "ABONO_F", "SALDO_F"}), V{"268.0000|232.0000|0.0000"});

  // Another line: the change follows the new total.
  b.linea("1", "MART");  // 348.00
  EXPECT_EQ(c.textos().cambio, "Cambio 152.00");
  ASSERT_TRUE(c.guarda());
  EXPECT_EQ(b.emp.filas("Remision.dbf", {"IMTOD_F", "CAMBI_F", "ABONO_F", "SALDO_F"}),
            V{"348.0000|152.0000|348.0000|0.0000"});
  c.ultimo();
  EXPECT_EQ(c.textos().cambio, "Cambio 152.00");

  // The next sale starts with no cash and no change.
  ASSERT_TRUE(c.nuevo());
  EXPECT_EQ(c.campos().efectivo, "");
  EXPECT_EQ(c.textos().cambio, "Cambio 0.00");
  b.linea("1", "MART");
  EXPECT_TRUE(c.efectivo("116"));  // exactly the total
  EXPECT_EQ(c.textos().cambio, "Cambio 0.00");
}

TEST(Cantidad, UnEscaneoDondeVaLaCantidadEsElProductoNuncaUnaCantidad) {
  Banco b;
  barras(b);
  CapturaVenta& c = b.abre();
  ASSERT_TRUE(c.nuevo());
  c.agregaPartida();
  EXPECT_EQ(c.tecleaCantidad("7501000000012"), CapturaVenta::Cantidad::Producto);
  EXPECT_TRUE(b.ui.llamadas().empty());
  ASSERT_EQ(c.numeroPartidas(), 2);
  EXPECT_EQ(c.partida(0).clave, "MART");
  EXPECT_EQ(c.partida(0).producto, "Martillo");
  EXPECT_EQ(c.partida(0).cantidad, 1.0);
  EXPECT_EQ(c.filaActual(), 1);
  // A key typed where the quantity goes is the product too.
  EXPECT_EQ(c.tecleaCantidad("MART"), CapturaVenta::Cantidad::Producto);
  EXPECT_EQ(c.partida(1).producto, "Martillo");
  EXPECT_EQ(c.textos().partidas, "Partidas  2");
  ASSERT_TRUE(c.guarda());
  EXPECT_EQ(b.emp.filas("Remisiod.dbf", {"CLPRO_FD", "CANTI_FD"}), V({"MART|1.000", "MART|1.000"}));
}

TEST(Cantidad, UnaCantidadDesmedidaPideConfirmacion) {
  Banco b;
  barras(b);
  base::escribeLineas(base::une(prueba::EmpresaVentas::kSistema, "cantidad.cnf"), {"500"});
  CapturaVenta& c = b.abre();
  EXPECT_EQ(c.ajustes().topeCantidad, 500);
  ASSERT_TRUE(c.nuevo());
  c.agregaPartida();
  b.ui.respondeAdvertencia(RespuestaAdvertencia::No);
  EXPECT_EQ(c.tecleaCantidad("99999999"), CapturaVenta::Cantidad::Rechazada);
  EXPECT_EQ(b.ui.llamadas(), V{"advertencia: La Cantidad 99999999 rebasa el tope de 500 por partida. ¿Es correcta?"});
  EXPECT_EQ(c.partida(0).cantidad, 1.0);
  b.ui.olvidaLlamadas();
  // Beyond what a quantity field holds: refused outright, nothing to confirm.
  EXPECT_EQ(c.tecleaCantidad("12345678901"), CapturaVenta::Cantidad::Rechazada);
  EXPECT_EQ(b.ui.llamadas(), V{"mensaje: La Cantidad 12345678901 es demasiado grande para una partida"});
  b.ui.olvidaLlamadas();

  // Far beyond the stock of the line's product (10 on hand).
  b.linea("1", "MART");
  c.irAPartida(0);
  b.ui.respondeAdvertencia(RespuestaAdvertencia::No);
  EXPECT_EQ(c.tecleaCantidad("150"), CapturaVenta::Cantidad::Rechazada);
  EXPECT_EQ(b.ui.llamadas(), V{"advertencia: La Cantidad 150 rebasa por mucho las existencias (10). ¿Es correcta?"});
  EXPECT_EQ(c.partida(0).cantidad, 1.0);
  EXPECT_EQ(c.tecleaCantidad("30"), CapturaVenta::Cantidad::Puesta);  // within ten times the stock
  b.ui.respondeAdvertencia(RespuestaAdvertencia::Si);
  EXPECT_EQ(c.tecleaCantidad("400"), CapturaVenta::Cantidad::Puesta);
  EXPECT_EQ(c.partida(0).cantidad, 400.0);
  EXPECT_EQ(c.textos().subtotal, "40,000.00");
}

TEST(Partidas, CuentaSoloLoQueSeGuardaYF3RepiteLaUltima) {
  Banco b;
  barras(b);
  b.producto("CLAV", 50, 2);
  CapturaVenta& c = b.abre();
  ASSERT_TRUE(c.nuevo());
  EXPECT_FALSE(c.repiteUltima());
  EXPECT_EQ(b.ui.mensajes(), V{"No hay una partida que repetir"});
  b.linea("3", "CLAV");
  b.linea("0", "MART");
  // Three lines on the grid (one blank, one of quantity 0): one will be saved.
  ASSERT_EQ(c.numeroPartidas(), 3);
  EXPECT_EQ(c.textos().partidas, "Partidas  1");

  c.irAPartida(1);
  ASSERT_EQ(c.tecleaCantidad("2"), CapturaVenta::Cantidad::Puesta);
  c.irAPartida(2);
  ASSERT_TRUE(c.repiteUltima());
  ASSERT_EQ(c.numeroPartidas(), 4);
  EXPECT_EQ(c.partida(2).clave, "MART");
  EXPECT_EQ(c.partida(2).cantidad, 2.0);
  EXPECT_EQ(c.partida(2).importe, 200);
  EXPECT_EQ(c.textos().partidas, "Partidas  3");
  EXPECT_EQ(c.textos().subtotal, "406.00");
}

TEST(Apertura, UnaTablaQueNoAbreQuedaEnLaBitacoraDeLaEstacion) {
  Banco b;
  ASSERT_TRUE(base::borra(base::une(prueba::EmpresaVentas::kDatos, "vendedor.dbf")));
  CapturaVenta& c = b.abre();
  EXPECT_EQ(b.ui.mensajes(), V{"No Pueden Guardarse los Datos ha Ocurrido un Error"});
  EXPECT_EQ(*base::leeBytes(base::une(prueba::EmpresaVentas::kSistema, "Bitacora.txt")),
            "Error Apertura vendedor.dbf 12:00:00 15/03/2025 12:00:00\r\n");
  // The document tables opened all the same.
  EXPECT_EQ(c.tipo(), TipoVenta::Remision);
  EXPECT_TRUE(c.encabezado().isOpen());
}

}  // namespace
}  // namespace mostrador::sales
