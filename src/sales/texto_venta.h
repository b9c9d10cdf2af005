#pragma once
// Small text helpers shared by the sales engine's files.

#include <string>
#include <string_view>

#include "base/numeros.h"
#include "base/texto_util.h"

namespace mostrador::sales {

// A number as the user reads it: shortest exact decimals, no trailing zeros.
inline std::string numeroTexto(double v) { return base::Decimal::deDouble(v).texto(); }

// The text without spaces at either end.
using base::recorta;

}  // namespace mostrador::sales
