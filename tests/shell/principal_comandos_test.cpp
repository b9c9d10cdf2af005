#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "shell/principal.h"
#include "shell/rapida.h"
#include "support/entorno.h"
#include "support/interaccion_fake.h"
#include "support/reloj_fijo.h"
#include "support/usuarios_instalacion.h"

using namespace mostrador;
using namespace mostrador::shell;
using mostrador::prueba::derechosCon;
using mostrador::prueba::DirectorioTemporal;
using mostrador::prueba::InstalacionPrueba;
using mostrador::prueba::InteraccionFalsa;
using mostrador::prueba::RelojFijo;

using Msgs = std::vector<std::string>;

namespace {

// Records what the main window asks of its screens. Every screen is available unless
// listed in faltan; the company screen runs alIngresar when it opens (the test's sign-in).
struct PantallasGrabadas : Pantallas {
  std::vector<Apertura> abiertas;
  std::vector<std::string> llamadas;
  std::set<Pantalla> faltan;
  std::function<void()> alIngresar;

  bool disponible(Pantalla p) const override { return !faltan.count(p); }
  void abre(const Apertura& a) override {
    abiertas.push_back(a);
    llamadas.push_back("abre " + std::string(clasePantalla(a.pantalla)));
    if (a.pantalla == Pantalla::Empresas && alIngresar) alIngresar();
  }
  void cierraTablasResidentes() override { llamadas.push_back("cierra tablas residentes"); }
  void cierraResidentesVisibles() override { llamadas.push_back("cierra residentes visibles"); }
  void cierraVentana(std::string_view t) override { llamadas.push_back("cierra ventana " + std::string(t)); }
  void ejecutaPrograma(std::string_view p) override { llamadas.push_back("programa " + std::string(p)); }
  void abreDocumento(std::string_view r) override { llamadas.push_back("documento " + std::string(r)); }

  std::vector<Pantalla> pantallas() const {
    std::vector<Pantalla> r;
    for (const auto& a : abiertas) r.push_back(a.pantalla);
    return r;
  }
};

base::RespuestaAdministrador respuesta(base::RespuestaAdministrador::Resultado r, std::string clave) {
  base::RespuestaAdministrador a;
  a.resultado = r;
  a.clave = std::move(clave);
  return a;
}

// An installation with company 1 and three users beyond the administrator:
//   1 Cajero (4, 20, 44, 53), 2 Almacen (5, 8, 9, ...), 3 Respaldo (55 only, key "resp").
struct Principal_ : ::testing::Test {
  DirectorioTemporal t;
  InstalacionPrueba i;
  InteraccionFalsa ui;
  PantallasGrabadas pantallas;
  RelojFijo reloj{{{2026, 3, 5}, {9, 30, 0, 0}}};
  std::vector<std::string> ganchos;

  Principal_() {
    i.usuarios({session::administradorInicial("Administrador", "admin"),
                {1, "Cajero", "caja", derechosCon({4, 20, 44, 53})},
                {2, "Almacén", "alma", derechosCon({5, 8, 9})},
                {3, "Respaldo", "resp", derechosCon({55})}});
    i.empresa(1, "Abarrotes Uno");
    i.inicio(1);
  }

  GanchosPrincipal registrados() {
    GanchosPrincipal g;
    g.empacaTemporales = [this](const std::string& s) { ganchos.push_back("empaca " + s); };
    g.creaNumeradores = [this](const std::string& d, const std::string& alterno) {
      ganchos.push_back("numeradores " + d + " [" + alterno + "]");
    };
    g.reiniciaMarcador = [this] { ganchos.push_back("marcador"); };
    g.revisionDocumentos = [this] { ganchos.push_back("revision"); };
    g.cierraTablasPropias = [this] { ganchos.push_back("cierra TablaE TablaD TablaMI"); };
    return g;
  }

  // A window signed in as the given user through the normal path.
  std::unique_ptr<Principal> firmado(const std::string& usuario) {
    auto p = std::make_unique<Principal>(ui, pantallas, reloj, registrados());
    p->FormCreate();
    session::Ingreso ing;
    ing.tipo = session::Ingreso::Usuario;
    ing.usuario = std::stoi(usuario);
    ing.titulo = "Mostrador    V 4.6.1   Abarrotes Uno";
    p->aplicaIngreso(ing);
    return p;
  }
};

}  // namespace

