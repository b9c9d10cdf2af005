// Pre-packed items scanned with their scale label: the item's product with the weight or
// the price the label carries, no scale asked; a misread label says so; labels off, the
// code is an ordinary key.
#include <gtest/gtest.h>

#include "banco_captura.h"
#include "base/rutas.h"
#include "base/texto.h"
#include "sales/texto_venta.h"

namespace mostrador::sales {
namespace {

using V = std::vector<std::string>;

struct EtiquetasBascula : ::testing::Test {
  prueba::Banco b;
  EtiquetasBascula() {
    prueba::ProductoVenta p;
    p.clave = "00123";
    p.descripcion = "Queso";
    p.existencia = 100;
    p.precio = 40;
    p.factor = 1;  // weighed: typed by hand it would ask the scale
    b.emp.producto(p);
  }
  void etiquetas() {
    // Weight labels under prefix 20, price labels under 22.
    base::escribeLineas(base::une(std::string(prueba::EmpresaVentas::kSistema), "Bascula.cnf"),
                        {"COM2", "9600", "S", "20", "22"});
  }
  std::string linea(int fila) {
    const Partida p = b.cap->partida(fila);
    return p.clave + "|" + p.producto + "|" + numeroTexto(p.cantidad.value_or(-1)) + "|" + numeroTexto(p.importe);
  }
};

TEST_F(EtiquetasBascula, PesoYPrecioDeLaEtiquetaSinPreguntarALaBascula) {
  etiquetas();
  CapturaVenta& c = b.abre();
  ASSERT_TRUE(c.nuevo());
  b.linea("1", "2000123012506");  // 1.250 kg
  EXPECT_EQ(linea(0), "00123|Queso|1.25|50");
  // Scanned where the quantity goes, as a counter scan lands.
  c.agregaPartida();
  EXPECT_EQ(c.tecleaCantidad("2200123005991"), CapturaVenta::Cantidad::Producto);  // $5.99
  EXPECT_EQ(linea(1), "00123|Queso|0.15|6");
  EXPECT_EQ(b.dlg.llamadas, V{});
  EXPECT_EQ(b.ui.mensajes(), V{});
}

TEST_F(EtiquetasBascula, UnaEtiquetaMalLeidaLoDice) {
  etiquetas();
  CapturaVenta& c = b.abre();
  ASSERT_TRUE(c.nuevo());
  b.linea("1", "2000123012507");  // the check digit does not match
  ASSERT_EQ(b.ui.mensajes().size(), 1u);
  EXPECT_EQ(b.ui.mensajes()[0].rfind("La etiqueta de báscula 2000123012507 no es válida", 0), 0u) << b.ui.mensajes()[0];
  EXPECT_EQ(c.partida(0).producto, "");
}

TEST_F(EtiquetasBascula, SinEtiquetasElCodigoEsUnaClaveMas) {
  CapturaVenta& c = b.abre();
  ASSERT_TRUE(c.nuevo());
  b.linea("1", "2000123012506");
  EXPECT_EQ(b.ui.mensajes(), V{"El Producto No Se encuentra"});
  EXPECT_EQ(c.partida(0).producto, "");
}

}  // namespace
}  // namespace mostrador::sales
