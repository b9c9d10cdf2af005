#include "store/sql/vtabla.h"

#include <sqlite3.h>

#include <algorithm>
#include <charconv>
#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <unordered_map>

#include "base/rutas.h"
#include "base/texto_util.h"
#include "store/dbf/dbf_file.h"
#include "store/dbf/key_expression.h"
#include "store/dbf/lector_secuencial.h"
#include "store/dbf/mdx_index.h"
#include "store/sql/dialecto.h"

namespace mostrador::sql {

namespace {

struct Vtab : sqlite3_vtab {
  TablasVirtuales* dueno = nullptr;
  std::string nombre;
  std::string dir, archivo;
  std::vector<dbf::FieldDef> campos;
  std::vector<dbf::TagDef> etiquetas;
  // Per field: the tag whose leading field it is (ascending field-list tags), or -1.
  std::vector<int> etiquetaDeCampo;
  // Per tag: its leading field when that field can drive a lookup, or -1.
  std::vector<int> campoDeEtiqueta;
  double filas = 1;  // records when the statement began, for the planner
  // Per tag: records per key of its leading field, measured on first need (< 0: not yet).
  std::vector<double> porClave;
};

// Records per key of a tag's leading field, from the tag itself: the keys of a few
// records spread over the table are looked up and their entries counted (at most
// kTope each). Blank keys are left out: they are NULL in SQL and never match. What the
// planner needs to tell a tag of a few records per key (a product in the catalogue)
// from one of thousands (a product in the movements), and to choose the inner table
// and its tag of a join. Falls back to a handful per key when the table cannot be read.
double medirPorClave(const Vtab& v, size_t etiqueta) {
  constexpr int kMuestras = 5;
  constexpr long kTope = 256;  // enough to tell a few from thousands
  const int campo = v.campoDeEtiqueta[etiqueta];
  try {
    dbf::Table t;
    t.open(v.dir, v.archivo);
    t.setIndex(v.etiquetas[etiqueta].name);
    const long n = t.recordCount();
    double suma = 0;
    int cuantas = 0;
    for (int k = 1; k <= kMuestras && n > 0; ++k) {
      const uint32_t r = static_cast<uint32_t>(std::max<long>(1, n * k / (kMuestras + 1)));
      if (!t.goTo(r) || t.isNull(campo)) continue;
      dbf::KeyValue valor;
      switch (v.campos[static_cast<size_t>(campo)].type) {
        case 'N':
        case 'F':
          valor = t.asFloat(campo);
          break;
        case 'D':
          valor = *t.asDate(campo);
          break;
        default:
          valor = t.asText(campo);
      }
      t.setRange({valor}, {valor});
      long visto = 0;
      for (t.first(); !t.eof() && visto < kTope; t.next()) ++visto;
      t.cancelRange();
      suma += static_cast<double>(std::max<long>(1, visto));
      ++cuantas;
    }
    if (cuantas > 0) return suma / cuantas;
  } catch (const std::exception&) {
  }
  return std::clamp(v.filas / 10, 1.0, 10.0);
}

// The keys of one tag computed from the records of a statement's snapshot, in the tag's
// order ((key, record number), as the index keeps them).
struct ClavesEnMemoria {
  size_t largo = 0;      // bytes of every key
  std::string claves;    // the keys one after another
  std::vector<uint32_t> recnos;

  // Each distinct key's first position, for lookups of a whole key (a join's equality).
  std::unordered_map<std::string_view, uint32_t> primero;

  size_t size() const { return recnos.size(); }
  std::string_view clave(size_t i) const { return std::string_view(claves).substr(i * largo, largo); }
  // First entry whose key is not below the prefix (MdxFile::seek).
  size_t desde(std::string_view prefijo) const {
    size_t a = 0, b = size();
    while (a < b) {
      size_t m = (a + b) / 2;
      std::string_view k = clave(m);
      int c = std::memcmp(k.data(), prefijo.data(), std::min(largo, prefijo.size()));
      if (c < 0 || (c == 0 && prefijo.size() > largo))
        a = m + 1;
      else
        b = m;
    }
    return a;
  }
};

// A cursor reads the table through one sequential reader, opened with the cursor: the
// statement sees the table as it was when it started (lector_secuencial.h). A full scan
// streams the reader's blocks; a lookup through a tag walks the production index and
// takes each record from the same reader, so both paths see the same records.
//
// A join looks up one key per outer row. Each walk of the index costs its read lock and
// header check (three system calls); once a cursor has looked up a tag often enough to
// pay for reading the whole table, and the table is small enough to be kept by the
// reader, the tag's keys are computed from the snapshot's records, sorted, and later
// lookups search them in memory. They return the records whose keys match in the
// snapshot itself, which is what the index returns for those records.
//
// Every entry a lookup takes is checked as the table handle checks its own
// (dbf::problemaDeEntrada) against the snapshot's record. One that looks damaged is
// judged again by a table handle against the records as they stand now (the snapshot
// may only be older than the index): a damaged index is rebuilt there, logged, and the
// lookup goes on after the last entry it gave, in the rebuilt index; one that cannot be
// rebuilt fails the statement with the handle's message. A lookup never returns fewer
// rows without saying so.
struct VCursor : sqlite3_vtab_cursor {
  const Vtab* vtab = nullptr;
  std::unique_ptr<dbf::LectorSecuencial> lector;
  std::vector<int> offsets;  // of each field in a record

