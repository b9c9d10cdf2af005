#pragma once
// The query console: a Spanish query written in Codigo, its translation in Traduccion,
// the result in DBGrid1 fifty rows at a time. The rules live in printing/consola_sql.h.

#include <QDialog>
#include <memory>
#include <string>

#include "query/consola_sql.h"
#include "base/programas.h"

class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;

class TFormaSQL : public QDialog {
  Q_OBJECT
 public:
  // programaHoja: line 31 of the company configuration (the spreadsheet program).
  TFormaSQL(mostrador::base::Interaccion& ui, std::string directorioSistema,
            std::string directorioDatos, std::string programaHoja,
            const mostrador::base::TablaProgramas& programas,
            mostrador::base::Procesos& procesos, QWidget* parent = nullptr);
  ~TFormaSQL() override;

  void NombreTablaChange();
  void BitBtn2Click();                  // new query skeleton
  void TablaFiltrosDblClick(int fila);  // adds a field to the select list
  void BitBtn1Click();                  // translate and run
  void DBGrid1TitleClick(int columna);  // column kind prompt
  void aplicaTipo(int columna, char tipo);
  void Sumar1Click();
  void BotonSiguienteClick();
  void BotonAnteriorClick();
  void ArchivoChange();
  void BitBtn5Click();  // save
  void BitBtn4Click();  // export
  void BotonImprimirClick();
  void SpeedButton4Click();  // data correction
  void TamanoColumnaClick();
  // The query builder on the selected table, its date fields offered for a range.
  void BotonConstructorClick();

  mostrador::query::ConsolaSql& consola() { return *consola_; }
  void ponUsuario(std::string usuario) { consola_->ponUsuario(std::move(usuario)); }

 private:
  void muestraPagina();
  void llenaArchivos();

  mostrador::base::Interaccion& ui_;
  std::string sistema_, datos_, programaHoja_;
  const mostrador::base::TablaProgramas& programas_;
  mostrador::base::Procesos& procesos_;
  std::unique_ptr<mostrador::query::ConsolaSql> consola_;

  QComboBox* NombreTabla;
  QTableWidget* TablaFiltros;
  QPlainTextEdit* Codigo;
  QPlainTextEdit* Traduccion;
  QTableWidget* DBGrid1;
  QComboBox* Archivo;
  QPushButton* BotonSiguiente;
  QPushButton* BotonAnterior;
  QLabel* Estado;
};
