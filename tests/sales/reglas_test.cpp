// Pricing rules, totals and the settings the sales screens read.

#include <gtest/gtest.h>

#include "sales/ajustes.h"
#include "sales/precios.h"
#include "sales/tipos_venta.h"
#include "sales/totales.h"
#include "base/registros_fijos.h"
#include "base/rutas.h"
#include "base/texto.h"
#include "store/catalogo.h"
#include "support/entorno.h"

namespace mostrador::sales {
namespace {

using base::Importe;

Importe imp(const char* t) { return *Importe::deTexto(t); }

Totales totales(std::vector<LineaTotal> lineas, OpcionesTotales o = {}) {
  return calculaTotales(lineas, o);
}

TEST(Totales, RedondeoDelTotalSubeAlSiguienteMultiploDelPaso) {
  OpcionesTotales o;
  o.pasoRedondeo = 5;
  EXPECT_EQ(totales({{1, 10.01, 0, 0, 0, 0}}, o).total, imp("10.50"));
  EXPECT_EQ(totales({{1, 10.50, 0, 0, 0, 0}}, o).total, imp("10.50"));
  EXPECT_EQ(totales({{1, 10.99, 0, 0, 0, 0}}, o).total, imp("11.00"));
  EXPECT_EQ(totales({{1, 10.00, 0, 0, 0, 0}}, o).total, imp("10.00"));
  o.pasoRedondeo = 0;
  EXPECT_EQ(totales({{1, 10.01, 0, 0, 0, 0}}, o).total, imp("10.01"));
}

TEST(Totales, ImpuestoIncluidoSeSeparaDelSubtotal) {
  OpcionesTotales o;
  o.impuestoIncluido = true;
  Totales t = totales({{1, 116, 0, 16, 50, 0}}, o);
  EXPECT_EQ(t.subtotal, imp("100"));
  EXPECT_EQ(t.impuesto, imp("16"));
  EXPECT_EQ(t.total, imp("116"));
  EXPECT_EQ(t.costo, imp("50"));
  // The FPGC levy is not taxed again and adds up on its own.
  t = totales({{1, 126, 0, 16, 0, 10}}, o);
  EXPECT_EQ(t.impuesto, imp("16"));
  EXPECT_DOUBLE_EQ(t.fpgc, 10);
  EXPECT_EQ(t.subtotal, imp("110"));
}

TEST(Totales, TasaDelDocumentoReemplazaLasDeLasPartidas) {
  OpcionesTotales o;
  o.tasaDocumento = "10";
  Totales t = totales({{2, 50, 0, 16, 0, 0}, {1, 100, 0, 0, 0, 0}}, o);
  EXPECT_EQ(t.subtotal, imp("200"));
  EXPECT_EQ(t.impuesto, imp("20"));
  EXPECT_EQ(t.total, imp("220"));
  // "", "0" and a stored "0.0000" all leave the line taxes.
  for (const char* cero : {"", "0", "0.0000"}) {
    o.tasaDocumento = cero;
    EXPECT_EQ(totales({{2, 50, 0, 16, 0, 0}}, o).impuesto, imp("16")) << cero;
  }
}

TEST(Totales, DescuentosDePartidaYDeDocumento) {
  OpcionesTotales o;
  o.descuentoDocumento = 10;
  // 3 × 33.33 = 99.99, less 5 % = 94.9905; the document takes 10 % of 94.99 = 9.50.
  Totales t = totales({{3, 33.33, 5, 16, 20, 0}}, o);
  EXPECT_EQ(t.subtotal, imp("85.49"));
  EXPECT_NEAR(t.descuento, 9.49905, 1e-9);  // on the unrounded line sum
  EXPECT_EQ(t.impuesto, imp("13.68"));      // 16 % of 94.9905 = 15.198, less 10 % = 13.678
  EXPECT_EQ(t.total, imp("99.17"));
  EXPECT_NEAR(t.impuestoLineas, 15.19848, 1e-9);
  EXPECT_EQ(t.costo, imp("60"));
  EXPECT_EQ(t.partidas, 1);
}

TEST(Totales, PartidasDeComentarioNoSuman) {
  Totales t = totales({{0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0}});
  EXPECT_EQ(t.total, Importe());
  EXPECT_EQ(t.subtotal, Importe());
  EXPECT_EQ(t.partidas, 2);
  EXPECT_EQ(textoPartidas(2), "Partidas  2");
}

TEST(Totales, ImportesDeCuatroDecimalesNoAcumulanError) {
  // 1000 lines of 0.1 × 0.7 add up to exactly 70.
  std::vector<LineaTotal> v(1000, LineaTotal{0.1, 0.7, 0, 0, 0, 0});
  EXPECT_EQ(totales(v).subtotal, imp("70"));
  EXPECT_DOUBLE_EQ(importeLinea(2, 50, 10), 90);
}

PreciosProducto producto(std::array<double, 7> umbrales) {
  PreciosProducto p;
  p.lista = {100, 90, 80, 70, 60, 50, 40};
  p.umbral = umbrales;
  return p;
}

TEST(Precios, EscalonesPorCantidad) {
  PreciosProducto p = producto({0, 10, 20, 30, 40, 50, 60});
  EXPECT_EQ(listaPorCantidad(p, 0), 1);
  EXPECT_EQ(listaPorCantidad(p, 5), 2);
  EXPECT_EQ(listaPorCantidad(p, 10), 2);
  EXPECT_EQ(listaPorCantidad(p, 10.5), 3);
  EXPECT_EQ(listaPorCantidad(p, 55), 7);
  EXPECT_EQ(listaPorCantidad(p, 60), 7);
  EXPECT_EQ(listaPorCantidad(p, 1000), 7);
  EXPECT_EQ(listaPorCantidad(p, -1), 1);
  // Exactly the largest threshold takes its tier, even out of order.
  PreciosProducto d = producto({5, 100, 3, 2, 1, 0, 0});
  EXPECT_EQ(listaPorCantidad(d, 100), 2);
  EXPECT_DOUBLE_EQ(precioUnitario(d, 0, true, 100, 0), 90);
  // Two thresholds equal to the maximum: the lower tier wins.
  PreciosProducto e = producto({1, 2, 50, 3, 50, 4, 5});
  EXPECT_EQ(listaPorCantidad(e, 50), 3);
  EXPECT_EQ(listaPorCantidad(e, 60), 3);
}

TEST(Precios, ListaDelClienteYSusLimites) {
  PreciosProducto p = producto({0, 10, 20, 30, 40, 50, 60});
  EXPECT_DOUBLE_EQ(precioLista(p, 0, 7), 100);
  EXPECT_DOUBLE_EQ(precioLista(p, -3, 7), 100);
  EXPECT_DOUBLE_EQ(precioLista(p, 5, 7), 60);
  EXPECT_DOUBLE_EQ(precioLista(p, 7, 7), 40);
  EXPECT_DOUBLE_EQ(precioLista(p, 8, 7), 7);  // beyond the lists: the line keeps its price
  // A customer list wins over the tiers; tiers only apply when switched on.
  EXPECT_DOUBLE_EQ(precioUnitario(p, 2, true, 45, 0), 90);
  EXPECT_DOUBLE_EQ(precioUnitario(p, 0, false, 45, 0), 100);
  EXPECT_DOUBLE_EQ(precioUnitario(p, 0, true, 45, 0), 50);
}

TEST(Precios, Similitud) {
  EXPECT_DOUBLE_EQ(similitud("coca", "COCA COLA 600"), 1.0);
  EXPECT_DOUBLE_EQ(similitud("cola", "COCA COLA"), 0.75);  // l against C
  EXPECT_DOUBLE_EQ(similitud("leche", "PAN"), 0.0);
  EXPECT_DOUBLE_EQ(similitud("café", "CAFÉ"), 1.0);
  EXPECT_DOUBLE_EQ(similitud("abcdef", "ABC"), 0.5);
  EXPECT_DOUBLE_EQ(similitud("", "ABC"), 0.0);
}

TEST(Precios, DescuentoDelClientePorLineaYCosto) {
  prueba::DirectorioTemporal dir;
  ASSERT_TRUE(base::creaDirectorios("C:\\Datos"));
  const store::DefTabla& def = *store::buscaTabla("ClieDesc.dbf");
  dbf::Table::create("C:\\Datos", "ClieDesc.dbf", def.campos, def.indices);
  dbf::Table t;
  t.open("C:\\Datos", "ClieDesc.dbf");
  auto agrega = [&](const char* c, const char* l, double d) {
    t.append();
    t.setText("CLCLI_D", c);
    t.setText("LINEA_D", l);
    t.setFloat("DESCU_D", d);
    t.post();
  };
  agrega("7", "ABARROTES", 5);
  agrega("10", "LACTEOS", 8);
  agrega("7", "LACTEOS", 3);
  agrega("7", "LACTEOS", 9);  // only the first match counts
  t.close();
  EXPECT_DOUBLE_EQ(descuentoClienteLinea("C:\\Datos", "7", "LACTEOS"), 3);
  EXPECT_DOUBLE_EQ(descuentoClienteLinea("C:\\Datos", "7", "ABARROTES"), 5);
  EXPECT_DOUBLE_EQ(descuentoClienteLinea("C:\\Datos", "10", "ABARROTES"), 0);
  EXPECT_DOUBLE_EQ(descuentoClienteLinea("C:\\Datos", "1", "LACTEOS"), 0);
  EXPECT_DOUBLE_EQ(descuentoClienteLinea("C:\\Otro", "7", "LACTEOS"), 0);

  const store::DefTabla& inv = *store::buscaTabla("inventar.dbf");
  dbf::Table::create("C:\\Datos", "inventar.dbf", inv.campos, inv.indices);
  dbf::Table p;
  p.open("C:\\Datos", "inventar.dbf");
  p.append();
  p.setFloat("CPROM_I", 116);
  p.setFloat("ULCOS_I", 58);
  p.post();
  EXPECT_DOUBLE_EQ(costoSinImpuesto(p, 16), 100);
  p.edit();
  p.setText("TICOS_I", "PROM");
  p.post();
  EXPECT_DOUBLE_EQ(costoSinImpuesto(p, 16), 100);
  p.edit();
  p.setText("TICOS_I", "ULT");
  p.post();
  EXPECT_DOUBLE_EQ(costoSinImpuesto(p, 16), 50);
}

TEST(Ajustes, LineasYArchivosDelSistema) {
  prueba::DirectorioTemporal dir;
  std::vector<std::string> l(72);
  l[0] = "NO";
  l[5] = "SI";
  l[7] = "C:\\Datos";
  l[20] = "N";
  l[32] = "S";
  l[40] = "No";
  l[41] = "3";
  l[42] = "S";
  l[44] = "5";
  l[57] = "S";
  l[62] = "D:\\Remisiones";
  AjustesVenta a = leeAjustes("C:\\Sis", l);
  EXPECT_TRUE(a.descargaInmediata);
  EXPECT_TRUE(a.registraMovimientos);
  EXPECT_TRUE(a.controlExistencias);
  EXPECT_TRUE(a.impuestoIncluido);
  EXPECT_TRUE(a.sinNegativos);
  EXPECT_EQ(a.mascaraImporte(), "##,##0.000");
  EXPECT_TRUE(a.escalones);
  EXPECT_EQ(a.pasoRedondeo, 5);
  EXPECT_TRUE(a.descuentosPorLinea);
  EXPECT_EQ(a.dirRemisiones, "D:\\Remisiones");
  EXPECT_EQ(a.dirInventario, "C:\\Datos");
  EXPECT_FALSE(a.existeEncabeza);
  EXPECT_EQ(a.usuario, "0");
  EXPECT_TRUE(a.caja.empty());

  ASSERT_TRUE(base::creaDirectorios("C:\\Sis"));
  ASSERT_TRUE(base::creaDirectorios("C:\\Datos"));
  ASSERT_TRUE(base::escribeLineas("C:\\Sis\\ENCABEZA.CNF",
                                   {"S", "N", "a.fmt", "", "", "", "", "f.fmt", "S"}));
  ASSERT_TRUE(base::escribeLineas("C:\\Sis\\empaque.cnf", {"S"}));
  ASSERT_TRUE(base::escribeLineas("C:\\Sis\\Multi.dat", {"3", "deta2"}));
  ASSERT_TRUE(base::escribeLineas("C:\\Datos\\pagos.cnf", {"Efectivo", "Tarjeta"}));
  ASSERT_TRUE(escribeCaja("C:\\Sis", 1, {"2", "V1", "Ticket.fmt"}));
  a = leeAjustes("C:\\Sis", l);
  EXPECT_TRUE(a.existeEncabeza);
  EXPECT_TRUE(a.saltaEncabezado);
  EXPECT_FALSE(a.iniciaEnClave);
  EXPECT_EQ(a.atajos[0], "a.fmt");
  EXPECT_EQ(a.atajos[5], "f.fmt");
  EXPECT_TRUE(a.totalesDigitales);
  EXPECT_TRUE(a.capturaEmpaque);
  EXPECT_FALSE(a.campoTara);
  EXPECT_EQ(a.usuario, "3");
  EXPECT_EQ(a.tiposPago, (std::vector<std::string>{"Efectivo", "Tarjeta"}));
  EXPECT_EQ(a.caja, "2");
  EXPECT_EQ(a.vendedorCaja, "V1");
  EXPECT_EQ(a.formatoCaja, "Ticket.fmt");
  // The till file is 36-byte records with length-prefixed texts.
  std::string bytes = *base::leeBytes("C:\\Sis\\caja.cnf");
  ASSERT_EQ(bytes.size(), 36u);
  EXPECT_EQ(bytes.substr(0, 2), std::string("\x01" "2"));
  EXPECT_EQ(bytes.substr(4, 3), std::string("\x02" "V1"));
  EXPECT_EQ(bytes.substr(10, 11), std::string("\x0A" "Ticket.fmt"));
}

TEST(TiposVenta, BaseSoloAceptaTresTipos) {
  EXPECT_EQ(tipoBase("Devolución"), TipoVenta::Devolucion);
  EXPECT_EQ(tipoBase("Caja Chica"), TipoVenta::CajaChica);
  EXPECT_EQ(tipoBase("Factura"), TipoVenta::Remision);
  EXPECT_EQ(tipoBase("remisión"), TipoVenta::Remision);
  EXPECT_EQ(defTipo(TipoVenta::Remision).numeroTipo, 15);
  EXPECT_EQ(defTipo(TipoVenta::CajaChica).numeroTipo, 17);
  EXPECT_EQ(defTipo(TipoVenta::Remision).lineaFormato, 15);
  EXPECT_EQ(defTipo(TipoVenta::CajaChica).lineaFormato, 17);
  EXPECT_EQ(tipoPorNombre("Nota de Crédito"), TipoVenta::NotaCredito);
  EXPECT_EQ(tipoPorNombre("Nota"), std::nullopt);
}

}  // namespace
}  // namespace mostrador::sales
