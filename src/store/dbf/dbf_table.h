#pragma once
// The table handle: keyed access to one dBASE table (.dbf) and its production index
// (.mdx), shared by several stations (processes, possibly on several machines).
//
// State machine of a handle (function that makes each transition):
//
//   Closed --open(shared|exclusive)--> Browse --edit()/append()/insert()--> Editing
//   Editing --post()/cancel()--> Browse          Browse --close()--> Closed
//   any --failed write--> Failed (refuses writes until close()/open())
//
// Text crosses this API as UTF-8; on disk it is Windows-1252 (field widths count
// Windows-1252 bytes). Dates cross it as Fecha; asText() of a date reads "dd/MM/yyyy".
// Date-times ('@' fields) cross it as base::FechaHora, the clock's own value, so that a
// stamp taken from a Reloj is written as it is; asText() of one reads
// "dd/MM/yyyy HH:mm:ss".
// Every failure is an Error carrying a text (operation, path, OS error).

#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "base/reloj.h"

namespace mostrador::dbf {

class Error : public std::runtime_error {
 public:
  explicit Error(const std::string& texto, std::string operacion = {}, std::string ruta = {},
                 int errnum = 0);
  const std::string& operacion() const { return operacion_; }
  const std::string& ruta() const { return ruta_; }
  int errnum() const { return errnum_; }

 private:
  std::string operacion_, ruta_;
  int errnum_;
};

// A record (or the table, for exclusive work) held by another station.
class LockError : public Error {
 public:
  using Error::Error;
};

// An index whose pages contradict themselves (or a write into it was interrupted).
class IndexDamaged : public Error {
 public:
  using Error::Error;
};

// A calendar date; a blank date field reads as nullopt.
struct Fecha {
  int anio = 0, mes = 0, dia = 0;
  friend bool operator==(const Fecha&, const Fecha&) = default;
  friend auto operator<=>(const Fecha&, const Fecha&) = default;
};

// A date and a time of day to the millisecond; a blank date-time field reads as nullopt.
using FechaHora = base::FechaHora;

struct FieldDef {
  std::string name;  // up to 10 characters, stored upper case
  char type = 'C';   // C N F D L @ (M read as empty text); @ is a date-time, length 8
  int length = 10;
  int decimals = 0;
  friend bool operator==(const FieldDef&, const FieldDef&) = default;
};

// An index tag. key is either field names separated by ";" ("CLDOC_F;CLPRO_F") or
// "*" followed by a dBASE key expression ("*UPPER(NOMBR_C)+DTOS(FEDOC_F)").
struct TagDef {
  std::string name;  // up to 10 characters; compared without regard to case
  std::string key;
  bool unique = false;
  bool descending = false;
  friend bool operator==(const TagDef&, const TagDef&) = default;
};

// A value given to find key / find nearest / set range, one per leading key field.
// Text against a numeric or date field is parsed; a number against a text field is
// written without decimals when whole. Against a date-time field, a text with a time
// ("dd/MM/yyyy HH:mm:ss", "yyyy-MM-dd HH:mm:ss") is that instant, and a Fecha (or a
// text without a time) is the whole day when it is the last value given: findKey finds
// the first record of that day, a range from one day to another takes both days whole.
using KeyValue = std::variant<std::string, double, Fecha>;

enum class OpenMode { Shared, Exclusive };

// Reading API shared by table handles and SQL results.
class Cursor {
 public:
  virtual ~Cursor() = default;

  virtual void first() = 0;
  virtual void last() = 0;
  virtual void next() = 0;
  virtual void prior() = 0;
  virtual void moveBy(long n);
  // As the shops' engine always did: first() leaves bof() true and last() leaves eof()
  // true while standing on a record; a failed next()/prior() stays on the record it had.
  // Both true means there is no record to stand on.
  virtual bool eof() const = 0;
  virtual bool bof() const = 0;
  bool isEmpty() const { return eof() && bof(); }
  // Records the cursor can visit (range and deleted records considered).
  virtual long recordCount() const = 0;

  virtual const std::vector<FieldDef>& fieldDefs() const = 0;
  // Field number for a name (case-insensitive), -1 when there is no such field.
  int fieldIndex(std::string_view name) const;
  bool fieldExists(std::string_view name) const { return fieldIndex(name) >= 0; }

