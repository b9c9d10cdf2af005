// The query grid's column sum, width lists and the text report of its rows.

#include <gtest/gtest.h>

#include "reports/rejilla_reporte.h"

using namespace mostrador;
using namespace mostrador::reports;
using V = std::vector<std::string>;

namespace {

TEST(RejillaReporte, SumaExactaONegadaParaColumnasQueNoSonNumeros) {
  std::vector<V> filas;
  for (int i = 0; i < 10; ++i) filas.push_back({"x", "0.1"});
  filas.push_back({"y", ""});
  filas.push_back({"z", "1234567.5"});
  EXPECT_EQ(sumaColumna(filas, 1, true), "La Suma es : 1,234,568.50");
  EXPECT_EQ(sumaColumna(filas, 0, false), "No es Posible Relizar la operación en esta columna");
  filas.push_back({"w", "abc"});
  EXPECT_EQ(sumaColumna(filas, 1, true), std::string(kNoSePuedeSumar));
  EXPECT_EQ(sumaColumna({}, 0, true), "La Suma es : 0.00");
}

TEST(RejillaReporte, AnchosDeUnaListaConEntradasVacias) {
  EXPECT_EQ(anchosDeLista("10,20,,8"), (std::vector<int>{10, 20, 0, 8}));
  EXPECT_EQ(anchosDeLista("5,"), (std::vector<int>{5, 0}));
  EXPECT_EQ(anchosDeLista(""), std::vector<int>{});
  EXPECT_EQ(rellena("12", 5, true), "   12");
  EXPECT_EQ(rellena("año", 5, false), "año  ");
  EXPECT_EQ(rellena("largo", 3, false), "largo");
}

TEST(RejillaReporte, ReporteConConsecutivoTotalesRetirosYPaginas) {
  std::vector<ColumnaNuevoReporte> c = {{"CLAVE", 6, 'c'}, {"PIEZAS", 14, '#'}, {"IMPORTE", 14, 'n'}};
  std::vector<V> filas = {{"A", "1200", "10.5"}, {"B", "3", "0.25"}};
  auto r = construyeNuevoReporte(c, filas, true, {"Retiro 1", "Retiro 2"});
  ASSERT_EQ(r.paginas.size(), 1u);
  V l;
  for (const auto& x : r.paginas[0].lineas) l.push_back(x.texto);
  EXPECT_EQ(l, (V{"*************Reporte*********",
                  "CONSEC  CLAVE          PIEZAS        IMPORTE ",
                  "1       A               1,200          10.50 ",
                  "2       B                   3           0.25 ",
                  "        TOTALES          1,203          10.75 ",
                  "", "", "Retiro 1", "Retiro 2"}));
  EXPECT_EQ(r.paginas[0].lineas[0].color, kRojoHoja);
  EXPECT_EQ(r.estados, V{"Página 1"});

  std::vector<V> muchas(120, V{"x", "1", "1"});
  auto p = construyeNuevoReporte(c, muchas, false);
  ASSERT_EQ(p.paginas.size(), 3u);
  EXPECT_EQ(p.estados[2], "Página 3");
  EXPECT_EQ(p.paginas[2].lineas.back().texto, "TOTALES            120         120.00 ");
}

}  // namespace
