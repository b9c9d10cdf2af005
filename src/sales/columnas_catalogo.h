#pragma once
// The columns the catalogue browser shows for this module's tables: field and heading,
// in display order.

#include <string>
#include <utility>
#include <vector>

namespace mostrador::sales {

// FacturaE.dbf: the invoice headers.
std::vector<std::pair<std::string, std::string>> columnasFacturas();

}  // namespace mostrador::sales
