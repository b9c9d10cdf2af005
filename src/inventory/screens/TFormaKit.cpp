#include "inventory/screens/TFormaKit.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "inventory/complementos_producto.h"
#include "store/dbf/dbf_table.h"
#include "inventory/screens/TFormaConProduct.h"
#include "base/numeros.h"

namespace mostrador::inventory {

TFormaKit::TFormaKit(std::string dirDatos, std::string dirInventario, std::string dirSistema, std::string kit,
                     base::Interaccion& ui, QWidget* parent)
    : QDialog(parent),
      dirDatos_(std::move(dirDatos)),
      dirInventario_(std::move(dirInventario)),
      dirSistema_(std::move(dirSistema)),
      kit_(std::move(kit)),
      ui_(ui) {
  setObjectName("TFormaKit");
  setWindowTitle("Componentes del Kit " + QString::fromStdString(kit_));
  resize(620, 380);
  auto* l = new QVBoxLayout(this);
  rejilla_ = new QTableWidget(0, 4, this);
  rejilla_->setObjectName("Componentes");
  rejilla_->setHorizontalHeaderLabels({"Producto", "Clave Kit", "Descripción", "Cantidad"});
  rejilla_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  rejilla_->setSelectionBehavior(QAbstractItemView::SelectRows);
  l->addWidget(rejilla_, 1);
  auto* abajo = new QHBoxLayout;
  componente_ = new QLineEdit(this);
  componente_->setObjectName("EditCLPRO_K");
  cantidad_ = new QLineEdit("1", this);
  cantidad_->setObjectName("EditCANTI_K");
  auto* agregar = new QPushButton("Agregar", this);
  agregar->setObjectName("BotonAgregar");
  auto* quitar = new QPushButton("Quitar", this);
  quitar->setObjectName("BotonQuitar");
  for (auto* b : {agregar, quitar}) b->setAutoDefault(false);
  abajo->addWidget(new QLabel("Componente (F2 Busca)", this));
  abajo->addWidget(componente_, 1);
  abajo->addWidget(new QLabel("Cantidad", this));
  abajo->addWidget(cantidad_);
  abajo->addWidget(agregar);
  abajo->addWidget(quitar);
  l->addLayout(abajo);
  connect(agregar, &QPushButton::clicked, this, &TFormaKit::agrega);
  connect(quitar, &QPushButton::clicked, this, &TFormaKit::quita);
  carga();
}

void TFormaKit::carga() {
  rejilla_->setRowCount(0);
  try {
    for (const auto& c : componentesKit(dirDatos_, kit_)) {
      const int f = rejilla_->rowCount();
      rejilla_->insertRow(f);
      rejilla_->setItem(f, 0, new QTableWidgetItem(QString::fromStdString(c.clave)));
      rejilla_->setItem(f, 1, new QTableWidgetItem(QString::fromStdString(kit_)));
      rejilla_->setItem(f, 2, new QTableWidgetItem(QString::fromStdString(c.descripcion)));
      auto* cant = new QTableWidgetItem(QString::fromStdString(base::formateaMascara(c.cantidad, "###,##0.00")));
      cant->setData(Qt::UserRole, static_cast<qulonglong>(c.registro));
      rejilla_->setItem(f, 3, cant);
    }
  } catch (const dbf::Error&) {
    ui_.mensaje("Ha Ocurrido un Error al Abrir una de las Bases de Datos.");
  }
}

void TFormaKit::agrega() {
  const std::string c = componente_->text().trimmed().toStdString();
  if (c.empty()) return;
  bool ok = false;
  const double q = cantidad_->text().trimmed().toDouble(&ok);
  if (!ok) {
    ui_.mensaje("\"" + cantidad_->text().toStdString() + "\" no es un Número Válido");
    return;
  }
  if (agregaComponente(dirDatos_, dirInventario_, kit_, c, q, ui_)) {
    componente_->clear();
    carga();
  }
}

void TFormaKit::quita() {
  const int f = rejilla_->currentRow();
  if (f < 0) return;
  try {
    quitaComponente(dirDatos_, static_cast<uint32_t>(rejilla_->item(f, 3)->data(Qt::UserRole).toULongLong()));
  } catch (const dbf::Error&) {
    ui_.mensaje("No se Pueden Guardar los Datos ha Ocurrido un Error");
  }
  carga();
}

void TFormaKit::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_F2) {
    if (auto c = TFormaConProduct::consulta(this, dirInventario_, dirSistema_, componente_->text().toStdString())) {
      componente_->setText(QString::fromStdString(*c));
      cantidad_->setFocus();
    }
    return;
  }
  if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
    agrega();
    return;
  }
  QDialog::keyPressEvent(e);
}

}  // namespace mostrador::inventory
