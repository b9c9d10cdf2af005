#pragma once
// One sales document at a time, as the sales screen captures it: a header row of the
// type's header table plus the lines of the station's scratch table "deta<n>.db" of the
// install directory. The screen is a thin view over this engine: it forwards what the
// user types and re-reads the state afterwards.
//
// The engine is a facade over the pieces below, each in its own file:
//   captura.cpp         opening, types, new document, customer and seller, line entry,
//                       pricing, totals and their write-back to the header; the only
//                       company tables it writes are the reserved header and its totals
//   documento.h         the document as a plain value (header, lines, totals), which
//                       documento() builds from the capture
//   filas_documento.*   the one mapping of documents to and from table rows
//   guardado_venta.*    saving and posting a Documento, deleting, cancelling
//   conversion.*        invoicing delivery notes, closing invoice, range invoicing,
//                       copies and documents generated from another, driven through
//                       this facade
//   grabacion.cpp       browsing and redisplay, and the facade of the save

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sales/ajustes.h"
#include "sales/dialogos_venta.h"
#include "sales/dispositivos.h"
#include "sales/documento.h"
#include "sales/guardado_venta.h"
#include "sales/tipos_venta.h"
#include "sales/totales.h"
#include "base/interaccion.h"
#include "base/reloj.h"
#include "store/dbf/dbf_table.h"

namespace mostrador::sales {

// The grid's six columns.
enum Columna : int { kCantidad = 0, kClave = 1, kProducto = 2, kDescuento = 3, kPrecio = 4, kImporte = 5 };

// The texts of the totals and state labels.
struct Textos {
  std::string subtotal, impuesto, total;  // SumarTotal, ImpuestoValor, TotalFact
  std::string fpgc;                       // LabelFPGC "FPGC 0.00"
  std::string partidas;                   // LabelPartidas "Partidas  3" (or the score)
  std::string factor;                     // LabelFactor
  std::string estado;                     // Estado: "Activa", "Cancelada"...
  std::string impresa;                    // Impresa: "Impresa" / "No Impresa"
  std::string cambio;                     // SuCambio: "Cambio 0.00"
  std::string estadoCaptura;              // EstadoCaptura: "Capturando..." / "Terminada"
};

class CapturaVenta {
 public:
  CapturaVenta(AjustesVenta ajustes, base::Interaccion& ui, DialogosVenta& dialogos,
               const base::Reloj& reloj);
  ~CapturaVenta();
  CapturaVenta(const CapturaVenta&) = delete;
  CapturaVenta& operator=(const CapturaVenta&) = delete;

  // ---- opening and types (captura.cpp) ------------------------------------------
  // Takes the first scratch table "deta2.db" .. "deta10.db" of the install directory
  // that opens (copying the template "deta.db" to it when missing; held open
  // exclusively while the engine lives), opens "Remisión" and shows its last header.
  void abre();
  const std::string& archivoPartidas() const { return archivoPartidas_; }
  // The Base selector.
  void cambiaBase(std::string_view texto);
  // Reopens header and detail on a type (conversions open "Factura" this way) and
  // shows its last header.
  void abreTipo(TipoVenta t);
  TipoVenta tipo() const { return tipo_; }
  int numeroTipo() const { return defTipo(tipo_).numeroTipo; }
  // Install directory + "\consulta\" + the till's format, or the type's format line.
  std::string rutaFormato() const;
  // Remisión is numbered by the system for user "0".
  bool numeroSoloLectura() const;
  // Generate-menu commands enabled for the type: Factura, Remisión, Pedido,
  // Devolución, Nota de Crédito.
  struct Generar { bool factura, remision, pedido, devolucion, notaCredito; };
  Generar generar() const;

  const AjustesVenta& ajustes() const { return aj_; }
  CamposEncabezado& campos() { return campos_; }
  const CamposEncabezado& campos() const { return campos_; }

  // ---- new document, customer, seller (captura.cpp) ------------------------------
  // F9. Needs right 20. Inserts the header that reserves the next number.
  bool nuevo();
  // Leaving EditCLCLI_F: fills the labels and the price list; false when the
  // customer is inactive (the cursor goes back to the field).
  bool saleCliente();
  // Leaving EditCLVEN_F: the seller's commission into CTOVE_F while editing.
  void saleVendedor();
  bool esNuevo() const { return nuevo_; }
  bool modificando() const { return modificando_; }
  bool enCaptura() const { return nuevo_ || modificando_; }

