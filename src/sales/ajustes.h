#pragma once
// Everything the sales screens read at start: the company configuration lines they
// use, the small configuration files of the install (system) directory, the till
// record and the signed-in user number.

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace mostrador::sales {

struct AjustesVenta {
  std::string dirSistema;     // install directory (line 1 of the initialisation file)
  std::string dirDatos;       // line 8
  std::string dirRemisiones;  // line 63, or the data directory when empty
  std::string dirInventario;  // line 59, or the data directory when empty
  std::vector<std::string> lineas;  // the 72 configuration lines ("" past the end)
  const std::string& linea(int n) const;  // 1-based; "" when absent

  bool descargaInmediata = false;   // line 1 "NO": flush and find again after saving
  bool registraMovimientos = true;  // line 6 "SI"
  bool controlExistencias = false;  // line 21 begins with "N"
  bool impuestoIncluido = false;    // line 33 "S"
  bool sinNegativos = false;        // line 41 begins with "N"
  int decimales = 2;                // line 42 (amount mask decimals)
  bool escalones = false;           // line 43 "S"
  int pasoRedondeo = 0;             // line 45
  bool ofreceAlta = false;          // line 47 "S"
  bool descuentosPorLinea = false;  // line 58 "S"
  bool descuentoDocumento = false;  // line 61 "S"
  bool pagosEnCaja = false;         // line 62 "S"

  // "\encabeza.cnf" (must exist: existeEncabeza false means it was missing)
  bool existeEncabeza = false;
  bool saltaEncabezado = false;     // line 1 "S"
  bool iniciaEnClave = false;       // line 2 "S"
  std::array<std::string, 6> atajos;  // lines 3..8
  bool totalesDigitales = false;    // line 9 "S"
  // "\especial.cnf"
  bool campoTara = false;
  std::string leyenda1, leyenda2;
  // "\Serial.cnf", "\empaque.cnf"
  bool lectorSerial = false;
  bool capturaEmpaque = false;
  // "\caja.cnf", first record
  std::string caja, vendedorCaja, formatoCaja;
  // "\pagos.cnf" of the data directory
  std::vector<std::string> tiposPago;
  // "\cantidad.cnf" line 1: a line quantity above it asks for confirmation
  double topeCantidad = 10000;
  // "\Multi.dat" line 1; "0" when missing
  std::string usuario = "0";

  // The amount display mask for line 42: "##,##0" + "." + that many "0".
  std::string mascaraImporte() const;
};

// Reads everything from the configuration lines given (line 1 first) and the files of
// dirSistema. Missing optional files leave their defaults.
AjustesVenta leeAjustes(std::string_view dirSistema, std::vector<std::string> lineasConfiguracion);
// The same, reading "<dirSistema>\Gener<empresa>.cnf".
AjustesVenta leeAjustes(std::string_view dirSistema, int empresa);

// The till record file "\caja.cnf": 36-byte records (till number up to 3, default
// seller up to 5, ticket format name up to 25).
struct RegistroCaja {
  std::string caja, vendedor, formato;
};
std::vector<RegistroCaja> leeCajas(std::string_view dirSistema);
bool escribeCaja(std::string_view dirSistema, int posicion, const RegistroCaja& r);  // 1-based

}  // namespace mostrador::sales
