#include "shell/arranque.h"

#include "session/configuracion.h"
#include "base/lectores.h"
#include "base/rutas.h"
#include "base/texto.h"

namespace mostrador::shell {
namespace {

std::string derechos(std::initializer_list<int> concedidos) {
  std::string r(session::kDerechosPagina, 'n');
  for (int d : concedidos) r[static_cast<size_t>(d - 1)] = 's';
  return r;
}

bool tieneEmpresas(std::string_view sistema) {
  return !sistema.empty() && base::esDirectorio(sistema) && !base::lista(sistema, "Gener*.cnf").empty();
}

}  // namespace

const std::vector<std::string_view>& residentes() {
  static const std::vector<std::string_view> r{
      "TFormaPrincipal",     "TFormaEmpresas",        "TFormaCompras",
      "TFormaInventario",    "TFormaConProduct",      "TFormaProveedo",
      "TFormaProgreso",      "TFormaGlyp",            "TFormaCalculaxPrecio",
      "TFormaConsultaCuePagar", "TFormaClientes",     "TFormaCxPDetalle"};
  return r;
}

std::vector<session::Usuario> usuariosDemo() {
  return {session::administradorInicial("Administrador", kClaveAdministradorDemo),
          {1, "Cajero", "caja", derechos({1, 4, 6, 11, 13, 20, 44, 53})},
          {2, "Almacenista", "almacen",
           derechos({3, 5, 7, 8, 9, 17, 18, 19, 23, 25, 32, 33, 34, 35, 45})}};
}

Instalacion preparaInstalacion(const CreaDatos& creaDatos) {
  Instalacion r;
  if (base::existe(base::kArchivoInicio)) {
    const std::string sistema = base::leeLinea(base::kArchivoInicio, 1).value_or("");
    if (tieneEmpresas(sistema)) {
      r.sistema = sistema;
      r.datos = base::leeLinea(session::archivoConfiguracion(sistema, 1), 8).value_or("");
      return r;
    }
  }
  r.sistema = std::string(kSistemaPorOmision);
  r.datos = base::une(r.sistema, "Empresa1");
  if (!base::existe(session::archivoConfiguracion(r.sistema, 1))) {
    base::creaDirectorios(r.datos);
    if (creaDatos) creaDatos(r.sistema, r.datos);
    // Written last: the company file and the users are this module's own.
    base::escribeLineas(session::archivoConfiguracion(r.sistema, 1),
                  session::configuracionPorOmision(r.datos, kNombreEmpresaDemo));
    session::escribeUsuarios(r.sistema, usuariosDemo());
    r.nueva = true;
  } else {
    r.datos = base::leeLinea(session::archivoConfiguracion(r.sistema, 1), 8).value_or(r.datos);
  }
  // An initialisation file naming nothing usable is started afresh by the first start.
  if (base::existe(base::kArchivoInicio)) base::borra(base::kArchivoInicio);
  return r;
}

}  // namespace mostrador::shell
