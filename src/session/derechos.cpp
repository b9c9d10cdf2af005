#include "session/derechos.h"

#include <charconv>

#include "base/rutas.h"
#include "session/usuarios.h"

namespace mostrador::session {
namespace {

struct Lectura {
  Derecho estado = Derecho::Negado;
  std::string letras;  // the rights string as stored
};

Lectura leeDerechos(std::string_view directorioSistema, std::string_view usuario) {
  long n = 0;
  auto [p, ec] = std::from_chars(usuario.data(), usuario.data() + usuario.size(), n);
  const bool esNumero = !usuario.empty() && ec == std::errc() && p == usuario.data() + usuario.size();
  if (!base::existe(archivoUsuarios(directorioSistema))) return {Derecho::SinArchivo, {}};
  const long cuenta = cuentaUsuarios(directorioSistema);
  if (!esNumero || n < 0 || n == cuenta) return {Derecho::UsuarioNoValido, {}};
  if (n > cuenta) return {Derecho::Ausente, {}};
  auto u = leeUsuario(directorioSistema, n);
  if (!u) return {Derecho::UsuarioNoValido, {}};
  return {Derecho::Concedido, u->derechos};
}

char letra(const std::string& letras, int derecho) {
  if (derecho < 1 || static_cast<size_t>(derecho) > letras.size()) return '\0';
  return letras[static_cast<size_t>(derecho - 1)];
}

Derecho avisa(base::Interaccion& ui, Derecho d, bool conNegativa) {
  switch (d) {
    case Derecho::SinArchivo: ui.mensaje(kSinArchivoUsuarios); break;
    case Derecho::UsuarioNoValido: ui.mensaje(kUsuarioNoValido); break;
    case Derecho::Negado:
      if (conNegativa) ui.mensaje(kSinAcceso);
      break;
    case Derecho::Ausente:
    case Derecho::Concedido: break;
  }
  return d;
}

}  // namespace

Derecho evaluaDerecho(std::string_view directorioSistema, std::string_view usuario, int derecho) {
  Lectura l = leeDerechos(directorioSistema, usuario);
  if (l.estado != Derecho::Concedido) return l.estado;
  char c = letra(l.letras, derecho);
  // Older files hold upper-case letters; the check does not mind.
  return (c == 's' || c == 'S') ? Derecho::Concedido : Derecho::Negado;
}

bool checaDerecho(base::Interaccion& ui, std::string_view directorioSistema, std::string_view usuario,
                  int derecho) {
  return avisa(ui, evaluaDerecho(directorioSistema, usuario, derecho), true) == Derecho::Concedido;
}

bool checaDerechoSilencioso(base::Interaccion& ui, std::string_view directorioSistema,
                            std::string_view usuario, int derecho) {
  return avisa(ui, evaluaDerecho(directorioSistema, usuario, derecho), false) == Derecho::Concedido;
}

std::string letraDerecho(base::Interaccion& ui, std::string_view directorioSistema,
                         std::string_view usuario, int derecho) {
  Lectura l = leeDerechos(directorioSistema, usuario);
  if (l.estado == Derecho::SinArchivo) ui.mensaje(kSinArchivoUsuarios);
  if (l.estado != Derecho::Concedido) return "n";
  return letra(l.letras, derecho) == 's' ? "s" : "n";
}

base::RespuestaAdministrador pideClaveAdministrador(base::Interaccion& ui) { return ui.administrador(); }

bool confirmacionAdministrador(base::Interaccion& ui) {
  return pideClaveAdministrador(ui).resultado == base::RespuestaAdministrador::Administrador;
}

Autorizacion autorizaPortador(base::Interaccion& ui, std::string_view directorioSistema,
                              std::string_view directorioDatos, int derecho,
                              bool administradorPasa) {
  Autorizacion a;
  a.respuesta = pideClaveAdministrador(ui);
  if (a.respuesta.resultado == base::RespuestaAdministrador::Cancelada) return a;
  if (administradorPasa && a.respuesta.resultado == base::RespuestaAdministrador::Administrador) {
    a.dueno = 0;
    a.concedida = true;
    return a;
  }
  // The dialog vouched for the administrator's key even if it did not hand it over.
  const bool deAdministrador =
      a.respuesta.resultado == base::RespuestaAdministrador::Administrador && a.respuesta.clave.empty();
  a.dueno = deAdministrador
                ? 0
                : usuarioPorClave(ui, directorioSistema, directorioDatos, a.respuesta.clave);
  if (a.dueno < 0) return a;
  a.concedida = checaDerechoSilencioso(ui, directorioSistema, std::to_string(a.dueno), derecho);
  return a;
}

}  // namespace mostrador::session
