#include <gtest/gtest.h>

#include <stdexcept>

#include "base/bitacora.h"
#include "base/lectores.h"
#include "support/entorno.h"
#include "support/interaccion_fake.h"
#include "support/reloj_fijo.h"

using namespace mostrador;
using namespace mostrador::base;
using mostrador::prueba::DirectorioTemporal;
using mostrador::prueba::InteraccionFalsa;
using mostrador::prueba::RelojFijo;

TEST(LectorConfiguracion, ReadsCompanyLinesThroughTheInitialisationFile) {
  DirectorioTemporal t;
  t.escribe("unidades/c/TVK/talvek.ini", "C:\\TVK\r\nC:\\TVK\\Gener1.cnf\r\n\r\n");
  t.escribe("unidades/c/TVK/GENER1.CNF",
            "NO\r\n\r\n\r\n\r\n16\r\nS\r\n\r\nC:\\DATOS\r\nCompa\xF1\xED" "a Uno\r\n");
  InteraccionFalsa ui;
  LectorConfiguracion lector(ui);
  EXPECT_EQ(lector.linea(8), "C:\\DATOS");
  EXPECT_EQ(lector.linea(9), "Compañía Uno");
  EXPECT_EQ(lector.linea(72), "");
  EXPECT_TRUE(lector.activa(6));
  EXPECT_FALSE(lector.activa(1));
  EXPECT_EQ(ui.llamadas(), std::vector<std::string>{});
}

TEST(LectorConfiguracion, MissingFilesAreReportedAndReadNothing) {
  DirectorioTemporal t;
  InteraccionFalsa ui;
  LectorConfiguracion lector(ui);
  EXPECT_EQ(lector.linea(8), std::nullopt);
  t.escribe("unidades/c/TVK/talvek.ini", "C:\\TVK\r\nC:\\TVK\\Gener7.cnf\r\n\r\n");
  EXPECT_EQ(lector.linea(8), std::nullopt);
  EXPECT_EQ(ui.mensajes(), (std::vector<std::string>{"El Archivo de Inicio No Existe Revise su configuración",
                                                     "El Archivo C:\\TVK\\Gener7.cnf No Existe"}));
}

TEST(LectorConfiguracion, SystemDirectoryAndSystemFiles) {
  DirectorioTemporal t;
  InteraccionFalsa ui;
  LectorConfiguracion lector(ui);
  // A first start creates the initialisation file with the current directory.
  EXPECT_EQ(lector.directorioSistema(), t.str());
  EXPECT_EQ(t.lee("unidades/c/TVK/talvek.ini"), t.str() + "\r\n");

  t.escribe("Rapida.cnf", "S\r\nN\r\n");
  EXPECT_EQ(lector.lineaSistema("\\rapida.cnf", 2), "N");
  EXPECT_EQ(lector.lineaSistema("rapida.cnf", 3), "");
  EXPECT_EQ(lector.lineaSistema("\\caja.cnf", 1), std::nullopt);
  EXPECT_EQ(ui.mensajes(), std::vector<std::string>{"El Archivo \\caja.cnf No Existe"});
}

TEST(Bitacora, PlainAndCappedWriters) {
  DirectorioTemporal t;
  Bitacora bitacora("C:\\TVK");
  t.escribe("unidades/c/tvk/.keep", "");
  ASSERT_TRUE(bitacora.escribe("Reindexado 01/07/2001  13:05:09"));
  ASSERT_TRUE(bitacora.escribeLimitada("Último"));
  EXPECT_EQ(t.lee("unidades/c/tvk/Bitacora.txt"), "Reindexado 01/07/2001  13:05:09\r\n\xDAltimo\r\n");

  // At the cap the log is kept; one byte more and the capped writer starts it afresh.
  t.escribe("unidades/c/tvk/Bitacora.txt", std::string(1000000, 'x'));
  ASSERT_TRUE(bitacora.escribeLimitada("a"));
  EXPECT_EQ(t.lee("unidades/c/tvk/Bitacora.txt").size(), 1000003u);
  ASSERT_TRUE(bitacora.escribe("b"));
  EXPECT_EQ(t.lee("unidades/c/tvk/Bitacora.txt").size(), 1000006u);
  ASSERT_TRUE(bitacora.escribeLimitada("c"));
  EXPECT_EQ(t.lee("unidades/c/tvk/Bitacora.txt"), "c\r\n");
}

TEST(Bitacora, LoggedOpenerWritesOnlyOnFailure) {
  DirectorioTemporal t;
  Bitacora bitacora(t.str());
  RelojFijo reloj({{2001, 7, 1}, {13, 5, 9, 0}});
  bool abierta = false;
  EXPECT_TRUE(abreRegistrando([&] { abierta = true; }, "cliente.dbf", bitacora, reloj));
  EXPECT_TRUE(abierta);
  EXPECT_FALSE(t.lee("Bitacora.txt").size());

  EXPECT_FALSE(abreRegistrando([] { throw std::runtime_error("bloqueada"); }, "facturae.dbf", bitacora, reloj));
  EXPECT_EQ(t.lee("Bitacora.txt"), "Error Apertura facturae.dbf 13:05:09 01/07/2001 13:05:09\r\n");
}
