#pragma once
// TFormaAjustar ("Ajustar"): the physical count worksheet "Ajuste.dbf" over
// inventory/ajuste.h: import the counted quantities, compute the variance, filter,
// export "\Ajuste.xls" and adjust by the adjustment field or by the counted field.

#include <QDialog>

#include "base/interaccion.h"
#include "base/reloj.h"
#include "inventory/ajuste.h"
#include "reports/rejilla_reporte.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QTableView;

namespace mostrador::ui {
class ModeloFilas;
}

namespace mostrador::inventory {

class TFormaAjustar : public QDialog {
  Q_OBJECT
 public:
  TFormaAjustar(AjustesMovimientos ajustes, base::Interaccion& ui, const base::Reloj& reloj,
                QWidget* parent = nullptr);

  void BotonCalcularClick();
  void BotonImportarClick();
  bool exporta(const std::string& directorio);
  void BotonExportarClick();
  bool BotonAjustarClick();
  void BotonFiltrarClick();
  // The sheet as a report (values and shares) and as a chart of the three values.
  void BotonImprimirClick();
  reports::NuevoReporte reporte() const;
  QDialog* creaGrafica();

  QTableView* rejilla() const { return rejilla_; }
  const ui::ModeloFilas& filas() const { return *modelo_; }
  QString filtro() const { return filtro_; }

 private:
  void pinta();
  std::vector<FilaAjuste> filasVisibles() const;

  AjustesMovimientos aj_;
  base::Interaccion& ui_;
  const base::Reloj& reloj_;
  QString filtro_;
  std::vector<FilaAjuste> visibles_;
  QTableView* rejilla_;
  ui::ModeloFilas* modelo_;
  QRadioButton *porAjuste_, *porReales_;
  QCheckBox *conClave_, *conLinea_, *conProveedor_, *soloAjuste_;
  QLineEdit *claveDe_, *claveA_, *lineaDe_, *lineaA_, *provDe_, *provA_;
};

}  // namespace mostrador::inventory
