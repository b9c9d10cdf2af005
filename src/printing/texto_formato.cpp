#include "printing/texto_formato.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "printing/tabla_impresion.h"

namespace mostrador::printing {

std::string decimalCorto(double v) {
  if (v == 0 || !std::isfinite(v)) return "0";
  char b[40];
  std::snprintf(b, sizeof b, "%.15g", v);
  return b;
}

std::string quitaBlancos(std::string_view t) {
  size_t i = 0, j = t.size();
  while (i < j && (t[i] == ' ' || t[i] == '\t')) ++i;
  while (j > i && (t[j - 1] == ' ' || t[j - 1] == '\t')) --j;
  return std::string(t.substr(i, j - i));
}

std::optional<double> comoNumero(std::string_view texto) {
  std::string t = quitaBlancos(texto);
  if (t.empty()) return std::nullopt;
  // Only the plain decimal forms; strtod alone would also take "inf", "nan" and hex.
  size_t i = 0;
  if (t[i] == '+' || t[i] == '-') ++i;
  bool digitos = false;
  while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]))) ++i, digitos = true;
  if (i < t.size() && t[i] == '.') {
    ++i;
    while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]))) ++i, digitos = true;
  }
  if (!digitos) return std::nullopt;
  if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
    ++i;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    bool exp = false;
    while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]))) ++i, exp = true;
    if (!exp) return std::nullopt;
  }
  if (i != t.size()) return std::nullopt;
  return std::strtod(t.c_str(), nullptr);
}

double leeNumero(std::string_view texto) {
  auto v = comoNumero(texto);
  if (!v) throw ErrorFormato("'" + std::string(texto) + "' no es un número válido");
  return *v;
}

namespace {

// Adds one unit at the last digit of a string of decimal digits (with an optional ".").
void sumaUno(std::string& s) {
  for (size_t i = s.size(); i-- > 0;) {
    if (s[i] == '.') continue;
    if (s[i] < '9') {
      ++s[i];
      return;
    }
    s[i] = '0';
  }
  s.insert(s.begin(), '1');
}

}  // namespace

std::string conDecimales(double v, int n) {
  if (!std::isfinite(v)) v = 0;
  bool negativo = v < 0;
  double a = std::fabs(v);
  // The decimal value as written with 15 significant digits, then rounded as text,
  // so that 0.125 rounds up like the written value does.
  int enteros = a >= 1 ? static_cast<int>(std::floor(std::log10(a))) + 1 : 1;
  int prec = std::max(0, std::min(20, 15 - enteros));
  std::string s(64 + enteros, '\0');
  s.resize(std::snprintf(s.data(), s.size(), "%.*f", prec, a));
  size_t punto = s.find('.');
  std::string ent = punto == std::string::npos ? s : s.substr(0, punto);
  std::string dec = punto == std::string::npos ? "" : s.substr(punto + 1);
  if (static_cast<int>(dec.size()) <= n) {
    dec.append(n - dec.size(), '0');
  } else {
    bool sube = dec[n] >= '5';
    dec.resize(n);
    std::string todo = n > 0 ? ent + "." + dec : ent;
    if (sube) sumaUno(todo);
    size_t p = todo.find('.');
    ent = p == std::string::npos ? todo : todo.substr(0, p);
    dec = p == std::string::npos ? "" : todo.substr(p + 1);
  }
  std::string r = n > 0 ? ent + "." + dec : ent;
  if (negativo && r.find_first_not_of("0.") != std::string::npos) r.insert(r.begin(), '-');
  return r;
}

std::string conDecimales(double v, int n, int ancho) {
  std::string r = conDecimales(v, n);
  if (static_cast<int>(r.size()) < ancho) r.insert(0, ancho - r.size(), ' ');
  return r;
}

std::string mayusculasAZ(std::string_view texto) {
  std::string r(texto);
  for (char& c : r)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return r;
}

std::string minusculas(std::string_view texto) {
  std::string r;
  r.reserve(texto.size());
  for (size_t i = 0; i < texto.size(); ++i) {
    unsigned char c = texto[i];
    if (c >= 'A' && c <= 'Z') {
      r += static_cast<char>(c - 'A' + 'a');
    } else if (c == 0xC3 && i + 1 < texto.size()) {
      // UTF-8 of U+00C0..U+00DE (Latin-1 capitals but ×) lower by adding 0x20.
      unsigned char d = texto[i + 1];
      r += static_cast<char>(c);
      r += static_cast<char>(d >= 0x80 && d <= 0x9E && d != 0x97 ? d + 0x20 : d);
      ++i;
    } else {
      r += static_cast<char>(c);
    }
  }
  return r;
}

std::string primerosCaracteres(std::string_view texto, size_t n) {
  size_t i = 0, k = 0;
  while (i < texto.size() && k < n) {
    unsigned char c = texto[i];
    size_t largo = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 1;
    i = std::min(texto.size(), i + largo);
    ++k;
  }
  return std::string(texto.substr(0, i));
}

