#pragma once
// The one place where a sales document meets table rows: scratch lines ("deta<n>.db"),
// the type's header row and its detail rows. Capture, saving, conversions and the
// counter read and write documents only through these functions, so a field's meaning
// is written down once.

#include <cstdint>
#include <string>
#include <vector>

#include "sales/ajustes.h"
#include "sales/documento.h"
#include "store/dbf/dbf_table.h"

namespace mostrador::sales {

// ---- scratch lines ----
// The scratch row the cursor is on.
Partida partidaDeRenglon(const dbf::Cursor& partidas);
// Appends a scratch row holding the line and posts it.
void agregaRenglon(dbf::Table& partidas, const Partida& p);

// ---- detail rows ----
// What a caller takes from a stored detail row.
enum class LecturaDetalle {
  Copia,        // the whole line, a blank quantity left blank: conversions and copies
  Documento,    // the whole line, a blank quantity read as 0: the document's redisplay
  Existencias,  // key, description, quantity (blank: 0), price and cost: the stock
                // reversal, which must not fail on a field it does not use
};
Partida partidaDeDetalle(const dbf::Table& detalle, LecturaDetalle lectura);
// Appends and posts the detail row of a saved line. descuentoDocumento is the
// document's percent (DECOT_F keeps an amount, the net price needs the percent).
void agregaDetalle(dbf::Table& detalle, const Partida& p, const std::string& numero, long long control,
                   const std::string& fecha, double descuentoDocumento);

// ---- header row ----
// The header row's fields as the screen shows them (the lines are read apart).
CamposEncabezado camposDeEncabezado(const dbf::Table& encabezado);
// The totals written back to the open header (it must be in edit state): SUBTO_F,
// DECOT_F, IMIM2_F, IMTOD_F, COSTO_F, SALDO_F (from ABONO_F), FPGCX_F.
void ponTotales(dbf::Table& encabezado, const Totales& t);
// The whole header of a save (edit state): number, stamp, customer texts, seller, till,
// rates, the three dates, the totals and the time of saving; TREGI_F cleared for a new
// document.
void ponEncabezado(dbf::Table& encabezado, const Documento& d, long long numero, long long control,
                   const std::string& hora);

// Where the tables of a type live: Remisión in line 63's directory, the rest in the
// data directory.
std::string directorioDeTipo(const AjustesVenta& aj, TipoVenta t);

// Record numbers of the detail rows of a document (with a stamp, unless sello < 0).
std::vector<uint32_t> filasDe(dbf::Table& detalle, const std::string& numero, long long sello);

}  // namespace mostrador::sales
