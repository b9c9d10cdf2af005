#include "sales/reportes_venta.h"

#include "store/estados.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "reports/filtro_reporte.h"
#include "reports/reporte_sql.h"
#include "reports/visor_concentrado.h"
#include "sales/caja.h"
#include "base/fechas.h"
#include "base/rutas.h"
#include "store/dbf/dbf_table.h"

namespace mostrador::sales {

namespace {

constexpr std::string_view kFiltroPlace = "\xC2\xBF";  // ¿
const std::string kVivos = store::condicionNoCancelado("STATU_F");
const std::string kPartidasVivas = store::condicionNoCancelado("TREGI_FD");
const std::string N(kSubtotalNeto);

std::string ruta(const ContextoVenta& c, std::string_view archivo) {
  return "\"" + base::une(c.directorioDatos, archivo) + "\"";
}

struct Bloque {
  std::string titulo, select, desde, filtro, alias, orden, grupo, codigos, encabezado;
};

std::string texto(const Bloque& b) {
  std::string t = "$" + b.titulo + "\r";
  t += "&Select " + b.select + " from " + b.desde + "\r";
  t += "?" + b.filtro + " " + std::string(kFiltroPlace) + b.alias + "\r";
  t += "!" + b.orden + "\r";
  if (!b.grupo.empty()) t += ">" + b.grupo + "\r";
  t += "%" + b.codigos + "\r";
  t += "#" + b.encabezado + "\r";
  t += "@\r";
  return t;
}

const std::string kEncabezadoUtilidad =
    "DOCUMENTO  PRODUCTO     CANTIDAD        COSTO_X_CANT.  PRECIO_X_CANT.     UTILIDAD      %PROM.UTILID. FECHA";
const std::string kColumnasUtilidad =
    "CLDOC_FD,CLPRO_FD,CANTI_FD,CANTI_FD*COPRO_FD,(CANTI_FD*PREDE_FD),(CANTI_FD*PREDE_FD)-(CANTI_FD*COPRO_FD),"
    "((PREDE_FD-COPRO_FD)/PREDE_FD)*100,FEDOC_FD";
const std::string kColumnasUtilidadIva =
    "CLDOC_FD,CLPRO_FD,CANTI_FD,CANTI_FD*(COPRO_FD*(1+(PIVA1_FD/100))),(CANTI_FD*PUNPR_FD),"
    "(CANTI_FD*PUNPR_FD)-(CANTI_FD*(COPRO_FD*(1+(PIVA1_FD/100)))),"
    "((PUNPR_FD-(COPRO_FD*(1+(PIVA1_FD/100))))/PUNPR_FD)*100,FEDOC_FD";
const std::string kEncabezadoCorteZ = "DOCUMENTOS  CLAVE        IMPORTE       SUBTOTAL      IMPUESTO      FECHA      ";
// The last heading is padded so that its amounts fit their column.
const std::string kFpgc = "FPGC        ";
const std::string kSinFpgc = "_           ";
const std::string kGrabado = "GRABADO     ";

std::string hora(const base::Reloj& r) {
  const auto h = r.ahora().hora;
  char b[16];
  std::snprintf(b, sizeof b, "%02d:%02d:%02d", h.hora, h.minuto, h.segundo);
  return b;
}

// The base of a document's taxed lines at the rate charged on each, for the cut's
// summary: a document rate (IMIM1_F) taxes the whole sub-total; otherwise every live line
// with a tax rate counts its amount after its discount (less the tax it carries when
// prices include it), lowered by the document discount as the totals lower it.
std::string baseGravada(const ContextoVenta& c, std::string_view detalle) {
  std::string linea = "D.CANTI_FD*D.PUNPR_FD*(1-IFNULL(D.PDES1_FD,0)/100)";
  if (c.impuestoIncluido) linea = "(" + linea + "-IFNULL(D.FPGCX_FD,0))/(1+D.PIVA1_FD/100)";
  return "CASE WHEN IFNULL(E.IMIM1_F,0)<>0 THEN IFNULL(E.SUBTO_F,0) ELSE (1-IFNULL(E.DESFI_F,0)/100)*(SELECT TOTAL(" +
         linea + ") FROM " + ruta(c, detalle) +
         " AS D WHERE D.CLDOC_FD=E.CLDOC_F AND D.PIVA1_FD>0 AND " + store::condicionNoCancelado("D.TREGI_FD") +
         ") END";
}

std::string corteZ(const ContextoVenta& c) {
  const std::string documentos = "cldoc_f,CLCLI_F,imtod_f,SUBTO_F,IMIM2_F,FEDOC_F,FPGCX_F,";
  const std::string notas = documentos + baseGravada(c, "Remisiod.dbf");
  const std::string facturas = documentos + baseGravada(c, "FacturaD.dbf");
  const std::string devueltas = documentos + baseGravada(c, "DevolucD.dbf");
  const std::string retiros = "CLDOC_F,CONCEPTO,CANTIDAD,CANTIDAD,CANTIDAD,FEDOC_F,CANTIDAD,NUM_CONCEP";
  const std::string remision = ruta(c, "Remision.dbf");
  const std::string deRemision = remision + " AS E";
  // An invoice made from delivery notes is no direct sale, whatever marks it carries: the
  // notes it came from name it in REMIS_F (a closing invoice also has CLPED_F).
  const std::string directas = kVivos + "AND CLPED_F IS NULL AND CLDOC_F NOT IN (SELECT CAST(R.REMIS_F AS INTEGER) FROM " +
                               remision + " AS R WHERE R.REMIS_F>\" \")";
  const std::string codigos = "e c t t t c t t";
  const std::string encabezado = kEncabezadoCorteZ + kFpgc + " " + kGrabado;
  // A movement without a concept number counts as a withdrawal (NULL would pass neither test).
  const Bloque secciones[] = {
      {" REMISIONES  HORA : " + hora(c.reloj), notas, deRemision, kVivos + "AND REMIS_F IS NULL", "", "cldoc_f", "", codigos, encabezado},
      {" FACTURADAS DESDE REMISION", notas, deRemision, kVivos + "AND REMIS_F>\" \"", "", "cldoc_f", "", codigos, encabezado},
      {" FACTURADAS DIRECTAMENTE ", facturas, ruta(c, "FACTURAE.dbf") + " AS E", directas, "", "cldoc_f", "", codigos, encabezado},
      {" CANCELADAS ", notas, deRemision, "(STATU_F=\"C\")", "", "cldoc_f", "", codigos, encabezado},
      {" DEVOLUCIONES ", devueltas, ruta(c, "devoluc.dbf") + " AS E", kVivos, "", "cldoc_f", "", codigos, encabezado},
      {" RETIROS ", retiros, ruta(c, "retiros.dbf"), "(" + std::string(kCondicionRetiro) + " AND CLDOC_F=CLDOC_F)", "", "CLDOC_F", "", "e c t t t c t", kEncabezadoCorteZ + kSinFpgc},
      {" ENTRADAS ", retiros, ruta(c, "retiros.dbf"), "(" + std::string(kCondicionEntrada) + " AND CLDOC_F=CLDOC_F)", "", "CLDOC_F", "", "e c t t t c t", kEncabezadoCorteZ + kSinFpgc},
  };
  std::string t;
  for (const auto& b : secciones) t += texto(b);
  t += "<14-24\r@\r";
  return t;
}

}  // namespace

const std::vector<ComandoReporte>& comandosReporteVenta() {
  static const std::vector<ComandoReporte> v = {
      {"Concentrar1", "Concentrar por Cliente"},
      {"Comisiones1", "Comisiones"},
      {"ComisionesDetallado1", "Comisiones Detallado"},
      {"ConsecutivodeFacturas1", "Consecutivo de Documentos"},
      {"VentasyUtilidad1", "Ventas y Utilidad"},
      {"DocumentosCancelados1", "Documentos Cancelados"},
      {"CanceladasnoImpresas1", "Canceladas no Impresas"},
      {"DocumentosPagados1", "Documentos Pagados"},
      {"DocumentosnoPagados1", "Documentos no Pagados"},
      {"-", ""},
      {"VentasporArtculo1", "Ventas por Artículo"},
      {"UtilidadporProducto1", "Utilidad por Producto"},
      {"UtilidadporProductoantesdeIVA1", "Utilidad por Producto antes de IVA"},
      {"UtilidadMenor1", "Utilidad Menor al 5%"},
      {"UtilidadporProductoLinea1", "Utilidad por Producto y Línea"},
      {"CorteDetallado1", "Corte Detallado"},
      {"CorteComparativo1", "Corte Comparativo"},
      {"ReporteFPGC1", "Reporte FPGC"},
      {"-", ""},
      {"UtilidadporProductoProveedor1", "Utilidad por Producto y Proveedor"},
      {"VentasporVendedor2", "Ventas por Vendedor (Partidas)"},
      {"VendedoryLinea1", "Vendedor y Línea"},
      {"LineaTemporal1", "Línea Temporal"},
      {"ConsentradoporArtculo1", "Concentrado por Artículo"},
      {"ProductosmsVendidos1", "Productos más Vendidos"},
      {"UtilidadporProductoCliente1", "Utilidad por Producto y Cliente"},
      {"VentasporVendedor3", "Total por Vendedor"},
      {"GlobaldeUtilidad1", "Global de Utilidad"},
      {"GlobaldeVenta1", "Global de Venta"},
      {"globalporLinea1", "Global por Línea"},
      {"-", ""},
      {"VentasporDa1", "Ventas por Día"},
      {"VentasporMes1", "Ventas por Mes"},
      {"Ventasporao1", "Ventas por Año"},
      {"DesgloceporMoneda1", "Desgloce por Moneda"},
      {"VentasporVendedor1", "Ventas por Vendedor"},
      {"VentasporCaja1", "Ventas por Caja"},
      {"-", ""},
      {"CorteZ1", "Corte Z"},
      {"CorteZRESUMEN1", "Corte Z RESUMEN"},
  };
  return v;
}

std::optional<ComandoReporte> comandoReporte(std::string_view nombre) {
  for (const auto& c : comandosReporteVenta())
    if (c.nombre == nombre && nombre != "-") return c;
  return std::nullopt;
}

bool pideCaja(std::string_view c) { return c == "DocumentosPagados1" || c == "DocumentosnoPagados1"; }

std::optional<DefinicionVenta> definicionReporteVenta(std::string_view comando, const ContextoVenta& c) {
  auto cmd = comandoReporte(comando);
  if (!cmd) return std::nullopt;
  const std::string titulo(cmd->titulo);
  const std::string encabezado = ruta(c, c.documento.encabezado);
  const std::string detalle = ruta(c, c.documento.detalle);
  const std::string inventario = ruta(c, "inventar.dbf");
  DefinicionVenta d;
  d.campoDocumento = "CLDOC_F";
  d.campoFecha = "FEDOC_F";
  d.tabla = std::string(c.documento.encabezado);
  auto deEncabezado = [&](Bloque b) {
    b.titulo = titulo;
    d.texto = texto(b);
    return d;
  };
  auto deDetalle = [&](Bloque b) {
    b.titulo = titulo;
    d.campoDocumento = "CLDOC_FD";
    d.campoFecha = "FEDOC_FD";
    d.tabla = std::string(c.documento.detalle);
    d.texto = texto(b);
    return d;
  };
  const std::string cmdS(comando);

  if (cmdS == "Concentrar1")
    return deEncabezado({"", "CLCLI_F,NOMBR_F,CLDOC_F," + N + ",IMIM2_F,IMTOD_F,FEDOC_F", encabezado, kVivos, "",
                         "CLCLI_F,NOMBR_F,cldoc_f", "CLCLI_F", "c c e t t t c",
                         "CLIENTE    NOMBRE     DOCUMENTO     SUBTOTAL       IVA           TOTAL        FECHA"});
  if (cmdS == "Comisiones1")
    return deEncabezado({"", "CLDOC_F,CLVEN_F," + N + ",(" + N + ")*(CTOVE_F*0.01),IMTOD_F,IMTOD_F*CTOVE_F*0.01,FEDOC_F",
                         encabezado, kVivos, "", "cldoc_f", "", "e c t t t t c",
                         "DOCUMENTO  VENDEDOR      SUBTOTAL      COMISION/SUB.     TOTAL_DOC      COMISION/TOT.      FECHA"});
  if (cmdS == "ConsecutivodeFacturas1")
    return deEncabezado({"", "CLDOC_F,NOMBR_F,IMTOD_F," + N + ",IMIM2_F,FEDOC_F", encabezado, kVivos, "", "cldoc_f", "",
                         "e c t t t c", "DOCUMENTOS  NOMBRE             IMPORTE       SUBTOTAL      IMPUESTO      FECHA"});
  if (cmdS == "ComisionesDetallado1")
    return deEncabezado({"", "cldoc_f,NOMBR_F,CLCLI_F,imtod_f,SUBTO_F,IMIM2_F,FEDOC_F", encabezado, kVivos, "",
                         "CLCLI_F,cldoc_f", "", "e p,1,3 c t t t c",
                         "DOCUMENTOS  NOMBRE     CLAVE        IMPORTE       SUBTOTAL      IMPUESTO      FECHA"});
  if (cmdS == "VentasyUtilidad1")
    return deEncabezado({"", "CLDOC_F,NOMBR_F,COSTO_F," + N + ",(" + N + ")-COSTO_F,((SUBTO_F-COSTO_F)/SUBTO_F)*100,FEDOC_F",
                         encabezado, kVivos, "", "cldoc_f", "", "e c t t t m c",
                         "DOCUMENTOS  NOMBRE        COSTO        SUBTOTAL      UTILIDAD     PROM.UTILID. FECHA"});
  if (cmdS == "DocumentosCancelados1")
    return deEncabezado({"", "CLDOC_F,CLCLI_F,NOMBR_F," + N + ",IMIM2_F,IMTOD_F,FEDOC_F", encabezado, "(STATU_F=\"C\" )", "",
                         "cldoc_f", "", "e c c t t t c",
                         "DOCUMENTO  CLIENTE    NOMBRE          SUBTOTAL       IVA           TOTAL        FECHA"});
  if (cmdS == "CanceladasnoImpresas1")
    return deEncabezado({"", "TREGI_F,CLDOC_F,CLCLI_F,NOMBR_F," + N + ",IMIM2_F,IMTOD_F,FEDOC_F", encabezado,
                         "(STATU_F=\"C\" )", "", "TREGI_F,cldoc_f", "TREGI_F", "c e c c t t t c",
                         "IMPRESA   DOCUMENTO  CLIENTE    NOMBRE          SUBTOTAL       IVA           TOTAL        FECHA"});
  if (cmdS == "DocumentosPagados1" || cmdS == "DocumentosnoPagados1") {
    const std::string pago = cmdS == "DocumentosPagados1" ? "(PAGOX_F='Pagada en " + c.caja + "')" : "(PAGOX_F IS NULL)";
    return deEncabezado({"", "CLDOC_F,NOMBR_F,IMTOD_F," + N + ",IMIM2_F,FEDOC_F", encabezado, kVivos + " and" + pago, "",
                         "cldoc_f", "", "e c t t t c",
                         "DOCUMENTOS  NOMBRE             IMPORTE       SUBTOTAL      IMPUESTO      FECHA"});
  }

  if (cmdS == "VentasporArtculo1")
    return deDetalle({"", kColumnasUtilidad, detalle, kPartidasVivas, "", "CLPRO_FD", "", "e c t t t t m c", kEncabezadoUtilidad});
  if (cmdS == "UtilidadporProducto1")
    // By document: the detail table's own document field (its header's CLDOC_F is not there).
    return deDetalle({"", kColumnasUtilidad, detalle, kPartidasVivas, "", "cldoc_fd", "", "e c t t t t m c", kEncabezadoUtilidad});
  if (cmdS == "UtilidadporProductoantesdeIVA1")
    return deDetalle({"", kColumnasUtilidadIva, detalle, kPartidasVivas, "", "cldoc_fd", "", "e c t t t t m c", kEncabezadoUtilidad});
  if (cmdS == "UtilidadMenor1")
    return deDetalle({"", kColumnasUtilidadIva, detalle,
                      kPartidasVivas + " AND (((PUNPR_FD-(COPRO_FD*(1+(PIVA1_FD/100))))/PUNPR_FD)*100<5)", "", "cldoc_fd",
                      "", "e c t t t t m c", kEncabezadoUtilidad});
  if (cmdS == "UtilidadporProductoLinea1")
    return deDetalle({"",
                      "I.LIPRO_I,F.CLDOC_FD,F.CLPRO_FD,F.CANTI_FD,F.CANTI_FD*F.COPRO_FD,(F.CANTI_FD*F.PREDE_FD),"
                      "(F.CANTI_FD*F.PREDE_FD)-(F.CANTI_FD*F.COPRO_FD),((PREDE_FD-COPRO_FD)/PREDE_FD)*100,F.FEDOC_FD,I.CLPRO_I",
                      detalle + " AS F," + inventario + " AS I", kPartidasVivas + " and (F.CLPRO_FD=I.CLPRO_I)", "F",
                      "LIPRO_I", "LIPRO_I", "c e c t t t t m c",
                      "LINEA     DOCUMENTO  PRODUCTO     CANTIDAD        COSTO_X_CANT.  PRECIO_X_CANT.     UTILIDAD      "
                      "%PROM.UTILID.     FECHA"});
  if (cmdS == "CorteDetallado1")
    return deDetalle({"", "CLDOC_FD,CLPRO_FD,DEPRO_FD,CANTI_FD,PUNPR_FD,IMPOR_FD,FEDOC_FD", detalle, kPartidasVivas, "",
                      "cldoc_fd", "cldoc_fd", "e c c t f t c",
                      "DOCUMENTO  PRODUCTO        DESCRIPCIÓN          CANTIDAD        PRECIO         IMPORTE         FECHA"});
  if (cmdS == "CorteComparativo1") {
    // The other sales detail: invoices against delivery notes. Both selects keep only live
    // lines (the header's state is not in a detail table).
    const std::string otro = c.documento.detalle == std::string_view("Remisiod.dbf") ? "FacturaD.dbf" : "Remisiod.dbf";
    const std::string cols = "CLDOC_FD,CLPRO_FD,CANTI_FD,PUNPR_FD,IMPOR_FD,FEDOC_FD";
    return deDetalle({"", cols, detalle + " WHERE " + kPartidasVivas + std::string(kFiltroPlace) + "  UNION Select " + cols +
                                    " from " + ruta(c, otro),
                      kPartidasVivas, "", "cldoc_fd", "", "e c t f t c",
                      "DOCUMENTO  PRODUCTO     CANTIDAD        PRECIO         IMPORTE         FECHA"});
  }
  if (cmdS == "ReporteFPGC1")
    return deDetalle({"", "CLDOC_FD,CLPRO_FD,CANTI_FD,DEPRO_FD,FPGCX_FD,FEDOC_FD", detalle, kPartidasVivas + " AND (FPGCX_FD>0)",
                      "", "cldoc_fd", "", "e c t c t c",
                      "DOCUMENTO  PRODUCTO     CANTIDAD        DESCRIPCION               FPGC          FECHA"});

  const std::string utilidadJoin =
      "F.CANTI_FD,F.CANTI_FD*F.COPRO_FD,(F.CANTI_FD*F.PREDE_FD),(F.CANTI_FD*F.PREDE_FD)-(F.CANTI_FD*F.COPRO_FD),"
      "((PREDE_FD-COPRO_FD)/PREDE_FD)*100,F.FEDOC_FD";
  const std::string colsUtilidad = "CANTIDAD     COSTO_X_CANT. PRECIO_X_CANT. UTILIDAD     %PROM.UTILID. FECHA      ";
  if (cmdS == "UtilidadporProductoProveedor1")
    return deDetalle({"", "I.CLPR1_I,F.CLDOC_FD,F.DEPRO_FD,F.CLPRO_FD," + utilidadJoin + ",I.CLPRO_I",
                      detalle + " AS F," + inventario + " AS I", kPartidasVivas + " and (F.CLPRO_FD=I.CLPRO_I)", "F",
                      "CLPR1_I", "CLPR1_I", "c e c c t t t t m c c",
                      "PROVEEDOR   DOCUMENTO  DESCRIPCION          PRODUCTO     " + colsUtilidad + "CLAVE"});
  if (cmdS == "VentasporVendedor2")
    return deDetalle({"",
                      "E.CLVEN_F,F.CLDOC_FD,F.DEPRO_FD,F.CLPRO_FD,F.CANTI_FD,F.CANTI_FD*F.COPRO_FD,(F.CANTI_FD*F.PUNPR_FD),"
                      "(F.CANTI_FD*F.PUNPR_FD)-(F.CANTI_FD*F.COPRO_FD),((PUNPR_FD-COPRO_FD)/PUNPR_FD)*100,F.FEDOC_FD,E.CLDOC_F",
                      detalle + " AS F," + encabezado + " AS E", kPartidasVivas + " and (F.CLDOC_FD=E.CLDOC_F)", "F",
                      "CLVEN_F", "CLVEN_F", "c e c c t t t t m c e",
                      "VEND  DOCUMENTO  DESCRIPCION          PRODUCTO     " + colsUtilidad + "DOC."});
  if (cmdS == "VendedoryLinea1" || cmdS == "LineaTemporal1") {
    const std::string linea = cmdS == "VendedoryLinea1" ? "LIPRO_I" : "LITEM_I";
    return deDetalle({"", "E.CLVEN_F,F.CLDOC_FD,I." + linea + ",F.DEPRO_FD,F.CLPRO_FD," + utilidadJoin + ",E.CLDOC_F",
                      detalle + " AS F," + encabezado + " AS E," + inventario + " AS I",
                      kPartidasVivas + " and (F.CLDOC_FD=E.CLDOC_F) and (I.CLPRO_I=F.CLPRO_FD)", "F",
                      "CLVEN_F," + linea + ",CLDOC_FD", "CLVEN_F", "c e c c c t t t t m c e",
                      std::string("VEND   DOCUMENTO  ") + (cmdS == "VendedoryLinea1" ? "LINEA      " : "LINEA_TEMP ") +
                          "DESCRIPCION          PRODUCTO     " + colsUtilidad + "DOC."});
  }
  if (cmdS == "ConsentradoporArtculo1")
    return deDetalle({"", "F.CLPRO_FD,F.CLDOC_FD,F.DEPRO_FD,I.LIPRO_I," + utilidadJoin + ",I.CLPRO_I",
                      detalle + " AS F," + inventario + " AS I", kPartidasVivas + " and (F.CLPRO_FD=I.CLPRO_I)", "F",
                      "CLPRO_FD", "CLPRO_FD", "c e c c t t t t m c c",
                      "CLAVE     DOCUMENTO  DESCRIPCION          LINEA      " + colsUtilidad + "CLAVE"});
  if (cmdS == "ProductosmsVendidos1") {
    Bloque b{"", "CLPRO_FD,DEPRO_FD,SUM(CANTI_FD) AS TOTAL,SUM(CANTI_FD*PREDE_FD) AS IMPORTE", detalle, kPartidasVivas, "",
             "X", "", "c c t t", "PRODUCTO     DESCRIPCION                    TOTAL         IMPORTE"};
    d = deDetalle(b);
    // The grouping follows the conditions, so it goes after the filter place.
    const std::string marca = std::string(kFiltroPlace) + "\r";
    d.texto.replace(d.texto.find(marca), marca.size(),
                    std::string(kFiltroPlace) + " GROUP BY CLPRO_FD,DEPRO_FD HAVING Count(CANTI_FD) > 1 ORDER BY TOTAL DESC\r");
    return d;
  }
  if (cmdS == "UtilidadporProductoCliente1")
    return deDetalle({"",
                      "I.CLCLI_F,F.CLDOC_FD,F.DEPRO_FD,F.CLPRO_FD,F.CANTI_FD,F.CANTI_FD*F.COPRO_FD,(F.CANTI_FD*F.PUNPR_FD),"
                      "(F.CANTI_FD*F.PUNPR_FD)-(F.CANTI_FD*F.COPRO_FD),((PUNPR_FD-COPRO_FD)/COPRO_FD)*100,F.FEDOC_FD,"
                      "I.CLCLI_F,I.CLDOC_F",
                      detalle + " AS F," + encabezado + " AS I", kPartidasVivas + " and (F.CLDOC_FD=I.CLDOC_F)", "F",
                      "CLCLI_F", "CLCLI_F", "c e c c t t t t m c c e",
                      "CLIENTE   DOCUMENTO  DESCRIPCION          PRODUCTO     " + colsUtilidad + "CLIENTE   DOC."});
  if (cmdS == "VentasporVendedor3") {
    d = deEncabezado({"", "CLVEN_F,SUM(IMTOD_F)", encabezado, kVivos, "", "X", "", "c t", "VENDEDOR     TOTAL"});
    const std::string marca = std::string(kFiltroPlace) + "\r";
    d.texto.replace(d.texto.find(marca), marca.size(), std::string(kFiltroPlace) + " GROUP BY CLVEN_F\r");
    return d;
  }
  if (cmdS == "GlobaldeUtilidad1" || cmdS == "GlobaldeVenta1" || cmdS == "globalporLinea1") {
    // The per-product (or per-line) summary in one statement: the filter goes before the
    // grouping, and the share of the total comes from a window over the groups.
    const std::string venta = "SUM(F.CANTI_FD*F.PREDE_FD)", costo = "SUM(F.CANTI_FD*F.COPRO_FD)";
    const std::string porcentajes = venta + "*100/SUM(" + venta + ") OVER () AS PORC_TOT,(" + venta + "-" + costo +
                                    ")*100/" + venta + " AS PORC_UTIL";
    const std::string filtro = kPartidasVivas + " and (F.CLPRO_FD=I.CLPRO_I) and (F.CLDOC_FD=E.CLDOC_F) and " +
                               store::condicionNoCancelado("E.STATU_F");
    const std::string desde = detalle + " AS F," + inventario + " AS I," + encabezado + " AS E";
    Bloque b;
    std::string agrupa;
    if (cmdS == "globalporLinea1") {
      b = {"", "I.LIPRO_I AS LINEA," + venta + " AS TOTAL_VENTA," + costo + " AS COSTO," + porcentajes +
                   ",COUNT(DISTINCT F.CLDOC_FD) AS DOCU",
           desde, filtro, "F", "LINEA", "", "c t t m m e",
           "LINEA     TOTAL_VENTA        COSTO          %TOTAL        %UTILIDAD     DOCS."};
      agrupa = " GROUP BY I.LIPRO_I";
    } else {
      b = {"", "SUM(F.CANTI_FD) AS CANTIDAD,I.UEMPA_I AS EMPAQUE,I.CLPR1_I AS PROVE,I.CLPR2_I AS PROVE2,"
               "F.DEPRO_FD AS PRODUCTO," + venta + " AS PRECIO," + costo + " AS COSTO," + porcentajes +
               ",COUNT(DISTINCT F.CLDOC_FD) AS DOCU,F.CLPRO_FD AS CLAVE",
           desde, filtro, "F", "DOCU DESC,CLAVE", "", "t t c c c t t m m e c",
           "CANTIDAD           EMPAQUE  PROVE   PROVE2  PRODUCTO                 PRECIO        COSTO         "
           "%TOTAL       %UTILIDAD    DOCS. CLAVE"};
      agrupa = " GROUP BY F.CLPRO_FD,I.UEMPA_I,I.CLPR1_I,I.CLPR2_I,F.DEPRO_FD";
    }
    d = deDetalle(b);
    const std::string marca = std::string(kFiltroPlace) + "F\r";
    d.texto.replace(d.texto.find(marca), marca.size(), std::string(kFiltroPlace) + "F" + agrupa + "\r");
    return d;
  }
  if (cmdS == "CorteZ1" || cmdS == "CorteZRESUMEN1") {
    d.texto = corteZ(c);
    d.tabla.clear();  // the range of one table means nothing across the seven sections
    d.tipo = cmdS == "CorteZ1" ? 1 : 2;
    return d;
  }
  return std::nullopt;
}

namespace {

// A column read from returns: the amount taken off.
std::string negativa(const std::string& c) {
  if (c.empty()) return c;
  if (c[0] == '&') return "&0-(" + c.substr(1) + ")";
  return "&0-" + c;
}

ConcentradoVenta basePeriodo(const ContextoVenta&, std::string_view desde, std::string_view hasta) {
  ConcentradoVenta r;
  r.tablas = {"FacturaE.dbf", "FactAuxi.dbf", "Devoluc.dbf"};
  auto& p = r.parametros;
  // The auxiliary table keeps a copy of saved documents: one the invoice table still
  // holds is read from there only.
  p.copiaDe = {-1, 0, -1};
  p.campoCopia = "CLDOC_F";
  p.campoFecha = "FEDOC_F";
  p.fechaDesde = std::string(desde);
  p.fechaHasta = std::string(hasta);
  p.opcion = "C";
  return r;
}

void conDevoluciones(ConcentradoVenta& r, const std::vector<int>& importes) {
  auto& p = r.parametros;
  auto neg = p.columnas;
  for (int k : importes) neg[static_cast<size_t>(k)] = negativa(neg[static_cast<size_t>(k)]);
  p.columnasPorFuente = {p.columnas, p.columnas, neg};
}

void sinCanceladas(reports::ParametrosConcentrado& p, bool tambienDevueltas) {
  p.condiciones.condiciones[0] = {"STATU_F", "<>", "C"};
  if (tambienDevueltas) p.condiciones.condiciones[1] = {"STATU_F", "<>", "D"};
}

}  // namespace

std::optional<ConcentradoVenta> concentradoVenta(std::string_view comando, const ContextoVenta& c,
                                                 std::string_view desde, std::string_view hasta) {
  const std::string cmd(comando);
  ConcentradoVenta r = basePeriodo(c, desde, hasta);
  auto& p = r.parametros;
  if (cmd == "VentasporDa1" || cmd == "VentasporMes1" || cmd == "Ventasporao1") {
    const char* periodo = cmd == "VentasporDa1" ? "Día" : cmd == "VentasporMes1" ? "Mes" : "Año";
    p.clave = std::string("@") + (cmd == "VentasporDa1" ? "D" : cmd == "VentasporMes1" ? "M" : "A") + "FEDOC_F";
    p.columnas = {"IMTOD_F", "CTOVE_F", "&IMTOD_F*CTOVE_F*0.01", "", "", "", "", ""};
    sinCanceladas(p, false);
    conDevoluciones(r, {0, 2});
    r.titulos = {periodo, "", "Importe", "% Comis. Vend.", "Comisión", "", "", "", "", ""};
    r.anchos = {12, 0, 16, 15, 16, 0, 0, 0, 0, 0};
    r.caption = std::string("Reporte de Ventas por ") + periodo;
    r.tituloGrafica = std::string("Gráfica de Ventas por ") + periodo;
    r.eje1 = periodo;
    r.eje2 = std::string("Total por ") + periodo;
    return r;
  }
  if (cmd == "DesgloceporMoneda1") {
    p.clave = "NOMDI_F";
    p.columnas = {"SUBTO_F", "IMTOD_F", "&SUBTO_F*DIVIS_F", "&IMTOD_F*DIVIS_F", "DIVIS_F", "", "", ""};
    sinCanceladas(p, true);
    conDevoluciones(r, {0, 1, 2, 3});
    r.titulos = {"Moneda", "", "SubTotal Divisa", "Total Divisa", "Subtotal M.N.", "Total M.N.", "%Valor Div.", "", "", ""};
    r.anchos = {15, 0, 16, 16, 16, 16, 12, 0, 0, 0};
    r.caption = "Reporte de Desgloce por Moneda";
    r.tituloGrafica = "Gráfica Desgloce por Moneda";
    r.eje1 = "Moneda";
    r.eje2 = "Total por Moneda";
    return r;
  }
  if (cmd == "CortedeCaja1") {
    // One line per document, by date and then in the order read.
    p.clave = "@DFEDOC_F";
    p.segundaClave = "CLDOC_F";
    p.columnas = {"NOMBR_F", "IMTOD_F", "SUBTO_F", "", "", "", "", ""};
    p.opcion = "DC";
    sinCanceladas(p, true);
    conDevoluciones(r, {1, 2});
    r.titulos = {"Fecha", "Documento", "Nombre", "Total del Documento", "SubTotal", "", "", "", "", ""};
    r.anchos = {12, 10, 25, 19, 15, 0, 0, 0, 0, 0};
    r.caption = "Reporte de Corte de Caja";
    r.tituloGrafica = "Gráfica de Consecutivo de Documentos";
    r.eje1 = "Documento";
    r.eje2 = "Total por Documento";
    return r;
  }
  if (cmd == "VentasporVendedor1" || cmd == "VentasporCaja1") {
    const bool caja = cmd == "VentasporCaja1";
    p.clave = caja ? "BCLIM_F" : "CLVEN_F";
    p.segundaClave = "CLDOC_F";
    p.columnas = {"IMTOD_F", "SUBTO_F", "IMIM2_F", "NOMBR_F", "FEDOC_F", "", "", ""};
    p.opcion = "DC";
    sinCanceladas(p, true);
    conDevoluciones(r, {0, 1, 2});
    r.titulos = {caja ? "Caja" : "Vendedor", "Documento", "Total del Documento", "SubTotal", "IVA", "Nombre", "Fecha", "", "", ""};
    r.anchos = {8, 10, 19, 15, 15, 25, 10, 0, 0, 0};
    r.caption = caja ? "Reporte de Ventas por Caja" : "Reporte de Ventas por Vendedor";
    r.tituloGrafica = caja ? "Gráfica de Consecutivo de Documentos" : "Gráfica de Ventas por Vendedor";
    r.eje1 = caja ? "Caja" : "Vendedor";
    r.eje2 = caja ? "Total por Documento" : "Total por Vendedor";
    return r;
  }
  return std::nullopt;
}

reports::ResultadoConcentrado ejecutaConcentradoVenta(const ConcentradoVenta& c, std::string_view sistema,
                                                       std::string_view datos, base::Interaccion& ui) {
  return reports::ejecutaConcentrado(c, sistema, datos, ui);
}

std::optional<HojaVenta> reporteVenta(const PeticionReporteVenta& p, std::string_view sistema, std::string_view datos,
                                      base::Interaccion& ui, const base::Reloj& reloj) {
  ContextoVenta ctx{store::documento(p.documento), std::string(datos), reloj, p.caja, p.impuestoIncluido};
  HojaVenta h;
  if (!p.comando.empty() || p.concentrado) {
    auto r = p.concentrado ? p.concentrado
                           : concentradoVenta(p.comando, ctx, p.desde ? base::fechaCorta(*p.desde) : "",
                                              p.hasta ? base::fechaCorta(*p.hasta) : "");
    if (r) {
      if (ejecutaConcentradoVenta(*r, sistema, datos, ui) != reports::ResultadoConcentrado::Hecho) return std::nullopt;
      reports::VisorConcentrado v{std::string(sistema), r->caption};
      v.abre();
      v.BotonReporte();
      h.titulo = r->caption;
      h.paginas = v.paginasImpresas(1, std::max(1, v.paginas()));
      h.lineas.push_back({r->caption, reports::kRojoHoja, reports::kTamanoTitulo, {}});
      for (const auto& pg : h.paginas) h.lineas.insert(h.lineas.end(), pg.lineas.begin(), pg.lineas.end());
      h.tabuladas = v.lineasExportacion();
      v.cierra();
      base::borra(base::une(sistema, reports::kArchivoConcen));
      return h;
    }
  }
  DefinicionVenta d;
  std::string titulo = p.titulo;
  if (!p.comando.empty()) {
    auto x = definicionReporteVenta(p.comando, ctx);
    if (!x) {
      ui.mensaje("No existe el reporte " + p.comando);
      return std::nullopt;
    }
    d = *x;
    titulo = std::string(comandoReporte(p.comando)->titulo);
  } else {
    d.texto = p.definicion;
    d.campoDocumento = p.campoDocumento;
    d.campoFecha = p.campoFecha;
    d.tabla = p.tabla;
  }
  reports::FiltroFijo filtro(p.desde, p.hasta, p.de, p.hastaDocumento);
  reports::ContextoReporte c{std::string(sistema), std::string(datos), ui, &filtro, &reloj};
  reports::ParametrosReporte par;
  par.definicion = d.texto;
  par.tabla = d.tabla;
  par.tipo = d.tipo;
  auto r = reports::EjecutaReporte(c, titulo, d.campoDocumento, d.campoFecha, par);
  if (!r) return std::nullopt;
  h.titulo = r->caption();
  h.lineas = r->hoja().lineas();
  h.tabuladas = reports::lineasTabuladas(h.lineas);
  h.paginas = reports::paginasDeHoja(r->hoja(), 60);
  return h;
}

}  // namespace mostrador::sales
