#pragma once
// The query console's engine (TFormaSQL is its view): runs a Spanish query through the
// local SQL, keeps the result with its column kinds, pages it by fifty rows, sums a
// column exactly, loads and saves query files under "<system>\report\", exports the
// result for the spreadsheet program and runs the receivables data correction.
//
// States:
//
//   empty --ejecuta() ok--> showing a result (page 0) --siguiente()/anterior()--> ...
//   any --ejecuta() fails--> the previous result stays; the error text was shown
//
// Preconditions: the directories are stored paths; the Interaccion outlives the engine.

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/interaccion.h"
#include "base/programas.h"
#include "reports/rejilla_reporte.h"
#include "store/sql/resultado.h"
#include "store/sql/sql.h"

namespace mostrador::query {

inline constexpr std::string_view kPasswordInvalido =
    "Password inválido, no se podra modificar campo";

class ConsolaSql {
 public:
  static constexpr long kFilasPorPagina = 50;

  ConsolaSql(base::Interaccion& ui, std::string directorioSistema, std::string directorioDatos);
  ~ConsolaSql();

  // Reset the kinds, translate, close the old result and run. A statement that is not a
  // SELECT runs through the engine and leaves no result. On failure the engine's text is
  // shown and false returned; the translation stays available.
  // A statement that changes data (anything but a query that returns rows) needs the
  // administrator: user "0", or the administrator key typed when asked; otherwise
  // "Esta Opción es Permitida solo al Administrador" and nothing runs. Reading is open.
  bool ejecuta(std::string_view codigo);
  // The signed-in user the console works for ("0", the administrator, until told).
  void ponUsuario(std::string usuario) { usuario_ = std::move(usuario); }
  const std::string& traduccion() const { return traduccion_; }
  const sql::Resultado* resultado() const { return resultado_.get(); }
  long filasAfectadas() const { return afectadas_; }

  // Column kinds: ' ' (none), 'n', 'm', 'c' or 'i' (hidden). Reset by every run.
  char tipo(int columna) const;
  void ponTipo(int columna, char tipo);
  int columnas() const;
  std::vector<std::string> titulos() const;

  // Paging: the page shows rows [inicio, inicio + 50).
  long inicio() const { return inicio_; }
  bool haySiguiente() const;
  bool hayAnterior() const { return inicio_ > 0; }
  void siguiente();
  void anterior();
  std::vector<std::vector<std::string>> pagina() const;

  // Sums a column over every result row. Shows "La Suma es : " + the sum, or the
  // not-a-number message; returns the text shown.
  std::string suma(int columna);

  // "<system>\report\" + nombre when it exists; nullopt (nothing changes) otherwise.
  std::optional<std::vector<std::string>> cargaArchivo(std::string_view nombre) const;
  std::string directorioReportes() const;
  // Asks for a name (the save dialog opens in "\report\") and writes the lines; a name
  // without extension gets ".sql". Returns the path written.
  std::optional<std::string> guardaArchivo(const std::vector<std::string>& lineas);

  // Asks for a file, writes the titles and every row tab-separated and starts the
  // spreadsheet program (configuration line 31) on it. Returns the file written.
  std::optional<std::string> exporta(const std::string& programaHojaCalculo,
                                     const base::TablaProgramas& programas,
                                     base::Procesos& procesos);

  // The data correction, for the administrator only. Returns the records changed, or
  // nullopt when it was refused or failed (the message was shown, nothing changed).
  std::optional<long> corrigeDatos();

 private:
  base::Interaccion& ui_;
  std::string sistema_, datos_;
  std::unique_ptr<sql::BaseSql> base_;
  std::unique_ptr<sql::Resultado> resultado_;
  std::string traduccion_;
  std::string usuario_ = "0";
  std::vector<char> tipos_;
  long inicio_ = 0;
  long afectadas_ = 0;
};

// The data correction itself, without the rights check (see ConsolaSql::corrigeDatos):
// 1. every receivable of an invoice numbered above 22134 gets the invoice's IMIM1_F as
//    IVAXX_CC; 2. receivables without a seller take the seller and commission of a
//    receivable of the same document that has one; 3. the same by reference. Run twice,
//    as the console always did. Every record to change is worked out first; the writes
//    go through the table engine record by record, and when one fails (a record held by
//    another station) the records already written get their old values back before the
//    error is thrown, so a failed correction leaves the table as it was.
long correccionCuentasPorCobrar(std::string_view directorioDatos);

}  // namespace mostrador::query
