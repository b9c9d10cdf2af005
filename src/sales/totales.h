#pragma once
// The totals of a sales document, recomputed after every change of its lines.
// Sub-total, tax, total and cost are four-decimal amounts (Importe); the running tax,
// the discount amount and the FPGC total are floating point, as the stored header
// fields expect.

#include <string>
#include <vector>

#include "base/importe.h"

namespace mostrador::sales {

struct LineaTotal {
  double cantidad = 0, precio = 0, descuento = 0, impuesto = 0, costo = 0, fpgc = 0;
};

struct OpcionesTotales {
  bool impuestoIncluido = false;  // line 33
  double descuentoDocumento = 0;  // DESFI_F, percent
  std::string tasaDocumento;      // the text of EditIMIM1_F ("" or "0": line taxes)
  int pasoRedondeo = 0;           // line 45
};

struct Totales {
  base::Importe subtotal, impuesto, total, costo;
  double descuento = 0;  // DECOT_F: the discount amount on the line sum
  double fpgc = 0;
  double impuestoLineas = 0;  // the running tax T
  int partidas = 0;
  friend bool operator==(const Totales&, const Totales&) = default;
};

// CANTIDAD × PRECIO − DESCUENTO × (CANTIDAD × PRECIO) × 0.01
double importeLinea(double cantidad, double precio, double descuento);

Totales calculaTotales(const std::vector<LineaTotal>& lineas, const OpcionesTotales& o);

// "Partidas  " + count; "FPGC " + amount.
std::string textoPartidas(int partidas);

}  // namespace mostrador::sales
