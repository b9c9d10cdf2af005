#pragma once
// TFormaCaja: the till record of a station. NumeroCaja picks the record of "\caja.cnf"
// in the directory Ruta; NoCaja, ClaveVendedor and Formato show it; Aceptar writes it
// back there (ConfigurarCaja1Click of the sales screens), creating the file when missing.

#include <QDialog>
#include <string>

#include "base/interaccion.h"
#include "sales/caja.h"

class QLineEdit;
class QPushButton;

namespace mostrador::sales {

class TFormaCaja : public QDialog {
  Q_OBJECT
 public:
  TFormaCaja(std::string dirSistema, base::Interaccion& ui, QWidget* padre = nullptr);

  // The record of the position and directory typed is shown again.
  void NumeroCajaExit();
  // Writes the edited record at its position; closes the dialog when written.
  bool ConfigurarCaja1Click();

  const FormaCaja& forma() const { return forma_; }

 private:
  void pinta();
  void lee();

  base::Interaccion& ui_;
  FormaCaja forma_;
  QLineEdit* NumeroCaja = nullptr;
  QLineEdit* Ruta = nullptr;
  QLineEdit* NoCaja = nullptr;
  QLineEdit* ClaveVendedor = nullptr;
  QLineEdit* Formato = nullptr;
  QPushButton* BotonAceptar = nullptr;
  QPushButton* BotonCancelar = nullptr;
};

}  // namespace mostrador::sales
