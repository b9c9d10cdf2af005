// The cash register over a real company: the till record file, cash in and out, paying
// a document at a till, and the cuts with their summary (taxed base at the rate charged,
// invoiced notes, direct invoices, cancellations, withdrawals without a concept number)
// and the summaries that read the invoices with their auxiliary copy.

#include <gtest/gtest.h>

#include <set>

#include "banco_captura.h"
#include "printing/motor_formatos.h"
#include "support/estaciones.h"
#include "support/fakes_impresion.h"
#include "reports/reporte_sql.h"
#include "reports/visor_concentrado.h"
#include "sales/caja.h"
#include "sales/reportes_venta.h"
#include "base/numeros.h"
#include "base/rutas.h"
#include "base/texto.h"
#include "store/dbf/dbf_table.h"

namespace mostrador::sales {
namespace {

using base::RespuestaAdvertencia;
using prueba::Banco;
using V = std::vector<std::string>;

class DialogoAceptado : public reports::DialogoFiltro {
 public:
  bool pide(reports::FiltroReporte& f) override {
    f.inicial = base::Fecha{2025, 3, 15};
    f.final_ = base::Fecha{2025, 3, 15};
    return true;
  }
};

struct Caja : ::testing::Test {
  Banco b;
  DialogoAceptado dialogo;
  std::string datos{prueba::EmpresaVentas::kDatos};
  std::string sistema{prueba::EmpresaVentas::kSistema};

