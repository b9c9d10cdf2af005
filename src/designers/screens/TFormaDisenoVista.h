#pragma once
// The view designer: the module list, the module's dictionary fields, and the grid of
// the view's columns (rows: the attributes). The rules live in printing/diseno_vista.h.

#include <QDialog>
#include <memory>
#include <string>

#include "query/constructor_consulta.h"
#include "designers/diseno_vista.h"
#include "reports/reporte_sql.h"

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
  // Saves the view under the name typed in Edit1: "<system>\report\<name>.vis", its
  // line 10 and its index description are that name. Without a name nothing is saved.
  void GuardarClick();
  // Opens a saved view (the file chosen under "\report") back into the grid, its name
  // in Edit1 and its module chosen.
  void AbrirClick();
  bool abre(const std::string& ruta);
  // Runs the view in the grid through the report runner and shows the sheet.
  void EjecutarClick();
  // The run alone: nullptr (after the message) when the grid has no field or the
  // query fails.
  std::unique_ptr<mostrador::reports::ReporteSql> ejecuta();
  const mostrador::designers::DisenoVista& diseno() const { return diseno_; }

 protected:
  bool eventFilter(QObject* o, QEvent* e) override;

 private:
  void pintaColumna(int c);
  void pintaTodo();

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
