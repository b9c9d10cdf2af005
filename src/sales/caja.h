#pragma once
// The cash register of the sales screens. Each station is a till: a number, a default
// seller and a ticket format in "\caja.cnf" of the install directory. Documents are
// marked paid at a till (PAGOX_F "Pagada en " + till), cash goes into and out of the
// drawer as movements of "retiros.dbf" with a concept from "\Salidas.cnf", and the cuts
// (sales/reportes_venta.h) list a day's documents and movements.
//
// "\caja.cnf": fixed 36-byte records, strings as a length byte and the characters
// padded (base/registros_fijos.h):
//
//   OFFSET SIZE FIELD
//        0    4 till number, up to 3 characters (BCLIM_F of new documents)
//        4    6 default seller, up to 5 characters (CLVEN_F of new documents)
//       10   26 ticket format, up to 25 characters (under "\consulta\" of the install)
//
// "retiros.dbf" (data directory): CLDOC_F movement number, FEDOC_F date, HORA time
// text, CANTIDAD amount, CONCEPTO, NUM_CONCEP (1 or blank or less: cash out, 2: cash in),
// BCLIM_F till, CLVEN_F seller.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/interaccion.h"
#include "base/reloj.h"
#include "sales/ajustes.h"
#include "store/dbf/dbf_table.h"

namespace mostrador::printing {
class MotorFormatos;
}

