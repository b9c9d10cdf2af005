#include "sales/partidas.h"

#include "sales/totales.h"

namespace mostrador::sales {

Partida partidaDeDetalle(const dbf::Table& d, LecturaDetalle lectura) {
  Partida p;
  if (lectura != LecturaDetalle::Copia || !d.isNull("CANTI_FD")) p.cantidad = d.asFloat("CANTI_FD");
  p.clave = d.asText("CLPRO_FD");
  p.producto = d.asText("DEPRO_FD");
  if (lectura == LecturaDetalle::Existencias) {
    p.precio = d.asFloat("PUNPR_FD");
    p.costo = d.asFloat("COPRO_FD");
    return p;
  }
  p.unidad = d.asText("UNIDA_FD");
  p.tara = d.asText("PENDI_FD");
  p.precio = d.asFloat("PUNPR_FD");
  p.descuento = d.asFloat("PDES1_FD");
  p.costo = d.asFloat("COPRO_FD");
  p.impuesto = d.asFloat("PIVA1_FD");
  p.factor = d.asFloat("PIVA2_FD");
  p.fpgc = d.asFloat("FPGCX_FD");
  p.importe = importeLinea(p.cantidad.value_or(0), p.precio, p.descuento);
  return p;
}

}  // namespace mostrador::sales
