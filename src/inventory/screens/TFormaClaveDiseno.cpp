#include "inventory/screens/TFormaClaveDiseno.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "inventory/complementos_producto.h"
#include "store/dbf/dbf_table.h"

namespace mostrador::inventory {

TFormaClaveDiseno::TFormaClaveDiseno(std::string dirInventario, std::string dirTrabajo, base::Interaccion& ui,
                                     QWidget* parent)
    : QDialog(parent), dirInventario_(std::move(dirInventario)), dirTrabajo_(std::move(dirTrabajo)), ui_(ui) {
  setObjectName("TFormaClaveDiseno");
  setWindowTitle("Valores para Clave");
  resize(720, 560);
  auto* l = new QVBoxLayout(this);
  auto* g = new QGridLayout;
  const auto guardadas = leeListasClaves(dirTrabajo_);
  for (int i = 0; i < 4; ++i) {
    listas_[i] = new QLineEdit(QString::fromStdString(guardadas[i]), this);
    listas_[i]->setObjectName(QString("Dato%1").arg(i + 1));
    g->addWidget(new QLabel(QString("Dato%1").arg(i + 1), this), i, 0);
    g->addWidget(listas_[i], i, 1, 1, 3);
  }
  static const char* etiquetas[9] = {"Línea", "Stock Mínimo", "Último Costo", "Precio Público", "Precio 2",
                                     "Precio 3", "Cantidad 1", "Cantidad 2", "Cantidad 3"};
  for (int i = 0; i < 9; ++i) {
    comunes_[i] = new QLineEdit(this);
    comunes_[i]->setObjectName(QString("Edit") + kCamposComunes[i]);
    g->addWidget(new QLabel(etiquetas[i], this), 4 + i / 2, (i % 2) * 2);
    g->addWidget(comunes_[i], 4 + i / 2, (i % 2) * 2 + 1);
  }
  l->addLayout(g);
  claves_ = new QTableWidget(0, 2, this);
  claves_->setObjectName("Claves");
  claves_->setHorizontalHeaderLabels({"Clave", "Descripción"});
  claves_->horizontalHeader()->setStretchLastSection(true);
  l->addWidget(claves_, 1);
  auto* b = new QHBoxLayout;
  total_ = new QLabel("Total de Claves 0", this);
  total_->setObjectName("LabelTotal");
  b->addWidget(total_, 1);
  auto boton = [&](const char* n, const char* t, std::function<void()> f) {
    auto* p = new QPushButton(t, this);
    p->setObjectName(n);
    p->setAutoDefault(false);
    connect(p, &QPushButton::clicked, this, std::move(f));
    b->addWidget(p);
  };
  boton("BotonCombinar", "Combinar", [this] { combina(); });
  boton("BotonGenerar", "Generar", [this] { genera(); });
  boton("BotonGuardar", "Guardar Valores", [this] { guarda(); });
  l->addLayout(b);
}

void TFormaClaveDiseno::combina() {
  std::array<std::string, 4> listas;
  for (int i = 0; i < 4; ++i) listas[i] = listas_[i]->text().toStdString();
  const auto claves = combinaClaves(listas);
  claves_->setRowCount(static_cast<int>(claves.size()));
  for (int f = 0; f < static_cast<int>(claves.size()); ++f) {
    auto* c = new QTableWidgetItem(QString::fromStdString(claves[static_cast<size_t>(f)]));
    c->setFlags(c->flags() & ~Qt::ItemIsEditable);
    claves_->setItem(f, 0, c);
    claves_->setItem(f, 1, new QTableWidgetItem());
  }
  total_->setText(QString("Total de Claves %1").arg(claves.size()));
}

int TFormaClaveDiseno::genera() {
  std::vector<std::string> claves, descripciones;
  for (int f = 0; f < claves_->rowCount(); ++f) {
    claves.push_back(claves_->item(f, 0)->text().toStdString());
    descripciones.push_back(claves_->item(f, 1) ? claves_->item(f, 1)->text().toStdString() : std::string());
  }
  std::array<std::string, 9> comunes;
  for (int i = 0; i < 9; ++i) comunes[i] = comunes_[i]->text().toStdString();
  return generaClaves(dirInventario_, claves, descripciones, comunes, ui_);
}

void TFormaClaveDiseno::guarda() {
  std::array<std::string, 4> listas;
  for (int i = 0; i < 4; ++i) listas[i] = listas_[i]->text().toStdString();
  if (!guardaListasClaves(dirTrabajo_, listas)) ui_.mensaje("No se Pueden Guardar los Datos ha Ocurrido un Error");
}

}  // namespace mostrador::inventory
