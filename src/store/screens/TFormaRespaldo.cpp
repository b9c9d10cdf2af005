#include "store/screens/TFormaRespaldo.h"

#include <QApplication>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace mostrador::store {
namespace {
QString q(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

TFormaRespaldo::TFormaRespaldo(base::Interaccion& ui, const base::Reloj& reloj, const std::string& dirSistema,
                               const std::string& dirDatos, QWidget* padre)
    : QDialog(padre), motor_(ui, reloj, dirSistema, dirDatos) {
  setObjectName("TFormaRespaldo");
  setWindowTitle("Respaldos");
  setModal(true);
  resize(620, 440);
  auto* l = new QVBoxLayout(this);
  auto* f = new QFormLayout;
  fuente_ = new QLineEdit(this);
  fuente_->setObjectName("DirectorioFuente");
  fuente_->setReadOnly(true);
  destino_ = new QLineEdit(this);
  destino_->setObjectName("DirectorioDestino");
  directorio2_ = new QLineEdit(this);
  directorio2_->setObjectName("Directorio2");
  f->addRow("Origen", fuente_);
  f->addRow("Destino", destino_);
  f->addRow("Otro destino", directorio2_);
  l->addLayout(f);
  auto* tipo = new QHBoxLayout;
  normal_ = new QRadioButton("Normal", this);
  normal_->setObjectName("Normal");
  normal_->setChecked(true);
  comprimido_ = new QRadioButton("Comprimido", this);
  comprimido_->setObjectName("Comprimido");
  tipo->addWidget(normal_);
  tipo->addWidget(comprimido_);
  tipo->addStretch(1);
  l->addLayout(tipo);
  uno_ = new QLabel(this);
  uno_->setObjectName("uno");
  dos_ = new QLabel(this);
  dos_->setObjectName("dos");
  archivo_ = new QLabel(this);
  archivo_->setObjectName("ArchivoBases");
  progreso_ = new QProgressBar(this);
  progreso_->setObjectName("Progreso");
  progreso_->setRange(0, 100);
  lista_ = new QListWidget(this);
  lista_->setObjectName("ListaArchivo2");
  for (QWidget* w : std::initializer_list<QWidget*>{uno_, dos_, archivo_, progreso_}) l->addWidget(w);
  l->addWidget(lista_, 1);
  auto* botones = new QHBoxLayout;
  auto* ejecutar = new QPushButton("&Ejecutar", this);
  ejecutar->setObjectName("Ejecutar");
  auto* otro = new QPushButton("&Otro Destino", this);
  otro->setObjectName("BitBtn5");
  auto* restaurar = new QPushButton("&Restaurar...", this);
  restaurar->setObjectName("Restaurar");
  auto* salir = new QPushButton("&Salir", this);
  salir->setObjectName("Salir");
  for (auto* b : {ejecutar, otro, restaurar, salir}) {
    b->setAutoDefault(false);
    botones->addWidget(b);
  }
  l->addLayout(botones);
  connect(ejecutar, &QPushButton::clicked, this, &TFormaRespaldo::EjecutarClick);
  connect(otro, &QPushButton::clicked, this, &TFormaRespaldo::BitBtn5Click);
  connect(restaurar, &QPushButton::clicked, this, &TFormaRespaldo::RestaurarClick);
  connect(salir, &QPushButton::clicked, this, &QDialog::reject);
  motor_.alCambiar = [this] {
    pinta();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  };
  motor_.FormShow();
  fuente_->setText(q(motor_.DirectorioFuente()));
  destino_->setText(q(motor_.DirectorioDestino()));
}

void TFormaRespaldo::toma() {
  motor_.ponDirectorioDestino(destino_->text().toStdString());
  motor_.ponDirectorio2(directorio2_->text().toStdString());
  motor_.ponComprimido(comprimido_->isChecked());
}

void TFormaRespaldo::pinta() {
  uno_->setText(q(motor_.uno()));
  dos_->setText(q(motor_.dos()));
  archivo_->setText(q(motor_.ArchivoBases()));
  progreso_->setValue(motor_.Progreso());
  if (lista_->count() > static_cast<int>(motor_.ListaArchivo2().size())) lista_->clear();
  for (int i = lista_->count(); i < static_cast<int>(motor_.ListaArchivo2().size()); ++i)
    lista_->addItem(q(motor_.ListaArchivo2()[static_cast<size_t>(i)]));
}

void TFormaRespaldo::EjecutarClick() {
  toma();
  if (motor_.Ejecutar()) accept();
}

void TFormaRespaldo::BitBtn5Click() {
  toma();
  motor_.BitBtn5Click();
  pinta();
}

void TFormaRespaldo::RestaurarClick() {
  toma();
  motor_.Restaurar();
  pinta();
}

}  // namespace mostrador::store
