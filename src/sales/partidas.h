#pragma once
// A stored detail row of a sales document (CLDOC_FD, CLPRO_FD, CANTI_FD, ...) read back
// as a line, for every place that rebuilds lines from what was saved.

#include "sales/captura.h"
#include "store/dbf/dbf_table.h"

namespace mostrador::sales {

// What a caller takes from the row.
enum class LecturaDetalle {
  Copia,        // the whole line, a blank quantity left blank: conversions and copies
  Documento,    // the whole line, a blank quantity read as 0: the document's redisplay
  Existencias,  // key, description, quantity (blank: 0), price and cost: the stock
                // reversal, which must not fail on a field it does not use
};

// The row the table is on.
Partida partidaDeDetalle(const dbf::Table& detalle, LecturaDetalle lectura);

}  // namespace mostrador::sales
