#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include <QRegularExpression>

#include "support/principal_aplicacion.h"
#include "shell/screens/TFormaAcerca.h"
#include "ui/TFormaAdministrador.h"
#include "session/screens/TFormaConfiguracionGeneral.h"
#include "session/screens/TFormaDirectorio.h"
#include "session/inicio.h"
#include "shell/screens/TFormaPrincipal.h"
#include "shell/screens/TFormaSistema.h"
#include "support/entorno.h"
#include "support/interaccion_fake.h"
#include "support/reloj_fijo.h"
#include "ui/TPapelTapiz.h"
#include "ui/dialogos.h"

using namespace mostrador;
using namespace mostrador::session;
using namespace mostrador::shell;
using namespace mostrador::ui;
using prueba::aplicacionQt;
using ui::TPapelTapiz;

using Msgs = std::vector<std::string>;

// --- Wallpaper ---

TEST(PapelTapiz, RowColoursFollowStepLimitAndStyle) {
  // 128 rows: step 2.
  EXPECT_EQ(TPapelTapiz::colorFila(10, 128, 'g', 0), 0x00001400u);
  EXPECT_EQ(TPapelTapiz::colorFila(10, 128, 'b', 0), 0x00140000u);
  EXPECT_EQ(TPapelTapiz::colorFila(10, 128, 'r', 0), 0x00000014u);
  // 300 rows: step 1; rows past 255 keep the last colour.
  EXPECT_EQ(TPapelTapiz::colorFila(255, 300, 'g', 0), 0x0000FF00u);
  EXPECT_EQ(TPapelTapiz::colorFila(299, 300, 'g', 0), 0x0000FF00u);
  // Grey stops at 120.
  EXPECT_EQ(TPapelTapiz::colorFila(119, 300, 'x', 0), 0x00777777u);
  EXPECT_EQ(TPapelTapiz::colorFila(200, 300, 'x', 0), 0x00777777u);
  // 100 rows: 256 / 100 rounds to 3.
  EXPECT_EQ(TPapelTapiz::colorFila(4, 100, 'b', 0), 0x000C0000u);
  // The base colour is combined bit by bit.
  EXPECT_EQ(TPapelTapiz::colorFila(1, 300, 'b', 0x000000FF), 0x000100FFu);
  EXPECT_EQ(TPapelTapiz::colorFila(1, 300, 'x', 0x00808080), 0x00818181u);
  EXPECT_EQ(TPapelTapiz::aQColor(0x00010203), QColor(3, 2, 1));
}

TEST(PapelTapiz, TheStripIsCachedBesideTheProgramAndRedrawnForANewColour) {
  QApplication& qt = aplicacionQt();
  (void)qt;
  prueba::DirectorioTemporal t;
  TPapelTapiz p;
  p.setEstilo('g');
  p.setColor(0);
  p.setCache("prueba_tapiz");
  p.resize(40, 128);
  QImage primera = p.grab().toImage();
  EXPECT_FALSE(p.ultimaDesdeCache());
  const QImage guardada((t.ruta() / "prueba_tapiz.bmp").string().c_str());
  ASSERT_FALSE(guardada.isNull());
  EXPECT_EQ(guardada.size(), QSize(10, 128));
  EXPECT_EQ(guardada.pixelColor(5, 10), QColor(0, 20, 0));
  EXPECT_EQ(primera.pixelColor(30, 10), QColor(0, 20, 0));

  TPapelTapiz otro;
  otro.setCache("prueba_tapiz");
  otro.setColor(0);
  otro.resize(40, 128);
  otro.grab();
  EXPECT_TRUE(otro.ultimaDesdeCache());

  otro.setColor(0x000000FF);
  const QImage roja = otro.grab().toImage();
  EXPECT_FALSE(otro.ultimaDesdeCache());
  EXPECT_EQ(roja.pixelColor(30, 10), QColor(255, 20, 0));
}

TEST(PapelTapiz, ClassicViewTurnsWallpapersGreyAndWhiteCaptionsBlack) {
  QApplication& qt = aplicacionQt();
  (void)qt;
  QWidget raiz;
  auto* papel = new TPapelTapiz(&raiz);
  papel->setEstilo('b');
  auto* blanca = new QLabel("Clientes", papel);
  QPalette pal = blanca->palette();
  pal.setColor(QPalette::WindowText, Qt::white);
  blanca->setPalette(pal);
  auto* roja = new QLabel("Aviso", papel);
  pal.setColor(QPalette::WindowText, Qt::red);
  roja->setPalette(pal);
  ui::aplicaVistaClasica(&raiz);
  EXPECT_EQ(papel->estilo(), 'x');
  EXPECT_EQ(papel->color(), 0x00808080u);
  EXPECT_EQ(blanca->palette().color(QPalette::WindowText), QColor(Qt::black));
  EXPECT_EQ(roja->palette().color(QPalette::WindowText), QColor(Qt::red));
}

