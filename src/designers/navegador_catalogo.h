#pragma once
// The catalogue browser's engine (TFormaCatalogo is its view): a table of the data
// directory shown page by page without reading it whole, with titles from the field
// dictionary, saved column layouts (".pla") and index choice (".xla"), a search on the
// index, the record filter (the receivables rule and up to 30 user conditions), the
// administrator's cell edit, column kinds, the exact four-decimal sum and the export.
//
// Rows are read forward from the table's current index order as the grid asks for them
// (cargaMas); the sum and the export read the whole table sequentially. A search, an
// index change, a filter change or a refresh start the rows again.
//
// Layout file (<system>\<table name up to its first ".">.pla), our own text:
//   line 1   "PLANTILLA 1"
//   then     one line per shown column: field name, "|", title, "|", width
// A file that does not start with that line, or whose columns name no field of the
// table, is refused with kPlantillaInvalida and the current layout stays.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "reports/concentrado.h"
#include "base/interaccion.h"
#include "base/programas.h"
#include "store/dbf/dbf_table.h"

namespace mostrador::designers {

inline constexpr std::string_view kSinIndice = "No se ha Definido un Indice.";
inline constexpr std::string_view kColumnaNoNumerica = "La Columna no es Numérico...";
inline constexpr std::string_view kNoSePuedeSumarColumna = "La columna no se puede sumar...";
inline constexpr std::string_view kCreandoReporte = "Creando Reporte Espere un momento por Favor...";
inline constexpr std::string_view kOrdenandoReporte = "Ordenando Reporte Espere un momento por Favor...";

struct ColumnaCatalogo {
  std::string campo, titulo;
  int ancho = 80;  // points; 0: as wide as its title and field need
  char tipo = ' ';  // ' ', 'c', 'i', 'm', 'n'
  friend bool operator==(const ColumnaCatalogo&, const ColumnaCatalogo&) = default;
};

// One condition of the filter grid.
struct CondicionFiltro {
  std::string campo, operador, valor, atributo;
  friend bool operator==(const CondicionFiltro&, const CondicionFiltro&) = default;
};
// Reads the filter grid's answer "campo*cond*valor*attr*..." (up to 30 conditions).
std::vector<CondicionFiltro> leeCondicionesFiltro(std::string_view texto);

// What a cell of a field shows: a column of the amount kind ("m") as money ("$1,234.50",
// negatives in parentheses), a number column ("n") and any other field with decimals
// with two decimals and thousands grouped, whole numbers and texts as stored (trimmed).
// A value that does not read as a number is shown as it is.
std::string muestraValor(const dbf::FieldDef& campo, char tipo, std::string_view texto);

// Widths that fill a grid: when the columns are narrower than the room there is, the
// extra room is shared among the automatic columns in proportion to their widths (the
// last automatic one takes the remainder), so that they end exactly at its edge; the
// columns given a width keep it. With no automatic column, or no extra room, the widths
// stay as they are.
std::vector<int> reparteAnchos(const std::vector<int>& anchos, const std::vector<bool>& automaticas, int disponible);

struct FilaCatalogo {
  uint32_t recno = 0;
  std::vector<std::string> celdas;  // one per column
};

class NavegadorCatalogo {
 public:
  static constexpr int kMaxCondiciones = 30;

  // columnas: the caller's fields and headings (empty fields are skipped); none means
  // every field.
  NavegadorCatalogo(base::Interaccion& ui, std::string directorioSistema,
                    std::string directorioDatos, std::string tabla,
                    std::vector<ColumnaCatalogo> columnas);
  ~NavegadorCatalogo();

  const std::string& tabla() const { return tabla_; }
  const std::vector<ColumnaCatalogo>& columnas() const { return columnas_; }
  const std::vector<dbf::FieldDef>& campos() const;
  // "Registros  " + the table's record count.
  std::string textoRegistros() const;

  // The text a cell shows (muestraValor of its field and the column's kind); the
  // stored text stays in filas() for editing, searching and the row's key.
  std::string textoCelda(int fila, int columna) const;
  // Numeric field (shown right-aligned, summable).
  bool columnaNumerica(int columna) const;
  // Characters of the column's field (its stored width).
  int largoCampo(int columna) const;

