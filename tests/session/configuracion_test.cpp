#include <gtest/gtest.h>

#include <set>
#include <stdexcept>

#include "session/configuracion.h"
#include "support/entorno.h"
#include "support/interaccion_fake.h"
#include "support/usuarios_instalacion.h"

using namespace mostrador;
using namespace mostrador::session;
using mostrador::prueba::DirectorioTemporal;
using mostrador::prueba::InstalacionPrueba;
using mostrador::prueba::InteraccionFalsa;

using Msgs = std::vector<std::string>;

TEST(MapaConfiguracion, SeventyTwoLinesInOrderWithTheirControls) {
  const auto& m = mapaConfiguracion();
  for (int n = 1; n <= kLineasConfiguracion; ++n) EXPECT_EQ(m[static_cast<size_t>(n - 1)].linea, n);
  EXPECT_EQ(lineaConfiguracion(21).control, "EditFacExis");
  EXPECT_EQ(lineaConfiguracion(24).control, "Edit23");
  EXPECT_EQ(lineaConfiguracion(28).control, "Edit27");
  EXPECT_EQ(lineaConfiguracion(31).control, "Edit30");
  EXPECT_EQ(lineaConfiguracion(48).control, "CheckBox51");
  EXPECT_EQ(lineaConfiguracion(57).control, "CheckBox60");
  EXPECT_EQ(lineaConfiguracion(72).control, "Edit35");
  EXPECT_EQ(lineaConfiguracion(26).clase, ClaseLinea::SinUso);
  EXPECT_EQ(lineaConfiguracion(65).clase, ClaseLinea::Vista);
  // Every line has its own control, except the unused ones and the receivables table.
  std::set<std::string_view> controles;
  for (const auto& l : m) {
    if (l.clase != ClaseLinea::SinUso && l.clase != ClaseLinea::TablaCxC) {
      EXPECT_TRUE(controles.insert(l.control).second) << l.control;
    }
  }
  EXPECT_EQ(controles.size(), 67u);
}

TEST(MapaConfiguracion, DefaultsOfANewCompany) {
  const auto l = configuracionPorOmision("C:\\Datos\\Tienda", "Tienda Peña");
  ASSERT_EQ(l.size(), 72u);
  EXPECT_EQ(l[0], "NO");
  EXPECT_EQ(l[5], "SI");
  EXPECT_EQ(l[7], "C:\\Datos\\Tienda");
  EXPECT_EQ(l[8], "Tienda Peña");
  EXPECT_EQ(l[9], "");
  EXPECT_EQ(l[10], "");
  EXPECT_EQ(l[13], "Factura.fmt");
  EXPECT_EQ(l[40], "S");
  EXPECT_EQ(l[41], "2");
  EXPECT_EQ(l[64], "S");
  EXPECT_EQ(l[65], "cucobrar");
  EXPECT_EQ(l[67], "cucobrar");
  EXPECT_EQ(l[69], "100");
  EXPECT_EQ(l[70], "N");
  EXPECT_EQ(l[71], "0");
}

TEST(ValoresConfiguracion, SavingANewCompanyCopiesTheValuesShownInSeventyTwoLines) {
  DirectorioTemporal t;
  InstalacionPrueba i;
  i.empresa(1, "Abarrotes Ñandú", {{10, "basura"}, {26, "x"}, {27, "y"}, {66, "a"}, {67, "b"},
                                   {68, "cxc"}, {41, "N"}});
  InteraccionFalsa ui;
  ValoresConfiguracion v;
  ASSERT_TRUE(v.lee(i.sistema, 1, ui));
  EXPECT_EQ(v.valor("Edit9"), "Abarrotes Ñandú");
  EXPECT_EQ(v.valor("Edit10"), "basura");
  EXPECT_EQ(v.valor("EditTablaDeCxC"), "cxc");
  EXPECT_FALSE(v.marcada("Negativas"));
  ASSERT_FALSE(base::existe(archivoConfiguracion(i.sistema, 2)));
  ASSERT_TRUE(v.guarda(i.sistema, 2));

  auto esperadas = configuracionPorOmision(i.datos(1), "Abarrotes Ñandú");
  esperadas[40] = "N";
  esperadas[65] = esperadas[66] = esperadas[67] = "cxc";
  std::string bytes;
  for (const auto& l : esperadas) bytes += base::aCp1252(l) + "\r\n";
  EXPECT_EQ(*base::leeBytes(archivoConfiguracion(i.sistema, 2)), bytes);
  EXPECT_TRUE(ui.mensajes().empty());
}

TEST(ValoresConfiguracion, OnlyAnExactCapitalSIsOn) {
  DirectorioTemporal t;
  InstalacionPrueba i;
  i.empresa(1, "X", {{21, "s"}, {33, "S"}, {34, "SI"}, {65, "s"}, {71, " S"}});
  InteraccionFalsa ui;
  ValoresConfiguracion v;
  v.lee(i.sistema, 1, ui);
  EXPECT_FALSE(v.marcada("EditFacExis"));
  EXPECT_TRUE(v.marcada("ImpuestosPartida"));
  EXPECT_FALSE(v.marcada("ConsecutivoClientes"));
  EXPECT_FALSE(v.marcada("VistaResaltada"));
  EXPECT_FALSE(v.marcada("CheceoPermanente"));
  // Saved back, the boxes write their own letters.
  const auto l = v.lineas();
  EXPECT_EQ(l[20], "N");
  EXPECT_EQ(l[32], "S");
  EXPECT_EQ(l[64], "N");
}

