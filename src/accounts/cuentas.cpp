#include "accounts/cuentas.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <unordered_map>

#include "base/fechas.h"
#include "base/numeros.h"
#include "base/rutas.h"
#include "base/texto_util.h"
#include "store/dbf/dbf_table.h"
#include "store/dbf/lector_secuencial.h"
#include "store/unidad.h"

namespace mostrador::accounts {

namespace {

// Below half a cent a balance is settled: sums of stored amounts of two and four
// decimals never land exactly on zero.
constexpr double kCentavo = 0.005;

constexpr const char* kConceptos = "Concepto.dbf";
constexpr const char* kCompras = "ComprasE.dbf";
constexpr std::string_view kNoAbre = "Ha Ocurrido un Error al Abrir una de las Bases de Datos.";
constexpr std::string_view kNoGuarda = "No se Pueden Guardar los Datos ha Ocurrido un Error";

// Where each book keeps its fields. Optional fields (nullptr) do not exist in that book.
struct Libro {
  const char* entradas;
  const char* indice;
  const char* documento;
  const char* clave;
  const char* claveAnterior;  // payables also carry the key in CLCLI_CP
  const char* referencia;
  const char* tipo;
  const char* concepto;
  const char* operacion;
  const char* importe;
  const char* saldo;
  const char* aplicado;
  const char* vence;
  const char* estado;
  const char* vendedor;
  const char* nombre;
  const char* maestro;
  const char* indiceMaestro;
  const char* claveMaestro;
  const char* nombreMaestro;
  const char* saldoMaestro;
  const char* abonoMaestro;
};

constexpr Libro kCobrar{"cucobrar.dbf", "ICUECOB",  "NUFAC_CC", "CLCLI_CC", nullptr,    "NUREF_CC",
                        "TIMOV_CC",     nullptr,    "OPERA_CC", "IMCUE_CC", "SALDO_CC", "FEAPL_CC",
                        "FEVEN_CC",     nullptr,    "CLVEN_CC", nullptr,    "cliente.dbf", "ICLACLI",
                        "CLCLI_C",      "NOMBR_C",  "SALDO_C",  "ABONO_C"};
constexpr Libro kPagar{"cuepagar.dbf", "NUCOM_CP", "NUCOM_CP", "CLPRO_CP", "CLCLI_CP", "NUDOC_CP",
                       "TIMOV_CP",     "CONCE_CP", "OPERA_CP", "IMCUE_CP", "SALDO_CP", "FEAPL_CP",
                       "FEVEN_CP",     "STATU_CP", nullptr,    "NOMBR_CP", "proveedo.dbf", "ICLAPRO",
                       "CLAVE_P",      "NOMBR_P",  "SALDO_P",  "ABONO_P"};

const Libro& libro(Cartera c) { return c == Cartera::Clientes ? kCobrar : kPagar; }

// Field numbers of the entries table, -1 for a field the table lacks.
struct Columnas {
  int documento, clave, claveAnterior, referencia, tipo, concepto, operacion, importe, saldo, aplicado,
      vence, estado, vendedor, nombre;
};

template <class Buscar>
Columnas columnas(const Libro& l, Buscar busca) {
  auto f = [&](const char* n) { return n ? busca(n) : -1; };
  Columnas c{f(l.documento), f(l.clave),  f(l.claveAnterior), f(l.referencia), f(l.tipo),
             f(l.concepto),  f(l.operacion), f(l.importe),    f(l.saldo),      f(l.aplicado),
             f(l.vence),     f(l.estado), f(l.vendedor),      f(l.nombre)};
  if (c.documento < 0 || c.clave < 0 || c.operacion < 0 || c.importe < 0)
    throw dbf::Error(std::string("La tabla ") + l.entradas + " no tiene los campos de los asientos");
  return c;
}

Columnas columnasDe(const Libro& l, const dbf::Table& t) {
  return columnas(l, [&](const char* n) { return t.fieldIndex(n); });
}

Columnas columnasDe(const Libro& l, const dbf::LectorSecuencial& r) {
  const auto& campos = r.campos();
  return columnas(l, [&](const char* n) {
    for (size_t i = 0; i < campos.size(); ++i)
      if (base::igualesSinCasoAscii(campos[i].name, n)) return static_cast<int>(i);
    return -1;
  });
}

// One reading interface over a table handle and the sequential reader.
struct DeTabla {
  const dbf::Table& t;
  std::string texto(int i) const { return i < 0 ? std::string() : t.asText(i); }
  double numero(int i) const { return i < 0 ? 0.0 : t.asFloat(i); }
  uint32_t registro() const { return t.recno(); }
};
struct DeLector {
  const dbf::LectorSecuencial& r;
  std::string texto(int i) const { return i < 0 ? std::string() : r.texto(i); }
  double numero(int i) const { return i < 0 ? 0.0 : r.numero(i); }
  uint32_t registro() const { return r.recno(); }
};

// Keys are compared without blanks at either end: with consecutive keys a text key is
// right-aligned ("         1") while the entries and the user write "1".
std::string limpia(std::string_view s) { return base::recortaBlancos(s); }

template <class R>
std::string claveDe(const R& r, const Columnas& c) {
  std::string k = limpia(r.texto(c.clave));
  if (k.empty()) k = limpia(r.texto(c.claveAnterior));
  return k;
}

template <class R>
bool cancelado(const R& r, const Columnas& c) {
  return c.estado >= 0 && r.texto(c.estado) == "C";
}

// +amount for a charge, -amount for a credit, 0 for a cancelled payable.
template <class R>
double efecto(const R& r, const Columnas& c) {
  if (cancelado(r, c)) return 0;
  const double v = r.numero(c.importe);
  return r.texto(c.operacion) == "A" ? -v : v;
}

template <class R>
Asiento asientoDe(const R& r, const Columnas& c) {
  Asiento a;
  a.registro = r.registro();
  a.documento = r.texto(c.documento);
  a.referencia = r.texto(c.referencia);
  a.tipo = r.texto(c.tipo);
  a.concepto = r.texto(c.concepto);
  a.operacion = r.texto(c.operacion);
  a.importe = r.numero(c.importe);
  a.aplicado = r.texto(c.aplicado);
  a.vence = r.texto(c.vence);
  a.saldo = r.numero(c.saldo);
  return a;
}

// Sort key of a key or document number: numbers in numeric order, before any text, and
// texts in byte order. Made once per row, not per comparison.
struct Natural {
  bool texto = false;
  std::string s;  // a number without its leading zeros
  friend bool operator<(const Natural& a, const Natural& b) {
    if (a.texto != b.texto) return !a.texto;
    if (!a.texto && a.s.size() != b.s.size()) return a.s.size() < b.s.size();
    return a.s < b.s;
  }
};

Natural natural(std::string_view t) {
  Natural n;
  n.s = limpia(t);
  n.texto = n.s.empty() || !std::all_of(n.s.begin(), n.s.end(), [](char ch) { return ch >= '0' && ch <= '9'; });
  if (!n.texto) n.s.erase(0, std::min(n.s.find_first_not_of('0'), n.s.size()));
  return n;
}

// Day value of a stored date text for ordering; LONG_MAX when blank or not a date.
long diaOrden(std::string_view texto) {
  const auto f = base::leeFechaCorta(texto);
  return f ? base::serialFecha(*f) : std::numeric_limits<long>::max();
}

// A document as its entries add up.
struct Documento {
  std::string documento, clave, aplicado, vence;
  uint32_t primero = 0;  // record of the first entry (index order: lowest record number)
  double saldo = 0;
  // Sort keys, made by ordena() for the documents that get sorted.
  long dia = 0;
  Natural numero, claveOrden;
};

// Raw bytes of a field of the reader's record, blanks on the right cut (and on the left
// for numbers, which are right-aligned): the scan below compares and hashes these, so
// that a record costs no text conversion unless it opens a document.
std::string_view crudo(const dbf::LectorSecuencial& r, int i, const std::vector<dbf::FieldDef>& defs) {
  if (i < 0) return {};
  const dbf::FieldDef& f = defs[static_cast<size_t>(i)];
  std::string_view v(r.campo(i), static_cast<size_t>(f.length));
  while (!v.empty() && (v.back() == ' ' || v.back() == '\0')) v.remove_suffix(1);
  if (f.type == 'N' || f.type == 'F')
    while (!v.empty() && v.front() == ' ') v.remove_prefix(1);
  return v;
}

struct HashTexto {
  using is_transparent = void;
  size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
};

// Every document of the book, in the order their first entries were written.
std::vector<Documento> documentos(const std::string& dirDatos, const Libro& l) {
  dbf::LectorSecuencial r(dirDatos, l.entradas);
  const Columnas c = columnasDe(l, r);
  const auto& defs = r.campos();
  const DeLector d{r};
  std::vector<Documento> v;
  std::unordered_map<std::string, size_t, HashTexto, std::equal_to<>> pos;
  while (r.siguiente()) {
    const std::string_view doc = crudo(r, c.documento, defs);
    auto it = pos.find(doc);
    if (it == pos.end()) {
      it = pos.emplace(std::string(doc), v.size()).first;
      Documento x;
      x.documento = d.texto(c.documento);
      x.clave = claveDe(d, c);
      x.aplicado = d.texto(c.aplicado);
      x.vence = d.texto(c.vence);
      x.primero = d.registro();
      v.push_back(std::move(x));
    }
    if (c.estado >= 0 && crudo(r, c.estado, defs) == "C") continue;
    const double importe = r.numero(c.importe);
    v[it->second].saldo += crudo(r, c.operacion, defs) == "A" ? -importe : importe;
  }
  return v;
}

// A whole number as the payables number their purchases.
bool esEntero(const std::string& s) {
  return !s.empty() && s.size() <= 10 &&
         std::all_of(s.begin(), s.end(), [](char ch) { return ch >= '0' && ch <= '9'; });
}

// The document's range in its table. Payables number their documents with integers: a
// text that is not one names no document.
bool limitaDocumento(dbf::Table& t, const Libro& l, std::string_view documento) {
  t.setIndex(l.indice);
  if (&l == &kPagar) {
    const std::string s = limpia(documento);
    if (!esEntero(s)) return false;
    const double n = std::stod(s);
    t.setRange({n}, {n});
  } else {
    t.setRange({std::string(documento)}, {std::string(documento)});
  }
  return true;
}

// The master record of a key: as typed, then right-aligned to the key's width (the form
// consecutive keys take in a text field).
bool buscaClave(dbf::Table& t, const Libro& l, std::string_view clave) {
  t.setIndex(l.indiceMaestro);
  const std::string k = limpia(clave);
  if (k.empty()) return false;
  if (t.findKey({k})) return true;
  const int f = t.requireField(l.claveMaestro);
  const dbf::FieldDef& def = t.fieldDefs()[static_cast<size_t>(f)];
  if (def.type == 'C' && static_cast<int>(k.size()) < def.length)
    return t.findKey({std::string(static_cast<size_t>(def.length) - k.size(), ' ') + k});
  return false;
}

std::map<int, std::string> conceptos(const std::string& dirDatos) {
  std::map<int, std::string> r;
  if (!base::existe(base::une(dirDatos, kConceptos))) return r;
  dbf::Table t;
  t.open(dirDatos, kConceptos);
  for (t.first(); !t.eof(); t.next()) r[static_cast<int>(t.asInteger("TIMOV_MO"))] = t.asText("CONCE_MO");
  return r;
}

int entero(std::string_view s) {
  const auto v = base::leeNumero(s);
  return v ? static_cast<int>(*v) : 0;
}

// A document's entries read through its index, inside the caller's unit or not.
struct Lectura {
  std::vector<Asiento> asientos;
  std::string clave;                    // trimmed, for comparing
  std::string claveCruda;               // as stored, copied onto a new credit
  uint32_t primero = 0;
  double saldo = 0;
  std::string nudoc, nombre, vendedor;  // copied onto a new credit
};

Lectura leeDocumento(dbf::Table& t, const Libro& l, std::string_view documento) {
  Lectura r;
  if (!limitaDocumento(t, l, documento)) return r;
  const Columnas c = columnasDe(l, t);
  const DeTabla d{t};
  for (t.first(); !t.eof(); t.next()) {
    if (r.asientos.empty()) {
      r.clave = claveDe(d, c);
      r.claveCruda = limpia(d.texto(c.clave)).empty() ? d.texto(c.claveAnterior) : d.texto(c.clave);
      r.primero = t.recno();
      r.nudoc = d.texto(c.referencia);
      r.nombre = d.texto(c.nombre);
      r.vendedor = d.texto(c.vendedor);
    }
    r.asientos.push_back(asientoDe(d, c));
    r.saldo += efecto(d, c);
  }
  t.cancelRange();
  return r;
}

// Receivable entries carry only the type; its text is the concept table's.
void ponConceptos(const std::string& dirDatos, std::vector<Asiento>& asientos) {
  const std::map<int, std::string> nombres = conceptos(dirDatos);
  for (Asiento& a : asientos) {
    auto it = nombres.find(entero(a.tipo));
    if (it != nombres.end()) a.concepto = it->second;
  }
}

std::string textoOcupado(const std::string& quien) {
  return "No se puede guardar: " + quien + " está en uso por otra estación; intente de nuevo.";
}

// Oldest due first; a document without a due date by its applied date; then by number.
void ponOrden(Documento& d) {
  d.dia = diaOrden(d.vence);
  if (d.dia == std::numeric_limits<long>::max()) d.dia = diaOrden(d.aplicado);
  d.numero = natural(d.documento);
  d.claveOrden = natural(d.clave);
}

bool porVencimiento(const Documento& a, const Documento& b) {
  if (a.dia != b.dia) return a.dia < b.dia;
  if (a.documento != b.documento) return a.numero < b.numero;
  return a.primero < b.primero;
}

}  // namespace

long diaComercial(const base::Fecha& f) {
  const long y = f.anio - 1980;
  long n = y * 365 + y / 4 + f.mes * 30 + f.dia - 30;
  if (f.anio % 4 == 0 && f.mes > 2) ++n;
  return n;
}

std::string textoVencimiento(std::string_view vence, const base::Fecha& hoy) {
  const auto f = base::leeFechaCorta(vence);
  if (!f) return {};
  if (hoy < *f) return "no vencido";
  const long n = diaComercial(hoy) - diaComercial(*f);
  if (n == 0) return "Se vence Hoy";
  return "vencido  " + std::to_string(n) + "  dias";
}

std::string textoSaldo(double saldo) { return "$" + base::formateaMascara(saldo, "###,###,##0.00"); }

std::string textoEstado(double saldo) { return saldo > kCentavo ? "Deudor" : "Saldada"; }

std::optional<DetalleDocumento> detalleDocumento(const std::string& dirDatos, Cartera c,
                                                 std::string_view documento, const base::Fecha& hoy) {
  const Libro& l = libro(c);
  dbf::Table t;
  t.open(dirDatos, l.entradas);
  Lectura r = leeDocumento(t, l, documento);
  if (r.asientos.empty()) return std::nullopt;

  DetalleDocumento d;
  d.documento = r.asientos.front().documento;
  d.clave = r.clave;
  d.aplicado = r.asientos.front().aplicado;
  d.vence = r.asientos.front().vence;
  d.saldo = base::redondea(r.saldo, 4);
  d.saldoTexto = textoSaldo(d.saldo);
  d.estado = textoEstado(d.saldo);
  d.vencimiento = textoVencimiento(d.vence, hoy);
  if (c == Cartera::Clientes) ponConceptos(dirDatos, r.asientos);

  if (std::fabs(r.asientos.front().saldo - d.saldo) > 1e-9) {
    try {
      // A reading does not keep the window waiting long for another station's save.
      constexpr int kEspera = 500;
      if (!store::bloquea({{&t, r.primero, "el documento " + d.documento}}, kEspera)) {
        store::UnidadGuardado unidad({dirDatos}, kEspera);
        // Read again under the lock: a payment saved meanwhile counts.
        Lectura ahora = leeDocumento(t, l, documento);
        if (!ahora.asientos.empty() && ahora.primero == r.primero) {
          const double saldo = base::redondea(ahora.saldo, 4);
          t.goTo(r.primero);
          t.edit();
          t.setFloat(l.saldo, saldo);
          t.post();
          unidad.confirma();
          if (c == Cartera::Clientes) ponConceptos(dirDatos, ahora.asientos);
          r = std::move(ahora);
          r.asientos.front().saldo = saldo;
          d.saldo = saldo;
          d.saldoTexto = textoSaldo(d.saldo);
          d.estado = textoEstado(d.saldo);
        }
      }
    } catch (const dbf::LockError&) {
      // Held by another station: shown now, stored at the next reading.
    }
    t.releaseLocks();
  }
  d.asientos = std::move(r.asientos);
  return d;
}

ReporteCartera cartera(const std::string& dirDatos, Cartera c, const base::Fecha& hoy, std::string_view clave) {
  const Libro& l = libro(c);
  dbf::Table maestro;
  maestro.open(dirDatos, l.maestro);  // also puts back what a killed save left
  const std::string filtro = limpia(clave);
  std::vector<Documento> docs = documentos(dirDatos, l);
  std::erase_if(docs, [&](const Documento& d) {
    return d.saldo <= kCentavo || (!filtro.empty() && d.clave != filtro);
  });
  // Sorted through pointers: a document is a handful of texts, costly to move about.
  std::vector<Documento*> orden;
  orden.reserve(docs.size());
  for (Documento& d : docs) {
    ponOrden(d);
    orden.push_back(&d);
  }
  std::sort(orden.begin(), orden.end(), [](const Documento* a, const Documento* b) {
    if (a->clave != b->clave) return a->claveOrden < b->claveOrden;
    return porVencimiento(*a, *b);
  });

  ReporteCartera r;
  r.documentos.reserve(docs.size());
  std::unordered_map<std::string, std::string> nombres;
  const long hoyDia = diaComercial(hoy);
  for (Documento* p : orden) {
    Documento& d = *p;
    auto [it, nuevo] = nombres.try_emplace(d.clave);
    if (nuevo && buscaClave(maestro, l, d.clave)) it->second = maestro.asText(l.nombreMaestro);
    DocumentoAbierto a;
    a.documento = std::move(d.documento);
    a.clave = std::move(d.clave);
    a.nombre = it->second;
    a.aplicado = std::move(d.aplicado);
    a.vence = std::move(d.vence);
    a.saldo = base::redondea(d.saldo, 4);
    a.vencimiento = textoVencimiento(a.vence, hoy);
    r.total += a.saldo;
    const auto f = base::leeFechaCorta(a.vence);
    if (!f || hoy < *f) {
      r.porVencer += a.saldo;
    } else {
      const long n = hoyDia - diaComercial(*f);
      (n <= 30 ? r.vencido30 : n <= 60 ? r.vencido60 : n <= 90 ? r.vencido90 : r.vencidoMas) += a.saldo;
    }
    r.documentos.push_back(std::move(a));
  }
  for (double* v : {&r.total, &r.porVencer, &r.vencido30, &r.vencido60, &r.vencido90, &r.vencidoMas})
    *v = base::redondea(*v, 4);
  return r;
}

std::optional<EstadoCuenta> estadoCuenta(const std::string& dirDatos, Cartera c, std::string_view clave) {
  const Libro& l = libro(c);
  dbf::Table maestro;
  maestro.open(dirDatos, l.maestro);
  if (!buscaClave(maestro, l, clave)) return std::nullopt;
  EstadoCuenta e;
  e.clave = limpia(maestro.asText(l.claveMaestro));
  e.nombre = maestro.asText(l.nombreMaestro);

  // The key's documents are those whose first entry names it.
  std::unordered_map<std::string, bool> suyo;
  for (const Documento& d : documentos(dirDatos, l)) suyo[d.documento] = d.clave == e.clave;
  dbf::LectorSecuencial r(dirDatos, l.entradas);
  const Columnas col = columnasDe(l, r);
  const DeLector d{r};
  const std::map<int, std::string> nombres = c == Cartera::Clientes ? conceptos(dirDatos) : std::map<int, std::string>{};
  struct Fila {
    long dia;
    Natural documento;
    Asiento a;
    double efecto;
  };
  std::vector<Fila> filas;
  while (r.siguiente()) {
    auto it = suyo.find(d.texto(col.documento));
    if (it == suyo.end() || !it->second || cancelado(d, col)) continue;
    Asiento a = asientoDe(d, col);
    if (c == Cartera::Clientes)
      if (auto n = nombres.find(entero(a.tipo)); n != nombres.end()) a.concepto = n->second;
    const long dia = diaOrden(a.aplicado);
    Natural numero = natural(a.documento);
    filas.push_back({dia, std::move(numero), std::move(a), efecto(d, col)});
  }
  std::sort(filas.begin(), filas.end(), [](const Fila& x, const Fila& y) {
    if (x.dia != y.dia) return x.dia < y.dia;
    if (x.a.documento != y.a.documento) return x.documento < y.documento;
    return x.a.registro < y.a.registro;
  });
  double saldo = 0;
  for (Fila& f : filas) {
    saldo += f.efecto;
    f.a.saldo = base::redondea(saldo, 4);
    e.movimientos.push_back(std::move(f.a));
  }
  e.saldo = base::redondea(saldo, 4);
  e.estado = textoEstado(e.saldo);
  return e;
}

bool tieneSaldoAbierto(const std::string& dirDatos, Cartera c, std::string_view clave) {
  const Libro& l = libro(c);
  const std::string k = limpia(clave);
  {
    dbf::Table entradas;
    entradas.open(dirDatos, l.entradas);
  }
  for (const Documento& d : documentos(dirDatos, l))
    if (d.clave == k && std::fabs(d.saldo) > kCentavo) return true;
  return false;
}

std::string abona(const std::string& dirDatos, Cartera c, const Abono& a, const base::Reloj& reloj,
                  std::vector<AbonoAplicado>* aplicado) {
  const Libro& l = libro(c);
  const bool clientes = c == Cartera::Clientes;
  if (aplicado) aplicado->clear();
  dbf::Table maestro, entradas, conceptosT, compras;
  try {
    maestro.open(dirDatos, l.maestro);
    entradas.open(dirDatos, l.entradas);
    conceptosT.open(dirDatos, kConceptos);
    if (!clientes && base::existe(base::une(dirDatos, kCompras))) compras.open(dirDatos, kCompras);
  } catch (const dbf::Error&) {
    return std::string(kNoAbre);
  }

  try {
    if (!buscaClave(maestro, l, a.clave))
      return std::string(clientes ? kClienteNoExiste : kProveedorNoExiste);
    const uint32_t registroMaestro = maestro.recno();
    const std::string clave = limpia(maestro.asText(l.claveMaestro));
    const double importe = std::isfinite(a.importe) ? base::redondea(a.importe, 2) : 0;
    if (!(importe > 0)) return std::string(kImporteNoValido);

    auto mayor = [](double saldo) {
      return std::string(kAbonoMayor) + "(" + textoSaldo(base::redondea(saldo, 4)) + ")";
    };
    // The documents the payment may go to.
    std::vector<Documento> candidatos;
    if (!a.documento.empty()) {
      const Lectura r = leeDocumento(entradas, l, a.documento);
      if (r.asientos.empty() || r.clave != clave) return std::string(kDocumentoNoExiste);
      Documento d;
      d.documento = r.asientos.front().documento;
      d.clave = r.clave;
      d.aplicado = r.asientos.front().aplicado;
      d.vence = r.asientos.front().vence;
      d.primero = r.primero;
      d.saldo = r.saldo;
      if (importe > d.saldo + kCentavo) return mayor(d.saldo);
      candidatos.push_back(std::move(d));
    } else {
      double total = 0;
      // A document without a number cannot be named by a payment entry.
      for (Documento& d : documentos(dirDatos, l))
        if (d.clave == clave && d.saldo > kCentavo && !limpia(d.documento).empty() &&
            (clientes || esEntero(limpia(d.documento)))) {
          total += d.saldo;
          candidatos.push_back(std::move(d));
        }
      if (candidatos.empty()) return std::string(clientes ? kClienteSinPendientes : kProveedorSinPendientes);
      if (importe > total + kCentavo) return mayor(total);
    }
    conceptosT.setIndex("TIMOV_MO");
    if (!conceptosT.findKey({static_cast<double>(a.concepto)}) || conceptosT.asText("TIPOO_MO") != "A")
      return std::string(kMovimientoNoEncontrado);
    const std::string concepto = conceptosT.asText("CONCE_MO");
    for (Documento& d : candidatos) ponOrden(d);
    std::sort(candidatos.begin(), candidatos.end(), porVencimiento);

    // Lock phase: the key's record, the first entry of every document it may touch and,
    // for payables, the purchases they belong to.
    std::vector<store::Bloqueo> b;
    b.push_back({&maestro, registroMaestro, (clientes ? "el cliente " : "el proveedor ") + clave});
    std::map<std::string, uint32_t> compraDe;
    for (const Documento& d : candidatos) {
      b.push_back({&entradas, d.primero, "el documento " + d.documento});
      if (compras.isOpen()) {
        compras.setIndex("ICOMENC");
        if (compras.findKey({std::stod(d.documento)})) {
          compraDe[d.documento] = compras.recno();
          b.push_back({&compras, compras.recno(), "la compra " + d.documento});
        }
      }
    }
    if (auto ocupado = store::bloquea(std::move(b))) return textoOcupado(ocupado->quien);

    // The lock phase's locks go when this returns, whichever way.
    struct Libera {
      std::vector<dbf::Table*> tablas;
      ~Libera() {
        for (dbf::Table* t : tablas) {
          try {
            if (t->isOpen()) t->releaseLocks();
          } catch (const dbf::Error&) {
          }
        }
      }
    } libera{{&maestro, &entradas, &compras}};

    store::UnidadGuardado unidad({dirDatos});
    std::vector<dbf::Table*> guardadas{&maestro, &entradas};
    if (compras.isOpen()) guardadas.push_back(&compras);
    unidad.guardaDeAntemano(guardadas);

    // Read again under the locks: another station may have paid meanwhile.
    struct Pago {
      Documento d;
      Lectura r;
      double importe = 0;
    };
    std::vector<Pago> pagos;
    double abierto = 0;
    for (Documento& d : candidatos) {
      Lectura r = leeDocumento(entradas, l, d.documento);
      d.saldo = r.saldo;
      if (d.saldo <= kCentavo && a.documento.empty()) continue;
      abierto += d.saldo;
      pagos.push_back({d, std::move(r), 0});
    }
    if (pagos.empty()) return std::string(clientes ? kClienteSinPendientes : kProveedorSinPendientes);
    if (importe > abierto + kCentavo) return mayor(abierto);
    double resto = importe;
    for (size_t i = 0; i < pagos.size() && resto > 0; ++i) {
      const bool ultimo = i + 1 == pagos.size();
      const double x = ultimo ? resto : std::min(resto, base::redondea(pagos[i].d.saldo, 4));
      pagos[i].importe = base::redondea(x, 4);
      resto = base::redondea(resto - pagos[i].importe, 4);
    }

    const base::Fecha fecha = base::fechaValida(a.fecha) ? a.fecha : reloj.ahora().fecha;
    const std::string fechaTexto = base::fechaCorta(fecha);
    const Columnas col = columnasDe(l, entradas);
    for (const Pago& p : pagos) {
      if (p.importe <= 0) continue;
      const double saldo = base::redondea(p.d.saldo - p.importe, 4);
      entradas.cancelRange();
      entradas.append();
      entradas.setText(col.clave, p.r.claveCruda);
      if (clientes) {
        entradas.setText(col.documento, p.d.documento);
        entradas.setText(col.referencia, p.d.documento);
        entradas.setText(col.tipo, std::to_string(a.concepto));
        if (col.vendedor >= 0) entradas.setText(col.vendedor, p.r.vendedor);
      } else {
        entradas.setInteger(col.documento, std::stoll(p.d.documento));
        if (col.claveAnterior >= 0) entradas.setText(col.claveAnterior, p.r.claveCruda);
        if (col.referencia >= 0) entradas.setText(col.referencia, p.r.nudoc);
        if (col.nombre >= 0) entradas.setText(col.nombre, p.r.nombre);
        entradas.setInteger(col.tipo, a.concepto);
        if (col.concepto >= 0) entradas.setText(col.concepto, concepto);
      }
      entradas.setText(col.operacion, "A");
      entradas.setFloat(col.importe, p.importe);
      // The credit carries the balance it leaves, as the first entry does.
      if (col.saldo >= 0) entradas.setFloat(col.saldo, saldo);
      if (col.aplicado >= 0) entradas.setText(col.aplicado, fechaTexto);
      entradas.post();

      entradas.goTo(p.d.primero);
      entradas.edit();
      entradas.setFloat(col.saldo, saldo);
      entradas.post();

      if (auto it = compraDe.find(p.d.documento); it != compraDe.end()) {
        compras.goTo(it->second);
        compras.edit();
        compras.setFloat("ABONO_O", base::redondea(compras.asFloat("ABONO_O") + p.importe, 4));
        compras.setFloat("SALDO_O", base::redondea(compras.asFloat("SALDO_O") - p.importe, 4));
        compras.post();
      }
      if (aplicado) aplicado->push_back({p.d.documento, p.importe, saldo});
    }
    maestro.goTo(registroMaestro);
    maestro.edit();
    maestro.setFloat(l.saldoMaestro, base::redondea(maestro.asFloat(l.saldoMaestro) - importe, 4));
    maestro.setFloat(l.abonoMaestro, base::redondea(maestro.asFloat(l.abonoMaestro) + importe, 4));
    maestro.post();
    unidad.confirma();
  } catch (const dbf::LockError& e) {
    if (aplicado) aplicado->clear();
    return std::string("No se puede guardar: ") + e.what() + "; intente de nuevo.";
  } catch (const dbf::Error&) {
    if (aplicado) aplicado->clear();
    return std::string(kNoGuarda);
  }
  return {};
}

std::optional<ConceptoCuenta> conceptoCuenta(const std::string& dirDatos, int tipo) {
  if (!base::existe(base::une(dirDatos, kConceptos))) return std::nullopt;
  dbf::Table t;
  t.open(dirDatos, kConceptos);
  t.setIndex("TIMOV_MO");
  if (!t.findKey({static_cast<double>(tipo)})) return std::nullopt;
  return ConceptoCuenta{t.asText("CONCE_MO"), t.asText("TIPOO_MO")};
}

namespace {

// Payments of a reading: the sum of its live credits.
double pagosDe(const Lectura& r) {
  double s = 0;
  for (const Asiento& a : r.asientos)
    if (a.operacion == "A") s += a.importe;
  return s;
}

// One change to a payable document (m == nullptr removes the entry at registro), with
// the balance stored again on its first entry and the purchase and supplier moved by
// the difference.
std::string cambiaMovimientoPagar(const std::string& dirDatos, std::string_view documento, uint32_t registro,
                                  const MovimientoPagar* m, const base::Reloj* reloj) {
  const Libro& l = kPagar;
  dbf::Table entradas, maestro, compras;
  try {
    entradas.open(dirDatos, l.entradas);
    maestro.open(dirDatos, l.maestro);
    if (base::existe(base::une(dirDatos, kCompras))) compras.open(dirDatos, kCompras);
  } catch (const dbf::Error&) {
    return std::string(kNoAbre);
  }
  try {
    Lectura antes = leeDocumento(entradas, l, documento);
    if (antes.asientos.empty()) return std::string(kDocumentoNoExiste);
    // Live entries only: a cancelled purchase's payable is not worked on.
    if (registro != 0 &&
        std::none_of(antes.asientos.begin(), antes.asientos.end(), [&](const Asiento& a) { return a.registro == registro; }))
      return std::string(kDocumentoNoExiste);
    std::optional<ConceptoCuenta> concepto;
    double importe = 0;
    if (m) {
      importe = std::isfinite(m->importe) ? base::redondea(m->importe, 2) : 0;
      if (!(importe > 0)) return std::string(kImporteNoValido);
      concepto = conceptoCuenta(dirDatos, m->tipo);
      if (!concepto) return std::string(kMovimientoNoEncontrado);
    }
    const std::string numero = limpia(documento);

    std::vector<store::Bloqueo> b;
    b.push_back({&entradas, antes.primero, "el documento " + numero});
    if (registro != 0 && registro != antes.primero) b.push_back({&entradas, registro, "el documento " + numero});
    uint32_t registroMaestro = 0, registroCompra = 0;
    if (buscaClave(maestro, l, antes.clave)) {
      registroMaestro = maestro.recno();
      b.push_back({&maestro, registroMaestro, "el proveedor " + antes.clave});
    }
    if (compras.isOpen()) {
      compras.setIndex("ICOMENC");
      if (compras.findKey({std::stod(numero)})) {
        registroCompra = compras.recno();
        b.push_back({&compras, registroCompra, "la compra " + numero});
      }
    }
    if (auto ocupado = store::bloquea(std::move(b))) return textoOcupado(ocupado->quien);
    struct Libera {
      std::vector<dbf::Table*> tablas;
      ~Libera() {
        for (dbf::Table* t : tablas) {
          try {
            if (t->isOpen()) t->releaseLocks();
          } catch (const dbf::Error&) {
          }
        }
      }
    } libera{{&maestro, &entradas, &compras}};

    store::UnidadGuardado unidad({dirDatos});
    std::vector<dbf::Table*> guardadas{&maestro, &entradas};
    if (compras.isOpen()) guardadas.push_back(&compras);
    unidad.guardaDeAntemano(guardadas);

    // Read again under the locks: another station may have changed the document.
    antes = leeDocumento(entradas, l, documento);
    if (antes.asientos.empty()) return std::string(kDocumentoNoExiste);
    const Columnas col = columnasDe(l, entradas);
    entradas.cancelRange();
    if (!m) {
      if (!entradas.goTo(registro)) return std::string(kDocumentoNoExiste);
      entradas.remove();
    } else {
      if (registro == 0) {
        entradas.append();
        entradas.setText(col.clave, antes.claveCruda);
        if (col.claveAnterior >= 0) entradas.setText(col.claveAnterior, antes.claveCruda);
        entradas.setInteger(col.documento, std::stoll(numero));
        if (col.referencia >= 0) entradas.setText(col.referencia, antes.nudoc);
        if (col.nombre >= 0) entradas.setText(col.nombre, antes.nombre);
      } else {
        if (!entradas.goTo(registro)) return std::string(kDocumentoNoExiste);
        entradas.edit();
      }
      entradas.setInteger(col.tipo, m->tipo);
      if (col.concepto >= 0) entradas.setText(col.concepto, concepto->concepto);
      entradas.setText(col.operacion, concepto->operacion);
      entradas.setFloat(col.importe, importe);
      std::string aplicado = limpia(m->aplicado);
      if (aplicado.empty() && registro == 0) aplicado = base::fechaCorta(reloj->ahora().fecha);
      if (!aplicado.empty() && col.aplicado >= 0) entradas.setText(col.aplicado, aplicado);
      if (!limpia(m->vence).empty() && col.vence >= 0) entradas.setText(col.vence, limpia(m->vence));
      entradas.post();
    }

    const Lectura despues = leeDocumento(entradas, l, documento);
    const double saldo = base::redondea(despues.saldo, 4);
    if (!despues.asientos.empty()) {
      entradas.cancelRange();
      entradas.goTo(despues.primero);
      entradas.edit();
      entradas.setFloat(col.saldo, saldo);
      entradas.post();
    }
    const double dSaldo = base::redondea(despues.saldo - antes.saldo, 4);
    const double dPagos = base::redondea(pagosDe(despues) - pagosDe(antes), 4);
    if (registroCompra != 0) {
      compras.goTo(registroCompra);
      compras.edit();
      compras.setFloat("ABONO_O", base::redondea(compras.asFloat("ABONO_O") + dPagos, 4));
      compras.setFloat("SALDO_O", base::redondea(compras.asFloat("SALDO_O") + dSaldo, 4));
      compras.post();
    }
    if (registroMaestro != 0) {
      maestro.goTo(registroMaestro);
      maestro.edit();
      maestro.setFloat(l.saldoMaestro, base::redondea(maestro.asFloat(l.saldoMaestro) + dSaldo, 4));
      maestro.setFloat(l.abonoMaestro, base::redondea(maestro.asFloat(l.abonoMaestro) + dPagos, 4));
      maestro.post();
    }
    unidad.confirma();
  } catch (const dbf::LockError& e) {
    return std::string("No se puede guardar: ") + e.what() + "; intente de nuevo.";
  } catch (const dbf::Error&) {
    return std::string(kNoGuarda);
  }
  return {};
}

}  // namespace

std::string guardaMovimientoPagar(const std::string& dirDatos, std::string_view documento, uint32_t registro,
                                  const MovimientoPagar& m, const base::Reloj& reloj) {
  return cambiaMovimientoPagar(dirDatos, documento, registro, &m, &reloj);
}

std::string quitaMovimientoPagar(const std::string& dirDatos, std::string_view documento, uint32_t registro) {
  if (registro == 0) return std::string(kDocumentoNoExiste);
  return cambiaMovimientoPagar(dirDatos, documento, registro, nullptr, nullptr);
}

namespace {

std::string columna(std::string t, size_t ancho, bool derecha) {
  // Characters, not bytes: "ñ" takes one column.
  size_t n = base::largoCaracteres(t);
  if (n > ancho) {
    std::string r;
    size_t k = 0;
    for (size_t i = 0; i < t.size() && k < ancho; ++k) {
      size_t largo = 1;
      const unsigned char ch = static_cast<unsigned char>(t[i]);
      if (ch >= 0xF0) largo = 4;
      else if (ch >= 0xE0) largo = 3;
      else if (ch >= 0xC0) largo = 2;
      r += t.substr(i, largo);
      i += largo;
    }
    return r;
  }
  const std::string relleno(ancho - n, ' ');
  return derecha ? relleno + t : t + relleno;
}

std::string dinero(double v) { return "$" + base::formateaMascara(v, "#,###,##0.00"); }

}  // namespace

std::vector<std::string> estadoDetallado(const std::string& dirDatos, Cartera c, std::string_view desde,
                                         std::string_view hasta, const base::Fecha& hoy) {
  const Libro& l = libro(c);
  std::vector<std::string> claves;
  {
    dbf::Table maestro;
    maestro.open(dirDatos, l.maestro);
    maestro.setIndex(l.indiceMaestro);
    for (maestro.first(); !maestro.eof(); maestro.next()) {
      const std::string k = maestro.asText(l.claveMaestro);
      if ((!desde.empty() && k < desde) || (!hasta.empty() && k > hasta)) continue;
      claves.push_back(k);
    }
  }
  std::vector<std::string> r{"Reporte de Cuentas por Cobrar Detallado al Día " + base::fechaCorta(hoy), ""};
  r.push_back(columna("Documento", 12, false) + columna("Fecha", 11, false) + columna("Concepto", 20, false) +
              columna("Cargo", 15, true) + columna("Abono", 15, true) + columna("Saldo", 15, true));
  double total = 0;
  for (const std::string& k : claves) {
    const auto e = estadoCuenta(dirDatos, c, k);
    if (!e || e->movimientos.empty()) continue;
    r.push_back("");
    r.push_back(k + "  " + e->nombre);
    for (const Asiento& a : e->movimientos) {
      const bool abono = a.operacion == "A";
      r.push_back(columna(a.documento, 12, false) + columna(a.aplicado, 11, false) +
                  columna(a.concepto.empty() ? a.tipo : a.concepto, 20, false) +
                  columna(abono ? "" : dinero(a.importe), 15, true) + columna(abono ? dinero(a.importe) : "", 15, true) +
                  columna(dinero(a.saldo), 15, true));
    }
    r.push_back(columna("", 43, false) + columna("Saldo " + e->estado, 30, true) + columna(dinero(e->saldo), 15, true));
    total += e->saldo;
  }
  r.push_back("");
  r.push_back(columna("Total", 73, false) + columna(dinero(total), 15, true));
  return r;
}

std::vector<std::string> estadoDocumento(Cartera c, const DetalleDocumento& d, const base::Fecha& hoy) {
  const bool pagar = c == Cartera::Proveedores;
  std::vector<std::string> r{
      std::string(pagar ? "Estado de Cuenta de la Compra No. " : "Estado de Cuenta del Documento No. ") + d.documento +
          " al Día " + base::fechaCorta(hoy),
      ""};
  r.push_back(std::string(pagar ? "Proveedor " : "Cliente ") + d.clave);
  r.push_back("Fecha de Aplicacion " + d.aplicado + "   Fecha de Vencimiento " + d.vence +
              (d.vencimiento.empty() ? "" : "   " + d.vencimiento));
  r.push_back("");
  r.push_back(columna("Referencia", 12, false) + columna("Fecha", 11, false) + columna("Concepto", 20, false) +
              columna("Cargo", 15, true) + columna("Abono", 15, true) + columna("Saldo", 15, true));
  // The running balance, movement by movement, as the document's balance adds up.
  double saldo = 0;
  for (const Asiento& a : d.asientos) {
    const bool abono = a.operacion == "A";
    saldo += abono ? -a.importe : a.importe;
    r.push_back(columna(a.referencia.empty() ? a.documento : a.referencia, 12, false) + columna(a.aplicado, 11, false) +
                columna(a.concepto.empty() ? a.tipo : a.concepto, 20, false) +
                columna(abono ? "" : dinero(a.importe), 15, true) + columna(abono ? dinero(a.importe) : "", 15, true) +
                columna(dinero(saldo), 15, true));
  }
  r.push_back("");
  r.push_back(columna("", 43, false) + columna("Saldo " + d.estado, 30, true) + columna(dinero(d.saldo), 15, true));
  return r;
}

}  // namespace mostrador::accounts
