#pragma once
// The kardex: the dated list of every entry and exit of one product with its running
// stock, from one of two sources.
//   * The journal: the product's records of "movinven.dbf" with a type above 0.
//   * The documents: purchase lines ("ComprasD.dbf", type 51), delivery-note lines
//     ("Remisiod.dbf", type 3) of the company and of each branch directory listed in
//     "RutasMI.dbf", invoice lines ("FacturaD.dbf", type 1, those not made from notes)
//     and the manual movements of the journal (type 54 left out). Cancelled lines
//     (mark "C") never count.
// Rows are in date order (the date read as a date, not as text), then by document
// number. The running stock is kept unrounded; only the KARDEX column shows it rounded
// to 2 decimals, so that a written-back stock equals the sum of the stored quantities.
// With integrated movements (configuration line 6 "SI") every document line also has a
// movement in the journal: the document kardex then takes from the journal only the
// movements no document posted (blank NUDOC_MI), so that nothing counts twice.

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "base/fechas.h"

namespace mostrador::inventory {

struct FilaKardex {
  std::string clave, descripcion;
  double cantidad = 0;  // signed: negative for exits
  int tipo = 0;
  double kardex = 0;    // running stock after the row, unrounded
  long long documento = 0;
  double costo = 0;
  std::string fecha;    // dd/MM/yyyy as stored
  std::string concepto, origen, referencia, cliprov;
  double existencia = 0;  // EXIST_MI (journal only)
};

struct Kardex {
  std::vector<FilaKardex> filas;
  double entradas = 0, salidas = 0, existencia = 0;
};

struct OpcionesKardex {
  std::optional<base::Fecha> desde, hasta;  // both included; rows outside are not listed
  bool integrados = false;                  // configuration line 6 "SI"
  std::string dirMovimientos;               // movements and catalogue (line 59); "" = dirDatos
};

// dirDatos: the company's data directory (movements, documents, concepts, RutasMI).
// Engine errors on a table that exists propagate; a missing document table adds no rows.
Kardex kardexDiario(const std::string& dirDatos, const std::string& clave, const OpcionesKardex& o = {});
Kardex kardexDocumentos(const std::string& dirDatos, const std::string& clave, const OpcionesKardex& o = {});

// The stock the document kardex ends at, unrounded (the recount of a product).
double recuentoExistencia(const std::string& dirDatos, const std::string& clave, const OpcionesKardex& o = {});

// The recount of every product at once: one pass over the documents and the journal.
std::map<std::string, double> recuentoTodosDocumentos(const std::string& dirDatos, const OpcionesKardex& o = {});

// The purchase average over the journal's type 51 movements: Σ q×c / Σ q; nullopt when
// the product has no receipts (its average cost is then left as it is).
std::optional<double> promedioCompras(const std::string& dirMovimientos, const std::string& clave);

// The scratch table "auxiliar.dbf" of the data directory, dropped and made again with the
// rows (the journal variant has EXISTENCIA, the document one CLIPROV).
void escribeAuxiliar(const std::string& dirDatos, const Kardex& k, bool documentos);

// The kardex's quantities added up by document, in the order documents first appear.
struct TotalDocumento {
  long long documento = 0;
  double total = 0;
};
std::vector<TotalDocumento> totalesPorDocumento(const Kardex& k);

// "   Entradas  10.00   Salidas  3.00  Existencias  7.00" with the mask ###,##0.00.
std::string lineaTotales(const Kardex& k);

}  // namespace mostrador::inventory
