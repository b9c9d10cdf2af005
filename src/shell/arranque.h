#pragma once
// Where and how the program starts: the station's installation and the order of the
// resident screens.
//
// A station's installation is the system directory the initialisation file names. On a
// machine that has none yet (no initialisation file, or one naming a directory without
// any company file) the program sets up its own in "C:\Mostrador": the company file
// "Gener1.cnf" of a demonstration shop, its data directory "C:\Mostrador\Empresa1" and
// the users file with the administrator, a cashier and a stock clerk. The program then
// runs from the system directory, so that the first start writes it into the
// initialisation file.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "session/usuarios.h"

namespace mostrador::shell {

inline constexpr std::string_view kSistemaPorOmision = "C:\\Mostrador";
inline constexpr std::string_view kNombreEmpresaDemo = "Abarrotes La Esperanza";
inline constexpr std::string_view kClaveAdministradorDemo = "admin";
inline constexpr std::string_view kArchivoAyuda = "C:\\PROYECTO\\ayuda.hlp";

// The resident screens in the order they are created at start-up.
const std::vector<std::string_view>& residentes();

// The demonstration users: 0 "Administrador" key "admin" (every right), 1 "Cajero" key
// "caja" (customers, sales documents and point of sale), 2 "Almacenista" key "almacen"
// (suppliers, purchases, products and movements).
std::vector<session::Usuario> usuariosDemo();

struct Instalacion {
  std::string sistema;  // stored path of the system directory
  std::string datos;    // data directory of company 1 ("" when not known)
  bool nueva = false;   // made by this call
};

// Fills a new company's data directory (tables, indexes) and the system directory's
// scratch tables; given by the layers that own them. May throw std::exception.
using CreaDatos = std::function<void(const std::string& sistema, const std::string& datos)>;

// The installation to run from (see the header comment). creaDatos runs only when the
// installation is new.
Instalacion preparaInstalacion(const CreaDatos& creaDatos);

}  // namespace mostrador::shell
