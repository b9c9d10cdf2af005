#pragma once
// The counter (point of sale): the sales capture engine tuned for fast counter sales.
// It adds, over the same capture, totals and save: the counter numbering, payment types
// that carry a document discount or a price list, the cash tendered and the change, the
// sale on hold in a second window, the export of a sale's lines, the caller list, quick
// product creation, pending stock for products another station holds, the modify-command
// switch, the line limit and the key-holder authorisations.
//
// FILES (Windows-1252 text, CR LF)
//
//   "\encabeza.cnf"  (install directory) lines 10 to 14, "S" meaning on:
//                    10 F10 saves and prints the ticket   11 a new sale starts in the seller
//                    12 the grid keeps the user's widths  13 caller identification
//                    14 a scale is attached
//   "\pagos.cnf"     (data directory) one payment type a line
//   "Descuento.DBF"  (data directory, tag TIPOPAGO) TIPOPAGO, DESCUENTO (percent),
//                    PRECIO (1000 + price list)
//   "\Multi.dat"     (install directory) 1 signed-in user, 2 scratch table of the held
//                    sale without extension ("deta2"), 3 "Deta"
//   "\actualR.dat"   (current directory) the number of the sale just started on this
//                    screen; "\actual.dat" is the other screens' and, when present on
//                    activation, names the document to show
//   "\detalle.dat"   (current directory) the grid's column widths, one a line
//   "\Exporta.cnf"   (install directory) line 1: the export file ("\Movimientos.mov" when
//                    missing or empty); the export holds one "key,quantity" line per line
//   "\mdf.cnf"       (install directory) line 1 exactly the access code: the modify
//                    command shows
//   "Existe.dbf"     (data directory) CLAVE, CANTI (negated for exits),
//                    CONTROL, MODULO, MOVIMIENTO: stock changes left pending
//   "C:\SERIAL\historial\<ddMMyyyy>.his"  the caller-identification device's history of
//                    the day: one call a line, "<time>,<number>" or just "<number>"; the
//                    number is the caller's customer key

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/fechas.h"
#include "base/programas.h"
#include "sales/captura.h"
#include "store/numeracion.h"

namespace mostrador::sales {

inline constexpr std::string_view kTituloMostrador = "Punto de Venta CAPTURA RAPIDA";
inline constexpr std::string_view kEstadoMostrador = "F11 IMPRIME TICKET,     Ctrl+B   BUSCAR VENTA";
inline constexpr std::string_view kCodigoModificar = "qwopzmxnt7b28vlkdsa";
inline constexpr std::string_view kErrorPago = "Hay un error en el PAGO...";
inline constexpr std::string_view kLlamadasPorOmision = "C:\\SERIAL\\historial";

// Lines 10 to 14 of "\encabeza.cnf".
struct OpcionesMostrador {
  bool guardaEImprime = false;    // 10
  bool iniciaEnVendedor = false;  // 11
  bool detallePersonal = false;   // 12
  bool identificador = false;     // 13
  bool bascula = false;           // 14
};
OpcionesMostrador leeOpcionesMostrador(std::string_view dirSistema);
// Rewrites line n (10 to 14) of "\encabeza.cnf" with "S" or "N", the other lines kept;
// false when the file is missing or cannot be written.
bool marcaOpcionMostrador(std::string_view dirSistema, int linea, bool valor);

// A payment type's row of "Descuento.DBF" (blank fields: nullopt).
struct ValorPago {
  std::string tipo;
  std::optional<double> descuento, precio;
  friend bool operator==(const ValorPago&, const ValorPago&) = default;
};
// The value v of a payment type: PRECIO when set, then DESCUENTO when set (so the
// discount wins); -1000 when the type is missing or both are blank.
double valorTipoPago(std::string_view dirDatos, std::string_view tipo);
// The rows of the given types, in their order (a missing row: both blank).
std::vector<ValorPago> leeValoresPago(std::string_view dirDatos, const std::vector<std::string>& tipos);
// Writes one row per type (an existing row is replaced); false on an engine error.
bool escribeValoresPago(std::string_view dirDatos, const std::vector<ValorPago>& valores);

// A call of the day's history with its customer.
struct Llamada {
  std::string hora, numero, nombre, direccion;  // nombre empty: not a customer
  friend bool operator==(const Llamada&, const Llamada&) = default;
};
std::vector<Llamada> leeLlamadas(std::string_view dirHistorial, std::string_view dirDatos, const base::Fecha& dia);

// Quick product creation (TFormaClaveRapida): "" when created, else the message.
struct ProductoRapido {
  std::string clave, descripcion, codigo;
  double precio = 0, factor = 1;
};
std::string altaRapida(std::string_view dirInventario, const ProductoRapido& p);

// "\mdf.cnf" of the install directory: its first line is the access code exactly.
bool accesoModificar(std::string_view dirSistema);

class MostradorVenta {
 public:
  // The capture must be opened (abre()) by the caller afterwards or before; procesos and
  // programas start the second window. dirActual: where the current-document and grid
  // files live ("" for the current directory).
  MostradorVenta(CapturaVenta& captura, base::Procesos& procesos, const base::TablaProgramas& programas,
                 std::string dirActual = {});

