#include "store/screens/TFormaVerificaRegistros.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace mostrador::store {
namespace {
QString q(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

TFormaVerificaRegistros::TFormaVerificaRegistros(shell::Interaccion& ui, const std::string& dir, QWidget* padre)
    : QDialog(padre), motor_(ui, dir) {
  setObjectName("TFormaVerificaRegistros");
  setWindowTitle("Verificación de Registros");
  setModal(true);
  resize(460, 200);
  auto* l = new QVBoxLayout(this);
  auto* ruta = new QLabel(q(dir), this);
  ruta->setObjectName("LabelRuta");
  l->addWidget(ruta);
  tabla_ = new QLabel(this);
  tabla_->setObjectName("LabelTabla");
  registro_ = new QLabel(this);
  registro_->setObjectName("LabelRegistro");
  progreso_ = new QProgressBar(this);
  progreso_->setObjectName("Progreso");
  progreso_->setRange(0, 100);
  l->addWidget(tabla_);
  l->addWidget(registro_);
  l->addWidget(progreso_);
  auto* botones = new QHBoxLayout;
  auto* completa = new QPushButton("&Verificar y Reindexar", this);
  completa->setObjectName("BitBtn3");
  auto* sola = new QPushButton("Verificar &sin Copia", this);
  sola->setObjectName("BitBtn4");
  auto* salir = new QPushButton("&Salir", this);
  salir->setObjectName("BitBtn2");
  for (auto* b : {completa, sola, salir}) {
    b->setAutoDefault(false);
    botones->addWidget(b);
  }
  l->addLayout(botones);
  connect(completa, &QPushButton::clicked, this, &TFormaVerificaRegistros::BitBtn3Click);
  connect(sola, &QPushButton::clicked, this, &TFormaVerificaRegistros::BitBtn4Click);
  connect(salir, &QPushButton::clicked, this, &QDialog::reject);
  motor_.alCambiar = [this] {
    pinta();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  };
}

void TFormaVerificaRegistros::pinta() {
  tabla_->setText(q(motor_.LabelTabla()));
  registro_->setText(q(motor_.LabelRegistro()));
  progreso_->setValue(motor_.Progreso());
}

void TFormaVerificaRegistros::BitBtn3Click() {
  if (motor_.BitBtn3Click()) accept();
  pinta();
}

void TFormaVerificaRegistros::BitBtn4Click() {
  motor_.BitBtn4Click();
  pinta();
}

}  // namespace mostrador::store
