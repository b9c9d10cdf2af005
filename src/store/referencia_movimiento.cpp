// Movement references: kept apart from the numbering code, which needs the table engine,
// so that they link without it.

#include "store/numeracion.h"

namespace mostrador::store {

std::string referenciaMovimiento(char letra, long long numero, long long sello) {
  return std::string(1, letra) + std::to_string(numero) + "-" + std::to_string(sello);
}

}  // namespace mostrador::store
