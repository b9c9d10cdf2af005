#pragma once
// The company summary (TFormaConsolidar is its view): six sums over the data directory,
// each "Select Sum(<expression>) from "<data dir>\<table>" " with its condition, shown
// with the mask "###,###,##0.00"; a sum that is empty (no records) or cannot be read
// (a missing table) shows "0".
//
// The date range. Off by default (RadioButton2): the sums cover every record, as the
// summary always did. When the operator turns it on (RadioButton1), the delivery-note
// and purchase lines count only the documents dated within FechaInicio..FechaFinal
// (FEDOC_F, FEDOC_O; both ends included); the two inventory lines are a picture of the
// stock today and ignore it.

#include <string>
#include <string_view>
#include <vector>

#include "base/fechas.h"
#include "base/interaccion.h"

namespace mostrador::store {

inline constexpr std::string_view kMascaraConsolidado = "###,###,##0.00";

struct LineaConsolidado {
  std::string etiqueta;  // "Total de Remisiones  "
  std::string sentencia;
  double valor = 0;
  std::string texto;     // the masked sum, or "0"
};

class Consolidar {
 public:
  Consolidar(base::Interaccion& ui, std::string dirDatos, const base::Fecha& hoy);

  // Both compute the six lines.
  void FormShow();
  void BotonEsquinado1Click();
  // The chart's six bars (label, value).
  std::vector<std::pair<std::string, double>> BotonEsquinado2Click() const;

  void ponRango(bool activo) { rango_ = activo; }  // RadioButton1 / RadioButton2
  void ponFechaInicio(const base::Fecha& f) { inicio_ = f; }
  void ponFechaFinal(const base::Fecha& f) { final_ = f; }

  const std::string& LabelRuta() const { return datos_; }
  std::vector<std::string> MemoConsolidar() const;  // label + masked sum
  const std::vector<LineaConsolidado>& lineas() const { return lineas_; }
  bool RadioButton1() const { return rango_; }
  const base::Fecha& FechaInicio() const { return inicio_; }
  const base::Fecha& FechaFinal() const { return final_; }
  int Progreso() const { return progreso_; }

 private:
  void calcula();
  base::Interaccion& ui_;
  std::string datos_;
  bool rango_ = false;
  base::Fecha inicio_, final_;
  std::vector<LineaConsolidado> lineas_;
  int progreso_ = 0;
};

}  // namespace mostrador::store
