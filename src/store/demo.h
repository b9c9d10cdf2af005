#pragma once
// Demonstration data: a Spanish-speaking general store with its catalogue, customers,
// suppliers, sellers, a year of inventory movements and some documents. The data is a
// pure function of the seed, the size and the reference date: the same inputs give the
// same table bytes (the header's date of last update aside).
//
// The data is consistent the way the system keeps it: every product's stock is the sum
// of its movements (exits negative), average costs follow the posting rule, every
// document's lines carry its control stamp and have one movement each under
// NUDOC_MI, customer and supplier balances equal their open documents, and the counters
// are seeded with the last document numbers.

#include <cstdint>
#include <functional>
#include <string_view>

#include "store/dbf/dbf_table.h"

namespace mostrador::store {

struct TamanoDemo {
  int productos = 200;
  int clientes = 50;
  int proveedores = 10;
  int vendedores = 5;
  long movimientos = 2000;  // every movement, those of the documents included
  int remisiones = 40;
  int facturas = 20;
  int compras = 15;

  static TamanoDemo pequeno();  // 200 products, 2 000 movements
  static TamanoDemo mediano();  // 5 000 products, 50 000 movements
  static TamanoDemo grande();   // 100 000 products, 1 000 000 movements
};

struct OpcionesDemo {
  uint64_t semilla = 1;
  TamanoDemo tamano = TamanoDemo::pequeno();
  dbf::Fecha hoy{2025, 6, 30};  // last day of the history
  int dias = 365;               // length of the history
  // Called after each day of history with the days done and the days in all.
  std::function<void(long, long)> avance;
};

struct ResumenDemo {
  long productos = 0, clientes = 0, proveedores = 0, vendedores = 0;
  long movimientos = 0;
  long remisiones = 0, facturas = 0, compras = 0;
  long partidas = 0;  // lines of every document
};

// Fills the company tables of dirDatos (created beforehand by creaDirectorioDatos),
// replacing their contents. Large tables are loaded without indexes and indexed at the
// end, which is much faster than keeping every tag current on every append.
ResumenDemo generaDemo(std::string_view dirDatos, const OpcionesDemo& o);

}  // namespace mostrador::store
