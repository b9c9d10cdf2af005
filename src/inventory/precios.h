#pragma once
// The price rules of a product, shared by the catalogue, the product lookup and the
// sales capture (one ladder, so that the lookup and a sale never disagree): the seven
// price lists and quantity limits, the level a quantity earns, the package price and
// the price from a margin over cost.

#include <array>
#include <optional>
#include <string>

#include "store/dbf/dbf_table.h"

namespace mostrador::inventory {

// Field names of the price lists and of their quantity limits, in level order.
inline constexpr std::array<const char*, 7> kCamposPrecio{"PPUBL_I", "PLIS2_I", "PLIS3_I", "PLIS4_I",
                                                          "PMINI_I", "PLIS6_I", "PLIS7_I"};
inline constexpr std::array<const char*, 7> kCamposLimite{"POLI1_I", "POLI2_I", "POLI3_I", "POLI4_I",
                                                          "POLI5_I", "POLI6_I", "POLI7_I"};
inline constexpr std::array<const char*, 7> kCamposMargen{"PORC1_I", "PORC2_I", "PORC3_I", "PORC4_I",
                                                          "PORC5_I", "PORC6_I", "PORC7_I"};

// The seven prices and seven quantity thresholds of a product record.
struct PreciosProducto {
  std::array<double, 7> lista{};    // PPUBL_I PLIS2_I PLIS3_I PLIS4_I PMINI_I PLIS6_I PLIS7_I
  std::array<double, 7> umbral{};   // POLI1_I .. POLI7_I
  static PreciosProducto de(const dbf::Cursor& producto);
};

// Price of list n: below 1 counts as 1; above 7 keeps `actual` (the line's price).
double precioLista(const PreciosProducto& p, int lista, double actual);

// The level a quantity earns on the ladder. Level 1 up to POLI1_I, level n above limit
// n-1 up to limit n. A quantity that reaches the largest limit takes that level (equal
// limits: the lower level), so a quantity above every limit has a defined price, the
// top step's; a negative quantity takes the public price (level 1).
int listaPorCantidad(const PreciosProducto& p, double q);

// The line's unit price: the customer's list when it is above 0 or tiers are off,
// otherwise the tier price.
double precioUnitario(const PreciosProducto& p, int listaCliente, bool escalones, double cantidad,
                      double actual);

// Price of a level from its margin over the last cost: cost × (margin × 0.01 + 1), in
// floating point, unrounded.
double precioPorMargen(double costo, double margen);

// A typed price under the cost (blank cost counts 0); a blank price never is.
bool precioBajoCosto(std::optional<double> precio, std::optional<double> costo);
inline constexpr const char* kPrecioMenorCosto = "El precio es menor al Costo";

// The package price: the unit price of the level the package quantity (UEMPA_I) earns,
// times that quantity; and the lookup's message for it.
double precioEmpaque(const dbf::Cursor& producto);
std::string mensajePrecioEmpaque(const dbf::Cursor& producto);

}  // namespace mostrador::inventory
