#pragma once
// The format designer's rules (TFormaEdicion in designer mode is their view): the line
// check with its fourteen-row table, the quick sketch drawn after it, the placement
// assistant's lines, the field list files of "\define", the caret indicators and saving
// with the overwrite confirmation.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/interaccion.h"

namespace mostrador::designers {

inline constexpr std::string_view kArchivoYaExiste = "El archivo ya existe desea sobreescribirlo ?";

// A row of the line check table: the keyword and its argument kinds ("num", "numE",
// "campo", "texto", "archivo", "letra", a colour word, or "" for none).
struct ReglaLinea {
  std::string_view palabra;
  std::vector<std::string_view> argumentos;
};
const std::vector<ReglaLinea>& reglasLinea();

// The fields a line splits into (at most five).
std::vector<std::string> divideLineaFormato(std::string_view linea);
// True when the line passes the check. An empty line passes.
bool revisaLineaFormato(std::string_view linea);
// The check of every line, in order (true: passed).
std::vector<bool> revisaCodigo(const std::vector<std::string>& lineas);

// What the sketch draws.
struct ElementoBoceto {
  enum Tipo { Texto, Imagen } tipo = Texto;
  int x = 0, y = 0;               // Texto: column × 2, row × 5; Imagen: the four numbers
  int derecha = 0, abajo = 0;     // Imagen only
  std::string texto;              // Texto: the field; Imagen: the file
  std::string color = "negro";    // the colour in force
  int tamano = 0;                 // font size in force (0: the sheet's default)
  friend bool operator==(const ElementoBoceto&, const ElementoBoceto&) = default;
};
std::vector<ElementoBoceto> bocetoCodigo(const std::vector<std::string>& lineas);

// The placement assistant's line for an item at (izquierda, arriba) of a sheet of the
// given size: "@" + column + "," + row + "," + text, column = izquierda ÷ (ancho ×
// 0.0125), row = arriba ÷ (alto ÷ 53), both with two decimals in four characters.
std::string lineaAsistente(double izquierda, double arriba, double anchoHoja, double altoHoja,
                           std::string_view texto);
// The text a field box saves: its caption up to the first blank.
std::string textoDeCampo(std::string_view caption);

// The field list file of a module caption ("Clientes" -> "<system>\define\Clientes.cam");
// nullopt for a caption the designer does not know.
std::optional<std::string> archivoListaCampos(std::string_view directorioSistema,
                                              std::string_view modulo);
// Appends the entry's first five characters (the "[nnn]" reference) to line `linea`.
void agregaReferencia(std::vector<std::string>& lineas, int linea, std::string_view entrada);
// Inserts the printer line "impresora," + name as the first line.
void agregaImpresora(std::vector<std::string>& lineas, std::string_view impresora);

// The indicators for a caret at character `caret` of the code (lines joined by CR LF):
// the 1-based line and the 1-based column within it.
struct Indicadores {
  int linea = 1, columna = 1;
  friend bool operator==(const Indicadores&, const Indicadores&) = default;
};
Indicadores indicadoresCursor(const std::vector<std::string>& lineas, long caret);

// Writes the code to a stored path; an existing file is replaced only after the user
// answers "Si" to the overwrite question. Returns true when written.
bool guardaFormato(base::Interaccion& ui, std::string_view ruta,
                   const std::vector<std::string>& lineas);

}  // namespace mostrador::designers
