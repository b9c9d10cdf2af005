// Typing dates into the date fields: the report filter dialog's "Inicial" and "Final"
// take a typed dd/MM/aaaa whatever date they showed and wherever the cursor was, and
// the other screens' date fields are the same widget.

#include <gtest/gtest.h>

#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QTest>

#include "reports/filtro_reporte.h"
#include "reports/screens/TFormaFormatos.h"
#include "session/empresa_nueva.h"
#include "store/screens/TFormaConsolidar.h"
#include "support/entorno.h"
#include "support/interaccion_fake.h"
#include "support/reloj_fijo.h"
#include "ui/campo_fecha.h"

using namespace mostrador;

namespace {

void aseguraAplicacion() {
  if (QApplication::instance()) return;
  static int argc = 1;
  static char nombre[] = "test_ui";
  static char* argv[] = {nombre, nullptr};
  new QApplication(argc, argv);
}

QString texto(QDateEdit* d) { return d->findChild<QLineEdit*>()->text(); }

class CampoFechaTecleado : public ::testing::Test {
 protected:
  void SetUp() override {
    aseguraAplicacion();
    forma = std::make_unique<TFormaFormatos>();
    forma->show();
    forma->Inicial->setDate(QDate(2026, 12, 10));
    forma->Final->setDate(QDate(2026, 12, 10));
  }
  std::unique_ptr<TFormaFormatos> forma;
  TFormaFormatos& dialogo() { return *forma; }
};

TEST_F(CampoFechaTecleado, AFullDateTypedReplacesTheShownOne) {
  QTest::keyClicks(dialogo().Inicial, "01/01/2025");
  EXPECT_EQ(dialogo().Inicial->date(), QDate(2025, 1, 1));
  EXPECT_EQ(texto(dialogo().Inicial), "01/01/2025");
  // What the report reads from the dialog.
  reports::FiltroReporte f;
  dialogo().lee(f);
  EXPECT_EQ(f.inicial, std::optional<base::Fecha>(base::Fecha{2025, 1, 1}));
  // Without separators, and into the other field entered with Tab.
  dialogo().Final->setFocus(Qt::TabFocusReason);
  QTest::keyClicks(dialogo().Final, "28022025");
  EXPECT_EQ(dialogo().Final->date(), QDate(2025, 2, 28));
  EXPECT_EQ(texto(dialogo().Final), "28/02/2025");
  // Typing again starts a new date.
  QTest::keyClicks(dialogo().Final, "15032024");
  EXPECT_EQ(dialogo().Final->date(), QDate(2024, 3, 15));
}

TEST_F(CampoFechaTecleado, ASeparatorAfterOneDigitPadsItAndTheCursorPlaceDoesNotMatter) {
  // The cursor left at the end of the text, as a click past it leaves it.
  dialogo().Inicial->findChild<QLineEdit*>()->setCursorPosition(10);
  dialogo().Inicial->setFocus(Qt::TabFocusReason);
  QTest::keyClicks(dialogo().Inicial, "1/2/2025");
  EXPECT_EQ(dialogo().Inicial->date(), QDate(2025, 2, 1));
  EXPECT_EQ(texto(dialogo().Inicial), "01/02/2025");
}

TEST_F(CampoFechaTecleado, AClickOnTheYearTypesOnlyTheYear) {
  QLineEdit* texto = dialogo().Inicial->findChild<QLineEdit*>();
  // The point of the text between the "2" and the "0" of the year.
  const int x = texto->contentsRect().left() + 2 + texto->fontMetrics().horizontalAdvance("10/12/2");
  texto->setCursorPosition(0);
  QTest::mouseClick(texto, Qt::LeftButton, {}, QPoint(x, texto->height() / 2));
  EXPECT_EQ(qobject_cast<ui::CampoFecha*>(dialogo().Inicial)->posicionTecleo(), 4);
  QTest::keyClicks(dialogo().Inicial, "2031");
  EXPECT_EQ(dialogo().Inicial->date(), QDate(2031, 12, 10));
}

TEST_F(CampoFechaTecleado, AnImpossibleDateWaitsAndLeavingTheFieldKeepsTheLastValidOne) {
  dialogo().Inicial->setDate(QDate(2024, 3, 15));
  dialogo().Inicial->setFocus(Qt::TabFocusReason);
  QTest::keyClicks(dialogo().Inicial, "3102");
  // "31/02" is no date: shown as typed, the field's date stays the last valid one
  // (31 March, when the day was typed).
  EXPECT_EQ(texto(dialogo().Inicial), "31/02/2024");
  EXPECT_EQ(dialogo().Inicial->date(), QDate(2024, 3, 31));
  QFocusEvent fuera(QEvent::FocusOut, Qt::TabFocusReason);
  QApplication::sendEvent(dialogo().Inicial, &fuera);
  EXPECT_EQ(texto(dialogo().Inicial), "31/03/2024");
  EXPECT_EQ(dialogo().Inicial->date(), QDate(2024, 3, 31));
  // Coming back to the field starts at the day again. Backspace steps back over what
  // was typed.
  QFocusEvent dentro(QEvent::FocusIn, Qt::TabFocusReason);
  QApplication::sendEvent(dialogo().Inicial, &dentro);
  EXPECT_EQ(qobject_cast<ui::CampoFecha*>(dialogo().Inicial)->posicionTecleo(), 0);
  QTest::keyClicks(dialogo().Inicial, "2902");
  EXPECT_EQ(dialogo().Inicial->date(), QDate(2024, 2, 29));
  QTest::keyClick(dialogo().Inicial, Qt::Key_Backspace);
  QTest::keyClick(dialogo().Inicial, Qt::Key_Backspace);
  QTest::keyClicks(dialogo().Inicial, "12");
  EXPECT_EQ(dialogo().Inicial->date(), QDate(2024, 12, 29));
}

TEST(CamposFecha, TheDateFieldsOfTheScreensAreTheTypedWidget) {
  aseguraAplicacion();
  TFormaFormatos dialogo;
  for (QDateEdit* d : {dialogo.Inicial, dialogo.Final}) {
    EXPECT_NE(qobject_cast<ui::CampoFecha*>(d), nullptr) << d->objectName().toStdString();
    EXPECT_EQ(d->displayFormat(), "dd/MM/yyyy");
  }
  prueba::DirectorioTemporal dir;
  prueba::InteraccionFalsa ui;
  prueba::RelojFijo reloj{{{2026, 12, 8}, {10, 0, 0, 0}}};
  const std::string datos = dir.str() + "/datos";
  session::creaDirectorioDatos(datos);
  store::TFormaConsolidar c(ui, reloj, datos);
  for (const char* n : {"FechaInicio", "FechaFinal"}) {
    auto* d = c.findChild<QDateEdit*>(n);
    ASSERT_NE(d, nullptr) << n;
    EXPECT_NE(qobject_cast<ui::CampoFecha*>(d), nullptr) << n;
  }
  auto* inicio = c.findChild<QDateEdit*>("FechaInicio");
  inicio->setEnabled(true);
  QTest::keyClicks(inicio, "05/11/2026");
  EXPECT_EQ(inicio->date(), QDate(2026, 11, 5));
}

}  // namespace
