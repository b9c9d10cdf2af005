#include "store/copia_registro.h"

namespace mostrador::store {

void copiaCampo(const dbf::Table& de, dbf::Table& a, const std::string& campo) {
  const int i = de.fieldIndex(campo), j = a.fieldIndex(campo);
  if (i < 0 || j < 0) return;
  if (de.isNull(i)) return a.setNull(j);
  switch (a.fieldDefs()[static_cast<size_t>(j)].type) {
    case 'N':
    case 'F':
      return a.setFloat(j, de.asFloat(i));
    case 'D':
      return a.setDate(j, de.asDate(i));
    case 'L':
      return a.setBool(j, de.asBool(i));
    default:
      return a.setText(j, de.asText(i));
  }
}

}  // namespace mostrador::store
