#pragma once
// Access rights: letter m of a user's rights string, "s" granting right m.
//
// The user number arrives as the decimal text the screens hold in their Usuario label.
// Every check reads the users file of the system directory afresh.
//
//   check          refused with "No Se Tiene Acceso..."; "Usuario no Válido" for a
//                  number equal to the record count, a negative or unreadable one
//   silent check   the same without "No Se Tiene Acceso..."
//   right letter   "s" only for an exact lower-case "s", "n" otherwise, no messages
//
// A number greater than the record count is refused without a message (the record
// simply is not there). The administrator key dialog is used two ways: as an
// administrator confirmation (only the administrator's key passes) and as a key-holder
// authorisation (the owner of the typed key must hold the right).

#include <string>
#include <string_view>

#include "base/interaccion.h"

namespace mostrador::session {

inline constexpr std::string_view kSinAcceso = "No Se Tiene Acceso...";
inline constexpr std::string_view kUsuarioNoValido = "Usuario no Válido";

enum class Derecho {
  Concedido,
  Negado,           // letter not "s", or a right beyond the stored letters
  Ausente,          // a number past the end of the file: refused without a word
  UsuarioNoValido,  // number equal to the record count, negative, not a number, unreadable
  SinArchivo,       // no users file
};

// The rule itself, without messages.
Derecho evaluaDerecho(std::string_view directorioSistema, std::string_view usuario, int derecho);

bool checaDerecho(base::Interaccion& ui, std::string_view directorioSistema, std::string_view usuario,
                  int derecho);
bool checaDerechoSilencioso(base::Interaccion& ui, std::string_view directorioSistema,
                            std::string_view usuario, int derecho);
// "s" or "n".
std::string letraDerecho(base::Interaccion& ui, std::string_view directorioSistema,
                         std::string_view usuario, int derecho);

// The administrator key dialog's answer, for callers that need the typed key too.
base::RespuestaAdministrador pideClaveAdministrador(base::Interaccion& ui);

// Administrator confirmation: only the administrator's key passes.
bool confirmacionAdministrador(base::Interaccion& ui);

// Key-holder authorisation. The dialog is shown; when administradorPasa and the
// administrator's key was typed, it passes at once. Otherwise (cancelling included)
// the typed key's owner is looked up (the company copy of the users file is brought in
// first) and that owner's right decides, silently. A key that belongs to nobody is
// refused.
struct Autorizacion {
  bool concedida = false;
  base::RespuestaAdministrador respuesta;
  int dueno = -1;  // the typed key's owner, -1 when nobody
};
Autorizacion autorizaPortador(base::Interaccion& ui, std::string_view directorioSistema,
                              std::string_view directorioDatos, int derecho,
                              bool administradorPasa);

}  // namespace mostrador::session
