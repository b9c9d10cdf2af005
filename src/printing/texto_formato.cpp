#include "printing/texto_formato.h"

#include <cstdio>

#include "printing/tabla_impresion.h"
#include "base/numeros.h"
#include "base/texto_util.h"

namespace mostrador::printing {

std::string decimalCorto(double v) { return base::Decimal::deDouble(v).texto(); }

std::optional<double> comoNumero(std::string_view texto) { return base::leeNumero(texto); }

double leeNumero(std::string_view texto) {
  auto v = base::leeNumero(texto);
  if (!v) throw ErrorFormato("'" + std::string(texto) + "' no es un número válido");
  return *v;
}

std::string conDecimales(double v, int n, int ancho) {
  std::string r = base::formateaMascara(v, n > 0 ? "0." + std::string(n, '0') : "0");
  if (static_cast<int>(r.size()) < ancho) r.insert(0, ancho - r.size(), ' ');
  return r;
}

std::string quitaBlancos(std::string_view t) { return base::recortaEspaciosYTabs(t); }
std::string mayusculasAZ(std::string_view texto) { return base::mayusculasAscii(texto); }
std::string mayusculas(std::string_view texto) { return base::mayusculasLatin1(texto); }
std::string minusculas(std::string_view texto) { return base::minusculasLatin1(texto); }

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

std::string dosDigitos(int n) {
  char b[16];
  std::snprintf(b, sizeof b, "%02d", n);
  return b;
}

}  // namespace mostrador::printing
