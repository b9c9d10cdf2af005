#include "sales/mostrador_venta.h"

#include <cmath>

#include "base/numeros.h"
#include "base/rutas.h"
#include "base/texto.h"
#include "base/texto_util.h"
#include "sales/filas_documento.h"
#include "sales/precios.h"
#include "sales/texto_venta.h"
#include "session/derechos.h"
#include "store/catalogo.h"

namespace mostrador::sales {

namespace {

constexpr std::string_view kTablaDescuentos = "Descuento.DBF";
constexpr std::string_view kTablaPendientes = "Existe.dbf";
constexpr std::string_view kExportaOmision = "Movimientos.mov";
constexpr double kSinValor = -1000;

std::string rutaEncabeza(std::string_view dirSistema) { return base::une(dirSistema, "encabeza.cnf"); }

// Opens a table of the catalogue, creating it empty first when it is missing.
void abreOCrea(dbf::Table& t, const std::string& dir, std::string_view archivo) {
  if (!base::existe(base::une(dir, archivo))) {
    const store::DefTabla* def = store::buscaTabla(archivo);
    if (def) dbf::Table::create(dir, archivo, def->campos, def->indices);
  }
  t.open(dir, archivo);
}

std::string dosDigitos(int n) { return (n < 10 ? "0" : "") + std::to_string(n); }

}  // namespace

// ---- station files ---------------------------------------------------------------------

OpcionesMostrador leeOpcionesMostrador(std::string_view dirSistema) {
  OpcionesMostrador o;
  const auto lineas = base::leeLineas(rutaEncabeza(dirSistema)).value_or(std::vector<std::string>{});
  auto si = [&](size_t n) { return lineas.size() >= n && base::recorta(lineas[n - 1]) == "S"; };
  o.guardaEImprime = si(10);
  o.iniciaEnVendedor = si(11);
  o.detallePersonal = si(12);
  o.identificador = si(13);
  o.bascula = si(14);
  return o;
}

bool marcaOpcionMostrador(std::string_view dirSistema, int linea, bool valor) {
  if (linea < 10 || linea > 14) return false;
  auto lineas = base::leeLineas(rutaEncabeza(dirSistema));
  if (!lineas) return false;
  if (static_cast<int>(lineas->size()) < linea) lineas->resize(static_cast<size_t>(linea));
  (*lineas)[static_cast<size_t>(linea - 1)] = valor ? "S" : "N";
  return base::escribeLineas(rutaEncabeza(dirSistema), *lineas);
}

bool accesoModificar(std::string_view dirSistema) {
  const auto lineas = base::leeLineas(base::une(dirSistema, "mdf.cnf"));
  return lineas && !lineas->empty() && lineas->front() == kCodigoModificar;
}

// ---- payment types -------------------------------------------------------------------------

double valorTipoPago(std::string_view dirDatos, std::string_view tipo) {
  dbf::Table t;
  try {
    t.open(dirDatos, kTablaDescuentos);
    t.setIndex("TIPOPAGO");
    if (!t.findKey({std::string(tipo)}) || base::recorta(t.asText("TIPOPAGO")) != base::recorta(tipo))
      return kSinValor;
    const bool hayPrecio = !t.isNull("PRECIO"), hayDescuento = !t.isNull("DESCUENTO");
    if (!hayPrecio && !hayDescuento) return kSinValor;
    double v = kSinValor;
    if (hayPrecio) v = t.asFloat("PRECIO");
    if (hayDescuento) v = t.asFloat("DESCUENTO");
    return v;
  } catch (const dbf::Error&) {
    return kSinValor;  // no table: no payment type carries a value
  }
}

std::vector<ValorPago> leeValoresPago(std::string_view dirDatos, const std::vector<std::string>& tipos) {
  std::vector<ValorPago> r;
  dbf::Table t;
  bool abierta = false;
  try {
    t.open(dirDatos, kTablaDescuentos);
    t.setIndex("TIPOPAGO");
    abierta = true;
  } catch (const dbf::Error&) {
  }
  for (const std::string& tipo : tipos) {
    ValorPago v{tipo, std::nullopt, std::nullopt};
    if (abierta && t.findKey({tipo}) && base::recorta(t.asText("TIPOPAGO")) == base::recorta(tipo)) {
      if (!t.isNull("DESCUENTO")) v.descuento = t.asFloat("DESCUENTO");
      if (!t.isNull("PRECIO")) v.precio = t.asFloat("PRECIO");
    }
    r.push_back(std::move(v));
  }
  return r;
}

bool escribeValoresPago(std::string_view dirDatos, const std::vector<ValorPago>& valores) {
  try {
    dbf::Table t;
    abreOCrea(t, std::string(dirDatos), kTablaDescuentos);
    t.setIndex("TIPOPAGO");
    for (const ValorPago& v : valores) {
      if (t.findKey({v.tipo}) && base::recorta(t.asText("TIPOPAGO")) == base::recorta(v.tipo)) {
        t.edit();
      } else {
        t.append();
        t.setText("TIPOPAGO", v.tipo);
      }
      if (v.descuento) t.setFloat("DESCUENTO", *v.descuento);
      else t.setNull("DESCUENTO");
      if (v.precio) t.setFloat("PRECIO", *v.precio);
      else t.setNull("PRECIO");
      t.post();
    }
    return true;
  } catch (const dbf::Error&) {
    return false;
  }
}

// ---- callers and quick products ----------------------------------------------------------

std::vector<Llamada> leeLlamadas(std::string_view dirHistorial, std::string_view dirDatos, const base::Fecha& dia) {
  std::vector<Llamada> r;
  const std::string archivo = dosDigitos(dia.dia) + dosDigitos(dia.mes) + std::to_string(dia.anio) + ".his";
  const auto lineas = base::leeLineas(base::une(dirHistorial, archivo));
  if (!lineas) return r;  // no device, or no call yet today
  dbf::Table clientes;
  bool hayClientes = false;
  try {
    clientes.open(dirDatos, "cliente.dbf");
    clientes.setIndex("ICLACLI");
    hayClientes = true;
  } catch (const dbf::Error&) {
  }
  for (const std::string& l : *lineas) {
    if (base::recorta(l).empty()) continue;
    Llamada c;
    const size_t coma = l.rfind(',');
    c.numero = base::recorta(coma == std::string::npos ? l : l.substr(coma + 1));
    if (coma != std::string::npos) c.hora = base::recorta(l.substr(0, coma));
    try {
      if (hayClientes && !c.numero.empty() && clientes.findKey({c.numero})) {
        c.nombre = clientes.asText("NOMBR_C");
        c.direccion = clientes.asText("DIREC_C");
      }
    } catch (const dbf::Error&) {
    }
    r.push_back(std::move(c));
  }
  return r;
}

std::string altaRapida(std::string_view dirInventario, const ProductoRapido& p) {
  const std::string clave = base::recorta(p.clave);
  if (clave.empty()) return "Falta la Clave del Producto";
  try {
    dbf::Table t;
    t.open(dirInventario, "inventar.dbf");
    t.setIndex("ICLPRO");
    if (t.findKey({clave})) return "El producto ya esta dado de alta...";
    t.append();
    t.setText("CLPRO_I", clave);
    t.setText("DSCPR_I", p.descripcion);
    t.setText("CODIG_I", p.codigo);
    t.setFloat("PPUBL_I", p.precio);
    t.setFloat("UEMPA_I", p.factor);
    t.post();
    return {};
  } catch (const dbf::Error&) {
    return "No Pueden Guardarse los Datos ha Ocurrido un Error";
  }
}

// ---- the counter -----------------------------------------------------------------------------

MostradorVenta::MostradorVenta(CapturaVenta& captura, base::Procesos& procesos,
                               const base::TablaProgramas& programas, std::string dirActual)
    : c_(captura), procesos_(procesos), programas_(programas), dirActual_(std::move(dirActual)) {
  const AjustesVenta& aj = c_.ajustes();
  opciones_ = leeOpcionesMostrador(aj.dirSistema);
  tipos_ = aj.tiposPago;
  // Counter numbering: each station appends to the counter and counts, so two stations
  // starting a sale at once never share a number.
  c_.ponNumeracion([this](dbf::Table& encabezado) { return numerador_.tomaNumeroDocumento(encabezado); });
  c_.alIniciar([this](long long numero) { escribeActual(numero); });
  c_.ponAutorizacion([this](int derecho) { return autoriza(derecho); });
  c_.ponLimitePartidas(static_cast<int>(base::leeNumero(aj.linea(70)).value_or(0)));
  c_.guardado().ponPendientes([this](const ExistenciaPendiente& p) { anotaPendiente(p); });
}

bool MostradorVenta::cambiaOpcion(int linea, bool valor) {
  if (!marcaOpcionMostrador(c_.ajustes().dirSistema, linea, valor)) return false;
  opciones_ = leeOpcionesMostrador(c_.ajustes().dirSistema);
  return true;
}

bool MostradorVenta::alMostrar() {
  numerador_.reinicia();
  // Once allowed, modifying stays allowed for the rest of the run.
  if (!modificar_) modificar_ = accesoModificar(c_.ajustes().dirSistema);
  return modificar_;
}

void MostradorVenta::recargaPagos() {
  tipos_ = base::leeLineas(base::une(c_.ajustes().dirDatos, "Pagos.cnf")).value_or(std::vector<std::string>{});
}

MostradorVenta::Pago MostradorVenta::aplicaTipoPago(std::string_view tipo) {
  const std::string t = base::recorta(tipo);
  if (t.empty()) return Pago::Nada;
  c_.campos().tipoPago = t;
  if (!c_.enCaptura()) return Pago::Nada;
  const double v = valorTipoPago(c_.ajustes().dirDatos, t);
  if (v <= kSinValor) return Pago::Nada;
  try {
    if (v < 1000) {
      // The document discount only; the totals follow at the next recomputation.
      c_.campos().descuento = numeroTexto(v);
      dbf::Table& e = c_.encabezado();
      if (e.isOpen() && !e.isEmpty()) {
        e.edit();
        e.setFloat("DESFI_F", v);
        e.post();
      }
      return Pago::Descuento;
    }
    int lista = static_cast<int>(std::floor(v - 1000));
    if (lista < 1) lista = 0;
    dbf::Table& partidas = c_.tablaPartidas();
    dbf::Table& productos = c_.productos();
    productos.setIndex("ICLPRO");
    for (partidas.first(); !partidas.eof(); partidas.next()) {
      const std::string clave = partidas.asText("CLAVE");
      if (clave == kComentario || clave.empty() || !productos.findKey({clave})) continue;
      const double precio = precioLista(PreciosProducto::de(productos), lista, partidas.asFloat("PRECIO"));
      const double q = partidas.asFloat("CANTIDAD");
      partidas.edit();
      partidas.setFloat("PRECIO", precio);
      partidas.setFloat("IMPORTE", q * precio - (q * precio) * partidas.asFloat("DESCUENTO") * 0.01);
      partidas.post();
    }
    c_.recalcula();
    return Pago::Lista;
  } catch (const dbf::Error&) {
    if (c_.encabezado().editing()) c_.encabezado().cancel();
    if (c_.tablaPartidas().editing()) c_.tablaPartidas().cancel();
    c_.interaccion().mensaje(kErrorPago);
    return Pago::Nada;
  }
}

bool MostradorVenta::efectivo(std::string_view texto) { return c_.efectivo(texto); }

std::string MostradorVenta::ventaEnEspera() {
  const AjustesVenta& aj = c_.ajustes();
  std::string tabla = c_.archivoPartidas();
  if (const size_t punto = tabla.rfind('.'); punto != std::string::npos) tabla.resize(punto);
  if (!base::escribeLineas(base::une(aj.dirSistema, "Multi.dat"), {aj.usuario, tabla, "Deta"}))
    return "No se pudo escribir " + base::une(aj.dirSistema, "Multi.dat");
  const base::ResultadoPrograma r =
      programas_.inicia(procesos_, base::une(aj.dirSistema, "CapturaR.exe"), "", "", false);
  return r.iniciado ? std::string() : r.mensaje;
}

bool MostradorVenta::exporta() {
  const AjustesVenta& aj = c_.ajustes();
  std::string destino;
  if (auto l = base::leeLineas(base::une(aj.dirSistema, "Exporta.cnf")); l && !l->empty())
    destino = base::recorta(l->front());
  if (destino.empty()) destino = rutaActual(kExportaOmision);
  std::vector<std::string> lineas;
  for (const Partida& p : c_.partidas()) {
    if (p.clave.empty()) continue;  // the blank line waiting for the next key
    lineas.push_back(p.clave + "," + numeroTexto(p.cantidad.value_or(0)));
  }
  if (!base::escribeLineas(destino, lineas)) {
    c_.interaccion().mensaje("No se pudo escribir " + destino);
    return false;
  }
  return true;
}

std::vector<Llamada> MostradorVenta::llamadas(std::string_view dirHistorial) {
  return leeLlamadas(dirHistorial, c_.ajustes().dirDatos, c_.reloj().ahora().fecha);
}

std::string MostradorVenta::rutaActual(std::string_view archivo) const {
  return dirActual_.empty() ? std::string(archivo) : base::une(dirActual_, archivo);
}

void MostradorVenta::escribeActual(long long numero, bool capturaRapida) {
  base::escribeLineas(rutaActual(capturaRapida ? "actualR.dat" : "actual.dat"), {std::to_string(numero)});
}

bool MostradorVenta::muestraActual() {
  const auto l = base::leeLineas(rutaActual("actual.dat"));
  if (!l || l->empty() || c_.enCaptura()) return false;
  const auto n = base::leeNumero(base::recorta(l->front()));
  if (!n) return false;
  try {
    dbf::Table& e = c_.encabezado();
    e.setIndex("INUMENC");
    e.findNearest({*n});
    if (e.eof() && !e.isEmpty()) e.last();
  } catch (const dbf::Error&) {
    return false;
  }
  c_.muestra();
  return true;
}

std::vector<int> MostradorVenta::anchosDetalle() const {
  std::vector<int> r;
  for (const std::string& l : base::leeLineas(rutaActual("detalle.dat")).value_or(std::vector<std::string>{})) {
    const auto n = base::leeNumero(base::recorta(l));
    r.push_back(n && *n > 0 ? static_cast<int>(*n) : -1);
  }
  return r;
}

bool MostradorVenta::guardaAnchos(const std::vector<int>& anchos) const {
  std::vector<std::string> l;
  for (int a : anchos) l.push_back(std::to_string(a));
  return base::escribeLineas(rutaActual("detalle.dat"), l);
}

bool MostradorVenta::autoriza(int derecho) {
  const AjustesVenta& aj = c_.ajustes();
  if (aj.usuario == "0") return true;
  return session::autorizaPortador(c_.interaccion(), aj.dirSistema, aj.dirDatos, derecho, true).concedida;
}

void MostradorVenta::anotaPendiente(const ExistenciaPendiente& p) {
  // In the data directory, where the catalogue adds it into the available figure (also
  // when line 59 keeps the products elsewhere); inside the save's unit, which writes there.
  dbf::Table t;
  abreOCrea(t, c_.ajustes().dirDatos, kTablaPendientes);
  t.append();
  t.setText("CLAVE", p.clave);
  t.setFloat("CANTI", p.cantidad);
  t.setInteger("CONTROL", p.control);
  t.setText("MODULO", p.modulo);
  t.setInteger("MOVIMIENTO", p.movimiento);
  t.post();
}

}  // namespace mostrador::sales
