#pragma once
// Free-text observations of any record: "factuobs.dbf" in the directory of the table of
// the record observed, one record per line of text, under tag CLDOC_FO.
//
//   CLDOC_FO  the key of the record observed, as stored (right blanks trimmed)
//   TIDOC_FO  the first two characters of the kind the caller gives: "CL" customers,
//             "PR" suppliers, "VE" sellers, "IN" products, "MI" movements, the purchase
//             document's type name ("Recepción" is kept as "Re")
//   OBSER_FO  the line
//
// The lines of one record are read in index order, which for equal keys is the order
// they were written in. Replacing them is one save unit over the directory: another
// station, or this one after a crash, sees the old lines or the new ones, never a mix.

#include <string>
#include <string_view>
#include <vector>

namespace mostrador::store {

inline constexpr const char* kTablaObservaciones = "factuobs.dbf";
inline constexpr const char* kErrorGuardarObservaciones = "No se Pueden Guardar los Datos ha Ocurrido un Error";

// The kind as it is stored: its first two characters.
std::string tipoObservacion(std::string_view tipo);

// The lines of the record's observations, in order; empty when it has none or the
// table cannot be read.
std::vector<std::string> leeObservaciones(std::string_view dir, std::string_view tipo, std::string_view clave);

// Replaces the record's observations by one record per line (empty lines included; a
// line longer than OBSER_FO goes on in the records that follow). False when the table
// cannot be written or a line being replaced is held by another station: then nothing
// changed.
bool guardaObservaciones(std::string_view dir, std::string_view tipo, std::string_view clave,
                         const std::vector<std::string>& lineas);

}  // namespace mostrador::store
