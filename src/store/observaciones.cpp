#include "store/observaciones.h"

#include "base/texto.h"
#include "base/texto_util.h"
#include "store/dbf/dbf_table.h"
#include "store/unidad.h"

namespace mostrador::store {
namespace {

constexpr const char* kIndice = "CLDOC_FO";

struct Campos {
  int clave, tipo, linea;
  size_t anchoClave, anchoLinea;
};

Campos camposDe(const dbf::Table& t) {
  Campos c{t.requireField("CLDOC_FO"), t.requireField("TIDOC_FO"), t.requireField("OBSER_FO"), 0, 0};
  c.anchoClave = static_cast<size_t>(t.fieldDefs()[static_cast<size_t>(c.clave)].length);
  c.anchoLinea = static_cast<size_t>(t.fieldDefs()[static_cast<size_t>(c.linea)].length);
  return c;
}

// The key as the field keeps it: cut to its width, right blanks gone (leading blanks
// stay: consecutive customer keys are right-aligned).
std::string claveGuardada(std::string_view clave, size_t ancho) {
  std::string k = base::cortaCp1252(clave, ancho);
  while (!k.empty() && k.back() == ' ') k.pop_back();
  return k;
}

bool tieneIndice(const dbf::Table& t) {
  for (const dbf::TagDef& d : t.tags())
    if (base::igualesSinCasoAscii(d.name, kIndice)) return true;
  return false;
}

// Record numbers of the record's lines, in reading order. Under the tag when the table
// has it; a table whose index is gone is read in record order, which is the order the
// lines were written in as well.
std::vector<uint32_t> registrosDe(dbf::Table& t, const Campos& c, const std::string& tipo,
                                  const std::string& clave) {
  std::vector<uint32_t> r;
  const bool indice = tieneIndice(t);
  if (indice) {
    t.setIndex(kIndice);
    t.setRange({clave}, {clave});
  } else {
    t.setIndex("");
  }
  for (t.first(); !t.eof(); t.next())
    if (t.asText(c.clave) == clave && t.asText(c.tipo) == tipo) r.push_back(t.recno());
  if (indice) t.cancelRange();
  return r;
}

}  // namespace

std::string tipoObservacion(std::string_view tipo) { return base::cortaCp1252(tipo, 2); }

std::vector<std::string> leeObservaciones(std::string_view dir, std::string_view tipo, std::string_view clave) {
  std::vector<std::string> lineas;
  try {
    dbf::Table t;
    t.open(dir, kTablaObservaciones);
    const Campos c = camposDe(t);
    const std::string k = claveGuardada(clave, c.anchoClave), ti = tipoObservacion(tipo);
    for (uint32_t r : registrosDe(t, c, ti, k))
      if (t.goTo(r)) lineas.push_back(t.asText(c.linea));
  } catch (const dbf::Error&) {
    // A record whose table cannot be read shows no observations; saving says why not.
    return {};
  }
  return lineas;
}

bool guardaObservaciones(std::string_view dir, std::string_view tipo, std::string_view clave,
                         const std::vector<std::string>& lineas) {
  try {
    dbf::Table t;
    t.open(dir, kTablaObservaciones);
    const Campos c = camposDe(t);
    const std::string k = claveGuardada(clave, c.anchoClave), ti = tipoObservacion(tipo);
    const std::vector<uint32_t> viejos = registrosDe(t, c, ti, k);
    std::vector<Bloqueo> b;
    for (uint32_t r : viejos) b.push_back({&t, r, "la observación"});
    if (bloquea(std::move(b))) return false;
    UnidadGuardado unidad({std::string(dir)});
    for (uint32_t r : viejos)
      if (t.goTo(r)) t.remove();
    for (const std::string& linea : lineas) {
      std::string resto = linea;
      do {
        const std::string trozo = base::cortaCp1252(resto, c.anchoLinea);
        resto.erase(0, trozo.size());
        t.append();
        t.setText(c.clave, k);
        t.setText(c.tipo, ti);
        t.setText(c.linea, trozo);
        t.post();
      } while (!resto.empty());
    }
    unidad.confirma();
  } catch (const dbf::Error&) {
    return false;
  }
  return true;
}

}  // namespace mostrador::store
