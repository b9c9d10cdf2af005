#pragma once
// TFormaDescuentoPago: the value of each payment type of "\pagos.cnf" in
// "Descuento.DBF": a document discount percent, or 1000 plus a price list.

#include <QDialog>
#include <string>
#include <vector>

#include "base/interaccion.h"

class QTableWidget;

namespace mostrador::sales {

class TFormaDescuentoPago : public QDialog {
  Q_OBJECT
 public:
  TFormaDescuentoPago(std::string dirDatos, const std::vector<std::string>& tipos, base::Interaccion& ui,
                      QWidget* parent = nullptr);
  static void edita(QWidget* parent, const std::string& dirDatos, const std::vector<std::string>& tipos,
                    base::Interaccion& ui);

  // Writes the grid; false (and a message) when a cell does not read or the table fails.
  bool BotonGuardarClick();

 private:
  std::string dir_;
  base::Interaccion& ui_;
  QTableWidget* Descuentos = nullptr;
};

}  // namespace mostrador::sales
