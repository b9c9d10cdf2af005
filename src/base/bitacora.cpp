#include "base/bitacora.h"

#include <filesystem>
#include <stdexcept>

#include "base/fechas.h"
#include "base/rutas.h"
#include "base/texto.h"

namespace mostrador::base {

Bitacora::Bitacora(std::string directorioSistema) : directorio_(std::move(directorioSistema)) {}

std::string Bitacora::ruta() const { return une(directorio_, "Bitacora.txt"); }

bool Bitacora::escribe(std::string_view linea) const { return agregaLinea(ruta(), linea); }

bool Bitacora::escribeLimitada(std::string_view linea) const {
  std::error_code ec;
  const auto local = resuelve(ruta());
  const auto tamano = std::filesystem::file_size(local, ec);
  if (!ec && tamano > static_cast<std::uintmax_t>(kTopeBitacora)) borra(ruta());
  return escribe(linea);
}

std::string lineaErrorApertura(std::string_view tabla, const FechaHora& ahora) {
  return "Error Apertura " + std::string(tabla) + " " + horaTexto(ahora.hora) + " " + fechaHoraTexto(ahora);
}

std::string lineaIngreso(std::string_view usuario, std::string_view titulo, const FechaHora& ahora) {
  return "Ingreso Usuario " + (usuario.empty() ? std::string("-") : std::string(usuario)) + " (" +
         std::string(titulo) + ") " + horaTexto(ahora.hora) + " " + fechaHoraTexto(ahora);
}

bool abreRegistrando(const std::function<void()>& abre, std::string_view tabla, const Bitacora& bitacora,
                     const Reloj& reloj) {
  try {
    abre();
    return true;
  } catch (const std::exception&) {
    // The cause is not shown: the screen reports the closed table its own way.
    bitacora.escribeLimitada(lineaErrorApertura(tabla, reloj.ahora()));
    return false;
  }
}

}  // namespace mostrador::base
