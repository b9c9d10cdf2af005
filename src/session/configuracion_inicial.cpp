#include "session/configuracion_inicial.h"

#include "session/configuracion.h"
#include "store/catalogo.h"

namespace mostrador::session {

const std::vector<ConceptoMovimiento>& conceptosMovimiento() {
  static const std::vector<ConceptoMovimiento> v = {
      {1, "Venta por Factura"},
      {2, "Devolución de Compra"},
      {3, "Venta por Remisión"},
      {4, "Salida Varios"},
      {5, "Salida por Merma"},
      {6, "Salida por Ajuste"},
      {7, "Salida por Consumo Interno"},
      {8, "Salida por Cantidad Negativa"},
      {51, "Entrada por Compra"},
      {52, "Devolución de Cliente"},
      {53, "Entrada Varios"},
      {54, "Entrada Fuera de Kardex"},
      {55, "Entrada por Bonificación"},
      {56, "Entrada por Ajuste"},
      {57, "Inventario Inicial"},
      {60, "Entrada por Traspaso"},
  };
  return v;
}

bool conceptoProtegido(int numero) {
  return (numero >= 1 && numero <= 7) || (numero >= 51 && numero <= 57);
}

std::vector<std::string> lineasConfiguracion(const OpcionesEmpresa& o) {
  std::vector<std::string> l = session::configuracionPorOmision(o.dirDatos, o.nombre);
  l[10] = o.claveEmpresa;
  return l;
}

std::vector<std::string> lineasIndices() {
  std::vector<std::string> l;
  for (const auto& t : store::tablasEmpresa())
    for (const auto& tag : t.indices) l.push_back(t.archivoMinusculas() + "," + tag.name + "," + tag.key);
  return l;
}

}  // namespace mostrador::session
