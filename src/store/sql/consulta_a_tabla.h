#pragma once
// The query-to-table service: the statement kept in a text file, run and stored as the
// scratch table "tempo.dbf" of the system directory, where the catalogue browser's
// custom reports read it.
//
// The file is read line by line; lines starting with "%" are skipped and the others are
// joined with a blank. The old "tempo.dbf" is dropped (a missing one is no error) and
// the table is created with one field per result column, named as the column (cut to
// ten characters, letters, digits and "_"; a repeated name gets a number) and typed by
// the column's kind:
//
//   text                                   CHAR(width)
//   whole number up to 4 digits            NUMERIC(6,2)    (small integer)
//   whole number up to 9 digits            NUMERIC(8,2)    (integer)
//   other numbers                          FLOAT(8,2)
//   date                                   DATE
//   any other kind (a logical column)      no type: the CREATE TABLE fails, the table is
//                                          not created and the error says which field
//
// then every row is appended.

#include <string>
#include <string_view>

#include "store/sql/sql.h"

namespace mostrador::sql {

// Returns the stored path of the table written (directorioSistema + "\tempo.dbf").
// Throws Error: a missing statement file, a failing statement, a column without type.
std::string ConsultaATabla(BaseSql& base, std::string_view archivoSentencia,
                           std::string_view directorioSistema);

// The column definition the service writes for a result field ("CHAR(12)",
// "NUMERIC(6,2)", ...); empty for a kind without type.
std::string tipoDeColumna(const dbf::FieldDef& campo);

}  // namespace mostrador::sql