  // Field values of the current record. A blank field reads as "" or 0 and isNull().
  virtual bool isNull(int field) const = 0;
  virtual std::string asText(int field) const = 0;  // right blanks trimmed
  virtual double asFloat(int field) const = 0;
  virtual long long asInteger(int field) const;
  virtual std::optional<Fecha> asDate(int field) const = 0;
  // A date-time field as stored; a date field at 00:00:00; text in one of the forms
  // leeFechaHora() reads. Other fields: Error unless blank.
  virtual std::optional<FechaHora> asDateTime(int field) const;
  virtual bool asBool(int field) const;

  // By name; an unknown name throws Error("Campo " + name + " no encontrado").
  bool isNull(std::string_view name) const { return isNull(requireField(name)); }
  std::string asText(std::string_view name) const { return asText(requireField(name)); }
  double asFloat(std::string_view name) const { return asFloat(requireField(name)); }
  long long asInteger(std::string_view name) const { return asInteger(requireField(name)); }
  std::optional<Fecha> asDate(std::string_view name) const { return asDate(requireField(name)); }
  std::optional<FechaHora> asDateTime(std::string_view name) const {
    return asDateTime(requireField(name));
  }
  bool asBool(std::string_view name) const { return asBool(requireField(name)); }

  int requireField(std::string_view name) const;
};

class Table : public Cursor {
 public:
  Table();
  ~Table() override;
  Table(const Table&) = delete;
  Table& operator=(const Table&) = delete;

  // Creates the .dbf (and the .mdx when tags are given), replacing existing files. A
  // table with a date-time field is written at level 7 (the level that has the type),
  // any other at level 4.
  static void create(std::string_view dir, std::string_view file,
                     const std::vector<FieldDef>& fields, const std::vector<TagDef>& tags = {});
  // Names of the table files (".dbf" and ".db") of a directory, sorted.
  static std::vector<std::string> listTables(std::string_view dir);
  // Removes the table and its index files.
  static void drop(std::string_view dir, std::string_view file);

  // dir and file are stored paths resolved through rutas (case-insensitive). Exclusive
  // fails with LockError while anybody else has the table open. A missing, foreign or
  // damaged .mdx does not fail the open: the table opens without indexes and
  // indexProblem() says why.
  void open(std::string_view dir, std::string_view file, OpenMode mode = OpenMode::Shared);
  void close();
  bool isOpen() const;
  bool exclusive() const;
  std::string path() const;  // local path of the .dbf
  const std::string& indexProblem() const;

  // Index selection; "" selects natural (record number) order.
  std::vector<TagDef> tags() const;
  void setIndex(std::string_view tag);
  std::string index() const;

  bool findKey(const std::vector<KeyValue>& values);  // exact on the leading fields
  void findNearest(const std::vector<KeyValue>& values);
  void setRange(const std::vector<KeyValue>& from, const std::vector<KeyValue>& to);
  void cancelRange();

  // Navigation (Cursor) plus the record number of the current record (1-based).
  void first() override;
  void last() override;
  void next() override;
  void prior() override;
  bool eof() const override;
  bool bof() const override;
  // Without a range: the header's record count, deleted records included (the physical
  // count, as dBASE reports it). With a range: the entries within it.
  long recordCount() const override;
  uint32_t recno() const;
  bool goTo(uint32_t recno);

  const std::vector<FieldDef>& fieldDefs() const override;
  bool isNull(int field) const override;
  // C: the text, right blanks trimmed; N, F: the number as stored, blanks trimmed
  // ("12.50"); D: "dd/MM/yyyy"; L: "T" or "F"; @: "dd/MM/yyyy HH:mm:ss"; blank fields
  // and memo fields: "".
  std::string asText(int field) const override;
  double asFloat(int field) const override;
  // Of a date-time field: its date.
  std::optional<Fecha> asDate(int field) const override;
  std::optional<FechaHora> asDateTime(int field) const override;
  using Cursor::asText, Cursor::asFloat, Cursor::asDate, Cursor::asDateTime, Cursor::isNull;

