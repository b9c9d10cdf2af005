#pragma once
// The list reports of the purchase screen as report definition texts, run by the one
// report runner over the tables of the kind on screen (receipts, orders or returns).
// A blank status is NULL to the SQL engine: "active" is written
// (STDOC_O<>"C" OR STDOC_O IS NULL), or a bare STDOC_O<>"C" would drop every active
// document.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "inventory/compras.h"
#include "inventory/reportes_inventario.h"

namespace mostrador::inventory {

struct ComandoReporteCompra {
  const char* menu;     // the menu entry's control name
  const char* caption;  // its caption and the report's title
};
// In menu order: cancelled, active, with balance, by supplier, by product, expiry.
const std::vector<ComandoReporteCompra>& reportesCompras();

// The definition of one of them over the kind's header and detail tables in dirDatos;
// nullopt for another name.
std::optional<DefinicionReporte> reporteCompras(std::string_view menu, const std::string& dirDatos, TipoCompra t);

}  // namespace mostrador::inventory
