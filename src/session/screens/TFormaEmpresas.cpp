#include "session/screens/TFormaEmpresas.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

#include "ui/dialogos.h"

namespace mostrador::session {

TFormaEmpresas::TFormaEmpresas(Empresas& empresas, std::function<void(const Ingreso&)> alIngresar,
                               QWidget* parent)
    : QDialog(parent), empresas_(empresas), alIngresar_(std::move(alIngresar)) {
  setObjectName("TFormaEmpresas");
  setWindowTitle("Empresa y Clave de Acceso");
  ui::anchoParaTitulo(this);
  setModal(true);
  auto* l = new QVBoxLayout(this);
  auto* f = new QFormLayout;
  empresa_ = new QSpinBox(this);
  empresa_->setObjectName("Empresa");
  empresa_->setRange(1, 999);
  empresa_->setValue(empresas_.empresa());
  rutaInicio_ = new QLineEdit(this);
  rutaInicio_->setObjectName("Rutainicio");
  rutaInicio_->setReadOnly(true);
  rutaInicio_->setFocusPolicy(Qt::NoFocus);
  nombreEmpresa_ = new QLabel(this);
  nombreEmpresa_->setObjectName("NombreEmpresa");
  clave_ = new QLineEdit(this);
  clave_->setObjectName("Clave");
  clave_->setEchoMode(QLineEdit::Password);
  clave_->setProperty("enterPropio", true);
  usuario_ = new QLabel(this);
  usuario_->setObjectName("Usuario");
  f->addRow("Empresa", empresa_);
  f->addRow("Nombre", nombreEmpresa_);
  f->addRow("Directorio", rutaInicio_);
  f->addRow("Clave", clave_);
  f->addRow("Usuario", usuario_);
  l->addLayout(f);
  aceptar_ = new QPushButton("&Aceptar", this);
  aceptar_->setObjectName("Aceptar");
  aceptar_->setAutoDefault(false);
  l->addWidget(aceptar_);
  connect(empresa_, &QSpinBox::valueChanged, this, &TFormaEmpresas::EmpresaChange);
  connect(clave_, &QLineEdit::returnPressed, this, &TFormaEmpresas::ClaveEnter);
  connect(aceptar_, &QPushButton::clicked, this, &TFormaEmpresas::AceptarClick);
  ui::instalaNavegacion(this);
  pinta();
}

void TFormaEmpresas::pinta() {
  pintando_ = true;
  empresa_->setValue(empresas_.empresa());
  rutaInicio_->setText(QString::fromStdString(empresas_.Rutainicio()));
  // The whole directory, from its drive letter on.
  ui::anchoParaTexto(rutaInicio_);
  nombreEmpresa_->setText(QString::fromStdString(empresas_.NombreEmpresa()));
  usuario_->setText(QString::fromStdString(empresas_.Usuario()));
  pintando_ = false;
}

void TFormaEmpresas::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  clave_->clear();
  // Activation runs once the box is on screen, so its messages sit on top of it.
  QTimer::singleShot(0, this, [this] {
    empresas_.FormActivate();
    pinta();
    clave_->setFocus();
  });
}

void TFormaEmpresas::EmpresaChange(int n) {
  if (pintando_) return;
  empresas_.EmpresaChange(n);
  pinta();
}

void TFormaEmpresas::ClaveEnter() {
  if (clave_->text().isEmpty()) return;  // nothing happens, the focus stays
  atiende(empresas_.ClaveEnter(clave_->text().toStdString()));
}

void TFormaEmpresas::AceptarClick() {
  atiende(empresas_.AceptarClick(clave_->text().toStdString()));
  clave_->clear();
  clave_->setFocus();
}

void TFormaEmpresas::atiende(const Ingreso& r) {
  if (r.tipo == Ingreso::Incorrecta) {
    clave_->selectAll();
    clave_->setFocus();
    return;
  }
  if (!r.exito()) return;
  if (alIngresar_) alIngresar_(r);
  accept();
  empresas_.revisaArchivos();
  pinta();
}

}  // namespace mostrador::session
