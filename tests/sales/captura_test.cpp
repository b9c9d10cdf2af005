// Capturing a sales document: scratch tables, line entry, lookups, prices, stock
// checks and totals.

#include <gtest/gtest.h>

#include "banco_captura.h"
#include "base/rutas.h"
#include "base/texto.h"

namespace mostrador::sales {
namespace {

using prueba::Banco;
using prueba::ProductoVenta;
using base::Importe;
using base::RespuestaAdvertencia;

Importe imp(const char* t) { return *Importe::deTexto(t); }

TEST(CapturaAbre, CadaMotorTomaSuPropiaTablaDePartidas) {
  Banco b;
  CapturaVenta& uno = b.abre();
  EXPECT_EQ(uno.archivoPartidas(), "deta2.db");
  CapturaVenta otro(b.emp.ajustes(), b.ui, b.dlg, b.reloj);
  otro.abre();
  EXPECT_EQ(otro.archivoPartidas(), "deta3.db");
  EXPECT_TRUE(base::existe(base::une(prueba::EmpresaVentas::kSistema, "deta3.db")));
  EXPECT_EQ(uno.tipo(), TipoVenta::Remision);
  EXPECT_EQ(uno.numeroTipo(), 15);
  EXPECT_TRUE(uno.numeroSoloLectura());
  EXPECT_EQ(uno.rutaFormato(), "C:\\tvk\\consulta\\Remision.fmt");
  uno.cambiaBase("Pedido");  // not offered by Base: back to Remisión
  EXPECT_EQ(uno.tipo(), TipoVenta::Remision);
  uno.cambiaBase("Caja Chica");
  EXPECT_EQ(uno.numeroTipo(), 17);
  EXPECT_EQ(uno.rutaFormato(), "C:\\tvk\\consulta\\CajaChica.fmt");
  auto g = uno.generar();
  EXPECT_FALSE(g.factura || g.remision || g.pedido || g.devolucion || g.notaCredito);
}

TEST(CapturaNuevo, ReservaElNumeroYLlenaUnaPartidaConLosDatosDelProducto) {
  Banco b;
  ProductoVenta p;
  p.clave = "A1";
  p.descripcion = "Martillo";
  p.existencia = 10;
  p.precio = 100;
  p.impuesto = 16;
  p.costoPromedio = 116;
  p.empaque = 12;
  p.descuento = 5;
  b.emp.producto(p);
  CapturaVenta& c = b.abre();
  ASSERT_TRUE(c.nuevo());
  EXPECT_EQ(c.campos().numero, "1");
  EXPECT_EQ(c.campos().fecha, "15/03/2025");
  EXPECT_EQ(c.campos().cliente, "1");
  EXPECT_EQ(b.emp.filas("Remision.dbf", {"CLDOC_F", "FEDOC_F"}),
            std::vector<std::string>{"1|15/03/2025"});
  EXPECT_TRUE(c.saleCliente());
  EXPECT_EQ(c.campos().nombre, "Publico en General");
  c.campos().vendedor = "V1";
  c.saleVendedor();
  EXPECT_EQ(c.campos().comision, "5");

  b.linea("2", "A1");
  ASSERT_EQ(c.numeroPartidas(), 2);  // the filled line and a new blank one
  Partida l = c.partida(0);
  EXPECT_EQ(l.producto, "Martillo");
  EXPECT_EQ(l.unidad, "PZA");
  EXPECT_EQ(l.precio, 100);
  EXPECT_EQ(l.descuento, 5);
  EXPECT_EQ(l.impuesto, 16);
  EXPECT_EQ(l.costo, 100);  // 116 without its 16 % tax
  EXPECT_EQ(l.factor, 12);
  EXPECT_EQ(l.importe, 190);  // the totals apply the product's discount
  EXPECT_EQ(c.partida(1).cantidad, 1.0);
  EXPECT_EQ(c.filaActual(), 1);
  EXPECT_EQ(c.totales().subtotal, imp("190"));
  EXPECT_EQ(c.totales().impuesto, imp("30.40"));
  EXPECT_EQ(c.totales().total, imp("220.40"));
  Textos t = c.textos();
  EXPECT_EQ(t.total, "220.40");
  EXPECT_EQ(t.partidas, "Partidas  1");  // counted before the blank line was added
  EXPECT_EQ(t.factor, "12");
  EXPECT_EQ(t.estadoCaptura, "Capturando...");
  // The header being captured carries the totals at once.
  EXPECT_EQ(b.emp.filas("Remision.dbf", {"SUBTO_F", "IMTOD_F"}),
            std::vector<std::string>{"190.0000|220.4000"});
  EXPECT_EQ(*base::leeLinea(base::une(prueba::EmpresaVentas::kSistema, "total.dat"), 1), "220.40");
  EXPECT_EQ(c.listaPrecios().size(), 0u);  // the current (blank) line has no product
  c.irAPartida(0);
  EXPECT_EQ(c.listaPrecios(), (std::vector<std::string>{"0", "0", "0", "0"}));
}

TEST(CapturaTotales, ImpuestoIncluidoTasaDelDocumentoYRedondeo) {
  Banco b;
  b.emp.linea(33, "S");
  b.producto("T", 100, 116, 16);
  CapturaVenta& c = b.abre();
  c.nuevo();
  b.linea("1", "T");
  EXPECT_EQ(c.totales().impuesto, imp("16"));
  EXPECT_EQ(c.totales().subtotal, imp("100"));

  Banco r;
  r.emp.linea(45, "5");
  r.producto("B", 100, 10.01);
  r.producto("C", 100, 100, 16);
  CapturaVenta& d = r.abre();
  d.nuevo();
  r.linea("1", "B");
  EXPECT_EQ(d.totales().total, imp("10.50"));
  d.campos().tasa = "10";
  r.linea("2", "C");   // lines of 16 % tax, but the document rate rules
  d.recalcula();
  EXPECT_EQ(d.totales().subtotal, imp("210.01"));
  EXPECT_EQ(d.totales().impuesto, imp("21"));
}

TEST(CapturaPrecios, ListasDelClienteEscalonesYDescuentosPorLinea) {
  Banco b;
  ProductoVenta p;
  p.clave = "P";
  p.descripcion = "Pintura";
  p.linea = "PINTURAS";
  p.existencia = 100;
  p.precio = 100;
  p.listas = {90, 80, 70, 60, 50, 40};
  p.umbrales = {1, 5, 10, 10, 0, 0, 0};
  b.emp.producto(p);
  b.emp.cliente("VACIO", "Sin lista");
  b.emp.cliente("CERO", "Lista cero", "0");
  b.emp.cliente("NEG", "Lista negativa", "-1");
  b.emp.cliente("DOS", "Lista dos", "2");
  b.abre();
  // Reopening replaces the engine: always go through b.cap.
  auto precio = [&](const char* cliente, const char* cantidad) {
    CapturaVenta& c = *b.cap;
    c.nuevo();
    c.campos().cliente = cliente;
    c.saleCliente();
    b.linea(cantidad, "P");
    return c.partida(0).precio;
  };
  EXPECT_EQ(precio("VACIO", "1"), 100);
  EXPECT_EQ(precio("CERO", "1"), 100);
  EXPECT_EQ(precio("NEG", "1"), 100);
  EXPECT_EQ(precio("DOS", "1"), 90);

  b.emp.linea(43, "S");
  b.abre();
  EXPECT_EQ(precio("VACIO", "10"), 80);  // tiers 3 and 4 share the top threshold: tier 3
  EXPECT_EQ(precio("VACIO", "3"), 90);   // 1 < 3 <= 5: list 2
  EXPECT_EQ(precio("DOS", "10"), 90);    // a customer list beats the tiers

  b.emp.linea(58, "S");
  b.emp.descuentoCliente("VACIO", "PINTURAS", 15);
  b.abre();
  EXPECT_EQ(precio("VACIO", "1"), 85);
  b.cap->irAPartida(0);
  EXPECT_EQ(b.cap->entraColumna(kDescuento), kDescuento);
  EXPECT_EQ(b.cap->partida(0).descuento, 15);
}

TEST(CapturaBusqueda, CodigoDeBarrasDescripcionParecidaYProductoInexistente) {
  Banco b;
  ProductoVenta p;
  p.clave = "TORN";
  p.codigo = "7501234";
  p.descripcion = "TORNILLO";
  p.existencia = 50;
  p.precio = 2;
  b.emp.producto(p);
  CapturaVenta& c = b.abre();
  c.nuevo();
  b.linea("3", "7501234");
  EXPECT_EQ(c.partida(0).clave, "TORN");
  EXPECT_EQ(c.partida(0).producto, "TORNILLO");

  b.dlg.productos.push_back(std::string("TORN"));
  b.linea("1", "tornilla");
  EXPECT_EQ(b.dlg.llamadas, std::vector<std::string>{"producto: tornilla"});
  EXPECT_EQ(c.partida(1).clave, "TORN");

  b.ui.olvidaLlamadas();
  b.linea("1", "XYZ");
  EXPECT_EQ(b.ui.mensajes(), std::vector<std::string>{"El Producto No Se encuentra"});
  EXPECT_EQ(c.partida(2).producto, "");

  b.emp.linea(47, "S");
  CapturaVenta& d = b.abre();
  d.nuevo();
  b.ui.respondeAdvertencia(RespuestaAdvertencia::Si);
  b.dlg.llamadas.clear();
  b.linea("1", "NUEVO");
  EXPECT_EQ(b.ui.llamadas().back(), "advertencia: El Producto No Se encuentra...¿Desea darlo de Alta?");
  EXPECT_EQ(b.dlg.llamadas, std::vector<std::string>{"alta: NUEVO"});
}

TEST(CapturaExistencias, ControlDeExistenciasRechazaYServiciosNoSeRevisan) {
  Banco b;
  b.emp.linea(21, "N");
  b.producto("A", 3, 10);
  ProductoVenta s;
  s.clave = "S";
  s.descripcion = "Flete";
  s.linea = "servi";
  s.precio = 50;
  b.emp.producto(s);
  CapturaVenta& c = b.abre();
  c.nuevo();
  b.linea("5", "A");
  EXPECT_EQ(b.ui.mensajes(), std::vector<std::string>{"Las Compras son Superiores a las Existencias 3 Solicitado 5"});
  EXPECT_EQ(c.partida(0).producto, "");
  EXPECT_EQ(c.numeroPartidas(), 1);

  b.ui.olvidaLlamadas();
  c.ponCelda(kCantidad, "2");
  c.entraColumna(kProducto);
  EXPECT_EQ(c.partida(0).producto, "Producto A");
  b.linea("4", "S");
  EXPECT_TRUE(b.ui.mensajes().empty());
  EXPECT_EQ(c.partida(1).producto, "Flete");
  EXPECT_EQ(c.totales().subtotal, imp("220"));
}

TEST(CapturaPartidas, BorrarPartidaPermisoDePrecioYComentarios) {
  Banco b;
  b.producto("A", 10, 10);
  b.emp.usuario(std::string(51, 'n') + "snnn");  // user 1: right 52 only
  CapturaVenta& c = b.abre();
  c.nuevo();
  b.linea("2", "A");
  c.irAPartida(0);
  EXPECT_EQ(c.entraColumna(kPrecio), kCantidad);
  EXPECT_EQ(b.ui.mensajes(), std::vector<std::string>{"No Tiene Acceso a Precios"});
  EXPECT_TRUE(c.cambioPrecio());
  EXPECT_EQ(c.entraColumna(kPrecio), kPrecio);
  c.ponCelda(kPrecio, "12.5");
  EXPECT_EQ(c.entraColumna(kImporte), kImporte);
  EXPECT_EQ(c.partida(0).importe, 25);
  EXPECT_FALSE(c.permisoPrecio());

  b.ui.respondeAdvertencia(RespuestaAdvertencia::Si);
  c.irAPartida(0);
  EXPECT_TRUE(c.eliminaPartida());
  EXPECT_EQ(b.ui.llamadas().back(), "advertencia: Esta Seguro que Desea ELIMINAR esta Partida 2  Producto A");
  EXPECT_EQ(c.numeroPartidas(), 1);

  // Comment lines keep what is typed and cost nothing.
  c.irAPartida(0);
  c.ponCelda(kClave, "COMENTARIO");
  EXPECT_EQ(c.entraColumna(kProducto), kProducto);
  c.ponCelda(kProducto, "Entregar el lunes");
  c.recalcula();
  EXPECT_EQ(c.partida(0).producto, "Entregar el lunes");
  EXPECT_EQ(c.totales().total, imp("0"));

  b.emp.sesion("1");
  CapturaVenta& d = b.abre();
  EXPECT_FALSE(d.cambioPrecio());  // no right 51: no dialog at all
  EXPECT_EQ(b.ui.llamadas().back(), "advertencia: Esta Seguro que Desea ELIMINAR esta Partida 2  Producto A");
}

}  // namespace
}  // namespace mostrador::sales
