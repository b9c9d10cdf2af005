// Printing sales documents: print, preview, the reprint rule and the shortcut formats.

#include <gtest/gtest.h>

#include "support/fakes_impresion.h"
#include "printing/impresion_documentos.h"
#include "printing/motor_formatos.h"
#include "base/rutas.h"
#include "base/texto.h"
#include "support/entorno.h"
#include "support/interaccion_fake.h"
#include "support/reloj_fijo.h"

using namespace mostrador;
using namespace mostrador::printing;
using namespace mostrador::prueba;
using mostrador::base::RespuestaAdministrador;

namespace {

class PantallaFalsa : public PantallaVistaPrevia {
 public:
  bool imprime = false;
  int veces = 0;
  bool muestra() override {
    ++veces;
    return imprime;
  }
};

class Documento : public ::testing::Test {
 protected:
  DirectorioTemporal dir;
  EntornoFalso entorno;
  InteraccionFalsa ui;
  RelojFijo reloj{{{2001, 7, 1}, {10, 30, 0, 0}}};
  ImpresoraFalsa impresora;
  ColaFalsa cola;
  MotorFormatos motor{entorno, ui, reloj, impresora, cola};
  TablaMemoria encabezado{"Remision.dbf", {"CLDOC_F", "IMTOD_F"}, {{"15", "2"}}};
  TablaMemoria lineas{"deta2.db", {"PRODUCTO"}, {{"Clavo"}, {"Martillo"}}};
  int marcas = 0;
  DocumentoAImprimir doc;

