#pragma once
// The list reports of the product catalogue as report definition texts: a block with
// its title, query, condition, order, column codes and heading line, lines separated
// by carriage returns. The screen hands each to the report runner with the document
// field CLPRO_I and the current key, and refreshes afterwards.

#include <string>
#include <string_view>
#include <vector>

namespace mostrador::inventory {

enum class ReporteInventario {
  Stocks,
  VentasAnuales,
  Existencias,
  CostoPromedio,
  ListaPrecios,
  CostoInventario,
  ValorInventario,
  Catalogo,
  CostoValor,
  ListaPoliticas,
  ExistenciasStockMinimo,
  Faltantes,
  Caducidad,
  HistoriaComprasVentas,
};

struct DefinicionReporte {
  std::string menu;    // the menu entry's control name ("Stocks1")
  std::string titulo;  // its caption, the report's title
  std::string texto;   // the definition
};

// What every report reads: the catalogue's directory (configuration line 59 or the data
// directory), the data directory (purchases and invoices), the current product key and
// the shortage margin of configuration line 72.
struct OrigenReportes {
  std::string dirInventario;
  std::string dirDatos;
  std::string clave;
  std::string margenFaltantes;  // as read; blank counts "0", at most 10 characters
};

DefinicionReporte definicionReporte(ReporteInventario r, const OrigenReportes& o);
// Every report in menu order.
std::vector<ReporteInventario> reportesInventario();

}  // namespace mostrador::inventory
