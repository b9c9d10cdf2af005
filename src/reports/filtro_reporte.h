#pragma once
// The report filter dialog's state and rules (TFormaFormatos as the report commands use
// it): a date range, a document range, three field conditions, an order column and the
// three include flags, turned into SQL conditions. The screen shows and edits this
// state; the report runner reads it through DialogoFiltro.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/reloj.h"

namespace mostrador::reports {

struct CondicionCampo {
  std::string campo;  // C1..C3: the chosen field's name ("" when none)
  std::string tipo;   // T1..T3
  std::string operador = "=";
  std::string valor;
};

// One field the dialog offers: description, name and type (cut to 15 characters).
struct CampoFiltro {
  std::string describe, campo, tipo;
  friend bool operator==(const CampoFiltro&, const CampoFiltro&) = default;
};

struct FiltroReporte {
  // Controls the caller may disable (the option letters and PreparaFiltro).
  bool inicialActivo = true, finalActivo = true, deActivo = true, hastaActivo = true;
  bool condicionesActivas = true;

  std::optional<base::Fecha> inicial, final_;
  std::string de, hasta;
  std::array<CondicionCampo, 3> condiciones;
  std::string orden, tipoOrden;  // O1, TO1
  bool incluir1 = false, incluirDevoluciones = false, incluir3 = false;
  std::string titulo = "Datos del Reporte";
  // The date field holds its dates as "dd/MM/yyyy" text (the detail tables): the
  // conditions compare year, month and day taken out of the text instead.
  bool fechasTexto = false;
  std::vector<CampoFiltro> campos;  // up to 60 entries
  // The table the report is based on, for the value picker.
  std::string directorioDatos, tabla;
  // 1 accepted, 2 BitBtn3, 3 BotonAceptar, 0 closed otherwise.
  int respuesta = 0;

  // RangoFiltro: both dates today, the document range from..to.
  void RangoFiltro(const base::Fecha& hoy, std::string desde, std::string hastaTexto);
  // The option letters: "N" in position 1 to 4 disables the from date, the to date, the
  // range start and the range end.
  void aplicaOpciones(std::string_view opciones);
  // Adds a field entry unless its description is already offered (max 60).
  void agregaCampo(CampoFiltro c);
};

// The conditions of the dialog (dates, then conditions 1 to 3), "and " + ...; empty
// when the user set none. Either date field may be empty.
std::string CondicionFiltro(const FiltroReporte& f, std::string_view campoDesde, std::string_view campoHasta);

// The field names of a definition's select list: from the first "&", past "Select", up
// to "from"; ",", "-", "+", "*", "/" end a name; parentheses are dropped; an alias prefix
// up to "." is removed.
std::vector<std::string> CamposDeConsulta(std::string_view definicion);

// The value picker's statement for a field of the report's table:
// SELECT DISTINCT name FROM "<data directory>\<table>" order by name.
std::string sentenciaValores(std::string_view directorioDatos, std::string_view tabla, std::string_view campo);

// The order column's field name, "" when none was chosen.
inline std::string ColumnaOrden(const FiltroReporte& f) { return f.orden; }

// PreparaFiltro's field lists: the entries of the field dictionary "campos.dbf" of the
// system directory for the table (the invoice-layout tables looked up as the invoice
// tables), then the definition's select-list fields the dictionary knows. A missing
// dictionary gives the select-list fields under their own names.
std::vector<CampoFiltro> camposDeFiltro(std::string_view directorioSistema, std::string_view tabla,
                                        const std::vector<std::string>& camposConsulta);

// The dialog as the runner sees it. pide shows the dialog on the state (already
// prepared) and returns true when the user accepted it (answer 1).
class DialogoFiltro {
 public:
  virtual ~DialogoFiltro() = default;
  virtual bool pide(FiltroReporte& filtro) = 0;
};

// The dialog answered without a screen (command line, scheduled runs): the dates and
// document range given, nothing else; a bound not given is left open.
class FiltroFijo : public DialogoFiltro {
 public:
  FiltroFijo(std::optional<base::Fecha> desde, std::optional<base::Fecha> hasta, std::string de = {},
             std::string hastaDocumento = {})
      : desde_(desde), hasta_(hasta), de_(std::move(de)), hastaDocumento_(std::move(hastaDocumento)) {}
  bool pide(FiltroReporte& f) override {
    f.inicial = desde_;
    f.final_ = hasta_;
    f.de = de_;
    f.hasta = hastaDocumento_;
    f.respuesta = 1;
    return true;
  }

 private:
  std::optional<base::Fecha> desde_, hasta_;
  std::string de_, hastaDocumento_;
};

}  // namespace mostrador::reports
