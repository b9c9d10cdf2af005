#include "shell/interaccion.h"

namespace mostrador::shell {

bool numeroValido(std::string_view texto) {
  if (texto.empty()) return false;
  for (char c : texto)
    if ((c < '0' || c > '9') && c != '.') return false;
  return true;
}

}  // namespace mostrador::shell
