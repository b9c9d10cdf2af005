// The till on the sales screen: its menu, pay and print at this till with line 62, and a
// code from the serial reader going into the sale as a scan.
#include <QAction>

#include "base/rutas.h"
#include "pantalla_factura.h"
#include "sales/caja.h"

namespace mostrador::sales {
namespace {

using V = std::vector<std::string>;

struct CajaFactura : PantallaFactura {};

TEST_F(CajaFactura, ElMenuDeCajaTieneSusOrdenesYSinLinea62PagarNoHaceNada) {
  TFormaFactura& f = abre();
  for (const char* n : {"ConfigurarCaja1", "SalidasdeEfectivo1", "EntradasdeEfectivo1", "CortedeCaja1",
                        "CortedeCajayRetiros1", "ImprimiryAsignarCaja1", "CorteZ1", "CorteZRESUMEN1"})
    EXPECT_NE(f.findChild<QAction*>(n), nullptr) << n;
  ui.olvidaLlamadas();
  f.ImprimiryAsignarCaja1Click();
  // Without line 62 "S" the command is off: no question, no message, nothing stored.
  EXPECT_EQ(ui.llamadas(), V{});
}

TEST_F(CajaFactura, UnCodigoDelLectorSerialEntraComoUnEscaneo) {
  TFormaFactura& f = abre();
  f.BotonNuevoClick();
  f.codigoLeido("7501234567890");
  f.codigoLeido("7509999999999");
  f.codigoLeido("MART");
  QApplication::processEvents();
  EXPECT_EQ(texto(0, 1), "MART");
  EXPECT_EQ(texto(0, 2), "Martillo");
  EXPECT_EQ(texto(1, 1), "CLAV");
  EXPECT_EQ(texto(2, 1), "MART");
  // Two hammers and the nails, each with its 16 %.
  EXPECT_EQ(etiqueta("TotalFact"), "255.20");
}

}  // namespace
}  // namespace mostrador::sales
