#include "inventory/screens/TFormaRutaKardex.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "inventory/complementos_producto.h"
#include "store/dbf/dbf_table.h"

namespace mostrador::inventory {

TFormaRutaKardex::TFormaRutaKardex(std::string dirDatos, base::Interaccion& ui, QWidget* parent)
    : QDialog(parent), dirDatos_(std::move(dirDatos)), ui_(ui) {
  setObjectName("TFormaRutaKardex");
  setWindowTitle("Rutas para el Kardex");
  resize(520, 320);
  auto* l = new QVBoxLayout(this);
  rejilla_ = new QTableWidget(0, 1, this);
  rejilla_->setObjectName("Rutas");
  rejilla_->setHorizontalHeaderLabels({"Ruta"});
  rejilla_->horizontalHeader()->setStretchLastSection(true);
  l->addWidget(rejilla_, 1);
  std::vector<std::string> rutas;
  try {
    rutas = leeRutas(dirDatos_);
  } catch (const dbf::Error&) {
    ui_.mensaje("Ha Ocurrido un Error al Abrir una de las Bases de Datos.");
  }
  rejilla_->setRowCount(static_cast<int>(rutas.size()) + 1);
  for (int f = 0; f < static_cast<int>(rutas.size()); ++f)
    rejilla_->setItem(f, 0, new QTableWidgetItem(QString::fromStdString(rutas[static_cast<size_t>(f)])));
  auto* b = new QHBoxLayout;
  auto* agregar = new QPushButton("Agregar", this);
  agregar->setObjectName("BotonAgregar");
  auto* guardar = new QPushButton("Guardar", this);
  guardar->setObjectName("BotonGuardar");
  for (auto* p : {agregar, guardar}) {
    p->setAutoDefault(false);
    b->addWidget(p);
  }
  connect(agregar, &QPushButton::clicked, this, [this] { rejilla_->setRowCount(rejilla_->rowCount() + 1); });
  connect(guardar, &QPushButton::clicked, this, [this] {
    if (guarda()) accept();
  });
  l->addLayout(b);
}

bool TFormaRutaKardex::guarda() {
  std::vector<std::string> rutas;
  for (int f = 0; f < rejilla_->rowCount(); ++f)
    if (auto* i = rejilla_->item(f, 0)) rutas.push_back(i->text().toStdString());
  try {
    return guardaRutas(dirDatos_, rutas);
  } catch (const dbf::Error&) {
    ui_.mensaje("No se Pueden Guardar los Datos ha Ocurrido un Error");
    return false;
  }
}

}  // namespace mostrador::inventory
