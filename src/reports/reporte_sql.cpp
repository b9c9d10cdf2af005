#include "reports/reporte_sql.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>

#include "base/fechas.h"
#include "base/numeros.h"
#include "base/texto_util.h"
#include "store/dbf/dbf_table.h"
#include "store/sql/sql.h"

namespace mostrador::reports {

namespace {

constexpr std::string_view kAbreInterrogacion = "\xC2\xBF";  // ¿
constexpr std::string_view kComillaAngular = "\xC2\xAB";     // «
constexpr std::string_view kSubrayado = "_____________________________";

// Length of the UTF-8 character starting at s[i].
size_t largoCaracter(std::string_view s, size_t i) {
  const auto c = static_cast<unsigned char>(s[i]);
  size_t n = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
  return std::min(n, s.size() - i);
}

std::string quitaTodos(std::string_view s, std::string_view que) {
  std::string r;
  r.reserve(s.size());
  for (size_t i = 0; i < s.size();) {
    if (s.substr(i, que.size()) == que) {
      i += que.size();
      continue;
    }
    r += s[i++];
  }
  return r;
}

std::string reemplazaTodos(std::string_view s, std::string_view que, std::string_view por) {
  std::string r;
  for (size_t i = 0; i < s.size();) {
    if (s.substr(i, que.size()) == que) {
      r += por;
      i += que.size();
      continue;
    }
    r += s[i++];
  }
  return r;
}

std::string alineaDerecha(std::string s, size_t n) {
  const size_t largo = base::largoCaracteres(s);
  if (largo < n) s.insert(0, n - largo, ' ');
  return s;
}

// Characters i.. (0-based) of a UTF-8 text, at most n.
std::string subcadena(std::string_view s, size_t desde, size_t n) {
  size_t i = 0, k = 0;
  while (i < s.size() && k < desde) {
    i += largoCaracter(s, i);
    ++k;
  }
  size_t j = i;
  k = 0;
  while (j < s.size() && k < n) {
    j += largoCaracter(s, j);
    ++k;
  }
  return std::string(s.substr(i, j - i));
}

std::vector<std::string> divideDefinicion(std::string_view texto) {
  std::vector<std::string> r;
  std::string actual;
  for (char c : texto) {
    if (c == '\r' || c == '\n') {
      r.push_back(std::move(actual));
      actual.clear();
      continue;
    }
    actual += c;
  }
  if (!actual.empty()) r.push_back(std::move(actual));
  return r;
}

std::optional<double> leeValor(const sql::Valor& v) {
  if (std::holds_alternative<long long>(v)) return static_cast<double>(std::get<long long>(v));
  if (std::holds_alternative<double>(v)) return std::get<double>(v);
  if (std::holds_alternative<std::string>(v)) {
    const std::string& t = std::get<std::string>(v);
    size_t a = 0;
    while (a < t.size() && t[a] == ' ') ++a;
    if (a == t.size()) return 0.0;
    return base::leeNumero(t);
  }
  return 0.0;
}

std::optional<double> leeValor(std::string_view valor) {
  const std::string t = base::recortaBlancos(valor);
  if (t.empty()) return 0.0;
  return base::leeNumero(t);
}

long long diezmilesimos(double v) { return std::llround(v * 10000.0); }

char letraCodigo(std::string_view codigo) {
  if (codigo.empty()) return 'c';
  return static_cast<char>(std::tolower(static_cast<unsigned char>(codigo[0])));
}

std::string escribeNumero(char letra, double v) {
  switch (letra) {
    case '$': return alineaDerecha(mascaraRapida(v, 2, true, true, "$"), 12);
    case 'e':
    case 's': return alineaDerecha(mascaraRapida(v, 0, false, false, ""), 7);
    case 'f': return alineaDerecha(mascaraRapida(base::redondea(v, 4), 2, true, true, ""), 12);
    default: return alineaDerecha(mascaraRapida(v, 2, true, true, ""), 12);
  }
}

bool esNumerico(char l) { return l == '$' || l == 'e' || l == 's' || l == 'f' || l == 't' || l == 'm'; }

}  // namespace

std::string mascaraRapida(double v, int decimales, bool miles, bool ceroEntero, std::string_view prefijo) {
  if (!std::isfinite(v)) v = 0;
  // The shortest decimal form of the double, so that 2.675 rounds as 2.675 and not as
  // the binary 2.67499999...
  char buf[400];
  auto [fin, ec] = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed);
  std::string_view t(buf, ec == std::errc() ? static_cast<size_t>(fin - buf) : 0);
  bool negativo = false;
  if (!t.empty() && t[0] == '-') {
    negativo = true;
    t.remove_prefix(1);
  }
  const size_t punto = t.find('.');
  std::string entero(t.substr(0, punto));
  std::string fraccion = punto == std::string_view::npos ? std::string() : std::string(t.substr(punto + 1));
  const size_t d = static_cast<size_t>(std::max(0, decimales));
  if (fraccion.size() > d) {
    const bool sube = fraccion[d] >= '5';
    fraccion.resize(d);
    if (sube) {
      std::string todo = entero + fraccion;
      int i = static_cast<int>(todo.size()) - 1;
      for (; i >= 0; --i) {
        if (todo[static_cast<size_t>(i)] == '9') {
          todo[static_cast<size_t>(i)] = '0';
        } else {
          ++todo[static_cast<size_t>(i)];
          break;
        }
      }
      if (i < 0) todo.insert(todo.begin(), '1');
      entero = todo.substr(0, todo.size() - d);
      fraccion = todo.substr(todo.size() - d);
    }
  }
  fraccion.resize(d, '0');
  size_t z = 0;
  while (z + 1 < entero.size() && entero[z] == '0') ++z;
  entero.erase(0, z);
  const bool cero = entero.find_first_not_of('0') == std::string::npos && fraccion.find_first_not_of('0') == std::string::npos;
  if (entero == "0" || entero.empty()) entero = ceroEntero ? "0" : "";
  if (miles && entero.size() > 3) {
    std::string con;
    const size_t n = entero.size();
    for (size_t i = 0; i < n; ++i) {
      con += entero[i];
      if ((n - i - 1) % 3 == 0 && i + 1 < n) con += ',';
    }
    entero = con;
  }
  std::string r = (negativo && !cero) ? "-" : "";
  r += prefijo;
  r += entero;
  if (d > 0) r += "." + fraccion;
  return r;
}

