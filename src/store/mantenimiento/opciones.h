#pragma once
// The maintenance options of a company, "opcion.cnf" in its data directory: three lines
// "S"/"N" — reindex at start, back up at start, back up at the end. A missing file or
// line reads "N".
//
// The options are not only stored: the main window runs them. At start, after the
// sign-in gives it the data directory, the backup comes first (so that a reindex that
// meets a damaged table starts from a copy taken before it touched anything), then the
// reindex; at the end, the backup after every screen has closed its tables.

#include <string>
#include <string_view>

#include "base/interaccion.h"
#include "base/reloj.h"

namespace mostrador::store {

inline constexpr std::string_view kArchivoOpciones = "opcion.cnf";

struct OpcionesMantenimiento {
  bool reindexaInicio = false;  // ReindexaInicio
  bool respaldaInicio = false;  // RespaldaInicio
  bool respaldaFinal = false;   // RespaldaFinal
  friend bool operator==(const OpcionesMantenimiento&, const OpcionesMantenimiento&) = default;
};

OpcionesMantenimiento leeOpciones(std::string_view dirDatos);
bool guardaOpciones(std::string_view dirDatos, const OpcionesMantenimiento& o);

// The start step: back up (normal backup into the dated folder) when RespaldaInicio,
// then the whole reindex when ReindexaInicio. Each logs its line as its screen does.
void mantenimientoAlIniciar(base::Interaccion& ui, const base::Reloj& reloj,
                            std::string_view dirSistema, std::string_view dirDatos);
// The end step: the normal backup when RespaldaFinal.
void mantenimientoAlTerminar(base::Interaccion& ui, const base::Reloj& reloj,
                             std::string_view dirSistema, std::string_view dirDatos);

}  // namespace mostrador::store
