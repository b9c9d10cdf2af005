#pragma once
// Purchases: receipts (goods received, a payable of the supplier), purchase orders
// (quantities on order only) and returns to the supplier. The engine behind
// TFormaCompras and the command line's "compra": a document is a plain value (header,
// lines, totals) that the screen fills; saving, modifying, cancelling and deleting
// change the shared tables in one save unit each and answer with the exact Spanish
// message when they refuse.
//
// Every stock and average-cost change goes through the posting rule (posteo.h). A saved
// receipt is counted once: a modification first undoes what the previous save did (its
// lines, their stock and movements, its cost layers, its total in the supplier's balance)
// and then posts the document again.
//
// Tables (data directory unless said otherwise):
//   ComprasE/ComprasD   receipts           movements of type 51, letter "O"
//   OrdenCom/OrdenDet   orders             no movements; COMRE_I of the catalogue
//   DevolCom/DevolDet   returns            movements of type 2, letter "P"
//   proveedo.dbf        FULCO_P, SALDO_P, COMPR_P of the supplier (receipts)
//   cuepagar.dbf        the receipt's own entry (TIMOV_CP 51), the payments against it
//   Costeo.dbf          one cost layer per received line of a "PEPS"/"UEPS" product
//   numeroc.dbf         the receipts' counter: the last number issued is its last NUMERO
//   inventar.dbf, movinven.dbf  in the catalogue directory (configuration line 59)

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/importe.h"
#include "base/reloj.h"
#include "inventory/posteo.h"

