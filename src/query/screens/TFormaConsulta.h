#pragma once
// The query builder: fields of the dictionary, conditions made by double clicks, an
// optional date range, the result shown and optionally kept as "\tempo\BaseTempo.dbf".
// The rules live in printing/constructor_consulta.h.

#include <QDialog>
#include <memory>
#include <string>

#include "query/constructor_consulta.h"

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLineEdit;
class QListWidget;
class QTableWidget;

class TFormaConsulta : public QDialog {
  Q_OBJECT
 public:
  // camposFecha: comma-separated date fields of the table ("" hides the date range).
  TFormaConsulta(mostrador::base::Interaccion& ui, std::string directorioSistema, std::string directorioDatos,
                 std::string tabla, std::string camposFecha, const mostrador::base::Fecha& hoy,
                 QWidget* parent = nullptr);
  ~TFormaConsulta() override;

  mostrador::query::ConstructorConsulta& constructor() { return *c_; }
  // Double clicks: a field of ListaCampos, then an operator of Operadores, then a value
  // typed in Valor (Enter) or a second field.
  void ListaCamposDblClick(int fila);
  void OperadoresDblClick(int fila);
  void ValorEnter();
  void EjecutarClick();
  void GuardarClick();
  std::string consulta();

 private:
  void actualizaSeleccion();
  void muestraCondiciones();

  mostrador::base::Interaccion& ui_;
  std::unique_ptr<mostrador::query::ConstructorConsulta> c_;
  std::string campoPendiente_, operadorPendiente_;
  QTableWidget* ListaCampos;
  QListWidget* Operadores;
  QLineEdit* Valor;
  QTableWidget* Condiciones;
  QDateEdit* Inicial;
  QDateEdit* Final;
  QComboBox* FechaReporte;
  QCheckBox* UsarFecha;
  QCheckBox* Consecutivo;
  QTableWidget* Resultado;
};
