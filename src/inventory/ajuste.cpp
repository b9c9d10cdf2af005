#include "inventory/ajuste.h"

#include <cmath>

#include "base/fechas.h"
#include "base/numeros.h"
#include "base/rutas.h"
#include "base/texto_util.h"
#include "store/dbf/dbf_table.h"
#include "store/unidad.h"

namespace mostrador::inventory {

namespace {

constexpr const char* kHoja = "Ajuste.dbf";
constexpr const char* kProductos = "inventar.dbf";

std::optional<double> numero(const std::string& t) {
  if (t.empty()) return std::nullopt;
  char* fin = nullptr;
  const double v = std::strtod(t.c_str(), &fin);
  if (!fin || *fin || !std::isfinite(v)) return std::nullopt;
  return v;
}

}  // namespace

long ajustaSegunKardex(const AjustesMovimientos& a, const OpcionesKardex& o, const Avance& avance) {
  const auto recuento = recuentoTodosDocumentos(a.dirDatos, o);
  dbf::Table p;
  p.open(a.dirCatalogo, kProductos);
  store::UnidadGuardado unidad({a.dirCatalogo});
  const long total = p.recordCount();
  long hechos = 0, ajustados = 0;
  const int fClave = p.requireField("CLPRO_I"), fExist = p.requireField("EXIST_I");
  for (p.first(); !p.eof(); p.next()) {
    if (avance && ++hechos % 1000 == 0) avance(hechos, total);
    auto it = recuento.find(p.asText(fClave));
    const double r = it == recuento.end() ? 0 : it->second;
    // Stored stock has 3 decimals: a recount that rounds to it changes nothing.
    if (std::fabs(base::redondea(r, 3) - p.asFloat(fExist)) < 0.0005) continue;
    p.edit();
    p.setFloat(fExist, r);
    p.post();
    ++ajustados;
  }
  unidad.confirma();
  if (avance) avance(total, total);
  return ajustados;
}

long ajustaSegunExistencias(const AjustesMovimientos& a, const OpcionesKardex& o, const base::Reloj& reloj,
                            const Avance& avance) {
  const auto recuento = recuentoTodosDocumentos(a.dirDatos, o);
  dbf::Table p, m;
  p.open(a.dirCatalogo, kProductos);
  m.open(a.dirCatalogo, kTablaMovimientos);
  store::UnidadGuardado unidad({a.dirCatalogo});
  const long long numero = siguienteMovimiento(m);
  const base::Fecha hoy = reloj.ahora().fecha;
  const long secuencia = base::selloSecuencia(hoy, reloj);
  Posteo posteo(m, p, a.reglas);
  const long total = p.recordCount();
  long hechos = 0, lineas = 0;
  for (p.first(); !p.eof(); p.next()) {
    if (avance && ++hechos % 1000 == 0) avance(hechos, total);
    const std::string clave = p.asText("CLPRO_I");
    auto it = recuento.find(clave);
    const double r = it == recuento.end() ? 0 : it->second, e = p.asFloat("EXIST_I");
    if (std::fabs(e - r) < 0.01) continue;
    Movimiento x;
    x.numero = numero;
    x.tipo = r > e ? 6 : 56;
    x.clave = clave;
    x.descripcion = p.asText("DSCPR_I");
    x.cantidad = std::fabs(r - e);
    x.costo = p.asFloat("CPROM_I");
    x.precio = p.asFloat("PPUBL_I");
    x.fecha = base::fechaCorta(hoy);
    x.secuencia = secuencia;
    x.referencia = "Ajus";
    x.contraparte = "Ajuste";
    x.existencia = e;
    x.usuario = std::strtol(a.usuario.c_str(), nullptr, 10);
    x.usuarioTexto = a.usuario;
    posteo.escribe(x);  // the record only: the stock already is what it should be
    ++lineas;
  }
  unidad.confirma();
  if (avance) avance(total, total);
  return lineas;
}

std::vector<std::string> revisaExistencias(const AjustesMovimientos& a, const OpcionesKardex& o) {
  const auto recuento = recuentoTodosDocumentos(a.dirDatos, o);
  std::vector<std::string> r;
  dbf::Table p;
  p.open(a.dirCatalogo, kProductos);
  for (p.first(); !p.eof(); p.next()) {
    const std::string clave = p.asText("CLPRO_I");
    auto it = recuento.find(clave);
    const double x = it == recuento.end() ? 0 : it->second, e = p.asFloat("EXIST_I");
    if (std::fabs(base::redondea(x, 3) - e) < 0.0005) continue;
    r.push_back(clave + "," + base::Decimal::deDouble(base::redondea(e, 3)).texto() + ",*" +
                base::Decimal::deDouble(base::redondea(x, 3)).texto());
  }
  return r;
}

bool escribeExistencia(const AjustesMovimientos& a, const std::string& clave, double existencia) {
  dbf::Table p;
  p.open(a.dirCatalogo, kProductos);
  p.setIndex("ICLPRO");
  if (!p.findKey({clave})) return false;
  store::UnidadGuardado unidad({a.dirCatalogo});
  p.edit();
  p.setFloat("EXIST_I", existencia);
  p.post();
  unidad.confirma();
  return true;
}

std::optional<double> ajustaCostoPromedio(const AjustesMovimientos& a, const std::string& clave) {
  const std::optional<double> promedio = promedioCompras(a.dirCatalogo, clave);
  if (!promedio) return std::nullopt;
  dbf::Table p;
  p.open(a.dirCatalogo, kProductos);
  p.setIndex("ICLPRO");
  if (!p.findKey({clave})) return std::nullopt;
  store::UnidadGuardado unidad({a.dirCatalogo});
  p.edit();
  p.setFloat("CPROM_I", *promedio);
  p.post();
  unidad.confirma();
  return promedio;
}

long creaHojaAjuste(const AjustesMovimientos& a) {
  const std::vector<dbf::FieldDef> campos = {
      {"CLAVE", 'C', 20, 0},  {"DESCRIPCIO", 'C', 25, 0}, {"TEORICO", 'N', 10, 2},
      {"REALES", 'N', 10, 2}, {"AJUSTE", 'N', 10, 2},     {"COSTO", 'N', 10, 2},
      {"VALOR_TEOR", 'N', 10, 2}, {"VALOR_REAL", 'N', 10, 2}, {"VALOR_AJUS", 'N', 10, 2},
      {"LINEA", 'C', 8, 0},   {"PROVEEDOR", 'C', 8, 0}};
  if (base::existe(base::une(a.dirDatos, kHoja))) dbf::Table::drop(a.dirDatos, kHoja);
  dbf::Table::create(a.dirDatos, kHoja, campos, {{"CLAVE", "CLAVE"}});
  dbf::Table h, p;
  h.open(a.dirDatos, kHoja, dbf::OpenMode::Exclusive);
  p.open(a.dirCatalogo, kProductos);
  long n = 0;
  for (p.first(); !p.eof(); p.next()) {
    h.append();
    h.setText("CLAVE", p.asText("CLPRO_I"));
    h.setText("DESCRIPCIO", p.asText("DSCPR_I"));
    h.setFloat("TEORICO", p.asFloat("EXIST_I"));
    h.setFloat("REALES", 0);
    h.setFloat("AJUSTE", 0);
    h.setFloat("COSTO", p.asFloat("ULCOS_I"));
    h.setFloat("VALOR_TEOR", 0);
    h.setFloat("VALOR_REAL", 0);
    h.setFloat("VALOR_AJUS", 0);
    h.setText("LINEA", p.asText("LIPRO_I"));
    h.setText("PROVEEDOR", p.asText("CLPR1_I"));
    h.post();
    ++n;
  }
  return n;
}

std::vector<std::string> importaConteo(const AjustesMovimientos& a, const std::vector<std::string>& lineas) {
  std::vector<std::string> errores;
  std::map<std::string, double> conteo;
  std::map<std::string, size_t> primera;
  for (size_t i = 0; i < lineas.size(); ++i) {
    const std::string l = base::recortaBlancos(lineas[i]);
    if (l.empty()) continue;
    const std::string n = "Línea " + std::to_string(i + 1) + ": ";
    const size_t coma = l.find(',');
    if (coma == std::string::npos) {
      errores.push_back(n + "se espera clave,cantidad");
      continue;
    }
    const std::string clave = base::recortaBlancos(l.substr(0, coma));
    const auto q = numero(base::recortaBlancos(l.substr(coma + 1)));
    if (clave.empty()) errores.push_back(n + "falta la clave");
    else if (!q) errores.push_back(n + "cantidad no válida: " + l.substr(coma + 1));
    else {
      conteo[clave] += *q;
      primera.try_emplace(clave, i + 1);
    }
  }
  dbf::Table h;
  h.open(a.dirDatos, kHoja);
  h.setIndex("CLAVE");
  store::UnidadGuardado unidad({a.dirDatos});
  for (const auto& [clave, q] : conteo) {
    if (!h.findKey({clave})) {
      errores.push_back("Línea " + std::to_string(primera[clave]) + ": producto desconocido: " + clave);
      continue;
    }
    h.edit();
    h.setFloat("REALES", h.asFloat("REALES") + q);
    h.post();
  }
  unidad.confirma();
  return errores;
}

void calculaVariacion(const AjustesMovimientos& a) {
  dbf::Table h;
  h.open(a.dirDatos, kHoja);
  store::UnidadGuardado unidad({a.dirDatos});
  for (h.first(); !h.eof(); h.next()) {
    const double t = h.asFloat("TEORICO"), r = h.asFloat("REALES"), c = h.asFloat("COSTO");
    h.edit();
    h.setFloat("AJUSTE", r - t);
    h.setFloat("VALOR_TEOR", t * c);
    h.setFloat("VALOR_REAL", r * c);
    h.setFloat("VALOR_AJUS", (r - t) * c);
    h.post();
  }
  unidad.confirma();
}

std::vector<FilaAjuste> leeHojaAjuste(const AjustesMovimientos& a) {
  std::vector<FilaAjuste> r;
  dbf::Table h;
  h.open(a.dirDatos, kHoja);
  for (h.first(); !h.eof(); h.next())
    r.push_back({h.asText("CLAVE"), h.asText("DESCRIPCIO"), h.asFloat("TEORICO"), h.asFloat("REALES"),
                 h.asFloat("AJUSTE"), h.asFloat("COSTO"), h.asText("LINEA"), h.asText("PROVEEDOR")});
  return r;
}

std::vector<std::vector<std::string>> filasImpresasAjuste(const std::vector<FilaAjuste>& filas) {
  double tt = 0, tr = 0, ta = 0;
  for (const FilaAjuste& f : filas) {
    tt += f.teorico * f.costo;
    tr += f.reales * f.costo;
    ta += f.ajuste * f.costo;
  }
  auto dos = [](double v) { return base::Decimal::deDouble(base::redondea(v, 2)).redondeado(2).texto(); };
  auto parte = [](double v, double total) { return total == 0 ? 0.0 : v * 100 / total; };
  std::vector<std::vector<std::string>> r;
  for (const FilaAjuste& f : filas) {
    const double vt = f.teorico * f.costo, vr = f.reales * f.costo, va = f.ajuste * f.costo;
    r.push_back({f.clave, f.descripcion, dos(vt), dos(vr), dos(va), dos(parte(vt, tt)), dos(parte(vr, tr)),
                 dos(parte(va, ta))});
  }
  return r;
}

std::string textoFiltro(const FiltroAjuste& f) {
  std::vector<std::string> partes;
  auto par = [&](const char* campo, const std::optional<std::pair<std::string, std::string>>& v) {
    if (!v) return true;
    if (v->first.empty() || v->second.empty()) return false;
    partes.push_back(std::string(campo) + ">='" + v->first + "' and " + campo + "<='" + v->second + "'");
    return true;
  };
  if (!par("CLAVE", f.clave) || !par("LINEA", f.linea) || !par("PROVEEDOR", f.proveedor))
    return std::string(kFaltanDatosFiltro);
  if (f.soloConAjuste) partes.push_back("REALES>0");
  if (partes.empty()) return std::string(kFaltanDatosFiltro);
  std::string r;
  for (const std::string& p : partes) r += (r.empty() ? "" : " and ") + p;
  return r;
}

bool cumpleFiltro(const FiltroAjuste& f, const FilaAjuste& fila) {
  auto en = [](const std::optional<std::pair<std::string, std::string>>& r, const std::string& v) {
    return !r || (v >= r->first && v <= r->second);
  };
  return en(f.clave, fila.clave) && en(f.linea, fila.linea) && en(f.proveedor, fila.proveedor) &&
         (!f.soloConAjuste || fila.reales > 0);
}

ResultadoMovimiento ajustaHoja(const AjustesMovimientos& a, bool porReales, const base::Reloj& reloj,
                               const FiltroAjuste* filtro) {
  std::vector<FilaAjuste> filas = leeHojaAjuste(a);
  if (filtro && !porReales)
    std::erase_if(filas, [filtro](const FilaAjuste& f) { return !cumpleFiltro(*filtro, f); });
  DocumentoMovimiento d;
  d.tipo = 58;
  d.fecha = base::fechaCorta(reloj.ahora().fecha);
  d.contraparte = "Ajuste";
  d.referencia = "Ajus";
  for (const FilaAjuste& f : filas) d.lineas.push_back({f.clave, porReales ? f.reales : f.ajuste, f.costo, 0, {}, {}});
  ResultadoMovimiento r;
  try {
    dbf::Table p, m;
    p.open(a.dirCatalogo, kProductos);
    m.open(a.dirCatalogo, kTablaMovimientos);
    p.setIndex("ICLPRO");
    store::UnidadGuardado unidad({a.dirDatos, a.dirCatalogo});
    if (porReales) {
      // A full restart of the stock history.
      for (p.first(); !p.eof(); p.next()) {
        p.edit();
        p.setFloat("EXIST_I", 0);
        p.post();
      }
      for (m.first(); !m.eof(); m.next()) m.remove();
    }
    r.numero = siguienteMovimiento(m);
    const long secuencia = base::selloSecuencia(reloj.ahora().fecha, reloj);
    Posteo posteo(m, p, a.reglas);
    for (const LineaMovimiento& l : d.lineas) {
      if (l.cantidad == 0) continue;
      Movimiento x = movimientoDe(a, d, l, r.numero, d.tipo, secuencia);
      if (p.findKey({l.clave})) x.descripcion = p.asText("DSCPR_I");
      posteo.posta(x, l.cantidad);
      ++r.lineas;
    }
    for (const FilaAjuste& f : filas) {
      if (!p.findKey({f.clave})) continue;
      p.edit();
      p.setFloat("EXIST_I", f.reales);
      p.post();
    }
    unidad.confirma();
    r.guardado = true;
  } catch (const dbf::Error& e) {
    return guardadoFallido(e);
  }
  return r;
}

}  // namespace mostrador::inventory
