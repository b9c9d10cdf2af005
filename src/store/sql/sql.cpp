#include "store/sql/sql.h"

#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>

#include "base/rutas.h"
#include "base/texto_util.h"
#include "store/dbf/key_expression.h"
#include "store/sql/vtabla.h"

namespace mostrador::sql {

namespace fs = std::filesystem;

namespace {

// SQLite speaks English; the shop reads Spanish. The commonest errors are said in
// Spanish with what they name (the table, the field, where the sentence breaks); any
// other keeps SQLite's text after a Spanish lead.
std::string enEspanol(std::string texto) {
  struct Traduccion {
    const char* ingles;
    const char* espanol;
  };
  static const Traduccion prefijos[] = {
      {"no such table: ", "No existe la tabla "},
      {"no such column: ", "No existe el campo "},
      {"ambiguous column name: ", "El campo está en más de una tabla, anteponga la suya: "},
      {"no such function: ", "No existe la función "},
      {"misuse of aggregate: ", "Función de grupo mal usada: "},
      {"misuse of aggregate function ", "Función de grupo mal usada: "},
      {"wrong number of arguments to function ", "Número de argumentos equivocado para la función "},
  };
  auto empieza = [&](const char* p) { return texto.rfind(p, 0) == 0; };
  if (empieza("near \"")) {
    const size_t fin = texto.find("\": syntax error");
    if (fin != std::string::npos) return "Error de sintaxis cerca de " + texto.substr(5, fin - 5 + 1);
  }
  if (texto == "incomplete input") return "La sentencia está incompleta";
  if (empieza("UNIQUE constraint failed: ")) return "Valor repetido en el campo único " + texto.substr(26);
  if (empieza("table ") && texto.ends_with(" already exists"))
    return "La tabla " + texto.substr(6, texto.size() - 6 - 15) + " ya existe";
  if (texto.find(" values for ") != std::string::npos && texto.ends_with(" columns"))
    return "El número de valores no es el de los campos (" + texto + ")";
  if (texto.find("SELECTs to the left and right of UNION") != std::string::npos)
    return "Las consultas unidas con UNION deben tener el mismo número de columnas";
  for (const auto& t : prefijos)
    if (*t.espanol && empieza(t.ingles)) return t.espanol + texto.substr(std::string_view(t.ingles).size());
  return "Error en la consulta: " + texto;
}

std::string recorta(std::string_view s) {
  size_t a = s.find_first_not_of(" \t\r\n");
  if (a == std::string_view::npos) return {};
  size_t b = s.find_last_not_of(" \t\r\n");
  return std::string(s.substr(a, b - a + 1));
}

bool aNumero(const std::string& s, double& d) {
  if (s.empty()) return false;
  char* fin;
  d = std::strtod(s.c_str(), &fin);
  return *fin == 0 && std::isfinite(d);
}

std::optional<dbf::Fecha> aFecha(const std::string& s) {
  if (auto f = fechaDeLiteral(s)) return f;
  if (s.size() == 8 && std::all_of(s.begin(), s.end(), ::isdigit)) return dbf::leeFecha(s);
  return std::nullopt;
}

std::string describe(const Valor& v) {
  if (auto* i = std::get_if<long long>(&v)) return std::to_string(*i);
  if (auto* d = std::get_if<double>(&v)) return textoDeNumero(*d);
  if (auto* s = std::get_if<std::string>(&v)) return "'" + *s + "'";
  return "NULL";
}

// A date-time: the dialect's literal first (its date rule), then the engine's forms.
std::optional<dbf::FechaHora> aFechaHora(const std::string& s) {
  if (auto fh = fechaHoraDeLiteral(s)) return fh;
  if (auto f = aFecha(s)) return dbf::FechaHora{base::Fecha{f->anio, f->mes, f->dia}, {}};
  return dbf::leeFechaHora(s);
}

using ValorCampo = std::variant<std::monostate, std::string, double, dbf::Fecha, bool, dbf::FechaHora>;

ValorCampo convierte(const Valor& v, const dbf::FieldDef& f) {
  if (std::holds_alternative<std::monostate>(v)) return std::monostate{};
  auto noValido = [&]() {
    return Error("Valor no válido para el campo " + f.name + ": " + describe(v));
  };
  const std::string* texto = std::get_if<std::string>(&v);
  switch (f.type) {
    case 'N':
    case 'F': {
      if (auto* i = std::get_if<long long>(&v)) return static_cast<double>(*i);
      if (auto* d = std::get_if<double>(&v)) return *d;
      std::string s = recorta(*texto);
      if (s.empty()) return std::monostate{};
      double d;
      if (!aNumero(s, d)) throw noValido();
      return d;
    }
    case 'D': {
      if (!texto) throw noValido();
      std::string s = recorta(*texto);
      if (s.empty()) return std::monostate{};
      auto fecha = aFecha(s);
      if (!fecha) {
        // A date-time gives its date (a date-time column copied into a date field).
        if (auto fh = fechaHoraDeLiteral(s)) fecha = dbf::Fecha{fh->fecha.anio, fh->fecha.mes, fh->fecha.dia};
      }
      if (!fecha) throw noValido();
      return *fecha;
    }
    case '@': {
      if (!texto) throw noValido();
      std::string s = recorta(*texto);
      if (s.empty()) return std::monostate{};
      auto fh = aFechaHora(s);
      if (!fh) throw noValido();
      return *fh;
    }
    case 'L': {
      if (!texto) return std::get_if<long long>(&v) ? *std::get_if<long long>(&v) != 0
                                                    : std::get<double>(v) != 0;
      std::string s = base::mayusculasAscii(recorta(*texto));
      if (s.empty()) return std::monostate{};
      if (s == "T" || s == "S" || s == "Y" || s == "SI" || s == "TRUE" || s == "1") return true;
      if (s == "F" || s == "N" || s == "NO" || s == "FALSE" || s == "0") return false;
      throw noValido();
    }
    default:
      if (texto) return *texto;
      if (auto* i = std::get_if<long long>(&v)) return std::to_string(*i);
      return textoDeNumero(std::get<double>(v));
  }
}

void escribe(dbf::Table& t, int campo, const ValorCampo& v) {
  if (std::holds_alternative<std::monostate>(v)) t.setNull(campo);
  else if (auto* s = std::get_if<std::string>(&v)) t.setText(campo, *s);
  else if (auto* d = std::get_if<double>(&v)) t.setFloat(campo, *d);
  else if (auto* f = std::get_if<dbf::Fecha>(&v)) t.setDate(campo, *f);
  else if (auto* fh = std::get_if<dbf::FechaHora>(&v)) t.setDateTime(campo, *fh);
  else t.setBool(campo, std::get<bool>(v));
}

struct Partes {
  std::string dir, archivo;
};
Partes partes(const std::string& local) {
  fs::path p(local);
  return {p.parent_path().string(), p.filename().string()};
}

// Reads statements token by token, for the statements SQLite does not run itself.
class Lector {
 public:
  Lector(std::string texto, const std::string& original)
      : texto_(std::move(texto)), toks_(significativos(texto_)), original_(original) {
    while (!toks_.empty() && toks_.back().esSimbolo(";")) toks_.pop_back();
  }

