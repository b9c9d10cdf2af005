#include "sales/screens/TFormaDescuentoPago.h"

#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "base/numeros.h"
#include "sales/mostrador_venta.h"
#include "sales/texto_venta.h"

namespace mostrador::sales {

TFormaDescuentoPago::TFormaDescuentoPago(std::string dirDatos, const std::vector<std::string>& tipos,
                                         base::Interaccion& ui, QWidget* parent)
    : QDialog(parent), dir_(std::move(dirDatos)), ui_(ui) {
  setObjectName("TFormaDescuentoPago");
  setWindowTitle(QStringLiteral("Descuentos por Tipo de Pago"));
  resize(480, 320);
  auto* v = new QVBoxLayout(this);
  const std::vector<ValorPago> valores = leeValoresPago(dir_, tipos);
  Descuentos = new QTableWidget(static_cast<int>(valores.size()), 3, this);
  Descuentos->setObjectName("Descuentos");
  Descuentos->setHorizontalHeaderLabels(
      {QStringLiteral("Tipo de Pago"), QStringLiteral("Descuento %"), QStringLiteral("Precio (1000 + lista)")});
  Descuentos->horizontalHeader()->setStretchLastSection(true);
  for (int i = 0; i < static_cast<int>(valores.size()); ++i) {
    const ValorPago& p = valores[static_cast<size_t>(i)];
    auto* tipo = new QTableWidgetItem(QString::fromStdString(p.tipo));
    tipo->setFlags(tipo->flags() & ~Qt::ItemIsEditable);
    Descuentos->setItem(i, 0, tipo);
    Descuentos->setItem(i, 1, new QTableWidgetItem(p.descuento ? QString::fromStdString(numeroTexto(*p.descuento)) : QString()));
    Descuentos->setItem(i, 2, new QTableWidgetItem(p.precio ? QString::fromStdString(numeroTexto(*p.precio)) : QString()));
  }
  v->addWidget(Descuentos);
  auto* guardar = new QPushButton(QStringLiteral("Guardar"), this);
  guardar->setObjectName("SpeedButton1");
  guardar->setAutoDefault(false);
  connect(guardar, &QPushButton::clicked, this, [this] {
    if (BotonGuardarClick()) accept();
  });
  v->addWidget(guardar);
}

bool TFormaDescuentoPago::BotonGuardarClick() {
  std::vector<ValorPago> valores;
  for (int i = 0; i < Descuentos->rowCount(); ++i) {
    ValorPago p;
    p.tipo = Descuentos->item(i, 0)->text().toStdString();
    for (int c : {1, 2}) {
      const QTableWidgetItem* it = Descuentos->item(i, c);
      const std::string t = it ? it->text().trimmed().toStdString() : std::string();
      if (t.empty()) continue;
      const auto n = base::leeNumero(t);
      if (!n) {
        ui_.mensaje("\"" + t + "\" no es un número válido (" + p.tipo + ")");
        return false;
      }
      (c == 1 ? p.descuento : p.precio) = *n;
    }
    valores.push_back(std::move(p));
  }
  if (!escribeValoresPago(dir_, valores)) {
    ui_.mensaje("No Pueden Guardarse los Datos ha Ocurrido un Error");
    return false;
  }
  return true;
}

void TFormaDescuentoPago::edita(QWidget* parent, const std::string& dirDatos, const std::vector<std::string>& tipos,
                                base::Interaccion& ui) {
  TFormaDescuentoPago f(dirDatos, tipos, ui, parent);
  f.exec();
}

}  // namespace mostrador::sales
