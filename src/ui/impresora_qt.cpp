#include "ui/impresora_qt.h"

#include <QPageLayout>
#include <QPrinterInfo>

#include "base/rutas.h"
#include "ui/jpeg.h"

using mostrador::printing::Color;
using mostrador::printing::EstiloFuente;

namespace {

QString qs(std::string_view t) { return QString::fromUtf8(t.data(), static_cast<int>(t.size())); }
QColor qc(Color c) { return QColor(c.r, c.g, c.b); }

}  // namespace

ImpresoraQt::ImpresoraQt() { nuevaImpresora(); }

std::unique_ptr<ImpresoraQt> ImpresoraQt::aPdf(const std::string& rutaPdf) {
  auto r = std::make_unique<ImpresoraQt>();
  r->pdf_ = rutaPdf;
  r->nuevaImpresora();
  return r;
}

ImpresoraQt::~ImpresoraQt() {
  if (painter_.isActive()) painter_.end();
}

void ImpresoraQt::nuevaImpresora() {
  QString nombre = printer_ ? printer_->printerName() : QString();
  auto orientacion = printer_ ? printer_->pageLayout().orientation() : QPageLayout::Portrait;
  printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
  if (!pdf_.empty()) {
    printer_->setOutputFormat(QPrinter::PdfFormat);
    printer_->setOutputFileName(QString::fromStdString(pdf_));
    printer_->setPageSize(QPageSize(QPageSize::Letter));
  } else if (!nombre.isEmpty()) {
    printer_->setPrinterName(nombre);
  }
  printer_->setPageOrientation(orientacion);
}

std::vector<std::string> ImpresoraQt::impresoras() const {
  std::vector<std::string> r;
  QString defecto = QPrinterInfo::defaultPrinterName();
  if (!defecto.isEmpty()) r.push_back(defecto.toStdString());
  for (const QString& n : QPrinterInfo::availablePrinterNames())
    if (n != defecto) r.push_back(n.toStdString());
  return r;
}

void ImpresoraQt::seleccionaImpresora(int indice) {
  if (painter_.isActive() || !pdf_.empty()) return;
  auto nombres = impresoras();
  QString nombre = indice >= 0 && indice < static_cast<int>(nombres.size())
                       ? QString::fromStdString(nombres[indice])
                       : QPrinterInfo::defaultPrinterName();
  printer_->setPrinterName(nombre);
}

void ImpresoraQt::orientacion(bool horizontal) {
  if (painter_.isActive()) return;
  printer_->setPageOrientation(horizontal ? QPageLayout::Landscape : QPageLayout::Portrait);
}

bool ImpresoraQt::iniciaTrabajo(std::string_view titulo) {
  if (painter_.isActive()) return true;
  printer_->setDocName(qs(titulo));
  // Without a printer (no CUPS queue) the job does not start, and the caller is told.
  if (!printer_->isValid() || !painter_.begin(printer_.get())) return false;
  aplicaFuente();
  return true;
}

void ImpresoraQt::nuevaPagina() {
  if (painter_.isActive()) printer_->newPage();
}

bool ImpresoraQt::terminaTrabajo() {
  if (!painter_.isActive()) return false;
  return painter_.end() && printer_->printerState() != QPrinter::Error &&
         printer_->printerState() != QPrinter::Aborted;
}

int ImpresoraQt::anchoPagina() const {
  return printer_->pageLayout().paintRectPixels(printer_->resolution()).width();
}

int ImpresoraQt::altoPagina() const {
  return printer_->pageLayout().paintRectPixels(printer_->resolution()).height();
}

void ImpresoraQt::aplicaFuente() {
  if (!painter_.isActive()) return;
  painter_.setFont(fuente_);
}

void ImpresoraQt::fuente(std::string_view nombre) {
  fuente_.setFamily(qs(nombre));
  aplicaFuente();
}

void ImpresoraQt::tamanoFuente(int puntos) {
  if (puntos > 0) fuente_.setPointSize(puntos);
  aplicaFuente();
}

void ImpresoraQt::estiloFuente(EstiloFuente estilo) {
  // A style line sets that single style.
  fuente_.setBold(estilo == EstiloFuente::Negrita);
  fuente_.setItalic(estilo == EstiloFuente::Cursiva);
  fuente_.setUnderline(estilo == EstiloFuente::Subrayada);
  fuente_.setStrikeOut(estilo == EstiloFuente::Tachada);
  aplicaFuente();
}

void ImpresoraQt::colorFuente(Color color) { colorTexto_ = qc(color); }
void ImpresoraQt::grosorPluma(int grosor) { pluma_ = std::max(1, grosor); }
void ImpresoraQt::colorBrocha(Color color) { brocha_ = qc(color); }

void ImpresoraQt::texto(int x, int y, std::string_view texto) {
  if (!painter_.isActive()) return;
  QString t = qs(texto);
  QFontMetrics m(painter_.font(), printer_.get());
  // The position is the top left corner of the text, and the text is drawn on the
  // current brush like the canvas always did (white paper shows nothing).
  if (brocha_ != QColor(Qt::white))
    painter_.fillRect(QRect(x, y, m.horizontalAdvance(t), m.height()), brocha_);
  painter_.setPen(colorTexto_);
  painter_.drawText(QPoint(x, y + m.ascent()), t);
}

void ImpresoraQt::rectangulo(int x1, int y1, int x2, int y2) {
  if (!painter_.isActive()) return;
  painter_.setPen(QPen(Qt::black, pluma_));
  painter_.setBrush(brocha_);
  painter_.drawRect(QRect(QPoint(x1, y1), QPoint(x2, y2)).normalized());
}

void ImpresoraQt::rectanguloRedondeado(int x1, int y1, int x2, int y2, int x3, int y3) {
  if (!painter_.isActive()) return;
  painter_.setPen(QPen(Qt::black, pluma_));
  painter_.setBrush(brocha_);
  painter_.drawRoundedRect(QRect(QPoint(x1, y1), QPoint(x2, y2)).normalized(), x3 / 2.0, y3 / 2.0);
}

bool ImpresoraQt::imagen(int x1, int y1, int x2, int y2, std::string_view ruta) {
  QImage img = leeImagen(mostrador::base::resuelve(ruta).string());
  if (img.isNull()) return false;
  if (painter_.isActive()) painter_.drawImage(QRect(QPoint(x1, y1), QPoint(x2, y2)).normalized(), img);
  return true;
}

bool ImpresoraQt::imprimeTexto(const std::vector<std::string>& lineas, std::string_view fuente) {
  if (painter_.isActive()) painter_.end();
  printer_->setDocName(QStringLiteral("Texto"));
  if (!printer_->isValid() || !painter_.begin(printer_.get())) return false;
  QFont f(qs(fuente), 10);
  f.setStyleHint(QFont::TypeWriter);
  f.setFixedPitch(true);
  painter_.setFont(f);
  painter_.setPen(Qt::black);
  QFontMetrics m(f, printer_.get());
  int alto = altoPagina(), y = 0;
  for (const std::string& l : lineas) {
    if (y + m.height() > alto) {
      printer_->newPage();
      y = 0;
    }
    painter_.drawText(QPoint(0, y + m.ascent()), qs(l));
    y += m.height();
  }
  return painter_.end() && printer_->printerState() != QPrinter::Error;
}
