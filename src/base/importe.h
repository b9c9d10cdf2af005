#pragma once
// Importe: a money amount with exactly four decimals (a whole number of ten-thousandths),
// the type of the sales and purchase totals, so that long documents add up exactly.
//
// Conversions and rounding (each as the totals need it):
//   deDouble        nearest ten-thousandth, ties to even, computed in extended precision
//                   (0.00185, held as 0.0018500000000000000819, is above the tie:
//                   0.0019; 0.03125 is an exact tie: 0.0312)
//   deTexto         the typed digits, ties to even at the fifth decimal
//   × and ÷ double  the exact product rounded to four decimals, half away from zero;
//                   dividing by 0 gives 0
//   redondeaCentavos  two decimals, half away from zero (12.345 -> 12.35)
//   redondeaTotal   the document's total rounding step (see there)
// Range: ±922,337,203,685.4775; out-of-range doubles are clamped to it, out-of-range texts
// do not read.

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace mostrador::base {

class Importe {
 public:
  constexpr Importe() = default;
  static constexpr Importe deDiezmilesimos(int64_t v) { return Importe(v); }
  static Importe deDouble(double v);  // NaN reads as 0
  static std::optional<Importe> deTexto(std::string_view texto);

  constexpr int64_t diezmilesimos() const { return v_; }
  double aDouble() const;

  constexpr Importe operator-() const { return Importe(-v_); }
  constexpr Importe operator+(Importe o) const { return Importe(v_ + o.v_); }
  constexpr Importe operator-(Importe o) const { return Importe(v_ - o.v_); }
  constexpr Importe& operator+=(Importe o) { v_ += o.v_; return *this; }
  constexpr Importe& operator-=(Importe o) { v_ -= o.v_; return *this; }
  // By a quantity, a rate or a price.
  Importe operator*(double factor) const;
  Importe operator/(double divisor) const;

  Importe redondeaCentavos() const;
  // The total rounding step m, in tens of cents (company setting; 0 or less: none). With
  // c the whole cents of the amount and s = 10 × m: when c is not 0 and not a multiple
  // of s, the cents are raised to the next multiple of s (which may carry into the next
  // unit); when c is a multiple of s, the amount keeps its whole part and c cents. A
  // negative amount is rounded by its size, away from zero.
  Importe redondeaTotal(int paso) const;

  constexpr bool esCero() const { return v_ == 0; }
  // Through a number mask ("###,###,##0.00", "##,##0.00").
  std::string formatea(std::string_view mascara) const;
  // Plain: "1234.5", "-0.0001", "0".
  std::string texto() const;

  friend constexpr auto operator<=>(Importe, Importe) = default;
  friend constexpr bool operator==(Importe, Importe) = default;

 private:
  constexpr explicit Importe(int64_t v) : v_(v) {}
  int64_t v_ = 0;
};

}  // namespace mostrador::base
