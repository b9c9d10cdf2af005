#pragma once
// The Spanish query language of the query console: a word-for-word vocabulary over the
// local SQL (store/sql), and the small texts the console builds for the user (the new
// query skeleton, the select list).
//
// Translation works line by line. Each line gets a blank appended and is scanned;
// blanks and commas end a word, every word is looked up in the keyword table without
// regard to case and written (translated or as it was) followed by the character that
// ended it. Nothing else splits words: "SUMA(IMTOD_F)" is one word and stays as
// written, while "suma (IMTOD_F)" becomes "SUM (IMTOD_F)". Quoted texts get no special
// treatment either: the word "o" inside "Juan o Pedro" becomes "OR", as the shops'
// queries always did.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/confcamp.h"

namespace mostrador::query {

struct PalabraClave {
  std::string_view espanol, sql;
};
// The thirty-six words, in the order the console's help lists them.
const std::vector<PalabraClave>& palabrasClave();

// The SQL word for a Spanish word (compared without regard to case); the word itself
// when it is not a keyword.
std::string traducePalabra(std::string_view palabra);
// One line, with the blank appended by the scan ("selecciona a" -> "SELECT a ").
std::string traduceLinea(std::string_view linea);
// Every line translated; the result keeps one line per line of the query.
std::vector<std::string> traduceLineas(const std::vector<std::string>& lineas);
// The whole SQL text: the translated lines joined with line breaks.
std::string traduceConsulta(std::string_view texto);

// The console's tables (selector NombreTabla).
struct TablaConsola {
  std::string_view titulo;
  std::string_view archivo;    // as the field list looks it up
  std::string_view esqueleto;  // as the skeleton writes it; empty when it writes none
};
const std::vector<TablaConsola>& tablasConsola();
std::optional<TablaConsola> tablaConsola(std::string_view titulo);

// The five lines of a new query: "Select", three empty lines, and
// From "<data directory>\<file>". A table the skeleton has no file for gives
// From "<data directory>\" (the user completes it).
std::vector<std::string> esqueletoConsulta(std::string_view directorioDatos,
                                           std::string_view titulo);

// Adds a field name to the select list: inserted as the line before the last two lines,
// with a comma appended to the line above it when that line is not empty. A query of
// fewer than two lines gets the name at its start.
void agregaCampoConsulta(std::vector<std::string>& lineas, std::string_view campo);

// A row of the console's field grid: name, description and the hidden type.
struct CampoConsola {
  std::string clave, campo, tipo;
  friend bool operator==(const CampoConsola&, const CampoConsola&) = default;
};
// Up to 49 fields of the table's block of the field catalogue; entries whose
// description is empty or "No Disponible" are skipped.
std::vector<CampoConsola> camposConsola(const base::CatalogoCampos& catalogo,
                                        std::string_view archivoTabla);

}  // namespace mostrador::query
