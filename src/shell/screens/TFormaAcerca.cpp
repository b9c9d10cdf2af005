#include "shell/screens/TFormaAcerca.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include "ui/dialogos.h"

QString versionToolkit();

namespace mostrador::shell {

TFormaAcerca::TFormaAcerca(QWidget* parent) : QDialog(parent) {
  setObjectName("TFormaAcerca");
  setWindowTitle("Acerca de");
  ui::anchoParaTitulo(this);
  auto* l = new QVBoxLayout(this);
  banda_ = new QLabel("Mostrador", this);
  banda_->setObjectName("ProductName");
  banda_->setAlignment(Qt::AlignCenter);
  banda_->setAutoFillBackground(true);
  QFont f = banda_->font();
  f.setPointSize(22);
  f.setBold(true);
  banda_->setFont(f);
  auto* version = new QLabel("Versión 4.6.1", this);
  version->setObjectName("Version");
  auto* texto = new QLabel(
      "Ventas de mostrador, documentos, inventario, compras, cuentas por cobrar y por pagar.\n"
      "Qt " + versionToolkit(), this);
  texto->setObjectName("Comments");
  auto* ok = new QPushButton("&Aceptar", this);
  ok->setObjectName("OKButton");
  l->addWidget(banda_);
  l->addWidget(version);
  l->addWidget(texto);
  l->addWidget(ok);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  timer_ = new QTimer(this);
  timer_->setObjectName("Timer1");
  timer_->setInterval(80);
  connect(timer_, &QTimer::timeout, this, [this] {
    paso_ = (paso_ + 4) % 360;
    QPalette p = banda_->palette();
    p.setColor(QPalette::Window, QColor::fromHsv(paso_, 120, 220));
    banda_->setPalette(p);
  });
}

bool TFormaAcerca::timerActivo() const { return timer_->isActive(); }

void TFormaAcerca::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  timer_->start();
}

void TFormaAcerca::hideEvent(QHideEvent* e) {
  timer_->stop();
  QDialog::hideEvent(e);
}

}  // namespace mostrador::shell
