#include "store/sql/dialecto.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <map>
#include <set>

#include "base/texto_util.h"

namespace mostrador::sql {

namespace {

const std::string kMarca = "\xC2\xAB";  // «

bool esLetra(unsigned char c) { return std::isalpha(c) || c == '_' || c >= 0x80; }
bool esDigito(unsigned char c) { return c >= '0' && c <= '9'; }
bool esBlanco(unsigned char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

bool terminaEn(std::string_view s, std::string_view fin) {
  if (s.size() < fin.size()) return false;
  return base::mayusculasAscii(s.substr(s.size() - fin.size())) == base::mayusculasAscii(fin);
}

// Parses exactly n..m digits at s[i]; advances i.
bool leeNumero(std::string_view s, size_t& i, size_t minimo, size_t maximo, int& valor) {
  size_t inicio = i;
  valor = 0;
  while (i < s.size() && esDigito(static_cast<unsigned char>(s[i])) && i - inicio < maximo)
    valor = valor * 10 + (s[i++] - '0');
  return i - inicio >= minimo && (i >= s.size() || !esDigito(static_cast<unsigned char>(s[i])));
}

bool fechaValida(int a, int m, int d) {
  if (a < 1 || m < 1 || m > 12 || d < 1) return false;
  static const int dias[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  bool bisiesto = (a % 4 == 0 && a % 100 != 0) || a % 400 == 0;
  return d <= dias[m - 1] + (m == 2 && bisiesto ? 1 : 0);
}

const std::set<std::string> kNoAlias = {
    "WHERE", "GROUP", "ORDER", "HAVING", "UNION", "EXCEPT", "INTERSECT", "LIMIT", "JOIN",
    "INNER", "LEFT",  "RIGHT", "FULL",   "CROSS", "NATURAL", "OUTER",    "ON",    "USING",
    "SET",   "VALUES", "WINDOW", "SELECT", "FROM", "AND",    "OR",       "NOT",   "INDEXED",
    "DROP",  "ADD",   "WITH"};

// Words after which a table is named.
const std::set<std::string> kAntesDeTabla = {"FROM", "JOIN", "INTO", "UPDATE",
                                             "TABLE", "ON", "INDEX"};

// Words that end a FROM list at its own parenthesis depth.
const std::set<std::string> kFinDeFrom = {"WHERE", "GROUP", "ORDER", "HAVING", "UNION",
                                          "EXCEPT", "INTERSECT", "LIMIT", "SET", "VALUES",
                                          "WINDOW", "SELECT"};

const std::set<std::string> kComparacion = {"=", "==", "<>", "!=", "<", ">", "<=", ">="};

bool fechaComoTexto(std::string_view v) {
  // d/m/yyyy or dd/MM/yyyy: never a path.
  size_t i = 0;
  int x;
  if (!leeNumero(v, i, 1, 2, x) || i >= v.size() || v[i++] != '/') return false;
  if (!leeNumero(v, i, 1, 2, x) || i >= v.size() || v[i++] != '/') return false;
  return leeNumero(v, i, 4, 4, x) && i == v.size();
}

// The analysis of one statement shared by traduce() and rutasDe().
struct Analisis {
  std::vector<Token> toks;
  std::vector<size_t> sig;              // indexes of the significant tokens
  std::map<size_t, std::string> rutas;  // token index -> path (quoted or bare)
  std::vector<std::string> distintas;   // distinct paths in order
  std::map<std::string, std::string> alias;  // ALIAS (upper) -> path (upper)
};

std::string clave(std::string_view ruta) { return base::mayusculasAscii(ruta); }

Analisis analiza(std::string_view sentencia, const Entorno* entorno) {
  Analisis a;
  a.toks = tokeniza(quitaMarcas(sentencia));
  for (size_t i = 0; i < a.toks.size(); ++i)
    if (a.toks[i].clase != Clase::Espacio) a.sig.push_back(i);

  std::vector<bool> enFrom{false};  // per parenthesis depth
  for (size_t k = 0; k < a.sig.size(); ++k) {
    const Token& t = a.toks[a.sig[k]];
    const Token* previo = k > 0 ? &a.toks[a.sig[k - 1]] : nullptr;
    if (t.esSimbolo("(")) {
      enFrom.push_back(false);
      continue;
    }
    if (t.esSimbolo(")")) {
      if (enFrom.size() > 1) enFrom.pop_back();
      continue;
    }
    if (t.clase == Clase::Palabra) {
      std::string w = base::mayusculasAscii(t.texto);
      if (w == "FROM") enFrom.back() = true;
      else if (kFinDeFrom.count(w)) enFrom.back() = false;
    }
    bool posicionTabla = false;
    if (previo) {
      if (previo->clase == Clase::Palabra && kAntesDeTabla.count(base::mayusculasAscii(previo->texto)))
        posicionTabla = true;
      else if (previo->esSimbolo(",") && enFrom.back())
        posicionTabla = true;
    }
    std::optional<std::string> ruta;
    if (t.clase == Clase::Comillas) {
      std::string v = t.valor();
      if (!fechaComoTexto(v) && !v.empty() &&
          (posicionTabla || terminaEn(v, ".dbf") || terminaEn(v, ".db")))
        ruta = v;
    } else if (t.clase == Clase::Palabra && posicionTabla && entorno &&
               entorno->tablaSinComillas && !kNoAlias.count(base::mayusculasAscii(t.texto))) {
      // A bare name is a table only when it is not followed by "(" or "." (a function
      // or a qualified column after ON).
      bool siguePunto = k + 1 < a.sig.size() && (a.toks[a.sig[k + 1]].esSimbolo(".") ||
                                                 a.toks[a.sig[k + 1]].esSimbolo("("));
      if (!siguePunto) ruta = entorno->tablaSinComillas(t.texto);
    }
    if (!ruta) continue;
    a.rutas[a.sig[k]] = *ruta;
    bool nueva = std::none_of(a.distintas.begin(), a.distintas.end(),
                              [&](const std::string& r) { return clave(r) == clave(*ruta); });
    if (nueva) a.distintas.push_back(*ruta);
    // Alias: "<table> AS x" or "<table> x".
    if (k + 1 < a.sig.size()) {
      const Token& n = a.toks[a.sig[k + 1]];
      if (n.es("AS") && k + 2 < a.sig.size() && a.toks[a.sig[k + 2]].clase == Clase::Palabra)
        a.alias[base::mayusculasAscii(a.toks[a.sig[k + 2]].texto)] = clave(*ruta);
      else if (n.clase == Clase::Palabra && !kNoAlias.count(base::mayusculasAscii(n.texto)))
        a.alias[base::mayusculasAscii(n.texto)] = clave(*ruta);
    }
  }
  return a;
}

std::string comoLiteral(std::string_view v) {
  std::string r = "'";
  for (char c : v) {
    if (c == '\'') r += '\'';
    r += c;
  }
  return r + "'";
}

// Rewrites dates and literals over an analysed statement.
class Reescritura {
 public:
  Reescritura(Analisis& a, std::map<std::string, TablaRegistrada>& tablas)
      : a_(a), tablas_(tablas), pre_(a.toks.size()), post_(a.toks.size()),
        texto_(a.toks.size()) {
    for (size_t i = 0; i < a_.toks.size(); ++i) texto_[i] = a_.toks[i].texto;
  }

  std::string ejecuta() {
    for (size_t k = 0; k < a_.sig.size(); ++k) {
      size_t i = a_.sig[k];
      auto ruta = a_.rutas.find(i);
      if (ruta != a_.rutas.end()) {
        texto_[i] = tablas_.at(clave(ruta->second)).nombre;
        continue;
      }
      const Token& t = a_.toks[i];
      if (t.clase == Clase::Comillas) texto_[i] = comoLiteral(t.valor());
      if (esLiteral(k)) {
        if (auto f = fechaDeLiteral(a_.toks[i].valor()); f && comparadoConFecha(k))
          texto_[i] = "'" + fechaIso(*f) + "'";
        else if (auto fh = fechaHoraDeLiteral(a_.toks[i].valor()); fh && comparadoConFecha(k))
          texto_[i] = "'" + fechaHoraIso(*fh) + "'";
      }
      if (t.esSimbolo("-")) restaDeFechas(k);
    }
    std::string r;
    for (size_t i = 0; i < a_.toks.size(); ++i) r += pre_[i] + texto_[i] + post_[i];
    return r;
  }

 private:
  const Token& tok(size_t k) const { return a_.toks[a_.sig[k]]; }
  bool esLiteral(size_t k) const {
    const Token& t = tok(k);
    return t.clase == Clase::Cadena ||
           (t.clase == Clase::Comillas && !a_.rutas.count(a_.sig[k]));
  }

  // Is the column reference that ends at significant token k (a Palabra, possibly
  // "q . c") a date field? inicio receives the first token of the reference.
  bool columnaFechaTerminaEn(size_t k, size_t* inicio = nullptr) const {
    if (k >= a_.sig.size() || tok(k).clase != Clase::Palabra) return false;
    if (k + 1 < a_.sig.size() && tok(k + 1).esSimbolo("(")) return false;
    std::string calificador;
    size_t primero = k;
    if (k >= 2 && tok(k - 1).esSimbolo(".") &&
        (tok(k - 2).clase == Clase::Palabra || a_.rutas.count(a_.sig[k - 2]))) {
      primero = k - 2;
      auto r = a_.rutas.find(a_.sig[k - 2]);
      calificador = r != a_.rutas.end() ? "\x01" + clave(r->second) : base::mayusculasAscii(tok(k - 2).texto);
    }
    if (inicio) *inicio = primero;
    return esCampoFecha(calificador, tok(k).texto);
  }
  // The same for a reference that starts at k.
  bool columnaFechaEmpiezaEn(size_t k, size_t* fin = nullptr) const {
    if (k >= a_.sig.size()) return false;
    size_t ultimo = k;
    if (k + 2 < a_.sig.size() && tok(k + 1).esSimbolo(".")) ultimo = k + 2;
    if (fin) *fin = ultimo;
    size_t inicio;
    return columnaFechaTerminaEn(ultimo, &inicio) && inicio == k;
  }

  bool esCampoFecha(const std::string& calificador, std::string_view nombre) const {
    auto esFecha = [&](const TablaRegistrada& t) {
      for (const auto& f : t.campos)
        if ((f.type == 'D' || f.type == '@') &&
            base::mayusculasAscii(f.name) == base::mayusculasAscii(nombre))
          return true;
      return false;
    };
    if (!calificador.empty()) {
      std::string ruta;
      if (calificador[0] == '\x01') {
        ruta = calificador.substr(1);
      } else if (auto al = a_.alias.find(calificador); al != a_.alias.end()) {
        ruta = al->second;
      } else {
        for (const auto& [r, t] : tablas_)
          if (base::mayusculasAscii(t.nombre) == calificador) ruta = r;
      }
      auto t = tablas_.find(ruta);
      return t != tablas_.end() && esFecha(t->second);
    }
    for (const auto& [r, t] : tablas_)
      if (esFecha(t)) return true;
    return false;
  }

  bool comparadoConFecha(size_t k) const {
    // <column> op 'date'
    if (k >= 2 && tok(k - 1).clase == Clase::Simbolo && kComparacion.count(tok(k - 1).texto) &&
        columnaFechaTerminaEn(k - 2))
      return true;
    // 'date' op <column>
    if (k + 2 < a_.sig.size() && tok(k + 1).clase == Clase::Simbolo &&
        kComparacion.count(tok(k + 1).texto) && columnaFechaEmpiezaEn(k + 2))
      return true;
    // <column> [NOT] BETWEEN 'date' AND 'date'
    auto antesDeBetween = [&](size_t b) {
      if (b >= 1 && columnaFechaTerminaEn(b - 1)) return true;
      return b >= 2 && tok(b - 1).es("NOT") && columnaFechaTerminaEn(b - 2);
    };
    if (k >= 1 && tok(k - 1).es("BETWEEN") && antesDeBetween(k - 1)) return true;
    if (k >= 3 && tok(k - 1).es("AND") && esLiteral(k - 2) && tok(k - 3).es("BETWEEN") &&
        antesDeBetween(k - 3))
      return true;
    // <column> [NOT] IN ('date', ...)
    size_t j = k;
    while (j >= 2 && tok(j - 1).esSimbolo(",") && esLiteral(j - 2)) j -= 2;
    if (j >= 2 && tok(j - 1).esSimbolo("(") && tok(j - 2).es("IN")) {
      if (j >= 3 && columnaFechaTerminaEn(j - 3)) return true;
      if (j >= 4 && tok(j - 3).es("NOT") && columnaFechaTerminaEn(j - 4)) return true;
    }
    return false;
  }

  // <date> - <date>, with at least one date field: a number of days.
  void restaDeFechas(size_t k) {
    if (k == 0 || k + 1 >= a_.sig.size()) return;
    size_t ini = k - 1, finIzq = k - 1;
    bool izqColumna = columnaFechaTerminaEn(k - 1, &ini);
    bool izqFecha = izqColumna || (esLiteral(k - 1) && esFechaLiteral(tok(k - 1).valor()));
    size_t fin = k + 1;
    bool derColumna = columnaFechaEmpiezaEn(k + 1, &fin);
    bool derFecha = derColumna || (esLiteral(k + 1) && esFechaLiteral(tok(k + 1).valor()));
    if (!izqFecha || !derFecha || !(izqColumna || derColumna)) return;
    if (!izqColumna) convierteLiteral(k - 1);
    if (!derColumna) convierteLiteral(k + 1);
    pre_[a_.sig[ini]] += "julianday(";
    post_[a_.sig[finIzq]] += ")";
    pre_[a_.sig[k + 1]] += "julianday(";
    post_[a_.sig[fin]] += ")";
  }

  static bool esFechaLiteral(std::string_view v) {
    return fechaDeLiteral(v).has_value() || fechaHoraDeLiteral(v).has_value();
  }
  void convierteLiteral(size_t k) {
    if (auto f = fechaDeLiteral(tok(k).valor()))
      texto_[a_.sig[k]] = "'" + fechaIso(*f) + "'";
    else if (auto fh = fechaHoraDeLiteral(tok(k).valor()))
      texto_[a_.sig[k]] = "'" + fechaHoraIso(*fh) + "'";
  }

  Analisis& a_;
  std::map<std::string, TablaRegistrada>& tablas_;
  std::vector<std::string> pre_, post_, texto_;
};

}  // namespace

std::string Token::valor() const {
  if (clase != Clase::Cadena && clase != Clase::Comillas) return texto;
  char q = texto[0];
  std::string r;
  for (size_t i = 1; i + 1 < texto.size(); ++i) {
    r += texto[i];
    if (texto[i] == q) ++i;  // doubled quote
  }
  return r;
}

bool Token::es(std::string_view palabra) const {
  return clase == Clase::Palabra && base::mayusculasAscii(texto) == base::mayusculasAscii(palabra);
}

std::string quitaMarcas(std::string_view sentencia) {
  std::string r;
  r.reserve(sentencia.size());
  for (size_t i = 0; i < sentencia.size();) {
    if (sentencia.compare(i, kMarca.size(), kMarca) == 0) {
      i += kMarca.size();
      continue;
    }
    r += sentencia[i++];
  }
  return r;
}

std::vector<Token> tokeniza(std::string_view s) {
  std::vector<Token> r;
  size_t i = 0;
  auto agrega = [&](Clase c, size_t inicio) {
    r.push_back(Token{c, std::string(s.substr(inicio, i - inicio)), inicio});
  };
  while (i < s.size()) {
    size_t inicio = i;
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (esBlanco(c)) {
      while (i < s.size() && esBlanco(static_cast<unsigned char>(s[i]))) ++i;
      agrega(Clase::Espacio, inicio);
    } else if (c == '-' && i + 1 < s.size() && s[i + 1] == '-') {
      while (i < s.size() && s[i] != '\n') ++i;
      agrega(Clase::Espacio, inicio);
    } else if (c == '/' && i + 1 < s.size() && s[i + 1] == '*') {
      size_t fin = s.find("*/", i + 2);
      i = fin == std::string_view::npos ? s.size() : fin + 2;
      agrega(Clase::Espacio, inicio);
    } else if (c == '\'' || c == '"') {
      ++i;
      for (;;) {
        if (i >= s.size())
          throw Error("Falta cerrar las comillas que abren en la posición " +
                      std::to_string(inicio + 1) + " de la sentencia");
        if (static_cast<unsigned char>(s[i]) == c) {
          if (i + 1 < s.size() && static_cast<unsigned char>(s[i + 1]) == c) {
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        ++i;
      }
      agrega(c == '\'' ? Clase::Cadena : Clase::Comillas, inicio);
    } else if (esDigito(c) || (c == '.' && i + 1 < s.size() &&
                               esDigito(static_cast<unsigned char>(s[i + 1])))) {
      while (i < s.size() && esDigito(static_cast<unsigned char>(s[i]))) ++i;
      if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && esDigito(static_cast<unsigned char>(s[i]))) ++i;
      }
      if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
        if (j < s.size() && esDigito(static_cast<unsigned char>(s[j]))) {
          i = j;
          while (i < s.size() && esDigito(static_cast<unsigned char>(s[i]))) ++i;
        }
      }
      agrega(Clase::Numero, inicio);
    } else if (esLetra(c)) {
      while (i < s.size() && (esLetra(static_cast<unsigned char>(s[i])) ||
                              esDigito(static_cast<unsigned char>(s[i])) || s[i] == '$'))
        ++i;
      agrega(Clase::Palabra, inicio);
    } else {
      static const char* dobles[] = {"<>", "<=", ">=", "!=", "==", "||", "<<", ">>"};
      i += 1;
      for (const char* d : dobles)
        if (s.compare(inicio, 2, d) == 0) i = inicio + 2;
      agrega(Clase::Simbolo, inicio);
    }
  }
  return r;
}

std::vector<Token> significativos(std::string_view sentencia) {
  std::vector<Token> r;
  for (auto& t : tokeniza(sentencia))
    if (t.clase != Clase::Espacio) r.push_back(std::move(t));
  return r;
}

std::optional<dbf::Fecha> fechaDeLiteral(std::string_view v) {
  size_t i = 0;
  int a, m, d;
  // yyyy-mm-dd
  if (leeNumero(v, i, 4, 4, a) && i < v.size() && v[i] == '-') {
    ++i;
    if (!leeNumero(v, i, 2, 2, m) || i >= v.size() || v[i++] != '-') return std::nullopt;
    if (!leeNumero(v, i, 2, 2, d) || i != v.size()) return std::nullopt;
    if (!fechaValida(a, m, d)) return std::nullopt;
    return dbf::Fecha{a, m, d};
  }
  i = 0;
  int p1, p2;
  size_t i1 = i;
  if (!leeNumero(v, i, 1, 2, p1) || i >= v.size() || v[i] != '/') return std::nullopt;
  size_t largo1 = i - i1;
  ++i;
  size_t i2 = i;
  if (!leeNumero(v, i, 1, 2, p2) || i >= v.size() || v[i] != '/') return std::nullopt;
  size_t largo2 = i - i2;
  ++i;
  if (!leeNumero(v, i, 4, 4, a) || i != v.size()) return std::nullopt;
  bool ceroInicial = (largo1 == 2 && v[i1] == '0') || (largo2 == 2 && v[i2] == '0');
  bool corta = ceroInicial || p1 > 12;
  d = corta ? p1 : p2;
  m = corta ? p2 : p1;
  if (!fechaValida(a, m, d)) return std::nullopt;
  return dbf::Fecha{a, m, d};
}

std::string fechaIso(const dbf::Fecha& f) {
  char b[16];
  std::snprintf(b, sizeof b, "%04d-%02d-%02d", f.anio % 10000, f.mes % 100, f.dia % 100);
  return b;
}

std::optional<dbf::FechaHora> fechaHoraDeLiteral(std::string_view v) {
  size_t corte = v.find_first_of(" T");
  if (corte == std::string_view::npos) return std::nullopt;
  auto f = fechaDeLiteral(v.substr(0, corte));
  if (!f) return std::nullopt;
  size_t i = corte + 1;
  int h, m, s = 0, ms = 0;
  if (!leeNumero(v, i, 1, 2, h) || i >= v.size() || v[i++] != ':') return std::nullopt;
  if (!leeNumero(v, i, 2, 2, m)) return std::nullopt;
  if (i < v.size()) {
    if (v[i++] != ':' || !leeNumero(v, i, 2, 2, s)) return std::nullopt;
    if (i < v.size()) {
      size_t inicio = i + 1;
      if (v[i++] != '.' || !leeNumero(v, i, 1, 3, ms) || i != v.size()) return std::nullopt;
      for (size_t k = i - inicio; k < 3; ++k) ms *= 10;
    }
  }
  if (h > 23 || m > 59 || s > 59) return std::nullopt;
  return dbf::FechaHora{base::Fecha{f->anio, f->mes, f->dia}, base::Hora{h, m, s, ms}};
}

std::string fechaHoraIso(const dbf::FechaHora& fh) {
  char b[32];
  std::snprintf(b, sizeof b, "%04d-%02d-%02d %02d:%02d:%02d", fh.fecha.anio % 10000, fh.fecha.mes % 100,
                fh.fecha.dia % 100, fh.hora.hora % 100, fh.hora.minuto % 100, fh.hora.segundo % 100);
  return b;
}

Traduccion traduce(std::string_view sentencia, const Entorno& entorno) {
  Analisis a = analiza(sentencia, &entorno);
  std::map<std::string, TablaRegistrada> tablas;
  for (const auto& ruta : a.distintas) tablas[clave(ruta)] = entorno.registra(ruta);
  Traduccion t;
  t.sql = Reescritura(a, tablas).ejecuta();
  t.rutas = a.distintas;
  return t;
}

std::vector<std::string> rutasDe(std::string_view sentencia) {
  return analiza(sentencia, nullptr).distintas;
}

}  // namespace mostrador::sql
