#include <gtest/gtest.h>

#include <functional>

#include "session/empresas.h"
#include "shell/principal.h"
#include "shell/rapida.h"
#include "support/entorno.h"
#include "support/interaccion_fake.h"
#include "support/reloj_fijo.h"
#include "support/usuarios_instalacion.h"

using namespace mostrador;
using namespace mostrador::session;
using namespace mostrador::shell;
using mostrador::prueba::derechosCon;
using mostrador::prueba::DirectorioTemporal;
using mostrador::prueba::InstalacionPrueba;
using mostrador::prueba::InteraccionFalsa;
using mostrador::prueba::RelojFijo;

using Msgs = std::vector<std::string>;

namespace {

// The company screen as the view runs it: activation, then the typed key.
struct PantallasConEmpresas : Pantallas {
  std::vector<Pantalla> abiertas;
  std::function<void()> alMostrarEmpresas;
  bool disponible(Pantalla) const override { return true; }
  void abre(const Apertura& a) override {
    abiertas.push_back(a.pantalla);
    if (a.pantalla == Pantalla::Empresas && alMostrarEmpresas) alMostrarEmpresas();
  }
  void cierraTablasResidentes() override {}
  void cierraResidentesVisibles() override {}
  void cierraVentana(std::string_view) override {}
  void ejecutaPrograma(std::string_view) override {}
  void abreDocumento(std::string_view) override {}
};

struct Arranque : ::testing::Test {
  DirectorioTemporal t;
  InstalacionPrueba i;
  InteraccionFalsa ui;
  PantallasConEmpresas pantallas;
  RelojFijo reloj{{{2026, 1, 2}, {8, 0, 0, 0}}};
  std::vector<std::string> ganchos;
  std::unique_ptr<Principal> principal;
  std::unique_ptr<Empresas> empresas;

  Arranque() {
    // The installation is the current directory itself, as on a shop's machine.
    i.sistema = t.str();
    i.usuarios({administradorInicial("Administrador", "admin"),
                {1, "Cajero", "caja", derechosCon({4})},
                {2, "Almacen", "alma", derechosCon({8})}});
  }

  // Start-up as the program runs it, signing in with the key when one is given.
  void arranca(const std::string& clave) {
    GanchosPrincipal g;
    g.empacaTemporales = [this](const std::string& s) { ganchos.push_back("empaca " + s); };
    g.creaNumeradores = [this](const std::string& d, const std::string& alterno) {
      ganchos.push_back("numeradores " + d + " [" + alterno + "]");
    };
    g.reiniciaMarcador = [this] { ganchos.push_back("marcador"); };
    g.revisionDocumentos = [this] { ganchos.push_back("revision"); };
    principal = std::make_unique<Principal>(ui, pantallas, reloj, g);
    principal->FormCreate();
    empresas = std::make_unique<Empresas>(ui, principal->directorioSistema(), directorioActual(), 1);
    pantallas.alMostrarEmpresas = [this, clave] {
      empresas->FormActivate();
      if (clave.empty()) return;
      const Ingreso r = empresas->AceptarClick(clave);
      principal->aplicaIngreso(r);
    };
    principal->FormShow();
    principal->FormActivate(empresas->mostrada());
  }
};

}  // namespace

TEST_F(Arranque, FirstRunWithoutTheInitialisationFile) {
  i.empresa(1, "Primera");
  ASSERT_FALSE(base::existe("c:\\TVK\\talvek.ini"));
  arranca("");
  EXPECT_EQ(*base::leeBytes("c:\\TVK\\talvek.ini"),
            t.str() + "\r\n" + t.str() + "\\Gener1.cnf\r\n\r\n");
  EXPECT_FALSE(principal->habilitada());
  EXPECT_EQ(principal->directorioSistema(), t.str());
  EXPECT_EQ(pantallas.abiertas, std::vector<Pantalla>{Pantalla::Empresas});
  EXPECT_TRUE(ui.mensajes().empty());
}

TEST_F(Arranque, TheInitialisationFileIsCreatedWithTheCurrentDirectoryAlone) {
  // No company at all yet: only the creation step runs.
  principal = std::make_unique<Principal>(ui, pantallas, reloj);
  principal->FormCreate();
  EXPECT_EQ(*base::leeBytes("c:\\TVK\\talvek.ini"), t.str() + "\r\n");
  EXPECT_TRUE(std::filesystem::is_directory(t.ruta() / "unidades/c/TVK"));
  EXPECT_FALSE(principal->habilitada());
}

