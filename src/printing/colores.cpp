#include "printing/colores.h"

#include <cstdlib>
#include <string>
#include <utility>

#include "printing/texto_formato.h"

namespace mostrador::printing {

std::optional<Color> colorPorNombre(std::string_view n) {
  if (n == "rojo") return Color{255, 0, 0};
  if (n == "azul") return Color{0, 0, 255};
  if (n == "verde") return Color{0, 128, 0};
  if (n == "amarillo") return Color{255, 255, 0};
  if (n == "negro") return kNegro;
  if (n == "blanco") return kBlanco;
  return std::nullopt;
}

namespace {

Color desdeBgr(unsigned long v) {
  return Color{static_cast<uint8_t>(v & 0xFF), static_cast<uint8_t>((v >> 8) & 0xFF),
               static_cast<uint8_t>((v >> 16) & 0xFF)};
}

// The sixteen basic constants and the usual named extras.
constexpr std::pair<std::string_view, unsigned long> kConstantes[] = {
    {"clblack", 0x000000},   {"clmaroon", 0x000080},     {"clgreen", 0x008000},
    {"clolive", 0x008080},   {"clnavy", 0x800000},       {"clpurple", 0x800080},
    {"clteal", 0x808000},    {"clgray", 0x808080},       {"clsilver", 0xC0C0C0},
    {"clred", 0x0000FF},     {"cllime", 0x00FF00},       {"clyellow", 0x00FFFF},
    {"clblue", 0xFF0000},    {"clfuchsia", 0xFF00FF},    {"claqua", 0xFFFF00},
    {"clwhite", 0xFFFFFF},   {"clmoneygreen", 0xC0DCC0}, {"clskyblue", 0xF0CAA6},
    {"clcream", 0xF0FBFF},   {"clmedgray", 0xA4A0A0},    {"clltgray", 0xC0C0C0},
    {"cldkgray", 0x808080},  {"clwindow", 0xFFFFFF},     {"clbtnface", 0xF0F0F0},
    {"clwindowtext", 0x000000}, {"clnone", 0xFFFFFF},    {"cldefault", 0xFFFFFF},
};

}  // namespace

std::optional<Color> colorConstante(std::string_view texto) {
  std::string t = quitaBlancos(texto);
  std::string m = minusculas(t);
  for (const auto& [nombre, valor] : kConstantes)
    if (m == nombre) return desdeBgr(valor);
  if (t.size() > 1 && t[0] == '$') {
    char* fin = nullptr;
    unsigned long v = std::strtoul(t.c_str() + 1, &fin, 16);
    if (*fin == '\0') return desdeBgr(v);
    return std::nullopt;
  }
  if (auto v = comoNumero(t); v && *v >= 0 && *v == static_cast<double>(static_cast<unsigned long>(*v)))
    return desdeBgr(static_cast<unsigned long>(*v));
  return std::nullopt;
}

}  // namespace mostrador::printing
