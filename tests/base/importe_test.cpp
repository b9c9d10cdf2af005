#include "base/importe.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace mostrador;
using namespace mostrador::base;

namespace {
Importe de(const char* texto) { return *Importe::deTexto(texto); }
}  // namespace

TEST(Importe, FromDoubleRoundsToTenThousandthsWithTiesToEven) {
  EXPECT_EQ(Importe::deDouble(0.1).diezmilesimos(), 1000);
  EXPECT_EQ(Importe::deDouble(1.15).diezmilesimos(), 11500);
  EXPECT_EQ(Importe::deDouble(-19.99).diezmilesimos(), -199900);
  // Exact binary ties go to the even neighbour.
  EXPECT_EQ(Importe::deDouble(0.03125).diezmilesimos(), 312);
  EXPECT_EQ(Importe::deDouble(0.09375).diezmilesimos(), 938);
  EXPECT_EQ(Importe::deDouble(-0.03125).diezmilesimos(), -312);
  // 0.00005 and 0.00185 are stored a hair above the tie; a double-precision product
  // would round them to exact ties and then to 0 and 18.
  EXPECT_EQ(Importe::deDouble(0.00005).diezmilesimos(), 1);
  EXPECT_EQ(Importe::deDouble(0.00185).diezmilesimos(), 19);
  EXPECT_EQ(Importe::deDouble(2.00005).diezmilesimos(), 20000);  // a hair below
  EXPECT_EQ(Importe::deDouble(std::nan("")).diezmilesimos(), 0);
  EXPECT_EQ(Importe::deDouble(1e300).diezmilesimos(), INT64_MAX);
  EXPECT_EQ(Importe::deDouble(-1e300).diezmilesimos(), -INT64_MAX);
}

TEST(Importe, FromTextReadsTheDigitsExactly) {
  EXPECT_EQ(de("12.34565").diezmilesimos(), 123456);
  EXPECT_EQ(de("12.34575").diezmilesimos(), 123458);
  EXPECT_EQ(de("12.345651").diezmilesimos(), 123457);
  EXPECT_EQ(de(" -0.00005 ").diezmilesimos(), 0);
  EXPECT_EQ(de("1e3").diezmilesimos(), 10000000);
  EXPECT_EQ(de("922337203685477.5807").diezmilesimos(), INT64_MAX);
  EXPECT_FALSE(Importe::deTexto("922337203685477.5808"));
  EXPECT_FALSE(Importe::deTexto("abc"));
  EXPECT_FALSE(Importe::deTexto("1,000.00"));
  EXPECT_FALSE(Importe::deTexto(""));
  EXPECT_EQ(de("-0.0001").texto(), "-0.0001");
  EXPECT_EQ(de("1234.5000").texto(), "1234.5");
  EXPECT_EQ(de("-0").texto(), "0");
}

TEST(Importe, SumsStayExact) {
  Importe suma;
  for (int i = 0; i < 10; ++i) suma += de("0.1");
  EXPECT_EQ(suma, de("1"));
  EXPECT_EQ(de("0.1") * 3, de("0.3"));
  EXPECT_EQ(de("10") - de("0.0001"), de("9.9999"));
  EXPECT_EQ(-de("5"), de("-5"));
  EXPECT_LT(de("-1"), de("0.0001"));
  EXPECT_GT(de("100"), de("99.9999"));
}

TEST(Importe, ProductsRoundHalfAwayFromZero) {
  EXPECT_EQ((Importe::deDiezmilesimos(5) * 0.5).diezmilesimos(), 3);
  EXPECT_EQ((Importe::deDiezmilesimos(-5) * 0.5).diezmilesimos(), -3);
  EXPECT_EQ(de("59.97") * 0.16, de("9.5952"));
  EXPECT_EQ(de("10") * (1.0 / 3.0), de("3.3333"));
  EXPECT_EQ(de("116") / 1.16, de("100"));
  EXPECT_EQ(de("10") / 3, de("3.3333"));
  EXPECT_EQ(de("20") / 3, de("6.6667"));
  EXPECT_EQ(de("5") / 0, Importe());
}

TEST(Importe, RoundsToCentsHalfAwayFromZero) {
  EXPECT_EQ(de("12.345").redondeaCentavos(), de("12.35"));
  EXPECT_EQ(de("-12.345").redondeaCentavos(), de("-12.35"));
  EXPECT_EQ(de("12.3449").redondeaCentavos(), de("12.34"));
  EXPECT_EQ(de("0.9950").redondeaCentavos(), de("1"));
}

TEST(Importe, TotalRoundingStep) {
  // Step 5 (fifty cents).
  EXPECT_EQ(de("12.34").redondeaTotal(5), de("12.50"));
  EXPECT_EQ(de("12.50").redondeaTotal(5), de("12.50"));
  EXPECT_EQ(de("12.51").redondeaTotal(5), de("13.00"));
  EXPECT_EQ(de("99.99").redondeaTotal(5), de("100.00"));
  EXPECT_EQ(de("12.00").redondeaTotal(5), de("12.00"));
  // Step 1 (ten cents) and step 10 (one unit).
  EXPECT_EQ(de("12.34").redondeaTotal(1), de("12.40"));
  EXPECT_EQ(de("12.305").redondeaTotal(1), de("12.30"));  // a multiple keeps whole cents only
  EXPECT_EQ(de("12.01").redondeaTotal(10), de("13.00"));
  // No step; negative amounts by their size.
  EXPECT_EQ(de("12.34").redondeaTotal(0), de("12.34"));
  EXPECT_EQ(de("-12.34").redondeaTotal(5), de("-12.50"));
}

TEST(Importe, FormatsThroughTheMasks) {
  EXPECT_EQ(de("1234567.891").formatea("###,###,##0.00"), "1,234,567.89");
  EXPECT_EQ(de("-0.5").formatea("##,##0.00"), "-0.50");
  EXPECT_EQ(de("0.005").formatea("##,##0.00"), "0.01");
  EXPECT_EQ(Importe::deDiezmilesimos(INT64_MAX).formatea("#,##0.0000"), "922,337,203,685,477.5807");
  EXPECT_EQ(de("2.5").aDouble(), 2.5);
}
