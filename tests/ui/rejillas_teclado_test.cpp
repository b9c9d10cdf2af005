// The string grids' keyboard rule, program-wide: Enter and Down move to the next cell
// as Tab does, also out of an open cell editor; read-only grids and grids with their own
// Enter keep their keys.
#include <gtest/gtest.h>

#include <QDialog>
#include <QLineEdit>
#include <QTableWidget>
#include <QTest>
#include <QVBoxLayout>

#include "support/principal_aplicacion.h"
#include "ui/dialogos.h"

using namespace mostrador;

namespace {

struct Rejillas : ::testing::Test {
  QApplication& qt = prueba::aplicacionQt();
  QDialog forma;
  QTableWidget* rejilla = nullptr;

  void SetUp() override {
    ui::instalaReglaRejillas();
    rejilla = new QTableWidget(2, 3, &forma);
    for (int f = 0; f < 2; ++f)
      for (int c = 0; c < 3; ++c) rejilla->setItem(f, c, new QTableWidgetItem);
    auto* l = new QVBoxLayout(&forma);
    l->addWidget(rejilla);
    l->addWidget(new QLineEdit(&forma));
    forma.show();
    forma.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&forma));
    rejilla->setFocus();
    rejilla->setCurrentCell(0, 0);
  }
  std::pair<int, int> celda() const { return {rejilla->currentRow(), rejilla->currentColumn()}; }
};

}  // namespace

TEST_F(Rejillas, EnterYAbajoPasanALaCeldaSiguienteYDeLaUltimaAlRenglonSiguiente) {
  QTest::keyClick(rejilla, Qt::Key_Return);
  EXPECT_EQ(celda(), std::make_pair(0, 1));
  QTest::keyClick(rejilla, Qt::Key_Down);
  EXPECT_EQ(celda(), std::make_pair(0, 2));
  QTest::keyClick(rejilla, Qt::Key_Enter);
  EXPECT_EQ(celda(), std::make_pair(1, 0));
  // Up keeps its own meaning.
  QTest::keyClick(rejilla, Qt::Key_Up);
  EXPECT_EQ(celda(), std::make_pair(0, 0));
}

TEST_F(Rejillas, EnterEnLaCeldaEnEdicionLaGuardaYPasaALaSiguiente) {
  rejilla->editItem(rejilla->item(0, 0));
  QWidget* editor = QApplication::focusWidget();
  ASSERT_NE(editor, nullptr);
  ASSERT_NE(editor, rejilla);
  QTest::keyClicks(editor, "abc");
  QTest::keyClick(editor, Qt::Key_Return);
  EXPECT_EQ(rejilla->item(0, 0)->text(), "abc");
  EXPECT_EQ(celda(), std::make_pair(0, 1));
}

TEST_F(Rejillas, LasRejillasDeSoloLecturaYLasDeEnterPropioConservanSusTeclas) {
  rejilla->setEditTriggers(QAbstractItemView::NoEditTriggers);
  QTest::keyClick(rejilla, Qt::Key_Return);
  EXPECT_EQ(celda(), std::make_pair(0, 0));
  QTest::keyClick(rejilla, Qt::Key_Down);
  EXPECT_EQ(celda(), std::make_pair(1, 0));  // the grid's own Down: one row below

  rejilla->setEditTriggers(QAbstractItemView::DoubleClicked);
  rejilla->setProperty("enterPropio", true);
  rejilla->setCurrentCell(0, 0);
  QTest::keyClick(rejilla, Qt::Key_Down);
  EXPECT_EQ(celda(), std::make_pair(1, 0));
}
