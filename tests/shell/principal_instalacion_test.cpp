#include <gtest/gtest.h>

#include "shell/arranque.h"
#include "session/configuracion.h"
#include "base/lectores.h"
#include "base/rutas.h"
#include "base/texto.h"
#include "session/usuarios.h"
#include "support/entorno.h"

using namespace mostrador;
using namespace mostrador::base;
using namespace mostrador::session;
using namespace mostrador::shell;
using mostrador::prueba::DirectorioTemporal;

TEST(Instalacion, AMachineWithoutAnyGetsTheDemonstrationOne) {
  DirectorioTemporal t;
  std::vector<std::string> llamadas;
  const Instalacion i = preparaInstalacion([&](const std::string& s, const std::string& d) {
    llamadas.push_back(s + " | " + d);
    // The company file does not exist yet while the tables are made.
    EXPECT_FALSE(existe(archivoConfiguracion(s, 1)));
  });
  EXPECT_TRUE(i.nueva);
  EXPECT_EQ(i.sistema, "C:\\Mostrador");
  EXPECT_EQ(i.datos, "C:\\Mostrador\\Empresa1");
  EXPECT_EQ(llamadas, std::vector<std::string>{"C:\\Mostrador | C:\\Mostrador\\Empresa1"});
  EXPECT_TRUE(esDirectorio("C:\\Mostrador\\Empresa1"));

  auto lineas = leeLineas("C:\\Mostrador\\Gener1.cnf");
  ASSERT_TRUE(lineas);
  EXPECT_EQ(*lineas, configuracionPorOmision("C:\\Mostrador\\Empresa1", "Abarrotes La Esperanza"));
  EXPECT_EQ(lineas->size(), 72u);

  auto us = leeUsuarios("C:\\Mostrador");
  ASSERT_TRUE(us);
  ASSERT_EQ(us->size(), 3u);
  EXPECT_EQ((*us)[0].clave, "admin");
  EXPECT_EQ((*us)[0].derechos, std::string(55, 's'));
  EXPECT_EQ((*us)[1].nombre, "Cajero");
  EXPECT_EQ((*us)[1].derechos[3], 's');   // sales documents and point of sale
  EXPECT_EQ((*us)[1].derechos[2], 'n');   // no suppliers
  EXPECT_EQ((*us)[2].derechos[7], 's');   // products
  // The first start writes the initialisation file, not the set-up.
  EXPECT_FALSE(existe(kArchivoInicio));
}

TEST(Instalacion, AnInstallationNamedByTheInitialisationFileIsUsedAsItIs) {
  DirectorioTemporal t;
  creaDirectorios("D:\\Tienda");
  escribeLineas("D:\\Tienda\\Gener3.cnf", configuracionPorOmision("D:\\Datos", "Tienda"));
  creaDirectorios("c:\\TVK");
  ASSERT_TRUE(escribeLineas(kArchivoInicio, {"D:\\Tienda", "D:\\Tienda\\Gener3.cnf", ""}));
  const std::string ini = *leeBytes(kArchivoInicio);
  bool llamado = false;
  const Instalacion i = preparaInstalacion([&](const std::string&, const std::string&) { llamado = true; });
  EXPECT_FALSE(llamado);
  EXPECT_FALSE(i.nueva);
  EXPECT_EQ(i.sistema, "D:\\Tienda");
  EXPECT_EQ(*leeBytes(kArchivoInicio), ini);
  EXPECT_FALSE(existe("C:\\Mostrador"));
}

TEST(Instalacion, AnInitialisationFileNamingNoCompanyIsStartedAfresh) {
  DirectorioTemporal t;
  creaDirectorios("c:\\TVK");
  ASSERT_TRUE(escribeLineas(kArchivoInicio, {"Z:\\NoEsta"}));
  const Instalacion i = preparaInstalacion({});
  EXPECT_TRUE(i.nueva);
  EXPECT_EQ(i.sistema, "C:\\Mostrador");
  EXPECT_FALSE(existe(kArchivoInicio));
  // A second start finds the demonstration installation and keeps its files.
  escribeLineas("C:\\Mostrador\\Gener1.cnf", configuracionPorOmision("C:\\Otra", "Cambiada"));
  const Instalacion otra = preparaInstalacion({});
  EXPECT_FALSE(otra.nueva);
  EXPECT_EQ(otra.datos, "C:\\Otra");
  EXPECT_EQ(leeLinea("C:\\Mostrador\\Gener1.cnf", 9), "Cambiada");
}

TEST(Instalacion, ResidentScreensInCreationOrder) {
  const auto& r = residentes();
  ASSERT_EQ(r.size(), 12u);
  EXPECT_EQ(r[0], "TFormaPrincipal");
  EXPECT_EQ(r[1], "TFormaEmpresas");
  EXPECT_EQ(r[11], "TFormaCxPDetalle");
}
