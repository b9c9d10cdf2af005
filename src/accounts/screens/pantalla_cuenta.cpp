#include "accounts/screens/pantalla_cuenta.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLineEdit>

#include "accounts/screens/TFormaConVendedores.h"

namespace mostrador::accounts {

PantallaCuenta::PantallaCuenta(CatalogoCuenta& cuenta, QWidget* parent) : QDialog(parent), cuenta_(cuenta) {}

bool PantallaCuenta::abreEnClave(const std::string& clave, bool crear) {
  const bool ok = cuenta_.abreEnClave(clave, crear);
  pinta(cuenta_.modo() == ModoCatalogo::Consulta);
  return ok;
}

std::optional<std::string> PantallaCuenta::ultimaClave() const {
  if (!cuenta_.hayRegistro()) return std::nullopt;
  return cuenta_.texto(cuenta_.definicion().campoClave);
}

bool PantallaCuenta::consultaVendedor(QLineEdit* campo, const std::string& nombreCampo, const std::string& dirDatos) {
  if (cuenta_.modo() == ModoCatalogo::Consulta) return false;
  if (auto v = TFormaConVendedores::consulta(this, dirDatos, campo->text().toStdString())) {
    campo->setText(QString::fromStdString(*v));
    saleCampo(nombreCampo);
  }
  return true;
}

void PantallaCuenta::keyPressEvent(QKeyEvent* e) {
  if (e->modifiers() & Qt::ControlModifier) {
    if (e->key() == Qt::Key_A) {
      cuenta_.anterior();
      pinta();
      return;
    }
    if (e->key() == Qt::Key_S) {
      cuenta_.siguiente();
      pinta();
      return;
    }
  }
  if (e->key() == Qt::Key_Escape) {
    close();
    return;
  }
  QDialog::keyPressEvent(e);
}

void PantallaCuenta::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  // Each later showing reads the table again, so that other stations' changes show.
  if (activada_ && cuenta_.modo() == ModoCatalogo::Consulta) {
    cuenta_.refresca();
    pinta();
  }
  activada_ = true;
}

void PantallaCuenta::closeEvent(QCloseEvent* e) {
  if (cuenta_.modo() != ModoCatalogo::Consulta) {
    tomaPendientes();
    if (!cuenta_.cierra()) {
      e->ignore();
      pinta(false);
      return;
    }
    pinta();
  }
  e->accept();
  QDialog::closeEvent(e);
}

}  // namespace mostrador::accounts
