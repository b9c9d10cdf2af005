#include "reports/screens/TFormaProgreso.h"

#include <QApplication>
#include <QVBoxLayout>

TFormaProgreso::TFormaProgreso(mostrador::base::Interaccion& ui, QWidget* parent) : QDialog(parent), ui_(ui) {
  setObjectName("TFormaProgreso");
  setWindowTitle(QStringLiteral("Procesando"));
  auto* l = new QVBoxLayout(this);
  Mensaje = new QLabel(this);
  Mensaje->setObjectName("Mensaje");
  Espere = new QLabel(QStringLiteral("Espere por Favor"), this);
  Espere->setObjectName("Espere");
  Barra = new QProgressBar(this);
  Barra->setObjectName("Barra");
  Barra->setRange(0, 100);
  BotonCancelar = new QPushButton(QStringLiteral("Cancelar"), this);
  BotonCancelar->setObjectName("BotonCancelar");
  l->addWidget(Mensaje);
  l->addWidget(Barra);
  l->addWidget(Espere);
  l->addWidget(BotonCancelar);
  connect(BotonCancelar, &QPushButton::clicked, this, [this] { BotonCancelarClick(); });
}

void TFormaProgreso::BotonCancelarClick() { cancelado_ = true; }

void TFormaProgreso::iniciaProgreso(std::string_view titulo, int maximo) {
  Mensaje->setText(QString::fromUtf8(titulo.data(), static_cast<int>(titulo.size())));
  maximo_ = maximo;
  hecho_ = 0;
  Barra->setValue(0);
  if (!isVisible()) show();
  QApplication::processEvents();
}

void TFormaProgreso::avanzaProgreso(int pasos) {
  hecho_ += pasos;
  Barra->setValue(maximo_ > 0 ? std::min(100, hecho_ * 100 / maximo_) : 100);
  // The cancel button is the only input that gets through while the generator works.
  QApplication::processEvents();
}

void TFormaProgreso::terminaProgreso() { Barra->setValue(100); }
