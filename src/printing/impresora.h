#pragma once
// The printer seams the format language draws through. The page printer offers a
// canvas in device units; the raw queue takes byte strings for the receipt printer.
// The Qt printer (ui/impresora_qt) and the CUPS queue (ui/impresora_cups) realise
// them; tests use recording fakes.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace mostrador::printing {

struct Color {
  uint8_t r = 0, g = 0, b = 0;
  friend bool operator==(const Color&, const Color&) = default;
};

enum class EstiloFuente { Normal, Negrita, Cursiva, Subrayada, Tachada };

class Impresora {
 public:
  virtual ~Impresora() = default;

  // Installed printer names; index i of this list is printer index i.
  virtual std::vector<std::string> impresoras() const = 0;
  // -1 selects the system default printer. An index out of range selects the default.
  virtual void seleccionaImpresora(int indice) = 0;
  virtual void orientacion(bool horizontal) = 0;

  // Job lifecycle: idle --iniciaTrabajo--> printing --terminaTrabajo--> idle.
  // nuevaPagina and drawing outside a job are ignored. Each end of the job reports
  // whether the printer took it: false when the job could not start (no usable
  // printer) or could not be finished, so that nothing is recorded as printed.
  virtual bool iniciaTrabajo(std::string_view titulo) = 0;
  virtual void nuevaPagina() = 0;
  virtual bool terminaTrabajo() = 0;

  // Page size of the selected printer in device units.
  virtual int anchoPagina() const = 0;
  virtual int altoPagina() const = 0;

  virtual void fuente(std::string_view nombre) = 0;
  virtual void tamanoFuente(int puntos) = 0;
  virtual void estiloFuente(EstiloFuente estilo) = 0;
  virtual void colorFuente(Color color) = 0;
  virtual void grosorPluma(int grosor) = 0;
  virtual void colorBrocha(Color color) = 0;

  virtual void texto(int x, int y, std::string_view texto) = 0;
  virtual void rectangulo(int x1, int y1, int x2, int y2) = 0;
  // (x3, y3): width and height of the corner ellipse.
  virtual void rectanguloRedondeado(int x1, int y1, int x2, int y2, int x3, int y3) = 0;
  // A picture file stretched into the rectangle; false when it cannot be loaded.
  virtual bool imagen(int x1, int y1, int x2, int y2, std::string_view ruta) = 0;

  // Output of the text printer: whole lines in a fixed-pitch font, one page flow.
  // False when the printer took nothing.
  virtual bool imprimeTexto(const std::vector<std::string>& lineas, std::string_view fuente) = 0;
};

class ColaCruda {
 public:
  virtual ~ColaCruda() = default;
  // Sends the bytes as one document of data type RAW to the named queue, or to the
  // system default queue when none has that name. False when nothing could be sent.
  virtual bool envia(std::string_view cola, std::string_view bytes, std::string_view documento) = 0;
};

}  // namespace mostrador::printing
