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
#include "printing/reporte_sql.h"

class TFormaReporteSQL : public QDialog {
  Q_OBJECT

 public:
  TFormaReporteSQL(std::unique_ptr<mostrador::printing::ReporteSql> reporte, mostrador::shell::Interaccion& ui,
                   QWidget* parent = nullptr);
  void ponImpresora(mostrador::printing::Impresora* impresora) { impresora_ = impresora; }
  const mostrador::printing::ReporteSql& reporte() const { return *reporte_; }

  void BotonImprimeClick();
  void BotonExportaClick();

  QTextEdit* Hoja;
  QLabel* Estado;
  QPushButton* BotonImprime;
  QPushButton* BotonExporta;
  QPushButton* BotonCerrar;

 private:
  std::unique_ptr<mostrador::printing::ReporteSql> reporte_;
  mostrador::shell::Interaccion& ui_;
  mostrador::printing::Impresora* impresora_ = nullptr;
};
