#pragma once
// One command of the sales screen's reports menu, run with the real screens: the filter
// dialog and the report screen for a definition, or the dates, the progress screen and
// the viewer for a summary.

#include <QWidget>
#include <string_view>

#include "sales/ajustes.h"
#include "sales/tipos_venta.h"
#include "base/interaccion.h"
#include "base/reloj.h"
#include "session/sesion.h"

namespace mostrador::sales {

// The session gives the Interaccion, the clock and the station's programs (the chart
// viewer's export opens the spreadsheet through them).
void ejecutaReporteVentaQt(QWidget* padre, std::string_view comando, const AjustesVenta& aj, TipoVenta tipo,
                           session::Sesion& sesion);

}  // namespace mostrador::sales
