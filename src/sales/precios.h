#pragma once
// Pricing rules of a sales line: price lists, quantity tiers, the customer's discount
// by product line, the description similarity score and the unit cost without tax.

#include <array>
#include <string>
#include <string_view>

#include "store/dbf/dbf_table.h"

namespace mostrador::sales {

// The seven prices and seven quantity thresholds of a product record.
struct PreciosProducto {
  std::array<double, 7> lista{};    // PPUBL_I PLIS2_I PLIS3_I PLIS4_I PMINI_I PLIS6_I PLIS7_I
  std::array<double, 7> umbral{};   // POLI1_I .. POLI7_I
  static PreciosProducto de(const dbf::Cursor& producto);
};

// Price of list n: below 1 counts as 1; above 7 keeps `actual` (the line's price).
double precioLista(const PreciosProducto& p, int lista, double actual);

// The list a quantity earns by tiers: the tier with the largest threshold when q
// reaches it (equal thresholds: the lower tier), else the first bracket that holds q;
// 1 for a negative quantity (the public price).
int listaPorCantidad(const PreciosProducto& p, double q);

// The line's unit price: the customer's list when it is above 0 or tiers are off,
// otherwise the tier price.
double precioUnitario(const PreciosProducto& p, int listaCliente, bool escalones, double cantidad,
                      double actual);

// Positions at which the upper-cased texts hold the same character, over the length
// of k (0 for an empty k).
double similitud(std::string_view k, std::string_view descripcion);

// "ClieDesc.dbf" of dirDatos under CLCLI_D: DESCU_D of the first record of the customer
// whose LINEA_D equals the line; 0 when none (or the table is missing).
double descuentoClienteLinea(std::string_view dirDatos, std::string_view cliente,
                             std::string_view linea);

// Unit cost of a line: CPROM_I when TICOS_I is "PROM" or empty, else ULCOS_I; then
// without tax (÷ (1 + tax × 0.01)).
double costoSinImpuesto(const dbf::Cursor& producto, double impuesto);

// A price list number from PREPR_C: empty or below 1 gives 0.
int listaDeCliente(const dbf::Cursor& cliente);

}  // namespace mostrador::sales
