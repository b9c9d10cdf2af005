#include "inventory/kardex.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "base/numeros.h"
#include "base/rutas.h"
#include "inventory/posteo.h"
#include "store/dbf/dbf_table.h"

namespace mostrador::inventory {

namespace {

// The date of a row as a sortable value; an unreadable date sorts first.
base::Fecha fechaDe(const std::string& texto) { return base::leeFechaCorta(texto).value_or(base::Fecha{0, 0, 0}); }

bool dentro(const std::string& fecha, const OpcionesKardex& o) {
  if (!o.desde && !o.hasta) return true;
  const auto f = base::leeFechaCorta(fecha);
  if (!f) return false;
  return (!o.desde || *f >= *o.desde) && (!o.hasta || *f <= *o.hasta);
}

std::map<int, std::string> conceptos(const std::string& dir) {
  std::map<int, std::string> r;
  if (!base::existe(base::une(dir, "CoMovInv.dbf"))) return r;
  dbf::Table t;
  t.open(dir, "CoMovInv.dbf");
  const int n = t.requireField("NUCON_CM"), d = t.requireField("DECON_CM");
  for (t.first(); !t.eof(); t.next()) r[static_cast<int>(t.asInteger(n))] = t.asText(d);
  return r;
}

// Signed quantity, running stock and totals, in date and document order.
Kardex cierra(std::vector<FilaKardex> filas, const std::map<int, std::string>& c, const OpcionesKardex& o) {
  std::stable_sort(filas.begin(), filas.end(), [](const FilaKardex& a, const FilaKardex& b) {
    const base::Fecha fa = fechaDe(a.fecha), fb = fechaDe(b.fecha);
    if (fa != fb) return fa < fb;
    return a.documento < b.documento;
  });
  Kardex k;
  double s = 0;
  for (FilaKardex& f : filas) {
    s += f.cantidad;
    if (f.cantidad > 0) k.entradas += f.cantidad;
    else k.salidas -= f.cantidad;
    f.kardex = s;
    if (auto i = c.find(f.tipo); i != c.end()) f.concepto = i->second;
    if (dentro(f.fecha, o)) k.filas.push_back(std::move(f));
  }
  k.existencia = s;
  return k;
}

double conSigno(int tipo, double q) { return esSalida(tipo) ? -q : q; }

// The journal's rows of the product. paraDocumentos: the part of the document kardex
// (type 54 never counts there; with integrated movements only what no document posted).
void diario(const std::string& dir, const std::string& clave, bool paraDocumentos, bool integrados,
            std::vector<FilaKardex>& filas) {
  if (!base::existe(base::une(dir, kTablaMovimientos))) return;
  dbf::Table t;
  t.open(dir, kTablaMovimientos);
  t.setIndex("CLPRO_MI");
  t.setRange({clave}, {clave});
  const int fTipo = t.requireField("TIMOV_MI"), fCant = t.requireField("CANTI_MI"),
            fCosto = t.requireField("COSUN_MI"), fDoc = t.requireField("CLDOC_MI"),
            fFecha = t.requireField("FEDOC_MI"), fRef = t.requireField("REFMO_MI"),
            fExist = t.requireField("EXIST_MI"), fDesc = t.requireField("DESCR_MI"),
            fNudoc = t.requireField("NUDOC_MI"), fProv = t.requireField("CLPRV_MI");
  for (t.first(); !t.eof(); t.next()) {
    const int tipo = static_cast<int>(t.asInteger(fTipo));
    if (tipo <= 0) continue;
    if (paraDocumentos && (tipo == 54 || (integrados && !t.asText(fNudoc).empty()))) continue;
    FilaKardex f;
    f.clave = clave;
    f.descripcion = t.asText(fDesc);
    f.tipo = tipo;
    f.cantidad = conSigno(tipo, t.asFloat(fCant));
    f.documento = t.asInteger(fDoc);
    f.costo = t.asFloat(fCosto);
    f.fecha = t.asText(fFecha);
    f.referencia = t.asText(fRef);
    f.existencia = t.asFloat(fExist);
    f.origen = "Movimiento";
    f.cliprov = t.asText(fProv);
    filas.push_back(std::move(f));
  }
}

// Lines of a detail table for the product, cancelled ones left out.
void detalle(const std::string& dir, const char* tabla, const char* sufijo, int tipo, const std::string& clave,
             bool sinConvertidas, std::vector<FilaKardex>& filas) {
  if (!base::existe(base::une(dir, tabla))) return;
  dbf::Table t;
  t.open(dir, tabla);
  const std::string s(sufijo);
  const int fPro = t.requireField("CLPRO" + s), fCant = t.requireField("CANTI" + s),
            fDoc = t.requireField("CLDOC" + s), fFecha = t.requireField("FEDOC" + s),
            fTregi = t.requireField("TREGI" + s), fRef = t.fieldIndex("REFER" + s);
  const int fConv = sinConvertidas ? t.fieldIndex("TDOCU" + s) : -1;
  const int fCosto = t.fieldIndex(s == "_OD" ? "CUNIT_OD" : "COPRO_FD");
  const int fDesc = t.fieldIndex(s == "_OD" ? "DESCR_OD" : "DEPRO_FD");
  for (t.first(); !t.eof(); t.next()) {
    if (t.asText(fPro) != clave || t.asText(fTregi) == "C") continue;
    if (fConv >= 0 && !t.asText(fConv).empty()) continue;
    FilaKardex f;
    f.clave = clave;
    f.tipo = tipo;
    f.cantidad = conSigno(tipo, t.asFloat(fCant));
    const double numero = base::leeNumero(t.asText(fDoc)).value_or(0);
    f.documento = static_cast<long long>(numero);
    f.fecha = t.asText(fFecha);
    if (fRef >= 0) f.referencia = t.asText(fRef);
    if (fCosto >= 0) f.costo = t.asFloat(fCosto);
    if (fDesc >= 0) f.descripcion = t.asText(fDesc);
    f.origen = tabla;
    filas.push_back(std::move(f));
  }
}

std::vector<std::string> sucursales(const std::string& dir) {
  std::vector<std::string> r;
  if (!base::existe(base::une(dir, "RutasMI.dbf"))) return r;
  dbf::Table t;
  t.open(dir, "RutasMI.dbf");
  const int f = t.requireField("RUTA");
  for (t.first(); !t.eof(); t.next())
    if (std::string ruta = t.asText(f); !ruta.empty()) r.push_back(ruta);
  return r;
}

std::string movimientosDe(const std::string& dir, const OpcionesKardex& o) {
  return o.dirMovimientos.empty() ? dir : o.dirMovimientos;
}

std::vector<FilaKardex> filasDocumentos(const std::string& dir, const std::string& clave, const OpcionesKardex& o) {
  std::vector<FilaKardex> filas;
  detalle(dir, "ComprasD.dbf", "_OD", 51, clave, false, filas);
  // The company's own notes once, then each branch listed (its own directory, if it is
  // listed too, is not counted again).
  detalle(dir, "Remisiod.dbf", "_FD", 3, clave, false, filas);
  const std::string propio = base::resuelve(dir).string();
  for (const std::string& r : sucursales(dir))
    if (base::resuelve(r).string() != propio) detalle(r, "Remisiod.dbf", "_FD", 3, clave, false, filas);
  detalle(dir, "FacturaD.dbf", "_FD", 1, clave, true, filas);
  diario(movimientosDe(dir, o), clave, true, o.integrados, filas);
  return filas;
}

}  // namespace

Kardex kardexDiario(const std::string& dirDatos, const std::string& clave, const OpcionesKardex& o) {
  std::vector<FilaKardex> filas;
  diario(movimientosDe(dirDatos, o), clave, false, false, filas);
  return cierra(std::move(filas), conceptos(dirDatos), o);
}

Kardex kardexDocumentos(const std::string& dirDatos, const std::string& clave, const OpcionesKardex& o) {
  return cierra(filasDocumentos(dirDatos, clave, o), conceptos(dirDatos), o);
}

double recuentoExistencia(const std::string& dirDatos, const std::string& clave, const OpcionesKardex& o) {
  double s = 0;
  for (const FilaKardex& f : filasDocumentos(dirDatos, clave, o)) s += f.cantidad;
  return s;
}

std::optional<double> promedioCompras(const std::string& dirMovimientos, const std::string& clave) {
  std::vector<FilaKardex> filas;
  diario(dirMovimientos, clave, false, false, filas);
  double costo = 0, cantidad = 0;
  for (const FilaKardex& f : filas) {
    if (f.tipo != 51) continue;
    costo += f.cantidad * f.costo;
    cantidad += f.cantidad;
  }
  if (cantidad <= 0) return std::nullopt;
  return costo / cantidad;
}

void escribeAuxiliar(const std::string& dirDatos, const Kardex& k, bool documentos) {
  std::vector<dbf::FieldDef> campos = {
      {"CLAVE", 'C', 20, 0},     {"DESCRIPCIO", 'C', 25, 0}, {"CANTIDAD", 'N', 10, 2},
      {"MOVIMIENTO", 'N', 10, 2}, {"KARDEX", 'N', 10, 2},     {"DOCUMENTO", 'N', 10, 0},
      {"COSTO", 'N', 10, 2},     {"FECHA", 'D', 8, 0},       {"DES_MOVIM", 'C', 25, 0},
      {"ORIGEN", 'C', 15, 0},    {"REFERENCIA", 'C', 10, 0}};
  campos.push_back(documentos ? dbf::FieldDef{"CLIPROV", 'C', 10, 0} : dbf::FieldDef{"EXISTENCIA", 'N', 10, 2});
  if (base::existe(base::une(dirDatos, "auxiliar.dbf"))) dbf::Table::drop(dirDatos, "auxiliar.dbf");
  dbf::Table::create(dirDatos, "auxiliar.dbf", campos);
  dbf::Table t;
  t.open(dirDatos, "auxiliar.dbf", dbf::OpenMode::Exclusive);
  for (const FilaKardex& f : k.filas) {
    t.append();
    t.setText("CLAVE", f.clave);
    t.setText("DESCRIPCIO", f.descripcion);
    t.setFloat("CANTIDAD", f.cantidad);
    t.setFloat("MOVIMIENTO", f.tipo);
    t.setFloat("KARDEX", base::redondea(f.kardex, 2));
    t.setFloat("DOCUMENTO", static_cast<double>(f.documento));
    t.setFloat("COSTO", f.costo);
    if (auto d = dbf::leeFecha(f.fecha)) t.setDate("FECHA", *d);
    t.setText("DES_MOVIM", f.concepto);
    t.setText("ORIGEN", f.origen);
    t.setText("REFERENCIA", f.referencia);
    if (documentos) t.setText("CLIPROV", f.cliprov);
    else t.setFloat("EXISTENCIA", f.existencia);
    t.post();
  }
  t.close();
}

std::vector<TotalDocumento> totalesPorDocumento(const Kardex& k) {
  std::vector<TotalDocumento> r;
  std::map<long long, size_t> donde;
  for (const FilaKardex& f : k.filas) {
    auto [it, nuevo] = donde.try_emplace(f.documento, r.size());
    if (nuevo) r.push_back({f.documento, 0});
    r[it->second].total += f.cantidad;
  }
  return r;
}

std::string lineaTotales(const Kardex& k) {
  return "   Entradas  " + base::formateaMascara(k.entradas, "###,##0.00") + "   Salidas  " +
         base::formateaMascara(k.salidas, "###,##0.00") + "  Existencias  " +
         base::formateaMascara(k.existencia, "###,##0.00");
}

}  // namespace mostrador::inventory

