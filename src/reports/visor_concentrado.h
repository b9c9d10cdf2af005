#pragma once
// The report viewer's engine (TFormaBarras): the result of the concentration generator,
// "\tempo\final.tmp" with its headings ("etique.tmp") and widths ("anchos.tmp"), as text
// pages of 50 rows or as chart pages.
//
// Pages are read from the file on demand (a seek to the page's first record), so a
// result of any length opens at once and memory does not grow with it. The report
// totals are held as 64-bit ten-thousandths; they are summed over the whole file by
// one sequential pass the first time the closing line is needed, and kept.
//
// View modes: 0 pie, 1 bars (set by TitulosGrafica), 2 text report pages, 3 plain text
// pages, 5 lines. The page restarts at 0 when the mode changes between chart and text.
//
// Data records are the file's records after the type record and before the closing
// "*" records at its end; page p of the text modes shows data records p × 50 to
// p × 50 + 49 (records with an empty key are skipped).

#include <array>
#include <cstdint>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "reports/concentrado.h"
#include "reports/hoja_reporte.h"
#include "base/interaccion.h"
#include "base/programas.h"
#include "store/sql/resultado.h"

namespace mostrador::reports {

inline constexpr int kFilasPorPagina = 50;

enum class ModoVista { Pie = 0, Barras = 1, Reporte = 2, Texto = 3, Lineas = 5 };

struct PuntoGrafica {
  std::string etiqueta;
  double valor = 0;
  friend bool operator==(const PuntoGrafica&, const PuntoGrafica&) = default;
};

struct PaginaGrafica {
  std::vector<PuntoGrafica> puntos;
  double maximoEje = 100;  // largest value + 100
  bool fin = false;        // the page reached the end of the data
};

// Writing a value of a value column by its type letter and heading (before fitting).
std::string escribeValorVisor(char tipo, std::string_view encabezado, std::string_view valor);
// A cell fitted to n characters (fixed-pitch sheet): characters below code 30 become
// blanks, the text is cut to 50; n or more characters keep n and one blank; shorter
// ones are padded to n + 1.
std::string ajustaCelda(std::string_view texto, int n);
// The export file name: ".xls" added unless the fourth-last character is ".".
std::string nombreExportacion(std::string_view nombre);

class VisorConcentrado {
 public:
  VisorConcentrado(std::string directorioSistema, std::string caption, int tamanoFuente = 8);

  // Reads the headings and widths and opens "final.tmp". A missing "final.tmp" leaves
  // the viewer empty (no pages); false when it is missing or its size is not a whole
  // number of records (the viewer still opens, empty, and says so in error()).
  bool abre();
  const std::string& error() const { return error_; }

  // Called by the screen that ran the generator.
  void TitulosGrafica(std::string titulo, std::string eje1, std::string eje2, std::string valor);

  // Commands.
  void BotonGrafica();   // bars
  void BotonPie();
  void BotonLineas();
  void BotonReporte();   // text report
  void BotonTexto();     // plain text pages
  void BotonSiguiente();
  void BotonAnterior();
  void irAPagina(int pagina);  // 0-based, clipped to the pages there are
  void columnaGrafica(int columna);  // 1..3
  void TamaodeColumnas(int factor);  // at least 1
  // Draws the current page in the current mode (the sheet or the chart page).
  void dibuja();

  ModoVista modo() const { return modo_; }
  bool modoGrafica() const { return modo_ == ModoVista::Pie || modo_ == ModoVista::Barras || modo_ == ModoVista::Lineas; }
  int pagina() const { return pagina_; }
  long registros() const { return datos_; }
  int paginas() const;
  const std::string& estado() const { return estado_; }
  const HojaReporte& hoja() const { return hoja_; }
  const PaginaGrafica& grafica() const { return grafica_; }
  int puntosPorPagina() const;
  const std::string& titulo() const { return tituloGrafica_; }
  const std::string& eje1() const { return eje1_; }
  const std::string& eje2() const { return eje2_; }
  const std::array<std::string, 10>& encabezados() const { return encabezados_; }
  std::string opcion() const { return opcion_; }

  // The text pages desde..hasta (1-based, clipped) as printed.
  std::vector<PaginaImpresa> paginasImpresas(int desde, int hasta);

  // The headings and every record's texts, tab-separated (what the export writes).
  std::vector<std::string> lineasExportacion();

  // Export: "\tempo\exel.tmp" copied to the name chosen (asked through ui), and the
  // spreadsheet program started on it. False when cancelled or it could not be written.
  bool BotonExporta(base::Interaccion& ui, base::Procesos& procesos, const base::TablaProgramas& programas,
                    std::string_view hojaDeCalculo);

  // Closing: the scratch files of "\tempo" are deleted.
  void cierra();

  // A data record (0-based), read from the file.
  std::optional<RegistroConcentrado> registro(long i);

 private:
  void dibujaTexto(bool formato);
  void dibujaGrafica();
  std::string lineaRegistro(const RegistroConcentrado& r, bool formato) const;
  std::string lineaTotales(const std::array<long long, 8>& sumas) const;
  const std::array<long long, 8>& totalesReporte();
  void cambiaModo(ModoVista m);

  std::string sistema_, caption_;
  HojaReporte hoja_;
  std::ifstream final_;
  long datos_ = 0;
  std::array<std::string, 10> encabezados_;
  std::array<char, 8> tipos_{'x', 'x', 'x', 'x', 'x', 'x', 'x', 'x'};
  std::string opcion_;
  std::array<int, 10> anchos_{15, 30, 15, 15, 15, 15, 15, 15, 15, 15};
  ModoVista modo_ = ModoVista::Reporte;
  int pagina_ = 0;
  int columna_ = 1;
  int factor_ = 1;
  std::string tituloGrafica_, eje1_, eje2_, valorGrafica_;
  std::string estado_, error_;
  PaginaGrafica grafica_;
  std::optional<std::array<long long, 8>> totales_;
};

// The currencies the viewer knows: up to 12 of the currency table, in file order.
struct MonedaVisor {
  std::string nombre, simbolo, abreviatura;
  friend bool operator==(const MonedaVisor&, const MonedaVisor&) = default;
};
std::vector<MonedaVisor> monedasVisor(std::string_view directorioDatos);

// The query variant of the text pages: the rows of an open query of ten columns (key,
// second key, seven values, and the row's currency abbreviation), 50 to a page, with
// one "TOTALES" line per currency at the end of the report (after a line of blanks;
// only currencies whose sums are not all zero). A currency is named by the table's
// name for its abbreviation (or name); "M.N.", "DLLS", "DM" and "FR" and any other text
// not in the table stand for themselves.
class VisorConsulta {
 public:
  VisorConsulta(std::string caption, std::unique_ptr<sql::Resultado> filas, std::array<std::string, 10> encabezados,
                std::array<int, 10> anchos, std::vector<MonedaVisor> monedas);
  ~VisorConsulta();
  int paginas() const;
  void muestra(int pagina);  // 0-based; past the end nothing changes
  int pagina() const { return pagina_; }
  const HojaReporte& hoja() const { return hoja_; }
  const std::string& estado() const { return estado_; }

 private:
  std::string caption_;
  std::unique_ptr<sql::Resultado> filas_;
  std::array<std::string, 10> encabezados_;
  std::array<int, 10> anchos_;
  std::vector<MonedaVisor> monedas_;
  HojaReporte hoja_;
  std::string estado_;
  int pagina_ = 0;
};

}  // namespace mostrador::reports