  // The production index, opened at the first lookup; null when the table has none or it
  // cannot be read now (lookups then scan: SQLite checks the constraints again).
  std::unique_ptr<dbf::MdxFile> mdx;
  bool mdxProbado = false;
  std::vector<int> tagMdx;  // the vtab's tag k -> its number in mdx (-1: gone)

  enum class Modo { Recorrido, Indice, Memoria } modo = Modo::Recorrido;
  bool fin = true;
  uint32_t recno = 0;
  const char* rec = nullptr;

  // Lookup state: entries of `tag` from `desde` (the first entry when empty) while their
  // key, cut to the length of the upper end, is not above it: `hasta`, `desde` itself
  // for an equality, or no end. Record numbers come in batches, each read inside one
  // read session of the index, so a long range never holds the index's lock for long.
  enum class Tope { Ninguno, Desde, Hasta };
  int tag = -1;
  std::string desde, hasta;
  Tope tope = Tope::Ninguno;
  bool pasado(std::string_view clave) const {
    if (tope == Tope::Ninguno) return false;
    const std::string& fin = tope == Tope::Desde ? desde : hasta;
    return clave.substr(0, fin.size()).compare(fin) > 0;
  }
  std::string clave;  // the key of the last equality, built in place
  std::vector<dbf::MdxFile::Entry> lote;
  size_t enLote = 0;
  bool agotado = true;
  std::optional<dbf::MdxFile::Entry> ultimo;  // last entry of the previous batch
  std::optional<dbf::MdxFile::Entry> dado;    // last entry given to SQLite
  // The handle that judges entries that look damaged, opened at the first of them.
  std::unique_ptr<dbf::Table> juez;
  int reconstrucciones = 0;
  static constexpr int kMaxReconstrucciones = 3;
  static constexpr size_t kLote = 256;

  // Per tag of mdx: lookups made, and the keys once computed (or a refusal).
  std::vector<uint32_t> busquedas;
  std::vector<std::unique_ptr<ClavesEnMemoria>> enMemoria;
  std::vector<bool> sinMemoria;
  const ClavesEnMemoria* mem = nullptr;
  size_t pos = 0;
  static constexpr uint64_t kMaxClaves = 32 * 1024 * 1024;  // bytes of keys kept

  void coloca(uint32_t r, const char* p) {
    recno = r;
    rec = p;
    fin = false;
  }
  void termina() {
    recno = 0;
    rec = nullptr;
    fin = true;
  }

  void recorre() {
    modo = Modo::Recorrido;
    lector->reinicia();
    avanzaRecorrido();
  }
  void avanzaRecorrido() {
    if (lector->siguiente())
      coloca(lector->recno(), lector->registro());
    else
      termina();
  }

  // The index, opened once per cursor. The .mdx is found as the table handle finds it.
  const dbf::MdxFile* indice(const Vtab& v) {
    if (mdxProbado) return mdx.get();
    mdxProbado = true;
    const auto& h = lector->encabezado();
    const std::filesystem::path dbf(lector->ruta());
    const std::string nombre = dbf.filename().string();
    const std::filesystem::path ruta =
        base::resuelve((dbf.parent_path() / (nombre.substr(0, nombre.find('.')) + ".mdx")).string());
    std::error_code ec;
    if (!std::filesystem::exists(ruta, ec)) return nullptr;
    dbf::RecordLayout layout;
    layout.fields = h.fields;
    layout.offsets = h.offsets;
    layout.recordLength = h.recordLength;
    try {
      auto m = std::make_unique<dbf::MdxFile>();
      m->open(ruta, layout);
      mdx = std::move(m);
    } catch (const dbf::Error&) {
      return nullptr;  // damaged or torn since the statement began: scan instead
    }
    for (const auto& t : v.etiquetas) tagMdx.push_back(mdx->tagNumber(t.name));
    return mdx.get();
  }

