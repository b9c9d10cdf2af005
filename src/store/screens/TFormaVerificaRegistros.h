#pragma once
// TFormaVerificaRegistros: the record check of a directory (engine
// store::VerificaRegistros). BitBtn3 checks with the safety copy and closes accepted
// when the check ran to the end; BitBtn4 checks without the copy. Choosing a table in
// Tablas shows the fields of its header, or what is wrong with them.

#include <QDialog>
#include <string>

#include "base/interaccion.h"
#include "store/mantenimiento/reparacion.h"

class QLabel;
class QListWidget;
class QProgressBar;
class QTableWidget;

namespace mostrador::store {

class TFormaVerificaRegistros : public QDialog {
  Q_OBJECT
 public:
  TFormaVerificaRegistros(base::Interaccion& ui, const std::string& dir, QWidget* padre = nullptr);
  VerificaRegistros& motor() { return motor_; }
  void BitBtn3Click();
  void BitBtn4Click();
  // The field grid of a table's header ("Campo", "Tipo", "Tamaño", "Decimales").
  void TablasClick(const std::string& tabla);

 private:
  void pinta();
  VerificaRegistros motor_;
  QLabel* tabla_;
  QLabel* registro_;
  QProgressBar* progreso_;
  QListWidget* tablas_;
  QTableWidget* campos_;
};

}  // namespace mostrador::store
