#pragma once
// TFormaConsolidar: the company summary (engine store::Consolidar): six sums as text
// and, with BotonEsquinado2, as bars.

#include <QDialog>
#include <string>

#include "shell/interaccion.h"
#include "shell/reloj.h"
#include "store/mantenimiento/consolidar.h"

class QChartView;
class QDateEdit;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QRadioButton;

namespace mostrador::store {

class TFormaConsolidar : public QDialog {
  Q_OBJECT
 public:
  TFormaConsolidar(shell::Interaccion& ui, const shell::Reloj& reloj, const std::string& dirDatos,
                   QWidget* padre = nullptr);
  Consolidar& motor() { return motor_; }
  void BotonEsquinado1Click();
  void BotonEsquinado2Click();
  QChartView* grafica() const { return grafica_; }

 private:
  void toma();
  void pinta();
  Consolidar motor_;
  QLabel* ruta_;
  QPlainTextEdit* memo_;
  QChartView* grafica_;
  QDateEdit* inicio_;
  QDateEdit* final_;
  QRadioButton* conRango_;
  QRadioButton* sinRango_;
  QProgressBar* progreso_;
};

}  // namespace mostrador::store
