#include "sales/screens/TFormaCaja.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "ui/dialogos.h"

namespace mostrador::sales {

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }
std::string s(const QLineEdit* e) { return e->text().toStdString(); }

QLineEdit* campo(QWidget* padre, const char* nombre, int largo) {
  auto* e = new QLineEdit(padre);
  e->setObjectName(nombre);
  if (largo > 0) e->setMaxLength(largo);
  return e;
}

}  // namespace

TFormaCaja::TFormaCaja(std::string dirSistema, base::Interaccion& ui, QWidget* padre)
    : QDialog(padre), ui_(ui), forma_(abreFormaCaja(dirSistema)) {
  setObjectName("TFormaCaja");
  setWindowTitle("Configurar Caja");
  setModal(true);
  auto* l = new QVBoxLayout(this);
  auto* f = new QFormLayout;
  NumeroCaja = campo(this, "NumeroCaja", 6);
  NumeroCaja->setValidator(new QRegularExpressionValidator(QRegularExpression("\\d{0,6}"), NumeroCaja));
  Ruta = campo(this, "Ruta", 0);
  // The capacities of the record's fields.
  NoCaja = campo(this, "NoCaja", 3);
  ClaveVendedor = campo(this, "ClaveVendedor", 5);
  Formato = campo(this, "Formato", 25);
  f->addRow("Registro", NumeroCaja);
  f->addRow("Ruta", Ruta);
  f->addRow("No. de Caja", NoCaja);
  f->addRow("Vendedor", ClaveVendedor);
  f->addRow("Formato", Formato);
  l->addLayout(f);
  auto* botones = new QHBoxLayout;
  BotonAceptar = new QPushButton("&Aceptar", this);
  BotonAceptar->setObjectName("BotonAceptar");
  BotonAceptar->setAutoDefault(false);
  BotonCancelar = new QPushButton("&Cancelar", this);
  BotonCancelar->setObjectName("BotonCancelar");
  BotonCancelar->setAutoDefault(false);
  botones->addWidget(BotonAceptar);
  botones->addWidget(BotonCancelar);
  l->addLayout(botones);
  connect(BotonAceptar, &QPushButton::clicked, this, [this] { ConfigurarCaja1Click(); });
  connect(BotonCancelar, &QPushButton::clicked, this, &QDialog::reject);
  connect(NumeroCaja, &QLineEdit::editingFinished, this, &TFormaCaja::NumeroCajaExit);
  connect(Ruta, &QLineEdit::editingFinished, this, &TFormaCaja::NumeroCajaExit);
  ui::instalaNavegacion(this);
  pinta();
  NumeroCaja->setFocus();
}

void TFormaCaja::pinta() {
  NumeroCaja->setText(q(forma_.numero));
  Ruta->setText(q(forma_.ruta));
  NoCaja->setText(q(forma_.registro.caja));
  ClaveVendedor->setText(q(forma_.registro.vendedor));
  Formato->setText(q(forma_.registro.formato));
}

void TFormaCaja::lee() {
  forma_.numero = s(NumeroCaja);
  forma_.ruta = s(Ruta);
  forma_.registro = {s(NoCaja), s(ClaveVendedor), s(Formato)};
}

void TFormaCaja::NumeroCajaExit() {
  forma_.numero = s(NumeroCaja);
  forma_.ruta = s(Ruta);
  muestraCaja(forma_);
  pinta();
}

bool TFormaCaja::ConfigurarCaja1Click() {
  lee();
  if (!guardaCaja(forma_, ui_)) return false;
  accept();
  return true;
}

}  // namespace mostrador::sales
