#include <algorithm>

// The capture engine's browsing and redisplay, and its save, delete and cancel commands,
// which hand the document as a value to GuardadoVenta and show what it answers.

#include "sales/captura.h"
#include "sales/filas_documento.h"
#include "sales/texto_venta.h"
#include "session/derechos.h"
#include "base/fechas.h"
#include "base/numeros.h"
#include "base/rutas.h"
#include "store/estados.h"


namespace mostrador::sales {

namespace {

constexpr std::string_view kErrorGuardar = "No Pueden Guardarse los Datos ha Ocurrido un Error";

}  // namespace

// ---- redisplay and browsing ----------------------------------------------------------------

void CapturaVenta::muestra() {
  try {
    vaciaPartidas();
    campos_ = CamposEncabezado{};
    totales_ = Totales{};
    if (!encabezado_.isOpen() || encabezado_.isEmpty()) {
      campos_.cliente.clear();
      return;
    }
    const dbf::Table& e = encabezado_;
    campos_ = camposDeEncabezado(e);
    const long long sello = e.isNull("CONTROL") ? -1 : e.asInteger("CONTROL");
    for (uint32_t r : filasDe(detalle_, campos_.numero, sello)) {
      detalle_.goTo(r);
      agregaRenglon(partidas_, partidaDeDetalle(detalle_, LecturaDetalle::Documento));
    }
    fila_ = 0;
    recalcula();
  } catch (const dbf::Error&) {
    ui_.mensaje(kErrorGuardar);
  }
}

namespace {

// A browse command: the move (a failed one stays where it was), then the redisplay.
template <class Mover>
void navega(dbf::Table& t, Mover mueve) {
  try {
    (t.*mueve)();
  } catch (const dbf::Error&) {
  }
}

}  // namespace

void CapturaVenta::anterior() {
  nuevo_ = modificando_ = false;
  navega(encabezado_, &dbf::Table::prior);
  muestra();
}

void CapturaVenta::siguiente() {
  nuevo_ = modificando_ = false;
  navega(encabezado_, &dbf::Table::next);
  muestra();
}

void CapturaVenta::ultimo() {
  nuevo_ = modificando_ = false;
  navega(encabezado_, &dbf::Table::last);
  muestra();
}

bool CapturaVenta::buscaDocumento(long long numero) {
  try {
    encabezado_.setIndex("INUMENC");
    if (!encabezado_.findKey({static_cast<double>(numero)})) return false;
  } catch (const dbf::Error&) {
    ui_.mensaje(kErrorGuardar);
    return false;
  }
  nuevo_ = modificando_ = false;
  muestra();
  return true;
}

bool CapturaVenta::modifica() {
  try {
    if (!encabezado_.isOpen() || encabezado_.isEmpty() || enCaptura()) return false;
    if (store::cancelado(encabezado_.asText("STATU_F"))) return false;
    previo_.control = encabezado_.asInteger("CONTROL");
    control_ = previo_.control;
    const double s = encabezado_.asFloat("SUBTO_F");
    previo_.cargo = s + s * encabezado_.asFloat("IMIM1_F") * 0.01;
    previo_.cliente = encabezado_.asText("CLCLI_F");
    // An invoice made from notes stays one: its modification must not take stock or
    // write movements the notes already made.
    generado_ = tipo_ == TipoVenta::Factura && guardado_.esFacturaGenerada(encabezado_.asText("CLDOC_F"));
  } catch (const dbf::Error&) {
    ui_.mensaje(kErrorGuardar);
    return false;
  }
  modificando_ = true;
  nuevo_ = false;
  return true;
}

// ---- saving ------------------------------------------------------------------------------

void CapturaVenta::muestraMensajes(const std::vector<std::string>& mensajes) {
  for (const std::string& m : mensajes) ui_.mensaje(m);
}

bool CapturaVenta::guarda() {
  // The totals the save stores are those of the lines as they are now.
  if (enCaptura() && !campos_.cliente.empty() && !campos_.numero.empty()) recalcula();
  const ResultadoGuardado r = guardado_.guarda(documento());
  muestraMensajes(r.mensajes);
  if (!r.guardado) return false;
  campos_.numero = std::to_string(r.numero);
  control_ = r.control;
  try {
    if (aj_.descargaInmediata) {
      // Other stations must see the document at once: read it back from disk.
      encabezado_.refresh();
      encabezado_.setIndex("INUMENC");
      if (encabezado_.findKey({static_cast<double>(r.numero)})) muestra();
    }
  } catch (const dbf::Error&) {
    // The document is saved; only the redisplay failed.
  }
  vendedorAnterior_ = campos_.vendedor;
  generado_ = false;
  nuevo_ = modificando_ = false;
  return true;
}

// ---- delete and cancel ----------------------------------------------------------------------

bool CapturaVenta::elimina() {
  if (!session::checaDerecho(ui_, aj_.dirSistema, aj_.usuario, 22)) return false;
  try {
    if (!encabezado_.isOpen() || encabezado_.isEmpty()) return false;
  } catch (const dbf::Error&) {
    ui_.mensaje(kErrorGuardar);
    return false;
  }
  if (ui_.advertencia("Esta Seguro que Desea ELIMINAR este Documento ?") != base::RespuestaAdvertencia::Si)
    return false;
  const GuardadoVenta::Resultado r = guardado_.elimina(documento());
  muestraMensajes(r.mensajes);
  if (!r.hecho) return false;
  nuevo_ = modificando_ = false;
  muestra();
  return true;
}

bool CapturaVenta::cancela() {
  const bool permitido =
      autoriza_ ? autoriza_(52) :
      aj_.usuario == "0" ||
      session::evaluaDerecho(aj_.dirSistema, aj_.usuario, 52) == session::Derecho::Concedido ||
      session::confirmacionAdministrador(ui_);
  if (!permitido) {
    ui_.mensaje("No se tiene acceso a esta opción");
    return false;
  }
  try {
    if (!encabezado_.isOpen() || encabezado_.isEmpty()) return false;
  } catch (const dbf::Error&) {
    ui_.mensaje(kErrorGuardar);
    return false;
  }
  if (ui_.advertencia("Esta Seguro que Desea CANCELAR este Documento ?") != base::RespuestaAdvertencia::Si)
    return false;
  const GuardadoVenta::Resultado r = guardado_.cancela(documento());
  muestraMensajes(r.mensajes);
  return r.hecho;
}

}  // namespace mostrador::sales