std::string escribeCodigo(std::string_view codigo, std::string_view valor) {
  const char l = letraCodigo(codigo);
  if (esNumerico(l)) {
    auto v = leeValor(valor);
    if (!v) return alineaDerecha("0", 12);
    return escribeNumero(l, *v);
  }
  if (l == 'p') {
    const std::string c(codigo);
    const std::string inicio = base::elementoLista(c, 2), largo = base::elementoLista(c, 3);
    const long s = std::max(1L, std::lround(base::numeroSeguro(inicio)));
    const long n = largo.empty() ? 1000 : std::max(0L, std::lround(base::numeroSeguro(largo)));
    return subcadena(valor, static_cast<size_t>(s - 1), static_cast<size_t>(n));
  }
  return std::string(valor);
}

std::vector<int> anchosEncabezado(std::string_view encabezado) {
  std::vector<int> r;
  if (encabezado.find_first_not_of(' ') == std::string_view::npos) return r;
  std::string e(encabezado);
  e += ' ';
  size_t i = 0;
  // Characters, not bytes: "DESCRIPCIÓN" is eleven wide.
  std::vector<std::string> cs;
  for (size_t k = 0; k < e.size(); k += largoCaracter(e, k)) cs.push_back(e.substr(k, largoCaracter(e, k)));
  while (i < cs.size()) {
    const size_t inicio = i;
    while (i < cs.size() && cs[i] != " ") ++i;
    while (i < cs.size() && cs[i] == " ") ++i;
    if (i > inicio) r.push_back(static_cast<int>(i - inicio));
  }
  return r;
}

