#pragma once
// TFormaConfiguracionGeneral: the company configuration file of any company (Edit0) and
// the users page. A view over ValoresConfiguracion and PaginaUsuarios; every control
// of the line map carries its control name.

#include <QDialog>
#include <functional>
#include <map>
#include <string>

#include "session/configuracion.h"
#include "base/interaccion.h"
#include "session/usuarios.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTabWidget;

namespace mostrador::session {

class TFormaConfiguracionGeneral : public QDialog {
  Q_OBJECT
 public:
  // ejecuta runs the key conversion statements; without it the conversion is not offered.
  // descripcion gives a topic's text for the users page's popups.
  TFormaConfiguracionGeneral(base::Interaccion& ui, std::string directorioSistema,
                             std::string directorioDatos, EjecutaSql ejecuta = {},
                             std::function<std::string(int)> descripcion = {},
                             QWidget* parent = nullptr);

  void ponUsuario(const QString& usuario);

  // Handlers.
  void Edit0Change(int n);
  void BotonGuardarClick();
  void Edit1DblClick(QLineEdit* campo);
  void Edit12DblClick(QLineEdit* campo);
  void SpeedButton1Click();
  void SpeedButton2Click();
  void SpeedButton3Click();

  const ValoresConfiguracion& valores() const { return valores_; }
  PaginaUsuarios& paginaUsuarios() { return pagina_; }
  // Users page controls, index 0 is right 1.
  QCheckBox* casillaDerecho(int derecho) const;
  static QString nombreCasillaDerecho(int derecho);

 protected:
  void showEvent(QShowEvent* e) override;
  bool eventFilter(QObject* o, QEvent* e) override;

 private:
  QWidget* creaPagina(const QString& titulo, const std::vector<int>& lineas);
  QWidget* creaPaginaUsuarios();
  void pintaValores();
  void recogeValores();
  void pintaUsuario();
  void recogeUsuario();

  base::Interaccion& ui_;
  std::string sistema_, datos_;
  EjecutaSql ejecuta_;
  std::function<std::string(int)> descripcion_;
  ValoresConfiguracion valores_;
  PaginaUsuarios pagina_;

  QTabWidget* folder_;
  QSpinBox* edit0_;
  QPushButton* botonGuardar_;
  QLabel* usuario_;
  std::map<std::string, QWidget*> controles_;
  QRadioButton* vistaClasica_ = nullptr;

  QSpinBox* nume_;
  QLineEdit* edit26_;
  QLineEdit* edit25_;
  std::vector<QCheckBox*> derechos_;
  QPushButton *botonNuevo_, *botonCambios_, *botonGuarda_, *botonElimina_;
  bool pintando_ = false;
};

}  // namespace mostrador::session
