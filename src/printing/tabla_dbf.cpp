#include "printing/tabla_dbf.h"

#include "printing/texto_formato.h"
#include "base/fechas.h"

namespace mostrador::printing {

TablaDbf::TablaDbf(dbf::Cursor& cursor, std::string directorio, std::string archivo)
    : cursor_(cursor), directorio_(std::move(directorio)), archivo_(std::move(archivo)) {}

int TablaDbf::numeroCampos() const { return static_cast<int>(cursor_.fieldDefs().size()); }

int TablaDbf::indiceCampo(std::string_view nombre) const {
  const auto& defs = cursor_.fieldDefs();
  std::string buscado = minusculas(nombre);
  for (size_t i = 0; i < defs.size(); ++i)
    if (minusculas(defs[i].name) == buscado) return static_cast<int>(i);
  return -1;
}

std::string TablaDbf::texto(int campo) const {
  try {
    if (cursor_.isNull(campo)) return "";
    switch (cursor_.fieldDefs().at(campo).type) {
      case 'N':
      case 'F': return decimalCorto(cursor_.asFloat(campo));
      case 'D': {
        auto f = cursor_.asDate(campo);
        return f ? base::fechaCorta({f->anio, f->mes, f->dia}) : "";
      }
      case 'L': return cursor_.asBool(campo) ? "True" : "False";
      default: return cursor_.asText(campo);
    }
  } catch (const dbf::Error& e) {
    throw ErrorFormato(e.what());
  }
}

std::optional<base::Fecha> TablaDbf::fecha(int campo) const {
  try {
    if (cursor_.fieldDefs().at(campo).type == 'D') {
      auto f = cursor_.asDate(campo);
      if (!f) return std::nullopt;
      return base::Fecha{f->anio, f->mes, f->dia};
    }
    std::string t = quitaBlancos(cursor_.asText(campo));
    if (t.empty()) return std::nullopt;
    auto f = base::leeFechaCorta(t);
    if (!f) throw ErrorFormato("'" + t + "' no es una fecha");
    return f;
  } catch (const dbf::Error& e) {
    throw ErrorFormato(e.what());
  }
}

void TablaDbf::primero() { cursor_.first(); }
void TablaDbf::siguiente() { cursor_.next(); }
bool TablaDbf::fin() const { return cursor_.eof(); }

}  // namespace mostrador::printing
