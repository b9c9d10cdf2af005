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
  // The current field of ListaCampos goes to the end of the order fields; a double
  // click on an order field takes it out.
  void BotonOrdenClick();
  void OrdenDblClick(int fila);
  // A query file: its first line is the statement, lines 7 and 8 the column options
  // (comma-separated, "N" hides that column). A missing file says "El Archivo De
  // consulta No Existe..."; a statement over a table that is not there, "El Archivo No
  // Existe".
  void AbreConsulta(const std::string& ruta);
  void BotonAbrirClick();
  // The result in the query result grid (TFormaGraficas), with the report widths of
  // Anchos and, when Retiros is ticked, the withdrawals of "\tempo\retiros.txt".
  void BotonGraficasClick();
  // A result of ten columns (key, second key, seven values, the row's currency) in the
  // report viewer's text pages with totals per currency of the currency table.
  void BotonMonedasClick();
  std::string consulta();

 private:
  void actualizaSeleccion();
  void muestraCondiciones();
  void muestraResultado(const std::string& sentencia, const std::vector<bool>& ocultas = {});

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
  QListWidget* Orden;
  QLineEdit* Anchos;
  QCheckBox* Retiros;
  std::string sistema_, datos_;
  std::vector<std::string> orden_;
  std::string ultimaSentencia_;
};
