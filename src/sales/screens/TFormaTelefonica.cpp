#include "sales/screens/TFormaTelefonica.h"

#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace mostrador::sales {

TFormaTelefonica::TFormaTelefonica(const std::vector<Llamada>& llamadas, QWidget* parent) : QDialog(parent) {
  setObjectName("TFormaTelefonica");
  setWindowTitle(QStringLiteral("Lista Telefónica"));
  resize(640, 360);
  auto* v = new QVBoxLayout(this);
  auto* t = new QTableWidget(static_cast<int>(llamadas.size()), 4, this);
  t->setObjectName("Llamadas");
  t->setHorizontalHeaderLabels(
      {QStringLiteral("Hora"), QStringLiteral("Teléfono"), QStringLiteral("Nombre"), QStringLiteral("Dirección")});
  t->setEditTriggers(QAbstractItemView::NoEditTriggers);
  t->horizontalHeader()->setStretchLastSection(true);
  for (int i = 0; i < static_cast<int>(llamadas.size()); ++i) {
    const Llamada& l = llamadas[static_cast<size_t>(i)];
    const std::string celdas[4] = {l.hora, l.numero, l.nombre, l.direccion};
    for (int c = 0; c < 4; ++c) t->setItem(i, c, new QTableWidgetItem(QString::fromStdString(celdas[c])));
  }
  v->addWidget(t);
  auto* cerrar = new QPushButton(QStringLiteral("Cerrar"), this);
  cerrar->setObjectName("BotonCerrar");
  connect(cerrar, &QPushButton::clicked, this, &QDialog::accept);
  v->addWidget(cerrar);
}

void TFormaTelefonica::muestra(QWidget* parent, const std::vector<Llamada>& llamadas) {
  TFormaTelefonica f(llamadas, parent);
  f.exec();
}

}  // namespace mostrador::sales
