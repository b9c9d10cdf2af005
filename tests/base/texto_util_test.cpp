#include "base/texto_util.h"

#include <gtest/gtest.h>

using namespace mostrador;
using namespace mostrador::base;

TEST(TextoUtil, ListItemsCharactersAndLetters) {
  EXPECT_EQ(elementoLista("a,b,,d", 1), "a");
  EXPECT_EQ(elementoLista("a,b,,d", 2), "b");
  EXPECT_EQ(elementoLista("a,b,,d", 3), "");
  EXPECT_EQ(elementoLista("a,b,,d", 4), "d");
  EXPECT_EQ(elementoLista("a,b,,d", 5), "");
  EXPECT_EQ(elementoLista("a,b,,d", 0), "");
  EXPECT_EQ(elementoLista(" x , y", 2), " y");

  EXPECT_EQ(caracteres("Compañía", 5, 6), "añ");
  EXPECT_EQ(caracteres("Compañía", 7, 99), "ía");
  EXPECT_EQ(caracteres("Compañía", 0, 2), "Co");
  EXPECT_EQ(caracteres("Compañía", 4, 3), "");
  EXPECT_EQ(caracteres("", 1, 5), "");

  EXPECT_EQ(mayuscula('q'), 'Q');
  EXPECT_EQ(mayuscula('a'), 'A');
  EXPECT_EQ(mayuscula('z'), 'Z');
  EXPECT_EQ(mayuscula('Q'), 'Q');
  EXPECT_EQ(mayuscula('1'), '1');
  EXPECT_EQ(mayuscula('{'), '{');

  EXPECT_EQ(reemplazaTitulo("Título: Ventas del Título", "Enero"), "Enero: Ventas del Enero");
  EXPECT_EQ(reemplazaTitulo("Titulo", "x"), "Titulo");
}

TEST(TextoUtil, AsciiCaseLeavesOtherBytesAlone) {
  EXPECT_EQ(mayusculasAscii("año Zeta 9_x"), "AñO ZETA 9_X");
  EXPECT_EQ(minusculasAscii("AÑO Zeta 9_X"), "aÑo zeta 9_x");
  EXPECT_EQ(mayusculasAscii("azAZ@[`{"), "AZAZ@[`{");
  EXPECT_EQ(minusculasAscii("azAZ@[`{"), "azaz@[`{");
  EXPECT_EQ(mayusculasAscii(""), "");
  EXPECT_EQ(minusculasAscii(""), "");
  // Windows-1252 bytes are not letters here either: "ñ" 0xF1, "Ñ" 0xD1.
  EXPECT_EQ(mayusculasAscii("\xF1n"), "\xF1N");
  EXPECT_EQ(minusculasAscii("\xD1N"), "\xD1n");

  EXPECT_TRUE(igualesSinCasoAscii("Clave_I", "CLAVE_i"));
  EXPECT_TRUE(igualesSinCasoAscii("", ""));
  EXPECT_FALSE(igualesSinCasoAscii("CLAVE", "CLAVES"));
  EXPECT_FALSE(igualesSinCasoAscii("AÑO", "año"));
  EXPECT_TRUE(igualesSinCasoAscii("AÑO", "aÑo"));
  EXPECT_FALSE(igualesSinCasoAscii("@", "`"));
}

TEST(TextoUtil, Latin1CaseOfUtf8Text) {
  EXPECT_EQ(mayusculasLatin1("josé núñez ü"), "JOSÉ NÚÑEZ Ü");
  EXPECT_EQ(minusculasLatin1("JOSÉ NÚÑEZ Ü"), "josé núñez ü");
  EXPECT_EQ(mayusculasLatin1("ÀÞ àþ"), "ÀÞ ÀÞ");
  EXPECT_EQ(minusculasLatin1("ÀÞ àþ"), "àþ àþ");
  // × and ÷ are not letters; ÿ has no Latin-1 capital; other scripts stay.
  EXPECT_EQ(mayusculasLatin1("×÷ÿ"), "×÷ÿ");
  EXPECT_EQ(minusculasLatin1("×÷ÿ"), "×÷ÿ");
  EXPECT_EQ(mayusculasLatin1("€ ω"), "€ ω");
  EXPECT_EQ(mayusculasLatin1(""), "");
  // A lead byte at the end has nothing to change; the byte after 0xC3 is never an ASCII letter.
  EXPECT_EQ(mayusculasLatin1("a\xC3"), "A\xC3");
  EXPECT_EQ(minusculasLatin1("\xC3Z"), "\xC3Z");
}

TEST(TextoUtil, TrimsRemoveOnlyTheirOwnBlanks) {
  EXPECT_EQ(recorta("  a b  "), "a b");
  EXPECT_EQ(recorta("\t a \t"), "\t a \t");
  EXPECT_EQ(recorta("   "), "");
  EXPECT_EQ(recorta(""), "");
  EXPECT_EQ(recorta(" ñ "), "ñ");

  EXPECT_EQ(recortaEspaciosYTabs(" \t a b\t \t"), "a b");
  EXPECT_EQ(recortaEspaciosYTabs("\t \t"), "");
  EXPECT_EQ(recortaEspaciosYTabs(""), "");
  EXPECT_EQ(recortaEspaciosYTabs("\r\na\n"), "\r\na\n");

  EXPECT_EQ(recortaBlancos(" \t\n\v\f\rF.CLDOC_F\r\n\t "), "F.CLDOC_F");
  EXPECT_EQ(recortaBlancos("\n\r\t "), "");
  EXPECT_EQ(recortaBlancos(""), "");
  EXPECT_EQ(recortaBlancos("a \n b"), "a \n b");
  // A no-break space (UTF-8 C2 A0 or Windows-1252 A0) is not a blank.
  EXPECT_EQ(recortaBlancos("\xC2\xA0x\xA0"), "\xC2\xA0x\xA0");
}