  bool fin() const { return i_ >= toks_.size(); }
  const Token& actual() const {
    if (fin()) throw Error("La sentencia termina antes de tiempo: " + original_);
    return toks_[i_];
  }
  const Token& toma() {
    const Token& t = actual();
    ++i_;
    return t;
  }
  bool es(std::string_view palabra) const { return !fin() && toks_[i_].es(palabra); }
  bool esSimbolo(std::string_view s) const { return !fin() && toks_[i_].esSimbolo(s); }
  bool acepta(std::string_view palabra) {
    if (!es(palabra)) return false;
    ++i_;
    return true;
  }
  bool aceptaSimbolo(std::string_view s) {
    if (!esSimbolo(s)) return false;
    ++i_;
    return true;
  }
  void espera(std::string_view palabra) {
    if (!acepta(palabra)) throw cerca("Se esperaba " + std::string(palabra));
  }
  void esperaSimbolo(std::string_view s) {
    if (!aceptaSimbolo(s)) throw cerca("Se esperaba \"" + std::string(s) + "\"");
  }
  std::string nombre() {
    const Token& t = actual();
    if (t.clase != Clase::Palabra && t.clase != Clase::Comillas)
      throw cerca("Se esperaba un nombre");
    ++i_;
    return t.clase == Clase::Comillas ? t.valor() : t.texto;
  }
  int entero() {
    const Token& t = actual();
    if (t.clase != Clase::Numero || t.texto.find_first_not_of("0123456789") != std::string::npos)
      throw cerca("Se esperaba un número entero");
    ++i_;
    return std::atoi(t.texto.c_str());
  }
  Error cerca(const std::string& que) const {
    if (fin()) return Error(que + " al final de la sentencia");
    return Error(que + " cerca de \"" + toks_[i_].texto + "\"");
  }

  size_t indice() const { return i_; }
  void salta(size_t i) { i_ = i; }
  // The statement's text from token a up to (not including) token b.
  std::string texto(size_t a, size_t b) const {
    if (a >= b) return {};
    size_t desde = toks_[a].pos;
    size_t hasta = b < toks_.size() ? toks_[b].pos : toks_.back().pos + toks_.back().texto.size();
    return texto_.substr(desde, hasta - desde);
  }
  size_t cuenta() const { return toks_.size(); }
  const Token& en(size_t i) const { return toks_[i]; }

