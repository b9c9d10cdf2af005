#include "accounts/screens/TFormaCxPDetalle.h"

#include <memory>

#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "base/fechas.h"
#include "base/numeros.h"
#include "base/texto.h"
#include "base/texto_util.h"
#include "store/dbf/dbf_table.h"
#include "reports/screens/hoja_qt.h"
#include "ui/impresora_qt.h"
#include "ui/modelo_filas.h"

namespace mostrador::accounts {

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

const QStringList kColumnas = {"Compra",     "Documento",   "Tipo",  "Concepto", "Operación",
                               "Importe",    "Aplicación",  "Vencimiento", "Saldo"};

constexpr const char* kMascara = "###,###,##0.00";
constexpr const char* kNoAbre = "Ha Ocurrido un Error al Abrir una de las Bases de Datos.";

QPushButton* boton(QWidget* padre, QHBoxLayout* l, const char* nombre, const QString& texto) {
  auto* b = new QPushButton(texto, padre);
  b->setObjectName(nombre);
  b->setAutoDefault(false);
  l->addWidget(b);
  return b;
}

}  // namespace

// ---- the entry window -------------------------------------------------------------------

TFormaMovimientoPagar::TFormaMovimientoPagar(std::string dirDatos, const MovimientoPagar& inicial,
                                             base::Interaccion& ui, QWidget* padre)
    : QDialog(padre), dirDatos_(std::move(dirDatos)), ui_(ui), inicial_(inicial) {
  setObjectName("TFormaMovimientoPagar");
  setWindowTitle("Movimiento de la Cuenta");
  auto* l = new QVBoxLayout(this);
  auto* f = new QFormLayout;
  auto edit = [this](const char* nombre, const std::string& texto) {
    auto* e = new QLineEdit(q(texto), this);
    e->setObjectName(nombre);
    return e;
  };
  tipo_ = edit("EditTIMOV_CP", inicial.tipo ? std::to_string(inicial.tipo) : std::string());
  concepto_ = new QLabel(this);
  concepto_->setObjectName("Concepto");
  operacion_ = new QLabel(this);
  operacion_->setObjectName("Operacion");
  importe_ = edit("EditIMCUE_CP", base::formateaMascara(inicial.importe, "0.00"));
  aplicado_ = edit("EditFEAPL_CP", inicial.aplicado);
  vence_ = edit("EditFEVEN_CP", inicial.vence);
  f->addRow("Tipo de Movimiento", tipo_);
  f->addRow("Concepto", concepto_);
  f->addRow("Operación", operacion_);
  f->addRow("Importe", importe_);
  f->addRow("Fecha de Aplicacion", aplicado_);
  f->addRow("Fecha de Vencimiento", vence_);
  l->addLayout(f);
  auto* b = new QHBoxLayout;
  b->addStretch(1);
  connect(boton(this, b, "BotonAceptar", "&Aceptar"), &QPushButton::clicked, this, [this] {
    if (movimiento()) accept();
  });
  connect(boton(this, b, "BotonCancelar", "&Cancelar"), &QPushButton::clicked, this, &QDialog::reject);
  l->addLayout(b);
  connect(tipo_, &QLineEdit::editingFinished, this, [this] { saleTipo(); });
  if (inicial.tipo) saleTipo();
}

QString TFormaMovimientoPagar::concepto() const { return concepto_->text(); }
QString TFormaMovimientoPagar::operacion() const { return operacion_->text(); }

bool TFormaMovimientoPagar::saleTipo() {
  const auto n = base::leeNumero(base::recorta(tipo_->text().toStdString()));
  std::optional<ConceptoCuenta> c;
  try {
    if (n) c = conceptoCuenta(dirDatos_, static_cast<int>(*n));
  } catch (const dbf::Error&) {
    ui_.mensaje(kNoAbre);
    return false;
  }
  if (!c) {
    concepto_->clear();
    operacion_->clear();
    ui_.mensaje(std::string(kMovimientoNoEncontrado));
    return false;
  }
  concepto_->setText(q(c->concepto));
  operacion_->setText(q(c->operacion));
  return true;
}

std::optional<MovimientoPagar> TFormaMovimientoPagar::movimiento() {
  if (!saleTipo()) return std::nullopt;
  MovimientoPagar m;
  m.tipo = static_cast<int>(*base::leeNumero(base::recorta(tipo_->text().toStdString())));
  const auto v = base::leeNumero(base::recorta(importe_->text().toStdString()));
  if (!v || !(*v > 0)) {
    ui_.mensaje(std::string(kImporteNoValido));
    return std::nullopt;
  }
  m.importe = *v;
  m.aplicado = base::recorta(aplicado_->text().toStdString());
  m.vence = base::recorta(vence_->text().toStdString());
  return m;
}

