#pragma once
// The report definition runner: the engine behind the report screen TFormaReporteSQL.
//
// A definition is a text of lines separated by CR (LF accepted too), made of blocks;
// each block ends with a line starting with "@", which runs it. The first character of
// a line gives its role, and every occurrence of that character is removed to give the
// line's value:
//
//   $  block title        ("Reporte de " + value; the caption when the value is empty)
//   &  query              every "#" replaced by the data path
//   ?  condition          appended as "  where " + value
//   ¿  filter place       replaced before the run by the user's conditions
//   !  order              appended as "  order by " + value; "X" means no ordering
//   >  group field        the result column whose change closes a group
//   %  column codes       one per result column, separated by blanks
//   #  column headings    the heading line; it also gives every column's width
//   <  closing block      the block stops reading there and is not run
//   @  end of block       runs the block
//
// Column codes (first letter, lower case):
//   $      currency "$#,###,##0.00", right-aligned in 12
//   e, s   whole number "#######", right-aligned in 7
//   f      rounded to four decimals, "#,###,##0.00", right-aligned in 12
//   t      as f, summed per group and for the block
//   m      as t, summed for the block only; the block total shows the average
//   p,s,l  l characters of the text from position s (1-based)
//   other  the text as it comes
// A numeric value that is empty counts as 0; one that is not a number is written as a
// zero right-aligned in 12 and adds nothing.
//
// Report state per run: the sheet, the block number, per block and column a running
// total (50 blocks × 75 columns), per column a group subtotal and the block's row count.
// Totals are held as 64-bit ten-thousandths, so that long columns add up exactly.
//
// Only queries run: a block whose statement would change a table fails like any other
// failing block ("Error al ejecutar el reporte..."), and the run stops there.

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "reports/filtro_reporte.h"
#include "reports/hoja_reporte.h"
#include "base/interaccion.h"
#include "base/reloj.h"

namespace mostrador::sql {
class BaseSql;
}

namespace mostrador::reports {

inline constexpr std::string_view kErrorReporte = "Error al ejecutar el reporte...";
inline constexpr int kMaxBloques = 50;
inline constexpr int kMaxColumnas = 75;

// A number in a mask of the kind "#,###,##0.00": rounded half away from zero to the
// decimals on its shortest decimal form, thousands grouped when asked, the integer part
// "0" or nothing for zero (ceroEntero), "-" before the prefix. What the number-mask
// service writes for those masks, without parsing the mask for every cell.
std::string mascaraRapida(double v, int decimales, bool miles, bool ceroEntero, std::string_view prefijo);

// A value written by its column code (before fitting to the column's width).
std::string escribeCodigo(std::string_view codigo, std::string_view valor);
// Widths of the columns of a heading line (one blank appended): each column runs from its
// start up to and including the blanks that follow it.
std::vector<int> anchosEncabezado(std::string_view encabezado);
// A cell fitted to a width: a wider cell keeps width − 1 characters and one blank, a
// narrower one is padded with blanks, one exactly as wide stays whole (the width already
// holds the blanks of its heading). Widths count characters.
std::string ajustaAncho(std::string_view celda, int ancho);

class ReporteSql {
 public:
  ReporteSql(base::Interaccion& ui, std::string caption, int tamanoFuente = 8);
  ~ReporteSql();
  ReporteSql(const ReporteSql&) = delete;
  ReporteSql& operator=(const ReporteSql&) = delete;

  // Resets the state and runs every block of the definition. columnaOrden: the order
  // column chosen in the filter dialog ("" none). On a failing block shows
  // "Error al ejecutar el reporte..." and returns false (the sheet keeps what the blocks
  // before it wrote).
  bool ejecuta(std::string_view definicion, std::string_view rutaDatos, std::string_view columnaOrden = {});

  // The cash-cut summary of report kinds 1 (appended to the lines) and 2 (below the
  // first line, black at size 12), from the totals of blocks 0 to 6: per block, column 2
  // the total, 3 the sub-total, 4 the tax, 6 the FPGC and 7 the taxed base.
  void resumenCaja(int tipo);

  const std::string& caption() const { return caption_; }
  const HojaReporte& hoja() const { return hoja_; }
  HojaReporte& hoja() { return hoja_; }
  // Total of a column of a block (block 0 is the first block run); 0 outside the state.
  double total(int bloque, int columna) const;
  int bloquesEjecutados() const { return bloque_; }

 private:
  struct Bloque;
  bool ejecutaBloque(const Bloque& b, std::string_view rutaDatos, std::string_view columnaOrden);

  base::Interaccion& ui_;
  std::string caption_;
  HojaReporte hoja_;
  std::unique_ptr<sql::BaseSql> sql_;
  int bloque_ = 0;
  std::vector<std::array<long long, kMaxColumnas>> totales_;
};

// What EjecutaReporte works with: the session's directories, the dialogs, the clock.
struct ContextoReporte {
  std::string directorioSistema;
  std::string directorioDatos;
  base::Interaccion& ui;
  DialogoFiltro* dialogo = nullptr;  // nullptr: the filter cannot be shown (runs unfiltered)
  const base::Reloj* reloj = nullptr;
  int tamanoFuente = 8;
};

struct ParametrosReporte {
  std::string definicion;
  // The table file (of the data directory) the report is based on; "" for none.
  std::string tabla;
  std::string opciones = "SSSS";
  bool muestraFiltro = true;
  int tipo = 0;  // 1 and 2 append the cash-cut summary
};

// Runs a report definition: prepares the filter dialog (range of the document field,
// the definition's fields, the option letters), shows it when asked, puts the chosen
// conditions in place of every "¿" and runs the blocks. nullptr when the dialog was not
// accepted or a block failed (the message was shown).
std::unique_ptr<ReporteSql> EjecutaReporte(ContextoReporte& ctx, std::string_view titulo,
                                           std::string_view campoDocumento, std::string_view campoFecha,
                                           const ParametrosReporte& p);

// The text that replaces "¿" for a filter state: a blank and the conditions, each
// introduced by " and " (the range of the document field, then the dialog's own).
// alias: the table alias written after "¿" in the definition, or "".
std::string condicionesDeFiltro(const FiltroReporte& f, std::string_view campoDocumento,
                                std::string_view campoFecha, std::string_view alias);

}  // namespace mostrador::reports