namespace {

std::string agrupaMiles(const std::string& enteros) {
  std::string r;
  int k = 0;
  for (size_t i = enteros.size(); i-- > 0;) {
    r.insert(r.begin(), enteros[i]);
    if (++k % 3 == 0 && i > 0) r.insert(r.begin(), ',');
  }
  return r;
}

// Formats v with a numeric picture of "#", "0", "," and "." (literal characters
// before and after the picture are kept).
std::string formateaMascara(std::string_view mascara, double v) {
  if (mascara.empty()) return decimalCorto(v);
  size_t ini = mascara.find_first_of("#0,.");
  if (ini == std::string_view::npos) return std::string(mascara);
  size_t fin = mascara.find_last_of("#0,.") + 1;
  std::string_view prefijo = mascara.substr(0, ini), sufijo = mascara.substr(fin);
  std::string_view dibujo = mascara.substr(ini, fin - ini);
  size_t punto = dibujo.find('.');
  std::string_view parteEntera = dibujo.substr(0, punto);
  std::string_view parteDecimal =
      punto == std::string_view::npos ? std::string_view() : dibujo.substr(punto + 1);
  bool miles = parteEntera.find(',') != std::string_view::npos;
  int enterosMin = 0;
  size_t primerCero = parteEntera.find('0');
  if (primerCero != std::string_view::npos)
    for (size_t i = primerCero; i < parteEntera.size(); ++i)
      if (parteEntera[i] != ',') ++enterosMin;
  int decMax = 0, decMin = 0;
  for (size_t i = 0; i < parteDecimal.size(); ++i) {
    if (parteDecimal[i] == '0' || parteDecimal[i] == '#') ++decMax;
    if (parteDecimal[i] == '0') decMin = decMax;
  }
  std::string s = conDecimales(v, decMax);
  bool negativo = !s.empty() && s[0] == '-';
  if (negativo) s.erase(0, 1);
  size_t p = s.find('.');
  std::string ent = p == std::string::npos ? s : s.substr(0, p);
  std::string dec = p == std::string::npos ? "" : s.substr(p + 1);
  while (static_cast<int>(dec.size()) > decMin && dec.back() == '0') dec.pop_back();
  ent.erase(0, std::min(ent.find_first_not_of('0'), ent.size()));
  if (static_cast<int>(ent.size()) < enterosMin) ent.insert(0, enterosMin - ent.size(), '0');
  if (miles) ent = agrupaMiles(ent);
  std::string r = ent;
  if (!dec.empty()) r += "." + dec;
  if (r.empty()) r = "0";
  if (negativo) r.insert(0, "-");
  return std::string(prefijo) + r + std::string(sufijo);
}

}  // namespace

std::string mascaraImporte(std::string_view mascara, std::string_view texto,
                           std::string_view clase) {
  if (clase == "c") return std::string(texto);
  std::string simbolo = clase == "f" ? "$" : std::string(clase);
  std::string t = quitaBlancos(texto);
  double v = t.empty() ? 0 : leeNumero(t);
  // Amounts are held with four decimals before they are written.
  std::string r = formateaMascara(mascara, std::strtod(conDecimales(v, 4).c_str(), nullptr));
  if (r.size() < mascara.size()) r.insert(0, mascara.size() - r.size(), ' ');
  return simbolo + r;
}

std::string mesFormato(int mes) {
  static const char* const nombres[] = {"Enero", "Febrero", "Marzo",      "Abril",
                                        "Mayo",  "Junio",   "julio",      "Agosto",
                                        "Septiembre", "Octubre", "Noviembre", "Diciembre"};
  return mes >= 1 && mes <= 12 ? nombres[mes - 1] : "";
}

std::string dosDigitos(int n) {
  char b[16];
  std::snprintf(b, sizeof b, "%02d", n);
  return b;
}

std::string fechaLarga(const dbf::Fecha& f) {
  static const char* const dias[] = {"domingo", "lunes",   "martes", "miercoles",
                                     "jueves",  "viernes", "sabado"};
  static const char* const meses[] = {"Enero",  "Febrero", "Marzo",      "Abril",
                                      "Mayo",   "Junio",   "Julio",      "Agosto",
                                      "Septiembre", "Octubre", "Noviembre", "Diciembre"};
  using namespace std::chrono;
  year_month_day ymd{year(f.anio), month(static_cast<unsigned>(f.mes)),
                     day(static_cast<unsigned>(f.dia))};
  if (!ymd.ok() || f.mes < 1 || f.mes > 12) return "";
  std::string dia = dias[weekday(sys_days(ymd)).c_encoding()];
  dia[0] = static_cast<char>(dia[0] - 'a' + 'A');
  return dia + " " + std::to_string(f.dia) + " de " + meses[f.mes - 1] + " del año " +
         std::to_string(f.anio);
}

}  // namespace mostrador::printing

namespace mostrador::printing {
std::string mayusculas(std::string_view texto) {
  std::string r;
  r.reserve(texto.size());
  for (size_t i = 0; i < texto.size(); ++i) {
    unsigned char c = texto[i];
    if (c >= 'a' && c <= 'z') {
      r += static_cast<char>(c - 'a' + 'A');
    } else if (c == 0xC3 && i + 1 < texto.size()) {
      // UTF-8 of U+00E0..U+00FE (Latin-1 small letters but ÷) rise by 0x20.
      unsigned char d = texto[i + 1];
      r += static_cast<char>(c);
      r += static_cast<char>(d >= 0xA0 && d <= 0xBE && d != 0xB7 ? d - 0x20 : d);
      ++i;
    } else {
      r += static_cast<char>(c);
    }
  }
  return r;
}
}  // namespace mostrador::printing
