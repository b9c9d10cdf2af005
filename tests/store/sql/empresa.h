#pragma once
// A small company for the SQL tests, built with the table engine in "C:\Datos" of a
// fresh temporary drive root: the tables and fields the statements of the screens read,
// with a few documents, products, movements and payables whose totals the tests know.

#include <initializer_list>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "store/dbf/dbf_table.h"
#include "store/sql/sql.h"

namespace mostrador::prueba {

inline const std::string kDatos = "C:\\Datos";
inline std::string tabla(const std::string& archivo) { return kDatos + "\\" + archivo; }

// A field value for agrega(): text, number, date, or nothing (a blank field).
using Dato = std::variant<std::monostate, std::string, double, dbf::Fecha>;
using Registro = std::vector<std::pair<std::string, Dato>>;

void agrega(const std::string& dir, const std::string& archivo,
            const std::vector<Registro>& registros);

// Creates every table of the company with its records.
void creaEmpresa();

// Every row of a result, each cell as asText, cells separated by "|".
std::vector<std::string> filas(dbf::Cursor& c);
std::vector<std::string> filas(sql::BaseSql& base, const std::string& sentencia);
// The same, sorted (for results whose order the statement leaves open).
std::vector<std::string> filasOrdenadas(sql::BaseSql& base, const std::string& sentencia);
// Field names of a cursor joined with "|".
std::string nombres(const dbf::Cursor& c);

}  // namespace mostrador::prueba
