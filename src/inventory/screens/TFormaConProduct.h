#pragma once
// TFormaConProduct: the product lookup every screen that takes a product key opens.
// Shows "inventar.dbf" in key, description or bar-code order (F1, F2, F3) positioned
// at the nearest match of the typed text, the price of the chosen level (saved in
// "\precios.cnf" of the system directory), the descriptions containing the text (F4)
// and the package price (F12). Enter (or a double click) answers the row's CLPRO_I,
// Esc answers nothing.

#include <QDialog>
#include <array>
#include <memory>
#include <optional>
#include <string>

#include "shell/interaccion.h"
#include "store/dbf/dbf_table.h"

class QLineEdit;
class QSpinBox;

namespace mostrador::sql {
class Resultado;
}

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
                   const std::string& almacen = {}, shell::Interaccion* ui = nullptr);
  ~TFormaConProduct() override;

  static std::optional<std::string> consulta(QWidget* padre, const std::string& dirInventario,
                                             const std::string& dirSistema, const std::string& texto,
                                             bool multialmacen = false, const std::string& almacen = {});

  std::optional<std::string> resultado() const { return resultado_; }

  Orden orden() const { return orden_; }
  ui::RejillaConsulta* rejilla() const { return rejilla_; }
  int nivelPrecio() const;

  // The price level a quantity earns on the product's ladder: level 1 up to POLI1_I,
  // level n above limit n-1 up to limit n, the last level that matches wins; a quantity
  // that matches none (above every limit, limits out of order, 0) takes the public price.
  static int nivelPorCantidad(const std::array<double, 7>& limites, double q);
  // The package price message of F12 for the product under the cursor.
  static std::string mensajePrecioEmpaque(const dbf::Cursor& producto);

 protected:
  void keyPressEvent(QKeyEvent* e) override;
  bool eventFilter(QObject* o, QEvent* e) override;

 private:
  void ordena(Orden o);
  void consultaDescripcion();  // F4
  void precioEmpaque();        // F12
  void posiciona(const QString& texto);
  void nivelCambia(int nivel);
  void elige();
  void recarga(uint32_t conservar);
  bool prefijoEn(Orden o, const std::string& texto);

  std::string dirInventario_, dirSistema_, almacen_;
  bool multialmacen_;
  std::unique_ptr<shell::Interaccion> uiPropia_;
  shell::Interaccion* ui_;
  dbf::Table tabla_;
  bool abierta_ = false;
  std::unique_ptr<sql::Resultado> consulta_;
  Orden orden_ = Orden::Clave;
  QLineEdit* texto_;
  QSpinBox* nivel_;
  ui::RejillaConsulta* rejilla_;
  std::optional<std::string> resultado_;
};

}  // namespace mostrador::inventory
