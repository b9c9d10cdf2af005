#include "sales/screens/TFormaCalculaxPrecio.h"

#include <QFormLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/numeros.h"
#include "ui/dialogos.h"

namespace mostrador::sales {

TFormaCalculaxPrecio::TFormaCalculaxPrecio(QWidget* padre) : QDialog(padre) {
  setObjectName("TFormaCalculaxPrecio");
  setWindowTitle("Captura por Importe");
  setModal(true);
  auto* l = new QVBoxLayout(this);
  auto* f = new QFormLayout;
  importe_ = new QLineEdit(this);
  importe_->setObjectName("EditImporte");
  clave_ = new QLineEdit(this);
  clave_->setObjectName("EditClave");
  clave_->setProperty("enterPropio", true);
  f->addRow("Importe", importe_);
  f->addRow("Clave o Código", clave_);
  l->addLayout(f);
  auto* aceptar = new QPushButton("&Aceptar", this);
  aceptar->setObjectName("Aceptar");
  aceptar->setAutoDefault(false);
  aceptar->setFocusPolicy(Qt::NoFocus);
  l->addWidget(aceptar, 0, Qt::AlignHCenter);
  connect(aceptar, &QPushButton::clicked, this, &TFormaCalculaxPrecio::acepta);
  connect(clave_, &QLineEdit::returnPressed, this, &TFormaCalculaxPrecio::acepta);
  ui::instalaNavegacion(this);
  importe_->setFocus();
}

std::optional<CapturaImporte> TFormaCalculaxPrecio::pide(QWidget* padre) {
  TFormaCalculaxPrecio d(padre);
  d.exec();
  return d.resultado();
}

void TFormaCalculaxPrecio::acepta() {
  const std::string importe = importe_->text().trimmed().toStdString();
  const std::string clave = clave_->text().trimmed().toStdString();
  // Nothing can be sold for an amount that is not a positive number.
  const auto valor = base::leeNumero(importe);
  if (!valor || *valor <= 0) {
    importe_->selectAll();
    importe_->setFocus();
    return;
  }
  if (clave.empty()) {
    clave_->setFocus();
    return;
  }
  resultado_ = CapturaImporte{importe, clave};
  accept();
}

void TFormaCalculaxPrecio::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Escape) {
    resultado_.reset();
    reject();
    return;
  }
  // Enter belongs to the fields (next field, or accept on the key).
  if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) return;
  QDialog::keyPressEvent(e);
}

}  // namespace mostrador::sales