  void busca(int t, std::string lo, std::string hi, Tope fin) {
    // The same lookup as the outer row before (a join's lines grouped by their key):
    // its entries are taken again from the batch already read when it held them all.
    const bool repetida = t == tag && fin == tope && lo == desde && hi == hasta;
    if (repetida && modo == Modo::Indice && agotado && !ultimo) {
      enLote = 0;
      dado.reset();
      return avanzaIndice();
    }
    tag = t;
    desde = std::move(lo);
    hasta = std::move(hi);
    tope = fin;
    if (const ClavesEnMemoria* m = claves(t)) {
      modo = Modo::Memoria;
      mem = m;
      if (desde.empty()) {
        pos = 0;
      } else if (tope == Tope::Desde && desde.size() == m->largo) {
        auto it = m->primero.find(desde);
        pos = it == m->primero.end() ? m->size() : it->second;
      } else {
        pos = m->desde(desde);
      }
      return avanzaMemoria();
    }
    modo = Modo::Indice;
    lote.clear();
    enLote = 0;
    agotado = false;
    ultimo.reset();
    dado.reset();
    avanzaIndice();
  }
  void llenaLote() {
    lote.clear();
    enLote = 0;
    mdx->beginRead();
    try {
      auto e = ultimo ? mdx->next(tag, *ultimo) : desde.empty() ? mdx->first(tag) : mdx->seek(tag, desde);
      for (; e; e = mdx->next(tag, *e)) {
        if (pasado(e->key)) break;
        lote.push_back(*e);
        if (lote.size() == kLote) {
          ultimo = std::move(e);
          break;
        }
      }
      if (lote.size() < kLote) agotado = true;
    } catch (...) {
      mdx->endRead();
      throw;
    }
    mdx->endRead();
  }
  // The keys of tag t in memory when lookups on it have become frequent enough.
  const ClavesEnMemoria* claves(int t) {
    const size_t k = static_cast<size_t>(t);
    if (busquedas.size() <= k) {
      busquedas.resize(k + 1, 0);
      enMemoria.resize(k + 1);
      sinMemoria.resize(k + 1, false);
    }
    if (enMemoria[k]) return enMemoria[k].get();
    if (sinMemoria[k]) return nullptr;
    const uint32_t n = lector->registros();
    // Computing the keys reads every record: worth it after about n / 32 lookups.
    if (++busquedas[k] < std::max<uint32_t>(16, n / 32)) return nullptr;
    const dbf::KeyExpression& e = mdx->expression(t);
    const size_t largo = static_cast<size_t>(e.length());
    const uint64_t bytes = uint64_t{n} * static_cast<uint64_t>(lector->encabezado().recordLength);
    if (bytes > dbf::LectorSecuencial::kRetenido || uint64_t{n} * (largo + 4) > kMaxClaves) {
      sinMemoria[k] = true;
      return nullptr;
    }
    std::string todas;
    std::vector<uint32_t> rs;
    try {
      for (uint32_t r = 1; r <= n; ++r) {
        const char* p = lector->lee(r);
        if (!p) break;
        if (*p == dbf::file::kDeleted) continue;
        std::string clave = e.evaluate(p);
        if (clave.size() != largo) throw dbf::Error("clave de ancho variable");
        todas += clave;
        rs.push_back(r);
      }
    } catch (const dbf::Error&) {
      // A key this cannot compute as the index keeps it: the index answers instead.
      sinMemoria[k] = true;
      return nullptr;
    }
    std::vector<uint32_t> orden(rs.size());
    for (uint32_t i = 0; i < orden.size(); ++i) orden[i] = i;
    std::sort(orden.begin(), orden.end(), [&](uint32_t a, uint32_t b) {
      int c = std::memcmp(todas.data() + a * largo, todas.data() + b * largo, largo);
      return c != 0 ? c < 0 : rs[a] < rs[b];
    });
    auto m = std::make_unique<ClavesEnMemoria>();
    m->largo = largo;
    m->claves.reserve(todas.size());
    m->recnos.reserve(rs.size());
    for (uint32_t i : orden) {
      m->claves.append(todas, i * largo, largo);
      m->recnos.push_back(rs[i]);
    }
    m->primero.reserve(m->size());
    for (uint32_t i = 0; i < m->size(); ++i) m->primero.emplace(m->clave(i), i);  // keeps the first
    enMemoria[k] = std::move(m);
    return enMemoria[k].get();
  }
  void avanzaMemoria() {
    while (pos < mem->size()) {
      if (pasado(mem->clave(pos))) break;
      const uint32_t r = mem->recnos[pos++];
      if (const char* p = lector->lee(r)) return coloca(r, p);
    }
    termina();
  }

