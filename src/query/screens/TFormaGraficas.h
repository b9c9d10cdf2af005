#pragma once
// The query builder's result grid: the rows in "Detalle" (100 to a page, previous and
// next), a consecutive-number column, the font, the sum of the selected column, export
// to a tab-separated file opened with the spreadsheet program, and printing through the
// text report page TFormaNuevoReporte.

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <memory>
#include <string>
#include <vector>

#include "base/interaccion.h"
#include "base/programas.h"
#include "reports/rejilla_reporte.h"
#include "store/sql/resultado.h"

class TFormaGraficas : public QDialog {
  Q_OBJECT

 public:
  TFormaGraficas(const mostrador::sql::Resultado& resultado, mostrador::base::Interaccion& ui,
                 std::string hojaDeCalculo = {}, QWidget* parent = nullptr);

  void BotonAnteriorClick();
  void BotonSiguienteClick();
  void Consecutivo1Click();
  void Fuente1Click();
  void Suma1Click();  // the selected column
  void BotonExportaClick();
  void BotonImprimeClick();  // the report page
  void ponProcesos(mostrador::base::Procesos* p, const mostrador::base::TablaProgramas* t) {
    procesos_ = p;
    programas_ = t;
  }

  // The report page's column widths, a comma-separated list ("" keeps the headings'
  // widths), and the builder's withdrawals option: the lines of "\tempo\retiros.txt"
  // of the system directory go after the report.
  void ponAnchos(std::string lista) { anchos_ = std::move(lista); }
  void ponRetiros(std::string directorioSistema) { retiros_ = std::move(directorioSistema); }
  // The report page as BotonImprime shows it.
  mostrador::reports::NuevoReporte reporte() const;

  int pagina() const { return pagina_; }
  bool consecutivo() const { return consecutivo_; }
  const std::vector<std::vector<std::string>>& filas() const { return filas_; }

  QTableWidget* Detalle;
  QLabel* Estado;
  QPushButton *BotonAnterior, *BotonSiguiente, *BotonSuma, *BotonExporta, *BotonImprime;
  QAction* Consecutivo1;

 private:
  void pinta();
  std::vector<std::string> titulos_;
  std::vector<char> tipos_;
  std::vector<std::vector<std::string>> filas_;
  mostrador::base::Interaccion& ui_;
  std::string hojaDeCalculo_;
  mostrador::base::Procesos* procesos_ = nullptr;
  const mostrador::base::TablaProgramas* programas_ = nullptr;
  int pagina_ = 0;
  bool consecutivo_ = false;
  std::string anchos_, retiros_;
};
