#pragma once
// The columns the catalogue browser shows for this module's tables: field and heading,
// in display order.

#include <string>
#include <utility>
#include <vector>

namespace mostrador::inventory {

// inventar.dbf: the product catalogue, also its picture view.
std::vector<std::pair<std::string, std::string>> columnasProductos();
// movinven.dbf: the inventory movements.
std::vector<std::pair<std::string, std::string>> columnasMovimientos();

}  // namespace mostrador::inventory
