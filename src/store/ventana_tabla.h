#pragma once
// A window of rows over a table in its current index order: the rows a lookup grid has
// in view and a few pages around them, never the whole table. It opens on the nearest
// match of a key (or on the first or last record) by reading one page before and two
// after, and grows a page at a time at either end as the grid scrolls; the far end is
// trimmed so that the rows held stay bounded whatever the table's size.
//
// Rows hold texts only (what the grid shows), the record number and the answer key.
// The table handle stays the caller's: the window moves it (goTo, next, prior) and
// reads fields through the lector, so the caller repositions it before its own reads.
//
// Preconditions: the table is open and stays open (in the same index order) for the
// window's life; the lector and the filter only read the current record.

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "store/dbf/dbf_table.h"

namespace mostrador::store {

struct FilaVentana {
  uint32_t registro = 0;
  std::string clave;                 // the field the row answers with
  std::vector<std::string> celdas;   // the texts the grid shows
};

class VentanaTabla {
 public:
  using Lector = std::function<std::vector<std::string>(const dbf::Cursor&)>;
  using Filtro = std::function<bool(const dbf::Cursor&)>;

  // pagina: rows of one page (the grid's height is a good value).
  VentanaTabla(dbf::Table& tabla, std::string campoClave, Lector lector, Filtro filtro = {},
               int pagina = 40);

  // Reopen the window; each answers the row of the anchor (-1 when nothing shows).
  int alPrincipio();
  int alFinal();
  // Nearest match of the values on the table's index (past the last key: the last row);
  // a record the filter refuses gives the next one it accepts, or the one before.
  int enCercano(const std::vector<dbf::KeyValue>& valores);
  // Around the table's current record.
  int alrededorDelActual();

  int filas() const { return static_cast<int>(filas_.size()); }
  const FilaVentana& fila(int i) const { return filas_[static_cast<size_t>(i)]; }
  int filaDeRegistro(uint32_t registro) const;  // -1 when the record is not held

  // Whether the first / last row held is the first / last of the table (as filtered).
  bool principioCargado() const { return principio_; }
  bool finalCargado() const { return final_; }

  // Read one more page below the last row / above the first; answer the rows added
  // (added above go to the front: row numbers shift by that many).
  int agregaAbajo();
  int agregaArriba();
  // Drop n rows from the top / bottom (the ends are then no longer loaded).
  void recortaArriba(int n);
  void recortaAbajo(int n);

  int pagina() const { return pagina_; }
  // Records read since construction (filtered ones too): what a lookup costs.
  long lecturas() const { return lecturas_; }

 private:
  int ancla(bool haciaAdelante);
  void ordenPropio();
  FilaVentana lee();
  int leeAdelante(uint32_t desde, int n, std::vector<FilaVentana>& out);
  int leeAtras(uint32_t desde, int n, std::vector<FilaVentana>& out);

  dbf::Table& tabla_;
  std::string campoClave_;
  Lector lector_;
  Filtro filtro_;
  int pagina_;
  std::string indice_;
  std::deque<FilaVentana> filas_;
  bool principio_ = true, final_ = true;
  bool extremo_ = false;  // opening at the first or last record
  long lecturas_ = 0;
};

}  // namespace mostrador::store
