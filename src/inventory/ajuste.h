#pragma once
// Bringing the catalogue's stock into line: the physical count worksheet "Ajuste.dbf"
// (counted quantities in, variances out, adjustments posted through the posting rule) and
// the administrator's recounts from the stock history.

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "base/reloj.h"
#include "inventory/kardex.h"
#include "inventory/movimientos.h"

namespace mostrador::inventory {

using Avance = std::function<void(long hechos, long total)>;

// Adjust by kardex: EXIST_I := the recount for every product where they differ (one
// unit). Returns how many were adjusted ("Total de Ajustados " + n).
long ajustaSegunKardex(const AjustesMovimientos& a, const OpcionesKardex& o, const Avance& avance = {});

// Adjust by stock: for every product with |EXIST_I − recount| ≥ 0.01 a balancing line so
// that the history ends at EXIST_I (type 6 exit when the recount is higher, type 56 entry
// when lower), all lines one movement; EXIST_I is not changed. Returns the lines posted.
long ajustaSegunExistencias(const AjustesMovimientos& a, const OpcionesKardex& o, const base::Reloj& reloj,
                            const Avance& avance = {});

// Review: "clave,existencia,*recuento" for every product whose recount differs.
std::vector<std::string> revisaExistencias(const AjustesMovimientos& a, const OpcionesKardex& o);

// The kardex's final stock written into the product, in one unit; false when the
// product is not in the catalogue.
bool escribeExistencia(const AjustesMovimientos& a, const std::string& clave, double existencia);

// CPROM_I := the purchase average of the journal. A product without receipts keeps its
// average (nullopt, nothing written): a recount is no reason to lose a cost.
std::optional<double> ajustaCostoPromedio(const AjustesMovimientos& a, const std::string& clave);

inline constexpr std::string_view kSoloAdministrador = "Esta Opción es Permitida solo al Administrador";

// ---- The count worksheet ----

struct FilaAjuste {
  std::string clave, descripcion;
  double teorico = 0, reales = 0, ajuste = 0, costo = 0;
  std::string linea, proveedor;
};

// Drops and makes "Ajuste.dbf" in the data directory: one row per catalogue product with
// its stock, last cost, line and first supplier; counted quantities at 0.
long creaHojaAjuste(const AjustesMovimientos& a);

// Counted quantities "clave,cantidad" (several lines of a key add up). Unknown keys and
// bad lines are reported with their line number; the good lines are counted (a count is
// typed by hand and a mistyped key must not cost the whole count).
std::vector<std::string> importaConteo(const AjustesMovimientos& a, const std::vector<std::string>& lineas);

// AJUSTE := REALES − TEORICO and the three values × COSTO, for every row.
void calculaVariacion(const AjustesMovimientos& a);

std::vector<FilaAjuste> leeHojaAjuste(const AjustesMovimientos& a);

// The printed sheet: "Clave", "Decripción", "Valor Teórico", "Valor Reales", "Valor
// Ajuste" and each value's share of its column's total ("%Teórico", "%Reales", "%Ajuste",
// 0 when the total is 0), rounded to two decimals; the report writes them with its mask.
std::vector<std::vector<std::string>> filasImpresasAjuste(const std::vector<FilaAjuste>& filas);

// The worksheet filter: each pair given (from, to) by column, joined with " and ";
// soloConAjuste adds "REALES>0". Nothing given: "Faltan Datos para Filtrar...".
struct FiltroAjuste {
  std::optional<std::pair<std::string, std::string>> clave, linea, proveedor;
  bool soloConAjuste = false;
};
inline constexpr std::string_view kFaltanDatosFiltro = "Faltan Datos para Filtrar...";
std::string textoFiltro(const FiltroAjuste& f);  // "" and kFaltanDatosFiltro apart: the condition
// Whether a row passes the filter (a range not given passes everything).
bool cumpleFiltro(const FiltroAjuste& f, const FilaAjuste& fila);

// Adjusting. By the adjustment field: one movement of type 58 with each row's AJUSTE
// (negative ones recorded as type 8), then EXIST_I := REALES for every row. By the counted
// field: every stock to 0 and every movement deleted, one movement of type 58 with each
// row's REALES, EXIST_I := REALES. Each is one unit.
// With a filter (adjustment field only) just the rows that pass it are adjusted.
ResultadoMovimiento ajustaHoja(const AjustesMovimientos& a, bool porReales, const base::Reloj& reloj,
                               const FiltroAjuste* filtro = nullptr);

}  // namespace mostrador::inventory
