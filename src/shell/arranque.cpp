#include "shell/arranque.h"

#include "shell/configuracion.h"
#include "shell/lectores.h"
#include "shell/rutas.h"
#include "shell/texto.h"

namespace mostrador::shell {
namespace {

std::string derechos(std::initializer_list<int> concedidos) {
  std::string r(kDerechosPagina, 'n');
  for (int d : concedidos) r[static_cast<size_t>(d - 1)] = 's';
  return r;
}

bool tieneEmpresas(std::string_view sistema) {
  return !sistema.empty() && esDirectorio(sistema) && !lista(sistema, "Gener*.cnf").empty();
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

std::vector<Usuario> usuariosDemo() {
  return {administradorInicial("Administrador", kClaveAdministradorDemo),
          {1, "Cajero", "caja", derechos({1, 4, 6, 11, 13, 20, 44, 53})},
          {2, "Almacenista", "almacen",
           derechos({3, 5, 7, 8, 9, 17, 18, 19, 23, 25, 32, 33, 34, 35, 45})}};
}

Instalacion preparaInstalacion(const CreaDatos& creaDatos) {
  Instalacion r;
  if (existe(kArchivoInicio)) {
    const std::string sistema = leeLinea(kArchivoInicio, 1).value_or("");
    if (tieneEmpresas(sistema)) {
      r.sistema = sistema;
      r.datos = leeLinea(archivoConfiguracion(sistema, 1), 8).value_or("");
      return r;
    }
  }
  r.sistema = std::string(kSistemaPorOmision);
  r.datos = une(r.sistema, "Empresa1");
  if (!existe(archivoConfiguracion(r.sistema, 1))) {
    creaDirectorios(r.datos);
    if (creaDatos) creaDatos(r.sistema, r.datos);
    // Written last: the company file and the users are this module's own.
    escribeLineas(archivoConfiguracion(r.sistema, 1),
                  configuracionPorOmision(r.datos, kNombreEmpresaDemo));
    escribeUsuarios(r.sistema, usuariosDemo());
    r.nueva = true;
  } else {
    r.datos = leeLinea(archivoConfiguracion(r.sistema, 1), 8).value_or(r.datos);
  }
  // An initialisation file naming nothing usable is started afresh by the first start.
  if (existe(kArchivoInicio)) borra(kArchivoInicio);
  return r;
}

}  // namespace mostrador::shell
