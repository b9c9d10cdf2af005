#pragma once
// TFormaRutaKardex: the directories of other branches (RutasMI.dbf) as a plain editable
// grid; saving replaces the table's rows with the grid's.

#include <QDialog>
#include <string>

#include "base/interaccion.h"

class QTableWidget;

namespace mostrador::inventory {

class TFormaRutaKardex : public QDialog {
  Q_OBJECT
 public:
  TFormaRutaKardex(std::string dirDatos, base::Interaccion& ui, QWidget* parent = nullptr);
  QTableWidget* rejilla() const { return rejilla_; }
  bool guarda();

 private:
  std::string dirDatos_;
  base::Interaccion& ui_;
  QTableWidget* rejilla_;
};

}  // namespace mostrador::inventory
