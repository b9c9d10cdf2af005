#include "base/texto_util.h"

#include <utility>

namespace mostrador::base {

namespace {

// Byte offset of character number k (0-based) of a UTF-8 text; its size when beyond.
size_t desplazamiento(std::string_view t, size_t k) {
  size_t i = 0;
  while (i < t.size() && k > 0) {
    ++i;
    while (i < t.size() && (static_cast<unsigned char>(t[i]) & 0xC0) == 0x80) ++i;
    --k;
  }
  return i;
}

}  // namespace

std::string elementoLista(std::string_view lista, int n) {
  if (n < 1) return {};
  size_t inicio = 0;
  for (int k = 1; k < n; ++k) {
    const size_t coma = lista.find(',', inicio);
    if (coma == std::string_view::npos) return {};
    inicio = coma + 1;
  }
  const size_t fin = lista.find(',', inicio);
  return std::string(lista.substr(inicio, fin == std::string_view::npos ? std::string_view::npos : fin - inicio));
}

std::string caracteres(std::string_view texto, int i, int j) {
  if (i < 1) i = 1;
  if (j < i) return {};
  const size_t desde = desplazamiento(texto, static_cast<size_t>(i - 1));
  const size_t hasta = desplazamiento(texto, static_cast<size_t>(j));
  return std::string(texto.substr(desde, hasta - desde));
}

char mayuscula(char letra) { return letra >= 'a' && letra <= 'z' ? static_cast<char>(letra - 'a' + 'A') : letra; }

std::string mayusculasAscii(std::string_view texto) {
  std::string r(texto);
  for (char& c : r) c = mayuscula(c);
  return r;
}

std::string minusculasAscii(std::string_view texto) {
  std::string r(texto);
  for (char& c : r)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return r;
}

namespace {

// Latin-1 letters in UTF-8 are 0xC3 followed by 0x80-0x9E (capitals) or 0xA0-0xBE
// (small letters), the two halves 0x20 apart; × (0x97) and ÷ (0xB7) are not letters.
std::string cambiaCasoLatin1(std::string_view texto, bool aMayusculas) {
  std::string r(texto);
  for (size_t i = 0; i < r.size(); ++i) {
    const auto c = static_cast<unsigned char>(r[i]);
    if (aMayusculas && c >= 'a' && c <= 'z') {
      r[i] = static_cast<char>(c - 'a' + 'A');
    } else if (!aMayusculas && c >= 'A' && c <= 'Z') {
      r[i] = static_cast<char>(c - 'A' + 'a');
    } else if (c == 0xC3 && i + 1 < r.size()) {
      const auto d = static_cast<unsigned char>(r[++i]);
      if (aMayusculas && d >= 0xA0 && d <= 0xBE && d != 0xB7) r[i] = static_cast<char>(d - 0x20);
      if (!aMayusculas && d >= 0x80 && d <= 0x9E && d != 0x97) r[i] = static_cast<char>(d + 0x20);
    }
  }
  return r;
}

std::string recortaDe(std::string_view texto, std::string_view quita) {
  const size_t a = texto.find_first_not_of(quita);
  if (a == std::string_view::npos) return {};
  return std::string(texto.substr(a, texto.find_last_not_of(quita) - a + 1));
}

}  // namespace

std::string mayusculasLatin1(std::string_view texto) { return cambiaCasoLatin1(texto, true); }
std::string minusculasLatin1(std::string_view texto) { return cambiaCasoLatin1(texto, false); }

bool igualesSinCasoAscii(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (mayuscula(a[i]) != mayuscula(b[i])) return false;
  return true;
}

std::string recorta(std::string_view texto) { return recortaDe(texto, " "); }
std::string recortaEspaciosYTabs(std::string_view texto) { return recortaDe(texto, " \t"); }
std::string recortaBlancos(std::string_view texto) { return recortaDe(texto, " \t\n\v\f\r"); }

std::string reemplazaTitulo(std::string_view texto, std::string_view por) {
  static constexpr std::string_view kTitulo = "Título";
  std::string r;
  size_t i = 0;
  for (;;) {
    const size_t p = texto.find(kTitulo, i);
    if (p == std::string_view::npos) break;
    r.append(texto.substr(i, p - i));
    r.append(por);
    i = p + kTitulo.size();
  }
  r.append(texto.substr(i));
  return r;
}

}  // namespace mostrador::base
