#pragma once
// Document numbers, the control stamp and the document check.
//
// Two schemes number documents side by side:
//  * header scheme (sales document screen): the next number is the last header's
//    number + 1, reserved by inserting the header at once;
//  * counter scheme (point of sale): a counter table ("numero.dbf" delivery notes,
//    "numerof.dbf" invoices, "numeroc.dbf" purchases) grows by one record per number.
//    With S the NUMERO of its first record (the seed) and C its record count, the last
//    number issued is (S - 1) + C, S - 1 taken as 0 when S is below 1.
//
// The control stamp ties a save's header, lines and movements together: the movements
// carry NUDOC_MI = letter + number + "-" + stamp ("R1520-4821").

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/fechas.h"
#include "store/catalogo.h"
#include "store/dbf/dbf_table.h"

namespace mostrador::store {

struct DefContador {
  const char* archivo;    // "numero.dbf"
  const char* documento;  // header table it numbers
  const char* campo;      // number field of that table
  const char* indice;     // tag ordering that table by number
};
const DefContador& contadorRemisiones();  // numero.dbf   / remision.dbf CLDOC_F inumenc
const DefContador& contadorFacturas();    // numerof.dbf  / facturae.dbf CLDOC_F inumenc
const DefContador& contadorCompras();     // numeroc.dbf  / comprase.dbf CLDOC_O icomenc
const std::vector<DefContador>& contadores();

// The last number of a header table under its tag; 0 when the table is empty.
long long ultimoNumero(std::string_view dir, const DefContador& c);

// Creates each counter that "<dirDatos>\<counter>" lacks and seeds it with the last
// number of its document table. The seed is read from dirSemilla when it is not empty
// (configuration line 59: a directory whose documents the company shares), else from
// dirDatos; either way it goes into the counter just created in dirDatos, which is
// where the numbering screens open it. A failed creation is not reported by itself:
// the seeding that follows throws the engine's dbf::Error. Returns the counters created.
std::vector<std::string> creaContadores(std::string_view dirDatos, std::string_view dirSemilla = {});

// Header scheme. Refreshes the header table, reads its last number under the tag and
// inserts (and posts) a header whose number field is that + 1, which reserves it.
// The handle is left on the new header. Returns the number.
long long tomaNumeroEncabezado(dbf::Table& encabezado, std::string_view campo = "CLDOC_F",
                               std::string_view indice = "INUMENC");

// Counter scheme and the purchase proposal. One per station window: it keeps the base
// of each counter, read once after reinicia() (the screen being shown).
class Numerador {
 public:
  Numerador();
  // Forget the bases (-1: not read yet).
  void reinicia();
  long long base(const DefContador& c) const;  // -1 while not read

  // Takes the next number of the counter in dir: appends a counter record, the number
  // is the base + that record's position, written into the record's NUMERO. The
  // position of the station's own record, not a count taken afterwards, decides the
  // number, so two stations appending at once never get the same one.
  long long tomaNumero(std::string_view dir, const DefContador& c);

  // Point of sale: takes the number from "numerof.dbf" when the open header table is
  // "facturae.dbf", else from "numero.dbf", in the header table's directory; then
  // appends and posts the header with that CLDOC_F. The handle is left on it.
  long long tomaNumeroDocumento(dbf::Table& encabezado);

  // Purchase screen: the last NUMERO of "numeroc.dbf" in the header table's directory
  // + 1 (the counter is only read); a failure while reading counts as the value read
  // the time before. Then appends and posts the purchase header with that CLDOC_O.
  long long proponeNumeroCompra(dbf::Table& encabezado);

 private:
  long long leeBase(std::string_view dir, const DefContador& c);
  std::vector<long long> bases_;
  long long ultimaCompraLeida_ = 0;
};

// Counter re-alignment after a reindex: when the last number implied by the counter
// differs from the last number of its document table L, the first record's NUMERO
// becomes L - C + 1, so that the next number issued is L + 1. A counter holding more
// records than that allows (L - C + 1 below 1) is emptied and seeded with L, as a
// new counter is. Needs the counter free (exclusive open).
struct Realineacion {
  long long implicito = 0;  // last number the counter implied before
  long long ultimo = 0;     // last number of the document table
  bool cambiado = false;
};
Realineacion realineaContador(std::string_view dir, const DefContador& c);

// The control stamp of a save is base::selloControl(reloj): the integer part of the
// fraction of the day elapsed x 100000.
// The reference a posted movement carries: letter + number + "-" + stamp.
std::string referenciaMovimiento(char letra, long long numero, long long sello);

// Document check of one document type over a data directory (movements read from
// dirMovimientos, the line-59 directory when set). For every header with a CONTROL,
// the lines with that CONTROL and the movements with NUDOC_MI = letter + number + "-" +
// CONTROL are counted; when they differ the report gets
// "<letter><number>,<CONTROL>,<lines>,<movements>" and ",C" for a cancelled document.
// Invoices take part only with a non-empty CLPED_F; purchase returns are reported under
// "E". Checked documents: delivery notes, invoices, customer returns, purchases and
// purchase returns.
std::vector<std::string> verificaDocumentos(std::string_view dirDatos,
                                            std::string_view dirMovimientos, Documento d);
// All five in the order above.
std::vector<std::string> verificaDocumentos(std::string_view dirDatos,
                                            std::string_view dirMovimientos);

}  // namespace mostrador::store
