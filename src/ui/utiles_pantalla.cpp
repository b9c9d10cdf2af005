#include "ui/utiles_pantalla.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>

#include "base/rutas.h"
#include "ui/impresora_qt.h"

namespace mostrador::ui {

bool imprimePantalla(QWidget* ventana, const std::string& dirSistema, base::Interaccion& ui) {
  const std::string tempo = base::une(dirSistema, "tempo");
  base::creaDirectorios(tempo);
  const std::string png = base::une(tempo, "pantalla.png");
  const QPixmap imagen = ventana->grab();
  if (imagen.isNull() || !imagen.save(QString::fromStdString(base::resuelve(png).string()), "PNG")) {
    ui.mensaje("La Impresora No Se Encuentra Lista...");
    return false;
  }
  ImpresoraQt impresora;
  if (!impresora.iniciaTrabajo(ventana->windowTitle().toStdString())) {
    ui.mensaje("La Impresora No Se Encuentra Lista...");
    return false;
  }
  // As wide as the page allows, keeping the window's proportions.
  const int ancho = impresora.anchoPagina();
  const int alto = imagen.width() > 0 ? ancho * imagen.height() / imagen.width() : 0;
  const bool ok = impresora.imagen(0, 0, ancho, std::min(alto, impresora.altoPagina()), png);
  if (!impresora.terminaTrabajo() || !ok) {
    ui.mensaje("La Impresora No Se Encuentra Lista...");
    return false;
  }
  return true;
}

std::vector<base::EntradaMenu> entradasDeMenu(const QMenuBar* barra) {
  std::vector<base::EntradaMenu> v;
  for (QAction* a : barra->actions()) {
    base::EntradaMenu e{a->text().toStdString(), {}};
    if (QMenu* m = a->menu())
      for (QAction* s : m->actions())
        if (!s->isSeparator()) e.entradas.push_back({s->text().toStdString(), {}});
    v.push_back(std::move(e));
  }
  return v;
}

}  // namespace mostrador::ui
