#include "shell/screens/arranque_qt.h"

#include <QApplication>

#include "shell/arranque.h"
#include "shell/inicio.h"
#include "shell/screens/TFormaElipse.h"
#include "shell/screens/TFormaEmpresas.h"
#include "shell/screens/TFormaPrincipal.h"
#include "shell/describe.h"
#include "ui/interaccion_qt.h"

namespace mostrador::shell {

Aplicacion::Aplicacion(GanchosPrincipal ganchos, bool conSplash) {
  if (conSplash) {
    splash_ = new TFormaElipse;
    splash_->setAttribute(Qt::WA_DeleteOnClose);
    splash_->show();
    splash_->repaint();
    QApplication::processEvents();
  }
  ayuda_ = QString::fromUtf8(kArchivoAyuda.data(), static_cast<qsizetype>(kArchivoAyuda.size()));

  ui_ = std::make_unique<ui::InteraccionQt>([this] {
    return principal_ ? principal_->motor().directorioSistema() : std::string();
  });
  principal_ = std::make_unique<TFormaPrincipal>(*ui_, reloj_, std::move(ganchos));
  ui_->ponPadre(principal_.get());
  principal_->ponDescripciones([this](int tema) {
    auto d = leeDescripcion(principal_->motor().directorioSistema(), tema);
    return d ? d->texto() : std::string();
  });

  empresas_ = std::make_unique<Empresas>(*ui_, principal_->motor().directorioSistema(),
                                         directorioActual(), 1);
  formaEmpresas_ = std::make_unique<TFormaEmpresas>(
      *empresas_,
      [this](const Ingreso& r) {
        principal_->motor().aplicaIngreso(r);
        principal_->pinta();
      },
      principal_.get());
  principal_->ponEmpresas(formaEmpresas_.get());

  if (splash_) delete splash_.data();
}

Aplicacion::~Aplicacion() {
  formaEmpresas_.reset();
  principal_.reset();
}

void Aplicacion::muestra() { principal_->show(); }

}  // namespace mostrador::shell
