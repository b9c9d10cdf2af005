#pragma once
// Number conventions: reading numbers typed or stored as text, rounding, and the number
// masks every screen, format and report writes amounts with.
//
// Rounding works on decimal digits, never on the binary value: a double is first taken
// at its shortest exact decimal form (2.675 is "2.675", not 2.67499999...), so that what
// the user sees is what gets rounded.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace mostrador::base {

// Locale conventions applied by every screen.
inline constexpr char kSeparadorMiles = ',';
inline constexpr char kSeparadorDecimal = '.';
inline constexpr std::string_view kSimboloMoneda = "$";
inline constexpr int kDecimalesMoneda = 2;

enum class Redondeo { MitadLejosDeCero, MitadAPar };

// A number as exact decimal digits.
struct Decimal {
  bool negativo = false;
  std::string entero;    // digits without leading zeros; "" for a zero integer part
  std::string fraccion;  // digits after the point, possibly with trailing zeros

  static Decimal deDouble(double v);  // NaN and infinities read as 0
  static Decimal deDiezmilesimos(int64_t v);  // v / 10000, exactly
  // A plain number: blanks around, an optional sign, digits with at most one point, an
  // optional exponent ("1e3"). Thousands separators are not accepted. nullopt otherwise.
  static std::optional<Decimal> deTexto(std::string_view texto);

  Decimal redondeado(int decimales, Redondeo modo = Redondeo::MitadLejosDeCero) const;
  bool esCero() const;
  double aDouble() const;
  // Plain text: "-1234.5" (no trailing zeros, no exponent), "0" for zero.
  std::string texto() const;
};

// Formats with a number mask: "0" required digit, "#" optional digit, "," (anywhere in
// the integer part) groups thousands, the first "." is the decimal point, anything else
// (or text in quotes) is written as is. The value is rounded half away from zero to the
// mask's decimal places; integer digits beyond the mask's places are all written. A
// negative value gets "-" in front of everything, unless it rounds to zero. A mask of
// the form "pos;neg;zero" uses the second section (without sign) for negative values and
// the third for zero. An empty mask writes the plain text of the value. With no "0" in
// the integer part, a zero integer part writes nothing ("#.##" of 0.5 gives ".5").
std::string formateaMascara(const Decimal& valor, std::string_view mascara);
std::string formateaMascara(double valor, std::string_view mascara);

// The amount-mask service. simbolo "c": the text comes back untouched. "f" stands for "$".
// Otherwise the text (empty or blank counting as "0", and so does a text that is not a
// number) is read as an amount of four decimals, formatted with the mask, padded on the
// left with blanks to the mask's length, and returned after the symbol.
std::string mascaraImporte(std::string_view mascara, std::string_view texto,
                           std::string_view simbolo);

// Printed width of a text in a font; the printer implements it.
class MedidorTexto {
 public:
  virtual ~MedidorTexto() = default;
  virtual double ancho(std::string_view texto, std::string_view fuente) const = 0;
};

// The amount mask for printing. In "Courier New" (fixed pitch) it pads by characters like
// mascaraImporte. In any other font it pads with blanks while the amount stays no wider
// than the mask text itself in that font, so that amounts of one column end at one edge.
// Widths scale with the font size alike, so the size does not matter here.
std::string mascaraImporteImpresa(std::string_view mascara, std::string_view texto,
                                  std::string_view simbolo, std::string_view fuente,
                                  const MedidorTexto& medidor);

// "###########0.00".
std::string importeSimple(double valor);

// The value written with n decimals (half away from zero) and read back.
double redondea(double valor, int decimales);

// A plain number (as Decimal::deTexto) or nullopt.
std::optional<double> leeNumero(std::string_view texto);
// 0 for "", "f", "e", "x" and any text that is not a number; otherwise its value.
double numeroSeguro(std::string_view texto);

// Currency as the locale writes it: "$1,234.50", negative "($1,234.50)".
std::string formatoMoneda(double valor);

// Number of characters (not bytes) of a UTF-8 text.
size_t largoCaracteres(std::string_view utf8);

}  // namespace mostrador::base
