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

// The records of a view index file: (path, description).
std::vector<std::pair<std::string, std::string>> leeIndiceVistas(std::string_view ruta);

}  // namespace mostrador::designers
