#pragma once
// TFormacomovinv: the movement concepts "CoMovInv.dbf" (type, description, kind "T" for a
// transfer and its destination directory). New adds a row, Save posts the changed rows,
// Delete refuses the built-in concepts (inventory/movimientos.h).

#include <QDialog>

#include "base/interaccion.h"

class QTableWidget;

namespace mostrador::inventory {

class TFormacomovinv : public QDialog {
  Q_OBJECT
 public:
  TFormacomovinv(std::string dirDatos, base::Interaccion& ui, QWidget* parent = nullptr);

  void BotonNuevoClick();
  bool BotonGuardarClick();
  void BotonEliminarClick();
  QTableWidget* rejilla() const { return rejilla_; }

 private:
  void pinta();

  std::string dir_;
  base::Interaccion& ui_;
  QTableWidget* rejilla_;
};

}  // namespace mostrador::inventory
