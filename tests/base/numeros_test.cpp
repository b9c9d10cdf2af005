#include "base/numeros.h"

#include <gtest/gtest.h>

using namespace mostrador;
using namespace mostrador::base;

namespace {

// Digits, "#" and "$" 5 units wide, "," and "." and blanks 2, in the proportional font.
class MedidorFalso : public MedidorTexto {
 public:
  double ancho(std::string_view texto, std::string_view fuente) const override {
    EXPECT_EQ(fuente, "MS Sans Serif");
    double a = 0;
    for (char c : texto) a += (c == ',' || c == '.' || c == ' ') ? 2 : 5;
    return a;
  }
};

}  // namespace

TEST(MascaraImporte, PadsToTheMaskAndPutsTheSymbolInFront) {
  EXPECT_EQ(mascaraImporte("###,###,##0.00", "1234.5", "$"), "$      1,234.50");
  EXPECT_EQ(mascaraImporte("###,###,##0.00", "1234.5", "f"), "$      1,234.50");
  EXPECT_EQ(mascaraImporte("###,###,##0.00", "1234.5", ""), "      1,234.50");
  EXPECT_EQ(mascaraImporte("##,##0.00", "-52", "US"), "US   -52.00");
  EXPECT_EQ(mascaraImporte("##,##0.00", "", "$"), "$     0.00");
  EXPECT_EQ(mascaraImporte("##,##0.00", "  ", "$"), "$     0.00");
  // Wider than the mask: nothing is cut.
  EXPECT_EQ(mascaraImporte("#0.00", "123456", "$"), "$123456.00");
}

TEST(MascaraImporte, KindCLeavesTheTextAlone) {
  EXPECT_EQ(mascaraImporte("###,###,##0.00", "no es número", "c"), "no es número");
  EXPECT_EQ(mascaraImporte("###,###,##0.00", "1234.5", "c"), "1234.5");
}

TEST(MascaraImporte, ReadsFourDecimalsThenRoundsHalfAwayForTheMask) {
  EXPECT_EQ(mascaraImporte("0.00", "0.015", ""), "0.02");
  EXPECT_EQ(mascaraImporte("0.00", "-0.005", ""), "-0.01");
  EXPECT_EQ(mascaraImporte("0.00", "2.675", ""), "2.68");
  // The fifth decimal goes first, ties to even: 0.00005 reads as 0.0000.
  EXPECT_EQ(mascaraImporte("0.0000", "0.00005", ""), "0.0000");
  EXPECT_EQ(mascaraImporte("0.0000", "0.00015", ""), "0.0002");
  // Text that is not a number counts as 0.
  EXPECT_EQ(mascaraImporte("#,##0.00", "abc", "$"), "$    0.00");
  EXPECT_EQ(mascaraImporte("#,##0.00", "1,234", "$"), "$    0.00");
}

TEST(MascaraImporte, PrintedFormPadsByWidthInProportionalFonts) {
  MedidorFalso medidor;
  // Mask width 8 × 5 + 2 × 2 = 44; "5.00" is 17; thirteen 2-unit blanks reach 43.
  EXPECT_EQ(mascaraImporteImpresa("###,##0.00", "5", "$", "MS Sans Serif", medidor),
            "$" + std::string(13, ' ') + "5.00");
  // Fixed pitch pads by characters (the medidor is not consulted).
  EXPECT_EQ(mascaraImporteImpresa("###,##0.00", "5", "$", "Courier New", medidor), "$      5.00");
  EXPECT_EQ(mascaraImporteImpresa("###,##0.00", "x5", "c", "MS Sans Serif", medidor), "x5");
}

TEST(Mascara, PlaceholdersGroupingSectionsAndLiterals) {
  EXPECT_EQ(formateaMascara(1234567.891, "#,##0.00"), "1,234,567.89");
  EXPECT_EQ(formateaMascara(-1234.5, "#,##0.00"), "-1,234.50");
  EXPECT_EQ(formateaMascara(999.999, "#,##0.00"), "1,000.00");
  EXPECT_EQ(formateaMascara(1234567.5, "###,###,##0"), "1,234,568");
  EXPECT_EQ(formateaMascara(42, "00000"), "00042");
  EXPECT_EQ(formateaMascara(0, "#######"), "");
  EXPECT_EQ(formateaMascara(5, "$ ###,##0.00"), "$ 5.00");
  EXPECT_EQ(formateaMascara(-5, "$#,##0.00"), "-$5.00");
  EXPECT_EQ(formateaMascara(-0.004, "0.00"), "0.00");
  EXPECT_EQ(formateaMascara(1.5, "0.0#"), "1.5");
  EXPECT_EQ(formateaMascara(1.256, "0.0#"), "1.26");
  EXPECT_EQ(formateaMascara(1, "0.0#"), "1.0");
  EXPECT_EQ(formateaMascara(0.5, "#.##"), ".5");
  EXPECT_EQ(formateaMascara(12.5, ".00"), "12.50");
  EXPECT_EQ(formateaMascara(-5, "#,##0.00;(#,##0.00)"), "(5.00)");
  EXPECT_EQ(formateaMascara(0, "#,##0.00;(#,##0.00);\"cero\""), "cero");
  EXPECT_EQ(formateaMascara(7, "0 \"pzas\""), "7 pzas");
  EXPECT_EQ(formateaMascara(2.5, ""), "2.5");
}

TEST(Numeros, PlainAmountRoundingAndSafeNumbers) {
  EXPECT_EQ(importeSimple(1234567.5), "1234567.50");
  EXPECT_EQ(importeSimple(-0.5), "-0.50");
  EXPECT_EQ(importeSimple(0), "0.00");

  EXPECT_DOUBLE_EQ(redondea(2.675, 2), 2.68);
  EXPECT_DOUBLE_EQ(redondea(-2.5, 0), -3);
  EXPECT_DOUBLE_EQ(redondea(1.23456, 4), 1.2346);
  EXPECT_DOUBLE_EQ(redondea(0.999996, 5), 1.0);

  for (const char* cero : {"", "f", "e", "x", "abc", "1,000", ".", "-", "1.2.3", "5 5", "1e", "--1"})
    EXPECT_EQ(numeroSeguro(cero), 0) << '"' << cero << '"';
  EXPECT_EQ(numeroSeguro(" 12.5 "), 12.5);
  EXPECT_EQ(numeroSeguro("-3"), -3);
  EXPECT_EQ(numeroSeguro("+.5"), 0.5);
  EXPECT_EQ(numeroSeguro("1e3"), 1000);
  EXPECT_FALSE(leeNumero("1e999"));
  EXPECT_EQ(leeNumero("0.000001"), 0.000001);
}

TEST(Numeros, LocaleCurrency) {
  EXPECT_EQ(formatoMoneda(1234.5), "$1,234.50");
  EXPECT_EQ(formatoMoneda(-1234.5), "($1,234.50)");
  EXPECT_EQ(formatoMoneda(0.004), "$0.00");
}
