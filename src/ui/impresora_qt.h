#pragma once
// The page printer over Qt: the system's printers (CUPS) or a PDF file. Device units
// are the printer's pixels at its resolution, on the printable area of the page.

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QPrinter>
#include <memory>
#include <string>

#include "printing/impresora.h"

class ImpresoraQt : public mostrador::printing::Impresora {
 public:
  // The system's printers; the default one is listed first, so a printer name that is
  // not found (index 0) prints on the default printer.
  ImpresoraQt();
  // Every job goes to this PDF file (local path) instead of a printer.
  static std::unique_ptr<ImpresoraQt> aPdf(const std::string& rutaPdf);
  ~ImpresoraQt() override;

  std::vector<std::string> impresoras() const override;
  void seleccionaImpresora(int indice) override;
  void orientacion(bool horizontal) override;
  bool iniciaTrabajo(std::string_view titulo) override;
  void nuevaPagina() override;
  bool terminaTrabajo() override;
  int anchoPagina() const override;
  int altoPagina() const override;
  void fuente(std::string_view nombre) override;
  void tamanoFuente(int puntos) override;
  void estiloFuente(mostrador::printing::EstiloFuente estilo) override;
  void colorFuente(mostrador::printing::Color color) override;
  void grosorPluma(int grosor) override;
  void colorBrocha(mostrador::printing::Color color) override;
  void texto(int x, int y, std::string_view texto) override;
  void rectangulo(int x1, int y1, int x2, int y2) override;
  void rectanguloRedondeado(int x1, int y1, int x2, int y2, int x3, int y3) override;
  bool imagen(int x1, int y1, int x2, int y2, std::string_view ruta) override;
  bool imprimeTexto(const std::vector<std::string>& lineas, std::string_view fuente) override;

  bool trabajoActivo() const { return painter_.isActive(); }
  QPrinter& printer() { return *printer_; }

 private:
  void nuevaImpresora();
  void aplicaFuente();

  std::unique_ptr<QPrinter> printer_;
  QPainter painter_;
  std::string pdf_;
  QFont fuente_{QStringLiteral("Arial"), 9};
  QColor colorTexto_{Qt::black};
  QColor brocha_{Qt::white};
  int pluma_ = 1;
};
