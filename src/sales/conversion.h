#pragma once
// Conversions between sales documents, driven through the capture engine: the source is
// read from its stored rows, the new document is started, loaded and saved by the
// engine, and the source gets its back-references. Used for one command and dropped.

#include <string>
#include <string_view>
#include <vector>

#include "sales/documento.h"
#include "sales/tipos_venta.h"

namespace mostrador::sales {

class CapturaVenta;

class ConversionVenta {
 public:
  explicit ConversionVenta(CapturaVenta& captura) : c_(captura) {}

  bool facturaRemision(bool imprimir);  // Factura1Click / FacturaeImprimir1Click
  bool facturaCierre();                 // FacturadeCierre1Click
  bool facturaRango();                  // RangodeDocumentos1Click
  bool copiaDocumento();                // CopiadeDocumento1Click
  // Devolucin1Click, Remisin1Click, Pedido1Click.
  bool generaDocumento(TipoVenta destino);

 private:
  struct Origen;  // a stored document read for a conversion: header fields and lines
  bool leeOrigen(TipoVenta t, long long numero, Origen& o);
  bool escribeBuferes(const std::vector<Origen>& origenes);
  bool leeBuferes(Origen& o);
  bool clienteEnEtiquetas(std::string_view clave);
  void aplicaOrigen(const Origen& o);
  bool cargaNuevo(const Origen& o);
  bool facturaOrigenes(TipoVenta tipoOrigen, const std::vector<Origen>& origenes, bool imprimir);
  bool marcaConvertido(TipoVenta t, long long numero, long long factura);

  CapturaVenta& c_;
};

}  // namespace mostrador::sales
