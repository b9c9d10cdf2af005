#pragma once
// TFormaConsolidar: the company summary (engine store::Consolidar): six sums as text
// and, with BotonEsquinado2, as bars.

#include <QDialog>
#include <string>

#include "base/interaccion.h"
#include "base/reloj.h"
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
  TFormaConsolidar(base::Interaccion& ui, const base::Reloj& reloj, const std::string& dirDatos,
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
