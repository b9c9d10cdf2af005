#include "store/ventana_tabla.h"

#include <algorithm>
#include <optional>

namespace mostrador::store {

VentanaTabla::VentanaTabla(dbf::Table& tabla, std::string campoClave, Lector lector, Filtro filtro,
                           int pagina)
    : tabla_(tabla),
      campoClave_(std::move(campoClave)),
      lector_(std::move(lector)),
      filtro_(std::move(filtro)),
      pagina_(std::max(1, pagina)),
      indice_(tabla.index()) {}

// The caller may have read the table in another order meanwhile.
void VentanaTabla::ordenPropio() {
  if (tabla_.index() != indice_) tabla_.setIndex(indice_);
}

FilaVentana VentanaTabla::lee() {
  FilaVentana f;
  f.registro = tabla_.recno();
  f.clave = tabla_.asText(campoClave_);
  if (lector_) f.celdas = lector_(tabla_);
  return f;
}

// Reads up to n accepted rows after the record desde; true when the table ended first.
int VentanaTabla::leeAdelante(uint32_t desde, int n, std::vector<FilaVentana>& out) {
  ordenPropio();
  ++lecturas_;
  if (!tabla_.goTo(desde)) return 1;
  while (static_cast<int>(out.size()) < n) {
    tabla_.next();
    if (tabla_.eof()) return 1;
    ++lecturas_;
    if (!filtro_ || filtro_(tabla_)) out.push_back(lee());
  }
  return 0;
}

// Reads up to n accepted rows before the record desde, nearest first.
int VentanaTabla::leeAtras(uint32_t desde, int n, std::vector<FilaVentana>& out) {
  ordenPropio();
  ++lecturas_;
  if (!tabla_.goTo(desde)) return 1;
  while (static_cast<int>(out.size()) < n) {
    tabla_.prior();
    if (tabla_.bof()) return 1;
    ++lecturas_;
    if (!filtro_ || filtro_(tabla_)) out.push_back(lee());
  }
  return 0;
}

int VentanaTabla::ancla(bool haciaAdelante) {
  filas_.clear();
  principio_ = final_ = true;
  const uint32_t origen = tabla_.recno();
  if (origen == 0) return -1;
  ++lecturas_;
  std::vector<FilaVentana> antes, despues;
  std::optional<FilaVentana> centro;
  if (!filtro_ || filtro_(tabla_)) {
    centro = lee();
  } else {
    // The first accepted record in the preferred direction, else in the other one.
    std::vector<FilaVentana> uno;
    if (haciaAdelante)
      leeAdelante(origen, 1, uno);
    else
      leeAtras(origen, 1, uno);
    if (uno.empty()) {
      if (haciaAdelante)
        leeAtras(origen, 1, uno);
      else
        leeAdelante(origen, 1, uno);
    }
    if (uno.empty()) return -1;
    centro = std::move(uno.front());
  }
  // At an end of the table one page fills the screen; elsewhere a page on each side of
  // the anchor and one more ahead.
  const int delante = extremo_ ? (haciaAdelante ? pagina_ : 0) : (haciaAdelante ? 2 * pagina_ : pagina_);
  const int detras = extremo_ ? (haciaAdelante ? 0 : pagina_) : (haciaAdelante ? pagina_ : 2 * pagina_);
  final_ = leeAdelante(centro->registro, delante, despues) != 0;
  principio_ = leeAtras(centro->registro, detras, antes) != 0;
  if (extremo_) (haciaAdelante ? principio_ : final_) = true;
  for (auto it = antes.rbegin(); it != antes.rend(); ++it) filas_.push_back(std::move(*it));
  const int fila = static_cast<int>(filas_.size());
  filas_.push_back(std::move(*centro));
  for (auto& f : despues) filas_.push_back(std::move(f));
  return fila;
}

int VentanaTabla::alPrincipio() {
  ordenPropio();
  tabla_.first();
  extremo_ = true;
  const int f = ancla(true);
  extremo_ = false;
  return f;
}

int VentanaTabla::alFinal() {
  ordenPropio();
  tabla_.last();
  extremo_ = true;
  const int f = ancla(false);
  extremo_ = false;
  return f;
}

int VentanaTabla::enCercano(const std::vector<dbf::KeyValue>& valores) {
  ordenPropio();
  tabla_.findNearest(valores);
  return ancla(true);
}

int VentanaTabla::alrededorDelActual() { return ancla(true); }

int VentanaTabla::filaDeRegistro(uint32_t registro) const {
  for (size_t i = 0; i < filas_.size(); ++i)
    if (filas_[i].registro == registro) return static_cast<int>(i);
  return -1;
}

int VentanaTabla::agregaAbajo() {
  if (final_ || filas_.empty()) return 0;
  std::vector<FilaVentana> nuevas;
  final_ = leeAdelante(filas_.back().registro, pagina_, nuevas) != 0;
  for (auto& f : nuevas) filas_.push_back(std::move(f));
  return static_cast<int>(nuevas.size());
}

int VentanaTabla::agregaArriba() {
  if (principio_ || filas_.empty()) return 0;
  std::vector<FilaVentana> nuevas;
  principio_ = leeAtras(filas_.front().registro, pagina_, nuevas) != 0;
  for (auto& f : nuevas) filas_.push_front(std::move(f));
  return static_cast<int>(nuevas.size());
}

void VentanaTabla::recortaArriba(int n) {
  n = std::min(n, filas());
  if (n <= 0) return;
  filas_.erase(filas_.begin(), filas_.begin() + n);
  principio_ = false;
}

void VentanaTabla::recortaAbajo(int n) {
  n = std::min(n, filas());
  if (n <= 0) return;
  filas_.erase(filas_.end() - n, filas_.end());
  final_ = false;
}

}  // namespace mostrador::store
