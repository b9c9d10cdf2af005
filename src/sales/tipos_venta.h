#pragma once
// The sales document types the sales screen works on: what the Base selector shows,
// the letter of their saves, their tables and the configuration line naming their
// print format.

#include <optional>
#include <string>
#include <string_view>

#include "store/catalogo.h"

namespace mostrador::sales {

enum class TipoVenta { Factura, Remision, Pedido, Cotizacion, Devolucion, NotaCredito, CajaChica };

struct DefTipoVenta {
  TipoVenta tipo;
  std::string_view nombre;    // as Base shows it ("Remisión")
  char letra;                 // letter of a save (Factura: F, or Z when generated)
  store::Documento documento; // its header and detail tables
  int numeroTipo;             // document-type number the screen keeps (15 Remisión ...)
  int lineaFormato;           // configuration line with its print format's file name
  std::string_view formatoOmision;  // used when that line is empty
  int movimiento;             // movement type of its stock step; 0 when it moves no stock
};

const DefTipoVenta& defTipo(TipoVenta t);
std::optional<TipoVenta> tipoPorNombre(std::string_view nombre);

// What the Base selector accepts: "Remisión", "Devolución" and "Caja Chica"; any other
// text selects "Remisión".
TipoVenta tipoBase(std::string_view texto);

}  // namespace mostrador::sales
