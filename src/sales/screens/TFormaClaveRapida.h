#pragma once
// TFormaClaveRapida: quick product creation (key, description, barcode, price, units
// per package) into the product table.

#include <QDialog>
#include <string>

#include "base/interaccion.h"

class QLineEdit;

namespace mostrador::sales {

class TFormaClaveRapida : public QDialog {
  Q_OBJECT
 public:
  TFormaClaveRapida(std::string dirInventario, base::Interaccion& ui, std::string clave = {},
                    QWidget* parent = nullptr);
  // Shows it modally; true when a product was created.
  static bool pide(QWidget* parent, const std::string& dirInventario, base::Interaccion& ui,
                   const std::string& clave = {});

  void BotonGuardarClick();

 private:
  std::string dir_;
  base::Interaccion& ui_;
  QLineEdit *EditCLPRO_I, *EditDSCPR_I, *EditCODIG_I, *EditPPUBL_I, *EditUEMPA_I;
};

}  // namespace mostrador::sales
