#pragma once
// Amounts in words, as printed on invoices and cheques.

#include <string>
#include <string_view>

namespace mostrador::printing {

// The currency words of the amount-in-words items (each cut to 30 characters).
struct MonedaLetras {
  std::string singular, plural, segundoPlural, abreviatura;
};

// "( UN MIL DOSCIENTOS TREINTA Y CUATRO PESOS 50/100 M.N.)". Negative amounts are
// written by their absolute value.
std::string CantidadEnLetras(double cantidad, const MonedaLetras& moneda);

// "(ONE HUNDRED  DOLLARS 0/100 USD)". Amounts other than 0 below 1 or above
// 4294967295.99 throw ErrorFormato("%g not in valid range %g..%g" filled in).
std::string CantidadEnLetrasIngles(std::string_view divisa, double cantidad,
                                   const MonedaLetras& moneda);

}  // namespace mostrador::printing
