#include "ui/TFormaAdministrador.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include "ui/dialogos.h"

namespace mostrador::ui {

TFormaAdministrador::TFormaAdministrador(std::function<bool(const std::string&)> esAdministrador,
                                         QWidget* parent)
    : QDialog(parent), esAdministrador_(std::move(esAdministrador)) {
  setObjectName("TFormaAdministrador");
  setWindowTitle("Clave de Acceso");
  ui::anchoParaTitulo(this);
  auto* l = new QVBoxLayout(this);
  auto* t1 = new QLabel("Este Módulo sólo Puede ser Utilizado por el Administrador del Sistema", this);
  t1->setObjectName("Label1");
  auto* t2 = new QLabel("Introduce la Clave del Administrador", this);
  t2->setObjectName("Label2");
  clave_ = new QLineEdit(this);
  clave_->setObjectName("Clave");
  clave_->setEchoMode(QLineEdit::Password);
  auto* botones = new QHBoxLayout;
  auto* aceptar = new QPushButton("&Aceptar", this);
  aceptar->setObjectName("BitBtn1");
  auto* cancelar = new QPushButton("&Cancelar", this);
  cancelar->setObjectName("BitBtn2");
  botones->addWidget(aceptar);
  botones->addWidget(cancelar);
  l->addWidget(t1);
  l->addWidget(t2);
  l->addWidget(clave_);
  l->addLayout(botones);
  connect(aceptar, &QPushButton::clicked, this, &TFormaAdministrador::acepta);
  connect(clave_, &QLineEdit::returnPressed, this, &TFormaAdministrador::acepta);
  connect(cancelar, &QPushButton::clicked, this, [this] {
    resultado_ = 2;
    done(2);
  });
  aceptar->setAutoDefault(false);
  cancelar->setAutoDefault(false);
}

void TFormaAdministrador::showEvent(QShowEvent* e) {
  clave_->clear();
  resultado_ = 2;
  clave_->setFocus();
  QDialog::showEvent(e);
}

void TFormaAdministrador::acepta() {
  resultado_ = esAdministrador_(clave_->text().toStdString()) ? 1 : 0;
  done(resultado_);
}

QString TFormaAdministrador::clave() const { return clave_->text(); }

}  // namespace mostrador::ui
