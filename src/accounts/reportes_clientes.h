#pragma once
// The reports of the customer screen: the two listings as report definition texts (run
// by the report runner with CLCLI_C as the range field) and the four summaries with
// charts through the concentration generator over cliente.dbf.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "inventory/reportes_inventario.h"
#include "reports/concentrado.h"

namespace mostrador::accounts {

// ListadodeClientes1, ClienteyTelefono1; nullopt for another name. dirDatos: the data
// directory; tabla: the customer table's file name.
std::optional<inventory::DefinicionReporte> listadoClientes(std::string_view menu, const std::string& dirDatos,
                                                            const std::string& tabla = "cliente.dbf");

// A summary with its chart: VentasPorCliente1, Ventas1, Saldos1, SaldosPorZona1.
struct ResumenClientes {
  reports::DefinicionConcentrado concentrado;
  int columnaGrafica = 1;      // the column the chart draws (1..3)
  std::string tituloListado;   // "Reporte de " + caption
};
std::optional<ResumenClientes> resumenClientes(std::string_view menu);

// The menu entries in order, with their captions.
struct ComandoReporteCliente {
  const char* menu;
  const char* caption;
  bool resumen;
};
const std::vector<ComandoReporteCliente>& reportesClientes();

}  // namespace mostrador::accounts
