#pragma once
// The arithmetic evaluator of typed amounts and computed fields: "+", "-", "*", "/" and,
// when asked, parentheses. It never fails: whatever the text, a value comes out.
//
//  1. With parentheses, each group is evaluated first (steps 2-5) and replaced by its
//     value, written with five decimals (the precision terms are kept with), so that
//     "(10/3)*3" gives 10. Nested groups are taken innermost first. A parenthesis
//     without its partner is ignored: "(2+3" gives 5.
//  2. Blanks are removed; "--" becomes "+"; a leading "-" gets a "0" in front.
//  3. The text is cut into terms at "+" and "-", except where the sign directly follows
//     "*", "/" or ")" (it then belongs to the number after it); "-" starts a negative
//     term. An empty term is 0.
//  4. A term is a product of factors; "/ b" multiplies by 1/b, and by 0 when b is 0. A
//     term (or factor) that is "-" alone is -1. A factor that is not a number -- "%",
//     "#", an empty text, a stray parenthesis when parentheses were not asked for --
//     is 0. The product is kept with five decimals (half away from zero).
//  5. The result is the sum of the terms. A result beyond the range of numbers is 0.

#include <string>
#include <string_view>
#include <vector>

namespace mostrador::base {

double evaluaValor(std::string_view expresion, bool conParentesis);
// The value with four decimals, right-aligned in 15 characters: "        20.0000".
std::string evalua(std::string_view expresion, bool conParentesis);
// A value as evalua writes it.
std::string cuatroDecimales(double valor);

// Splits a text at "+", "-" and ">" into its parts, in order. A part that follows ">" is
// added only when the list does not already hold it. Empty parts are kept; an empty text
// gives no parts.
std::vector<std::string> separaPartes(std::string_view texto);

}  // namespace mostrador::base
