#pragma once
// TFormaPolitica: the price policy of the current product: the seven prices with their
// margins over the last cost and their quantity limits. Leaving a margin computes and
// posts its price at once.

#include <QDialog>
#include <array>

#include "inventory/catalogo_productos.h"

class QLineEdit;

namespace mostrador::inventory {

class TFormaPolitica : public QDialog {
  Q_OBJECT
 public:
  TFormaPolitica(CatalogoProductos& motor, QWidget* parent = nullptr);
  void saleMargen(int nivel);  // 1..7

 private:
  void pinta();
  void sale(QLineEdit* e, const char* campo);
  CatalogoProductos& motor_;
  std::array<QLineEdit*, 7> precios_{}, margenes_{}, limites_{};
  bool pintando_ = false;
};

}  // namespace mostrador::inventory