std::string ajustaAncho(std::string_view celda, int ancho) {
  if (ancho <= 0) return std::string(celda) + " ";
  const size_t n = base::largoCaracteres(celda);
  if (n > static_cast<size_t>(ancho)) return subcadena(celda, 0, static_cast<size_t>(ancho - 1)) + " ";
  return std::string(celda) + std::string(static_cast<size_t>(ancho) - n, ' ');
}

// ---------------------------------------------------------------------------------------

struct ReporteSql::Bloque {
  bool tieneTitulo = false;
  std::string titulo, consulta, condicion, orden, grupo, codigos, encabezado;
  bool tieneCondicion = false, tieneOrden = false;
  bool cerrado = false;  // a "<" line: the block adds nothing
};

ReporteSql::ReporteSql(base::Interaccion& ui, std::string caption, int tamanoFuente)
    : ui_(ui), caption_(std::move(caption)), hoja_(tamanoFuente), sql_(std::make_unique<sql::BaseSql>()) {}

ReporteSql::~ReporteSql() = default;

double ReporteSql::total(int bloque, int columna) const {
  if (bloque < 0 || bloque >= static_cast<int>(totales_.size()) || columna < 0 || columna >= kMaxColumnas)
    return 0;
  return static_cast<double>(totales_[static_cast<size_t>(bloque)][static_cast<size_t>(columna)]) / 10000.0;
}

bool ReporteSql::ejecuta(std::string_view definicion, std::string_view rutaDatos, std::string_view columnaOrden) {
  hoja_.limpia();
  bloque_ = 0;
  totales_.clear();
  Bloque b;
  for (const std::string& linea : divideDefinicion(definicion)) {
    if (linea.empty()) continue;
    const std::string rol = linea.substr(0, largoCaracter(linea, 0));
    if (rol == "@") {
      if (!b.cerrado && !ejecutaBloque(b, rutaDatos, columnaOrden)) return false;
      b = Bloque{};
      continue;
    }
    if (b.cerrado) continue;
    const std::string valor = quitaTodos(linea, rol);
    if (rol == "$") {
      b.tieneTitulo = true;
      b.titulo = valor;
    } else if (rol == "&") {
      // A long query goes on over several "&" lines (a UNION of two statements): the block
      // runs all of them as one.
      const std::string parte = reemplazaTodos(valor, "#", rutaDatos);
      if (!b.consulta.empty() && b.consulta.back() != ' ' && !parte.empty() && parte.front() != ' ') b.consulta += ' ';
      b.consulta += parte;
    } else if (rol == "?") {
      b.tieneCondicion = true;
      b.condicion = valor;
    } else if (rol == "!") {
      b.tieneOrden = true;
      b.orden = valor;
    } else if (rol == ">") {
      b.grupo = base::recortaBlancos(valor).substr(0, 30);
    } else if (rol == "%") {
      b.codigos = valor;
    } else if (rol == "#") {
      b.encabezado = valor;
    } else if (rol == "<") {
      b.cerrado = true;
    }
  }
  return true;
}

