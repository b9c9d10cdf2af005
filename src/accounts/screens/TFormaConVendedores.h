#pragma once
// TFormaConVendedores: the seller lookup of every seller key field. Shows "vendedor.dbf"
// in key order positioned at the nearest key; Enter or a double click answers the row's
// CLVEN_V, Esc answers nothing.

#include <QDialog>
#include <optional>
#include <string>

#include "store/dbf/dbf_table.h"

namespace mostrador::ui {
class RejillaConsulta;
}

namespace mostrador::accounts {

class TFormaConVendedores : public QDialog {
  Q_OBJECT
 public:
  TFormaConVendedores(QWidget* padre, const std::string& dirDatos, const std::string& texto);
  ~TFormaConVendedores() override;

  static std::optional<std::string> consulta(QWidget* padre, const std::string& dirDatos,
                                             const std::string& texto);

  std::optional<std::string> resultado() const { return resultado_; }
  ui::RejillaConsulta* rejilla() const { return rejilla_; }

 protected:
  void keyPressEvent(QKeyEvent* e) override;

 private:
  void elige();

  dbf::Table tabla_;
  ui::RejillaConsulta* rejilla_;
  std::optional<std::string> resultado_;
};

}  // namespace mostrador::accounts
