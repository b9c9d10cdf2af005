#include "store/sql/vtabla.h"

#include <sqlite3.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>

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
  double filas = 1;  // records when the statement began, for the planner
};

struct VCursor : sqlite3_vtab_cursor {
  dbf::Table tabla;
  bool vacio = false;  // the constraint can match nothing (a NULL value)
  int etiqueta = -1;   // the tag selected on the handle (-1: record order)

  // Selecting a tag repositions the handle, so a join that looks up one key per outer
  // row selects it once, not per lookup.
  void usa(const Vtab& v, int tag) {
    if (tag == etiqueta) return;
    tabla.setIndex(tag < 0 ? std::string() : v.etiquetas[tag].name);
    etiqueta = tag;
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

std::string mayusculas(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
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
  for (size_t k = 0; k < vt->etiquetas.size(); ++k) {
    const auto& tag = vt->etiquetas[k];
    if (tag.descending || tag.key.empty() || tag.key[0] == '*') continue;
    std::string primero = mayusculas(tag.key.substr(0, tag.key.find(';')));
    for (size_t c = 0; c < vt->campos.size(); ++c)
      if (mayusculas(vt->campos[c].name) == primero && vt->etiquetaDeCampo[c] < 0 &&
          vt->campos[c].type != 'L')
        vt->etiquetaDeCampo[c] = static_cast<int>(k);
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
      // A handful of records per key, never more than a tenth of the table: a lookup beats
      // a scan even on the smallest tables, so joins always go through the tag.
      filas = unicaAqui ? 1 : std::clamp(n / 10, 1.0, 10.0);
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
  try {
    c->tabla.open(v->dir, v->archivo);
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
      k = s;
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

int filtra(sqlite3_vtab_cursor* cur, int idxNum, const char*, int argc, sqlite3_value** argv) {
  auto* c = static_cast<VCursor*>(cur);
  auto* v = static_cast<Vtab*>(cur->pVtab);
  try {
    c->vacio = false;
    int etiqueta = (idxNum >> 4) - 1;
    int flags = idxNum & 0xF;
    if (etiqueta >= 0) {
      for (int i = 0; i < argc; ++i)
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL) {
          c->vacio = true;  // a comparison with NULL matches nothing
          return SQLITE_OK;
        }
      const auto& tag = v->etiquetas[etiqueta];
      std::string primero = mayusculas(tag.key.substr(0, tag.key.find(';')));
      const dbf::FieldDef* campo = nullptr;
      for (const auto& f : v->campos)
        if (mayusculas(f.name) == primero) campo = &f;
      std::vector<dbf::KeyValue> claves(argc);
      bool confiable = campo != nullptr;
      for (int i = 0; i < argc && confiable; ++i)
        confiable = aClave(argv[i], *campo, flags & kIgual, claves[i]);
      if (confiable) {
        c->usa(*v, etiqueta);
        // setRange leaves the handle on the first record of the range, as a table's
        // SetRange always has; a lookup per outer row of a join saves a second seek.
        if (flags & kIgual) {
          c->tabla.setRange({claves[0]}, {claves[0]});
        } else if ((flags & kDesde) && (flags & kHasta)) {
          c->tabla.setRange({claves[0]}, {claves[1]});
        } else if (flags & kDesde) {
          c->tabla.cancelRange();
          c->tabla.findNearest({claves[0]});
        } else {
          dbf::KeyValue menor = campo->type == 'D' ? dbf::KeyValue(dbf::Fecha{1, 1, 1})
                                                   : dbf::KeyValue(-DBL_MAX);
          c->tabla.setRange({menor}, {claves[0]});
        }
        return SQLITE_OK;
      }
    }
    c->usa(*v, -1);
    c->tabla.cancelRange();
    c->tabla.first();
    return SQLITE_OK;
  } catch (const std::exception& e) {
    return falla(cur->pVtab, e);
  }
}

int siguiente(sqlite3_vtab_cursor* cur) {
  auto* c = static_cast<VCursor*>(cur);
  try {
    c->tabla.next();
    return SQLITE_OK;
  } catch (const std::exception& e) {
    return falla(cur->pVtab, e);
  }
}

int alFinal(sqlite3_vtab_cursor* cur) {
  auto* c = static_cast<VCursor*>(cur);
  return c->vacio || c->tabla.eof();
}

int columna(sqlite3_vtab_cursor* cur, sqlite3_context* ctx, int i) {
  auto* c = static_cast<VCursor*>(cur);
  auto* v = static_cast<Vtab*>(cur->pVtab);
  try {
    const dbf::FieldDef& f = v->campos[i];
    if (f.type == 'C' || f.type == 'M') {
      // Text reads right-trimmed, so a blank field is the empty text: one read, not two.
      std::string s = c->tabla.asText(i);
      if (s.empty())
        sqlite3_result_null(ctx);
      else
        sqlite3_result_text(ctx, s.c_str(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
      return SQLITE_OK;
    }
    if (c->tabla.isNull(i)) {
      sqlite3_result_null(ctx);
      return SQLITE_OK;
    }
    switch (f.type) {
      case 'N':
      case 'F': {
        double d = c->tabla.asFloat(i);
        if (f.type == 'N' && f.decimals == 0 && d == std::floor(d) && std::fabs(d) < 9e15)
          sqlite3_result_int64(ctx, static_cast<sqlite3_int64>(d));
        else
          sqlite3_result_double(ctx, d);
        break;
      }
      case 'D': {
        auto fecha = c->tabla.asDate(i);
        if (!fecha) {
          sqlite3_result_null(ctx);
        } else {
          std::string iso = fechaIso(*fecha);
          sqlite3_result_text(ctx, iso.c_str(), static_cast<int>(iso.size()), SQLITE_TRANSIENT);
        }
        break;
      }
      default:  // L
        sqlite3_result_int(ctx, c->tabla.asBool(i) ? 1 : 0);
        break;
    }
    return SQLITE_OK;
  } catch (const std::exception& e) {
    return falla(cur->pVtab, e);
  }
}

int idFila(sqlite3_vtab_cursor* cur, sqlite3_int64* rowid) {
  *rowid = static_cast<VCursor*>(cur)->tabla.recno();
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
