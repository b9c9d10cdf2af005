#pragma once
// Saving, posting, deleting and cancelling a sales document. It is given the document as
// a value (header fields, lines, totals) and the tables the capture opened; it takes the
// locks of every record it will edit, runs the save unit over the directories written
// and confirms it, or rolls everything back. It never talks to the user: what the user
// must read comes back as Spanish messages, in the order they arose.
//
// A save, by letter (F invoice, Z invoice made from other documents, R delivery note,
// D return, C P N the rest):
//   F  stock and one movement of type 1 per line, the customer's balance raised
//   Z  no stock, no movements, the customer's balance raised, copy to "FactAuxi"
//   R  stock and one movement of type 3 per line
//   D  stock back and one movement of type 52 per line
//   C P N  header and lines only
// A modification first undoes the previous save (its movements go and their number is
// reused, the stock comes back, its lines are deleted), inside the same unit.

#include <functional>
#include <optional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "base/reloj.h"
#include "inventory/posteo.h"
#include "sales/ajustes.h"
#include "sales/documento.h"
#include "store/dbf/dbf_table.h"

namespace mostrador::sales {

// The tables a save writes, opened by the capture engine.
struct TablasVenta {
  dbf::Table& encabezado;   // the type's header table, on the document's row
  dbf::Table& detalle;      // its detail table
  dbf::Table& productos;    // "inventar.dbf"
  dbf::Table& clientes;     // "cliente.dbf"
  dbf::Table& movimientos;  // "movinven.dbf"
};

struct ResultadoGuardado {
  bool guardado = false;
  std::vector<std::string> mensajes;  // to show, in order (warnings and the failure)
  long long numero = 0;               // the number it was saved under
  long long control = 0;              // the stamp of the save
};

// A product record another station holds while a counter sale is saved: the sale goes
// through and the stock change is recorded apart for later (see the counter).
struct ExistenciaPendiente {
  std::string clave;
  double cantidad = 0;  // signed: negated for exits
  long long control = 0;
  std::string modulo;   // the document type as Base shows it
  int movimiento = 0;
};

class GuardadoVenta {
 public:
  GuardadoVenta(TablasVenta tablas, const AjustesVenta& ajustes, const base::Reloj& reloj);

  // The directories a save of the type writes.
  std::vector<std::string> directorios(TipoVenta t) const;

  // F10. Preconditions: the header table stands on the document's row; the totals of
  // d are those of its lines (the capture recomputed them).
  ResultadoGuardado guarda(const Documento& d);

  // When set, a product record held by another station does not stop the save: that
  // line's stock is not touched and the change goes to this sink instead.
  void ponPendientes(std::function<void(const ExistenciaPendiente&)> sink) { pendientes_ = std::move(sink); }

  // Eliminar1Click and Cancelar1Click on the stored document the header stands on (d is
  // its redisplay). The confirmations are the caller's. Messages to show; ok tells
  // whether it was done.
  struct Resultado {
    bool hecho = false;
    std::vector<std::string> mensajes;
  };
  Resultado elimina(const Documento& d);
  Resultado cancela(const Documento& d);

  // Whether an invoice was made from other documents (it has a copy in "FactAuxi").
  bool esFacturaGenerada(const std::string& numero) const;

 private:
  struct Curso;  // the state of one save in progress
  std::optional<std::string> bloquea(const Documento& d, char letra, std::vector<std::string>& ocupados);
  void libera();
  long long confirmaNumero(const Documento& d);
  long long tomaNumeroMovimiento(Curso& c);
  void escribeDocumento(const Documento& d, char letra, Curso& c);
  bool pasoExistencia(const Documento& d, const Partida& p, Curso& c);
  void pasoDevolucion(const Documento& d, const Partida& p);
  void escribeMovimiento(const Documento& d, const Partida& p, int tipo, const std::string& referencia,
                         long long numero, long long control, long long numeroMovimiento);
  void actualizaSaldo(const Documento& d, double cargoPrevio);
  void quitaMovimientos(const std::string& referencia, Curso* c);
  void regresaExistencias(const Documento& d, const std::string& numero, long long sello, int signo,
                          int tipoReverso, const std::string& referencia, long long control);
  void borraDetalle(const std::string& numero, long long sello);
  void copiaAuxiliar(const std::string& numero, long long control);
  void liberaNotasDe(const std::string& factura);
  void descuentaCargo();
  inventory::ReglasPosteo reglas() const { return {aj_.sinNegativos}; }

  TablasVenta t_;
  const AjustesVenta& aj_;
  const base::Reloj& reloj_;
  long long ultimoMovimientoLeido_ = 0;  // a failed read keeps the number read before
  // The headers of each kind saved, apart from the capture's own handle (whose
  // position must not move): opened at the first save of the kind, kept for the next.
  std::map<std::string, std::unique_ptr<dbf::Table>> otros_;  // by directory and table
  std::function<void(const ExistenciaPendiente&)> pendientes_;
};

}  // namespace mostrador::sales
