#include "sales/screens/TFormaTara.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace mostrador::sales {
namespace {

QString q(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

}  // namespace

TFormaTara::TFormaTara(QWidget* padre, std::string dirSistema, Tara::Producto producto, base::Interaccion& ui,
                       PuertoSerie* puerto, std::function<std::string()> iniciaPrograma)
    : QDialog(padre), tara_(dirSistema, producto), ui_(ui) {
  setObjectName("TFormaTara");
  setWindowTitle(QStringLiteral("Peso del Producto"));
  setModal(true);

  auto* l = new QVBoxLayout(this);
  auto* f = new QFormLayout;
  EditPeso = new QLineEdit(q(tara_.textoInicial()), this);
  EditPeso->setObjectName("EditPeso");
  EditPeso->setAlignment(Qt::AlignRight);
  f->addRow(QStringLiteral("Peso (kg)"), EditPeso);
  LabelFactor = new QLabel(q("Factor: " + formateaPeso(producto.factor)), this);
  LabelFactor->setObjectName("LabelFactor");
  LabelExistencia = new QLabel(q("Existencia: " + formateaPeso(producto.existencia)), this);
  LabelExistencia->setObjectName("LabelExistencia");
  l->addLayout(f);
  l->addWidget(LabelFactor);
  l->addWidget(LabelExistencia);
  LabelEstado = new QLabel(this);
  LabelEstado->setObjectName("LabelEstado");
  LabelEstado->setWordWrap(true);
  l->addWidget(LabelEstado);

  auto* botones = new QHBoxLayout;
  BotonAceptar = new QPushButton(QStringLiteral("&Aceptar"), this);
  BotonAceptar->setObjectName("BotonAceptar");
  BotonAceptar->setAutoDefault(false);
  BotonCancelar = new QPushButton(QStringLiteral("&Cancelar"), this);
  BotonCancelar->setObjectName("BotonCancelar");
  BotonCancelar->setAutoDefault(false);
  botones->addWidget(BotonAceptar);
  botones->addWidget(BotonCancelar);
  l->addLayout(botones);
  connect(BotonAceptar, &QPushButton::clicked, this, &TFormaTara::BotonAceptarClick);
  connect(BotonCancelar, &QPushButton::clicked, this, &QDialog::reject);
  connect(EditPeso, &QLineEdit::returnPressed, this, &TFormaTara::BotonAceptarClick);

  // The request goes out before the reader opens, so the reader finds it.
  if (!tara_.inicia()) falloPuerto_ = "No se pudo escribir la petición de peso; capture el peso a mano.";
  if (puerto && falloPuerto_.empty()) {
    lector_ = std::make_unique<LectorPuertoBascula>(*puerto, dirSistema);
    // A scale that is not there leaves the weight to the keyboard; the status says why.
    falloPuerto_ = lector_->abre();
  } else if (iniciaPrograma && falloPuerto_.empty()) {
    falloPuerto_ = iniciaPrograma();
  }
  LabelEstado->setText(q(falloPuerto_.empty() ? std::string(kEsperandoBascula) : falloPuerto_));

  TimerTara = new QTimer(this);
  TimerTara->setObjectName("TimerTara");
  TimerTara->setInterval(kIntervaloMs);
  connect(TimerTara, &QTimer::timeout, this, &TFormaTara::TimerTaraTimer);
  TimerTara->start();
  reloj_.start();
  EditPeso->selectAll();
  EditPeso->setFocus();
}

TFormaTara::~TFormaTara() = default;

std::optional<double> TFormaTara::pesa(QWidget* padre, std::string dirSistema, Tara::Producto producto,
                                       base::Interaccion& ui, PuertoSerie* puerto,
                                       std::function<std::string()> iniciaPrograma) {
  TFormaTara d(padre, std::move(dirSistema), producto, ui, puerto, std::move(iniciaPrograma));
  d.exec();
  return d.resultado();
}

void TFormaTara::TimerTaraTimer() {
  if (std::optional<std::string> peso = tara_.sondea()) {
    EditPeso->setText(q(*peso));
    EditPeso->selectAll();
  }
  if (lector_ && !lector_->fallo().empty()) falloPuerto_ = lector_->fallo();
  const std::string estado =
      !falloPuerto_.empty() ? falloPuerto_
                            : tara_.estado(static_cast<int>(reloj_.elapsed()), lector_ ? lector_->rechazados() : 0);
  LabelEstado->setText(q(estado));
}

void TFormaTara::BotonAceptarClick() {
  if (std::optional<double> peso = tara_.acepta(EditPeso->text().toStdString(), ui_)) {
    resultado_ = peso;
    TimerTara->stop();
    if (lector_) lector_->cierra();
    accept();
    return;
  }
  EditPeso->selectAll();
  EditPeso->setFocus();
}

void TFormaTara::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Escape) {
    resultado_.reset();
    reject();
    return;
  }
  // Enter belongs to the weight field.
  if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) return;
  QDialog::keyPressEvent(e);
}

}  // namespace mostrador::sales
