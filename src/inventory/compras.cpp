#include "inventory/compras.h"

#include <cmath>

#include "base/fechas.h"
#include "base/numeros.h"
#include "base/rutas.h"
#include "base/texto.h"
#include "base/texto_util.h"
#include "store/dbf/dbf_table.h"
#include "store/estados.h"
#include "store/numeracion.h"
#include "store/unidad.h"

namespace mostrador::inventory {

namespace {

std::string linea(const std::vector<std::string>& l, int n) {
  return n >= 1 && static_cast<size_t>(n) <= l.size() ? base::recortaBlancos(l[static_cast<size_t>(n - 1)])
                                                       : std::string();
}

std::vector<std::string> divide(const std::string& t, char sep) {
  std::vector<std::string> r;
  size_t i = 0;
  for (;;) {
    const size_t j = t.find(sep, i);
    r.push_back(base::recortaBlancos(std::string_view(t).substr(i, j == std::string::npos ? std::string::npos : j - i)));
    if (j == std::string::npos) break;
    i = j + 1;
  }
  return r;
}

// A number as the files write it ("12", "-4", "3.5"); nullopt for anything else.
std::optional<double> numero(const std::string& t) {
  if (t.empty()) return std::nullopt;
  char* fin = nullptr;
  const double v = std::strtod(t.c_str(), &fin);
  if (!fin || *fin || !std::isfinite(v)) return std::nullopt;
  return v;
}

std::string sinAcentos(std::string_view t) {
  std::string r;
  for (size_t i = 0; i < t.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(t[i]);
    if (c == 0xC3 && i + 1 < t.size()) {  // UTF-8 á é í ó ú
      const unsigned char d = static_cast<unsigned char>(t[++i]);
      const char* m = d == 0xA1 || d == 0x81 ? "a" : d == 0xA9 || d == 0x89 ? "e" : d == 0xAD || d == 0x8D ? "i"
                    : d == 0xB3 || d == 0x93 ? "o" : d == 0xBA || d == 0x9A ? "u" : "?";
      r += m;
    } else if (c == 0xE1) r += 'a';  // Latin-1
    else if (c == 0xE9) r += 'e';
    else if (c == 0xED) r += 'i';
    else if (c == 0xF3) r += 'o';
    else if (c == 0xFA) r += 'u';
    else r += static_cast<char>(std::tolower(c));
  }
  return r;
}

ProductoCompra productoDe(const dbf::Table& p) {
  ProductoCompra r;
  r.clave = p.asText("CLPRO_I");
  r.descripcion = p.asText("DSCPR_I");
  r.costo = p.asFloat("ULCOS_I");
  r.precioCliente = p.asFloat("PPUBL_I");
  r.impuesto = p.asFloat("PIVA1_I");
  const double e = p.asFloat("UEMPA_I");
  r.empaque = e > 0 ? e : 1;
  return r;
}

PartidaCompra partidaDe(const ProductoCompra& p, double cantidad) {
  PartidaCompra l;
  l.clave = p.clave;
  l.descripcion = p.descripcion;
  l.cantidad = cantidad;
  l.costo = p.costo;
  l.precioCliente = p.precioCliente;
  l.impuesto = p.impuesto;
  return l;
}

}  // namespace

std::string nombreTipoCompra(TipoCompra t) {
  switch (t) {
    case TipoCompra::Recepcion: return "Recepción";
    case TipoCompra::Orden: return "Orden de Compra";
    case TipoCompra::Devolucion: return "Devolución de Compra";
  }
  return {};
}

std::optional<TipoCompra> tipoCompraDe(std::string_view texto) {
  const std::string t = sinAcentos(base::recortaBlancos(texto));
  if (t == "recepcion") return TipoCompra::Recepcion;
  if (t == "orden" || t == "orden de compra") return TipoCompra::Orden;
  if (t == "devolucion" || t == "devolucion de compra") return TipoCompra::Devolucion;
  return std::nullopt;
}

char letraCompra(TipoCompra t) {
  return t == TipoCompra::Recepcion ? 'O' : t == TipoCompra::Devolucion ? 'P' : 0;
}

int movimientoCompra(TipoCompra t) { return t == TipoCompra::Recepcion ? 51 : t == TipoCompra::Devolucion ? 2 : 0; }

const char* tablaEncabezadoCompra(TipoCompra t) {
  return t == TipoCompra::Recepcion ? "ComprasE.dbf" : t == TipoCompra::Orden ? "OrdenCom.dbf" : "DevolCom.dbf";
}

const char* tablaDetalleCompra(TipoCompra t) {
  return t == TipoCompra::Recepcion ? "ComprasD.dbf" : t == TipoCompra::Orden ? "OrdenDet.dbf" : "DevolDet.dbf";
}

AjustesCompras ajustesComprasDe(const std::vector<std::string>& lineas) {
  AjustesCompras a;
  a.dirDatos = linea(lineas, 8);
  a.dirCatalogo = linea(lineas, 59).empty() ? a.dirDatos : linea(lineas, 59);
  a.integrado = linea(lineas, 6) == "SI";
  a.preciosConImpuesto = linea(lineas, 33) == "S";
  a.reglas.sinNegativos = linea(lineas, 41).starts_with("N");
  a.recalculaPrecios = linea(lineas, 44) == "S";
  return a;
}

// ---- amounts ---------------------------------------------------------------------------------

namespace {
double factorDescuentos(const PartidaCompra& p) {
  return (1 - p.descuento1 / 100) * (1 - p.descuento2 / 100) * (1 - p.descuento3 / 100);
}
}  // namespace

double importePartida(const PartidaCompra& p) { return p.cantidad * p.costo * factorDescuentos(p); }

double costoNeto(const PartidaCompra& p, double descuentoDocumento) {
  return p.costo * factorDescuentos(p) * (1 - descuentoDocumento / 100);
}

TotalesCompra totalesCompra(const DocumentoCompra& d, bool preciosConImpuesto) {
  TotalesCompra t;
  const bool incluido = preciosConImpuesto && !d.noDesglosado;
  base::Importe impuesto;
  for (const PartidaCompra& p : d.partidas) {
    const base::Importe importe = base::Importe::deDouble(importePartida(p));
    t.bruto += importe;
    const double i = importePartida(p);
    impuesto += base::Importe::deDouble(incluido ? i - i / (1 + p.impuesto / 100) : i * p.impuesto / 100);
  }
  t.descuento = (t.bruto * (d.descuento / 100)).redondeaCentavos();
  // The document discount lowers the goods and the tax they bear alike.
  t.impuesto = impuesto * (1 - d.descuento / 100);
  const base::Importe mercancia = t.bruto - t.descuento;
  // Prices with tax: the tax is inside the goods, and the subtotal is what is left of
  // them, so that subtotal + tax is the amount owed and not the tax added twice.
  t.subtotal = incluido ? mercancia - t.impuesto : mercancia;
  t.total = t.subtotal + t.impuesto;
  return t;
}

std::string textoImporte(base::Importe i) { return "$" + i.formatea("###,###,##0.00"); }

// ---- line entry ----------------------------------------------------------------------------

std::optional<ProductoCompra> buscaProductoCompra(const AjustesCompras& a, const std::string& claveOCodigo) {
  const std::string clave = base::recortaBlancos(claveOCodigo);
  if (clave.empty()) return std::nullopt;
  dbf::Table p;
  p.open(a.dirCatalogo, "inventar.dbf");
  p.setIndex("ICLPRO");
  if (p.findKey({clave})) return productoDe(p);
  p.setIndex("CODIG_I");
  if (p.findKey({clave})) return productoDe(p);
  return std::nullopt;
}

EntradaPartida capturaPartida(const AjustesCompras& a, const std::string& claveOCodigo, double cantidadOCajas) {
  EntradaPartida e;
  const auto p = buscaProductoCompra(a, claveOCodigo);
  if (!p) {
    e.mensaje = kProductoNoSeEncuentra;
    return e;
  }
  PartidaCompra l = partidaDe(*p, cantidadOCajas);
  if (a.porEmpaque) {
    l.cajas = cantidadOCajas;
    l.cantidad = cantidadOCajas * p->empaque;
  }
  e.partida = std::move(l);
  return e;
}

std::optional<ProveedorCompra> buscaProveedor(const AjustesCompras& a, const std::string& clave) {
  const std::string k = base::recortaBlancos(clave);
  if (k.empty()) return std::nullopt;
  dbf::Table t;
  t.open(a.dirDatos, "proveedo.dbf");
  t.setIndex("ICLAPRO");
  if (!t.findKey({k})) return std::nullopt;
  ProveedorCompra p;
  p.clave = t.asText("CLAVE_P");
  p.nombre = t.asText("NOMBR_P");
  p.direccion = t.asText("DIREC_P");
  p.poblacion = t.asText("POBLA_P");
  p.diasCredito = static_cast<int>(t.asInteger("DCRED_P"));
  p.margen = t.asFloat("POUTI_P");
  return p;
}

std::string fechaPagoPropuesta(const std::string& fechaRecepcion, int diasCredito) {
  const auto f = base::leeFechaCorta(fechaRecepcion);
  if (!f) return {};
  return base::fechaCorta(base::fechaDeSerial(base::serialFecha(*f) + diasCredito));
}

// ---- numbering -----------------------------------------------------------------------------

Propuesta proponeNumero(const AjustesCompras& a, TipoCompra t) {
  Propuesta p;
  dbf::Table e;
  e.open(a.dirDatos, tablaEncabezadoCompra(t));
  if (t == TipoCompra::Recepcion) {
    store::Numerador n;
    p.numero = n.proponeNumeroCompra(e);
    p.reservado = e.recno();
  } else {
    e.setIndex("ICOMENC");
    e.last();
    p.numero = e.isEmpty() ? 1 : e.asInteger("CLDOC_O") + 1;
  }
  return p;
}

void descartaPropuesta(const AjustesCompras& a, TipoCompra t, uint32_t reservado) {
  if (reservado == 0) return;
  dbf::Table e;
  e.open(a.dirDatos, tablaEncabezadoCompra(t));
  if (!e.goTo(reservado) || !e.isNull("CONTROL")) return;  // saved meanwhile: it is a document
  if (store::bloquea({{&e, reservado, "el documento"}})) return;
  store::UnidadGuardado unidad({a.dirDatos});
  e.goTo(reservado);
  e.remove();
  unidad.confirma();
  e.releaseLocks();
}

// ---- reading ------------------------------------------------------------------------------

namespace {
std::string textoEstadoCompra(const std::string& st) {
  if (st == "C") return "Cancelada";
  if (st == "G") return "Pagada";
  return "Activa";
}

std::string fechaDe(const dbf::Table& t, const char* campo) {
  const auto f = t.asDate(campo);
  return f ? base::fechaCorta(base::Fecha{f->anio, f->mes, f->dia}) : std::string();
}
}  // namespace

std::optional<CompraGuardada> leeCompra(const AjustesCompras& a, TipoCompra t, long long numero) {
  dbf::Table e, d;
  e.open(a.dirDatos, tablaEncabezadoCompra(t));
  e.setIndex("ICOMENC");
  e.setRange({static_cast<double>(numero)}, {static_cast<double>(numero)});
  bool hallado = false;
  for (e.first(); !e.eof(); e.next())
    if (!e.isNull("CONTROL")) {
      hallado = true;
      break;
    }
  if (!hallado) return std::nullopt;
  CompraGuardada c;
  DocumentoCompra& doc = c.documento;
  doc.tipo = t;
  doc.numero = numero;
  doc.proveedor = e.asText("CLPRV_O");
  doc.fecha = fechaDe(e, "FEDOC_O");
  doc.fechaRecepcion = fechaDe(e, "FEREC_O");
  doc.fechaPago = fechaDe(e, "FEPAG_O");
  doc.referencia = e.asText("REFER_O");
  doc.moneda = e.asText("MONED_O");
  doc.descuento = e.asFloat("DTOTA_O");
  doc.almacen = e.asText("NALMA_O");
  c.nombre = e.asText("NOMBR_O");
  c.direccion = e.asText("DIREC_O");
  c.poblacion = e.asText("POBLA_O");
  c.estado = e.asText("STDOC_O");
  c.textoEstado = textoEstadoCompra(c.estado);
  c.control = e.asInteger("CONTROL");
  c.abono = e.asFloat("ABONO_O");
  c.saldo = e.asFloat("SALDO_O");
  c.totales.subtotal = base::Importe::deDouble(e.asFloat("SUBTO_O"));
  c.totales.impuesto = base::Importe::deDouble(e.asFloat("IMPMO_O"));
  c.totales.total = base::Importe::deDouble(e.asFloat("IMDOC_O"));
  d.open(a.dirDatos, tablaDetalleCompra(t));
  d.setIndex("ICOMDET");
  const std::string n = std::to_string(numero);
  d.setRange({n}, {n});
  for (d.first(); !d.eof(); d.next()) {
    if (d.asInteger("CONTROL") != c.control) continue;
    PartidaCompra p;
    p.clave = d.asText("CLPRO_OD");
    p.descripcion = d.asText("DESCR_OD");
    p.cantidad = d.asFloat("CANTI_OD");
    p.cajas = d.asFloat("CAJAS_OD");
    p.costo = d.asFloat("CUNIT_OD");
    p.descuento1 = d.asFloat("PODES_OD");
    p.descuento2 = d.asFloat("PODE2_OD");
    p.descuento3 = d.asFloat("PODE3_OD");
    p.impuesto = d.asFloat("POIVA_OD");
    p.precioCliente = d.asFloat("PRECL_OD");
    p.caducidad = d.asText("CADUC_OD");
    p.referencia = d.asText("REFER_OD");
    doc.partidas.push_back(std::move(p));
  }
  return c;
}

// ---- suggested order and imports ----------------------------------------------------------

Sugerido pedidoSugerido(const AjustesCompras& a, const std::string& proveedor, bool porMaximo) {
  Sugerido s;
  const std::string clave = base::recortaBlancos(proveedor);
  if (clave.empty()) {
    s.mensaje = kFaltoProveedor;
    return s;
  }
  if (!base::existe(base::une(a.dirCatalogo, "inventar.dbf"))) {
    s.mensaje = kNoSeGeneraPedido;
    return s;
  }
  dbf::Table p;
  p.open(a.dirCatalogo, "inventar.dbf");
  p.setIndex("ICLPRO");
  for (p.first(); !p.eof(); p.next()) {
    if (base::recortaBlancos(p.asText("CLPR1_I")) != clave) continue;
    const double existencia = p.asFloat("EXIST_I");
    const double q = porMaximo ? p.asFloat("STMAX_I") - existencia : p.asFloat("STMIN_I") - existencia;
    if (q <= 0) continue;
    s.partidas.push_back(partidaDe(productoDe(p), q));
  }
  return s;
}

LecturaPedido importaPedido(const AjustesCompras& a, const std::vector<std::string>& lineas) {
  LecturaPedido r;
  dbf::Table p;
  p.open(a.dirCatalogo, "inventar.dbf");
  for (size_t i = 0; i < lineas.size(); ++i) {
    const std::string t = base::recortaBlancos(lineas[i]);
    if (t.empty()) continue;
    const std::string lugar = "Línea " + std::to_string(i + 1) + ": ";
    const std::vector<std::string> c = divide(t, ',');
    if (c.size() != 2 || c[0].empty()) {
      r.errores.push_back(lugar + "se esperaba clave,cantidad");
      continue;
    }
    const auto q = numero(c[1]);
    if (!q || *q <= 0) {
      r.errores.push_back(lugar + "la cantidad \"" + c[1] + "\" no es válida");
      continue;
    }
    p.setIndex("ICLPRO");
    bool hallado = p.findKey({c[0]});
    if (!hallado) {
      p.setIndex("CODIG_I");
      hallado = p.findKey({c[0]});
    }
    if (!hallado) {
      r.errores.push_back(lugar + std::string(kProductoNoSeEncuentra) + " (" + c[0] + ")");
      continue;
    }
    r.partidas.push_back(partidaDe(productoDe(p), *q));
  }
  if (r.errores.empty() && r.partidas.empty()) r.errores.push_back(std::string(kSinInformacion));
  return r;
}

LecturaCompra leeArchivoCompra(const std::vector<std::string>& lineas) {
  LecturaCompra r;
  DocumentoCompra& d = r.documento;
  bool conTipo = false;
  for (size_t i = 0; i < lineas.size(); ++i) {
    const std::string t = base::recortaBlancos(lineas[i]);
    if (t.empty() || t[0] == '#') continue;
    const std::string lugar = "Línea " + std::to_string(i + 1) + ": ";
    const size_t igual = t.find('=');
    if (igual != std::string::npos && t.find(';') == std::string::npos) {
      const std::string campo = base::minusculasAscii(base::recortaBlancos(t.substr(0, igual)));
      const std::string valor = base::recortaBlancos(t.substr(igual + 1));
      if (campo == "tipo") {
        const auto k = tipoCompraDe(valor);
        if (!k) r.errores.push_back(lugar + "tipo \"" + valor + "\" desconocido (Recepcion, Orden o Devolucion)");
        else {
          d.tipo = *k;
          conTipo = true;
        }
      } else if (campo == "proveedor") {
        d.proveedor = valor;
      } else if (campo == "fecha") {
        const auto f = base::leeFechaCorta(valor);
        if (!f) r.errores.push_back(lugar + "la fecha \"" + valor + "\" no es válida (dd/MM/aaaa)");
        else d.fecha = base::fechaCorta(*f);
      } else if (campo == "numero") {
        const auto n = numero(valor);
        if (!n || *n < 1 || *n != std::floor(*n)) r.errores.push_back(lugar + "el número \"" + valor + "\" no es válido");
        else d.numero = static_cast<long long>(*n);
      } else if (campo == "descuento") {
        const auto n = numero(valor);
        if (!n || *n < 0 || *n >= 100) r.errores.push_back(lugar + "el descuento \"" + valor + "\" no es válido");
        else d.descuento = *n;
      } else if (campo == "nodesglosado") {
        d.noDesglosado = valor == "S" || valor == "s";
      } else if (campo == "referencia") {
        d.referencia = valor;
      } else {
        r.errores.push_back(lugar + "campo \"" + campo + "\" desconocido");
      }
      continue;
    }
    const std::vector<std::string> c = divide(t, ';');
    if (c.size() < 3 || c.size() > 7 || c[0].empty()) {
      r.errores.push_back(lugar + "se esperaba clave;cantidad;costo[;d1[;d2[;d3[;precio]]]]");
      continue;
    }
    PartidaCompra p;
    p.clave = c[0];
    const auto q = numero(c[1]);
    const auto costo = numero(c[2]);
    if (!q || *q <= 0) {
      r.errores.push_back(lugar + "la cantidad \"" + c[1] + "\" no es válida");
      continue;
    }
    if (!costo || *costo < 0) {
      r.errores.push_back(lugar + "el costo \"" + c[2] + "\" no es válido");
      continue;
    }
    p.cantidad = *q;
    p.costo = *costo;
    bool bien = true;
    double* destino[] = {&p.descuento1, &p.descuento2, &p.descuento3, &p.precioCliente};
    for (size_t k = 3; k < c.size(); ++k) {
      if (c[k].empty()) continue;
      const auto v = numero(c[k]);
      const bool esDescuento = k < 6;
      if (!v || *v < 0 || (esDescuento && *v >= 100)) {
        r.errores.push_back(lugar + (esDescuento ? "el descuento \"" : "el precio \"") + c[k] + "\" no es válido");
        bien = false;
        break;
      }
      *destino[k - 3] = *v;
    }
    if (bien) d.partidas.push_back(std::move(p));
  }
  if (!conTipo) r.errores.push_back("Falta la línea tipo=Recepcion|Orden|Devolucion");
  if (d.proveedor.empty()) r.errores.push_back("Falta la línea proveedor=CLAVE");
  if (d.fecha.empty()) r.errores.push_back("Falta la línea fecha=dd/MM/aaaa");
  return r;
}

bool escribeEtiquetasCompra(const std::string& dirTrabajo, const CompraGuardada& c) {
  const DocumentoCompra& d = c.documento;
  auto num = [](double v) { return base::Decimal::deDouble(v).texto(); };
  const std::vector<std::string> encabezado = {
      "CLDOC_O\tCLPRV_O\tNOMBR_O\tFEDOC_O\tREFER_O\tIMDOC_O",
      std::to_string(d.numero) + "\t" + d.proveedor + "\t" + c.nombre + "\t" + d.fecha + "\t" + d.referencia +
          "\t" + c.totales.total.texto()};
  std::vector<std::string> detalle = {"CLPRO_OD\tDESCR_OD\tCANTI_OD\tCUNIT_OD\tPRECL_OD\tCADUC_OD"};
  for (const PartidaCompra& p : d.partidas)
    detalle.push_back(p.clave + "\t" + p.descripcion + "\t" + num(p.cantidad) + "\t" + num(p.costo) + "\t" +
                      num(p.precioCliente) + "\t" + p.caducidad);
  return base::escribeLineas(base::une(dirTrabajo, "etiqc.dat"), encabezado) &&
         base::escribeLineas(base::une(dirTrabajo, "etiqcd.dat"), detalle);
}

}  // namespace mostrador::inventory
