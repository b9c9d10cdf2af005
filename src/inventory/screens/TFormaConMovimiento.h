#pragma once
// TFormaConMovimiento: the movement type lookup (F2 on the type): the concepts' type and
// description; double click or Enter answers the type.

#include <QDialog>
#include <optional>

#include "inventory/movimientos.h"

class QTableWidget;

namespace mostrador::inventory {

class TFormaConMovimiento : public QDialog {
  Q_OBJECT
 public:
  TFormaConMovimiento(const std::vector<Concepto>& conceptos, QWidget* parent = nullptr);
  QTableWidget* rejilla() const { return rejilla_; }
  // The type of the current row once accepted.
  std::optional<int> eleccion() const { return eleccion_; }
  void elige();

 protected:
  void keyPressEvent(QKeyEvent* e) override;

 private:
  QTableWidget* rejilla_;
  std::optional<int> eleccion_;
};

}  // namespace mostrador::inventory
