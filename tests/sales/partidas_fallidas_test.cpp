// A write to the station's scratch lines that fails (a disk that filled up while a line
// was typed) stops that table's handle: the next sale opens it again and is typed and
// saved as any other.
#include <gtest/gtest.h>

#include "banco_captura.h"
#include "store/dbf/journal.h"

namespace mostrador::sales {
namespace {

using V = std::vector<std::string>;

TEST(PartidasFallidas, LaSiguienteVentaReabreSusPartidasYSeGuarda) {
  prueba::Banco b;
  b.producto("A", 10, 5);
  CapturaVenta& c = b.abre();
  ASSERT_TRUE(c.nuevo());
  dbf::journal::Fault f;
  f.name = "deta";
  f.nth = 1;
  f.times = 1;
  dbf::journal::setFault(f);
  b.linea("1", "A");  // the disk is full for the scratch table's next write
  ASSERT_EQ(dbf::journal::faultsInjected(), 1);
  dbf::journal::clearFault();
  c.descarta();
  b.ui.olvidaLlamadas();

  ASSERT_TRUE(c.nuevo());
  b.linea("2", "A");
  EXPECT_EQ(c.partida(0).clave, "A");
  EXPECT_EQ(c.partida(0).cantidad, 2);
  ASSERT_TRUE(c.guarda()) << (b.ui.mensajes().empty() ? std::string() : b.ui.mensajes().front());
  EXPECT_EQ(b.emp.numero("inventar.dbf", "CLPRO_I", "A", "EXIST_I"), 8);
}

}  // namespace
}  // namespace mostrador::sales
