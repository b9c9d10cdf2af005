#pragma once
// TFormaClientes: the customer screen. A thin view over accounts::CatalogoClientes:
// every edit carries its field's name ("EditNOMBR_C"), every command its handler's name,
// and the rules live in the engine. Its companions: the discounts by product line
// (TFormaPoliticaClientes), the contacts (TFormaContactos), the observations and the
// receivables detail of the customer's documents.

#include "accounts/screens/pantalla_cuenta.h"
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "accounts/clientes.h"
#include "base/interaccion.h"
#include "base/programas.h"
#include "base/reloj.h"
#include "inventory/reportes_inventario.h"
#include "session/sesion.h"

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenuBar;
class QPushButton;

namespace mostrador::accounts {

class TFormaClientes : public PantallaCuenta {
  Q_OBJECT
 public:
  TFormaClientes(AjustesClientes ajustes, base::Interaccion& ui, const base::Reloj& reloj,
                 std::function<bool(int)> derecho, QWidget* parent = nullptr);
  ~TFormaClientes() override;

  CatalogoClientes& motor() { return motor_; }
  // The list reports go to the report runner; until one is given they are refused.
  void ponEjecutaReporte(std::function<void(const inventory::DefinicionReporte&)> f) { reporte_ = std::move(f); }
  // The program's session (it must outlive the screen): printing, charts and companion
  // programs go through it. A screen given none makes one of its own.
  void ponSesion(session::Sesion& sesion) { sesion_ = &sesion; }
  // The catalogue browser and the telephone list: positioned on a key, or a new customer
  // with it when crear is set.
  // The key of the customer shown last (the lookup finds it again).

  // Commands.
  void BotonNuevoClick();
  void BotonCambiosClick();
  void BotonGuardarClick();
  void CancelarMovimiento1Click();
  void Eliminar1Click();
  void BotonBuscarClick();
  void BusquedaNoIndexada1Click();
  void Consulta1Click();
  void BotonImprimirClick();
  void BotonPreliminarClick();
  void formatoClick();
  void ImprimeRango1Click();
  void DiseaFormato1Click();
  void ImprimePantilla1Click();
  void reporte(const std::string& menu);
  void BotonSaldoClick();
  // A payment of the customer, applied to its oldest documents due first.
  void BotonAbonoClick();
  void BitBtn1Click();
  void SpeedButton1Click();
  void BotonObservacionClick();
  void BloquearCampo1Click();
  void Temas1Click();
  void Informacion1Click();

 protected:
  bool eventFilter(QObject* o, QEvent* e) override;

 private:
  void creaMenus(QMenuBar* barra);
  void creaCampos();
  void pinta(bool conReglas = true) override;
  void pintaCampos();
  bool tomaPendientes() override;  // what is typed and not yet left, as leaving it would
  bool saleCampo(const std::string& campo) override;
  void ayuda(const std::string& campo);
  void fichaCampo(const std::string& campo);  // F1
  void imprime(bool preliminar);
  bool imprimeActual(const std::string& formato, bool preliminar);
  std::string rutaFormato() const;
  session::Sesion& sesion();
  QString textoDe(const std::string& campo) const;

  base::Interaccion& ui_;
  const base::Reloj& reloj_;
  std::function<bool(int)> derecho_;
  CatalogoClientes motor_;
  std::function<void(const inventory::DefinicionReporte&)> reporte_;
  session::Sesion* sesion_ = nullptr;
  std::unique_ptr<base::ProcesosPosix> procesosPropios_;
  std::unique_ptr<session::Sesion> sesionPropia_;
  std::string formato_;  // the format chosen with `formato`, "" for the configured one
  std::map<std::string, QLineEdit*> edits_;
  std::map<std::string, QComboBox*> listas_;
  std::map<std::string, QString> pintado_;
  std::vector<std::string> orden_;
  QMenuBar* barra_ = nullptr;
  QLabel* cargo_ = nullptr;
  QLabel* abono_ = nullptr;
  QLabel* estado_ = nullptr;
  QLabel* uno_ = nullptr;
  QLabel* dos_ = nullptr;
  QLabel* usuario_ = nullptr;
  QLabel* modo_ = nullptr;
  QPushButton* guardar_ = nullptr;
  QAction* guardarAccion_ = nullptr;
  QAction* cancelarAccion_ = nullptr;
  QAction* bloquear_ = nullptr;
  std::vector<QWidget*> soloConsulta_;
  std::vector<QAction*> soloConsultaAcciones_;
  bool pintando_ = false;
};

}  // namespace mostrador::accounts
