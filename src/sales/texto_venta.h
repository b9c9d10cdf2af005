#pragma once
// Small text helpers shared by the sales engine's files.

#include <string>
#include <string_view>

#include "base/numeros.h"

namespace mostrador::sales {

// A number as the user reads it: shortest exact decimals, no trailing zeros.
inline std::string numeroTexto(double v) { return base::Decimal::deDouble(v).texto(); }

// The text without blanks at either end.
inline std::string recorta(std::string_view t) {
  const size_t a = t.find_first_not_of(' '), b = t.find_last_not_of(' ');
  return a == std::string_view::npos ? std::string() : std::string(t.substr(a, b - a + 1));
}

}  // namespace mostrador::sales
