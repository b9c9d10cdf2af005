#include "inventory/reconstruccion.h"

#include <cmath>
#include <map>

#include "base/fechas.h"
#include "base/numeros.h"
#include "base/rutas.h"
#include "store/dbf/dbf_table.h"
#include "store/catalogo.h"
#include "store/estados.h"
#include "store/numeracion.h"
#include "store/unidad.h"

namespace mostrador::inventory {

namespace {

struct Linea {
  std::string clave, descripcion, fecha;
  double cantidad = 0, costo = 0, precio = 0;
};

// The movement type a document's lines post, by document.
int tipoDe(store::Documento d) {
  switch (d) {
    case store::Documento::Remision: return 3;
    case store::Documento::Factura: return 1;
    case store::Documento::Devolucion: return 52;
    case store::Documento::Compra: return 51;
    case store::Documento::DevolucionCompra: return 2;
    default: return 0;
  }
}

// The lines of one document saved with that stamp.
std::vector<Linea> lineasDe(const std::string& dir, const store::DefDocumento& doc, const std::string& numero,
                            long long control) {
  const std::string s = doc.compra ? "_OD" : "_FD";
  dbf::Table d;
  d.open(dir, doc.detalle);
  d.setIndex(doc.compra ? "ICOMDET" : "CLDOC_FD");
  d.setRange({numero}, {numero});
  const int fCtl = d.requireField("CONTROL"), fPro = d.requireField("CLPRO" + s), fCant = d.requireField("CANTI" + s),
            fFecha = d.requireField("FEDOC" + s), fCosto = d.fieldIndex(doc.compra ? "CUNIT_OD" : "COPRO_FD"),
            fPrecio = d.fieldIndex(doc.compra ? "PRECL_OD" : "PUNPR_FD"),
            fDesc = d.fieldIndex(doc.compra ? "DESCR_OD" : "DEPRO_FD");
  std::vector<Linea> r;
  for (d.first(); !d.eof(); d.next()) {
    if (d.isNull(fCtl) || d.asInteger(fCtl) != control) continue;
    Linea l;
    l.clave = d.asText(fPro);
    l.cantidad = d.asFloat(fCant);
    l.fecha = d.asText(fFecha);
    if (fCosto >= 0) l.costo = d.asFloat(fCosto);
    if (fPrecio >= 0) l.precio = d.asFloat(fPrecio);
    if (fDesc >= 0) l.descripcion = d.asText(fDesc);
    r.push_back(std::move(l));
  }
  return r;
}

}  // namespace

ResultadoRevision revisaDocumentos(const AjustesMovimientos& a, bool reposta, const base::Reloj& reloj) {
  ResultadoRevision r;
  struct Pendiente {
    const store::DefDocumento* doc;
    std::string referencia;
    std::vector<Linea> lineas;
  };
  std::vector<Pendiente> pendientes;
  for (store::Documento d : {store::Documento::Remision, store::Documento::Factura, store::Documento::Devolucion,
                             store::Documento::Compra, store::Documento::DevolucionCompra}) {
    const store::DefDocumento& doc = store::documento(d);
    if (!base::existe(base::une(a.dirDatos, doc.encabezado)) || !base::existe(base::une(a.dirDatos, doc.detalle)))
      continue;
    // The one document check; what it reports without any movement is re-posted.
    for (const std::string& l : store::verificaDocumentos(a.dirDatos, a.dirCatalogo, d)) {
      r.informe.push_back(l);
      if (!reposta || l.ends_with(",C")) continue;
      const size_t c1 = l.find(','), c2 = l.find(',', c1 + 1), c3 = l.find(',', c2 + 1);
      if (c1 == std::string::npos || c2 == std::string::npos || c3 == std::string::npos) continue;
      const std::string numero = l.substr(1, c1 - 1);
      const long long control = std::stoll(l.substr(c1 + 1, c2 - c1 - 1));
      if (std::stol(l.substr(c3 + 1)) != 0) continue;  // some movements are there: not lost, reported only
      std::vector<Linea> lineas = lineasDe(a.dirDatos, doc, numero, control);
      if (lineas.empty()) continue;
      pendientes.push_back({&doc, store::referenciaMovimiento(doc.letra, std::stoll(numero), control), std::move(lineas)});
    }
  }
  if (pendientes.empty()) return r;
  dbf::Table m, prods;
  m.open(a.dirCatalogo, kTablaMovimientos);
  prods.open(a.dirCatalogo, "inventar.dbf");
  store::UnidadGuardado unidad({a.dirCatalogo});
  Posteo posteo(m, prods, a.reglas);
  prods.setIndex("ICLPRO");
  for (const Pendiente& d : pendientes) {
    const long long numero = siguienteMovimiento(m);
    for (const Linea& l : d.lineas) {
      Movimiento x;
      x.numero = numero;
      x.tipo = tipoDe(d.doc->documento);
      x.clave = l.clave;
      x.descripcion = l.descripcion;
      x.cantidad = l.cantidad;
      x.costo = l.costo;
      x.precio = l.precio;
      x.fecha = l.fecha;
      if (auto f = base::leeFechaCorta(l.fecha)) x.secuencia = base::selloSecuencia(*f, reloj);
      x.documento = d.referencia;
      x.referencia = d.referencia.substr(1, d.referencia.find('-') - 1);
      x.origen = d.doc->compra ? "O" : "F";
      if (prods.findKey({l.clave})) x.existencia = prods.asFloat("EXIST_I");
      x.usuario = std::strtol(a.usuario.c_str(), nullptr, 10);
      x.usuarioTexto = a.usuario;
      posteo.escribe(x);
    }
    ++r.reposteados;
  }
  unidad.confirma();
  return r;
}

ResultadoReconstruccion reconstruyeMovimientos(const AjustesMovimientos& a, const base::Reloj& reloj,
                                               const Avance& avance) {
  ResultadoReconstruccion r;
  // 1. The comparison table, made again.
  if (base::existe(base::une(a.dirDatos, "MI.dbf"))) dbf::Table::drop(a.dirDatos, "MI.dbf");
  dbf::Table::create(a.dirDatos, "MI.dbf",
                     {{"CLAVE", 'C', 20, 0}, {"ANTERIOR", 'N', 10, 3}, {"REALES", 'N', 10, 3}, {"ACTUAL", 'N', 10, 3},
                      {"OTRO", 'C', 1, 0}},
                     {{"CLAVE", "CLAVE", true}});
  // 2. Documents without their movements.
  std::map<std::string, double> anterior;
  {
    dbf::Table p;
    p.open(a.dirCatalogo, "inventar.dbf");
    for (p.first(); !p.eof(); p.next()) anterior[p.asText("CLPRO_I")] = p.asFloat("EXIST_I");
  }
  r.revision = revisaDocumentos(a, true, reloj);
  // 3. What the movements say.
  std::map<std::string, double> reales;
  {
    dbf::Table m;
    m.open(a.dirCatalogo, kTablaMovimientos);
    const int fPro = m.requireField("CLPRO_MI"), fTipo = m.requireField("TIMOV_MI"), fCant = m.requireField("CANTI_MI");
    for (m.first(); !m.eof(); m.next()) {
      const int t = static_cast<int>(m.asInteger(fTipo));
      const double q = m.asFloat(fCant);
      reales[m.asText(fPro)] += esSalida(t) ? -q : q;
    }
  }
  dbf::Table mi, p;
  mi.open(a.dirDatos, "MI.dbf", dbf::OpenMode::Exclusive);
  p.open(a.dirCatalogo, "inventar.dbf");
  store::UnidadGuardado unidad({a.dirCatalogo});
  const long total = p.recordCount();
  long hechos = 0;
  for (p.first(); !p.eof(); p.next()) {
    if (avance && ++hechos % 1000 == 0) avance(hechos, total);
    const std::string clave = p.asText("CLPRO_I");
    const double antes = anterior.count(clave) ? anterior[clave] : p.asFloat("EXIST_I");
    const double actual = p.asFloat("EXIST_I"), real = base::redondea(reales[clave], 3);
    mi.append();
    mi.setText("CLAVE", clave);
    mi.setFloat("ANTERIOR", antes);
    mi.setFloat("REALES", real);
    mi.setFloat("ACTUAL", actual);
    mi.post();
    // 4. Only a stock that stood still during the run is set; another station's sale
    // meanwhile waits for the next run.
    if (std::fabs(antes - actual) >= 0.0005 || std::fabs(real - actual) < 0.0005) continue;
    p.edit();
    p.setFloat("EXIST_I", actual + (real - actual));
    p.post();
    r.actualizados.push_back(clave + "," + base::Decimal::deDouble(real).texto() + "," +
                             base::Decimal::deDouble(real).texto());
  }
  unidad.confirma();
  if (avance) avance(total, total);
  r.resumen = std::to_string(r.actualizados.size()) + "  Actualizados";
  return r;
}

}  // namespace mostrador::inventory
