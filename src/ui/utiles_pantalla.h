#pragma once
// What every catalogue screen offers alike: the print of the screen's image and the
// outline of its menu for the help index.

#include <QWidget>
#include <string>
#include <vector>

#include "base/ayuda.h"
#include "base/interaccion.h"

class QMenuBar;

namespace mostrador::ui {

// Prints the window as it looks, on one page of the default printer; "La Impresora No
// Se Encuentra Lista..." when it cannot. The picture goes through "<system>\tempo\".
bool imprimePantalla(QWidget* ventana, const std::string& dirSistema, base::Interaccion& ui);

// The menu bar as the help index writes it.
std::vector<base::EntradaMenu> entradasDeMenu(const QMenuBar* barra);

}  // namespace mostrador::ui
