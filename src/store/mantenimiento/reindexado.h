#pragma once
// Rebuilding the indexes of a company from its index description file "Indices.cnf"
// (one index per line: table file in lower case, tag, fields separated by ";" or "*"
// and a key expression), and the reindex screen's engine (TFormaReindexaTodo is its
// view).
//
// The rebuild walks the lines in order. A line whose table differs from the previous
// line's starts that table afresh: the table is opened exclusively, its production
// index file deleted, and every following line of it adds its tag to a new index file.
// Two separated groups of lines of one table therefore start it afresh twice, and only
// the last group's tags remain (the lines of a table belong together).
//
// A table another station holds is not touched at all: its index stays as it is and it
// is named at the end ("La tabla X está en uso por otra estación"), because deleting or
// adding tags under a station that has the table open would leave that station writing
// an index it no longer matches.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/bitacora.h"
#include "base/interaccion.h"
#include "base/reloj.h"

namespace mostrador::store {

inline constexpr std::string_view kArchivoIndices = "Indices.cnf";
inline constexpr std::string_view kPreguntaRenumeracion =
    "Recuerde que el siguente Proceso es muy DELICADO Desea Continuar?...";

struct LineaIndice {
  std::string tabla, etiqueta, campos;
  friend bool operator==(const LineaIndice&, const LineaIndice&) = default;
};
// The three items of a line (blanks around each trimmed); nullopt for a line that does
// not have them (blank lines, comments typed by hand).
std::optional<LineaIndice> leeLineaIndice(std::string_view linea);

// What a rebuild did.
struct ResultadoIndices {
  std::vector<std::string> creados;  // "tabla TAG" of every tag created
  std::vector<std::string> enUso;    // tables another station held: left as they were
  std::vector<std::string> errores;  // messages shown, in order
  bool completo() const { return enUso.empty() && errores.empty(); }
  void agrega(const ResultadoIndices& otro);
};

// What the screen shows when a rebuild ends: "Terminado: <n> índices de <m> tablas",
// with the tables left in use and the errors when there were any.
std::string textoTerminado(const ResultadoIndices& r);

// Called before each table group: the table's name, the line number (1-based) and the
// number of lines.
using AvanceIndices = std::function<void(const std::string& tabla, int linea, int lineas)>;

// Rebuilds the indexes of dir from the lines. Every failure is also shown through ui.
ResultadoIndices reconstruyeIndices(base::Interaccion& ui, std::string_view dir,
                                    const std::vector<std::string>& lineas,
                                    const AvanceIndices& avance = {});

// One line per index of the tables: "tabla,tag,campos" or "tabla,tag,*expresión", all
// lower case.
std::vector<std::string> describeIndices(std::string_view dir, const std::vector<std::string>& tablas);

// The lines whose tag is missing from their table, or whose table file is missing.
std::vector<std::string> indicesFaltantes(std::string_view dir, const std::vector<std::string>& lineas);

// Every line of a table that has at least one line in faltantes: starting such a table
// afresh must bring back its tags that were not missing too.
std::vector<std::string> lineasIncompletas(const std::vector<std::string>& lineas,
                                           const std::vector<std::string>& faltantes);

// The whole reindex of a company directory: its "Indices.cnf", each warehouse
// subdirectory "1" to "99" that exists (with its own "Indices.cnf"), then the three
// number counters packed and re-aligned with their document tables. dirSistema, when
// not empty, gets "detaTVK.db" copied over "deta.db" first.
ResultadoIndices reindexaDirectorio(base::Interaccion& ui, std::string_view dirSistema,
                                    std::string_view dir, const AvanceIndices& avance = {});

// Packs the counters and re-aligns them with their document tables (pack optional).
ResultadoIndices realineaContadores(base::Interaccion& ui, std::string_view dir, bool empaca);

// The reindex screen's engine.
class ReindexaTodo {
 public:
  // verificaRegistros opens the record check screen on a directory and answers whether
  // it ended with acceptance.
  ReindexaTodo(base::Interaccion& ui, const base::Reloj& reloj, std::string dirSistema,
               std::string dirDatos,
               std::function<bool(const std::string& dir)> verificaRegistros = {});

  // Refreshes Archivos and Memo1 (from "Indices.cnf" of EditRuta) and the options.
  void FormShow();
  void ponEditRuta(std::string ruta);
  void ArchivosClick(const std::string& tabla);  // Lista: the tags of that table

  void BitBtn1Click();   // describe
  void BitBtn2Click();   // reindex
  void BitBtn4Click();   // save Memo1
  void BitBtn5Click();   // temporary files
  void BitBtn6Click();   // check
  void BitBtn7Click();   // incomplete rebuild
  void BitBtn8Click();   // load Memo1
  void BitBtn9Click();   // check and incomplete rebuild, without its log line
  void BitBtn10Click();  // total
  void BitBtn11Click();  // renumbering
  void F12();

  // The three option boxes; each change is stored in "opcion.cnf" at once.
  void ponReindexaInicio(bool v);
  void ponRespaldaInicio(bool v);
  void ponRespaldaFinal(bool v);

  // --- State the view renders ---
  const std::string& EditRuta() const { return editRuta_; }
  const std::vector<std::string>& Archivos() const { return archivos_; }
  const std::vector<std::string>& Memo1() const { return memo_; }
  void ponMemo1(std::vector<std::string> lineas) { memo_ = std::move(lineas); }
  const std::vector<std::string>& Lista() const { return lista_; }
  const std::vector<std::string>& Lista2() const { return lista2_; }
  const std::vector<std::string>& Faltantes() const { return faltantes_; }
  int Progreso() const { return progreso_; }
  const std::string& LabelTabla() const { return labelTabla_; }
  bool ReindexaInicio() const { return reindexaInicio_; }
  bool RespaldaInicio() const { return respaldaInicio_; }
  bool RespaldaFinal() const { return respaldaFinal_; }
  bool detalleVisible() const { return detalle_; }
  const ResultadoIndices& ultimoResultado() const { return resultado_; }

  // Called whenever the state changes while a command runs (the view repaints).
  std::function<void()> alCambiar;

 private:
  void cambio();
  void reconstruye(const std::vector<std::string>& lineas);
  void incompletos();
  void reindexaTodo();
  void bitacora(std::string_view evento);
  void guardaOpciones();
  AvanceIndices avance();

  base::Interaccion& ui_;
  const base::Reloj& reloj_;
  std::string sistema_, datos_;
  std::function<bool(const std::string&)> verificaRegistros_;
  base::Bitacora bitacora_;

  std::string editRuta_;
  std::vector<std::string> archivos_, memo_, lista_, lista2_, faltantes_;
  int progreso_ = 0;
  std::string labelTabla_;
  bool reindexaInicio_ = false, respaldaInicio_ = false, respaldaFinal_ = false;
  bool detalle_ = false;
  ResultadoIndices resultado_;
};

}  // namespace mostrador::store
