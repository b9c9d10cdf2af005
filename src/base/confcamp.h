#pragma once
// The field catalogue "<system directory>\confcamp.cmp" (it comes with the installation):
// descriptions and attributes of the fields of the main tables, for the field chooser,
// the filter grid and the format designer.
//
//   Records of 83 bytes, six length-prefixed strings:
//   OFFSET  CAPACITY  MEANING
//        0         4  a number as text (in the last record: the number T of tables)
//        5        10  field name
//       16        35  field description (in the table index: the table file name)
//       52        10  third attribute (the field's comparison kind for filters)
//       63         3  fourth attribute
//       67        15  fifth attribute
//
//   The last record holds T; the T records before it are the table index in table
//   order. Table k (0-based) owns the 49 field records k × 50 + 1 to k × 50 + 49.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/registros_fijos.h"

namespace mostrador::base {

const DisenoRegistro& disenoCatalogoCampos();

struct CampoCatalogo {
  std::string numero, nombre, descripcion, tercero, cuarto, quinto;
  // The description, or the field name when the description is empty.
  std::string descripcionMostrada() const;
};

// The field chooser's line: "[" + line from 0 in three digits + "]" + name + two blanks
// + shown description, e.g. "[003]NOMBR_C  Nombre del Cliente".
std::string lineaSelector(int linea, const CampoCatalogo& campo);

// A table of the catalogue as it is written: its file name (lower case) and its fields.
struct TablaCatalogo {
  std::string archivo;
  std::vector<CampoCatalogo> campos;
};

// Writes the whole file at ruta: table k's fields at records k × 50 + 1 on (the first
// 49; the rest have no place), the table index and the count T. False when it cannot
// be written.
bool escribeCatalogoCampos(std::string_view ruta, const std::vector<TablaCatalogo>& tablas);

class CatalogoCampos {
 public:
  static constexpr int kCamposPorTabla = 49;

  explicit CatalogoCampos(std::string ruta);
  static CatalogoCampos enDirectorio(std::string_view directorioSistema);

  bool existe() const;
  // Table file names of the index, in table order; empty when the file is missing or its
  // count does not fit the file.
  std::vector<std::string> tablas() const;
  // Position of a table in the index (names compared without regard to case);
  // "ordendet.dbf" is looked up as "comprasd.dbf".
  std::optional<int> numeroTabla(std::string_view tabla) const;
  // The table's 49 field records (fewer when the file is cut short); empty for a table
  // that is not in the index.
  std::vector<CampoCatalogo> campos(std::string_view tabla) const;
  std::vector<std::string> lineasSelector(std::string_view tabla) const;

 private:
  ArchivoFijo archivo_;
};

}  // namespace mostrador::base
