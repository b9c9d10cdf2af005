#pragma once
// TFormaCosteo: the kardex of one product (inventory/kardex.h): its rows with the running
// stock (a negative one painted red), the totals, the date filter ("Filtrar" / "Quitar
// Filtro") and the export of the rows as tab-separated text.

#include <QDialog>

#include "base/interaccion.h"
#include "inventory/kardex.h"
#include "reports/rejilla_reporte.h"

class QDateEdit;
class QLabel;
class QPushButton;
class QTableView;

namespace mostrador::ui {
class ModeloFilas;
}

namespace mostrador::inventory {

class TFormaCosteo : public QDialog {
  Q_OBJECT
 public:
  // The kardex already computed; titulo names the product.
  TFormaCosteo(Kardex kardex, const std::string& titulo, base::Interaccion& ui, QWidget* parent = nullptr);

  void BotonFiltrarClick();
  // Writes the rows shown, tab-separated with texts in double quotes; false when the file
  // cannot be written (said through the Interaccion).
  bool exporta(const std::string& ruta);
  void BotonExportarClick();
  // The chart "Gráfica de Kardex " (running stock, row by row) and the report "Reporte de
  // Kardex " (totals by document), one after the other.
  void SpeedButton1Click();
  QDialog* creaGrafica();
  reports::NuevoReporte reporte() const;

  QTableView* rejilla() const { return rejilla_; }
  const ui::ModeloFilas& filas() const { return *modelo_; }
  QString totales() const;

 private:
  void pinta();

  Kardex kardex_;
  base::Interaccion& ui_;
  bool filtrado_ = false;
  QTableView* rejilla_;
  ui::ModeloFilas* modelo_;
  QLabel* totales_;
  QPushButton* filtrar_;
  QDateEdit *desde_, *hasta_;
};

}  // namespace mostrador::inventory
