#pragma once
// Checking and repairing the tables of a directory; the record check screen's engine
// (TFormaVerificaRegistros is its view).
//
// Header repair of a table the engine refuses, or whose header announces an index that
// is missing or damaged: the production index file is deleted (the reindex makes a new
// one) and the header's index flags are cleared, walking the header in blocks:
//
//   version 4 (level 7): the 68-byte file header, then 48-byte descriptors from byte 68,
//                        whose index flag is byte 37;
//   any other version:   32-byte blocks from byte 0 (the first is the file header),
//                        whose index flag is byte 31.
//   In a block after the first, a byte 13 (the end of the descriptors) at any position
//   other than 17 and 44 (1-based) ends the walk. Otherwise byte 28 of the file header
//   (the production index flag) is cleared, and so is the block's flag byte when it is 1.
//
// The header's record count is also set to the number of whole records the file holds,
// the bytes of an incomplete last record are cut away and the end mark 0x1A written.
// All of this happens on a copy of the table under "tempo\reparacion"; the copy is then
// opened by the engine, and only when it opens does it replace the table (and the index
// file go). A table the copy cannot save is left exactly as it was.
//
// Record check: every field of every record is read by its type (numbers, dates, text,
// logicals); a record with a field that cannot be read is deleted (marked, as dBASE
// deletes, so its bytes stay in the file until a pack).

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "base/interaccion.h"

namespace mostrador::store {

inline constexpr std::string_view kTablaConErrores = "La Tabla Tenia Errores";

// The block walk on the bytes of a file's beginning; returns the bytes changed.
int limpiaIndicadoresIndice(std::string& bytes);

struct ReparacionEncabezado {
  bool reparada = false;
  std::string error;   // why the copy could not be saved (the table was left as it was)
  long recortados = 0; // bytes of an incomplete last record cut away
};

// Whether the header's record count disagrees with the whole records the file holds, or
// the file ends in part of a record (the end mark aside): another dBASE reader refuses
// such a file even when this engine reads it.
bool colaIncompleta(std::string_view dir, std::string_view tabla);
ReparacionEncabezado reparaEncabezado(std::string_view dir, std::string_view tabla);

// One row of the field grid of a header ("Campo", "Tipo", "Tamaño", "Decimales"). A
// descriptor that does not check has "error " + its type letter + " " + what is wrong
// in Campo.
struct CampoEncabezado {
  std::string campo, tipo, tamano, decimales;
  friend bool operator==(const CampoEncabezado&, const CampoEncabezado&) = default;
};
std::vector<CampoEncabezado> camposEncabezado(std::string_view dir, std::string_view tabla);

struct RevisionTabla {
  std::string tabla;
  bool encabezadoReparado = false;
  long registros = 0;  // records read
  long borrados = 0;   // records deleted because a field could not be read
  long recortados = 0; // bytes of an incomplete last record cut away
  std::string error;   // the table could not be checked
};

struct RevisionDirectorio {
  std::vector<RevisionTabla> tablas;
  std::vector<std::string> enUso;  // nothing was done: these tables were held elsewhere
  std::string error;               // the run stopped (safety copy failed, tables in use)
  bool completa() const { return error.empty(); }
};

// Called while it works: the label texts ("Copiando Tabla x", "Tabla  x"), the record
// number (0 when none) and the gauge (0 to 100).
using AvanceRevision = std::function<void(const std::string& etiqueta, long registro, int progreso)>;

// The check of a directory: the tables alone, the safety copy into "tempo" when asked,
// header repairs, the record read. Messages go through ui.
RevisionDirectorio revisaDirectorio(base::Interaccion& ui, std::string_view dir, bool copiaSeguridad,
                                    const AvanceRevision& avance = {});

// The record check screen's engine.
class VerificaRegistros {
 public:
  VerificaRegistros(base::Interaccion& ui, std::string dir);
  // The full check with the safety copy; accepted when it ran to the end.
  bool BitBtn3Click();
  // The same check without the safety copy (never accepts: no reindex follows).
  void BitBtn4Click();

  const std::string& directorio() const { return dir_; }
  const std::string& LabelTabla() const { return labelTabla_; }
  const std::string& LabelRegistro() const { return labelRegistro_; }
  int Progreso() const { return progreso_; }
  bool aceptada() const { return aceptada_; }
  const RevisionDirectorio& resultado() const { return resultado_; }

  std::function<void()> alCambiar;

 private:
  void corre(bool copia);
  base::Interaccion& ui_;
  std::string dir_;
  std::string labelTabla_, labelRegistro_;
  int progreso_ = 0;
  bool aceptada_ = false;
  RevisionDirectorio resultado_;
};

}  // namespace mostrador::store
