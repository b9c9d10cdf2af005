#pragma once
// The field dictionary "campos.dbf" of the system directory and the query builder's
// engine (TFormaConsulta is its view).
//
// The builder lists the dictionary's fields of one table, takes conditions made in its
// grid (a field, an operator, a value or a second field), an optional date range and
// the order fields, and writes the query:
//
//   Select f1,f2 From "<data>\<table>" Where c1 and c2 and d>='m/d/yyyy' and d<='m/d/yyyy'
//     Order by o1,o2
//
// (no Where / Order by when there is nothing to put there). Values go in double
// quotation marks; dates in the SQL date text. The result may be kept as the scratch
// table "<system>\tempo\BaseTempo.dbf", with a running number CONSEC when asked.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/interaccion.h"
#include "base/reloj.h"
#include "store/dbf/dbf_table.h"

namespace mostrador::query {

inline constexpr std::string_view kTiposNoCompatibles = "No son compatibles los tipos";
inline constexpr std::string_view kValorErroneo = "Valor Erroneo";
inline constexpr std::string_view kErrorCondiciones =
    "Ocurrio un error revise sus condiciones y su archivo de consulta";

struct CampoDiccionario {
  std::string campo, describe, tipo;
  int tamano = 0;
  friend bool operator==(const CampoDiccionario&, const CampoDiccionario&) = default;
};

// The name a table is described under: lower case; the sales documents that share the
// invoice layout are described as "facturae.dbf" / "facturad.dbf".
std::string tablaDelDiccionario(std::string_view archivo);
// The dictionary entries of a table, in dictionary order (tag TABLA); empty when the
// dictionary is missing.
std::vector<CampoDiccionario> camposDiccionario(std::string_view directorioSistema,
                                                std::string_view archivoTabla);
// One field by name (tag CAMPO), whatever its table.
std::optional<CampoDiccionario> campoDiccionario(std::string_view directorioSistema,
                                                 std::string_view campo);

struct CondicionConsulta {
  std::string campo, operador, valor;
  bool valorEsCampo = false;
  friend bool operator==(const CondicionConsulta&, const CondicionConsulta&) = default;
};

class ConstructorConsulta {
 public:
  static const std::vector<std::string>& operadores();  // "=", "<", ">", "<=", ">=", "<>"

  // camposFecha: the caller's comma-separated date fields ("" for none).
  ConstructorConsulta(base::Interaccion& ui, std::string directorioSistema,
                      std::string directorioDatos, std::string archivoTabla,
                      std::string camposFecha = {});

  const std::vector<CampoDiccionario>& campos() const { return campos_; }
  const std::vector<std::string>& camposFecha() const { return fechas_; }
  bool usaFechas() const { return !fechas_.empty(); }

  // Adds a condition. A value that does not fit the field shows "Valor Erroneo"; a
  // second field of another type "No son compatibles los tipos"; either refuses it.
  bool agregaCondicion(const CondicionConsulta& c);
  const std::vector<CondicionConsulta>& condiciones() const { return condiciones_; }
  void quitaCondiciones() { condiciones_.clear(); }

  void ponSeleccion(std::vector<std::string> campos) { seleccion_ = std::move(campos); }
  void ponOrden(std::vector<std::string> campos) { orden_ = std::move(campos); }
  void ponRangoFechas(std::string campo, base::Fecha inicial, base::Fecha final);
  void quitaRangoFechas() { campoFecha_.clear(); }

  std::string consulta() const;
  // The two statements that make the scratch table; empty when no field is chosen.
  std::vector<std::string> sentenciasTabla(bool consecutivo) const;
  std::string rutaTablaTemporal() const;

  // Runs the query into "\tempo\BaseTempo.dbf". On failure shows the builder's message
  // and returns false.
  bool guardaResultado(bool consecutivo);

 private:
  std::optional<dbf::FieldDef> defCampo(std::string_view nombre) const;

  base::Interaccion& ui_;
  std::string sistema_, datos_, tabla_;
  std::vector<CampoDiccionario> campos_;
  std::vector<dbf::FieldDef> defs_;
  std::vector<std::string> fechas_;
  std::vector<CondicionConsulta> condiciones_;
  std::vector<std::string> seleccion_, orden_;
  std::string campoFecha_;
  base::Fecha inicial_{}, final_{};
};

}  // namespace mostrador::query
