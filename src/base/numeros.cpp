#include "base/numeros.h"

#include <charconv>
#include <cmath>
#include <vector>

#include "base/rutas.h"

namespace mostrador::base {

namespace {

bool esDigito(char c) { return c >= '0' && c <= '9'; }

std::string_view recorta(std::string_view t) {
  while (!t.empty() && (t.front() == ' ' || t.front() == '\t')) t.remove_prefix(1);
  while (!t.empty() && (t.back() == ' ' || t.back() == '\t')) t.remove_suffix(1);
  return t;
}

void quitaCerosIzquierda(std::string& s) {
  size_t i = 0;
  while (i < s.size() && s[i] == '0') ++i;
  s.erase(0, i);
}

void quitaCerosDerecha(std::string& s) {
  while (!s.empty() && s.back() == '0') s.pop_back();
}

// Adds one unit to the last digit of a digit string; returns true when it grew a digit.
bool incrementa(std::string& digitos) {
  for (size_t i = digitos.size(); i-- > 0;) {
    if (digitos[i] == '9') {
      digitos[i] = '0';
    } else {
      ++digitos[i];
      return false;
    }
  }
  digitos.insert(digitos.begin(), '1');
  return true;
}

}  // namespace

// ---------------------------------------------------------------------------------------
// Decimal

Decimal Decimal::deDouble(double v) {
  if (!std::isfinite(v)) return {};
  char buf[64];
  const auto r = std::to_chars(buf, buf + sizeof buf, v);
  return deTexto(std::string_view(buf, static_cast<size_t>(r.ptr - buf))).value_or(Decimal{});
}

Decimal Decimal::deDiezmilesimos(int64_t v) {
  Decimal d;
  d.negativo = v < 0;
  const uint64_t magnitud = d.negativo ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v);
  d.entero = std::to_string(magnitud / 10000);
  std::string f = std::to_string(magnitud % 10000);
  d.fraccion = std::string(4 - f.size(), '0') + f;
  quitaCerosIzquierda(d.entero);
  if (d.esCero()) d.negativo = false;
  return d;
}

std::optional<Decimal> Decimal::deTexto(std::string_view texto) {
  std::string_view t = recorta(texto);
  size_t i = 0;
  Decimal d;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) d.negativo = t[i++] == '-';
  std::string antes, despues;
  while (i < t.size() && esDigito(t[i])) antes += t[i++];
  if (i < t.size() && t[i] == '.') {
    ++i;
    while (i < t.size() && esDigito(t[i])) despues += t[i++];
  }
  if (antes.empty() && despues.empty()) return std::nullopt;
  long exponente = 0;
  if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
    ++i;
    bool negativo = false;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) negativo = t[i++] == '-';
    if (i >= t.size() || !esDigito(t[i])) return std::nullopt;
    while (i < t.size() && esDigito(t[i])) {
      exponente = exponente * 10 + (t[i++] - '0');
      if (exponente > 400) return std::nullopt;  // far beyond any double
    }
    if (negativo) exponente = -exponente;
  }
  if (i != t.size()) return std::nullopt;

  const std::string digitos = antes + despues;
  const long punto = static_cast<long>(antes.size()) + exponente;
  if (punto <= 0) {
    d.fraccion = std::string(static_cast<size_t>(-punto), '0') + digitos;
  } else if (punto >= static_cast<long>(digitos.size())) {
    d.entero = digitos + std::string(static_cast<size_t>(punto) - digitos.size(), '0');
  } else {
    d.entero = digitos.substr(0, static_cast<size_t>(punto));
    d.fraccion = digitos.substr(static_cast<size_t>(punto));
  }
  quitaCerosIzquierda(d.entero);
  quitaCerosDerecha(d.fraccion);
  if (d.esCero()) d.negativo = false;
  return d;
}

bool Decimal::esCero() const {
  return entero.find_first_not_of('0') == std::string::npos &&
         fraccion.find_first_not_of('0') == std::string::npos;
}

Decimal Decimal::redondeado(int decimales, Redondeo modo) const {
  if (decimales < 0) decimales = 0;
  const auto n = static_cast<size_t>(decimales);
  if (fraccion.size() <= n) return *this;
  const char siguiente = fraccion[n];
  const bool restoNoCero = fraccion.find_first_not_of('0', n + 1) != std::string::npos;
  const std::string enteroConCero = entero.empty() ? std::string("0") : entero;
  std::string digitos = enteroConCero + fraccion.substr(0, n);
  bool sube;
  if (modo == Redondeo::MitadLejosDeCero) {
    sube = siguiente >= '5';
  } else {
    const char ultimo = digitos.back();
    sube = siguiente > '5' || (siguiente == '5' && (restoNoCero || (ultimo - '0') % 2 == 1));
  }
  size_t largoEntero = enteroConCero.size();
  if (sube && incrementa(digitos)) ++largoEntero;
  Decimal r;
  r.negativo = negativo;
  r.entero = digitos.substr(0, largoEntero);
  r.fraccion = digitos.substr(largoEntero);
  quitaCerosIzquierda(r.entero);
  if (r.esCero()) r.negativo = false;
  return r;
}

