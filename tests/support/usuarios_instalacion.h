#pragma once
// A small installation on real files for the shell tests: the system directory
// "C:\TVK\Sistema" holding the users file and company files, and a data directory per
// company "C:\TVK\Datos<N>".

#include <string>
#include <vector>

#include "session/configuracion.h"
#include "base/rutas.h"
#include "base/texto.h"
#include "session/usuarios.h"

namespace mostrador::prueba {

// Rights letters: "s" at each listed right, "n" elsewhere, 55 letters.
inline std::string derechosCon(std::initializer_list<int> concedidos) {
  std::string r(session::kDerechosPagina, 'n');
  for (int d : concedidos) r[static_cast<size_t>(d - 1)] = 's';
  return r;
}

struct InstalacionPrueba {
  std::string sistema = "C:\\TVK\\Sistema";

  std::string datos(int empresa = 1) const { return "C:\\TVK\\Datos" + std::to_string(empresa); }

  // Users 0.. in order; each gets its position as number.
  void usuarios(const std::vector<session::Usuario>& us) const {
    base::creaDirectorios(sistema);
    session::escribeUsuarios(sistema, us);
  }

  // The administrator "Administrador" / "admin" with every right, a cashier "Cajero" /
  // "caja" with the sales rights and a clerk "Almacen" / "alma" with the stock ones.
  void usuariosTipicos() const {
    usuarios({session::administradorInicial("Administrador", "admin"),
              {1, "Cajero", "caja", derechosCon({4, 20, 44, 53})},
              {2, "Almacen", "alma", derechosCon({5, 8, 9, 23, 32, 33, 34, 35, 45})}});
  }

  // "Gener<N>.cnf" in the system directory with the defaults, changed as asked.
  void empresa(int n, const std::string& nombre,
               const std::vector<std::pair<int, std::string>>& cambios = {}) const {
    auto lineas = session::configuracionPorOmision(datos(n), nombre);
    for (const auto& [linea, valor] : cambios) lineas[static_cast<size_t>(linea - 1)] = valor;
    base::creaDirectorios(sistema);
    base::creaDirectorios(datos(n));
    base::escribeLineas(session::archivoConfiguracion(sistema, n), lineas);
  }

  // The initialisation file naming this system directory and company N.
  void inicio(int n = 1) const {
    base::escribeLineas("c:\\TVK\\talvek.ini",
                         {sistema, session::archivoConfiguracion(sistema, n), ""});
  }
};

}  // namespace mostrador::prueba