// --- Main window ---

namespace {

struct Ventana : ::testing::Test {
  QApplication& qt = aplicacionQt();
  prueba::DirectorioTemporal t;
  prueba::InteraccionFalsa ui;
  prueba::RelojFijo reloj{{{2026, 5, 1}, {10, 0, 0, 0}}};
};

}  // namespace

TEST_F(Ventana, ClassicViewAndThePermanentCheckFromTheCompanyLines) {
  prueba::instalacionEnDirectorioActual({{65, "N"}, {71, "S"}});
  TFormaPrincipal p(ui, reloj);
  // The company screen's engine, created after the window, names company 1 as current.
  Empresas empresas(ui, p.motor().directorioSistema(), session::directorioActual(), 1);
  p.show();
  QTest::qWait(20);
  auto* fondo = p.findChild<TPapelTapiz*>("PapelTapiz1");
  EXPECT_EQ(fondo->estilo(), 'x');
  EXPECT_EQ(p.findChild<QLabel*>("Logo")->palette().color(QPalette::WindowText), QColor(Qt::black));
  // No company screen here: activation leaves the window disabled but reads line 71.
  EXPECT_TRUE(p.findChild<QTimer*>("TimerHora")->isActive());
  EXPECT_TRUE(p.accion("MI1")->isChecked());
  EXPECT_FALSE(p.menuBar()->isEnabled());
  p.accion("MI1")->trigger();
  EXPECT_FALSE(p.findChild<QTimer*>("TimerHora")->isActive());
}

TEST_F(Ventana, QuickStartTogglesShowTheirMarks) {
  prueba::instalacionEnDirectorioActual();
  TFormaPrincipal p(ui, reloj);
  Ingreso admin;
  admin.tipo = Ingreso::Usuario;
  admin.usuario = 0;
  admin.titulo = "t";
  p.motor().aplicaIngreso(admin);
  p.accion("IniciarenCapturaRpida1")->trigger();
  EXPECT_TRUE(p.accion("IniciarenCapturaRpida1")->isChecked());
  EXPECT_EQ(*base::leeBytes("Rapida.cnf"), "S\r\nN\r\nN\r\n");
  // The date option has no command: its mark does not move.
  p.accion("ActualizarFechayHora1")->trigger();
  EXPECT_FALSE(p.accion("ActualizarFechayHora1")->isChecked());
  p.accion("VerMantenimiento1")->trigger();
  EXPECT_FALSE(p.findChild<QWidget*>("Panel4")->isHidden());
}

TEST_F(Ventana, RightButtonOnAToolbarButtonShowsItsDescriptionBelowIt) {
  prueba::instalacionEnDirectorioActual();
  TFormaPrincipal p(ui, reloj);
  std::vector<int> temas;
  Ingreso cajero;
  cajero.tipo = Ingreso::Usuario;
  cajero.usuario = 1;
  cajero.titulo = "t";
  p.motor().aplicaIngreso(cajero);
  p.pinta();
  p.ponDescripciones([&](int tema) {
    temas.push_back(tema);
    return std::string("Facturas, remisiones y pedidos");
  });
  p.show();
  auto* boton = p.findChild<QWidget*>("BotonFactu");
  QTest::mouseClick(boton, Qt::RightButton);
  auto* d = p.findChild<ui::TFormaDescribe*>("TFormaDescribe");
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(temas, std::vector<int>{114});
  EXPECT_EQ(d->texto(), "Facturas, remisiones y pedidos");
  EXPECT_EQ(d->pos(), boton->mapToGlobal(QPoint(0, boton->height())));
  d->close();
  QTest::mouseClick(p.findChild<QWidget*>("BotonSalir"), Qt::RightButton);
  EXPECT_EQ(temas.size(), 1u);
}

