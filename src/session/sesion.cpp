#include "session/sesion.h"

#include <cstdlib>

#include "session/usuarios.h"

namespace mostrador::session {

Sesion::Sesion(base::Interaccion& ui, const base::Reloj& reloj, base::Procesos& procesos,
               std::string archivoInicio)
    : ui_(ui),
      reloj_(reloj),
      procesos_(procesos),
      propia_(base::TablaProgramas::deEstacion(archivoInicio)),
      programas_(&*propia_),
      configuracion_(ui, std::move(archivoInicio)) {}

Sesion::Sesion(base::Interaccion& ui, const base::Reloj& reloj, base::Procesos& procesos,
               const base::TablaProgramas& programas, std::string archivoInicio)
    : ui_(ui),
      reloj_(reloj),
      procesos_(procesos),
      programas_(&programas),
      configuracion_(ui, std::move(archivoInicio)) {}

void Sesion::ponDirectorios(std::string sistema, std::string datos) {
  sistema_ = std::move(sistema);
  datos_ = std::move(datos);
}

std::string Sesion::nombreUsuario(std::string_view numero) const {
  // strtol's reading, as the format items have always been resolved: leading blanks and a
  // sign pass, anything after the digits does not.
  const std::string t(numero);
  char* fin = nullptr;
  const long k = std::strtol(t.c_str(), &fin, 10);
  if (t.empty() || !fin || *fin) return {};
  auto u = leeUsuario(sistema_, k);
  return u ? u->nombre : std::string();
}

base::ResultadoPrograma Sesion::ejecuta(std::string_view programa, std::string_view parametros,
                                        std::string_view directorio, bool espera) const {
  base::ResultadoPrograma r = programas_->inicia(procesos_, programa, parametros, directorio, espera);
  if (!r.iniciado && !r.mensaje.empty()) ui_.mensaje(r.mensaje);
  return r;
}

}  // namespace mostrador::session
