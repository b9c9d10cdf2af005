// The summary screen's chart as it is drawn: the six labels of its bars are shown
// whole, not cut to "Total de Re...", at the screen's size and at a narrow one.

#include <gtest/gtest.h>

#include <QApplication>
#include <QBarCategoryAxis>
#include <QChartView>
#include <QGraphicsScene>
#include <QGraphicsTextItem>

#include "session/empresa_nueva.h"
#include "store/screens/TFormaConsolidar.h"
#include "support/entorno.h"
#include "support/interaccion_fake.h"
#include "support/reloj_fijo.h"

using namespace mostrador;

namespace {

void aseguraAplicacion() {
  if (QApplication::instance()) return;
  static int argc = 1;
  static char nombre[] = "test_ui";
  static char* argv[] = {nombre, nullptr};
  new QApplication(argc, argv);
}

// The texts the chart draws (axis labels and titles), as plain text.
QStringList textosDibujados(QChartView* v) {
  QStringList r;
  for (QGraphicsItem* i : v->scene()->items())
    if (auto* t = dynamic_cast<QGraphicsTextItem*>(i); t && t->isVisible()) r << t->toPlainText();
  return r;
}

TEST(EtiquetasGrafica, TheSummaryBarsAreLabelledWithTheirWholeNames) {
  aseguraAplicacion();
  prueba::DirectorioTemporal dir;
  prueba::InteraccionFalsa ui;
  prueba::RelojFijo reloj{{{2026, 12, 8}, {10, 0, 0, 0}}};
  const std::string datos = dir.str() + "/datos";
  session::creaDirectorioDatos(datos);
  store::TFormaConsolidar f(ui, reloj, datos);
  f.show();
  f.BotonEsquinado2Click();
  const QStringList nombres = {"Total de Remisiones", "Total de Compras",     "Abonos en Compras",
                               "Saldo en Compras",    "Costo del Inventario", "Valor del Inventario"};
  for (int ancho : {720, 480}) {
    f.resize(ancho, 560);
    QApplication::processEvents();
    const QStringList textos = textosDibujados(f.grafica());
    for (const QString& n : nombres) {
      bool entero = false;
      for (const QString& t : textos) entero = entero || QString(t).replace(QChar::LineSeparator, ' ').replace('\n', ' ').simplified() == n;
      EXPECT_TRUE(entero) << ancho << " " << n.toStdString() << " in " << textos.join(" | ").toStdString();
    }
    for (const QString& t : textos) EXPECT_FALSE(t.contains(QStringLiteral("..."))) << t.toStdString();
  }
}

}  // namespace
