#pragma once
// The document check and the movement rebuild (the main window's permanent check and
// its "Inventario Físico" button).
//
// Check: the document check of the numbering (store::verificaDocumentos) over the five
// document pairs; its report lines are kept, and a document it reports with lines and no
// movement at all (and not cancelled) has its lines re-posted.
//
// Rebuild: the documents that have lines and no movement at all get their lines written
// as movements (records only: the save that lost them had already moved the stock);
// then every product whose stock did not change during the run is set to the sum of its
// movements, recorded in "MI.dbf" (ANTERIOR, REALES, ACTUAL).

#include <string>
#include <vector>

#include "base/reloj.h"
#include "inventory/ajuste.h"

namespace mostrador::inventory {

struct ResultadoRevision {
  std::vector<std::string> informe;  // the check's lines
  long reposteados = 0;              // documents whose lines were written as movements
};

ResultadoRevision revisaDocumentos(const AjustesMovimientos& a, bool reposta, const base::Reloj& reloj);

struct ResultadoReconstruccion {
  ResultadoRevision revision;
  std::vector<std::string> actualizados;  // "clave,existencia nueva,suma de movimientos"
  std::string resumen;                    // "<n>  Actualizados"
};

ResultadoReconstruccion reconstruyeMovimientos(const AjustesMovimientos& a, const base::Reloj& reloj,
                                               const Avance& avance = {});

}  // namespace mostrador::inventory
