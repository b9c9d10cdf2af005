#pragma once
// The reports of the supplier screen and of the payables inquiry: the supplier listing
// and the receipt reports as report definition texts (run by the report runner), the two
// balance summaries with charts through the concentration generator over proveedo.dbf.
//
// Cancelled receipts are left out with (STDOC_O<>"C" OR STDOC_O IS NULL): a blank status
// is NULL to the SQL engine and a bare STDOC_O<>"C" would drop every active receipt.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/fechas.h"
#include "inventory/reportes_inventario.h"
#include "reports/concentrado.h"

namespace mostrador::accounts {

struct ComandoReporteProveedor {
  const char* menu;
  const char* caption;
};
// The supplier screen's entries: ListadodeProveedores1, Saldos1, CargosAbonosSaldo1.
const std::vector<ComandoReporteProveedor>& reportesProveedores();
// The inquiry's entries, in menu order.
const std::vector<ComandoReporteProveedor>& reportesCuentasPorPagar();

// ListadodeProveedores1; nullopt for another name.
std::optional<inventory::DefinicionReporte> listadoProveedores(std::string_view menu, const std::string& dirDatos);

// Saldos1, CargosAbonosSaldo1.
struct ResumenProveedores {
  reports::DefinicionConcentrado concentrado;
  int columnaGrafica = 1;
  std::string tituloListado;  // "Reporte de " + caption
};
std::optional<ResumenProveedores> resumenProveedores(std::string_view menu);

// A report of the inquiry. `fecha` is the cut-off date of DocumentosVencidos1; `desde`
// and `hasta` the period of VencimientosporPeriodo1 (due dates) and GeneralporPerido1
// (document dates). nullopt for another name.
struct PeriodoReporte {
  base::Fecha fecha, desde, hasta;
};
std::optional<inventory::DefinicionReporte> reporteCuentasPorPagar(std::string_view menu, const std::string& dirDatos,
                                                                   const PeriodoReporte& periodo = {});

}  // namespace mostrador::accounts
