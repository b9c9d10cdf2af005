#include "printing/impresion_documentos.h"

#include "printing/entorno_impresion.h"
#include "printing/motor_formatos.h"
#include "base/interaccion.h"
#include "base/rutas.h"
#include "base/texto.h"

namespace mostrador::printing {

std::string rutaFormatoDocumento(std::string_view dirInstalacion, std::string_view nombre) {
  return base::une(dirInstalacion, "consulta\\" + std::string(nombre));
}

bool autorizaReimpresion(std::string_view tregi, std::string_view statu, std::string_view usuario,
                         base::Interaccion& ui) {
  if (tregi != "I" && statu != "C") return true;
  if (usuario == "0") return true;
  return ui.administrador().resultado == base::RespuestaAdministrador::Administrador;
}

namespace {

void asignaMoneda(MotorFormatos& motor, EntornoImpresion& entorno) {
  auto m = entorno.palabrasMoneda(kMonedaLocal);
  motor.AsignaMonedaLetras(m[0], m[1], m[2], m[3]);
}

}  // namespace

ResultadoDocumento ImprimeDocumento(MotorFormatos& motor, EntornoImpresion& entorno,
                                    base::Interaccion& ui, const DocumentoAImprimir& doc) {
  if (!autorizaReimpresion(doc.tregi, doc.statu, doc.usuario, ui))
    return ResultadoDocumento::NoAutorizado;
  if (doc.formato.empty() || !base::existe(doc.formato)) {
    ui.mensaje("El Formato " + (doc.formatoEnMensaje.empty() ? doc.formato : doc.formatoEnMensaje) +
               " No Existe");
    return ResultadoDocumento::FormatoNoExiste;
  }
  if (doc.usuarioDocumento) motor.AsignaUsuarioImpresion(*doc.usuarioDocumento);
  asignaMoneda(motor, entorno);
  // A run that stops inside a top-level condition block is dropped silently, as the
  // sales screens always did; the document still counts as printed.
  const ResultadoFormato r = motor.ImprimeFormato(*doc.encabezado, *doc.detalle, doc.formato, 'i');
  // Only paper that came out marks the document: a reprint would otherwise need the
  // administrator for a document nobody ever saw printed.
  if (r.sinImpresora) {
    ui.mensaje(kSinImpresora);
    return ResultadoDocumento::NoImpreso;
  }
  if (doc.marcaImpresa) doc.marcaImpresa();
  return ResultadoDocumento::Impreso;
}

ResultadoDocumento PreliminarDocumento(MotorFormatos& motor, EntornoImpresion& entorno,
                                       base::Interaccion& ui, PantallaVistaPrevia& pantalla,
                                       const DocumentoAImprimir& doc) {
  TrabajoImpresion t;
  t.encabezado = doc.encabezado;
  t.detalle = doc.detalle;
  t.formato = doc.formato;
  t.usuario = doc.usuarioDocumento;
  t.moneda = entorno.palabrasMoneda(kMonedaLocal);
  bool negado = false;
  t.autorizaImpresion = [&] {
    negado = !autorizaReimpresion(doc.tregi, doc.statu, doc.usuario, ui);
    return !negado;
  };
  if (!base::existe(doc.formato) && !doc.formatoEnMensaje.empty()) {
    // The protocol names the path; this caller wants its own name in the message.
    ui.mensaje("El Formato " + doc.formatoEnMensaje + " No Existe");
    pantalla.muestra();
    return ResultadoDocumento::FormatoNoExiste;
  }
  bool impreso = VistaPreliminar(motor, ui, pantalla, t);
  if (impreso && doc.marcaImpresa) doc.marcaImpresa();
  if (negado) return ResultadoDocumento::NoAutorizado;
  return impreso ? ResultadoDocumento::Impreso : ResultadoDocumento::NoImpreso;
}

std::array<std::string, 6> formatosAtajo(std::string_view dirInstalacion) {
  std::array<std::string, 6> r;
  auto lineas = base::leeLineas(base::une(dirInstalacion, "encabeza.cnf"));
  if (!lineas) return r;
  for (size_t i = 0; i < 6; ++i)
    if (i + 2 < lineas->size()) r[i] = (*lineas)[i + 2];
  return r;
}

ResultadoDocumento ImprimeConAtajo(MotorFormatos& motor, EntornoImpresion& entorno,
                                   base::Interaccion& ui, DocumentoAImprimir doc,
                                   std::string_view dirInstalacion, int n) {
  if (n < 1 || n > 6) return ResultadoDocumento::NoImpreso;
  doc.formato = formatosAtajo(dirInstalacion)[n - 1];
  doc.formatoEnMensaje.clear();
  return ImprimeDocumento(motor, entorno, ui, doc);
}

bool AsignaFormatoAtajo(base::Interaccion& ui, std::string_view dirInstalacion, int n) {
  if (n < 1 || n > 6) return false;
  std::string ruta = base::une(dirInstalacion, "encabeza.cnf");
  auto lineas = base::leeLineas(ruta);
  if (!lineas) {
    ui.mensaje("El Archivo encabeza.cnf No Existe");
    return false;
  }
  auto elegido = ui.abreArchivo("Formato", "Formatos (*.fmt)|*.fmt|Todos|*.*");
  if (!elegido) return false;
  if (lineas->size() < 9) lineas->resize(9);
  (*lineas)[static_cast<size_t>(n) + 1] = *elegido;
  return base::escribeLineas(ruta, *lineas);
}

}  // namespace mostrador::printing
