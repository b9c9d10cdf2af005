#pragma once
// The view designer: the module list, the module's dictionary fields, and the grid of
// the view's columns (rows: the attributes). The rules live in printing/diseno_vista.h.

#include <QDialog>
#include <string>

#include "query/constructor_consulta.h"
#include "designers/diseno_vista.h"

class QLineEdit;
class QListWidget;
class QTableWidget;

class TFormaDisenoVista : public QDialog {
  Q_OBJECT
 public:
  TFormaDisenoVista(mostrador::base::Interaccion& ui, std::string directorioSistema,
                    std::string directorioDatos, QWidget* parent = nullptr);

  void ListaClick(int modulo);
  // Dropping field `fila` of the field list on grid column `columna`.
  void sueltaCampo(int fila, int columna);
  void GuardarClick();
  const mostrador::designers::DisenoVista& diseno() const { return diseno_; }

 protected:
  bool eventFilter(QObject* o, QEvent* e) override;

 private:
  void pintaColumna(int c);

  mostrador::base::Interaccion& ui_;
  std::string sistema_, datos_;
  mostrador::designers::DisenoVista diseno_;
  std::vector<mostrador::query::CampoDiccionario> campos_;
  int modulo_ = -1;
  QListWidget* Lista;
  QListWidget* Campos;
  QTableWidget* Rejilla;
  QLineEdit* Edit1;
};
