#include "inventory/movimientos.h"

#include <cmath>
#include <map>

#include "base/fechas.h"
#include "base/numeros.h"
#include "base/rutas.h"
#include "base/texto.h"
#include "base/texto_util.h"
#include "session/configuracion_inicial.h"
#include "store/dbf/dbf_table.h"
#include "store/unidad.h"

namespace mostrador::inventory {

namespace {

constexpr const char* kConceptos = "CoMovInv.dbf";

std::string linea(const std::vector<std::string>& l, int n) {
  return n >= 1 && static_cast<size_t>(n) <= l.size() ? l[static_cast<size_t>(n - 1)] : std::string();
}

// Lines of the exchange files: blanks of any kind around a value do not count.
std::string recorta(std::string_view t) { return base::recortaBlancos(t); }

std::vector<std::string> divide(const std::string& t, char sep) {
  std::vector<std::string> r;
  size_t i = 0;
  for (;;) {
    size_t j = t.find(sep, i);
    r.push_back(recorta(std::string_view(t).substr(i, j == std::string::npos ? std::string::npos : j - i)));
    if (j == std::string::npos) break;
    i = j + 1;
  }
  return r;
}

// A number as the files write it ("12", "-4", "3.5"); nullopt for anything else.
std::optional<double> numero(const std::string& t) {
  if (t.empty()) return std::nullopt;
  char* fin = nullptr;
  const double v = std::strtod(t.c_str(), &fin);
  if (!fin || *fin || !std::isfinite(v)) return std::nullopt;
  return v;
}

bool esEmpresa(const std::string& dir) {
  return !dir.empty() && base::existe(base::une(dir, kTablaMovimientos)) && base::existe(base::une(dir, "inventar.dbf"));
}

// A copy of the origin's product record (every field but the stock) in the destination.
void copiaProducto(dbf::Table& origen, dbf::Table& destino) {
  destino.append();
  for (const dbf::FieldDef& f : origen.fieldDefs()) {
    const int i = destino.fieldIndex(f.name);
    if (i < 0 || f.name == "EXIST_I") continue;
    const int j = origen.requireField(f.name);
    if (origen.isNull(j)) continue;
    if (f.type == 'D') destino.setDate(i, origen.asDate(j));
    else if (f.type == 'N' || f.type == 'F') destino.setFloat(i, origen.asFloat(j));
    else destino.setText(i, origen.asText(j));
  }
  destino.setFloat("EXIST_I", 0);
  destino.post();
}

}  // namespace

Movimiento movimientoDe(const AjustesMovimientos& a, const DocumentoMovimiento& d, const LineaMovimiento& l,
                        long long numero, int tipo, long secuencia) {
  Movimiento m;
  m.numero = numero;
  m.tipo = tipo;
  m.clave = l.clave;
  m.descripcion = l.descripcion;
  m.costo = l.costo;
  m.precio = l.precio;
  m.fecha = d.fecha;
  m.secuencia = secuencia;
  m.referencia = l.referencia.empty() ? d.referencia : l.referencia;
  m.contraparte = d.contraparte;
  m.almacen = d.almacen.empty() ? "1" : d.almacen;
  m.usuario = std::strtol(a.usuario.c_str(), nullptr, 10);
  m.usuarioTexto = a.usuario;
  return m;
}

AjustesMovimientos ajustesDe(const std::vector<std::string>& lineas) {
  AjustesMovimientos a;
  a.dirDatos = linea(lineas, 8);
  a.dirCatalogo = linea(lineas, 59).empty() ? a.dirDatos : linea(lineas, 59);
  a.reglas.sinNegativos = linea(lineas, 41).starts_with("N");
  a.recalculaTotales = linea(lineas, 38) == "S";
  a.traspasoPorEmpaque = linea(lineas, 57) == "S";
  return a;
}

std::optional<Concepto> leeConcepto(const std::string& dirDatos, int tipo) {
  if (!base::existe(base::une(dirDatos, kConceptos))) return std::nullopt;
  dbf::Table t;
  t.open(dirDatos, kConceptos);
  t.setIndex("ITIPMOV");
  if (!t.findKey({static_cast<double>(tipo)})) return std::nullopt;
  Concepto c;
  c.numero = tipo;
  c.descripcion = t.asText("DECON_CM");
  const std::string clase = t.asText("TIPOX_CM");
  c.clase = clase.empty() ? 'X' : base::mayuscula(clase[0]);
  c.destino = t.asText("ALMAC_CM");
  return c;
}

std::string borraConcepto(const std::string& dirDatos, int tipo) {
  if (session::conceptoProtegido(tipo)) return "El concepto no puede Eliminarse...";
  dbf::Table t;
  t.open(dirDatos, kConceptos);
  t.setIndex("ITIPMOV");
  if (!t.findKey({static_cast<double>(tipo)})) return "No Existe Tipo de Movimiento";
  store::UnidadGuardado unidad({dirDatos});
  t.remove();
  unidad.confirma();
  return {};
}

ResultadoMovimiento guardadoFallido(const dbf::Error& e) {
  ResultadoMovimiento r;
  if (dynamic_cast<const dbf::LockError*>(&e))
    r.mensaje = std::string("No se puede guardar: ") + e.what() + "; intente de nuevo.";
  else
    r.mensaje = kErrorGuardar;
  return r;
}

ResultadoMovimiento guardaMovimiento(const AjustesMovimientos& a, const DocumentoMovimiento& d,
                                     const base::Reloj& reloj) {
  ResultadoMovimiento r;
  if (d.tipo == 0) {
    r.mensaje = kFaltaTipo;
    return r;
  }
  const auto fecha = base::leeFechaCorta(d.fecha);
  if (!fecha) {
    r.mensaje = kFaltanDatos;
    return r;
  }
  std::vector<const LineaMovimiento*> lineas;
  for (const LineaMovimiento& l : d.lineas)
    if (l.cantidad != 0 && !l.clave.empty()) lineas.push_back(&l);
  if (lineas.empty()) {
    r.mensaje = kFaltanDatos;
    return r;
  }
  try {
    const std::optional<Concepto> concepto = leeConcepto(a.dirDatos, d.tipo);
    if (!concepto) {
      r.mensaje = "No Existe Tipo de Movimiento";
      return r;
    }
    const bool traspaso = concepto->clase == 'T';
    if (traspaso && !esEmpresa(concepto->destino)) {
      r.mensaje = "El Directorio " + concepto->destino + " del Traspaso no es una Empresa; no se Guardó Nada";
      return r;
    }
    dbf::Table movs, prods, movsDestino, prodsDestino;
    movs.open(a.dirCatalogo, kTablaMovimientos);
    prods.open(a.dirCatalogo, "inventar.dbf");
    if (traspaso) {
      movsDestino.open(concepto->destino, kTablaMovimientos);
      prodsDestino.open(concepto->destino, "inventar.dbf");
    }
    // Lock phase: every product record the save edits, on both sides.
    std::vector<store::Bloqueo> b;
    prods.setIndex("ICLPRO");
    for (const LineaMovimiento* l : lineas)
      if (prods.findKey({l->clave})) b.push_back({&prods, prods.recno(), "el producto " + l->clave});
    if (traspaso) {
      prodsDestino.setIndex("ICLPRO");
      for (const LineaMovimiento* l : lineas)
        if (prodsDestino.findKey({l->clave}))
          b.push_back({&prodsDestino, prodsDestino.recno(), "el producto " + l->clave + " del destino"});
    }
    if (auto ocupado = store::bloquea(std::move(b))) {
      r.mensaje = "No se puede guardar: " + ocupado->quien + " está en uso por otra estación; intente de nuevo.";
      return r;
    }
    std::vector<std::string> dirs{a.dirDatos, a.dirCatalogo};
    if (traspaso) dirs.push_back(concepto->destino);
    store::UnidadGuardado unidad(dirs);
    r.numero = d.numero > 0 ? d.numero : siguienteMovimiento(movs);
    const long secuencia = base::selloSecuencia(*fecha, reloj);
    Posteo posteo(movs, prods, a.reglas);
    for (const LineaMovimiento* l : lineas) {
      Movimiento m = movimientoDe(a, d, *l, r.numero, d.tipo, secuencia);
      if (m.descripcion.empty() && prods.findKey({l->clave})) m.descripcion = prods.asText("DSCPR_I");
      posteo.posta(m, l->cantidad);
      ++r.lineas;
    }
    if (traspaso) {
      // The destination's entry: type 60 (8 for a negative line), the package factor
      // only with line 57, and then for the stock and the record alike, so that the
      // destination's stock always equals its movements.
      Posteo destino(movsDestino, prodsDestino, a.reglas);
      r.numeroDestino = siguienteMovimiento(movsDestino);
      for (const LineaMovimiento* l : lineas) {
        if (!prodsDestino.findKey({l->clave}) && prods.findKey({l->clave})) copiaProducto(prods, prodsDestino);
        double f = 1;
        if (a.traspasoPorEmpaque && prodsDestino.findKey({l->clave}) && prodsDestino.asFloat("UEMPA_I") > 0)
          f = prodsDestino.asFloat("UEMPA_I");
        Movimiento m = movimientoDe(a, d, *l, r.numeroDestino, 60, secuencia);
        if (prods.findKey({l->clave})) m.descripcion = prods.asText("DSCPR_I");
        destino.posta(m, l->cantidad * f);
      }
    }
    unidad.confirma();
    r.guardado = true;
  } catch (const dbf::Error& e) {
    return guardadoFallido(e);
  }
  return r;
}

LecturaMovimiento leeArchivoAlta(const std::vector<std::string>& lineas) {
  LecturaMovimiento r;
  bool hayTipo = false, hayFecha = false;
  for (size_t i = 0; i < lineas.size(); ++i) {
    const std::string l = recorta(lineas[i]);
    const std::string n = "Línea " + std::to_string(i + 1) + ": ";
    if (l.empty() || l[0] == '#') continue;
    if (l.starts_with("tipo=")) {
      auto t = numero(recorta(l.substr(5)));
      if (!t || *t != std::floor(*t) || *t <= 0 || *t > 999) r.errores.push_back(n + "tipo no válido: " + l.substr(5));
      else r.documento.tipo = static_cast<int>(*t), hayTipo = true;
      continue;
    }
    if (l.starts_with("fecha=")) {
      const std::string f = recorta(l.substr(6));
      if (!base::leeFechaCorta(f)) r.errores.push_back(n + "fecha no válida (dd/MM/aaaa): " + f);
      else r.documento.fecha = f, hayFecha = true;
      continue;
    }
    const std::vector<std::string> c = divide(l, ';');
    if (c.size() != 3) {
      r.errores.push_back(n + "se esperan 3 columnas (clave;cantidad;costo), hay " + std::to_string(c.size()));
      continue;
    }
    const auto q = numero(c[1]), costo = numero(c[2]);
    if (c[0].empty()) r.errores.push_back(n + "falta la clave");
    else if (!q) r.errores.push_back(n + "cantidad no válida: " + c[1]);
    else if (!costo) r.errores.push_back(n + "costo no válido: " + c[2]);
    else r.documento.lineas.push_back({c[0], *q, *costo, 0, {}, {}});
  }
  if (!hayTipo) r.errores.push_back("Falta la línea tipo=N");
  if (!hayFecha) r.errores.push_back("Falta la línea fecha=dd/MM/aaaa");
  return r;
}

LecturaImportacion leeArchivoMovimientos(const std::vector<std::string>& lineas, const std::string& fecha) {
  LecturaImportacion r;
  std::map<int, size_t> porTipo;
  for (size_t i = 0; i < lineas.size(); ++i) {
    const std::string l = recorta(lineas[i]);
    if (l.empty()) continue;
    const std::string n = "Línea " + std::to_string(i + 1) + ": ";
    const std::vector<std::string> c = divide(l, ',');
    if (c.size() < 4) {
      r.errores.push_back(n + "se esperan al menos 4 campos, hay " + std::to_string(c.size()));
      continue;
    }
    const auto q = numero(c[2]), t = numero(c[3]);
    if (c[1].empty()) r.errores.push_back(n + "falta la clave");
    else if (!q) r.errores.push_back(n + "cantidad no válida: " + c[2]);
    else if (!t || *t != std::floor(*t) || *t <= 0) r.errores.push_back(n + "tipo no válido: " + c[3]);
    else {
      const int tipo = static_cast<int>(*t);
      auto [it, nuevo] = porTipo.try_emplace(tipo, r.documentos.size());
      if (nuevo) {
        DocumentoMovimiento d;
        d.tipo = tipo;
        d.fecha = fecha;
        r.documentos.push_back(d);
      }
      r.documentos[it->second].lineas.push_back({c[1], *q, 0, 0, {}, {}});
    }
  }
  return r;
}

TotalesMovimientos totalesProducto(const AjustesMovimientos& a, const std::string& clave) {
  TotalesMovimientos r;
  dbf::Table movs, prods;
  movs.open(a.dirCatalogo, kTablaMovimientos);
  movs.setIndex("CLPRO_MI");
  movs.setRange({clave}, {clave});
  std::vector<uint32_t> vacios;
  for (movs.first(); !movs.eof(); movs.next()) {
    const double q = movs.asFloat("CANTI_MI");
    if (q == 0 || movs.isNull(movs.requireField("CLDOC_MI"))) {
      vacios.push_back(movs.recno());
      continue;
    }
    const long long t = movs.asInteger("TIMOV_MI");
    if (t > 50) r.entradas += q;
    else r.salidas += q;
    if (t == 3) r.remisiones += q;
  }
  r.linea = "Entradas " + base::formateaMascara(r.entradas, "###,##0.00") + "  Salidas " +
            base::formateaMascara(r.salidas, "###,##0.00") + "  Existencias " +
            base::formateaMascara(r.entradas - r.salidas, "###,##0.00");
  const bool escribeProducto = a.recalculaTotales;
  if (vacios.empty() && !escribeProducto) return r;
  std::vector<store::Bloqueo> b;
  if (escribeProducto) {
    prods.open(a.dirCatalogo, "inventar.dbf");
    prods.setIndex("ICLPRO");
    if (prods.findKey({clave})) b.push_back({&prods, prods.recno(), "el producto " + clave});
  }
  if (auto ocupado = store::bloquea(std::move(b))) return r;  // the totals are shown; the write waits
  store::UnidadGuardado unidad({a.dirCatalogo});
  for (uint32_t rec : vacios) {
    movs.goTo(rec);
    movs.remove();
  }
  if (escribeProducto && prods.findKey({clave})) {
    prods.edit();
    prods.setFloat("EXIST_I", r.entradas - r.salidas);
    prods.setFloat("VANCA_I", r.remisiones);
    prods.setFloat("VANMO_I", r.remisiones * prods.asFloat("PPUBL_I"));
    prods.post();
  }
  unidad.confirma();
  return r;
}

long corteInventario(const AjustesMovimientos& a, const std::function<void(long, long)>& avance) {
  dbf::Table movs;
  movs.open(a.dirCatalogo, kTablaMovimientos);
  std::vector<uint32_t> borrar;
  const long total = static_cast<long>(movs.recordCount());
  long vistos = 0;
  const int fTipo = movs.requireField("TIMOV_MI");
  for (movs.first(); !movs.eof(); movs.next()) {
    const long long t = movs.asInteger(fTipo);
    if (t == 1 || t == 2 || t == 3 || t == 51 || t == 54) borrar.push_back(movs.recno());
    if (avance && ++vistos % 1000 == 0) avance(vistos, total);
  }
  store::UnidadGuardado unidad({a.dirCatalogo});
  for (uint32_t rec : borrar) {
    movs.goTo(rec);
    movs.remove();
  }
  unidad.confirma();
  if (avance) avance(total, total);
  return static_cast<long>(borrar.size());
}

std::vector<Movimiento> leeMovimiento(const std::string& dirMovimientos, long long numero) {
  std::vector<Movimiento> r;
  dbf::Table t;
  t.open(dirMovimientos, kTablaMovimientos);
  t.setIndex("CLDOC_MI");
  t.setRange({static_cast<double>(numero)}, {static_cast<double>(numero)});
  for (t.first(); !t.eof(); t.next()) {
    Movimiento m;
    m.numero = numero;
    m.tipo = static_cast<int>(t.asInteger("TIMOV_MI"));
    m.clave = t.asText("CLPRO_MI");
    m.descripcion = t.asText("DESCR_MI");
    m.cantidad = t.asFloat("CANTI_MI");
    m.costo = t.asFloat("COSUN_MI");
    m.precio = t.asFloat("PUNIT_MI");
    m.fecha = t.asText("FEDOC_MI");
    m.referencia = t.asText("REFMO_MI");
    m.documento = t.asText("NUDOC_MI");
    m.contraparte = t.asText("CLCOP_MI");
    m.almacen = t.asText("NALMA_MI");
    m.existencia = t.asFloat("EXIST_MI");
    m.registro = t.recno();
    r.push_back(std::move(m));
  }
  return r;
}

std::optional<long long> movimientoVecino(const std::string& dirMovimientos, long long numero, Paso paso) {
  dbf::Table t;
  t.open(dirMovimientos, kTablaMovimientos);
  t.setIndex("CLDOC_MI");
  if (t.isEmpty()) return std::nullopt;
  const int f = t.requireField("CLDOC_MI");
  switch (paso) {
    case Paso::Primero:
      t.first();
      return t.asInteger(f);
    case Paso::Ultimo:
      t.last();
      return t.asInteger(f);
    case Paso::Siguiente: {
      // One index seek, whatever the size of the journal: the first entry above n.
      t.findNearest({static_cast<double>(numero + 1)});
      const long long x = t.asInteger(f);
      return x > numero ? std::optional<long long>(x) : std::nullopt;
    }
    case Paso::Anterior: {
      t.findNearest({static_cast<double>(numero)});
      if (long long x = t.asInteger(f); x < numero) return x;  // nothing at or above n
      t.prior();
      const long long x = t.asInteger(f);
      return x < numero ? std::optional<long long>(x) : std::nullopt;
    }
  }
  return std::nullopt;
}

std::optional<PosicionMovimiento> movimientoEnOrden(const std::string& dirMovimientos, const PosicionMovimiento& actual,
                                                    Paso paso, OrdenMovimientos orden) {
  if (orden == OrdenMovimientos::Numero) {
    auto n = movimientoVecino(dirMovimientos, actual.numero, paso);
    if (!n) return std::nullopt;
    return PosicionMovimiento{*n, 0};
  }
  dbf::Table t;
  t.open(dirMovimientos, kTablaMovimientos);
  t.setIndex(orden == OrdenMovimientos::Producto ? "CLPRO_MI" : "FEDOC_MI");
  if (t.isEmpty()) return std::nullopt;
  const int f = t.requireField("CLDOC_MI");
  auto aqui = [&] { return PosicionMovimiento{t.asInteger(f), t.recno()}; };
  if (paso == Paso::Primero) {
    t.first();
    return aqui();
  }
  if (paso == Paso::Ultimo) {
    t.last();
    return aqui();
  }
  if (actual.registro == 0 || !t.goTo(actual.registro)) return std::nullopt;
  // Past the lines of the same movement that stand next to each other in this order.
  for (;;) {
    const uint32_t antes = t.recno();
    if (paso == Paso::Siguiente) t.next();
    else t.prior();
    if (t.recno() == antes) return std::nullopt;  // a failed move stays where it was
    if (t.asInteger(f) != actual.numero) return aqui();
  }
}

std::string tituloOrden(OrdenMovimientos orden) {
  switch (orden) {
    case OrdenMovimientos::Producto: return "Movimientos al Inventario Ordenado por Clave de Producto";
    case OrdenMovimientos::Fecha: return "Movimientos al Inventario Ordenado por Fecha";
    case OrdenMovimientos::Numero: break;
  }
  return "Movimientos al Inventario Ordenado por Número de Documento";
}

std::vector<Concepto> leeConceptos(const std::string& dirDatos) {
  std::vector<Concepto> r;
  dbf::Table t;
  t.open(dirDatos, kConceptos);
  t.setIndex("ITIPMOV");
  for (t.first(); !t.eof(); t.next()) {
    Concepto c;
    c.numero = static_cast<int>(t.asInteger("NUCON_CM"));
    c.descripcion = t.asText("DECON_CM");
    const std::string clase = t.asText("TIPOX_CM");
    c.clase = clase.empty() ? 'X' : base::mayuscula(clase[0]);
    c.destino = t.asText("ALMAC_CM");
    r.push_back(std::move(c));
  }
  return r;
}

double importeLinea(const Movimiento& m) { return m.cantidad * (m.tipo < 50 ? m.precio : m.costo); }

DefinicionReporte definicionReporteMovimientos(ReporteMovimientos r, const std::string& dirMovimientos) {
  const std::string t = "\"" + base::une(dirMovimientos, kTablaMovimientos) + "\"";
  const std::string columnas = "CLDOC_MI,CLPRO_MI,DESCR_MI,CANTI_MI,COSUN_MI,FEDOC_MI";
  std::vector<std::string> l;
  DefinicionReporte d;
  switch (r) {
    case ReporteMovimientos::Entradas:
      d = {"Entradas1", "Entradas al Inventario", {}};
      l = {"$" + d.titulo, "& Select " + columnas + " from " + t, "?(TIMOV_MI>50) ", "!CLDOC_MI,CLPRO_MI",
           "%e           c            c                 t             t              c         ",
           "#DOCUMENTO  PRODUCTO      DESCRIPCION       CANTIDAD      COSTO          FECHA     "};
      break;
    case ReporteMovimientos::Salidas:
      d = {"Salidas1", "Salidas del Inventario", {}};
      l = {"$" + d.titulo, "& Select " + columnas + " from " + t, "?(TIMOV_MI<51) ", "!CLDOC_MI,CLPRO_MI",
           "%e           c            c                 t             t              c         ",
           "#DOCUMENTO  PRODUCTO      DESCRIPCION       CANTIDAD      COSTO          FECHA     "};
      break;
    case ReporteMovimientos::General:
      // Entries positive, exits negative.
      d = {"GeneraldeMovimientos1", "General de Movimientos", {}};
      l = {"$" + d.titulo,
           "& Select CLDOC_MI,CLPRO_MI,DESCR_MI,CANTI_MI*(1),COSUN_MI,FEDOC_MI,TIMOV_MI from " + t +
               " WHERE (TIMOV_MI>50) UNION ",
           "& Select CLDOC_MI,CLPRO_MI,DESCR_MI,CANTI_MI*(-1),COSUN_MI,FEDOC_MI,TIMOV_MI from " + t,
           "?(TIMOV_MI<51) ", "!CLDOC_MI,CLPRO_MI",
           "%e           c            c                 t             f              c         c             ",
           "#DOCUMENTO  PRODUCTO      DESCRIPCION       CANTIDAD      COSTO          FECHA     TIPO_MOV.     "};
      break;
  }
  l.push_back("@");
  for (const std::string& x : l) d.texto += x + "\r";
  return d;
}

std::optional<ProductoMovimiento> buscaProducto(const std::string& dirCatalogo, const std::string& clave) {
  if (clave.empty()) return std::nullopt;
  dbf::Table p;
  p.open(dirCatalogo, "inventar.dbf");
  p.setIndex("ICLPRO");
  bool hallado = p.findKey({clave});
  if (!hallado) {
    p.setIndex("CODIG_I");
    hallado = p.findKey({clave});
  }
  if (!hallado) return std::nullopt;
  return ProductoMovimiento{p.asText("CLPRO_I"), p.asText("DSCPR_I"), p.asFloat("ULCOS_I"), p.asFloat("PPUBL_I")};
}

long repostaMovimiento(const AjustesMovimientos& a, long long numero) {
  const std::vector<Movimiento> lineas = leeMovimiento(a.dirCatalogo, numero);
  dbf::Table movs, prods;
  movs.open(a.dirCatalogo, kTablaMovimientos);
  prods.open(a.dirCatalogo, "inventar.dbf");
  std::vector<store::Bloqueo> b;
  prods.setIndex("ICLPRO");
  for (const Movimiento& m : lineas)
    if (m.tipo >= 57 && m.cantidad != 0 && prods.findKey({m.clave}))
      b.push_back({&prods, prods.recno(), "el producto " + m.clave});
  if (auto ocupado = store::bloquea(std::move(b)))
    throw dbf::LockError("No se puede guardar: " + ocupado->quien + " está en uso por otra estación", "reposta",
                         a.dirCatalogo);
  store::UnidadGuardado unidad({a.dirCatalogo});
  Posteo posteo(movs, prods, a.reglas);
  long n = 0;
  for (const Movimiento& m : lineas) {
    if (m.tipo < 57 || m.cantidad == 0) continue;
    posteo.aplica(m.tipo, m.clave, m.cantidad, m.costo);
    ++n;
  }
  unidad.confirma();
  return n;
}

std::optional<long long> primerMovimientoDe(const std::string& dirMovimientos, const std::string& clave) {
  dbf::Table t;
  t.open(dirMovimientos, kTablaMovimientos);
  t.setIndex("CLPRO_MI");
  t.setRange({clave}, {clave});
  std::optional<long long> r;
  for (t.first(); !t.eof(); t.next()) {
    const long long n = t.asInteger("CLDOC_MI");
    if (!r || n < *r) r = n;
  }
  return r;
}

bool escribeEtiquetas(const std::string& dirTrabajo, const std::vector<Movimiento>& lineas,
                      const std::string& concepto) {
  if (lineas.empty()) return false;
  const Movimiento& m = lineas.front();
  auto num = [](double v) { return base::Decimal::deDouble(v).texto(); };
  const std::vector<std::string> encabezado = {
      "CLDOC_MI\tFEDOC_MI\tTIMOV_MI\tDECON_CM\tCLCOP_MI\tREFMO_MI\tNALMA_MI",
      std::to_string(m.numero) + "\t" + m.fecha + "\t" + std::to_string(m.tipo) + "\t" + concepto + "\t" +
          m.contraparte + "\t" + m.referencia + "\t" + m.almacen};
  std::vector<std::string> detalle = {"CLPRO_MI\tDESCR_MI\tCANTI_MI\tCOSUN_MI\tPUNIT_MI"};
  for (const Movimiento& l : lineas)
    detalle.push_back(l.clave + "\t" + l.descripcion + "\t" + num(l.cantidad) + "\t" + num(l.costo) + "\t" +
                      num(l.precio));
  return base::escribeLineas(base::une(dirTrabajo, "etiqmi.dat"), encabezado) &&
         base::escribeLineas(base::une(dirTrabajo, "etiqmid.dat"), detalle);
}

}  // namespace mostrador::inventory
