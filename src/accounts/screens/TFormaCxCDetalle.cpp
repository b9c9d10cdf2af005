#include "accounts/screens/TFormaCxCDetalle.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "base/fechas.h"
#include "base/numeros.h"
#include "store/dbf/dbf_table.h"
#include "ui/modelo_filas.h"

namespace mostrador::accounts {

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

const QStringList kColumnas = {"Documento", "Referencia", "Tipo",        "Concepto", "Operación",
                               "Importe",   "Aplicación", "Vencimiento", "Saldo"};

const QColor kRojo(Qt::red);

}  // namespace

TFormaCxCDetalle::TFormaCxCDetalle(QWidget* padre, std::string dirDatos, std::string documento,
                                   base::Interaccion& ui, const base::Reloj& reloj)
    : QDialog(padre), dirDatos_(std::move(dirDatos)), documento_(std::move(documento)), ui_(ui), reloj_(reloj) {
  setObjectName("TFormaCxCDetalle");
  setWindowTitle("Cuentas por Cobrar");
  resize(860, 460);
  auto* l = new QVBoxLayout(this);
  auto* datos = new QGridLayout;
  auto etiqueta = [this](const char* nombre) {
    auto* e = new QLabel(this);
    e->setObjectName(nombre);
    return e;
  };
  titulo_ = etiqueta("Documento");
  cliente_ = etiqueta("Cliente");
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
  datos->addWidget(cliente_, 0, 1);
  datos->addWidget(aplicado_, 1, 0);
  datos->addWidget(vence_, 1, 1);
  datos->addWidget(vencimiento_, 1, 2);
  datos->addWidget(saldo_, 0, 2);
  datos->addWidget(estado_, 0, 3);
  l->addLayout(datos);

  rejilla_ = new QTableView(this);
  rejilla_->setObjectName("DBGrid1");
  modelo_ = new ui::ModeloFilas(kColumnas, this);
  rejilla_->setModel(modelo_);
  rejilla_->verticalHeader()->setVisible(false);
  rejilla_->setSelectionBehavior(QAbstractItemView::SelectRows);
  l->addWidget(rejilla_, 1);

  auto* abajo = new QHBoxLayout;
  abajo->addStretch();
  auto* actualiza = new QPushButton("&Actualizar", this);
  actualiza->setObjectName("BotonActualizar");
  actualiza->setAutoDefault(false);
  auto* salir = new QPushButton("&Salir", this);
  salir->setObjectName("BotonSalir");
  salir->setAutoDefault(false);
  abajo->addWidget(actualiza);
  abajo->addWidget(salir);
  l->addLayout(abajo);
  connect(actualiza, &QPushButton::clicked, this, [this] { carga(); });
  connect(salir, &QPushButton::clicked, this, &QDialog::accept);
}

bool TFormaCxCDetalle::muestra(QWidget* padre, const std::string& dirDatos, const std::string& documento,
                               base::Interaccion& ui, const base::Reloj& reloj) {
  TFormaCxCDetalle f(padre, dirDatos, documento, ui, reloj);
  if (!f.carga()) return false;
  f.exec();
  return true;
}

bool TFormaCxCDetalle::carga() {
  try {
    detalle_ = detalleDocumento(dirDatos_, Cartera::Clientes, documento_, reloj_.ahora().fecha);
  } catch (const dbf::Error&) {
    detalle_.reset();
    pinta();
    ui_.mensaje("Ha Ocurrido un Error al Abrir una de las Bases de Datos.");
    return false;
  }
  pinta();
  if (!detalle_) {
    ui_.mensaje(kDocumentoNoExiste);
    return false;
  }
  return true;
}

void TFormaCxCDetalle::pinta() {
  titulo_->setText(q("Documento No. " + documento_));
  if (!detalle_) {
    for (QLabel* e : {cliente_, aplicado_, vence_, vencimiento_, saldo_, estado_}) e->clear();
    modelo_->ponFilas({});
    return;
  }
  const DetalleDocumento& d = *detalle_;
  cliente_->setText(q("Cliente " + d.clave));
  aplicado_->setText(q("Fecha de Aplicacion " + d.aplicado));
  vence_->setText(q("Fecha de Vencimiento " + d.vence));
  vencimiento_->setText(q(d.vencimiento));
  saldo_->setText(q(d.saldoTexto));
  estado_->setText(q(d.estado));
  estado_->setStyleSheet(d.saldo > 0.005 ? "color: red;" : "");
  std::vector<QStringList> filas;
  std::vector<QColor> colores;
  for (const Asiento& a : d.asientos) {
    filas.push_back({q(a.documento), q(a.referencia), q(a.tipo), q(a.concepto), q(a.operacion),
                     q(base::formateaMascara(a.importe, "###,###,##0.00")), q(a.aplicado), q(a.vence),
                     q(base::formateaMascara(a.saldo, "###,###,##0.00"))});
    colores.push_back(a.operacion == "A" ? kRojo : QColor());
  }
  modelo_->ponFilas(std::move(filas), std::move(colores));
  rejilla_->resizeColumnsToContents();
}

QString TFormaCxCDetalle::etiqueta(const char* nombre) const {
  const auto* e = findChild<QLabel*>(nombre);
  return e ? e->text() : QString();
}

}  // namespace mostrador::accounts
