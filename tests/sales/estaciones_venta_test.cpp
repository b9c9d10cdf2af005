// Two stations (two processes, each with its own system directory and scratch table,
// one data directory) start a delivery note at the same moment and save it.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "sales/captura.h"
#include "base/rutas.h"
#include "base/texto.h"
#include "store/dbf/dbf_table.h"
#include "session/empresa_nueva.h"
#include "support/dialogos_venta_falsos.h"
#include "support/empresa_ventas.h"
#include "support/entorno.h"
#include "support/estaciones.h"
#include "support/interaccion_fake.h"
#include "support/reloj_fijo.h"

namespace mostrador::prueba {
namespace {

constexpr std::string_view kSistema2 = "C:\\tvk2";

// A meeting point of the stations: each one leaves a file and waits for the other's.
void avisa(const std::string& nombre) { std::ofstream(nombre) << "1"; }
bool aguarda(const std::string& nombre) {
  for (int i = 0; i < 20000; ++i) {
    if (std::filesystem::exists(nombre)) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return false;
}

struct Venta {
  std::string_view sistema;
  int segundo;  // of 09:00, the station's clock: its control stamp
  std::string cliente, cantidad, clave;
};

// One station: opens the sales screen, presses F9 together with the other, captures
// its line, saves together with the other. The exit status says where it went wrong.
int estacionVenta(const EmpresaVentas& empresa, const Venta& v, const std::string& yo,
                  const std::string& otra) {
  RelojFijo reloj({{2025, 6, 30}, {9, 0, v.segundo, 0}});
  InteraccionFalsa ui;
  DialogosVentaFalsos dlg;
  sales::CapturaVenta cap(sales::leeAjustes(v.sistema, empresa.lineas), ui, dlg, reloj);
  cap.abre();
  if (cap.archivoPartidas() != "deta2.db") return 2;
  avisa(yo + ".abierta");
  if (!aguarda(otra + ".abierta")) return 3;
  if (!cap.nuevo()) return 4;
  avisa(yo + ".nueva");
  if (!aguarda(otra + ".nueva")) return 5;
  cap.campos().cliente = v.cliente;
  cap.saleCliente();
  cap.ponCelda(sales::kCantidad, v.cantidad);
  cap.ponCelda(sales::kClave, v.clave);
  cap.entraColumna(sales::kProducto);
  avisa(yo + ".capturada");
  if (!aguarda(otra + ".capturada")) return 6;
  if (!cap.guarda()) return 7;
  if (!ui.llamadas().empty()) return 8;
  return 0;
}

TEST(EstacionesVenta, DosEstacionesGuardanALaVezConNumerosYPartidasPropios) {
  DirectorioTemporal dir;
  EmpresaVentas empresa;
  ProductoVenta p1;
  p1.clave = "P1";
  p1.descripcion = "Martillo de una";
  p1.existencia = 50;
  p1.precio = 100;
  empresa.producto(p1);
  ProductoVenta p2;
  p2.clave = "P2";
  p2.descripcion = "Clavo de 2 pulgadas";
  p2.existencia = 1000;
  p2.precio = 2.5;
  empresa.producto(p2);
  empresa.cliente("C1", "Ferreteria Lopez");
  empresa.sesion("0");
  // The second station: its own system directory on the same data directory.
  session::OpcionesEmpresa o;
  o.dirDatos = std::string(EmpresaVentas::kDatos);
  o.dirSistema = std::string(kSistema2);
  session::creaDirectorioSistema(o);
  ASSERT_TRUE(base::escribeLineas(base::une(kSistema2, "Gener1.cnf"), empresa.lineas));
  ASSERT_TRUE(base::copia(base::une(EmpresaVentas::kSistema, "encabeza.cnf"),
                           base::une(kSistema2, "encabeza.cnf")));
  ASSERT_TRUE(base::copia(base::une(EmpresaVentas::kSistema, "Multi.dat"),
                           base::une(kSistema2, "Multi.dat")));

  const Venta a{EmpresaVentas::kSistema, 0, "C1", "2", "P1"};  // stamp 37500
  const Venta b{kSistema2, 1, "1", "5", "P2"};                 // stamp 37501
  const pid_t pa = estacion([&] { return estacionVenta(empresa, a, "a", "b"); });
  const pid_t pb = estacion([&] { return estacionVenta(empresa, b, "b", "a"); });
  ASSERT_EQ(espera(pa), 0);
  ASSERT_EQ(espera(pb), 0);

  // Two headers, two different numbers, each with its own customer and stamp.
  std::map<std::string, std::string> numeroDe;  // customer -> number
  std::set<std::string> numeros;
  for (const std::string& fila : empresa.filas("Remision.dbf", {"CLCLI_F", "CLDOC_F", "CONTROL"})) {
    const auto corte = fila.find('|');
    numeroDe[fila.substr(0, corte)] = fila.substr(corte + 1, fila.find('|', corte + 1) - corte - 1);
    numeros.insert(fila.substr(corte + 1));
  }
  ASSERT_EQ(numeroDe.size(), 2u);
  const std::string na = numeroDe["C1"], nb = numeroDe["1"];
  EXPECT_EQ(std::set<std::string>({na, nb}), (std::set<std::string>{"1", "2"}));
  EXPECT_EQ(numeros, (std::set<std::string>{na + "|37500", nb + "|37501"}));

  // Each number holds its own station's line and movement, nothing of the other.
  std::set<std::string> partidas;
  for (const std::string& f : empresa.filas("Remisiod.dbf", {"CLDOC_FD", "CLPRO_FD", "CANTI_FD", "CONTROL"}))
    partidas.insert(f);
  EXPECT_EQ(partidas, (std::set<std::string>{na + "|P1|2.000|37500", nb + "|P2|5.000|37501"}));
  std::set<std::string> movimientos;
  for (const std::string& f : empresa.filas("movinven.dbf", {"CLPRO_MI", "TIMOV_MI", "CANTI_MI",
                                                             "REFMO_MI", "NUDOC_MI", "CLCOP_MI"}))
    movimientos.insert(f);
  EXPECT_EQ(movimientos, (std::set<std::string>{"P1|3|2.000|" + na + "|R" + na + "-37500|C1",
                                                "P2|3|5.000|" + nb + "|R" + nb + "-37501|1"}));
  EXPECT_EQ(empresa.numero("inventar.dbf", "CLPRO_I", "P1", "EXIST_I"), 48);
  EXPECT_EQ(empresa.numero("inventar.dbf", "CLPRO_I", "P2", "EXIST_I"), 995);
}

}  // namespace
}  // namespace mostrador::prueba