std::string Decimal::texto() const {
  std::string f = fraccion;
  quitaCerosDerecha(f);
  std::string s = entero.empty() ? "0" : entero;
  if (!f.empty()) s += "." + f;
  if (negativo && !esCero()) s = "-" + s;
  return s;
}

double Decimal::aDouble() const {
  const std::string s = texto();
  double v = 0;
  std::from_chars(s.data(), s.data() + s.size(), v);
  return v;
}

// ---------------------------------------------------------------------------------------
// Masks

namespace {

struct PiezaMascara {
  enum Tipo { Literal, Digito, Punto } tipo;
  std::string texto;       // Literal
  bool requerido = false;  // Digito: "0"
  bool enEntero = true;    // Digito
};

struct Mascara {
  std::vector<PiezaMascara> piezas;
  bool miles = false;
  int decimales = 0;           // placeholders after the point
  int decimalesRequeridos = 0; // up to the last "0" after the point
  int enterosRequeridos = 0;   // from the first "0" before the point
  int enteros = 0;             // placeholders before the point
};

Mascara analiza(std::string_view seccion) {
  Mascara m;
  bool trasPunto = false;
  int primerCero = -1;
  for (size_t i = 0; i < seccion.size(); ++i) {
    const char c = seccion[i];
    if (c == '"' || c == '\'') {
      const size_t fin = seccion.find(c, i + 1);
      const size_t hasta = fin == std::string_view::npos ? seccion.size() : fin;
      m.piezas.push_back({PiezaMascara::Literal, std::string(seccion.substr(i + 1, hasta - i - 1))});
      i = hasta;
    } else if (c == '0' || c == '#') {
      PiezaMascara p{PiezaMascara::Digito, {}, c == '0', !trasPunto};
      if (trasPunto) {
        ++m.decimales;
        if (c == '0') m.decimalesRequeridos = m.decimales;
      } else {
        if (c == '0' && primerCero < 0) primerCero = m.enteros;
        ++m.enteros;
      }
      m.piezas.push_back(p);
    } else if (c == '.' && !trasPunto) {
      trasPunto = true;
      m.piezas.push_back({PiezaMascara::Punto, {}});
    } else if (c == ',') {
      if (!trasPunto) m.miles = true;
    } else {
      m.piezas.push_back({PiezaMascara::Literal, std::string(1, c)});
    }
  }
  m.enterosRequeridos = primerCero < 0 ? 0 : m.enteros - primerCero;
  return m;
}

std::vector<std::string_view> secciones(std::string_view mascara) {
  std::vector<std::string_view> r;
  size_t inicio = 0;
  char comilla = 0;
  for (size_t i = 0; i < mascara.size(); ++i) {
    const char c = mascara[i];
    if (comilla) {
      if (c == comilla) comilla = 0;
    } else if (c == '"' || c == '\'') {
      comilla = c;
    } else if (c == ';') {
      r.push_back(mascara.substr(inicio, i - inicio));
      inicio = i + 1;
    }
  }
  r.push_back(mascara.substr(inicio));
  return r;
}

std::string aplica(const Mascara& m, const Decimal& redondeado, bool conSigno) {
  std::string enteros = redondeado.entero;
  if (static_cast<int>(enteros.size()) < m.enterosRequeridos)
    enteros.insert(0, static_cast<size_t>(m.enterosRequeridos) - enteros.size(), '0');
  std::string fraccion = redondeado.fraccion;
  if (static_cast<int>(fraccion.size()) < m.decimales)
    fraccion.append(static_cast<size_t>(m.decimales) - fraccion.size(), '0');
  while (static_cast<int>(fraccion.size()) > m.decimalesRequeridos && fraccion.back() == '0')
    fraccion.pop_back();

  // Integer digits go into the placeholders from the right; the leftmost placeholder
  // takes every digit left over. Digit k from the right is followed by a separator when
  // k is a positive multiple of three.
  const int n = m.enteros;
  const int d = static_cast<int>(enteros.size());
  auto digitosDesde = [&](int desde, int hasta) {  // [desde, hasta) of enteros
    std::string s;
    for (int k = desde; k < hasta; ++k) {
      s += enteros[static_cast<size_t>(k)];
      const int desdeDerecha = d - 1 - k;
      if (m.miles && desdeDerecha > 0 && desdeDerecha % 3 == 0) s += kSeparadorMiles;
    }
    return s;
  };

  std::string salida;
  if (conSigno) salida += '-';
  int marcador = 0;  // integer placeholders seen
  size_t decimal = 0;
  bool puntoVisto = false;
  for (const PiezaMascara& p : m.piezas) {
    switch (p.tipo) {
      case PiezaMascara::Literal:
        salida += p.texto;
        break;
      case PiezaMascara::Digito:
        if (p.enEntero) {
          // Placeholder marcador (0-based from the left) of n holds digit index
          // d - (n - marcador); the first one holds everything up to there.
          const int hasta = d - (n - marcador - 1);
          const int desde = marcador == 0 ? 0 : hasta - 1;
          if (hasta > 0) salida += digitosDesde(std::max(desde, 0), hasta);
          ++marcador;
        } else if (decimal < fraccion.size()) {
          salida += fraccion[decimal++];
        }
        break;
      case PiezaMascara::Punto:
        if (n == 0) salida += digitosDesde(0, d);  // no integer placeholders at all
        puntoVisto = true;
        if (!fraccion.empty()) salida += kSeparadorDecimal;
        break;
    }
  }
  if (!puntoVisto && n == 0) salida += digitosDesde(0, d);
  return salida;
}

}  // namespace

