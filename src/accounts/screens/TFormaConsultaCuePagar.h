#pragma once
// TFormaConsultaCuePagar: the payables inquiry. Suppliers in the upper grid (by key or
// name), the selected supplier's purchase receipts under the filter (only with balance /
// all, and a currency) in the lower grid, and the totals of what is shown in the labels
// Nombre, Cargos, Abonos and Saldo. Selecting a supplier recomputes its CARGO_P/ABONO_P/
// SALDO_P from all its live receipts (never from the filtered view). A double click on a
// receipt opens its payables detail.

#include <QDialog>
#include <functional>
#include <string>
#include <vector>

#include "accounts/proveedores.h"
#include "base/interaccion.h"
#include "base/reloj.h"
#include "inventory/reportes_inventario.h"

class QComboBox;
class QLabel;
class QTableView;

namespace mostrador::ui {
class ModeloFilas;
}

namespace mostrador::accounts {

class TFormaConsultaCuePagar : public QDialog {
  Q_OBJECT
 public:
  TFormaConsultaCuePagar(std::string dirDatos, base::Interaccion& ui, const base::Reloj& reloj,
                         QWidget* padre = nullptr);

  // The report runner; until one is given the reports are refused.
  void ponEjecutaReporte(std::function<void(const inventory::DefinicionReporte&)> f) { reporte_ = std::move(f); }

  // Reads the suppliers again and selects the row of the key (the first one when missing).
  void cargaProveedores(const std::string& clave = {});
  void eligeProveedor(int fila);
  void ponFiltro(FiltroConsulta f, const std::string& moneda);

  void BotonBuscarClick();
  void ActualizalosSaldos1Click();
  // The detailed statement of a range of suppliers, printed (or to a PDF).
  void ImprimeRango1Click();
  void reporte(const std::string& menu);
  void abreDetalle(int fila);

  QTableView* proveedores() const { return rejillaProveedores_; }
  QTableView* compras() const { return rejillaCompras_; }
  const ui::ModeloFilas& filasProveedores() const { return *modeloProveedores_; }
  const ui::ModeloFilas& filasCompras() const { return *modeloCompras_; }
  QString etiqueta(const char* nombre) const;

 private:
  void pintaCompras();
  std::string claveActual() const;

  std::string dirDatos_;
  base::Interaccion& ui_;
  const base::Reloj& reloj_;
  std::function<void(const inventory::DefinicionReporte&)> reporte_;
  bool porNombre_ = false;
  FiltroConsulta filtro_ = FiltroConsulta::ConSaldo;
  std::string moneda_;
  std::vector<std::string> claves_, nombres_;  // by row of the upper grid
  int fila_ = -1;
  std::vector<CompraPorPagar> mostradas_;
  QTableView *rejillaProveedores_, *rejillaCompras_;
  ui::ModeloFilas *modeloProveedores_, *modeloCompras_;
  QComboBox *comboFiltro_, *comboMoneda_;
  QLabel *nombre_, *cargos_, *abonos_, *saldo_;
  bool cargando_ = false;
};

}  // namespace mostrador::accounts