 private:
  std::string texto_;
  std::vector<Token> toks_;
  size_t i_ = 0;
  std::string original_;
};

// A field definition: name type [(n[,m])] [NOT NULL] [PRIMARY KEY].
dbf::FieldDef leeCampo(Lector& l, bool* primaria) {
  dbf::FieldDef f;
  std::string nombre = l.nombre();
  f.name = base::mayusculasAscii(nombre).substr(0, 10);
  if (l.fin() || l.esSimbolo(",") || l.esSimbolo(")"))
    throw Error("Falta el tipo del campo " + nombre);
  const Token& t = l.toma();
  if (t.clase != Clase::Palabra) throw Error("Falta el tipo del campo " + nombre);
  std::string tipo = base::mayusculasAscii(t.texto);
  int p = -1, s = -1;
  if (l.aceptaSimbolo("(")) {
    p = l.entero();
    if (l.aceptaSimbolo(",")) s = l.entero();
    l.esperaSimbolo(")");
  }
  auto tamano = [&](int minimo, int maximo) {
    if (p < minimo || p > maximo)
      throw Error("Tamaño no válido para el campo " + nombre + ": " + std::to_string(p));
  };
  if (tipo == "CHAR" || tipo == "VARCHAR" || tipo == "CHARACTER") {
    if (p < 0) p = 1;
    tamano(1, 254);
    f.type = 'C';
    f.length = p;
  } else if (tipo == "NUMERIC" || tipo == "DECIMAL" || tipo == "NUMBER" || tipo == "FLOAT") {
    if (p < 0) p = tipo == "FLOAT" ? 20 : 10;
    if (s < 0) s = tipo == "FLOAT" ? 4 : 0;
    tamano(1, 20);
    if (s > 0 && s > p - 2)
      throw Error("Decimales no válidos para el campo " + nombre + ": " + std::to_string(s));
    f.type = tipo == "FLOAT" ? 'F' : 'N';
    f.length = p;
    f.decimals = s;
  } else if (tipo == "INTEGER" || tipo == "INT" || tipo == "SMALLINT") {
    f.type = 'N';
    f.length = tipo == "SMALLINT" ? 6 : 11;
  } else if (tipo == "DATE" || tipo == "TIME") {
    f.type = 'D';
    f.length = 8;
  } else if (tipo == "TIMESTAMP" || tipo == "DATETIME") {
    f.type = '@';
    f.length = 8;
  } else if (tipo == "BOOLEAN" || tipo == "LOGICAL" || tipo == "BOOL") {
    f.type = 'L';
    f.length = 1;
  } else {
    throw Error("Tipo " + t.texto + " no reconocido para el campo " + nombre);
  }
  for (;;) {
    if (l.acepta("NOT")) {
      l.espera("NULL");
    } else if (l.acepta("NULL")) {
    } else if (l.acepta("PRIMARY")) {
      l.espera("KEY");
      if (!primaria) throw Error("PRIMARY KEY no se admite aquí");
      *primaria = true;
    } else {
      break;
    }
  }
  return f;
}

// Every name a tag's key reads: the fields of a list, the words of an expression.
std::set<std::string> camposDeClave(const std::string& clave) {
  std::set<std::string> r;
  if (!clave.empty() && clave[0] == '*') {
    for (const auto& t : significativos(clave.substr(1)))
      if (t.clase == Clase::Palabra) r.insert(base::mayusculasAscii(t.texto));
  } else {
    size_t a = 0;
    while (a <= clave.size()) {
      size_t b = clave.find(';', a);
      if (b == std::string::npos) b = clave.size();
      r.insert(base::mayusculasAscii(recorta(clave.substr(a, b - a))));
      a = b + 1;
    }
  }
  return r;
}

int campoPorNombre(const std::vector<dbf::FieldDef>& campos, const std::string& nombre) {
  std::string n = base::mayusculasAscii(nombre);
  for (size_t i = 0; i < campos.size(); ++i)
    if (base::mayusculasAscii(campos[i].name) == n) return static_cast<int>(i);
  return -1;
}

void copiaCampo(const dbf::Table& de, int a, dbf::Table& hacia, int b) {
  if (de.isNull(a)) {
    hacia.setNull(b);
    return;
  }
  switch (de.fieldDefs()[a].type) {
    case 'N':
    case 'F':
      hacia.setFloat(b, de.asFloat(a));
      break;
    case 'D':
      hacia.setDate(b, de.asDate(a));
      break;
    case '@':
      hacia.setDateTime(b, de.asDateTime(a));
      break;
    case 'L':
      hacia.setBool(b, de.asBool(a));
      break;
    default:
      hacia.setText(b, de.asText(a));
  }
}

// The files of a table in its directory: the .dbf and, when present, its .mdx.
std::vector<std::string> archivosDeTabla(const std::string& dir, const std::string& archivo) {
  std::vector<std::string> r{archivo};
  std::string raiz = archivo.substr(0, archivo.find('.'));
  for (const auto& n : base::lista(dir, raiz + ".mdx")) r.push_back(n);
  return r;
}

}  // namespace

std::string rutaLocalDeTabla(std::string_view ruta) {
  fs::path local = base::resuelve(ruta);
  std::error_code ec;
  if (!fs::exists(local, ec) && !local.has_extension()) {
    fs::path conDbf = base::resuelve(std::string(ruta) + ".dbf");
    if (fs::exists(conDbf, ec)) return conDbf.string();
  }
  return local.string();
}

void asignaValor(dbf::Table& tabla, int campo, const Valor& valor) {
  escribe(tabla, campo, convierte(valor, tabla.fieldDefs().at(campo)));
}

struct BaseSql::Impl {
  sqlite3* db = nullptr;
  std::unique_ptr<TablasVirtuales> virtuales;
  std::string directorioDatos;
  int contador = 0;

