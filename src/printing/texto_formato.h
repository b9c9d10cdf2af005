#pragma once
// Small text and number conventions of the format language: how numbers are read and
// written, and the first-letters and case rules of its keywords.

#include <optional>
#include <string>
#include <string_view>

#include "store/dbf/dbf_table.h"

namespace mostrador::printing {

// A number written the shortest way (15 significant digits, no trailing zeros): 20,
// 0.5, -3.25. Variables are written like this into texts.
std::string decimalCorto(double v);

// The number a text reads as: optional blanks around, optional sign, digits with an
// optional "." and exponent. nullopt for anything else, including "".
std::optional<double> comoNumero(std::string_view texto);
// As comoNumero, but a text that is not a number fails the line.
double leeNumero(std::string_view texto);

// v written with n decimals, rounding the decimal value half away from zero
// (2.675 -> "2.68"), as the printed amounts always have been.
std::string conDecimales(double v, int n);
// conDecimales blank-padded on the left to at least ancho characters.
std::string conDecimales(double v, int n, int ancho);

// Upper case of the letters a-z only: "millón" -> "MILLóN".
std::string mayusculasAZ(std::string_view texto);
// Lower case of A-Z and of the Latin-1 capitals (so "AÑO" -> "año").
std::string minusculas(std::string_view texto);
// The first n characters (not bytes) of a UTF-8 text.
std::string primerosCaracteres(std::string_view texto, size_t n);
std::string quitaBlancos(std::string_view texto);  // both ends

// The amount mask of the shop's printed amounts: mask "###,###,##0.00" and the like,
// kind letter "c" (text untouched), "f" (taken as "$") or a symbol put in front of the
// amount blank-padded on the left to the length of the mask. An empty mask writes the
// number the shortest way. A text that is not a number fails the line.
std::string mascaraImporte(std::string_view mascara, std::string_view texto,
                           std::string_view clase);

// Month name for month 1-12 as the format language writes it ("Enero", ..., July
// "julio").
std::string mesFormato(int mes);
// "Lunes 5 de Marzo del año 2001".
std::string fechaLarga(const dbf::Fecha& f);
std::string dosDigitos(int n);

}  // namespace mostrador::printing

namespace mostrador::printing {
// Upper case of a-z and of the Latin-1 small letters ("josé" -> "JOSÉ").
std::string mayusculas(std::string_view texto);
}  // namespace mostrador::printing
