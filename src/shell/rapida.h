#pragma once
// The quick-start file "rapida.cnf" of the system directory: three one-letter lines.
//
//   LINE  LETTERS    MEANING
//   1     S, T, N    open the point of sale ("S") or the sales documents ("T") after
//                    signing in; "N" neither
//   2     S, N       time server option (written, never read back)
//   3     S, N       update date and time option (written, never read back)
//
// Only the administrator's toggles are saved; anybody else's last for the run.

#include <optional>
#include <string>
#include <string_view>

namespace mostrador::shell {

struct OpcionesRapidas {
  bool capturaRapida = false;      // IniciarenCapturaRpida1: point of sale
  bool documentos = false;         // IniciarenCapturaRpida2: sales documents
  bool servidorHorario = false;    // ServidordeHorario1
  bool actualizarFecha = false;    // ActualizarFechayHora1
  friend bool operator==(const OpcionesRapidas&, const OpcionesRapidas&) = default;
};

// Line 1 of "<system>\rapida.cnf"; nullopt when the file does not exist.
std::optional<std::string> leeRapida(std::string_view directorioSistema);
// The options line 1 stands for: "S" ticks the point of sale, "T" the sales documents.
OpcionesRapidas opcionesDeRapida(std::string_view linea1);
// Rewrites "<system>\Rapida.cnf"; the point of sale wins when both are ticked.
bool guardaRapida(std::string_view directorioSistema, const OpcionesRapidas& o);

}  // namespace mostrador::shell
