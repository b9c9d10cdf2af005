#pragma once
// One capture engine on the test shop, with its fakes, and a way to type a line.

#include <memory>
#include <string>

#include "sales/captura.h"
#include "support/dialogos_venta_falsos.h"
#include "support/empresa_ventas.h"
#include "support/entorno.h"
#include "support/interaccion_fake.h"
#include "support/reloj_fijo.h"

namespace mostrador::prueba {

struct Banco {
  DirectorioTemporal dir;
  EmpresaVentas emp;
  InteraccionFalsa ui;
  DialogosVentaFalsos dlg;
  RelojFijo reloj{base::FechaHora{{2025, 3, 15}, {12, 0, 0, 0}}};  // stamp 50000
  std::unique_ptr<sales::CapturaVenta> cap;

  // Opens the engine with the settings as they are now.
  sales::CapturaVenta& abre() {
    cap.reset();
    cap = std::make_unique<sales::CapturaVenta>(emp.ajustes(), ui, dlg, reloj);
    cap->abre();
    return *cap;
  }
  // Types a quantity and a key into the current (or a new) line and moves on to the
  // description, which looks the product up and fills the line.
  void linea(const std::string& cantidad, const std::string& clave) {
    cap->agregaPartida();
    cap->ponCelda(sales::kCantidad, cantidad);
    cap->entraColumna(sales::kClave);
    cap->ponCelda(sales::kClave, clave);
    cap->entraColumna(sales::kProducto);
  }
  void producto(std::string clave, double existencia, double precio, double impuesto = 0) {
    ProductoVenta p;
    p.clave = clave;
    p.descripcion = "Producto " + clave;
    p.existencia = existencia;
    p.precio = precio;
    p.impuesto = impuesto;
    emp.producto(p);
  }
};

}  // namespace mostrador::prueba
