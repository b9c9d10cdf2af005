#pragma once
// Readers of the initialisation file, of the current company's configuration lines and
// of the small per-station files of the system directory. Files are read on each call,
// never held open or cached: another screen or station may have rewritten them.

#include <optional>
#include <string>
#include <string_view>

#include "base/interaccion.h"

namespace mostrador::base {

inline constexpr std::string_view kArchivoInicio = "c:\\TVK\\talvek.ini";

class LectorConfiguracion {
 public:
  explicit LectorConfiguracion(Interaccion& ui, std::string archivoInicio = std::string(kArchivoInicio));

  const std::string& archivoInicio() const { return archivoInicio_; }

  // Line 1 of the initialisation file. When the file is missing it is created (with its
  // folder) holding one line, the current directory, which is then returned.
  std::string directorioSistema() const;

  // Line 2 of the initialisation file, the current company's configuration file. When
  // the initialisation file is missing: "El Archivo de Inicio No Existe Revise su
  // configuración" and nullopt.
  std::optional<std::string> archivoConfiguracion() const;

  // Configuration line n (1-based; "" when the file is shorter). When the configuration
  // file is missing: "El Archivo " + its path + " No Existe" and nullopt, so that the
  // caller's value stays as it was.
  std::optional<std::string> linea(int n) const;
  // Only an exact "S" is on.
  bool activa(int n) const { return linea(n) == "S"; }

  // Line n of "<system directory>\<nombre>"; when missing: "El Archivo " + nombre +
  // " No Existe" (the name as given, without the directory) and nullopt.
  std::optional<std::string> lineaSistema(std::string_view nombre, int n) const;

 private:
  Interaccion& ui_;
  std::string archivoInicio_;
};

}  // namespace mostrador::base
