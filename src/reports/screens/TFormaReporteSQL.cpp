#include "reports/screens/TFormaReporteSQL.h"

#include <QDate>

#include "printing/screens/TDialogoImprimir.h"
#include "reports/screens/hoja_qt.h"
#include "reports/visor_concentrado.h"
#include "base/rutas.h"
#include "base/texto.h"
#include "ui/impresora_qt.h"

namespace {
constexpr int kLineasPorPagina = 60;
}

TFormaReporteSQL::TFormaReporteSQL(std::unique_ptr<mostrador::reports::ReporteSql> reporte,
                                   mostrador::base::Interaccion& ui, QWidget* parent)
    : QDialog(parent), reporte_(std::move(reporte)), ui_(ui) {
  setObjectName("TFormaReporteSQL");
  setWindowTitle(QString::fromStdString(reporte_->caption()));
  resize(900, 640);
  VentanaHoja v = armaVentanaHoja(this, {{"BotonImprime", QStringLiteral("Imprimir")},
                                         {"BotonExporta", QStringLiteral("Exportar")},
                                         {"BotonCerrar", QStringLiteral("Cerrar")}});
  BotonImprime = v.botones[0];
  BotonExporta = v.botones[1];
  BotonCerrar = v.botones[2];
  Hoja = v.hoja;
  Estado = v.estado;
  connect(BotonImprime, &QPushButton::clicked, this, [this] { BotonImprimeClick(); });
  connect(BotonExporta, &QPushButton::clicked, this, [this] { BotonExportaClick(); });
  connect(BotonCerrar, &QPushButton::clicked, this, &QDialog::accept);
  muestraHoja(Hoja, reporte_->hoja().lineas());
  const auto paginas = mostrador::reports::paginasDeHoja(reporte_->hoja(), kLineasPorPagina).size();
  Estado->setText(QStringLiteral("Páginas  %1").arg(paginas));
}

void TFormaReporteSQL::BotonImprimeClick() {
  const auto paginas = mostrador::reports::paginasDeHoja(reporte_->hoja(), kLineasPorPagina);
  TDialogoImprimir rango(static_cast<int>(paginas.size()), this);
  if (rango.exec() != QDialog::Accepted) return;
  const int desde = std::max(1, rango.primera());
  const int hasta = std::min(static_cast<int>(paginas.size()), rango.ultima());
  if (hasta < desde) return;
  std::vector<mostrador::reports::PaginaImpresa> elegidas(paginas.begin() + (desde - 1), paginas.begin() + hasta);
  imprimeOPdf(impresora_, ui_, reporte_->caption(), [&](mostrador::printing::Impresora& im) {
    mostrador::reports::imprimePaginas(im, reporte_->caption(), elegidas, desde,
                                        QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy")).toStdString(),
                                        "Courier New", 8);
  });
}

void TFormaReporteSQL::BotonExportaClick() {
  auto nombre = ui_.guardaArchivo("Exportar", "Hoja de cálculo (*.xls)|*.xls|Todos|*.*");
  if (!nombre || nombre->empty()) return;
  const std::string destino = mostrador::reports::nombreExportacion(*nombre);
  mostrador::base::borra(destino);
  if (!mostrador::base::escribeLineas(destino, mostrador::reports::lineasTabuladas(reporte_->hoja().lineas())))
    ui_.mensaje("No se pudo escribir " + destino);
}
