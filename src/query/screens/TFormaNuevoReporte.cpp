#include "query/screens/TFormaNuevoReporte.h"

#include <QDate>
#include <memory>

#include "reports/screens/hoja_qt.h"
#include "ui/impresora_qt.h"

TFormaNuevoReporte::TFormaNuevoReporte(mostrador::reports::NuevoReporte reporte, QWidget* parent)
    : QDialog(parent), reporte_(std::move(reporte)) {
  setObjectName("TFormaNuevoReporte");
  setWindowTitle(QStringLiteral("Reporte"));
  resize(800, 600);
  VentanaHoja v = armaVentanaHoja(this, {{"BotonAnterior", QStringLiteral("<<")},
                                         {"BotonSiguiente", QStringLiteral(">>")},
                                         {"BotonImprime", QStringLiteral("Imprimir")}});
  BotonAnterior = v.botones[0];
  BotonSiguiente = v.botones[1];
  BotonImprime = v.botones[2];
  Hoja = v.hoja;
  Estado = v.estado;
  connect(BotonAnterior, &QPushButton::clicked, this, [this] { BotonAnteriorClick(); });
  connect(BotonSiguiente, &QPushButton::clicked, this, [this] { BotonSiguienteClick(); });
  connect(BotonImprime, &QPushButton::clicked, this, [this] { BotonImprimeClick(); });
  pinta();
}

void TFormaNuevoReporte::pinta() {
  if (reporte_.paginas.empty()) return;
  muestraHoja(Hoja, reporte_.paginas[static_cast<size_t>(pagina_)].lineas);
  Estado->setText(QString::fromStdString(reporte_.estados[static_cast<size_t>(pagina_)]));
}

void TFormaNuevoReporte::BotonSiguienteClick() {
  if (pagina_ + 1 < static_cast<int>(reporte_.paginas.size())) ++pagina_;
  pinta();
}

void TFormaNuevoReporte::BotonAnteriorClick() {
  if (pagina_ > 0) --pagina_;
  pinta();
}

void TFormaNuevoReporte::BotonImprimeClick() {
  std::unique_ptr<ImpresoraQt> propia;
  mostrador::printing::Impresora* im = impresora_;
  if (!im) {
    propia = std::make_unique<ImpresoraQt>();
    im = propia.get();
  }
  mostrador::reports::imprimePaginas(*im, "Reporte", reporte_.paginas, 1,
                                      QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy")).toStdString(),
                                      "Courier New", 9);
}
