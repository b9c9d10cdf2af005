// The format designer as the main window and the report filter dialog reach it.

#include <QPointer>

#include "app/arranque_qt.h"
#include "base/rutas.h"
#include "designers/screens/TFormaEdicion.h"
#include "reports/screens/TFormaFormatos.h"
#include "shell/screens/TFormaPrincipal.h"
#include "ui/dialogos.h"

namespace mostrador::app {

void registraDisenoFormatos(shell::TFormaPrincipal& principal, base::Interaccion& ui) {
  // Every string grid of the program moves on with Enter and Down.
  ui::instalaReglaRejillas();
  // The filter dialog's format command opens the designer; its open dialog starts in the
  // directory the dialog names.
  // The dialog outlives no program, but a test may: once the main window is gone the
  // command opens nothing.
  TFormaFormatos::registraEditor([p = QPointer<shell::TFormaPrincipal>(&principal), &ui](QWidget* padre,
                                                                                      const std::string& dirInicial) {
    if (!p) return;
    const std::string sistema = p->motor().directorioSistema();
    TFormaEdicion editor(sistema, padre);
    editor.modoDiseno(ui, {}, dirInicial.empty() ? base::une(sistema, "consulta") : dirInicial);
    editor.exec();
  });
  principal.registraModulo(shell::Pantalla::Formatos, {[&principal](const shell::Apertura& a) {
                                                         TFormaFormatos f(&principal);
                                                         f.ponDirectorioSistema(principal.motor().directorioSistema());
                                                         for (const auto& n : a.ocultar)
                                                           if (auto* w = f.findChild<QWidget*>(QString::fromStdString(n)))
                                                             w->hide();
                                                         for (const auto& n : a.mostrar)
                                                           if (auto* w = f.findChild<QWidget*>(QString::fromStdString(n)))
                                                             w->show();
                                                         f.exec();
                                                       },
                                                       {}, {}});
}

}  // namespace mostrador::app
