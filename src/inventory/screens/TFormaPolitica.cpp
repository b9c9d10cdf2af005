#include "inventory/screens/TFormaPolitica.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "inventory/precios.h"
#include "ui/dialogos.h"

namespace mostrador::inventory {

TFormaPolitica::TFormaPolitica(CatalogoProductos& motor, QWidget* parent) : QDialog(parent), motor_(motor) {
  setObjectName("TFormaPolitica");
  setWindowTitle("Política de Precios " + QString::fromStdString(motor_.texto("CLPRO_I")));
  auto* g = new QGridLayout(this);
  g->addWidget(new QLabel("Precio", this), 0, 1);
  g->addWidget(new QLabel("Margen %", this), 0, 2);
  g->addWidget(new QLabel("Cantidad", this), 0, 3);
  for (int n = 0; n < 7; ++n) {
    g->addWidget(new QLabel(QString("Nivel %1").arg(n + 1), this), n + 1, 0);
    auto crea = [&](const char* campo, int col) {
      auto* e = new QLineEdit(this);
      e->setObjectName(QString("Edit") + campo);
      g->addWidget(e, n + 1, col);
      return e;
    };
    precios_[n] = crea(kCamposPrecio[n], 1);
    margenes_[n] = crea(kCamposMargen[n], 2);
    limites_[n] = crea(kCamposLimite[n], 3);
    connect(margenes_[n], &QLineEdit::editingFinished, this, [this, n] { saleMargen(n + 1); });
    connect(precios_[n], &QLineEdit::editingFinished, this, [this, n] { sale(precios_[n], kCamposPrecio[n]); });
    connect(limites_[n], &QLineEdit::editingFinished, this, [this, n] { sale(limites_[n], kCamposLimite[n]); });
  }
  auto* cerrar = new QPushButton("Cerrar", this);
  cerrar->setObjectName("BotonCerrar");
  cerrar->setAutoDefault(false);
  connect(cerrar, &QPushButton::clicked, this, &QDialog::accept);
  g->addWidget(cerrar, 8, 3);
  ui::instalaNavegacion(this);
  pinta();
}

void TFormaPolitica::pinta() {
  pintando_ = true;
  for (size_t n = 0; n < 7; ++n) {
    precios_[n]->setText(QString::fromStdString(motor_.texto(kCamposPrecio[n])));
    margenes_[n]->setText(QString::fromStdString(motor_.texto(kCamposMargen[n])));
    limites_[n]->setText(QString::fromStdString(motor_.texto(kCamposLimite[n])));
  }
  pintando_ = false;
}

void TFormaPolitica::saleMargen(int nivel) {
  if (pintando_ || nivel < 1 || nivel > 7) return;
  QLineEdit* e = margenes_[static_cast<size_t>(nivel - 1)];
  if (e->text().trimmed().isEmpty() || e->text().toStdString() == motor_.texto(kCamposMargen[nivel - 1])) return;
  motor_.saleMargen(nivel, e->text().toStdString());
  pinta();
}

void TFormaPolitica::sale(QLineEdit* e, const char* campo) {
  if (pintando_ || e->text().toStdString() == motor_.texto(campo)) return;
  motor_.ponTexto(campo, e->text().toStdString());
  pinta();
}

}  // namespace mostrador::inventory