  // ---- lines (captura.cpp) --------------------------------------------------------
  int numeroPartidas();
  std::vector<Partida> partidas();
  Partida partida(int fila);  // 0-based, file order of the visible scratch lines
  void irAPartida(int fila);
  int filaActual() const { return fila_; }
  // What the user typed into a cell of the current line (columns as Columna). A number
  // that does not read is refused with a message and the cell keeps its value (false).
  bool ponCelda(int columna, std::string_view texto);
  // The grid's cursor entered a column of the current line (only while capturing);
  // returns the column the cursor must go to.
  int entraColumna(int columna);
  // The cursor left a column (Descuento recomputes the line amount).
  void saleColumna(int columna);
  // A new blank line with Cantidad 1 at the end, made current.
  void agregaPartida();
  // F6: asks and deletes the current line; true when deleted.
  bool eliminaPartida();
  // Ctrl+P: the price of the current line may be changed; true when granted.
  bool cambioPrecio();
  bool permisoPrecio() const { return permisoPrecio_; }
  // Leaving EditEmpaque with capture by package on.
  bool capturaPorEmpaque(std::string_view paquetes);
  // F7 (TFormaCalculaxPrecio): a line worth an amount of a product (key or barcode).
  bool capturaPorImporte(std::string_view importe, std::string_view claveOCodigo);
  // Pick list of the price column: PLIS2_I, PLIS3_I, PLIS4_I, PMINI_I of the line's
  // product.
  std::vector<std::string> listaPrecios();

  // ---- the counter flow and its checks (captura.cpp) -------------------------------
  // Typing into the quantity (column 0 or EditCantidad): the number became the line's
  // quantity, or the text named a product (a scan where the quantity was expected) and
  // filled the line, or it was refused with a message.
  enum class Cantidad { Puesta, Producto, Rechazada };
  Cantidad tecleaCantidad(std::string_view texto);
  // Leaving EditFEDOC_F: only a real calendar date is taken; otherwise a message and
  // the previous date stays.
  bool ponFecha(std::string_view texto);
  // Leaving CAMBIO_F (F5): the change is shown and written to CAMBI_F; "" changes nothing.
  bool efectivo(std::string_view texto);
  // F3: the last filled line again, product and quantity.
  bool repiteUltima();
  // Closing or leaving a document still in capture asks through the pending-changes
  // dialog: save, discard or stay. True when the capture is over (saved or discarded).
  bool dejaCaptura();
  // Discards the capture. A new document keeps its reserved number as a cancelled
  // header with zero totals; a modified one gets back its stored lines and totals.
  void descarta();

  // ---- totals (captura.cpp) -------------------------------------------------------
  // Recomputes every line amount and the totals, shows them, writes "\total.dat" and
  // writes changed totals back to the open header with a new control stamp.
  const Totales& recalcula();
  const Totales& totales() const { return totales_; }
  long long control() const { return control_; }
  Textos textos() const;

  // ---- browsing, saving, deleting, cancelling (grabacion.cpp) -----------------------
  // Redisplay the header the table stands on: fields, stored lines into the scratch
  // table, totals, state texts.
  void muestra();
  void anterior();  // Ctrl+A
  void siguiente(); // Ctrl+S
  void ultimo();
  // Ctrl+B: finds a document of the current type by number and shows it.
  bool buscaDocumento(long long numero);
  // BotonCambiosClick: the shown document is captured again for changes.
  bool modifica();
  // F10.
  bool guarda();
  bool elimina();  // Eliminar1Click
  bool cancela();  // Cancelar1Click

  // ---- conversions (conversion.cpp) ------------------------------------------------
  bool facturaRemision(bool imprimir);  // Factura1Click / FacturaeImprimir1Click
  bool facturaCierre();                 // FacturadeCierre1Click
  bool facturaRango();                  // RangodeDocumentos1Click
  bool copiaDocumento();                // CopiadeDocumento1Click
  // Devolucin1Click, Remisin1Click, Pedido1Click.
  bool generaDocumento(TipoVenta destino);

  // ---- the document as a value ---------------------------------------------------------
  // Header fields, scratch lines and totals as they stand, and what a modification
  // replaces.
  Documento documento();
  GuardadoVenta& guardado() { return guardado_; }
  // Where a save of the current type writes.
  std::vector<std::string> directoriosGuardado() const { return guardado_.directorios(tipo_); }

