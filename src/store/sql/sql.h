#pragma once
// The local SQL of the system. One SQLite connection in memory; for each statement the
// tables it names ("C:\Datos\facturae.dbf", see dialecto.h) appear as virtual tables over
// the table engine (vtabla.h) and disappear when it ends, so no table stays open between
// statements. SELECTs run in SQLite; everything that changes a table goes through the
// engine, so indexes, locks and the other stations see the change as with any screen.
//
//   SELECT ...  (DISTINCT, AS, comma joins, LIKE, IS NULL, GROUP BY, HAVING, ORDER BY ...
//                DESC, SUM COUNT AVG MAX MIN, UNION [ALL])        -> consulta()
//   CREATE TABLE "<path>" (F CHAR(n), G NUMERIC(p,s), H FLOAT(p,s), I DATE, J BOOLEAN,
//                          PRIMARY KEY (F))
//   CREATE [UNIQUE] INDEX tag ON "<path>" (f1, f2 [DESC])
//   ALTER TABLE "<path>" DROP f, ADD f type, ...
//   DROP TABLE "<path>"
//   DROP INDEX "<path>".tag          DROP INDEX tag ON "<path>"
//   INSERT INTO "<path>" [(f, ...)] VALUES (...), ... | SELECT ...
//   UPDATE "<path>" [alias] SET f = expr, ... [WHERE ...]
//   DELETE FROM "<path>" [alias] [WHERE ...]
//
// Field names longer than ten characters are cut to ten, as dBASE keeps them
// (VALOR_TEORICO is VALOR_TEOR). Types: CHAR/VARCHAR/CHARACTER(n) -> C n (1..254);
// NUMERIC/DECIMAL/NUMBER(p[,s]) -> N p,s; FLOAT(p[,s]) -> F p,s; INTEGER -> N 11;
// SMALLINT -> N 6; DATE/TIME -> D; TIMESTAMP/DATETIME -> @ (date-time); BOOLEAN/LOGICAL
// -> L. A field without a type is refused. The PRIMARY KEY becomes a unique tag named after its first field.
//
// CREATE TABLE refuses an existing table; DROP TABLE a missing one. ALTER TABLE opens
// the table exclusively, writes the new table beside it (in a "_alt" folder of the same
// directory), and only then swaps the files; any failure before the swap leaves the old
// table as it was, and a failed swap puts the old files back. Tags on a dropped field
// are dropped (CREATE INDEX makes them again).
//
// INSERT, UPDATE and DELETE first compute every new value (UPDATE and DELETE select the
// record numbers of the matching rows through SQLite), check that each value fits its
// field, and only then write through the engine. A value that does not fit (a text that
// is not a number for a numeric field, a text that is not a date for a date field) fails
// the statement before anything is written. An engine failure while writing (a record
// locked by another station) stops the statement there: the records already written
// stay written, as with any screen.
//
// Values for date fields: 'yyyy-mm-dd', 'dd/MM/yyyy', the SQL date text 'm/d/yyyy'
// (dialecto.h says how the two are told apart) or 'yyyymmdd'. Values for date-time
// fields: one of those dates, alone (00:00:00) or followed by a blank or "T" and the
// time 'HH:MM', 'HH:MM:SS' or 'HH:MM:SS.zzz' ('2026-12-11 09:30:00').
//
// Every failure throws Error with its text; SQLite's messages are passed on as SQLite
// writes them, with the virtual table names turned back into the quoted paths.

#include <memory>
#include <string>
#include <string_view>

#include "store/dbf/dbf_table.h"
#include "store/sql/dialecto.h"
#include "store/sql/resultado.h"

namespace mostrador::sql {

// A statement that returns rows: SELECT, VALUES, or a parenthesised SELECT.
bool devuelveFilas(std::string_view sentencia);

class BaseSql {
 public:
  // directorioDatos, when given, lets statements name a table of that directory without
  // quotes and without extension ("FROM cliente", as the query console writes them).
  explicit BaseSql(std::string directorioDatos = {});
  ~BaseSql();
  BaseSql(const BaseSql&) = delete;
  BaseSql& operator=(const BaseSql&) = delete;

  // Runs a SELECT (or VALUES) and returns its rows.
  std::unique_ptr<Resultado> consulta(std::string_view sentencia);
  // Runs any statement above. Returns the rows of a SELECT, the records inserted,
  // changed or deleted, and 0 for the others.
  long ejecuta(std::string_view sentencia);

 private:
  struct Impl;
  std::unique_ptr<Impl> d_;
};

// Writes a value into field `campo` of the record being edited, converted to the field's
// type by the rules above. Throws Error, naming the field, when it does not fit.
void asignaValor(dbf::Table& tabla, int campo, const Valor& valor);

// The local path of a table named in a statement: resolved through rutas, with ".dbf"
// added to a name without extension when only that file exists.
std::string rutaLocalDeTabla(std::string_view ruta);

}  // namespace mostrador::sql
