#include "sales/filas_documento.h"

#include "base/fechas.h"
#include "base/numeros.h"
#include "sales/texto_venta.h"

namespace mostrador::sales {

namespace {

// A number typed in a header field; 0 when it is not one.
double numeroDeCampo(std::string_view t) { return base::leeNumero(t).value_or(0); }

}  // namespace

bool esGuardable(const Partida& p) {
  return p.cantidad && *p.cantidad > 0 && !p.clave.empty() && !p.producto.empty() && p.clave != kComentario;
}

char Documento::letra() const {
  return tipo == TipoVenta::Factura && generado ? 'Z' : defTipo(tipo).letra;
}

std::string Documento::fecha() const {
  if (auto f = base::leeFechaCorta(encabezado.fecha)) return base::fechaCorta(*f);
  return encabezado.fecha;
}

Partida partidaDeRenglon(const dbf::Cursor& t) {
  Partida p;
  if (!t.isNull("CANTIDAD")) p.cantidad = t.asFloat("CANTIDAD");
  p.clave = t.asText("CLAVE");
  p.producto = t.asText("PRODUCTO");
  p.unidad = t.asText("UNIDAD");
  p.tara = t.asText("TARA");
  p.precio = t.asFloat("PRECIO");
  p.descuento = t.asFloat("DESCUENTO");
  p.descuento2 = t.asFloat("DESCUENTO2");
  p.descuento3 = t.asFloat("DESCUENTO3");
  p.importe = t.asFloat("IMPORTE");
  p.costo = t.asFloat("COSTO");
  p.impuesto = t.asFloat("IMPUESTO");
  p.factor = t.asFloat("FACTOR");
  p.empaque = t.asFloat("EMPAQUE");
  p.precioTara = t.asFloat("PREC_TARA");
  p.fpgc = t.asFloat("FPGC");
  return p;
}

void agregaRenglon(dbf::Table& t, const Partida& p) {
  t.append();
  if (p.cantidad) t.setFloat("CANTIDAD", *p.cantidad);
  t.setText("CLAVE", p.clave);
  t.setText("PRODUCTO", p.producto);
  t.setText("UNIDAD", p.unidad);
  t.setText("TARA", p.tara);
  t.setFloat("PRECIO", p.precio);
  t.setFloat("DESCUENTO", p.descuento);
  t.setFloat("DESCUENTO2", p.descuento2);
  t.setFloat("DESCUENTO3", p.descuento3);
  t.setFloat("IMPORTE", p.importe);
  t.setFloat("COSTO", p.costo);
  t.setFloat("IMPUESTO", p.impuesto);
  t.setFloat("FACTOR", p.factor);
  t.setFloat("EMPAQUE", p.empaque);
  t.setFloat("PREC_TARA", p.precioTara);
  t.setFloat("FPGC", p.fpgc);
  t.post();
}

Partida partidaDeDetalle(const dbf::Table& d, LecturaDetalle lectura) {
  Partida p;
  if (lectura != LecturaDetalle::Copia || !d.isNull("CANTI_FD")) p.cantidad = d.asFloat("CANTI_FD");
  p.clave = d.asText("CLPRO_FD");
  p.producto = d.asText("DEPRO_FD");
  if (lectura == LecturaDetalle::Existencias) {
    p.precio = d.asFloat("PUNPR_FD");
    p.costo = d.asFloat("COPRO_FD");
    return p;
  }
  p.unidad = d.asText("UNIDA_FD");
  p.tara = d.asText("PENDI_FD");
  p.precio = d.asFloat("PUNPR_FD");
  p.descuento = d.asFloat("PDES1_FD");
  p.costo = d.asFloat("COPRO_FD");
  p.impuesto = d.asFloat("PIVA1_FD");
  p.factor = d.asFloat("PIVA2_FD");
  p.fpgc = d.asFloat("FPGCX_FD");
  p.importe = importeLinea(p.cantidad.value_or(0), p.precio, p.descuento);
  return p;
}

void agregaDetalle(dbf::Table& detalle, const Partida& p, const std::string& numero, long long control,
                   const std::string& fecha, double descuentoDocumento) {
  detalle.append();
  detalle.setText("CLDOC_FD", numero);
  detalle.setInteger("CONTROL", control);
  detalle.setText("CLPRO_FD", p.clave);
  detalle.setFloat("CANTI_FD", p.cantidad.value_or(0));
  detalle.setText("PENDI_FD", p.tara);
  detalle.setText("DEPRO_FD", p.producto);
  detalle.setFloat("PUNPR_FD", p.precio);
  detalle.setFloat("PREDE_FD", p.precio * (1 - p.descuento / 100) * (1 - p.descuento2 / 100) *
                                   (1 - p.descuento3 / 100) * (1 - descuentoDocumento / 100) /
                                   (1 + p.impuesto / 100));
  detalle.setFloat("IMPOR_FD", p.precio * p.cantidad.value_or(0));
  detalle.setFloat("COPRO_FD", p.costo);
  detalle.setFloat("PDES1_FD", p.descuento);
  detalle.setText("UNIDA_FD", p.unidad);
  detalle.setText("FEDOC_FD", fecha);
  detalle.setFloat("PIVA1_FD", p.impuesto);
  detalle.setFloat("FPGCX_FD", p.fpgc);
  detalle.setFloat("PIVA2_FD", p.factor);
  detalle.post();
}

CamposEncabezado camposDeEncabezado(const dbf::Table& e) {
  CamposEncabezado c;
  c.numero = e.asText("CLDOC_F");
  c.cliente = e.asText("CLCLI_F");
  c.vendedor = e.asText("CLVEN_F");
  c.comision = e.isNull("CTOVE_F") ? "" : numeroTexto(e.asFloat("CTOVE_F"));
  c.fecha = e.asText("FEDOC_F");
  c.descuento = numeroTexto(e.asFloat("DESFI_F"));
  c.tasa = e.isNull("IMIM1_F") ? "" : numeroTexto(e.asFloat("IMIM1_F"));
  c.caja = e.asText("BCLIM_F");
  c.nombre = e.asText("NOMBR_F");
  c.direccion = e.asText("DIREC_F");
  c.direccion2 = e.asText("DIRE2_F");
  c.poblacion = e.asText("POBLA_F");
  c.rfc = e.asText("RFCXX_F");
  c.codigoPostal = e.asText("CPXXX_F");
  return c;
}

void ponTotales(dbf::Table& e, const Totales& t) {
  e.setFloat("SUBTO_F", t.subtotal.aDouble());
  e.setFloat("DECOT_F", t.descuento);
  e.setFloat("IMIM2_F", t.impuesto.aDouble());
  e.setFloat("IMTOD_F", t.total.aDouble());
  e.setFloat("COSTO_F", t.costo.aDouble());
  e.setFloat("SALDO_F", t.total.aDouble() - e.asFloat("ABONO_F"));
  e.setFloat("FPGCX_F", t.fpgc);
}

void ponEncabezado(dbf::Table& e, const Documento& d, long long numero, long long control,
                   const std::string& hora) {
  const CamposEncabezado& c = d.encabezado;
  const auto f = dbf::leeFecha(d.fecha());
  e.setInteger("CLDOC_F", numero);
  e.setInteger("CONTROL", control);
  e.setText("CLCLI_F", c.cliente);
  e.setText("NOMBR_F", c.nombre);
  e.setText("DIREC_F", c.direccion);
  e.setText("DIRE2_F", c.direccion2);
  e.setText("POBLA_F", c.poblacion);
  e.setText("RFCXX_F", c.rfc);
  e.setText("CPXXX_F", c.codigoPostal);
  e.setText("CLVEN_F", c.vendedor);
  e.setFloat("CTOVE_F", numeroDeCampo(c.comision));
  e.setText("BCLIM_F", c.caja);
  e.setFloat("DESFI_F", numeroDeCampo(c.descuento));
  e.setFloat("IMIM1_F", numeroDeCampo(c.tasa));
  e.setDate("FEDOC_F", f);
  e.setDate("FEENT_F", f);
  e.setDate("FEVEN_F", f);
  e.setFloat("SUBTO_F", d.totales.subtotal.aDouble());
  e.setFloat("DECOT_F", d.totales.descuento);
  e.setFloat("IMIM2_F", d.totales.impuesto.aDouble());
  e.setFloat("IMTOD_F", d.totales.total.aDouble());
  e.setFloat("COSTO_F", d.totales.costo.aDouble());
  e.setFloat("FPGCX_F", d.totales.fpgc);
  e.setFloat("SALDO_F", d.totales.total.aDouble() - e.asFloat("ABONO_F"));
  e.setText("HORAX_F", hora);
  if (d.nuevo) e.setText("TREGI_F", "");
}

std::string directorioDeTipo(const AjustesVenta& aj, TipoVenta t) {
  if (t == TipoVenta::Remision && !aj.dirRemisiones.empty()) return aj.dirRemisiones;
  return aj.dirDatos;
}

std::vector<uint32_t> filasDe(dbf::Table& d, const std::string& numero, long long sello) {
  std::vector<uint32_t> r;
  d.setIndex("CLDOC_FD");
  d.setRange({numero}, {numero});
  for (d.first(); !d.eof(); d.next())
    if (sello < 0 || d.asInteger("CONTROL") == sello) r.push_back(d.recno());
  d.cancelRange();
  return r;
}

}  // namespace mostrador::sales
