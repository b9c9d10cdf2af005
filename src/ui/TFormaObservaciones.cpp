#include "ui/TFormaObservaciones.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/texto.h"
#include "store/observaciones.h"

namespace mostrador::ui {

TFormaObservaciones::TFormaObservaciones(std::string dir, std::string tipo, std::string clave,
                                         base::Interaccion& ui, QWidget* parent)
    : QDialog(parent), dir_(std::move(dir)), tipo_(std::move(tipo)), clave_(std::move(clave)), ui_(ui) {
  setObjectName("TFormaObservaciones");
  setWindowTitle("Observaciones");
  resize(520, 320);
  auto* l = new QVBoxLayout(this);
  Memo1 = new QPlainTextEdit(this);
  Memo1->setObjectName("Memo1");
  Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
  // Every line ends with its break, as the lines of a memo do: an empty last line
  // survives being shown and accepted again.
  QString texto;
  for (const std::string& linea : store::leeObservaciones(dir_, tipo_, clave_))
    texto += QString::fromStdString(linea) + '\n';
  Memo1->setPlainText(texto);
  l->addWidget(Memo1);
  auto* botones = new QHBoxLayout;
  BotonAceptar = new QPushButton("&Aceptar", this);
  BotonAceptar->setObjectName("BotonAceptar");
  BotonAceptar->setAutoDefault(false);
  BotonCancelar = new QPushButton("&Cancelar", this);
  BotonCancelar->setObjectName("BotonCancelar");
  BotonCancelar->setAutoDefault(false);
  botones->addStretch();
  botones->addWidget(BotonAceptar);
  botones->addWidget(BotonCancelar);
  l->addLayout(botones);
  connect(BotonAceptar, &QPushButton::clicked, this, &TFormaObservaciones::BotonAceptarClick);
  connect(BotonCancelar, &QPushButton::clicked, this, &QDialog::reject);
  Memo1->setFocus();
}

std::vector<std::string> TFormaObservaciones::lineas() const {
  return base::divideLineas(Memo1->toPlainText().toStdString());
}

void TFormaObservaciones::BotonAceptarClick() {
  if (!store::guardaObservaciones(dir_, tipo_, clave_, lineas())) {
    // The stored lines are as they were; the text typed stays for another try or Cancel.
    ui_.mensaje(store::kErrorGuardarObservaciones);
    return;
  }
  guardado_ = true;
  accept();
}

bool TFormaObservaciones::edita(QWidget* padre, const std::string& dir, const std::string& tipo,
                                const std::string& clave, base::Interaccion& ui) {
  TFormaObservaciones f(dir, tipo, clave, ui, padre);
  f.exec();
  return f.guardado();
}

}  // namespace mostrador::ui
