#include "sales/tipos_venta.h"

#include <array>

namespace mostrador::sales {
namespace {

using store::Documento;

// Only Remisión and Caja Chica have their type numbers and format lines fixed by the
// screen; the others take free numbers and the lines of their own formats (Devolución
// has none of its own: line 60, which is otherwise only shown and saved).
constexpr std::array<DefTipoVenta, 7> kTipos{{
    {TipoVenta::Factura, "Factura", 'F', Documento::Factura, 14, 14, "Factura.fmt", 1},
    {TipoVenta::Remision, "Remisión", 'R', Documento::Remision, 15, 15, "Remision.fmt", 3},
    {TipoVenta::Pedido, "Pedido", 'P', Documento::Pedido, 16, 16, "Pedido.fmt", 0},
    {TipoVenta::Cotizacion, "Cotización", 'C', Documento::Cotizacion, 19, 19, "Cotiza.fmt", 0},
    {TipoVenta::Devolucion, "Devolución", 'D', Documento::Devolucion, 18, 60, "Devolucion.fmt", 52},
    {TipoVenta::NotaCredito, "Nota de Crédito", 'N', Documento::NotaCredito, 20, 14, "Factura.fmt", 0},
    {TipoVenta::CajaChica, "Caja Chica", 'C', Documento::CajaChica, 17, 17, "CajaChica.fmt", 0},
}};

}  // namespace

const DefTipoVenta& defTipo(TipoVenta t) { return kTipos[static_cast<size_t>(t)]; }

std::optional<TipoVenta> tipoPorNombre(std::string_view nombre) {
  for (const DefTipoVenta& d : kTipos)
    if (d.nombre == nombre) return d.tipo;
  return std::nullopt;
}

TipoVenta tipoBase(std::string_view texto) {
  if (texto == "Devolución") return TipoVenta::Devolucion;
  if (texto == "Caja Chica") return TipoVenta::CajaChica;
  return TipoVenta::Remision;
}

}  // namespace mostrador::sales
