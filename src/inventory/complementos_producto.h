#pragma once
// The catalogue's companions: the key designer (value lists combined into product keys,
// kept in "\claves.dat"), the kit components (Kits.dbf: CLPRO_I the kit, CLPRO_K the
// component, DESCR_K its description, CANTI_K the quantity), the label program fed
// through "\barra.dat", and the branch directories of RutasMI.dbf.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/interaccion.h"
#include "base/programas.h"
#include "base/texto.h"
#include "store/observaciones.h"

namespace mostrador::inventory {

// ---- key designer ----
inline constexpr const char* kArchivoClaves = "claves.dat";

// The values of a list: each is followed by a comma ("A,B," holds A and B); a list
// shorter than two characters holds none.
std::vector<std::string> valoresLista(std::string_view lista);
// The keys of up to four lists: value of list 1 + list 2 + list 3 + list 4, the last
// list changing fastest; lists without values take no part.
std::vector<std::string> combinaClaves(const std::array<std::string, 4>& listas);

// The common values typed once for every generated product, in the order of the
// designer's nine edits.
inline constexpr std::array<const char*, 9> kCamposComunes{"LIPRO_I", "STMIN_I", "ULCOS_I", "PPUBL_I", "PLIS2_I",
                                                          "PLIS3_I", "POLI1_I", "POLI2_I", "POLI3_I"};

// Inserts one product per key not yet in the catalogue of dir (tag ICLPRO), with its
// description (descripciones[i] for claves[i], blank when missing) and the common
// values; existing keys are skipped. A progress gauge advances per key. Answers the
// products added; a common value that is not a number for a numeric field refuses the
// whole run with its message (nothing added).
int generaClaves(std::string_view dir, const std::vector<std::string>& claves,
                 const std::vector<std::string>& descripciones, const std::array<std::string, 9>& comunes,
                 base::Interaccion& ui);

// "\claves.dat": the four lists, one a line.
bool guardaListasClaves(std::string_view dirTrabajo, const std::array<std::string, 4>& listas);
std::array<std::string, 4> leeListasClaves(std::string_view dirTrabajo);

// ---- kits ----
inline constexpr const char* kTablaKits = "Kits.dbf";
inline constexpr const char* kKitSeContiene = "Un Kit no Puede Contenerse a Sí Mismo";

struct ComponenteKit {
  std::string clave, descripcion;
  double cantidad = 0;
  uint32_t registro = 0;
};

std::vector<ComponenteKit> componentesKit(std::string_view dirDatos, std::string_view kit);
// Whether kit holds componente, directly or through the kits among its components.
bool kitContiene(std::string_view dirDatos, std::string_view kit, std::string_view componente);
// Adds a component (the description from the catalogue of dirInventario); refuses a
// component that is the kit itself or holds it, and a key that is not in the catalogue.
bool agregaComponente(std::string_view dirDatos, std::string_view dirInventario, std::string_view kit,
                      std::string_view componente, double cantidad, base::Interaccion& ui);
bool quitaComponente(std::string_view dirDatos, uint32_t registro);

// ---- label program ----
inline constexpr const char* kSinCodigoBarras = "No Se Puede Utilizar el Código de Barras";
// Writes the key to "\barra.dat" of the working directory and starts "\BARRAS.exe".
bool imprimeCodigoBarras(std::string_view dirTrabajo, std::string_view clave, const base::TablaProgramas& programas,
                         base::Procesos& procesos, base::Interaccion& ui);

// ---- branch directories ----
std::vector<std::string> leeRutas(std::string_view dirDatos);
bool guardaRutas(std::string_view dirDatos, const std::vector<std::string>& rutas);

}  // namespace mostrador::inventory
