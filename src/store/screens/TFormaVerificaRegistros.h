#pragma once
// TFormaVerificaRegistros: the record check of a directory (engine
// store::VerificaRegistros). BitBtn3 checks with the safety copy and closes accepted
// when the check ran to the end; BitBtn4 checks without the copy.

#include <QDialog>
#include <string>

#include "shell/interaccion.h"
#include "store/mantenimiento/reparacion.h"

class QLabel;
class QProgressBar;

namespace mostrador::store {

class TFormaVerificaRegistros : public QDialog {
  Q_OBJECT
 public:
  TFormaVerificaRegistros(shell::Interaccion& ui, const std::string& dir, QWidget* padre = nullptr);
  VerificaRegistros& motor() { return motor_; }
  void BitBtn3Click();
  void BitBtn4Click();

 private:
  void pinta();
  VerificaRegistros motor_;
  QLabel* tabla_;
  QLabel* registro_;
  QProgressBar* progreso_;
};

}  // namespace mostrador::store
