#include "inventory/consulta_productos.h"

#include <algorithm>

namespace mostrador::inventory {
namespace {

char mayuscula(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }

}  // namespace

bool contieneSinMayusculas(std::string_view donde, std::string_view texto) {
  if (texto.empty()) return true;
  auto it = std::search(donde.begin(), donde.end(), texto.begin(), texto.end(),
                        [](char a, char b) { return mayuscula(a) == mayuscula(b); });
  return it != donde.end();
}

FiltroProducto filtroDescripcion(std::string_view texto) {
  // The field's position is looked up once per table the filter meets.
  return [t = std::string(texto), campo = -1, tabla = static_cast<const dbf::Cursor*>(nullptr)](
             const dbf::Cursor& c) mutable {
    if (tabla != &c) {
      campo = c.requireField("DSCPR_I");
      tabla = &c;
    }
    return contieneSinMayusculas(c.asText(campo), t);
  };
}

}  // namespace mostrador::inventory