TEST(ValoresConfiguracion, LinesSixtySixAndSixtySevenAreNeverRead) {
  ValoresConfiguracion v;
  std::vector<std::string> l = configuracionPorOmision("D", "N");
  l[65] = "S";
  l[66] = "S";
  l[67] = "remisiones";
  v.tomaLineas(l);
  EXPECT_EQ(v.valor("EditTablaDeCxC"), "remisiones");
  for (const auto& [control, valor] : v.todos()) {
    if (control != "EditTablaDeCxC") {
      EXPECT_NE(valor, "remisiones") << control;
    }
  }
  EXPECT_EQ(v.lineas()[65], "remisiones");
  EXPECT_EQ(v.lineas()[66], "remisiones");
}

TEST(ValoresConfiguracion, AShortFileLeavesTheMissingSettingsEmpty) {
  DirectorioTemporal t;
  InstalacionPrueba i;
  base::creaDirectorios(i.sistema);
  auto l = configuracionPorOmision("C:\\D", "Corta");
  l.resize(40);
  base::escribeLineas(archivoConfiguracion(i.sistema, 3), l);
  InteraccionFalsa ui;
  ValoresConfiguracion v;
  v.pon("Negativas", "S");
  v.pon("EditInventario", "C:\\Otro");
  ASSERT_TRUE(v.lee(i.sistema, 3, ui));
  EXPECT_EQ(v.valor("Edit9"), "Corta");
  EXPECT_FALSE(v.marcada("Negativas"));
  EXPECT_EQ(v.valor("EditInventario"), "");
  EXPECT_EQ(v.valor("PartidasFactura"), "");
  EXPECT_EQ(v.lineas().size(), 72u);
}

TEST(ValoresConfiguracion, AMissingCompanyKeepsTheValuesShown) {
  DirectorioTemporal t;
  InstalacionPrueba i;
  i.empresa(1, "Uno");
  InteraccionFalsa ui;
  ValoresConfiguracion v;
  ASSERT_TRUE(v.lee(i.sistema, 1, ui));
  EXPECT_FALSE(v.lee(i.sistema, 7, ui));
  EXPECT_EQ(ui.mensajes(), Msgs{"No Existe La Empresa  7"});
  EXPECT_EQ(v.valor("Edit9"), "Uno");
  v.pon("Edit9", "Cambiado");
  ASSERT_TRUE(v.lee(i.sistema, 1, ui));
  EXPECT_EQ(v.valor("Edit9"), "Uno");
}

TEST(ValoresConfiguracion, SiNoFieldsToggleOnDoubleClick) {
  EXPECT_EQ(alternaSiNo("SI"), "NO");
  EXPECT_EQ(alternaSiNo("NO"), "SI");
  EXPECT_EQ(alternaSiNo(""), "SI");
  EXPECT_EQ(alternaSiNo("si"), "SI");
}

// --- Key conversion ---

TEST(ConversionClaves, TheFourStatementsInOrder) {
  EXPECT_EQ(sentenciasConversionClaves("C:\\Datos", true, false),
            (std::vector<std::string>{
                "ALTER TABLE \"C:\\Datos\\cliente.dbf\" DROP CLCLI_C, ADD CLCLI_C NUMERIC(10,0)",
                "CREATE INDEX ICLACLI ON \"C:\\Datos\\cliente.dbf\" (CLCLI_C)",
                "ALTER TABLE \"C:\\Datos\\proveedo.dbf\" DROP CLAVE_P, ADD CLAVE_P CHAR(10)",
                "CREATE INDEX ICLAPRO ON \"C:\\Datos\\proveedo.dbf\" (CLAVE_P)"}));
  EXPECT_EQ(sentenciasConversionClaves("D", false, true)[0],
            "ALTER TABLE \"D\\cliente.dbf\" DROP CLCLI_C, ADD CLCLI_C CHAR(10)");
  EXPECT_EQ(sentenciasConversionClaves("D", false, true)[2],
            "ALTER TABLE \"D\\proveedo.dbf\" DROP CLAVE_P, ADD CLAVE_P NUMERIC(10,0)");
}

TEST(ConversionClaves, AFailingStatementDoesNotStopTheOthers) {
  InteraccionFalsa ui;
  base::RespuestaAdministrador admin;
  admin.resultado = base::RespuestaAdministrador::Administrador;
  ui.respondeAdministrador(admin);
  std::vector<std::string> corridas;
  const bool corrio = convierteClaves(ui, "C:\\D", true, true, [&](const std::string& s) {
    corridas.push_back(s);
    if (corridas.size() == 1) throw std::runtime_error("tabla ocupada");
  });
  EXPECT_TRUE(corrio);
  EXPECT_EQ(corridas, sentenciasConversionClaves("C:\\D", true, true));
  EXPECT_EQ(ui.llamadas(),
            (Msgs{"mensaje: Recuerde que esta opción alterara de forma definitiva las CLAVES de "
                  "los catalogos...",
                  "administrador"}));
}

TEST(ConversionClaves, OnlyTheAdministratorsKeyGoesOn) {
  InteraccionFalsa ui;
  base::RespuestaAdministrador otra;
  otra.resultado = base::RespuestaAdministrador::OtraClave;
  otra.clave = "caja";
  ui.respondeAdministrador(otra);
  int corridas = 0;
  EXPECT_FALSE(convierteClaves(ui, "C:\\D", true, true, [&](const std::string&) { ++corridas; }));
  EXPECT_EQ(corridas, 0);
}
