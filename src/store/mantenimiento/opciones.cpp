#include "store/mantenimiento/opciones.h"

#include "base/bitacora.h"
#include "base/rutas.h"
#include "base/texto.h"
#include "store/mantenimiento/reindexado.h"
#include "store/mantenimiento/respaldo.h"
#include "store/mantenimiento/tablas_exclusivas.h"

namespace mostrador::store {

OpcionesMantenimiento leeOpciones(std::string_view dirDatos) {
  const std::string ruta = base::une(dirDatos, kArchivoOpciones);
  auto si = [&](int n) { return base::leeLinea(ruta, n).value_or("") == "S"; };
  return {si(1), si(2), si(3)};
}

bool guardaOpciones(std::string_view dirDatos, const OpcionesMantenimiento& o) {
  auto sn = [](bool v) { return std::string(v ? "S" : "N"); };
  return base::escribeLineas(base::une(dirDatos, kArchivoOpciones),
                              {sn(o.reindexaInicio), sn(o.respaldaInicio), sn(o.respaldaFinal)});
}

namespace {

void respalda(base::Interaccion& ui, const base::Reloj& reloj, std::string_view dirSistema,
              std::string_view dirDatos) {
  const std::string destino = carpetaRespaldo(dirDatos, reloj.ahora().fecha);
  ResultadoRespaldo r = respaldoNormal(dirDatos, destino);
  if (!r.exito) {
    ui.mensaje(r.error);
    return;
  }
  base::Bitacora(std::string(dirSistema)).escribe("Último Respaldo " + marcaBitacora(reloj.ahora()));
}

}  // namespace

void mantenimientoAlIniciar(base::Interaccion& ui, const base::Reloj& reloj, std::string_view dirSistema,
                            std::string_view dirDatos) {
  if (dirDatos.empty()) return;
  const OpcionesMantenimiento o = leeOpciones(dirDatos);
  if (o.respaldaInicio) respalda(ui, reloj, dirSistema, dirDatos);
  if (o.reindexaInicio) {
    base::Bitacora(std::string(dirSistema)).escribe("Reindexado " + marcaBitacora(reloj.ahora()));
    reindexaDirectorio(ui, dirSistema, dirDatos);
  }
}

void mantenimientoAlTerminar(base::Interaccion& ui, const base::Reloj& reloj, std::string_view dirSistema,
                             std::string_view dirDatos) {
  if (dirDatos.empty()) return;
  if (leeOpciones(dirDatos).respaldaFinal) respalda(ui, reloj, dirSistema, dirDatos);
}

}  // namespace mostrador::store
