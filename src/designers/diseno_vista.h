#pragma once
// The view designer's engine (TFormaDisenoVista is its view): a grid whose columns are
// the view's fields and whose thirteen rows are their attributes, saved as a view
// definition file of ten lines, a record of the module's view index file and two lines
// of "<system>\report\Especiales.cnf".
//
// View index file (data directory, "\report\<module>.for"): 187-byte records
//   OFFSET  SIZE  MEANING
//        0    61  the view definition file's path (length byte + up to 60 characters)
//       61   126  the view's description (length byte + up to 125 characters)
// Saving only appends: neither the index files nor Especiales.cnf ever lose a line.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "query/constructor_consulta.h"
#include "base/interaccion.h"
#include "base/registros_fijos.h"

namespace mostrador::designers {

struct ModuloVista {
  std::string_view titulo, tabla, indice;
};
const std::vector<ModuloVista>& modulosVista();
const base::DisenoRegistro& disenoIndiceVistas();

// The rows of a column (0-based index = row - 1).
enum FilaVista {
  kCampo = 0, kTitulo, kFormato, kAlineacion, kTotales, kFormula, kAncho, kNombre, kOrden,
  kTotalCambio, kTabla, kIdentificador, kLlave, kFilasVista
};
using ColumnaVista = std::array<std::string, kFilasVista>;

class DisenoVista {
 public:
  explicit DisenoVista(int columnas = 20) : columnas_(static_cast<size_t>(columnas)) {}

  int columnas() const { return static_cast<int>(columnas_.size()); }
  const ColumnaVista& columna(int c) const { return columnas_.at(static_cast<size_t>(c)); }
  void ponCelda(int c, FilaVista fila, std::string texto);
  // Dropping a dictionary field of module m (index in modulosVista) on column c.
  void colocaCampo(int c, int modulo, const query::CampoDiccionario& campo);

  // The ten lines of the definition file; nombreVista is line 10 (Edit1).
  std::vector<std::string> lineasDefinicion(std::string_view nombreVista) const;

  // Writes the definition to `ruta` (stored path), appends (ruta, descripcion) to the
  // module's index file under the data directory and the caption and path to
  // "<system>\report\Especiales.cnf", creating files and folders when missing.
  bool guarda(base::Interaccion& ui, std::string_view directorioSistema,
              std::string_view directorioDatos, int modulo, std::string_view ruta,
              std::string_view nombreVista, std::string_view descripcion) const;

 private:
  std::vector<ColumnaVista> columnas_;
};

// A view read back from its definition file: the grid as it was saved (the rows the
// file keeps: the field, its table and alias, "Campo", "Formato", "Ancho", "Orden",
// "Totales", "Total/Cambio" and "Llave"), the module of its first column and its name.
struct VistaGuardada {
  DisenoVista diseno;
  int modulo = -1;
  std::string nombre;
};
// nullopt when the text does not hold a view (no field on its first line, or an alias
// of no module).
std::optional<VistaGuardada> leeVista(const std::vector<std::string>& lineas, int columnas = 20);

// The file a view of that name is saved in: "<system>\report\<name>.vis".
std::string rutaVista(std::string_view directorioSistema, std::string_view nombre);

// The report definition that runs a view: one block titled with its name, the select
// of its fields over its tables (by alias; the data directory in place of "#"), the key
// fields joined by "=" as the condition when the view has several tables, its order
// fields, a column code per field ("t" for "totalizar", "f" for the "###,##0.00"
// format, "c" otherwise) and a heading line whose columns are as wide as the larger of
// their "Ancho" and their heading, plus one blank. Blanks inside a heading are written
// as non-breaking spaces: a blank would split the column there.
std::string definicionDeVista(const std::vector<std::string>& lineas);

// The records of a view index file: (path, description).
std::vector<std::pair<std::string, std::string>> leeIndiceVistas(std::string_view ruta);

}  // namespace mostrador::designers