  // The next entry whose record is live and within the statement's snapshot.
  void avanzaIndice() {
    for (;;) {
      while (enLote < lote.size()) {
        const dbf::MdxFile::Entry& e = lote[enLote++];
        const char* p = e.recno == 0 ? nullptr : lector->lee(e.recno);
        if (!dbf::problemaDeEntrada(mdx->expression(tag), e, p).empty() && !sana(e)) {
          // Rebuilt: on from the last entry given, in the new index.
          lote.clear();
          enLote = 0;
          agotado = false;
          ultimo = dado;
          break;
        }
        if (p && *p != dbf::file::kDeleted) {
          dado = e;
          return coloca(e.recno, p);
        }
      }
      if (agotado) return termina();
      llenaLote();
    }
  }
  // An entry that looks damaged in the snapshot, judged on the table as it stands: true
  // when sound (a record appended or changed since the statement began), false when the
  // index was damaged and has been rebuilt.
  bool sana(const dbf::MdxFile::Entry& e) {
    if (!juez) {
      juez = std::make_unique<dbf::Table>();
      juez->open(vtab->dir, vtab->archivo);
    }
    const std::string& nombre = mdx->tags()[static_cast<size_t>(tag)].name;
    if (juez->checkIndexEntry(nombre, e.key, e.recno)) return true;
    if (++reconstrucciones > kMaxReconstrucciones)
      throw dbf::Error("El índice " + nombre + " de la tabla " + vtab->archivo +
                       " sigue dañado después de reconstruirlo; reconstruya los índices");
    return false;
  }
};

// Plan flags in idxNum: (tag + 1) << 4 | flags.
constexpr int kIgual = 1, kDesde = 2, kHasta = 4;

int falla(sqlite3_vtab* vt, const std::exception& e) {
  sqlite3_free(vt->zErrMsg);
  vt->zErrMsg = sqlite3_mprintf("%s", e.what());
  return SQLITE_ERROR;
}

std::string sinComillas(std::string_view arg) {
  if (arg.size() >= 2 && (arg.front() == '\'' || arg.front() == '"') && arg.back() == arg.front()) {
    std::string r;
    for (size_t i = 1; i + 1 < arg.size(); ++i) {
      r += arg[i];
      if (arg[i] == arg.front()) ++i;
    }
    return r;
  }
  return std::string(arg);
}

std::string declaracion(const std::vector<dbf::FieldDef>& campos) {
  std::string s = "CREATE TABLE x(";
  for (size_t i = 0; i < campos.size(); ++i) {
    if (i) s += ", ";
    s += "\"" + campos[i].name + "\" " + tipoSqlite(campos[i]);
  }
  return s + ")";
}

int conecta(sqlite3* db, void* aux, int argc, const char* const* argv, sqlite3_vtab** out,
            char** err) {
  if (argc < 4) {
    *err = sqlite3_mprintf("mostrador_dbf: falta la ruta de la tabla");
    return SQLITE_ERROR;
  }
  auto vt = std::make_unique<Vtab>();
  std::memset(static_cast<sqlite3_vtab*>(vt.get()), 0, sizeof(sqlite3_vtab));
  vt->dueno = static_cast<TablasVirtuales*>(aux);
  vt->nombre = argv[2];
  std::filesystem::path ruta(sinComillas(argv[3]));
  vt->dir = ruta.parent_path().string();
  vt->archivo = ruta.filename().string();
  try {
    dbf::Table t;
    t.open(vt->dir, vt->archivo);
    vt->campos = t.fieldDefs();
    vt->etiquetas = t.tags();
    vt->filas = std::max<double>(1, static_cast<double>(t.recordCount()));
  } catch (const std::exception& e) {
    *err = sqlite3_mprintf("%s", e.what());
    return SQLITE_ERROR;
  }
  vt->etiquetaDeCampo.assign(vt->campos.size(), -1);
  vt->campoDeEtiqueta.assign(vt->etiquetas.size(), -1);
  for (size_t k = 0; k < vt->etiquetas.size(); ++k) {
    const auto& tag = vt->etiquetas[k];
    if (tag.descending || tag.key.empty() || tag.key[0] == '*') continue;
    std::string primero = base::mayusculasAscii(tag.key.substr(0, tag.key.find(';')));
    for (size_t c = 0; c < vt->campos.size(); ++c)
      // A date-time's text leaves out its milliseconds, so a lookup by that text could
      // miss records the comparison takes: those fields are always scanned.
      if (base::mayusculasAscii(vt->campos[c].name) == primero && vt->etiquetaDeCampo[c] < 0 &&
          vt->campos[c].type != 'L' && vt->campos[c].type != '@') {
        vt->etiquetaDeCampo[c] = static_cast<int>(k);
        vt->campoDeEtiqueta[k] = static_cast<int>(c);
      }
  }
  int rc = sqlite3_declare_vtab(db, declaracion(vt->campos).c_str());
  if (rc != SQLITE_OK) {
    *err = sqlite3_mprintf("%s", sqlite3_errmsg(db));
    return rc;
  }
  if (vt->dueno) vt->dueno->anota(vt->nombre, vt->campos);
  *out = vt.release();
  return SQLITE_OK;
}

int desconecta(sqlite3_vtab* vt) {
  auto* v = static_cast<Vtab*>(vt);
  sqlite3_free(v->zErrMsg);
  delete v;
  return SQLITE_OK;
}

int destruye(sqlite3_vtab* vt) {
  auto* v = static_cast<Vtab*>(vt);
  if (v->dueno) v->dueno->olvida(v->nombre);
  return desconecta(vt);
}

int mejorIndice(sqlite3_vtab* vt, sqlite3_index_info* info) {
  auto* v = static_cast<Vtab*>(vt);
  const double n = v->filas;
  const double log2n = std::log2(n + 1);

  struct Opcion {
    int col = -1, igual = -1, desde = -1, hasta = -1;
  };
  Opcion mejor;
  double costoMejor = n + 10;
  double filasMejor = n;
  bool unica = false;
  for (size_t c = 0; c < v->campos.size(); ++c) {
    if (v->etiquetaDeCampo[c] < 0) continue;
    Opcion o;
    o.col = static_cast<int>(c);
    for (int i = 0; i < info->nConstraint; ++i) {
      const auto& k = info->aConstraint[i];
      if (!k.usable || k.iColumn != o.col) continue;
      switch (k.op) {
        case SQLITE_INDEX_CONSTRAINT_EQ:
          if (o.igual < 0) o.igual = i;
          break;
        case SQLITE_INDEX_CONSTRAINT_GT:
        case SQLITE_INDEX_CONSTRAINT_GE:
          if (o.desde < 0) o.desde = i;
          break;
        case SQLITE_INDEX_CONSTRAINT_LT:
        case SQLITE_INDEX_CONSTRAINT_LE:
          // An open lower end needs a least key; text has none that is safe.
          if (o.hasta < 0) o.hasta = i;
          break;
        default:
          break;
      }
    }
    const auto& tag = v->etiquetas[v->etiquetaDeCampo[c]];
    bool unicaAqui = tag.unique && tag.key.find(';') == std::string::npos;
    double filas, costo;
    if (o.igual >= 0) {
      o.desde = o.hasta = -1;
      // A lookup beats a scan even on the smallest tables, so joins always go through a
      // tag; between two tags, or two tables of a join, the records per key decide.
      const size_t k = static_cast<size_t>(v->etiquetaDeCampo[c]);
      if (v->porClave.size() <= k) v->porClave.resize(v->etiquetas.size(), -1);
      if (!unicaAqui && v->porClave[k] < 0) v->porClave[k] = medirPorClave(*v, k);
      filas = unicaAqui ? 1 : std::min(v->porClave[k], n / 2 + 1);
    } else if (o.desde >= 0 && o.hasta >= 0) {
      filas = n / 8 + 1;
    } else if (o.desde >= 0) {
      filas = n / 3 + 1;
    } else if (o.hasta >= 0 && v->campos[c].type != 'C') {
      filas = n / 3 + 1;
    } else {
      continue;
    }
    // Walking a tag costs more per row than reading records in order.
    costo = 2 + log2n + filas * 1.5;
    if (costo < costoMejor) {
      costoMejor = costo;
      filasMejor = filas;
      mejor = o;
      unica = unicaAqui && o.igual >= 0;
    }
  }
  info->estimatedCost = costoMejor;
  info->estimatedRows = static_cast<sqlite3_int64>(filasMejor);
  if (mejor.col < 0) {
    info->idxNum = 0;
    return SQLITE_OK;
  }
  int flags = 0, arg = 1;
  if (mejor.igual >= 0) {
    flags |= kIgual;
    info->aConstraintUsage[mejor.igual].argvIndex = arg++;
  }
  if (mejor.desde >= 0) {
    flags |= kDesde;
    info->aConstraintUsage[mejor.desde].argvIndex = arg++;
  }
  if (mejor.hasta >= 0) {
    flags |= kHasta;
    info->aConstraintUsage[mejor.hasta].argvIndex = arg++;
  }
  info->idxNum = (v->etiquetaDeCampo[mejor.col] + 1) << 4 | flags;
  if (unica) info->idxFlags |= SQLITE_INDEX_SCAN_UNIQUE;
  return SQLITE_OK;
}

int abre(sqlite3_vtab* vt, sqlite3_vtab_cursor** out) {
  auto* v = static_cast<Vtab*>(vt);
  auto c = std::make_unique<VCursor>();
  std::memset(static_cast<sqlite3_vtab_cursor*>(c.get()), 0, sizeof(sqlite3_vtab_cursor));
  c->vtab = v;
  try {
    c->lector = std::make_unique<dbf::LectorSecuencial>(v->dir, v->archivo);
    if (c->lector->campos() != v->campos)
      throw dbf::Error("La tabla " + c->lector->nombre() + " cambió de estructura durante la consulta");
    c->offsets = c->lector->encabezado().offsets;
  } catch (const std::exception& e) {
    return falla(vt, e);
  }
  *out = c.release();
  return SQLITE_OK;
}

int cierra(sqlite3_vtab_cursor* cur) {
  delete static_cast<VCursor*>(cur);
  return SQLITE_OK;
}

bool aNumero(const char* s, double& d) {
  while (*s == ' ') ++s;
  if (!*s) return false;
  char* fin;
  d = std::strtod(s, &fin);
  while (*fin == ' ') ++fin;
  return *fin == 0 && std::isfinite(d);
}

// The key value of a constraint's value for a field; false when the index cannot be
// trusted to return every matching row for it.
bool aClave(sqlite3_value* val, const dbf::FieldDef& campo, bool esIgualdad, dbf::KeyValue& k) {
  int tipo = sqlite3_value_type(val);
  switch (campo.type) {
    case 'C': {
      if (tipo == SQLITE_INTEGER) {
        k = std::to_string(sqlite3_value_int64(val));
        return true;
      }
      if (tipo == SQLITE_FLOAT) {
        k = sqlite3_value_double(val);
        return true;
      }
      if (tipo != SQLITE_TEXT) return false;
      std::string s(reinterpret_cast<const char*>(sqlite3_value_text(val)));
      if (!esIgualdad)
        for (unsigned char ch : s)
          if (ch < 0x20 || ch > 0x7E) return false;
      k = std::move(s);
      return true;
    }
    case 'N':
    case 'F': {
      if (tipo == SQLITE_INTEGER || tipo == SQLITE_FLOAT) {
        k = sqlite3_value_double(val);
        return true;
      }
      double d;
      if (tipo == SQLITE_TEXT && aNumero(reinterpret_cast<const char*>(sqlite3_value_text(val)), d)) {
        k = d;
        return true;
      }
      return false;
    }
    case 'D': {
      if (tipo != SQLITE_TEXT) return false;
      std::string s(reinterpret_cast<const char*>(sqlite3_value_text(val)));
      if (s.size() != 10 || s[4] != '-' || s[7] != '-') return false;
      auto f = fechaDeLiteral(s);
      if (!f) return false;
      k = *f;
      return true;
    }
    default:
      return false;
  }
}

// The key prefix of a text value for a text field without the general encoder: plain
// ASCII is the same in Windows-1252, blank-padded to the field's width. False for
// anything else (the encoder decides those). A join calls this once per outer row.
bool claveDeTexto(const dbf::FieldDef& campo, const dbf::KeyValue& valor, std::string& clave) {
  const std::string* s = std::get_if<std::string>(&valor);
  if (campo.type != 'C' || !s || s->size() > static_cast<size_t>(campo.length)) return false;
  for (unsigned char ch : *s)
    if (ch < 0x20 || ch > 0x7E) return false;
  clave.assign(*s);
  clave.resize(static_cast<size_t>(campo.length), ' ');
  return true;
}

int filtra(sqlite3_vtab_cursor* cur, int idxNum, const char*, int argc, sqlite3_value** argv) {
  auto* c = static_cast<VCursor*>(cur);
  auto* v = static_cast<Vtab*>(cur->pVtab);
  try {
    int etiqueta = (idxNum >> 4) - 1;
    int flags = idxNum & 0xF;
    if (etiqueta >= 0) {
      for (int i = 0; i < argc; ++i)
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL) {
          c->termina();  // a comparison with NULL matches nothing
          return SQLITE_OK;
        }
      const int ncampo = v->campoDeEtiqueta[static_cast<size_t>(etiqueta)];
      const dbf::MdxFile* mdx = ncampo >= 0 ? c->indice(*v) : nullptr;
      const int tag = mdx ? c->tagMdx[static_cast<size_t>(etiqueta)] : -1;
      dbf::KeyValue claves[2];
      bool confiable = tag >= 0 && argc <= 2;
      for (int i = 0; i < argc && confiable; ++i)
        confiable = aClave(argv[i], v->campos[static_cast<size_t>(ncampo)], flags & kIgual, claves[i]);
      if (confiable) {
        // The same entries the table handle's setRange / findNearest would visit.
        const dbf::KeyExpression& e = mdx->expression(tag);
        if ((flags & kIgual) && claveDeTexto(v->campos[static_cast<size_t>(ncampo)], claves[0], c->clave)) {
          c->busca(tag, c->clave, std::string(), VCursor::Tope::Desde);
        } else if (flags & kIgual) {
          c->busca(tag, e.encodePrefix({std::move(claves[0])}), std::string(), VCursor::Tope::Desde);
        } else if ((flags & kDesde) && (flags & kHasta)) {
          const dbf::FieldDef& f = v->campos[static_cast<size_t>(ncampo)];
          std::string lo, hi;
          if (!claveDeTexto(f, claves[0], lo) || !claveDeTexto(f, claves[1], hi)) {
            lo = e.encodePrefix({std::move(claves[0])});
            hi = e.encodePrefix({std::move(claves[1])});
          }
          if (lo > hi) std::swap(lo, hi);
          c->busca(tag, std::move(lo), std::move(hi), VCursor::Tope::Hasta);
        } else if (flags & kDesde) {
          c->busca(tag, e.encodePartial({std::move(claves[0])}), std::string(), VCursor::Tope::Ninguno);
        } else {
          // From the first entry: blank fields sort first and read as NULL, which SQLite
          // drops.
          c->busca(tag, std::string(), e.encodePrefix({std::move(claves[0])}), VCursor::Tope::Hasta);
        }
        return SQLITE_OK;
      }
    }
    c->recorre();
    return SQLITE_OK;
  } catch (const std::exception& e) {
    return falla(cur->pVtab, e);
  }
}

int siguiente(sqlite3_vtab_cursor* cur) {
  auto* c = static_cast<VCursor*>(cur);
  try {
    if (c->fin) return SQLITE_OK;
    switch (c->modo) {
      case VCursor::Modo::Indice:
        c->avanzaIndice();
        break;
      case VCursor::Modo::Memoria:
        c->avanzaMemoria();
        break;
      default:
        c->avanzaRecorrido();
    }
    return SQLITE_OK;
  } catch (const std::exception& e) {
    return falla(cur->pVtab, e);
  }
}

int alFinal(sqlite3_vtab_cursor* cur) { return static_cast<VCursor*>(cur)->fin; }

// Field bytes without the blanks (and NULs) around them.
std::string_view recortado(const char* p, int largo) {
  size_t a = 0, b = static_cast<size_t>(largo);
  while (a < b && (p[a] == ' ' || p[a] == '\0')) ++a;
  while (b > a && (p[b - 1] == ' ' || p[b - 1] == '\0')) --b;
  return std::string_view(p + a, b - a);
}

// Values go to SQLite straight from the record's bytes; the engine's conversions
// (file::value) only run where the bytes need them (text beyond ASCII, numbers that do
// not parse plainly, dates), so they decide every value and every error as for a table.
int columna(sqlite3_vtab_cursor* cur, sqlite3_context* ctx, int i) {
  auto* c = static_cast<VCursor*>(cur);
  auto* v = static_cast<Vtab*>(cur->pVtab);
  try {
    if (!c->rec) {
      sqlite3_result_null(ctx);
      return SQLITE_OK;
    }
    const dbf::FieldDef& f = v->campos[static_cast<size_t>(i)];
    const char* p = c->rec + c->offsets[static_cast<size_t>(i)];
    switch (f.type) {
      case 'C': {
        // Right blanks trimmed, so a blank field is the empty text, NULL.
        size_t n = static_cast<size_t>(f.length);
        while (n > 0 && (p[n - 1] == ' ' || p[n - 1] == '\0')) --n;
        if (n == 0) {
          sqlite3_result_null(ctx);
          return SQLITE_OK;
        }
        bool ascii = true, nul = false;
        for (size_t k = 0; k < n; ++k) {
          ascii &= static_cast<unsigned char>(p[k]) < 0x80;
          nul |= p[k] == '\0';
        }
        if (!ascii) {
          std::string s = dbf::file::value::text(f, p);
          sqlite3_result_text(ctx, s.c_str(), nul ? static_cast<int>(s.size()) : -1, SQLITE_TRANSIENT);
        } else if (nul || n >= 256) {
          sqlite3_result_text(ctx, p, static_cast<int>(n), SQLITE_TRANSIENT);
        } else {
          // Handed over NUL-terminated, SQLite keeps the terminator and reading the value
          // back as text (comparisons, the result rows) costs no second copy.
          char buf[256];
          std::memcpy(buf, p, n);
          buf[n] = '\0';
          sqlite3_result_text(ctx, buf, -1, SQLITE_TRANSIENT);
        }
        return SQLITE_OK;
      }
      case 'N':
      case 'F': {
        std::string_view s = recortado(p, f.length);
        if (s.empty()) {
          sqlite3_result_null(ctx);
          return SQLITE_OK;
        }
        const bool entero = f.type == 'N' && f.decimals == 0;
        if (entero) {
          long long n;
          auto [fin, ec] = std::from_chars(s.data(), s.data() + s.size(), n);
          if (ec == std::errc() && fin == s.data() + s.size() && std::llabs(n) < 9'000'000'000'000'000LL) {
            sqlite3_result_int64(ctx, n);
            return SQLITE_OK;
          }
        }
        double d;
        auto [fin, ec] = std::from_chars(s.data(), s.data() + s.size(), d);
        if (ec != std::errc() || fin != s.data() + s.size() || !std::isfinite(d))
          d = dbf::file::value::number(f, p, c->lector->nombre());  // "+5", or the error
        if (entero && d == std::floor(d) && std::fabs(d) < 9e15)
          sqlite3_result_int64(ctx, static_cast<sqlite3_int64>(d));
        else
          sqlite3_result_double(ctx, d);
        return SQLITE_OK;
      }
      case 'D': {
        auto fecha = dbf::file::value::date(f, p, c->lector->nombre());
        if (!fecha) {
          sqlite3_result_null(ctx);
        } else {
          std::string iso = fechaIso(*fecha);
          sqlite3_result_text(ctx, iso.c_str(), -1, SQLITE_TRANSIENT);
        }
        return SQLITE_OK;
      }
      case 'L':
        if (dbf::file::value::isBlank(f, p))
          sqlite3_result_null(ctx);
        else
          sqlite3_result_int(ctx, dbf::file::value::logical(f, p) ? 1 : 0);
        return SQLITE_OK;
      case '@': {
        auto fh = dbf::file::value::dateTime(f, p, c->lector->nombre());
        if (!fh) {
          sqlite3_result_null(ctx);
        } else {
          std::string iso = fechaHoraIso(*fh);
          sqlite3_result_text(ctx, iso.c_str(), -1, SQLITE_TRANSIENT);
        }
        return SQLITE_OK;
      }
      default:  // memo and kinds the engine does not read: empty
        sqlite3_result_null(ctx);
        return SQLITE_OK;
    }
  } catch (const std::exception& e) {
    return falla(cur->pVtab, e);
  }
}

int idFila(sqlite3_vtab_cursor* cur, sqlite3_int64* rowid) {
  *rowid = static_cast<VCursor*>(cur)->recno;
  return SQLITE_OK;
}

sqlite3_module crearModulo() {
  sqlite3_module m;
  std::memset(&m, 0, sizeof m);
  m.iVersion = 1;
  m.xCreate = conecta;
  m.xConnect = conecta;
  m.xBestIndex = mejorIndice;
  m.xDisconnect = desconecta;
  m.xDestroy = destruye;
  m.xOpen = abre;
  m.xClose = cierra;
  m.xFilter = filtra;
  m.xNext = siguiente;
  m.xEof = alFinal;
  m.xColumn = columna;
  m.xRowid = idFila;
  return m;
}

const sqlite3_module kModulo = crearModulo();

}  // namespace

