#pragma once
// The query builder's result as the grid screen TFormaGraficas and the report page
// TFormaNuevoReporte use it: the column sum, the tab-separated export and the text
// report of the rows.

#include <string>
#include <string_view>
#include <vector>

#include "reports/hoja_reporte.h"

namespace mostrador::reports {

inline constexpr std::string_view kNoSePuedeSumar = "No es Posible Relizar la operación en esta columna";

// The exact sum of a column: every value scaled by 10000 and rounded before it is
// added, so that 0.1 ten times is 1 and not 0.9999999.
class SumaExacta {
 public:
  void agrega(double v);
  long long diezmilesimos() const { return total_; }
  double valor() const { return static_cast<double>(total_) / 10000.0; }
  // Through the mask "##,###,##0.00".
  std::string texto() const;

 private:
  long long total_ = 0;
};

// "La Suma es : " + the sum of the column's values (four decimals exact), or the
// refusal when a value is not a number. numerica: the column's field is numeric.
std::string sumaColumna(const std::vector<std::vector<std::string>>& filas, size_t columna, bool numerica);

// How a column of the report is written: its width in letters "M", right-aligned
// (numbers) or not, and its kind: '#' whole numbers ("#,###,###,##0"), 'n' decimals
// ("##,###,##0.00"), 'c' text.
struct ColumnaNuevoReporte {
  std::string titulo;
  int ancho = 0;
  char tipo = 'c';
};

// The widths of a comma-separated list ("10,20,,8": an empty entry is 0).
std::vector<int> anchosDeLista(std::string_view lista);

// The report: title line "*************Reporte*********", the heading, the rows (with a
// "CONSEC" column first when asked), the "TOTALES" line of the numeric columns, then,
// after two empty lines, the withdrawal lines when given. Cut into pages of 50 lines.
struct NuevoReporte {
  std::vector<PaginaImpresa> paginas;
  std::vector<std::string> estados;  // "Página " + n per page
};
NuevoReporte construyeNuevoReporte(const std::vector<ColumnaNuevoReporte>& columnas,
                                   const std::vector<std::vector<std::string>>& filas, bool consecutivo,
                                   const std::vector<std::string>& retiros = {});

// A cell padded to a width: blanks on the left for right-aligned columns, on the right
// otherwise (fixed pitch: one letter "M" is one character).
std::string rellena(std::string_view texto, int ancho, bool derecha);

}  // namespace mostrador::reports
