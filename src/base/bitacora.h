#pragma once
// The station's log "<system directory>\Bitacora.txt": one event per line, appended,
// no levels, no locking (lines of other stations may interleave).

#include <functional>
#include <string>
#include <string_view>

#include "base/reloj.h"

namespace mostrador::base {

inline constexpr long long kTopeBitacora = 1000000;  // bytes

class Bitacora {
 public:
  explicit Bitacora(std::string directorioSistema);

  std::string ruta() const;  // stored path of the log
  // Appends the line, creating the file when missing (maintenance events).
  bool escribe(std::string_view linea) const;
  // Deletes the log first when it is larger than kTopeBitacora bytes (table-open
  // failures, which can repeat at every start and must not fill the disk).
  bool escribeLimitada(std::string_view linea) const;

 private:
  std::string directorio_;
};

// "Error Apertura " + table + " " + time + " " + date and time, e.g.
// "Error Apertura facturae.dbf 13:05:09 01/07/2001 13:05:09".
std::string lineaErrorApertura(std::string_view tabla, const FechaHora& ahora);

// "Ingreso Usuario 2 (Mostrador    V 4.6.1   Abarrotes) 08:00:00 02/01/2026 08:00:00": a
// sign-in; the company access key signs in with no user number ("Usuario -").
std::string lineaIngreso(std::string_view usuario, std::string_view titulo, const FechaHora& ahora);

// The logged opener: runs abre (which opens the table and throws on failure). On failure
// the capped log gets the "Error Apertura" line, nothing is shown, and false comes back
// so that the caller goes on with the table closed.
bool abreRegistrando(const std::function<void()>& abre, std::string_view tabla, const Bitacora& bitacora,
                     const Reloj& reloj);

}  // namespace mostrador::base
