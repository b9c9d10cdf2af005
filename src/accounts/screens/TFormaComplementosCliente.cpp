#include "accounts/screens/TFormaComplementosCliente.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "accounts/complementos_cliente.h"
#include "base/numeros.h"

namespace mostrador::accounts {
namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

QTableWidgetItem* celda(const std::string& texto, uint32_t registro, bool editable) {
  auto* i = new QTableWidgetItem(q(texto));
  i->setData(Qt::UserRole, registro);
  if (!editable) i->setFlags(i->flags() & ~Qt::ItemIsEditable);
  return i;
}

uint32_t registroDe(QTableWidget* t, int fila) {
  QTableWidgetItem* i = t->item(fila, 0);
  return i ? i->data(Qt::UserRole).toUInt() : 0;
}

QPushButton* boton(QWidget* padre, QBoxLayout* barra, const char* nombre, const char* texto) {
  auto* b = new QPushButton(texto, padre);
  b->setObjectName(nombre);
  b->setAutoDefault(false);
  barra->addWidget(b);
  return b;
}

}  // namespace

// ---- discounts by product line ----

TFormaPoliticaClientes::TFormaPoliticaClientes(std::string dirDatos, std::string cliente, base::Interaccion& ui,
                                               QWidget* parent)
    : QDialog(parent), dirDatos_(std::move(dirDatos)), cliente_(std::move(cliente)), ui_(ui) {
  setObjectName("TFormaPoliticaClientes");
  setWindowTitle("Descuentos por Línea");
  resize(520, 360);
  auto* todo = new QHBoxLayout(this);
  rejilla_ = new QTableWidget(0, 3, this);
  rejilla_->setObjectName("DBGrid1");
  rejilla_->setHorizontalHeaderLabels({"Cliente", "Descuento", "Linea"});
  rejilla_->horizontalHeader()->setStretchLastSection(true);
  todo->addWidget(rejilla_, 2);
  auto* lado = new QVBoxLayout;
  lista_ = new QListWidget(this);
  lista_->setObjectName("ListaLineas");
  for (const std::string& l : lineasProductos(dirDatos_)) lista_->addItem(q(l));
  lado->addWidget(lista_, 1);
  auto* botones = new QHBoxLayout;
  connect(boton(this, botones, "BotonAgregar", "Agregar"), &QPushButton::clicked, this, [this] { agrega(); });
  connect(boton(this, botones, "BotonQuitar", "Quitar"), &QPushButton::clicked, this, [this] { quita(); });
  lado->addLayout(botones);
  todo->addLayout(lado, 1);
  connect(rejilla_, &QTableWidget::cellChanged, this, [this](int f, int c) { celdaCambiada(f, c); });
  carga();
}

void TFormaPoliticaClientes::carga() {
  cargando_ = true;
  rejilla_->setRowCount(0);
  for (const DescuentoLinea& d : descuentosCliente(dirDatos_, cliente_)) {
    const int f = rejilla_->rowCount();
    rejilla_->insertRow(f);
    rejilla_->setItem(f, 0, celda(d.cliente, d.registro, false));
    rejilla_->setItem(f, 1, celda(base::formateaMascara(d.descuento, "##0.00"), d.registro, true));
    rejilla_->setItem(f, 2, celda(d.linea, d.registro, false));
  }
  cargando_ = false;
}

void TFormaPoliticaClientes::agrega() {
  QListWidgetItem* i = lista_->currentItem();
  if (!i) return;
  const std::string r = agregaDescuento(dirDatos_, cliente_, i->text().toStdString());
  if (!r.empty()) ui_.mensaje(r);
  carga();
}

void TFormaPoliticaClientes::quita() {
  const int f = rejilla_->currentRow();
  if (f < 0) return;
  if (!quitaDescuento(dirDatos_, registroDe(rejilla_, f))) ui_.mensaje("No se Pueden Guardar los Datos ha Ocurrido un Error");
  carga();
}

