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

#include "session/empresas.h"
#include "shell/principal.h"
#include "base/programas.h"
#include "base/reloj.h"
#include "session/configuracion.h"
#include "session/sesion.h"

namespace mostrador::session {
class TFormaEmpresas;
}

namespace mostrador::shell {
class TFormaElipse;
class TFormaPrincipal;
}

namespace mostrador::ui {
class InteraccionQt;
}

namespace mostrador::app {


// The main window's hooks into the table engine and the numbering: packing the scratch
// tables and creating the counters. Failures are left to the file check of the sign-in
// and to the screens that use the tables.
shell::GanchosPrincipal ganchosDelSistema();

// The main window's document check (its timer and BitBtn1) and the movement rebuild
// (BotonMI) over the signed-in company; the report goes to "<system>\tempo\revision.txt".
void ponGanchosInventario(shell::Principal& principal, base::Interaccion& ui, const base::Reloj& reloj);

// Local SQL over the data directory the function names when each statement runs, as the
// configuration screen's key conversion needs it; throws when a statement fails.
session::EjecutaSql ejecutorSql(std::function<std::string()> directorioDatos);

// Fills a new demonstration company: every company table with its sample data, the
// station's scratch tables and field dictionary.
void creaDatosDemo(const std::string& sistema, const std::string& datos);

// The format designer, from the main window's format entry (the filter dialog with only
// its format command) and from every filter dialog's format command; also the string
// grids' Enter and Down rule.
void registraDisenoFormatos(shell::TFormaPrincipal& principal, base::Interaccion& ui);

class Aplicacion {
 public:
  explicit Aplicacion(shell::GanchosPrincipal ganchos = {}, bool conSplash = true);
  ~Aplicacion();

  // Step 5: shows the main window (activation follows from the event loop).
  void muestra();

  shell::TFormaPrincipal& principal() { return *principal_; }
  session::TFormaEmpresas& empresas() { return *formaEmpresas_; }
  session::Empresas& motorEmpresas() { return *empresas_; }
  ui::InteraccionQt& interaccion() { return *ui_; }
  // The run's one session: the screens opened from the main window get it.
  session::Sesion& sesion() { return *sesion_; }
  const QString& archivoAyuda() const { return ayuda_; }

 private:
  base::RelojSistema reloj_;
  base::ProcesosPosix procesos_;
  std::unique_ptr<ui::InteraccionQt> ui_;
  std::unique_ptr<session::Sesion> sesion_;
  QPointer<shell::TFormaElipse> splash_;
  QString ayuda_;
  std::unique_ptr<shell::TFormaPrincipal> principal_;
  std::unique_ptr<session::Empresas> empresas_;
  std::unique_ptr<session::TFormaEmpresas> formaEmpresas_;
};

}  // namespace mostrador::app
