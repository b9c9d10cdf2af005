// The preview screen headless: page count, page selector, drawing only the current
// page, and the comment items written by the print button.

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>

#include "printing/registro_vista_previa.h"
#include "designers/screens/TFormaEdicion.h"
#include "base/rutas.h"
#include "support/entorno.h"

using namespace mostrador;
using namespace mostrador::designers;
using namespace mostrador::printing;
using mostrador::prueba::DirectorioTemporal;

namespace {

void aseguraAplicacion() {
  if (QApplication::instance()) return;
  static int argc = 1;
  static char nombre[] = "test_ui";
  static char* argv[] = {nombre, nullptr};
  new QApplication(argc, argv);
}

RegistroVistaPrevia caja(int pagina) {
  RegistroVistaPrevia r;
  r.x = 10;
  r.y = 10;
  r.texto = "40";
  r.formato = "30";
  r.tamano = kTamanoCuadro;
  r.color = "clRed";
  r.pagina = pagina;
  return r;
}

RegistroVistaPrevia texto(int pagina) {
  RegistroVistaPrevia r;
  r.x = 1;
  r.y = 1;
  r.texto = "Pagina";
  r.tamano = 9;
  r.fuente = "DejaVu Sans";
  r.color = "negro";
  r.pagina = pagina;
  return r;
}

int rojos(QWidget* w) {
  QImage img = w->grab().toImage();
  int n = 0;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) {
      QColor c = img.pixelColor(x, y);
      if (c.red() > 200 && c.green() < 60 && c.blue() < 60) ++n;
    }
  return n;
}

TEST(EdicionVistaPrevia, PagesSelectorAndBoxesOnlyOnTheirPage) {
  aseguraAplicacion();
  DirectorioTemporal dir;
  mostrador::base::creaDirectorios("C:\\TVK\\tempo");
  escribeRegistros("C:\\TVK\\tempo\\format.tmp", {texto(1), caja(2), texto(3)});
  TFormaEdicion forma("C:\\TVK");
  forma.show();
  QWidget* hoja = forma.hoja();
  EXPECT_EQ(rojos(hoja), 0);  // page 1 has no box
  auto* paginas = forma.findChild<QLabel*>("LabelPaginas");
  ASSERT_NE(paginas, nullptr);
  EXPECT_EQ(paginas->text(), "Paginas  3");
  auto* selector = forma.findChild<QLineEdit*>("NumerodePagina");
  ASSERT_NE(selector, nullptr);
  selector->setText("2");
  EXPECT_EQ(forma.paginaActual(), 2);
  EXPECT_GT(rojos(hoja), 1000);
  selector->setText("0");
  EXPECT_EQ(forma.paginaActual(), 1);
  selector->setText("2");
  selector->clear();
  EXPECT_EQ(forma.paginaActual(), 1);
  EXPECT_EQ(rojos(hoja), 0);

  forma.findChild<QPushButton*>("BotonDisminuye")->click();
  EXPECT_EQ(hoja->size(), QSize(193, 315));
  forma.findChild<QPushButton*>("Carta1")->click();
  EXPECT_EQ(hoja->width(), 612);
}

TEST(EdicionVistaPrevia, PrintButtonWritesTheCommentItems) {
  aseguraAplicacion();
  DirectorioTemporal dir;
  TFormaEdicion forma("C:\\TVK");
  forma.show();
  forma.findChild<QPushButton*>("BotonCampo")->click();
  forma.findChild<QPushButton*>("BotonCampo")->click();
  auto* e1 = forma.findChild<QLineEdit*>("Edit1");
  auto* e2 = forma.findChild<QLineEdit*>("Edit2");
  auto* e3 = forma.findChild<QLineEdit*>("Edit3");
  ASSERT_TRUE(e1 && e2 && e3);
  EXPECT_FALSE(e1->isHidden());
  EXPECT_FALSE(e2->isHidden());
  EXPECT_TRUE(e3->isHidden());
  // A double click frees a field: the next command hands it out again.
  e1->setText("borrar");
  QTest::mouseDClick(e1, Qt::LeftButton);
  EXPECT_TRUE(e1->isHidden());
  EXPECT_EQ(e1->text(), "");
  forma.findChild<QPushButton*>("BotonCampo")->click();
  EXPECT_FALSE(e1->isHidden());

  e1->setText("Entregar hoy");
  forma.mueveComentario(e1, QPoint(70, 28));  // cells of 7 x 14 on the letter sheet
  EXPECT_EQ(forma.findChild<QLabel*>("EstadoPosicion")->text(), "Renglon 2 Columna 10");
  forma.findChild<QPushButton*>("BotonComentario")->click();
  auto* nota = forma.findChild<QTextEdit*>("Comentario");
  nota->setPlainText("Uno\nDos");
  forma.mueveComentario(nota, QPoint(14, 140));
  forma.findChild<QPushButton*>("BotonImprimir")->click();
  EXPECT_TRUE(forma.impresionSolicitada());

  auto rs = leeRegistros("C:\\TVK\\tempo\\comentar.tmp");
  ASSERT_EQ(rs.size(), 12u);
  EXPECT_EQ(rs[0].texto, "Uno");
  EXPECT_EQ((std::array{rs[0].x, rs[0].y, rs[1].x, rs[1].y}), (std::array{2, 10, 2, 11}));
  EXPECT_EQ(rs[1].texto, "Dos");
  EXPECT_EQ(rs[2].texto, "Entregar hoy");
  EXPECT_EQ((std::array{rs[2].x, rs[2].y}), (std::array{10, 2}));
  EXPECT_EQ(rs[2].tamano, 10);
  EXPECT_EQ(rs[2].fuente, "Arial");
  EXPECT_EQ(rs[2].color, "negro");
  EXPECT_EQ(rs[11].texto, "");
}

}  // namespace
