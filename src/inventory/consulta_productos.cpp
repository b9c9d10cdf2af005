#include "inventory/consulta_productos.h"

#include <algorithm>

#include "base/texto_util.h"

namespace mostrador::inventory {

bool contieneSinMayusculas(std::string_view donde, std::string_view texto) {
  if (texto.empty()) return true;
  auto it = std::search(donde.begin(), donde.end(), texto.begin(), texto.end(),
                        [](char a, char b) { return base::mayuscula(a) == base::mayuscula(b); });
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
