#pragma once
// What the customer and supplier screens do alike over their catalogue: Ctrl+A / Ctrl+S
// to the previous and next record, Esc to close, the table read again at each showing
// while nothing is pending, the pending-changes prompt on closing, opening on a key, and
// the seller lookup (F2) on their seller field.

#include <QDialog>
#include <optional>
#include <string>

#include "accounts/catalogo_cuenta.h"

class QLineEdit;

namespace mostrador::accounts {

class PantallaCuenta : public QDialog {
  Q_OBJECT
 public:
  // The catalogue is the derived screen's member: it is only used once events arrive, and
  // a derived screen hides itself in its destructor, while the catalogue still stands.
  PantallaCuenta(CatalogoCuenta& cuenta, QWidget* parent);

  bool abreEnClave(const std::string& clave, bool crear);
  // The key of the record shown last (the lookups find it again).
  std::optional<std::string> ultimaClave() const;

 protected:
  // Fields, labels and (with the rules) what the engine shows of the record.
  virtual void pinta(bool conReglas = true) = 0;
  // What is typed and not yet left, as leaving it would; false when refused.
  virtual bool tomaPendientes() = 0;
  virtual bool saleCampo(const std::string& campo) = 0;
  // F2 on the seller field while editing: the seller lookup writes the chosen key.
  bool consultaVendedor(QLineEdit* campo, const std::string& nombreCampo, const std::string& dirDatos);

  void keyPressEvent(QKeyEvent* e) override;
  void showEvent(QShowEvent* e) override;
  void closeEvent(QCloseEvent* e) override;

 private:
  CatalogoCuenta& cuenta_;
  bool activada_ = false;
};

}  // namespace mostrador::accounts