TEST_F(Arranque, SigningInEnablesTheWindowWithTitleAndUser) {
  i.empresa(1, "Abarrotes Uno");
  arranca("alma");
  EXPECT_TRUE(principal->habilitada());
  EXPECT_EQ(principal->titulo(), "Mostrador    V 4.6.1   Abarrotes Uno");
  EXPECT_EQ(principal->Usuario(), "2");
  // Signing in resets the document check's marker and records the session in the log.
  EXPECT_EQ(ganchos, (Msgs{"empaca " + t.str(), "numeradores " + i.datos(1) + " []", "marcador"}));
  EXPECT_EQ(principal->EditRuta(), i.datos(1));
  EXPECT_EQ(*base::leeBytes(base::une(t.str(), "Bitacora.txt")),
            "Ingreso Usuario 2 (Mostrador    V 4.6.1   Abarrotes Uno) 08:00:00 02/01/2026 08:00:00\r\n");
}

TEST_F(Arranque, EachSignInStartsTheTickCountAndTheLogAgain) {
  i.empresa(1, "Abarrotes Uno", {{71, "S"}});
  arranca("caja");
  principal->TimerHoraTimer();
  principal->TimerHoraTimer();
  EXPECT_EQ(principal->Label6(), "2");
  EXPECT_EQ(ganchos, (Msgs{"empaca " + t.str(), "numeradores " + i.datos(1) + " []", "marcador", "marcador",
                           "revision", "marcador", "revision"}));
  ganchos.clear();
  Ingreso otro;
  otro.tipo = Ingreso::ClaveEmpresa;
  otro.titulo = "Otra";
  principal->aplicaIngreso(otro);
  EXPECT_EQ(principal->ticks(), 0);
  EXPECT_EQ(principal->Label6(), "0");
  EXPECT_EQ(ganchos, Msgs{"marcador"});
  EXPECT_EQ(*base::leeBytes(base::une(t.str(), "Bitacora.txt")),
            "Ingreso Usuario 1 (Mostrador    V 4.6.1   Abarrotes Uno) 08:00:00 02/01/2026 08:00:00\r\n"
            "Ingreso Usuario - (Otra) 08:00:00 02/01/2026 08:00:00\r\n");
}

TEST_F(Arranque, TheCompanyAccessKeyKeepsTheUserLabel) {
  i.empresa(1, "Abarrotes Uno", {{11, "tienda"}});
  arranca("tienda");
  EXPECT_TRUE(principal->habilitada());
  EXPECT_EQ(principal->titulo(), "Mostrador     V 4.6.1   Abarrotes Uno");
  EXPECT_EQ(principal->Usuario(), "");
  Ingreso otro;
  otro.tipo = Ingreso::Usuario;
  otro.usuario = 1;
  otro.titulo = "t";
  principal->aplicaIngreso(otro);
  Ingreso llave;
  llave.tipo = Ingreso::ClaveEmpresa;
  llave.titulo = "t2";
  principal->aplicaIngreso(llave);
  EXPECT_EQ(principal->Usuario(), "1");
  EXPECT_EQ(principal->titulo(), "t2");
}

TEST_F(Arranque, QuickStartTOpensTheSalesScreenOnlyWithRightFour) {
  i.empresa(1, "Uno");
  base::escribeLineas(base::une(t.str(), "rapida.cnf"), {"T", "N", "N"});
  arranca("caja");
  EXPECT_EQ(pantallas.abiertas, (std::vector<Pantalla>{Pantalla::Empresas, Pantalla::Factura}));
  EXPECT_TRUE(principal->opciones().documentos);
  EXPECT_FALSE(principal->opciones().capturaRapida);
}

TEST_F(Arranque, QuickStartTWithoutRightFourIsRefused) {
  i.empresa(1, "Uno");
  base::escribeLineas(base::une(t.str(), "rapida.cnf"), {"T", "N", "N"});
  arranca("alma");
  EXPECT_EQ(pantallas.abiertas, std::vector<Pantalla>{Pantalla::Empresas});
  EXPECT_EQ(ui.mensajes(), Msgs{"No Se Tiene Acceso..."});
}

TEST_F(Arranque, QuickStartNOpensNothingAndSOpensThePointOfSale) {
  i.empresa(1, "Uno");
  base::escribeLineas(base::une(t.str(), "rapida.cnf"), {"N", "S", "S"});
  arranca("caja");
  EXPECT_EQ(pantallas.abiertas, std::vector<Pantalla>{Pantalla::Empresas});
  // Lines 2 and 3 are never read back.
  EXPECT_FALSE(principal->opciones().servidorHorario);
  EXPECT_FALSE(principal->opciones().actualizarFecha);
  pantallas.abiertas.clear();
  base::escribeLineas(base::une(t.str(), "rapida.cnf"), {"S"});
  arranca("caja");
  EXPECT_EQ(pantallas.abiertas, (std::vector<Pantalla>{Pantalla::Empresas, Pantalla::CapturaRapida}));
}

