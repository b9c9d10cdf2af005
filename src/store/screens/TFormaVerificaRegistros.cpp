#include "store/screens/TFormaVerificaRegistros.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "store/dbf/dbf_table.h"

namespace mostrador::store {
namespace {
QString q(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

TFormaVerificaRegistros::TFormaVerificaRegistros(base::Interaccion& ui, const std::string& dir, QWidget* padre)
    : QDialog(padre), motor_(ui, dir) {
  setObjectName("TFormaVerificaRegistros");
  setWindowTitle("Verificación de Registros");
  setModal(true);
  resize(560, 420);
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
  auto* rejillas = new QHBoxLayout;
  tablas_ = new QListWidget(this);
  tablas_->setObjectName("Tablas");
  for (const auto& t : dbf::Table::listTables(dir)) tablas_->addItem(q(t));
  campos_ = new QTableWidget(0, 4, this);
  campos_->setObjectName("Campos");
  campos_->setHorizontalHeaderLabels({"Campo", "Tipo", "Tamaño", "Decimales"});
  campos_->verticalHeader()->hide();
  rejillas->addWidget(tablas_, 1);
  rejillas->addWidget(campos_, 2);
  l->addLayout(rejillas, 1);
  connect(tablas_, &QListWidget::itemClicked, this,
          [this](QListWidgetItem* i) { TablasClick(i->text().toStdString()); });
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

void TFormaVerificaRegistros::TablasClick(const std::string& tabla) {
  const auto filas = camposEncabezado(motor_.directorio(), tabla);
  campos_->setRowCount(static_cast<int>(filas.size()));
  for (int f = 0; f < static_cast<int>(filas.size()); ++f) {
    const auto& c = filas[static_cast<size_t>(f)];
    int col = 0;
    for (const std::string* v : {&c.campo, &c.tipo, &c.tamano, &c.decimales})
      campos_->setItem(f, col++, new QTableWidgetItem(q(*v)));
  }
}

void TFormaVerificaRegistros::BitBtn4Click() {
  motor_.BitBtn4Click();
  pinta();
}

}  // namespace mostrador::store
