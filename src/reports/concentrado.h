#pragma once
// The concentration generator: reads the records of one or more source tables into
// scratch files under "\tempo\" of the system directory, sorts them by key and
// concentrates the records of one key, summing their numeric columns. The report
// viewer (visor_concentrado.h) shows the result.
//
// Files (fixed records, strings as a length byte and Windows-1252 characters padded):
//
//   "concen.tmp"  410   the records read from the sources
//   "orden.tmp"   410   the same sorted by key, three closing records after them
//   "final.tmp"   410   one record per key (or per record, options "D" and "DC")
//   "etique.tmp"  260   three records of ten strings of 25: headings; option and types;
//                       the conditions
//   "anchos.tmp"   20   ten signed 16-bit column widths
//
// The 410-byte record:
//
//   OFFSET        SIZE  FIELD
//        0         101  key, up to 100 characters
//      101         101  second key, up to 100 characters
//      202 + 26k    26  value column k + 1 (k = 0..7), up to 25 characters, as text
//
// The first record of each data file is the type record: empty keys and one letter per
// value column ("x" unused, "f" computed or float, else the field's type letter). A
// record whose key is "*" closes the data. Only "f" and "$" columns are summed.
//
// Phases, each with its progress: "Leyendo Datos", "Ordenando Datos",
// "Concentrando Datos". A run that is cancelled (the progress screen's button) or fails
// leaves no "final.tmp" at all, never a half-written one: the result is written under
// another name and renamed into place at the very end.

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/interaccion.h"
#include "base/registros_fijos.h"
#include "store/dbf/dbf_table.h"

namespace mostrador::reports {

inline constexpr std::string_view kArchivoConcen = "tempo\\concen.tmp";
inline constexpr std::string_view kArchivoOrden = "tempo\\orden.tmp";
inline constexpr std::string_view kArchivoFinal = "tempo\\final.tmp";
inline constexpr std::string_view kArchivoEtiquetas = "tempo\\etique.tmp";
inline constexpr std::string_view kArchivoAnchos = "tempo\\anchos.tmp";
inline constexpr size_t kTamanoConcentrado = 410;
inline constexpr size_t kTamanoEtiquetas = 260;
inline constexpr size_t kTamanoAnchos = 20;

inline constexpr std::string_view kLeyendoDatos = "Leyendo Datos";
inline constexpr std::string_view kOrdenandoDatos = "Ordenando Datos";
inline constexpr std::string_view kConcentrandoDatos = "Concentrando Datos";

const base::DisenoRegistro& disenoConcentrado();  // "clave", "clave2", "v1".."v8"
const base::DisenoRegistro& disenoEtiquetas();    // "s1".."s10"
const base::DisenoRegistro& disenoAnchos();       // "a1".."a10"

struct RegistroConcentrado {
  std::string clave, clave2;
  std::array<std::string, 8> valores;
  friend bool operator==(const RegistroConcentrado&, const RegistroConcentrado&) = default;
};
std::string aBytes(const RegistroConcentrado& r);
RegistroConcentrado deBytes(std::string_view bytes);  // exactly 410 bytes

// A condition of CondicionesConcentrado: field ("X" absent), operator ("=", "<", ">",
// "<>", "<=", ">=", "&" contains, "Inicia_Con", "Termina_Con", "Incluye") and value.
struct CondicionConcentrado {
  std::string campo = "X", operador = "=", valor;
};
struct CondicionesConcentrado {
  std::array<CondicionConcentrado, 3> condiciones;
  std::string conector;  // "O": any present condition; otherwise all of them
  bool alguna() const;
};

// Per value column, a conversion by the rate of the record's currency: an operator
// "*", "+", "-" or "/" and the record's currency-name field.
struct ConversionMoneda {
  char operador = 0;
  std::string campoMoneda;
};

struct ParametrosConcentrado {
  // Key: a field, "%" + digit n + field (its first n characters), a computed column
  // starting with "&", or "@D"/"@M"/"@A" + a date field (the date as "yyyy/MM/dd",
  // "yyyy/MM" or "yyyy", so that periods sort in time).
  std::string clave;
  std::string segundaClave;              // a field or ""
  std::array<std::string, 8> columnas;   // fields, "&" expressions, "%n" forms (1 and 2), "" unused
  // When given, source i reads its own columns (returns read as negative amounts, say);
  // the type record still comes from `columnas` over the first source.
  std::vector<std::array<std::string, 8>> columnasPorFuente;
  std::string campoFecha = "f";          // "f": no date test
  std::string fechaDesde, fechaHasta;    // "dd/MM/yyyy"
  std::string campoEstado;               // "" : no status test
  char operadorEstado = 'X';             // '=', '!', '>', '<', 'X'
  std::string valorEstado;
  std::string opcion = "C";              // "C", "D", "DC"
  std::string rangoInicio, rangoFin;     // a range of the source's current index
  std::array<ConversionMoneda, 8> conversiones;
  CondicionesConcentrado condiciones;
  // Sources that copy an earlier one (the invoices and their auxiliary copy): copiaDe[i]
  // is the source that source i copies, or -1. A record of the copy whose campoCopia
  // value the original holds (filtered or not) is not read, so that a document kept in
  // both tables counts once.
  std::vector<int> copiaDe;
  std::string campoCopia = "CLDOC_F";
  // Asked between records; true stops the run (the progress screen's cancel button).
  std::function<bool()> cancelado;
};

enum class ResultadoConcentrado { Hecho, Cancelado, Fallo };

// Runs the generator over the sources, in order (sources after the first add their
// records to the same files). directorioDatos: where "moneda.tvk" lies.
ResultadoConcentrado GeneraConcentrado(const std::vector<dbf::Table*>& fuentes, const ParametrosConcentrado& p,
                                       std::string_view directorioSistema, std::string_view directorioDatos,
                                       base::Interaccion& ui);

// The value of a computed column of the current record, with four decimals: field
// names and numbers joined by "&", "%" (delimiters only), "*", "+", "-", "/" and
// parentheses; dividing by zero gives 0.
std::string EvaluaColumna(const dbf::Cursor& tabla, std::string_view expresion);

// "etique.tmp": record 1 the ten headings (key, second key, value columns), record 2
// the option and the eight type letters, record 3 the conditions.
bool TitulosConcentrado(std::string_view directorioSistema, const std::array<std::string, 10>& titulos,
                        std::string_view opcion, const std::array<char, 8>& tipos,
                        const CondicionesConcentrado& condiciones = {});
// "anchos.tmp": ten column widths in characters.
bool AnchosConcentrado(std::string_view directorioSistema, const std::array<int, 10>& anchos);

// The type letters the generator writes for the columns of a source.
std::array<char, 8> tiposDeColumnas(const dbf::Cursor& fuente, const std::array<std::string, 8>& columnas);

// A module's summary: the sources, the run's parameters, the headings and widths the
// viewer shows, and the chart's titles.
struct DefinicionConcentrado {
  std::vector<std::string> tablas;  // source tables of the data directory, in order (missing ones skipped)
  ParametrosConcentrado parametros;
  std::array<std::string, 10> titulos;
  std::array<int, 10> anchos{};
  std::string caption, tituloGrafica, eje1, eje2;
};

// Opens the sources, runs the generator and writes the headings and widths for the viewer.
ResultadoConcentrado ejecutaConcentrado(const DefinicionConcentrado& c, std::string_view directorioSistema,
                                        std::string_view directorioDatos, base::Interaccion& ui);

}  // namespace mostrador::reports