  CapturaVenta& captura() { return c_; }
  const OpcionesMostrador& opciones() const { return opciones_; }
  // A menu item of lines 10 to 14 toggled.
  bool cambiaOpcion(int linea, bool valor);

  // The screen is shown: the counter bases are read again, the modify switch is looked
  // at. True when the modify command is to be visible.
  bool alMostrar();
  bool modificarPermitido() const { return modificar_; }

  // ---- payment ----
  const std::vector<std::string>& tiposPago() const { return tipos_; }
  void recargaPagos();  // HabilitarPago1Click: "\Pagos.cnf" again
  // Leaving TipoPago. What happened: nothing, the document discount, or a repricing.
  enum class Pago { Nada, Descuento, Lista };
  Pago aplicaTipoPago(std::string_view tipo);
  // Leaving CAMBIO_F: the change is shown and written; a tender that is not a number or
  // does not cover the total is refused with its message and the sale stays as it was.
  bool efectivo(std::string_view texto);

  // ---- the sale on hold, export, callers ----
  // Writes "\Multi.dat" and starts "\CapturaR.exe" of the install directory; the
  // message when it did not start ("" when it did).
  std::string ventaEnEspera();
  // Writes the current sale's lines; false (and a message) when it cannot.
  bool exporta();
  std::vector<Llamada> llamadas(std::string_view dirHistorial = kLlamadasPorOmision);

  // ---- current document and grid ----
  // The number of the sale just started into "\actualR.dat" (this screen's caption) or
  // "\actual.dat".
  void escribeActual(long long numero, bool capturaRapida = true);
  // "\actual.dat" present: its document shown (find nearest); false otherwise.
  bool muestraActual();
  std::vector<int> anchosDetalle() const;
  bool guardaAnchos(const std::vector<int>& anchos) const;

  // ---- authorisations ----
  // The key-holder rule: the administrator passes, anyone else types a key and its
  // owner's right decides (51 price change, 52 cancel, 53 reprint and range print).
  bool autoriza(int derecho);

  // Where a pending stock change goes (Existe.dbf); public for the save's sink.
  void anotaPendiente(const ExistenciaPendiente& p);

 private:
  std::string rutaActual(std::string_view archivo) const;

  CapturaVenta& c_;
  base::Procesos& procesos_;
  const base::TablaProgramas& programas_;
  std::string dirActual_;
  OpcionesMostrador opciones_;
  std::vector<std::string> tipos_;
  store::Numerador numerador_;
  bool modificar_ = false;
};

}  // namespace mostrador::sales
