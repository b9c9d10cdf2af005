#pragma once
// Pricing rules of a sales line beyond the catalogue's price rules: the customer's discount
// by product line, the description similarity score and the unit cost without tax.

#include <array>
#include <string>
#include <string_view>

#include "inventory/precios.h"
#include "store/dbf/dbf_table.h"

namespace mostrador::sales {

// The price lists and the quantity ladder are the catalogue's: one rule for both.
using inventory::PreciosProducto;
using inventory::precioLista;
using inventory::listaPorCantidad;
using inventory::precioUnitario;

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
