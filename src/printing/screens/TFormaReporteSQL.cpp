#include "printing/screens/TFormaReporteSQL.h"

#include <QDate>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "printing/screens/TDialogoImprimir.h"
#include "printing/screens/hoja_qt.h"
#include "printing/visor_concentrado.h"
#include "shell/rutas.h"
#include "shell/texto.h"
#include "ui/impresora_qt.h"

namespace {
constexpr int kLineasPorPagina = 60;
}

TFormaReporteSQL::TFormaReporteSQL(std::unique_ptr<mostrador::printing::ReporteSql> reporte,
                                   mostrador::shell::Interaccion& ui, QWidget* parent)
    : QDialog(parent), reporte_(std::move(reporte)), ui_(ui) {
  setObjectName("TFormaReporteSQL");
  setWindowTitle(QString::fromStdString(reporte_->caption()));
  resize(900, 640);
  auto* todo = new QVBoxLayout(this);
  auto* botones = new QHBoxLayout;
  BotonImprime = new QPushButton(QStringLiteral("Imprimir"), this);
  BotonImprime->setObjectName("BotonImprime");
  BotonExporta = new QPushButton(QStringLiteral("Exportar"), this);
  BotonExporta->setObjectName("BotonExporta");
  BotonCerrar = new QPushButton(QStringLiteral("Cerrar"), this);
  BotonCerrar->setObjectName("BotonCerrar");
  for (QPushButton* b : {BotonImprime, BotonExporta, BotonCerrar}) {
    b->setAutoDefault(false);
    botones->addWidget(b);
  }
  todo->addLayout(botones);
  Hoja = new QTextEdit(this);
  Hoja->setObjectName("Hoja");
  Hoja->setReadOnly(true);
  Hoja->setLineWrapMode(QTextEdit::NoWrap);
  todo->addWidget(Hoja, 1);
  Estado = new QLabel(this);
  Estado->setObjectName("Estado");
  todo->addWidget(Estado);
  connect(BotonImprime, &QPushButton::clicked, this, [this] { BotonImprimeClick(); });
  connect(BotonExporta, &QPushButton::clicked, this, [this] { BotonExportaClick(); });
  connect(BotonCerrar, &QPushButton::clicked, this, &QDialog::accept);
  muestraHoja(Hoja, reporte_->hoja().lineas());
  const auto paginas = mostrador::printing::paginasDeHoja(reporte_->hoja(), kLineasPorPagina).size();
  Estado->setText(QStringLiteral("Páginas  %1").arg(paginas));
}

void TFormaReporteSQL::BotonImprimeClick() {
  const auto paginas = mostrador::printing::paginasDeHoja(reporte_->hoja(), kLineasPorPagina);
  TDialogoImprimir rango(static_cast<int>(paginas.size()), this);
  if (rango.exec() != QDialog::Accepted) return;
  const int desde = std::max(1, rango.primera());
  const int hasta = std::min(static_cast<int>(paginas.size()), rango.ultima());
  if (hasta < desde) return;
  std::vector<mostrador::printing::PaginaImpresa> elegidas(paginas.begin() + (desde - 1), paginas.begin() + hasta);
  std::unique_ptr<ImpresoraQt> propia;
  mostrador::printing::Impresora* im = impresora_;
  if (!im) {
    propia = std::make_unique<ImpresoraQt>();
    im = propia.get();
  }
  mostrador::printing::imprimePaginas(*im, reporte_->caption(), elegidas, desde,
                                      QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy")).toStdString(),
                                      "Courier New", 8);
}

void TFormaReporteSQL::BotonExportaClick() {
  auto nombre = ui_.guardaArchivo("Exportar", "Hoja de cálculo (*.xls)|*.xls|Todos|*.*");
  if (!nombre || nombre->empty()) return;
  const std::string destino = mostrador::printing::nombreExportacion(*nombre);
  mostrador::shell::borra(destino);
  if (!mostrador::shell::escribeLineas(destino, mostrador::printing::lineasTabuladas(reporte_->hoja().lineas())))
    ui_.mensaje("No se pudo escribir " + destino);
}
