#include "sales/ajustes.h"

#include <algorithm>
#include <cmath>

#include "session/configuracion.h"
#include "base/numeros.h"
#include "base/registros_fijos.h"
#include "base/rutas.h"
#include "base/texto.h"

namespace mostrador::sales {
namespace {

using base::une;

const base::DisenoRegistro& disenoCaja() {
  static const base::DisenoRegistro d(36, {base::CampoFijo::cadena("caja", 0, 3),
                                            base::CampoFijo::cadena("vendedor", 4, 5),
                                            base::CampoFijo::cadena("formato", 10, 25)});
  return d;
}

std::vector<std::string> lineasDe(std::string_view ruta) {
  return base::leeLineas(ruta).value_or(std::vector<std::string>{});
}

std::string lineaDe(const std::vector<std::string>& v, size_t n) {
  return n >= 1 && n <= v.size() ? v[n - 1] : std::string();
}

int entero(std::string_view texto, int siNo) {
  std::optional<double> v = base::leeNumero(texto);
  return v ? static_cast<int>(std::trunc(*v)) : siNo;
}

bool empiezaConN(std::string_view s) { return !s.empty() && s.front() == 'N'; }

}  // namespace

const std::string& AjustesVenta::linea(int n) const {
  static const std::string vacia;
  return n >= 1 && static_cast<size_t>(n) <= lineas.size() ? lineas[n - 1] : vacia;
}

std::string AjustesVenta::mascaraImporte() const {
  std::string m = "##,##0";
  if (decimales > 0) m += "." + std::string(static_cast<size_t>(decimales), '0');
  return m;
}

AjustesVenta leeAjustes(std::string_view dirSistema, std::vector<std::string> lineasConfiguracion) {
  AjustesVenta a;
  a.dirSistema = dirSistema;
  a.lineas = std::move(lineasConfiguracion);
  a.dirDatos = a.linea(8);
  a.dirRemisiones = a.linea(63).empty() ? a.dirDatos : a.linea(63);
  a.dirInventario = a.linea(59).empty() ? a.dirDatos : a.linea(59);
  a.descargaInmediata = a.linea(1) == "NO";
  a.registraMovimientos = a.linea(6) == "SI";
  a.controlExistencias = empiezaConN(a.linea(21));
  a.impuestoIncluido = session::esSi(a.linea(33));
  a.sinNegativos = empiezaConN(a.linea(41));
  a.decimales = std::clamp(entero(a.linea(42), 2), 0, 6);
  a.escalones = session::esSi(a.linea(43));
  a.pasoRedondeo = entero(a.linea(45), 0);
  a.ofreceAlta = session::esSi(a.linea(47));
  a.descuentosPorLinea = session::esSi(a.linea(58));
  a.descuentoDocumento = session::esSi(a.linea(61));
  a.pagosEnCaja = session::esSi(a.linea(62));

  if (std::optional<std::vector<std::string>> e = base::leeLineas(une(dirSistema, "encabeza.cnf"))) {
    a.existeEncabeza = true;
    a.saltaEncabezado = lineaDe(*e, 1) == "S";
    a.iniciaEnClave = lineaDe(*e, 2) == "S";
    for (size_t i = 0; i < a.atajos.size(); ++i) a.atajos[i] = lineaDe(*e, 3 + i);
    a.totalesDigitales = lineaDe(*e, 9) == "S";
  }
  const std::vector<std::string> especial = lineasDe(une(dirSistema, "especial.cnf"));
  a.campoTara = lineaDe(especial, 1) == "S";
  a.leyenda1 = base::cortaCp1252(lineaDe(especial, 2), 25);
  a.leyenda2 = base::cortaCp1252(lineaDe(especial, 3), 25);
  a.lectorSerial = lineaDe(lineasDe(une(dirSistema, "Serial.cnf")), 1) == "S";
  a.capturaEmpaque = lineaDe(lineasDe(une(dirSistema, "empaque.cnf")), 1) == "S";

  if (auto tope = base::leeNumero(lineaDe(lineasDe(une(dirSistema, "cantidad.cnf")), 1)); tope && *tope > 0)
    a.topeCantidad = *tope;

  const std::vector<RegistroCaja> cajas = leeCajas(dirSistema);
  if (!cajas.empty()) {
    a.caja = cajas.front().caja;
    a.vendedorCaja = cajas.front().vendedor;
    a.formatoCaja = cajas.front().formato;
  }
  if (!a.dirDatos.empty()) a.tiposPago = lineasDe(une(a.dirDatos, "pagos.cnf"));
  const std::vector<std::string> multi = lineasDe(une(dirSistema, "Multi.dat"));
  if (base::existe(une(dirSistema, "Multi.dat"))) a.usuario = lineaDe(multi, 1);
  return a;
}

AjustesVenta leeAjustes(std::string_view dirSistema, int empresa) {
  return leeAjustes(dirSistema, lineasDe(session::archivoConfiguracion(dirSistema, empresa)));
}

std::vector<RegistroCaja> leeCajas(std::string_view dirSistema) {
  std::vector<RegistroCaja> r;
  for (const base::RegistroFijo& f :
       base::ArchivoFijo(une(dirSistema, "caja.cnf"), disenoCaja()).leeTodos())
    r.push_back({f.texto("caja"), f.texto("vendedor"), f.texto("formato")});
  return r;
}

bool escribeCaja(std::string_view dirSistema, int posicion, const RegistroCaja& c) {
  if (posicion < 1) return false;
  base::RegistroFijo f(disenoCaja());
  f.ponTexto("caja", c.caja);
  f.ponTexto("vendedor", c.vendedor);
  f.ponTexto("formato", c.formato);
  return base::ArchivoFijo(une(dirSistema, "caja.cnf"), disenoCaja()).escribe(posicion - 1, f);
}

}  // namespace mostrador::sales
