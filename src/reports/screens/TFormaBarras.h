#pragma once
// The report viewer: the generator's result as text pages of 50 rows or as pie, bar and
// line charts, with paging, automatic advance, printing and export. The rules live in
// printing/visor_concentrado.h; this screen draws what the engine holds.

#include <QAction>
#include <QChartView>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTextEdit>
#include <QTimer>
#include <memory>
#include <string>

#include "printing/impresora.h"
#include "reports/visor_concentrado.h"
#include "base/interaccion.h"
#include "base/programas.h"

class TFormaBarras : public QDialog {
  Q_OBJECT

 public:
  // hojaDeCalculo: the spreadsheet program of configuration line 31.
  TFormaBarras(std::string dirSistema, std::string caption, mostrador::base::Interaccion& ui,
               std::string hojaDeCalculo = {}, QWidget* parent = nullptr);
  ~TFormaBarras() override;

  mostrador::reports::VisorConcentrado& visor() { return visor_; }
  void TitulosGrafica(std::string titulo, std::string eje1, std::string eje2, std::string valor);
  // The printer used by BotonImprime (the system's printers when none is given) and the
  // process seam of the export.
  void ponImpresora(mostrador::printing::Impresora* impresora) { impresora_ = impresora; }
  void ponProcesos(mostrador::base::Procesos* procesos, const mostrador::base::TablaProgramas* programas);
  // The query variant: the text pages come from an open query with totals per currency
  // instead of the generator's result.
  void usaConsulta(std::unique_ptr<mostrador::reports::VisorConsulta> consulta);

  // Commands.
  void BotonGraficaClick();
  void BotonPieClick();
  void BotonLineasClick();
  void BotonReporteClick();
  void BotonTextoClick();  // plain text pages (view mode 3)
  void BotonSiguienteClick();
  void BotonAnteriorClick();
  void BotonAutomaticoClick();
  void BotonImprimeClick();
  void BotonExportaClick();
  void BotonColorClick();
  void Primeracolumna1Click() { columna(1); }
  void SegundaColumna1Click() { columna(2); }
  void TerceraColumna1Click() { columna(3); }
  void TamaodeColumnas1Click();
  void TamanoFuente(int puntos) { tamanoImpresion_ = puntos; }
  void TipodeLetra1(std::string fuente) { fuenteImpresion_ = std::move(fuente); }
  void alternaTresD();
  bool tresD() const { return tresD_; }
  bool automatico() const { return timer_->isActive(); }
  void ponIntervalo(int ms) { timer_->setInterval(ms); }

  QChartView* Grafica;
  QTextEdit* Concentrado;
  QLabel* Estado;
  QPushButton *BotonGrafica, *BotonPie, *BotonLineas, *BotonReporte, *BotonTexto, *BotonSiguiente, *BotonAnterior,
      *BotonAutomatico, *BotonImprime, *BotonExporta, *BotonColor;

 protected:
  void showEvent(QShowEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  bool eventFilter(QObject* o, QEvent* e) override;

 private:
  void columna(int c);
  void pinta();
  void pintaGrafica();
  void avanceAutomatico();
  QPushButton* boton(const char* nombre, const QString& texto, void (TFormaBarras::*accion)());

  std::string sistema_;
  mostrador::base::Interaccion& ui_;
  std::string hojaDeCalculo_;
  mostrador::reports::VisorConcentrado visor_;
  std::unique_ptr<mostrador::reports::VisorConsulta> consulta_;
  mostrador::printing::Impresora* impresora_ = nullptr;
  mostrador::base::Procesos* procesos_ = nullptr;
  const mostrador::base::TablaProgramas* programas_ = nullptr;
  QTimer* timer_;
  bool activado_ = false, cerrado_ = false, tresD_ = false;
  int tamanoImpresion_ = 9;
  std::string fuenteImpresion_ = "Courier New";
  QColor colorHoja_{Qt::white};
};
