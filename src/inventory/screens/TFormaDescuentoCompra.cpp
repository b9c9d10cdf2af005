#include "inventory/screens/TFormaDescuentoCompra.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/numeros.h"
#include "base/rutas.h"
#include "base/texto.h"

namespace mostrador::inventory {

namespace {
QString cifra(double v) { return QString::fromStdString(base::formateaMascara(v, "##0.00")); }
}  // namespace

std::string TFormaDescuentoCompra::archivo(const std::string& dirSistema) {
  return base::une(dirSistema, "DescentosCompra.cnf");
}

std::array<double, 3> TFormaDescuentoCompra::ultimos(const std::string& dirSistema) {
  std::array<double, 3> d{};
  const auto lineas = base::leeLineas(archivo(dirSistema));
  if (!lineas) return d;
  for (size_t k = 0; k < d.size() && k < lineas->size(); ++k) d[k] = base::leeNumero((*lineas)[k]).value_or(0);
  return d;
}

TFormaDescuentoCompra::TFormaDescuentoCompra(std::string dirSistema, QWidget* parent)
    : QDialog(parent), dirSistema_(std::move(dirSistema)) {
  setObjectName("TFormaDescuentoCompra");
  setWindowTitle("Descuentos de la Partida");
  auto* todo = new QVBoxLayout(this);
  auto* campos = new QFormLayout;
  const std::array<double, 3> previos = ultimos(dirSistema_);
  const char* nombres[] = {"EditDescuento", "EditDescuento2", "EditDescuento3"};
  const char* etiquetas[] = {"Descuento 1 %", "Descuento 2 %", "Descuento 3 %"};
  for (size_t k = 0; k < edits_.size(); ++k) {
    edits_[k] = new QLineEdit(cifra(previos[k]), this);
    edits_[k]->setObjectName(nombres[k]);
    campos->addRow(etiquetas[k], edits_[k]);
  }
  todo->addLayout(campos);
  auto* botones = new QHBoxLayout;
  auto* aceptar = new QPushButton("Aceptar", this);
  aceptar->setObjectName("BotonAceptar");
  aceptar->setDefault(true);
  auto* cancelar = new QPushButton("Cancelar", this);
  cancelar->setObjectName("BotonCancelar");
  botones->addWidget(aceptar);
  botones->addWidget(cancelar);
  todo->addLayout(botones);
  connect(aceptar, &QPushButton::clicked, this, [this] { BotonAceptarClick(); });
  connect(cancelar, &QPushButton::clicked, this, &QDialog::reject);
}

std::array<double, 3> TFormaDescuentoCompra::descuentos() const {
  std::array<double, 3> d{};
  for (size_t k = 0; k < d.size(); ++k)
    d[k] = base::leeNumero(edits_[k]->text().trimmed().remove(',').toStdString()).value_or(0);
  return d;
}

bool TFormaDescuentoCompra::BotonAceptarClick() {
  const std::array<double, 3> d = descuentos();
  std::vector<std::string> lineas;
  for (size_t k = 0; k < d.size(); ++k) {
    if (d[k] < 0 || d[k] > 100) {
      edits_[k]->setFocus();
      edits_[k]->selectAll();
      return false;
    }
    lineas.push_back(base::formateaMascara(d[k], "0.00"));
  }
  base::escribeLineas(archivo(dirSistema_), lineas);
  accept();
  return true;
}

}  // namespace mostrador::inventory
