#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QSpinBox>
#include <QTest>

#include "support/principal_aplicacion.h"
#include "store/dbf/dbf_table.h"
#include "session/empresa_nueva.h"
#include "session/screens/TFormaConfiguracionGeneral.h"
#include "session/screens/TFormaEmpresas.h"
#include "shell/screens/TFormaPrincipal.h"
#include "app/arranque_qt.h"
#include "support/entorno.h"
#include "ui/dialogos.h"

using namespace mostrador;
using namespace mostrador::session;
using namespace mostrador::shell;
using namespace mostrador::ui;
using prueba::aplicacionQt;
using prueba::GuionModal;

namespace {

// Taken before any test moves into its temporary directory.
const std::filesystem::path kArranque = prueba::directorioDeArranque();

bool espera(const std::function<bool()>& condicion, int ms = 5000) {
  for (int t = 0; t < ms && !condicion(); t += 10) QTest::qWait(10);
  return condicion();
}

// Types the key into the company screen and presses Enter.
GuionModal::Paso tecleaClave(const QString& clave) {
  return [clave](QWidget* m) {
    auto* campo = m->findChild<QLineEdit*>("Clave");
    ASSERT_NE(campo, nullptr) << m->objectName().toStdString();
    QTest::keyClicks(campo, clave);
    QTest::keyClick(campo, Qt::Key_Return);
  };
}

// Reads the message box's text and closes it with a key, as a user would.
GuionModal::Paso leeMensaje(QString* texto) {
  return [texto](QWidget* m) {
    auto* d = qobject_cast<ui::TDialogo*>(m);
    ASSERT_NE(d, nullptr) << m->objectName().toStdString();
    *texto = d->texto();
    QTest::keyClick(d, Qt::Key_Space);
  };
}

struct Ingreso_ : ::testing::Test {
  QApplication& qt = aplicacionQt();
  prueba::DirectorioTemporal t;
  std::unique_ptr<app::Aplicacion> app;

  // Starts the program from the temporary installation and signs in with the key typed
  // into the company screen.
  void arrancaConClave(const QString& clave) {
    prueba::instalacionEnDirectorioActual();
    GuionModal guion;
    guion.luego(tecleaClave(clave));
    app = std::make_unique<app::Aplicacion>(GanchosPrincipal{}, false);
    app->muestra();
    ASSERT_TRUE(espera([&] { return app->principal().motor().habilitada(); }));
    EXPECT_EQ(guion.vistos(), std::vector<std::string>{"TFormaEmpresas"});
    EXPECT_FALSE(app->empresas().isVisible());
  }
};

}  // namespace

TEST_F(Ingreso_, ElProgramaTraeLasPantallasDeInventarioYDivisas) {
  prueba::instalacionEnDirectorioActual();
  app = std::make_unique<app::Aplicacion>(GanchosPrincipal{}, false);
  for (Pantalla p : {Pantalla::MovimientosInventario, Pantalla::comovinv, Pantalla::Divisa, Pantalla::Inventario,
                     Pantalla::Factura, Pantalla::Clientes, Pantalla::Vendedor, Pantalla::Proveedo,
                     Pantalla::Formatos, Pantalla::Utilerias, Pantalla::Compras, Pantalla::CapturaRapida,
                     Pantalla::ClaveRapida})
    EXPECT_TRUE(app->principal().disponible(p)) << clasePantalla(p);
}

TEST_F(Ingreso_, LaConversionDeClavesCorreSobreElSqlLocalDeLaEmpresa) {
  const std::string datos = t.str() + "/datos";
  session::creaDirectorioDatos(datos);
  {
    dbf::Table c;
    c.open(datos, "cliente.dbf");
    c.append();
    c.setText("CLCLI_C", "C1");
    c.post();
  }
  const session::EjecutaSql ejecuta = app::ejecutorSql([datos] { return datos; });
  ejecuta("UPDATE cliente SET NOMBR_C = 'Ana Paz' WHERE CLCLI_C = 'C1'");
  dbf::Table c;
  c.open(datos, "cliente.dbf");
  c.first();
  EXPECT_EQ(c.asText("NOMBR_C"), "Ana Paz");
  EXPECT_THROW(ejecuta("UPDATE noexiste SET X = 1"), std::exception);
}

TEST_F(Ingreso_, SigningInThroughTheCompanyScreenEnablesTheMainWindow) {
  arrancaConClave("caja");
  TFormaPrincipal& p = app->principal();
  EXPECT_EQ(p.windowTitle(), "Mostrador    V 4.6.1   Abarrotes La Esperanza");
  EXPECT_EQ(QString::fromStdString(p.motor().Usuario()), "1");
  EXPECT_TRUE(p.menuBar()->isEnabled());
  EXPECT_EQ(p.findChild<QLabel*>("Usuario")->text(), "Usuario: 1 Cajero");
  // The first start wrote the initialisation file for this directory and company 1.
  EXPECT_EQ(*base::leeBytes("c:\\TVK\\talvek.ini"),
            t.str() + "\r\n" + t.str() + "\\Gener1.cnf\r\n\r\n");
}

