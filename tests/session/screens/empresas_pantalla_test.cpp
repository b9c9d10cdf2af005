#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

#include "support/principal_aplicacion.h"
#include "session/inicio.h"
#include "session/screens/TFormaEmpresas.h"
#include "support/entorno.h"
#include "support/interaccion_fake.h"

using namespace mostrador;
using namespace mostrador::session;

using Msgs = std::vector<std::string>;

namespace {

struct PantallaEmpresas : ::testing::Test {
  QApplication& qt = prueba::aplicacionQt();
  prueba::DirectorioTemporal t;
  prueba::InteraccionFalsa ui;
  std::vector<Ingreso> ingresos;
  std::unique_ptr<Empresas> motor;
  std::unique_ptr<TFormaEmpresas> forma;

  void abre() {
    prueba::instalacionEnDirectorioActual();
    motor = std::make_unique<Empresas>(ui, directorioActual(), directorioActual(), 1);
    forma = std::make_unique<TFormaEmpresas>(*motor, [this](const Ingreso& r) { ingresos.push_back(r); });
    forma->show();
    QTest::qWait(5);  // activation runs once the box is on screen
  }
  QLineEdit* clave() { return forma->findChild<QLineEdit*>("Clave"); }
};

}  // namespace

TEST_F(PantallaEmpresas, ShowsTheCompanyAndFocusesTheKey) {
  abre();
  EXPECT_TRUE(forma->yaMostrada());
  EXPECT_EQ(forma->findChild<QLabel*>("NombreEmpresa")->text(), "Abarrotes La Esperanza");
  EXPECT_EQ(forma->findChild<QLineEdit*>("Rutainicio")->text(),
            QString::fromStdString(base::une(t.str(), "Empresa1")));
  EXPECT_EQ(clave()->echoMode(), QLineEdit::Password);
  EXPECT_TRUE(ui.mensajes().empty());
  // The directory shows whole, from its start, and the title fits the box.
  QLineEdit* ruta = forma->findChild<QLineEdit*>("Rutainicio");
  EXPECT_EQ(ruta->cursorPosition(), 0);
  EXPECT_GE(ruta->width(), ruta->fontMetrics().horizontalAdvance(ruta->text()));
  EXPECT_GE(forma->width(), forma->fontMetrics().horizontalAdvance(forma->windowTitle()) + 100);
}

TEST_F(PantallaEmpresas, AnEmptyKeyAndEnterDoNothing) {
  abre();
  QTest::keyClick(clave(), Qt::Key_Return);
  EXPECT_TRUE(forma->isVisible());
  EXPECT_TRUE(ingresos.empty());
  EXPECT_TRUE(ui.mensajes().empty());
}

TEST_F(PantallaEmpresas, ACompanyWithoutAFileEmptiesTheDataDirectory) {
  abre();
  forma->findChild<QSpinBox*>("Empresa")->setValue(8);
  EXPECT_EQ(ui.mensajes(), Msgs{"La Empresa No Existe"});
  EXPECT_EQ(forma->findChild<QLineEdit*>("Rutainicio")->text(), "");
  EXPECT_EQ(*base::leeLinea(base::kArchivoInicio, 2), base::une(t.str(), "Gener1.cnf"));
}

TEST_F(PantallaEmpresas, AcceptSignsInClosesAndShowsTheUser) {
  abre();
  QTest::keyClicks(clave(), "almacen");
  forma->findChild<QPushButton*>("Aceptar")->click();
  ASSERT_EQ(ingresos.size(), 1u);
  EXPECT_EQ(ingresos[0].usuario, 2);
  EXPECT_FALSE(forma->isVisible());
  EXPECT_EQ(clave()->text(), "");
  EXPECT_EQ(forma->findChild<QLabel*>("Usuario")->text(), "2");
  EXPECT_TRUE(ui.mensajes().empty());  // every file of the check is there
}