  // The virtual tables of one statement, dropped when it ends.
  struct Sesion {
    Impl& base;
    std::vector<std::string> creadas;
    std::map<std::string, std::string> rutaDe;  // virtual name -> path as written
    explicit Sesion(Impl& b) : base(b) {}
    ~Sesion() {
      for (const auto& n : creadas) base.virtuales->borra(n);
    }
    Entorno entorno() {
      Entorno e;
      e.registra = [this](const std::string& ruta) {
        std::string local = rutaLocalDeTabla(ruta);
        std::error_code ec;
        if (!fs::is_regular_file(local, ec)) throw Error("No existe la tabla " + ruta);
        std::string nombre = "dbf" + std::to_string(++base.contador);
        const auto& campos = base.virtuales->crea(nombre, local);
        creadas.push_back(nombre);
        rutaDe[nombre] = ruta;
        return TablaRegistrada{nombre, campos};
      };
      if (!base.directorioDatos.empty()) {
        e.tablaSinComillas = [this](const std::string& n) -> std::optional<std::string> {
          for (const char* ext : {"", ".dbf", ".db"}) {
            std::string ruta = base::une(base.directorioDatos, n + ext);
            if (base::existe(ruta) && !base::esDirectorio(ruta)) return ruta;
          }
          return std::nullopt;
        };
      }
      return e;
    }
    // SQLite's message with the virtual names turned back into the paths (and without
    // the schema they live in).
    std::string mensaje(std::string texto) const {
      texto = enEspanol(std::move(texto));
      for (size_t p = texto.find("temp."); p != std::string::npos; p = texto.find("temp.", p))
        texto.erase(p, 5);
      for (auto it = rutaDe.rbegin(); it != rutaDe.rend(); ++it) {
        for (size_t p = texto.find(it->first); p != std::string::npos;
             p = texto.find(it->first, p)) {
          size_t fin = p + it->first.size();
          bool palabra = fin >= texto.size() || !std::isdigit(static_cast<unsigned char>(texto[fin]));
          if (!palabra) {
            p = fin;
            continue;
          }
          std::string r = "\"" + it->second + "\"";
          texto.replace(p, it->first.size(), r);
          p += r.size();
        }
      }
      return texto;
    }
  };

  std::unique_ptr<Resultado> consulta(std::string_view sentencia);
  long creaTabla(Lector& l);
  long creaIndice(Lector& l, bool unico);
  long alteraTabla(Lector& l);
  long borraTabla(Lector& l);
  long borraIndice(Lector& l);
  long inserta(Lector& l);
  long actualiza(Lector& l);
  long borraRegistros(Lector& l);

