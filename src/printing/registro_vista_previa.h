#pragma once
// The preview file "\tempo\format.tmp" and the comments file "\tempo\comentar.tmp":
// fixed-record files (shell/registros_fijos) of 280-byte records, little-endian, each
// string one length byte followed by its Windows-1252 characters, zero-padded.
//
//   OFFSET  SIZE  MEANING
//        0     4  x, signed 32-bit, device units (comments: column)
//        4     4  y, signed 32-bit, device units after row and page offsets
//                 (comments: row)
//        8   151  text, up to 150 characters (box: right edge as text)
//      159     1  padding (zero)
//      160     4  kind and size, signed 32-bit: font size of a text; -1 picture; -2 box
//      164    51  font name, up to 50 (box: pen width as text; picture: bottom edge)
//      215     9  colour name, up to 8 (box: brush colour name)
//      224    26  number format of a "moneda" item, up to 25; empty for plain texts
//                 (box: bottom edge as text; picture: right edge as text)
//      250    26  reserved text, up to 25, written empty
//      276     4  page number, signed 32-bit

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mostrador::printing {

inline constexpr size_t kTamRegistroVistaPrevia = 280;
inline constexpr int32_t kTamanoImagen = -1;
inline constexpr int32_t kTamanoCuadro = -2;

struct RegistroVistaPrevia {
  int32_t x = 0, y = 0;
  std::string texto;      // UTF-8 in memory
  int32_t tamano = 0;
  std::string fuente;
  std::string color;
  std::string formato;
  std::string reservado;
  int32_t pagina = 0;
  friend bool operator==(const RegistroVistaPrevia&, const RegistroVistaPrevia&) = default;
};

std::string codificaRegistro(const RegistroVistaPrevia& r);       // 280 bytes
RegistroVistaPrevia decodificaRegistro(std::string_view bytes);   // at least 280 bytes

// Whole file; empty when missing.
std::vector<RegistroVistaPrevia> leeRegistros(std::string_view ruta);
bool escribeRegistros(std::string_view ruta, const std::vector<RegistroVistaPrevia>& rs);

}  // namespace mostrador::printing
