#include "store/catalogo.h"

#include <cassert>
#include <cctype>

#include "base/rutas.h"
#include "base/texto_util.h"

namespace mostrador::store {

namespace {

using dbf::FieldDef;
using dbf::TagDef;

// Money, prices, quantities and percents: one definition each so that every family
// stores the same kind of value the same way.
constexpr int kDinero = 16, kDineroDec = 4;
constexpr int kPrecio = 14, kPrecioDec = 4;
constexpr int kCantidad = 14, kCantidadDec = 3;
constexpr int kPorcentaje = 9, kPorcentajeDec = 4;
constexpr int kTipoCambio = 12, kTipoCambioDec = 4;
constexpr int kCostoPromedio = 18, kCostoPromedioDec = 6;
constexpr int kUsuario = 5;  // user numbers are positions in the users file

class Tabla {
 public:
  Tabla(std::string archivo, std::string sufijo, Lugar lugar, std::string papel) {
    t_.archivo = std::move(archivo);
    t_.sufijo = std::move(sufijo);
    t_.lugar = lugar;
    t_.papel = std::move(papel);
  }
  Tabla& texto(const char* nombre, int ancho, const char* describe) {
    return campo(nombre, 'C', ancho, 0, describe);
  }
  Tabla& numero(const char* nombre, int ancho, int decimales, const char* describe) {
    return campo(nombre, 'N', ancho, decimales, describe);
  }
  Tabla& entero(const char* nombre, int ancho, const char* describe) {
    return campo(nombre, 'N', ancho, 0, describe);
  }
  Tabla& dinero(const char* nombre, const char* describe) {
    return numero(nombre, kDinero, kDineroDec, describe);
  }
  Tabla& precio(const char* nombre, const char* describe) {
    return numero(nombre, kPrecio, kPrecioDec, describe);
  }
  Tabla& cantidad(const char* nombre, const char* describe) {
    return numero(nombre, kCantidad, kCantidadDec, describe);
  }
  Tabla& porcentaje(const char* nombre, const char* describe) {
    return numero(nombre, kPorcentaje, kPorcentajeDec, describe);
  }
  Tabla& fecha(const char* nombre, const char* describe) {
    return campo(nombre, 'D', 8, 0, describe);
  }
  Tabla& fechaTexto(const char* nombre, const char* describe) {
    return texto(nombre, ancho::kFechaTexto, describe);
  }
  Tabla& indice(const char* nombre, const char* clave) {
    t_.indices.push_back(TagDef{nombre, clave, false, false});
    return *this;
  }
  DefTabla fin() { return std::move(t_); }

