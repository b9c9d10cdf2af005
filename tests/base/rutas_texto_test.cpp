#include <gtest/gtest.h>

#include <filesystem>

#include "base/rutas.h"
#include "base/texto.h"
#include "support/entorno.h"

namespace fs = std::filesystem;
using namespace mostrador;
using namespace mostrador::base;
using mostrador::prueba::DirectorioTemporal;

TEST(Rutas, DriveLetterMapsUnderUnidadesAndMatchesCaseInsensitively) {
  DirectorioTemporal t;
  t.escribe("unidades/c/datos/facturae.dbf", "x");
  EXPECT_EQ(resuelve("C:\\Datos\\FACTURAE.DBF"), t.ruta() / "unidades/c/datos/facturae.dbf");
  EXPECT_TRUE(existe("c:\\DATOS\\FacturaE.dbf"));
  // A missing tail keeps the spelling asked for below the existing case variant.
  EXPECT_EQ(resuelve("C:\\DATOS\\Nuevo\\Tabla.DBF"), t.ruta() / "unidades/c/datos/Nuevo/Tabla.DBF");
}

TEST(Rutas, RelativeRootedAndPosixPaths) {
  DirectorioTemporal t;
  t.escribe("Sistema/Gener1.cnf", "x");
  EXPECT_EQ(resuelve("\\sistema\\GENER1.CNF"), t.ruta() / "Sistema/Gener1.cnf");
  EXPECT_EQ(resuelve("sistema\\gener1.cnf"), t.ruta() / "Sistema/Gener1.cnf");
  EXPECT_EQ(resuelve((t.ruta() / "SISTEMA/gener1.CNF").string()), t.ruta() / "Sistema/Gener1.cnf");
}

TEST(Rutas, CreatingKeepsAnExistingCaseVariant) {
  DirectorioTemporal t;
  fs::create_directories(t.ruta() / "unidades/c/Respaldos");
  ASSERT_TRUE(creaDirectorios("C:\\RESPALDOS\\8-12-2026"));
  EXPECT_TRUE(fs::is_directory(t.ruta() / "unidades/c/Respaldos/8-12-2026"));
  EXPECT_FALSE(fs::exists(t.ruta() / "unidades/c/RESPALDOS"));
  ASSERT_TRUE(escribeLineas("c:\\respaldos\\8-12-2026\\A.TXT", {"uno"}));
  EXPECT_EQ(t.lee("unidades/c/Respaldos/8-12-2026/A.TXT"), "uno\r\n");
}

TEST(Rutas, UneAndPatterns) {
  EXPECT_EQ(une("C:\\TVK\\", "\\Gener1.cnf"), "C:\\TVK\\Gener1.cnf");
  EXPECT_EQ(une("C:\\TVK", "deta2.db"), "C:\\TVK\\deta2.db");
  EXPECT_TRUE(coincidePatron("FACTURAE.DBF", "*.dbf"));
  EXPECT_TRUE(coincidePatron("_tmp1.db", "_*"));
  EXPECT_FALSE(coincidePatron("facturae.mdx", "*.dbf"));
  EXPECT_TRUE(coincidePatron("sin_punto", "*.*"));
  EXPECT_TRUE(mismoNombre("Canción.DBF", "CANCIÓN.dbf"));
}

TEST(Texto, Cp1252RoundTripsAndCountsOneBytePerLetter) {
  const std::string utf8 = "Año €5 – ñandú “ok”";
  const std::string cp = aCp1252(utf8);
  EXPECT_EQ(cp, std::string("A\xF1o \x80" "5 \x96 \xF1" "and\xFA \x93ok\x94"));
  EXPECT_EQ(aUtf8(cp), utf8);
  EXPECT_EQ(anchoCp1252("ñandú"), 5u);
  EXPECT_EQ(cortaCp1252("ñandú", 3), "ñan");
  EXPECT_EQ(aCp1252("日本"), "??");
  // Undefined Windows-1252 bytes survive a round trip.
  EXPECT_EQ(aCp1252(aUtf8("\x81\x8D")), "\x81\x8D");
}

TEST(Texto, LinesAcceptEveryBreakAndWriteCrLf) {
  DirectorioTemporal t;
  t.escribe("a.cnf", "uno\r\ndos\ntres\rcuatro\r\n\r\nseis");
  auto lineas = leeLineas("a.cnf");
  ASSERT_TRUE(lineas);
  EXPECT_EQ(*lineas, (std::vector<std::string>{"uno", "dos", "tres", "cuatro", "", "seis"}));
  EXPECT_EQ(leeLinea("A.CNF", 3), "tres");
  EXPECT_EQ(leeLinea("a.cnf", 9), "");
  EXPECT_FALSE(leeLinea("falta.cnf", 1));
  ASSERT_TRUE(escribeLineas("b.cnf", {"Compañía", ""}));
  EXPECT_EQ(t.lee("b.cnf"), "Compa\xF1\xED" "a\r\n\r\n");
  ASSERT_TRUE(agregaLinea("b.cnf", "más"));
  EXPECT_EQ(t.lee("b.cnf"), "Compa\xF1\xED" "a\r\n\r\nm\xE1s\r\n");
}