  // The path named by the current token (quoted or bare) and its local path.
  std::pair<std::string, std::string> tabla(Lector& l) {
    const Token& t = l.actual();
    std::string ruta;
    if (t.clase == Clase::Comillas) {
      ruta = t.valor();
    } else if (t.clase == Clase::Palabra && !directorioDatos.empty()) {
      ruta = base::une(directorioDatos, t.texto);
    } else {
      throw l.cerca("Se esperaba el nombre de una tabla");
    }
    l.toma();
    return {ruta, rutaLocalDeTabla(ruta)};
  }
  static void debeExistir(const std::string& ruta, const std::string& local) {
    std::error_code ec;
    if (!fs::is_regular_file(local, ec)) throw Error("No existe la tabla " + ruta);
  }
};

std::unique_ptr<Resultado> BaseSql::Impl::consulta(std::string_view sentencia) {
  Sesion s(*this);
  Traduccion t = traduce(sentencia, s.entorno());
  sqlite3_stmt* st = nullptr;
  const char* cola = nullptr;
  if (sqlite3_prepare_v2(db, t.sql.c_str(), static_cast<int>(t.sql.size()), &st, &cola) !=
      SQLITE_OK)
    throw Error(s.mensaje(sqlite3_errmsg(db)));
  std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> guarda(st, sqlite3_finalize);
  if (!st) throw Error("La sentencia está vacía");
  for (; cola && *cola; ++cola)
    if (*cola != ';' && !std::isspace(static_cast<unsigned char>(*cola)))
      throw Error("Solo se admite una sentencia a la vez");
  if (!sqlite3_stmt_readonly(st)) throw Error("La sentencia no es una consulta");

  const int n = sqlite3_column_count(st);
  std::vector<std::string> nombres;
  std::vector<std::optional<dbf::FieldDef>> origenes;
  for (int i = 0; i < n; ++i) {
    nombres.emplace_back(sqlite3_column_name(st, i));
    std::optional<dbf::FieldDef> origen;
    const char* tabla = sqlite3_column_table_name(st, i);
    const char* columna = sqlite3_column_origin_name(st, i);
    if (tabla && columna)
      if (const auto* campos = virtuales->campos(tabla))
        if (int c = campoPorNombre(*campos, columna); c >= 0) origen = (*campos)[c];
    origenes.push_back(origen);
  }
  std::vector<Valor> valores;
  int rc;
  while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
    for (int i = 0; i < n; ++i) {
      switch (sqlite3_column_type(st, i)) {
        case SQLITE_INTEGER:
          valores.emplace_back(static_cast<long long>(sqlite3_column_int64(st, i)));
          break;
        case SQLITE_FLOAT:
          valores.emplace_back(sqlite3_column_double(st, i));
          break;
        case SQLITE_NULL:
          valores.emplace_back(std::monostate{});
          break;
        default: {
          const char* txt = reinterpret_cast<const char*>(sqlite3_column_text(st, i));
          valores.emplace_back(std::string(txt, static_cast<size_t>(sqlite3_column_bytes(st, i))));
        }
      }
    }
  }
  if (rc != SQLITE_DONE) throw Error(s.mensaje(sqlite3_errmsg(db)));
  return std::make_unique<Resultado>(std::move(nombres), std::move(origenes), std::move(valores));
}

long BaseSql::Impl::creaTabla(Lector& l) {
  auto [ruta, local] = tabla(l);
  l.esperaSimbolo("(");
  std::vector<dbf::FieldDef> campos;
  std::vector<std::string> clave;
  do {
    if (l.acepta("PRIMARY")) {
      l.espera("KEY");
      l.esperaSimbolo("(");
      do clave.push_back(base::mayusculasAscii(l.nombre()).substr(0, 10));
      while (l.aceptaSimbolo(","));
      l.esperaSimbolo(")");
      continue;
    }
    bool primaria = false;
    dbf::FieldDef f = leeCampo(l, &primaria);
    if (campoPorNombre(campos, f.name) >= 0) throw Error("Campo duplicado " + f.name);
    if (primaria) clave.push_back(f.name);
    campos.push_back(f);
  } while (l.aceptaSimbolo(","));
  l.esperaSimbolo(")");
  if (!l.fin()) throw l.cerca("Sobra texto");
  if (campos.empty()) throw Error("La tabla " + ruta + " no tiene campos");
  std::vector<dbf::TagDef> tags;
  if (!clave.empty()) {
    std::string k;
    for (const auto& c : clave) {
      if (campoPorNombre(campos, c) < 0) throw Error("Campo " + c + " no encontrado");
      k += (k.empty() ? "" : ";") + c;
    }
    tags.push_back(dbf::TagDef{clave[0], k, true, false});
  }
  std::error_code ec;
  if (fs::exists(local, ec)) throw Error("La tabla " + ruta + " ya existe");
  fs::path p(local);
  if (!p.has_extension()) p += ".dbf";
  dbf::Table::create(p.parent_path().string(), p.filename().string(), campos, tags);
  return 0;
}

long BaseSql::Impl::creaIndice(Lector& l, bool unico) {
  std::string etiqueta = l.nombre();
  l.espera("ON");
  auto [ruta, local] = tabla(l);
  debeExistir(ruta, local);
  l.esperaSimbolo("(");
  std::vector<std::string> nombres;
  bool descendente = false;
  do {
    nombres.push_back(l.nombre());
    if (l.acepta("DESC")) descendente = true;
    else l.acepta("ASC");
  } while (l.aceptaSimbolo(","));
  l.esperaSimbolo(")");
  if (!l.fin()) throw l.cerca("Sobra texto");
  auto [dir, archivo] = partes(local);
  dbf::Table t;
  t.open(dir, archivo, dbf::OpenMode::Exclusive);
  std::string clave;
  for (const auto& n : nombres) {
    int c = campoPorNombre(t.fieldDefs(), n);
    if (c < 0) throw Error("Campo " + n + " no encontrado");
    clave += (clave.empty() ? "" : ";") + t.fieldDefs()[c].name;
  }
  t.addTag(dbf::TagDef{etiqueta, clave, unico, descendente});
  return 0;
}

