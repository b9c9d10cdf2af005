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

namespace mostrador::sales {

void ejecutaReporteVentaQt(QWidget* padre, std::string_view comando, const AjustesVenta& aj, TipoVenta tipo,
                           base::Interaccion& ui, const base::Reloj& reloj);

}  // namespace mostrador::sales
