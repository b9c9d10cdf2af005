// Stations selling into one company at once, killed at random moments, and a sale that
// meets a product another station holds: afterwards the files show every sale whole or
// absent, as an independent reader of the bytes sees them.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <random>

#include "sales/captura.h"
#include "base/rutas.h"
#include "store/dbf/dbf_table.h"
#include "support/dialogos_venta_falsos.h"
#include "support/empresa_ventas.h"
#include "support/entorno.h"
#include "support/estaciones.h"
#include "support/interaccion_fake.h"
#include "support/reloj_fijo.h"
#include "support/tienda_estaciones.h"

namespace mostrador::prueba {
namespace {

std::string datosLocal() { return base::resuelve(std::string(EmpresaVentas::kDatos)).string(); }

TEST(Integridad, DosEstacionesVendiendoALaVezGuardanCadaVentaUnaVezYEntera) {
  DirectorioTemporal dir;
  EmpresaVentas empresa;
  OpcionesTienda o;
  const auto sistemas = preparaTienda(empresa, 2, o);
  std::vector<std::string> registros;
  std::vector<pid_t> hijos;
  for (int e = 1; e <= 2; ++e) {
    registros.push_back((dir.ruta() / ("estacion" + std::to_string(e) + ".log")).string());
    hijos.push_back(estacion([&, e] {
      return vendeEstacion(empresa, sistemas[size_t(e - 1)], e, 50, 1000 + e, registros.back(), o);
    }));
  }
  for (pid_t h : hijos) EXPECT_EQ(espera(h), 0);
  const RevisionTienda r = revisaTienda(datosLocal(), registros, o);
  EXPECT_TRUE(r.sana()) << r.resumen();
  EXPECT_EQ(r.guardados, 100) << r.resumen();
  EXPECT_EQ(r.confirmados, 100);
  EXPECT_EQ(r.rechazados, 0);
}

TEST(Integridad, EstacionesMatadasAMitadDeGuardarNoDejanNadaAMedias) {
  DirectorioTemporal dir;
  EmpresaVentas empresa;
  OpcionesTienda o;
  const auto sistemas = preparaTienda(empresa, 3, o);
  std::vector<std::string> registros;
  for (int e = 1; e <= 3; ++e) registros.push_back((dir.ruta() / ("estacion" + std::to_string(e) + ".log")).string());
  std::mt19937 azar(7);
  int cortadas = 0;
  for (int ronda = 0; ronda < 10; ++ronda) {
    std::vector<pid_t> hijos;
    for (int e = 1; e <= 3; ++e)
      hijos.push_back(estacion([&, e, ronda] {
        return vendeEstacion(empresa, sistemas[size_t(e - 1)], e * 100 + ronda, 1000, 77 * ronda + e,
                             registros[size_t(e - 1)], o);
      }));
    usleep(100000 + azar() % 400000);
    for (pid_t h : hijos) kill(h, SIGKILL);
    for (pid_t h : hijos) cortadas += espera(h) == 100 + SIGKILL;
    // The next station to open the company puts back whatever a killed save left.
    dbf::Table t;
    t.open(std::string(EmpresaVentas::kDatos), "inventar.dbf");
    t.close();
    const RevisionTienda r = revisaTienda(datosLocal(), registros, o);
    ASSERT_TRUE(r.sana()) << "ronda " << ronda << ": " << r.resumen();
  }
  EXPECT_EQ(cortadas, 30);
  const RevisionTienda r = revisaTienda(datosLocal(), registros, o);
  EXPECT_GE(r.guardados, 10) << r.resumen();
}

TEST(Integridad, UnProductoOcupadoDetieneElGuardadoSinEscribirYElSegundoF10GuardaUnaVez) {
  DirectorioTemporal dir;
  EmpresaVentas empresa;
  OpcionesTienda o;
  o.productos = 3;
  preparaTienda(empresa, 1, o);
  setenv("MOSTRADOR_ESPERA_MS", "300", 1);
  int tubo[2], suelta[2];
  ASSERT_EQ(pipe(tubo), 0);
  ASSERT_EQ(pipe(suelta), 0);
  // Another station has P02 open for changes until told to let go.
  const pid_t otra = estacion([&] {
    dbf::Table p;
    p.open(std::string(EmpresaVentas::kDatos), "inventar.dbf");
    p.setIndex("ICLPRO");
    p.findKey({"P02"});
    p.edit();
    (void)!write(tubo[1], "x", 1);
    char c;
    (void)!read(suelta[0], &c, 1);
    p.cancel();
    return 0;
  });
  char c;
  ASSERT_EQ(read(tubo[0], &c, 1), 1);

  RelojFijo reloj({{2025, 6, 30}, {10, 0, 0, 0}});
  InteraccionFalsa ui;
  DialogosVentaFalsos dlg;
  sales::CapturaVenta cap(empresa.ajustes(), ui, dlg, reloj);
  cap.abre();
  ASSERT_TRUE(cap.nuevo());
  cap.campos().cliente = "C1";
  ASSERT_TRUE(cap.saleCliente());
  for (auto [q, k] : {std::pair{"2", "P01"}, {"3", "P02"}, {"1", "P03"}}) {
    cap.agregaPartida();
    cap.ponCelda(sales::kCantidad, q);
    cap.entraColumna(sales::kClave);
    cap.ponCelda(sales::kClave, k);
    cap.entraColumna(sales::kProducto);
  }
  const auto movsAntes = empresa.filas("movinven.dbf", {"CLPRO_MI"});
  EXPECT_FALSE(cap.guarda());
  ASSERT_FALSE(ui.llamadas().empty());
  EXPECT_EQ(ui.llamadas().back(),
            "mensaje: No se puede guardar: el producto P02 Producto 2 está en uso por otra estación. El "
            "documento sigue en pantalla; intente de nuevo.");
  EXPECT_TRUE(cap.enCaptura());
  std::string enPantalla;
  for (const auto& p : cap.partidas())
    if (!p.clave.empty()) enPantalla += p.clave + " ";
  EXPECT_EQ(enPantalla, "P01 P02 P03 ");
  EXPECT_EQ(empresa.filas("Remisiod.dbf", {"CLPRO_FD"}), std::vector<std::string>{});
  EXPECT_EQ(empresa.filas("movinven.dbf", {"CLPRO_MI"}), movsAntes);
  EXPECT_EQ(empresa.numero("inventar.dbf", "CLPRO_I", "P01", "EXIST_I"), 100000);

  (void)!write(suelta[1], "x", 1);
  EXPECT_EQ(espera(otra), 0);
  unsetenv("MOSTRADOR_ESPERA_MS");
  EXPECT_TRUE(cap.guarda());
  EXPECT_EQ(empresa.filas("Remisiod.dbf", {"CLPRO_FD", "CANTI_FD"}),
            (std::vector<std::string>{"P01|2.000", "P02|3.000", "P03|1.000"}));
  EXPECT_EQ(empresa.filas("movinven.dbf", {"CLPRO_MI", "CANTI_MI"}),
            (std::vector<std::string>{"P01|2.000", "P02|3.000", "P03|1.000"}));
  EXPECT_EQ(empresa.numero("inventar.dbf", "CLPRO_I", "P02", "EXIST_I"), 99997);
  for (int i : {0, 1, 2, 3}) close(i < 2 ? tubo[i] : suelta[i - 2]);
}

}  // namespace
}  // namespace mostrador::prueba
