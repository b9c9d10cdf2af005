#pragma once
// The search by any field: the first record, in the table's current order (its index
// and range), whose field reads as a text that begins with the value typed. Case
// counts; numbers are compared as the text they are stored as ("12" finds 12.50 and
// 120), dates as "dd/MM/yyyy".
//
// The field needs no index: the table file is read from end to end with the sequential
// reader, which is what makes a miss or a match near the end cheap. Under an index the
// matching records are put in the tag's order by their keys, computed from the same
// bytes, so the index itself is not walked.

#include <string_view>

#include "base/interaccion.h"
#include "store/dbf/dbf_table.h"

namespace mostrador::store {

inline constexpr const char* kNoSeEncuentra = "No se Encuentra";
inline constexpr const char* kValorNoValido = "Valor no Válido Revise Por Favor";

enum class ResultadoBusquedaCampo {
  Hallado,        // the table stands on the record found
  NoSeEncuentra,  // no record matches; the position is unchanged
  ValorNoValido,  // the field cannot take the value (or the table has no such field)
};

// Whether the field can hold a text that begins with the value: for N and F a number
// (an optional "-", digits, at most one "."), for D a date "dd/MM/yyyy", for L "T" or
// "F", for C a text as wide as the field at most; never longer than the field.
bool valorValidoPara(const dbf::FieldDef& campo, std::string_view valor);

// Precondition: tabla is open. Throws dbf::Error when the table file cannot be read.
ResultadoBusquedaCampo buscaPorCampo(dbf::Table& tabla, std::string_view campo, std::string_view valor);

// The same, telling the user "No se Encuentra" or "Valor no Válido Revise Por Favor"
// (and the reading error's text when the file fails); true when found.
bool buscaPorCampo(dbf::Table& tabla, std::string_view campo, std::string_view valor, base::Interaccion& ui);

}  // namespace mostrador::store
