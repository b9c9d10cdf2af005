#include "store/bitacora_motor.h"

#include "base/bitacora.h"
#include "base/reloj.h"
#include "store/dbf/journal.h"

namespace mostrador::store {
namespace {

std::string& directorio() {
  static std::string d;
  return d;
}

void anota(const std::string& linea) {
  if (directorio().empty()) return;
  base::RelojSistema reloj;
  const base::FechaHora a = reloj.ahora();
  char cuando[32];
  std::snprintf(cuando, sizeof cuando, "%02d/%02d/%04d %02d:%02d:%02d ", a.fecha.dia, a.fecha.mes, a.fecha.anio,
                a.hora.hora, a.hora.minuto, a.hora.segundo);
  base::Bitacora(directorio()).escribe(cuando + linea);
}

}  // namespace

void registraEventosDelMotor(const std::string& dirSistema) {
  directorio() = dirSistema;
  dbf::journal::setLogSink(anota);
}

}  // namespace mostrador::store
