#include <algorithm>

#include "inventory/posteo.h"
#include "sales/captura.h"
#include "sales/partidas.h"
#include "sales/texto_venta.h"
#include "session/derechos.h"
#include "base/fechas.h"
#include "base/numeros.h"
#include "base/rutas.h"
#include "store/estados.h"
#include "store/numeracion.h"
#include "store/unidad.h"

namespace mostrador::sales {

namespace {

constexpr std::string_view kErrorGuardar = "No Pueden Guardarse los Datos ha Ocurrido un Error";
constexpr std::string_view kErrorEditar = "No se Pueden Editar los Datos ha Ocurrido un Error";

// A number typed in a header field; 0 when it is not one.
double leeNumero(std::string_view t) { return base::leeNumero(t).value_or(0); }

bool esGuardable(const Partida& p) {
  return p.cantidad && *p.cantidad > 0 && !p.clave.empty() && !p.producto.empty() && p.clave != kComentario;
}

// Removes every record the cursor can see (a range, usually).
void borraTodo(dbf::Table& t) {
  for (t.first(); !t.isEmpty(); t.first()) t.remove();
}

// Record numbers of the detail rows of a document (with a stamp, unless sello < 0).
std::vector<uint32_t> filasDe(dbf::Table& d, const std::string& numero, long long sello) {
  std::vector<uint32_t> r;
  d.setIndex("CLDOC_FD");
  d.setRange({numero}, {numero});
  for (d.first(); !d.eof(); d.next())
    if (sello < 0 || d.asInteger("CONTROL") == sello) r.push_back(d.recno());
  d.cancelRange();
  return r;
}

}  // namespace

std::string CapturaVenta::fechaDocumento() const {
  if (auto f = base::leeFechaCorta(campos_.fecha)) return base::fechaCorta(*f);
  return campos_.fecha;
}

// ---- redisplay and browsing ----------------------------------------------------------------

void CapturaVenta::muestra() {
  try {
    vaciaPartidas();
    campos_ = CamposEncabezado{};
    totales_ = Totales{};
    if (!encabezado_.isOpen() || encabezado_.isEmpty()) {
      campos_.cliente.clear();
      return;
    }
    const dbf::Table& e = encabezado_;
    campos_.numero = e.asText("CLDOC_F");
    campos_.cliente = e.asText("CLCLI_F");
    campos_.vendedor = e.asText("CLVEN_F");
    campos_.comision = e.isNull("CTOVE_F") ? "" : numeroTexto(e.asFloat("CTOVE_F"));
    campos_.fecha = e.asText("FEDOC_F");
    campos_.descuento = numeroTexto(e.asFloat("DESFI_F"));
    campos_.tasa = e.isNull("IMIM1_F") ? "" : numeroTexto(e.asFloat("IMIM1_F"));
    campos_.caja = e.asText("BCLIM_F");
    campos_.nombre = e.asText("NOMBR_F");
    campos_.direccion = e.asText("DIREC_F");
    campos_.direccion2 = e.asText("DIRE2_F");
    campos_.poblacion = e.asText("POBLA_F");
    campos_.rfc = e.asText("RFCXX_F");
    campos_.codigoPostal = e.asText("CPXXX_F");
    const long long sello = e.isNull("CONTROL") ? -1 : e.asInteger("CONTROL");
    for (uint32_t r : filasDe(detalle_, campos_.numero, sello)) {
      detalle_.goTo(r);
      cargaPartida(partidaDeDetalle(detalle_, LecturaDetalle::Documento));
    }
    fila_ = 0;
    recalcula();
  } catch (const dbf::Error&) {
    ui_.mensaje(kErrorGuardar);
  }
}

namespace {

// A browse command: the move (a failed one stays where it was), then the redisplay.
template <class Mover>
void navega(dbf::Table& t, Mover mueve) {
  try {
    (t.*mueve)();
  } catch (const dbf::Error&) {
  }
}

}  // namespace

void CapturaVenta::anterior() {
  nuevo_ = modificando_ = false;
  navega(encabezado_, &dbf::Table::prior);
  muestra();
}

void CapturaVenta::siguiente() {
  nuevo_ = modificando_ = false;
  navega(encabezado_, &dbf::Table::next);
  muestra();
}

void CapturaVenta::ultimo() {
  nuevo_ = modificando_ = false;
  navega(encabezado_, &dbf::Table::last);
  muestra();
}

bool CapturaVenta::buscaDocumento(long long numero) {
  try {
    encabezado_.setIndex("INUMENC");
    if (!encabezado_.findKey({static_cast<double>(numero)})) return false;
  } catch (const dbf::Error&) {
    ui_.mensaje(kErrorGuardar);
    return false;
  }
  nuevo_ = modificando_ = false;
  muestra();
  return true;
}

bool CapturaVenta::modifica() {
  try {
    if (!encabezado_.isOpen() || encabezado_.isEmpty() || enCaptura()) return false;
    if (store::cancelado(encabezado_.asText("STATU_F"))) return false;
    controlAnterior_ = encabezado_.asInteger("CONTROL");
    control_ = controlAnterior_;
    const double s = encabezado_.asFloat("SUBTO_F");
    cargoAnterior_ = s + s * encabezado_.asFloat("IMIM1_F") * 0.01;
    clienteAnterior_ = encabezado_.asText("CLCLI_F");
    // An invoice made from notes stays one: its modification must not take stock or
    // write movements the notes already made.
    generado_ = tipo_ == TipoVenta::Factura && esFacturaGenerada(encabezado_.asText("CLDOC_F"));
  } catch (const dbf::Error&) {
    ui_.mensaje(kErrorGuardar);
    return false;
  }
  modificando_ = true;
  nuevo_ = false;
  return true;
}

// ---- saving ------------------------------------------------------------------------------

// The save is one unit: the records it edits are locked first (the reserved header, the
// products of its lines and of the save it replaces, the customer), then the unit takes
// the writer locks of the directories involved; whatever fails after that rolls every
// table back, so a refused save leaves nothing behind and the document stays on screen
// to be saved again.
std::vector<std::string> CapturaVenta::directoriosGuardado() const {
  return {directorioEncabezado(), aj_.dirInventario, aj_.dirDatos};
}

std::optional<std::string> CapturaVenta::bloqueaGuardado(char letra) {
  std::vector<store::Bloqueo> b;
  b.push_back({&encabezado_, encabezado_.recno(), "el documento " + campos_.numero});
  std::vector<std::pair<std::string, std::string>> productos;  // key, description
  for (const Partida& p : partidas())
    if (esGuardable(p)) productos.emplace_back(p.clave, p.producto);
  if (modificando_) {
    const std::string numero = encabezado_.asText("CLDOC_F");
    for (uint32_t r : filasDe(detalle_, numero, controlAnterior_)) {
      detalle_.goTo(r);
      productos.emplace_back(detalle_.asText("CLPRO_FD"), detalle_.asText("DEPRO_FD"));
    }
  }
  if (letra == 'F' || letra == 'R' || letra == 'D') {
    productos_.setIndex("ICLPRO");
    for (const auto& [clave, descripcion] : productos)
      if (productos_.findKey({clave})) b.push_back({&productos_, productos_.recno(), "el producto " + clave + " " + descripcion});
  }
  if (letra == 'F' || letra == 'Z') {
    clientes_.setIndex("ICLACLI");
    if (clientes_.findKey({campos_.cliente})) b.push_back({&clientes_, clientes_.recno(), "el cliente " + campos_.cliente});
    if (modificando_ && clienteAnterior_ != campos_.cliente && clientes_.findKey({clienteAnterior_}))
      b.push_back({&clientes_, clientes_.recno(), "el cliente " + clienteAnterior_});
  }
  if (auto ocupado = store::bloquea(std::move(b))) return ocupado->quien;
  return std::nullopt;
}

void CapturaVenta::liberaGuardado() {
  for (dbf::Table* t : {&encabezado_, &detalle_, &productos_, &clientes_, &movimientos_}) {
    try {
      if (t->isOpen()) t->releaseLocks();
    } catch (const dbf::Error&) {
    }
  }
}

bool CapturaVenta::guarda() {
  if (!enCaptura()) {
    ui_.mensaje(kErrorGuardar);
    return false;
  }
  if (campos_.cliente.empty()) {
    ui_.mensaje("No se puede Guardar la Factura faltan datos del Cliente");
    ui_.mensaje(kErrorGuardar);
    return false;
  }
  if (campos_.numero.empty()) {
    ui_.mensaje("Falta el Numero de Documento");
    return false;
  }
  const char letra = tipo_ == TipoVenta::Factura && generado_ ? 'Z' : defTipo(tipo_).letra;
  // What the save changes in memory, put back when it does not go through.
  const std::string numeroAntes = campos_.numero;
  const auto movimientoAntes = movimientoPendiente_;
  const long long controlAntes = control_;
  auto deshazMemoria = [&] {
    for (dbf::Table* t : {&encabezado_, &detalle_, &productos_, &clientes_, &movimientos_})
      if (t->isOpen() && t->editing()) t->cancel();
    campos_.numero = numeroAntes;
    movimientoPendiente_ = movimientoAntes;
    control_ = controlAntes;
  };
  try {
    if (auto ocupado = bloqueaGuardado(letra)) {
      ui_.mensaje("No se puede guardar: " + *ocupado +
                  " está en uso por otra estación. El documento sigue en pantalla; intente de nuevo.");
      return false;
    }
  } catch (const dbf::Error&) {
    liberaGuardado();
    ui_.mensaje(kErrorGuardar);
    return false;
  }
  try {
    store::UnidadGuardado unidad(directoriosGuardado());
    unidad.guardaDeAntemano({&encabezado_, &productos_, &clientes_, &detalle_, &movimientos_});
    if (modificando_) {
      // The previous save is undone: its movements go (their number is reused), the
      // stock they moved comes back and its lines are replaced by this save's.
      const std::string numero = encabezado_.asText("CLDOC_F");
      const std::string ref = store::referenciaMovimiento(letra, encabezado_.asInteger("CLDOC_F"), controlAnterior_);
      quitaMovimientos(ref);
      if (letra == 'F' || letra == 'R') regresaExistencias(numero, controlAnterior_, 1, 0, {});
      if (letra == 'D') regresaExistencias(numero, controlAnterior_, -1, 0, {});
      borraDetalle(numero, controlAnterior_);
    }
    posteo(letra, modificando_ ? cargoAnterior_ : 0);
    unidad.confirma();
  } catch (const dbf::LockError& e) {
    deshazMemoria();
    liberaGuardado();
    ui_.mensaje(std::string("No se puede guardar: ") + e.what() +
                ". El documento sigue en pantalla; intente de nuevo.");
    return false;
  } catch (const dbf::Error&) {
    deshazMemoria();
    liberaGuardado();
    ui_.mensaje(kErrorGuardar);
    return false;
  }
  liberaGuardado();
  try {
    if (aj_.descargaInmediata) {
      // Other stations must see the document at once: read it back from disk.
      const long long numero = encabezado_.asInteger("CLDOC_F");
      encabezado_.refresh();
      encabezado_.setIndex("INUMENC");
      if (encabezado_.findKey({static_cast<double>(numero)})) muestra();
    }
  } catch (const dbf::Error&) {
    // The document is saved; only the redisplay failed.
  }
  vendedorAnterior_ = campos_.vendedor;
  generado_ = false;
  nuevo_ = modificando_ = false;
  movimientoPendiente_.reset();
  return true;
}

void CapturaVenta::posteo(char letra, double cargoPrevio) {
  const int tipoMovimiento = defTipo(tipo_).movimiento;
  if ((letra == 'F' || letra == 'R' || letra == 'D') && aj_.registraMovimientos && tipoMovimiento != 0)
    numeroMovimiento_ = tomaNumeroMovimiento();
  escribeDocumento(letra);
  if (letra == 'F' || letra == 'Z') actualizaSaldo(cargoPrevio);
}

long long CapturaVenta::tomaNumeroMovimiento() {
  if (movimientoPendiente_) return *movimientoPendiente_;
  try {
    movimientos_.setIndex("CLDOC_MI");
    movimientos_.last();
    ultimoMovimientoLeido_ = movimientos_.isEmpty() ? 0 : movimientos_.asInteger("CLDOC_MI");
  } catch (const dbf::Error&) {
    // a failed read keeps the number read the time before
  }
  return ultimoMovimientoLeido_ + 1;
}

long long CapturaVenta::confirmaNumero() {
  long long n = encabezado_.asInteger("CLDOC_F");
  if (auto d = base::Decimal::deTexto(campos_.numero); d && !d->esCero())
    n = static_cast<long long>(d->aDouble());
  const uint32_t propio = encabezado_.recno();
  dbf::Table otro;
  otro.open(directorioEncabezado(), store::documento(defTipo(tipo_).documento).encabezado);
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

void CapturaVenta::escribeDocumento(char letra) {
  recalcula();
  const bool eraNuevo = nuevo_;
  const long long numero = eraNuevo ? confirmaNumero() : encabezado_.asInteger("CLDOC_F");
  campos_.numero = std::to_string(numero);
  control_ = base::selloControl(reloj_);
  const std::string fecha = fechaDocumento();
  const auto f = dbf::leeFecha(fecha);

  try {
    encabezado_.edit();
  } catch (const dbf::Error&) {
    ui_.mensaje(kErrorEditar);
    throw;
  }
  encabezado_.setInteger("CLDOC_F", numero);
  encabezado_.setInteger("CONTROL", control_);
  encabezado_.setText("CLCLI_F", campos_.cliente);
  encabezado_.setText("NOMBR_F", campos_.nombre);
  encabezado_.setText("DIREC_F", campos_.direccion);
  encabezado_.setText("DIRE2_F", campos_.direccion2);
  encabezado_.setText("POBLA_F", campos_.poblacion);
  encabezado_.setText("RFCXX_F", campos_.rfc);
  encabezado_.setText("CPXXX_F", campos_.codigoPostal);
  encabezado_.setText("CLVEN_F", campos_.vendedor);
  encabezado_.setFloat("CTOVE_F", leeNumero(campos_.comision));
  encabezado_.setText("BCLIM_F", campos_.caja);
  encabezado_.setFloat("DESFI_F", leeNumero(campos_.descuento));
  encabezado_.setFloat("IMIM1_F", leeNumero(campos_.tasa));
  encabezado_.setDate("FEDOC_F", f);
  encabezado_.setDate("FEENT_F", f);
  encabezado_.setDate("FEVEN_F", f);
  encabezado_.setFloat("SUBTO_F", totales_.subtotal.aDouble());
  encabezado_.setFloat("DECOT_F", totales_.descuento);
  encabezado_.setFloat("IMIM2_F", totales_.impuesto.aDouble());
  encabezado_.setFloat("IMTOD_F", totales_.total.aDouble());
  encabezado_.setFloat("COSTO_F", totales_.costo.aDouble());
  encabezado_.setFloat("FPGCX_F", totales_.fpgc);
  encabezado_.setFloat("SALDO_F", totales_.total.aDouble() - encabezado_.asFloat("ABONO_F"));
  encabezado_.setText("HORAX_F", base::horaTexto(reloj_.ahora().hora));
  if (eraNuevo) encabezado_.setText("TREGI_F", "");
  encabezado_.post();

  const std::string ref = store::referenciaMovimiento(letra, numero, control_);
  // DECOT_F keeps the discount amount; the net price needs the document's percent.
  const double descuentoDocumento = leeNumero(campos_.descuento);
  for (const Partida& p : partidas()) {
    if (!esGuardable(p)) continue;
    if (letra == 'F' || letra == 'R') {
      if (!pasoExistencia(p)) continue;  // not supplied: no movement, no line
      escribeMovimiento(p, defTipo(tipo_).movimiento, ref, numero);
    } else if (letra == 'D') {
      pasoDevolucion(p);
      escribeMovimiento(p, defTipo(tipo_).movimiento, ref, numero);
    }
    detalle_.append();
    detalle_.setText("CLDOC_FD", campos_.numero);
    detalle_.setInteger("CONTROL", control_);
    detalle_.setText("CLPRO_FD", p.clave);
    detalle_.setFloat("CANTI_FD", *p.cantidad);
    detalle_.setText("PENDI_FD", p.tara);
    detalle_.setText("DEPRO_FD", p.producto);
    detalle_.setFloat("PUNPR_FD", p.precio);
    detalle_.setFloat("PREDE_FD", p.precio * (1 - p.descuento / 100) * (1 - p.descuento2 / 100) *
                                      (1 - p.descuento3 / 100) * (1 - descuentoDocumento / 100) /
                                      (1 + p.impuesto / 100));
    detalle_.setFloat("IMPOR_FD", p.precio * *p.cantidad);
    detalle_.setFloat("COPRO_FD", p.costo);
    detalle_.setFloat("PDES1_FD", p.descuento);
    detalle_.setText("UNIDA_FD", p.unidad);
    detalle_.setText("FEDOC_FD", fecha);
    detalle_.setFloat("PIVA1_FD", p.impuesto);
    detalle_.setFloat("FPGCX_FD", p.fpgc);
    detalle_.setFloat("PIVA2_FD", p.factor);
    detalle_.post();
  }
  if (letra == 'Z') copiaAuxiliar(campos_.numero);
}

bool CapturaVenta::pasoExistencia(const Partida& p) {
  productos_.setIndex("ICLPRO");
  if (!productos_.findKey({p.clave}) || productos_.asText("DSCPR_I").empty()) return true;
  const double q = *p.cantidad;
  productos_.edit();
  const double anterior = productos_.asFloat("EXIST_I");
  if (q > anterior && aj_.controlExistencias) {
    ui_.mensaje("No hay Existencias Suficientes Para Surtir " + productos_.asText("DSCPR_I") +
                "  Existencias " + numeroTexto(anterior));
    productos_.cancel();
    return false;
  }
  const double existencia = inventory::existenciaTras(anterior, defTipo(tipo_).movimiento, q, reglasPosteo());
  const double movido = anterior - existencia;
  productos_.setFloat("EXIST_I", existencia);
  productos_.setFloat("VANCA_I", productos_.asFloat("VANCA_I") + movido);
  productos_.setFloat("VANMO_I", productos_.asFloat("VANMO_I") + movido * p.precio);
  productos_.setText("FEULV_I", fechaDocumento());
  if (productos_.asFloat("PPUBL_I") == 0) productos_.setFloat("PPUBL_I", p.precio);
  productos_.post();
  return true;
}

void CapturaVenta::pasoDevolucion(const Partida& p) {
  productos_.setIndex("ICLPRO");
  if (!productos_.findKey({p.clave})) return;
  productos_.edit();
  const double anterior = productos_.asFloat("EXIST_I");
  const double existencia = inventory::existenciaTras(anterior, defTipo(tipo_).movimiento, *p.cantidad, reglasPosteo());
  const double movido = anterior - existencia;  // negative: units come back
  productos_.setFloat("EXIST_I", existencia);
  productos_.setFloat("VANMO_I", productos_.asFloat("VANMO_I") + movido * p.precio);
  productos_.setFloat("VANCA_I", productos_.asFloat("VANCA_I") + movido);
  productos_.post();
}

void CapturaVenta::escribeMovimiento(const Partida& p, int tipo, const std::string& referencia,
                                     long long numero) {
  if (!aj_.registraMovimientos || tipo == 0) return;
  const std::string fecha = fechaDocumento();
  const auto f = base::leeFechaCorta(fecha);
  const long secuencia = base::selloSecuencia(f.value_or(reloj_.ahora().fecha), reloj_);
  inventory::Movimiento m;
  m.numero = numeroMovimiento_;
  m.tipo = tipo;
  m.clave = p.clave;
  m.descripcion = p.producto;
  m.cantidad = *p.cantidad;
  m.costo = p.costo;
  m.precio = p.precio;
  m.fecha = fecha;
  m.secuencia = secuencia;
  m.referencia = std::to_string(numero);
  m.documento = referencia;
  m.contraparte = campos_.cliente;
  m.vendedor = campos_.vendedor;
  m.origen = "F";
  m.almacen.clear();
  m.control = control_;
  // Inside the save's unit: a movement that cannot be written fails the whole save, which
  // the unit then puts back, instead of leaving a sale without its movements.
  inventory::Posteo(movimientos_, productos_, reglasPosteo()).escribe(m);
}

void CapturaVenta::actualizaSaldo(double cargoPrevio) {
  clientes_.setIndex("ICLACLI");
  // A modification moved to another customer: the first one is no longer charged.
  if (cargoPrevio != 0 && modificando_ && clienteAnterior_ != campos_.cliente) {
    if (clientes_.findKey({clienteAnterior_})) {
      clientes_.edit();
      clientes_.setFloat("SALDO_C", clientes_.asFloat("SALDO_C") - cargoPrevio);
      clientes_.setFloat("COMPR_C", clientes_.asFloat("COMPR_C") - cargoPrevio);
      clientes_.post();
    }
    cargoPrevio = 0;
  }
  if (!clientes_.findKey({campos_.cliente})) return;
  double s = totales_.subtotal.aDouble();
  s = s + s * leeNumero(campos_.tasa) * 0.01;
  clientes_.edit();
  clientes_.setDate("FULCO_C", dbf::leeFecha(fechaDocumento()));
  clientes_.setFloat("SALDO_C", clientes_.asFloat("SALDO_C") + s - cargoPrevio);
  clientes_.setFloat("COMPR_C", clientes_.asFloat("COMPR_C") + s - cargoPrevio);
  clientes_.post();
}

bool CapturaVenta::esFacturaGenerada(const std::string& numero) {
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

void CapturaVenta::liberaNotasDe(const std::string& factura) {
  const auto& doc = store::documento(defTipo(TipoVenta::Remision).documento);
  const std::string dir = directorioTipo(TipoVenta::Remision);
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

void CapturaVenta::descuentaCargo() {
  clientes_.setIndex("ICLACLI");
  if (!clientes_.findKey({encabezado_.asText("CLCLI_F")})) return;
  const double s = encabezado_.asFloat("SUBTO_F");
  const double cargo = s + s * encabezado_.asFloat("IMIM1_F") * 0.01;
  clientes_.edit();
  clientes_.setFloat("SALDO_C", clientes_.asFloat("SALDO_C") - cargo);
  clientes_.setFloat("COMPR_C", clientes_.asFloat("COMPR_C") - cargo);
  clientes_.post();
}

void CapturaVenta::quitaMovimientos(const std::string& referencia) {
  if (!aj_.registraMovimientos) return;
  movimientos_.setIndex("NUDOC_MI");
  movimientos_.setRange({referencia}, {referencia});
  movimientos_.first();
  if (!movimientos_.isEmpty()) movimientoPendiente_ = movimientos_.asInteger("CLDOC_MI");
  borraTodo(movimientos_);
  movimientos_.cancelRange();
  movimientos_.setIndex("CLDOC_MI");
}

void CapturaVenta::regresaExistencias(const std::string& numero, long long sello, int signo,
                                      int tipoReverso, const std::string& referencia) {
  std::vector<Partida> lineas;
  for (uint32_t r : filasDe(detalle_, numero, sello)) {
    detalle_.goTo(r);
    lineas.push_back(partidaDeDetalle(detalle_, LecturaDetalle::Existencias));
  }
  if (tipoReverso != 0 && aj_.registraMovimientos) numeroMovimiento_ = tomaNumeroMovimiento();
  productos_.setIndex("ICLPRO");
  for (const Partida& p : lineas) {
    if (productos_.findKey({p.clave})) {
      const double q = *p.cantidad * signo;
      productos_.edit();
      // The reversal puts back exactly what the save moved: no clamp at zero.
      productos_.setFloat("EXIST_I", productos_.asFloat("EXIST_I") + q);
      productos_.setFloat("VANCA_I", productos_.asFloat("VANCA_I") - q);
      productos_.setFloat("VANMO_I", productos_.asFloat("VANMO_I") - q * p.precio);
      productos_.post();
    }
    if (tipoReverso != 0) escribeMovimiento(p, tipoReverso, referencia, std::stoll(numero));
  }
}

void CapturaVenta::borraDetalle(const std::string& numero, long long sello) {
  for (uint32_t r : filasDe(detalle_, numero, sello)) {
    detalle_.goTo(r);
    detalle_.remove();
  }
}

void CapturaVenta::copiaAuxiliar(const std::string& numero) {
  const auto& aux = store::documento(store::Documento::FacturaAuxiliar);
  dbf::Table e, d;
  e.open(aj_.dirDatos, aux.encabezado);
  e.setIndex("INUMENC");
  e.setRange({numero}, {numero});
  borraTodo(e);
  e.cancelRange();
  e.append();
  for (const auto& f : encabezado_.fieldDefs()) {
    const int i = e.fieldIndex(f.name);
    if (i < 0) continue;
    const int j = encabezado_.requireField(f.name);
    if (encabezado_.isNull(j)) continue;
    if (f.type == 'D') e.setDate(i, encabezado_.asDate(j));
    else if (f.type == 'N' || f.type == 'F') e.setFloat(i, encabezado_.asFloat(j));
    else e.setText(i, encabezado_.asText(j));
  }
  e.post();
  d.open(aj_.dirDatos, aux.detalle);
  d.setIndex("CLDOC_FD");
  d.setRange({numero}, {numero});
  borraTodo(d);
  d.cancelRange();
  for (uint32_t r : filasDe(detalle_, numero, control_)) {
    detalle_.goTo(r);
    d.append();
    for (const auto& f : detalle_.fieldDefs()) {
      const int i = d.fieldIndex(f.name);
      const int j = detalle_.requireField(f.name);
      if (i < 0 || detalle_.isNull(j)) continue;
      if (f.type == 'N' || f.type == 'F') d.setFloat(i, detalle_.asFloat(j));
      else d.setText(i, detalle_.asText(j));
    }
    d.post();
  }
}

// ---- delete and cancel ----------------------------------------------------------------------

bool CapturaVenta::elimina() {
  if (!session::checaDerecho(ui_, aj_.dirSistema, aj_.usuario, 22)) return false;
  try {
    if (!encabezado_.isOpen() || encabezado_.isEmpty()) return false;
    if (ui_.advertencia("Esta Seguro que Desea ELIMINAR este Documento ?") != base::RespuestaAdvertencia::Si)
      return false;
    const char letra = defTipo(tipo_).letra;
    const std::string numero = encabezado_.asText("CLDOC_F");
    const long long sello = encabezado_.asInteger("CONTROL");
    const std::string ref = store::referenciaMovimiento(letra, encabezado_.asInteger("CLDOC_F"), sello);
    store::UnidadGuardado unidad(directoriosGuardado());
    if (tipo_ == TipoVenta::Factura) {
      movimientos_.setIndex("NUDOC_MI");
      movimientos_.setRange({ref}, {ref});
      movimientos_.first();
      const bool tiene = !movimientos_.isEmpty();
      movimientos_.cancelRange();
      movimientos_.setIndex("CLDOC_MI");
      if (tiene) {
        ui_.mensaje("El documento No Puede Eliminarse Posee Movimientos");
        return false;
      }
    }
    // What the save did is undone before its rows go. A cancelled document already gave
    // its stock (and its charge) back.
    const bool cancelado = store::cancelado(encabezado_.asText("STATU_F"));
    if (!cancelado) {
      if (tipo_ == TipoVenta::Remision) {
        regresaExistencias(numero, sello, 1, 0, {});
        quitaMovimientos(ref);
      } else if (tipo_ == TipoVenta::Devolucion) {
        regresaExistencias(numero, sello, -1, 0, {});
        quitaMovimientos(ref);
      } else if (tipo_ == TipoVenta::Factura) {
        // An invoice made from notes took no stock: its notes become invoiceable again.
        // A plain one gives its stock back. Either charged its customer.
        if (esFacturaGenerada(numero))
          liberaNotasDe(numero);
        else
          regresaExistencias(numero, sello, 1, 0, {});
        descuentaCargo();
      }
    }
    borraDetalle(numero, sello);
    encabezado_.remove();
    unidad.confirma();
  } catch (const dbf::Error&) {
    if (productos_.editing()) productos_.cancel();
    liberaGuardado();
    ui_.mensaje(kErrorGuardar);
    return false;
  }
  liberaGuardado();
  nuevo_ = modificando_ = false;
  movimientoPendiente_.reset();
  muestra();
  return true;
}

bool CapturaVenta::cancela() {
  const bool permitido =
      aj_.usuario == "0" ||
      session::evaluaDerecho(aj_.dirSistema, aj_.usuario, 52) == session::Derecho::Concedido ||
      session::confirmacionAdministrador(ui_);
  if (!permitido) {
    ui_.mensaje("No se tiene acceso a esta opción");
    return false;
  }
  try {
    if (!encabezado_.isOpen() || encabezado_.isEmpty()) return false;
    if (ui_.advertencia("Esta Seguro que Desea CANCELAR este Documento ?") != base::RespuestaAdvertencia::Si)
      return false;
    if (store::cancelado(encabezado_.asText("STATU_F"))) {
      ui_.mensaje("La Factura Ya Fue Cancelada");
      return false;
    }
    const std::string numero = encabezado_.asText("CLDOC_F");
    const long long sello = encabezado_.asInteger("CONTROL");
    const char letra = defTipo(tipo_).letra;
    const std::string ref = store::referenciaMovimiento(letra, encabezado_.asInteger("CLDOC_F"), sello) + "C";
    store::UnidadGuardado unidad(directoriosGuardado());
    // Delivery notes and returns give back what their save moved, with reversing
    // movements; the customer's balance was never raised by them.
    const long long controlGuardado = control_;
    control_ = sello;
    if (tipo_ == TipoVenta::Remision) regresaExistencias(numero, sello, 1, 52, ref);
    if (tipo_ == TipoVenta::Devolucion) regresaExistencias(numero, sello, -1, 3, ref);
    control_ = controlGuardado;
    // An invoice charged its customer when it was saved: cancelling it takes the charge
    // back, or a cancelled (and usually re-issued) invoice would stay owed.
    if (tipo_ == TipoVenta::Factura) descuentaCargo();
    encabezado_.edit();
    encabezado_.setText("STATU_F", store::estado::kCancelado);
    encabezado_.post();
    for (uint32_t r : filasDe(detalle_, numero, -1)) {
      detalle_.goTo(r);
      detalle_.edit();
      detalle_.setText("TREGI_FD", store::estado::kLineaCancelada);
      detalle_.post();
    }
    unidad.confirma();
  } catch (const dbf::Error&) {
    if (encabezado_.editing()) encabezado_.cancel();
    if (detalle_.editing()) detalle_.cancel();
    if (productos_.editing()) productos_.cancel();
    if (clientes_.editing()) clientes_.cancel();
    liberaGuardado();
    ui_.mensaje(kErrorGuardar);
    return false;
  }
  liberaGuardado();
  return true;
}

}  // namespace mostrador::sales
