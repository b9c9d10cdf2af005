#include "sales/screens/TFormaDivisa.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <array>

namespace mostrador::sales {
namespace {

struct Columna {
  const char* titulo;
  int ancho;
  std::string base::Moneda::*campo;
};

const std::array<Columna, 7>& columnas() {
  static const std::array<Columna, 7> c = {{{"Divisa", 60, &base::Moneda::nombre},
                                            {"Valor", 60, &base::Moneda::valor},
                                            {"Singular", 100, &base::Moneda::singular},
                                            {"Plural", 70, &base::Moneda::plural},
                                            {"Plural", 70, &base::Moneda::segundoPlural},
                                            {"Abrev. Divisa", 70, &base::Moneda::abreviatura},
                                            {"Símbolo Mone.", 70, &base::Moneda::simbolo}}};
  return c;
}

}  // namespace

TFormaDivisa::TFormaDivisa(QWidget* padre, const std::string& dirDatos, base::Interaccion& ui)
    : QDialog(padre), dirDatos_(dirDatos), ui_(ui) {
  setObjectName("TFormaDivisa");
  setWindowTitle("Divisas");
  setModal(true);
  resize(620, 360);
  auto* l = new QVBoxLayout(this);
  auto* botones = new QHBoxLayout;
  auto* guardar = new QPushButton("&Guardar", this);
  guardar->setObjectName("SpeedButton1");
  guardar->setAutoDefault(false);
  auto* salir = new QPushButton("&Salir", this);
  salir->setObjectName("SpeedButton2");
  salir->setAutoDefault(false);
  botones->addWidget(guardar);
  botones->addWidget(salir);
  botones->addStretch(1);
  l->addLayout(botones);

  monedas_ = new QTableWidget(kFilas, static_cast<int>(columnas().size()), this);
  monedas_->setObjectName("Monedas");
  monedas_->verticalHeader()->hide();
  for (int c = 0; c < static_cast<int>(columnas().size()); ++c) {
    monedas_->setHorizontalHeaderItem(c, new QTableWidgetItem(QString::fromUtf8(columnas()[c].titulo)));
    monedas_->setColumnWidth(c, columnas()[c].ancho);
  }
  for (int f = 0; f < kFilas; ++f)
    for (int c = 0; c < static_cast<int>(columnas().size()); ++c) monedas_->setItem(f, c, new QTableWidgetItem);
  l->addWidget(monedas_, 1);

  // The file may hold fewer records than the grid has rows (or more, from a longer grid).
  const auto leidas = base::leeMonedas(dirDatos_);
  const int n = std::min<int>(kFilas, static_cast<int>(leidas.size()));
  for (int f = 0; f < n; ++f)
    for (int c = 0; c < static_cast<int>(columnas().size()); ++c)
      monedas_->item(f, c)->setText(QString::fromStdString(leidas[f].*columnas()[c].campo));

  connect(guardar, &QPushButton::clicked, this, &TFormaDivisa::SpeedButton1Click);
  connect(salir, &QPushButton::clicked, this, &QDialog::accept);
}

void TFormaDivisa::edita(QWidget* padre, const std::string& dirDatos, base::Interaccion& ui) {
  TFormaDivisa d(padre, dirDatos, ui);
  d.exec();
}

std::vector<base::Moneda> TFormaDivisa::monedas() const {
  std::vector<base::Moneda> r(kFilas);
  for (int f = 0; f < kFilas; ++f)
    for (int c = 0; c < static_cast<int>(columnas().size()); ++c)
      r[f].*columnas()[c].campo = monedas_->item(f, c)->text().toStdString();
  return r;
}

void TFormaDivisa::SpeedButton1Click() {
  if (!base::escribeMonedas(dirDatos_, monedas()))
    ui_.mensaje("No Pueden Guardarse los Datos ha Ocurrido un Error");
}

}  // namespace mostrador::sales
