#include "printing/cantidad_letras.h"

#include <cmath>
#include <cstdio>

#include "printing/tabla_impresion.h"
#include "printing/texto_formato.h"

namespace mostrador::printing {

namespace {

// Words of one group of three digits at position g (1 units, 2 thousands, 3 millions,
// 4 thousands of millions), each word with one leading blank.
std::string grupoEnLetras(int n, int g) {
  static const char* const centenas[] = {"",           " ciento",      " doscientos",
                                         " trescientos", " cuatrocientos", " quinientos",
                                         " seiscientos", " setecientos",  " ochocientos",
                                         " novecientos"};
  static const char* const decenas[] = {"", "", "", " treinta", " cuarenta", " cincuenta",
                                        " sesenta", " setenta", " ochenta", " noventa"};
  static const char* const diez29[] = {
      " diez",      " once",         " doce",        " trece",       " catorce",
      " quince",    " dieciseis",    " diecisiete",  " dieciocho",   " diecinueve",
      " veinte",    " veintiun",     " veintidos",   " veintitres",  " veinticuatro",
      " veinticinco", " veintiseis", " veintisiete", " veintiocho", " veintinueve"};
  static const char* const yUnidades[] = {"",       " y un",    " y dos",  " y tres",
                                          " y cuatro", " y cinco", " y seis", " y siete",
                                          " y ocho",  " y nueve"};
  static const char* const unidades[] = {"",       " un",   " dos",  " tres",  " cuatro",
                                         " cinco", " seis", " siete", " ocho", " nueve"};
  int h = n / 100, t = n % 100, d = t / 10, u = t % 10;
  std::string r;
  if (n == 100 && g >= 1 && g <= 3)
    r += " cien";
  else
    r += centenas[h];
  if (t >= 30) r += decenas[d];
  if (t >= 10 && t <= 29) r += diez29[t - 10];
  if (t >= 31 && u != 0) r += yUnidades[u];
  if (t < 10) r += unidades[u];
  if (g == 2 && n != 0) r += " mil";
  if (g == 3) r += n == 1 ? " millón" : " millones";
  if (g == 4) r += " mil";
  return r;
}

}  // namespace

std::string CantidadEnLetras(double cantidad, const MonedaLetras& moneda) {
  std::string escrito = conDecimales(std::fabs(cantidad), 2);
  size_t punto = escrito.find('.');
  std::string entero = escrito.substr(0, punto);
  std::string centavos = escrito.substr(punto + 1);
  while (entero.size() % 3 != 0) entero.insert(0, "0");
  std::string palabras;
  int grupos = static_cast<int>(entero.size() / 3);
  for (int i = 0; i < grupos; ++i) {
    int g = grupos - i;
    palabras += grupoEnLetras(std::stoi(entero.substr(i * 3, 3)), g);
  }
  bool cero = entero.find_first_not_of('0') == std::string::npos;
  if (cero) palabras = "cero ";
  bool uno = std::stoll(entero) == 1;
  const std::string& divisa =
      uno ? moneda.singular
          : (palabras.size() >= 4 && palabras.compare(palabras.size() - 4, 4, "ones") == 0
                 ? moneda.plural
                 : moneda.segundoPlural);
  return "(" +
         mayusculasAZ(palabras + " " + divisa + " " + centavos + "/100 " + moneda.abreviatura) +
         ")";
}

namespace {

std::string enIngles(unsigned long long n) {
  static const char* const menores[] = {"",        "one",     "two",       "three",
                                        "four",    "five",    "six",       "seven",
                                        "eight",   "nine",    "ten",       "eleven",
                                        "twelve",  "thirteen", "fourteen", "fifteen",
                                        "sixteen", "seventeen", "eighteen", "nineteen"};
  static const char* const decenas[] = {"", "", "twenty", "thirty", "forty",
                                        "fifty", "sixty", "seventy", "eighty", "ninety"};
  if (n == 0) return "";
  if (n < 20) return menores[n];
  if (n < 100) return std::string(decenas[n / 10]) + " " + enIngles(n % 10);
  if (n < 1000) return std::string(menores[n / 100]) + " hundred " + enIngles(n % 100);
  if (n < 1000000) return enIngles(n / 1000) + " thousand " + enIngles(n % 1000);
  if (n < 1000000000) return enIngles(n / 1000000) + " million " + enIngles(n % 1000000);
  return "";
}

}  // namespace

std::string CantidadEnLetrasIngles(std::string_view divisa, double cantidad,
                                   const MonedaLetras& moneda) {
  if (cantidad == 0) {
    std::string r = "(Zero";
    if (!divisa.empty()) r += " " + std::string(divisa);
    return mayusculasAZ(r + " )");
  }
  constexpr double kMaximo = 4294967295.99;
  if (cantidad < 1 || cantidad > kMaximo) {
    char b[128];
    std::snprintf(b, sizeof b, "%.15g not in valid range %.15g..%.15g", cantidad, 1.0, kMaximo);
    throw ErrorFormato(b);
  }
  std::string escrito = conDecimales(cantidad, 2);
  size_t punto = escrito.find('.');
  unsigned long long entero = std::stoull(escrito.substr(0, punto));
  int centavos = std::stoi(escrito.substr(punto + 1));
  return "(" +
         mayusculasAZ(enIngles(entero) + " " + moneda.segundoPlural + " " +
                      std::to_string(centavos) + "/100 " + moneda.abreviatura) +
         ")";
}

}  // namespace mostrador::printing
