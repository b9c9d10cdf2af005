#pragma once
// A module's summary on screen: the generator run under the progress window (its cancel
// button stops it), then the report viewer with the summary's chart titles.

#include <QWidget>
#include <string>

#include "reports/concentrado.h"
#include "session/sesion.h"

namespace mostrador::reports {

// hoja: the spreadsheet program of configuration line 31. False when the run was
// cancelled or failed (the generator said why).
bool muestraConcentrado(QWidget* padre, DefinicionConcentrado c, session::Sesion& sesion, const std::string& sistema,
                        const std::string& datos, const std::string& hoja, int columnaGrafica = 1);

}  // namespace mostrador::reports
