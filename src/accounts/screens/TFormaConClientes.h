#pragma once
// TFormaConClientes: the customer lookup the screens open from a customer key field.
// Shows "cliente.dbf" positioned at the nearest key; F2 and F3 ask a name or a key and
// position at its nearest value, F4 shows the customers whose name contains a text.
// Enter or a double click answers the CLCLI_C of the row the grid shows (table or
// query), Esc answers nothing.

#include <QDialog>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "base/interaccion.h"
#include "store/dbf/dbf_table.h"

class QLabel;
class QPushButton;

namespace mostrador::sql {
class Resultado;
}

namespace mostrador::ui {
class RejillaConsulta;
}

namespace mostrador::accounts {

class TFormaConClientes : public QDialog {
  Q_OBJECT
 public:
  // ui answers the prompts and messages; nullptr uses the stock dialogs.
  TFormaConClientes(QWidget* padre, const std::string& dirDatos, const std::string& usuario,
                    const std::string& texto, base::Interaccion* ui = nullptr);
  ~TFormaConClientes() override;

  static std::optional<std::string> consulta(QWidget* padre, const std::string& dirDatos,
                                             const std::string& usuario, const std::string& texto);

  std::optional<std::string> resultado() const { return resultado_; }
  ui::RejillaConsulta* rejilla() const { return rejilla_; }

  // The customer screen, when the program has one (taken by each lookup when it is
  // built): BotonClientes opens it (it checks its own right) and it answers the key of
  // the customer it showed last (nullopt: none).
  using PantallaClientes = std::function<std::optional<std::string>(QWidget* padre)>;
  static void registraPantalla(PantallaClientes abre);

 protected:
  void keyPressEvent(QKeyEvent* e) override;

 private:
  void ordena(const char* indice, const QString& titulo, const std::string& texto);
  void pideYOrdena(bool porNombre);  // F2, F3
  void consultaNombre();             // F4
  void clientes();                   // BotonClientes
  void elige();

  std::string dirDatos_;
  std::unique_ptr<base::Interaccion> uiPropia_;
  base::Interaccion* ui_;
  dbf::Table tabla_;
  bool abierta_ = false;
  std::unique_ptr<sql::Resultado> consulta_;
  ui::RejillaConsulta* rejilla_;
  QLabel* usuario_;
  QPushButton* botonClientes_;
  PantallaClientes pantalla_;
  std::optional<std::string> resultado_;
};

}  // namespace mostrador::accounts
