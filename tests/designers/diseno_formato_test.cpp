// The format designer's line check, sketch, placement assistant and files.
#include <gtest/gtest.h>

#include "designers/diseno_formato.h"
#include "base/rutas.h"
#include "base/texto.h"
#include "support/entorno.h"
#include "support/interaccion_fake.h"

using namespace mostrador;
using namespace mostrador::designers;

namespace {

TEST(RevisionLinea, TheTableHasFourteenRows) {
  ASSERT_EQ(reglasLinea().size(), 14u);
  EXPECT_EQ(reglasLinea()[3].palabra, "tamaño");
  EXPECT_EQ(reglasLinea()[5].argumentos.size(), 5u);
}

TEST(RevisionLinea, SplitsAtCommasAndParentheses) {
  EXPECT_EQ(divideLineaFormato("cua(1,2,3,4)"), (std::vector<std::string>{"cua", "1", "2", "3", "4"}));
  EXPECT_EQ(divideLineaFormato("@ 1, 2 ,NOMBR_C"), (std::vector<std::string>{"@", "1", "2", "NOMBR_C"}));
  EXPECT_EQ(divideLineaFormato("formato(###,##0.00)"), (std::vector<std::string>{"formato", "###,##0.00", ""}));
  // From the fourth field on blanks stay and "@" goes.
  EXPECT_EQ(divideLineaFormato("texto(1,2,@hola mundo)"),
            (std::vector<std::string>{"texto", "1", "2", "hola mundo", ""}));
  EXPECT_EQ(divideLineaFormato("logo(1,2,3,4,a.bmp,extra)"),
            (std::vector<std::string>{"logo", "1", "2", "3", "4"}));
}

TEST(RevisionLinea, ChecksEachArgumentKind) {
  EXPECT_TRUE(revisaLineaFormato("cua(1,2,3,4)"));
  EXPECT_FALSE(revisaLineaFormato("cua(1,2.5,3,4)"));
  EXPECT_TRUE(revisaLineaFormato("tam(12)"));
  EXPECT_FALSE(revisaLineaFormato("xyz(1)"));
  EXPECT_TRUE(revisaLineaFormato("tra(10,5,IMTOD_F)"));
  EXPECT_TRUE(revisaLineaFormato("tra(x)"));
  EXPECT_TRUE(revisaLineaFormato("@10.5,3,[003]"));
  EXPECT_FALSE(revisaLineaFormato("@a,3,[003]"));
  EXPECT_FALSE(revisaLineaFormato("@1,,[003]"));
  EXPECT_FALSE(revisaLineaFormato("tamaño()"));
  EXPECT_TRUE(revisaLineaFormato("año(1,2,FEDOC_F)"));
  EXPECT_TRUE(revisaLineaFormato("color(rojo)"));
  EXPECT_TRUE(revisaLineaFormato(""));
  EXPECT_FALSE(revisaLineaFormato("Cua(1,2,3,4)"));
  EXPECT_EQ(revisaCodigo({"cua(1,2,3,4)", "xyz(1)", ""}), (std::vector<bool>{true, false, true}));
}

TEST(BocetoFormato, PlacesIntegerFieldsWithColourAndSize) {
  auto b = bocetoCodigo({"color(rojo)", "tamaño(30)", "@3,4,NOMBR_C", "@1.5,2,NO", "logo(1,2,30,40,C:\\a(1).bmp)"});
  ASSERT_EQ(b.size(), 2u);
  EXPECT_EQ(b[0], (ElementoBoceto{ElementoBoceto::Texto, 6, 20, 0, 0, "NOMBR_C", "rojo", 10}));
  EXPECT_EQ(b[1], (ElementoBoceto{ElementoBoceto::Imagen, 1, 2, 30, 40, "C:\\a(1).bmp", "rojo", 0}));
}

TEST(AsistenteFormato, WritesColumnAndRowWithTwoDecimals) {
  EXPECT_EQ(lineaAsistente(0, 0, 600, 800, textoDeCampo("Campo1")), "@0.00,0.00,Campo1");
  // 600 × 0.0125 = 7.5 points a column; 795 / 53 = 15 a row.
  EXPECT_EQ(lineaAsistente(75, 30, 600, 795, "Etiqueta 2"), "@10.00,2.00,Etiqueta 2");
  EXPECT_EQ(textoDeCampo("[003] Nombre"), "[003]");
}

TEST(ListaCampos, ModulesPickTheirDefineFile) {
  EXPECT_EQ(*archivoListaCampos("C:\\tvk", "Ctas. Cobrar"), "C:\\tvk\\define\\CtasXC.cam");
  EXPECT_EQ(*archivoListaCampos("C:\\tvk", "Mov. Inventario"), "C:\\tvk\\define\\MovInv.cam");
  EXPECT_FALSE(archivoListaCampos("C:\\tvk", "Otro"));
  std::vector<std::string> l{"@1,1,", "x"};
  agregaReferencia(l, 0, "[012]Nombre del cliente");
  agregaImpresora(l, "Epson LX");
  EXPECT_EQ(l, (std::vector<std::string>{"impresora,Epson LX", "@1,1,[012]", "x"}));
}

TEST(IndicadoresCursor, CountTwoCharactersPerLineBreak) {
  const std::vector<std::string> l{"abc", "", "año"};
  EXPECT_EQ(indicadoresCursor(l, 0), (Indicadores{1, 1}));
  EXPECT_EQ(indicadoresCursor(l, 3), (Indicadores{1, 4}));
  EXPECT_EQ(indicadoresCursor(l, 5), (Indicadores{2, 1}));
  EXPECT_EQ(indicadoresCursor(l, 9), (Indicadores{3, 3}));
}

TEST(GuardaFormato, AsksBeforeOverwritingAndNoLeavesTheFile) {
  prueba::DirectorioTemporal d;
  prueba::InteraccionFalsa ui;
  const std::string ruta = d.str() + "/f.for";
  EXPECT_TRUE(guardaFormato(ui, ruta, {"@1,1,[000]"}));
  ui.respondeAdvertencia(base::RespuestaAdvertencia::No);
  EXPECT_FALSE(guardaFormato(ui, ruta, {"otro"}));
  EXPECT_EQ(*base::leeBytes(ruta), "@1,1,[000]\r\n");
  ui.respondeAdvertencia(base::RespuestaAdvertencia::Si);
  EXPECT_TRUE(guardaFormato(ui, ruta, {"otro"}));
  EXPECT_EQ(*base::leeBytes(ruta), "otro\r\n");
  EXPECT_EQ(ui.llamadas(), (std::vector<std::string>{"advertencia: El archivo ya existe desea sobreescribirlo ?",
                                                     "advertencia: El archivo ya existe desea sobreescribirlo ?"}));
}

}  // namespace

namespace {

TEST(RevisionLinea, EveryKeywordByItsFirstThreeLetters) {
  const std::pair<const char*, bool> casos[] = {
      {"tipo(1,2,Arial)", true},       {"tip(x,2,Arial)", false},  {"dia(1,2,FEDOC_F)", true},
      {"mes(1.5,2,FEDOC_F)", true},    {"mes(1,b,FEDOC_F)", false}, {"moneda(1,2,IMTOD_F)", true},
      {"texto(1,2,Hola, mundo)", true}, {"tex(,2,Hola)", false},    {"estilo(negrita)", true},
      {"separa(3)", true},             {"separa(3.5)", false},      {"formato(#,##0.00)", true},
      {"logo(1,2,3,4,C:\\a.bmp)", true}, {"logo(1,2,3,x,C:\\a.bmp)", false},
      {"color(morado)", true},         {"impresora,Epson", false},
  };
  for (const auto& [linea, pasa] : casos) EXPECT_EQ(revisaLineaFormato(linea), pasa) << linea;
}

}  // namespace