bool ReporteSql::ejecutaBloque(const Bloque& b, std::string_view rutaDatos, std::string_view columnaOrden) {
  (void)rutaDatos;
  std::string consulta = b.consulta;
  std::vector<std::string> codigos;
  {
    std::string c;
    for (char ch : b.codigos) {
      if (ch == ' ' || ch == '\t') {
        if (!c.empty()) codigos.push_back(c.substr(0, 10));
        c.clear();
      } else {
        c += ch;
      }
    }
    if (!c.empty()) codigos.push_back(c.substr(0, 10));
  }
  std::string orden = b.tieneOrden ? base::recortaBlancos(b.orden) : std::string();
  bool ordena = b.tieneOrden && orden != "X";
  if (!columnaOrden.empty()) {
    // The chosen column goes into the select list where "«" marks it, else before
    // "from", and becomes the order.
    const std::string col = std::string(columnaOrden);
    if (auto m = consulta.find(kComillaAngular); m != std::string::npos) {
      consulta.insert(m, "," + col + " ");
    } else if (auto f = base::minusculasAscii(consulta).find(" from"); f != std::string::npos) {
      consulta.insert(f, "," + col);
    }
    orden = col;
    ordena = true;
    codigos.push_back("c");
  }
  if (b.tieneCondicion) consulta += "  where " + b.condicion;
  if (ordena) consulta += "  order by " + orden;
  consulta = quitaTodos(consulta, "?");
  consulta = quitaTodos(consulta, kAbreInterrogacion);
  consulta = quitaTodos(consulta, kComillaAngular);

  std::unique_ptr<sql::Resultado> r;
  try {
    r = sql_->consulta(consulta);
  } catch (const std::exception&) {
    ui_.mensaje(kErrorReporte);
    return false;
  }
  const int columnas = static_cast<int>(r->fieldDefs().size());
  int grupo = -1;
  if (!b.grupo.empty()) {
    grupo = r->fieldIndex(b.grupo);
    if (grupo < 0) {
      ui_.mensaje(kErrorReporte);
      return false;
    }
  }

  if (b.tieneTitulo) {
    hoja_.agregaTitulo("*" + (b.titulo.empty() ? caption_ : "Reporte de " + b.titulo));
    std::vector<std::string> titulos;
    size_t desde = 0;
    for (int a : anchosEncabezado(b.encabezado)) {
      titulos.push_back(base::recortaBlancos(subcadena(b.encabezado, desde, static_cast<size_t>(a))));
      desde += static_cast<size_t>(a);
    }
    hoja_.agrega(b.encabezado, std::move(titulos));
    hoja_.agrega("");
  }
  const std::vector<int> anchos = anchosEncabezado(b.encabezado);
  hoja_.agrega("");

  auto codigo = [&](int i) -> std::string { return i < static_cast<int>(codigos.size()) ? codigos[static_cast<size_t>(i)] : "c"; };
  auto ancho = [&](int i) { return i < static_cast<int>(anchos.size()) ? anchos[static_cast<size_t>(i)] : 0; };
  auto letra = [&](int i) { return letraCodigo(codigo(i)); };

  std::array<long long, kMaxColumnas> totales{};
  std::array<long long, kMaxColumnas> subtotales{};
  long filas = 0;
  std::string grupoActual;

  auto lineaSubrayado = [&](bool conM) {
    std::string l;
    for (int i = 0; i < columnas; ++i) {
      const char c = letra(i);
      const bool marca = c == 't' || (conM && c == 'm');
      l += ajustaAncho(marca ? std::string(kSubrayado).substr(0, static_cast<size_t>(std::max(0, ancho(i) - 1))) : "", ancho(i));
    }
    return l;
  };
  std::vector<std::string> celdasTotales;
  auto lineaTotales = [&](const std::array<long long, kMaxColumnas>& v, bool conM, long cuenta) {
    std::string l;
    celdasTotales.clear();
    for (int i = 0; i < columnas; ++i) {
      const char c = letra(i);
      std::string celda;
      if (i < kMaxColumnas && (c == 't' || (conM && c == 'm'))) {
        double x = static_cast<double>(v[static_cast<size_t>(i)]) / 10000.0;
        if (c == 'm') x = cuenta > 0 ? x / static_cast<double>(cuenta) : 0;
        celda = escribeNumero(c, x);
      }
      celdasTotales.push_back(base::recortaBlancos(celda));
      l += ajustaAncho(celda, ancho(i));
    }
    return l;
  };
  auto cierraGrupo = [&] {
    hoja_.agrega(lineaSubrayado(false));
    std::string t = lineaTotales(subtotales, false, 0);
    hoja_.agrega(std::move(t), celdasTotales);
    hoja_.agrega("");
    subtotales.fill(0);
  };

  if (grupo >= 0 && !r->isEmpty()) {
    r->first();
    grupoActual = r->asText(grupo);
  }
  for (r->first(); !r->isEmpty() && !r->eof(); r->next()) {
    if (grupo >= 0) {
      const std::string g = r->asText(grupo);
      if (g != grupoActual) {
        cierraGrupo();
        grupoActual = g;
      }
    }
    std::string l;
    std::vector<std::string> celdas;
    for (int i = 0; i < columnas; ++i) {
      const char c = letra(i);
      std::string celda;
      std::optional<double> numero;
      if (esNumerico(c)) {
        // Numbers straight from the result: no round trip through their text.
        numero = leeValor(r->valor(i));
        celda = numero ? escribeNumero(c, *numero) : alineaDerecha("0", 12);
      } else {
        celda = escribeCodigo(codigo(i), r->asText(i));
      }
      celdas.push_back(base::recortaBlancos(celda));
      l += ajustaAncho(celda, ancho(i));
      if ((c == 't' || c == 'm') && i < kMaxColumnas) {
        const double v = numero.value_or(0);
        totales[static_cast<size_t>(i)] += diezmilesimos(v);
        if (c == 't' && grupo >= 0) subtotales[static_cast<size_t>(i)] += diezmilesimos(v);
      }
    }
    hoja_.agrega(std::move(l), std::move(celdas));
    ++filas;
  }
  if (grupo >= 0 && filas > 0) cierraGrupo();

  hoja_.agrega(lineaSubrayado(true));
  std::string t = lineaTotales(totales, true, filas);
  hoja_.agrega(std::move(t), celdasTotales);
  hoja_.agrega("");
  hoja_.agrega("");
  hoja_.agrega(".");

  if (bloque_ < kMaxBloques) totales_.push_back(totales);
  ++bloque_;
  return true;
}

