#include "sales/screens/TFormaRango.h"

#include <QFormLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "ui/dialogos.h"

namespace mostrador::sales {
namespace {

// Document numbers are at most ten digits.
QLineEdit* campoNumero(QWidget* padre, const char* nombre) {
  auto* e = new QLineEdit(padre);
  e->setObjectName(nombre);
  e->setValidator(new QRegularExpressionValidator(QRegularExpression("\\d{0,10}"), e));
  return e;
}

}  // namespace

TFormaRango::TFormaRango(QWidget* padre, const std::string& tipo) : QDialog(padre) {
  setObjectName("TFormaRango");
  setWindowTitle("Rango de Documentos");
  setModal(true);
  auto* l = new QVBoxLayout(this);
  auto* titulo = new QLabel(QString::fromStdString(tipo), this);
  titulo->setObjectName("Tipo");
  titulo->setAlignment(Qt::AlignCenter);
  l->addWidget(titulo);
  auto* f = new QFormLayout;
  primero_ = campoNumero(this, "PrimerDocumento");
  ultimo_ = campoNumero(this, "UltimoDocumento");
  ultimo_->setProperty("enterPropio", true);
  f->addRow("De", primero_);
  f->addRow("Hasta", ultimo_);
  l->addLayout(f);
  auto* aceptar = new QPushButton("&Aceptar", this);
  aceptar->setObjectName("Aceptar");
  aceptar->setAutoDefault(false);
  aceptar->setFocusPolicy(Qt::NoFocus);
  l->addWidget(aceptar, 0, Qt::AlignHCenter);
  connect(aceptar, &QPushButton::clicked, this, &TFormaRango::acepta);
  connect(ultimo_, &QLineEdit::returnPressed, this, &TFormaRango::acepta);
  ui::instalaNavegacion(this);
  primero_->setFocus();
}

std::optional<std::pair<long long, long long>> TFormaRango::pide(QWidget* padre, const std::string& tipo) {
  TFormaRango d(padre, tipo);
  d.exec();
  return d.resultado();
}

void TFormaRango::acepta() {
  if (primero_->text().isEmpty()) {
    primero_->setFocus();
    return;
  }
  if (ultimo_->text().isEmpty()) {
    ultimo_->setFocus();
    return;
  }
  resultado_ = std::make_pair(primero_->text().toLongLong(), ultimo_->text().toLongLong());
  accept();
}

void TFormaRango::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Escape) {
    resultado_.reset();
    reject();
    return;
  }
  if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) return;
  QDialog::keyPressEvent(e);
}

}  // namespace mostrador::sales
