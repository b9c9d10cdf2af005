#include "base/importe.h"

#include <cmath>
#include <limits>

#include "base/numeros.h"

namespace mostrador::base {

namespace {

constexpr int64_t kMaximo = std::numeric_limits<int64_t>::max();
constexpr int64_t kMinimo = -kMaximo;  // symmetric, so that negation never overflows

// A ten-thousandths count from an extended-precision value already rounded to whole.
int64_t acota(long double x) {
  if (std::isnan(x)) return 0;
  if (x >= static_cast<long double>(kMaximo)) return kMaximo;
  if (x <= static_cast<long double>(kMinimo)) return kMinimo;
  return static_cast<int64_t>(x);
}

}  // namespace

Importe Importe::deDouble(double v) {
  // Extended precision keeps the product exact enough that only true ties are ties.
  return Importe(acota(std::nearbyintl(static_cast<long double>(v) * 10000.0L)));
}

std::optional<Importe> Importe::deTexto(std::string_view texto) {
  const auto d = Decimal::deTexto(texto);
  if (!d) return std::nullopt;
  const Decimal r = d->redondeado(4, Redondeo::MitadAPar);
  std::string digitos = r.entero + r.fraccion + std::string(4 - r.fraccion.size(), '0');
  // At most 19 digits, and within the range.
  size_t i = digitos.find_first_not_of('0');
  if (i == std::string::npos) return Importe();
  digitos.erase(0, i);
  if (digitos.size() > 19) return std::nullopt;
  uint64_t u = 0;
  for (char c : digitos) u = u * 10 + static_cast<uint64_t>(c - '0');
  if (u > static_cast<uint64_t>(kMaximo)) return std::nullopt;
  const auto v = static_cast<int64_t>(u);
  return Importe(r.negativo ? -v : v);
}

double Importe::aDouble() const { return static_cast<double>(v_) / 10000.0; }

Importe Importe::operator*(double factor) const {
  return Importe(acota(std::roundl(static_cast<long double>(v_) * factor)));
}

Importe Importe::operator/(double divisor) const {
  if (divisor == 0) return Importe();
  return Importe(acota(std::roundl(static_cast<long double>(v_) / divisor)));
}

Importe Importe::redondeaCentavos() const {
  const int64_t magnitud = v_ < 0 ? -v_ : v_;
  const int64_t r = (magnitud / 100 + (magnitud % 100 >= 50 ? 1 : 0)) * 100;
  return Importe(v_ < 0 ? -r : r);
}

Importe Importe::redondeaTotal(int paso) const {
  if (paso <= 0) return *this;
  const int64_t magnitud = v_ < 0 ? -v_ : v_;
  const int64_t entero = magnitud / 10000;
  const int64_t c = magnitud % 10000 / 100;
  if (c == 0) return *this;
  const int64_t s = 10 * static_cast<int64_t>(paso);
  const int64_t centavos = c % s != 0 ? c / s * s + s : c;
  const int64_t r = entero * 10000 + centavos * 100;
  return Importe(v_ < 0 ? -r : r);
}

std::string Importe::formatea(std::string_view mascara) const {
  return formateaMascara(Decimal::deDiezmilesimos(v_), mascara);
}

std::string Importe::texto() const { return Decimal::deDiezmilesimos(v_).texto(); }

}  // namespace mostrador::base
