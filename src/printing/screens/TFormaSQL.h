#pragma once
// The query console: a Spanish query written in Codigo, its translation in Traduccion,
// the result in DBGrid1 fifty rows at a time. The rules live in printing/consola_sql.h.

#include <QDialog>
#include <memory>
#include <string>

#include "printing/consola_sql.h"
#include "shell/programas.h"

class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;

class TFormaSQL : public QDialog {
  Q_OBJECT
 public:
  // programaHoja: line 31 of the company configuration (the spreadsheet program).
  TFormaSQL(mostrador::shell::Interaccion& ui, std::string directorioSistema,
            std::string directorioDatos, std::string programaHoja,
            const mostrador::shell::TablaProgramas& programas,
            mostrador::shell::Procesos& procesos, QWidget* parent = nullptr);
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

  mostrador::printing::ConsolaSql& consola() { return *consola_; }

 private:
  void muestraPagina();
  void llenaArchivos();

  mostrador::shell::Interaccion& ui_;
  std::string sistema_, datos_, programaHoja_;
  const mostrador::shell::TablaProgramas& programas_;
  mostrador::shell::Procesos& procesos_;
  std::unique_ptr<mostrador::printing::ConsolaSql> consola_;

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
