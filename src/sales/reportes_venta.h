#pragma once
// The sales reports: each command of the sales screen's reports menu as a report
// definition over the current document type's tables (run by printing/reporte_sql.h),
// or, for the period, currency, seller and till summaries, as a run of the
// concentration generator shown in the report viewer (printing/concentrado.h).
//
// Net subtotal. The sales engine keeps in SUBTO_F the subtotal after the document
// discount and in DECOT_F the discount *amount*. The reports' net subtotal is therefore
// SUBTO_F itself; taking DECOT_F off it again as a percentage
// (SUBTO_F-(SUBTO_F*DECOT_F/100)) would print a wrong net for every discounted document.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "reports/concentrado.h"
#include "reports/hoja_reporte.h"
#include "base/interaccion.h"
#include "base/reloj.h"
#include "store/catalogo.h"

namespace mostrador::sales {

// The net subtotal of a sales header, as the report queries write it.
inline constexpr std::string_view kSubtotalNeto = "SUBTO_F";

struct ComandoReporte {
  std::string_view nombre;   // objectName of the menu item ("Concentrar1")
  std::string_view titulo;   // its caption
};

// The report commands of the sales screen, in menu order; a "-" name separates groups.
const std::vector<ComandoReporte>& comandosReporteVenta();
std::optional<ComandoReporte> comandoReporte(std::string_view nombre);

// A report definition ready for EjecutaReporte.
struct DefinicionVenta {
  std::string texto;
  std::string campoDocumento, campoFecha;
  std::string tabla;  // the table file the document range is taken from ("" none)
  int tipo = 0;       // 1, 2: the cash-cut summary
};

// A summary through the concentration generator.
using ConcentradoVenta = reports::DefinicionConcentrado;

struct ContextoVenta {
  const store::DefDocumento& documento;  // the sales screen's current type
  std::string directorioDatos;
  const base::Reloj& reloj;
  std::string caja = "1";  // for the paid / unpaid documents
  bool impuestoIncluido = false;  // line 33: prices carry their tax (the cut's taxed base)
};

// The definition of a definition-run command; nullopt for any other name.
std::optional<DefinicionVenta> definicionReporteVenta(std::string_view comando, const ContextoVenta& ctx);
// The summary of a generator command (the period, currency, seller and till summaries
// of the reports menu, and the till's cash cut by document "CortedeCaja1"); nullopt for
// any other name. The invoices' auxiliary copy is read with them, each document once.
// The dates bound the documents read ("dd/MM/yyyy", both or neither).
std::optional<ConcentradoVenta> concentradoVenta(std::string_view comando, const ContextoVenta& ctx,
                                                 std::string_view desde, std::string_view hasta);

// Runs a summary: opens its tables (a missing one adds nothing), runs the generator and
// writes the titles and widths for the viewer.
reports::ResultadoConcentrado ejecutaConcentradoVenta(const ConcentradoVenta& c, std::string_view directorioSistema,
                                                       std::string_view directorioDatos, base::Interaccion& ui);

// A report run without screens (the command line): a menu command, or a stored
// definition text with its title and fields, over a date range and document range.
struct PeticionReporteVenta {
  std::string comando;
  std::string definicion;
  std::string titulo, campoDocumento = "CLDOC_F", campoFecha = "FEDOC_F", tabla;
  store::Documento documento = store::Documento::Factura;
  std::optional<base::Fecha> desde, hasta;
  std::string de, hastaDocumento;
  std::string caja = "1";
  bool impuestoIncluido = false;
  // Another screen's summary (the customer screen's), run as the sales summaries are.
  std::optional<reports::DefinicionConcentrado> concentrado;
};

struct HojaVenta {
  std::string titulo;
  std::vector<reports::LineaHoja> lineas;      // as the screen shows them
  std::vector<std::string> tabuladas;            // tab-separated
  std::vector<reports::PaginaImpresa> paginas;  // as printed
};

// nullopt when the command is unknown (message "No existe el reporte " + name) or the
// report failed (its message was shown). Summaries leave no scratch files behind.
std::optional<HojaVenta> reporteVenta(const PeticionReporteVenta& p, std::string_view directorioSistema,
                                      std::string_view directorioDatos, base::Interaccion& ui,
                                      const base::Reloj& reloj);

// Whether a command asks for the till number first (paid / unpaid documents).
bool pideCaja(std::string_view comando);

}  // namespace mostrador::sales
