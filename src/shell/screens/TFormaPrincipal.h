#pragma once
// TFormaPrincipal: the main window. A thin view over shell::Principal: menus, the
// toolbar of rounded buttons (right button: description popup), the point-of-sale and
// exit panels, the maintenance panel and the permanent check's timer.
//
// It also is the Pantallas the engine opens screens through. Module screens register
// themselves (registraModulo) under their Pantalla; a command whose screen is not
// registered says so once its rights check has passed.

#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <map>
#include <memory>

#include "session/configuracion.h"
#include "session/sesion.h"
#include "shell/principal.h"

class QAction;
class QLabel;
class QLineEdit;
class QListWidget;
class QTimer;
class QFrame;

namespace mostrador::session {
class TFormaEmpresas;
}

namespace mostrador::ui {
class TPapelTapiz;
class TBotonEsquinado;
}  // namespace mostrador::ui

namespace mostrador::shell {

// How the main window reaches a module screen.
struct Modulo {
  // Shows the screen for that opening (modally, or not for a resident screen).
  std::function<void(const Apertura&)> abre;
  // Resident screens: close every open table (before a company change) ...
  std::function<void()> cierraTablas;
  // ... and close the screen when it is visible (on closing the program).
  std::function<void()> cierraSiVisible;
};

class TFormaPrincipal : public QMainWindow, public Pantallas {
  Q_OBJECT
 public:
  TFormaPrincipal(base::Interaccion& ui, const base::Reloj& reloj, GanchosPrincipal ganchos = {},
                  QWidget* parent = nullptr);
  ~TFormaPrincipal() override;

  Principal& motor() { return principal_; }
  // The run's session: companion programs start through its table.
  void ponSesion(session::Sesion& sesion) { sesion_ = &sesion; }
  // The resident company screen, created after the main window.
  void ponEmpresas(session::TFormaEmpresas* empresas);
  void registraModulo(Pantalla p, Modulo m);
  // Text of a description topic (the popup of a toolbar button).
  void ponDescripciones(std::function<std::string(int tema)> descripcion);
  // Runs the configuration screen's key conversion statements (Local SQL).
  void ponEjecutorSql(session::EjecutaSql ejecuta) { ejecutaSql_ = std::move(ejecuta); }
  // Re-reads the engine's state into the widgets.
  void pinta();

  // Pantallas
  bool disponible(Pantalla p) const override;
  void abre(const Apertura& a) override;
  void cierraTablasResidentes() override;
  void cierraResidentesVisibles() override;
  void cierraVentana(std::string_view titulo) override;
  void ejecutaPrograma(std::string_view programa) override;
  void abreDocumento(std::string_view ruta) override;

  QAction* accion(const QString& nombre) const;
  void muestraDescripcion(const QString& boton);

 protected:
  void showEvent(QShowEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  bool eventFilter(QObject* o, QEvent* e) override;

 private:
  void creaMenus();
  void creaCuerpo();
  // Runs a command of the engine and shows its effects.
  void orden(void (Principal::*comando)());
  QAction* agrega(class QMenu* menu, const QString& nombre, const QString& texto,
                  void (Principal::*comando)(), bool marcable = false);
  void acomoda();
  // The maintenance screens and the start and end steps of "opcion.cnf".
  void registraMantenimiento(const base::Reloj& reloj);

  base::Interaccion& ui_;
  Principal principal_;
  std::map<Pantalla, Modulo> modulos_;
  std::function<std::string(int)> descripcion_;
  session::EjecutaSql ejecutaSql_;
  session::TFormaEmpresas* empresas_ = nullptr;
  bool mostrada_ = false;
  bool cerrando_ = false;

  std::map<QString, QAction*> acciones_;
  ui::TPapelTapiz* fondo_ = nullptr;
  QLabel* logo_ = nullptr;
  QLabel* usuario_ = nullptr;
  QLabel* empresa_ = nullptr;
  QFrame* panel2_ = nullptr;
  QFrame* panel3_ = nullptr;
  QFrame* panel4_ = nullptr;
  QLineEdit* editRuta_ = nullptr;
  QLineEdit* edit1_ = nullptr;
  QLabel* label6_ = nullptr;
  QListWidget* archivosSql_ = nullptr;
  QTimer* timerHora_ = nullptr;
  session::Sesion* sesion_ = nullptr;
};

}  // namespace mostrador::shell
