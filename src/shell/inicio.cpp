#include "shell/inicio.h"

#include <filesystem>

#include "shell/interaccion.h"
#include "shell/rutas.h"
#include "shell/texto.h"

namespace mostrador::shell {

std::string directorioActual() {
  std::error_code ec;
  return std::filesystem::current_path(ec).string();
}

bool escribeInicio(std::string_view directorioInicio, std::string_view archivoEmpresa) {
  if (!esDirectorio(kCarpetaInicio)) creaDirectorios(kCarpetaInicio);
  return escribeLineas(kArchivoInicio,
                       {std::string(directorioInicio), std::string(archivoEmpresa), ""});
}

LectorEmpresa::LectorEmpresa(std::string directorioInicio) : inicio_(std::move(directorioInicio)) {}

std::string LectorEmpresa::archivo(int empresa) const {
  return une(inicio_, "Gener" + std::to_string(empresa) + ".cnf");
}

bool LectorEmpresa::existeEmpresa(int empresa) const {
  const std::string a = archivo(empresa);
  return existe(a) && !esDirectorio(a);
}

std::optional<std::string> LectorEmpresa::linea(Interaccion& ui, int empresa, int n) const {
  const std::string a = archivo(empresa);
  auto lineas = existeEmpresa(empresa) ? leeLineas(a) : std::nullopt;
  if (!lineas) {
    ui.mensaje("La Empresa No Existe  " + a);
    return std::nullopt;
  }
  escribeInicio(inicio_, a);
  const size_t i = static_cast<size_t>(n - 1);
  return n >= 1 && i < lineas->size() ? (*lineas)[i] : std::string();
}

}  // namespace mostrador::shell
