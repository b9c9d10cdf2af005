// The control stamp and movement references: kept apart from the numbering code, which
// needs the table engine, so that they link without it.
#include <ctime>

#include "store/numeracion.h"

namespace mostrador::store {

int selloControl(int hora, int minuto, int segundo, int milisegundo) {
  const long long ms = ((hora * 60LL + minuto) * 60 + segundo) * 1000 + milisegundo;
  // 86 400 000 ms / 100 000 = 864 ms per unit: the integer division is exact.
  return static_cast<int>(ms / 864);
}

int selloControl(const Reloj& reloj) {
  const auto ahora = reloj();
  const std::time_t t = std::chrono::system_clock::to_time_t(ahora);
  std::tm local{};
  localtime_r(&t, &local);
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(ahora.time_since_epoch()).count() % 1000;
  return selloControl(local.tm_hour, local.tm_min, local.tm_sec, static_cast<int>(ms < 0 ? ms + 1000 : ms));
}

std::string referenciaMovimiento(char letra, long long numero, long long sello) {
  return std::string(1, letra) + std::to_string(numero) + "-" + std::to_string(sello);
}

}  // namespace mostrador::store