std::string formateaMascara(const Decimal& valor, std::string_view mascara) {
  if (mascara.empty()) return valor.texto();
  const std::vector<std::string_view> s = secciones(mascara);
  const Mascara primera = analiza(s[0]);
  const Decimal r = valor.redondeado(primera.decimales);
  if (r.esCero() && s.size() >= 3 && !s[2].empty()) {
    const Mascara cero = analiza(s[2]);
    return aplica(cero, Decimal{}, false);
  }
  if (r.negativo && s.size() >= 2 && !s[1].empty()) {
    const Mascara negativa = analiza(s[1]);
    return aplica(negativa, valor.redondeado(negativa.decimales), false);
  }
  return aplica(primera, r, r.negativo);
}

std::string formateaMascara(double valor, std::string_view mascara) {
  return formateaMascara(Decimal::deDouble(valor), mascara);
}

size_t largoCaracteres(std::string_view utf8) {
  size_t n = 0;
  for (char c : utf8)
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++n;
  return n;
}

namespace {

// The amount formatted with the mask, for the two amount-mask services.
std::string importeEnMascara(std::string_view mascara, std::string_view texto) {
  std::string_view t = recorta(texto);
  const Decimal valor = Decimal::deTexto(t.empty() ? "0" : t).value_or(Decimal{});
  // Amounts are read with four decimals, ties to even, before the mask rounds them.
  return formateaMascara(valor.redondeado(4, Redondeo::MitadAPar), mascara);
}

std::string simboloDe(std::string_view simbolo) {
  return simbolo == "f" ? std::string(kSimboloMoneda) : std::string(simbolo);
}

}  // namespace

std::string mascaraImporte(std::string_view mascara, std::string_view texto, std::string_view simbolo) {
  if (simbolo == "c") return std::string(texto);
  std::string s = importeEnMascara(mascara, texto);
  const size_t largo = largoCaracteres(mascara);
  const size_t actual = largoCaracteres(s);
  if (actual < largo) s.insert(0, largo - actual, ' ');
  return simboloDe(simbolo) + s;
}

std::string mascaraImporteImpresa(std::string_view mascara, std::string_view texto,
                                  std::string_view simbolo, std::string_view fuente,
                                  const MedidorTexto& medidor) {
  if (simbolo == "c") return std::string(texto);
  if (mismoNombre(fuente, "Courier New")) return mascaraImporte(mascara, texto, simbolo);
  std::string s = importeEnMascara(mascara, texto);
  const double meta = medidor.ancho(mascara, fuente);
  // Bounded: a medidor that says blanks are 0 wide must not hang the printout.
  for (size_t i = 0; i <= largoCaracteres(mascara) * 4 && medidor.ancho(" " + s, fuente) <= meta; ++i)
    s.insert(0, 1, ' ');
  return simboloDe(simbolo) + s;
}

std::string importeSimple(double valor) { return formateaMascara(valor, "###########0.00"); }

double redondea(double valor, int decimales) {
  return Decimal::deDouble(valor).redondeado(decimales).aDouble();
}

std::optional<double> leeNumero(std::string_view texto) {
  const auto d = Decimal::deTexto(texto);
  if (!d) return std::nullopt;
  return d->aDouble();
}

double numeroSeguro(std::string_view texto) {
  if (texto.empty() || texto == "f" || texto == "e" || texto == "x") return 0;
  return leeNumero(texto).value_or(0);
}

std::string formatoMoneda(double valor) {
  const Decimal d = Decimal::deDouble(valor).redondeado(kDecimalesMoneda);
  Decimal magnitud = d;
  magnitud.negativo = false;
  const std::string s = std::string(kSimboloMoneda) + formateaMascara(magnitud, "#,##0.00");
  return d.negativo ? "(" + s + ")" : s;
}

}  // namespace mostrador::base
