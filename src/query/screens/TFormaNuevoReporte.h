#pragma once
// The report page of the query grid: its rows as a text report (printing/rejilla_reporte.h)
// in the viewer's sheet frame, paged, and printed through the printer seam.

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTextEdit>

#include "printing/impresora.h"
#include "reports/rejilla_reporte.h"

class TFormaNuevoReporte : public QDialog {
  Q_OBJECT

 public:
  TFormaNuevoReporte(mostrador::reports::NuevoReporte reporte, QWidget* parent = nullptr);
  void ponImpresora(mostrador::printing::Impresora* i) { impresora_ = i; }
  void BotonSiguienteClick();
  void BotonAnteriorClick();
  void BotonImprimeClick();
  int pagina() const { return pagina_; }

  QTextEdit* Hoja;
  QLabel* Estado;
  QPushButton *BotonAnterior, *BotonSiguiente, *BotonImprime;

 private:
  void pinta();
  mostrador::reports::NuevoReporte reporte_;
  mostrador::printing::Impresora* impresora_ = nullptr;
  int pagina_ = 0;
};
