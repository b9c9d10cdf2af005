#pragma once
// Manual inventory movements (the engine behind TFormaMovimientosInventario and the
// command line's "movimientos"): saving a movement document through the posting rule in
// one save unit, transfers to another company directory (the origin's exit and the
// destination's entry in the same unit), imports, the totals line and the inventory cut.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/reloj.h"
#include "inventory/posteo.h"
#include "inventory/reportes_inventario.h"

namespace mostrador::inventory {

// The company settings a movement reads.
struct AjustesMovimientos {
  std::string dirDatos;     // movements, concepts (configuration line 8)
  std::string dirCatalogo;  // products and movements (line 59, or dirDatos when blank)
  ReglasPosteo reglas;      // line 41
  bool recalculaTotales = false;   // line 38 "S"
  bool traspasoPorEmpaque = false; // line 57 "S"
  std::string usuario = "0";       // signed-in user number
};

// AjustesMovimientos from the configuration lines (1-based, as Gener<N>.cnf holds them).
AjustesMovimientos ajustesDe(const std::vector<std::string>& lineas);

struct LineaMovimiento {
  std::string clave;
  double cantidad = 0;   // signed
  double costo = 0, precio = 0;
  std::string descripcion, referencia;  // blank: the catalogue's description / the header's
};

struct DocumentoMovimiento {
  long long numero = 0;  // 0: the next number
  int tipo = 0;
  std::string fecha;     // dd/MM/yyyy
  std::string contraparte, referencia;
  std::string almacen = "1";
  std::vector<LineaMovimiento> lineas;
};

struct Concepto {
  int numero = 0;
  std::string descripcion;
  char clase = 'X';      // 'T' transfer
  std::string destino;   // ALMAC_CM
};

// The concept of a type in "CoMovInv.dbf"; nullopt when it is not there.
std::optional<Concepto> leeConcepto(const std::string& dirDatos, int tipo);
// Deletes a concept: "El concepto no puede Eliminarse..." for a built-in one, "No Existe
// Tipo de Movimiento" for one that is not there; "" when deleted.
std::string borraConcepto(const std::string& dirDatos, int tipo);

struct ResultadoMovimiento {
  bool guardado = false;
  std::string mensaje;   // why not (exact Spanish message); empty when saved
  long long numero = 0;
  int lineas = 0;        // lines posted (quantity not 0)
  long long numeroDestino = 0;  // transfers: the destination's movement number
};

inline constexpr std::string_view kFaltaTipo = "Falta Seleccionar un Tipo de Movimiento";
inline constexpr std::string_view kFaltanDatos = "No se puede Guardar faltan datos";
inline constexpr std::string_view kErrorGuardar = "No se Pueden Guardar los Datos ha Ocurrido un Error";

// The record of a typed line as a movement document writes it (number, type, dates,
// references, warehouse and user from the document and the settings).
Movimiento movimientoDe(const AjustesMovimientos& a, const DocumentoMovimiento& d, const LineaMovimiento& l,
                        long long numero, int tipo, long secuencia);

// The result of a save its unit put back: the held record's message, or kErrorGuardar.
ResultadoMovimiento guardadoFallido(const dbf::Error& e);

// Saves a movement: every line with a quantity through the posting rule, and for a
// transfer concept the same lines into the destination company, all in one unit: a
// failure anywhere leaves every table of both companies as it was.
ResultadoMovimiento guardaMovimiento(const AjustesMovimientos& a, const DocumentoMovimiento& d,
                                     const base::Reloj& reloj);

// A movement file of the command line: "tipo=N", "fecha=dd/MM/aaaa", then one
// "clave;cantidad;costo" line per row (blank lines and lines starting with "#" are
// skipped). Every bad line is reported with its number ("Línea 4: ..."); the movement
// is only made when there are none.
struct LecturaMovimiento {
  DocumentoMovimiento documento;
  std::vector<std::string> errores;
};
LecturaMovimiento leeArchivoAlta(const std::vector<std::string>& lineas);

// The exchange file "Movimientos.mov": comma-separated, field 2 the key, field 3 the
// quantity, field 4 the type. Lines of different types make one movement per type (in
// the order the types first appear) instead of posting every line under the last type.
struct LecturaImportacion {
  std::vector<DocumentoMovimiento> documentos;
  std::vector<std::string> errores;
};
LecturaImportacion leeArchivoMovimientos(const std::vector<std::string>& lineas, const std::string& fecha);

// The totals line of a product over its movements: entries (types above 50), exits, and
// "Entradas  ... Salidas  ... Existencias  ..." with the mask ###,##0.00. With
// recalculaTotales the product's EXIST_I and the year sales (VANCA_I, VANMO_I from the
// delivery notes) are written, in one unit.
struct TotalesMovimientos {
  double entradas = 0, salidas = 0, remisiones = 0;
  std::string linea;
};
TotalesMovimientos totalesProducto(const AjustesMovimientos& a, const std::string& clave);

// The inventory cut: every movement of type 1, 2, 3, 51 or 54 deleted (in one unit);
// returns how many. avance(hechos, total) is called as it goes.
long corteInventario(const AjustesMovimientos& a, const std::function<void(long, long)>& avance = {});

// ---- Browsing the journal (the screen shows one movement at a time) ----

// The lines of movement n as stored (type, quantity and cost as recorded).
std::vector<Movimiento> leeMovimiento(const std::string& dirMovimientos, long long numero);

enum class Paso { Primero, Anterior, Siguiente, Ultimo };
// The movement number a step away from n in number order; nullopt when there is none.
std::optional<long long> movimientoVecino(const std::string& dirMovimientos, long long numero, Paso paso);

// The journal in the order of a tag: the movement a step away from the one whose line
// stands at record `registro`, as (number, record of its first line met in that order).
enum class OrdenMovimientos { Numero, Producto, Fecha };
struct PosicionMovimiento {
  long long numero = 0;
  uint32_t registro = 0;
};
std::optional<PosicionMovimiento> movimientoEnOrden(const std::string& dirMovimientos, const PosicionMovimiento& actual,
                                                    Paso paso, OrdenMovimientos orden);
// "Movimientos al Inventario Ordenado por ..." for each order.
std::string tituloOrden(OrdenMovimientos orden);

// The concepts of "CoMovInv.dbf" in type order (the type lookup's rows).
std::vector<Concepto> leeConceptos(const std::string& dirDatos);

// The amount a line shows: quantity × price for exits, × cost for entries.
double importeLinea(const Movimiento& m);

// The movement reports (Entradas1, Salidas1, GeneraldeMovimientos1) as definitions for
// the report runner, over the movements table of that directory.
enum class ReporteMovimientos { Entradas, Salidas, General };
DefinicionReporte definicionReporteMovimientos(ReporteMovimientos r, const std::string& dirMovimientos);

// A product as line entry fills it: by key (CLPRO_I) or by bar code (CODIG_I).
struct ProductoMovimiento {
  std::string clave, descripcion;
  double costo = 0, precio = 0;  // ULCOS_I, PPUBL_I
};
std::optional<ProductoMovimiento> buscaProducto(const std::string& dirCatalogo, const std::string& clave);
inline constexpr std::string_view kProductoNoEncontrado = "El Producto No Se encuenta";

// Reposting a movement: every line of type 57 or above with a quantity moves the stock
// again (type 57 recomputing the average from its cost), in one unit. Returns the lines.
long repostaMovimiento(const AjustesMovimientos& a, long long numero);

// The first movement of a product in number order; nullopt when it has none.
std::optional<long long> primerMovimientoDe(const std::string& dirMovimientos, const std::string& clave);
inline constexpr std::string_view kErrorBusqueda = "Ocurrio un Error al Hacer la Busqueda";

// The label files of a movement for the label formats, in the working directory:
// "etiqmi.dat" the header (a line of field names and a line of values, tab-separated)
// and "etiqmid.dat" its lines (the same heading, then one line per line). false when a
// file cannot be written.
bool escribeEtiquetas(const std::string& dirTrabajo, const std::vector<Movimiento>& lineas,
                      const std::string& concepto);

}  // namespace mostrador::inventory
