#include "sales/screens/TFormaClaveRapida.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>

#include "base/numeros.h"
#include "sales/mostrador_venta.h"

namespace mostrador::sales {

namespace {
QString q(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

TFormaClaveRapida::TFormaClaveRapida(std::string dirInventario, base::Interaccion& ui, std::string clave,
                                     QWidget* parent)
    : QDialog(parent), dir_(std::move(dirInventario)), ui_(ui) {
  setObjectName("TFormaClaveRapida");
  setWindowTitle(QStringLiteral("Captura Rápida de Claves"));
  auto* f = new QFormLayout(this);
  auto campo = [this, f](const char* nombre, const QString& etiqueta) {
    auto* e = new QLineEdit(this);
    e->setObjectName(nombre);
    f->addRow(etiqueta, e);
    return e;
  };
  EditCLPRO_I = campo("EditCLPRO_I", QStringLiteral("Clave"));
  EditDSCPR_I = campo("EditDSCPR_I", QStringLiteral("Descripción"));
  EditCODIG_I = campo("EditCODIG_I", QStringLiteral("Código de Barras"));
  EditPPUBL_I = campo("EditPPUBL_I", QStringLiteral("Precio"));
  EditUEMPA_I = campo("EditUEMPA_I", QStringLiteral("Unidad de Empaque"));
  EditCLPRO_I->setText(q(clave));
  EditUEMPA_I->setText(QStringLiteral("1"));
  auto* guardar = new QPushButton(QStringLiteral("Guardar"), this);
  guardar->setObjectName("BotonGuardar");
  guardar->setAutoDefault(false);
  f->addRow(guardar);
  connect(guardar, &QPushButton::clicked, this, [this] { BotonGuardarClick(); });
}

void TFormaClaveRapida::BotonGuardarClick() {
  ProductoRapido p;
  p.clave = EditCLPRO_I->text().toStdString();
  p.descripcion = EditDSCPR_I->text().toStdString();
  p.codigo = EditCODIG_I->text().toStdString();
  const auto precio = base::leeNumero(EditPPUBL_I->text().trimmed().toStdString());
  const auto factor = base::leeNumero(EditUEMPA_I->text().trimmed().toStdString());
  if (!precio || *precio < 0) {
    ui_.mensaje("El Precio \"" + EditPPUBL_I->text().toStdString() + "\" no es un número válido");
    EditPPUBL_I->setFocus();
    return;
  }
  p.precio = *precio;
  p.factor = factor && *factor > 0 ? *factor : 1;
  const std::string m = altaRapida(dir_, p);
  if (!m.empty()) {
    ui_.mensaje(m);
    EditCLPRO_I->setFocus();
    EditCLPRO_I->selectAll();
    return;
  }
  accept();
}

bool TFormaClaveRapida::pide(QWidget* parent, const std::string& dirInventario, base::Interaccion& ui,
                             const std::string& clave) {
  TFormaClaveRapida f(dirInventario, ui, clave, parent);
  return f.exec() == QDialog::Accepted;
}

}  // namespace mostrador::sales
