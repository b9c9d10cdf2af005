#pragma once
// TFormaConProduct: the product lookup every screen that takes a product key opens.
// Shows "inventar.dbf" in key, description or bar-code order (F1, F2, F3) positioned
// at the nearest match of the typed text, the price of the chosen level (saved in
// "\precios.cnf" of the system directory), the descriptions containing the text (F4)
// and the package price (F12). The grid reads only the rows around what it shows. Enter (or a double click) answers the row's CLPRO_I,
// Esc answers nothing.

#include <QDialog>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "base/interaccion.h"
#include "store/dbf/dbf_table.h"

class QLineEdit;
class QSpinBox;

namespace mostrador::ui {
class RejillaConsulta;
}

namespace mostrador::inventory {

class TFormaConProduct : public QDialog {
  Q_OBJECT
 public:
  enum class Orden { Clave, Descripcion, Codigo, Consulta };

  // ui answers the messages and prompts; nullptr uses the stock dialogs.
  TFormaConProduct(QWidget* padre, const std::string& dirInventario, const std::string& dirSistema,
                   const std::string& texto, bool multialmacen = false,
                   const std::string& almacen = {}, base::Interaccion* ui = nullptr);
  ~TFormaConProduct() override;

  static std::optional<std::string> consulta(QWidget* padre, const std::string& dirInventario,
                                             const std::string& dirSistema, const std::string& texto,
                                             bool multialmacen = false, const std::string& almacen = {});

  std::optional<std::string> resultado() const { return resultado_; }

  Orden orden() const { return orden_; }
  ui::RejillaConsulta* rejilla() const { return rejilla_; }
  int nivelPrecio() const;


 protected:
  void keyPressEvent(QKeyEvent* e) override;
  bool eventFilter(QObject* o, QEvent* e) override;

 private:
  // Shows the order; positioned at the nearest match of texto when given, else on the
  // product that was current.
  void ordena(Orden o, const QString* texto = nullptr);
  void consultaDescripcion();  // F4
  void precioEmpaque();        // F12
  void posiciona(const QString& texto);
  void nivelCambia(int nivel);
  void elige();
  void recarga(uint32_t conservar);
  std::function<bool(const dbf::Cursor&)> filtroAlmacen() const;
  bool prefijoEn(Orden o, const std::string& texto);

  std::string dirInventario_, dirSistema_, almacen_;
  bool multialmacen_;
  std::unique_ptr<base::Interaccion> uiPropia_;
  base::Interaccion* ui_;
  dbf::Table tabla_;
  bool abierta_ = false;
  Orden orden_ = Orden::Clave;
  QLineEdit* texto_;
  QSpinBox* nivel_;
  ui::RejillaConsulta* rejilla_;
  std::optional<std::string> resultado_;
};

}  // namespace mostrador::inventory
