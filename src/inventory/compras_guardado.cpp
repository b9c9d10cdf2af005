// Saving, modifying, cancelling and deleting purchase documents. Each is one save unit:
// the records it edits are locked first, then the unit takes the directories, and a
// failure anywhere after that puts every table back.
#include <algorithm>
#include <cmath>
#include <map>
#include <set>

#include "base/fechas.h"
#include "base/numeros.h"
#include "base/rutas.h"
#include "base/texto.h"
#include "base/texto_util.h"
#include "inventory/compras.h"
#include "inventory/precios.h"
#include "store/dbf/dbf_table.h"
#include "store/estados.h"
#include "store/numeracion.h"
#include "store/unidad.h"

namespace mostrador::inventory {

namespace {

constexpr const char* kProductos = "inventar.dbf";
constexpr const char* kProveedores = "proveedo.dbf";
constexpr const char* kPagar = "cuepagar.dbf";
constexpr const char* kCapas = "Costeo.dbf";
constexpr const char* kContador = "numeroc.dbf";
constexpr int kTipoCompraCxP = 51;
// A cancelled return puts its goods back as an entry that leaves the average alone (the
// return never moved it) and is not counted as a purchase by the purchase average.
constexpr int kTipoReingreso = 56;
constexpr double kCentavo = 0.005;

std::string ocupado(const std::string& quien) {
  return "No se puede guardar: " + quien + " está en uso por otra estación; intente de nuevo.";
}

bool esMetodoCapas(const std::string& metodo) { return metodo == "PEPS" || metodo == "UEPS"; }

// The tables one save uses, opened once.
struct Tablas {
  dbf::Table enc, det, prods, movs, prov, pagar, capas, contador;
  void abre(const AjustesCompras& a, TipoCompra t) {
    enc.open(a.dirDatos, tablaEncabezadoCompra(t));
    det.open(a.dirDatos, tablaDetalleCompra(t));
    prods.open(a.dirCatalogo, kProductos);
    if (a.integrado) movs.open(a.dirCatalogo, kTablaMovimientos);
    if (t == TipoCompra::Recepcion) {
      prov.open(a.dirDatos, kProveedores);
      pagar.open(a.dirDatos, kPagar);
      if (base::existe(base::une(a.dirDatos, kCapas))) capas.open(a.dirDatos, kCapas);
      if (base::existe(base::une(a.dirDatos, kContador))) contador.open(a.dirDatos, kContador);
    }
  }
  std::vector<dbf::Table*> todas() { return {&enc, &det, &prods, &movs, &prov, &pagar, &capas, &contador}; }
  void libera() {
    for (dbf::Table* t : todas()) {
      try {
        if (t->isOpen()) {
          if (t->editing()) t->cancel();
          t->releaseLocks();
        }
      } catch (const dbf::Error&) {
      }
    }
  }
};

// The saved header of a number: CONTROL set (a proposal's empty header is not a
// document). Leaves the handle on it.
std::optional<uint32_t> buscaGuardado(dbf::Table& e, long long numero) {
  e.setIndex("ICOMENC");
  e.setRange({static_cast<double>(numero)}, {static_cast<double>(numero)});
  std::optional<uint32_t> r;
  for (e.first(); !e.eof(); e.next())
    if (!e.isNull("CONTROL")) {
      r = e.recno();
      break;
    }
  e.cancelRange();
  if (r) e.goTo(*r);
  return r;
}

// The highest number of a saved document.
long long ultimoGuardado(dbf::Table& e) {
  e.setIndex("ICOMENC");
  if (e.isEmpty()) return 0;
  for (e.last(); !e.bof(); e.prior())
    if (!e.isNull("CONTROL")) return e.asInteger("CLDOC_O");
  return 0;
}

struct LineaGuardada {
  uint32_t registro = 0;
  std::string clave;
  double cantidad = 0, costoNeto = 0;
};

// The lines of a document (with a stamp, unless sello < 0).
std::vector<LineaGuardada> lineasDe(dbf::Table& d, long long numero, long long sello, double descuentoDoc) {
  std::vector<LineaGuardada> r;
  const std::string n = std::to_string(numero);
  d.setIndex("ICOMDET");
  d.setRange({n}, {n});
  for (d.first(); !d.eof(); d.next()) {
    if (sello >= 0 && d.asInteger("CONTROL") != sello) continue;
    PartidaCompra p;
    p.costo = d.asFloat("CUNIT_OD");
    p.descuento1 = d.asFloat("PODES_OD");
    p.descuento2 = d.asFloat("PODE2_OD");
    p.descuento3 = d.asFloat("PODE3_OD");
    r.push_back({d.recno(), d.asText("CLPRO_OD"), d.asFloat("CANTI_OD"), costoNeto(p, descuentoDoc)});
  }
  d.cancelRange();
  return r;
}

// Payments recorded against a receipt's payable (live entries of operation "A").
bool tienePagos(dbf::Table& pagar, long long numero) {
  pagar.setIndex("NUCOM_CP");
  pagar.setRange({static_cast<double>(numero)}, {static_cast<double>(numero)});
  bool pagos = false;
  for (pagar.first(); !pagar.eof() && !pagos; pagar.next())
    pagos = pagar.asText("OPERA_CP") == "A" && pagar.asText("STATU_CP") != "C";
  pagar.cancelRange();
  return pagos;
}

std::vector<uint32_t> asientosDe(dbf::Table& pagar, long long numero) {
  std::vector<uint32_t> r;
  pagar.setIndex("NUCOM_CP");
  pagar.setRange({static_cast<double>(numero)}, {static_cast<double>(numero)});
  for (pagar.first(); !pagar.eof(); pagar.next()) r.push_back(pagar.recno());
  pagar.cancelRange();
  return r;
}

// Removes the movements of a reference; returns the movement number they had (0: none).
long long quitaMovimientos(dbf::Table& movs, const std::string& referencia) {
  if (!movs.isOpen()) return 0;
  long long numero = 0;
  movs.setIndex("NUDOC_MI");
  movs.setRange({referencia}, {referencia});
  for (movs.first(); !movs.isEmpty(); movs.first()) {
    if (numero == 0) numero = movs.asInteger("CLDOC_MI");
    movs.remove();
  }
  movs.cancelRange();
  return numero;
}

void quitaCapas(dbf::Table& capas, const std::vector<LineaGuardada>& lineas, long long numero) {
  if (!capas.isOpen()) return;
  std::set<std::string> claves;
  for (const LineaGuardada& l : lineas) claves.insert(l.clave);
  capas.setIndex("CLPRO_I");
  for (const std::string& k : claves) {
    capas.setRange({k}, {k});
    std::vector<uint32_t> fuera;
    for (capas.first(); !capas.eof(); capas.next())
      if (capas.asInteger("CLDOC_I") == numero) fuera.push_back(capas.recno());
    capas.cancelRange();
    for (uint32_t r : fuera) {
      capas.goTo(r);
      capas.remove();
    }
  }
}

// The average before an entry of q at cost c, from the average after it: the posting
// rule's weighted mean run backwards. Only a "PROM" product with stock left after the
// units go has one; otherwise the average stays.
void desPromedia(dbf::Table& prods, double q, double c) {
  const std::string metodo = prods.asText("TICOS_I");
  if (!(metodo.empty() || metodo == "PROM") || c <= 0) return;
  const double s = prods.asFloat("EXIST_I"), a = prods.asFloat("CPROM_I");
  if (s - q <= 0) return;
  prods.setFloat("CPROM_I", (s * a - q * c) / (s - q));
}

struct Proveedor {
  uint32_t registro = 0;
  std::string nombre, direccion, poblacion;
  int dias = 0;
  double margen = 0;
};

std::optional<Proveedor> proveedorDe(dbf::Table& prov, const std::string& clave) {
  prov.setIndex("ICLAPRO");
  if (!prov.findKey({clave})) return std::nullopt;
  return Proveedor{prov.recno(), prov.asText("NOMBR_P"), prov.asText("DIREC_P"), prov.asText("POBLA_P"),
                   static_cast<int>(prov.asInteger("DCRED_P")), prov.asFloat("POUTI_P")};
}

// Adds (or with a negative amount takes off) a receipt's total to the supplier.
void sumaProveedor(dbf::Table& prov, uint32_t registro, double total, const std::string& fecha) {
  prov.goTo(registro);
  prov.edit();
  prov.setFloat("SALDO_P", base::redondea(prov.asFloat("SALDO_P") + total, 4));
  prov.setFloat("COMPR_P", base::redondea(prov.asFloat("COMPR_P") + total, 4));
  prov.setFloat("CARGO_P", base::redondea(prov.asFloat("CARGO_P") + total, 4));
  if (!fecha.empty()) prov.setText("FULCO_P", fecha);
  prov.post();
}

// What the previous save of a document did, as its records say.
struct Previo {
  uint32_t registro = 0;
  long long control = 0;
  std::string proveedor, estado;
  double total = 0, descuento = 0;
  std::vector<LineaGuardada> lineas;
};

Previo leePrevio(Tablas& t, uint32_t registro, long long numero) {
  Previo p;
  t.enc.goTo(registro);
  p.registro = registro;
  p.control = t.enc.asInteger("CONTROL");
  p.proveedor = t.enc.asText("CLPRV_O");
  p.estado = t.enc.asText("STDOC_O");
  p.total = t.enc.asFloat("IMDOC_O");
  p.descuento = t.enc.asFloat("DTOTA_O");
  p.lineas = lineasDe(t.det, numero, p.control, p.descuento);
  return p;
}

// Undoes what an active document's save did to stock, costs, quantities on order,
// movements, cost layers and the supplier's balance (the lines and the header stay).
// Returns the movement number the save had.
long long deshaz(const AjustesCompras& a, TipoCompra tipo, Tablas& t, const Previo& p, long long numero,
                 Posteo& posteo) {
  const char letra = letraCompra(tipo);
  long long mov = 0;
  if (letra) mov = quitaMovimientos(t.movs, store::referenciaMovimiento(letra, numero, p.control));
  t.prods.setIndex("ICLPRO");
  for (const LineaGuardada& l : p.lineas) {
    if (!t.prods.findKey({l.clave})) continue;
    if (tipo == TipoCompra::Recepcion) {
      t.prods.edit();
      desPromedia(t.prods, l.cantidad, l.costoNeto);
      t.prods.post();
      posteo.aplica(2, l.clave, l.cantidad, 0);
    } else if (tipo == TipoCompra::Devolucion) {
      posteo.aplica(kTipoReingreso, l.clave, l.cantidad, 0);
    } else {
      t.prods.edit();
      t.prods.setFloat("COMRE_I", std::max(0.0, t.prods.asFloat("COMRE_I") - l.cantidad));
      t.prods.post();
    }
  }
  if (tipo == TipoCompra::Recepcion) {
    quitaCapas(t.capas, p.lineas, numero);
    if (auto pr = proveedorDe(t.prov, p.proveedor)) sumaProveedor(t.prov, pr->registro, -p.total, {});
  }
  (void)a;
  return mov;
}

// Lock phase of a save: the header it replaces or fills, the supplier(s), the products.
std::optional<std::string> bloqueaTodo(Tablas& t, const std::vector<uint32_t>& encabezados,
                                       const std::vector<std::string>& proveedores,
                                       const std::vector<std::string>& claves) {
  std::vector<store::Bloqueo> b;
  for (uint32_t r : encabezados)
    if (r) b.push_back({&t.enc, r, "el documento"});
  if (t.prov.isOpen()) {
    t.prov.setIndex("ICLAPRO");
    std::set<std::string> vistos;
    for (const std::string& k : proveedores)
      if (vistos.insert(k).second && t.prov.findKey({k})) b.push_back({&t.prov, t.prov.recno(), "el proveedor " + k});
  }
  t.prods.setIndex("ICLPRO");
  std::set<std::string> vistos;
  for (const std::string& k : claves)
    if (vistos.insert(k).second && t.prods.findKey({k}))
      b.push_back({&t.prods, t.prods.recno(), "el producto " + k + " " + t.prods.asText("DSCPR_I")});
  if (auto o = store::bloquea(std::move(b))) return o->quien;
  return std::nullopt;
}

bool esPropuesta(dbf::Table& e, uint32_t r) {
  return r != 0 && e.goTo(r) && e.isNull("CONTROL") && base::recortaBlancos(e.asText("CLPRV_O")).empty();
}

ResultadoCompra graba(const AjustesCompras& a, const DocumentoCompra& d, std::optional<long long> modificar,
                      const base::Reloj& reloj) {
  ResultadoCompra r;
  try {
    if (std::string m = validaCompra(a, d); !m.empty()) {
      r.mensaje = std::move(m);
      return r;
    }
  } catch (const dbf::Error&) {
    r.mensaje = kErrorAbrirCompra;
    return r;
  }
  const TipoCompra tipo = d.tipo;
  const bool recepcion = tipo == TipoCompra::Recepcion;
  Tablas t;
  try {
    t.abre(a, tipo);
  } catch (const dbf::Error&) {
    r.mensaje = kErrorAbrirCompra;
    return r;
  }
  try {
    // What a modification replaces, read before the locks to know what to lock and
    // again under them.
    std::optional<uint32_t> registroPrevio;
    std::vector<std::string> claves, proveedores{d.proveedor};
    for (const PartidaCompra& p : d.partidas) claves.push_back(p.clave);
    if (modificar) {
      registroPrevio = buscaGuardado(t.enc, *modificar);
      if (!registroPrevio) {
        r.mensaje = kDocumentoNoExiste;
        return r;
      }
      const Previo p = leePrevio(t, *registroPrevio, *modificar);
      proveedores.push_back(p.proveedor);
      for (const LineaGuardada& l : p.lineas) claves.push_back(l.clave);
    } else if (d.numero > 0 && buscaGuardado(t.enc, d.numero)) {
      r.mensaje = kNumeroRepetido;
      return r;
    }
    const uint32_t reservado = !modificar && esPropuesta(t.enc, d.reservado) ? d.reservado : 0;
    if (auto o = bloqueaTodo(t, {registroPrevio.value_or(0), reservado}, proveedores, claves)) {
      t.libera();
      r.mensaje = ocupado(*o);
      return r;
    }
    store::UnidadGuardado unidad({a.dirDatos, a.dirCatalogo});
    unidad.guardaDeAntemano({&t.enc, &t.prov, &t.prods});
    Posteo posteo(t.movs, t.prods, a.reglas);

    long long numero = 0;
    long long movimiento = 0;
    double abono = 0;
    if (modificar) {
      numero = *modificar;
      const Previo p = leePrevio(t, *registroPrevio, numero);
      if (store::cancelado(p.estado)) {
        t.libera();
        r.mensaje = kYaCancelado;
        return r;
      }
      abono = t.enc.asFloat("ABONO_O");
      movimiento = deshaz(a, tipo, t, p, numero, posteo);
      for (const LineaGuardada& l : p.lineas) {
        t.det.goTo(l.registro);
        t.det.remove();
      }
    } else {
      // The number is taken here, under the unit's lock, so that two stations never get
      // the same one; the receipts' counter grows with every receipt saved.
      const long long ultimo = ultimoGuardado(t.enc);
      long long contador = 0;
      if (t.contador.isOpen()) {
        t.contador.last();
        if (!t.contador.isEmpty()) contador = t.contador.asInteger("NUMERO");
      }
      if (d.numero > 0) {
        if (buscaGuardado(t.enc, d.numero)) {
          t.libera();
          r.mensaje = kNumeroRepetido;
          return r;
        }
        numero = d.numero;
      } else {
        numero = std::max(ultimo, contador) + 1;
      }
      if (t.contador.isOpen() && numero > contador) {
        t.contador.append();
        t.contador.setInteger("NUMERO", numero);
        t.contador.post();
      }
    }
    if (t.movs.isOpen() && letraCompra(tipo) && movimiento == 0) movimiento = siguienteMovimiento(t.movs);

    const long long control = base::selloControl(reloj);
    const TotalesCompra tot = totalesCompra(d, a.preciosConImpuesto);
    const auto fecha = base::leeFechaCorta(d.fecha);
    const std::string fechaTexto = base::fechaCorta(*fecha);
    const long secuencia = base::selloSecuencia(*fecha, reloj);
    const std::string ref = letraCompra(tipo) ? store::referenciaMovimiento(letraCompra(tipo), numero, control) : "";

    std::optional<Proveedor> proveedor;
    if (t.prov.isOpen()) proveedor = proveedorDe(t.prov, d.proveedor);
    else {
      dbf::Table pv;
      pv.open(a.dirDatos, kProveedores);
      proveedor = proveedorDe(pv, d.proveedor);
    }

    // 1. The supplier owes this receipt's total.
    if (recepcion) sumaProveedor(t.prov, proveedor->registro, tot.total.aDouble(), fechaTexto);

    // 3 and 4. Lines, movements, stock, costs, layers, prices, quantities on order.
    t.prods.setIndex("ICLPRO");
    for (const PartidaCompra& p : d.partidas) {
      const double c = costoNeto(p, d.descuento);
      t.det.append();
      t.det.setText("CLDOC_OD", std::to_string(numero));
      t.det.setInteger("CONTROL", control);
      t.det.setText("CLPRO_OD", p.clave);
      // A line typed without its description (the command line's) takes the catalogue's.
      std::string descripcionLinea = p.descripcion;
      if (descripcionLinea.empty() && t.prods.findKey({p.clave})) descripcionLinea = t.prods.asText("DSCPR_I");
      t.det.setText("DESCR_OD", descripcionLinea);
      t.det.setFloat("CANTI_OD", p.cantidad);
      t.det.setFloat("CAJAS_OD", p.cajas);
      t.det.setFloat("CUNIT_OD", p.costo);
      t.det.setFloat("PODES_OD", p.descuento1);
      t.det.setFloat("PODE2_OD", p.descuento2);
      t.det.setFloat("PODE3_OD", p.descuento3);
      t.det.setFloat("POIVA_OD", p.impuesto);
      t.det.setFloat("PRECL_OD", p.precioCliente);
      t.det.setText("CADUC_OD", p.caducidad);
      t.det.setText("FEDOC_OD", fechaTexto);
      t.det.setText("NALMA_OD", d.almacen);
      t.det.setText("REFER_OD", p.referencia);
      t.det.post();

      if (tipo == TipoCompra::Orden) {
        if (t.prods.findKey({p.clave})) {
          t.prods.edit();
          t.prods.setFloat("COMRE_I", t.prods.asFloat("COMRE_I") + p.cantidad);
          t.prods.post();
        }
        continue;
      }
      if (!t.prods.findKey({p.clave})) continue;
      const double ultimoAntes = t.prods.asFloat("ULCOS_I");
      std::string descripcion = p.descripcion.empty() ? t.prods.asText("DSCPR_I") : p.descripcion;
      // Stock and average through the posting rule, once: with the movement record when
      // movements are integrated, without it otherwise.
      const int tm = movimientoCompra(tipo);
      if (t.movs.isOpen()) {
        Movimiento m;
        m.numero = movimiento;
        m.tipo = tm;
        m.clave = p.clave;
        m.descripcion = descripcion;
        m.costo = c;
        m.precio = p.costo;
        m.fecha = fechaTexto;
        m.secuencia = secuencia;
        m.referencia = d.referencia;
        m.documento = ref;
        m.contraparte = d.proveedor;
        m.origen = "C";
        m.almacen = d.almacen.empty() ? "1" : d.almacen;
        m.usuario = std::strtol(a.usuario.c_str(), nullptr, 10);
        m.usuarioTexto = a.usuario;
        m.control = control;
        posteo.posta(m, p.cantidad);
      } else {
        posteo.aplica(tm, p.clave, p.cantidad, c);
      }
      if (tipo == TipoCompra::Devolucion) continue;  // a return leaves costs and prices alone

      t.prods.findKey({p.clave});
      t.prods.edit();
      t.prods.setFloat("ULCOS_I", c);
      if (esMetodoCapas(t.prods.asText("TICOS_I")) && t.capas.isOpen()) {
        t.capas.append();
        t.capas.setText("CLPRO_I", p.clave);
        t.capas.setInteger("CLDOC_I", numero);
        t.capas.setFloat("CANTI_I", p.cantidad);
        t.capas.setDate("FECHA_I", dbf::Fecha{fecha->anio, fecha->mes, fecha->dia});
        t.capas.post();
      }
      if (a.recalculaPrecios && c >= ultimoAntes) {
        for (size_t n = 0; n < kCamposPrecio.size(); ++n) {
          const double margen = t.prods.asFloat(kCamposMargen[n]);
          if (margen > 0) t.prods.setFloat(kCamposPrecio[n], precioPorMargen(c, margen));
        }
      } else if (p.precioCliente > 0 && p.precioCliente != t.prods.asFloat("PPUBL_I")) {
        t.prods.setFloat("PPUBL_I", p.precioCliente);
      }
      if (proveedor->margen > 0 && ultimoAntes < p.costo)
        t.prods.setFloat("PPUBL_I", p.costo * (1 + proveedor->margen / 100));
      // "opc_com.cnf": the sale price typed on the line has the last word.
      if (a.conservaPrecio && p.precioCliente > 0) t.prods.setFloat("PPUBL_I", p.precioCliente);
      t.prods.setText("FEULC_I", fechaTexto);
      // 6. What was on order is received: never below nothing on order.
      t.prods.setFloat("COMRE_I", std::max(0.0, t.prods.asFloat("COMRE_I") - p.cantidad));
      t.prods.post();
    }

    // 5. Header.
    if (modificar) {
      t.enc.goTo(*registroPrevio);
      t.enc.edit();
    } else if (reservado) {
      t.enc.goTo(reservado);
      t.enc.edit();
    } else {
      t.enc.append();
    }
    const auto recibido = base::leeFechaCorta(d.fechaRecepcion).value_or(*fecha);
    std::string pago = d.fechaPago;
    if (!base::leeFechaCorta(pago)) pago = fechaPagoPropuesta(base::fechaCorta(recibido), proveedor->dias);
    const auto fp = base::leeFechaCorta(pago).value_or(recibido);
    auto comoDbf = [](const base::Fecha& f) { return dbf::Fecha{f.anio, f.mes, f.dia}; };
    t.enc.setInteger("CLDOC_O", numero);
    t.enc.setInteger("CONTROL", control);
    t.enc.setText("CLPRV_O", d.proveedor);
    t.enc.setText("NOMBR_O", proveedor->nombre);
    t.enc.setText("DIREC_O", proveedor->direccion);
    t.enc.setText("POBLA_O", proveedor->poblacion);
    t.enc.setDate("FEDOC_O", comoDbf(*fecha));
    t.enc.setDate("FEREC_O", comoDbf(recibido));
    t.enc.setDate("FEPAG_O", comoDbf(fp));
    t.enc.setText("REFER_O", d.referencia);
    t.enc.setText("MONED_O", d.moneda);
    t.enc.setFloat("DTOTA_O", d.descuento);
    t.enc.setFloat("SUBTO_O", tot.subtotal.aDouble());
    t.enc.setFloat("IMPMO_O", tot.impuesto.aDouble());
    t.enc.setFloat("IMDOC_O", tot.total.aDouble());
    t.enc.setFloat("ABONO_O", abono);
    t.enc.setFloat("SALDO_O", base::redondea(tot.total.aDouble() - abono, 4));
    t.enc.setText("NALMA_O", d.almacen);
    t.enc.setText("TREGI_O", a.integrado ? "S" : "N");
    t.enc.setInteger("HORAF_F", std::strtol(a.usuario.c_str(), nullptr, 10));
    t.enc.setText("USUARIO", a.nombreUsuario);
    t.enc.post();

    // The payable: the receipt's own entry carries its total and balance.
    if (recepcion) {
      const std::vector<uint32_t> asientos = asientosDe(t.pagar, numero);
      std::optional<uint32_t> propio;
      double saldo = 0;
      for (uint32_t x : asientos) {
        t.pagar.goTo(x);
        if (t.pagar.asText("STATU_CP") == "C") continue;
        if (!propio && t.pagar.asInteger("TIMOV_CP") == kTipoCompraCxP && t.pagar.asText("OPERA_CP") != "A") {
          propio = x;
          continue;
        }
        const double v = t.pagar.asFloat("IMCUE_CP");
        saldo += t.pagar.asText("OPERA_CP") == "A" ? -v : v;
      }
      saldo = base::redondea(saldo + tot.total.aDouble(), 4);
      if (propio) {
        t.pagar.goTo(*propio);
        t.pagar.edit();
      } else {
        t.pagar.append();
        t.pagar.setInteger("NUCOM_CP", numero);
        t.pagar.setInteger("TIMOV_CP", kTipoCompraCxP);
        t.pagar.setText("CONCE_CP", "Compra");
        t.pagar.setText("OPERA_CP", "C");
      }
      t.pagar.setText("NUDOC_CP", d.referencia.empty() ? std::to_string(numero) : d.referencia);
      t.pagar.setText("CLCLI_CP", d.proveedor);
      t.pagar.setText("CLPRO_CP", d.proveedor);
      t.pagar.setText("NOMBR_CP", proveedor->nombre);
      t.pagar.setFloat("IMCUE_CP", tot.total.aDouble());
      t.pagar.setFloat("SALDO_CP", saldo);
      t.pagar.setText("FEAPL_CP", fechaTexto);
      t.pagar.setText("FEVEN_CP", base::fechaCorta(fp));
      t.pagar.post();
    }
    unidad.confirma();
    t.libera();
    r.hecho = true;
    r.numero = numero;
    r.control = control;
    r.totales = tot;
  } catch (const dbf::LockError& e) {
    t.libera();
    r = ResultadoCompra{};
    r.mensaje = std::string("No se puede guardar: ") + e.what() + "; intente de nuevo.";
  } catch (const dbf::Error&) {
    t.libera();
    r = ResultadoCompra{};
    r.mensaje = kErrorGuardarCompra;
  }
  return r;
}

}  // namespace

std::string validaCompra(const AjustesCompras& a, const DocumentoCompra& d) {
  if (base::recortaBlancos(d.proveedor).empty()) return std::string(kFaltaProveedor);
  if (!base::leeFechaCorta(d.fecha)) return std::string(kFechaNoValida);
  if (d.descuento < 0 || d.descuento >= 100) return "El Descuento no es Válido";
  if (d.partidas.empty()) return std::string(kSinPartidas);
  {
    dbf::Table pv;
    pv.open(a.dirDatos, kProveedores);
    pv.setIndex("ICLAPRO");
    if (!pv.findKey({base::recortaBlancos(d.proveedor)})) return std::string(kProveedorNoExiste) + " el Proveedor " + d.proveedor;
  }
  dbf::Table p;
  p.open(a.dirCatalogo, kProductos);
  p.setIndex("ICLPRO");
  for (const PartidaCompra& l : d.partidas) {
    if (l.clave.empty() || !p.findKey({l.clave})) return std::string(kClaveNoEncontrada) + l.clave;
    if (!(l.cantidad > 0) || !std::isfinite(l.cantidad)) return "La Cantidad no es Válida: " + l.clave;
    if (!(l.costo >= 0) || !std::isfinite(l.costo)) return "El Costo no es Válido: " + l.clave;
    for (double x : {l.descuento1, l.descuento2, l.descuento3})
      if (!(x >= 0 && x < 100)) return "El Descuento no es Válido: " + l.clave;
    if (!(l.precioCliente >= 0)) return "El Precio no es Válido: " + l.clave;
  }
  return {};
}

ResultadoCompra guardaCompra(const AjustesCompras& a, const DocumentoCompra& d, const base::Reloj& reloj) {
  return graba(a, d, std::nullopt, reloj);
}

ResultadoCompra modificaCompra(const AjustesCompras& a, long long numero, const DocumentoCompra& d,
                               const base::Reloj& reloj) {
  return graba(a, d, numero, reloj);
}

namespace {

enum class Accion { Cancela, Elimina };

ResultadoCompra deshazDocumento(const AjustesCompras& a, TipoCompra tipo, long long numero, Confirma confirma,
                                const base::Reloj* reloj, Accion accion) {
  ResultadoCompra r;
  r.numero = numero;
  Tablas t;
  try {
    t.abre(a, tipo);
  } catch (const dbf::Error&) {
    r.mensaje = kErrorAbrirCompra;
    return r;
  }
  try {
    const auto registro = buscaGuardado(t.enc, numero);
    if (!registro) {
      r.mensaje = kDocumentoNoExiste;
      return r;
    }
    Previo p = leePrevio(t, *registro, numero);
    const bool cancelado = store::cancelado(p.estado);
    if (accion == Accion::Cancela && cancelado) {
      r.mensaje = kYaCancelado;
      return r;
    }
    if (tipo == TipoCompra::Recepcion && tienePagos(t.pagar, numero)) {
      r.mensaje = kTienePagos;
      return r;
    }
    // A receipt whose goods are gone cannot be taken back out of a stock that may not
    // go below zero: the stock would stop agreeing with the movements.
    if (accion == Accion::Elimina && !cancelado && tipo == TipoCompra::Recepcion && a.reglas.sinNegativos) {
      t.prods.setIndex("ICLPRO");
      std::map<std::string, double> porClave;
      for (const LineaGuardada& l : p.lineas) porClave[l.clave] += l.cantidad;
      for (const auto& [k, q] : porClave)
        if (t.prods.findKey({k}) && t.prods.asFloat("EXIST_I") < q) {
          r.mensaje = kTieneMovimientos;
          return r;
        }
    }
    if (confirma && !confirma(accion == Accion::Cancela ? kPreguntaCancelar : kPreguntaEliminar)) return r;

    std::vector<std::string> claves;
    for (const LineaGuardada& l : p.lineas) claves.push_back(l.clave);
    if (auto o = bloqueaTodo(t, {*registro}, {p.proveedor}, claves)) {
      t.libera();
      r.mensaje = ocupado(*o);
      return r;
    }
    store::UnidadGuardado unidad({a.dirDatos, a.dirCatalogo});
    unidad.guardaDeAntemano({&t.enc, &t.prov, &t.prods});
    p = leePrevio(t, *registro, numero);
    Posteo posteo(t.movs, t.prods, a.reglas);
    const char letra = letraCompra(tipo);
    const std::string ref = letra ? store::referenciaMovimiento(letra, numero, p.control) : "";

    if (accion == Accion::Cancela) {
      // The goods go back the way they came, with reversing movements when integrated:
      // exits for a receipt, entries for a return.
      const int reverso = tipo == TipoCompra::Recepcion ? 2 : kTipoReingreso;
      long long mov = t.movs.isOpen() && letra ? siguienteMovimiento(t.movs) : 0;
      const std::string fecha = base::fechaCorta(reloj->ahora().fecha);
      const long secuencia = base::selloSecuencia(reloj->ahora().fecha, *reloj);
      t.prods.setIndex("ICLPRO");
      for (const LineaGuardada& l : p.lineas) {
        if (tipo == TipoCompra::Orden) {
          if (t.prods.findKey({l.clave})) {
            t.prods.edit();
            t.prods.setFloat("COMRE_I", std::max(0.0, t.prods.asFloat("COMRE_I") - l.cantidad));
            t.prods.post();
          }
          continue;
        }
        if (tipo == TipoCompra::Recepcion && t.prods.findKey({l.clave})) {
          t.prods.edit();
          desPromedia(t.prods, l.cantidad, l.costoNeto);
          t.prods.post();
        }
        if (t.movs.isOpen()) {
          Movimiento m;
          m.numero = mov;
          m.tipo = reverso;
          m.clave = l.clave;
          if (t.prods.findKey({l.clave})) m.descripcion = t.prods.asText("DSCPR_I");
          m.costo = l.costoNeto;
          m.fecha = fecha;
          m.secuencia = secuencia;
          m.documento = ref + "C";
          m.contraparte = p.proveedor;
          m.origen = "C";
          m.usuario = std::strtol(a.usuario.c_str(), nullptr, 10);
          m.usuarioTexto = a.usuario;
          m.control = p.control;
          posteo.posta(m, l.cantidad);
        } else {
          posteo.aplica(reverso, l.clave, l.cantidad, 0);
        }
      }
      if (tipo == TipoCompra::Recepcion) {
        quitaCapas(t.capas, p.lineas, numero);
        if (auto pr = proveedorDe(t.prov, p.proveedor)) sumaProveedor(t.prov, pr->registro, -p.total, {});
        for (uint32_t x : asientosDe(t.pagar, numero)) {
          t.pagar.goTo(x);
          t.pagar.edit();
          t.pagar.setText("STATU_CP", "C");
          t.pagar.post();
        }
      }
      t.enc.goTo(*registro);
      t.enc.edit();
      t.enc.setText("STDOC_O", store::estado::kCancelado);
      t.enc.post();
      for (const LineaGuardada& l : p.lineas) {
        t.det.goTo(l.registro);
        t.det.edit();
        t.det.setText("TREGI_OD", store::estado::kLineaCancelada);
        t.det.post();
      }
    } else {
      if (!cancelado) deshaz(a, tipo, t, p, numero, posteo);
      // A cancelled document already gave its goods back: its movements and their
      // reversals go together, so the journal still adds up to the stock.
      if (letra) {
        quitaMovimientos(t.movs, ref);
        quitaMovimientos(t.movs, ref + "C");
      }
      for (const LineaGuardada& l : lineasDe(t.det, numero, -1, 0)) {
        t.det.goTo(l.registro);
        t.det.remove();
      }
      if (tipo == TipoCompra::Recepcion)
        for (uint32_t x : asientosDe(t.pagar, numero)) {
          t.pagar.goTo(x);
          t.pagar.remove();
        }
      t.enc.goTo(*registro);
      t.enc.remove();
    }
    unidad.confirma();
    t.libera();
    r.hecho = true;
    r.control = p.control;
  } catch (const dbf::LockError& e) {
    t.libera();
    r.hecho = false;
    r.mensaje = std::string("No se puede guardar: ") + e.what() + "; intente de nuevo.";
  } catch (const dbf::Error&) {
    t.libera();
    r.hecho = false;
    r.mensaje = kErrorGuardarCompra;
  }
  return r;
}

}  // namespace

ResultadoCompra cancelaCompra(const AjustesCompras& a, TipoCompra t, long long numero, Confirma confirma,
                              const base::Reloj& reloj) {
  return deshazDocumento(a, t, numero, std::move(confirma), &reloj, Accion::Cancela);
}

ResultadoCompra eliminaCompra(const AjustesCompras& a, TipoCompra t, long long numero, Confirma confirma) {
  return deshazDocumento(a, t, numero, std::move(confirma), nullptr, Accion::Elimina);
}

std::optional<long long> buscaCompraPorProveedor(const AjustesCompras& a, TipoCompra t, const std::string& texto) {
  const std::string buscado = base::mayusculasAscii(texto);
  dbf::Table e;
  e.open(a.dirDatos, tablaEncabezadoCompra(t));
  auto empieza = [&] { return base::mayusculasAscii(e.asText("CLPRV_O")).compare(0, buscado.size(), buscado) == 0; };
  bool conIndice = false;
  for (const auto& tag : e.tags()) conIndice = conIndice || base::mismoNombre(tag.name, "CLPRV_O");
  if (!conIndice) {
    // Orders and returns carry no supplier tag: the lowest supplier key that matches, then
    // the lowest number, read in number order.
    std::optional<std::pair<std::string, long long>> mejor;
    e.setIndex("ICOMENC");
    for (e.first(); !e.eof(); e.next()) {
      if (e.isNull("CONTROL") || !empieza()) continue;
      std::pair<std::string, long long> x{base::mayusculasAscii(e.asText("CLPRV_O")), e.asInteger("CLDOC_O")};
      if (!mejor || x < *mejor) mejor = x;
    }
    if (mejor) return mejor->second;
    return std::nullopt;
  }
  e.setIndex("CLPRV_O");
  e.findNearest({buscado});
  for (; !e.eof(); e.next()) {
    if (!empieza()) break;
    // A proposal's empty header is not a document.
    if (!e.isNull("CONTROL")) return e.asInteger("CLDOC_O");
  }
  return std::nullopt;
}

Reposteo repostaCompras(const AjustesCompras& a, const std::string& dirTrabajo) {
  Reposteo r;
  if (a.usuario != "0") {
    r.mensaje = kExclusivaAdministrador;
    return r;
  }
  try {
    dbf::Table enc, det, movs, prods;
    enc.open(a.dirDatos, tablaEncabezadoCompra(TipoCompra::Recepcion));
    det.open(a.dirDatos, tablaDetalleCompra(TipoCompra::Recepcion));
    if (a.integrado) {
      movs.open(a.dirCatalogo, kTablaMovimientos);
      prods.open(a.dirCatalogo, kProductos);
    }
    struct Pendiente {
      long long numero, control;
      std::string proveedor, fecha, referencia;
      double descuento;
    };
    std::vector<Pendiente> pendientes;
    if (a.integrado) {
      enc.setIndex("ICOMENC");
      movs.setIndex("NUDOC_MI");
      for (enc.first(); !enc.eof(); enc.next()) {
        if (enc.isNull("CONTROL") || store::cancelado(enc.asText("STDOC_O"))) continue;
        const long long numero = enc.asInteger("CLDOC_O");
        const long long control = enc.asInteger("CONTROL");
        const std::string ref = store::referenciaMovimiento(letraCompra(TipoCompra::Recepcion), numero, control);
        if (movs.findKey({ref})) continue;
        pendientes.push_back({numero, control, enc.asText("CLPRV_O"), enc.asText("FEDOC_O"), enc.asText("REFER_O"),
                              enc.asFloat("DTOTA_O")});
      }
    }
    for (const Pendiente& p : pendientes) {
      store::UnidadGuardado unidad({a.dirCatalogo});
      // Checked again inside the unit: another station may have re-posted it meanwhile.
      const std::string ref = store::referenciaMovimiento(letraCompra(TipoCompra::Recepcion), p.numero, p.control);
      movs.setIndex("NUDOC_MI");
      if (movs.findKey({ref})) continue;
      Posteo posteo(movs, prods, a.reglas);
      const long long numeroMov = siguienteMovimiento(movs);
      const std::string n = std::to_string(p.numero);
      det.setIndex("ICOMDET");
      det.setRange({n}, {n});
      int lineas = 0;
      for (det.first(); !det.eof(); det.next()) {
        if (det.asInteger("CONTROL") != p.control) continue;
        PartidaCompra l;
        l.costo = det.asFloat("CUNIT_OD");
        l.descuento1 = det.asFloat("PODES_OD");
        l.descuento2 = det.asFloat("PODE2_OD");
        l.descuento3 = det.asFloat("PODE3_OD");
        Movimiento m;
        m.numero = numeroMov;
        m.clave = det.asText("CLPRO_OD");
        m.descripcion = det.asText("DESCR_OD");
        const double q = det.asFloat("CANTI_OD");
        m.tipo = tipoRegistrado(movimientoCompra(TipoCompra::Recepcion), q);
        m.cantidad = std::fabs(q);
        m.costo = costoNeto(l, p.descuento);
        m.precio = l.costo;
        m.fecha = p.fecha;
        m.referencia = p.referencia;
        m.documento = ref;
        m.contraparte = p.proveedor;
        m.origen = "C";
        const std::string almacen = det.asText("NALMA_OD");
        m.almacen = almacen.empty() ? "1" : almacen;
        m.usuario = 0;
        m.usuarioTexto = "0";
        m.control = p.control;
        prods.setIndex("ICLPRO");
        if (prods.findKey({m.clave})) m.existencia = prods.asFloat("EXIST_I");
        posteo.escribe(m);
        ++lineas;
      }
      det.cancelRange();
      if (lineas == 0) continue;
      unidad.confirma();
      ++r.actualizadas;
      r.documentos.push_back(p.numero);
      base::agregaLinea(base::une(dirTrabajo, "compras.dat"),
                        std::string(1, letraCompra(TipoCompra::Recepcion)) + "-" + n + " " + std::to_string(p.control));
    }
  } catch (const dbf::LockError& e) {
    r.mensaje = std::string("No se puede guardar: ") + e.what() + "; intente de nuevo.";
    return r;
  } catch (const dbf::Error&) {
    r.mensaje = kErrorGuardarCompra;
    return r;
  }
  r.hecho = true;
  r.mensaje = std::to_string(r.actualizadas) + std::string(kActualizadas);
  return r;
}

}  // namespace mostrador::inventory
