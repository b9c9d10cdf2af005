#pragma once
// Windows-style paths, as the stored files write them, mapped to local paths.
//
//   "X:\a\b"   -> <unidades>/x/a/b    (<unidades> = $MOSTRADOR_UNIDADES, default
//                                       ~/.local/share/mostrador/unidades)
//   "\a\b", "a\b" -> against the current directory
//   "/a/b"     -> taken as is (already local)
//
// Every component is matched against what exists on disk without regard to case, so
// "C:\Datos\FACTURAE.DBF" finds c/datos/facturae.dbf. A component that does not exist
// keeps the spelling asked for, which is how new files get their names; an existing case
// variant always wins, so a file is never created twice under two spellings.
// No other module builds file paths by hand.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace mostrador::base {

std::filesystem::path raizUnidades();

// The local path for a stored (Windows or local) path. Never fails: components that do
// not exist are appended as written.
std::filesystem::path resuelve(std::string_view ruta);

// A name inside a directory already resolved (a local path resuelve gave): the entry of
// that name without regard to case, or the name as written. Looks at that one level only.
std::filesystem::path resuelveEn(const std::filesystem::path& dirLocal, std::string_view nombre);

// Joins a directory and a name the way stored paths do: exactly one "\" between them.
std::string une(std::string_view directorio, std::string_view nombre);

bool existe(std::string_view ruta);
bool esDirectorio(std::string_view ruta);
// Creates every missing level (each level keeps an existing case variant).
bool creaDirectorios(std::string_view ruta);
bool borra(std::string_view ruta);
bool copia(std::string_view origen, std::string_view destino);  // overwrites
bool renombra(std::string_view origen, std::string_view destino);

// Names (not paths) of the entries of a directory whose name matches the pattern
// ("*.dbf", "_*", "*.*"), compared without regard to case; sorted.
std::vector<std::string> lista(std::string_view directorio, std::string_view patron = "*");

// Case-insensitive equality of two names (ASCII and the Latin-1 letters in UTF-8).
bool mismoNombre(std::string_view a, std::string_view b);
bool coincidePatron(std::string_view nombre, std::string_view patron);

}  // namespace mostrador::base
