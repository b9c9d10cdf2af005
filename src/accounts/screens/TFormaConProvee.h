#pragma once
// TFormaConProvee: the supplier lookup. Shows "proveedo.dbf" by key (ICLAPRO) positioned
// at the nearest key to the text given; F2 and F3 ask a name or a key and position at its
// nearest value. Enter or a double click answers the CLAVE_P of the current row, Esc
// answers nothing.

#include <QDialog>
#include <memory>
#include <optional>
#include <string>

#include "base/interaccion.h"
#include "store/dbf/dbf_table.h"

namespace mostrador::ui {
class RejillaConsulta;
}

namespace mostrador::accounts {

class TFormaConProvee : public QDialog {
  Q_OBJECT
 public:
  // ui answers the prompts and messages; nullptr uses the stock dialogs.
  TFormaConProvee(QWidget* padre, const std::string& dirDatos, const std::string& texto,
                  base::Interaccion* ui = nullptr);
  ~TFormaConProvee() override;

  static std::optional<std::string> consulta(QWidget* padre, const std::string& dirDatos, const std::string& texto);

  std::optional<std::string> resultado() const { return resultado_; }
  ui::RejillaConsulta* rejilla() const { return rejilla_; }

 protected:
  void keyPressEvent(QKeyEvent* e) override;

 private:
  void ordena(const char* indice, const QString& titulo, const std::string& texto);
  void pideYOrdena(bool porNombre);
  void elige();

  std::string dirDatos_;
  std::unique_ptr<base::Interaccion> uiPropia_;
  base::Interaccion* ui_;
  dbf::Table tabla_;
  bool abierta_ = false;
  ui::RejillaConsulta* rejilla_;
  std::optional<std::string> resultado_;
};

}  // namespace mostrador::accounts
