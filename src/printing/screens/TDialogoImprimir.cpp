#include "printing/screens/TDialogoImprimir.h"

#include <QFormLayout>

TDialogoImprimir::TDialogoImprimir(int paginas, QWidget* parent) : QDialog(parent) {
  setObjectName("TDialogoImprimir");
  setWindowTitle(QStringLiteral("Rango"));
  auto* f = new QFormLayout(this);
  PrimeraPagina = new QSpinBox(this);
  PrimeraPagina->setObjectName("PrimeraPagina");
  UltimaPagina = new QSpinBox(this);
  UltimaPagina->setObjectName("UltimaPagina");
  for (QSpinBox* s : {PrimeraPagina, UltimaPagina}) s->setRange(1, std::max(1, paginas));
  PrimeraPagina->setValue(1);
  UltimaPagina->setValue(std::max(1, paginas));
  BotonAceptar = new QPushButton(QStringLiteral("Aceptar"), this);
  BotonAceptar->setObjectName("BotonAceptar");
  f->addRow(QStringLiteral("De"), PrimeraPagina);
  f->addRow(QStringLiteral("Hasta"), UltimaPagina);
  f->addRow(BotonAceptar);
  connect(BotonAceptar, &QPushButton::clicked, this, &QDialog::accept);
}