TEST_F(Principal_, ARefusedModuleShowsTheRefusalAndOpensNothing) {
  auto p = firmado("1");
  p->Clientes1Click();
  EXPECT_EQ(ui.mensajes(), Msgs{"No Se Tiene Acceso..."});
  EXPECT_TRUE(pantallas.abiertas.empty());
}

TEST_F(Principal_, AGrantedModuleOpensWithTheUserNumber) {
  auto p = firmado("2");
  p->Compras1Click();
  ASSERT_EQ(pantallas.abiertas.size(), 1u);
  const Apertura& a = pantallas.abiertas[0];
  EXPECT_EQ(a.pantalla, Pantalla::Compras);
  EXPECT_EQ(a.usuario, "2");
  EXPECT_EQ(a.ocultar, std::vector<std::string>{"BotonPagos"});
  EXPECT_TRUE(ui.mensajes().empty());
}

TEST_F(Principal_, AMissingScreenSaysSoOnlyAfterTheRightsCheck) {
  pantallas.faltan = {Pantalla::Vendedor, Pantalla::Factura};
  auto p = firmado("1");
  p->Vendedores1Click();   // right 2 missing: only the refusal
  p->Facturacin2Click();   // right 4 granted: the module is not there yet
  EXPECT_EQ(ui.mensajes(), (Msgs{"No Se Tiene Acceso...",
                                 "El módulo de Facturación no está disponible todavía"}));
  EXPECT_TRUE(pantallas.abiertas.empty());
}

TEST_F(Principal_, CommandsWithoutRightsAndTheirParticulars) {
  auto p = firmado("1");
  p->Formatos1Click();
  p->Consolidar1Click();
  p->CapturaRapidadeClaves1Click();
  p->Sistema1Click();
  ASSERT_EQ(pantallas.abiertas.size(), 4u);
  EXPECT_EQ(pantallas.abiertas[0].ocultar, std::vector<std::string>{"Rangos"});
  EXPECT_EQ(pantallas.abiertas[0].mostrar, std::vector<std::string>{"Formatos"});
  EXPECT_EQ(pantallas.abiertas[1].directorio, i.datos(1));
  EXPECT_EQ(pantallas.abiertas[2].directorio, i.datos(1));
  EXPECT_EQ(pantallas.abiertas[3].pantalla, Pantalla::Sistema);
  EXPECT_TRUE(ui.mensajes().empty());
}

TEST_F(Principal_, QuickKeysUseTheAlternateDirectoryWhenSet) {
  i.empresa(1, "Abarrotes Uno", {{59, "C:\\Alterno"}});
  auto p = firmado("1");
  p->CapturaRapidadeClaves1Click();
  EXPECT_EQ(pantallas.abiertas.at(0).directorio, "C:\\Alterno");
}

TEST_F(Principal_, PointOfSaleTitleCarriesTheUsersNameAndTheDate) {
  auto p = firmado("1");
  p->Panel2Click();
  ASSERT_EQ(pantallas.abiertas.size(), 1u);
  EXPECT_EQ(pantallas.abiertas[0].tituloAgregado, "   CAJERO           05/03/2026");
  auto q = firmado("2");
  q->Panel2Click();
  EXPECT_EQ(ui.mensajes(), Msgs{"No Se Tiene Acceso..."});
}

TEST_F(Principal_, CatalogueEntriesCheckTheirRightsExceptTheLastTwo) {
  auto p = firmado("1");
  p->Proveedores2Click();
  p->CuentasPorPagar1Click();
  p->CatlogoconImgenes1Click();
  p->Facturacin1Click();
  EXPECT_EQ(ui.mensajes(), Msgs{"No Se Tiene Acceso..."});
  ASSERT_EQ(pantallas.abiertas.size(), 3u);
  EXPECT_EQ(pantallas.abiertas[0].tabla, "cuepagar.dbf");
  EXPECT_EQ(pantallas.abiertas[0].columnas.size(), 8u);
  EXPECT_EQ(pantallas.abiertas[0].columnas[6], (Columna{"FEAPL_CP", "Fech. Aplic."}));
  EXPECT_EQ(pantallas.abiertas[1].tabla, "inventar.dbf");
  EXPECT_TRUE(pantallas.abiertas[1].vistaImagenes);
  EXPECT_EQ(pantallas.abiertas[1].columnas[1], (Columna{"DSCPR_I", "Descripción"}));
  EXPECT_EQ(pantallas.abiertas[2].tabla, "FacturaE.dbf");
  EXPECT_EQ(pantallas.abiertas[2].directorio, i.datos(1));
  EXPECT_EQ(pantallas.abiertas[2].usuario, "1");
}