long BaseSql::Impl::borraIndice(Lector& l) {
  std::string etiqueta;
  std::pair<std::string, std::string> t;
  if (l.actual().clase == Clase::Comillas) {
    t = tabla(l);
    l.esperaSimbolo(".");
    etiqueta = l.nombre();
  } else {
    etiqueta = l.nombre();
    l.espera("ON");
    t = tabla(l);
  }
  if (!l.fin()) throw l.cerca("Sobra texto");
  debeExistir(t.first, t.second);
  auto [dir, archivo] = partes(t.second);
  dbf::Table tb;
  tb.open(dir, archivo, dbf::OpenMode::Exclusive);
  bool hay = false;
  for (const auto& tag : tb.tags())
    hay = hay || base::mayusculasAscii(tag.name) == base::mayusculasAscii(etiqueta);
  if (!hay) throw Error("No existe el índice " + etiqueta + " en la tabla " + t.first);
  tb.deleteTag(etiqueta);
  return 0;
}

long BaseSql::Impl::borraTabla(Lector& l) {
  auto [ruta, local] = tabla(l);
  if (!l.fin()) throw l.cerca("Sobra texto");
  debeExistir(ruta, local);
  auto [dir, archivo] = partes(local);
  dbf::Table::drop(dir, archivo);
  return 0;
}

long BaseSql::Impl::alteraTabla(Lector& l) {
  auto [ruta, local] = tabla(l);
  debeExistir(ruta, local);
  auto [dir, archivo] = partes(local);

  dbf::Table vieja;
  vieja.open(dir, archivo, dbf::OpenMode::Exclusive);
  std::vector<dbf::FieldDef> campos = vieja.fieldDefs();
  std::vector<int> origen(campos.size());
  for (size_t i = 0; i < origen.size(); ++i) origen[i] = static_cast<int>(i);
  std::set<std::string> quitados;
  do {
    if (l.acepta("DROP")) {
      l.acepta("COLUMN");
      std::string n = l.nombre();
      int c = campoPorNombre(campos, n);
      if (c < 0) throw Error("Campo " + n + " no encontrado");
      quitados.insert(base::mayusculasAscii(campos[c].name));
      campos.erase(campos.begin() + c);
      origen.erase(origen.begin() + c);
    } else if (l.acepta("ADD")) {
      l.acepta("COLUMN");
      dbf::FieldDef f = leeCampo(l, nullptr);
      if (campoPorNombre(campos, f.name) >= 0) throw Error("El campo " + f.name + " ya existe");
      campos.push_back(f);
      origen.push_back(-1);
    } else {
      throw l.cerca("Se esperaba DROP o ADD");
    }
  } while (l.aceptaSimbolo(","));
  if (!l.fin()) throw l.cerca("Sobra texto");
  if (campos.empty()) throw Error("La tabla " + ruta + " quedaría sin campos");

  std::vector<dbf::TagDef> tags;
  dbf::RecordLayout layout = dbf::RecordLayout::from(campos);
  for (const auto& tag : vieja.tags()) {
    auto usados = camposDeClave(tag.key);
    bool toca = std::any_of(usados.begin(), usados.end(),
                            [&](const std::string& c) { return quitados.count(c) > 0; });
    if (toca) continue;
    try {
      dbf::KeyExpression::compile(tag.key, layout, tag.descending);
    } catch (const dbf::Error&) {
      continue;  // the key no longer reads against the new fields
    }
    tags.push_back(tag);
  }

  // The new table is written in a folder of its own under the same file name, so that
  // nothing of the old one is touched until the swap.
  static int serie = 0;
  const std::string temporal =
      base::une(dir, "_alt" + std::to_string(getpid()) + "_" + std::to_string(++serie));
  const std::string respaldo = base::une(temporal, "anterior");
  auto limpia = [&]() {
    std::error_code ec;
    fs::remove_all(base::resuelve(temporal), ec);
  };
  try {
    if (!base::creaDirectorios(respaldo)) throw Error("No se puede crear la carpeta " + temporal);
    dbf::Table::create(temporal, archivo, campos, tags);
    dbf::Table nueva;
    nueva.open(temporal, archivo, dbf::OpenMode::Exclusive);
    for (vieja.setIndex(""), vieja.first(); !vieja.eof(); vieja.next()) {
      nueva.append();
      for (size_t i = 0; i < campos.size(); ++i)
        if (origen[i] >= 0) copiaCampo(vieja, origen[i], nueva, static_cast<int>(i));
      nueva.post();
    }
    nueva.close();
  } catch (...) {
    limpia();
    throw;
  }
  vieja.close();

  // Swap: the old files go to the backup folder, the new ones take their place; a failure
  // puts everything back.
  std::vector<std::string> viejos = archivosDeTabla(dir, archivo);
  std::vector<std::string> nuevos = archivosDeTabla(temporal, archivo);
  std::vector<std::string> apartados, puestos;
  bool ok = true;
  for (const auto& n : viejos) {
    if (!base::renombra(base::une(dir, n), base::une(respaldo, n))) {
      ok = false;
      break;
    }
    apartados.push_back(n);
  }
  if (ok) {
    for (const auto& n : nuevos) {
      if (!base::renombra(base::une(temporal, n), base::une(dir, n))) {
        ok = false;
        break;
      }
      puestos.push_back(n);
    }
  }
  if (!ok) {
    for (const auto& n : puestos) base::borra(base::une(dir, n));
    for (const auto& n : apartados) base::renombra(base::une(respaldo, n), base::une(dir, n));
    limpia();
    throw Error("No se pudo reemplazar la tabla " + ruta + "; quedó como estaba");
  }
  limpia();
  return 0;
}

