// A product key typed in lower case finds the product stored in capitals.
#include <gtest/gtest.h>

#include "banco_captura.h"

namespace mostrador::prueba {
namespace {

TEST(ClaveMinusculas, UnaClaveEnMinusculasEncuentraElProducto) {
  Banco b;
  b.producto("FER000004", 10, 25);
  sales::CapturaVenta& c = b.abre();
  ASSERT_TRUE(c.nuevo());
  b.linea("2", "fer000004");
  EXPECT_TRUE(b.ui.mensajes().empty()) << b.ui.mensajes().front();
  ASSERT_TRUE(c.guarda());
  EXPECT_EQ(b.emp.filas("Remisiod.dbf", {"CLPRO_FD", "CANTI_FD"}), (std::vector<std::string>{"FER000004|2.000"}));
  EXPECT_EQ(b.emp.numero("inventar.dbf", "CLPRO_I", "FER000004", "EXIST_I"), 8);
}

}  // namespace
}  // namespace mostrador::prueba