namespace mostrador::sales {

inline constexpr std::string_view kTablaRetiros = "retiros.dbf";
inline constexpr std::string_view kArchivoConceptos = "Salidas.cnf";
inline constexpr std::string_view kFormatoRetiro = "\\consulta\\retiro.fmt";
inline constexpr std::string_view kCorteConRetiros = "\\report\\CorteCajaTVK";
// A blank concept number reads as NULL in the local SQL: it is still a withdrawal.
inline constexpr std::string_view kCondicionRetiro = "(NUM_CONCEP<=1 OR NUM_CONCEP IS NULL)";
inline constexpr std::string_view kCondicionEntrada = "NUM_CONCEP=2";
inline constexpr std::string_view kPreguntaPagada = "El documento ya se Pago desea volver a pagarlo?";
inline constexpr std::string_view kTituloPago = "Pagar e Imprimir";
inline constexpr std::string_view kTextoPago = "Pagar e Imprimir el Documento   ";
inline constexpr std::string_view kPrefijoPagada = "Pagada en ";
inline constexpr std::string_view kErrorCaja = "No Pueden Guardarse los Datos ha Ocurrido un Error";

// ---- the till record ------------------------------------------------------------------

// The record at a 1-based position of "\caja.cnf" in a directory; nullopt when the file
// is missing or has no record there.
std::optional<RegistroCaja> leeCaja(std::string_view directorio, int posicion);

// The till dialog TFormaCaja: the record at position NumeroCaja of the file in Ruta.
struct FormaCaja {
  std::string numero = "1";  // NumeroCaja
  std::string ruta;          // Ruta: the directory of "\caja.cnf" (the install directory)
  RegistroCaja registro;     // NoCaja, ClaveVendedor, Formato
};
// A new dialog on the install directory, showing record 1.
FormaCaja abreFormaCaja(std::string_view dirSistema);
// Shows the record of the position typed; empty fields when there is none.
void muestraCaja(FormaCaja& f);
// ConfigurarCaja1Click: writes the record back at its position, creating the file when
// missing (a position past the end fills the gap with empty records). A position that is
// not a whole number from 1 shows "El Número de Caja no es Válido"; a failed write the
// save error. True when written.
bool guardaCaja(const FormaCaja& f, base::Interaccion& ui);

// ---- cash in and out ------------------------------------------------------------------

enum class ModoEfectivo { Salida = 1, Entrada = 2 };

struct MovimientoEfectivo {
  long long numero = 0;
  std::string fecha, hora;  // "dd/MM/yyyy", the time text
  double cantidad = 0;
  std::string concepto;
  std::optional<long long> tipo;  // NUM_CONCEP; nullopt when blank
  std::string caja, vendedor;
  friend bool operator==(const MovimientoEfectivo&, const MovimientoEfectivo&) = default;
};

// The concepts of "\Salidas.cnf" of the install directory, one per line; none when the
// file is missing.
std::vector<std::string> conceptosEfectivo(std::string_view dirSistema);
// Whether a movement belongs to a window's mode: cash out takes NUM_CONCEP 1, blank or
// less; cash in takes 2.
bool esDelModo(const MovimientoEfectivo& m, ModoEfectivo modo);
// The movements of a date in a mode, by number. A missing table lists none.
std::vector<MovimientoEfectivo> movimientosEfectivo(std::string_view dirDatos, ModoEfectivo modo,
                                                    const base::Fecha& fecha);
// The sum of their amounts rounded to cents, and the window's label "Retiros  " + sum.
double sumaEfectivo(const std::vector<MovimientoEfectivo>& v);
std::string etiquetaRetiros(double suma);
// "hh:mm:ss", the time text of HORA.
std::string horaTexto(const base::Hora& h);

struct NuevoEfectivo {
  double cantidad = 0;
  std::string concepto;
  base::Fecha fecha;
  base::Hora hora;
  std::string caja, vendedor;
};
// Appends a movement: CLDOC_F := last number + 1 (taken under the save unit, so two
// stations never share one), FEDOC_F, HORA, then BCLIM_F, NUM_CONCEP := the mode and
// CLVEN_F. Returns the number; nullopt after showing the save error.
std::optional<long long> registraEfectivo(std::string_view dirDatos, ModoEfectivo modo, const NuevoEfectivo& n,
                                          base::Interaccion& ui);

// Prints the voucher of a movement with "\consulta\retiro.fmt" of the install directory
// (the movement is both the format's header and its only line). A missing format shows
// "El Formato \consulta\retiro.fmt No Existe". True when the format ran.
bool imprimeComprobante(printing::MotorFormatos& motor, std::string_view dirSistema, std::string_view dirDatos,
                        long long numero, base::Interaccion& ui);

// ---- pay and print --------------------------------------------------------------------

struct PeticionPago {
  bool pagosEnCaja = false;  // configuration line 62 "S"
  bool nuevoDisponible = false;  // the screen's BotonNuevo is enabled
  std::string caja;          // this till's number
  // The payment window (title, text, customer); true when accepted.
  std::function<bool(std::string_view titulo, std::string_view texto, std::string_view cliente)> ventana;
  // Prints the document the header stands on; true when it was printed.
  std::function<bool()> imprime;
};

enum class ResultadoPago { Inactivo, NoPagado, Pagado, Error };

// ImprimiryAsignarCaja1Click (Pause) over the open header table standing on the document:
// only with line 62 "S" and BotonNuevo available. A document already paid asks
// "El documento ya se Pago desea volver a pagarlo?" first. On acceptance of the payment
// window PAGOX_F := "Pagada en " + till and BCLIM_F := till are saved (one save unit
// over the header's directory), the document is printed and, when printed, TREGI_F :=
// "I" is saved. The caller redisplays the document afterwards.
ResultadoPago pagaEImprime(dbf::Table& encabezado, std::string_view directorio, const PeticionPago& p,
                           base::Interaccion& ui);

// Whether a header is paid (PAGOX_F filled), and at which till.
bool pagado(const dbf::Cursor& encabezado);
std::string cajaDePago(std::string_view pagox);  // "Pagada en 3" -> "3"; "" otherwise

// ---- the till's reports ---------------------------------------------------------------

// The paid / unpaid listings ask the till first: dialog "No de Caja", prompt
// "Caja No. ", default "1"; nullopt when cancelled.
std::optional<std::string> pideCajaDocumentos(base::Interaccion& ui);

// CortedeCajayRetiros1Click: the stored definition "\report\CorteCajaTVK" of the install
// directory; nullopt after "El Reporte \report\CorteCajaTVK No Existe".
std::optional<std::string> definicionCorteConRetiros(std::string_view dirSistema, base::Interaccion& ui);

}  // namespace mostrador::sales
