#include "base/fechas.h"

#include <gtest/gtest.h>

#include "support/reloj_fijo.h"

using namespace mostrador;
using namespace mostrador::base;
using mostrador::prueba::RelojFijo;

TEST(Fechas, LongDateTextAndMonthNames) {
  EXPECT_EQ(fechaLarga(Fecha{2001, 7, 1}), "Domingo 1 de Julio del año 2001");
  EXPECT_EQ(fechaLarga("05/03/2001"), "Lunes 5 de Marzo del año 2001");
  EXPECT_EQ(fechaLarga("4/7/2001"), "Miercoles 4 de Julio del año 2001");
  EXPECT_EQ(fechaLarga("31/12/1999"), "Viernes 31 de Diciembre del año 1999");
  EXPECT_EQ(fechaLarga("29/02/2001"), "");
  EXPECT_EQ(fechaLarga("mañana"), "");

  EXPECT_EQ(mesFormato(7), "julio");
  EXPECT_EQ(mesFormato(6), "Junio");
  EXPECT_EQ(mesFormato(9), "Septiembre");
  EXPECT_EQ(nombreMes(7), "Julio");
  EXPECT_EQ(nombreMes(0), "");
  EXPECT_EQ(mesFormato(13), "");
  EXPECT_EQ(kDias[3], "miercoles");
  EXPECT_EQ(kDias[6], "sabado");
}

TEST(Fechas, ShortAndSqlTexts) {
  EXPECT_EQ(fechaCorta({2001, 7, 1}), "01/07/2001");
  EXPECT_EQ(leeFechaCorta(" 5/3/2001 "), (Fecha{2001, 3, 5}));
  EXPECT_EQ(leeFechaCorta("29/02/2000"), (Fecha{2000, 2, 29}));
  EXPECT_FALSE(leeFechaCorta("29/02/2001"));
  EXPECT_FALSE(leeFechaCorta("01/07/01"));
  EXPECT_FALSE(leeFechaCorta("01-07-2001"));
  EXPECT_FALSE(leeFechaCorta(""));

  EXPECT_EQ(fechaSql(Fecha{2001, 3, 5}), "3/5/2001");
  EXPECT_EQ(fechaSql("25/12/2010"), "12/25/2010");
  EXPECT_EQ(fechaSql("32/12/2010"), "");
}

TEST(Fechas, MaskedEntryCheck) {
  EXPECT_TRUE(fechaMascaraValida("01/07/2001"));
  EXPECT_TRUE(fechaMascaraValida("01/07/__01"));  // "_" in the 7th and 8th count as "0"
  EXPECT_TRUE(fechaMascaraValida("99/99/2001"));  // ranges are not this check's business
  EXPECT_FALSE(fechaMascaraValida("01/07/20__"));
  EXPECT_FALSE(fechaMascaraValida("1_/07/2001"));
  EXPECT_FALSE(fechaMascaraValida("01/__/2001"));
  EXPECT_FALSE(fechaMascaraValida("01/07/-001"));
  EXPECT_FALSE(fechaMascaraValida("  /  /    "));
  EXPECT_FALSE(fechaMascaraValida(""));
}

TEST(Fechas, DateValuesAndStamps) {
  EXPECT_EQ(serialFecha({1899, 12, 30}), 0);
  EXPECT_EQ(serialFecha({1900, 1, 1}), 2);
  EXPECT_EQ(serialFecha({2001, 7, 1}), 37073);
  EXPECT_EQ(fechaDeSerial(37073), (Fecha{2001, 7, 1}));
  EXPECT_EQ(diaSemana({2001, 7, 1}), 0);

  RelojFijo reloj({{2026, 8, 12}, {12, 0, 0, 0}});
  EXPECT_EQ(selloSecuencia({2001, 7, 1}, reloj), 37073 + 5000);
  EXPECT_EQ(selloControl(reloj), 50000);
  reloj.pon({{2026, 8, 12}, {23, 59, 59, 999}});
  EXPECT_EQ(selloSecuencia({2001, 7, 1}, reloj), 47073);
  EXPECT_EQ(selloControl(reloj), 99999);
  reloj.pon({{2026, 8, 12}, {0, 0, 0, 0}});
  EXPECT_EQ(selloSecuencia({2001, 7, 1}, reloj), 37073);
  EXPECT_EQ(selloControl(reloj), 0);
  reloj.pon({{2026, 8, 12}, {18, 0, 0, 0}});
  EXPECT_EQ(selloControl(reloj), 75000);

  EXPECT_EQ(fechaHoraTexto({{2001, 7, 1}, {9, 5, 3, 500}}), "01/07/2001 09:05:03");
}