void ReporteSql::resumenCaja(int tipo) {
  if (tipo != 1 && tipo != 2) return;
  auto T = [&](int k) { return total(k, 2); };
  auto S = [&](int k) { return total(k, 3); };
  auto I = [&](int k) { return total(k, 4); };
  auto F = [&](int k) { return total(k, 6); };
  // The taxed base of a section is the total of its eighth column, each document's base
  // of its taxed lines at the rate charged on them: a fixed rate would split a shop's
  // sales wrongly at any other rate, and a mixed one at every rate.
  auto G = [&](int k) { return total(k, 7); };
  auto f = [](double v) { return escribeNumero('f', v); };
  // The untaxed part is the sub-total less the taxed base, for invoices as for notes: the
  // total would count the tax as untaxed sales.
  const std::vector<std::string> lineas = {
      "Total Remisiones(GRABADO)   " + f(G(0)),
      "Total Remisiones(NO GRABADO)" + f(S(0) - G(0)),
      "Impuesto de Remisiones      " + f(I(0)),
      "Impuesto FPGC               " + f(F(0)),
      "Total de Remisiones         " + f(T(0)),
      "",
      "Total Facturas (GRABADO)    " + f(G(1)),
      "Total Facturas (NO GRABADO) " + f(S(1) - G(1)),
      "Impuesto de Facturas        " + f(I(1)),
      "Total de Facturas           " + f(T(1)),
      "",
      "Facturas Directas (GRABADO) " + f(G(2)),
      "Facturas Directas (NO GRABADO)" + f(S(2) - G(2)),
      "Impuesto Directas           " + f(I(2)),
      "Total de Directas           " + f(T(2)),
      "",
      "Total de Cancelaciones  " + f(T(3)),
      "Total de Devoluciones   " + f(T(4)),
      "Total de Retiros        " + f(T(5)),
      "Total de Entradas       " + f(T(6)),
      "",
      "TOTAL EN CAJA           " + f(T(0) + T(1) - T(4) - T(5) + T(6)),
  };
  if (tipo == 1) {
    for (const auto& l : lineas) hoja_.agrega(l);
  } else {
    size_t pos = std::min<size_t>(1, hoja_.size());
    for (const auto& l : lineas) hoja_.inserta(pos++, {l, kNegroHoja, 12});
  }
}

// ---------------------------------------------------------------------------------------