  // ---- what conversions and the counter drive --------------------------------------------
  // Appends stored lines to the scratch table (engine errors propagate).
  void cargaPartidas(const std::vector<Partida>& partidas);
  // The document being captured is an invoice made from other documents (letter Z).
  void marcaGenerado() { generado_ = true; }
  // The customer's price list for the lines still to be priced.
  void ponListaCliente(int lista) { listaCliente_ = lista; }
  int listaCliente() const { return listaCliente_; }
  base::Interaccion& interaccion() { return ui_; }
  DialogosVenta& dialogos() { return dlg_; }
  const base::Reloj& reloj() const { return reloj_; }
  // How F9 takes its number: by default the header scheme; the counter gives its own
  // (it inserts and posts the header, leaves the table on it and returns the number).
  void ponNumeracion(std::function<long long(dbf::Table& encabezado)> toma) { tomaNumero_ = std::move(toma); }
  // Called after a new document started (the counter writes its current-document file).
  void alIniciar(std::function<void(long long numero)> f) { alIniciar_ = std::move(f); }
  // Line 70 of the counter: the most lines a document takes (0: no limit).
  void ponLimitePartidas(int limite) { limitePartidas_ = limite; }
  // Who authorises the guarded commands (cancel: right 52, price change: right 51).
  // Unset, the signed-in user's right and the administrator confirmation decide; the
  // counter lets the owner of a typed key decide instead.
  void ponAutorizacion(std::function<bool(int derecho)> f) { autoriza_ = std::move(f); }
  dbf::Table& productos() { return productos_; }
  dbf::Table& clientes() { return clientes_; }

  // ---- tables, for printing and the screen's grid -----------------------------------
  dbf::Table& encabezado() { return encabezado_; }
  dbf::Table& detalle() { return detalle_; }
  dbf::Table& tablaPartidas() { return partidas_; }
  std::string directorioEncabezado() const;  // where the type's tables are

 private:
  // ---- shared state (every file) ----
  AjustesVenta aj_;
  base::Interaccion& ui_;
  DialogosVenta& dlg_;
  const base::Reloj& reloj_;
  TipoVenta tipo_ = TipoVenta::Remision;
  std::string archivoPartidas_;
  dbf::Table encabezado_, detalle_, productos_, clientes_, vendedores_, movimientos_, partidas_;
  CamposEncabezado campos_;
  Totales totales_;
  int fila_ = 0;
  bool nuevo_ = false, modificando_ = false;
  bool generado_ = false;       // the invoice comes from other documents (letter Z)
  bool permisoPrecio_ = false;
  int listaCliente_ = 0;
  long long control_ = 0;       // stamp of the last write-back of the totals
  std::string vendedorAnterior_;
  std::string etiquetaFactor_ = "1";
  AjusteBascula bascula_;                             // "\Bascula.cnf": scale labels
  std::optional<EtiquetaBascula> etiquetaBascula_;    // the label the line being filled came from
  std::string etiquetaPartidas_;
  std::string totalEscrito_;
  std::filesystem::path totalLocal_;  // what "\total.dat" holds, as this station wrote it last

  // ---- captura.cpp privates ----
  void abreTablasTipo();
  void abreTablasComunes();
  bool buscaProducto(std::string_view clave);  // positions productos_
  bool llenaPartida();
  bool checaExistencia(bool alLlenar);
  void escribeTotalDat();
  void vaciaPartidas();
  bool irALineaActual();   // positions the scratch table on fila_ (starts a first line)
  void importeDeLinea();   // recomputes IMPORTE of the current scratch line
  bool productoDeLinea();  // positions productos_ on the current line's key
  bool esProducto(const std::string& t);  // a key or a barcode of the product table
  bool confirmaCantidad(double q, bool conProducto);  // ceiling and stock far exceeded
  void escribeCambio();    // CAMBI_F, ABONO_F, SALDO_F of the open header

  // ---- grabacion.cpp privates ----
  GuardadoPrevio previo_;  // the save being modified
  // Shows what a save or a command left to read.
  void muestraMensajes(const std::vector<std::string>& mensajes);
  std::function<long long(dbf::Table&)> tomaNumero_;
  std::function<void(long long)> alIniciar_;
  std::function<bool(int)> autoriza_;
  int limitePartidas_ = 0;
  bool limiteAlcanzado();  // the current line would go beyond the limit
  // Declared after the tables it writes.
  GuardadoVenta guardado_;
};

}  // namespace mostrador::sales
