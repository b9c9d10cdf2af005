#pragma once
// Colour names of the format language: the six words of "col" and "fon", and the
// colour constants of "cua" ("clRed", a number, or "$00BBGGRR").

#include <optional>
#include <string_view>

#include "printing/impresora.h"

namespace mostrador::printing {

// "rojo", "azul", "verde", "amarillo", "negro", "blanco" (exact); nullopt otherwise.
std::optional<Color> colorPorNombre(std::string_view nombre);
// A colour constant name ("clRed", any case), a decimal number or "$" + hexadecimal,
// numbers read as 0x00BBGGRR; nullopt when the text is none of them.
std::optional<Color> colorConstante(std::string_view texto);

inline constexpr Color kBlanco{255, 255, 255};
inline constexpr Color kNegro{0, 0, 0};

}  // namespace mostrador::printing
