#pragma once
// TFormaAdicionalProducto: the product's further data. Shown: the creation date and
// user, the last purchase and sale dates, the quantity on order and the invoiced stock;
// typed: the secondary grouping (LITEM_I) and the two FPGC factors (FPGCC_I, FPGCI_I).

#include <QDialog>
#include <map>
#include <string>

#include "inventory/catalogo_productos.h"

class QLineEdit;

namespace mostrador::inventory {

class TFormaAdicionalProducto : public QDialog {
  Q_OBJECT
 public:
  TFormaAdicionalProducto(CatalogoProductos& motor, QWidget* parent = nullptr);
  static const std::vector<std::pair<const char*, const char*>>& campos();
  static bool editable(const std::string& campo);

 private:
  void pinta();
  CatalogoProductos& motor_;
  std::map<std::string, QLineEdit*> edits_;
  bool pintando_ = false;
};

}  // namespace mostrador::inventory
