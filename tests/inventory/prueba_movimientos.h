#pragma once
// A movement record written straight into a company's journal (the next number), for
// tests that need a history without going through a screen.

#include <string>

#include "inventory/posteo.h"
#include "store/dbf/dbf_table.h"

namespace mostrador::prueba {

inline void escribeMovimiento(const std::string& datos, int tipo, const std::string& clave, double q,
                              const std::string& fecha = "", double costo = 0, const std::string& documento = "") {
  dbf::Table m, p;
  m.open(datos, "movinven.dbf");
  p.open(datos, "inventar.dbf");
  inventory::Movimiento x;
  x.numero = inventory::siguienteMovimiento(m);
  x.tipo = tipo;
  x.clave = clave;
  x.cantidad = q;
  x.costo = costo;
  x.fecha = fecha;
  x.documento = documento;
  inventory::Posteo(m, p, {}).escribe(x);
}

}  // namespace mostrador::prueba
