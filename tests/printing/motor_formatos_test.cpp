// The format interpreter run end to end: format files on disk, the preview records
// read back byte for byte, the calls the printer received.

#include <gtest/gtest.h>

#include "support/fakes_impresion.h"
#include "printing/motor_formatos.h"
#include "printing/texto_formato.h"
#include "base/rutas.h"
#include "base/texto.h"
#include "support/entorno.h"
#include "support/interaccion_fake.h"
#include "support/reloj_fijo.h"

using namespace mostrador;
using namespace mostrador::printing;
using mostrador::prueba::ColaFalsa;
using mostrador::prueba::DirectorioTemporal;
using mostrador::prueba::EntornoFalso;
using mostrador::prueba::ImpresoraFalsa;
using mostrador::prueba::InteraccionFalsa;
using mostrador::prueba::RelojFijo;
using mostrador::prueba::TablaMemoria;

namespace {

class Formato : public ::testing::Test {
 protected:
  DirectorioTemporal dir;
  EntornoFalso entorno;
  InteraccionFalsa ui;
  RelojFijo reloj{{{2001, 7, 1}, {10, 30, 0, 0}}};
  ImpresoraFalsa impresora;
  ColaFalsa cola;
  MotorFormatos motor{entorno, ui, reloj, impresora, cola};
  TablaMemoria encabezado{"FacturaE.dbf",
                          {"CLDOC_F", "NOMBR_F", "IMTOD_F", "FEDOC_F", "CLCLI_F", "VACIO_F"},
                          {{"12", "Juan Pérez", "1500", "05/07/2001", "5", ""}}};
  TablaMemoria detalle{"deta2.db",
                       {"CLAVE", "PRODUCTO", "CANTIDAD", "PRECIO"},
                       {{"A1", "Uno", "1", "10"},
                        {"A2", "Dos", "2", "20"},
                        {"A3", "Tres", "3", "30"},
                        {"A4", "Cuatro", "4", "40"},
                        {"A5", "Cinco", "5", "50"},
                        {"A6", "Seis", "6", "60"},
                        {"A7", "Siete", "7", "70"}}};

