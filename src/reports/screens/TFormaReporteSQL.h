#pragma once
// The report screen of a report definition: shows the sheet the runner wrote
// (printing/reporte_sql.h), prints it page by page through the printer seam and exports
// it as tab-separated text.

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTextEdit>
#include <memory>

#include "printing/impresora.h"
#include "reports/reporte_sql.h"

class TFormaReporteSQL : public QDialog {
  Q_OBJECT

 public:
  TFormaReporteSQL(std::unique_ptr<mostrador::reports::ReporteSql> reporte, mostrador::base::Interaccion& ui,
                   QWidget* parent = nullptr);
  void ponImpresora(mostrador::printing::Impresora* impresora) { impresora_ = impresora; }
  const mostrador::reports::ReporteSql& reporte() const { return *reporte_; }

  void BotonImprimeClick();
  void BotonExportaClick();

  QTextEdit* Hoja;
  QLabel* Estado;
  QPushButton* BotonImprime;
  QPushButton* BotonExporta;
  QPushButton* BotonCerrar;

 private:
  std::unique_ptr<mostrador::reports::ReporteSql> reporte_;
  mostrador::base::Interaccion& ui_;
  mostrador::printing::Impresora* impresora_ = nullptr;
};