// ---- the detail ---------------------------------------------------------------------------

TFormaCxPDetalle::TFormaCxPDetalle(QWidget* padre, std::string dirDatos, std::string documento,
                                   base::Interaccion& ui, const base::Reloj& reloj)
    : QDialog(padre), dirDatos_(std::move(dirDatos)), documento_(std::move(documento)), ui_(ui), reloj_(reloj) {
  setObjectName("TFormaCxPDetalle");
  setWindowTitle("Cuentas por Pagar");
  resize(860, 460);
  auto* l = new QVBoxLayout(this);
  auto* datos = new QGridLayout;
  auto etiqueta = [this](const char* nombre) {
    auto* e = new QLabel(this);
    e->setObjectName(nombre);
    return e;
  };
  titulo_ = etiqueta("Documento");
  proveedor_ = etiqueta("Proveedor");
  aplicado_ = etiqueta("FechaAplicacion");
  vence_ = etiqueta("FechaVencimiento");
  vencimiento_ = etiqueta("Vencimiento");
  saldo_ = etiqueta("Saldo");
  estado_ = etiqueta("Estado");
  QFont grande = saldo_->font();
  grande.setBold(true);
  grande.setPointSize(grande.pointSize() + 2);
  saldo_->setFont(grande);
  estado_->setFont(grande);
  datos->addWidget(titulo_, 0, 0);
  datos->addWidget(proveedor_, 0, 1);
  datos->addWidget(saldo_, 0, 2);
  datos->addWidget(estado_, 0, 3);
  datos->addWidget(aplicado_, 1, 0);
  datos->addWidget(vence_, 1, 1);
  datos->addWidget(vencimiento_, 1, 2);
  l->addLayout(datos);

  rejilla_ = new QTableView(this);
  rejilla_->setObjectName("DBGrid1");
  modelo_ = new ui::ModeloFilas(kColumnas, this);
  rejilla_->setModel(modelo_);
  rejilla_->verticalHeader()->setVisible(false);
  rejilla_->setSelectionBehavior(QAbstractItemView::SelectRows);
  rejilla_->setSelectionMode(QAbstractItemView::SingleSelection);
  l->addWidget(rejilla_, 1);

  auto* abajo = new QHBoxLayout;
  connect(boton(this, abajo, "BotonNuevo", "Nueva cuenta"), &QPushButton::clicked, this,
          &TFormaCxPDetalle::BotonNuevoClick);
  connect(boton(this, abajo, "BotonCambios", "Cambia datos"), &QPushButton::clicked, this,
          &TFormaCxPDetalle::BotonCambiosClick);
  connect(boton(this, abajo, "BotonElimina", "Elimina cuenta"), &QPushButton::clicked, this,
          &TFormaCxPDetalle::BotonEliminaClick);
  connect(boton(this, abajo, "BotonImprime", "&Imprimir"), &QPushButton::clicked, this,
          &TFormaCxPDetalle::BotonImprimeClick);
  abajo->addStretch(1);
  connect(boton(this, abajo, "BotonSalir", "&Salir"), &QPushButton::clicked, this, &QDialog::accept);
  l->addLayout(abajo);
}

bool TFormaCxPDetalle::muestra(QWidget* padre, const std::string& dirDatos, const std::string& documento,
                               base::Interaccion& ui, const base::Reloj& reloj) {
  TFormaCxPDetalle f(padre, dirDatos, documento, ui, reloj);
  if (!f.carga()) return false;
  f.exec();
  return true;
}

void TFormaCxPDetalle::BotonImprimeClick() {
  if (!detalle_) return;
  const std::string hoy = base::fechaCorta(reloj_.ahora().fecha);
  const auto lineas = estadoDocumento(Cartera::Proveedores, *detalle_, reloj_.ahora().fecha);
  std::unique_ptr<ImpresoraQt> propia;
  printing::Impresora* im = impresora_;
  if (!im) {
    propia = std::make_unique<ImpresoraQt>();
    im = propia.get();
  }
  if (imprimeLineas(im, ui_, lineas, hoy)) ui_.mensaje("La Impresión ha finalizado");
}

