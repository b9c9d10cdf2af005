#pragma once
// A new company and a new station: the data directory with every company table and
// its production index, the index description file, the built-in movement and account
// concepts; the system directory with the scratch tables, the field dictionary, the
// users file holding the administrator and the company configuration file.
//
// Every path is a stored path (Windows style or local), resolved through rutas.

#include <string>
#include <string_view>

#include "session/configuracion_inicial.h"

namespace mostrador::session {

// Creates every company table (replacing existing ones), "Indices.cnf", the movement
// concepts 1-7 and 51-57 (plus 8 and 60, which the system writes itself) and the
// account concepts 1, 2 and 51; the three counters are seeded with 0, as the main
// window seeds a missing counter from an empty document table. Throws dbf::Error on an
// engine failure.
void creaDirectorioDatos(std::string_view dirDatos);

// Creates the scratch tables, fills the field dictionary from the catalogue, writes
// "usuarios.def" with the administrator (user 0, every right) and "Gener<N>.cnf".
// Throws dbf::Error on an engine failure and std::runtime_error when a file cannot be written.
void creaDirectorioSistema(const OpcionesEmpresa& o);

// Both of the above.
void creaEmpresa(const OpcionesEmpresa& o);

// Where the files that ship with the program live (the format templates under
// "consulta" and "report"): $MOSTRADOR_INSTALACION, else the folder the build recorded.
std::string directorioInstalacion();

// Copies the shipped templates of origen's "consulta" and "report" folders into the
// system directory's folders of the same names. A file already there is the shop's own
// edit and is kept. Returns the files copied.
int instalaPlantillas(std::string_view origen, std::string_view dirSistema);

}  // namespace mostrador::session