// --- Product catalogue and general configuration ---

TEST_F(Principal_, TheAdministratorsKeyOpensTheCatalogueAsUserZero) {
  auto p = firmado("1");  // lacks right 8
  ui.respondeAdministrador(respuesta(base::RespuestaAdministrador::Administrador, "admin"));
  p->Producto1Click();
  ASSERT_EQ(pantallas.abiertas.size(), 1u);
  EXPECT_EQ(pantallas.abiertas[0].pantalla, Pantalla::Inventario);
  EXPECT_EQ(pantallas.abiertas[0].usuario, "0");
  EXPECT_TRUE(ui.mensajes().empty());
}

TEST_F(Principal_, WithoutTheAdministratorsKeyTheUsersOwnRightDecides) {
  auto p = firmado("1");
  ui.respondeAdministrador(respuesta(base::RespuestaAdministrador::OtraClave, "alma"))
      .respondeAdministrador(respuesta(base::RespuestaAdministrador::Cancelada, ""));
  p->Producto1Click();
  p->Producto1Click();
  EXPECT_EQ(ui.mensajes(), Msgs(2, "No Se Tiene Acceso..."));
  EXPECT_TRUE(pantallas.abiertas.empty());
  auto q = firmado("2");
  ui.respondeAdministrador(respuesta(base::RespuestaAdministrador::OtraClave, "x"));
  q->Producto1Click();
  ASSERT_EQ(pantallas.abiertas.size(), 1u);
  EXPECT_EQ(pantallas.abiertas[0].usuario, "2");
}

TEST_F(Principal_, UserZeroOpensTheCatalogueWithoutTheKeyDialog) {
  auto p = firmado("0");
  p->Producto1Click();  // no dialog answer queued: asking would fail the test
  ASSERT_EQ(pantallas.abiertas.size(), 1u);
  EXPECT_EQ(pantallas.abiertas[0].usuario, "0");
}

TEST_F(Principal_, GeneralConfigurationNeedsTheKeyAndTheUsersRightTen) {
  auto p = firmado("1");
  ui.respondeAdministrador(respuesta(base::RespuestaAdministrador::OtraClave, "caja"))
      .respondeAdministrador(respuesta(base::RespuestaAdministrador::Cancelada, ""))
      .respondeAdministrador(respuesta(base::RespuestaAdministrador::Administrador, "admin"));
  p->General1Click();
  p->General1Click();
  p->General1Click();
  EXPECT_EQ(ui.mensajes(), (Msgs{"No se Tienen Acceso a este Módulo", "No Se Tiene Acceso..."}));
  EXPECT_TRUE(pantallas.abiertas.empty());
  auto q = firmado("0");
  ui.respondeAdministrador(respuesta(base::RespuestaAdministrador::Administrador, "admin"));
  q->General1Click();
  ASSERT_EQ(pantallas.abiertas.size(), 1u);
  EXPECT_EQ(pantallas.abiertas[0].pantalla, Pantalla::ConfiguracionGeneral);
  EXPECT_EQ(pantallas.abiertas[0].usuario, "0");
}

// --- Backups and reindexing: the owner of the typed key decides ---

TEST_F(Principal_, BackupsFollowTheRightOfTheKeysOwner) {
  auto p = firmado("1");
  ui.respondeAdministrador(respuesta(base::RespuestaAdministrador::OtraClave, "resp"));
  p->Respaldos1Click();
  ASSERT_EQ(pantallas.abiertas.size(), 1u);
  EXPECT_EQ(pantallas.abiertas[0].pantalla, Pantalla::Respaldo);
  EXPECT_TRUE(ui.mensajes().empty());
}

TEST_F(Principal_, BackupsWithAKeyOfNobodyOrCancelled) {
  auto p = firmado("0");
  const std::string usuarios = *base::leeBytes(session::archivoUsuarios(i.sistema));
  ui.respondeAdministrador(respuesta(base::RespuestaAdministrador::OtraClave, "nadie"))
      .respondeAdministrador(respuesta(base::RespuestaAdministrador::Cancelada, ""))
      .respondeAdministrador(respuesta(base::RespuestaAdministrador::OtraClave, "caja"));
  p->Respaldos1Click();
  p->Respaldos1Click();
  p->Respaldos1Click();
  EXPECT_EQ(ui.mensajes(), Msgs(2, "No se Tiene Acceso a este Módulo"));
  EXPECT_TRUE(pantallas.abiertas.empty());
  EXPECT_EQ(*base::leeBytes(session::archivoUsuarios(i.sistema)), usuarios);
}