 private:
  Tabla& campo(const char* nombre, char tipo, int ancho, int decimales, const char* describe) {
    t_.campos.push_back(FieldDef{nombreCampoDbf(nombre), tipo, ancho, decimales});
    t_.descripciones.emplace_back(describe);
    return *this;
  }
  DefTabla t_;
};

// ---------------------------------------------------------------------------------
// Sales documents: every header table shares one layout, every line table another.

DefTabla encabezadoVenta(const char* archivo, const char* papel) {
  return Tabla(archivo, "_F", Lugar::Datos, papel)
      .entero("CLDOC_F", ancho::kNumeroDocumento, "Número de documento")
      .entero("CONTROL", ancho::kControl, "Sello de control de la última grabación")
      .texto("CLCLI_F", ancho::kClaveCliente, "Clave del cliente")
      .texto("NOMBR_F", ancho::kNombre, "Nombre del cliente")
      .texto("DIREC_F", ancho::kDireccion, "Dirección")
      .texto("DIRE2_F", ancho::kDireccion, "Dirección (segunda línea)")
      .texto("POBLA_F", ancho::kPoblacion, "Población")
      .texto("RFCXX_F", ancho::kRfc, "R.F.C.")
      .texto("CPXXX_F", ancho::kCodigoPostal, "Código postal")
      .texto("CLVEN_F", ancho::kClaveVendedor, "Clave del vendedor")
      .porcentaje("CTOVE_F", "Comisión del vendedor (%)")
      .texto("BCLIM_F", ancho::kCaja, "Número de caja")
      .fecha("FEDOC_F", "Fecha del documento")
      .fecha("FEENT_F", "Fecha de entrega")
      .fecha("FEVEN_F", "Fecha de vencimiento")
      .texto("HORAX_F", 15, "Hora de la última grabación")
      .entero("HORAF_F", kUsuario, "Usuario que grabó")
      .dinero("SUBTO_F", "Subtotal")
      .porcentaje("DESFI_F", "Descuento del documento (%)")
      .dinero("DECOT_F", "Descuento del documento")
      .porcentaje("IMIM1_F", "Tasa de impuesto del documento (%)")
      .dinero("IMIM2_F", "Impuesto")
      .dinero("IMTOD_F", "Total del documento")
      .dinero("COSTO_F", "Costo de las partidas")
      .dinero("FPGCX_F", "Total FPGC")
      .dinero("ABONO_F", "Importe pagado")
      .dinero("SALDO_F", "Saldo")
      .dinero("CAMBI_F", "Cambio entregado")
      .texto("PAGOX_F", 15, "Caja en que se pagó")
      .numero("DIVIS_F", kTipoCambio, kTipoCambioDec, "Tipo de cambio")
      .texto("NOMDI_F", 20, "Moneda")
      .texto("STATU_F", 1, "Estado del documento")
      .texto("TREGI_F", 1, "Marca de impresión")
      .texto("REMIS_F", ancho::kNumeroDocumento, "Documento al que se convirtió")
      .texto("CLPED_F", 30, "Documentos de origen de la factura")
      .indice("INUMENC", "CLDOC_F")
      .fin();
}

DefTabla detalleVenta(const char* archivo, const char* papel) {
  return Tabla(archivo, "_FD", Lugar::Datos, papel)
      .texto("CLDOC_FD", ancho::kNumeroDocumento, "Número de documento")
      .entero("CONTROL", ancho::kControl, "Sello de control de la grabación")
      .texto("CLPRO_FD", ancho::kClaveProducto, "Clave del producto")
      .texto("DEPRO_FD", ancho::kDescripcion, "Descripción del producto")
      .cantidad("CANTI_FD", "Cantidad")
      .texto("UNIDA_FD", ancho::kUnidad, "Unidad")
      .precio("PUNPR_FD", "Precio unitario")
      .dinero("IMPOR_FD", "Importe")
      .porcentaje("PDES1_FD", "Descuento de la partida (%)")
      .precio("PREDE_FD", "Precio neto sin impuesto")
      .porcentaje("PIVA1_FD", "Impuesto de la partida (%)")
      .numero("PIVA2_FD", kCantidad, kCantidadDec, "Factor de la unidad")
      .precio("COPRO_FD", "Costo unitario")
      .dinero("FPGCX_FD", "FPGC de la partida")
      .numero("TICAM_FD", kTipoCambio, kTipoCambioDec, "Tipo de cambio")
      .fechaTexto("FEDOC_FD", "Fecha del documento")
      .texto("PENDI_FD", 20, "Tara")
      .texto("TREGI_FD", 1, "Marca de la partida")
      .texto("TDOCU_FD", 12, "Documento al que se convirtió")
      .texto("REFER_FD", ancho::kReferencia, "Referencia")
      .indice("CLDOC_FD", "CLDOC_FD")
      .fin();
}

// Purchase documents.
DefTabla encabezadoCompra(const char* archivo, const char* papel, bool porProveedor) {
  Tabla t(archivo, "_O", Lugar::Datos, papel);
  t.entero("CLDOC_O", ancho::kNumeroDocumento, "Número de documento")
      .entero("CONTROL", ancho::kControl, "Sello de control de la última grabación")
      .texto("CLPRV_O", ancho::kClaveProveedor, "Clave del proveedor")
      .texto("NOMBR_O", ancho::kNombre, "Nombre del proveedor")
      .texto("DIREC_O", ancho::kDireccion, "Dirección")
      .texto("POBLA_O", ancho::kPoblacion, "Población")
      .fecha("FEDOC_O", "Fecha del documento")
      .fecha("FEPAG_O", "Fecha de pago")
      .fecha("FEREC_O", "Fecha de recepción")
      .texto("REFER_O", 20, "Referencia del proveedor")
      .texto("MONED_O", 20, "Moneda")
      .numero("DIVIS_O", kTipoCambio, kTipoCambioDec, "Tipo de cambio")
      .dinero("SUBTO_O", "Subtotal")
      .dinero("TIMPU_O", "Impuesto")
      .dinero("TINDI_O", "Costos indirectos")
      .porcentaje("DTOTA_O", "Descuento del documento (%)")
      .dinero("DFINT_O", "Descuento financiero")
      .dinero("IMPMO_O", "Importe en moneda del documento")
      .dinero("IMDOC_O", "Total del documento")
      .dinero("ABONO_O", "Importe pagado")
      .dinero("SALDO_O", "Saldo")
      .texto("NALMA_O", ancho::kAlmacen, "Almacén")
      .texto("STDOC_O", 1, "Estado del documento")
      .texto("TREGI_O", 1, "Registrado (S/N)")
      .texto("TDOCU_O", 1, "Origen del documento")
      .entero("HORAF_F", kUsuario, "Usuario que grabó")
      .texto("USUARIO", ancho::kNombre, "Nombre del usuario que grabó")
      .indice("ICOMENC", "CLDOC_O");
  if (porProveedor) t.indice("CLPRV_O", "CLPRV_O");
  return t.fin();
}

DefTabla detalleCompra(const char* archivo, const char* papel) {
  return Tabla(archivo, "_OD", Lugar::Datos, papel)
      .texto("CLDOC_OD", ancho::kNumeroDocumento, "Número de documento")
      .entero("CONTROL", ancho::kControl, "Sello de control de la grabación")
      .texto("CLPRO_OD", ancho::kClaveProducto, "Clave del producto")
      .texto("DESCR_OD", ancho::kDescripcion, "Descripción del producto")
      .cantidad("CANTI_OD", "Cantidad")
      .cantidad("CAJAS_OD", "Cajas")
      .precio("CUNIT_OD", "Costo unitario")
      .porcentaje("PODES_OD", "Descuento 1 (%)")
      .porcentaje("PODE2_OD", "Descuento 2 (%)")
      .porcentaje("PODE3_OD", "Descuento 3 (%)")
      .porcentaje("POIVA_OD", "Impuesto (%)")
      .precio("PRECL_OD", "Precio al cliente")
      .fechaTexto("CADUC_OD", "Caducidad")
      .fechaTexto("FEDOC_OD", "Fecha del documento")
      .texto("NALMA_OD", ancho::kAlmacen, "Almacén")
      .texto("REFER_OD", 20, "Referencia")
      .texto("TREGI_OD", 1, "Marca de cancelación")
      .indice("ICOMDET", "CLDOC_OD")
      .fin();
}

// Payables keep one layout under two names (see the header).
DefTabla cuentasPorPagar(const char* archivo, const char* papel) {
  return Tabla(archivo, "_CP", Lugar::Datos, papel)
      .texto("NUDOC_CP", 15, "Documento")
      .entero("NUCOM_CP", ancho::kNumeroDocumento, "Número de compra")
      .texto("CLCLI_CP", ancho::kClaveProveedor, "Clave del proveedor")
      .texto("CLPRO_CP", ancho::kClaveProveedor, "Clave del proveedor")
      .texto("NOMBR_CP", ancho::kNombre, "Nombre del proveedor")
      .entero("TIMOV_CP", 3, "Tipo de movimiento")
      .texto("CONCE_CP", 30, "Concepto")
      .texto("OPERA_CP", 1, "Operación (A = abono)")
      .dinero("IMCUE_CP", "Importe")
      .dinero("SALDO_CP", "Saldo")
      .fechaTexto("FEAPL_CP", "Fecha de aplicación")
      .fechaTexto("FEVEN_CP", "Fecha de vencimiento")
      .texto("STATU_CP", 1, "Estado")
      .indice("NUCOM_CP", "NUCOM_CP")
      .fin();
}

std::vector<DefTabla> construyeEmpresa() {
  std::vector<DefTabla> v;

  v.push_back(encabezadoVenta("FacturaE.dbf", "Facturas: encabezados"));
  v.push_back(detalleVenta("FacturaD.dbf", "Facturas: partidas"));
  v.push_back(encabezadoVenta("Remision.dbf", "Remisiones: encabezados"));
  v.push_back(detalleVenta("Remisiod.dbf", "Remisiones: partidas"));
  v.push_back(encabezadoVenta("Pedido.dbf", "Pedidos: encabezados"));
  v.push_back(detalleVenta("Pedidod.dbf", "Pedidos: partidas"));
  v.push_back(encabezadoVenta("Cotizaci.dbf", "Cotizaciones: encabezados"));
  v.push_back(detalleVenta("Cotizacd.dbf", "Cotizaciones: partidas"));
  v.push_back(encabezadoVenta("Devoluc.dbf", "Devoluciones de clientes: encabezados"));
  v.push_back(detalleVenta("DevolucD.dbf", "Devoluciones de clientes: partidas"));
  v.push_back(encabezadoVenta("Credito.dbf", "Notas de crédito: encabezados"));
  v.push_back(detalleVenta("CreditoD.dbf", "Notas de crédito: partidas"));
  v.push_back(encabezadoVenta("CajaChic.dbf", "Caja chica: encabezados"));
  v.push_back(detalleVenta("CajaChiD.dbf", "Caja chica: partidas"));
  v.push_back(encabezadoVenta("FactAuxi.dbf", "Facturas generadas de otros documentos"));
  v.push_back(detalleVenta("FactAuxiD.dbf", "Facturas generadas: partidas"));

  v.push_back(Tabla("factuobs.dbf", "_FO", Lugar::Datos, "Observaciones de documentos y registros")
                  .texto("CLDOC_FO", ancho::kClaveProducto, "Clave del registro observado")
                  .texto("TIDOC_FO", 2, "Tipo de registro")
                  .texto("OBSER_FO", 100, "Observación")
                  .indice("CLDOC_FO", "CLDOC_FO")
                  .fin());

  v.push_back(encabezadoCompra("ComprasE.dbf", "Compras: encabezados", true));
  v.push_back(detalleCompra("ComprasD.dbf", "Compras: partidas"));
  v.push_back(encabezadoCompra("DevolCom.dbf", "Devoluciones de compra: encabezados", false));
  v.push_back(detalleCompra("DevolDet.dbf", "Devoluciones de compra: partidas"));
  v.push_back(encabezadoCompra("OrdenCom.dbf", "Órdenes de compra: encabezados", false));
  v.push_back(detalleCompra("OrdenDet.dbf", "Órdenes de compra: partidas"));

  v.push_back(Tabla("cliente.dbf", "_C", Lugar::Datos, "Clientes")
                  .texto("CLCLI_C", ancho::kClaveCliente, "Clave del cliente")
                  .texto("NOMBR_C", ancho::kNombre, "Nombre")
                  .texto("DIREC_C", ancho::kDireccion, "Dirección")
                  .texto("DIRE2_C", ancho::kDireccion, "Dirección (segunda línea)")
                  .texto("POBLA_C", ancho::kPoblacion, "Población")
                  .texto("CPXXX_C", ancho::kCodigoPostal, "Código postal")
                  .texto("RFCXX_C", ancho::kRfc, "R.F.C.")
                  .texto("TELEF_C", ancho::kTelefono, "Teléfono")
                  .texto("ZONAX_C", ancho::kZona, "Zona")
                  .texto("CLVEN_C", ancho::kClaveVendedor, "Vendedor")
                  .entero("DCRED_C", 4, "Días de crédito")
                  .entero("PREPR_C", 2, "Lista de precios")
                  .fecha("FULCO_C", "Fecha de la última compra")
                  .dinero("COMPR_C", "Compras totales")
                  .dinero("CARGO_C", "Cargos")
                  .dinero("ABONO_C", "Abonos")
                  .dinero("SALDO_C", "Saldo")
                  .texto("STATU_C", 1, "Estado")
                  .texto("DREPA_C", 40, "Dato adicional")
                  .texto("CURPX_C", 20, "C.U.R.P.")
                  .texto("HOREV_C", 20, "Horario de revisión")
                  .texto("DIPAG_C", 20, "Día de pago")
                  .texto("HOPAG_C", 20, "Horario de pago")
                  .indice("ICLACLI", "CLCLI_C")
                  .indice("NOMBR_C", "NOMBR_C")
                  .fin());

  v.push_back(Tabla("ClieDesc.dbf", "_D", Lugar::Datos, "Descuentos de clientes por línea")
                  .texto("CLCLI_D", ancho::kClaveCliente, "Clave del cliente")
                  .texto("LINEA_D", ancho::kLinea, "Línea de productos")
                  .porcentaje("DESCU_D", "Descuento (%)")
                  .indice("CLCLI_D", "CLCLI_D")
                  .fin());

  v.push_back(Tabla("contacto.dbf", "_CO", Lugar::Datos, "Contactos de clientes")
                  .texto("CLCLI_C", ancho::kClaveCliente, "Clave del cliente")
                  .texto("NOMBR_CO", ancho::kNombre, "Nombre del contacto")
                  .texto("PUEST_CO", 30, "Puesto")
                  .texto("TELEF_CO", ancho::kTelefono, "Teléfono")
                  .texto("CORRE_CO", 60, "Correo electrónico")
                  .texto("OBSER_CO", 60, "Observación")
                  .indice("CLCLI_C", "CLCLI_C")
                  .fin());

  v.push_back(Tabla("contprov.dbf", "_CO", Lugar::Datos, "Contactos de proveedores")
                  .texto("CLAVE_P", ancho::kClaveProveedor, "Clave del proveedor")
                  .texto("NOMBR_CO", ancho::kNombre, "Nombre del contacto")
                  .texto("PUEST_CO", 30, "Puesto")
                  .texto("TELEF_CO", ancho::kTelefono, "Teléfono")
                  .texto("CORRE_CO", 60, "Correo electrónico")
                  .texto("OBSER_CO", 60, "Observación")
                  .indice("CLAVE_P", "CLAVE_P")
                  .fin());

  v.push_back(Tabla("cucobrar.dbf", "_CC", Lugar::Datos, "Cuentas por cobrar")
                  .texto("CLCLI_CC", ancho::kClaveCliente, "Clave del cliente")
                  .texto("NUFAC_CC", ancho::kNumeroDocumento, "Documento")
                  .texto("NUREF_CC", 15, "Referencia")
                  .texto("TIMOV_CC", 3, "Tipo de movimiento")
                  .texto("OPERA_CC", 1, "Operación (A = abono)")
                  .dinero("IMCUE_CC", "Importe")
                  .dinero("SALDO_CC", "Saldo del documento")
                  .fechaTexto("FEAPL_CC", "Fecha de aplicación")
                  .fechaTexto("FEVEN_CC", "Fecha de vencimiento")
                  .texto("CLVEN_CC", ancho::kClaveVendedor, "Vendedor")
                  .dinero("COMIS_CC", "Comisión")
                  .dinero("IVAXX_CC", "Impuesto")
                  .indice("ICUECOB", "NUFAC_CC")
                  .indice("nuref_cc", "NUREF_CC")
                  .fin());

  v.push_back(Tabla("proveedo.dbf", "_P", Lugar::Datos, "Proveedores")
                  .texto("CLAVE_P", ancho::kClaveProveedor, "Clave del proveedor")
                  .texto("NOMBR_P", ancho::kNombre, "Nombre")
                  .texto("DIREC_P", ancho::kDireccion, "Dirección")
                  .texto("POBLA_P", ancho::kPoblacion, "Población")
                  .texto("CPXXX_P", ancho::kCodigoPostal, "Código postal")
                  .texto("RFCXX_P", ancho::kRfc, "R.F.C.")
                  .texto("TELEF_P", ancho::kTelefono, "Teléfono")
                  .texto("ZONAX_P", ancho::kZona, "Zona")
                  .texto("CLVEN_P", ancho::kClaveVendedor, "Comprador")
                  .texto("DREPA_P", 40, "Dato adicional")
                  .entero("DCRED_P", 4, "Días de crédito")
                  .fechaTexto("FULCO_P", "Fecha de la última compra")
                  .dinero("COMPR_P", "Compras totales")
                  .dinero("CARGO_P", "Cargos")
                  .dinero("ABONO_P", "Abonos")
                  .dinero("SALDO_P", "Saldo")
                  .porcentaje("POUTI_P", "Utilidad (%)")
                  .texto("STATU_P", 1, "Estado")
                  .indice("ICLAPRO", "CLAVE_P")
                  .indice("NOMBR_P", "NOMBR_P")
                  .fin());

  v.push_back(cuentasPorPagar("cuepagar.dbf", "Cuentas por pagar"));
  v.push_back(cuentasPorPagar("Cupagar.dbf", "Cuentas por pagar (nombre anterior)"));

  v.push_back(Tabla("Concepto.dbf", "_MO", Lugar::Datos, "Conceptos de cuentas")
                  .entero("TIMOV_MO", 3, "Tipo de movimiento")
                  .texto("CONCE_MO", 30, "Concepto")
                  .texto("TIPOO_MO", 1, "Operación (A = abono)")
                  .indice("TIMOV_MO", "TIMOV_MO")
                  .fin());

  v.push_back(Tabla("vendedor.dbf", "_V", Lugar::Datos, "Vendedores")
                  .texto("CLVEN_V", ancho::kClaveVendedor, "Clave del vendedor")
                  .texto("NOMBR_V", ancho::kNombre, "Nombre")
                  .texto("TELEF_V", ancho::kTelefono, "Teléfono")
                  .porcentaje("COMIS_V", "Comisión (%)")
                  .texto("CLASV_V", 10, "Clase de vendedor")
                  .texto("STATU_V", 1, "Estado")
                  .indice("ICLAVEN", "CLVEN_V")
                  .indice("NOMBR_V", "NOMBR_V")
                  .fin());

  v.push_back(Tabla("inventar.dbf", "_I", Lugar::Datos, "Productos")
                  .texto("CLPRO_I", ancho::kClaveProducto, "Clave del producto")
                  .texto("CODIG_I", ancho::kCodigoBarras, "Código de barras")
                  .texto("DSCPR_I", ancho::kDescripcion, "Descripción")
                  .texto("UMEDI_I", ancho::kUnidad, "Unidad de medida")
                  .texto("LIPRO_I", ancho::kLinea, "Línea")
                  .cantidad("UEMPA_I", "Unidades por empaque")
                  .cantidad("FACTO_I", "Factor de venta")
                  .texto("ALMAC_I", ancho::kAlmacen, "Almacén")
                  .cantidad("EXIST_I", "Existencia")
                  .cantidad("EXIFA_I", "Existencia facturada")
                  .cantidad("STMIN_I", "Existencia mínima")
                  .cantidad("STMAX_I", "Existencia máxima")
                  .cantidad("COMRE_I", "Cantidad pedida")
                  .precio("ULCOS_I", "Último costo")
                  .numero("CPROM_I", kCostoPromedio, kCostoPromedioDec, "Costo promedio")
                  .texto("TICOS_I", 4, "Tipo de costeo")
                  .porcentaje("PIVA1_I", "Impuesto (%)")
                  .porcentaje("DESCU_I", "Descuento (%)")
                  .precio("PPUBL_I", "Precio público")
                  .precio("PLIS2_I", "Precio lista 2")
                  .precio("PLIS3_I", "Precio lista 3")
                  .precio("PLIS4_I", "Precio lista 4")
                  .precio("PMINI_I", "Precio mínimo")
                  .precio("PLIS6_I", "Precio lista 6")
                  .precio("PLIS7_I", "Precio lista 7")
                  .porcentaje("PORC1_I", "Margen precio público (%)")
                  .porcentaje("PORC2_I", "Margen lista 2 (%)")
                  .porcentaje("PORC3_I", "Margen lista 3 (%)")
                  .porcentaje("PORC4_I", "Margen lista 4 (%)")
                  .porcentaje("PORC5_I", "Margen precio mínimo (%)")
                  .porcentaje("PORC6_I", "Margen lista 6 (%)")
                  .porcentaje("PORC7_I", "Margen lista 7 (%)")
                  .cantidad("POLI1_I", "Cantidad precio público")
                  .cantidad("POLI2_I", "Cantidad lista 2")
                  .cantidad("POLI3_I", "Cantidad lista 3")
                  .cantidad("POLI4_I", "Cantidad lista 4")
                  .cantidad("POLI5_I", "Cantidad precio mínimo")
                  .cantidad("POLI6_I", "Cantidad lista 6")
                  .cantidad("POLI7_I", "Cantidad lista 7")
                  .numero("FPGCC_I", kPrecio, kPrecioDec, "Factor FPGC")
                  .numero("FPGCI_I", kPrecio, kPrecioDec, "Factor FPGC (impuesto)")
                  .texto("CLPR1_I", ancho::kClaveProveedor, "Proveedor 1")
                  .texto("CLPR2_I", ancho::kClaveProveedor, "Proveedor 2")
                  .fechaTexto("FEULC_I", "Fecha de la última compra")
                  .fechaTexto("FEULV_I", "Fecha de la última venta")
                  .fecha("FEALT_I", "Fecha de alta")
                  .entero("HORAF_F", kUsuario, "Usuario que dio de alta")
                  .dinero("VANMO_I", "Ventas del año (importe)")
                  .cantidad("VANCA_I", "Ventas del año (cantidad)")
                  .texto("SERIE_I", 1, "Con número de serie (S/N)")
                  .texto("KITXX_I", 1, "Es kit (S/N)")
                  .texto("IMAGE_I", ancho::kRuta, "Imagen")
                  .texto("LITEM_I", ancho::kLinea, "Agrupación secundaria")
                  .indice("ICLPRO", "CLPRO_I")
                  .indice("CODIG_I", "CODIG_I")
                  .indice("DSCPR_I", "DSCPR_I")
                  .fin());

  v.push_back(Tabla("Kits.dbf", "_K", Lugar::Datos, "Componentes de los kits")
                  .texto("CLPRO_I", ancho::kClaveProducto, "Clave del kit")
                  .texto("CLPRO_K", ancho::kClaveProducto, "Clave del componente")
                  .texto("DESCR_K", ancho::kDescripcion, "Descripción del componente")
                  .cantidad("CANTI_K", "Cantidad")
                  .indice("CLPRO_I", "CLPRO_I")
                  .fin());

  v.push_back(Tabla("Costeo.dbf", "_I", Lugar::Datos, "Capas de costo (PEPS y UEPS)")
                  .texto("CLPRO_I", ancho::kClaveProducto, "Clave del producto")
                  .entero("CLDOC_I", ancho::kNumeroDocumento, "Documento")
                  .cantidad("CANTI_I", "Cantidad")
                  .fecha("FECHA_I", "Fecha")
                  .indice("CLPRO_I", "CLPRO_I")
                  .fin());

  v.push_back(Tabla("movinven.dbf", "_MI", Lugar::Datos, "Movimientos al inventario")
                  .entero("CLDOC_MI", ancho::kNumeroDocumento, "Número de movimiento")
                  .entero("TIMOV_MI", 3, "Tipo de movimiento")
                  .texto("CLPRO_MI", ancho::kClaveProducto, "Clave del producto")
                  .texto("DESCR_MI", ancho::kDescripcion, "Descripción")
                  .cantidad("CANTI_MI", "Cantidad")
                  .precio("COSUN_MI", "Costo unitario")
                  .precio("PUNIT_MI", "Precio unitario")
                  .fechaTexto("FEDOC_MI", "Fecha del documento")
                  .entero("FECHA", 10, "Secuencia")
                  .texto("REFMO_MI", 20, "Referencia")
                  .texto("NUDOC_MI", ancho::kReferenciaMovimiento, "Documento de origen")
                  .texto("CLPRV_MI", ancho::kClaveProducto, "Proveedor o cliente")
                  .texto("CLCOP_MI", ancho::kClaveProducto, "Clave capturada")
                  .texto("CLVEN_MI", ancho::kClaveVendedor, "Vendedor")
                  .texto("NALMA_MI", ancho::kAlmacen, "Almacén")
                  .texto("BANAF_MI", 1, "Origen")
                  .cantidad("EXIST_MI", "Existencia después del movimiento")
                  .entero("HORAF_F", kUsuario, "Usuario")
                  .texto("USUARIO", 20, "Usuario que grabó")
                  .entero("CONTROL", ancho::kControl, "Sello de control")
                  .indice("CLDOC_MI", "CLDOC_MI")
                  .indice("CLPRO_MI", "CLPRO_MI")
                  .indice("FEDOC_MI", "FEDOC_MI")
                  .indice("NUDOC_MI", "NUDOC_MI")
                  .fin());

  v.push_back(Tabla("CoMovInv.dbf", "_CM", Lugar::Datos, "Tipos de movimiento al inventario")
                  .entero("NUCON_CM", 3, "Tipo de movimiento")
                  .texto("DECON_CM", 30, "Descripción")
                  .texto("TIPOX_CM", 1, "Clase (T = traspaso)")
                  .texto("ALMAC_CM", ancho::kRuta, "Directorio destino del traspaso")
                  .indice("ITIPMOV", "NUCON_CM")
                  .fin());

  // Counters: CREATE TABLE "<path>" (NUMERO  NUMERIC(8,0)).
  for (const char* n : {"numero.dbf", "numerof.dbf", "numeroc.dbf"}) {
    v.push_back(Tabla(n, "", Lugar::Datos, "Contador de documentos")
                    .entero("NUMERO", 8, "Número")
                    .fin());
  }

  v.push_back(Tabla("retiros.dbf", "", Lugar::Datos, "Entradas y salidas de efectivo")
                  .entero("CLDOC_F", ancho::kNumeroDocumento, "Número de movimiento")
                  .fecha("FEDOC_F", "Fecha")
                  .texto("HORA", 15, "Hora")
                  .dinero("CANTIDAD", "Importe")
                  .texto("CONCEPTO", 40, "Concepto")
                  .entero("NUM_CONCEP", 2, "1 salida, 2 entrada")
                  .texto("BCLIM_F", ancho::kCaja, "Caja")
                  .texto("CLVEN_F", ancho::kClaveVendedor, "Vendedor")
                  .indice("CLDOC_F", "CLDOC_F")
                  .fin());

  v.push_back(Tabla("Descuento.dbf", "", Lugar::Datos, "Descuento y lista de precios por tipo de pago")
                  .texto("TIPOPAGO", 30, "Tipo de pago")
                  .porcentaje("DESCUENTO", "Descuento (%)")
                  .entero("PRECIO", 5, "Lista de precios (1000 + lista)")
                  .indice("TIPOPAGO", "TIPOPAGO")
                  .fin());

  v.push_back(Tabla("Existe.dbf", "", Lugar::Datos, "Existencias pendientes de aplicar")
                  .texto("CLAVE", ancho::kClaveProducto, "Clave del producto")
                  .cantidad("CANTI", "Cantidad")
                  .entero("CONTROL", ancho::kControl, "Sello de control")
                  .texto("MODULO", 20, "Documento")
                  .entero("MOVIMIENTO", 3, "Tipo de movimiento")
                  .indice("CLAVE", "CLAVE")
                  .fin());

  v.push_back(Tabla("RutasMI.dbf", "", Lugar::Datos, "Directorios de otras sucursales")
                  .texto("RUTA", ancho::kRuta, "Directorio")
                  .fin());

  v.push_back(Tabla("Poventas.dbf", "", Lugar::Datos, "Totales diarios del punto de venta")
                  .fecha("FECHA", "Fecha")
                  .texto("CAJA", ancho::kCaja, "Caja")
                  .dinero("TOTAL", "Total")
                  .fin());
  return v;
}

// Lines of a sales document being captured; "deta.db" is the template each capture
// window copies to its own "deta<n>.db", "detaTVK.db" a clean copy of it.
DefTabla detalleCaptura(const char* archivo, const char* papel) {
  return Tabla(archivo, "", Lugar::Sistema, papel)
      .texto("CLAVE", ancho::kClaveProducto, "Clave del producto")
      .texto("PRODUCTO", ancho::kDescripcion, "Descripción")
      .cantidad("CANTIDAD", "Cantidad")
      .precio("PRECIO", "Precio unitario")
      .porcentaje("DESCUENTO", "Descuento (%)")
      .porcentaje("DESCUENTO2", "Descuento 2 (%)")
      .porcentaje("DESCUENTO3", "Descuento 3 (%)")
      .dinero("IMPORTE", "Importe")
      .precio("COSTO", "Costo unitario")
      .porcentaje("IMPUESTO", "Impuesto (%)")
      .cantidad("FACTOR", "Unidades por empaque")
      .cantidad("EMPAQUE", "Empaques")
      .precio("PREC_TARA", "Precio por unidad de tara")
      .texto("TARA", 20, "Tara")
      .dinero("FPGC", "FPGC")
      .texto("UNIDAD", ancho::kUnidad, "Unidad")
      .fin();
}

std::vector<DefTabla> construyeSistema() {
  std::vector<DefTabla> v;
  v.push_back(detalleCaptura("Deta.db", "Partidas del documento de venta en captura"));
  v.push_back(detalleCaptura("detaTVK.db", "Copia limpia de Deta.db"));
  v.push_back(Tabla("DetaComp.db", "", Lugar::Sistema, "Partidas de la compra en captura")
                  .cantidad("Cantidad", "Cantidad")
                  .texto("Clave", ancho::kClaveProducto, "Clave del producto")
                  .texto("Producto", ancho::kDescripcion, "Descripción")
                  .precio("Precio", "Costo unitario")
                  .porcentaje("Descuento", "Descuento 1 (%)")
                  .porcentaje("Descuento2", "Descuento 2 (%)")
                  .porcentaje("Descuento3", "Descuento 3 (%)")
                  .cantidad("Cajas", "Cajas")
                  .dinero("Importe", "Importe")
                  .porcentaje("Impuesto", "Impuesto (%)")
                  .precio("PrecioCliente", "Precio al cliente")
                  .fechaTexto("Caducidad", "Caducidad")
                  .cantidad("Surtido", "Cantidad surtida")
                  .fin());
  v.push_back(Tabla("Detaminv.db", "", Lugar::Sistema, "Partidas del movimiento en captura")
                  .texto("CLAVE", ancho::kClaveProducto, "Clave del producto")
                  .texto("DESCRIPCION", ancho::kDescripcion, "Descripción")
                  .cantidad("CANTIDAD", "Cantidad")
                  .precio("COSTO", "Costo unitario")
                  .precio("PRECIO", "Precio unitario")
                  .dinero("IMPORTE", "Importe")
                  .texto("REFERENCIA", 20, "Referencia")
                  .fin());
  v.push_back(Tabla("campos.dbf", "", Lugar::Sistema, "Diccionario de campos de los reportes")
                  .texto("TABLA", 15, "Tabla")
                  .texto("CAMPO", 10, "Campo")
                  .texto("DESCRIBE", 40, "Descripción")
                  .texto("TIPO", 10, "Tipo")
                  .entero("TAMO", 4, "Tamaño")
                  .indice("TABLA", "TABLA")
                  .indice("CAMPO", "CAMPO")
                  .fin());
  return v;
}

std::string sinExtension(std::string_view s) {
  auto p = s.rfind('.');
  return std::string(p == std::string_view::npos ? s : s.substr(0, p));
}

}  // namespace

int DefTabla::indiceCampo(std::string_view nombre) const {
  // A long name is found under its stored, cut form ("DESCRIPCION" -> "DESCRIPCIO").
  const std::string guardado = nombreCampoDbf(nombre);
  for (size_t i = 0; i < campos.size(); ++i)
    if (campos[i].name == guardado) return static_cast<int>(i);
  return -1;
}

const dbf::FieldDef* DefTabla::campo(std::string_view nombre) const {
  int i = indiceCampo(nombre);
  return i < 0 ? nullptr : &campos[static_cast<size_t>(i)];
}

const dbf::TagDef* DefTabla::indice(std::string_view nombre) const {
  for (const auto& t : indices)
    if (base::mismoNombre(t.name, nombre)) return &t;
  return nullptr;
}

std::string DefTabla::archivoMinusculas() const { return base::minusculasAscii(archivo); }

const std::vector<DefTabla>& tablasEmpresa() {
  static const std::vector<DefTabla> v = construyeEmpresa();
  return v;
}

const std::vector<DefTabla>& tablasSistema() {
  static const std::vector<DefTabla> v = construyeSistema();
  return v;
}

const DefTabla* buscaTabla(std::string_view nombre) {
  const bool conExtension = nombre.find('.') != std::string_view::npos;
  for (const auto* lista : {&tablasEmpresa(), &tablasSistema()}) {
    for (const auto& t : *lista) {
      if (conExtension ? base::mismoNombre(t.archivo, nombre)
                       : base::mismoNombre(sinExtension(t.archivo), nombre))
        return &t;
    }
  }
  return nullptr;
}

std::string nombreCampoDbf(std::string_view nombre) {
  std::string r(nombre.substr(0, 10));
  for (char& c : r) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return r;
}

const std::vector<DefDocumento>& documentos() {
  static const std::vector<DefDocumento> v = {
      {Documento::Factura, "Factura", 'F', "FacturaE.dbf", "FacturaD.dbf", false},
      {Documento::Remision, "Remisión", 'R', "Remision.dbf", "Remisiod.dbf", false},
      {Documento::Pedido, "Pedido", 'P', "Pedido.dbf", "Pedidod.dbf", false},
      {Documento::Cotizacion, "Cotización", 'C', "Cotizaci.dbf", "Cotizacd.dbf", false},
      {Documento::Devolucion, "Devolución", 'D', "Devoluc.dbf", "DevolucD.dbf", false},
      {Documento::NotaCredito, "Nota de Crédito", 'N', "Credito.dbf", "CreditoD.dbf", false},
      {Documento::CajaChica, "Caja Chica", 'C', "CajaChic.dbf", "CajaChiD.dbf", false},
      {Documento::FacturaAuxiliar, "Factura Generada", 'Z', "FactAuxi.dbf", "FactAuxiD.dbf",
       false},
      {Documento::Compra, "Recepción", 'O', "ComprasE.dbf", "ComprasD.dbf", true},
      {Documento::OrdenCompra, "Orden de Compra", 0, "OrdenCom.dbf", "OrdenDet.dbf", true},
      {Documento::DevolucionCompra, "Devolución de Compra", 'P', "DevolCom.dbf",
       "DevolDet.dbf", true},
  };
  return v;
}

const DefDocumento& documento(Documento d) {
  for (const auto& x : documentos())
    if (x.documento == d) return x;
  assert(false && "documento sin definición");
  return documentos().front();
}

}  // namespace mostrador::store
