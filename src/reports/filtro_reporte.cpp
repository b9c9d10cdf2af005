#include "reports/filtro_reporte.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "base/fechas.h"
#include "base/rutas.h"
#include "base/texto_util.h"
#include "store/dbf/dbf_table.h"

namespace mostrador::reports {

namespace {

std::string corta15(std::string s) {
  if (s.size() > 15) s.resize(15);
  return s;
}

std::string comillas(std::string_view v) { return "\"" + std::string(v) + "\""; }

std::string traduceOperador(const std::string& op, const std::string& v) {
  if (op == "=") return v.empty() ? " IS NULL" : "= " + comillas(v);
  if (op == "<") return "< " + comillas(v);
  if (op == ">") return "> " + comillas(v);
  if (op == "<>") return v.empty() ? " IS NOT NULL" : "<> " + comillas(v);
  if (op == "<=") return "<= " + comillas(v);
  if (op == ">=") return ">= " + comillas(v);
  // "&" is "contains" in the operator legend.
  if (op == "&") return " LIKE '%" + v + "%'";
  if (op == "Inicia_Con") return " LIKE '" + v + "%'";
  if (op == "Termina_Con") return " LIKE '%" + v + "'";
  if (op == "Incluye") return " LIKE '%" + v + "%'";
  return {};
}

// Tables sharing the invoice layout are described under the invoice tables.
std::string tablaDiccionario(std::string_view tabla) {
  std::string t = base::minusculasAscii(tabla);
  if (auto p = t.find_last_of("\\/"); p != std::string::npos) t = t.substr(p + 1);
  static const std::pair<const char*, const char*> mapa[] = {
      {"remision.dbf", "facturae.dbf"}, {"cotizaci.dbf", "facturae.dbf"}, {"pedido.dbf", "facturae.dbf"},
      {"devoluci.dbf", "facturae.dbf"}, {"remisiod.dbf", "facturad.dbf"}, {"cotizad.dbf", "facturad.dbf"},
      {"pedidod.dbf", "facturad.dbf"},  {"devolucd.dbf", "facturad.dbf"}};
  for (const auto& [de, a] : mapa)
    if (t == de) return a;
  return t;
}

}  // namespace

void FiltroReporte::RangoFiltro(const base::Fecha& hoy, std::string desde, std::string hastaTexto) {
  inicial = hoy;
  final_ = hoy;
  de = std::move(desde);
  hasta = std::move(hastaTexto);
}

void FiltroReporte::aplicaOpciones(std::string_view o) {
  auto apagado = [&](size_t i) { return o.size() > i && o[i] == 'N'; };
  if (apagado(0)) inicialActivo = false;
  if (apagado(1)) finalActivo = false;
  if (apagado(2)) deActivo = false;
  if (apagado(3)) hastaActivo = false;
}

void FiltroReporte::agregaCampo(CampoFiltro c) {
  if (campos.size() >= 60) return;
  for (const auto& x : campos)
    if (x.describe == c.describe) return;
  c.campo = corta15(std::move(c.campo));
  c.tipo = corta15(std::move(c.tipo));
  campos.push_back(std::move(c));
}

std::string CondicionFiltro(const FiltroReporte& f, std::string_view campoDesde, std::string_view campoHasta) {
  std::string r;
  const bool desde = !campoDesde.empty() && f.inicialActivo && f.inicial;
  const bool hasta = !campoHasta.empty() && f.finalActivo && f.final_;
  // A text date "dd/MM/yyyy" compared as text would put 02/04 before 15/03.
  auto campo = [&](std::string_view c) {
    const std::string n(c);
    if (!f.fechasTexto) return n;
    return "(substr(" + n + ",7,4)||substr(" + n + ",4,2)||substr(" + n + ",1,2))";
  };
  auto fecha = [&](const base::Fecha& d) {
    if (!f.fechasTexto) return base::fechaSql(d);
    char b[16];
    std::snprintf(b, sizeof b, "%04d%02d%02d", d.anio, d.mes, d.dia);
    return std::string(b);
  };
  if (desde && hasta)
    r = campo(campoDesde) + " >= '" + fecha(*f.inicial) + "' and " + campo(campoHasta) + " <= '" + fecha(*f.final_) + "'  ";
  else if (desde)
    r = campo(campoDesde) + " >= '" + fecha(*f.inicial) + "' ";
  else if (hasta)
    r = campo(campoHasta) + " <= '" + fecha(*f.final_) + "'  ";
  if (f.condicionesActivas) {
    for (const auto& c : f.condiciones) {
      if (c.campo.empty() || c.operador.empty()) continue;
      if (!r.empty()) r += " and ";
      // A blank field is NULL to Local SQL, and "<> v" is never true of NULL: a condition
      // "state <> C" would drop every document whose state was never written.
      if (c.operador == "<>" && !c.valor.empty())
        r += "(" + c.campo + traduceOperador(c.operador, c.valor) + " OR " + c.campo + " IS NULL)";
      else
        r += c.campo + traduceOperador(c.operador, c.valor);
    }
  }
  if (r.empty()) return r;
  return "and " + r;
}

std::string sentenciaValores(std::string_view datos, std::string_view tabla, std::string_view campo) {
  const std::string c(campo);
  return "SELECT DISTINCT " + c + " FROM \"" + base::une(datos, tabla) + "\" order by " + c;
}

std::vector<std::string> CamposDeConsulta(std::string_view def) {
  std::vector<std::string> r;
  size_t p = def.find('&');
  if (p == std::string_view::npos) return r;
  const std::string resto = base::minusculasAscii(def.substr(p));
  size_t s = resto.find("select");
  if (s == std::string::npos) return r;
  size_t i = p + s + 6;
  std::string nombre;
  auto cierra = [&] {
    std::string n = base::recortaBlancos(nombre);
    nombre.clear();
    // "F.CLDOC_F" loses its alias; a number such as 1.15 stays whole.
    if (auto d = n.find('.'); d != std::string::npos && !std::isdigit(static_cast<unsigned char>(n[0])))
      n = n.substr(d + 1);
    if (!n.empty()) r.push_back(n);
  };
  for (; i < def.size(); ++i) {
    if (base::minusculasAscii(def.substr(i, 4)) == "from") break;
    const char c = def[i];
    if (c == ',' || c == '-' || c == '+' || c == '*' || c == '/') {
      cierra();
    } else if (c == '(' || c == ')') {
      continue;
    } else {
      nombre += c;
    }
  }
  cierra();
  return r;
}

std::vector<CampoFiltro> camposDeFiltro(std::string_view directorioSistema, std::string_view tabla,
                                        const std::vector<std::string>& camposConsulta) {
  FiltroReporte f;
  const std::string diccionario = base::une(directorioSistema, "campos.dbf");
  if (!base::existe(diccionario)) {
    for (const auto& c : camposConsulta) f.agregaCampo({c, c, ""});
    return f.campos;
  }
  dbf::Table t;
  t.open(directorioSistema, "campos.dbf");
  const std::string nombre = tablaDiccionario(tabla);
  std::vector<std::pair<std::string, CampoFiltro>> todos;
  for (t.first(); !t.eof(); t.next())
    todos.emplace_back(base::minusculasAscii(t.asText("TABLA")),
                       CampoFiltro{t.asText("DESCRIBE"), t.asText("CAMPO"), t.asText("TIPO")});
  for (const auto& [tab, c] : todos)
    if (tab == nombre) f.agregaCampo(c);
  for (const auto& nombreCampo : camposConsulta)
    for (const auto& [tab, c] : todos)
      if (base::minusculasAscii(c.campo) == base::minusculasAscii(nombreCampo)) {
        f.agregaCampo(c);
        break;
      }
  return f.campos;
}

}  // namespace mostrador::reports
