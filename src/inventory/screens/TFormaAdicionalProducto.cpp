#include "inventory/screens/TFormaAdicionalProducto.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>

#include "ui/dialogos.h"

namespace mostrador::inventory {

const std::vector<std::pair<const char*, const char*>>& TFormaAdicionalProducto::campos() {
  static const std::vector<std::pair<const char*, const char*>> c{
      {"FEALT_I", "Fecha de Alta"},          {"HORAF_F", "Usuario que lo dio de Alta"},
      {"FEULC_I", "Última Compra"},          {"FEULV_I", "Última Venta"},
      {"COMRE_I", "Pedido a Proveedores"},   {"EXIFA_I", "Existencia Facturada"},
      {"LITEM_I", "Agrupación Secundaria"},  {"FPGCC_I", "Factor FPGC"},
      {"FPGCI_I", "Factor FPGC (Impuesto)"},
  };
  return c;
}

bool TFormaAdicionalProducto::editable(const std::string& campo) {
  return campo == "LITEM_I" || campo == "FPGCC_I" || campo == "FPGCI_I";
}

TFormaAdicionalProducto::TFormaAdicionalProducto(CatalogoProductos& motor, QWidget* parent)
    : QDialog(parent), motor_(motor) {
  setObjectName("TFormaAdicionalProducto");
  setWindowTitle("Información Adicional " + QString::fromStdString(motor_.texto("CLPRO_I")));
  auto* f = new QFormLayout(this);
  for (const auto& [campo, etiqueta] : campos()) {
    auto* e = new QLineEdit(this);
    e->setObjectName(QString("Edit") + campo);
    e->setReadOnly(!editable(campo));
    edits_[campo] = e;
    f->addRow(etiqueta, e);
    const std::string c = campo;
    if (editable(c))
      connect(e, &QLineEdit::editingFinished, this, [this, c, e] {
        if (pintando_ || e->text().toStdString() == motor_.texto(c)) return;
        motor_.ponTexto(c, e->text().toStdString());
        pinta();
      });
  }
  auto* cerrar = new QPushButton("Cerrar", this);
  cerrar->setObjectName("BotonCerrar");
  cerrar->setAutoDefault(false);
  connect(cerrar, &QPushButton::clicked, this, &QDialog::accept);
  f->addRow(cerrar);
  ui::instalaNavegacion(this);
  pinta();
}

void TFormaAdicionalProducto::pinta() {
  pintando_ = true;
  for (auto& [c, e] : edits_) e->setText(QString::fromStdString(motor_.texto(c)));
  pintando_ = false;
}

}  // namespace mostrador::inventory
