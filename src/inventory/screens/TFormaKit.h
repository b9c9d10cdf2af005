#pragma once
// TFormaKit: the components of a kit (Kits.dbf, range on the kit's key). A component
// is typed or chosen with F2 (the product lookup); a kit never contains itself.

#include <QDialog>
#include <string>

#include "base/interaccion.h"

class QLineEdit;
class QTableWidget;

namespace mostrador::inventory {

class TFormaKit : public QDialog {
  Q_OBJECT
 public:
  TFormaKit(std::string dirDatos, std::string dirInventario, std::string dirSistema, std::string kit,
            base::Interaccion& ui, QWidget* parent = nullptr);
  QTableWidget* rejilla() const { return rejilla_; }
  void agrega();
  void quita();

 protected:
  void keyPressEvent(QKeyEvent* e) override;

 private:
  void carga();
  std::string dirDatos_, dirInventario_, dirSistema_, kit_;
  base::Interaccion& ui_;
  QTableWidget* rejilla_;
  QLineEdit* componente_;
  QLineEdit* cantidad_;
};

}  // namespace mostrador::inventory
