#pragma once
// Values inside a format line: text expressions, terms, arithmetic, assignments and
// conditions, evaluated against the table the line runs on and the run's variables.

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "printing/tabla_impresion.h"

namespace mostrador::printing {

inline constexpr std::string_view kFaltanParentesis =
    "Existe un error en la expresion Faltan parentesis";

// variable1..variable6 (numbers) and cadena1..cadena6 (texts). Ten slots of each are
// cleared per run; only the six named ones are reachable.
struct Variables {
  std::array<double, 10> numeros{};
  std::array<std::string, 10> cadenas{};

  void limpia();
  // 1..6 for "variable1".."variable6" (any case), 0 for any other name.
  static int numeroVariable(std::string_view nombre);
  static int numeroCadena(std::string_view nombre);
  // The value of a variable name as text, nullopt when it names none.
  std::optional<std::string> valor(std::string_view nombre) const;
};

// Field number of a "[nnn]" term, -1 for anything else.
int referenciaCampo(std::string_view termino);

// ExpresionTexto: the expression split at every "+" into at most ten terms whose values
// are joined. A term's value: "[nnn]" that field's text; a field name that field's
// text; a variable its value; several matches are all appended; no match the term
// itself, blanks included.
std::string ExpresionTexto(std::string_view expresion, const TablaImpresion& tabla,
                           const Variables& vars);

// ValorTermino: "[nnn]" the field's text; a variable name its value; a field name its
// text; anything else the term itself.
std::string ValorTermino(std::string_view termino, const TablaImpresion& tabla,
                         const Variables& vars);

// ExpresionNumerica: numbers, + - * / and parentheses, blanks ignored; the value
// written with four decimals right-aligned in 15 characters. Unbalanced parentheses or
// an empty text give no value and the message kFaltanParentesis. Each innermost part is
// evaluated by the shared evaluator (shell/expresion), where what is not a number
// counts 0; a part that starts with "*" or "/" or ends with an operator cannot be
// evaluated and throws ErrorFormato.
struct ResultadoNumerico {
  std::optional<std::string> valor;
  std::string mensaje;
};
ResultadoNumerico ExpresionNumerica(std::string_view texto);

// An assignment line "target=expr". cadena targets take the joined text without "+"
// and "-"; variable targets the ExpresionNumerica value; other targets nothing.
// Failure throws ErrorFormato; the parentheses message is told through aviso first.
using Aviso = std::function<void(std::string_view)>;
void EjecutaAsignacion(std::string_view linea, const TablaImpresion& tabla, Variables& vars,
                       const Aviso& aviso);

// EvaluaCondicion: the text after "si", comparisons "=", "!", "<", ">" joined by "^"
// (and) and "|" (or). Throws ErrorFormato for a number or date that does not read.
bool EvaluaCondicion(std::string_view condicion, const TablaImpresion& tabla,
                     const Variables& vars);


}  // namespace mostrador::printing
