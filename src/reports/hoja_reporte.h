#pragma once
// The report sheet: the lines a report writes, each with its colour and font size, as
// the report screen shows them and the printer prints them. The report runner, the
// cash-cut summary and the viewer's text pages all write into one of these; the screens
// only draw it.
//
// The sheet has a current colour and size. A block title is written in red at size 20;
// after it the sheet returns to its own colour at its font size + 3, which is what the
// following lines are written with.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "printing/impresora.h"

namespace mostrador::reports {

inline constexpr printing::Color kRojoHoja{255, 0, 0};
inline constexpr printing::Color kNegroHoja{0, 0, 0};
inline constexpr int kTamanoTitulo = 20;

struct LineaHoja {
  std::string texto;
  printing::Color color;
  int tamano = 0;
  // The cells of a row, heading or totals line, trimmed (for tab-separated output);
  // empty for the other lines.
  std::vector<std::string> celdas = {};
  friend bool operator==(const LineaHoja&, const LineaHoja&) = default;
};

class HojaReporte {
 public:
  // The sheet's own font size and colour (the report screen's font).
  explicit HojaReporte(int tamanoFuente = 8, printing::Color color = kNegroHoja);

  // A line in the current colour and size.
  void agrega(std::string texto, std::vector<std::string> celdas = {});
  // A title line in red at size 20; the sheet then returns to its colour at size + 3.
  void agregaTitulo(std::string texto);
  // A line with its own attributes, at position pos (clipped to the end).
  void inserta(size_t pos, LineaHoja linea);
  void limpia();

  const std::vector<LineaHoja>& lineas() const { return lineas_; }
  std::vector<std::string> textos() const;
  size_t size() const { return lineas_.size(); }
  int tamanoFuente() const { return tamanoFuente_; }
  printing::Color color() const { return color_; }

 private:
  std::vector<LineaHoja> lineas_;
  int tamanoFuente_;
  printing::Color color_;
  printing::Color actualColor_;
  int actualTamano_;
};

// Printing a sheet's pages: the title in "Arial" 14 centred in a frame at the top of
// every page, the page's lines in the report font at the given size, and a footer with
// the date text followed by "     Pag " and the page number. Lines starting with "*" (the
// block titles) keep their colour.
struct PaginaImpresa {
  std::vector<LineaHoja> lineas;
};

void imprimePaginas(printing::Impresora& impresora, std::string_view titulo, const std::vector<PaginaImpresa>& paginas,
                    int primera, std::string_view fecha, std::string_view fuente, int tamano);

// The sheet as tab-separated lines: a line with cells gives its cells joined by tabs,
// any other line its text.
std::vector<std::string> lineasTabuladas(const std::vector<LineaHoja>& lineas);

// A sheet cut into pages of n lines (at least 1).
std::vector<PaginaImpresa> paginasDeHoja(const HojaReporte& hoja, int lineasPorPagina);

}  // namespace mostrador::reports
