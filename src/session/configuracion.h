#pragma once
// The company configuration file "\Gener<N>.cnf": 72 lines, one setting per line,
// addressed by position, rewritten whole on every save.
//
// This is the one place that knows the line map: which control of the configuration
// screen shows each line, what kind of value it holds, and what a new company starts
// with. A new company's file and the configuration screen both go through here.
//
//   LINE   CONTROL                 KIND        DEFAULT
//   1      Edit1                   SI/NO       "NO"  (flush and find again after saving)
//   5      Edit5                   text        "16"  (purchase tax rate)
//   6      Edit6                   SI/NO       "SI"  (movements integrated)
//   8      Edit8                   directory   the data directory
//   9      Edit9                   text        the company name
//   10     Edit10                  reserved    always written empty
//   11     Edit11                  text        company access key, "" = none
//   26,27  -                       unused      written empty, skipped on reading
//   65     VistaResaltada/Clasica  S/N         "S"
//   66-68  EditTablaDeCxC          text x3     "cucobrar", read back from line 68
//   (the full table is kMapa in configuracion.cpp)

#include <array>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mostrador::base {
class Interaccion;
}

namespace mostrador::session {

inline constexpr int kLineasConfiguracion = 72;

// How a line is shown and read back.
enum class ClaseLinea {
  Texto,       // free text in an edit field
  SiNo,        // "SI"/"NO" word in an edit field; double click toggles
  Directorio,  // a directory path
  Formato,     // bare file name of a print format under <system>\consulta\ (double click picks)
  Programa,    // full path of a program
  Casilla,     // "S"/"N" check box; only an exact "S" is on
  Numero,      // a number in an edit field
  Reservada,   // shown, always written empty (line 10)
  SinUso,      // no control; written empty, skipped on reading (26, 27)
  Vista,       // line 65: VistaResaltada for "S", VistaClasica otherwise
  TablaCxC,    // 66, 67, 68: one control written three times, read from 68
};

struct LineaConfiguracion {
  int linea;              // 1..72
  std::string_view control;  // objectName of the screen's control ("" for unused lines)
  ClaseLinea clase;
  std::string_view omision;  // value of a new company ("" for lines 8 and 9: given)
};

const std::array<LineaConfiguracion, kLineasConfiguracion>& mapaConfiguracion();
const LineaConfiguracion& lineaConfiguracion(int linea);

// The 72 lines of a new company.
std::vector<std::string> configuracionPorOmision(std::string_view directorioDatos,
                                                 std::string_view nombreEmpresa);

// "<system directory>\Gener<N>.cnf".
std::string archivoConfiguracion(std::string_view directorioSistema, int empresa);

// A yes/no setting: only an exact "S" is on.
inline bool esSi(std::string_view valor) { return valor == "S"; }

// The values of the configuration screen's controls, keyed by control name. Check boxes
// and the view hold "S" or "N"; everything else holds its text.
//
// Reading takes each line into its control (a missing line reads as empty); saving
// builds the 72 lines back from the controls. Nothing is validated.
class ValoresConfiguracion {
 public:
  ValoresConfiguracion();  // every control empty / "N"

  // Loads "<system>\Gener<N>.cnf". When it is missing, shows
  // "No Existe La Empresa  " + N and keeps the values as they were.
  bool lee(std::string_view directorioSistema, int empresa, base::Interaccion& ui);
  void tomaLineas(const std::vector<std::string>& lineas);

  std::vector<std::string> lineas() const;
  // Writes the 72 lines, creating or replacing the file.
  bool guarda(std::string_view directorioSistema, int empresa) const;

  const std::string& valor(std::string_view control) const;
  void pon(std::string_view control, std::string valor);
  bool marcada(std::string_view control) const { return esSi(valor(control)); }
  void marca(std::string_view control, bool si) { pon(control, si ? "S" : "N"); }

  const std::map<std::string, std::string, std::less<>>& todos() const { return valores_; }

 private:
  std::map<std::string, std::string, std::less<>> valores_;
};

// "SI" becomes "NO", anything else "SI" (double click on a SI/NO field).
std::string alternaSiNo(std::string_view valor);

// Runs one Local SQL statement; throws std::exception when it fails.
using EjecutaSql = std::function<void(const std::string& sentencia)>;

// The statements that turn the customer and supplier keys into consecutive numbers or
// back to text, in the order they run.
std::vector<std::string> sentenciasConversionClaves(std::string_view directorioDatos,
                                                    bool consecutivoClientes,
                                                    bool consecutivoProveedor);

// SpeedButton2: warns, asks for the administrator key and, only with it, runs the
// conversion statements one by one; a failing statement is skipped. Returns whether
// the statements ran.
bool convierteClaves(base::Interaccion& ui, std::string_view directorioDatos, bool consecutivoClientes,
                     bool consecutivoProveedor, const EjecutaSql& ejecuta);

}  // namespace mostrador::session
