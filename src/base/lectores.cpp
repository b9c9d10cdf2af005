#include "base/lectores.h"

#include <filesystem>

#include "base/rutas.h"
#include "base/texto.h"

namespace mostrador::base {

LectorConfiguracion::LectorConfiguracion(Interaccion& ui, std::string archivoInicio)
    : ui_(ui), archivoInicio_(std::move(archivoInicio)) {}

std::string LectorConfiguracion::directorioSistema() const {
  if (!existe(archivoInicio_)) {
    const size_t barra = archivoInicio_.find_last_of("\\/");
    if (barra != std::string::npos) creaDirectorios(archivoInicio_.substr(0, barra));
    std::error_code ec;
    escribeLineas(archivoInicio_, {std::filesystem::current_path(ec).string()});
  }
  return leeLinea(archivoInicio_, 1).value_or(std::string());
}

std::optional<std::string> LectorConfiguracion::archivoConfiguracion() const {
  if (!existe(archivoInicio_)) {
    ui_.mensaje("El Archivo de Inicio No Existe Revise su configuración");
    return std::nullopt;
  }
  return leeLinea(archivoInicio_, 2);
}

std::optional<std::string> LectorConfiguracion::linea(int n) const {
  const auto archivo = archivoConfiguracion();
  if (!archivo) return std::nullopt;
  if (archivo->empty() || !existe(*archivo) || esDirectorio(*archivo)) {
    ui_.mensaje("El Archivo " + *archivo + " No Existe");
    return std::nullopt;
  }
  return leeLinea(*archivo, n);
}

std::optional<std::string> LectorConfiguracion::lineaSistema(std::string_view nombre, int n) const {
  const std::string ruta = une(directorioSistema(), nombre);
  if (!existe(ruta) || esDirectorio(ruta)) {
    ui_.mensaje("El Archivo " + std::string(nombre) + " No Existe");
    return std::nullopt;
  }
  return leeLinea(ruta, n);
}

}  // namespace mostrador::base
