#pragma once
// Number and text conventions of the format language, over the shared services:
// how its numeric arguments are read (a text that is not a number fails the line) and
// the case and first-letters rules of its keywords.

#include <optional>
#include <string>
#include <string_view>

namespace mostrador::printing {

// A number written the shortest way: 20, 0.5, -3.25. Variables are written like this
// into texts.
std::string decimalCorto(double v);

// The number a text reads as (blanks around allowed); nullopt for anything else,
// including "".
std::optional<double> comoNumero(std::string_view texto);
// As comoNumero, but a text that is not a number fails the line (ErrorFormato).
double leeNumero(std::string_view texto);

// v written with n decimals, rounding the decimal value half away from zero
// (2.675 -> "2.68"); blank-padded on the left to at least ancho characters.
std::string conDecimales(double v, int n, int ancho = 0);

// Upper case of the letters a-z only: "millón" -> "MILLóN".
std::string mayusculasAZ(std::string_view texto);
// Upper case of a-z and of the Latin-1 small letters ("josé" -> "JOSÉ").
std::string mayusculas(std::string_view texto);
// Lower case of A-Z and of the Latin-1 capitals (so "AÑO" -> "año").
std::string minusculas(std::string_view texto);
// The first n characters (not bytes) of a UTF-8 text.
std::string primerosCaracteres(std::string_view texto, size_t n);
std::string quitaBlancos(std::string_view texto);  // both ends
std::string dosDigitos(int n);

}  // namespace mostrador::printing
