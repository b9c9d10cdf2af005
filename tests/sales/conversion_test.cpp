// Conversions: invoicing delivery notes one by one, by range and by closing invoice,
// exact copies and documents generated from another, with what each leaves in the
// tables and in the buffer files.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "sales/captura.h"
#include "base/rutas.h"
#include "base/texto.h"
#include "store/dbf/dbf_table.h"
#include "support/dialogos_venta_falsos.h"
#include "support/empresa_ventas.h"
#include "support/entorno.h"
#include "support/interaccion_fake.h"
#include "support/reloj_fijo.h"

namespace mostrador::prueba {
namespace {

using sales::CapturaVenta;
using sales::TipoVenta;
using base::RespuestaAdvertencia;
using Lineas = std::vector<std::pair<std::string, std::string>>;  // quantity, key

constexpr std::string_view kSistema = EmpresaVentas::kSistema;
constexpr std::string_view kDatos = EmpresaVentas::kDatos;
const std::string kError = "No Pueden Guardarse los Datos ha Ocurrido un Error";

base::FechaHora el(int dia, int hora = 10) { return {{2025, 6, dia}, {hora, 0, 0, 0}}; }

class Conversion : public ::testing::Test {
 protected:
  Conversion() {
    ProductoVenta martillo;
    martillo.clave = "P1";
    martillo.codigo = "7501000000011";
    martillo.descripcion = "Martillo de una";
    martillo.existencia = 50;
    martillo.precio = 100;
    martillo.impuesto = 16;
    martillo.costoPromedio = 58;  // 50 without tax
    empresa.producto(martillo);
    ProductoVenta clavos;
    clavos.clave = "P2";
    clavos.descripcion = "Clavo de 2 pulgadas";
    clavos.unidad = "KG";
    clavos.existencia = 1000;
    clavos.precio = 2.5;
    clavos.impuesto = 16;
    clavos.costoPromedio = 1.16;  // 1 without tax
    empresa.producto(clavos);
    empresa.cliente("C1", "Ferreteria Lopez");
    empresa.sesion("0");
    cap = std::make_unique<CapturaVenta>(empresa.ajustes(), ui, dlg, reloj);
    cap->abre();
  }

  // Captures and saves a document of the current type through the screen's steps.
  long long documento(std::string_view cliente, const Lineas& lineas) {
    EXPECT_TRUE(cap->nuevo());
    cap->campos().cliente = std::string(cliente);
    cap->saleCliente();
    cap->campos().vendedor = "V1";
    cap->saleVendedor();
    for (const auto& [cantidad, clave] : lineas) {
      cap->ponCelda(sales::kCantidad, cantidad);
      cap->ponCelda(sales::kClave, clave);
      cap->entraColumna(sales::kProducto);
    }
    EXPECT_TRUE(cap->guarda());
    return cap->encabezado().asInteger("CLDOC_F");
  }

  // Marks one stored line of a delivery note (TREGI_FD).
  void marcaLinea(long long nota, std::string_view clave, std::string_view marca) {
    dbf::Table d;
    d.open(kDatos, "Remisiod.dbf");
    for (d.first(); !d.eof(); d.next()) {
      if (d.asText("CLDOC_FD") == std::to_string(nota) && d.asText("CLPRO_FD") == clave) {
        d.edit();
        d.setText("TREGI_FD", marca);
        d.post();
        return;
      }
    }
    FAIL() << "sin partida " << clave << " en la remisión " << nota;
  }

  std::vector<std::string> remisiones() const {
    return empresa.filas("Remision.dbf", {"CLDOC_F", "CLCLI_F", "REMIS_F"});
  }
  std::vector<std::string> partidasRemision() const {
    return empresa.filas("Remisiod.dbf", {"CLDOC_FD", "CLPRO_FD", "CANTI_FD", "TREGI_FD", "TDOCU_FD"});
  }
  std::vector<std::string> facturas() const {
    return empresa.filas("FacturaE.dbf", {"CLDOC_F", "CLCLI_F", "NOMBR_F", "CLVEN_F", "FEDOC_F", "CLPED_F",
                                          "SUBTO_F", "IMIM1_F", "IMIM2_F", "IMTOD_F"});
  }
  std::vector<std::string> partidasFactura() const {
    return empresa.filas("FacturaD.dbf",
                         {"CLDOC_FD", "CLPRO_FD", "DEPRO_FD", "CANTI_FD", "PUNPR_FD", "COPRO_FD",
                          "PIVA1_FD", "UNIDA_FD"});
  }
  size_t movimientos() const { return empresa.filas("movinven.dbf", {"CLDOC_MI"}).size(); }
  std::string archivo(std::string_view nombre) const {
    return base::leeBytes(base::une(kSistema, nombre)).value_or("(no existe)");
  }

