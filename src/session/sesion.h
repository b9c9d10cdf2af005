#pragma once
// The session: who works where. The program (app/) builds one at start-up, sets the
// company's directories and the user at sign-in, and hands it to every screen it opens
// and to the command line's commands, so that none of them re-reads the station's files
// or puts these pieces together again.
//
// What it holds: the Interaccion, the clock and the process starter of the run; the
// station's companion-program table (read once, from the "mostrador.ini" beside the
// initialisation file); the configuration reader over that initialisation file; the
// system and data directories and the signed-in user number.

#include <optional>
#include <string>
#include <string_view>

#include "base/interaccion.h"
#include "base/lectores.h"
#include "base/programas.h"
#include "base/reloj.h"

namespace mostrador::session {

class Sesion {
 public:
  // ui, reloj and procesos must outlive the session.
  Sesion(base::Interaccion& ui, const base::Reloj& reloj, base::Procesos& procesos,
         std::string archivoInicio = std::string(base::kArchivoInicio));
  // With a programs table of the caller's instead of the station's (it must outlive the
  // session; later changes to it are seen).
  Sesion(base::Interaccion& ui, const base::Reloj& reloj, base::Procesos& procesos,
         const base::TablaProgramas& programas, std::string archivoInicio = std::string(base::kArchivoInicio));
  Sesion(const Sesion&) = delete;
  Sesion& operator=(const Sesion&) = delete;

  base::Interaccion& ui() const { return ui_; }
  const base::Reloj& reloj() const { return reloj_; }
  base::Procesos& procesos() const { return procesos_; }
  const base::TablaProgramas& programas() const { return *programas_; }
  const base::LectorConfiguracion& configuracion() const { return configuracion_; }
  const std::string& archivoInicio() const { return configuracion_.archivoInicio(); }

  const std::string& directorioSistema() const { return sistema_; }
  const std::string& directorioDatos() const { return datos_; }
  // The signed-in user's number as the screens hold it ("0" is the administrator).
  const std::string& usuario() const { return usuario_; }
  void ponDirectorios(std::string sistema, std::string datos);
  void ponUsuario(std::string numero) { usuario_ = std::move(numero); }

  // The name of the user whose number is that decimal text, from the users file of the
  // system directory; "" for an unknown user or a text that is not a number.
  std::string nombreUsuario(std::string_view numero) const;

  // A companion program by its Windows name, through the station's table. When it does
  // not start, its message (if any) is shown. The outcome is returned either way.
  base::ResultadoPrograma ejecuta(std::string_view programa, std::string_view parametros = {},
                                  std::string_view directorio = {}, bool espera = false) const;

 private:
  base::Interaccion& ui_;
  const base::Reloj& reloj_;
  base::Procesos& procesos_;
  std::optional<base::TablaProgramas> propia_;
  const base::TablaProgramas* programas_;
  base::LectorConfiguracion configuracion_;
  std::string sistema_, datos_, usuario_;
};

}  // namespace mostrador::session
