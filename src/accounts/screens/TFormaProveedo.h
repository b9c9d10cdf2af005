#pragma once
// TFormaProveedo: the supplier screen. A thin view over accounts::CatalogoProveedores:
// every edit carries its field's name ("EditNOMBR_P"), every command its handler's name,
// and the rules live in the engine. New proposes the key, which stays editable.

#include "accounts/screens/pantalla_cuenta.h"
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "accounts/proveedores.h"
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

class TFormaProveedo : public PantallaCuenta {
  Q_OBJECT
 public:
  TFormaProveedo(AjustesProveedores ajustes, base::Interaccion& ui, const base::Reloj& reloj,
                 std::function<bool(int)> derecho, QWidget* parent = nullptr);
  ~TFormaProveedo() override;

  CatalogoProveedores& motor() { return motor_; }
  void ponEjecutaReporte(std::function<void(const inventory::DefinicionReporte&)> f) { reporte_ = std::move(f); }
  void ponSesion(session::Sesion& sesion) { sesion_ = &sesion; }
  QString etiqueta(const char* nombre) const;

  void BotonNuevoClick();
  void BotonCambiosClick();
  void BotonGuardarClick();
  void CancelarMovimiento1Click();
  void Eliminar1Click();
  void BotonBuscarClick();
  void BusquedaNoIndexada1Click();
  void BotonImprimirClick();
  void ElegirFormato1Click();
  void reporte(const std::string& menu);
  void SpeedButton1Click();  // contacts
  void BotonObservacionClick();
  // The supplier's balance: the payables inquiry on this supplier (right 7). The main
  // window hides it.
  void SaldoClick();
  void Temas1Click();

 protected:
  bool eventFilter(QObject* o, QEvent* e) override;

 private:
  void creaMenus(QMenuBar* barra);
  void creaCampos();
  void pinta(bool conReglas = true) override;
  void pintaCampos();
  bool tomaPendientes() override;
  bool saleCampo(const std::string& campo) override;
  std::string rutaFormato() const;
  session::Sesion& sesion();

  base::Interaccion& ui_;
  const base::Reloj& reloj_;
  std::function<bool(int)> derecho_;
  CatalogoProveedores motor_;
  std::function<void(const inventory::DefinicionReporte&)> reporte_;
  session::Sesion* sesion_ = nullptr;
  std::unique_ptr<base::ProcesosPosix> procesosPropios_;
  std::unique_ptr<session::Sesion> sesionPropia_;
  std::string formato_;
  std::map<std::string, QLineEdit*> edits_;
  std::map<std::string, QString> pintado_;
  std::vector<std::string> orden_;
  QMenuBar* barra_ = nullptr;
  QLabel *cargo_ = nullptr, *abono_ = nullptr, *estado_ = nullptr, *modo_ = nullptr;
  QPushButton* guardar_ = nullptr;
  QAction *guardarAccion_ = nullptr, *cancelarAccion_ = nullptr;
  std::vector<QWidget*> soloConsulta_;
  std::vector<QAction*> soloConsultaAcciones_;
  bool pintando_ = false;
};

}  // namespace mostrador::accounts
