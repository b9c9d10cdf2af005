#pragma once
// Several stations selling into one company, and a checker of what the files show
// afterwards that reads the .dbf bytes itself: it does not trust the engine it checks.
//
// Each station drives the sales capture engine as a cashier does (F9, customer, 1 to 20
// lines, F10, and one more F10 when the first is refused) and keeps a plain log of what
// it typed: "I|<sale>|<type>|<customer>|<key>:<qty>,..." before F10, "G|<sale>|<number>"
// once saved, "X|<sale>" when both tries were refused. The sale's id is also written in
// the header's DIRE2_F, so that the checker can match a stored document with the sale
// typed even when the station was killed before it could log "G".

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "support/empresa_ventas.h"

namespace mostrador::prueba {

struct OpcionesTienda {
  int productos = 40;
  int clientes = 4;
  double existencia = 100000;  // each product's stock at the start
  int facturaCada = 5;         // every n-th sale of a station is an invoice, the rest notes
};

// Products "P01".. with price 1.25 × n, customers "C1".., and one system directory per
// station ("C:\tvk" for station 1, "C:\tvk2"..). Returns the stations' system dirs.
std::vector<std::string> preparaTienda(EmpresaVentas& empresa, int estaciones, const OpcionesTienda& o);

// One station's work; returns 0, or a code saying where it stopped.
int vendeEstacion(const EmpresaVentas& empresa, const std::string& sistema, int estacion, int ventas,
                  uint64_t semilla, const std::string& registro, const OpcionesTienda& o);

struct RevisionTienda {
  long guardados = 0;      // documents stored whole
  long confirmados = 0;    // sales a station saw saved
  long rechazados = 0;     // sales refused twice (logged "X")
  long reservados = 0;     // headers taken by F9 and never saved (killed stations)
  long distintos = 0, huerfanos = 0, duplicados = 0, perdidos = 0, existencias = 0, saldos = 0,
       ilegibles = 0;
  std::vector<std::string> problemas;  // the first ones, readable
  bool sana() const { return problemas.empty(); }
  std::string resumen() const;
};

// datos: local path of the data directory; registros: the stations' logs.
RevisionTienda revisaTienda(const std::string& datos, const std::vector<std::string>& registros,
                            const OpcionesTienda& o);

// The live records of a table read from its bytes, not through the engine: field name ->
// trimmed text. error says why the file does not read. dir is a local path.
struct TablaCruda {
  std::string error;
  std::vector<std::map<std::string, std::string>> filas;
};
TablaCruda leeTablaCruda(const std::string& dir, const std::string& nombre);

}  // namespace mostrador::prueba
