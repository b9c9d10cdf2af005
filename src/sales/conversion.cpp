// Conversions between sales documents: invoicing a delivery note, the closing invoice
// of a period's delivery notes, invoicing a range of documents, exact copies and the
// documents generated from another (return, delivery note, order).
//
// Every conversion reads the source from its stored rows, not from the scratch table:
// the scratch may hold edits nobody saved, and a range or a closing invoice reads
// documents that are not on screen at all.
//
// Invoices go through the buffer files of the install directory, which other programs
// of the shop read to see what was last converted:
//
//   "\buferenc.tmp"  the source header, one value per line:
//                    1 CLDOC_F   2 CLCLI_F   3 NOMBR_F   4 DIREC_F   5 DIRE2_F
//                    6 POBLA_F   7 RFCXX_F   8 CPXXX_F   9 CLVEN_F  10 CTOVE_F
//                   11 FEDOC_F  12 DESFI_F  13 IMIM1_F  14 BCLIM_F
//   "\bufer.tmp"     ten lines per source line: cantidad, TARA, clave, producto,
//                    precio, descuento, costo, unidad, impuesto, FPGC
//
// Numbers are written as plain decimals ("12.5", "0"); a blank quantity as an empty
// line. The new document is loaded from what was written, so a buffer that cannot be
// written stops the conversion before anything is created.
//
// Back-references are written after the new document is saved: TDOCU_FD ("F" + invoice
// number) on the source's lines, then REMIS_F (the invoice number) on its header. The
// header is locked first, so a source another station holds is left exactly as it was
// (unconverted) and the lines already marked are put back; the invoice stays saved.

#include <algorithm>
#include <utility>

#include "sales/conversion.h"
#include "sales/captura.h"
#include "sales/filas_documento.h"
#include "sales/precios.h"
#include "sales/totales.h"
#include "base/fechas.h"
#include "base/numeros.h"
#include "base/rutas.h"
#include "base/texto.h"
#include "store/catalogo.h"
#include "store/estados.h"
#include "store/unidad.h"

