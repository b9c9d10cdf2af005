#pragma once
// TFormaRespaldo: backups of the company (engine store::Respaldo). Ejecutar runs the
// chosen backup and closes when it succeeded; BitBtn5 copies into Directorio2;
// Restaurar brings an archive back.

#include <QDialog>
#include <string>

#include "base/interaccion.h"
#include "base/reloj.h"
#include "store/mantenimiento/respaldo.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QRadioButton;

namespace mostrador::store {

class TFormaRespaldo : public QDialog {
  Q_OBJECT
 public:
  TFormaRespaldo(base::Interaccion& ui, const base::Reloj& reloj, const std::string& dirSistema,
                 const std::string& dirDatos, QWidget* padre = nullptr);
  Respaldo& motor() { return motor_; }
  void EjecutarClick();
  void BitBtn5Click();
  void RestaurarClick();

 private:
  void toma();
  void pinta();
  Respaldo motor_;
  QLineEdit* fuente_;
  QLineEdit* destino_;
  QLineEdit* directorio2_;
  QRadioButton* normal_;
  QRadioButton* comprimido_;
  QProgressBar* progreso_;
  QListWidget* lista_;
  QLabel* uno_;
  QLabel* dos_;
  QLabel* archivo_;
};

}  // namespace mostrador::store