  void SetUp() override {
    entorno.monedas["M.N."] = {"peso", "pesos", "pesos M.N.", "MXN"};
    mostrador::base::creaDirectorios("C:\\TVK\\consulta");
    mostrador::base::escribeLineas("C:\\TVK\\consulta\\Remision.fmt",
                                    {"imp,Laser A", "@1,1,CLDOC_F", "&", "@1,2,PRODUCTO",
                                     "saltar(1)", "&", "tra(1,5,IMTOD_F)"});
    doc.encabezado = &encabezado;
    doc.detalle = &lineas;
    doc.formato = rutaFormatoDocumento("C:\\TVK", "Remision.fmt");
    doc.usuario = "5";
    doc.marcaImpresa = [this] { ++marcas; };
  }
  std::vector<std::string> impreso() { return impresora.con("texto"); }
};

TEST_F(Documento, PrintsWithTheLocalCurrencyWordsAndMarksThePrint) {
  EXPECT_EQ(doc.formato, "C:\\TVK\\consulta\\Remision.fmt");
  EXPECT_EQ(ImprimeDocumento(motor, entorno, ui, doc), ResultadoDocumento::Impreso);
  EXPECT_EQ(impreso(), (std::vector<std::string>{"texto 100 100 15", "texto 100 200 Clavo",
                                                 "texto 100 300 Martillo",
                                                 "texto 100 700 ( DOS PESOS M.N. 00/100 MXN)"}));
  EXPECT_EQ(marcas, 1);
  EXPECT_TRUE(ui.llamadas().empty());
}

TEST_F(Documento, APrinterThatTakesNothingLeavesTheDocumentUnprinted) {
  impresora.sinImpresora = true;
  EXPECT_EQ(ImprimeDocumento(motor, entorno, ui, doc), ResultadoDocumento::NoImpreso);
  EXPECT_EQ(ui.mensajes(), std::vector<std::string>{std::string(kSinImpresora)});
  EXPECT_EQ(marcas, 0);
  // So the next print is a first print: no administrator key is asked.
  impresora.sinImpresora = false;
  ui.olvidaLlamadas();
  EXPECT_EQ(ImprimeDocumento(motor, entorno, ui, doc), ResultadoDocumento::Impreso);
  EXPECT_TRUE(ui.llamadas().empty());
  EXPECT_EQ(marcas, 1);

  // The preview's print button the same.
  PantallaFalsa pantalla;
  pantalla.imprime = true;
  impresora.sinImpresora = true;
  EXPECT_EQ(PreliminarDocumento(motor, entorno, ui, pantalla, doc), ResultadoDocumento::NoImpreso);
  EXPECT_EQ(ui.mensajes(), std::vector<std::string>{std::string(kSinImpresora)});
  EXPECT_EQ(marcas, 1);
}

TEST_F(Documento, ATicketQueueThatRefusesTheBytesIsAFailedPrint) {
  mostrador::base::escribeLineas("C:\\TVK\\consulta\\Remision.fmt",
                                  {"imp,Laser A", "@1,1,CLDOC_F", "esc,*abre"});
  cola.rechaza = true;
  const ResultadoFormato r = motor.ImprimeFormato(encabezado, lineas, doc.formato, 'i');
  EXPECT_TRUE(r.sinImpresora);
  cola.rechaza = false;
  EXPECT_FALSE(motor.ImprimeFormato(encabezado, lineas, doc.formato, 'i').sinImpresora);
}

TEST_F(Documento, AMissingFormatIsToldAndNothingIsMarked) {
  doc.formato = "C:\\TVK\\consulta\\Nada.fmt";
  EXPECT_EQ(ImprimeDocumento(motor, entorno, ui, doc), ResultadoDocumento::FormatoNoExiste);
  doc.formato = "C:\\TVK\\consulta\\retiro.fmt";
  doc.formatoEnMensaje = "\\consulta\\retiro.fmt";
  EXPECT_EQ(ImprimeDocumento(motor, entorno, ui, doc), ResultadoDocumento::FormatoNoExiste);
  EXPECT_EQ(ui.mensajes(),
            (std::vector<std::string>{"El Formato C:\\TVK\\consulta\\Nada.fmt No Existe",
                                      "El Formato \\consulta\\retiro.fmt No Existe"}));
  EXPECT_EQ(marcas, 0);
  EXPECT_TRUE(impresora.llamadas.empty());
}

TEST_F(Documento, PrintedOrCancelledDocumentsNeedTheAdministrator) {
  doc.tregi = "I";
  ui.respondeAdministrador({RespuestaAdministrador::OtraClave, "123"});
  EXPECT_EQ(ImprimeDocumento(motor, entorno, ui, doc), ResultadoDocumento::NoAutorizado);
  EXPECT_TRUE(impresora.llamadas.empty());
  doc.tregi = "";
  doc.statu = "C";
  ui.respondeAdministrador({RespuestaAdministrador::Administrador, ""});
  EXPECT_EQ(ImprimeDocumento(motor, entorno, ui, doc), ResultadoDocumento::Impreso);
  EXPECT_EQ(ui.llamadas(), (std::vector<std::string>{"administrador", "administrador"}));
  doc.usuario = "0";  // the administrator himself is never asked
  EXPECT_EQ(ImprimeDocumento(motor, entorno, ui, doc), ResultadoDocumento::Impreso);
  EXPECT_EQ(ui.llamadas().size(), 2u);
  EXPECT_EQ(marcas, 2);
}

TEST_F(Documento, PreviewPrintsWhenConfirmedAndAsksForTheAdministratorThen) {
  PantallaFalsa pantalla;
  EXPECT_EQ(PreliminarDocumento(motor, entorno, ui, pantalla, doc), ResultadoDocumento::NoImpreso);
  EXPECT_EQ(leeRegistros("C:\\TVK\\tempo\\format.tmp").size(), 4u);
  EXPECT_TRUE(impresora.llamadas.empty());
  pantalla.imprime = true;
  doc.tregi = "I";
  ui.respondeAdministrador({RespuestaAdministrador::Cancelada, ""});
  EXPECT_EQ(PreliminarDocumento(motor, entorno, ui, pantalla, doc),
            ResultadoDocumento::NoAutorizado);
  EXPECT_TRUE(impresora.llamadas.empty());
  doc.tregi = "";
  EXPECT_EQ(PreliminarDocumento(motor, entorno, ui, pantalla, doc), ResultadoDocumento::Impreso);
  EXPECT_EQ(impreso().size(), 4u);
  EXPECT_EQ(marcas, 1);
  EXPECT_EQ(pantalla.veces, 3);
}

TEST_F(Documento, ShortcutFormatsComeFromEncabezaAndAreAssignedThere) {
  mostrador::base::escribeLineas("C:\\TVK\\encabeza.cnf",
                                  {"S", "N", "", "C:\\TVK\\consulta\\Remision.fmt", "", "", "",
                                   "", "N"});
  auto atajos = formatosAtajo("C:\\TVK");
  EXPECT_EQ(atajos[1], "C:\\TVK\\consulta\\Remision.fmt");
  EXPECT_EQ(ImprimeConAtajo(motor, entorno, ui, doc, "C:\\TVK", 2), ResultadoDocumento::Impreso);
  EXPECT_EQ(ImprimeConAtajo(motor, entorno, ui, doc, "C:\\TVK", 1),
            ResultadoDocumento::FormatoNoExiste);
  EXPECT_EQ(ui.mensajes(), std::vector<std::string>{"El Formato  No Existe"});

  ui.respondeArchivo(std::string("C:\\TVK\\consulta\\Ticket.fmt"));
  ASSERT_TRUE(AsignaFormatoAtajo(ui, "C:\\TVK", 6));
  EXPECT_EQ(dir.lee("unidades/c/TVK/encabeza.cnf"),
            "S\r\nN\r\n\r\nC:\\TVK\\consulta\\Remision.fmt\r\n\r\n\r\n\r\n"
            "C:\\TVK\\consulta\\Ticket.fmt\r\nN\r\n");
  ui.respondeArchivo(std::nullopt);
  EXPECT_FALSE(AsignaFormatoAtajo(ui, "C:\\TVK", 1));
  EXPECT_EQ(formatosAtajo("C:\\TVK")[0], "");
}

TEST_F(Documento, AssigningAShortcutNeedsEncabeza) {
  EXPECT_FALSE(AsignaFormatoAtajo(ui, "C:\\TVK", 1));
  EXPECT_EQ(ui.mensajes(), std::vector<std::string>{"El Archivo encabeza.cnf No Existe"});
  EXPECT_EQ(formatosAtajo("C:\\TVK"), (std::array<std::string, 6>{}));
}

}  // namespace
