#include "inventory/screens/TFormaConMovimiento.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QTableWidget>
#include <QVBoxLayout>

namespace mostrador::inventory {

TFormaConMovimiento::TFormaConMovimiento(const std::vector<Concepto>& conceptos, QWidget* parent) : QDialog(parent) {
  setObjectName("TFormaConMovimiento");
  setWindowTitle("Tipos de Movimiento");
  resize(420, 380);
  auto* l = new QVBoxLayout(this);
  rejilla_ = new QTableWidget(static_cast<int>(conceptos.size()), 2, this);
  rejilla_->setObjectName("DBGrid1");
  rejilla_->setHorizontalHeaderLabels({"NUCON_CM", "DECON_CM"});
  rejilla_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  rejilla_->setSelectionBehavior(QAbstractItemView::SelectRows);
  rejilla_->verticalHeader()->setVisible(false);
  for (int r = 0; r < static_cast<int>(conceptos.size()); ++r) {
    const Concepto& c = conceptos[static_cast<size_t>(r)];
    rejilla_->setItem(r, 0, new QTableWidgetItem(QString::number(c.numero)));
    rejilla_->setItem(r, 1, new QTableWidgetItem(QString::fromStdString(c.descripcion)));
  }
  if (!conceptos.empty()) rejilla_->setCurrentCell(0, 0);
  l->addWidget(rejilla_);
  connect(rejilla_, &QTableWidget::cellDoubleClicked, this, [this] { elige(); });
}

void TFormaConMovimiento::elige() {
  const int r = rejilla_->currentRow();
  if (r < 0) return;
  eleccion_ = rejilla_->item(r, 0)->text().toInt();
  accept();
}

void TFormaConMovimiento::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
    elige();
    return;
  }
  QDialog::keyPressEvent(e);
}

}  // namespace mostrador::inventory
