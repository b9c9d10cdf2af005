// A sale whose inventory movement cannot be written is not saved at all: no header,
// no lines, no stock change, and the document stays on screen to be saved again.
#include <gtest/gtest.h>

#include "banco_captura.h"
#include "store/dbf/dbf_table.h"
#include "store/dbf/journal.h"

namespace mostrador::prueba {
namespace {

bool fallaMovimientos = false;
void escritura(const std::filesystem::path& archivo, off_t, size_t) {
  if (fallaMovimientos && archivo.filename() == "movinven.dbf")
    throw dbf::Error("No se pudo escribir", "write", archivo.string(), 28);
}

TEST(MovimientoFallido, LaVentaNoSeGuardaSinSusMovimientos) {
  Banco b;
  b.producto("A", 10, 10);
  sales::CapturaVenta& c = b.abre();
  ASSERT_TRUE(c.nuevo());
  b.linea("3", "A");
  dbf::journal::setWriteHook(escritura);
  fallaMovimientos = true;
  EXPECT_FALSE(c.guarda());
  fallaMovimientos = false;
  EXPECT_EQ(b.ui.mensajes().back(), "No Pueden Guardarse los Datos ha Ocurrido un Error");
  EXPECT_EQ(b.emp.numero("inventar.dbf", "CLPRO_I", "A", "EXIST_I"), 10);
  EXPECT_TRUE(b.emp.filas("Remisiod.dbf", {"CLDOC_FD"}).empty());
  EXPECT_TRUE(b.emp.filas("movinven.dbf", {"CLDOC_MI"}).empty());
  // The same document saves once the table takes writes again.
  EXPECT_TRUE(c.guarda());
  dbf::journal::setWriteHook(nullptr);
  EXPECT_EQ(b.emp.numero("inventar.dbf", "CLPRO_I", "A", "EXIST_I"), 7);
  EXPECT_EQ(b.emp.filas("movinven.dbf", {"TIMOV_MI", "CLPRO_MI", "CANTI_MI"}), (std::vector<std::string>{"3|A|3.000"}));
}

}  // namespace
}  // namespace mostrador::prueba