namespace mostrador::inventory {

enum class TipoCompra { Recepcion, Orden, Devolucion };

// "Recepción", "Orden de Compra", "Devolución de Compra".
std::string nombreTipoCompra(TipoCompra t);
// From the command line's words "Recepcion", "Orden", "Devolucion" (also with accents,
// any case); nullopt otherwise.
std::optional<TipoCompra> tipoCompraDe(std::string_view texto);
// Letter of the movement references: 'O' receipts, 'P' returns, 0 for orders.
char letraCompra(TipoCompra t);
// Movement type of the lines: 51 receipts, 2 returns, 0 orders.
int movimientoCompra(TipoCompra t);
const char* tablaEncabezadoCompra(TipoCompra t);
const char* tablaDetalleCompra(TipoCompra t);

// What the company's configuration and the purchase option files say.
struct AjustesCompras {
  std::string dirDatos;          // line 8: purchase tables, suppliers, payables, counter
  std::string dirCatalogo;       // line 59, or dirDatos: products and movements
  bool integrado = false;        // line 6 "SI": lines are posted as movements
  bool preciosConImpuesto = false;  // line 33 "S": line prices include tax
  ReglasPosteo reglas;           // line 41 "N": no negative stock
  bool recalculaPrecios = false; // line 44 "S": sale prices from the margins on receipt
  bool porEmpaque = false;       // "empa_com.cnf" "S": lines are captured in packages
  bool conservaPrecio = false;   // "opc_com.cnf" "S": the sale price typed on a line is kept
  std::string usuario = "0";     // signed-in user number (HORAF_F)
  std::string nombreUsuario;     // USUARIO of the header
};

// AjustesCompras from the configuration lines (1-based, as Gener<N>.cnf holds them).
AjustesCompras ajustesComprasDe(const std::vector<std::string>& lineas);

struct PartidaCompra {
  std::string clave, descripcion;
  double cantidad = 0;      // units (with package capture: cajas × UEMPA_I)
  double cajas = 0;         // packages (CAJAS_OD)
  double costo = 0;         // unit cost before the discounts (Precio, CUNIT_OD)
  double descuento1 = 0, descuento2 = 0, descuento3 = 0;  // percent, successive
  double impuesto = 0;      // tax rate, percent (POIVA_OD)
  double precioCliente = 0; // sale price proposed for the product (PRECL_OD)
  std::string caducidad, referencia;  // CADUC_OD, REFER_OD
};

struct DocumentoCompra {
  TipoCompra tipo = TipoCompra::Recepcion;
  long long numero = 0;     // 0: a new document takes its number when it is saved
  uint32_t reservado = 0;   // record of the header proponeNumero() appended (0: none)
  std::string proveedor;    // CLPRV_O
  std::string fecha;        // FEDOC_O, dd/MM/yyyy
  std::string fechaRecepcion, fechaPago;  // blank: the date / the date + credit days
  std::string referencia;   // REFER_O (the supplier's invoice)
  std::string moneda;       // MONED_O
  double descuento = 0;     // DTOTA_O, percent on the whole document
  bool noDesglosado = false;  // NoDesglosado: the tax is added to the line prices
  std::string almacen = "1";
  std::vector<PartidaCompra> partidas;
};

// Amounts with four decimals. In the tax-included mode the subtotal is the goods less
// the tax they hold, so that the total (subtotal + tax) is what the document owes.
struct TotalesCompra {
  base::Importe bruto;      // sum of the line amounts
  base::Importe descuento;  // bruto × DTOTA_O / 100, to cents
  base::Importe subtotal;   // SUBTO_O
  base::Importe impuesto;   // IMPMO_O
  base::Importe total;      // IMDOC_O
};

// Cantidad × costo × (1 − d1/100) × (1 − d2/100) × (1 − d3/100).
double importePartida(const PartidaCompra& p);
// The net unit cost of a received line, the new last cost: costo × the three line
// discounts × (1 − DTOTA_O/100).
double costoNeto(const PartidaCompra& p, double descuentoDocumento);
TotalesCompra totalesCompra(const DocumentoCompra& d, bool preciosConImpuesto);
// "$" followed by the amount with the mask "###,###,##0.00".
std::string textoImporte(base::Importe i);

// ---- line entry -------------------------------------------------------------------------

// A product as line entry fills a line: by key (CLPRO_I) or by bar code (CODIG_I).
struct ProductoCompra {
  std::string clave, descripcion;
  double costo = 0;          // ULCOS_I
  double precioCliente = 0;  // PPUBL_I
  double impuesto = 0;       // PIVA1_I
  double empaque = 1;        // UEMPA_I (1 when not positive)
};
std::optional<ProductoCompra> buscaProductoCompra(const AjustesCompras& a, const std::string& claveOCodigo);

inline constexpr std::string_view kProductoNoSeEncuentra = "El Producto No Se encuenta";

// A line as typing the key fills it: description, cost, customer price and tax from the
// catalogue; quantity = cantidadOCajas, or packages × UEMPA_I with package capture.
struct EntradaPartida {
  std::optional<PartidaCompra> partida;
  std::string mensaje;  // kProductoNoSeEncuentra when the key is not found
};
EntradaPartida capturaPartida(const AjustesCompras& a, const std::string& claveOCodigo, double cantidadOCajas);

// The supplier as leaving its key fills the header.
struct ProveedorCompra {
  std::string clave, nombre, direccion, poblacion;
  int diasCredito = 0;   // DCRED_P
  double margen = 0;     // POUTI_P
};
std::optional<ProveedorCompra> buscaProveedor(const AjustesCompras& a, const std::string& clave);
inline constexpr std::string_view kProveedorNoExiste = "No existe";
// The due date proposed on leaving the reception date: it + the supplier's credit days.
std::string fechaPagoPropuesta(const std::string& fechaRecepcion, int diasCredito);

// ---- numbering ----------------------------------------------------------------------------

// A new receipt's number as the screen proposes it: the last NUMERO of "numeroc.dbf" + 1,
// with the header appended at once (its record goes in DocumentoCompra::reservado). The
// counter is raised when the receipt is saved, so two proposals in a row get the same
// number; the save gives each receipt a number of its own. Orders and returns: the
// last number of their header table + 1, without a record.
struct Propuesta {
  long long numero = 0;
  uint32_t reservado = 0;
};
Propuesta proponeNumero(const AjustesCompras& a, TipoCompra t);
// A proposal that is not saved: its empty header goes.
void descartaPropuesta(const AjustesCompras& a, TipoCompra t, uint32_t reservado);

// ---- saving ---------------------------------------------------------------------------------

struct ResultadoCompra {
  bool hecho = false;
  std::string mensaje;   // why not (exact Spanish message); empty when done
  long long numero = 0;
  long long control = 0;
  TotalesCompra totales;
};

inline constexpr std::string_view kFaltaNumero = "Falta el Número de Documento";
inline constexpr std::string_view kClaveNoEncontrada = "No se encontro esta CLAVE ";
inline constexpr std::string_view kErrorGuardarCompra = "No se Pueden Guardar los Datos ha Ocurrido un Error";
inline constexpr std::string_view kErrorAbrirCompra = "Ha Ocurrido un Error al Abrir una de las Bases de Datos. ";
inline constexpr std::string_view kFaltaProveedor = "Falta el Proveedor";
inline constexpr std::string_view kFechaNoValida = "La Fecha no es Válida";
inline constexpr std::string_view kSinPartidas = "El Documento no Tiene Partidas";
inline constexpr std::string_view kNumeroRepetido = "El Número de Documento ya Existe";
inline constexpr std::string_view kDocumentoNoExiste = "El Documento No Existe";
inline constexpr std::string_view kTienePagos = "El Documento No Puede Borrarse Tiene Pagos..,";
inline constexpr std::string_view kYaCancelado = "El Documento ya Fue Cancelado";
inline constexpr std::string_view kTieneMovimientos = "La Compra no puede Eliminarse porque Tiene Movimientos";
inline constexpr std::string_view kPreguntaCancelar = "Esta Seguro de Cancelar este Documento ?";
inline constexpr std::string_view kPreguntaEliminar = "Esta Seguro de Eliminar este Registro ?";

// The checks a save makes before it writes anything; "" when the document may be saved.
// A line key must be in the catalogue ("No se encontro esta CLAVE " + key); quantities
// and costs must not be negative.
std::string validaCompra(const AjustesCompras& a, const DocumentoCompra& d);

// Saves a new document (numero 0 or a typed number that no other document has). One
// unit: header, lines, movements, stock, costs, cost layers, prices, the payable, the
// supplier's balance and the counter are all written or none is.
ResultadoCompra guardaCompra(const AjustesCompras& a, const DocumentoCompra& d, const base::Reloj& reloj);

// Saves document `numero` again with d's header and lines (d.numero is ignored): what the
// previous save did is undone first, in the same unit, so the document counts once.
ResultadoCompra modificaCompra(const AjustesCompras& a, long long numero, const DocumentoCompra& d,
                               const base::Reloj& reloj);

// Cancel and delete: refused with kTienePagos while the payable has payments, kYaCancelado
// for a cancelled document (cancel only); otherwise confirmed(question) is asked and a
// "no" leaves everything as it was (hecho false, empty message). Cancelling puts back the
// stock the save moved (with reversing movements when integrated: exits for a receipt,
// entries for a return), takes the receipt's total off the supplier's balance and
// purchases and marks the payable, the header and the lines cancelled. Deleting does the
// same for an active document and then removes the header, the lines, their movements,
// cost layers and payable entries.
// confirma(pregunta): true to go on; an empty function goes on without asking.
using Confirma = std::function<bool(std::string_view pregunta)>;
ResultadoCompra cancelaCompra(const AjustesCompras& a, TipoCompra t, long long numero, Confirma confirma,
                              const base::Reloj& reloj);
ResultadoCompra eliminaCompra(const AjustesCompras& a, TipoCompra t, long long numero, Confirma confirma);

// ---- reading ------------------------------------------------------------------------------

struct CompraGuardada {
  DocumentoCompra documento;  // numero, header fields and the lines of the last save
  std::string nombre, direccion, poblacion;
  std::string estado;         // STDOC_O
  std::string textoEstado;    // "Cancelada", "Pagada", "Activa"
  long long control = 0;
  double abono = 0, saldo = 0;
  TotalesCompra totales;      // as stored
};
std::optional<CompraGuardada> leeCompra(const AjustesCompras& a, TipoCompra t, long long numero);

// ---- suggested order and imports ----------------------------------------------------------

inline constexpr std::string_view kFaltoProveedor = "Falto un Proveedor...";
inline constexpr std::string_view kNoSeGeneraPedido = "No se Puede Generar el Pedido Sugerido...";
inline constexpr std::string_view kSinInformacion = "No hay información para procesar...";

// The products whose first supplier (CLPR1_I) is `proveedor`, one line each: with
// porMaximo false those with STMIN_I − EXIST_I > 0 for that quantity, with porMaximo
// true those with EXIST_I − STMAX_I < 0 for STMAX_I − EXIST_I. Lines carry the
// catalogue's description, last cost, public price and tax. mensaje: kFaltoProveedor
// without a supplier, kNoSeGeneraPedido without a catalogue.
struct Sugerido {
  std::vector<PartidaCompra> partidas;
  std::string mensaje;
};
Sugerido pedidoSugerido(const AjustesCompras& a, const std::string& proveedor, bool porMaximo);

// An order file: one "clave,cantidad" line per row (blank lines skipped). Every bad line
// is reported with its number ("Línea 3: ..."); kSinInformacion when nothing is left.
// Keys are looked up like typed keys (catalogue data filled in).
struct LecturaPedido {
  std::vector<PartidaCompra> partidas;
  std::vector<std::string> errores;
};
LecturaPedido importaPedido(const AjustesCompras& a, const std::vector<std::string>& lineas);

// The command line's document file: "tipo=Recepcion|Orden|Devolucion", "proveedor=CLAVE",
// "fecha=dd/MM/aaaa", optional "numero=N", "descuento=PCT", "nodesglosado=S",
// "referencia=TEXTO", then one "clave;cantidad;costo[;d1[;d2[;d3[;precio]]]]" line per row
// (blank lines and lines starting with "#" skipped). Every bad line is reported
// ("Línea 4: ..."); the document is only usable when there are none.
struct LecturaCompra {
  DocumentoCompra documento;
  std::vector<std::string> errores;
};
LecturaCompra leeArchivoCompra(const std::vector<std::string>& lineas);

// The label files of a document in the working directory: "etiqc.dat" (a line of field
// names and a line of values, tab-separated) and "etiqcd.dat" (the same heading style,
// one line per line). false when a file cannot be written.
bool escribeEtiquetasCompra(const std::string& dirTrabajo, const CompraGuardada& c);

// ---- search and the administrator's re-posting ---------------------------------------------

// The first saved document of the kind whose supplier key (CLPRV_O) starts with `texto`
// (case ignored), in supplier order; nullopt when none does.
std::optional<long long> buscaCompraPorProveedor(const AjustesCompras& a, TipoCompra t, const std::string& texto);

inline constexpr std::string_view kExclusivaAdministrador = "Opción Exclusiva del Administrador..";
inline constexpr std::string_view kActualizadas = "  Actualizadas...";

// Writes again the type 51 movements of every active receipt that has none under its
// reference (movements integrated later, or lost): the records only, since the receipt
// already moved the stock when it was saved. One unit per receipt. Only user "0"
// (kExclusivaAdministrador otherwise). Each receipt re-posted is logged in "compras.dat" of
// dirTrabajo as letter + "-" + number + " " + control. mensaje: the count + kActualizadas.
struct Reposteo {
  bool hecho = false;
  int actualizadas = 0;
  std::vector<long long> documentos;
  std::string mensaje;
};
Reposteo repostaCompras(const AjustesCompras& a, const std::string& dirTrabajo);

}  // namespace mostrador::inventory
