#pragma once
// The columns the catalogue browser shows for this module's tables: field and heading,
// in display order. An empty list shows every field.

#include <string>
#include <utility>
#include <vector>

namespace mostrador::accounts {

// cliente.dbf
std::vector<std::pair<std::string, std::string>> columnasClientes();
// proveedo.dbf
std::vector<std::pair<std::string, std::string>> columnasProveedores();
// vendedor.dbf: none, every field shows.
std::vector<std::pair<std::string, std::string>> columnasVendedores();
// cuepagar.dbf: the payables.
std::vector<std::pair<std::string, std::string>> columnasCuentasPorPagar();

}  // namespace mostrador::accounts