  void registro(const std::string& tabla, const std::vector<std::pair<std::string, std::string>>& campos) {
    dbf::Table t;
    t.open(datos, tabla);
    t.append();
    for (const auto& [c, v] : campos) {
      const int i = t.requireField(c);
      const char tipo = t.fieldDefs()[static_cast<size_t>(i)].type;
      if (tipo == 'N' || tipo == 'F') t.setFloat(i, std::stod(v));
      else if (tipo == 'D') t.setDate(i, dbf::Fecha{std::stoi(v.substr(6)), std::stoi(v.substr(3, 2)), std::stoi(v.substr(0, 2))});
      else t.setText(i, v);
    }
    t.post();
  }
  // A delivery note of the 15th with one line per (amount, tax rate), quantity 1.
  void nota(const std::string& numero, const std::vector<std::pair<double, double>>& lineas, std::string remis = {},
            std::string estado = {}) {
    double s = 0, i = 0;
    for (auto [importe, tasa] : lineas) {
      s += importe;
      i += importe * tasa / 100;
      registro("Remisiod.dbf", {{"CLDOC_FD", numero}, {"CLPRO_FD", "A"}, {"CANTI_FD", "1"},
                                {"PUNPR_FD", std::to_string(importe)}, {"IMPOR_FD", std::to_string(importe)},
                                {"PIVA1_FD", std::to_string(tasa)}, {"FEDOC_FD", "15/03/2025"}});
    }
    i = base::redondea(i, 2);
    std::vector<std::pair<std::string, std::string>> c = {
        {"CLDOC_F", numero}, {"CLCLI_F", "1"}, {"SUBTO_F", std::to_string(s)}, {"IMIM2_F", std::to_string(i)},
        {"IMTOD_F", std::to_string(s + i)}, {"FEDOC_F", "15/03/2025"}};
    if (!remis.empty()) c.push_back({"REMIS_F", remis});
    if (!estado.empty()) c.push_back({"STATU_F", estado});
    registro("Remision.dbf", c);
  }
  std::unique_ptr<reports::ReporteSql> corte(const char* comando = "CorteZ1") {
    ContextoVenta ctx{store::documento(store::Documento::Remision), datos, b.reloj};
    auto def = definicionReporteVenta(comando, ctx);
    EXPECT_TRUE(def);
    if (!def) return nullptr;
    reports::ContextoReporte c{sistema, datos, b.ui, &dialogo, &b.reloj};
    reports::ParametrosReporte p;
    p.definicion = def->texto;
    p.tabla = def->tabla;
    p.tipo = def->tipo;
    return reports::EjecutaReporte(c, comandoReporte(comando)->titulo, def->campoDocumento, def->campoFecha, p);
  }
  // The summary: the last 22 lines of a kind 1 cut.
  static V resumen(const reports::ReporteSql& r) {
    const V l = r.hoja().textos();
    return l.size() < 22 ? l : V(l.end() - 22, l.end());
  }
};

// ---- the till record ------------------------------------------------------------------

TEST_F(Caja, SinCajaCnfLaCajaYElVendedorQuedanVacios) {
  EXPECT_FALSE(base::existe(base::une(sistema, "caja.cnf")));
  const AjustesVenta a = b.emp.ajustes();
  EXPECT_EQ(a.caja, "");
  EXPECT_EQ(a.vendedorCaja, "");
  EXPECT_EQ(a.formatoCaja, "");
  FormaCaja f = abreFormaCaja(sistema);
  EXPECT_EQ(f.numero, "1");
  EXPECT_EQ(f.registro.caja, "");
  EXPECT_FALSE(leeCaja(sistema, 1));
}

TEST_F(Caja, ConfigurarCajaEscribeElRegistroEnSuPosicionYLoCreaSiFalta) {
  FormaCaja f = abreFormaCaja(sistema);
  f.numero = "2";
  f.registro = {"3", "V1", "ticket.fmt"};
  ASSERT_TRUE(guardaCaja(f, b.ui));
  // Two 36-byte records: the first empty, the second with its length-prefixed fields.
  const std::string bytes = base::leeBytes(base::une(sistema, "caja.cnf")).value();
  std::string esperado(72, '\0');
  esperado.replace(36, 2, "\x01" "3");
  esperado.replace(40, 3, "\x02" "V1");
  esperado.replace(46, 11, "\x0A" "ticket.fmt");
  EXPECT_EQ(bytes, esperado);

  // Too long texts are cut to their capacity; record 1 is what the screens start with.
  f.numero = "1";
  f.registro = {"12345", "VEN123", std::string(30, 'x')};
  ASSERT_TRUE(guardaCaja(f, b.ui));
  EXPECT_EQ(leeCaja(sistema, 1)->caja, "123");
  EXPECT_EQ(leeCaja(sistema, 1)->vendedor, "VEN12");
  EXPECT_EQ(leeCaja(sistema, 1)->formato, std::string(25, 'x'));
  const AjustesVenta a = b.emp.ajustes();
  EXPECT_EQ(a.caja, "123");
  EXPECT_EQ(a.vendedorCaja, "VEN12");

  FormaCaja g = abreFormaCaja(sistema);
  g.numero = "2";
  muestraCaja(g);
  EXPECT_EQ(g.registro.formato, "ticket.fmt");
  g.numero = "7";
  muestraCaja(g);
  EXPECT_EQ(g.registro.caja, "");

  g.numero = "0";
  EXPECT_FALSE(guardaCaja(g, b.ui));
  g.numero = "dos";
  EXPECT_FALSE(guardaCaja(g, b.ui));
  EXPECT_EQ(b.ui.mensajes(), (V{"El Número de Caja no es Válido", "El Número de Caja no es Válido"}));
  EXPECT_EQ(base::leeBytes(base::une(sistema, "caja.cnf"))->size(), 72u);
}

// ---- cash in and out ------------------------------------------------------------------

TEST_F(Caja, EntradasYSalidasSeNumeranSeFiltranPorModoYFechaYSeSuman) {
  // Left by an older version: no concept number. It is a withdrawal.
  registro("retiros.dbf", {{"CLDOC_F", "1"}, {"CONCEPTO", "Gasolina"}, {"CANTIDAD", "12.333"}, {"FEDOC_F", "15/03/2025"}});
  registro("retiros.dbf", {{"CLDOC_F", "2"}, {"CONCEPTO", "Ayer"}, {"CANTIDAD", "50"}, {"NUM_CONCEP", "1"},
                           {"FEDOC_F", "14/03/2025"}});
  NuevoEfectivo n{7.661, "Luz", {2025, 3, 15}, {9, 5, 7, 0}, "3", "V1"};
  EXPECT_EQ(registraEfectivo(datos, ModoEfectivo::Salida, n, b.ui).value_or(-1), 3);
  n.cantidad = 5;
  n.concepto = "Cambio";
  EXPECT_EQ(registraEfectivo(datos, ModoEfectivo::Entrada, n, b.ui).value_or(-1), 4);
  EXPECT_EQ(b.emp.filas("retiros.dbf", {"CLDOC_F", "FEDOC_F", "HORA", "CANTIDAD", "CONCEPTO", "NUM_CONCEP", "BCLIM_F", "CLVEN_F"}),
            (V{"1|15/03/2025||12.3330|Gasolina|||", "2|14/03/2025||50.0000|Ayer|1||",
               "3|15/03/2025|09:05:07|7.6610|Luz|1|3|V1", "4|15/03/2025|09:05:07|5.0000|Cambio|2|3|V1"}));

  const auto salidas = movimientosEfectivo(datos, ModoEfectivo::Salida, {2025, 3, 15});
  ASSERT_EQ(salidas.size(), 2u);
  EXPECT_EQ(salidas[0].numero, 1);
  EXPECT_FALSE(salidas[0].tipo);
  EXPECT_EQ(salidas[1].concepto, "Luz");
  // 12.333 + 7.661 = 19.994
  EXPECT_EQ(etiquetaRetiros(sumaEfectivo(salidas)), "Retiros  19.99");
  const auto entradas = movimientosEfectivo(datos, ModoEfectivo::Entrada, {2025, 3, 15});
  ASSERT_EQ(entradas.size(), 1u);
  EXPECT_EQ(entradas[0].numero, 4);
  EXPECT_EQ(etiquetaRetiros(sumaEfectivo(entradas)), "Retiros  5.00");
  EXPECT_TRUE(movimientosEfectivo(datos, ModoEfectivo::Salida, {2025, 3, 16}).empty());
  EXPECT_TRUE(b.ui.mensajes().empty());
}

TEST_F(Caja, DosEstacionesQueSacanEfectivoALaVezNuncaRepitenNumero) {
  auto estacion = [&](const char* caja) {
    return prueba::estacion([&, caja] {
      base::InteraccionSinUsuario mudo;
      for (int i = 0; i < 15; ++i)
        if (!registraEfectivo(datos, ModoEfectivo::Salida, {1, "x", {2025, 3, 15}, {}, caja, ""}, mudo)) return 1;
      return 0;
    });
  };
  const pid_t a = estacion("1"), c = estacion("2");
  EXPECT_EQ(prueba::espera(a), 0);
  EXPECT_EQ(prueba::espera(c), 0);
  const V numeros = b.emp.filas("retiros.dbf", {"CLDOC_F"});
  ASSERT_EQ(numeros.size(), 30u);
  std::set<std::string> distintos(numeros.begin(), numeros.end());
  EXPECT_EQ(distintos.size(), 30u);
  EXPECT_EQ(distintos.count("30"), 1u);
}

TEST_F(Caja, ConceptosYFormatosDelComprobante) {
  EXPECT_TRUE(conceptosEfectivo(sistema).empty());
  base::escribeLineas(base::une(sistema, "Salidas.cnf"), {"Gasolina", "Pago de luz"});
  EXPECT_EQ(conceptosEfectivo(sistema), (V{"Gasolina", "Pago de luz"}));
  EXPECT_FALSE(definicionCorteConRetiros(sistema, b.ui));
  EXPECT_EQ(b.ui.mensajes(), (V{"El Reporte \\report\\CorteCajaTVK No Existe"}));
  base::creaDirectorios(base::une(sistema, "report"));
  base::escribeLineas(base::une(sistema, "report\\CorteCajaTVK"), {"$Corte", "@"});
  EXPECT_EQ(definicionCorteConRetiros(sistema, b.ui).value_or(""), "$Corte\r@\r");
}

TEST_F(Caja, ElComprobanteSeImprimeConRetiroFmtYSinElSeAvisa) {
  NuevoEfectivo n{42.5, "Gasolina", {2025, 3, 15}, {9, 0, 0, 0}, "1", "V1"};
  const long long numero = registraEfectivo(datos, ModoEfectivo::Salida, n, b.ui).value_or(0);
  ASSERT_EQ(numero, 1);
  prueba::EntornoFalso entorno;
  prueba::ImpresoraFalsa impresora;
  prueba::ColaFalsa cola;
  printing::MotorFormatos motor{entorno, b.ui, b.reloj, impresora, cola};
  EXPECT_FALSE(imprimeComprobante(motor, sistema, datos, numero, b.ui));
  EXPECT_EQ(b.ui.mensajes(), (V{"El Formato \\consulta\\retiro.fmt No Existe"}));
  EXPECT_TRUE(impresora.llamadas.empty());

  b.ui.olvidaLlamadas();
  base::creaDirectorios(base::une(sistema, "consulta"));
  base::escribeLineas(base::une(sistema, "consulta\\retiro.fmt"), {"impresora,", "@10,5,CONCEPTO", "@10,6,CANTIDAD"});
  EXPECT_TRUE(imprimeComprobante(motor, sistema, datos, numero, b.ui));
  const V textos = impresora.con("texto");
  ASSERT_EQ(textos.size(), 2u) << ::testing::PrintToString(b.ui.llamadas());
  EXPECT_NE(textos[0].find("Gasolina"), std::string::npos) << textos[0];
  EXPECT_NE(textos[1].find("42.5"), std::string::npos) << textos[1];
  EXPECT_TRUE(b.ui.mensajes().empty());
}

// ---- pay and print --------------------------------------------------------------------

struct Pago : Caja {
  dbf::Table enc;
  std::vector<std::string> impresos;  // PAGOX_F as the document printed
  bool imprime = true;
  void SetUp() override {
    registro("Remision.dbf", {{"CLDOC_F", "1"}, {"CLCLI_F", "1"}, {"NOMBR_F", "Publico en General"}, {"IMTOD_F", "10"},
                              {"FEDOC_F", "15/03/2025"}});
    enc.open(datos, "Remision.dbf");
    enc.first();
  }
  PeticionPago peticion(std::string caja, bool acepta = true) {
    PeticionPago p;
    p.pagosEnCaja = true;
    p.nuevoDisponible = true;
    p.caja = std::move(caja);
    p.ventana = [this, acepta](std::string_view titulo, std::string_view texto, std::string_view cliente) {
      impresos.push_back("ventana " + std::string(titulo) + "|" + std::string(texto) + "|" + std::string(cliente));
      return acepta;
    };
    p.imprime = [this] {
      impresos.push_back(enc.asText("PAGOX_F"));
      return imprime;
    };
    return p;
  }
  std::vector<std::string> guardado() const { return b.emp.filas("Remision.dbf", {"PAGOX_F", "BCLIM_F", "TREGI_F"}); }
};

TEST_F(Pago, SinLaLinea62OSinNuevoDisponibleNoHaceNada) {
  PeticionPago p = peticion("1");
  p.pagosEnCaja = false;
  EXPECT_EQ(pagaEImprime(enc, datos, p, b.ui), ResultadoPago::Inactivo);
  p = peticion("1");
  p.nuevoDisponible = false;
  EXPECT_EQ(pagaEImprime(enc, datos, p, b.ui), ResultadoPago::Inactivo);
  EXPECT_TRUE(impresos.empty());
  EXPECT_TRUE(b.ui.llamadas().empty());
  EXPECT_EQ(guardado(), (V{"||"}));
}

TEST_F(Pago, PagarMarcaLaCajaImprimeYQuedaImpreso) {
  EXPECT_EQ(pagaEImprime(enc, datos, peticion("1"), b.ui), ResultadoPago::Pagado);
  EXPECT_EQ(impresos, (V{"ventana Pagar e Imprimir|Pagar e Imprimir el Documento   |Publico en General", "Pagada en 1"}));
  EXPECT_EQ(guardado(), (V{"Pagada en 1|1|I"}));
  EXPECT_TRUE(b.ui.llamadas().empty());
  EXPECT_EQ(cajaDePago(enc.asText("PAGOX_F")), "1");
}

TEST_F(Pago, PagarDosVecesPreguntaYReescribeConLaCajaActual) {
  ASSERT_EQ(pagaEImprime(enc, datos, peticion("1"), b.ui), ResultadoPago::Pagado);
  impresos.clear();
  // No: nothing more happens.
  b.ui.respondeAdvertencia(RespuestaAdvertencia::No);
  EXPECT_EQ(pagaEImprime(enc, datos, peticion("2"), b.ui), ResultadoPago::NoPagado);
  EXPECT_TRUE(impresos.empty());
  EXPECT_EQ(guardado(), (V{"Pagada en 1|1|I"}));
  // Yes: paid again at this till.
  b.ui.respondeAdvertencia(RespuestaAdvertencia::Si);
  EXPECT_EQ(pagaEImprime(enc, datos, peticion("2"), b.ui), ResultadoPago::Pagado);
  EXPECT_EQ(b.ui.llamadas(), (V{"advertencia: El documento ya se Pago desea volver a pagarlo?",
                                "advertencia: El documento ya se Pago desea volver a pagarlo?"}));
  EXPECT_EQ(guardado(), (V{"Pagada en 2|2|I"}));
  EXPECT_EQ(impresos.back(), "Pagada en 2");
}

TEST_F(Pago, VentanaCanceladaNoPagaEImpresionFallidaNoMarcaImpreso) {
  EXPECT_EQ(pagaEImprime(enc, datos, peticion("1", false), b.ui), ResultadoPago::NoPagado);
  EXPECT_EQ(guardado(), (V{"||"}));
  imprime = false;
  EXPECT_EQ(pagaEImprime(enc, datos, peticion("4"), b.ui), ResultadoPago::Pagado);
  EXPECT_EQ(guardado(), (V{"Pagada en 4|4|"}));
}

TEST_F(Pago, PagadosYNoPagadosDeUnaCaja) {
  ASSERT_EQ(pagaEImprime(enc, datos, peticion("2"), b.ui), ResultadoPago::Pagado);
  registro("Remision.dbf", {{"CLDOC_F", "2"}, {"NOMBR_F", "Sin pagar"}, {"IMTOD_F", "7"}, {"FEDOC_F", "15/03/2025"}});
  registro("Remision.dbf", {{"CLDOC_F", "3"}, {"NOMBR_F", "Otra caja"}, {"IMTOD_F", "9"}, {"PAGOX_F", "Pagada en 1"},
                            {"FEDOC_F", "15/03/2025"}});
  b.ui.respondeTexto(std::string("2"));
  const auto caja = pideCajaDocumentos(b.ui);
  EXPECT_EQ(b.ui.llamadas(), (V{"texto: No de Caja / Caja No.  [1]"}));
  auto lista = [&](const char* cmd) {
    ContextoVenta ctx{store::documento(store::Documento::Remision), datos, b.reloj, *caja};
    auto def = definicionReporteVenta(cmd, ctx);
    reports::ContextoReporte c{sistema, datos, b.ui, nullptr, &b.reloj};
    reports::ParametrosReporte p;
    p.definicion = def->texto;
    p.muestraFiltro = false;
    auto r = reports::EjecutaReporte(c, "x", def->campoDocumento, def->campoFecha, p);
    return r->total(0, 2);
  };
  EXPECT_DOUBLE_EQ(lista("DocumentosPagados1"), 10);
  EXPECT_DOUBLE_EQ(lista("DocumentosnoPagados1"), 7);
}

// ---- the Z cut ------------------------------------------------------------------------

TEST_F(Caja, CorteZUnaRemisionDe115UnRetiroDe20YUnaEntradaDe5) {
  nota("1", {{100, 15}});
  registro("retiros.dbf", {{"CLDOC_F", "1"}, {"CANTIDAD", "20"}, {"NUM_CONCEP", "1"}, {"FEDOC_F", "15/03/2025"}});
  registro("retiros.dbf", {{"CLDOC_F", "2"}, {"CANTIDAD", "5"}, {"NUM_CONCEP", "2"}, {"FEDOC_F", "15/03/2025"}});
  auto r = corte();
  ASSERT_TRUE(r);
  const V s = resumen(*r);
  EXPECT_EQ(s[0], "Total Remisiones(GRABADO)         100.00");
  EXPECT_EQ(s[1], "Total Remisiones(NO GRABADO)        0.00");
  EXPECT_EQ(s[2], "Impuesto de Remisiones             15.00");
  EXPECT_EQ(s[4], "Total de Remisiones               115.00");
  EXPECT_EQ(s[18], "Total de Retiros               20.00");
  EXPECT_EQ(s[19], "Total de Entradas               5.00");
  EXPECT_EQ(s[21], "TOTAL EN CAJA                 100.00");
  // Each document shows its taxed base after its FPGC.
  const V l = r->hoja().textos();
  EXPECT_EQ(l[1], "DOCUMENTOS  CLAVE        IMPORTE       SUBTOTAL      IMPUESTO      FECHA      FPGC         GRABADO     ");
  EXPECT_EQ(l[4], "      1     1                  115.00        100.00         15.00  15/03/2025         0.00       100.00 ");
  EXPECT_TRUE(b.ui.mensajes().empty());
}

TEST_F(Caja, ElGrabadoSaleDeLaTasaCobradaEnCadaPartida) {
  // 79.66 without tax and 74.38 at the shop's 16 %, saved by the sales engine.
  b.producto("EXENTO", 10, 79.66, 0);
  b.producto("GRAVADO", 10, 74.38, 16);
  CapturaVenta& c = b.abre();
  ASSERT_TRUE(c.nuevo());
  c.saleCliente();
  b.linea("1", "EXENTO");
  b.linea("1", "GRAVADO");
  ASSERT_TRUE(c.guarda());
  ASSERT_EQ(b.emp.filas("Remision.dbf", {"SUBTO_F", "IMIM2_F"}), (V{"154.0400|11.9000"}));
  b.ui.olvidaLlamadas();
  auto r = corte();
  ASSERT_TRUE(r);
  const V s = resumen(*r);
  EXPECT_EQ(s[0], "Total Remisiones(GRABADO)          74.38");
  EXPECT_EQ(s[1], "Total Remisiones(NO GRABADO)       79.66");
  EXPECT_EQ(s[2], "Impuesto de Remisiones             11.90");
  EXPECT_EQ(s[4], "Total de Remisiones               165.94");

  // Two rates in one note: each line's base at its own rate, none guessed from the tax.
  nota("2", {{50, 8}, {30, 16}, {20, 0}});
  r = corte();
  ASSERT_TRUE(r);
  EXPECT_EQ(resumen(*r)[0], "Total Remisiones(GRABADO)         154.38");
  EXPECT_EQ(resumen(*r)[1], "Total Remisiones(NO GRABADO)       99.66");
}

TEST_F(Caja, UnDescuentoDelDocumentoBajaLaBaseYUnaTasaDelDocumentoGravaTodo) {
  nota("1", {{100, 16}, {100, 0}});
  {
    dbf::Table t;
    t.open(datos, "Remision.dbf");
    t.first();
    t.edit();
    t.setFloat("DESFI_F", 10);
    t.post();
  }
  nota("2", {{40, 0}});
  {
    dbf::Table t;
    t.open(datos, "Remision.dbf");
    t.last();
    t.edit();
    t.setFloat("IMIM1_F", 16);
    t.post();
  }
  auto r = corte();
  ASSERT_TRUE(r);
  // 100 less 10 % from note 1, and the whole 40 of note 2.
  EXPECT_DOUBLE_EQ(r->total(0, 7), 130);
}

TEST_F(Caja, CadaDocumentoEnSuSeccion) {
  nota("1", {{10, 0}});                       // a note
  nota("2", {{30, 16}}, "5");                 // invoiced into invoice 5
  nota("3", {{50, 0}}, "", "C");              // cancelled
  nota("4", {{70, 0}}, "6", "C");             // cancelled after being invoiced
  // Invoice 5 from note 2, kept in the invoices and in the auxiliary copy; invoice 7 made
  // directly; invoice 8 a closing invoice.
  for (const char* t : {"FacturaE.dbf", "FactAuxi.dbf"})
    registro(t, {{"CLDOC_F", "5"}, {"IMTOD_F", "34.8"}, {"SUBTO_F", "30"}, {"FEDOC_F", "15/03/2025"}});
  registro("FacturaE.dbf", {{"CLDOC_F", "7"}, {"IMTOD_F", "11.6"}, {"SUBTO_F", "10"}, {"IMIM2_F", "1.6"},
                            {"FEDOC_F", "15/03/2025"}});
  registro("FacturaD.dbf", {{"CLDOC_FD", "7"}, {"CANTI_FD", "1"}, {"PUNPR_FD", "10"}, {"PIVA1_FD", "16"}});
  registro("FacturaE.dbf", {{"CLDOC_F", "8"}, {"IMTOD_F", "99"}, {"CLPED_F", "CI(1-1)"}, {"FEDOC_F", "15/03/2025"}});
  registro("Devoluc.dbf", {{"CLDOC_F", "1"}, {"IMTOD_F", "4"}, {"SUBTO_F", "4"}, {"FEDOC_F", "15/03/2025"}});
  registro("retiros.dbf", {{"CLDOC_F", "1"}, {"CONCEPTO", "Sin numero"}, {"CANTIDAD", "3"}, {"FEDOC_F", "15/03/2025"}});
  registro("retiros.dbf", {{"CLDOC_F", "2"}, {"CANTIDAD", "2"}, {"NUM_CONCEP", "2"}, {"FEDOC_F", "15/03/2025"}});
  auto r = corte();
  ASSERT_TRUE(r);
  EXPECT_DOUBLE_EQ(r->total(0, 2), 10);   // REMISIONES
  EXPECT_DOUBLE_EQ(r->total(1, 2), 34.8); // FACTURADAS DESDE REMISION: the invoiced note once
  EXPECT_DOUBLE_EQ(r->total(1, 7), 30);
  EXPECT_DOUBLE_EQ(r->total(2, 2), 11.6); // FACTURADAS DIRECTAMENTE: invoice 7 only
  EXPECT_DOUBLE_EQ(r->total(2, 7), 10);
  EXPECT_DOUBLE_EQ(r->total(3, 2), 120);  // CANCELADAS: notes 3 and 4
  EXPECT_DOUBLE_EQ(r->total(4, 2), 4);    // DEVOLUCIONES
  EXPECT_DOUBLE_EQ(r->total(5, 2), 3);    // RETIROS: the blank concept number too
  EXPECT_DOUBLE_EQ(r->total(6, 2), 2);    // ENTRADAS
  const V s = resumen(*r);
  EXPECT_EQ(s[6], "Total Facturas (GRABADO)           30.00");
  EXPECT_EQ(s[7], "Total Facturas (NO GRABADO)         0.00");
  EXPECT_EQ(s[11], "Facturas Directas (GRABADO)        10.00");
  EXPECT_EQ(s[12], "Facturas Directas (NO GRABADO)        0.00");
  EXPECT_EQ(s[16], "Total de Cancelaciones        120.00");
  // 10 + 34.8 - 4 - 3 + 2
  EXPECT_EQ(s[21], "TOTAL EN CAJA                  39.80");
  // The listing: each document once, under its own heading.
  const V l = r->hoja().textos();
  auto filasDe = [&](const std::string& titulo) {
    V f;
    size_t i = 0;
    while (i < l.size() && l[i].rfind("*Reporte de " + titulo, 0) != 0) ++i;
    for (i += 4; i < l.size() && l[i].find("_____") == std::string::npos; ++i) f.push_back(l[i].substr(0, 7));
    return f;
  };
  EXPECT_EQ(filasDe(" REMISIONES "), (V{"      1"}));
  EXPECT_EQ(filasDe(" FACTURADAS DESDE REMISION"), (V{"      2"}));
  EXPECT_EQ(filasDe(" FACTURADAS DIRECTAMENTE "), (V{"      7"}));
  EXPECT_EQ(filasDe(" CANCELADAS "), (V{"      3", "      4"}));
  EXPECT_EQ(filasDe(" RETIROS "), (V{"      1"}));
  EXPECT_TRUE(b.ui.mensajes().empty());
}

TEST_F(Caja, UnaFacturaDeUnaRemisionNoEsDirecta) {
  b.producto("A", 10, 100, 16);
  CapturaVenta& c = b.abre();
  ASSERT_TRUE(c.nuevo());
  c.saleCliente();
  b.linea("1", "A");
  ASSERT_TRUE(c.guarda());
  b.ui.respondeAdvertencia(RespuestaAdvertencia::Si);
  ASSERT_TRUE(c.facturaRemision(false));
  ASSERT_EQ(b.emp.filas("Remision.dbf", {"CLDOC_F", "REMIS_F"}), (V{"1|1"}));
  ASSERT_EQ(b.emp.filas("FacturaE.dbf", {"CLDOC_F", "CLPED_F", "IMTOD_F"}), (V{"1||116.0000"}));
  b.ui.olvidaLlamadas();
  auto r = corte();
  ASSERT_TRUE(r);
  EXPECT_DOUBLE_EQ(r->total(0, 2), 0);
  EXPECT_DOUBLE_EQ(r->total(1, 2), 116);
  EXPECT_DOUBLE_EQ(r->total(2, 2), 0);
  EXPECT_EQ(resumen(*r)[21], "TOTAL EN CAJA                 116.00");
}

TEST_F(Caja, ElResumenDelCorteZResumenVaBajoLaPrimeraLinea) {
  nota("1", {{100, 15}});
  auto r = corte("CorteZRESUMEN1");
  ASSERT_TRUE(r);
  EXPECT_EQ(r->hoja().lineas()[1], (reports::LineaHoja{"Total Remisiones(GRABADO)         100.00", reports::kNegroHoja, 12}));
  EXPECT_EQ(r->hoja().lineas()[22], (reports::LineaHoja{"TOTAL EN CAJA                 115.00", reports::kNegroHoja, 12}));
}

// ---- summaries over the invoices and their copy ---------------------------------------

TEST_F(Caja, UnDocumentoEnLasFacturasYEnSuCopiaCuentaUnaVez) {
  for (const char* t : {"FacturaE.dbf", "FactAuxi.dbf"}) {
    registro(t, {{"CLDOC_F", "1"}, {"IMTOD_F", "100"}, {"SUBTO_F", "100"}, {"BCLIM_F", "1"}, {"FEDOC_F", "15/03/2025"}});
    // Cancelled in the invoices after its copy was made: it counts nowhere.
    registro(t, {{"CLDOC_F", "2"}, {"IMTOD_F", "40"}, {"SUBTO_F", "40"}, {"BCLIM_F", "1"},
                 {"STATU_F", std::string(t) == "FacturaE.dbf" ? "C" : ""}, {"FEDOC_F", "15/03/2025"}});
  }
  // Only in the copy: it counts.
  registro("FactAuxi.dbf", {{"CLDOC_F", "3"}, {"IMTOD_F", "7"}, {"SUBTO_F", "7"}, {"BCLIM_F", "2"}, {"FEDOC_F", "15/03/2025"}});
  // A return numbered like an invoice is another document.
  registro("Devoluc.dbf", {{"CLDOC_F", "1"}, {"IMTOD_F", "10"}, {"SUBTO_F", "10"}, {"BCLIM_F", "1"}, {"FEDOC_F", "15/03/2025"}});
  ContextoVenta ctx{store::documento(store::Documento::Factura), datos, b.reloj};
  auto leer = [&](const char* cmd) {
    auto c = concentradoVenta(cmd, ctx, "01/03/2025", "31/03/2025");
    EXPECT_TRUE(c) << cmd;
    EXPECT_EQ(ejecutaConcentradoVenta(*c, sistema, datos, b.ui), reports::ResultadoConcentrado::Hecho);
    reports::VisorConcentrado v(sistema, c->caption);
    EXPECT_TRUE(v.abre());
    V r;
    for (int i = 0; i < v.registros(); ++i) r.push_back(v.registro(i)->clave + "|" + v.registro(i)->clave2 + "|" + v.registro(i)->valores[0] + "|" + v.registro(i)->valores[1]);
    return r;
  };
  // 100 + 7 - 10
  EXPECT_EQ(leer("VentasporDa1"), (V{"2025/03/15||97|0"}));
  EXPECT_EQ(leer("VentasporCaja1"), (V{"1|1|100.0000|100.0000", "1|1|-10.0000|-10.0000", "2|3|7.0000|7.0000"}));
  EXPECT_EQ(leer("CortedeCaja1"), (V{"2025/03/15|1||100.0000", "2025/03/15|3||7.0000", "2025/03/15|1||-10.0000"}));
  EXPECT_TRUE(b.ui.mensajes().empty());
}

TEST_F(Caja, SinLaTablaDeFacturasSuCopiaSeLeeEntera) {
  registro("FactAuxi.dbf", {{"CLDOC_F", "1"}, {"IMTOD_F", "100"}, {"FEDOC_F", "15/03/2025"}});
  // The return shares the copy's number; it is still taken off.
  registro("Devoluc.dbf", {{"CLDOC_F", "1"}, {"IMTOD_F", "10"}, {"FEDOC_F", "15/03/2025"}});
  ASSERT_TRUE(base::borra(base::une(datos, "FacturaE.dbf")));
  base::borra(base::une(datos, "FacturaE.mdx"));
  auto c = concentradoVenta("VentasporDa1", ContextoVenta{store::documento(store::Documento::Factura), datos, b.reloj},
                            "01/03/2025", "31/03/2025");
  ASSERT_EQ(ejecutaConcentradoVenta(*c, sistema, datos, b.ui), reports::ResultadoConcentrado::Hecho);
  reports::VisorConcentrado v(sistema, c->caption);
  ASSERT_TRUE(v.abre());
  ASSERT_EQ(v.registros(), 1);
  EXPECT_EQ(v.registro(0)->valores[0], "90");
}

}  // namespace
}  // namespace mostrador::sales