std::string condicionesDeFiltro(const FiltroReporte& f, std::string_view campoDocumento,
                                std::string_view campoFecha, std::string_view alias) {
  std::vector<std::string> partes;
  if (f.deActivo && f.hastaActivo && !f.de.empty() && !f.hasta.empty() && !campoDocumento.empty()) {
    const std::string campo = alias.empty() ? std::string(campoDocumento) : std::string(alias) + "." + std::string(campoDocumento);
    partes.push_back("(" + campo + ">='" + f.de + "' and " + campo + "<='" + f.hasta + "')");
  }
  std::string propias = CondicionFiltro(f, campoFecha, campoFecha);
  if (propias.rfind("and ", 0) == 0) propias = propias.substr(4);
  if (!propias.empty()) partes.push_back(propias);
  std::string r = " ";
  for (const auto& p : partes) r += " and " + p;
  return r;
}

namespace {

bool esFechaTexto(std::string_view dir, std::string_view tabla, std::string_view campo) {
  if (tabla.empty() || campo.empty()) return false;
  try {
    dbf::Table t;
    t.open(dir, tabla);
    const int i = t.fieldIndex(campo);
    return i >= 0 && t.fieldDefs()[static_cast<size_t>(i)].type == 'C';
  } catch (const dbf::Error&) {
    return false;
  }
}

// The first and last values of the document field: the defaults of the range fields.
std::pair<std::string, std::string> extremos(std::string_view dir, std::string_view tabla, std::string_view campo) {
  if (tabla.empty() || campo.empty()) return {};
  try {
    dbf::Table t;
    t.open(dir, tabla);
    if (!t.fieldExists(campo)) return {};
    for (const auto& tag : t.tags())
      if (base::minusculasAscii(tag.key) == base::minusculasAscii(campo)) {
        t.setIndex(tag.name);
        break;
      }
    t.cancelRange();
    if (t.isEmpty()) return {};
    t.first();
    std::string a = t.asText(campo);
    t.last();
    return {a, t.asText(campo)};
  } catch (const dbf::Error&) {
    return {};
  }
}

}  // namespace

std::unique_ptr<ReporteSql> EjecutaReporte(ContextoReporte& ctx, std::string_view titulo,
                                           std::string_view campoDocumento, std::string_view campoFecha,
                                           const ParametrosReporte& p) {
  const std::string caption = "Reporte de " + quitaTodos(titulo, "&");
  FiltroReporte filtro;
  auto [desde, hasta] = extremos(ctx.directorioDatos, p.tabla, campoDocumento);
  base::Fecha hoy{};
  if (ctx.reloj) hoy = ctx.reloj->ahora().fecha;
  filtro.RangoFiltro(hoy, desde, hasta);
  filtro.campos = camposDeFiltro(ctx.directorioSistema, p.tabla, CamposDeConsulta(p.definicion));
  filtro.aplicaOpciones(p.opciones);
  filtro.fechasTexto = esFechaTexto(ctx.directorioDatos, p.tabla, campoFecha);
  filtro.directorioDatos = ctx.directorioDatos;
  filtro.tabla = p.tabla;

  std::string definicion = p.definicion;
  std::string columnaOrden;
  bool filtrado = false;
  if (p.muestraFiltro && ctx.dialogo) {
    if (!ctx.dialogo->pide(filtro)) return nullptr;
    filtrado = true;
    columnaOrden = ColumnaOrden(filtro);
  }
  // Every "¿" gives way to the conditions; a letter right after it names the alias of
  // the table whose document field is ranged, and goes with it.
  std::string r;
  for (size_t i = 0; i < definicion.size();) {
    if (definicion.compare(i, kAbreInterrogacion.size(), kAbreInterrogacion) != 0) {
      r += definicion[i++];
      continue;
    }
    i += kAbreInterrogacion.size();
    std::string alias;
    if (i < definicion.size() && std::isalpha(static_cast<unsigned char>(definicion[i]))) alias = definicion[i++];
    r += filtrado ? condicionesDeFiltro(filtro, campoDocumento, campoFecha, alias) : " ";
  }
  definicion = r;

  auto reporte = std::make_unique<ReporteSql>(ctx.ui, caption, ctx.tamanoFuente);
  if (!reporte->ejecuta(definicion, ctx.directorioDatos, columnaOrden)) return nullptr;
  reporte->resumenCaja(p.tipo);
  return reporte;
}

}  // namespace mostrador::reports
