#include "sales/guardado_venta.h"

#include <algorithm>

#include "base/fechas.h"
#include "base/numeros.h"
#include "sales/filas_documento.h"
#include "sales/texto_venta.h"
#include "store/catalogo.h"
#include "store/estados.h"
#include "store/numeracion.h"
#include "store/unidad.h"

namespace mostrador::sales {

namespace {

constexpr std::string_view kErrorGuardar = "No Pueden Guardarse los Datos ha Ocurrido un Error";
constexpr std::string_view kErrorEditar = "No se Pueden Editar los Datos ha Ocurrido un Error";

double numeroDeCampo(std::string_view t) { return base::leeNumero(t).value_or(0); }

// Removes every record the cursor can see (a range, usually).
void borraTodo(dbf::Table& t) {
  for (t.first(); !t.isEmpty(); t.first()) t.remove();
}


// The product records a held one is told apart by: the station waits this long for each
// before the line's stock change is left pending.
constexpr int kEsperaProductoMs = 200;

}  // namespace

struct GuardadoVenta::Curso {
  std::optional<long long> movimientoPendiente;  // CLDOC_MI reused by a modification
  long long numeroMovimiento = 0;
  long long control = 0;
  std::vector<std::string> mensajes;
  std::vector<std::string> ocupados;  // products held elsewhere: their stock left pending
};

GuardadoVenta::GuardadoVenta(TablasVenta tablas, const AjustesVenta& ajustes, const base::Reloj& reloj)
    : t_(tablas), aj_(ajustes), reloj_(reloj) {}

std::vector<std::string> GuardadoVenta::directorios(TipoVenta t) const {
  return {directorioDeTipo(aj_, t), aj_.dirInventario, aj_.dirDatos};
}

// ---- the lock phase ----------------------------------------------------------------------

// The records the save edits: the reserved header, the products of its lines and of the
// save it replaces, the customer (and the previous one). The one held by another
// station, or nullopt. With a pending-stock sink, a held product is set aside in
// ocupados instead of stopping the save.
std::optional<std::string> GuardadoVenta::bloquea(const Documento& d, char letra,
                                                  std::vector<std::string>& ocupados) {
  std::vector<store::Bloqueo> b;
  b.push_back({&t_.encabezado, t_.encabezado.recno(), "el documento " + d.encabezado.numero});
  std::vector<std::pair<std::string, std::string>> productos;  // key, description
  for (const Partida& p : d.partidas)
    if (esGuardable(p)) productos.emplace_back(p.clave, p.producto);
  if (d.modificando) {
    const std::string numero = t_.encabezado.asText("CLDOC_F");
    for (uint32_t r : filasDe(t_.detalle, numero, d.previo.control)) {
      t_.detalle.goTo(r);
      productos.emplace_back(t_.detalle.asText("CLPRO_FD"), t_.detalle.asText("DEPRO_FD"));
    }
  }
  if (letra == 'F' || letra == 'R' || letra == 'D') {
    t_.productos.setIndex("ICLPRO");
    for (const auto& [clave, descripcion] : productos) {
      if (!t_.productos.findKey({clave})) continue;
      store::Bloqueo uno{&t_.productos, t_.productos.recno(), "el producto " + clave + " " + descripcion};
      if (pendientes_ && !d.modificando) {
        if (std::find(ocupados.begin(), ocupados.end(), clave) != ocupados.end()) continue;
        if (store::bloquea({uno}, kEsperaProductoMs)) {
          ocupados.push_back(clave);
          continue;
        }
      }
      b.push_back(uno);
    }
  }
  if (letra == 'F' || letra == 'Z') {
    t_.clientes.setIndex("ICLACLI");
    if (t_.clientes.findKey({d.encabezado.cliente}))
      b.push_back({&t_.clientes, t_.clientes.recno(), "el cliente " + d.encabezado.cliente});
    if (d.modificando && d.previo.cliente != d.encabezado.cliente && t_.clientes.findKey({d.previo.cliente}))
      b.push_back({&t_.clientes, t_.clientes.recno(), "el cliente " + d.previo.cliente});
  }
  if (auto ocupado = store::bloquea(std::move(b))) return ocupado->quien;
  return std::nullopt;
}

void GuardadoVenta::libera() {
  for (dbf::Table* t : {&t_.encabezado, &t_.detalle, &t_.productos, &t_.clientes, &t_.movimientos}) {
    try {
      if (t->isOpen()) t->releaseLocks();
    } catch (const dbf::Error&) {
    }
  }
}

// ---- saving ------------------------------------------------------------------------------

// The save is one unit: the records it edits are locked first, then the unit takes the
// writer locks of the directories involved; whatever fails after that rolls every table
// back, so a refused save leaves nothing behind and the document stays on screen to be
// saved again.
ResultadoGuardado GuardadoVenta::guarda(const Documento& d) {
  ResultadoGuardado r;
  if (!d.enCaptura()) {
    r.mensajes.emplace_back(kErrorGuardar);
    return r;
  }
  if (d.encabezado.cliente.empty()) {
    // Named by what is being saved, and nothing else said: no error happened, a field is
    // missing.
    const std::string_view tipo = defTipo(d.tipo).nombre;
    r.mensajes.push_back("No se puede Guardar " + std::string(d.tipo == TipoVenta::Pedido ? "el " : "la ") +
                         std::string(tipo) + " faltan datos del Cliente");
    return r;
  }
  if (d.encabezado.numero.empty()) {
    r.mensajes.emplace_back("Falta el Numero de Documento");
    return r;
  }
  const char letra = d.letra();
  Curso c;
  auto cancelaEdiciones = [&] {
    for (dbf::Table* t : {&t_.encabezado, &t_.detalle, &t_.productos, &t_.clientes, &t_.movimientos})
      if (t->isOpen() && t->editing()) t->cancel();
  };
  try {
    if (auto ocupado = bloquea(d, letra, c.ocupados)) {
      r.mensajes.push_back("No se puede guardar: " + *ocupado +
                           " está en uso por otra estación. El documento sigue en pantalla; intente de nuevo.");
      return r;
    }
  } catch (const dbf::Error&) {
    libera();
    r.mensajes.emplace_back(kErrorGuardar);
    return r;
  }
  try {
    store::UnidadGuardado unidad(directorios(d.tipo));
    unidad.guardaDeAntemano({&t_.encabezado, &t_.productos, &t_.clientes, &t_.detalle, &t_.movimientos});
    if (d.modificando) {
      const std::string numero = t_.encabezado.asText("CLDOC_F");
      const std::string ref =
          store::referenciaMovimiento(letra, t_.encabezado.asInteger("CLDOC_F"), d.previo.control);
      quitaMovimientos(ref, &c);
      if (letra == 'F' || letra == 'R') regresaExistencias(d, numero, d.previo.control, 1, 0, {}, 0);
      if (letra == 'D') regresaExistencias(d, numero, d.previo.control, -1, 0, {}, 0);
      borraDetalle(numero, d.previo.control);
    }
    const int tipoMovimiento = defTipo(d.tipo).movimiento;
    if ((letra == 'F' || letra == 'R' || letra == 'D') && aj_.registraMovimientos && tipoMovimiento != 0)
      c.numeroMovimiento = tomaNumeroMovimiento(c);
    escribeDocumento(d, letra, c);
    if (letra == 'F' || letra == 'Z') actualizaSaldo(d, d.modificando ? d.previo.cargo : 0);
    unidad.confirma();
  } catch (const dbf::LockError& e) {
    cancelaEdiciones();
    libera();
    r.mensajes = std::move(c.mensajes);
    r.mensajes.push_back(std::string("No se puede guardar: ") + e.what() +
                         ". El documento sigue en pantalla; intente de nuevo.");
    return r;
  } catch (const dbf::Error&) {
    cancelaEdiciones();
    libera();
    r.mensajes = std::move(c.mensajes);
    r.mensajes.emplace_back(kErrorGuardar);
    return r;
  }
  libera();
  r.guardado = true;
  r.mensajes = std::move(c.mensajes);
  r.numero = t_.encabezado.asInteger("CLDOC_F");
  r.control = c.control;
  return r;
}

long long GuardadoVenta::tomaNumeroMovimiento(Curso& c) {
  if (c.movimientoPendiente) return *c.movimientoPendiente;
  try {
    t_.movimientos.setIndex("CLDOC_MI");
    t_.movimientos.last();
    ultimoMovimientoLeido_ = t_.movimientos.isEmpty() ? 0 : t_.movimientos.asInteger("CLDOC_MI");
  } catch (const dbf::Error&) {
    // a failed read keeps the number read the time before
  }
  return ultimoMovimientoLeido_ + 1;
}

long long GuardadoVenta::confirmaNumero(const Documento& d) {
  long long n = t_.encabezado.asInteger("CLDOC_F");
  if (auto v = base::Decimal::deTexto(d.encabezado.numero); v && !v->esCero())
    n = static_cast<long long>(v->aDouble());
  const uint32_t propio = t_.encabezado.recno();
  const std::string dir = directorioDeTipo(aj_, d.tipo), tabla = store::documento(defTipo(d.tipo).documento).encabezado;
  auto& abierta = otros_[dir + "|" + tabla];
  if (!abierta || !abierta->isOpen()) {
    auto t = std::make_unique<dbf::Table>();
    t->open(dir, tabla);
    abierta = std::move(t);
  }
  dbf::Table& otro = *abierta;
  otro.setIndex("INUMENC");
  // Another station may have saved this number meanwhile: take the next free one.
  for (int intento = 0; intento < 10; ++intento) {
    bool tomado = false;
    if (otro.findKey({static_cast<double>(n)}))
      for (; !otro.eof() && otro.asInteger("CLDOC_F") == n; otro.next())
        if (otro.recno() != propio) {
          tomado = true;
          break;
        }
    if (!tomado) break;
    otro.last();
    n = otro.asInteger("CLDOC_F") + 1;
  }
  return n;
}

void GuardadoVenta::escribeDocumento(const Documento& d, char letra, Curso& c) {
  const long long numero = d.nuevo ? confirmaNumero(d) : t_.encabezado.asInteger("CLDOC_F");
  const std::string numeroTexto = std::to_string(numero);
  c.control = base::selloControl(reloj_);
  const std::string fecha = d.fecha();
  try {
    t_.encabezado.edit();
  } catch (const dbf::Error&) {
    c.mensajes.emplace_back(kErrorEditar);
    throw;
  }
  ponEncabezado(t_.encabezado, d, numero, c.control, base::horaTexto(reloj_.ahora().hora));
  t_.encabezado.post();

  const std::string ref = store::referenciaMovimiento(letra, numero, c.control);
  const double descuentoDocumento = numeroDeCampo(d.encabezado.descuento);
  const int tipo = defTipo(d.tipo).movimiento;
  for (const Partida& p : d.partidas) {
    if (!esGuardable(p)) continue;
    const bool pendiente = std::find(c.ocupados.begin(), c.ocupados.end(), p.clave) != c.ocupados.end();
    if (pendiente && (letra == 'F' || letra == 'R' || letra == 'D')) {
      // Another station holds the product: the sale stands, its stock change waits.
      const double q = *p.cantidad;
      pendientes_({p.clave, inventory::esSalida(tipo) ? -q : q, c.control, std::string(defTipo(d.tipo).nombre),
                   tipo});
      escribeMovimiento(d, p, tipo, ref, numero, c.control, c.numeroMovimiento);
    } else if (letra == 'F' || letra == 'R') {
      if (!pasoExistencia(d, p, c)) continue;  // not supplied: no movement, no line
      escribeMovimiento(d, p, tipo, ref, numero, c.control, c.numeroMovimiento);
    } else if (letra == 'D') {
      pasoDevolucion(d, p);
      escribeMovimiento(d, p, tipo, ref, numero, c.control, c.numeroMovimiento);
    }
    agregaDetalle(t_.detalle, p, numeroTexto, c.control, fecha, descuentoDocumento);
  }
  if (letra == 'Z') copiaAuxiliar(numeroTexto, c.control);
}

bool GuardadoVenta::pasoExistencia(const Documento& d, const Partida& p, Curso& c) {
  dbf::Table& pr = t_.productos;
  pr.setIndex("ICLPRO");
  if (!pr.findKey({p.clave}) || pr.asText("DSCPR_I").empty()) return true;
  const double q = *p.cantidad;
  pr.edit();
  const double anterior = pr.asFloat("EXIST_I");
  if (q > anterior && aj_.controlExistencias) {
    c.mensajes.push_back("No hay Existencias Suficientes Para Surtir " + pr.asText("DSCPR_I") + "  Existencias " +
                         numeroTexto(anterior));
    pr.cancel();
    return false;
  }
  const double existencia = inventory::existenciaTras(anterior, defTipo(d.tipo).movimiento, q, reglas());
  const double movido = anterior - existencia;
  pr.setFloat("EXIST_I", existencia);
  pr.setFloat("VANCA_I", pr.asFloat("VANCA_I") + movido);
  pr.setFloat("VANMO_I", pr.asFloat("VANMO_I") + movido * p.precio);
  pr.setText("FEULV_I", d.fecha());
  if (pr.asFloat("PPUBL_I") == 0) pr.setFloat("PPUBL_I", p.precio);
  pr.post();
  return true;
}

void GuardadoVenta::pasoDevolucion(const Documento& d, const Partida& p) {
  dbf::Table& pr = t_.productos;
  pr.setIndex("ICLPRO");
  if (!pr.findKey({p.clave})) return;
  pr.edit();
  const double anterior = pr.asFloat("EXIST_I");
  const double existencia = inventory::existenciaTras(anterior, defTipo(d.tipo).movimiento, *p.cantidad, reglas());
  const double movido = anterior - existencia;  // negative: units come back
  pr.setFloat("EXIST_I", existencia);
  pr.setFloat("VANMO_I", pr.asFloat("VANMO_I") + movido * p.precio);
  pr.setFloat("VANCA_I", pr.asFloat("VANCA_I") + movido);
  pr.post();
}

void GuardadoVenta::escribeMovimiento(const Documento& d, const Partida& p, int tipo, const std::string& referencia,
                                      long long numero, long long control, long long numeroMovimiento) {
  if (!aj_.registraMovimientos || tipo == 0) return;
  const std::string fecha = d.fecha();
  const auto f = base::leeFechaCorta(fecha);
  inventory::Movimiento m;
  m.numero = numeroMovimiento;
  m.tipo = tipo;
  m.clave = p.clave;
  m.descripcion = p.producto;
  m.cantidad = p.cantidad.value_or(0);
  m.costo = p.costo;
  m.precio = p.precio;
  m.fecha = fecha;
  m.secuencia = base::selloSecuencia(f.value_or(reloj_.ahora().fecha), reloj_);
  m.referencia = std::to_string(numero);
  m.documento = referencia;
  m.contraparte = d.encabezado.cliente;
  m.vendedor = d.encabezado.vendedor;
  m.origen = "F";
  m.almacen.clear();
  m.control = control;
  // Inside the save's unit: a movement that cannot be written fails the whole save, which
  // the unit then puts back, instead of leaving a sale without its movements.
  inventory::Posteo(t_.movimientos, t_.productos, reglas()).escribe(m);
}

void GuardadoVenta::actualizaSaldo(const Documento& d, double cargoPrevio) {
  dbf::Table& cl = t_.clientes;
  cl.setIndex("ICLACLI");
  // A modification moved to another customer: the first one is no longer charged.
  if (cargoPrevio != 0 && d.modificando && d.previo.cliente != d.encabezado.cliente) {
    if (cl.findKey({d.previo.cliente})) {
      cl.edit();
      cl.setFloat("SALDO_C", cl.asFloat("SALDO_C") - cargoPrevio);
      cl.setFloat("COMPR_C", cl.asFloat("COMPR_C") - cargoPrevio);
      cl.post();
    }
    cargoPrevio = 0;
  }
  if (!cl.findKey({d.encabezado.cliente})) return;
  double s = d.totales.subtotal.aDouble();
  s = s + s * numeroDeCampo(d.encabezado.tasa) * 0.01;
  cl.edit();
  cl.setDate("FULCO_C", dbf::leeFecha(d.fecha()));
  cl.setFloat("SALDO_C", cl.asFloat("SALDO_C") + s - cargoPrevio);
  cl.setFloat("COMPR_C", cl.asFloat("COMPR_C") + s - cargoPrevio);
  cl.post();
}

bool GuardadoVenta::esFacturaGenerada(const std::string& numero) const {
  const auto& aux = store::documento(store::Documento::FacturaAuxiliar);
  dbf::Table e;
  try {
    e.open(aj_.dirDatos, aux.encabezado);
    e.setIndex("INUMENC");
    return e.findKey({numero});
  } catch (const dbf::Error&) {
    return false;
  }
}

void GuardadoVenta::liberaNotasDe(const std::string& factura) {
  const auto& doc = store::documento(defTipo(TipoVenta::Remision).documento);
  const std::string dir = directorioDeTipo(aj_, TipoVenta::Remision);
  dbf::Table e, d;
  e.open(dir, doc.encabezado);
  d.open(dir, doc.detalle);
  d.setIndex("CLDOC_FD");
  const std::string referencia = "F" + factura;
  for (e.first(); !e.eof(); e.next()) {
    if (e.asText("REMIS_F") != factura) continue;
    const std::string nota = e.asText("CLDOC_F");
    e.edit();
    e.setText("REMIS_F", "");
    e.post();
    for (uint32_t r : filasDe(d, nota, -1)) {
      d.goTo(r);
      if (d.asText("TDOCU_FD") != referencia) continue;
      d.edit();
      d.setText("TDOCU_FD", "");
      d.post();
    }
  }
  // The copy kept for the invoice made from notes goes with it.
  const auto& aux = store::documento(store::Documento::FacturaAuxiliar);
  dbf::Table ae, ad;
  ae.open(aj_.dirDatos, aux.encabezado);
  ae.setIndex("INUMENC");
  ae.setRange({factura}, {factura});
  borraTodo(ae);
  ad.open(aj_.dirDatos, aux.detalle);
  ad.setIndex("CLDOC_FD");
  ad.setRange({factura}, {factura});
  borraTodo(ad);
}

void GuardadoVenta::descuentaCargo() {
  dbf::Table& cl = t_.clientes;
  cl.setIndex("ICLACLI");
  if (!cl.findKey({t_.encabezado.asText("CLCLI_F")})) return;
  const double s = t_.encabezado.asFloat("SUBTO_F");
  const double cargo = s + s * t_.encabezado.asFloat("IMIM1_F") * 0.01;
  cl.edit();
  cl.setFloat("SALDO_C", cl.asFloat("SALDO_C") - cargo);
  cl.setFloat("COMPR_C", cl.asFloat("COMPR_C") - cargo);
  cl.post();
}

void GuardadoVenta::quitaMovimientos(const std::string& referencia, Curso* c) {
  if (!aj_.registraMovimientos) return;
  dbf::Table& m = t_.movimientos;
  m.setIndex("NUDOC_MI");
  m.setRange({referencia}, {referencia});
  m.first();
  if (!m.isEmpty() && c) c->movimientoPendiente = m.asInteger("CLDOC_MI");
  borraTodo(m);
  m.cancelRange();
  m.setIndex("CLDOC_MI");
}

void GuardadoVenta::regresaExistencias(const Documento& d, const std::string& numero, long long sello, int signo,
                                       int tipoReverso, const std::string& referencia, long long control) {
  std::vector<Partida> lineas;
  for (uint32_t r : filasDe(t_.detalle, numero, sello)) {
    t_.detalle.goTo(r);
    lineas.push_back(partidaDeDetalle(t_.detalle, LecturaDetalle::Existencias));
  }
  long long numeroMovimiento = 0;
  if (tipoReverso != 0 && aj_.registraMovimientos) {
    Curso c;
    numeroMovimiento = tomaNumeroMovimiento(c);
  }
  dbf::Table& pr = t_.productos;
  pr.setIndex("ICLPRO");
  for (const Partida& p : lineas) {
    if (pr.findKey({p.clave})) {
      const double q = *p.cantidad * signo;
      pr.edit();
      // The reversal puts back exactly what the save moved: no clamp at zero.
      pr.setFloat("EXIST_I", pr.asFloat("EXIST_I") + q);
      pr.setFloat("VANCA_I", pr.asFloat("VANCA_I") - q);
      pr.setFloat("VANMO_I", pr.asFloat("VANMO_I") - q * p.precio);
      pr.post();
    }
    if (tipoReverso != 0)
      escribeMovimiento(d, p, tipoReverso, referencia, std::stoll(numero), control, numeroMovimiento);
  }
}

void GuardadoVenta::borraDetalle(const std::string& numero, long long sello) {
  for (uint32_t r : filasDe(t_.detalle, numero, sello)) {
    t_.detalle.goTo(r);
    t_.detalle.remove();
  }
}

void GuardadoVenta::copiaAuxiliar(const std::string& numero, long long control) {
  const auto& aux = store::documento(store::Documento::FacturaAuxiliar);
  dbf::Table e, d;
  e.open(aj_.dirDatos, aux.encabezado);
  e.setIndex("INUMENC");
  e.setRange({numero}, {numero});
  borraTodo(e);
  e.cancelRange();
  e.append();
  for (const auto& f : t_.encabezado.fieldDefs()) {
    const int i = e.fieldIndex(f.name);
    if (i < 0) continue;
    const int j = t_.encabezado.requireField(f.name);
    if (t_.encabezado.isNull(j)) continue;
    if (f.type == 'D') e.setDate(i, t_.encabezado.asDate(j));
    else if (f.type == 'N' || f.type == 'F') e.setFloat(i, t_.encabezado.asFloat(j));
    else e.setText(i, t_.encabezado.asText(j));
  }
  e.post();
  d.open(aj_.dirDatos, aux.detalle);
  d.setIndex("CLDOC_FD");
  d.setRange({numero}, {numero});
  borraTodo(d);
  d.cancelRange();
  for (uint32_t r : filasDe(t_.detalle, numero, control)) {
    t_.detalle.goTo(r);
    d.append();
    for (const auto& f : t_.detalle.fieldDefs()) {
      const int i = d.fieldIndex(f.name);
      const int j = t_.detalle.requireField(f.name);
      if (i < 0 || t_.detalle.isNull(j)) continue;
      if (f.type == 'N' || f.type == 'F') d.setFloat(i, t_.detalle.asFloat(j));
      else d.setText(i, t_.detalle.asText(j));
    }
    d.post();
  }
}

// ---- delete and cancel ----------------------------------------------------------------------

GuardadoVenta::Resultado GuardadoVenta::elimina(const Documento& d) {
  Resultado r;
  dbf::Table& enc = t_.encabezado;
  try {
    const char letra = defTipo(d.tipo).letra;
    const std::string numero = enc.asText("CLDOC_F");
    const long long sello = enc.asInteger("CONTROL");
    const std::string ref = store::referenciaMovimiento(letra, enc.asInteger("CLDOC_F"), sello);
    store::UnidadGuardado unidad(directorios(d.tipo));
    if (d.tipo == TipoVenta::Factura) {
      t_.movimientos.setIndex("NUDOC_MI");
      t_.movimientos.setRange({ref}, {ref});
      t_.movimientos.first();
      const bool tiene = !t_.movimientos.isEmpty();
      t_.movimientos.cancelRange();
      t_.movimientos.setIndex("CLDOC_MI");
      if (tiene) {
        r.mensajes.emplace_back("El documento No Puede Eliminarse Posee Movimientos");
        return r;
      }
    }
    // What the save did is undone before its rows go. A cancelled document already gave
    // its stock (and its charge) back.
    if (!store::cancelado(enc.asText("STATU_F"))) {
      if (d.tipo == TipoVenta::Remision) {
        regresaExistencias(d, numero, sello, 1, 0, {}, 0);
        quitaMovimientos(ref, nullptr);
      } else if (d.tipo == TipoVenta::Devolucion) {
        regresaExistencias(d, numero, sello, -1, 0, {}, 0);
        quitaMovimientos(ref, nullptr);
      } else if (d.tipo == TipoVenta::Factura) {
        // An invoice made from notes took no stock: its notes become invoiceable again.
        // A plain one gives its stock back. Either charged its customer.
        if (esFacturaGenerada(numero))
          liberaNotasDe(numero);
        else
          regresaExistencias(d, numero, sello, 1, 0, {}, 0);
        descuentaCargo();
      }
    }
    borraDetalle(numero, sello);
    enc.remove();
    unidad.confirma();
  } catch (const dbf::Error&) {
    if (t_.productos.editing()) t_.productos.cancel();
    libera();
    r.mensajes.emplace_back(kErrorGuardar);
    return r;
  }
  libera();
  r.hecho = true;
  return r;
}

GuardadoVenta::Resultado GuardadoVenta::cancela(const Documento& d) {
  Resultado r;
  dbf::Table& enc = t_.encabezado;
  try {
    if (store::cancelado(enc.asText("STATU_F"))) {
      r.mensajes.emplace_back("La Factura Ya Fue Cancelada");
      return r;
    }
    const std::string numero = enc.asText("CLDOC_F");
    const long long sello = enc.asInteger("CONTROL");
    const char letra = defTipo(d.tipo).letra;
    const std::string ref = store::referenciaMovimiento(letra, enc.asInteger("CLDOC_F"), sello) + "C";
    store::UnidadGuardado unidad(directorios(d.tipo));
    // Delivery notes and returns give back what their save moved, with reversing
    // movements under the save's own stamp; the customer's balance was never raised by
    // them.
    if (d.tipo == TipoVenta::Remision) regresaExistencias(d, numero, sello, 1, 52, ref, sello);
    if (d.tipo == TipoVenta::Devolucion) regresaExistencias(d, numero, sello, -1, 3, ref, sello);
    // An invoice charged its customer when it was saved: cancelling it takes the charge
    // back, or a cancelled (and usually re-issued) invoice would stay owed.
    if (d.tipo == TipoVenta::Factura) descuentaCargo();
    enc.edit();
    enc.setText("STATU_F", store::estado::kCancelado);
    enc.post();
    for (uint32_t f : filasDe(t_.detalle, numero, -1)) {
      t_.detalle.goTo(f);
      t_.detalle.edit();
      t_.detalle.setText("TREGI_FD", store::estado::kLineaCancelada);
      t_.detalle.post();
    }
    unidad.confirma();
  } catch (const dbf::Error&) {
    for (dbf::Table* t : {&t_.encabezado, &t_.detalle, &t_.productos, &t_.clientes})
      if (t->editing()) t->cancel();
    libera();
    r.mensajes.emplace_back(kErrorGuardar);
    return r;
  }
  libera();
  r.hecho = true;
  return r;
}

}  // namespace mostrador::sales
