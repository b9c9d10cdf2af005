#pragma once
// TFormaEmpresas: company number and personal key. A thin view over shell::Empresas;
// a successful key hands the result to the main window (alIngresar) and closes.

#include <QDialog>
#include <functional>

#include "session/empresas.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace mostrador::session {

class TFormaEmpresas : public QDialog {
  Q_OBJECT
 public:
  TFormaEmpresas(Empresas& empresas, std::function<void(const Ingreso&)> alIngresar,
                 QWidget* parent = nullptr);

  Empresas& motor() { return empresas_; }
  bool yaMostrada() const { return empresas_.mostrada(); }

  void AceptarClick();
  void ClaveEnter();

 protected:
  void showEvent(QShowEvent* e) override;

 private:
  void EmpresaChange(int n);
  void atiende(const Ingreso& r);
  void pinta();

  Empresas& empresas_;
  std::function<void(const Ingreso&)> alIngresar_;
  QSpinBox* empresa_;
  QLineEdit* clave_;
  QLineEdit* rutaInicio_;
  QLabel* nombreEmpresa_;
  QLabel* usuario_;
  QPushButton* aceptar_;
  bool pintando_ = false;
};

}  // namespace mostrador::session
