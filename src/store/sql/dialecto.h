#pragma once
// The local SQL dialect as the screens write it, and its rewrite into SQLite SQL.
//
// Statements name each table by its full file path in double quotation marks
// ("C:\Datos\facturae.dbf") and use double quotation marks for text values as well
// (STATU_F<>"C"). SQLite reads double quotes as identifiers, so the rewrite works on
// tokens:
//
//   "<path>"            -> the name of a virtual table registered for that path
//   "<other text>"      -> a string literal '<other text>' (inner ' doubled)
//   '3/5/2001'          -> '2001-03-05' when compared with a date field (rule below)
//   «                   -> removed (it marks where a report may insert an order column)
//
// What is a path. A double-quoted text is a path when it ends in ".dbf" or ".db"
// (any case), or contains "\", or contains "/" and stands where a table is named
// (after FROM, JOIN, INTO, UPDATE, TABLE, ON, or a comma of a FROM list). A text that
// reads as a date (d/m/yyyy) is never a path.
//
// Dates. Date fields are ISO text 'yyyy-mm-dd' inside SQLite. A quoted literal (single
// or double quotes) is turned into ISO when it reads as a date and it is compared with
// a date field: the other operand of =, ==, <>, !=, <, >, <=, >= is a column (plain or
// alias-qualified) that names a date (D) field of a table of the statement, or the
// literal is a bound of "<date field> BETWEEN x AND y" or an item of
// "<date field> IN (...)". "<date> - <date>" with at least one date field is written as
// julianday(a)-julianday(b), a number of days. A literal is read as
//   yyyy-mm-dd          ISO, taken as is
//   dd/MM/yyyy          the short date, when either part carries a leading zero or the
//                       first part is above 12 ('05/03/2001' is 5 March 2001)
//   m/d/yyyy            the SQL date text otherwise ('3/5/2001' is 5 March 2001;
//                       '10/11/2001' is 11 October)
// Text fields holding dates as text are compared as text, untouched.
//
// Date-times. A date-time (@) field is ISO text 'yyyy-mm-dd HH:MM:SS' inside SQLite (the
// form its date functions take; milliseconds are left out). It counts as a date field
// for the rule above, so a date literal compared with it becomes 'yyyy-mm-dd' (which
// sorts before every instant of that day), and a literal of a date, a blank or "T" and a
// time "H:MM", "H:MM:SS" or "H:MM:SS.zzz" compared with it becomes 'yyyy-mm-dd HH:MM:SS'
// (the date part read as above). "<date-time> - <date-time>" is julianday() too: days
// with their fraction.
//
// Numbers. Numeric fields are declared INTEGER or REAL, so SQLite's affinity turns a
// quoted number compared with them into a number (TIMOV_MI<>"54").

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/dbf/dbf_table.h"

namespace mostrador::sql {

// Every failure of the SQL layer: a text for the user (SQLite's message where it came
// from SQLite).
class Error : public dbf::Error {
 public:
  explicit Error(const std::string& texto) : dbf::Error(texto, "sql") {}
};

enum class Clase {
  Espacio,   // blanks and comments
  Palabra,   // identifier or keyword
  Numero,
  Cadena,    // '...'
  Comillas,  // "..."
  Simbolo,   // operators and punctuation ("<>", "<=", ">=", "!=", "==", "||" are one token)
};

struct Token {
  Clase clase;
  std::string texto;  // as written (with its quotes)
  size_t pos = 0;     // byte offset in the statement
  // Cadena and Comillas: the text between the quotes, doubled quotes undone.
  std::string valor() const;
  bool es(std::string_view palabra) const;  // a Palabra equal without regard to case
  bool esSimbolo(std::string_view s) const { return clase == Clase::Simbolo && texto == s; }
};

// Splits a statement into tokens; concatenating the texts gives the statement back.
// An unterminated quote throws Error.
std::vector<Token> tokeniza(std::string_view sentencia);
// The tokens without blanks and comments.
std::vector<Token> significativos(std::string_view sentencia);

// The statement with every "«" removed.
std::string quitaMarcas(std::string_view sentencia);

// A date literal read by the rule above; nullopt when the text is not a date.
std::optional<dbf::Fecha> fechaDeLiteral(std::string_view texto);
std::string fechaIso(const dbf::Fecha& f);  // "yyyy-mm-dd"
// A date-time literal by the rule above (a time is required); nullopt otherwise.
std::optional<dbf::FechaHora> fechaHoraDeLiteral(std::string_view texto);
std::string fechaHoraIso(const dbf::FechaHora& fh);  // "yyyy-mm-dd HH:MM:SS"

// The tables of a statement as the rewrite sees them.
struct TablaRegistrada {
  std::string nombre;                  // the virtual table's name in the rewritten SQL
  std::vector<dbf::FieldDef> campos;   // to know which columns are dates
};

struct Entorno {
  // Called once per distinct path (as written, compared without regard to case) in
  // order of appearance. Throws to refuse the path (a missing table, say).
  std::function<TablaRegistrada(const std::string& ruta)> registra;
  // Optional: an unquoted name standing where a table is named ("FROM cliente"); returns
  // the path it stands for, or nullopt to leave the word alone.
  std::function<std::optional<std::string>(const std::string& nombre)> tablaSinComillas;
};

struct Traduccion {
  std::string sql;
  std::vector<std::string> rutas;  // distinct paths, in order of appearance
};

Traduccion traduce(std::string_view sentencia, const Entorno& entorno);

// Only the paths of a statement, in order of appearance (no registration).
std::vector<std::string> rutasDe(std::string_view sentencia);

}  // namespace mostrador::sql
