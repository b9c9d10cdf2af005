#include "inventory/precios.h"

#include "base/numeros.h"

namespace mostrador::inventory {

PreciosProducto PreciosProducto::de(const dbf::Cursor& producto) {
  PreciosProducto p;
  for (size_t i = 0; i < 7; ++i) {
    p.lista[i] = producto.asFloat(kCamposPrecio[i]);
    p.umbral[i] = producto.asFloat(kCamposLimite[i]);
  }
  return p;
}

double precioLista(const PreciosProducto& p, int lista, double actual) {
  if (lista < 1) lista = 1;
  if (lista > 7) return actual;
  return p.lista[static_cast<size_t>(lista - 1)];
}

int listaPorCantidad(const PreciosProducto& p, double q) {
  size_t mayor = 0;
  for (size_t i = 1; i < 7; ++i)
    if (p.umbral[i] > p.umbral[mayor]) mayor = i;  // strictly larger: ties keep the lower tier
  if (q >= p.umbral[mayor]) return static_cast<int>(mayor) + 1;
  const auto& u = p.umbral;
  if (q >= 0 && q <= u[0]) return 1;
  for (size_t i = 1; i < 6; ++i)
    if (q > u[i - 1] && q <= u[i]) return static_cast<int>(i) + 1;
  if (q > u[5]) return 7;
  return 1;
}

double precioUnitario(const PreciosProducto& p, int listaCliente, bool escalones, double cantidad,
                      double actual) {
  if (listaCliente > 0 || !escalones) return precioLista(p, listaCliente, actual);
  return precioLista(p, listaPorCantidad(p, cantidad), actual);
}

double precioPorMargen(double costo, double margen) { return costo * (margen * 0.01 + 1); }

bool precioBajoCosto(std::optional<double> precio, std::optional<double> costo) {
  if (!precio) return false;
  return *precio < costo.value_or(0);
}

double precioEmpaque(const dbf::Cursor& producto) {
  const PreciosProducto p = PreciosProducto::de(producto);
  const double empaque = producto.asFloat("UEMPA_I");
  return precioLista(p, listaPorCantidad(p, empaque), 0) * empaque;
}

std::string mensajePrecioEmpaque(const dbf::Cursor& producto) {
  return "El precio por Empaque      " + base::formateaMascara(precioEmpaque(producto), "$ ###,##0.00");
}

}  // namespace mostrador::inventory
