#pragma once
// The currency table "moneda.tvk" of the data directory, kept by the currency dialog and
// read by the print formats for amounts in words and by the report viewer for names and
// symbols. A bare sequence of fixed 157-byte records (registros_fijos.h), one currency
// each, every field a length-prefixed Windows-1252 string:
//
//   OFFSET  SIZE  FIELD                                  GRID COLUMN
//        0    16  currency name, up to 15 characters     "Divisa"
//       16    11  value against the local currency, 10   "Valor"
//       27    31  name in singular, 30                   "Singular"
//       58    31  name in plural, 30                     "Plural"
//       89    31  second plural form, 30                 "Plural"
//      120    31  abbreviation, 30                       "Abrev. Divisa"
//      151     6  currency symbol, 5                     "Símbolo Mone."
//
// The dialog writes one record per grid row, empty rows included; readers take the
// records the file holds and no more.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/registros_fijos.h"

namespace mostrador::base {

inline constexpr std::string_view kArchivoMonedas = "moneda.tvk";
// What the lookup gives for each word of a currency that is not in the table.
inline constexpr std::string_view kSinMoneda = "xx";

struct Moneda {
  std::string nombre, valor, singular, plural, segundoPlural, abreviatura, simbolo;
  friend bool operator==(const Moneda&, const Moneda&) = default;
};

const DisenoRegistro& disenoMoneda();

// Stored path of the table in a data directory.
std::string rutaMonedas(std::string_view directorioDatos);

// Every record, in file order; empty when the file is missing.
std::vector<Moneda> leeMonedas(std::string_view directorioDatos);
// Replaces the file with one record per currency (texts cut to their capacities).
bool escribeMonedas(std::string_view directorioDatos, const std::vector<Moneda>& monedas);

// The first record whose name equals nombre exactly; nullopt when none does or the file
// is missing.
std::optional<Moneda> buscaMoneda(std::string_view directorioDatos, std::string_view nombre);

// Singular, plural, second plural and abbreviation of a currency, "xx" each when it is
// not in the table.
std::array<std::string, 4> palabrasMoneda(std::string_view directorioDatos, std::string_view nombre);

}  // namespace mostrador::base
