#include "sales/screens/reportes_venta_qt.h"

#include "reports/screens/concentrado_qt.h"
#include "reports/screens/TFormaFormatos.h"
#include "reports/screens/TFormaProgreso.h"
#include "reports/screens/TFormaReporteSQL.h"
#include "sales/reportes_venta.h"
#include "base/fechas.h"

namespace mostrador::sales {

void ejecutaReporteVentaQt(QWidget* padre, std::string_view comando, const AjustesVenta& aj, TipoVenta tipo,
                           session::Sesion& sesion) {
  base::Interaccion& ui = sesion.ui();
  const base::Reloj& reloj = sesion.reloj();
  auto cmd = comandoReporte(comando);
  if (!cmd) return;
  ContextoVenta ctx{store::documento(defTipo(tipo).documento), aj.dirDatos, reloj, aj.caja.empty() ? "1" : aj.caja,
                   aj.impuestoIncluido};
  TFormaFormatos dialogo(padre);

  const base::Fecha hoy = reloj.ahora().fecha;
  if (auto muestra = concentradoVenta(comando, ctx, "", "")) {
    // A summary: only the dates are asked.
    reports::FiltroReporte f;
    f.RangoFiltro(hoy, "", "");
    f.deActivo = f.hastaActivo = false;
    f.condicionesActivas = false;
    if (!dialogo.pide(f) || !f.inicial || !f.final_) return;
    auto c = concentradoVenta(comando, ctx, base::fechaCorta(*f.inicial), base::fechaCorta(*f.final_));
    reports::muestraConcentrado(padre, *c, sesion, aj.dirSistema, aj.dirDatos, aj.linea(31));
    return;
  }

  if (pideCaja(comando)) {
    auto caja = ui.pideTexto("No de Caja", "Caja No. ", "1");
    if (!caja) return;
    ctx.caja = *caja;
  }
  auto def = definicionReporteVenta(comando, ctx);
  if (!def) return;
  reports::ContextoReporte c{aj.dirSistema, aj.dirDatos, ui, &dialogo, &reloj};
  reports::ParametrosReporte p;
  p.definicion = def->texto;
  p.tabla = def->tabla;
  p.tipo = def->tipo;
  auto r = reports::EjecutaReporte(c, cmd->titulo, def->campoDocumento, def->campoFecha, p);
  if (!r) return;
  TFormaReporteSQL hoja(std::move(r), ui, padre);
  hoja.exec();
}

}  // namespace mostrador::sales
