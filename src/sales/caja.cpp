#include "sales/caja.h"

#include <cmath>
#include <cstdio>

#include "base/numeros.h"
#include "base/rutas.h"
#include "base/texto.h"
#include "base/texto_util.h"
#include "printing/motor_formatos.h"
#include "printing/tabla_dbf.h"
#include "store/unidad.h"

namespace mostrador::sales {

namespace {

constexpr std::string_view kCajaNoValida = "El Número de Caja no es Válido";

std::string ocupado(const std::string& quien) {
  return "No se puede guardar: " + quien + " está en uso por otra estación; intente de nuevo.";
}

std::optional<int> posicionCaja(std::string_view texto) {
  const std::string t = base::recortaBlancos(texto);
  if (t.empty() || t.size() > 6) return std::nullopt;
  for (char c : t)
    if (c < '0' || c > '9') return std::nullopt;
  const int n = std::stoi(t);
  if (n < 1) return std::nullopt;
  return n;
}

MovimientoEfectivo leeMovimiento(const dbf::Cursor& t) {
  MovimientoEfectivo m;
  m.numero = t.asInteger("CLDOC_F");
  m.fecha = t.asText("FEDOC_F");
  m.hora = t.asText("HORA");
  m.cantidad = t.asFloat("CANTIDAD");
  m.concepto = t.asText("CONCEPTO");
  if (!t.isNull("NUM_CONCEP")) m.tipo = t.asInteger("NUM_CONCEP");
  m.caja = t.asText("BCLIM_F");
  m.vendedor = t.asText("CLVEN_F");
  return m;
}

// One edit of the record a header stands on, as its own save unit: the record is locked
// first (another station's hold is named), the directory's unit takes the write.
bool escribeEncabezado(dbf::Table& e, std::string_view directorio,
                       const std::vector<std::pair<std::string, std::string>>& campos, base::Interaccion& ui) {
  const uint32_t registro = e.recno();
  const std::string quien = "el documento " + e.asText("CLDOC_F");
  try {
    if (auto o = store::bloquea({{&e, registro, quien}})) {
      ui.mensaje(ocupado(o->quien));
      return false;
    }
    {
      store::UnidadGuardado unidad({std::string(directorio)});
      e.goTo(registro);
      e.edit();
      for (const auto& [campo, valor] : campos) e.setText(campo, valor);
      e.post();
      unidad.confirma();
    }
    e.releaseLocks();
    return true;
  } catch (const dbf::Error&) {
    if (e.editing()) e.cancel();
    try {
      e.releaseLocks();
      e.goTo(registro);
    } catch (const dbf::Error&) {
    }
    ui.mensaje(kErrorCaja);
    return false;
  }
}

}  // namespace

// ---- the till record ------------------------------------------------------------------

std::optional<RegistroCaja> leeCaja(std::string_view directorio, int posicion) {
  if (posicion < 1) return std::nullopt;
  const std::vector<RegistroCaja> v = leeCajas(directorio);
  if (static_cast<size_t>(posicion) > v.size()) return std::nullopt;
  return v[static_cast<size_t>(posicion - 1)];
}

FormaCaja abreFormaCaja(std::string_view dirSistema) {
  FormaCaja f;
  f.ruta = std::string(dirSistema);
  muestraCaja(f);
  return f;
}

void muestraCaja(FormaCaja& f) {
  const std::optional<int> n = posicionCaja(f.numero);
  std::optional<RegistroCaja> r = n ? leeCaja(f.ruta, *n) : std::nullopt;
  f.registro = r.value_or(RegistroCaja{});
}

bool guardaCaja(const FormaCaja& f, base::Interaccion& ui) {
  const std::optional<int> n = posicionCaja(f.numero);
  if (!n) {
    ui.mensaje(kCajaNoValida);
    return false;
  }
  if (!escribeCaja(f.ruta, *n, f.registro)) {
    ui.mensaje(kErrorCaja);
    return false;
  }
  return true;
}

// ---- cash in and out ------------------------------------------------------------------

std::vector<std::string> conceptosEfectivo(std::string_view dirSistema) {
  std::vector<std::string> r;
  for (const std::string& l : base::leeLineas(base::une(dirSistema, kArchivoConceptos)).value_or(std::vector<std::string>{}))
    r.push_back(l);
  return r;
}

bool esDelModo(const MovimientoEfectivo& m, ModoEfectivo modo) {
  if (modo == ModoEfectivo::Entrada) return m.tipo && *m.tipo == 2;
  return !m.tipo || *m.tipo <= 1;
}

std::vector<MovimientoEfectivo> movimientosEfectivo(std::string_view dirDatos, ModoEfectivo modo,
                                                    const base::Fecha& fecha) {
  std::vector<MovimientoEfectivo> r;
  if (!base::existe(base::une(dirDatos, kTablaRetiros))) return r;
  dbf::Table t;
  t.open(dirDatos, kTablaRetiros);
  t.setIndex("CLDOC_F");
  const dbf::Fecha dia{fecha.anio, fecha.mes, fecha.dia};
  const int campoFecha = t.requireField("FEDOC_F");
  for (t.first(); !t.eof(); t.next()) {
    if (t.asDate(campoFecha) != dia) continue;
    MovimientoEfectivo m = leeMovimiento(t);
    if (esDelModo(m, modo)) r.push_back(std::move(m));
  }
  return r;
}

double sumaEfectivo(const std::vector<MovimientoEfectivo>& v) {
  double s = 0;
  for (const auto& m : v) s += m.cantidad;
  return base::redondea(s, 2);
}

std::string etiquetaRetiros(double suma) { return "Retiros  " + base::formateaMascara(suma, "0.00"); }

std::string horaTexto(const base::Hora& h) {
  char b[16];
  std::snprintf(b, sizeof b, "%02d:%02d:%02d", h.hora, h.minuto, h.segundo);
  return b;
}

std::optional<long long> registraEfectivo(std::string_view dirDatos, ModoEfectivo modo, const NuevoEfectivo& n,
                                          base::Interaccion& ui) {
  try {
    dbf::Table t;
    t.open(dirDatos, kTablaRetiros);
    t.setIndex("CLDOC_F");
    long long numero = 0;
    {
      // Reading the last number and appending under one unit: the directory's writer
      // lock keeps another station from taking the same number meanwhile.
      store::UnidadGuardado unidad({std::string(dirDatos)});
      t.last();
      numero = t.isEmpty() ? 1 : t.asInteger("CLDOC_F") + 1;
      t.append();
      t.setInteger("CLDOC_F", numero);
      t.setDate("FEDOC_F", dbf::Fecha{n.fecha.anio, n.fecha.mes, n.fecha.dia});
      t.setText("HORA", horaTexto(n.hora));
      t.setFloat("CANTIDAD", n.cantidad);
      t.setText("CONCEPTO", n.concepto);
      t.setText("BCLIM_F", n.caja);
      t.setInteger("NUM_CONCEP", static_cast<long long>(modo));
      t.setText("CLVEN_F", n.vendedor);
      t.post();
      unidad.confirma();
    }
    return numero;
  } catch (const dbf::Error&) {
    ui.mensaje(kErrorCaja);
    return std::nullopt;
  }
}

bool imprimeComprobante(printing::MotorFormatos& motor, std::string_view dirSistema, std::string_view dirDatos,
                        long long numero, base::Interaccion& ui) {
  const std::string formato = base::une(dirSistema, kFormatoRetiro.substr(1));
  if (!base::existe(formato)) {
    ui.mensaje("El Formato " + std::string(kFormatoRetiro) + " No Existe");
    return false;
  }
  try {
    dbf::Table encabezado, linea;
    encabezado.open(dirDatos, kTablaRetiros);
    encabezado.setIndex("CLDOC_F");
    if (!encabezado.findKey({static_cast<double>(numero)})) return false;
    linea.open(dirDatos, kTablaRetiros);
    linea.setIndex("CLDOC_F");
    linea.setRange({static_cast<double>(numero)}, {static_cast<double>(numero)});
    printing::TablaDbf fe(encabezado, std::string(dirDatos), std::string(kTablaRetiros));
    printing::TablaDbf fl(linea, std::string(dirDatos), std::string(kTablaRetiros));
    const printing::ResultadoFormato r = motor.ImprimeFormato(fe, fl, formato, 'i');
    return r.completo && !r.sinImpresora;
  } catch (const dbf::Error&) {
    ui.mensaje(kErrorCaja);
    return false;
  }
}

// ---- pay and print --------------------------------------------------------------------

bool pagado(const dbf::Cursor& e) { return !base::recortaBlancos(e.asText("PAGOX_F")).empty(); }

std::string cajaDePago(std::string_view pagox) {
  if (pagox.substr(0, kPrefijoPagada.size()) != kPrefijoPagada) return {};
  return base::recortaBlancos(pagox.substr(kPrefijoPagada.size()));
}

ResultadoPago pagaEImprime(dbf::Table& e, std::string_view directorio, const PeticionPago& p, base::Interaccion& ui) {
  if (!p.pagosEnCaja || !p.nuevoDisponible) return ResultadoPago::Inactivo;
  std::string cliente;
  try {
    if (!e.isOpen() || e.isEmpty()) return ResultadoPago::Inactivo;
    if (pagado(e) && ui.advertencia(kPreguntaPagada) != base::RespuestaAdvertencia::Si) return ResultadoPago::NoPagado;
    cliente = e.asText("NOMBR_F");
    if (cliente.empty()) cliente = e.asText("CLCLI_F");
  } catch (const dbf::Error&) {
    ui.mensaje(kErrorCaja);
    return ResultadoPago::Error;
  }
  if (!p.ventana || !p.ventana(kTituloPago, kTextoPago, cliente)) return ResultadoPago::NoPagado;
  if (!escribeEncabezado(e, directorio, {{"PAGOX_F", std::string(kPrefijoPagada) + p.caja}, {"BCLIM_F", p.caja}}, ui))
    return ResultadoPago::Error;
  // The document prints with its payment mark; the printed mark follows the print.
  if (p.imprime && p.imprime() && !escribeEncabezado(e, directorio, {{"TREGI_F", "I"}}, ui))
    return ResultadoPago::Error;
  return ResultadoPago::Pagado;
}

// ---- the till's reports ---------------------------------------------------------------

std::optional<std::string> pideCajaDocumentos(base::Interaccion& ui) {
  return ui.pideTexto("No de Caja", "Caja No. ", "1");
}

std::optional<std::string> definicionCorteConRetiros(std::string_view dirSistema, base::Interaccion& ui) {
  const std::optional<std::vector<std::string>> l = base::leeLineas(base::une(dirSistema, kCorteConRetiros.substr(1)));
  if (!l) {
    ui.mensaje("El Reporte " + std::string(kCorteConRetiros) + " No Existe");
    return std::nullopt;
  }
  std::string t;
  for (const std::string& x : *l) t += x + "\r";
  return t;
}

}  // namespace mostrador::sales
