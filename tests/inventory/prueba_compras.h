#pragma once
// A shop for the purchase tests: EmpresaVentas plus suppliers, the product fields the
// purchases read (first supplier, minimum and maximum stock, quantity on order, margins)
// and short ways to build documents.

#include <string>
#include <vector>

#include "inventory/compras.h"
#include "store/dbf/dbf_table.h"
#include "support/empresa_ventas.h"

namespace mostrador::prueba {

inline void proveedorCompras(const std::string& clave, const std::string& nombre, int dias = 0, double margen = 0) {
  dbf::Table t;
  t.open(EmpresaVentas::kDatos, "proveedo.dbf");
  t.append();
  t.setText("CLAVE_P", clave);
  t.setText("NOMBR_P", nombre);
  t.setText("DIREC_P", "Calle 1");
  t.setText("POBLA_P", "Centro");
  t.setInteger("DCRED_P", dias);
  t.setFloat("POUTI_P", margen);
  for (const char* c : {"SALDO_P", "COMPR_P", "CARGO_P", "ABONO_P"}) t.setFloat(c, 0);
  t.post();
}

// Sets number fields of a product record.
inline void campoProducto(const std::string& clave, const std::string& campo, double valor) {
  dbf::Table t;
  t.open(EmpresaVentas::kDatos, "inventar.dbf");
  t.setIndex("ICLPRO");
  if (!t.findKey({clave})) throw dbf::Error("sin producto " + clave);
  t.edit();
  t.setFloat(campo, valor);
  t.post();
}

inline void textoProducto(const std::string& clave, const std::string& campo, const std::string& valor) {
  dbf::Table t;
  t.open(EmpresaVentas::kDatos, "inventar.dbf");
  t.setIndex("ICLPRO");
  if (!t.findKey({clave})) throw dbf::Error("sin producto " + clave);
  t.edit();
  t.setText(campo, valor);
  t.post();
}

inline inventory::PartidaCompra partida(const std::string& clave, double cantidad, double costo, double d1 = 0,
                                        double d2 = 0, double d3 = 0, double impuesto = 0) {
  inventory::PartidaCompra p;
  p.clave = clave;
  p.descripcion = "PRODUCTO " + clave;
  p.cantidad = cantidad;
  p.costo = costo;
  p.descuento1 = d1;
  p.descuento2 = d2;
  p.descuento3 = d3;
  p.impuesto = impuesto;
  return p;
}

inline inventory::DocumentoCompra documento(inventory::TipoCompra t, std::vector<inventory::PartidaCompra> p,
                                            std::string proveedor = "PR1", std::string fecha = "14/07/2025") {
  inventory::DocumentoCompra d;
  d.tipo = t;
  d.proveedor = std::move(proveedor);
  d.fecha = std::move(fecha);
  d.partidas = std::move(p);
  return d;
}

}  // namespace mostrador::prueba