  DirectorioTemporal dir;
  EmpresaVentas empresa;
  InteraccionFalsa ui;
  DialogosVentaFalsos dlg;
  RelojFijo reloj{el(30)};
  std::unique_ptr<CapturaVenta> cap;
};

// ---- invoicing one delivery note ------------------------------------------------------

TEST_F(Conversion, FacturarUnaRemisionGuardaLaFacturaZYMarcaElOrigen) {
  const long long nota = documento("C1", {{"2", "P1"}, {"10", "P2"}});
  ASSERT_EQ(nota, 1);
  const size_t movimientosNota = movimientos();
  ASSERT_EQ(movimientosNota, 2u);
  const double saldo = empresa.numero("cliente.dbf", "CLCLI_C", "C1", "SALDO_C");

  ui.respondeAdvertencia(RespuestaAdvertencia::Si);
  EXPECT_TRUE(cap->facturaRemision(false));

  // Back on the note, the new invoice's number is said.
  EXPECT_EQ(ui.llamadas(), (std::vector<std::string>{"advertencia: Esta Seguro que Desea GENERAR LA FACTURA ?",
                                                     "mensaje: Se generó la Factura 1"}));
  EXPECT_EQ(facturas(), (std::vector<std::string>{"1|C1|Ferreteria Lopez|V1|30/06/2025||225.0000|"
                                                  "0.0000|36.0000|261.0000"}));
  EXPECT_EQ(partidasFactura(),
            (std::vector<std::string>{"1|P1|Martillo de una|2.000|100.0000|50.0000|16.0000|PZA",
                                      "1|P2|Clavo de 2 pulgadas|10.000|2.5000|1.0000|16.0000|KG"}));
  // Letter Z: no stock taken twice, no movements, the customer is charged the sub-total.
  EXPECT_EQ(movimientos(), movimientosNota);
  EXPECT_EQ(empresa.numero("inventar.dbf", "CLPRO_I", "P1", "EXIST_I"), 48);
  EXPECT_EQ(empresa.numero("cliente.dbf", "CLCLI_C", "C1", "SALDO_C"), saldo + 225);
  // The note points at its invoice; the screen is back on it.
  EXPECT_EQ(remisiones(), (std::vector<std::string>{"1|C1|1"}));
  EXPECT_EQ(partidasRemision(),
            (std::vector<std::string>{"1|P1|2.000||F1", "1|P2|10.000||F1"}));
  EXPECT_EQ(cap->tipo(), TipoVenta::Remision);
  EXPECT_EQ(cap->campos().numero, "1");
  EXPECT_FALSE(cap->enCaptura());

  // The buffer files hold what the invoice was made of.
  EXPECT_EQ(archivo("buferenc.tmp"),
            "1\r\nC1\r\nFerreteria Lopez\r\nCalle C1\r\n\r\nMonterrey\r\nXAXX010101000\r\n"
            "64000\r\nV1\r\n5\r\n30/06/2025\r\n0\r\n0\r\n\r\n");
  EXPECT_EQ(archivo("bufer.tmp"),
            "2\r\n\r\nP1\r\nMartillo de una\r\n100\r\n0\r\n50\r\nPZA\r\n16\r\n0\r\n"
            "10\r\n\r\nP2\r\nClavo de 2 pulgadas\r\n2.5\r\n0\r\n1\r\nKG\r\n16\r\n0\r\n");

  // A second time it is refused and nothing more is written.
  ui.olvidaLlamadas();
  ui.respondeAdvertencia(RespuestaAdvertencia::Si);
  EXPECT_FALSE(cap->facturaRemision(false));
  EXPECT_EQ(ui.mensajes(), (std::vector<std::string>{"El Documento ya se FACTURO..."}));
  EXPECT_EQ(facturas().size(), 1u);
  EXPECT_EQ(empresa.numero("cliente.dbf", "CLCLI_C", "C1", "SALDO_C"), saldo + 225);
}

TEST_F(Conversion, FacturarEImprimirImprimeLaFacturaConSuFormato) {
  documento("C1", {{"1", "P1"}});
  ui.respondeAdvertencia(RespuestaAdvertencia::Si);
  EXPECT_TRUE(cap->facturaRemision(true));
  EXPECT_EQ(dlg.llamadas, (std::vector<std::string>{"imprime: C:\\tvk\\consulta\\Factura.fmt"}));
  EXPECT_EQ(remisiones(), (std::vector<std::string>{"1|C1|1"}));
}

TEST_F(Conversion, FacturarSeDetieneSinConfirmacionOSinCliente) {
  documento("C1", {{"1", "P1"}});
  ui.respondeAdvertencia(RespuestaAdvertencia::No);
  EXPECT_FALSE(cap->facturaRemision(false));
  EXPECT_TRUE(ui.mensajes().empty());
  EXPECT_TRUE(facturas().empty());

  // A customer key nobody registered: nothing is created, not even the buffers.
  documento("X9", {{"1", "P2"}});
  ui.respondeAdvertencia(RespuestaAdvertencia::Si);
  EXPECT_FALSE(cap->facturaRemision(false));
  EXPECT_EQ(ui.mensajes(), (std::vector<std::string>{
                               "La Clave del Cliente no EXISTE es necesario darla de alta para Facturar"}));
  EXPECT_TRUE(facturas().empty());
  EXPECT_FALSE(base::existe(base::une(kSistema, "bufer.tmp")));
  EXPECT_EQ(remisiones(), (std::vector<std::string>{"1|C1|", "2|X9|"}));
}

TEST_F(Conversion, SiNoSePuedenEscribirLosBuferesNoSeFactura) {
  documento("C1", {{"1", "P1"}});
  ASSERT_TRUE(base::creaDirectorios(base::une(kSistema, "buferenc.tmp")));
  ui.respondeAdvertencia(RespuestaAdvertencia::Si);
  EXPECT_FALSE(cap->facturaRemision(false));
  EXPECT_EQ(ui.mensajes(), (std::vector<std::string>{kError}));
  EXPECT_TRUE(facturas().empty());
  EXPECT_EQ(remisiones(), (std::vector<std::string>{"1|C1|"}));
  EXPECT_EQ(partidasRemision(), (std::vector<std::string>{"1|P1|1.000||"}));
}

TEST_F(Conversion, SiOtraEstacionTieneLaRemisionLaFacturaQuedaYElOrigenSinConvertir) {
  documento("C1", {{"1", "P1"}, {"3", "P2"}});
  dbf::Table otra;  // another station editing the note's header
  otra.open(kDatos, "Remision.dbf");
  otra.first();
  otra.edit();

  ui.respondeAdvertencia(RespuestaAdvertencia::Si);
  EXPECT_FALSE(cap->facturaRemision(false));
  EXPECT_EQ(ui.mensajes(), (std::vector<std::string>{kError}));
  EXPECT_EQ(facturas().size(), 1u);
  otra.cancel();
  otra.close();
  EXPECT_EQ(remisiones(), (std::vector<std::string>{"1|C1|"}));
  EXPECT_EQ(partidasRemision(), (std::vector<std::string>{"1|P1|1.000||", "1|P2|3.000||"}));

  // Still unconverted, so it can be invoiced once the other station lets go.
  ui.olvidaLlamadas();
  ui.respondeAdvertencia(RespuestaAdvertencia::Si);
  EXPECT_TRUE(cap->facturaRemision(false));
  EXPECT_EQ(remisiones(), (std::vector<std::string>{"1|C1|2"}));
  EXPECT_EQ(partidasRemision(), (std::vector<std::string>{"1|P1|1.000||F2", "1|P2|3.000||F2"}));
}

TEST_F(Conversion, UnaPartidaRetenidaDejaSinMarcaLasYaMarcadas) {
  documento("C1", {{"1", "P1"}, {"3", "P2"}});
  dbf::Table otra;  // another station editing the note's second line
  otra.open(kDatos, "Remisiod.dbf");
  otra.last();
  otra.edit();

  ui.respondeAdvertencia(RespuestaAdvertencia::Si);
  EXPECT_FALSE(cap->facturaRemision(false));
  EXPECT_EQ(ui.mensajes(), (std::vector<std::string>{kError}));
  otra.cancel();
  otra.close();
  EXPECT_EQ(facturas().size(), 1u);
  // The first line had been marked already: it is put back.
  EXPECT_EQ(partidasRemision(), (std::vector<std::string>{"1|P1|1.000||", "1|P2|3.000||"}));
  EXPECT_EQ(remisiones(), (std::vector<std::string>{"1|C1|"}));
}

// ---- closing invoice --------------------------------------------------------------------

class FacturaCierre : public Conversion {
 protected:
  // Notes 1 (28 June), 2 and 3 (29 June), 4 (30 June); note 3 invoiced on its own
  // (invoice 1) and one line of note 4 cancelled.
  void notas() {
    reloj.pon(el(28));
    documento("C1", {{"1", "P1"}});
    reloj.pon(el(29));
    documento("C1", {{"3", "P2"}});
    documento("1", {{"1", "P1"}, {"2", "P2"}});
    reloj.pon(el(30));
    documento("1", {{"4", "P2"}, {"1", "P1"}});
    marcaLinea(4, "P1", "C");
    cap->buscaDocumento(3);
    ui.respondeAdvertencia(RespuestaAdvertencia::Si);
    ASSERT_TRUE(cap->facturaRemision(false));
    ui.olvidaLlamadas();
  }
};

TEST_F(FacturaCierre, JuntaLasPartidasSinFacturarDesdeLaFechaYMarcaCadaRemision) {
  notas();
  cap->campos().tasa = "10";  // the document tax rate typed on screen
  dlg.fechas.push_back(std::pair{base::Fecha{2025, 6, 29}, base::Fecha{2025, 6, 29}});
  ui.respondeAdvertencia(RespuestaAdvertencia::Si);
  EXPECT_TRUE(cap->facturaCierre());

  EXPECT_EQ(ui.llamadas(),
            (std::vector<std::string>{
                "mensaje: Genero la Factura 2 Puede Revisarla en el Módulo de Facturación de TVK",
                "advertencia: Desea Imprimir la Factura?"}));
  EXPECT_EQ(dlg.llamadas, (std::vector<std::string>{
                              "rango fechas", "imprime: C:\\tvk\\consulta\\FacturaCierre.fmt"}));
  // Lines of notes 2 and 4 (3 was invoiced, 1 is before the date, the cancelled line
  // stays out): 7 kg at 2.50 = 17.50, 10 % of it as tax.
  const auto f = facturas();
  ASSERT_EQ(f.size(), 2u);
  EXPECT_EQ(f[1], "2|100|Publico en General|V1|29/06/2025|CI(2-4)|17.5000|10.0000|1.7500|19.2500");
  EXPECT_EQ(partidasFactura()[2], "2|P2|Clavo de 2 pulgadas|3.000|2.5000|1.0000|16.0000|KG");
  EXPECT_EQ(partidasFactura()[3], "2|P2|Clavo de 2 pulgadas|4.000|2.5000|1.0000|16.0000|KG");
  EXPECT_EQ(partidasFactura().size(), 4u);
  EXPECT_EQ(remisiones(), (std::vector<std::string>{"1|C1|", "2|C1|2", "3|1|1", "4|1|2"}));
  EXPECT_EQ(cap->tipo(), TipoVenta::Remision);

  // Again over the same dates: every note is invoiced, nothing is created.
  ui.olvidaLlamadas();
  dlg.llamadas.clear();
  dlg.fechas.push_back(std::pair{base::Fecha{2025, 6, 29}, base::Fecha{2025, 6, 29}});
  EXPECT_FALSE(cap->facturaCierre());
  EXPECT_EQ(ui.mensajes(),
            (std::vector<std::string>{"No hay Partidas para estas Fechas, puede ser que ya se "
                                      "Genero la Factura de Cierre"}));
  EXPECT_EQ(dlg.llamadas, (std::vector<std::string>{"rango fechas"}));
  EXPECT_EQ(facturas().size(), 2u);
  EXPECT_EQ(remisiones(), (std::vector<std::string>{"1|C1|", "2|C1|2", "3|1|1", "4|1|2"}));
}

TEST_F(FacturaCierre, CanceladoOFechaPosteriorALaUltimaNoGeneranNada) {
  notas();
  EXPECT_FALSE(cap->facturaCierre());  // the range dialog was cancelled
  EXPECT_EQ(dlg.llamadas, (std::vector<std::string>{"rango fechas"}));

  // The last note is of 30 June: from 1 July no note qualifies.
  dlg.fechas.push_back(std::pair{base::Fecha{2025, 7, 1}, base::Fecha{2025, 7, 1}});
  EXPECT_FALSE(cap->facturaCierre());
  EXPECT_EQ(ui.mensajes(),
            (std::vector<std::string>{"No hay Partidas para estas Fechas, puede ser que ya se "
                                      "Genero la Factura de Cierre"}));
  EXPECT_EQ(facturas().size(), 1u);
  EXPECT_EQ(remisiones(), (std::vector<std::string>{"1|C1|", "2|C1|", "3|1|1", "4|1|"}));
}

TEST_F(FacturaCierre, UnaPartidaYaJuntadaAvisaYQuedaFuera) {
  documento("C1", {{"2", "P1"}, {"5", "P2"}});
  marcaLinea(1, "P1", "F");
  dlg.fechas.push_back(std::pair{base::Fecha{2025, 6, 30}, base::Fecha{2025, 6, 30}});
  ui.respondeAdvertencia(RespuestaAdvertencia::No);
  EXPECT_TRUE(cap->facturaCierre());
  EXPECT_EQ(ui.mensajes(),
            (std::vector<std::string>{
                "Existe una Factura de Cierre para esta Fecha...",
                "Genero la Factura 1 Puede Revisarla en el Módulo de Facturación de TVK"}));
  EXPECT_EQ(dlg.llamadas, (std::vector<std::string>{"rango fechas"}));  // not printed
  EXPECT_EQ(partidasFactura(),
            (std::vector<std::string>{"1|P2|Clavo de 2 pulgadas|5.000|2.5000|1.0000|16.0000|KG"}));
  EXPECT_EQ(remisiones(), (std::vector<std::string>{"1|C1|1"}));
}

// ---- range invoicing -------------------------------------------------------------------

TEST_F(Conversion, FacturarUnRangoJuntaLosDocumentosSinConvertir) {
  documento("C1", {{"1", "P1"}});
  documento("C1", {{"2", "P1"}});
  documento("C1", {{"3", "P2"}});
  documento("C1", {{"4", "P2"}});
  cap->buscaDocumento(2);
  ui.respondeAdvertencia(RespuestaAdvertencia::Si);
  ASSERT_TRUE(cap->facturaRemision(false));  // invoice 1
  ui.olvidaLlamadas();

  dlg.rangos.push_back(std::pair{1LL, 3LL});
  EXPECT_TRUE(cap->facturaRango());
  EXPECT_EQ(ui.llamadas(), std::vector<std::string>{"mensaje: Se generó la Factura 2"});
  ui.olvidaLlamadas();
  EXPECT_EQ(facturas()[1], "2|C1|Ferreteria Lopez|V1|30/06/2025||107.5000|0.0000|17.2000|124.7000");
  EXPECT_EQ(partidasFactura(),
            (std::vector<std::string>{"1|P1|Martillo de una|2.000|100.0000|50.0000|16.0000|PZA",
                                      "2|P1|Martillo de una|1.000|100.0000|50.0000|16.0000|PZA",
                                      "2|P2|Clavo de 2 pulgadas|3.000|2.5000|1.0000|16.0000|KG"}));
  EXPECT_EQ(remisiones(),
            (std::vector<std::string>{"1|C1|2", "2|C1|1", "3|C1|2", "4|C1|"}));
  EXPECT_EQ(partidasRemision(),
            (std::vector<std::string>{"1|P1|1.000||F2", "2|P1|2.000||F1", "3|P2|3.000||F2",
                                      "4|P2|4.000||"}));
  EXPECT_EQ(cap->tipo(), TipoVenta::Remision);

  // Nothing left to invoice in 1..3, and nothing at all in 10..12.
  dlg.rangos.push_back(std::pair{1LL, 3LL});
  dlg.rangos.push_back(std::pair{10LL, 12LL});
  EXPECT_FALSE(cap->facturaRango());
  EXPECT_FALSE(cap->facturaRango());
  const std::string vacio = "No se puede generar una factura no hay documentos en este rango...";
  EXPECT_EQ(ui.mensajes(), (std::vector<std::string>{vacio, vacio}));
  EXPECT_EQ(facturas().size(), 2u);
}

// ---- copies and generated documents --------------------------------------------------------

TEST_F(Conversion, LaCopiaEsUnDocumentoNuevoConLasMismasPartidas) {
  documento("C1", {{"2", "P1"}, {"10", "P2"}});
  const auto fuente = cap->partidas();

  ui.respondeAdvertencia(RespuestaAdvertencia::No);
  EXPECT_FALSE(cap->copiaDocumento());
  EXPECT_EQ(remisiones().size(), 1u);

  ui.olvidaLlamadas();
  ui.respondeAdvertencia(RespuestaAdvertencia::Si);
  EXPECT_TRUE(cap->copiaDocumento());
  EXPECT_EQ(ui.llamadas(), (std::vector<std::string>{
                               "advertencia: Esta Seguro que Desea UNA COPIA EXACTA DEL DOCUMENTO 1 ?"}));
  EXPECT_TRUE(cap->esNuevo());
  EXPECT_EQ(cap->campos().numero, "2");
  EXPECT_EQ(cap->campos().cliente, "C1");
  EXPECT_EQ(cap->campos().nombre, "Ferreteria Lopez");
  const auto copia = cap->partidas();
  ASSERT_EQ(copia.size(), 2u);
  for (size_t i = 0; i < 2; ++i) {
    EXPECT_EQ(copia[i].clave, fuente[i].clave);
    EXPECT_EQ(copia[i].producto, fuente[i].producto);
    EXPECT_EQ(copia[i].cantidad, fuente[i].cantidad);
    EXPECT_EQ(copia[i].precio, fuente[i].precio);
    EXPECT_EQ(copia[i].costo, fuente[i].costo);
    EXPECT_EQ(copia[i].importe, fuente[i].importe);
  }
  EXPECT_EQ(cap->totales().total.texto(), "261");

  // Saved normally, it is a second delivery note taking stock again.
  EXPECT_TRUE(cap->guarda());
  EXPECT_EQ(remisiones(), (std::vector<std::string>{"1|C1|", "2|C1|"}));
  EXPECT_EQ(partidasRemision(), (std::vector<std::string>{"1|P1|2.000||", "1|P2|10.000||",
                                                          "2|P1|2.000||", "2|P2|10.000||"}));
  EXPECT_EQ(empresa.numero("inventar.dbf", "CLPRO_I", "P1", "EXIST_I"), 46);
}

TEST_F(Conversion, LaDevolucionDeUnaRemisionRegresaLasExistencias) {
  documento("C1", {{"2", "P1"}, {"10", "P2"}});
  ASSERT_EQ(empresa.numero("inventar.dbf", "CLPRO_I", "P2", "EXIST_I"), 990);

  EXPECT_TRUE(cap->generaDocumento(TipoVenta::Devolucion));
  EXPECT_TRUE(ui.llamadas().empty());
  EXPECT_EQ(cap->tipo(), TipoVenta::Devolucion);
  EXPECT_TRUE(cap->esNuevo());
  EXPECT_EQ(cap->campos().numero, "1");
  EXPECT_EQ(cap->campos().cliente, "C1");
  EXPECT_EQ(cap->numeroPartidas(), 2);
  // Left open: nothing is stored until the user saves.
  EXPECT_TRUE(empresa.filas("DevolucD.dbf", {"CLDOC_FD"}).empty());

  EXPECT_TRUE(cap->guarda());
  EXPECT_EQ(empresa.filas("DevolucD.dbf", {"CLDOC_FD", "CLPRO_FD", "CANTI_FD"}),
            (std::vector<std::string>{"1|P1|2.000", "1|P2|10.000"}));
  EXPECT_EQ(empresa.numero("inventar.dbf", "CLPRO_I", "P1", "EXIST_I"), 50);
  EXPECT_EQ(empresa.numero("inventar.dbf", "CLPRO_I", "P2", "EXIST_I"), 1000);
  // Both saved at 10:00: stamp 41666.
  EXPECT_EQ(empresa.filas("movinven.dbf", {"CLPRO_MI", "TIMOV_MI", "CANTI_MI", "NUDOC_MI"}),
            (std::vector<std::string>{"P1|3|2.000|R1-41666", "P2|3|10.000|R1-41666",
                                      "P1|52|2.000|D1-41666", "P2|52|10.000|D1-41666"}));
  // The source is not marked by a return.
  EXPECT_EQ(remisiones(), (std::vector<std::string>{"1|C1|"}));
}

TEST_F(Conversion, UnPedidoGeneradoDeUnaRemisionNoMueveExistencias) {
  documento("C1", {{"2", "P1"}});
  EXPECT_TRUE(cap->generaDocumento(TipoVenta::Pedido));
  EXPECT_EQ(cap->tipo(), TipoVenta::Pedido);
  EXPECT_TRUE(cap->guarda());
  EXPECT_EQ(empresa.filas("Pedido.dbf", {"CLDOC_F", "CLCLI_F", "IMTOD_F"}),
            (std::vector<std::string>{"1|C1|232.0000"}));
  EXPECT_EQ(empresa.filas("PedidoD.dbf", {"CLDOC_FD", "CLPRO_FD", "CANTI_FD"}),
            (std::vector<std::string>{"1|P1|2.000"}));
  EXPECT_EQ(empresa.numero("inventar.dbf", "CLPRO_I", "P1", "EXIST_I"), 48);
  EXPECT_EQ(movimientos(), 1u);
}

// Deleting an invoice made from a note: it took no stock, so it gives none back; its
// customer is no longer charged and the note can be invoiced again.
TEST_F(Conversion, BorrarUnaFacturaZLiberaLaNotaYQuitaElCargo) {
  documento("C1", {{"2", "P1"}, {"10", "P2"}});
  const double saldo = empresa.numero("cliente.dbf", "CLCLI_C", "C1", "SALDO_C");
  const size_t movimientosNota = movimientos();
  ui.respondeAdvertencia(RespuestaAdvertencia::Si);
  ASSERT_TRUE(cap->facturaRemision(false));
  ASSERT_EQ(empresa.numero("cliente.dbf", "CLCLI_C", "C1", "SALDO_C"), saldo + 225);

  cap->abreTipo(TipoVenta::Factura);
  ASSERT_TRUE(cap->buscaDocumento(1));
  ui.respondeAdvertencia(RespuestaAdvertencia::Si);
  ASSERT_TRUE(cap->elimina());
  EXPECT_EQ(facturas(), std::vector<std::string>{});
  EXPECT_EQ(empresa.numero("cliente.dbf", "CLCLI_C", "C1", "SALDO_C"), saldo);
  EXPECT_EQ(empresa.numero("inventar.dbf", "CLPRO_I", "P1", "EXIST_I"), 48);
  EXPECT_EQ(movimientos(), movimientosNota);
  EXPECT_EQ(remisiones(), (std::vector<std::string>{"1|C1|"}));
  EXPECT_EQ(partidasRemision(), (std::vector<std::string>{"1|P1|2.000||", "1|P2|10.000||"}));

  // Invoiced again: the note is free.
  cap->abreTipo(TipoVenta::Remision);
  ASSERT_TRUE(cap->buscaDocumento(1));
  ui.respondeAdvertencia(RespuestaAdvertencia::Si);
  EXPECT_TRUE(cap->facturaRemision(false));
  EXPECT_EQ(remisiones(), (std::vector<std::string>{"1|C1|1"}));  // the deleted number is free again
  EXPECT_EQ(facturas().size(), 1u);
  EXPECT_EQ(empresa.numero("cliente.dbf", "CLCLI_C", "C1", "SALDO_C"), saldo + 225);
}

// Modifying an invoice made from a note keeps it one: no stock, no movements of its own.
TEST_F(Conversion, ModificarUnaFacturaZNoLaVuelveFacturaConMovimientos) {
  documento("C1", {{"2", "P1"}});
  const size_t movimientosNota = movimientos();
  ui.respondeAdvertencia(RespuestaAdvertencia::Si);
  ASSERT_TRUE(cap->facturaRemision(false));
  const double saldo = empresa.numero("cliente.dbf", "CLCLI_C", "C1", "SALDO_C");
  cap->abreTipo(TipoVenta::Factura);
  ASSERT_TRUE(cap->buscaDocumento(1));
  ASSERT_TRUE(cap->modifica());
  ASSERT_TRUE(cap->guarda());
  EXPECT_EQ(movimientos(), movimientosNota);
  EXPECT_EQ(empresa.numero("inventar.dbf", "CLPRO_I", "P1", "EXIST_I"), 48);
  EXPECT_EQ(empresa.numero("cliente.dbf", "CLCLI_C", "C1", "SALDO_C"), saldo);
  EXPECT_EQ(partidasFactura().size(), 1u);
}

}  // namespace
}  // namespace mostrador::prueba