  ResultadoFormato corre(const std::vector<std::string>& lineas, char modo = 'p') {
    mostrador::base::creaDirectorios("C:\\TVK\\consulta");
    mostrador::base::escribeLineas("C:\\TVK\\consulta\\prueba.fmt", lineas);
    return motor.ImprimeFormato(encabezado, detalle, "C:\\TVK\\consulta\\prueba.fmt", modo);
  }
  std::vector<RegistroVistaPrevia> registros() {
    return leeRegistros("C:\\TVK\\tempo\\format.tmp");
  }
  std::vector<std::string> textos() {
    std::vector<std::string> r;
    for (const auto& reg : registros()) r.push_back(reg.texto);
    return r;
  }
};

RegistroVistaPrevia texto(int x, int y, std::string t, int pagina = 1, int tamano = 9,
                          std::string fuente = "Arial", std::string color = "negro",
                          std::string formato = "") {
  RegistroVistaPrevia r;
  r.x = x;
  r.y = y;
  r.texto = std::move(t);
  r.tamano = tamano;
  r.fuente = std::move(fuente);
  r.color = std::move(color);
  r.formato = std::move(formato);
  r.pagina = pagina;
  return r;
}

std::string hex(std::string_view b) {
  std::string r;
  char t[4];
  for (unsigned char c : b) {
    std::snprintf(t, sizeof t, "%02X ", c);
    r += t;
  }
  if (!r.empty()) r.pop_back();
  return r;
}

TEST_F(Formato, TextoGivesOneRecordWithTheDefaultsByteForByte) {
  ASSERT_TRUE(corre({"texto(10,5,Factura)"}).completo);
  std::string bytes = dir.lee("unidades/c/TVK/tempo/format.tmp");
  ASSERT_EQ(bytes.size(), 280u);
  EXPECT_EQ(hex(bytes.substr(0, 8)), "0A 00 00 00 05 00 00 00");
  EXPECT_EQ(bytes.substr(8, 8), std::string("\x07" "Factura"));
  EXPECT_EQ(bytes.substr(16, 144), std::string(144, '\0'));  // padding up to 159 and 159
  EXPECT_EQ(hex(bytes.substr(160, 4)), "09 00 00 00");
  EXPECT_EQ(bytes.substr(164, 6), std::string("\x05" "Arial"));
  EXPECT_EQ(bytes.substr(215, 6), std::string("\x05" "negro"));
  EXPECT_EQ(bytes[224], '\0');  // empty number format
  EXPECT_EQ(bytes[250], '\0');  // reserved, empty
  EXPECT_EQ(hex(bytes.substr(276, 4)), "01 00 00 00");
  EXPECT_EQ(registros(), std::vector{texto(10, 5, "Factura")});
  EXPECT_TRUE(ui.mensajes().empty());
}

TEST_F(Formato, PlacementLinesEvaluateFromTheSecondComma) {
  ASSERT_TRUE(corre({"@10,5,Nombre: +NOMBR_F", "@10,5,a,b", "saltar(2)", "@1.5,1,[000]",
                     "@3,4,variable1+cadena1+NOEXISTE"})
                  .completo);
  EXPECT_EQ(registros(), (std::vector{texto(10, 5, "Nombre: Juan Pérez"), texto(10, 5, "a,b"),
                                      texto(1, 3, "12"), texto(3, 6, "0NOEXISTE")}));
}

TEST_F(Formato, PlacementErrorsAreCaughtByTheLineItself) {
  ASSERT_TRUE(corre({"@x,5,Hola", "@1,2,[099]", "texto(1,1,Sigue)"}).completo);
  EXPECT_EQ(ui.mensajes(), (std::vector<std::string>{
                                  "Existe un error en la estructura de la linea @x,5,Hola",
                                  "Existe un error en la estructura de la linea @1,2,[099]"}));
  EXPECT_EQ(textos(), std::vector<std::string>{"Sigue"});
}

TEST_F(Formato, FormatoKeepsTheCommasOnlyWhenWrittenInLowerCase) {
  encabezado.pon("IMTOD_F", "1234.5");
  ASSERT_TRUE(corre({"formato(###,##0.00)", "moneda(1,1,IMTOD_F,f,,)",
                     "Formato(###,##0.00)", "moneda(1,2,IMTOD_F,,Courier,)"})
                  .completo);
  EXPECT_EQ(registros(),
            (std::vector{texto(1, 1, "$  1,234.50", 1, 9, "Courier New", "negro", "###,##0.00"),
                         texto(1, 2, "1235", 1, 9, "Courier", "negro", "###")}));
}

TEST_F(Formato, MonedaDecimalsAndUnformattedKind) {
  ASSERT_TRUE(corre({"moneda(1,1,IMTOD_F,c,,0)", "moneda(1,2,IMTOD_F+.25,f,,1)",
                     "moneda(1,3,IMTOD_F,US$,,)"})
                  .completo);
  auto rs = registros();
  ASSERT_EQ(rs.size(), 3u);
  EXPECT_EQ(rs[0].texto, "        1500");  // right-aligned in 12, the "c" kind leaves it
  EXPECT_EQ(rs[1].texto, "$      1,500.30");
  EXPECT_EQ(rs[2].texto, "US$      1,500.00");
}

TEST_F(Formato, BlankLedAndUnknownLinesDoNothing) {
  ASSERT_TRUE(corre({"  texto(1,1,X)", "xyz(1)", "", "Texto (1,1,No)", "textos(1,1,No)",
                     "texto(2,2,Si)"})
                  .completo);
  EXPECT_EQ(textos(), std::vector<std::string>{"Si"});
  EXPECT_TRUE(ui.mensajes().empty());
}

TEST_F(Formato, EstiloIsTheStyleKeywordAndIgnoresUnknownWords) {
  ASSERT_TRUE(corre({"imp,Laser A", "estilo(1)", "estilo(NEGRITA)", "est(cursiva)"}, 'i').completo);
  EXPECT_EQ(impresora.con("estilo"), (std::vector<std::string>{"estilo 1", "estilo 2"}));
  EXPECT_TRUE(ui.mensajes().empty());
}

TEST_F(Formato, DetailBlockBreaksPagesAndRunsThePageTemplate) {
  ASSERT_TRUE(corre({"lin(3)", "paginas(imprime)", "$", "texto(1,1,Encabezado)", "$", "&",
                     "@5,0,CLAVE", "saltar(1)", "&", "texto(1,9,Fin)"})
                  .completo);
  auto pag = [](int n) { return texto(70, 0, "Pag " + std::to_string(n), n, 10, "Arial"); };
  std::vector<RegistroVistaPrevia> esperado{pag(1), texto(1, 1, "Encabezado"),
                                            texto(5, 0, "A1"), texto(5, 1, "A2"),
                                            texto(5, 2, "A3"), pag(2),
                                            texto(1, 1, "Encabezado", 2), texto(5, 0, "A4", 2),
                                            texto(5, 1, "A5", 2), texto(5, 2, "A6", 2),
                                            pag(3), texto(1, 1, "Encabezado", 3),
                                            texto(5, 0, "A7", 3), texto(1, 9, "Fin", 3)};
  EXPECT_EQ(registros(), esperado);
  EXPECT_TRUE(detalle.fin());
  EXPECT_EQ(dir.lee("unidades/c/TVK/consulta/plantill.tmp"), "texto(1,1,Encabezado)\r\n");
  EXPECT_EQ(dir.lee("unidades/c/TVK/consulta/detatmp.tmp"), "@5,0,CLAVE\r\nsaltar(1)\r\n");
}

TEST_F(Formato, DetailPageBreaksInPrintModePauseAndStartPages) {
  ASSERT_TRUE(corre({"imp,Laser A", "lin(3)", "pau(2)", "&", "@5,0,CLAVE", "saltar(1)", "&"}, 'i')
                  .completo);
  EXPECT_EQ(entorno.pausas, (std::vector<int>{2, 2, 2}));
  EXPECT_EQ(impresora.con("nuevaPagina").size(), 2u);
  auto t = impresora.con("texto");
  ASSERT_EQ(t.size(), 7u);
  EXPECT_EQ(t[2], "texto 500 200 A3");
  EXPECT_EQ(t[3], "texto 500 0 A4");
}

TEST_F(Formato, ARunWithoutTemplateReusesTheOneLeftOnDisk) {
  ASSERT_TRUE(corre({"$", "texto(1,1,Vieja)", "$"}).completo);
  ASSERT_TRUE(corre({"lin(3)", "&", "@5,0,CLAVE", "saltar(1)", "&"}).completo);
  auto t = textos();
  EXPECT_EQ(t, (std::vector<std::string>{"A1", "A2", "A3", "Vieja", "A4", "A5", "A6", "Vieja",
                                         "A7"}));
}

TEST_F(Formato, LaterDollarLinesAreIgnoredAndTheirLinesRunOnce) {
  ASSERT_TRUE(corre({"$", "texto(1,1,Plantilla)", "$", "texto(1,2,Normal)", "$",
                     "texto(1,3,Otra)", "$"})
                  .completo);
  EXPECT_EQ(textos(), (std::vector<std::string>{"Plantilla", "Normal", "Otra"}));
}

TEST_F(Formato, ConditionBlocksAgainstTheHeader) {
  encabezado.pon("IMTOD_F", "1500");
  ASSERT_TRUE(corre({"si(IMTOD_F>1000)", "texto(1,1,Mayor)", "terminacondicion",
                     "si(IMTOD_F<1000)", "texto(1,2,Menor)", "terminacondicion",
                     "si(X=anything)", "texto(1,3,Siempre)", "terminacondicion",
                     "texto(1,4,Despues)"})
                  .completo);
  EXPECT_EQ(textos(), (std::vector<std::string>{"Mayor", "Siempre", "Despues"}));
  encabezado.pon("IMTOD_F", "900");
  ASSERT_TRUE(corre({"si(IMTOD_F>1000)", "texto(1,1,Mayor)", "terminacondicion"}).completo);
  EXPECT_TRUE(textos().empty());
}

TEST_F(Formato, AFailureInsideATopLevelConditionEndsTheRun) {
  auto r = corre({"si(X=1)", "texto(a,1,Mal)", "texto(1,2,Nunca)", "terminacondicion",
                  "texto(1,3,Tampoco)"});
  EXPECT_FALSE(r.completo);
  EXPECT_TRUE(textos().empty());
  EXPECT_TRUE(ui.mensajes().empty());  // the calling screen decides
}

TEST_F(Formato, ConditionsInsideTheDetailUseTheDetailRecord) {
  ASSERT_TRUE(corre({"&", "si(CANTIDAD>5)", "@1,0,PRODUCTO", "terminacondicion", "saltar(1)",
                     "&"})
                  .completo);
  EXPECT_EQ(textos(), (std::vector<std::string>{"Seis", "Siete"}));
}

TEST_F(Formato, ErrorsInsideBlocksAreReportedAndTheBlockGoesOn) {
  ASSERT_TRUE(corre({"$", "texto(z,1,Mal)", "texto(1,1,Bien)", "$", "&",
                     "si(CANTIDAD>#abc)", "terminacondicion", "tam(x)", "saltar(1)", "&"})
                  .completo);
  ASSERT_EQ(ui.mensajes().size(), 2u + 7 * 4u);
  EXPECT_EQ(ui.mensajes()[0], "Error en el Formato Revise su Estructura");
  EXPECT_EQ(ui.mensajes()[1], "Linea Afectada texto(z,1,Mal)");
  EXPECT_EQ(ui.mensajes()[2], "Error en el Formato Revise su Estructura");
  EXPECT_EQ(ui.mensajes()[3], "Linea Afectada si(CANTIDAD>#abc)");
  EXPECT_EQ(ui.mensajes()[5], "Linea Afectada tam(x)");
  EXPECT_EQ(textos(), std::vector<std::string>{"Bien"});
}

TEST_F(Formato, MalformedLinesReportTheirMessageAndTheRunGoesOn) {
  const std::vector<std::string> malas{
      "texto(a,b,c)",    "tam()",  "cua(1,2,3,x)",        "cua(1,2)",      "logo(x)",
      "dia(1,1,NOEXISTE)", "mes(1,1,[900])", "año(1,1,NOMBR_F)", "moneda(x,1,IMTOD_F,f,,)",
      "tra(1,1,NOMBR_F)",  "tin(1,1,0.5,USD)", "saltar(x)",  "lin(()",         "max(",
      "aju(1,1,x,y)",      "mod(a,b,variable1)", "usu(x,1)",  "pau(p)",         "separa(-)",
      "red(1,2,3,4,5,6)"};
  std::vector<std::string> lineas = malas;
  lineas.push_back("texto(1,1,Final)");
  ASSERT_TRUE(corre(lineas).completo);
  // "red" only draws when printing; every other line fails with the two messages.
  std::vector<std::string> esperado;
  for (size_t i = 0; i + 1 < malas.size(); ++i) {
    esperado.push_back("Error en el Formato Revise su Estructura");
    esperado.push_back("Linea Afectada " + malas[i]);
  }
  EXPECT_EQ(ui.mensajes(), esperado);
  EXPECT_EQ(textos(), std::vector<std::string>{"Final"});
}

TEST_F(Formato, AssignmentsAndArithmetic) {
  ASSERT_TRUE(corre({"variable1=IMTOD_F*2", "variable2=(variable1-1000)/4+0.5",
                     "cadena1=Sr. +NOMBR_F", "cadena2=variable2", "variable3=VACIO_F+7",
                     "otra=5", "variable4=10/0", "@1,1,variable1", "@1,2,variable2",
                     "@1,3,cadena1", "@1,4,cadena2", "@1,5,variable3", "@1,6,variable4"})
                  .completo);
  EXPECT_EQ(textos(), (std::vector<std::string>{"3000", "500.5", "Sr. Juan Pérez", "500.5", "7",
                                                "0"}));
  EXPECT_TRUE(ui.mensajes().empty());
}

TEST_F(Formato, AnUnbalancedAssignmentShowsBothMessages) {
  ASSERT_TRUE(corre({"variable1=(2+3", "variable2=(2*)", "variable3=abc*2+1", "@1,1,variable1",
                     "@1,2,variable3"})
                  .completo);
  EXPECT_EQ(ui.mensajes(),
            (std::vector<std::string>{"Existe un error en la expresion Faltan parentesis",
                                      "Existe un error en la estructura de la linea variable1=(2+3",
                                      "Existe un error en la estructura de la linea variable2=(2*)"}));
  // What is not a number counts 0 inside an expression.
  EXPECT_EQ(textos(), (std::vector<std::string>{"0", "1"}));
}

TEST_F(Formato, NumModAndEntRunGeneratedAssignments) {
  ASSERT_TRUE(corre({"num(IMTOD_F,,cadena1)", "mod(17,5,variable1)", "ent(17,5,variable2)",
                     "mod(17,0,variable3)", "mod(17,5,cadena2)", "num(NOMBR_F,,cadena3)",
                     "@1,1,cadena1", "@1,2,variable1", "@1,3,variable2", "@1,4,variable3",
                     "@1,5,cadena2", "@1,6,cadena3"})
                  .completo);
  // The "+0" of the generated assignment joins texts: a text target gets "20".
  EXPECT_EQ(textos(),
            (std::vector<std::string>{"      1,500.00", "2", "3", "0", "20", "          0.00"}));
  EXPECT_TRUE(ui.mensajes().empty());
}

TEST_F(Formato, SkipRestLeavesOnlyAssignments) {
  ASSERT_TRUE(corre({"esc,#variable1", "abo", "texto(1,1,No)", "variable1=7", "esc,1"}).completo);
  EXPECT_TRUE(textos().empty());
  ASSERT_EQ(cola.envios.size(), 1u);
  EXPECT_EQ(cola.envios[0].bytes, "\x1Bt\x02" "7");  // text goes in the receipt's table
}

TEST_F(Formato, RawSequenceIsSentOnceAtTheEnd) {
  ASSERT_TRUE(corre({"esc,27,112,0,25,250", "texto(1,1,Ticket)"}).completo);
  ASSERT_EQ(cola.envios.size(), 1u);
  EXPECT_EQ(cola.envios[0].cola, "EPSON TM-T88II Partial cut sur COM2:");
  EXPECT_EQ(cola.envios[0].documento, "Test");
  EXPECT_EQ(hex(cola.envios[0].bytes), "1B 70 00 19 FA");
  ASSERT_TRUE(corre({"texto(1,1,Otro)"}).completo);
  EXPECT_EQ(cola.envios.size(), 1u);  // nothing stale from the run before
}

TEST(SecuenciaCruda, VariableTextAndBarcodeItems) {
  Variables v;
  v.numeros[1] = 12345;
  v.cadenas[2] = "ABC";
  v.cadenas[3] = "1234567890123";
  // The receipt's table selected in front, its letters in it: Ñ is A5 in 850, D1 in 1252.
  EXPECT_EQ(secuenciaCruda("#variable1,*Hola Ñ,&variable1,&cadena3,#cadena2,x,300,10", v, AjusteRecibo{}),
            std::string("\x1Bt\x02" "12345Hola \xA5" "000000123450" "1234567890123" "ABC\n"));
  EXPECT_EQ(secuenciaCruda("*Año,10", v, AjusteRecibo{PaginaCodigos::CP1252, 16, ""}),
            std::string("\x1Bt\x10" "A\xF1o\n"));
  // Plain bytes go as they are.
  EXPECT_EQ(secuenciaCruda("27,112,0,25,250", v, AjusteRecibo{}), std::string("\x1Bp\x00\x19\xFA", 5));
}

TEST_F(Formato, TextPrinterJoinsTextsOfARowInTheOrderPlaced) {
  ASSERT_TRUE(corre({"impresora,TEXTO", "texto(30,2,B)", "texto(1,2,A)", "@0,0,Cero",
                     "aju(1,1,Dibujado,4)"},
                    'i')
                  .completo);
  EXPECT_EQ(impresora.lineasTexto, (std::vector<std::string>{"Cero", "", "BA"}));
  EXPECT_EQ(impresora.fuenteTexto, "Courier");
  EXPECT_TRUE(impresora.con("inicia").empty());
  EXPECT_EQ(impresora.con("texto"), std::vector<std::string>{"texto 100 100 Dibu"});
}

TEST_F(Formato, PrintModeSelectsThePrinterDrawsAndPrintsTheComments) {
  mostrador::base::creaDirectorios("C:\\TVK\\tempo");
  RegistroVistaPrevia c;
  c.x = 3;
  c.y = 4;
  c.texto = "Comentario";
  escribeRegistros("C:\\TVK\\tempo\\comentar.tmp", {c});
  ASSERT_TRUE(corre({"imp,laser b,horizontal", "tip(Times)", "tam(12)", "col(rojo)",
                     "col(morado)", "texto(10,5,Hola)", "max(5)", "@0,1,ABCDEFGH", "fon(azul)",
                     "cua(1,2,3,4,2,clRed)", "cua(1,2,3,4,,)", "red(1,2,3,4,1,1,3)",
                     "nuevapagina", "@0,0,Otra", "usu(1,1)"},
                    'i')
                  .completo);
  EXPECT_EQ(impresora.llamadas,
            (std::vector<std::string>{
                "selecciona 1", "horizontal", "inicia prueba.fmt", "fuente Times", "tamano 12",
                "color 255,0,0", "texto 1000 500 Hola", "texto 0 200 FGH", "texto 0 100 ABCDE",
                "brocha 0,0,255", "pluma 2", "brocha 255,0,0", "rectangulo 100 200 300 400",
                "pluma 1", "brocha 255,255,255", "brocha 255,255,255",
                "rectangulo 100 200 300 400", "pluma 1", "brocha 255,255,255", "pluma 3",
                "redondo 100 200 300 400 100 100", "pluma 1", "nuevaPagina", "texto 0 0 Otra",
                "texto 100 100 ", "texto 300 400 Comentario", "termina", "selecciona -1"}));
  EXPECT_EQ(dir.lee("unidades/c/TVK/tempo/comentar.tmp"), "");
}

TEST_F(Formato, IndiceImpresora) {
  EXPECT_EQ(motor.IndiceImpresora("2"), 2);
  EXPECT_EQ(motor.IndiceImpresora("Texto"), 1000);
  EXPECT_EQ(motor.IndiceImpresora("LASER B"), 1);
  EXPECT_EQ(motor.IndiceImpresora("Ninguna"), 0);
}

TEST_F(Formato, ABadColourConstantFailsTheBoxLine) {
  ASSERT_TRUE(corre({"imp,1", "cua(1,2,3,4,1,clNada)", "cua(1,2,3,4,1,255)"}, 'i').completo);
  EXPECT_EQ(ui.mensajes(), (std::vector<std::string>{"Error en el Formato Revise su Estructura",
                                                        "Linea Afectada cua(1,2,3,4,1,clNada)"}));
  EXPECT_EQ(impresora.con("rectangulo").size(), 1u);
  EXPECT_EQ(impresora.con("brocha 255,0,0").size(), 1u);  // 255 is 0x0000FF: red
}

TEST_F(Formato, BoxesAndPicturesInPreview) {
  ASSERT_TRUE(corre({"variable1=9", "cua(1,2,30,variable1,2.7,clRed)", "cua(1,2,3,4)",
                     "logo(1,2,10,8,C:\\logo.jpg)"})
                  .completo);
  auto rs = registros();
  ASSERT_EQ(rs.size(), 3u);
  RegistroVistaPrevia caja;
  caja.x = 1;
  caja.y = 2;
  caja.texto = "30";
  caja.tamano = -2;
  caja.fuente = "2";
  caja.color = "clRed";
  caja.formato = "9";
  caja.pagina = 1;
  EXPECT_EQ(rs[0], caja);
  EXPECT_EQ(rs[1].fuente, "0");
  EXPECT_EQ(rs[1].color, "");
  RegistroVistaPrevia imagen;
  imagen.x = 1;
  imagen.y = 2;
  imagen.texto = "C:\\logo.jpg";
  imagen.tamano = -1;
  imagen.formato = "10";
  imagen.fuente = "8";
  imagen.pagina = 1;
  EXPECT_EQ(rs[2], imagen);
}

TEST_F(Formato, ColourInPreviewRecordsTheNameAndEmptiesTheNumberFormat) {
  ASSERT_TRUE(corre({"col(amarillo1)", "tip(Verdana)", "tam(14)", "texto(1,1,A)",
                     "moneda(1,2,IMTOD_F,f,,)"})
                  .completo);
  EXPECT_EQ(registros(), (std::vector{texto(1, 1, "A", 1, 14, "Verdana", "amarillo"),
                                      texto(1, 2, "$1500", 1, 14, "Courier New", "amarillo")}));
}

TEST_F(Formato, DatesFromFieldsAndToday) {
  ASSERT_TRUE(corre({"saltar(10)", "dia(1,1,FEDOC_F)", "mes(2,1,[003])", "año(3,1,fedoc_f)",
                     "mletra(4,1,FEDOC_F)", "flarga(5,1,FEDOC_F)", "dia(6,1,HOY)",
                     "flarga(7,1,hoy)", "dia(8,1,VACIO_F)"})
                  .completo);
  EXPECT_EQ(registros(), (std::vector{texto(1, 1, "05"), texto(2, 11, "07"), texto(3, 11, "2001"),
                                      texto(4, 11, "julio"),
                                      texto(5, 11, "Jueves 5 de Julio del año 2001"),
                                      texto(6, 1, "01"),
                                      texto(7, 11, "Domingo 1 de Julio del año 2001")}));
}

TEST_F(Formato, AmountsInWordsFromALine) {
  motor.AsignaMonedaLetras("peso", "pesos", "pesos.", "M.N.");
  entorno.monedas["USD"] = {"dollar", "dollars", "dollars", "USD"};
  encabezado.pon("IMTOD_F", "1234.50");
  ASSERT_TRUE(corre({"tra(1,1,IMTOD_F)", "tin(1,2,100,USD)", "tin(1,3,0.5,EUR)",
                     "tra(1,4,IMTOD_F)"})
                  .completo);
  EXPECT_EQ(textos(),
            (std::vector<std::string>{"( UN MIL DOSCIENTOS TREINTA Y CUATRO PESOS. 50/100 M.N.)",
                                      "(ONE HUNDRED  DOLLARS 0/100 USD)",
                                      "( UN MIL DOSCIENTOS TREINTA Y CUATRO XX 50/100 XX)"}));
  EXPECT_EQ(ui.mensajes(), (std::vector<std::string>{"Error en el Formato Revise su Estructura",
                                                        "Linea Afectada tin(1,3,0.5,EUR)"}));
  // The currency words stay set by "tin" for later runs.
  EXPECT_EQ(motor.monedaLetras().singular, "xx");
}

TEST_F(Formato, UserNameIsSetOnceAndForgottenWithMinusOne) {
  entorno.usuarios = {{"3", "José Núñez"}, {"4", "Otro"}};
  motor.AsignaUsuarioImpresion("3");
  motor.AsignaUsuarioImpresion("4");
  EXPECT_EQ(motor.usuarioImpresion(), "JOSÉ NÚÑEZ");
  ASSERT_TRUE(corre({"usu(1,1)", "con(1,2)"}).completo);
  EXPECT_EQ(textos(), (std::vector<std::string>{"JOSÉ NÚÑEZ", "JOSÉ NÚÑEZ"}));
  motor.AsignaUsuarioImpresion("-1");
  EXPECT_EQ(motor.usuarioImpresion(), "");
}

TEST_F(Formato, SqlLookupAndVsqAssignment) {
  entorno.resultadosSql["Select NOMBR_C from \"C:\\Datos\\cliente.dbf\" where CLCLI_C=\"5\""] =
      "Cliente Cinco";
  ASSERT_TRUE(corre({"sql(1,1,NOMBR_C,cliente,CLCLI_C=,CLCLI_F)",
                     "sql(1,2,NOMBR_C,cliente,CLCLI_C=,NOEXISTE)",
                     "vsq(,,SALDO_C,cliente,CLCLI_C=,CLCLI_F,variable1)", "@1,3,variable1+X",
                     "vsq(,,NOMBR_C,cliente,CLCLI_C=,CLCLI_F,cadena1)", "@1,4,cadena1"})
                  .completo);
  EXPECT_EQ(textos(), (std::vector<std::string>{"Cliente Cinco", "0X", "Cliente Cinco"}));
  EXPECT_TRUE(ui.mensajes().empty());
}

TEST_F(Formato, ObservationLinesOfAnInvoice) {
  entorno.lineasObservacion = {"Primera", "Segunda"};
  ASSERT_TRUE(corre({"saltar(5)", "com(2,3)"}).completo);
  EXPECT_EQ(entorno.pedidoObservaciones, "C:\\Datos|12|Fa");
  EXPECT_EQ(registros(), (std::vector{texto(2, 3, "Primera"), texto(2, 4, "Segunda")}));
}

TEST_F(Formato, BarcodeFileAndProgram) {
  encabezado.pon("NOMBR_F", "12345");
  ASSERT_TRUE(corre({"bar(NOMBR_F)"}).completo);
  EXPECT_EQ(hex(dir.lee("unidades/c/barras/bar3.prn")),
            "1B 28 42 0F 01 06 02 FE A2 00 01 30 30 30 30 31 32 33 34 35");
  EXPECT_EQ(entorno.ejecuciones,
            std::vector<std::string>{"DOSPrinter.exe| -LUC -O \"BAR3.PRN\"|C:\\barras|espera"});
  ASSERT_TRUE(corre({"bar(1234567890AB)"}).completo);
  EXPECT_EQ(dir.lee("unidades/c/barras/bar3.prn").substr(11), "123456789");
}

TEST_F(Formato, PortProgramGetsItsFileAndIsNotWaitedFor) {
  ASSERT_TRUE(corre({"pue(COM1,9600)"}).completo);
  EXPECT_EQ(dir.lee("unidades/c/TVK/puerto.dat"), "COM1\r\n9600\r\n");
  EXPECT_EQ(entorno.ejecuciones,
            std::vector<std::string>{"C:\\TVK\\AbrePuerto.exe||C:\\TVK|sigue"});
}

TEST_F(Formato, DataEntryFillsVariables) {
  ui.respondeDato("12.5").respondeDato("123").respondeDato("abc");
  ASSERT_TRUE(corre({"dat(variable1,Importe)", "dat(cadena1,)", "dat(variable2,Otro)",
                     "@1,1,variable1", "@1,2,cadena1", "@1,3,variable2"})
                  .completo);
  EXPECT_EQ(ui.llamadas(), (std::vector<std::string>{"dato: Importe", "dato: Insertar un Dato",
                                                     "dato: Otro"}));
  EXPECT_EQ(textos(), (std::vector<std::string>{"12.5", "123", "0"}));
}

TEST_F(Formato, PageOffsetFlowsTextsOntoTheNextPage) {
  ASSERT_TRUE(corre({"lin(3)", "@0,2,A", "saltar(fin)", "@0,1,B", "@0,2,C", "@0,2,D"}).completo);
  EXPECT_EQ(registros(), (std::vector{texto(0, 2, "A"), texto(0, 3, "B"), texto(0, 1, "C", 2),
                                      texto(0, 1, "D", 2)}));
}

TEST_F(Formato, PlacementBeyondTheLinesPerPageStartsANewPage) {
  ASSERT_TRUE(corre({"lin(2)", "saltar(3)", "@0,0,A", "@0,0,B"}).completo);
  EXPECT_EQ(registros(), (std::vector{texto(0, 3, "A"), texto(0, 0, "B", 2)}));
}

TEST_F(Formato, LinesCountOnlyTheirFirst150CharactersAndAreWindows1252) {
  std::string larga = "@0,0," + std::string(200, 'X');
  ASSERT_TRUE(corre({larga, "texto(1,1,Año ñandú)", "AÑO(2,2,FEDOC_F)"}).completo);
  auto rs = registros();
  ASSERT_EQ(rs.size(), 3u);
  EXPECT_EQ(rs[0].texto, std::string(145, 'X'));
  EXPECT_EQ(rs[1].texto, "Año ñandú");
  EXPECT_EQ(rs[2].texto, "2001");
  EXPECT_EQ(dir.lee("unidades/c/TVK/tempo/format.tmp").substr(280 + 8, 10),
            std::string("\x09" "A\xF1o \xF1" "and\xFA"));
}

TEST_F(Formato, MissingFormatDoesNotStartARun) {
  mostrador::base::creaDirectorios("C:\\TVK\\tempo");
  mostrador::base::escribeBytes("C:\\TVK\\tempo\\format.tmp", std::string(280, 'x'));
  auto r = motor.ImprimeFormato(encabezado, detalle, "C:\\TVK\\consulta\\no.fmt", 'p');
  EXPECT_FALSE(r.completo);
  EXPECT_EQ(r.error, "El Formato C:\\TVK\\consulta\\no.fmt No Existe");
  EXPECT_EQ(dir.lee("unidades/c/TVK/tempo/format.tmp").size(), 280u);
}

TEST_F(Formato, EveryRunEmptiesTheCommentsFile) {
  mostrador::base::creaDirectorios("C:\\TVK\\tempo");
  escribeRegistros("C:\\TVK\\tempo\\comentar.tmp", {RegistroVistaPrevia{}});
  ASSERT_TRUE(corre({"texto(1,1,A)"}).completo);
  EXPECT_EQ(dir.lee("unidades/c/TVK/tempo/comentar.tmp"), "");
}

TEST_F(Formato, SeparaUsesThePageHeightInEitherMode) {
  ASSERT_TRUE(corre({"separa(11)", "texto(1,2,A)", "separa(0)", "texto(1,2,B)"}).completo);
  EXPECT_EQ(registros(), (std::vector{texto(1, 1000, "A"), texto(1, 200, "B")}));
}

}  // namespace
