#pragma once
// The view designer: the module list, the module's dictionary fields, and the grid of
// the view's columns (rows: the attributes). The rules live in printing/diseno_vista.h.

#include <QDialog>
#include <string>

#include "printing/constructor_consulta.h"
#include "printing/diseno_vista.h"

class QLineEdit;
class QListWidget;
class QTableWidget;

class TFormaDisenoVista : public QDialog {
  Q_OBJECT
 public:
  TFormaDisenoVista(mostrador::shell::Interaccion& ui, std::string directorioSistema,
                    std::string directorioDatos, QWidget* parent = nullptr);

  void ListaClick(int modulo);
  // Dropping field `fila` of the field list on grid column `columna`.
  void sueltaCampo(int fila, int columna);
  void GuardarClick();
  const mostrador::printing::DisenoVista& diseno() const { return diseno_; }

 protected:
  bool eventFilter(QObject* o, QEvent* e) override;

 private:
  void pintaColumna(int c);

  mostrador::shell::Interaccion& ui_;
  std::string sistema_, datos_;
  mostrador::printing::DisenoVista diseno_;
  std::vector<mostrador::printing::CampoDiccionario> campos_;
  int modulo_ = -1;
  QListWidget* Lista;
  QListWidget* Campos;
  QTableWidget* Rejilla;
  QLineEdit* Edit1;
};
