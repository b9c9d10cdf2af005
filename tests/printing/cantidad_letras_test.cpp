#include <gtest/gtest.h>

#include "printing/cantidad_letras.h"
#include "printing/tabla_impresion.h"

using namespace mostrador;
using namespace mostrador::printing;

namespace {

const MonedaLetras kPesos{"peso", "pesos", "de pesos", "M.N."};

TEST(CantidadEnLetras, TheDocumentedAmounts) {
  EXPECT_EQ(CantidadEnLetras(1234.50, kPesos),
            "( UN MIL DOSCIENTOS TREINTA Y CUATRO DE PESOS 50/100 M.N.)");
  EXPECT_EQ(CantidadEnLetras(0.50, kPesos), "(CERO  DE PESOS 50/100 M.N.)");
  EXPECT_EQ(CantidadEnLetras(1, kPesos), "( UN PESO 00/100 M.N.)");
  EXPECT_EQ(CantidadEnLetras(100, kPesos), "( CIEN DE PESOS 00/100 M.N.)");
  EXPECT_EQ(CantidadEnLetras(101, kPesos), "( CIENTO UN DE PESOS 00/100 M.N.)");
  EXPECT_EQ(CantidadEnLetras(21, kPesos), "( VEINTIUN DE PESOS 00/100 M.N.)");
  EXPECT_EQ(CantidadEnLetras(31, kPesos), "( TREINTA Y UN DE PESOS 00/100 M.N.)");
  EXPECT_EQ(CantidadEnLetras(1000000, kPesos), "( UN MILLóN DE PESOS 00/100 M.N.)");
  EXPECT_EQ(CantidadEnLetras(2000000, kPesos), "( DOS MILLONES PESOS 00/100 M.N.)");
}

TEST(CantidadEnLetras, GroupsTensAndRounding) {
  EXPECT_EQ(CantidadEnLetras(30, kPesos), "( TREINTA DE PESOS 00/100 M.N.)");
  EXPECT_EQ(CantidadEnLetras(20, kPesos), "( VEINTE DE PESOS 00/100 M.N.)");
  EXPECT_EQ(CantidadEnLetras(15, kPesos), "( QUINCE DE PESOS 00/100 M.N.)");
  EXPECT_EQ(CantidadEnLetras(999, kPesos), "( NOVECIENTOS NOVENTA Y NUEVE DE PESOS 00/100 M.N.)");
  EXPECT_EQ(CantidadEnLetras(100000, kPesos), "( CIEN MIL DE PESOS 00/100 M.N.)");
  EXPECT_EQ(CantidadEnLetras(1001000, kPesos), "( UN MILLóN UN MIL DE PESOS 00/100 M.N.)");
  EXPECT_EQ(CantidadEnLetras(5000000000.0, kPesos), "( CINCO MIL MILLONES PESOS 00/100 M.N.)");
  EXPECT_EQ(CantidadEnLetras(100000000000.0, kPesos),
            "( CIENTO MIL MILLONES PESOS 00/100 M.N.)");
  // Rounded to cents first: 0.995 is one peso.
  EXPECT_EQ(CantidadEnLetras(0.995, kPesos), "( UN PESO 00/100 M.N.)");
  EXPECT_EQ(CantidadEnLetras(-2.5, kPesos), "( DOS DE PESOS 50/100 M.N.)");
}

TEST(CantidadEnLetrasIngles, WordsRangeAndZero) {
  const MonedaLetras dolares{"dollar", "dollars", "dollars", "USD"};
  EXPECT_EQ(CantidadEnLetrasIngles("USD", 100, dolares), "(ONE HUNDRED  DOLLARS 0/100 USD)");
  EXPECT_EQ(CantidadEnLetrasIngles("USD", 21.05, dolares), "(TWENTY ONE DOLLARS 5/100 USD)");
  EXPECT_EQ(CantidadEnLetrasIngles("USD", 1234567.89, dolares),
            "(ONE MILLION TWO HUNDRED THIRTY FOUR THOUSAND FIVE HUNDRED SIXTY SEVEN DOLLARS "
            "89/100 USD)");
  EXPECT_EQ(CantidadEnLetrasIngles("USD", 0, dolares), "(ZERO USD )");
  EXPECT_EQ(CantidadEnLetrasIngles("", 0, dolares), "(ZERO )");
  try {
    CantidadEnLetrasIngles("USD", 0.5, dolares);
    FAIL();
  } catch (const ErrorFormato& e) {
    EXPECT_STREQ(e.what(), "0.5 not in valid range 1..4294967295.99");
  }
  try {
    CantidadEnLetrasIngles("USD", 5e9, dolares);
    FAIL();
  } catch (const ErrorFormato& e) {
    EXPECT_STREQ(e.what(), "5000000000 not in valid range 1..4294967295.99");
  }
}

}  // namespace
