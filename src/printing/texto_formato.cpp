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

std::string quitaBlancos(std::string_view t) {
  size_t i = 0, j = t.size();
  while (i < j && (t[i] == ' ' || t[i] == '\t')) ++i;
  while (j > i && (t[j - 1] == ' ' || t[j - 1] == '\t')) --j;
  return std::string(t.substr(i, j - i));
}

std::string mayusculasAZ(std::string_view texto) {
  std::string r(texto);
  for (char& c : r) c = base::mayuscula(c);
  return r;
}

namespace {

// Latin-1 letters in UTF-8 are 0xC3 followed by 0x80-0x9E (capitals) or 0xA0-0xBE
// (small letters), the two halves 0x20 apart; × (0x97) and ÷ (0xB7) are not letters.
std::string cambiaCaso(std::string_view texto, bool aMayusculas) {
  std::string r;
  r.reserve(texto.size());
  for (size_t i = 0; i < texto.size(); ++i) {
    unsigned char c = texto[i];
    if (aMayusculas && c >= 'a' && c <= 'z') {
      r += static_cast<char>(c - 'a' + 'A');
    } else if (!aMayusculas && c >= 'A' && c <= 'Z') {
      r += static_cast<char>(c - 'A' + 'a');
    } else if (c == 0xC3 && i + 1 < texto.size()) {
      unsigned char d = texto[++i];
      if (aMayusculas && d >= 0xA0 && d <= 0xBE && d != 0xB7) d -= 0x20;
      if (!aMayusculas && d >= 0x80 && d <= 0x9E && d != 0x97) d += 0x20;
      r += static_cast<char>(c);
      r += static_cast<char>(d);
    } else {
      r += static_cast<char>(c);
    }
  }
  return r;
}

}  // namespace

std::string mayusculas(std::string_view texto) { return cambiaCaso(texto, true); }
std::string minusculas(std::string_view texto) { return cambiaCaso(texto, false); }

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