TEST_F(Ventana, EveryMenuCommandCarriesItsHandlersName) {
  prueba::instalacionEnDirectorioActual();
  TFormaPrincipal p(ui, reloj);
  for (const char* n : {"Clientes1", "Vendedores1", "Proveedores1", "Facturacin2", "Compras1",
                        "Producto1", "Movimientos1", "General1", "Respaldos1", "Reindexar1",
                        "Empresa1", "Conceptos1", "AltadeConceptosMovimientos1", "Reportes1",
                        "Indices1", "Formatos1", "Sistema1", "Divisas1", "ReportesSQL1",
                        "Consolidar1", "CapturaRapidadeClaves1", "Acercade1", "Calculadora1",
                        "VerTemas1", "Salir1", "MI1", "VerMantenimiento1", "IniciarenCapturaRpida1",
                        "IniciarenCapturaRpida2", "ServidordeHorario1", "ActualizarFechayHora1",
                        "ControldeArchivos1", "AltadeConceptosCobranza1", "Clientes2",
                        "Proveedores2", "Vendedores2", "Facturacin1", "Compras2", "Inventario2",
                        "MovimientosalInventario1", "CuentasPorPagar1", "CatlogoconImgenes1"})
    EXPECT_NE(p.accion(n), nullptr) << n;
  for (const char* n : {"BotonEmpresa", "BotonClientes", "BotonProveedo", "BotonVendedor",
                        "BotonFactu", "BotonInventa", "BotonMovinv", "BotonCompra", "Panel2",
                        "Panel3", "Panel4", "EditRuta", "Edit1", "Label6", "BitBtn1", "BotonMI",
                        "ArchivosSql", "Usuario"})
    EXPECT_NE(p.findChild<QWidget*>(n), nullptr) << n;
}

// --- Configuration screen ---

namespace {

struct Configuracion_ : ::testing::Test {
  QApplication& qt = aplicacionQt();
  prueba::DirectorioTemporal t;
  prueba::InteraccionFalsa ui;
  std::string sistema = t.str();
  std::unique_ptr<TFormaConfiguracionGeneral> f;

  void abre() {
    prueba::instalacionEnDirectorioActual({{41, "N"}, {65, "N"}});
    f = std::make_unique<TFormaConfiguracionGeneral>(ui, sistema, base::une(sistema, "Empresa1"));
    f->show();
    QTest::qWait(1);
  }
  template <class W>
  W* w(const char* nombre) {
    auto* r = f->findChild<W*>(nombre);
    EXPECT_NE(r, nullptr) << nombre;
    return r;
  }
};

}  // namespace

TEST_F(Configuracion_, EveryLineSaysWhatItDoes) {
  abre();
  // No caption is a bare number ("Dato 2", "Opción 48") or a bare "Reservado".
  const QRegularExpression vacia("^(Dato|Opción) [0-9]+$|^Reservado$");
  int vistos = 0;
  for (auto* l : f->findChildren<QLabel*>()) {
    ++vistos;
    EXPECT_FALSE(vacia.match(l->text()).hasMatch()) << l->text().toStdString();
  }
  for (auto* c : f->findChildren<QCheckBox*>()) {
    ++vistos;
    EXPECT_FALSE(vacia.match(c->text()).hasMatch()) << c->text().toStdString();
  }
  EXPECT_GT(vistos, 60);
  EXPECT_EQ(w<QCheckBox>("CheckBox51")->text(), "Opción libre 48 (sólo se guarda)");
}

TEST_F(Configuracion_, ShowingLoadsCompanyOneIntoTheControls) {
  abre();
  EXPECT_EQ(w<QSpinBox>("Edit0")->value(), 1);
  EXPECT_EQ(w<QLineEdit>("Edit9")->text(), "Abarrotes La Esperanza");
  EXPECT_EQ(w<QLineEdit>("Edit1")->text(), "NO");
  EXPECT_FALSE(w<QCheckBox>("Negativas")->isChecked());
  EXPECT_TRUE(w<QCheckBox>("EditFacExis")->isChecked());
  EXPECT_TRUE(w<QRadioButton>("VistaClasica")->isChecked());
  EXPECT_EQ(w<QLineEdit>("EditTablaDeCxC")->text(), "cucobrar");
  EXPECT_TRUE(w<QPushButton>("BotonGuardar")->isEnabled());
  // Every control of the line map is on the screen under its name.
  for (const auto& l : mapaConfiguracion()) {
    if (l.control.empty()) continue;
    const QString nombre = QString::fromUtf8(l.control.data(), static_cast<qsizetype>(l.control.size()));
    EXPECT_NE(f->findChild<QWidget*>(nombre), nullptr) << l.control;
  }
}