TEST_F(Principal_, ReindexingClosesTheWindowsTablesAndPausesTheCheck) {
  auto p = firmado("3");
  p->MI1Click();
  ASSERT_TRUE(p->timerHora());
  ui.respondeAdministrador(respuesta(base::RespuestaAdministrador::Cancelada, ""))
      .respondeAdministrador(respuesta(base::RespuestaAdministrador::Administrador, "admin"));
  p->Reindexar1Click();
  EXPECT_EQ(ui.mensajes(), Msgs{"No se Tiene Acceso a este Módulo"});
  EXPECT_TRUE(p->timerHora());
  p->Reindexar1Click();
  ASSERT_EQ(pantallas.abiertas.size(), 1u);
  EXPECT_EQ(pantallas.abiertas[0].pantalla, Pantalla::ReindexaTodo);
  // The sign-in reset the check's marker; each key dialog closed the window's tables.
  EXPECT_EQ(ganchos, (Msgs{"marcador", "cierra TablaE TablaD TablaMI", "cierra TablaE TablaD TablaMI"}));
}

// --- Company change, closing, programs ---

TEST_F(Principal_, CompanyChangeClosesTheResidentTablesFirst) {
  auto p = firmado("1");
  p->Empresa1Click();
  EXPECT_EQ(pantallas.llamadas, (Msgs{"cierra tablas residentes", "abre TFormaEmpresas"}));
}

TEST_F(Principal_, ClosingRemovesTheQueryScratchFilesOfTheCurrentDirectory) {
  t.escribe("_sql1.dbf", "x");
  t.escribe("_SQL2.txt", "x");
  t.escribe("otro.dbf", "x");
  auto p = firmado("1");
  EXPECT_EQ(p->archivosSql(), (Msgs{"_SQL2.txt", "_sql1.dbf"}));
  p->cierra();
  EXPECT_EQ(pantallas.llamadas, (Msgs{"cierra ventana CapturaR", "cierra residentes visibles"}));
  EXPECT_FALSE(std::filesystem::exists(t.ruta() / "_sql1.dbf"));
  EXPECT_FALSE(std::filesystem::exists(t.ruta() / "_SQL2.txt"));
  EXPECT_TRUE(std::filesystem::exists(t.ruta() / "otro.dbf"));
}

TEST_F(Principal_, CalculatorAndHelpPages) {
  auto p = firmado("1");
  p->Calculadora1Click();
  p->VerTemas1Click();
  EXPECT_EQ(pantallas.llamadas,
            (Msgs{"programa calc.exe", "documento C:\\TVK\\Sistema\\ayuda\\principal.mht"}));
}

TEST(TemasBotones, DescriptionTopicsOfTheToolbar) {
  EXPECT_EQ(Principal::temaBoton("BotonEmpresa"), 110);
  EXPECT_EQ(Principal::temaBoton("BotonFactu"), 114);
  EXPECT_EQ(Principal::temaBoton("BotonInventa"), 117);
  EXPECT_EQ(Principal::temaBoton("BotonCompra"), 119);
  EXPECT_EQ(Principal::temaBoton("BotonSalir"), 0);
}

namespace {

TEST(PantallaDeCatalogo, EachBrowsedTableOpensItsModule) {
  using mostrador::shell::Pantalla;
  using mostrador::shell::pantallaDeCatalogo;
  EXPECT_EQ(pantallaDeCatalogo("Cliente.DBF"), Pantalla::Clientes);
  EXPECT_EQ(pantallaDeCatalogo("cucobrar.dbf"), Pantalla::Clientes);
  EXPECT_EQ(pantallaDeCatalogo("FacturaE.dbf"), Pantalla::Factura);
  EXPECT_EQ(pantallaDeCatalogo("cotizaci.dbf"), Pantalla::Factura);
  EXPECT_EQ(pantallaDeCatalogo("comprasE.dbf"), Pantalla::Compras);
  EXPECT_EQ(pantallaDeCatalogo("cuepagar.dbf"), Pantalla::Proveedo);
  EXPECT_EQ(pantallaDeCatalogo("movinven.dbf"), Pantalla::MovimientosInventario);
  EXPECT_EQ(pantallaDeCatalogo("campos.dbf"), std::nullopt);
}

}  // namespace
