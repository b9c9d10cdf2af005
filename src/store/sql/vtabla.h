#pragma once
// SQLite virtual tables over the table engine (module "mostrador_dbf").
//
//   CREATE VIRTUAL TABLE temp."dbf1" USING mostrador_dbf('<local path of the .dbf>')
//
// Columns follow the table's fields, declared so that SQLite's affinity works:
//
//   C (and M)                 TEXT      right blanks trimmed
//   N without decimals        INTEGER
//   N with decimals, F        REAL
//   D                         TEXT      'yyyy-mm-dd'
//   @ (date-time)             TEXT      'yyyy-mm-dd HH:MM:SS' (milliseconds left out)
//   L                         INTEGER   0 / 1
//
// A blank field is NULL. The rowid is the record number.
//
// Planning: an =, <, <=, >, >= constraint on the leading field of a field-list tag
// (ascending; not a logical or a date-time field) narrows the scan through the index (findKey range, findNearest); anything
// else scans in record order. SQLite checks every constraint again on the rows returned,
// so the index only has to return a superset: a value that cannot be turned into the
// field's key (a text that is not a number for a numeric field, a date that is not
// 'yyyy-mm-dd', a text bound with characters outside printable ASCII) falls back to a
// full scan. A number compared with a text key is looked up in its plain form ("15"), the
// form in which document numbers are kept as text.
//
// Costs for the planner come from the tags: a unique single-field tag gives one record
// per key; another tag's records per key are measured once per statement on the tag
// itself (the keys of a few records spread over the table, their entries counted), so
// that between two tags, or between the two tables of a join, the planner takes the one
// that returns fewer records per lookup. estimatedRows is that figure.
//
// Joins: the inner table is looked up once per outer row. A lookup equal to the one
// before (lines grouped by their key) takes its entries again from the batch it read;
// past a number of lookups the tag's keys are kept in memory (below) and a whole key is
// found by hashing, a range by binary search.
//
// Reading: each cursor reads its table through a sequential reader
// (store/dbf/lector_secuencial.h) opened with it, not through a table handle: a statement
// needs one consistent read of the table, not the per-move freshness screens need, so it
// sees the records the table had when the cursor opened (later appends are not seen) and
// reads them in large blocks. A lookup walks the tag in the .mdx in batches of entries
// (one read session each) and takes the records from the same reader; a cursor that has
// made many lookups on a tag of a table small enough for the reader to keep sorts the
// tag's keys from the records once and searches them in memory. Under concurrent changes
// a lookup sees the index as it is and each record as the reader holds it; SQLite's
// check of the constraints drops a record whose values no longer match.
//
// Read-only: changes go through the engine (store/sql/sql.h).

#include <map>
#include <string>
#include <vector>

#include "store/dbf/dbf_table.h"

struct sqlite3;

namespace mostrador::sql {

// The SQLite type a field is declared with.
const char* tipoSqlite(const dbf::FieldDef& campo);

// The virtual tables of one connection. Registers the module on construction; the
// connection must outlive it.
class TablasVirtuales {
 public:
  explicit TablasVirtuales(sqlite3* db);
  ~TablasVirtuales();
  TablasVirtuales(const TablasVirtuales&) = delete;
  TablasVirtuales& operator=(const TablasVirtuales&) = delete;

  // Creates temp.<nombre> over the table at the local path and returns its fields.
  // Throws Error with the engine's or SQLite's text (a missing table, say).
  const std::vector<dbf::FieldDef>& crea(const std::string& nombre, const std::string& rutaLocal);
  void borra(const std::string& nombre);
  // Fields of a virtual table created here; nullptr for another name.
  const std::vector<dbf::FieldDef>* campos(const std::string& nombre) const;

  // Called by the module's xCreate/xDestroy.
  void anota(const std::string& nombre, const std::vector<dbf::FieldDef>& campos);
  void olvida(const std::string& nombre);

 private:
  sqlite3* db_;
  std::map<std::string, std::vector<dbf::FieldDef>> campos_;
};

}  // namespace mostrador::sql
