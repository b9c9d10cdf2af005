#include "sales/screens/DialogoRangoFechas.h"

#include <QFormLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/fechas.h"
#include "ui/dialogos.h"

namespace mostrador::sales {
namespace {

QLineEdit* campoFecha(QWidget* padre, const char* nombre, const base::Fecha& f) {
  auto* e = new QLineEdit(padre);
  e->setObjectName(nombre);
  e->setInputMask("99/99/9999;_");
  e->setText(QString::fromStdString(base::fechaCorta(f)));
  return e;
}

}  // namespace

DialogoRangoFechas::DialogoRangoFechas(QWidget* padre, base::Fecha hoy) : QDialog(padre) {
  setObjectName("TDialogoImprimir");
  setWindowTitle("Rango");
  setModal(true);
  auto* l = new QVBoxLayout(this);
  auto* f = new QFormLayout;
  de_ = campoFecha(this, "PrimeraPagina", hoy);
  hasta_ = campoFecha(this, "UltimaPagina", hoy);
  hasta_->setProperty("enterPropio", true);
  f->addRow("De", de_);
  f->addRow("Hasta", hasta_);
  l->addLayout(f);
  auto* aceptar = new QPushButton("&Aceptar", this);
  aceptar->setObjectName("Aceptar");
  aceptar->setAutoDefault(false);
  aceptar->setFocusPolicy(Qt::NoFocus);
  l->addWidget(aceptar, 0, Qt::AlignHCenter);
  connect(aceptar, &QPushButton::clicked, this, &DialogoRangoFechas::acepta);
  connect(hasta_, &QLineEdit::returnPressed, this, &DialogoRangoFechas::acepta);
  ui::instalaNavegacion(this);
  de_->setFocus();
  de_->selectAll();
}

std::optional<std::pair<base::Fecha, base::Fecha>> DialogoRangoFechas::pide(QWidget* padre, base::Fecha hoy) {
  DialogoRangoFechas d(padre, hoy);
  d.exec();
  return d.resultado();
}

void DialogoRangoFechas::acepta() {
  const auto de = base::leeFechaCorta(de_->text().toStdString());
  if (!de) {
    de_->setFocus();
    de_->selectAll();
    return;
  }
  const auto hasta = base::leeFechaCorta(hasta_->text().toStdString());
  if (!hasta) {
    hasta_->setFocus();
    hasta_->selectAll();
    return;
  }
  resultado_ = std::make_pair(*de, *hasta);
  accept();
}

void DialogoRangoFechas::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Escape) {
    resultado_.reset();
    reject();
    return;
  }
  if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) return;
  QDialog::keyPressEvent(e);
}

}  // namespace mostrador::sales
