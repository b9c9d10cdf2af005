#include "shell/rapida.h"

#include "base/rutas.h"
#include "base/texto.h"

namespace mostrador::shell {

std::optional<std::string> leeRapida(std::string_view directorioSistema) {
  const std::string ruta = base::une(directorioSistema, "rapida.cnf");
  if (!base::existe(ruta)) return std::nullopt;
  return base::leeLinea(ruta, 1);
}

OpcionesRapidas opcionesDeRapida(std::string_view linea1) {
  OpcionesRapidas o;
  o.capturaRapida = linea1 == "S";
  o.documentos = linea1 == "T";
  return o;
}

bool guardaRapida(std::string_view directorioSistema, const OpcionesRapidas& o) {
  const char* primera = o.capturaRapida ? "S" : o.documentos ? "T" : "N";
  return base::escribeLineas(base::une(directorioSistema, "Rapida.cnf"),
                       {primera, o.servidorHorario ? "S" : "N", o.actualizarFecha ? "S" : "N"});
}

}  // namespace mostrador::shell
