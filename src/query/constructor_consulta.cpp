#include "query/constructor_consulta.h"

#include <algorithm>

#include "base/fechas.h"
#include "base/numeros.h"
#include "base/rutas.h"
#include "base/texto_util.h"
#include "store/sql/sql.h"

namespace mostrador::query {

namespace {

std::string recorta(std::string s) {
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

CampoDiccionario leeEntrada(const dbf::Table& t) {
  return {recorta(t.asText("CAMPO")), recorta(t.asText("DESCRIBE")), recorta(t.asText("TIPO")),
          static_cast<int>(t.asInteger("TAMO"))};
}

std::vector<std::string> divideComas(std::string_view s) {
  std::vector<std::string> r;
  std::string actual;
  for (char c : std::string(s) + ",") {
    if (c == ',') {
      while (!actual.empty() && actual.back() == ' ') actual.pop_back();
      size_t i = actual.find_first_not_of(' ');
      if (i != std::string::npos) r.push_back(actual.substr(i));
      actual.clear();
    } else {
      actual.push_back(c);
    }
  }
  return r;
}

char clase(char tipo) { return tipo == 'F' ? 'N' : tipo; }

}  // namespace

std::string tablaDelDiccionario(std::string_view archivo) {
  std::string t = base::minusculasAscii(archivo);
  for (const char* e : {"remision.dbf", "cotizaci.dbf", "pedido.dbf", "devoluci.dbf"})
    if (t == e) return "facturae.dbf";
  for (const char* d : {"remisiod.dbf", "cotizad.dbf", "pedidod.dbf", "devolucd.dbf"})
    if (t == d) return "facturad.dbf";
  return t;
}

std::vector<CampoDiccionario> camposDiccionario(std::string_view directorioSistema,
                                                std::string_view archivoTabla) {
  std::vector<CampoDiccionario> r;
  if (!base::existe(base::une(directorioSistema, "campos.dbf"))) return r;
  dbf::Table t;
  t.open(directorioSistema, "campos.dbf");
  const std::string tabla = tablaDelDiccionario(archivoTabla);
  if (t.tags().empty()) {
    for (t.first(); !t.eof(); t.next())
      if (base::minusculasAscii(recorta(t.asText("TABLA"))) == tabla) r.push_back(leeEntrada(t));
    return r;
  }
  t.setIndex("TABLA");
  t.setRange({tabla}, {tabla});
  for (t.first(); !t.eof(); t.next()) r.push_back(leeEntrada(t));
  return r;
}

std::optional<CampoDiccionario> campoDiccionario(std::string_view directorioSistema,
                                                 std::string_view campo) {
  if (!base::existe(base::une(directorioSistema, "campos.dbf"))) return std::nullopt;
  dbf::Table t;
  t.open(directorioSistema, "campos.dbf");
  const std::string buscado = base::mayusculasAscii(campo);
  if (!t.tags().empty()) {
    t.setIndex("CAMPO");
    if (t.findKey({buscado})) return leeEntrada(t);
    return std::nullopt;
  }
  for (t.first(); !t.eof(); t.next())
    if (base::mayusculasAscii(recorta(t.asText("CAMPO"))) == buscado) return leeEntrada(t);
  return std::nullopt;
}

const std::vector<std::string>& ConstructorConsulta::operadores() {
  static const std::vector<std::string> o = {"=", "<", ">", "<=", ">=", "<>"};
  return o;
}

ConstructorConsulta::ConstructorConsulta(base::Interaccion& ui, std::string directorioSistema,
                                         std::string directorioDatos, std::string archivoTabla,
                                         std::string camposFecha)
    : ui_(ui), sistema_(std::move(directorioSistema)), datos_(std::move(directorioDatos)),
      tabla_(std::move(archivoTabla)), fechas_(divideComas(camposFecha)) {
  campos_ = camposDiccionario(sistema_, tabla_);
  try {
    dbf::Table t;
    t.open(datos_, tabla_);
    defs_ = t.fieldDefs();
  } catch (const dbf::Error&) {
    // Without the table the types come from the dictionary alone.
  }
}

std::optional<dbf::FieldDef> ConstructorConsulta::defCampo(std::string_view nombre) const {
  const std::string n = base::mayusculasAscii(nombre);
  for (const auto& d : defs_)
    if (d.name == n) return d;
  for (const auto& c : campos_) {
    if (base::mayusculasAscii(c.campo) != n) continue;
    dbf::FieldDef d;
    d.name = n;
    const std::string t = base::minusculasAscii(c.tipo);
    d.type = t.rfind("fecha", 0) == 0 || t.rfind("date", 0) == 0 ? 'D'
             : t.rfind("num", 0) == 0 || t.rfind("float", 0) == 0 || t.rfind("int", 0) == 0 ||
                     t.rfind("small", 0) == 0 || t.rfind("currency", 0) == 0
                 ? 'N'
                 : 'C';
    d.length = c.tamano > 0 ? c.tamano : 10;
    return d;
  }
  return std::nullopt;
}

bool ConstructorConsulta::agregaCondicion(const CondicionConsulta& c) {
  auto def = defCampo(c.campo);
  if (c.valorEsCampo) {
    auto otro = defCampo(c.valor);
    if (!def || !otro || clase(def->type) != clase(otro->type)) {
      ui_.mensaje(kTiposNoCompatibles);
      return false;
    }
  } else if (def) {
    const bool cabe = def->type == 'N' || def->type == 'F'
                          ? base::Decimal::deTexto(c.valor).has_value()
                      : def->type == 'D' ? base::leeFechaCorta(c.valor).has_value()
                      : def->type == 'C' ? static_cast<int>(c.valor.size()) <= def->length
                                         : true;
    if (!cabe) {
      ui_.mensaje(kValorErroneo);
      return false;
    }
  }
  condiciones_.push_back(c);
  return true;
}

void ConstructorConsulta::ponRangoFechas(std::string campo, base::Fecha inicial, base::Fecha final) {
  campoFecha_ = std::move(campo);
  inicial_ = inicial;
  final_ = final;
}

namespace {
std::string une(const std::vector<std::string>& v, std::string_view sep) {
  std::string r;
  for (size_t i = 0; i < v.size(); ++i) r += (i ? std::string(sep) : "") + v[i];
  return r;
}
}  // namespace

std::string ConstructorConsulta::consulta() const {
  std::string q = "Select " + (seleccion_.empty() ? std::string("*") : une(seleccion_, ",")) +
                  " From \"" + base::une(datos_, tabla_) + "\"";
  std::vector<std::string> partes;
  for (const auto& c : condiciones_) {
    auto def = defCampo(c.campo);
    std::string valor = c.valor;
    if (!c.valorEsCampo && def && def->type == 'D') valor = base::fechaSql(c.valor);
    partes.push_back(c.campo + c.operador + (c.valorEsCampo ? valor : "\"" + valor + "\""));
  }
  if (!campoFecha_.empty())
    partes.push_back(campoFecha_ + ">='" + base::fechaSql(inicial_) + "' and " + campoFecha_ +
                     "<='" + base::fechaSql(final_) + "'");
  if (!partes.empty()) q += " Where " + une(partes, " and ");
  if (!orden_.empty()) q += " Order by " + une(orden_, ",");
  return q;
}

std::string ConstructorConsulta::rutaTablaTemporal() const {
  return base::une(base::une(sistema_, "tempo"), "BaseTempo.dbf");
}

std::vector<std::string> ConstructorConsulta::sentenciasTabla(bool consecutivo) const {
  std::vector<std::string> campos = seleccion_;
  if (campos.empty())
    for (const auto& d : defs_) campos.push_back(d.name);
  if (campos.empty()) return {};
  const std::string nombre = "\"" + rutaTablaTemporal();
  std::string definiciones;
  for (const auto& c : campos) {
    auto d = defCampo(c);
    std::string tipo = "CHAR(10),";
    if (d) {
      switch (d->type) {
        case 'C': tipo = "CHAR(" + std::to_string(d->length) + "),"; break;
        case 'D': tipo = "DATE,"; break;
        case 'N':
        case 'F': {
          // Small integers NUMERIC(6,2), integers NUMERIC(8,2), the rest FLOAT(8,2); a
          // source field whose values would not fit (a document number of six digits
          // in FLOAT(8,2)) gets the width they need, or storing the result would fail.
          const bool pequeno = d->decimals == 0 && d->length <= 4;
          const bool entero = d->decimals == 0 && d->length <= 9;
          const int base = pequeno ? 6 : 8;
          const int digitos = d->decimals > 0 ? d->length - d->decimals - 1 : d->length;
          const int ancho = std::max(base, digitos + 3);
          tipo = std::string(pequeno || entero ? "NUMERIC(" : "FLOAT(") + std::to_string(ancho) + ",2),";
          break;
        }
        default: tipo = "CHAR(1),";
      }
    }
    definiciones += c + " " + tipo;
  }
  definiciones.pop_back();
  return {"DROP TABLE " + nombre + "\"",
          "CREATE TABLE " + nombre + "\" (" + definiciones +
              (consecutivo ? ",CONSEC FLOAT(8,2))" : ")")};
}

bool ConstructorConsulta::guardaResultado(bool consecutivo) {
  auto sentencias = sentenciasTabla(consecutivo);
  if (sentencias.empty()) {
    ui_.mensaje(kErrorCondiciones);
    return false;
  }
  try {
    base::Espera espera(ui_);
    sql::BaseSql base(datos_);
    auto r = base.consulta(consulta());
    base::creaDirectorios(base::une(sistema_, "tempo"));
    if (base::existe(rutaTablaTemporal())) base.ejecuta(sentencias[0]);
    base.ejecuta(sentencias[1]);
    dbf::Table t;
    t.open(base::une(sistema_, "tempo"), "BaseTempo.dbf");
    const int n = static_cast<int>(r->fieldDefs().size());
    long consec = 0;
    for (r->first(); !r->isEmpty() && !r->eof(); r->next()) {
      t.append();
      for (int k = 0; k < n && k < static_cast<int>(t.fieldDefs().size()); ++k)
        sql::asignaValor(t, k, r->valor(k));
      if (consecutivo) t.setFloat("CONSEC", static_cast<double>(++consec));
      t.post();
    }
  } catch (const dbf::Error&) {
    ui_.mensaje(kErrorCondiciones);
    return false;
  }
  return true;
}

}  // namespace mostrador::query
