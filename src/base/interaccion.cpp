#include "base/interaccion.h"

#include <ostream>

namespace mostrador::base {

bool numeroValido(std::string_view texto) {
  if (texto.empty()) return false;
  for (char c : texto)
    if ((c < '0' || c > '9') && c != '.') return false;
  return true;
}

void InteraccionSinUsuario::mensaje(std::string_view texto) {
  if (salida_) *salida_ << texto << '\n';
}

}  // namespace mostrador::base
