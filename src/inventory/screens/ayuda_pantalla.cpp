#include "inventory/screens/ayuda_pantalla.h"

#include <QDesktopServices>
#include <QUrl>

#include "base/rutas.h"

namespace mostrador::inventory {

void abreAyuda(base::Interaccion& ui, const std::string& dirSistema, const std::string& archivo) {
  const std::string ruta = base::une(dirSistema, "ayuda\\" + archivo);
  if (!base::existe(ruta)) {
    ui.mensaje("El Archivo " + ruta + " No Existe");
    return;
  }
  QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(base::resuelve(ruta).string())));
}

}  // namespace mostrador::inventory
