#include "reports/hoja_reporte.h"

#include <algorithm>

namespace mostrador::reports {

HojaReporte::HojaReporte(int tamanoFuente, printing::Color color)
    : tamanoFuente_(tamanoFuente), color_(color), actualColor_(color), actualTamano_(tamanoFuente) {}

void HojaReporte::agrega(std::string texto, std::vector<std::string> celdas) {
  lineas_.push_back({std::move(texto), actualColor_, actualTamano_, std::move(celdas)});
}

std::vector<std::string> lineasTabuladas(const std::vector<LineaHoja>& lineas) {
  std::vector<std::string> r;
  for (const auto& l : lineas) {
    if (l.celdas.empty()) {
      r.push_back(l.texto);
      continue;
    }
    std::string t;
    for (size_t i = 0; i < l.celdas.size(); ++i) t += (i ? "\t" : "") + l.celdas[i];
    r.push_back(std::move(t));
  }
  return r;
}

void HojaReporte::agregaTitulo(std::string texto) {
  lineas_.push_back({std::move(texto), kRojoHoja, kTamanoTitulo, {}});
  actualColor_ = color_;
  actualTamano_ = tamanoFuente_ + 3;
}

void HojaReporte::inserta(size_t pos, LineaHoja linea) {
  pos = std::min(pos, lineas_.size());
  lineas_.insert(lineas_.begin() + static_cast<long>(pos), std::move(linea));
}

void HojaReporte::limpia() {
  lineas_.clear();
  actualColor_ = color_;
  actualTamano_ = tamanoFuente_;
}

std::vector<std::string> HojaReporte::textos() const {
  std::vector<std::string> r;
  r.reserve(lineas_.size());
  for (const auto& l : lineas_) r.push_back(l.texto);
  return r;
}

std::vector<PaginaImpresa> paginasDeHoja(const HojaReporte& hoja, int lineasPorPagina) {
  lineasPorPagina = std::max(1, lineasPorPagina);
  std::vector<PaginaImpresa> r;
  for (size_t i = 0; i < hoja.lineas().size(); i += static_cast<size_t>(lineasPorPagina)) {
    PaginaImpresa p;
    const size_t fin = std::min(hoja.lineas().size(), i + static_cast<size_t>(lineasPorPagina));
    p.lineas.assign(hoja.lineas().begin() + static_cast<long>(i), hoja.lineas().begin() + static_cast<long>(fin));
    r.push_back(std::move(p));
  }
  return r;
}

void imprimePaginas(printing::Impresora& im, std::string_view titulo, const std::vector<PaginaImpresa>& paginas,
                    int primera, std::string_view fecha, std::string_view fuente, int tamano) {
  im.iniciaTrabajo(titulo);
  const int ancho = im.anchoPagina(), alto = im.altoPagina();
  const int margen = ancho / 40;
  // Rows of the body: as many as fit below the title frame and above the footer.
  const int altoTitulo = alto / 14;
  const int inicio = altoTitulo + alto / 40;
  const int pie = alto - alto / 30;
  for (size_t n = 0; n < paginas.size(); ++n) {
    if (n > 0) im.nuevaPagina();
    im.grosorPluma(1);
    im.colorBrocha({255, 255, 255});
    im.rectangulo(margen, margen, ancho - margen, altoTitulo);
    im.fuente("Arial");
    im.tamanoFuente(14);
    im.estiloFuente(printing::EstiloFuente::Negrita);
    im.colorFuente(kNegroHoja);
    // Centred by an estimate of the title's width: Arial 14 averages about 1/80 of a
    // letter page per character.
    const int anchoTitulo = static_cast<int>(titulo.size()) * ancho / 80;
    im.texto(std::max(margen, (ancho - anchoTitulo) / 2), margen + (altoTitulo - margen) / 3, titulo);
    im.estiloFuente(printing::EstiloFuente::Normal);
    const auto& lineas = paginas[n].lineas;
    const int filas = std::max<int>(50, static_cast<int>(lineas.size()));
    const int paso = std::max(1, (pie - inicio) / (filas + 1));
    int y = inicio;
    for (const auto& l : lineas) {
      im.fuente(fuente);
      im.tamanoFuente(l.tamano > tamano ? tamano + 2 : tamano);
      im.colorFuente(l.color);
      im.texto(margen, y, l.texto);
      y += paso;
    }
    im.fuente("Arial");
    im.tamanoFuente(8);
    im.colorFuente(kNegroHoja);
    im.texto(margen, pie, std::string(fecha) + "     Pag " + std::to_string(primera + static_cast<int>(n)));
  }
  im.terminaTrabajo();
}

}  // namespace mostrador::reports
