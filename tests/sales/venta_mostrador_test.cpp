// The counter over the capture engine: its numbering, payment types and their values,
// cash and change, held sales, pending stock, the modify switch, the line limit, the
// export, the caller list, quick products and the key-holder authorisations.

#include <gtest/gtest.h>

#include "banco_captura.h"
#include "base/rutas.h"
#include "base/texto.h"
#include "sales/mostrador_venta.h"
#include "store/numeracion.h"
#include "support/procesos_falsos.h"

namespace mostrador::sales {
namespace {

using prueba::Banco;
using prueba::EmpresaVentas;
using prueba::ProductoVenta;
using V = std::vector<std::string>;

const std::string kPropio = "/opt/mostrador/bin/mostrador";

// The shop with its counters created, as the main window leaves it, and one counter.
struct Mostrador {
  Banco b;
  prueba::ProcesosFalsos procesos;
  base::TablaProgramas programas{[](std::string_view) { return false; }, kPropio};
  std::unique_ptr<MostradorVenta> m;

  Mostrador() {
    ProductoVenta p;
    p.clave = "MART";
    p.codigo = "7501000000012";
    p.descripcion = "Martillo";
    p.existencia = 10;
    p.precio = 100;
    p.listas = {90, 80, 70, 60, 50, 40};
    p.impuesto = 16;
    b.emp.producto(p);
    store::creaContadores(EmpresaVentas::kDatos);
  }
  MostradorVenta& abre() {
    m.reset();
    b.abre();
    m = std::make_unique<MostradorVenta>(*b.cap, procesos, programas);
    m->alMostrar();
    return *m;
  }
  CapturaVenta& c() { return *b.cap; }
  std::string encabezado(const std::vector<std::string>& campos) {
    const V f = b.emp.filas("Remision.dbf", campos);
    return f.empty() ? std::string() : f.back();
  }
};

std::vector<std::string> lineas(std::string_view ruta) {
  return base::leeLineas(ruta).value_or(std::vector<std::string>{"<sin archivo>"});
}

TEST(NumeracionMostrador, LaVentaSeNumeraConElContadorYQuedaEnActualR) {
  Mostrador t;
  MostradorVenta& m = t.abre();
  // An empty delivery-note table seeded the counter with 0: the first number is 2.
  ASSERT_TRUE(t.c().nuevo());
  EXPECT_EQ(t.c().campos().numero, "2");
  EXPECT_EQ(lineas("actualR.dat"), V{"2"});
  t.b.linea("1", "MART");
  ASSERT_TRUE(t.c().guarda());
  ASSERT_TRUE(t.c().nuevo());
  EXPECT_EQ(t.c().campos().numero, "3");
  EXPECT_EQ(lineas("actualR.dat"), V{"3"});
  EXPECT_EQ(t.b.emp.filas("numero.dbf", {"NUMERO"}), V({"0", "2", "3"}));
  EXPECT_EQ(t.b.emp.filas("Remision.dbf", {"CLDOC_F"}), V({"2", "3"}));
  // An invoice takes its number from the invoices' counter.
  t.c().descarta();
  t.c().abreTipo(TipoVenta::Factura);
  ASSERT_TRUE(t.c().nuevo());
  EXPECT_EQ(t.c().campos().numero, "2");
  EXPECT_EQ(t.b.emp.filas("numerof.dbf", {"NUMERO"}), V({"0", "2"}));
  EXPECT_EQ(t.b.emp.filas("numero.dbf", {"NUMERO"}), V({"0", "2", "3"}));
  t.c().descarta();
  t.c().abreTipo(TipoVenta::Remision);
  // Another screen's current document is shown when the screen is activated.
  base::escribeLineas("actual.dat", {"2"});
  EXPECT_TRUE(m.muestraActual());
  EXPECT_EQ(t.c().campos().numero, "2");
  EXPECT_EQ(t.c().partidas().size(), 1u);
}

TEST(Efectivo, ElPagoExactoDaCambioCeroYUnPagoCortoONoNumericoNoTocaLaVenta) {
  Mostrador t;
  MostradorVenta& m = t.abre();
  ASSERT_TRUE(t.c().nuevo());
  t.b.linea("1", "MART");
  ASSERT_EQ(t.c().textos().total, "116.00");
  const std::vector<std::string> pago = {"CAMBI_F", "ABONO_F", "SALDO_F", "IMTOD_F"};

  EXPECT_TRUE(m.efectivo("116"));
  EXPECT_EQ(t.c().textos().cambio, "Cambio 0.00");
  EXPECT_EQ(t.encabezado(pago), "0.0000|116.0000|0.0000|116.0000");

  EXPECT_TRUE(m.efectivo("200"));
  EXPECT_EQ(t.c().textos().cambio, "Cambio 84.00");
  EXPECT_EQ(t.encabezado(pago), "84.0000|116.0000|0.0000|116.0000");

  t.b.ui.olvidaLlamadas();
  EXPECT_FALSE(m.efectivo("100"));
  EXPECT_FALSE(m.efectivo("cien"));
  EXPECT_EQ(t.b.ui.mensajes(), V({"El Efectivo 100.00 no cubre el Total 116.00",
                                   "El Efectivo \"cien\" no es un número válido"}));
  // The sale is kept as the last good tender left it.
  EXPECT_EQ(t.c().textos().cambio, "Cambio 84.00");
  EXPECT_EQ(t.encabezado(pago), "84.0000|116.0000|0.0000|116.0000");
  EXPECT_TRUE(t.c().enCaptura());
  // An empty field changes nothing.
  EXPECT_TRUE(m.efectivo(""));
  EXPECT_EQ(t.encabezado(pago), "84.0000|116.0000|0.0000|116.0000");
}

struct Pagos : Mostrador {
  Pagos() {
    escrito = escribeValoresPago(EmpresaVentas::kDatos, {{"TARJETA", 5, std::nullopt},
                                                         {"MAYOREO", std::nullopt, 1003},
                                                         {"GENERAL", std::nullopt, 1000},
                                                         {"AMBOS", 7, 1003},
                                                         {"NADA", std::nullopt, std::nullopt}});
  }
  bool escrito = false;
  // A new sale of two hammers at 100.
  void venta() {
    ASSERT_TRUE(escrito);
    ASSERT_TRUE(c().nuevo());
    b.linea("2", "MART");
    ASSERT_EQ(c().partida(0).precio, 100);
  }
};

TEST(TipoPago, ElValorEsElPrecioOElDescuentoQueGanaYFaltandoEsMenosMil) {
  Pagos t;
  ASSERT_TRUE(t.escrito);
  const std::string d(EmpresaVentas::kDatos);
  EXPECT_EQ(valorTipoPago(d, "TARJETA"), 5);
  EXPECT_EQ(valorTipoPago(d, "MAYOREO"), 1003);
  EXPECT_EQ(valorTipoPago(d, "GENERAL"), 1000);
  EXPECT_EQ(valorTipoPago(d, "AMBOS"), 7);
  EXPECT_EQ(valorTipoPago(d, "NADA"), -1000);
  EXPECT_EQ(valorTipoPago(d, "VALES"), -1000);
  EXPECT_EQ(valorTipoPago(d, "TARJ"), -1000);  // a prefix is not the type
  EXPECT_EQ(leeValoresPago(d, {"VALES", "MAYOREO"}),
            (std::vector<ValorPago>{{"VALES", std::nullopt, std::nullopt}, {"MAYOREO", std::nullopt, 1003}}));
}

TEST(TipoPago, UnDescuentoCincoSoloPoneElDescuentoDelDocumento) {
  Pagos t;
  MostradorVenta& m = t.abre();
  t.venta();
  EXPECT_EQ(m.aplicaTipoPago("TARJETA"), MostradorVenta::Pago::Descuento);
  EXPECT_EQ(t.c().campos().descuento, "5");
  EXPECT_EQ(t.encabezado({"DESFI_F", "IMTOD_F"}), "5.0000|232.0000");
  EXPECT_EQ(t.c().partida(0).precio, 100);
  EXPECT_EQ(t.c().textos().total, "232.00");  // nothing recomputed yet
  // The next recomputation takes the discount: 200 - 10 = 190, tax 30.40.
  t.c().recalcula();
  EXPECT_EQ(t.c().textos().total, "220.40");
}

TEST(TipoPago, MilTresPoneLaListaTresMilLaListaUnoYUnTipoAusenteNoCambiaNada) {
  Pagos t;
  MostradorVenta& m = t.abre();
  t.venta();
  EXPECT_EQ(m.aplicaTipoPago("MAYOREO"), MostradorVenta::Pago::Lista);
  EXPECT_EQ(t.c().partida(0).precio, 80);  // PLIS3_I
  EXPECT_EQ(t.c().partida(0).importe, 160);
  EXPECT_EQ(t.c().textos().total, "185.60");
  EXPECT_EQ(t.encabezado({"DESFI_F", "IMTOD_F"}), "|185.6000");

  EXPECT_EQ(m.aplicaTipoPago("GENERAL"), MostradorVenta::Pago::Lista);
  EXPECT_EQ(t.c().partida(0).precio, 100);  // list 0 counts as list 1
  EXPECT_EQ(t.c().textos().total, "232.00");

  EXPECT_EQ(m.aplicaTipoPago("VALES"), MostradorVenta::Pago::Nada);
  EXPECT_EQ(m.aplicaTipoPago("NADA"), MostradorVenta::Pago::Nada);
  EXPECT_EQ(t.c().partida(0).precio, 100);
  EXPECT_EQ(t.encabezado({"DESFI_F", "IMTOD_F"}), "|232.0000");
  EXPECT_EQ(t.c().campos().tipoPago, "NADA");
}

TEST(VentaEnEspera, DosVentasEnEsperaUsanDosTablasDePartidas) {
  Mostrador t;
  MostradorVenta& uno = t.abre();
  ASSERT_TRUE(t.c().nuevo());
  t.b.linea("3", "MART");
  EXPECT_EQ(uno.ventaEnEspera(), "");
  const std::string multi = base::une(EmpresaVentas::kSistema, "Multi.dat");
  EXPECT_EQ(lineas(multi), V({"0", "deta2", "Deta"}));

  // The second window the program started signs in and takes the next free scratch table.
  CapturaVenta segunda(t.b.emp.ajustes(), t.b.ui, t.b.dlg, t.b.reloj);
  segunda.abre();
  EXPECT_EQ(segunda.archivoPartidas(), "deta3.db");
  MostradorVenta dos(segunda, t.procesos, t.programas);
  ASSERT_TRUE(segunda.nuevo());
  EXPECT_EQ(dos.ventaEnEspera(), "");
  EXPECT_EQ(lineas(multi), V({"0", "deta3", "Deta"}));

  ASSERT_EQ(t.procesos.llamadas.size(), 2u);
  for (const auto& l : t.procesos.llamadas) {
    EXPECT_EQ(l.programa, kPropio);
    EXPECT_EQ(l.argumentos, V{"--captura-rapida"});
    EXPECT_FALSE(l.espera);
  }
  // The held sale is still where it was, in its own table.
  EXPECT_EQ(t.c().partida(0).cantidad, 3);
  EXPECT_EQ(segunda.partidas().size(), 0u);
}

TEST(VentaEnEspera, UnProgramaQueNoArrancaLoDice) {
  Mostrador t;
  MostradorVenta& m = t.abre();
  t.procesos.respuesta = {false, -1, "no se encuentra el programa"};
  EXPECT_NE(m.ventaEnEspera(), "");
}

TEST(ExistenciaPendiente, UnProductoRetenidoPorOtraEstacionDejaSuCantidadNegadaEnExiste) {
  Mostrador t;
  t.abre();
  ASSERT_TRUE(t.c().nuevo());
  t.b.linea("2", "MART");
  // Another station holds the product's record.
  dbf::Table otra;
  otra.open(EmpresaVentas::kDatos, "inventar.dbf");
  otra.setIndex("ICLPRO");
  ASSERT_TRUE(otra.findKey({std::string("MART")}));
  otra.edit();
  ASSERT_TRUE(t.c().guarda());
  otra.cancel();
  otra.close();
  EXPECT_EQ(t.b.emp.filas("Existe.dbf", {"CLAVE", "CANTI", "CONTROL", "MODULO", "MOVIMIENTO"}),
            V{"MART|-2.000|50000|Remisión|3"});
  // The sale, its line and its movement stand; the stock waits for the pending record.
  EXPECT_EQ(t.b.emp.numero("inventar.dbf", "CLPRO_I", "MART", "EXIST_I"), 10);
  EXPECT_EQ(t.b.emp.filas("Remisiod.dbf", {"CLDOC_FD", "CLPRO_FD", "CANTI_FD"}), V{"2|MART|2.000"});
  EXPECT_EQ(t.b.emp.filas("movinven.dbf", {"CLPRO_MI", "CANTI_MI", "NUDOC_MI"}), V{"MART|2.000|R2-50000"});

  // With the product free the stock moves and nothing is left pending.
  ASSERT_TRUE(t.c().nuevo());
  t.b.linea("1", "MART");
  ASSERT_TRUE(t.c().guarda());
  EXPECT_EQ(t.b.emp.numero("inventar.dbf", "CLPRO_I", "MART", "EXIST_I"), 9);
  EXPECT_EQ(t.b.emp.filas("Existe.dbf", {"CLAVE"}).size(), 1u);
}

TEST(Modificar, SoloElCodigoExactoMuestraElComandoYQuedaParaTodaLaCorrida) {
  const std::string mdf = base::une(EmpresaVentas::kSistema, "mdf.cnf");
  Mostrador t;
  EXPECT_FALSE(t.abre().modificarPermitido());  // no file
  for (const char* casi : {"qwopzmxnt7b28vlkdsb", "Qwopzmxnt7b28vlkdsa", "qwopzmxnt7b28vlkds",
                           "qwopzmxnt7b28vlkdsa "}) {
    base::escribeLineas(mdf, {casi, "otra"});
    EXPECT_FALSE(accesoModificar(EmpresaVentas::kSistema)) << casi;
    EXPECT_FALSE(t.m->alMostrar()) << casi;
  }
  base::escribeLineas(mdf, {std::string(kCodigoModificar)});
  EXPECT_TRUE(t.m->alMostrar());
  base::borra(mdf);
  EXPECT_TRUE(t.m->alMostrar());
  EXPECT_TRUE(t.m->modificarPermitido());
}

TEST(LimitePartidas, LaLineaSetentaLimitaLasPartidasYBorraLaClaveDeMas) {
  Mostrador t;
  t.b.producto("CLAV", 50, 10);
  t.b.emp.linea(70, "2");
  t.abre();
  ASSERT_TRUE(t.c().nuevo());
  t.b.linea("1", "MART");
  t.b.linea("1", "CLAV");
  t.b.ui.olvidaLlamadas();
  t.b.linea("1", "MART");
  EXPECT_EQ(t.b.ui.mensajes(), V{"Se ha llegado al límite de PARTIDAS..."});
  const std::vector<Partida> ps = t.c().partidas();
  ASSERT_EQ(ps.size(), 3u);
  EXPECT_EQ(ps[2].clave, "");
  EXPECT_EQ(ps[2].producto, "");
  EXPECT_EQ(t.c().textos().partidas, "Partidas  2");
}

TEST(Exporta, LasPartidasVanComoClaveYCantidadAlArchivoDeExportaCnf) {
  Mostrador t;
  t.b.producto("CLAV", 50, 10);
  MostradorVenta& m = t.abre();
  ASSERT_TRUE(t.c().nuevo());
  t.b.linea("2", "MART");
  t.b.linea("1.5", "CLAV");
  ASSERT_TRUE(m.exporta());
  EXPECT_EQ(lineas("Movimientos.mov"), V({"MART,2", "CLAV,1.5"}));
  const std::string destino = base::une(EmpresaVentas::kSistema, "salida.txt");
  base::escribeLineas(base::une(EmpresaVentas::kSistema, "Exporta.cnf"), {destino});
  ASSERT_TRUE(m.exporta());
  EXPECT_EQ(lineas(destino), V({"MART,2", "CLAV,1.5"}));
}

TEST(Opciones, LasLineasDiezACatorceSeLeenYSeReescribenSinTocarLasDemas) {
  Mostrador t;
  const std::string ruta = base::une(EmpresaVentas::kSistema, "encabeza.cnf");
  const V antes = lineas(ruta);
  MostradorVenta& m = t.abre();
  EXPECT_FALSE(m.opciones().detallePersonal);
  ASSERT_TRUE(m.cambiaOpcion(12, true));
  ASSERT_TRUE(m.cambiaOpcion(10, true));
  EXPECT_TRUE(m.opciones().detallePersonal);
  EXPECT_TRUE(m.opciones().guardaEImprime);
  EXPECT_FALSE(m.opciones().iniciaEnVendedor);
  V esperado = antes;
  esperado.resize(12);
  esperado[9] = "S";
  esperado[11] = "S";
  EXPECT_EQ(lineas(ruta), esperado);
  ASSERT_TRUE(m.cambiaOpcion(12, false));
  esperado[11] = "N";
  EXPECT_EQ(lineas(ruta), esperado);
  EXPECT_FALSE(m.cambiaOpcion(9, true));  // not a counter line
}

TEST(Llamadas, CadaLlamadaDelDiaConSuCliente) {
  Mostrador t;
  MostradorVenta& m = t.abre();
  const std::string dir = "C:\\SERIAL\\historial";
  base::creaDirectorios(dir);
  base::escribeLineas(base::une(dir, "15032025.his"), {"10:15,1", "", "10:20, 5551234"});
  base::escribeLineas(base::une(dir, "14032025.his"), {"09:00,1"});
  V vistas;
  for (const Llamada& l : m.llamadas(dir)) vistas.push_back(l.hora + "|" + l.numero + "|" + l.nombre + "|" + l.direccion);
  EXPECT_EQ(vistas, V({"10:15|1|Publico en General|Calle 1", "10:20|5551234||"}));
  EXPECT_TRUE(m.llamadas("C:\\SERIAL\\otro").empty());
}

TEST(AltaRapida, UnaClaveNuevaSeDaDeAltaYUnaExistenteSeRechaza) {
  Mostrador t;
  const std::string d(EmpresaVentas::kDatos);
  EXPECT_EQ(altaRapida(d, {"TORN", "Tornillo", "750200", 1.5, 100}), "");
  EXPECT_EQ(t.b.emp.texto("inventar.dbf", "CLPRO_I", "TORN", "DSCPR_I"), "Tornillo");
  EXPECT_EQ(t.b.emp.texto("inventar.dbf", "CLPRO_I", "TORN", "CODIG_I"), "750200");
  EXPECT_EQ(t.b.emp.numero("inventar.dbf", "CLPRO_I", "TORN", "PPUBL_I"), 1.5);
  EXPECT_EQ(t.b.emp.numero("inventar.dbf", "CLPRO_I", "TORN", "UEMPA_I"), 100);
  EXPECT_EQ(altaRapida(d, {"MART", "Otro", "", 1, 1}), "El producto ya esta dado de alta...");
  EXPECT_EQ(t.b.emp.texto("inventar.dbf", "CLPRO_I", "MART", "DSCPR_I"), "Martillo");
  EXPECT_EQ(altaRapida(d, {" ", "Nada", "", 1, 1}), "Falta la Clave del Producto");
}

TEST(Autorizacion, ElDuenoDeLaClaveTecleadaDecideCancelarYCambiarPrecio) {
  Mostrador t;
  std::string cajero(55, 'n');
  cajero[20 - 1] = 's';  // new documents only
  std::string supervisor(55, 'n');
  supervisor[51 - 1] = 's';
  supervisor[52 - 1] = 's';
  t.b.emp.usuario(supervisor);  // user 1, key "clave1"
  t.b.emp.usuario(cajero);      // user 2, key "clave2"
  t.b.emp.sesion("2");
  t.abre();
  ASSERT_TRUE(t.c().nuevo());
  t.b.linea("1", "MART");
  ASSERT_TRUE(t.c().guarda());

  t.b.ui.respondeAdministrador({base::RespuestaAdministrador::OtraClave, "clave2"});
  EXPECT_FALSE(t.c().cancela());
  EXPECT_EQ(t.b.ui.mensajes(), V{"No se tiene acceso a esta opción"});
  EXPECT_EQ(t.encabezado({"STATU_F"}), "");

  t.b.ui.respondeAdministrador({base::RespuestaAdministrador::OtraClave, "clave1"});
  t.b.ui.respondeAdvertencia(base::RespuestaAdvertencia::Si);
  EXPECT_TRUE(t.c().cancela());
  EXPECT_EQ(t.encabezado({"STATU_F"}), "C");

  ASSERT_TRUE(t.c().nuevo());
  t.b.ui.respondeAdministrador({base::RespuestaAdministrador::OtraClave, "clave2"});
  EXPECT_FALSE(t.c().cambioPrecio());
  t.b.ui.respondeAdministrador({base::RespuestaAdministrador::OtraClave, "clave1"});
  EXPECT_TRUE(t.c().cambioPrecio());
}

}  // namespace
}  // namespace mostrador::sales