TEST_F(Configuracion_, SavingWritesTheControlsToTheChosenCompany) {
  abre();
  w<QSpinBox>("Edit0")->setValue(4);  // no such company: the values stay
  EXPECT_EQ(ui.mensajes(), Msgs{"No Existe La Empresa  4"});
  w<QLineEdit>("Edit9")->setText("Sucursal Norte");
  w<QCheckBox>("Negativas")->setChecked(true);
  w<QRadioButton>("VistaResaltada")->setChecked(true);
  QTest::mouseDClick(w<QLineEdit>("Edit6"), Qt::LeftButton);  // SI -> NO
  w<QPushButton>("BotonGuardar")->click();
  EXPECT_FALSE(w<QPushButton>("BotonGuardar")->isEnabled());
  auto l = base::leeLineas(session::archivoConfiguracion(sistema, 4));
  ASSERT_TRUE(l);
  ASSERT_EQ(l->size(), 72u);
  EXPECT_EQ((*l)[8], "Sucursal Norte");
  EXPECT_EQ((*l)[40], "S");
  EXPECT_EQ((*l)[64], "S");
  EXPECT_EQ((*l)[5], "NO");
  EXPECT_EQ((*l)[7], base::une(sistema, "Empresa1"));
  // Back to company 1: its own values again, and they may be saved too.
  w<QSpinBox>("Edit0")->setValue(1);
  EXPECT_EQ(w<QLineEdit>("Edit9")->text(), "Abarrotes La Esperanza");
  EXPECT_TRUE(w<QPushButton>("BotonGuardar")->isEnabled());
  w<QPushButton>("BotonGuardar")->click();
  EXPECT_FALSE(w<QPushButton>("BotonGuardar")->isEnabled());
  w<QLineEdit>("Edit9")->setText("Abarrotes La Esperanza 2");  // a later change
  EXPECT_TRUE(w<QPushButton>("BotonGuardar")->isEnabled());
}

TEST_F(Configuracion_, UsersPageShowsFiftyFiveRightsAndAddsAUser) {
  abre();
  EXPECT_EQ(TFormaConfiguracionGeneral::nombreCasillaDerecho(51), "CheckBox61");
  for (int d = 1; d <= 55; ++d)
    EXPECT_NE(f->findChild<QCheckBox*>(TFormaConfiguracionGeneral::nombreCasillaDerecho(d)), nullptr) << d;
  EXPECT_EQ(w<QLineEdit>("Edit26")->text(), "Administrador");
  EXPECT_EQ(w<QLineEdit>("Edit25")->echoMode(), QLineEdit::Password);
  EXPECT_EQ(w<QSpinBox>("Nume")->maximum(), 2);
  w<QSpinBox>("Nume")->setValue(1);
  EXPECT_EQ(w<QLineEdit>("Edit26")->text(), "Cajero");
  EXPECT_TRUE(f->casillaDerecho(4)->isChecked());
  EXPECT_FALSE(f->casillaDerecho(3)->isChecked());
  // Browsing: nothing on the page can be changed (and so nothing is lost).
  EXPECT_FALSE(f->casillaDerecho(4)->isEnabled());
  EXPECT_FALSE(w<QLineEdit>("Edit26")->isEnabled());

  w<QPushButton>("BotonNuevo")->click();
  EXPECT_FALSE(w<QPushButton>("BotonNuevo")->isEnabled());
  EXPECT_TRUE(w<QPushButton>("BotonGuarda")->isEnabled());
  EXPECT_EQ(w<QLineEdit>("Edit26")->text(), "");
  // A new user starts without the rights of the one shown before.
  EXPECT_FALSE(f->casillaDerecho(4)->isChecked());
  EXPECT_TRUE(f->casillaDerecho(4)->isEnabled());
  EXPECT_TRUE(w<QLineEdit>("Edit26")->isEnabled());
  w<QLineEdit>("Edit26")->setText("Supervisora");
  w<QLineEdit>("Edit25")->setText("super");
  f->casillaDerecho(54)->setChecked(true);
  w<QPushButton>("BotonGuarda")->click();
  auto u = session::leeUsuario(sistema, 3);
  ASSERT_TRUE(u);
  EXPECT_EQ(u->nombre, "Supervisora");
  EXPECT_EQ(u->clave, "super");
  EXPECT_EQ(u->derechos.size(), 55u);
  EXPECT_EQ(u->derechos[53], 's');
  EXPECT_EQ(w<QSpinBox>("Nume")->maximum(), 3);

  w<QSpinBox>("Nume")->setValue(0);
  w<QPushButton>("BotonElimina")->click();
  EXPECT_EQ(ui.mensajes(), Msgs{"El Usuario 0 no puede ser dado de baja"});
}

TEST_F(Configuracion_, KeyConversionWithoutLocalSqlSaysSo) {
  abre();
  w<QPushButton>("SpeedButton2")->click();
  EXPECT_EQ(ui.mensajes(), Msgs{"La conversión de claves no está disponible todavía"});
}

