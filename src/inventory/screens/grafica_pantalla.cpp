#include "inventory/screens/grafica_pantalla.h"

#include <QAbstractSeries>
#include <QChart>
#include <QChartView>
#include <QVBoxLayout>
#include <memory>

#include "query/screens/TFormaNuevoReporte.h"

namespace mostrador::inventory {

QDialog* dialogoGrafica(QWidget* padre, const char* nombre, const QString& titulo, QAbstractSeries* serie) {
  auto* d = new QDialog(padre);
  d->setObjectName(nombre);
  d->setWindowTitle(titulo);
  d->resize(720, 420);
  auto* grafica = new QChart;
  grafica->setTitle(titulo);
  grafica->addSeries(serie);
  grafica->createDefaultAxes();
  auto* vista = new QChartView(grafica, d);
  vista->setObjectName("Grafica");
  (new QVBoxLayout(d))->addWidget(vista);
  return d;
}

void muestraGraficaYReporte(QWidget* padre, QDialog* grafica, reports::NuevoReporte reporte,
                            const QString& tituloReporte) {
  std::unique_ptr<QDialog> g(grafica);
  g->exec();
  TFormaNuevoReporte r(std::move(reporte), padre);
  r.setWindowTitle(tituloReporte);
  r.exec();
}

}  // namespace mostrador::inventory
