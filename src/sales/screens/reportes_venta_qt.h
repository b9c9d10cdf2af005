#pragma once
// One command of the sales screen's reports menu, run with the real screens: the filter
// dialog and the report screen for a definition, or the dates, the progress screen and
// the viewer for a summary.

#include <QWidget>
#include <string_view>

#include "sales/ajustes.h"
#include "sales/tipos_venta.h"
#include "shell/interaccion.h"
#include "shell/reloj.h"

namespace mostrador::sales {

void ejecutaReporteVentaQt(QWidget* padre, std::string_view comando, const AjustesVenta& aj, TipoVenta tipo,
                           shell::Interaccion& ui, const shell::Reloj& reloj);

}  // namespace mostrador::sales
