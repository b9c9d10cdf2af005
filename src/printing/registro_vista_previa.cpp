#include "printing/registro_vista_previa.h"

#include <cstring>

#include "shell/texto.h"

namespace mostrador::printing {

namespace {

void poneEntero(std::string& b, size_t o, int32_t v) {
  uint32_t u = static_cast<uint32_t>(v);
  for (int i = 0; i < 4; ++i) b[o + i] = static_cast<char>((u >> (8 * i)) & 0xFF);
}

int32_t leeEntero(std::string_view b, size_t o) {
  uint32_t u = 0;
  for (int i = 0; i < 4; ++i) u |= static_cast<uint32_t>(static_cast<unsigned char>(b[o + i])) << (8 * i);
  return static_cast<int32_t>(u);
}

void poneCadena(std::string& b, size_t o, size_t capacidad, std::string_view utf8) {
  std::string cp = shell::aCp1252(shell::cortaCp1252(utf8, capacidad));
  b[o] = static_cast<char>(cp.size());
  std::memcpy(&b[o + 1], cp.data(), cp.size());
}

std::string leeCadena(std::string_view b, size_t o, size_t capacidad) {
  size_t n = std::min<size_t>(static_cast<unsigned char>(b[o]), capacidad);
  return shell::aUtf8(b.substr(o + 1, n));
}

}  // namespace

std::string codificaRegistro(const RegistroVistaPrevia& r) {
  std::string b(kTamRegistroVistaPrevia, '\0');
  poneEntero(b, 0, r.x);
  poneEntero(b, 4, r.y);
  poneCadena(b, 8, 150, r.texto);
  poneEntero(b, 160, r.tamano);
  poneCadena(b, 164, 50, r.fuente);
  poneCadena(b, 215, 8, r.color);
  poneCadena(b, 224, 25, r.formato);
  poneCadena(b, 250, 25, r.reservado);
  poneEntero(b, 276, r.pagina);
  return b;
}

RegistroVistaPrevia decodificaRegistro(std::string_view b) {
  RegistroVistaPrevia r;
  r.x = leeEntero(b, 0);
  r.y = leeEntero(b, 4);
  r.texto = leeCadena(b, 8, 150);
  r.tamano = leeEntero(b, 160);
  r.fuente = leeCadena(b, 164, 50);
  r.color = leeCadena(b, 215, 8);
  r.formato = leeCadena(b, 224, 25);
  r.reservado = leeCadena(b, 250, 25);
  r.pagina = leeEntero(b, 276);
  return r;
}

std::vector<RegistroVistaPrevia> leeRegistros(std::string_view ruta) {
  std::vector<RegistroVistaPrevia> rs;
  auto bytes = shell::leeBytes(ruta);
  if (!bytes) return rs;
  for (size_t o = 0; o + kTamRegistroVistaPrevia <= bytes->size(); o += kTamRegistroVistaPrevia)
    rs.push_back(decodificaRegistro(std::string_view(*bytes).substr(o, kTamRegistroVistaPrevia)));
  return rs;
}

bool escribeRegistros(std::string_view ruta, const std::vector<RegistroVistaPrevia>& rs) {
  std::string todo;
  todo.reserve(rs.size() * kTamRegistroVistaPrevia);
  for (const auto& r : rs) todo += codificaRegistro(r);
  return shell::escribeBytes(ruta, todo);
}

}  // namespace mostrador::printing
