#pragma once
// Offscreen Qt support for the screen tests: one QApplication for the binary, a script
// that answers modal dialogs as they come up, and a temporary installation the program
// can start from.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <deque>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "shell/arranque.h"
#include "session/configuracion.h"
#include "session/empresas.h"
#include "base/rutas.h"
#include "base/texto.h"
#include "session/usuarios.h"

namespace mostrador::prueba {

inline QApplication& aplicacionQt() {
  static int argc = 1;
  static char nombre[] = "test_ui";
  static char* argv[] = {nombre, nullptr};
  if (!qApp) new QApplication(argc, argv);
  return *static_cast<QApplication*>(QCoreApplication::instance());
}

// Where the test binary was started (the build directory under ctest), taken before any
// test moves into its temporary directory.
inline const std::filesystem::path& directorioDeArranque() {
  static const std::filesystem::path p = std::filesystem::current_path();
  return p;
}

// Answers modal dialogs in order: each step gets the dialog that came up and must close
// it (directly or through what it types).
class GuionModal {
 public:
  using Paso = std::function<void(QWidget* modal)>;

  GuionModal() {
    reloj_.setInterval(5);
    QObject::connect(&reloj_, &QTimer::timeout, [this] {
      QWidget* m = QApplication::activeModalWidget();
      // A dialog is answered once each time it comes to the front: when another one goes
      // over it and closes, it may be answered again.
      if (m != actual_) {
        if (actual_) actual_->setProperty("guionAtendido", false);
        actual_ = m;
      }
      if (!m || !m->isVisible() || m->property("guionAtendido").toBool()) return;
      m->setProperty("guionAtendido", true);
      if (pasos_.empty()) {
        // Nobody expected it: fail and close it rather than wait for ever.
        ADD_FAILURE() << "Diálogo inesperado: " << m->objectName().toStdString();
        QTimer::singleShot(0, [w = QPointer<QWidget>(m)] {
          if (auto* d = qobject_cast<QDialog*>(w.data())) d->reject();
          else if (w) w->close();
        });
        return;
      }
      Paso p = std::move(pasos_.front());
      pasos_.pop_front();
      vistos_.push_back(m->objectName().toStdString());
      // Run outside this timer: a step that opens another modal loop must not keep the
      // script from answering the dialog it leads to.
      QTimer::singleShot(0, [p = std::move(p), w = QPointer<QWidget>(m)] {
        if (w) p(w);
      });
    });
    reloj_.start();
  }
  GuionModal& luego(Paso p) {
    pasos_.push_back(std::move(p));
    return *this;
  }
  size_t pendientes() const { return pasos_.size(); }
  // objectName of every dialog the script answered, in order.
  const std::vector<std::string>& vistos() const { return vistos_; }

 private:
  QTimer reloj_;
  QPointer<QWidget> actual_;
  std::deque<Paso> pasos_;
  std::vector<std::string> vistos_;
};

// The current directory as a station's installation: the demonstration users, company
// 1 with every table and index file the sign-in checks (empty files will do for it), the
// scratch tables; no initialisation file (a first start).
inline void instalacionEnDirectorioActual(std::initializer_list<std::pair<int, std::string>> cambios = {}) {
  const std::string sistema = std::filesystem::current_path().string();
  const std::string datos = base::une(sistema, "Empresa1");
  base::creaDirectorios(datos);
  auto lineas = session::configuracionPorOmision(datos, shell::kNombreEmpresaDemo);
  for (const auto& [n, v] : cambios) lineas[static_cast<size_t>(n - 1)] = v;
  base::escribeLineas(session::archivoConfiguracion(sistema, 1), lineas);
  session::escribeUsuarios(sistema, shell::usuariosDemo());
  for (const char* t : {"Deta.db", "DetaComp.db", "Detaminv.db"})
    base::escribeBytes(base::une(sistema, t), "");
  for (std::string_view t : session::tablasRevisadas()) {
    base::escribeBytes(base::une(datos, std::string(t) + ".dbf"), "");
    base::escribeBytes(base::une(datos, std::string(t) + ".mdx"), "");
  }
}

}  // namespace mostrador::prueba
