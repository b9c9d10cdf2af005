#include "inventory/screens/TFormacomovinv.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "inventory/movimientos.h"
#include "store/dbf/dbf_table.h"
#include "store/unidad.h"

namespace mostrador::inventory {

namespace {
QString q(const std::string& s) { return QString::fromStdString(s); }
std::string texto(QTableWidget* t, int r, int c) {
  return t->item(r, c) ? t->item(r, c)->text().trimmed().toStdString() : std::string();
}
}  // namespace

TFormacomovinv::TFormacomovinv(std::string dirDatos, base::Interaccion& ui, QWidget* parent)
    : QDialog(parent), dir_(std::move(dirDatos)), ui_(ui) {
  setObjectName("TFormacomovinv");
  setWindowTitle("Conceptos de Movimientos al Inventario");
  resize(640, 420);
  auto* l = new QVBoxLayout(this);
  rejilla_ = new QTableWidget(0, 4, this);
  rejilla_->setObjectName("DBGrid1");
  rejilla_->setHorizontalHeaderLabels({"NUCON_CM", "DECON_CM", "TIPOX_CM", "ALMAC_CM"});
  rejilla_->verticalHeader()->setVisible(false);
  l->addWidget(rejilla_);
  auto* b = new QHBoxLayout;
  auto boton = [this, b](const char* nombre, const char* t, auto f) {
    auto* x = new QPushButton(t, this);
    x->setObjectName(nombre);
    b->addWidget(x);
    connect(x, &QPushButton::clicked, this, f);
  };
  boton("BotonNuevo", "Nuevo", [this] { BotonNuevoClick(); });
  boton("BotonGuardar", "Guardar", [this] { BotonGuardarClick(); });
  boton("BotonEliminar", "Eliminar", [this] { BotonEliminarClick(); });
  l->addLayout(b);
  pinta();
}

void TFormacomovinv::pinta() {
  rejilla_->setRowCount(0);
  try {
    dbf::Table t;
    t.open(dir_, "CoMovInv.dbf");
    t.setIndex("ITIPMOV");
    for (t.first(); !t.eof(); t.next()) {
      const int r = rejilla_->rowCount();
      rejilla_->insertRow(r);
      auto* n = new QTableWidgetItem(QString::number(t.asInteger("NUCON_CM")));
      n->setFlags(n->flags() & ~Qt::ItemIsEditable);  // the key of a stored concept stays
      rejilla_->setItem(r, 0, n);
      rejilla_->setItem(r, 1, new QTableWidgetItem(q(t.asText("DECON_CM"))));
      rejilla_->setItem(r, 2, new QTableWidgetItem(q(t.asText("TIPOX_CM"))));
      rejilla_->setItem(r, 3, new QTableWidgetItem(q(t.asText("ALMAC_CM"))));
    }
  } catch (const dbf::Error&) {
    ui_.mensaje("Ha Ocurrido un Error al Abrir una de las Bases de Datos.");
  }
}

void TFormacomovinv::BotonNuevoClick() {
  const int r = rejilla_->rowCount();
  rejilla_->insertRow(r);
  for (int c = 0; c < 4; ++c) rejilla_->setItem(r, c, new QTableWidgetItem);
  rejilla_->setCurrentCell(r, 0);
}

bool TFormacomovinv::BotonGuardarClick() {
  try {
    dbf::Table t;
    t.open(dir_, "CoMovInv.dbf");
    t.setIndex("ITIPMOV");
    store::UnidadGuardado unidad({dir_});
    for (int r = 0; r < rejilla_->rowCount(); ++r) {
      const std::string n = texto(rejilla_, r, 0);
      char* fin = nullptr;
      const long tipo = std::strtol(n.c_str(), &fin, 10);
      if (n.empty() || *fin || tipo <= 0 || tipo > 999) {
        ui_.mensaje("Tipo de Movimiento no válido en la fila " + std::to_string(r + 1));
        return false;
      }
      if (t.findKey({static_cast<double>(tipo)})) t.edit();
      else {
        t.append();
        t.setInteger("NUCON_CM", tipo);
      }
      t.setText("DECON_CM", texto(rejilla_, r, 1));
      t.setText("TIPOX_CM", texto(rejilla_, r, 2));
      t.setText("ALMAC_CM", texto(rejilla_, r, 3));
      t.post();
    }
    unidad.confirma();
  } catch (const dbf::Error&) {
    ui_.mensaje("No se Pueden Guardar los Datos ha Ocurrido un Error");
    return false;
  }
  pinta();
  return true;
}

void TFormacomovinv::BotonEliminarClick() {
  const int r = rejilla_->currentRow();
  if (r < 0) return;
  const std::string n = texto(rejilla_, r, 0);
  if (n.empty()) {
    rejilla_->removeRow(r);
    return;
  }
  std::string m;
  try {
    m = borraConcepto(dir_, static_cast<int>(std::strtol(n.c_str(), nullptr, 10)));
  } catch (const dbf::Error&) {
    m = "No se Pueden Guardar los Datos ha Ocurrido un Error";
  }
  if (!m.empty()) ui_.mensaje(m);
  pinta();
}

}  // namespace mostrador::inventory