namespace mostrador::sales {

namespace {

constexpr std::string_view kErrorGuardar = "No Pueden Guardarse los Datos ha Ocurrido un Error";
constexpr std::string_view kPreguntaFactura = "Esta Seguro que Desea GENERAR LA FACTURA ?";
constexpr std::string_view kYaFacturado = "El Documento ya se FACTURO...";
constexpr std::string_view kSinCliente =
    "La Clave del Cliente no EXISTE es necesario darla de alta para Facturar";
constexpr std::string_view kExisteCierre = "Existe una Factura de Cierre para esta Fecha...";
constexpr std::string_view kSinPartidasCierre =
    "No hay Partidas para estas Fechas, puede ser que ya se Genero la Factura de Cierre";
constexpr std::string_view kRangoVacio =
    "No se puede generar una factura no hay documentos en este rango...";

// The closing invoice is charged to the counter customer on screen but stored under the
// key the shop keeps for the day's sales, so that the closing invoices can be told apart
// from the ones made to the counter customer.
constexpr std::string_view kClienteMostrador = "1";
constexpr std::string_view kClienteCierre = "100";

constexpr int kCamposEncabezado = 14;
constexpr int kCamposPartida = 10;

std::string numeroPlano(double v) { return base::Decimal::deDouble(v).texto(); }

// One value per line: a line break inside a text would shift every field after it.
std::string enUnaLinea(std::string s) {
  std::replace(s.begin(), s.end(), '\r', ' ');
  std::replace(s.begin(), s.end(), '\n', ' ');
  return s;
}

const store::DefDocumento& documentoDe(TipoVenta t) { return store::documento(defTipo(t).documento); }

// Limits the lines table (tag CLDOC_FD) to one document's lines.
void rangoPartidas(dbf::Table& d, long long numero) {
  const std::string clave = std::to_string(numero);
  d.setRange({clave}, {clave});
}

}  // namespace

struct ConversionVenta::Origen {
  long long numero = 0;
  std::string cliente, nombre, direccion, direccion2, poblacion, rfc, codigoPostal;
  std::string vendedor, comision, fecha, descuento, tasa, caja;
  std::string remision, estado;
  std::vector<Partida> partidas;
};

// The stored header and its lines (cancelled lines left out). False when the number is
// not in the type's header table.
bool ConversionVenta::leeOrigen(TipoVenta t, long long numero, Origen& o) {
  const auto& doc = documentoDe(t);
  const std::string dir = directorioDeTipo(c_.ajustes(), t);
  dbf::Table e;
  e.open(dir, doc.encabezado);
  e.setIndex("INUMENC");
  if (!e.findKey({static_cast<double>(numero)})) return false;
  o = Origen{};
  o.numero = numero;
  o.cliente = e.asText("CLCLI_F");
  o.nombre = e.asText("NOMBR_F");
  o.direccion = e.asText("DIREC_F");
  o.direccion2 = e.asText("DIRE2_F");
  o.poblacion = e.asText("POBLA_F");
  o.rfc = e.asText("RFCXX_F");
  o.codigoPostal = e.asText("CPXXX_F");
  o.vendedor = e.asText("CLVEN_F");
  o.comision = numeroPlano(e.asFloat("CTOVE_F"));
  o.fecha = e.asText("FEDOC_F");
  o.descuento = numeroPlano(e.asFloat("DESFI_F"));
  o.tasa = numeroPlano(e.asFloat("IMIM1_F"));
  o.caja = e.asText("BCLIM_F");
  o.remision = e.asText("REMIS_F");
  o.estado = e.asText("STATU_F");
  e.close();

  dbf::Table d;
  d.open(dir, doc.detalle);
  d.setIndex("CLDOC_FD");
  rangoPartidas(d, numero);
  for (d.first(); !d.eof(); d.next()) {
    if (store::cancelado(d.asText("TREGI_FD"))) continue;
    o.partidas.push_back(partidaDeDetalle(d, LecturaDetalle::Copia));
  }
  return true;
}

bool ConversionVenta::escribeBuferes(const std::vector<Origen>& origenes) {
  if (origenes.empty()) return false;
  const Origen& o = origenes.front();
  std::vector<std::string> encabezado = {
      std::to_string(o.numero), o.cliente, o.nombre,  o.direccion, o.direccion2,
      o.poblacion,              o.rfc,     o.codigoPostal, o.vendedor, o.comision,
      o.fecha,                  o.descuento, o.tasa,   o.caja};
  for (auto& s : encabezado) s = enUnaLinea(std::move(s));
  std::vector<std::string> lineas;
  for (const Origen& doc : origenes) {
    for (const Partida& p : doc.partidas) {
      lineas.push_back(p.cantidad ? numeroPlano(*p.cantidad) : std::string());
      lineas.push_back(enUnaLinea(p.tara));
      lineas.push_back(enUnaLinea(p.clave));
      lineas.push_back(enUnaLinea(p.producto));
      lineas.push_back(numeroPlano(p.precio));
      lineas.push_back(numeroPlano(p.descuento));
      lineas.push_back(numeroPlano(p.costo));
      lineas.push_back(enUnaLinea(p.unidad));
      lineas.push_back(numeroPlano(p.impuesto));
      lineas.push_back(numeroPlano(p.fpgc));
    }
  }
  return base::escribeLineas(base::une(c_.ajustes().dirSistema, "buferenc.tmp"), encabezado) &&
         base::escribeLineas(base::une(c_.ajustes().dirSistema, "bufer.tmp"), lineas);
}

bool ConversionVenta::leeBuferes(Origen& o) {
  auto encabezado = base::leeLineas(base::une(c_.ajustes().dirSistema, "buferenc.tmp"));
  auto lineas = base::leeLineas(base::une(c_.ajustes().dirSistema, "bufer.tmp"));
  if (!encabezado || !lineas || lineas->size() % kCamposPartida != 0) return false;
  encabezado->resize(std::max<size_t>(encabezado->size(), kCamposEncabezado));
  const auto& h = *encabezado;
  o = Origen{};
  o.numero = static_cast<long long>(base::numeroSeguro(h[0]));
  o.cliente = h[1];
  o.nombre = h[2];
  o.direccion = h[3];
  o.direccion2 = h[4];
  o.poblacion = h[5];
  o.rfc = h[6];
  o.codigoPostal = h[7];
  o.vendedor = h[8];
  o.comision = h[9];
  o.fecha = h[10];
  o.descuento = h[11];
  o.tasa = h[12];
  o.caja = h[13];
  for (size_t i = 0; i < lineas->size(); i += kCamposPartida) {
    const auto* l = &(*lineas)[i];
    Partida p;
    if (!l[0].empty()) p.cantidad = base::numeroSeguro(l[0]);
    p.tara = l[1];
    p.clave = l[2];
    p.producto = l[3];
    p.precio = base::numeroSeguro(l[4]);
    p.descuento = base::numeroSeguro(l[5]);
    p.costo = base::numeroSeguro(l[6]);
    p.unidad = l[7];
    p.impuesto = base::numeroSeguro(l[8]);
    p.fpgc = base::numeroSeguro(l[9]);
    p.importe = importeLinea(p.cantidad.value_or(0), p.precio, p.descuento);
    o.partidas.push_back(std::move(p));
  }
  return true;
}

// The customer's texts into the header labels and its price list for later lines; false
// when the key is not in the customer table.
bool ConversionVenta::clienteEnEtiquetas(std::string_view clave) {
  dbf::Table c;
  c.open(c_.ajustes().dirDatos, "cliente.dbf");
  c.setIndex("ICLACLI");
  if (clave.empty() || !c.findKey({std::string(clave)})) return false;
  c_.campos().nombre = c.asText("NOMBR_C");
  c_.campos().direccion = c.asText("DIREC_C");
  c_.campos().direccion2 = c.asText("DIRE2_C");
  c_.campos().poblacion = c.asText("POBLA_C");
  c_.campos().rfc = c.asText("RFCXX_C");
  c_.campos().codigoPostal = c.asText("CPXXX_C");
  c_.ponListaCliente(listaDeCliente(c));
  return true;
}

// The source's customer, seller and rates into the fields of the document just started;
// its number, date and till stay those of the new document.
void ConversionVenta::aplicaOrigen(const Origen& o) {
  c_.campos().cliente = o.cliente;
  c_.campos().nombre = o.nombre;
  c_.campos().direccion = o.direccion;
  c_.campos().direccion2 = o.direccion2;
  c_.campos().poblacion = o.poblacion;
  c_.campos().rfc = o.rfc;
  c_.campos().codigoPostal = o.codigoPostal;
  c_.campos().vendedor = o.vendedor;
  c_.campos().comision = o.comision;
  c_.campos().descuento = o.descuento;
  c_.campos().tasa = o.tasa;
}

// The source's header fields and lines into the document just started, left open for
// the user to save.
bool ConversionVenta::cargaNuevo(const Origen& o) {
  aplicaOrigen(o);
  try {
    c_.cargaPartidas(o.partidas);
  } catch (const dbf::Error&) {
    c_.interaccion().mensaje(kErrorGuardar);
    return false;
  }
  c_.recalcula();
  return true;
}

// REMIS_F and TDOCU_FD of one source document. On failure nothing of it stays changed
// (as far as the lines can be put back) and false is returned.
bool ConversionVenta::marcaConvertido(TipoVenta t, long long numero, long long factura) {
  const auto& doc = documentoDe(t);
  const std::string dir = directorioDeTipo(c_.ajustes(), t);
  const std::string referencia = "F" + std::to_string(factura);
  dbf::Table e, d;
  std::vector<std::pair<uint32_t, std::string>> marcadas;  // record, previous TDOCU_FD
  try {
    e.open(dir, doc.encabezado);
    e.setIndex("INUMENC");
    if (!e.findKey({static_cast<double>(numero)})) return false;
    e.edit();
    d.open(dir, doc.detalle);
    d.setIndex("CLDOC_FD");
    rangoPartidas(d, numero);
    for (d.first(); !d.eof(); d.next()) {
      if (store::cancelado(d.asText("TREGI_FD"))) continue;
      std::string previo = d.asText("TDOCU_FD");
      d.edit();
      d.setText("TDOCU_FD", referencia);
      d.post();
      marcadas.emplace_back(d.recno(), std::move(previo));
    }
    e.setText("REMIS_F", std::to_string(factura));
    e.post();
    return true;
  } catch (const dbf::Error&) {
    try {
      if (e.isOpen() && e.editing()) e.cancel();
    } catch (const dbf::Error&) {
    }
    for (const auto& [recno, previo] : marcadas) {
      try {
        if (d.editing()) d.cancel();
        if (!d.goTo(recno)) continue;
        d.edit();
        d.setText("TDOCU_FD", previo);
        d.post();
      } catch (const dbf::Error&) {
      }
    }
    return false;
  }
}

// Gathers the sources into one invoice saved with the letter Z, then marks each source
// converted and shows the first one again.
bool ConversionVenta::facturaOrigenes(TipoVenta tipoOrigen, const std::vector<Origen>& origenes,
                                   bool imprimir) {
  const Origen& primero = origenes.front();
  if (!clienteEnEtiquetas(primero.cliente)) {
    c_.interaccion().mensaje(kSinCliente);
    return false;
  }
  if (!escribeBuferes(origenes)) {
    c_.interaccion().mensaje(kErrorGuardar);
    return false;
  }
  c_.abreTipo(TipoVenta::Factura);
  if (!c_.nuevo()) {
    c_.abreTipo(tipoOrigen);
    return false;
  }
  Origen b;
  if (!leeBuferes(b)) {
    c_.interaccion().mensaje(kErrorGuardar);
    return false;
  }
  aplicaOrigen(b);
  clienteEnEtiquetas(b.cliente);
  c_.cargaPartidas(b.partidas);
  c_.marcaGenerado();
  c_.recalcula();
  // The invoice and the marks on its sources are one unit: an invoice whose notes stay
  // unmarked could be invoiced twice.
  bool marcados = true;
  long long factura = 0;
  try {
    std::vector<std::string> dirs = c_.directoriosGuardado();
    dirs.push_back(directorioDeTipo(c_.ajustes(), tipoOrigen));
    store::UnidadGuardado unidad(dirs);
    if (!c_.guarda()) return false;
    factura = c_.encabezado().asInteger("CLDOC_F");
    for (const Origen& o : origenes) marcados = marcaConvertido(tipoOrigen, o.numero, factura) && marcados;
    if (marcados) unidad.confirma();
  } catch (const dbf::Error&) {
    marcados = false;
  }
  if (!marcados) {
    c_.interaccion().mensaje(kErrorGuardar);
    c_.abreTipo(tipoOrigen);
    return false;
  }
  if (imprimir) c_.dialogos().imprime(c_.rutaFormato());
  c_.abreTipo(tipoOrigen);
  c_.buscaDocumento(primero.numero);
  // The screen goes back to the note: the new invoice's number is said.
  c_.interaccion().mensaje("Se generó la Factura " + std::to_string(factura));
  return marcados;
}

bool ConversionVenta::facturaRemision(bool imprimir) {
  if (!c_.encabezado().isOpen() || c_.encabezado().isEmpty()) return false;
  if (c_.interaccion().advertencia(kPreguntaFactura) != base::RespuestaAdvertencia::Si) return false;
  const TipoVenta origen = c_.tipo();
  try {
    std::vector<Origen> origenes(1);
    if (!leeOrigen(origen, c_.encabezado().asInteger("CLDOC_F"), origenes.front())) return false;
    if (!origenes.front().remision.empty()) {
      c_.interaccion().mensaje(kYaFacturado);
      return false;
    }
    return facturaOrigenes(origen, origenes, imprimir);
  } catch (const dbf::Error&) {
    c_.interaccion().mensaje(kErrorGuardar);
    return false;
  }
}

bool ConversionVenta::facturaRango() {
  const auto rango = c_.dialogos().rangoDocumentos();
  if (!rango) return false;
  const TipoVenta origen = c_.tipo();
  try {
    std::vector<long long> numeros;
    {
      dbf::Table e;
      e.open(directorioDeTipo(c_.ajustes(), origen), documentoDe(origen).encabezado);
      e.setIndex("INUMENC");
      e.setRange({static_cast<double>(rango->first)}, {static_cast<double>(rango->second)});
      for (e.first(); !e.eof(); e.next()) {
        // A converted or cancelled document has nothing left to invoice.
        if (!e.asText("REMIS_F").empty() || store::cancelado(e.asText("STATU_F"))) continue;
        numeros.push_back(e.asInteger("CLDOC_F"));
      }
    }
    if (numeros.empty()) {
      c_.interaccion().mensaje(kRangoVacio);
      return false;
    }
    std::vector<Origen> origenes(numeros.size());
    for (size_t i = 0; i < numeros.size(); ++i) leeOrigen(origen, numeros[i], origenes[i]);
    return facturaOrigenes(origen, origenes, false);
  } catch (const dbf::Error&) {
    c_.interaccion().mensaje(kErrorGuardar);
    return false;
  }
}

bool ConversionVenta::facturaCierre() {
  const base::Fecha hoy = c_.reloj().ahora().fecha;
  const auto fechas = c_.dialogos().rangoFechas(hoy);
  if (!fechas) return false;
  const dbf::Fecha desde{fechas->first.anio, fechas->first.mes, fechas->first.dia};
  const TipoVenta remision = TipoVenta::Remision;
  const auto& doc = documentoDe(remision);
  const std::string dir = directorioDeTipo(c_.ajustes(), remision);

  std::vector<long long> notas;  // unconverted notes of the range
  std::vector<Partida> partidas;
  long long primera = 0, ultima = 0;
  try {
    dbf::Table e;
    e.open(dir, doc.encabezado);
    e.setIndex("INUMENC");
    e.last();
    bool hay = false;
    if (!e.isEmpty()) {
      ultima = e.asInteger("CLDOC_F");
      // Back from the last note while its date is not before the first date.
      for (;;) {
        const auto f = e.asDate("FEDOC_F");
        if (!f || *f < desde) break;
        primera = e.asInteger("CLDOC_F");
        hay = true;
        e.prior();
        if (e.bof()) break;
      }
    }
    if (hay) {
      dbf::Table d;
      d.open(dir, doc.detalle);
      d.setIndex("CLDOC_FD");
      bool avisado = false;
      e.setRange({static_cast<double>(primera)}, {static_cast<double>(ultima)});
      for (e.first(); !e.eof(); e.next()) {
        if (!e.asText("REMIS_F").empty()) continue;
        const long long n = e.asInteger("CLDOC_F");
        notas.push_back(n);
        rangoPartidas(d, n);
        for (d.first(); !d.eof(); d.next()) {
          const std::string marca = d.asText("TREGI_FD");
          if (marca == store::estado::kLineaFacturada) {
            if (!avisado) c_.interaccion().mensaje(kExisteCierre);
            avisado = true;
          } else if (!store::cancelado(marca)) {
            partidas.push_back(partidaDeDetalle(d, LecturaDetalle::Copia));
          }
        }
      }
    }
  } catch (const dbf::Error&) {
    c_.interaccion().mensaje(kErrorGuardar);
    return false;
  }
  if (partidas.empty()) {
    c_.interaccion().mensaje(kSinPartidasCierre);
    c_.abreTipo(remision);
    return false;
  }

  // The document rates are those on screen when the command was given.
  const std::string tasa = c_.campos().tasa, descuento = c_.campos().descuento;
  c_.abreTipo(TipoVenta::Factura);
  if (!c_.nuevo()) {
    c_.abreTipo(remision);
    return false;
  }
  c_.campos().cliente = std::string(kClienteMostrador);
  c_.campos().fecha = dbf::fechaCorta(desde);
  c_.campos().tasa = tasa;
  c_.campos().descuento = descuento;
  try {
    clienteEnEtiquetas(kClienteMostrador);
    c_.cargaPartidas(partidas);
  } catch (const dbf::Error&) {
    c_.interaccion().mensaje(kErrorGuardar);
    return false;
  }
  c_.marcaGenerado();
  c_.recalcula();

  long long factura = 0;
  bool marcados = true;
  try {
    std::vector<std::string> dirs = c_.directoriosGuardado();
    dirs.push_back(directorioDeTipo(c_.ajustes(), remision));
    store::UnidadGuardado unidad(dirs);
    if (!c_.guarda()) return false;
    factura = c_.encabezado().asInteger("CLDOC_F");
    c_.encabezado().edit();
    c_.encabezado().setText("CLCLI_F", kClienteCierre);
    c_.encabezado().setText("CLPED_F",
                        "CI(" + std::to_string(primera) + "-" + std::to_string(ultima) + ")");
    c_.encabezado().post();
    for (long long n : notas) marcados = marcaConvertido(remision, n, factura) && marcados;
    if (marcados) unidad.confirma();
  } catch (const dbf::Error&) {
    if (c_.encabezado().editing()) c_.encabezado().cancel();
    marcados = false;
  }
  if (!marcados) {
    c_.interaccion().mensaje(kErrorGuardar);
    c_.abreTipo(remision);
    return false;
  }
  const std::string numero = std::to_string(factura);
  c_.interaccion().mensaje("Genero la Factura " + numero + " Puede Revisarla en el Módulo de Facturación de TVK");
  if (c_.interaccion().advertencia("Desea Imprimir la Factura?") == base::RespuestaAdvertencia::Si)
    c_.dialogos().imprime(base::une(c_.ajustes().dirSistema, "consulta\\FacturaCierre.fmt"));
  c_.abreTipo(remision);
  return marcados;
}

bool ConversionVenta::copiaDocumento() {
  if (!c_.encabezado().isOpen() || c_.encabezado().isEmpty()) return false;
  const long long numero = c_.encabezado().asInteger("CLDOC_F");
  if (c_.interaccion().advertencia("Esta Seguro que Desea UNA COPIA EXACTA DEL DOCUMENTO " +
                      std::to_string(numero) + " ?") != base::RespuestaAdvertencia::Si)
    return false;
  Origen o;
  try {
    if (!leeOrigen(c_.tipo(), numero, o)) return false;
  } catch (const dbf::Error&) {
    c_.interaccion().mensaje(kErrorGuardar);
    return false;
  }
  if (!c_.nuevo()) return false;
  return cargaNuevo(o);
}

bool ConversionVenta::generaDocumento(TipoVenta destino) {
  if (!c_.encabezado().isOpen() || c_.encabezado().isEmpty()) return false;
  try {
    std::vector<Origen> origenes(1);
    if (!leeOrigen(c_.tipo(), c_.encabezado().asInteger("CLDOC_F"), origenes.front())) return false;
    if (!escribeBuferes(origenes)) {
      c_.interaccion().mensaje(kErrorGuardar);
      return false;
    }
  } catch (const dbf::Error&) {
    c_.interaccion().mensaje(kErrorGuardar);
    return false;
  }
  c_.abreTipo(destino);
  if (!c_.nuevo()) return false;
  Origen b;
  if (!leeBuferes(b)) {
    c_.interaccion().mensaje(kErrorGuardar);
    return false;
  }
  return cargaNuevo(b);
}

}  // namespace mostrador::sales

namespace mostrador::sales {

// The engine's conversion commands.
bool CapturaVenta::facturaRemision(bool imprimir) { return ConversionVenta(*this).facturaRemision(imprimir); }
bool CapturaVenta::facturaCierre() { return ConversionVenta(*this).facturaCierre(); }
bool CapturaVenta::facturaRango() { return ConversionVenta(*this).facturaRango(); }
bool CapturaVenta::copiaDocumento() { return ConversionVenta(*this).copiaDocumento(); }
bool CapturaVenta::generaDocumento(TipoVenta destino) { return ConversionVenta(*this).generaDocumento(destino); }

}  // namespace mostrador::sales
