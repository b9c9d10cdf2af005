#include "base/texto.h"

#include <array>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "base/rutas.h"

namespace mostrador::base {
namespace {

// Code points of bytes 0x80-0x9F in Windows-1252 (undefined bytes keep their value).
constexpr std::array<char32_t, 32> kAlto = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void ponUtf8(std::string& s, char32_t c) {
  if (c < 0x80) {
    s.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    s.push_back(static_cast<char>(0xC0 | (c >> 6)));
    s.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    s.push_back(static_cast<char>(0xE0 | (c >> 12)));
    s.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    s.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

// Decodes one UTF-8 character at i (advancing i); malformed bytes decode as themselves
// read as Windows-1252, so text that was never UTF-8 survives.
char32_t tomaUtf8(std::string_view s, size_t& i) {
  unsigned char c = static_cast<unsigned char>(s[i]);
  auto cont = [&](size_t k) {
    return i + k < s.size() && (static_cast<unsigned char>(s[i + k]) & 0xC0) == 0x80;
  };
  if (c < 0x80) {
    ++i;
    return c;
  }
  if ((c & 0xE0) == 0xC0 && cont(1)) {
    char32_t r = ((c & 0x1F) << 6) | (static_cast<unsigned char>(s[i + 1]) & 0x3F);
    i += 2;
    return r;
  }
  if ((c & 0xF0) == 0xE0 && cont(1) && cont(2)) {
    char32_t r = ((c & 0x0F) << 12) | ((static_cast<unsigned char>(s[i + 1]) & 0x3F) << 6) |
                 (static_cast<unsigned char>(s[i + 2]) & 0x3F);
    i += 3;
    return r;
  }
  if ((c & 0xF8) == 0xF0 && cont(1) && cont(2) && cont(3)) {
    i += 4;
    return U'?';
  }
  ++i;
  return c >= 0xA0 ? c : kAlto[c - 0x80];
}

int aByte(char32_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<int>(c);
  for (size_t k = 0; k < kAlto.size(); ++k)
    if (kAlto[k] == c) return static_cast<int>(0x80 + k);
  return -1;
}

}  // namespace

std::string aUtf8(std::string_view cp1252) {
  std::string r;
  r.reserve(cp1252.size() + cp1252.size() / 8);
  for (char ch : cp1252) {
    unsigned char c = static_cast<unsigned char>(ch);
    if (c < 0x80)
      r.push_back(ch);
    else
      ponUtf8(r, c >= 0xA0 ? c : kAlto[c - 0x80]);
  }
  return r;
}

std::string aCp1252(std::string_view utf8) {
  std::string r;
  r.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    if (static_cast<unsigned char>(utf8[i]) < 0x80) {
      r.push_back(utf8[i++]);
      continue;
    }
    int b = aByte(tomaUtf8(utf8, i));
    r.push_back(b < 0 ? '?' : static_cast<char>(b));
  }
  return r;
}

size_t anchoCp1252(std::string_view utf8) {
  size_t n = 0;
  for (size_t i = 0; i < utf8.size(); ++n) tomaUtf8(utf8, i);
  return n;
}

std::string cortaCp1252(std::string_view utf8, size_t n) {
  size_t i = 0;
  for (size_t k = 0; k < n && i < utf8.size(); ++k) tomaUtf8(utf8, i);
  return std::string(utf8.substr(0, i));
}

std::vector<std::string> divideLineas(std::string_view texto) {
  std::vector<std::string> r;
  std::string actual;
  for (size_t i = 0; i < texto.size(); ++i) {
    char c = texto[i];
    if (c == '\r' || c == '\n') {
      r.push_back(std::move(actual));
      actual.clear();
      if (c == '\r' && i + 1 < texto.size() && texto[i + 1] == '\n') ++i;
    } else {
      actual.push_back(c);
    }
  }
  if (!actual.empty()) r.push_back(std::move(actual));
  return r;
}

std::optional<std::string> leeBytes(std::string_view ruta) {
  std::ifstream f(resuelve(ruta), std::ios::binary);
  if (!f) return std::nullopt;
  std::ostringstream o;
  o << f.rdbuf();
  return o.str();
}

std::optional<std::vector<std::string>> leeLineas(std::string_view ruta) {
  auto bytes = leeBytes(ruta);
  if (!bytes) return std::nullopt;
  return divideLineas(aUtf8(*bytes));
}

std::optional<std::string> leeLinea(std::string_view ruta, int n) {
  auto lineas = leeLineas(ruta);
  if (!lineas) return std::nullopt;
  if (n < 1 || static_cast<size_t>(n) > lineas->size()) return std::string();
  return (*lineas)[static_cast<size_t>(n) - 1];
}

bool escribeBytes(std::string_view ruta, std::string_view bytes) {
  std::ofstream f(resuelve(ruta), std::ios::binary | std::ios::trunc);
  if (!f) return false;
  f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(f.flush());
}

bool escribeLineas(std::string_view ruta, const std::vector<std::string>& lineas) {
  std::string todo;
  for (const auto& l : lineas) {
    todo += aCp1252(l);
    todo += "\r\n";
  }
  return escribeBytes(ruta, todo);
}

bool agregaLinea(std::string_view ruta, std::string_view linea) {
  std::ofstream f(resuelve(ruta), std::ios::binary | std::ios::app);
  if (!f) return false;
  std::string b = aCp1252(linea) + "\r\n";
  f.write(b.data(), static_cast<std::streamsize>(b.size()));
  return static_cast<bool>(f.flush());
}

}  // namespace mostrador::base
