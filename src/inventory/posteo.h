#pragma once
// The posting rule: what a movement does to a product's stock and average cost, and how
// its record is written to "movinven.dbf". Every poster (sales documents, manual
// movements, transfers, counts and adjustments, purchases, the counter) goes through
// here, inside the save unit it has opened (store::bloquea, store::UnidadGuardado,
// confirma()): engine errors propagate, so that a movement that cannot be written fails
// the whole save and the unit puts every table back.
//
// Types 1 to 50 are exits (stock decreases), 51 and above entries. Only types 51 and 57
// with a positive quantity and a positive unit cost recompute the average cost.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "store/dbf/dbf_table.h"

namespace mostrador::inventory {

inline constexpr const char* kTablaMovimientos = "movinven.dbf";
inline constexpr int kTipoNegativo = 8;  // a line typed with a negative quantity

// What the company's configuration says about posting.
struct ReglasPosteo {
  bool sinNegativos = false;  // line 41 "N": stock never goes below 0
};

inline bool esSalida(int tipo) { return tipo <= 50; }

// The type a line is recorded under: a negative quantity under an entry type is recorded
// as type 8 (an exit) with its absolute value. Under an exit type a negative line keeps
// its type and its sign (it puts units back), so that the journal always agrees with
// what the line did to the stock.
int tipoRegistrado(int tipo, double cantidad);

// The average cost after an entry of q units at unit cost c, given the method ("PROM"
// or blank: weighted; anything else: the entry's cost), the stock s before and the
// average a. Unrounded.
double costoPromedio(std::string_view metodo, double s, double a, double q, double c);

// The stock after a line of quantity q (with its sign) under type t; a negative result
// becomes 0 under the rule's sinNegativos.
double existenciaTras(double existencia, int tipo, double q, const ReglasPosteo& reglas);

// One line of a movement, as its record is written.
struct Movimiento {
  long long numero = 0;  // CLDOC_MI
  int tipo = 0;          // recorded type (TIMOV_MI)
  std::string clave, descripcion;
  double cantidad = 0;   // CANTI_MI as recorded
  double costo = 0, precio = 0;
  std::string fecha;     // FEDOC_MI, dd/MM/yyyy
  long secuencia = 0;    // FECHA
  std::string referencia, documento;  // REFMO_MI, NUDOC_MI
  std::string contraparte;            // CLPRV_MI and CLCOP_MI
  std::string vendedor, origen;       // CLVEN_MI, BANAF_MI
  std::string almacen = "1";          // NALMA_MI
  std::optional<long> usuario;        // HORAF_F (left blank when not given)
  std::string usuarioTexto;           // USUARIO
  long long control = 0;              // CONTROL
  double existencia = 0;              // EXIST_MI
  uint32_t registro = 0;              // the record it was read from (0 when not read)
};

// Posts lines on an open movements table and an open catalogue. The catalogue's index is
// set to ICLPRO for every lookup.
class Posteo {
 public:
  Posteo(dbf::Table& movimientos, dbf::Table& productos, ReglasPosteo reglas);

  // The rule for one typed line of signed quantity q under type t: the product (average
  // cost for 51/57, stock, line 41), then the record (tipoRegistrado, EXIST_MI the stock
  // after the line). Returns the product's stock after the line, nullopt
  // when the product is not in the catalogue (the movement is still written).
  std::optional<double> posta(Movimiento linea, double q);

  // Stock and cost only (no record): for reposting and for posters that write their own
  // record. Same return as posta.
  std::optional<double> aplica(int tipo, const std::string& clave, double q, double costo);

  // Appends the record exactly as given (blank texts stay blank).
  void escribe(const Movimiento& m);

  const ReglasPosteo& reglas() const { return reglas_; }

 private:
  dbf::Table& movimientos_;
  dbf::Table& productos_;
  ReglasPosteo reglas_;
};

// The next movement number: the last in CLDOC_MI order plus 1.
long long siguienteMovimiento(dbf::Table& movimientos);

}  // namespace mostrador::inventory