namespace mostrador::inventory {

namespace {

void sumaDetalle(const std::string& dir, const char* tabla, const std::string& s, int tipo, bool sinConvertidas,
                 std::map<std::string, double>& r) {
  if (!base::existe(base::une(dir, tabla))) return;
  dbf::Table t;
  t.open(dir, tabla);
  const int fPro = t.requireField("CLPRO" + s), fCant = t.requireField("CANTI" + s), fTregi = t.requireField("TREGI" + s);
  const int fConv = sinConvertidas ? t.fieldIndex("TDOCU" + s) : -1;
  for (t.first(); !t.eof(); t.next()) {
    if (t.asText(fTregi) == "C" || (fConv >= 0 && !t.asText(fConv).empty())) continue;
    r[t.asText(fPro)] += conSigno(tipo, t.asFloat(fCant));
  }
}

}  // namespace

std::map<std::string, double> recuentoTodosDocumentos(const std::string& dir, const OpcionesKardex& o) {
  std::map<std::string, double> r;
  sumaDetalle(dir, "ComprasD.dbf", "_OD", 51, false, r);
  sumaDetalle(dir, "Remisiod.dbf", "_FD", 3, false, r);
  const std::string propio = base::resuelve(dir).string();
  for (const std::string& s : sucursales(dir))
    if (base::resuelve(s).string() != propio) sumaDetalle(s, "Remisiod.dbf", "_FD", 3, false, r);
  sumaDetalle(dir, "FacturaD.dbf", "_FD", 1, true, r);
  const std::string mov = movimientosDe(dir, o);
  if (base::existe(base::une(mov, kTablaMovimientos))) {
    dbf::Table t;
    t.open(mov, kTablaMovimientos);
    const int fPro = t.requireField("CLPRO_MI"), fTipo = t.requireField("TIMOV_MI"),
              fCant = t.requireField("CANTI_MI"), fNudoc = t.requireField("NUDOC_MI");
    for (t.first(); !t.eof(); t.next()) {
      const int tipo = static_cast<int>(t.asInteger(fTipo));
      if (tipo <= 0 || tipo == 54 || (o.integrados && !t.asText(fNudoc).empty())) continue;
      r[t.asText(fPro)] += conSigno(tipo, t.asFloat(fCant));
    }
  }
  return r;
}

}  // namespace mostrador::inventory