long BaseSql::Impl::inserta(Lector& l) {
  l.espera("INTO");
  auto [ruta, local] = tabla(l);
  debeExistir(ruta, local);
  std::vector<std::string> nombres;
  if (l.esSimbolo("(")) {
    // A column list, unless what follows is the SELECT itself in parentheses.
    size_t marca = l.indice();
    l.toma();
    if (l.es("SELECT") || l.es("VALUES")) {
      l.salta(marca);
    } else {
      do nombres.push_back(l.nombre());
      while (l.aceptaSimbolo(","));
      l.esperaSimbolo(")");
    }
  }
  if (!(l.es("VALUES") || l.es("SELECT") || l.esSimbolo("(") || l.es("WITH")))
    throw l.cerca("Se esperaba VALUES o SELECT");
  std::string origen = l.texto(l.indice(), l.cuenta());
  // SQLite takes no parenthesised SELECT as a statement of its own.
  if (l.esSimbolo("(")) origen = "SELECT * FROM " + origen;
  auto filas = consulta(origen);

  auto [dir, archivo] = partes(local);
  dbf::Table t;
  t.open(dir, archivo);
  const auto& defs = t.fieldDefs();
  std::vector<int> destino;
  if (nombres.empty()) {
    for (size_t i = 0; i < defs.size(); ++i) destino.push_back(static_cast<int>(i));
  } else {
    for (const auto& n : nombres) {
      int c = campoPorNombre(defs, n);
      if (c < 0) throw Error("Campo " + n + " no encontrado");
      destino.push_back(c);
    }
  }
  const int columnas = static_cast<int>(filas->fieldDefs().size());
  if (columnas != static_cast<int>(destino.size()))
    throw Error("El número de valores (" + std::to_string(columnas) +
                ") no coincide con el de campos (" + std::to_string(destino.size()) + ")");
  std::vector<std::vector<ValorCampo>> valores;
  for (filas->first(); !filas->eof(); filas->next()) {
    auto& fila = valores.emplace_back();
    for (int c = 0; c < columnas; ++c) fila.push_back(convierte(filas->valor(c), defs[destino[c]]));
  }
  for (const auto& fila : valores) {
    t.append();
    try {
      for (int c = 0; c < columnas; ++c) escribe(t, destino[c], fila[c]);
      t.post();
    } catch (...) {
      if (t.editing()) t.cancel();
      throw;
    }
  }
  return static_cast<long>(valores.size());
}

long BaseSql::Impl::actualiza(Lector& l) {
  size_t inicioTabla = l.indice();
  auto [ruta, local] = tabla(l);
  debeExistir(ruta, local);
  if (l.acepta("AS") || (!l.es("SET") && !l.fin() && l.actual().clase == Clase::Palabra)) l.toma();
  std::string origen = l.texto(inicioTabla, l.indice());
  l.espera("SET");
  std::vector<std::string> nombres, expresiones;
  for (;;) {
    std::string n = l.nombre();
    if (l.aceptaSimbolo(".")) n = l.nombre();  // alias.field
    nombres.push_back(n);
    l.esperaSimbolo("=");
    size_t desde = l.indice();
    int nivel = 0;
    while (!l.fin()) {
      if (nivel == 0 && (l.esSimbolo(",") || l.es("WHERE"))) break;
      if (l.esSimbolo("(")) ++nivel;
      if (l.esSimbolo(")")) --nivel;
      l.toma();
    }
    if (l.indice() == desde) throw l.cerca("Falta el valor del campo " + n);
    expresiones.push_back(l.texto(desde, l.indice()));
    if (!l.aceptaSimbolo(",")) break;
  }
  std::string condicion;
  if (l.acepta("WHERE")) condicion = " WHERE " + l.texto(l.indice(), l.cuenta());
  std::string select = "SELECT rowid";
  for (const auto& e : expresiones) select += ", (" + e + ")";
  select += " FROM " + origen + condicion;
  auto filas = consulta(select);

  auto [dir, archivo] = partes(local);
  dbf::Table t;
  t.open(dir, archivo);
  const auto& defs = t.fieldDefs();
  std::vector<int> destino;
  for (const auto& n : nombres) {
    int c = campoPorNombre(defs, n);
    if (c < 0) throw Error("Campo " + n + " no encontrado");
    destino.push_back(c);
  }
  std::vector<std::pair<uint32_t, std::vector<ValorCampo>>> cambios;
  for (filas->first(); !filas->eof(); filas->next()) {
    auto& [recno, fila] = cambios.emplace_back();
    recno = static_cast<uint32_t>(filas->asInteger(0));
    for (size_t c = 0; c < destino.size(); ++c)
      fila.push_back(convierte(filas->valor(static_cast<int>(c) + 1), defs[destino[c]]));
  }
  for (const auto& [recno, fila] : cambios) {
    if (!t.goTo(recno)) continue;  // deleted meanwhile by another station
    t.edit();
    try {
      for (size_t c = 0; c < destino.size(); ++c) escribe(t, destino[c], fila[c]);
      t.post();
    } catch (...) {
      if (t.editing()) t.cancel();
      throw;
    }
  }
  return static_cast<long>(cambios.size());
}

