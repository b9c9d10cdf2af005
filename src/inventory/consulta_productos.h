#pragma once
// What the product lookup filters with: descriptions containing a text, compared as
// the query language's LIKE does (ASCII letters without regard to case), and the
// warehouse of a record.

#include <functional>
#include <string>
#include <string_view>

#include "store/dbf/dbf_table.h"

namespace mostrador::inventory {

using FiltroProducto = std::function<bool(const dbf::Cursor&)>;

// DSCPR_I contains texto (an empty text accepts every product).
FiltroProducto filtroDescripcion(std::string_view texto);
bool contieneSinMayusculas(std::string_view donde, std::string_view texto);

}  // namespace mostrador::inventory