TEST_F(Arranque, QuickStartNeedsASignIn) {
  i.empresa(1, "Uno");
  base::escribeLineas(base::une(t.str(), "rapida.cnf"), {"S"});
  arranca("");
  EXPECT_EQ(pantallas.abiertas, std::vector<Pantalla>{Pantalla::Empresas});
  EXPECT_FALSE(principal->habilitada());
  EXPECT_TRUE(ui.mensajes().empty());
}

TEST_F(Arranque, TheCompanyScreenIsShownAutomaticallyOnlyOnce) {
  i.empresa(1, "Uno");
  arranca("caja");
  principal->FormActivate(empresas->mostrada());
  principal->FormActivate(false);
  EXPECT_EQ(pantallas.abiertas, std::vector<Pantalla>{Pantalla::Empresas});
}

TEST_F(Arranque, ANonAdministratorsTogglesLeaveTheQuickStartFileAlone) {
  i.empresa(1, "Uno");
  base::escribeLineas(base::une(t.str(), "rapida.cnf"), {"N", "S", "N"});
  arranca("caja");
  principal->IniciarenCapturaRpida2Click();
  principal->ServidordeHorario1Click();
  EXPECT_TRUE(principal->opciones().documentos);
  EXPECT_TRUE(principal->opciones().servidorHorario);
  EXPECT_EQ(*base::leeBytes(base::une(t.str(), "rapida.cnf")), "N\r\nS\r\nN\r\n");
}

TEST_F(Arranque, TheAdministratorsTogglesAreSavedAndThePointOfSaleWins) {
  i.empresa(1, "Uno");
  arranca("admin");
  ASSERT_FALSE(base::existe(base::une(t.str(), "rapida.cnf")));
  principal->IniciarenCapturaRpida2Click();
  EXPECT_EQ(*base::leeBytes(base::une(t.str(), "Rapida.cnf")), "T\r\nN\r\nN\r\n");
  principal->IniciarenCapturaRpida1Click();
  principal->ServidordeHorario1Click();
  EXPECT_EQ(*base::leeBytes(base::une(t.str(), "rapida.cnf")), "S\r\nS\r\nN\r\n");
  principal->IniciarenCapturaRpida1Click();
  EXPECT_EQ(*base::leeBytes(base::une(t.str(), "rapida.cnf")), "T\r\nS\r\nN\r\n");
}

TEST_F(Arranque, ClassicViewOnlyForAnExactN) {
  i.empresa(1, "Uno", {{65, "N"}});
  arranca("caja");
  EXPECT_TRUE(principal->vistaClasica());
  i.empresa(1, "Uno", {{65, "n"}});
  arranca("caja");
  EXPECT_FALSE(principal->vistaClasica());
}

TEST_F(Arranque, PermanentCheckCountsItsTicks) {
  i.empresa(1, "Uno", {{71, "S"}});
  arranca("caja");
  EXPECT_TRUE(principal->timerHora());
  ganchos.clear();
  principal->TimerHoraTimer();
  principal->TimerHoraTimer();
  EXPECT_EQ(principal->ticks(), 2);
  EXPECT_EQ(principal->Label6(), "2");
  EXPECT_EQ(ganchos, (Msgs{"marcador", "revision", "marcador", "revision"}));
  principal->MI1Click();
  EXPECT_FALSE(principal->timerHora());
  principal->BitBtn1Click();
  EXPECT_EQ(principal->ticks(), 2);
  EXPECT_EQ(ganchos.size(), 6u);
}

TEST_F(Arranque, PermanentCheckOffUnlessLineSeventyOneIsS) {
  i.empresa(1, "Uno", {{71, "s"}});
  arranca("caja");
  EXPECT_FALSE(principal->timerHora());
}

TEST_F(Arranque, IntegratedMovementsPutTheDataDirectoryInTheMaintenancePanel) {
  i.empresa(1, "Uno", {{6, "NO"}});
  arranca("caja");
  EXPECT_EQ(principal->Edit1(), i.datos(1));  // from showing the window
  EXPECT_FALSE(principal->mantenimientoVisible());
  principal->VerMantenimiento1Click();
  EXPECT_TRUE(principal->mantenimientoVisible());
}
