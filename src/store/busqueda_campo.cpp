#include "store/busqueda_campo.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <string>
#include <vector>

#include "base/fechas.h"
#include "base/texto.h"
#include "base/texto_util.h"
#include "store/dbf/key_expression.h"
#include "store/dbf/lector_secuencial.h"

namespace mostrador::store {
namespace {

bool esNumero(std::string_view v) {
  size_t i = v.empty() || v[0] != '-' ? 0 : 1;
  bool digito = false, punto = false;
  for (; i < v.size(); ++i) {
    if (std::isdigit(static_cast<unsigned char>(v[i]))) {
      digito = true;
    } else if (v[i] == '.' && !punto) {
      punto = true;
    } else {
      return false;
    }
  }
  return digito;
}

// The value as the field's text would begin with it: a date in its short form
// ("5/3/2001" searches "05/03/2001"), anything else as typed.
std::string comoTexto(const dbf::FieldDef& campo, std::string_view valor) {
  if (campo.type == 'D') return base::fechaCorta(*base::leeFechaCorta(valor));
  return std::string(valor);
}

// The key of the table's current tag, compiled against the record layout; nullopt when
// it does not compile.
std::optional<dbf::KeyExpression> claveDelIndice(const dbf::Table& tabla, const std::vector<dbf::FieldDef>& campos) {
  for (const dbf::TagDef& d : tabla.tags()) {
    if (!base::igualesSinCasoAscii(d.name, tabla.index())) continue;
    try {
      return dbf::KeyExpression::compile(d.key, dbf::RecordLayout::from(campos), d.descending);
    } catch (const dbf::Error&) {
      return std::nullopt;
    }
  }
  return std::nullopt;
}

bool empiezaCon(const std::string& texto, const std::string& valor) {
  return texto.size() >= valor.size() && texto.compare(0, valor.size(), valor) == 0;
}

}  // namespace

bool valorValidoPara(const dbf::FieldDef& campo, std::string_view valor) {
  const size_t ancho = static_cast<size_t>(campo.length);
  switch (campo.type) {
    case 'N':
    case 'F': return esNumero(valor) && valor.size() <= ancho;
    case 'D': return base::leeFechaCorta(valor).has_value();
    case 'L': return valor == "T" || valor == "F";
    case 'C': return base::anchoCp1252(valor) <= ancho;
    default: return false;  // memo and the like read as empty text: nothing to find
  }
}

ResultadoBusquedaCampo buscaPorCampo(dbf::Table& tabla, std::string_view campo, std::string_view valor) {
  const int i = tabla.fieldIndex(campo);
  if (i < 0) return ResultadoBusquedaCampo::ValorNoValido;
  const dbf::FieldDef& def = tabla.fieldDefs()[static_cast<size_t>(i)];
  if (!valorValidoPara(def, valor)) return ResultadoBusquedaCampo::ValorNoValido;
  const std::string buscado = comoTexto(def, valor);
  // A candidate is checked again on the handle: another station may have changed or
  // deleted it since the file was read (goTo refuses a deleted record and one outside
  // the range).
  const auto sigue = [&](uint32_t r) { return tabla.goTo(r) && empiezaCon(tabla.asText(i), buscado); };
  const uint32_t antes = tabla.recno();
  const auto vuelve = [&] {
    if (antes != 0 && tabla.recno() != antes) tabla.goTo(antes);
    return ResultadoBusquedaCampo::NoSeEncuentra;
  };

  dbf::LectorSecuencial lector("", tabla.path());
  if (tabla.index().empty()) {
    // Record order: the first candidate that still holds is the answer.
    while (lector.siguiente())
      if (empiezaCon(lector.texto(i), buscado) && sigue(lector.recno())) return ResultadoBusquedaCampo::Hallado;
    return vuelve();
  }
  // Under an index the candidates are put in the tag's order, (encoded key, record
  // number), from the bytes already read; the first one the handle can stand on (within
  // the range, still matching) is the answer.
  const std::optional<dbf::KeyExpression> clave = claveDelIndice(tabla, lector.campos());
  std::vector<std::pair<std::string, uint32_t>> hallados;
  while (lector.siguiente())
    if (empiezaCon(lector.texto(i), buscado))
      hallados.emplace_back(clave ? clave->evaluate(lector.registro()) : std::string(), lector.recno());
  if (hallados.empty()) return ResultadoBusquedaCampo::NoSeEncuentra;
  if (clave) {
    std::sort(hallados.begin(), hallados.end());
    for (const auto& h : hallados)
      if (sigue(h.second)) return ResultadoBusquedaCampo::Hallado;
    return vuelve();
  }
  // A tag whose key this engine cannot evaluate: the index itself is walked.
  for (tabla.first(); !tabla.eof(); tabla.next()) {
    const auto r = tabla.recno();
    if (std::any_of(hallados.begin(), hallados.end(), [r](const auto& h) { return h.second == r; }) &&
        empiezaCon(tabla.asText(i), buscado))
      return ResultadoBusquedaCampo::Hallado;
  }
  return vuelve();
}

bool buscaPorCampo(dbf::Table& tabla, std::string_view campo, std::string_view valor, base::Interaccion& ui) {
  try {
    switch (buscaPorCampo(tabla, campo, valor)) {
      case ResultadoBusquedaCampo::Hallado: return true;
      case ResultadoBusquedaCampo::NoSeEncuentra: ui.mensaje(kNoSeEncuentra); return false;
      case ResultadoBusquedaCampo::ValorNoValido: ui.mensaje(kValorNoValido); return false;
    }
  } catch (const dbf::Error& e) {
    ui.mensaje(e.what());
  }
  return false;
}

}  // namespace mostrador::store
