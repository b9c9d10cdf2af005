#pragma once
// The rows of a finished SELECT, read through the same cursor API as a table.
//
// Rows are held in memory. Field definitions: a column that is a plain column of a
// table keeps that field's type, width and decimals (the width grows to the longest text
// a UNION brought); any other column takes them from its values:
//   whole numbers only       N, width of the longest, 0 decimals
//   other numbers            N 20,4
//   texts, all 'yyyy-mm-dd'  D 8
//   texts, all 'yyyy-mm-dd HH:MM:SS'   @ 8 (date-time)
//   other texts              C, width of the longest (1..254, Windows-1252 bytes)
//   no value at all          C 1
// Columns repeating a name get "_1", "_2", ... appended (CANTIDAD, CANTIDAD_1, ...).
//
// Values: asText writes dates "dd/MM/yyyy", date-times "dd/MM/yyyy HH:mm:ss", whole numbers without decimals and other
// numbers with up to 15 significant digits; NULL reads as "" / 0 and isNull().
//
// Positioning follows the table handle: the cursor starts on the first row; first()
// sets bof(), next() past the last row sets eof() and stays on the last row, last() sets
// eof(), prior() before the first row sets bof().

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "store/dbf/dbf_table.h"

namespace mostrador::sql {

using Valor = std::variant<std::monostate, long long, double, std::string>;

class Resultado : public dbf::Cursor {
 public:
  // origenes[i]: the field a column reads unchanged, or nullopt for an expression.
  Resultado(std::vector<std::string> nombres, std::vector<std::optional<dbf::FieldDef>> origenes,
            std::vector<Valor> valores);

  void first() override;
  void last() override;
  void next() override;
  void prior() override;
  bool eof() const override { return eof_; }
  bool bof() const override { return bof_; }
  long recordCount() const override { return static_cast<long>(filas_); }

  const std::vector<dbf::FieldDef>& fieldDefs() const override { return campos_; }
  bool isNull(int field) const override;
  std::string asText(int field) const override;
  double asFloat(int field) const override;
  long long asInteger(int field) const override;
  std::optional<dbf::Fecha> asDate(int field) const override;  // of a date-time: its date
  // Text that is not a date or a date-time reads as nullopt, as asDate() does.
  std::optional<dbf::FechaHora> asDateTime(int field) const override;
  bool asBool(int field) const override;
  using Cursor::asText, Cursor::asFloat, Cursor::asDate, Cursor::asDateTime, Cursor::isNull,
      Cursor::asInteger, Cursor::asBool;

  // The raw value of the current row (monostate for NULL or when there is no row).
  const Valor& valor(int field) const;
  long posicion() const { return pos_; }  // 0-based row, -1 when empty

 private:
  std::vector<dbf::FieldDef> campos_;
  std::vector<Valor> valores_;  // row-major
  size_t columnas_ = 0, filas_ = 0;
  long pos_ = -1;
  bool eof_ = true, bof_ = true;
};

// Number text as the cursor writes it: whole numbers plain, others with up to 15
// significant digits ("12.5", "0.1", "1e+20").
std::string textoDeNumero(double d);

}  // namespace mostrador::sql