bool TFormaCxPDetalle::carga() {
  try {
    detalle_ = detalleDocumento(dirDatos_, Cartera::Proveedores, documento_, reloj_.ahora().fecha);
  } catch (const dbf::Error&) {
    detalle_.reset();
    pinta();
    ui_.mensaje(kNoAbre);
    return false;
  }
  pinta();
  if (!detalle_) {
    ui_.mensaje(std::string(kDocumentoNoExiste));
    return false;
  }
  return true;
}

void TFormaCxPDetalle::pinta() {
  titulo_->setText(q("Compra No. " + documento_));
  if (!detalle_) {
    for (QLabel* e : {proveedor_, aplicado_, vence_, vencimiento_, saldo_, estado_}) e->clear();
    modelo_->ponFilas({});
    return;
  }
  const DetalleDocumento& d = *detalle_;
  proveedor_->setText(q("Proveedor " + d.clave));
  aplicado_->setText(q("Fecha de Aplicacion " + d.aplicado));
  vence_->setText(q("Fecha de Vencimiento " + d.vence));
  vencimiento_->setText(q(d.vencimiento));
  saldo_->setText(q(d.saldoTexto));
  estado_->setText(q(d.estado));
  estado_->setStyleSheet(d.estado == "Deudor" ? "color: red;" : "");
  std::vector<QStringList> filas;
  std::vector<QColor> colores;
  for (const Asiento& a : d.asientos) {
    filas.push_back({q(base::recorta(a.documento)), q(a.referencia), q(base::recorta(a.tipo)), q(a.concepto),
                     q(a.operacion), q(base::formateaMascara(a.importe, kMascara)), q(a.aplicado), q(a.vence),
                     q(base::formateaMascara(a.saldo, kMascara))});
    colores.push_back(base::recorta(a.tipo) == "2" ? QColor(Qt::red) : QColor());
  }
  modelo_->ponFilas(std::move(filas), std::move(colores));
  rejilla_->resizeColumnsToContents();
}

QString TFormaCxPDetalle::etiqueta(const char* nombre) const {
  const auto* e = findChild<QLabel*>(nombre);
  return e ? e->text() : QString();
}

const Asiento* TFormaCxPDetalle::actual() const {
  if (!detalle_) return nullptr;
  const int f = rejilla_->currentIndex().isValid() ? rejilla_->currentIndex().row() : -1;
  if (f < 0 || static_cast<size_t>(f) >= detalle_->asientos.size()) return nullptr;
  return &detalle_->asientos[static_cast<size_t>(f)];
}

std::optional<MovimientoPagar> TFormaCxPDetalle::pide(const MovimientoPagar& inicial) {
  TFormaMovimientoPagar f(dirDatos_, inicial, ui_, this);
  if (entrada_) return entrada_(f);
  if (f.exec() != QDialog::Accepted) return std::nullopt;
  return f.movimiento();
}

void TFormaCxPDetalle::BotonNuevoClick() {
  if (!detalle_) return;
  MovimientoPagar inicial;
  // The balance is proposed as the amount (a payment that settles the purchase).
  inicial.importe = detalle_->saldo > 0 ? detalle_->saldo : 0;
  const auto m = pide(inicial);
  if (!m) return;
  const std::string r = guardaMovimientoPagar(dirDatos_, documento_, 0, *m, reloj_);
  if (!r.empty()) ui_.mensaje(r);
  carga();
}

void TFormaCxPDetalle::BotonCambiosClick() {
  const Asiento* a = actual();
  if (!a) return;
  MovimientoPagar inicial;
  inicial.tipo = static_cast<int>(base::leeNumero(base::recorta(a->tipo)).value_or(0));
  inicial.importe = a->importe;
  inicial.aplicado = a->aplicado;
  inicial.vence = a->vence;
  const uint32_t registro = a->registro;
  const auto m = pide(inicial);
  if (!m) return;
  const std::string r = guardaMovimientoPagar(dirDatos_, documento_, registro, *m, reloj_);
  if (!r.empty()) ui_.mensaje(r);
  carga();
}

void TFormaCxPDetalle::BotonEliminaClick() {
  const Asiento* a = actual();
  if (!a) return;
  const uint32_t registro = a->registro;
  if (ui_.advertencia("Esta Seguro de Eliminar este Registro ?") != base::RespuestaAdvertencia::Si) return;
  const std::string r = quitaMovimientoPagar(dirDatos_, documento_, registro);
  if (!r.empty()) ui_.mensaje(r);
  carga();
}

}  // namespace mostrador::accounts