void TFormaPoliticaClientes::celdaCambiada(int fila, int columna) {
  if (cargando_ || columna != 1) return;
  const std::string r = ponDescuento(dirDatos_, registroDe(rejilla_, fila), rejilla_->item(fila, 1)->text().toStdString());
  if (!r.empty()) ui_.mensaje(r);
  carga();
}

// ---- contacts ----

TFormaContactos::TFormaContactos(std::string dirDatos, std::string cliente, base::Interaccion& ui, QWidget* parent,
                                 const LibroContactos& libro)
    : QDialog(parent), dirDatos_(std::move(dirDatos)), cliente_(std::move(cliente)), ui_(ui), libro_(libro) {
  setObjectName("TFormaContactos");
  setWindowTitle("Contactos del Cliente");
  resize(700, 320);
  auto* todo = new QVBoxLayout(this);
  rejilla_ = new QTableWidget(0, 5, this);
  rejilla_->setObjectName("DBGrid1");
  rejilla_->setHorizontalHeaderLabels({"Nombre", "Puesto", "Teléfono", "Correo", "Observación"});
  rejilla_->horizontalHeader()->setStretchLastSection(true);
  todo->addWidget(rejilla_, 1);
  auto* botones = new QHBoxLayout;
  connect(boton(this, botones, "BotonNuevo", "Nuevo"), &QPushButton::clicked, this, [this] { nuevo(); });
  connect(boton(this, botones, "BotonQuitar", "Quitar"), &QPushButton::clicked, this, [this] { quita(); });
  botones->addStretch(1);
  todo->addLayout(botones);
  connect(rejilla_, &QTableWidget::cellChanged, this, [this](int f, int c) { celdaCambiada(f, c); });
  carga();
}

void TFormaContactos::carga() {
  cargando_ = true;
  rejilla_->setRowCount(0);
  for (const Contacto& c : contactosCliente(dirDatos_, cliente_, libro_)) {
    const int f = rejilla_->rowCount();
    rejilla_->insertRow(f);
    const std::string* v[] = {&c.nombre, &c.puesto, &c.telefono, &c.correo, &c.nota};
    for (int k = 0; k < 5; ++k) rejilla_->setItem(f, k, celda(*v[k], c.registro, true));
  }
  cargando_ = false;
}

void TFormaContactos::nuevo() {
  // The row gets the customer's key when it is stored, with its first value.
  cargando_ = true;
  const int f = rejilla_->rowCount();
  rejilla_->insertRow(f);
  for (int k = 0; k < 5; ++k) rejilla_->setItem(f, k, celda("", 0, true));
  cargando_ = false;
  rejilla_->setCurrentCell(f, 0);
  rejilla_->editItem(rejilla_->item(f, 0));
}

void TFormaContactos::quita() {
  const int f = rejilla_->currentRow();
  if (f < 0) return;
  const uint32_t r = registroDe(rejilla_, f);
  if (r != 0 && !quitaContacto(dirDatos_, r, libro_)) ui_.mensaje("No se Pueden Guardar los Datos ha Ocurrido un Error");
  carga();
}

void TFormaContactos::celdaCambiada(int fila, int) {
  if (cargando_) return;
  Contacto c;
  c.registro = registroDe(rejilla_, fila);
  auto texto = [&](int k) { return rejilla_->item(fila, k) ? rejilla_->item(fila, k)->text().toStdString() : std::string(); };
  c.nombre = texto(0);
  c.puesto = texto(1);
  c.telefono = texto(2);
  c.correo = texto(3);
  c.nota = texto(4);
  const std::string r = guardaContacto(dirDatos_, cliente_, c, libro_);
  if (!r.empty()) ui_.mensaje(r);
  carga();
}

TFormaContactosProveedor::TFormaContactosProveedor(std::string dirDatos, std::string proveedor, base::Interaccion& ui,
                                                   QWidget* parent)
    : TFormaContactos(std::move(dirDatos), std::move(proveedor), ui, parent, kContactosProveedores) {
  setObjectName("TFormaContactosProveedor");
  setWindowTitle("Contactos del Proveedor");
}

}  // namespace mostrador::accounts