  // Changes. append()/insert() start a blank record (appended at the end either way);
  // edit() locks the current record (LockError when another station holds it); post()
  // writes it and updates every tag; cancel() drops the change. A move (and setIndex,
  // findKey, setRange...) posts a pending change first; close() drops it. A value that
  // does not fit a numeric field throws Error and leaves the field as it was. Tags
  // marked unique keep every entry (no key violation is raised).
  void append();
  void insert();
  void edit();
  void post();
  void cancel();
  void remove();  // marks the current record deleted (its keys leave every tag)
  bool editing() const;
  // The lock phase of a unit: holds record recno (waiting up to waitMillis for another
  // station to let it go; LockError after that) until the unit that uses it ends or
  // releaseLocks(). Later edits of the record need no lock of their own.
  void lockRecord(uint32_t recno, int waitMillis);
  // Inside a unit: puts the records this handle holds (and the header) into the unit's
  // journal now, in one go, so that the save's writes wait for one sync, not one each.
  void keepLockedInUnit();

  void setText(int field, std::string_view value);  // cut to the field width
  void setFloat(int field, double value);
  void setInteger(int field, long long value);
  void setDate(int field, std::optional<Fecha> value);  // a date-time field: at 00:00:00
  // A date-time field to the millisecond; a date field takes the date, a text field the
  // text "dd/MM/yyyy HH:mm:ss". An impossible date or time throws Error.
  void setDateTime(int field, std::optional<FechaHora> value);
  void setBool(int field, bool value);
  void setNull(int field);
  void setText(std::string_view name, std::string_view v) { setText(requireField(name), v); }
  void setFloat(std::string_view name, double v) { setFloat(requireField(name), v); }
  void setInteger(std::string_view name, long long v) { setInteger(requireField(name), v); }
  void setDate(std::string_view name, std::optional<Fecha> v) { setDate(requireField(name), v); }
  void setDateTime(std::string_view name, std::optional<FechaHora> v) {
    setDateTime(requireField(name), v);
  }
  void setBool(std::string_view name, bool v) { setBool(requireField(name), v); }
  void setNull(std::string_view name) { setNull(requireField(name)); }

  // Index maintenance.
  void addTag(const TagDef& tag);
  void deleteTag(std::string_view tag);
  void deleteIndexFile();  // exclusive: removes the .mdx and every tag definition
  void rebuildIndexes();   // rebuilds every tag from the records
  // For a reader of the index other than this handle (the SQL layer's, which walks the
  // .mdx itself): checks an entry of `tag` against the records as they stand now, as an
  // indexed read of the handle does. Sound: true. Damaged: the index is rebuilt from the
  // records (logged) and the answer is false, for the caller to read the index again.
  // Throws Error when it cannot be rebuilt (inside a save: "El índice … está dañado (…);
  // reconstruya los índices").
  bool checkIndexEntry(std::string_view tag, std::string_view key, uint32_t recno);

  void pack();  // exclusive: removes deleted records, rebuilds the tags
  void emptyTable();  // exclusive: removes every record
  void releaseLocks();  // the locks this handle keeps (not inside a unit: the unit's)
  // Steps back one record, closes and reopens, keeping index and position when it can;
  // any failure is ignored (screens use it to see other stations' changes).
  void refresh();
  // Appends a copy of every record of this table to dest, copying fields by name.
  void copyTo(Table& dest);

 private:
  struct Impl;
  std::unique_ptr<Impl> d_;
};

// Date helpers shared by the engine and the SQL layer.
std::string fechaCorta(const Fecha& f);               // "dd/MM/yyyy"
std::optional<Fecha> leeFecha(std::string_view text);  // "dd/MM/yyyy", "yyyymmdd", "yyyy-mm-dd"
// "dd/MM/yyyy HH:mm:ss" (as asText() writes it).
std::string fechaHoraCorta(const FechaHora& fh);
// A date (any form leeFecha() reads) optionally followed by blanks or "T" and a time
// "HH:mm", "HH:mm:ss" or "HH:mm:ss.zzz" (one or two digits for the hour): "05/03/2001
// 14:30:00", "2001-03-05 14:30:00", "2001-03-05T14:30:00.250". A date alone is 00:00:00.
// nullopt for anything else, or an impossible date or time.
std::optional<FechaHora> leeFechaHora(std::string_view text);

}  // namespace mostrador::dbf
