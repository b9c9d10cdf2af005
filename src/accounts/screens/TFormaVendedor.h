#pragma once
// TFormaVendedor: the seller screen. A thin view over accounts::CatalogoVendedores: every
// edit carries its field's name ("EditNOMBR_V"), every command its handler's name, and
// the rules live in the engine.

#include <QDialog>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "accounts/vendedores.h"
#include "base/interaccion.h"
#include "base/programas.h"
#include "base/reloj.h"
#include "inventory/reportes_inventario.h"
#include "session/sesion.h"

class QAction;
class QLabel;
class QLineEdit;
class QMenuBar;
class QPushButton;

namespace mostrador::accounts {

class TFormaVendedor : public QDialog {
  Q_OBJECT
 public:
  // derecho(n): right n of the signed-in user.
  TFormaVendedor(AjustesVendedores ajustes, base::Interaccion& ui, const base::Reloj& reloj,
                 std::function<bool(int)> derecho, QWidget* parent = nullptr);
  ~TFormaVendedor() override;

  CatalogoVendedores& motor() { return motor_; }
  // The catalogue browser's double click: browse mode on the key; false when the key is
  // not there (the nearest seller shows).
  bool abreEnClave(const std::string& clave);
  // Where the list reports go (the report runner); until one is given they are refused.
  // origenReporteVendedor() names the table and fields to run each one with.
  void ponEjecutaReporte(std::function<void(const inventory::DefinicionReporte&)> f) { reporte_ = std::move(f); }
  // The program's session (it must outlive the screen): printing goes through it. A
  // screen given none makes one of its own over its settings.
  void ponSesion(session::Sesion& sesion) { sesion_ = &sesion; }

  // Commands.
  void BotonNuevoClick();
  void BotonCambiosClick();
  void BotonGuardarClick();
  void CancelaMovimiento1Click();
  void Eliminar1Click();
  void BotonBuscarClick();
  void Consultas1Click();
  void BotonImprimirClick();
  void BotonPreliminarClick();
  void ElegirFormato1Click();
  void ImprimirRango1Click();
  void Disearformato1Click();
  void ImprimePlantilla1Click();
  void BotonObservacionClick();
  void Temas1Click();
  void Informacion1Click();
  void reporte(const std::string& menu);

 protected:
  void keyPressEvent(QKeyEvent* e) override;
  bool eventFilter(QObject* o, QEvent* e) override;
  void closeEvent(QCloseEvent* e) override;

 private:
  void creaMenus(QMenuBar* barra);
  void creaCampos();
  void pinta();
  void pintaCampos();
  void tomaPendientes();  // what is typed and not yet left, as leaving it would
  void saleCampo(const std::string& campo);
  void ayuda(const std::string& campo);
  bool impresoraLista();
  void imprime(uint32_t registro, const std::string& formato, bool preliminar);
  session::Sesion& sesion();

  base::Interaccion& ui_;
  const base::Reloj& reloj_;
  CatalogoVendedores motor_;
  std::function<void(const inventory::DefinicionReporte&)> reporte_;
  session::Sesion* sesion_ = nullptr;
  std::unique_ptr<base::ProcesosPosix> procesosPropios_;
  std::unique_ptr<session::Sesion> sesionPropia_;
  QMenuBar* barra_ = nullptr;
  std::map<std::string, QLineEdit*> edits_;
  std::map<std::string, QString> pintado_;  // each edit's text as last shown
  QLabel* usuario_ = nullptr;
  QLabel* uno_ = nullptr;
  QLabel* dos_ = nullptr;
  std::vector<QWidget*> soloConsulta_;  // disabled while editing
  std::vector<QAction*> soloConsultaAcciones_;
  std::vector<QWidget*> soloEdicion_;   // enabled only while editing
  std::vector<QAction*> soloEdicionAcciones_;
  bool pintando_ = false;
};

}  // namespace mostrador::accounts