long BaseSql::Impl::borraRegistros(Lector& l) {
  l.espera("FROM");
  size_t inicioTabla = l.indice();
  auto [ruta, local] = tabla(l);
  debeExistir(ruta, local);
  if (l.acepta("AS") || (!l.es("WHERE") && !l.fin() && l.actual().clase == Clase::Palabra))
    l.toma();
  std::string origen = l.texto(inicioTabla, l.indice());
  std::string condicion;
  if (l.acepta("WHERE")) condicion = " WHERE " + l.texto(l.indice(), l.cuenta());
  else if (!l.fin()) throw l.cerca("Se esperaba WHERE");
  auto filas = consulta("SELECT rowid FROM " + origen + condicion);
  std::vector<uint32_t> recnos;
  for (filas->first(); !filas->eof(); filas->next())
    recnos.push_back(static_cast<uint32_t>(filas->asInteger(0)));
  auto [dir, archivo] = partes(local);
  dbf::Table t;
  t.open(dir, archivo);
  long n = 0;
  for (uint32_t r : recnos) {
    if (!t.goTo(r)) continue;
    t.remove();
    ++n;
  }
  return n;
}

BaseSql::BaseSql(std::string directorioDatos) : d_(std::make_unique<Impl>()) {
  d_->directorioDatos = std::move(directorioDatos);
  if (sqlite3_open(":memory:", &d_->db) != SQLITE_OK) {
    std::string texto = d_->db ? sqlite3_errmsg(d_->db) : "sin memoria";
    sqlite3_close(d_->db);
    throw Error("No se pudo abrir SQLite: " + texto);
  }
  try {
    d_->virtuales = std::make_unique<TablasVirtuales>(d_->db);
  } catch (...) {
    sqlite3_close(d_->db);
    throw;
  }
}

BaseSql::~BaseSql() {
  d_->virtuales.reset();
  sqlite3_close(d_->db);
}

bool devuelveFilas(std::string_view s) {
  size_t i = 0;
  while (i < s.size() && (std::isspace(static_cast<unsigned char>(s[i])) || s[i] == '(')) ++i;
  std::string palabra;
  while (i < s.size() && std::isalpha(static_cast<unsigned char>(s[i])))
    palabra.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(s[i++]))));
  return palabra == "SELECT" || palabra == "VALUES";
}

std::unique_ptr<Resultado> BaseSql::consulta(std::string_view sentencia) {
  return d_->consulta(sentencia);
}

long BaseSql::ejecuta(std::string_view sentencia) {
  std::string texto = quitaMarcas(sentencia);
  Lector l(texto, recorta(texto));
  if (l.fin()) throw Error("La sentencia está vacía");
  if (l.es("SELECT") || l.es("VALUES") || l.es("WITH"))
    return d_->consulta(texto)->recordCount();
  if (l.esSimbolo("(")) return d_->consulta("SELECT * FROM " + texto)->recordCount();
  if (l.acepta("CREATE")) {
    if (l.acepta("TABLE")) return d_->creaTabla(l);
    bool unico = l.acepta("UNIQUE");
    l.espera("INDEX");
    return d_->creaIndice(l, unico);
  }
  if (l.acepta("ALTER")) {
    l.espera("TABLE");
    return d_->alteraTabla(l);
  }
  if (l.acepta("DROP")) {
    if (l.acepta("TABLE")) return d_->borraTabla(l);
    l.espera("INDEX");
    return d_->borraIndice(l);
  }
  if (l.acepta("INSERT")) return d_->inserta(l);
  if (l.acepta("UPDATE")) return d_->actualiza(l);
  if (l.acepta("DELETE")) return d_->borraRegistros(l);
  throw Error("Sentencia no reconocida: " + l.actual().texto);
}

}  // namespace mostrador::sql
