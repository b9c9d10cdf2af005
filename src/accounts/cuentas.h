#pragma once
// Receivables and payables: one engine over both account tables. A document's entries
// (charges and credits) give its balance, kept on its first entry; the customer or
// supplier record keeps the running balance of all its documents. Reading a document,
// the open documents and their ageing, a key's statement, and recording a payment.
//
//   Clientes     cucobrar.dbf (NUFAC_CC, tag ICUECOB), key CLCLI_CC; cliente.dbf
//                (CLCLI_C, SALDO_C, ABONO_C).
//   Proveedores  cuepagar.dbf (NUCOM_CP, tag NUCOM_CP), key CLPRO_CP; proveedo.dbf
//                (CLAVE_P, SALDO_P, ABONO_P). Entries with STATU_CP "C" belong to a
//                cancelled purchase and count for nothing.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/reloj.h"

namespace mostrador::accounts {

enum class Cartera { Clientes, Proveedores };

// The 30-day-month day number: (y-1980)*365 + (y-1980)/4 + m*30 + d - 30, +1 when
// y%4==0 && m>2. Ageing counts every month as 30 days.
long diaComercial(const base::Fecha& f);

// Due state of a document: "" (no due date, or a text that is not a date), "no vencido",
// "Se vence Hoy", "vencido  " + n + "  dias".
std::string textoVencimiento(std::string_view vence /* "dd/MM/yyyy" text as stored */,
                             const base::Fecha& hoy);

// One entry of a document as stored.
struct Asiento {
  uint32_t registro = 0;       // record number in the entries table
  std::string documento;       // NUFAC_CC / NUCOM_CP as text
  std::string referencia;      // NUREF_CC / NUDOC_CP
  std::string tipo;            // TIMOV as text
  std::string concepto;        // CONCE_CP; receivables: the concept table's text for TIMOV
  std::string operacion;       // OPERA: "A" credit, anything else a charge
  double importe = 0;          // IMCUE (positive)
  std::string aplicado, vence; // FEAPL, FEVEN (date text)
  double saldo = 0;            // the stored SALDO; the statement puts the running balance here
};

struct DetalleDocumento {
  std::string documento, clave, aplicado, vence;  // key and dates of the first entry
  double saldo = 0;                 // sum of -IMCUE for "A", +IMCUE otherwise
  std::string saldoTexto;           // "$" + "###,###,##0.00"
  std::string estado;               // "Deudor" when saldo > 0, else "Saldada"
  std::string vencimiento;          // textoVencimiento(vence, hoy)
  std::vector<Asiento> asientos;    // in index order
};

// "$" + "###,###,##0.00" of the amount, the way the account windows show balances.
std::string textoSaldo(double saldo);
// "Deudor" when the balance is above 0 (half a cent), "Saldada" otherwise.
std::string textoEstado(double saldo);

// Reads one document's entries and writes the balance into SALDO_CC/SALDO_CP of its first
// entry (in a save unit) when it differs. nullopt when the document has no entries.
// Payables: entries of a cancelled purchase are listed but count for nothing. When
// another station holds the first entry the detail is still returned and the write waits
// for the next reading. Throws the table engine's errors (a table that cannot be opened).
std::optional<DetalleDocumento> detalleDocumento(const std::string& dirDatos, Cartera c,
                                                 std::string_view documento,
                                                 const base::Fecha& hoy);

// A document with a balance (> 0.005) and its ageing.
struct DocumentoAbierto {
  std::string documento, clave, nombre, aplicado, vence;
  double saldo = 0;
  std::string vencimiento;  // textoVencimiento(vence, hoy)
};

struct ReporteCartera {
  std::vector<DocumentoAbierto> documentos;  // by key, then oldest due first
  double total = 0;
  // Totals by ageing: not yet due (or no due date), due today or 1-30 days overdue,
  // 31-60, 61-90 and more than 90 days (30-day months).
  double porVencer = 0, vencido30 = 0, vencido60 = 0, vencido90 = 0, vencidoMas = 0;
};

// Open documents of one key or, with clave empty, of everyone. Like estadoCuenta and
// tieneSaldoAbierto it reads the entries end to end and throws the table engine's errors.
ReporteCartera cartera(const std::string& dirDatos, Cartera c, const base::Fecha& hoy,
                       std::string_view clave = {});

// Statement: every entry of the key's documents in date/document order, the running
// balance in each Asiento::saldo, final state "Deudor"/"Saldada". nullopt when the key is
// not in the customer/supplier table.
struct EstadoCuenta {
  std::string clave, nombre;
  std::vector<Asiento> movimientos;
  double saldo = 0;
  std::string estado;
};
std::optional<EstadoCuenta> estadoCuenta(const std::string& dirDatos, Cartera c,
                                         std::string_view clave);

// The detailed statement of every key from `desde` to `hasta` (key order; empty ends take
// everything) that has entries, as fixed-pitch lines: the title "Reporte de Cuentas por
// Cobrar Detallado al Día " + hoy, then per key its name and its movements by document
// (document, date, concept, charge, credit, running balance, amounts "$" +
// "#,###,##0.00"), the key's balance, and at the end the total.
std::vector<std::string> estadoDetallado(const std::string& dirDatos, Cartera c, std::string_view desde,
                                         std::string_view hasta, const base::Fecha& hoy);

// The statement of one document, as its detail window prints it: number, key, dates and due
// state, then each movement with the running balance, and the balance with its state.
std::vector<std::string> estadoDocumento(Cartera c, const DetalleDocumento& d, const base::Fecha& hoy);

// Whether a key still has a document whose balance is not zero (beyond half a cent).
bool tieneSaldoAbierto(const std::string& dirDatos, Cartera c, std::string_view clave);

// A payment as the screens and `mostrador-cli abono` record it.
struct Abono {
  std::string clave;
  double importe = 0;
  base::Fecha fecha;
  std::string documento;  // empty: oldest due first, split over the documents
  int concepto = 2;       // Concepto.dbf TIMOV_MO whose TIPOO_MO is "A"
};

// Refusal texts of abona().
inline constexpr std::string_view kClienteNoExiste = "El Cliente No Existe";
inline constexpr std::string_view kProveedorNoExiste = "El Proveedor No Existe";
inline constexpr std::string_view kImporteNoValido = "El importe del abono no es válido";
inline constexpr std::string_view kClienteSinPendientes =
    "El cliente no tiene documentos pendientes";
inline constexpr std::string_view kProveedorSinPendientes =
    "El proveedor no tiene documentos pendientes";
inline constexpr std::string_view kDocumentoNoExiste = "El Documento No Existe";
inline constexpr std::string_view kMovimientoNoEncontrado = "El Movimiento No Se Encuentra";
// Followed by "($x.xx)": the open balance the payment may not exceed.
inline constexpr std::string_view kAbonoMayor = "El abono es mayor que el saldo pendiente ";
// Editing a record another station holds (the customer and supplier screens).
inline constexpr std::string_view kRegistroEnUso =
    "No se Pueden Editar los Datos Registro en Uso";

// What a payment left on one document.
struct AbonoAplicado {
  std::string documento;
  double importe = 0;  // the credit entry written
  double saldo = 0;    // the document's balance after it
};

// Records a payment. Returns "" on success or the exact Spanish message of the refusal;
// on a refusal nothing is written. The checks, in order: the key exists; the amount
// (rounded to cents) is above 0; with a document, that it has entries and is the key's,
// without one, that the key has open documents; the amount does not exceed the open
// balance (of the document, or of all the key's open documents); the concept is in
// Concepto.dbf with operation "A".
//
// Everything in one save unit: one credit entry per document paid (OPERA "A", TIMOV =
// concepto, the amount, FEAPL = fecha, NUREF = the document, seller and key copied from
// the first entry; payables: CONCE_CP from the concept table, NUDOC_CP and NOMBR_CP from
// the first entry), the SALDO of each document's first entry, and the key's balance
// (SALDO_C lowered, ABONO_C raised; suppliers SALDO_P/ABONO_P, and ABONO_O/SALDO_O of the
// purchase the payable belongs to, which the payables inquiry recomputes from). Without a
// document the amount goes to the open documents oldest due first; whatever is left by
// rounding goes on the last one, so that the entries always add up to the amount.
//
// The balances are read again once the records are locked, so two stations paying the
// same document cannot both take its last balance. A record another station holds past
// the wait refuses with "No se puede guardar: <what> está en uso por otra estación;
// intente de nuevo."; a table that does not open refuses with "Ha Ocurrido un Error al
// Abrir una de las Bases de Datos.", a write that fails with "No se Pueden Guardar los
// Datos ha Ocurrido un Error". fecha not valid: today by the clock.
std::string abona(const std::string& dirDatos, Cartera c, const Abono& a,
                  const base::Reloj& reloj, std::vector<AbonoAplicado>* aplicado = nullptr);


// ---- payables movements of one document (the payables detail window) --------------------

// A movement type of Concepto.dbf: its text (CONCE_MO) and operation letter (TIPOO_MO).
struct ConceptoCuenta {
  std::string concepto, operacion;
};
// nullopt when the type is not in the table (or the table is missing).
std::optional<ConceptoCuenta> conceptoCuenta(const std::string& dirDatos, int tipo);

// A movement as the entry window gives it.
struct MovimientoPagar {
  int tipo = 0;          // TIMOV_CP; CONCE_CP and OPERA_CP come from the concept table
  double importe = 0;    // IMCUE_CP, above 0
  std::string aplicado;  // FEAPL_CP "dd/MM/yyyy"; empty: today
  std::string vence;     // FEVEN_CP; empty keeps what the entry had (a new one: none)
};

// Adds (registro 0) or rewrites (the record number of one of the document's entries) a
// movement of a purchase's payable, then recomputes the document's balance and stores
// it in SALDO_CP of its first entry. The purchase's ABONO_O/SALDO_O and the supplier's
// ABONO_P/SALDO_P move by what the change did to the payments and the balance, so that
// the inquiry and the supplier screen agree with the detail. "" on success, otherwise
// the refusal, and nothing written: kDocumentoNoExiste (no entries, or the record is not
// one of them), kImporteNoValido, kMovimientoNoEncontrado (a type not in Concepto.dbf),
// a lock or table failure as abona() words it.
std::string guardaMovimientoPagar(const std::string& dirDatos, std::string_view documento, uint32_t registro,
                                  const MovimientoPagar& m, const base::Reloj& reloj);
// Removes one entry of the document, with the same recomputation.
std::string quitaMovimientoPagar(const std::string& dirDatos, std::string_view documento, uint32_t registro);

}  // namespace mostrador::accounts