TEST_F(Ingreso_, ARefusedModuleShowsTheRefusalInTheMessageBox) {
  arrancaConClave("caja");  // the cashier holds no right 3 (suppliers)
  QString texto;
  GuionModal guion;
  guion.luego(leeMensaje(&texto));
  app->principal().accion("Proveedores1")->trigger();
  EXPECT_EQ(guion.pendientes(), 0u);
  EXPECT_EQ(guion.vistos(), std::vector<std::string>{"TDialogo"});
  EXPECT_EQ(texto, "No Se Tiene Acceso...         ");
}

TEST_F(Ingreso_, AGrantedModuleOpensItsScreenWithTheUserNumber) {
  arrancaConClave("caja");  // right 1: customers
  QString usuarioRecibido;
  bool abierta = false;
  app->principal().registraModulo(Pantalla::Clientes, {[&](const Apertura& a) {
                                                         abierta = true;
                                                         usuarioRecibido = QString::fromStdString(a.usuario);
                                                       },
                                                       {}, {}});
  app->principal().findChild<QWidget*>("BotonClientes")->setFocus();
  QTest::mouseClick(app->principal().findChild<QWidget*>("BotonClientes"), Qt::LeftButton);
  EXPECT_TRUE(abierta);
  EXPECT_EQ(usuarioRecibido, "1");
}

TEST_F(Ingreso_, TheAdministratorsKeyOpensTheGeneralConfiguration) {
  arrancaConClave("admin");
  QString usuario, empresa;
  GuionModal guion;
  guion
      .luego([](QWidget* m) {
        auto* clave = m->findChild<QLineEdit*>("Clave");
        ASSERT_NE(clave, nullptr);
        EXPECT_EQ(clave->echoMode(), QLineEdit::Password);
        QTest::keyClicks(clave, "admin");
        QTest::keyClick(clave, Qt::Key_Return);
      })
      .luego([&](QWidget* m) {
        usuario = m->findChild<QLabel*>("Usuario")->text();
        empresa = m->findChild<QLineEdit*>("Edit9")->text();
        static_cast<QDialog*>(m)->reject();
      });
  app->principal().accion("General1")->trigger();
  EXPECT_EQ(guion.vistos(), (std::vector<std::string>{"TFormaAdministrador", "TFormaConfiguracionGeneral"}));
  EXPECT_EQ(usuario, "0");
  EXPECT_EQ(empresa, "Abarrotes La Esperanza");
}

TEST_F(Ingreso_, AWrongAdministratorKeyIsRefusedWithTheModulesMessage) {
  arrancaConClave("admin");
  QString texto;
  GuionModal guion;
  guion.luego(tecleaClave("caja")).luego(leeMensaje(&texto));
  app->principal().accion("General1")->trigger();
  EXPECT_EQ(texto, "No se Tienen Acceso a este Módulo         ");
}

TEST_F(Ingreso_, AWrongKeyKeepsTheCompanyScreenOpenWithTheKeySelected) {
  prueba::instalacionEnDirectorioActual();
  QString texto;
  bool seleccionada = false;
  GuionModal guion;
  guion.luego(tecleaClave("nadie"))
      .luego(leeMensaje(&texto))
      .luego([&](QWidget* m) {
        // Still the company screen, the wrong key selected for retyping.
        auto* campo = m->findChild<QLineEdit*>("Clave");
        seleccionada = campo->selectedText() == "nadie";
        QTest::keyClicks(campo, "almacen");
        QTest::keyClick(campo, Qt::Key_Return);
      });
  app = std::make_unique<app::Aplicacion>(GanchosPrincipal{}, false);
  app->muestra();
  ASSERT_TRUE(espera([&] { return app->principal().motor().habilitada(); }));
  EXPECT_EQ(texto, "Clave Incorrecta         ");
  EXPECT_TRUE(seleccionada);
  EXPECT_EQ(app->principal().motor().Usuario(), "2");
}

TEST_F(Ingreso_, ScreenshotOfTheMainWindowAfterSigningIn) {
  arrancaConClave("admin");
  TFormaPrincipal& p = app->principal();
  p.resize(1024, 700);
  QTest::qWait(50);
  const QImage imagen = p.grab().toImage();
  ASSERT_FALSE(imagen.isNull());
  EXPECT_EQ(imagen.size(), QSize(1024, 700));
  const auto archivo = kArranque / "principal_ventana.png";
  ASSERT_TRUE(imagen.save(QString::fromStdString(archivo.string()), "PNG"));
  EXPECT_EQ(p.windowTitle(), "Mostrador    V 4.6.1   Abarrotes La Esperanza");
  // The wallpaper's blue gradient is under the window's body.
  const QColor abajo = imagen.pixelColor(512, 650);
  EXPECT_GT(abajo.blue(), 200);
  EXPECT_LT(abajo.red(), 40);
}
