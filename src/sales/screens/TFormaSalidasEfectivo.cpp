#include "sales/screens/TFormaSalidasEfectivo.h"

#include "ui/campo_fecha.h"
#include <QDateEdit>
#include <QDoubleValidator>
#include <QFormLayout>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "base/numeros.h"
#include "base/rutas.h"
#include "ui/dialogos.h"

namespace mostrador::sales {

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

TFormaSalidasEfectivo::TFormaSalidasEfectivo(ModoEfectivo modo, DatosEfectivo datos, base::Interaccion& ui,
                                             const base::Reloj& reloj, QWidget* padre)
    : QDialog(padre), modo_(modo), datos_(std::move(datos)), ui_(ui), reloj_(reloj) {
  setObjectName("TFormaSalidasEfectivo");
  setWindowTitle(modo_ == ModoEfectivo::Entrada ? "Entradas de Efectivo" : "Salidas de Efectivo");
  setModal(true);
  auto* l = new QVBoxLayout(this);
  Panel = new QFrame(this);
  Panel->setObjectName("Panel");
  if (modo_ == ModoEfectivo::Entrada) {
    // Cash coming in is told apart at a glance.
    Panel->setAutoFillBackground(true);
    QPalette p = Panel->palette();
    p.setColor(QPalette::Window, QColor(0, 128, 255));
    Panel->setPalette(p);
  }
  auto* pl = new QHBoxLayout(Panel);
  auto* izquierda = new QVBoxLayout;
  ListaConceptos = new QListWidget(Panel);
  ListaConceptos->setObjectName("ListaConceptos");
  for (const std::string& c : conceptosEfectivo(datos_.dirSistema)) ListaConceptos->addItem(q(c));
  izquierda->addWidget(new QLabel("Conceptos", Panel));
  izquierda->addWidget(ListaConceptos);
  pl->addLayout(izquierda);
  auto* derecha = new QVBoxLayout;
  auto* f = new QFormLayout;
  Fecha = new ui::CampoFecha(Panel);  // a date typed dd/MM/aaaa is taken as typed
  Fecha->setObjectName("Fecha");
  Fecha->setDisplayFormat("dd/MM/yyyy");
  Fecha->setCalendarPopup(true);
  const base::Fecha hoy = reloj_.ahora().fecha;
  Fecha->setDate(QDate(hoy.anio, hoy.mes, hoy.dia));
  Cantidad = new QLineEdit(Panel);
  Cantidad->setObjectName("Cantidad");
  auto* v = new QDoubleValidator(0, 1e9, 2, Cantidad);
  v->setNotation(QDoubleValidator::StandardNotation);
  v->setLocale(QLocale::c());
  Cantidad->setValidator(v);
  Concepto = new QLineEdit(Panel);
  Concepto->setObjectName("Concepto");
  Concepto->setMaxLength(40);
  f->addRow("Fecha", Fecha);
  f->addRow("Cantidad", Cantidad);
  f->addRow("Concepto", Concepto);
  derecha->addLayout(f);
  Movimientos = new QTableWidget(0, 4, Panel);
  Movimientos->setObjectName("Movimientos");
  Movimientos->setHorizontalHeaderLabels({"Número", "Hora", "Cantidad", "Concepto"});
  Movimientos->setEditTriggers(QAbstractItemView::NoEditTriggers);
  Movimientos->verticalHeader()->hide();
  Movimientos->horizontalHeader()->setStretchLastSection(true);
  derecha->addWidget(Movimientos);
  LabelRetiros = new QLabel(Panel);
  LabelRetiros->setObjectName("LabelRetiros");
  derecha->addWidget(LabelRetiros);
  pl->addLayout(derecha);
  l->addWidget(Panel);
  auto* botones = new QHBoxLayout;
  BotonAceptar = new QPushButton("&Aceptar", this);
  BotonAceptar->setObjectName("BotonAceptar");
  BotonAceptar->setAutoDefault(false);
  BotonCancelar = new QPushButton("&Cancelar", this);
  BotonCancelar->setObjectName("BotonCancelar");
  BotonCancelar->setAutoDefault(false);
  botones->addWidget(BotonAceptar);
  botones->addWidget(BotonCancelar);
  l->addLayout(botones);

  connect(BotonAceptar, &QPushButton::clicked, this, [this] { BotonAceptarClick(); });
  connect(BotonCancelar, &QPushButton::clicked, this, &QDialog::reject);
  connect(Fecha, &QDateEdit::dateChanged, this, [this] { FechaChange(); });
  connect(ListaConceptos, &QListWidget::itemClicked, this, [this] { ListaConceptosClick(); });
  connect(ListaConceptos, &QListWidget::itemDoubleClicked, this, [this] { ListaConceptosDblClick(); });
  ui::instalaNavegacion(this);
  FechaChange();
  Cantidad->setFocus();
}

void TFormaSalidasEfectivo::FechaChange() {
  const QDate d = Fecha->date();
  std::vector<MovimientoEfectivo> v;
  try {
    v = movimientosEfectivo(datos_.dirDatos, modo_, {d.year(), d.month(), d.day()});
  } catch (const dbf::Error&) {
    ui_.mensaje(kErrorCaja);
  }
  Movimientos->setRowCount(static_cast<int>(v.size()));
  for (int i = 0; i < static_cast<int>(v.size()); ++i) {
    const MovimientoEfectivo& m = v[static_cast<size_t>(i)];
    Movimientos->setItem(i, 0, new QTableWidgetItem(QString::number(m.numero)));
    Movimientos->setItem(i, 1, new QTableWidgetItem(q(m.hora)));
    Movimientos->setItem(i, 2, new QTableWidgetItem(q(base::formateaMascara(m.cantidad, "##,##0.00"))));
    Movimientos->setItem(i, 3, new QTableWidgetItem(q(m.concepto)));
  }
  LabelRetiros->setText(q(etiquetaRetiros(sumaEfectivo(v))));
}

void TFormaSalidasEfectivo::ListaConceptosClick() {
  if (auto* i = ListaConceptos->currentItem()) Concepto->setText(i->text());
}

void TFormaSalidasEfectivo::ListaConceptosDblClick() {
  if (editaConceptos) editaConceptos(base::une(datos_.dirSistema, kArchivoConceptos));
}

bool TFormaSalidasEfectivo::BotonAceptarClick() {
  bool ok = false;
  const double cantidad = QLocale::c().toDouble(Cantidad->text().trimmed(), &ok);
  if (!ok || cantidad <= 0) {
    Cantidad->setFocus();
    return false;
  }
  const QDate d = Fecha->date();
  NuevoEfectivo n{cantidad, Concepto->text().toStdString(), {d.year(), d.month(), d.day()}, reloj_.ahora().hora,
                  datos_.caja, datos_.vendedor};
  registrado_ = registraEfectivo(datos_.dirDatos, modo_, n, ui_);
  if (!registrado_) return false;
  accept();
  return true;
}

}  // namespace mostrador::sales