TEST_F(Configuracion_, KeyConversionRunsItsStatementsAfterTheAdministratorsKey) {
  prueba::instalacionEnDirectorioActual();
  std::vector<std::string> corridas;
  TFormaConfiguracionGeneral c(ui, sistema, "C:\\D",
                               [&](const std::string& s) { corridas.push_back(s); });
  c.show();
  c.findChild<QCheckBox*>("ConsecutivoClientes")->setChecked(true);
  base::RespuestaAdministrador admin;
  admin.resultado = base::RespuestaAdministrador::Administrador;
  ui.respondeAdministrador(admin);
  c.findChild<QPushButton*>("SpeedButton2")->click();
  EXPECT_EQ(corridas, sentenciasConversionClaves("C:\\D", true, false));
}

// --- Small boxes ---

TEST(CajasPequenas, AdministratorKeyBoxResults) {
  QApplication& qt = aplicacionQt();
  (void)qt;
  TFormaAdministrador d([](const std::string& c) { return c == "admin"; });
  EXPECT_EQ(d.windowTitle(), "Clave de Acceso");
  d.show();
  auto* clave = d.findChild<QLineEdit*>("Clave");
  QTest::keyClicks(clave, "admin");
  QTest::keyClick(clave, Qt::Key_Return);
  EXPECT_EQ(d.resultado(), 1);
  EXPECT_EQ(d.clave(), "admin");
  d.show();  // the key is emptied each time
  EXPECT_EQ(clave->text(), "");
  QTest::keyClicks(clave, "caja");
  d.findChild<QPushButton*>("BitBtn1")->click();
  EXPECT_EQ(d.resultado(), 0);
  EXPECT_EQ(d.clave(), "caja");
  d.show();
  d.findChild<QPushButton*>("BitBtn2")->click();
  EXPECT_EQ(d.resultado(), 2);
  d.show();
  QTest::keyClick(&d, Qt::Key_Escape);
  EXPECT_EQ(d.resultado(), 2);
}

TEST(CajasPequenas, SystemInformationFigures) {
  QApplication& qt = aplicacionQt();
  (void)qt;
  EXPECT_EQ(conMiles(0), "0");
  EXPECT_EQ(conMiles(999), "999");
  EXPECT_EQ(conMiles(1000), "1,000");
  EXPECT_EQ(conMiles(16318464), "16,318,464");
  TFormaSistema s;
  s.muestra({16318464, 37, 2048000});
  EXPECT_EQ(s.findChild<QLabel*>("PhysMem")->text(), "16,318,464 KB");
  EXPECT_EQ(s.findChild<QLabel*>("FreeRes")->text(), "37 %");
  EXPECT_EQ(s.findChild<QLabel*>("Espacio")->text(), "2,048,000 Kbytes.");
  const DatosSistema real = leeDatosSistema();
  EXPECT_GT(real.memoriaKb, 0u);
  EXPECT_GE(real.cargaPorciento, 0);
  EXPECT_LE(real.cargaPorciento, 100);
}

TEST(CajasPequenas, DirectoryChooserGivesDrivePaths) {
  QApplication& qt = aplicacionQt();
  (void)qt;
  prueba::DirectorioTemporal t;
  base::creaDirectorios("C:\\Datos\\Tienda");
  const QString raiz = QString::fromStdString(base::raizUnidades().string());
  EXPECT_EQ(rutaAlmacenada(raiz + "/c/Datos/Tienda"), "C:\\Datos\\Tienda");
  EXPECT_EQ(rutaAlmacenada(raiz + "/d"), "D:\\");
  EXPECT_EQ(rutaAlmacenada("/srv/datos"), "/srv/datos");
  TFormaDirectorio d;
  d.show();
  d.DriveComboBox1Change("C:");
  EXPECT_EQ(d.findChild<QLabel*>("LabelDirectorio")->text(), "C:");
  d.eligeLocal(raiz + "/c/Datos");
  EXPECT_EQ(d.directorio(), "C:\\Datos");
  QTest::keyClick(&d, Qt::Key_Escape);
  EXPECT_EQ(d.result(), 0);
}

TEST(CajasPequenas, AboutBoxTimerRunsOnlyWhileShown) {
  QApplication& qt = aplicacionQt();
  (void)qt;
  TFormaAcerca a;
  EXPECT_FALSE(a.timerActivo());
  a.show();
  EXPECT_TRUE(a.timerActivo());
  a.hide();
  EXPECT_FALSE(a.timerActivo());
}
