#pragma once
// TFormaReindexaTodo: rebuilding the indexes of the company (engine store::ReindexaTodo).
// F12 shows or hides the lists and the secondary buttons.

#include <QDialog>
#include <string>

#include "base/interaccion.h"
#include "base/reloj.h"
#include "store/mantenimiento/reindexado.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QWidget;

namespace mostrador::store {

class TFormaReindexaTodo : public QDialog {
  Q_OBJECT
 public:
  TFormaReindexaTodo(base::Interaccion& ui, const base::Reloj& reloj, const std::string& dirSistema,
                     const std::string& dirDatos, QWidget* padre = nullptr);
  ~TFormaReindexaTodo() override;
  ReindexaTodo& motor() { return motor_; }

 protected:
  void keyPressEvent(QKeyEvent* e) override;
  void showEvent(QShowEvent* e) override;

 private:
  QPushButton* boton(const char* nombre, const QString& texto, void (ReindexaTodo::*orden)());
  void tomaMemo();
  void pinta();

  base::Interaccion& ui_;
  ReindexaTodo motor_;
  QLineEdit* ruta_;
  QListWidget* archivos_;
  QPlainTextEdit* memo_;
  QListWidget* lista_;
  QListWidget* lista2_;
  QListWidget* faltantes_;
  QProgressBar* progreso_;
  QLabel* tabla_;
  QCheckBox* reindexaInicio_;
  QCheckBox* respaldaInicio_;
  QCheckBox* respaldaFinal_;
  QWidget* detalle_;
  bool pintando_ = false;
};

}  // namespace mostrador::store
