#pragma once
// The program's windows in start-up order:
//   1. the splash TFormaElipse, painted at once;
//   2. the help file name;
//   3. the main window (its creation makes sure of the initialisation file);
//   4. the other resident screens: TFormaEmpresas records the current directory as
//      the start directory and reads the preselected company;
//   5. the splash goes; the main window is shown (packing, numbering) and, once on
//      screen, activated (the company screen, quick start).

#include <QPointer>
#include <memory>

#include "shell/empresas.h"
#include "shell/principal.h"
#include "shell/reloj.h"

namespace mostrador::ui {
class InteraccionQt;
}

namespace mostrador::shell {

class TFormaElipse;
class TFormaEmpresas;
class TFormaPrincipal;

// The main window's hooks into the table engine and the numbering: packing the scratch
// tables and creating the counters. Failures are left to the file check of the sign-in
// and to the screens that use the tables.
GanchosPrincipal ganchosDelSistema();

// Fills a new demonstration company: every company table with its sample data, the
// station's scratch tables and field dictionary.
void creaDatosDemo(const std::string& sistema, const std::string& datos);

class Aplicacion {
 public:
  explicit Aplicacion(GanchosPrincipal ganchos = {}, bool conSplash = true);
  ~Aplicacion();

  // Step 5: shows the main window (activation follows from the event loop).
  void muestra();

  TFormaPrincipal& principal() { return *principal_; }
  TFormaEmpresas& empresas() { return *formaEmpresas_; }
  Empresas& motorEmpresas() { return *empresas_; }
  ui::InteraccionQt& interaccion() { return *ui_; }
  const QString& archivoAyuda() const { return ayuda_; }

 private:
  RelojSistema reloj_;
  std::unique_ptr<ui::InteraccionQt> ui_;
  QPointer<TFormaElipse> splash_;
  QString ayuda_;
  std::unique_ptr<TFormaPrincipal> principal_;
  std::unique_ptr<Empresas> empresas_;
  std::unique_ptr<TFormaEmpresas> formaEmpresas_;
};

}  // namespace mostrador::shell