  // Rows read so far and reading more.
  const std::vector<FilaCatalogo>& filas() const { return filas_; }
  // Reads up to n more rows; returns how many were added.
  size_t cargaMas(size_t n);
  bool todoLeido() const { return fin_; }
  void reinicia();

  // Columns.
  void todosLosCampos();
  std::string rutaPlantilla() const;
  std::string rutaIndice() const;
  // Restores the layout and the index choice when the files exist; false when the
  // layout file is missing or refused.
  bool restauraPlantilla();
  bool guardaPlantilla();
  void ponAncho(int columna, int ancho);
  void mueveColumna(int de, int a);
  // The column kind prompt's answer; false (with the message) when refused.
  bool ponTipo(int columna, char tipo, bool total);

  // Index.
  struct DescripcionIndice {
    std::string tag, descripcion;
  };
  std::vector<DescripcionIndice> indices() const;
  std::string indice() const;
  void ponIndice(std::string_view tag);
  // Goes to the nearest record of the value; shows "No se ha Definido un Indice." when
  // no index is set. Returns false when it did not search. When the record lies within
  // the first kFilasAntesDeBusqueda rows the rows are read from the start up to it, so
  // the user can still scroll back; further on, the rows start at it. fila() then tells
  // the row to stand on (-1 when no record is at or after the value).
  static constexpr size_t kFilasAntesDeBusqueda = 5000;
  bool busca(std::string_view valor);
  int filaBuscada() const { return filaBuscada_; }

  // Filters.
  bool filtraCobranza() const { return cobranza_; }
  // Conditions of the filter grid; a date condition whose value is not a date is
  // refused with "Valor Erroneo" and the filter stays as it was.
  bool ponCondiciones(std::vector<CondicionFiltro> condiciones);
  const std::vector<CondicionFiltro>& condiciones() const { return condiciones_; }

  // Administrator edit.
  bool editable() const { return editable_; }
  void BotonCambiosClick();
  // Writes one cell through the table engine (record lock, field check). On failure the
  // record keeps its old value and the message is shown.
  bool cambiaCelda(int fila, int columna, std::string_view valor);

  // "La suma es = " + sum, or the refusal; returns the text shown.
  std::string suma(int columna);
  // The exact sum alone, in ten-thousandths (no message); nullopt for a column that
  // cannot be summed.
  std::optional<long long> sumaDiezmilesimos(int columna);

  // Asks for a file and writes the visible columns of every shown record, then opens
  // the spreadsheet. Returns the file written.
  std::optional<std::string> exporta(const std::string& programa, const base::TablaProgramas& programas,
                                     base::Procesos& procesos);

  // The key a double click opens the module screen on: the row's first column (the
  // fourth for receivables).
  std::string claveDeFila(int fila) const;

  // Custom reports of "<system>\report\reportes.sql": captions (first 35 characters).
  std::vector<std::string> reportes() const;
  // Writes the rest of report line n as "<system>\report\tempo.sql" and runs it into the
  // scratch table "tempo.dbf"; returns its path, or nullopt after the message.
  std::optional<std::string> preparaReporte(int n);
  // Concentrates the scratch table a custom report made (its first field the key, its
  // numeric fields the columns, option "D", the filter's conditions), with the headings
  // and widths the viewer reads. True when "final.tmp" is ready.
  bool concentraReporte(const std::string& tabla, const reports::CondicionesConcentrado& condiciones,
                        base::Interaccion& progreso, std::function<bool()> cancelado = {});

 private:
  size_t leeMas(size_t n);
  bool pasaFiltro(const std::function<std::string(int)>& texto) const;
  int indiceCampo(std::string_view campo) const;
  std::string titulo(std::string_view campo, std::string_view porOmision) const;

  base::Interaccion& ui_;
  std::string sistema_, datos_, tabla_;
  std::unique_ptr<dbf::Table> t_;
  std::vector<ColumnaCatalogo> columnas_;
  std::vector<int> indicesColumna_;
  std::vector<FilaCatalogo> filas_;
  bool fin_ = false;
  bool empezado_ = false;
  uint32_t ultimo_ = 0;
  int filaBuscada_ = -1;  // the record the rows stopped at (an edit moves the handle)
  bool cobranza_ = false;
  bool editable_ = false;
  std::vector<CondicionFiltro> condiciones_;
  std::optional<std::vector<dbf::KeyValue>> desde_;
};

}  // namespace mostrador::designers
