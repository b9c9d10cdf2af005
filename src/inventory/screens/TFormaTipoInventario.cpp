#include "inventory/screens/TFormaTipoInventario.h"

#include <QKeyEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace mostrador::inventory {

TFormaTipoInventario::TFormaTipoInventario(const QString& actual, QWidget* parent) : QDialog(parent) {
  setObjectName("TFormaTipoInventario");
  setWindowTitle("Tipo de Costo");
  auto* l = new QVBoxLayout(this);
  prom_ = new QRadioButton("Costo Promedio (PROM)", this);
  prom_->setObjectName("PROM");
  peps_ = new QRadioButton("Primeras Entradas Primeras Salidas (PEPS)", this);
  peps_->setObjectName("PEPS");
  ueps_ = new QRadioButton("Últimas Entradas Primeras Salidas (UEPS)", this);
  ueps_->setObjectName("UEPS");
  for (auto* r : {prom_, peps_, ueps_}) l->addWidget(r);
  if (actual.trimmed() == "PEPS")
    peps_->setChecked(true);
  else if (actual.trimmed() == "UEPS")
    ueps_->setChecked(true);
  else
    prom_->setChecked(true);
  auto* aceptar = new QPushButton("Aceptar", this);
  aceptar->setObjectName("BotonAceptar");
  connect(aceptar, &QPushButton::clicked, this, &QDialog::accept);
  l->addWidget(aceptar);
}

QString TFormaTipoInventario::eleccion() const {
  if (peps_->isChecked()) return "PEPS";
  if (ueps_->isChecked()) return "UEPS";
  return "PROM";
}

void TFormaTipoInventario::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
    accept();
    return;
  }
  QDialog::keyPressEvent(e);
}

}  // namespace mostrador::inventory
