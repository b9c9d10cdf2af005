#pragma once
// TFormaInventario: the product catalogue screen. A thin view over
// inventory::CatalogoProductos: every edit carries its field's name ("EditDSCPR_I"),
// every command its handler's name, and the rules live in the engine.

#include <QDialog>
#include <functional>
#include <optional>
#include <map>
#include <memory>
#include <string>

#include "inventory/catalogo_productos.h"
#include "inventory/reportes_inventario.h"
#include "base/interaccion.h"
#include "base/reloj.h"

class QLabel;
class QLineEdit;
class QCheckBox;
class QSpinBox;
class QMenuBar;
class QPushButton;
class QAction;

#include "base/programas.h"
#include "inventory/movimientos.h"
#include "session/sesion.h"

namespace mostrador::inventory {

class TFormaInventario : public QDialog {
  Q_OBJECT
 public:
  // dirSistema: the system (and working) directory; derecho(n): right n of the user.
  TFormaInventario(AjustesCatalogo ajustes, std::string dirSistema, base::Interaccion& ui,
                   const base::Reloj& reloj, std::function<bool(int)> derecho, QWidget* parent = nullptr);
  ~TFormaInventario() override;

  // The quick creation of the sales screen: opens in New mode with the key typed there;
  // true when the product was saved.
  static bool altaRapida(AjustesCatalogo ajustes, std::string dirSistema, base::Interaccion& ui,
                         const base::Reloj& reloj, std::function<bool(int)> derecho, const std::string& clave,
                         QWidget* parent = nullptr);

  CatalogoProductos& motor() { return motor_; }
  // The supplier lookup of CLPR1_I and CLPR2_I (F2 on those edits), registered by the
  // program: given the data directory and the text typed, it answers the supplier key
  // chosen (nullopt: none). Without one, F2 there does nothing.
  using ConsultaProveedores =
      std::function<std::optional<std::string>(QWidget* padre, const std::string& dirDatos, const std::string& texto)>;
  static void registraConsultaProveedores(ConsultaProveedores consulta);
  // F2 on a supplier field: the lookup's answer goes into the field.
  void EditProveedorKeyDown(const std::string& campo);
  // Where the list reports go (the report runner); until one is given they are refused.
  void ponEjecutaReporte(std::function<void(const DefinicionReporte&)> f) { reporte_ = std::move(f); }
  bool guardado() const { return guardado_; }
  // The program's session (it must outlive the screen): printing and companion programs
  // go through it. A screen given none makes one of its own over its settings.
  void ponSesion(session::Sesion& sesion) { sesion_ = &sesion; }

  // Commands.
  void BotonNuevoClick();
  void BotonCambiosClick();
  void BotonGuardarClick();
  void Eliminar1Click();
  void BotonBuscarClick();
  void Clave1Click();
  void Dscripcin1Click();
  void Cdigo21Click();
  void ImprimeCdigo1Click();
  void PolticadePrecios1Click();
  void Informacion1Click();
  void SpeedButton1Click();
  void SpeedButton2Click();
  void ImagenDblClick();
  void BotonObservacionClick();
  void Repetir1Click();
  void ChecarStocks1Click();
  void ConfiguraClave1Click();
  void RutasKardex1Click();
  void NoAlmacenChange();
  void Temas1Click();
  void EditTICOS_IKeyDown();
  void reporte(ReporteInventario r);
  void BotonImprimirClick();
  void BotonPreliminarClick();

 protected:
  void keyPressEvent(QKeyEvent* e) override;
  bool eventFilter(QObject* o, QEvent* e) override;
  void closeEvent(QCloseEvent* e) override;

 private:
  void creaMenus(QMenuBar* barra);
  void creaCampos();
  void pinta(bool conReglas = true);  // fields, labels and, with the rules, the display rules
  void pintaCampos();
  void saleCampo(const std::string& campo);
  void modoCambio();
  void ayuda(const std::string& campo);
  void imprime(bool preliminar);

  std::string dirSistema_;
  base::Interaccion& ui_;
  const base::Reloj& reloj_;
  std::function<bool(int)> derecho_;
  CatalogoProductos motor_;
  std::function<void(const DefinicionReporte&)> reporte_;
  session::Sesion* sesion_ = nullptr;
  std::unique_ptr<base::ProcesosPosix> procesosPropios_;
  std::unique_ptr<session::Sesion> sesionPropia_;
  session::Sesion& sesion();
  // The eight kardex and stock commands of the Kardex menu, by control name.
  void comandoKardex(const std::string& comando);
  AjustesMovimientos ajustesMovimientos() const;
  std::map<std::string, QLineEdit*> edits_;
  std::map<std::string, QString> pintado_;  // each edit's text as last shown
  std::vector<std::string> orden_;  // field order (the help file's order too)
  QLineEdit* clave_ = nullptr;
  QCheckBox* serie_ = nullptr;
  QCheckBox* kit_ = nullptr;
  QSpinBox* almacen_ = nullptr;
  QLabel* imagen_ = nullptr;
  QLabel* rutaImagen_ = nullptr;
  QLabel* empaques_ = nullptr;
  QLabel* caracteres_ = nullptr;
  QLabel* disponible_ = nullptr;
  QLabel* estado_ = nullptr;
  QLabel* uno_ = nullptr;
  QLabel* dos_ = nullptr;
  QPushButton* guardar_ = nullptr;
  std::vector<QWidget*> soloConsulta_;  // disabled while editing
  std::vector<QAction*> soloConsultaAcciones_;
  bool guardado_ = false;
  bool pintando_ = false;
};

}  // namespace mostrador::inventory
