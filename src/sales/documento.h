#pragma once
// A sales document as a plain value: the header fields as the screen holds them, the
// lines, the totals and, for a modification, what the save being replaced left. The
// capture engine builds it from its scratch table; saving, posting and the counter read
// it and never reach back into the capture's state.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sales/tipos_venta.h"
#include "sales/totales.h"

namespace mostrador::sales {

// The literal key of a free-text comment line.
inline constexpr std::string_view kComentario = "COMENTARIO";

// A scratch line.
struct Partida {
  std::optional<double> cantidad;  // blank: nullopt
  std::string clave, producto, unidad, tara;
  double precio = 0, descuento = 0, descuento2 = 0, descuento3 = 0, importe = 0, costo = 0,
         impuesto = 0, factor = 0, empaque = 0, precioTara = 0, fpgc = 0;
  friend bool operator==(const Partida&, const Partida&) = default;
};

// A line a save stores: a quantity above 0, a key, a description, and not a comment.
bool esGuardable(const Partida& p);

// The header's edit fields and the customer labels, as the screen shows them.
struct CamposEncabezado {
  std::string numero;               // EditCLDOC_F
  std::string cliente = "1";        // EditCLCLI_F
  std::string vendedor;             // EditCLVEN_F
  std::string comision;             // CTOVE_F
  std::string fecha;                // EditFEDOC_F, "dd/MM/yyyy"
  std::string descuento;            // EditDESFI_F (percent)
  std::string tasa;                 // EditIMIM1_F (percent; "" or "0": line taxes)
  std::string caja;                 // BCLIM_F
  std::string nombre, direccion, direccion2, poblacion, rfc, codigoPostal;  // labels
  std::string tipoPago;             // TipoPago
  std::string efectivo;             // CAMBIO_F: cash tendered, "" until typed
};

// What a modification replaces: the stamp of the previous save, what it charged the
// customer and to whom.
struct GuardadoPrevio {
  long long control = 0;
  double cargo = 0;
  std::string cliente;
};

struct Documento {
  TipoVenta tipo = TipoVenta::Remision;
  bool nuevo = false;
  bool modificando = false;
  bool generado = false;  // an invoice made from other documents (letter Z)
  CamposEncabezado encabezado;
  std::vector<Partida> partidas;
  Totales totales;
  GuardadoPrevio previo;  // meaningful while modificando

  // The letter of its save: Z for a generated invoice, else the type's.
  char letra() const;
  bool enCaptura() const { return nuevo || modificando; }
  // The date field as "dd/MM/yyyy" when it reads as a date, else as typed.
  std::string fecha() const;
};

}  // namespace mostrador::sales