const char* tipoSqlite(const dbf::FieldDef& campo) {
  switch (campo.type) {
    case 'N':
      return campo.decimals > 0 ? "REAL" : "INTEGER";
    case 'F':
      return "REAL";
    case 'L':
      return "INTEGER";
    default:
      return "TEXT";
  }
}

TablasVirtuales::TablasVirtuales(sqlite3* db) : db_(db) {
  if (sqlite3_create_module(db_, "mostrador_dbf", &kModulo, this) != SQLITE_OK)
    throw Error(sqlite3_errmsg(db_));
}

TablasVirtuales::~TablasVirtuales() = default;

const std::vector<dbf::FieldDef>& TablasVirtuales::crea(const std::string& nombre,
                                                        const std::string& rutaLocal) {
  std::string arg;
  for (char ch : rutaLocal) {
    if (ch == '\'') arg += '\'';
    arg += ch;
  }
  std::string sql = "CREATE VIRTUAL TABLE temp.\"" + nombre + "\" USING mostrador_dbf('" + arg + "')";
  char* err = nullptr;
  if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
    std::string texto = err ? err : sqlite3_errmsg(db_);
    sqlite3_free(err);
    throw Error(texto);
  }
  return campos_.at(nombre);
}

void TablasVirtuales::borra(const std::string& nombre) {
  std::string sql = "DROP TABLE IF EXISTS temp.\"" + nombre + "\"";
  sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr);
  campos_.erase(nombre);
}

const std::vector<dbf::FieldDef>* TablasVirtuales::campos(const std::string& nombre) const {
  auto it = campos_.find(nombre);
  return it == campos_.end() ? nullptr : &it->second;
}

void TablasVirtuales::anota(const std::string& nombre, const std::vector<dbf::FieldDef>& campos) {
  campos_[nombre] = campos;
}

void TablasVirtuales::olvida(const std::string& nombre) { campos_.erase(nombre); }

}  // namespace mostrador::sql
