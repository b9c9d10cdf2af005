#include "sales/captura.h"
#include "sales/texto_venta.h"

#include <algorithm>
#include <fstream>
#include <cmath>
#include <exception>
#include <utility>

#include "sales/dispositivos.h"
#include "sales/filas_documento.h"
#include "sales/precios.h"
#include "base/bitacora.h"
#include "session/derechos.h"
#include "base/fechas.h"
#include "base/numeros.h"
#include "base/rutas.h"
#include "base/texto.h"
#include "base/texto_util.h"
#include "store/estados.h"
#include "store/numeracion.h"

namespace mostrador::sales {

namespace {

constexpr std::string_view kErrorGuardar = "No Pueden Guardarse los Datos ha Ocurrido un Error";
constexpr double kCantidadMaxima = 1e10;  // quantity fields: 14 wide, 3 decimals

using base::leeNumero;

}  // namespace

CapturaVenta::CapturaVenta(AjustesVenta ajustes, base::Interaccion& ui, DialogosVenta& dialogos,
                           const base::Reloj& reloj)
    : aj_(std::move(ajustes)),
      ui_(ui),
      dlg_(dialogos),
      reloj_(reloj),
      guardado_(TablasVenta{encabezado_, detalle_, productos_, clientes_, movimientos_}, aj_, reloj_) {}

CapturaVenta::~CapturaVenta() = default;

// ---- opening and types ------------------------------------------------------------

void CapturaVenta::abre() {
  bascula_ = leeBasculaCnf(aj_.dirSistema);
  try {
    abreTablasComunes();
    // The first scratch table nobody holds; the handle stays open exclusively so that a
    // second window of this station moves on to the next one.
    archivoPartidas_.clear();
    for (int n = 2; n <= 10; ++n) {
      std::string nombre = "deta" + std::to_string(n) + ".db";
      archivoPartidas_ = nombre;
      const std::string ruta = base::une(aj_.dirSistema, nombre);
      if (!base::existe(ruta)) base::copia(base::une(aj_.dirSistema, "deta.db"), ruta);
      try {
        partidas_.open(aj_.dirSistema, nombre, dbf::OpenMode::Exclusive);
        break;
      } catch (const dbf::Error&) {
        partidas_.close();
      }
    }
    if (partidas_.isOpen()) vaciaPartidas();
  } catch (const dbf::Error&) {
    ui_.mensaje(kErrorGuardar);
  }
  abreTipo(TipoVenta::Remision);
}

void CapturaVenta::cambiaBase(std::string_view texto) { abreTipo(tipoBase(texto)); }

void CapturaVenta::abreTipo(TipoVenta t) {
  tipo_ = t;
  nuevo_ = modificando_ = false;
  try {
    abreTablasTipo();
    encabezado_.last();
  } catch (const dbf::Error&) {
    ui_.mensaje(kErrorGuardar);
  }
  muestra();
}

namespace {

// Opens through the logged opener: a table that does not open leaves its line in the
// station's log, and the failure goes on to the caller as before.
void abreConBitacora(dbf::Table& t, const std::string& dir, std::string_view archivo, const std::string& sistema,
                     const base::Reloj& reloj) {
  std::exception_ptr fallo;
  const bool abierta = base::abreRegistrando(
      [&] {
        try {
          t.open(dir, archivo);
        } catch (const std::exception&) {
          fallo = std::current_exception();
          throw;
        }
      },
      archivo, base::Bitacora(sistema), reloj);
  if (!abierta && fallo) std::rethrow_exception(fallo);
}

}  // namespace

void CapturaVenta::abreTablasComunes() {
  auto abreEn = [this](dbf::Table& t, const std::string& dir, std::string_view archivo, std::string_view tag) {
    t.close();
    abreConBitacora(t, dir, archivo, aj_.dirSistema, reloj_);
    t.setIndex(tag);
  };
  abreEn(productos_, aj_.dirInventario, "inventar.dbf", "ICLPRO");
  abreEn(movimientos_, aj_.dirInventario, "movinven.dbf", "CLDOC_MI");
  abreEn(clientes_, aj_.dirDatos, "cliente.dbf", "ICLACLI");
  abreEn(vendedores_, aj_.dirDatos, "vendedor.dbf", "ICLAVEN");
}

void CapturaVenta::abreTablasTipo() {
  const auto& doc = store::documento(defTipo(tipo_).documento);
  encabezado_.close();
  detalle_.close();
  const std::string dir = directorioEncabezado();
  abreConBitacora(encabezado_, dir, doc.encabezado, aj_.dirSistema, reloj_);
  encabezado_.setIndex("INUMENC");
  abreConBitacora(detalle_, dir, doc.detalle, aj_.dirSistema, reloj_);
  detalle_.setIndex("CLDOC_FD");
}

std::string CapturaVenta::directorioEncabezado() const {
  return tipo_ == TipoVenta::Remision ? aj_.dirRemisiones : aj_.dirDatos;
}

std::string CapturaVenta::rutaFormato() const {
  const DefTipoVenta& d = defTipo(tipo_);
  std::string nombre = aj_.formatoCaja;
  if (nombre.empty()) nombre = aj_.linea(d.lineaFormato);
  if (nombre.empty()) nombre = std::string(d.formatoOmision);
  return base::une(base::une(aj_.dirSistema, "consulta"), nombre);
}

bool CapturaVenta::numeroSoloLectura() const {
  return tipo_ == TipoVenta::Remision && aj_.usuario == "0";
}

CapturaVenta::Generar CapturaVenta::generar() const {
  switch (tipo_) {
    case TipoVenta::Remision: return {true, false, false, true, false};
    case TipoVenta::Factura: return {false, false, false, true, true};
    default: return {false, false, false, false, false};
  }
}

// ---- new document, customer, seller ---------------------------------------------------

bool CapturaVenta::nuevo() {
  if (!session::checaDerecho(ui_, aj_.dirSistema, aj_.usuario, 20)) return false;
  permisoPrecio_ = false;
  control_ = 0;
  listaCliente_ = 0;
  etiquetaPartidas_.clear();
  try {
    // The header row inserted now reserves the number for this station.
    const std::string vendedor = !aj_.vendedorCaja.empty() ? aj_.vendedorCaja : vendedorAnterior_;
    const base::Fecha hoy = reloj_.ahora().fecha;
    long long numero = 0;
    if (tomaNumero_) {
      numero = tomaNumero_(encabezado_);
      encabezado_.edit();
    } else {
      encabezado_.refresh();
      encabezado_.setIndex("INUMENC");
      encabezado_.last();
      numero = (encabezado_.isEmpty() ? 0 : encabezado_.asInteger("CLDOC_F")) + 1;
      encabezado_.insert();
      encabezado_.setInteger("CLDOC_F", numero);
    }
    encabezado_.setText("CLVEN_F", vendedor);
    encabezado_.setDate("FEDOC_F", dbf::Fecha{hoy.anio, hoy.mes, hoy.dia});
    encabezado_.post();
    campos_ = CamposEncabezado{};
    campos_.numero = std::to_string(numero);
    campos_.vendedor = vendedor;
    campos_.caja = aj_.caja;
    campos_.fecha = base::fechaCorta(hoy);
    campos_.descuento = "0";
    vaciaPartidas();
  } catch (const dbf::Error&) {
    ui_.mensaje(kErrorGuardar);
    return false;
  }
  totales_ = Totales{};
  fila_ = 0;
  nuevo_ = true;
  modificando_ = false;
  // The cursor goes straight to the lines whatever the options: the default customer is
  // applied now, as leaving its field would.
  saleCliente();
  if (alIniciar_) alIniciar_(std::stoll(campos_.numero));
  return true;
}

bool CapturaVenta::saleCliente() {
  try {
    clientes_.setIndex("ICLACLI");
    if (!clientes_.findKey({campos_.cliente})) return true;
    campos_.nombre = clientes_.asText("NOMBR_C");
    campos_.direccion = clientes_.asText("DIREC_C");
    campos_.direccion2 = clientes_.asText("DIRE2_C");
    campos_.poblacion = clientes_.asText("POBLA_C");
    campos_.rfc = clientes_.asText("RFCXX_C");
    campos_.codigoPostal = clientes_.asText("CPXXX_C");
    listaCliente_ = listaDeCliente(clientes_);
    if (store::clienteRechazado(clientes_.asText("STATU_C"))) {
      ui_.mensaje("Cliente Inactivo, tiene que modificar esta clave...");
      return false;
    }
  } catch (const dbf::Error&) {
    ui_.mensaje(kErrorGuardar);
  }
  return true;
}

void CapturaVenta::saleVendedor() {
  try {
    vendedores_.setIndex("ICLAVEN");
    if (vendedores_.findKey({campos_.vendedor}) && enCaptura())
      campos_.comision = numeroTexto(vendedores_.asFloat("COMIS_V"));
  } catch (const dbf::Error&) {
    ui_.mensaje(kErrorGuardar);
  }
}

// ---- lines ------------------------------------------------------------------------------

int CapturaVenta::numeroPartidas() {
  try {
    return partidas_.isOpen() ? static_cast<int>(partidas_.recordCount()) : 0;
  } catch (const dbf::Error&) {
    return 0;
  }
}

std::vector<Partida> CapturaVenta::partidas() {
  std::vector<Partida> r;
  try {
    if (!partidas_.isOpen()) return r;
    for (partidas_.first(); !partidas_.eof(); partidas_.next()) r.push_back(partidaDeRenglon(partidas_));
  } catch (const dbf::Error&) {
  }
  return r;
}

Partida CapturaVenta::partida(int fila) {
  try {
    if (partidas_.isOpen() && partidas_.goTo(static_cast<uint32_t>(fila + 1))) return partidaDeRenglon(partidas_);
  } catch (const dbf::Error&) {
  }
  return {};
}

void CapturaVenta::irAPartida(int fila) {
  fila_ = fila;
  try {
    if (partidas_.isOpen()) partidas_.goTo(static_cast<uint32_t>(fila + 1));
  } catch (const dbf::Error&) {
  }
}

bool CapturaVenta::irALineaActual() {
  if (!partidas_.isOpen()) return false;
  if (partidas_.recordCount() == 0) {
    // Typing into an empty grid starts its first line.
    partidas_.append();
    partidas_.setFloat("CANTIDAD", 1);
    partidas_.post();
    fila_ = 0;
  }
  if (fila_ < 0 || fila_ >= partidas_.recordCount()) fila_ = static_cast<int>(partidas_.recordCount()) - 1;
  return partidas_.goTo(static_cast<uint32_t>(fila_ + 1));
}

namespace {

// "El Precio "abc" no es un número válido".
std::string noEsNumero(std::string_view campo, std::string_view texto) {
  return std::string(campo) + " \"" + std::string(texto) + "\" no es un número válido";
}

}  // namespace

bool CapturaVenta::ponCelda(int columna, std::string_view texto) {
  if (columna == kCantidad) return tecleaCantidad(texto) != Cantidad::Rechazada;
  try {
    if (!irALineaActual()) return false;
    const std::string t = recorta(texto);
    std::optional<double> v;
    if (columna == kDescuento || columna == kPrecio || columna == kImporte) {
      // A figure that does not read never becomes 0: the cell keeps what it had.
      v = t.empty() ? std::optional<double>(0) : leeNumero(t);
      const char* campo = columna == kDescuento ? "El Descuento" : columna == kPrecio ? "El Precio" : "El Importe";
      if (!v) {
        ui_.mensaje(noEsNumero(campo, t));
        return false;
      }
      if (*v < 0 || (columna == kDescuento && *v > 100)) {
        ui_.mensaje(columna == kDescuento ? std::string("El Descuento debe estar entre 0 y 100")
                                          : std::string(campo) + " no puede ser negativo");
        return false;
      }
    }
    partidas_.edit();
    switch (columna) {
      case kClave: partidas_.setText("CLAVE", texto); break;
      case kProducto: partidas_.setText("PRODUCTO", texto); break;
      case kDescuento: partidas_.setFloat("DESCUENTO", *v); break;
      case kPrecio: partidas_.setFloat("PRECIO", *v); break;
      case kImporte: partidas_.setFloat("IMPORTE", *v); break;
      default: break;
    }
    partidas_.post();
    // The totals always add up the lines as they now are.
    if (v && enCaptura()) recalcula();
    return true;
  } catch (const dbf::Error&) {
    partidas_.cancel();
    ui_.mensaje(kErrorGuardar);
    return false;
  }
}

bool CapturaVenta::esProducto(const std::string& t) {
  if (t.empty()) return false;
  productos_.setIndex("CODIG_I");
  bool hallado = productos_.findKey({t});
  productos_.setIndex("ICLPRO");
  if (hallado || productos_.findKey({t})) return true;
  // A scale label is its item's product (a bad check digit too: the line says why).
  const LecturaEtiqueta l = leeEtiquetaBascula(t, bascula_);
  return l.estado == LecturaEtiqueta::DigitoErroneo ||
         (l.estado == LecturaEtiqueta::Etiqueta && productos_.findKey({l.etiqueta.clave}));
}

bool CapturaVenta::confirmaCantidad(double q, bool conProducto) {
  if (q > aj_.topeCantidad)
    return ui_.advertencia("La Cantidad " + numeroTexto(q) + " rebasa el tope de " + numeroTexto(aj_.topeCantidad) +
                           " por partida. ¿Es correcta?") == base::RespuestaAdvertencia::Si;
  if (!conProducto) return true;
  // Far beyond what is on hand is almost always a slip of the finger (or a scan).
  const double existencia = productos_.asFloat("EXIST_I");
  if (existencia > 0 && q > 10 * existencia && base::mayusculasAscii(productos_.asText("LIPRO_I")) != "SERVI")
    return ui_.advertencia("La Cantidad " + numeroTexto(q) + " rebasa por mucho las existencias (" +
                           numeroTexto(existencia) + "). ¿Es correcta?") == base::RespuestaAdvertencia::Si;
  return true;
}

CapturaVenta::Cantidad CapturaVenta::tecleaCantidad(std::string_view texto) {
  try {
    if (!irALineaActual()) return Cantidad::Rechazada;
    const std::string t = recorta(texto);
    if (t.empty()) {
      partidas_.edit();
      partidas_.setNull("CANTIDAD");
      partidas_.post();
      return Cantidad::Puesta;
    }
    const std::optional<double> n = leeNumero(t);
    const bool verosimil = n && *n >= 0 && *n <= aj_.topeCantidad;
    if (!verosimil && esProducto(t)) {
      // A scan (or a key) where the quantity was expected: it is the line's product and
      // the quantity stays as it was (1 for a new line).
      const uint32_t fila = static_cast<uint32_t>(fila_ + 1);
      partidas_.goTo(fila);
      partidas_.edit();
      if (partidas_.isNull("CANTIDAD") || partidas_.asFloat("CANTIDAD") <= 0) partidas_.setFloat("CANTIDAD", 1);
      partidas_.setText("CLAVE", t);
      partidas_.setText("PRODUCTO", "");
      partidas_.post();
      entraColumna(kProducto);
      return Cantidad::Producto;
    }
    if (!n) {
      ui_.mensaje(noEsNumero("La Cantidad", t));
      return Cantidad::Rechazada;
    }
    if (*n < 0) {
      ui_.mensaje("La Cantidad no puede ser negativa");
      return Cantidad::Rechazada;
    }
    // The stored quantities hold ten whole digits: more could never be saved.
    if (*n >= kCantidadMaxima) {
      ui_.mensaje("La Cantidad " + t + " es demasiado grande para una partida");
      return Cantidad::Rechazada;
    }
    const bool conProducto = !partidas_.asText("PRODUCTO").empty() && productoDeLinea();
    if (!confirmaCantidad(*n, conProducto)) return Cantidad::Rechazada;
    irALineaActual();
    partidas_.edit();
    partidas_.setFloat("CANTIDAD", *n);
    partidas_.post();
    if (enCaptura()) recalcula();
    return Cantidad::Puesta;
  } catch (const dbf::Error&) {
    partidas_.cancel();
    ui_.mensaje(kErrorGuardar);
    return Cantidad::Rechazada;
  }
}

bool CapturaVenta::ponFecha(std::string_view texto) {
  const std::string t = recorta(texto);
  const std::optional<base::Fecha> f = base::leeFechaCorta(t);
  if (!f) {
    ui_.mensaje("La Fecha \"" + t + "\" no es válida, escríbala como dd/mm/aaaa");
    return false;
  }
  campos_.fecha = base::fechaCorta(*f);
  return true;
}

void CapturaVenta::escribeCambio() {
  if (!encabezado_.isOpen() || encabezado_.isEmpty()) return;
  // No cash tendered (or no longer enough): nothing paid, no change.
  const std::optional<double> dado = leeNumero(campos_.efectivo);
  const base::Importe abono = dado ? totales_.total : base::Importe{};
  const base::Importe cambio = dado ? base::Importe::deDouble(*dado) - totales_.total : base::Importe{};
  encabezado_.edit();
  encabezado_.setFloat("CAMBI_F", cambio.aDouble());
  encabezado_.setFloat("ABONO_F", abono.aDouble());
  encabezado_.setFloat("SALDO_F", encabezado_.asFloat("IMTOD_F") - abono.aDouble());
  encabezado_.post();
}

bool CapturaVenta::efectivo(std::string_view texto) {
  const std::string t = recorta(texto);
  if (t.empty() || !enCaptura()) return true;
  const std::optional<double> v = leeNumero(t);
  if (!v || *v < 0) {
    ui_.mensaje(noEsNumero("El Efectivo", t));
    return false;
  }
  recalcula();
  const std::string m = aj_.mascaraImporte();
  if (base::Importe::deDouble(*v) < totales_.total) {
    ui_.mensaje("El Efectivo " + base::Importe::deDouble(*v).formatea(m) + " no cubre el Total " +
                totales_.total.formatea(m));
    return false;
  }
  campos_.efectivo = t;
  try {
    escribeCambio();
  } catch (const dbf::Error&) {
    if (encabezado_.editing()) encabezado_.cancel();
    ui_.mensaje("Hay un error en el PAGO...");
    return false;
  }
  return true;
}

bool CapturaVenta::repiteUltima() {
  if (!enCaptura()) return false;
  try {
    std::optional<Partida> ultima;
    for (const Partida& p : partidas())
      if (!p.clave.empty() && !p.producto.empty() && p.clave != kComentario) ultima = p;
    if (!ultima) {
      ui_.mensaje("No hay una partida que repetir");
      return false;
    }
    if (!irALineaActual()) return false;
    if (!partidas_.asText("CLAVE").empty() || !partidas_.asText("PRODUCTO").empty()) agregaPartida();
    irALineaActual();
    partidas_.edit();
    partidas_.setFloat("CANTIDAD", ultima->cantidad.value_or(1));
    partidas_.setText("CLAVE", ultima->clave);
    partidas_.post();
    entraColumna(kProducto);
    return true;
  } catch (const dbf::Error&) {
    partidas_.cancel();
    ui_.mensaje(kErrorGuardar);
    return false;
  }
}

bool CapturaVenta::dejaCaptura() {
  if (!enCaptura()) return true;
  switch (ui_.cerrar()) {
    case base::RespuestaCerrar::Guardar: return guarda();
    case base::RespuestaCerrar::Descartar: descarta(); return true;
    case base::RespuestaCerrar::Quedarse: return false;
  }
  return false;
}

void CapturaVenta::descarta() {
  if (!enCaptura()) return;
  if (modificando_) {
    // The stored document stays as its last save left it: its lines come back and the
    // totals written back meanwhile are recomputed from them.
    muestra();
    modificando_ = false;
    muestra();
    return;
  }
  try {
    // The reserved number stays taken (another station may already hold the next one),
    // but nothing in it counts: it is cancelled and its totals are zero.
    if (encabezado_.isOpen() && !encabezado_.isEmpty()) {
      encabezado_.edit();
      for (const char* c : {"SUBTO_F", "DECOT_F", "IMIM2_F", "IMTOD_F", "COSTO_F", "SALDO_F", "FPGCX_F",
                            "CAMBI_F", "ABONO_F"})
        encabezado_.setFloat(c, 0);
      encabezado_.setText("STATU_F", std::string(store::estado::kCancelado));
      encabezado_.setText("CLCLI_F", campos_.cliente);
      encabezado_.post();
    }
    vaciaPartidas();
  } catch (const dbf::Error&) {
    if (encabezado_.editing()) encabezado_.cancel();
    ui_.mensaje(kErrorGuardar);
  }
  nuevo_ = false;
  muestra();
}

void CapturaVenta::importeDeLinea() {
  const double q = partidas_.asFloat("CANTIDAD"), p = partidas_.asFloat("PRECIO");
  partidas_.edit();
  partidas_.setFloat("IMPORTE", importeLinea(q, p, partidas_.asFloat("DESCUENTO")));
  partidas_.post();
}

int CapturaVenta::entraColumna(int columna) {
  if (!enCaptura()) return columna;
  try {
    switch (columna) {
      case kCantidad:
        recalcula();
        return kCantidad;
      case kClave:
        if (!irALineaActual()) return kCantidad;
        if (partidas_.isNull("CANTIDAD")) return kCantidad;
        return kClave;
      case kProducto: {
        if (!irALineaActual()) return kClave;
        const std::string k = partidas_.asText("CLAVE");
        if (k == kComentario) return kProducto;
        if (!k.empty() && partidas_.asText("PRODUCTO").empty() && limiteAlcanzado()) {
          ui_.mensaje("Se ha llegado al límite de PARTIDAS...");
          partidas_.edit();
          partidas_.setText("CLAVE", "");
          partidas_.post();
          return kClave;
        }
        try {
          if (buscaProducto(k)) {
            if (llenaPartida()) return kClave;
            return kClave;
          }
          if (leeEtiquetaBascula(k, bascula_).estado == LecturaEtiqueta::DigitoErroneo) {
            // A misread label was said as such: no product to offer creating.
          } else if (aj_.ofreceAlta) {
            if (ui_.advertencia("El Producto No Se encuentra...¿Desea darlo de Alta?") ==
                base::RespuestaAdvertencia::Si) {
              dlg_.altaRapida(k);
              productos_.refresh();
            }
          } else {
            ui_.mensaje("El Producto No Se encuentra");
          }
        } catch (const dbf::Error&) {
          ui_.mensaje("Error en la Clave");
          partidas_.cancel();
          if (irALineaActual()) {
            partidas_.edit();
            partidas_.setText("CLAVE", "");
            partidas_.post();
          }
        }
        return kClave;
      }
      case kDescuento:
        if (aj_.descuentosPorLinea && irALineaActual() && productoDeLinea()) {
          const double d = descuentoClienteLinea(aj_.dirDatos, campos_.cliente, productos_.asText("LIPRO_I"));
          partidas_.edit();
          partidas_.setFloat("DESCUENTO", d);
          partidas_.post();
        }
        permisoPrecio_ = false;
        return kDescuento;
      case kPrecio:
        if (!permisoPrecio_) {
          ui_.mensaje("No Tiene Acceso a Precios");
          return kCantidad;
        }
        return kPrecio;
      case kImporte:
        if (irALineaActual()) importeDeLinea();
        permisoPrecio_ = false;
        return kImporte;
      default: return columna;
    }
  } catch (const dbf::Error&) {
    ui_.mensaje(kErrorGuardar);
    return columna;
  }
}

bool CapturaVenta::limiteAlcanzado() {
  if (limitePartidas_ <= 0) return false;
  const uint32_t actual = partidas_.recno();
  int llenas = 0;
  for (partidas_.first(); !partidas_.eof(); partidas_.next())
    if (partidas_.recno() != actual && !partidas_.asText("PRODUCTO").empty()) ++llenas;
  partidas_.goTo(actual);
  return llenas >= limitePartidas_;
}

void CapturaVenta::saleColumna(int columna) {
  if (columna != kDescuento) return;
  try {
    if (irALineaActual()) importeDeLinea();
  } catch (const dbf::Error&) {
    ui_.mensaje(kErrorGuardar);
  }
}

void CapturaVenta::agregaPartida() {
  try {
    if (!partidas_.isOpen()) return;
    const long n = partidas_.recordCount();
    if (n > 0) {
      partidas_.goTo(static_cast<uint32_t>(n));
      if (partidas_.asText("CLAVE").empty() && partidas_.asText("PRODUCTO").empty()) {
        fila_ = static_cast<int>(n) - 1;  // the last line is still blank: it is the new one
        return;
      }
    }
    partidas_.append();
    partidas_.setFloat("CANTIDAD", 1);
    partidas_.post();
    fila_ = static_cast<int>(n);
  } catch (const dbf::Error&) {
    ui_.mensaje(kErrorGuardar);
  }
}

bool CapturaVenta::eliminaPartida() {
  try {
    if (!partidas_.isOpen() || partidas_.recordCount() == 0) return false;
    if (!irALineaActual()) return false;
    const Partida p = partidaDeRenglon(partidas_);
    const std::string pregunta = "Esta Seguro que Desea ELIMINAR esta Partida " +
                                 (p.cantidad ? numeroTexto(*p.cantidad) : std::string()) + "  " + p.producto;
    if (ui_.advertencia(pregunta) != base::RespuestaAdvertencia::Si) return false;
    partidas_.remove();
    partidas_.pack();  // held exclusively: the grid's rows stay the record numbers
    if (fila_ >= partidas_.recordCount()) fila_ = std::max(0, static_cast<int>(partidas_.recordCount()) - 1);
    recalcula();
    return true;
  } catch (const dbf::Error&) {
    ui_.mensaje(kErrorGuardar);
    return false;
  }
}

bool CapturaVenta::cambioPrecio() {
  if (autoriza_) {
    permisoPrecio_ = autoriza_(51);
  } else if (aj_.usuario == "0") {
    permisoPrecio_ = true;
  } else if (session::evaluaDerecho(aj_.dirSistema, aj_.usuario, 51) == session::Derecho::Concedido) {
    permisoPrecio_ = session::confirmacionAdministrador(ui_);
  }
  return permisoPrecio_;
}

bool CapturaVenta::capturaPorEmpaque(std::string_view paquetes) {
  const double n = leeNumero(paquetes).value_or(0);
  if (n <= 0) return false;
  const double factor = leeNumero(etiquetaFactor_).value_or(0);
  if (!(factor > 0)) {
    ui_.mensaje("Falta la Unidad de Empaque");
    return false;
  }
  try {
    if (!irALineaActual()) return false;
    partidas_.edit();
    partidas_.setFloat("EMPAQUE", n);
    partidas_.setFloat("CANTIDAD", n * factor);
    partidas_.post();
    recalcula();
    return true;
  } catch (const dbf::Error&) {
    partidas_.cancel();
    ui_.mensaje(kErrorGuardar);
    return false;
  }
}

bool CapturaVenta::capturaPorImporte(std::string_view importe, std::string_view claveOCodigo) {
  if (!enCaptura()) return false;
  try {
    const double monto = leeNumero(importe).value_or(0);
    productos_.setIndex("ICLPRO");
    bool hallado = productos_.findKey({std::string(claveOCodigo)});
    if (!hallado) {
      productos_.setIndex("CODIG_I");
      hallado = productos_.findKey({std::string(claveOCodigo)});
      productos_.setIndex("ICLPRO");
      if (hallado) hallado = productos_.findKey({productos_.asText("CLPRO_I")});
    }
    if (!hallado) {
      ui_.mensaje("El Producto No Se encuentra");
      return false;
    }
    // The line to fill: the current one while it has no key, else a new one.
    irALineaActual();
    if (!partidas_.asText("CLAVE").empty()) {
      partidas_.append();
      partidas_.post();
      fila_ = static_cast<int>(partidas_.recordCount()) - 1;
      partidas_.goTo(static_cast<uint32_t>(fila_ + 1));
    }
    const PreciosProducto pp = PreciosProducto::de(productos_);
    const double precio = precioUnitario(pp, listaCliente_, aj_.escalones, 1, partidas_.asFloat("PRECIO"));
    const double impuesto = productos_.asFloat("PIVA1_I");
    const double empaque = productos_.asFloat("UEMPA_I");
    const double cantidad = precio != 0 ? monto / precio : 0;
    partidas_.edit();
    partidas_.setText("CLAVE", productos_.asText("CLPRO_I"));
    partidas_.setText("PRODUCTO", productos_.asText("DSCPR_I"));
    partidas_.setFloat("FACTOR", empaque != 0 ? empaque : 1);
    partidas_.setText("UNIDAD", productos_.asText("UMEDI_I"));
    partidas_.setFloat("PRECIO", precio);
    partidas_.setFloat("IMPUESTO", impuesto);
    partidas_.setFloat("COSTO", costoSinImpuesto(productos_, impuesto));
    partidas_.setFloat("CANTIDAD", cantidad);
    partidas_.setFloat("IMPORTE", importeLinea(cantidad, precio, partidas_.asFloat("DESCUENTO")));
    partidas_.post();
    etiquetaFactor_ = numeroTexto(empaque != 0 ? empaque : 1);
    agregaPartida();
    recalcula();
    return true;
  } catch (const dbf::Error&) {
    partidas_.cancel();
    ui_.mensaje(kErrorGuardar);
    return false;
  }
}

std::vector<std::string> CapturaVenta::listaPrecios() {
  std::vector<std::string> r;
  try {
    if (!irALineaActual() || !productoDeLinea()) return r;
    for (const char* c : {"PLIS2_I", "PLIS3_I", "PLIS4_I", "PMINI_I"})
      r.push_back(numeroTexto(productos_.asFloat(c)));
  } catch (const dbf::Error&) {
  }
  return r;
}

bool CapturaVenta::productoDeLinea() {
  productos_.setIndex("ICLPRO");
  const std::string k = partidas_.asText("CLAVE");
  return !k.empty() && productos_.findKey({k});
}

// ---- product lookup and line filling ------------------------------------------------------

bool CapturaVenta::buscaProducto(std::string_view claveTecleada) {
  std::string k(claveTecleada);
  if (recorta(k).empty()) return false;
  bool hallado = false;
  productos_.setIndex("ICLPRO");
  if (productos_.findKey({k}) && partidas_.asText("CLAVE") != kComentario) {
    hallado = true;
  } else {
    productos_.setIndex("CODIG_I");
    const std::string mayusculas = base::mayusculasAscii(k);
    if (productos_.findKey({k})) {
      k = productos_.asText("CLPRO_I").substr(0, 30);
      productos_.setIndex("ICLPRO");
      hallado = productos_.findKey({k});
    } else if (productos_.setIndex("ICLPRO"), mayusculas != k && productos_.findKey({mayusculas})) {
      // Keys are stored in capitals: "fer000004" typed is "FER000004".
      hallado = true;
    } else if (const LecturaEtiqueta l = leeEtiquetaBascula(k, bascula_); l.estado != LecturaEtiqueta::NoEsEtiqueta) {
      // A pre-packed item's scale label: its item key, with the weight or price it carries.
      if (l.estado == LecturaEtiqueta::DigitoErroneo) {
        ui_.mensaje(l.mensaje);
        return false;
      }
      hallado = productos_.findKey({l.etiqueta.clave});
      if (hallado) etiquetaBascula_ = l.etiqueta;
    } else {
      productos_.setIndex("DSCPR_I");
      productos_.findNearest({k});
      if (!productos_.isEmpty() && !(productos_.eof() && productos_.asText("DSCPR_I").empty())) {
        const double puntos =
            similitud(base::mayusculasAscii(k), base::mayusculasAscii(productos_.asText("DSCPR_I")));
        if (puntos > 0.6) {
          etiquetaPartidas_ = numeroTexto(puntos);
          if (auto elegido = dlg_.buscaProducto(k)) {
            productos_.setIndex("ICLPRO");
            hallado = productos_.findKey({*elegido});
          }
        }
      }
      productos_.setIndex("ICLPRO");
    }
  }
  if (!hallado) return false;
  if (partidas_.asText("CLAVE") != kComentario) {
    const double empaque = productos_.asFloat("UEMPA_I");
    partidas_.edit();
    partidas_.setText("CLAVE", productos_.asText("CLPRO_I"));
    partidas_.setFloat("FACTOR", empaque != 0 ? empaque : 1);
    partidas_.post();
    etiquetaFactor_ = empaque != 0 ? numeroTexto(empaque) : "1";
  }
  return true;
}

bool CapturaVenta::llenaPartida() {
  // A scale label carries its own weight or price: no scale to ask.
  const std::optional<EtiquetaBascula> etiqueta = std::exchange(etiquetaBascula_, std::nullopt);
  if (etiqueta && etiqueta->esPeso) {
    partidas_.edit();
    partidas_.setFloat("CANTIDAD", etiqueta->cantidad);
    partidas_.post();
  } else if (!etiqueta && productos_.asFloat("FACTO_I") > 0) {
    // Weighed products take their quantity from the scale.
    const double q = partidas_.isNull("CANTIDAD") ? 0 : partidas_.asFloat("CANTIDAD");
    if (auto peso = dlg_.pesaProducto(q, productos_.asFloat("FACTO_I"), productos_.asFloat("EXIFA_I"),
                                      productos_.asFloat("EXIST_I"))) {
      partidas_.edit();
      partidas_.setFloat("CANTIDAD", *peso);
      partidas_.post();
    }
  }
  if (!checaExistencia(true)) return false;
  // The ceiling was confirmed when the quantity was typed; here the stock is known.
  if (const double q = partidas_.asFloat("CANTIDAD"); q <= aj_.topeCantidad && !confirmaCantidad(q, true))
    return false;

  double cantidad = partidas_.asFloat("CANTIDAD");
  const double empaque = productos_.asFloat("UEMPA_I");
  partidas_.edit();
  partidas_.setText("PRODUCTO", productos_.asText("DSCPR_I"));
  partidas_.setFloat("FACTOR", empaque != 0 ? empaque : 1);
  etiquetaFactor_ = empaque != 0 ? numeroTexto(empaque) : "1";

  const PreciosProducto pp = PreciosProducto::de(productos_);
  double precio = precioUnitario(pp, listaCliente_, aj_.escalones, cantidad, partidas_.asFloat("PRECIO"));
  if (aj_.descuentosPorLinea) {
    const double d = descuentoClienteLinea(aj_.dirDatos, campos_.cliente, productos_.asText("LIPRO_I"));
    const double publico = productos_.asFloat("PPUBL_I");
    precio = publico - publico * d / 100;
  }
  // A price label: the quantity is what its amount buys at the line's price.
  if (etiqueta && !etiqueta->esPeso) {
    cantidad = etiqueta->cantidadCon(precio);
    partidas_.setFloat("CANTIDAD", cantidad);
  }
  partidas_.setFloat("PRECIO", precio);
  partidas_.setText("UNIDAD", productos_.asText("UMEDI_I"));
  partidas_.setFloat("IMPORTE", importeLinea(cantidad, precio, partidas_.asFloat("DESCUENTO")));
  const double impuesto = productos_.asFloat("PIVA1_I");
  partidas_.setFloat("IMPUESTO", impuesto);
  try {
    const double fpgc = productos_.asFloat("FPGCC_I") * productos_.asFloat("FPGCI_I") * empaque * cantidad;
    const double descuento = productos_.asFloat("DESCU_I");
    partidas_.setFloat("FPGC", fpgc);
    partidas_.setFloat("DESCUENTO", descuento);
  } catch (const dbf::Error&) {
    // a value that does not fit leaves both as they were
  }
  partidas_.setFloat("COSTO", costoSinImpuesto(productos_, impuesto));
  partidas_.post();
  recalcula();
  if (!aj_.capturaEmpaque) {
    irALineaActual();
    if (!partidas_.asText("CLAVE").empty() && !partidas_.asText("PRODUCTO").empty() &&
        fila_ == partidas_.recordCount() - 1)
      agregaPartida();
  }
  return true;
}

bool CapturaVenta::checaExistencia(bool alLlenar) {
  const std::string clave = partidas_.asText("CLAVE");
  const uint32_t actual = partidas_.recno();
  const double esta = partidas_.isNull("CANTIDAD") ? 0 : partidas_.asFloat("CANTIDAD");
  double otras = 0;
  for (partidas_.first(); !partidas_.eof(); partidas_.next())
    if (partidas_.recno() != actual && partidas_.asText("CLAVE") == clave) otras += partidas_.asFloat("CANTIDAD");
  partidas_.goTo(actual);
  const double s = otras != 0 ? otras : esta;
  const double existencia = productos_.asFloat("EXIST_I");
  const base::Importe resta = base::Importe::deDouble(existencia) - base::Importe::deDouble(s);
  if (resta >= base::Importe{} || base::mayusculasAscii(productos_.asText("LIPRO_I")) == "SERVI" ||
      !aj_.controlExistencias)
    return true;
  ui_.mensaje("Las Compras son Superiores a las Existencias " + numeroTexto(existencia) + " Solicitado " +
              numeroTexto(s));
  if (!alLlenar) return true;
  switch (tipo_) {
    case TipoVenta::Pedido:
    case TipoVenta::Cotizacion:
    case TipoVenta::NotaCredito:
    case TipoVenta::Devolucion: return true;
    default: return false;
  }
}

// ---- totals -------------------------------------------------------------------------------

const Totales& CapturaVenta::recalcula() {
  try {
    if (!partidas_.isOpen()) return totales_;
    if (recorta(campos_.descuento).empty()) campos_.descuento = "0";
    std::vector<LineaTotal> lineas;
    int guardables = 0;
    for (partidas_.first(); !partidas_.eof(); partidas_.next()) {
      // "Partidas" counts what a save will store: no blank, comment or zero line.
      const std::string clave = partidas_.asText("CLAVE");
      if (!partidas_.isNull("CANTIDAD") && partidas_.asFloat("CANTIDAD") > 0 && !clave.empty() &&
          clave != kComentario && !partidas_.asText("PRODUCTO").empty())
        ++guardables;
      LineaTotal l;
      l.cantidad = partidas_.asFloat("CANTIDAD");
      l.precio = partidas_.asFloat("PRECIO");
      l.descuento = partidas_.asFloat("DESCUENTO");
      l.impuesto = partidas_.asFloat("IMPUESTO");
      l.costo = partidas_.asFloat("COSTO");
      l.fpgc = partidas_.asFloat("FPGC");
      const double importe = importeLinea(l.cantidad, l.precio, l.descuento);
      if (partidas_.asFloat("IMPORTE") != importe) {
        partidas_.edit();
        partidas_.setFloat("IMPORTE", importe);
        partidas_.post();
      }
      lineas.push_back(l);
    }
    if (partidas_.recordCount() > 0)
      partidas_.goTo(static_cast<uint32_t>(std::clamp<long>(fila_ + 1, 1, partidas_.recordCount())));
    OpcionesTotales o;
    o.impuestoIncluido = aj_.impuestoIncluido;
    o.descuentoDocumento = leeNumero(campos_.descuento).value_or(0);
    o.tasaDocumento = campos_.tasa;
    o.pasoRedondeo = aj_.pasoRedondeo;
    totales_ = calculaTotales(lineas, o);
    totales_.partidas = guardables;
    etiquetaPartidas_.clear();
    escribeTotalDat();

    // Changed totals go back to the header being captured, under a new stamp.
    if (enCaptura() && encabezado_.isOpen() && !encabezado_.isEmpty()) {
      const double total = encabezado_.asFloat("IMTOD_F"), sub = encabezado_.asFloat("SUBTO_F");
      if (base::Importe::deDouble(total) != totales_.total || base::Importe::deDouble(sub) != totales_.subtotal) {
        control_ = base::selloControl(reloj_);
        encabezado_.edit();
        ponTotales(encabezado_, totales_);
        encabezado_.post();
        // Cash already tendered: the change follows the new total, or goes when the
        // cash no longer covers it.
        if (!campos_.efectivo.empty()) {
          const std::optional<double> dado = leeNumero(campos_.efectivo);
          if (!dado || base::Importe::deDouble(*dado) < totales_.total) campos_.efectivo.clear();
          escribeCambio();
        }
      }
    }
  } catch (const dbf::Error&) {
    if (encabezado_.editing()) encabezado_.cancel();
    ui_.mensaje(kErrorGuardar);
  }
  return totales_;
}

void CapturaVenta::escribeTotalDat() {
  // For a customer display or another program; a failure is of no consequence (and is
  // tried again at the next change). The same total is not written twice.
  const std::string texto = totales_.total.formatea(aj_.mascaraImporte());
  if (texto == totalEscrito_) return;
  // The file's local path is found once: the station's directory does not move.
  if (totalLocal_.empty()) totalLocal_ = base::resuelve(base::une(aj_.dirSistema, "total.dat"));
  std::ofstream f(totalLocal_, std::ios::binary | std::ios::trunc);
  const std::string bytes = base::aCp1252(texto) + "\r\n";
  const bool escrito = f && f.write(bytes.data(), static_cast<std::streamsize>(bytes.size())) && f.flush();
  totalEscrito_ = escrito ? texto : std::string();
  if (!escrito) totalLocal_.clear();
}

void CapturaVenta::vaciaPartidas() {
  if (partidas_.isOpen()) {
    try {
      partidas_.emptyTable();
    } catch (const dbf::Error&) {
      // A write that failed (a full disk) stops the handle for good: the station's own
      // scratch table is opened again, so that the next sale can be typed once there is
      // room again.
      partidas_.close();
      partidas_.open(aj_.dirSistema, archivoPartidas_, dbf::OpenMode::Exclusive);
      partidas_.emptyTable();
    }
  }
  fila_ = 0;
}

void CapturaVenta::cargaPartidas(const std::vector<Partida>& partidas) {
  for (const Partida& p : partidas) agregaRenglon(partidas_, p);
}

Textos CapturaVenta::textos() const {
  const std::string m = aj_.mascaraImporte();
  Textos t;
  t.subtotal = totales_.subtotal.formatea(m);
  t.impuesto = totales_.impuesto.formatea(m);
  t.total = totales_.total.formatea(m);
  t.fpgc = "FPGC " + base::formateaMascara(totales_.fpgc, m);
  t.partidas = etiquetaPartidas_.empty() ? textoPartidas(totales_.partidas) : etiquetaPartidas_;
  t.factor = etiquetaFactor_;
  t.estadoCaptura = enCaptura() ? "Capturando..." : "Terminada";
  t.estado = "Activa";
  t.impresa = "No Impresa";
  t.cambio = "Cambio 0.00";
  try {
    if (encabezado_.isOpen() && !encabezado_.isEmpty()) {
      t.estado = store::textoEstadoVenta(encabezado_.asText("STATU_F"));
      t.impresa = store::textoImpresion(encabezado_.asText("TREGI_F"));
      const double cambio = encabezado_.asFloat("CAMBI_F");
      if (cambio != 0) t.cambio = "Cambio " + base::formateaMascara(cambio, "##,##0.00");
    }
  } catch (const dbf::Error&) {
  }
  return t;
}

}  // namespace mostrador::sales

namespace mostrador::sales {

Documento CapturaVenta::documento() {
  Documento d;
  d.tipo = tipo_;
  d.nuevo = nuevo_;
  d.modificando = modificando_;
  d.generado = generado_;
  d.encabezado = campos_;
  d.partidas = partidas();
  d.totales = totales_;
  d.previo = previo_;
  return d;
}

}  // namespace mostrador::sales
