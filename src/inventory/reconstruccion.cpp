#include "inventory/reconstruccion.h"

#include <cmath>
#include <map>

#include "base/fechas.h"
#include "base/numeros.h"
#include "base/rutas.h"
#include "store/dbf/dbf_table.h"
#include "store/estados.h"
#include "store/numeracion.h"
#include "store/unidad.h"

namespace mostrador::inventory {

namespace {

struct Par {
  char letra, informe;
  const char *encabezado, *detalle;
  bool venta;
  int tipo;
};

constexpr Par kPares[] = {
    {'R', 'R', "Remision.dbf", "Remisiod.dbf", true, 3},   {'F', 'F', "FacturaE.dbf", "FacturaD.dbf", true, 1},
    {'D', 'D', "Devoluc.dbf", "DevolucD.dbf", true, 52},   {'O', 'O', "ComprasE.dbf", "ComprasD.dbf", false, 51},
    {'P', 'E', "DevolCom.dbf", "DevolDet.dbf", false, 2},
};

struct Linea {
  std::string clave, descripcion, fecha;
  double cantidad = 0, costo = 0, precio = 0;
};

}  // namespace

ResultadoRevision revisaDocumentos(const AjustesMovimientos& a, bool reposta, const base::Reloj& reloj) {
  ResultadoRevision r;
  // Movements by reference, read once.
  std::map<std::string, long> movimientos;
  {
    dbf::Table m;
    m.open(a.dirCatalogo, kTablaMovimientos);
    const int f = m.requireField("NUDOC_MI");
    for (m.first(); !m.eof(); m.next())
      if (std::string n = m.asText(f); !n.empty()) ++movimientos[n];
  }
  struct Pendiente {
    const Par* par;
    std::string referencia;
    std::vector<Linea> lineas;
  };
  std::vector<Pendiente> pendientes;
  for (const Par& p : kPares) {
    if (!base::existe(base::une(a.dirDatos, p.encabezado)) || !base::existe(base::une(a.dirDatos, p.detalle))) continue;
    const std::string s = p.venta ? "_FD" : "_OD";
    // Lines by document and stamp, read once.
    std::map<std::string, std::vector<Linea>> lineas;
    {
      dbf::Table d;
      d.open(a.dirDatos, p.detalle);
      const int fDoc = d.requireField("CLDOC" + s), fCtl = d.requireField("CONTROL"), fPro = d.requireField("CLPRO" + s),
                fCant = d.requireField("CANTI" + s), fFecha = d.requireField("FEDOC" + s);
      const int fCosto = d.fieldIndex(p.venta ? "COPRO_FD" : "CUNIT_OD"),
                fPrecio = d.fieldIndex(p.venta ? "PUNPR_FD" : "PRECL_OD"),
                fDesc = d.fieldIndex(p.venta ? "DEPRO_FD" : "DESCR_OD");
      for (d.first(); !d.eof(); d.next()) {
        Linea l;
        l.clave = d.asText(fPro);
        l.cantidad = d.asFloat(fCant);
        l.fecha = d.asText(fFecha);
        if (fCosto >= 0) l.costo = d.asFloat(fCosto);
        if (fPrecio >= 0) l.precio = d.asFloat(fPrecio);
        if (fDesc >= 0) l.descripcion = d.asText(fDesc);
        lineas[d.asText(fDoc) + "|" + d.asText(fCtl)].push_back(std::move(l));
      }
    }
    dbf::Table e;
    e.open(a.dirDatos, p.encabezado);
    const std::string campoNumero = p.venta ? "CLDOC_F" : "CLDOC_O";
    const int fNum = e.requireField(campoNumero), fCtl = e.requireField("CONTROL");
    const int fEstado = e.fieldIndex(p.venta ? "STATU_F" : "STDOC_O"), fPedido = e.fieldIndex("CLPED_F");
    for (e.first(); !e.eof(); e.next()) {
      if (e.isNull(fCtl)) continue;
      if (p.letra == 'F' && (fPedido < 0 || e.asText(fPedido).empty())) continue;
      const std::string numero = e.asText(fNum), control = e.asText(fCtl);
      const std::string ref = store::referenciaMovimiento(p.letra, e.asInteger(fNum), e.asInteger(fCtl));
      const auto it = lineas.find(numero + "|" + control);
      const long nl = it == lineas.end() ? 0 : static_cast<long>(it->second.size());
      const long nm = movimientos.count(ref) ? movimientos[ref] : 0;
      if (nl == nm) continue;
      const bool cancelado = fEstado >= 0 && store::cancelado(e.asText(fEstado));
      r.informe.push_back(std::string(1, p.informe) + numero + "," + control + "," + std::to_string(nl) + "," +
                          std::to_string(nm) + (cancelado ? ",C" : ""));
      if (reposta && nm == 0 && nl > 0 && !cancelado) pendientes.push_back({&p, ref, it->second});
    }
  }
  if (!reposta || pendientes.empty()) return r;
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
      x.tipo = d.par->tipo;
      x.clave = l.clave;
      x.descripcion = l.descripcion;
      x.cantidad = l.cantidad;
      x.costo = l.costo;
      x.precio = l.precio;
      x.fecha = l.fecha;
      if (auto f = base::leeFechaCorta(l.fecha)) x.secuencia = base::selloSecuencia(*f, reloj);
      x.documento = d.referencia;
      x.referencia = d.referencia.substr(1, d.referencia.find('-') - 1);
      x.origen = d.par->venta ? "F" : "O";
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
