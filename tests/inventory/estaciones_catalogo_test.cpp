// One station modifies a product while another sells it: two processes on one data
// directory.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "inventory/catalogo_productos.h"
#include "sales/captura.h"
#include "base/rutas.h"
#include "base/texto.h"
#include "session/empresa_nueva.h"
#include "support/dialogos_venta_falsos.h"
#include "support/empresa_ventas.h"
#include "support/entorno.h"
#include "support/estaciones.h"
#include "support/interaccion_fake.h"
#include "support/reloj_fijo.h"

namespace mostrador::prueba {
namespace {

void avisa(const std::string& nombre) { std::ofstream(nombre) << "1"; }
bool aguarda(const std::string& nombre) {
  for (int i = 0; i < 20000; ++i) {
    if (std::filesystem::exists(nombre)) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return false;
}

TEST(EstacionesCatalogo, AModificationKeepsTheStockASaleWrote) {
  DirectorioTemporal dir;
  EmpresaVentas empresa;
  ProductoVenta p;
  p.clave = "P1";
  p.descripcion = "MARTILLO";
  p.existencia = 50;
  p.precio = 100;
  empresa.producto(p);
  empresa.sesion("0");
  constexpr std::string_view kSistema2 = "C:\\tvk2";
  session::OpcionesEmpresa o;
  o.dirDatos = std::string(EmpresaVentas::kDatos);
  o.dirSistema = std::string(kSistema2);
  session::creaDirectorioSistema(o);
  ASSERT_TRUE(base::escribeLineas(base::une(kSistema2, "Gener1.cnf"), empresa.lineas));
  ASSERT_TRUE(base::copia(base::une(EmpresaVentas::kSistema, "encabeza.cnf"), base::une(kSistema2, "encabeza.cnf")));
  ASSERT_TRUE(base::copia(base::une(EmpresaVentas::kSistema, "Multi.dat"), base::une(kSistema2, "Multi.dat")));
  base::creaDirectorios("C:\\trabajo");

  // The catalogue station: enters Modify, waits for the sale, changes the description
  // and the price, saves.
  const pid_t catalogo = estacion([&] {
    InteraccionFalsa ui;
    RelojFijo reloj({{2025, 6, 30}, {9, 0, 0, 0}});
    inventory::CatalogoProductos c(inventory::AjustesCatalogo::de(empresa.lineas, "C:\\trabajo", "0"), ui,
                                   reloj, [](int) { return true; });
    if (!c.abre() || !c.modifica()) return 2;
    avisa("catalogo.modificando");
    if (!aguarda("venta.guardada")) return 3;
    if (!c.ponTexto("DSCPR_I", "MARTILLO DE UNA") || !c.ponTexto("PPUBL_I", "120")) return 4;
    if (!c.guarda("P1")) return 5;
    return ui.llamadas().empty() ? 0 : 6;
  });
  // The till: sells three while the product is held in Modify.
  const pid_t venta = estacion([&] {
    InteraccionFalsa ui;
    DialogosVentaFalsos dlg;
    RelojFijo reloj({{2025, 6, 30}, {9, 0, 1, 0}});
    sales::CapturaVenta cap(sales::leeAjustes(kSistema2, empresa.lineas), ui, dlg, reloj);
    cap.abre();
    if (!aguarda("catalogo.modificando")) return 2;
    if (!cap.nuevo()) return 3;
    cap.ponCelda(sales::kCantidad, "3");
    cap.ponCelda(sales::kClave, "P1");
    cap.entraColumna(sales::kProducto);
    if (!cap.guarda()) return 4;
    avisa("venta.guardada");
    return 0;
  });
  EXPECT_EQ(espera(venta), 0);
  EXPECT_EQ(espera(catalogo), 0);
  EXPECT_EQ(empresa.filas("inventar.dbf", {"CLPRO_I", "DSCPR_I", "PPUBL_I", "EXIST_I"}),
            std::vector<std::string>{"P1|MARTILLO DE UNA|120.0000|47.000"});
}

}  // namespace
}  // namespace mostrador::prueba
