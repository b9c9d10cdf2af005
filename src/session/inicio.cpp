#include "session/inicio.h"

#include <filesystem>

#include "base/interaccion.h"
#include "base/rutas.h"
#include "base/texto.h"

namespace mostrador::session {

std::string directorioActual() {
  std::error_code ec;
  return std::filesystem::current_path(ec).string();
}

bool escribeInicio(std::string_view directorioInicio, std::string_view archivoEmpresa) {
  if (!base::esDirectorio(kCarpetaInicio)) base::creaDirectorios(kCarpetaInicio);
  return base::escribeLineas(base::kArchivoInicio,
                       {std::string(directorioInicio), std::string(archivoEmpresa), ""});
}

LectorEmpresa::LectorEmpresa(std::string directorioInicio) : inicio_(std::move(directorioInicio)) {}

std::string LectorEmpresa::archivo(int empresa) const {
  return base::une(inicio_, "Gener" + std::to_string(empresa) + ".cnf");
}

bool LectorEmpresa::existeEmpresa(int empresa) const {
  const std::string a = archivo(empresa);
  return base::existe(a) && !base::esDirectorio(a);
}

std::optional<std::string> LectorEmpresa::linea(base::Interaccion& ui, int empresa, int n) const {
  const std::string a = archivo(empresa);
  auto lineas = existeEmpresa(empresa) ? base::leeLineas(a) : std::nullopt;
  if (!lineas) {
    ui.mensaje("La Empresa No Existe  " + a);
    return std::nullopt;
  }
  escribeInicio(inicio_, a);
  const size_t i = static_cast<size_t>(n - 1);
  return n >= 1 && i < lineas->size() ? (*lineas)[i] : std::string();
}

}  // namespace mostrador::session
