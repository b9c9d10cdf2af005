#pragma once
// Backups of a company's data directory and their restore; the backup screen's engine
// (TFormaRespaldo is its view).
//
// Normal backup: every "*.dbf" and then every "*.mdx" file of the directory copied into
// the destination folder (created with every missing level). Compressed backup: a zip
// archive ("prue.zip" in the destination folder) written in process, holding every file
// of the directory and of its warehouse subdirectories "1" to "99" (as "3/inventar.dbf").
// The archive is written to a temporary file beside it and takes its name only when it
// is complete, so a full or read-only destination leaves no half archive behind.
//
// Both take the tables alone for the whole copy (every table of the directory open
// exclusively): a copy taken while a station posts would hold a document without its
// lines. A table another station holds stops the backup before anything is written, and
// is named. The log line is written when the backup has succeeded, so that the log
// never claims a backup that is not there.
//
// Restore: the archive is read whole first (every entry checked against its CRC) into a
// scratch folder; only when all of it reads back, and no station holds a table, do the
// files replace those of the data directory.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "base/bitacora.h"
#include "base/interaccion.h"
#include "base/reloj.h"

namespace mostrador::store {

inline constexpr std::string_view kArchivoRespaldo = "prue.zip";
inline constexpr std::string_view kErrorCompresion = "Ocurrio un error durante la compresión...";
inline constexpr std::string_view kRespaldoTerminado = "Proceso de Respaldo Archivos Terminado ";

// "C:\RESPALDOS\8-12-2026": the dated folder under the root of the data directory's
// drive (drive C when the directory names none).
std::string carpetaRespaldo(std::string_view dirDatos, const base::Fecha& hoy);

// Called for each file: source path, destination (path or entry name), files done, files.
using AvanceRespaldo =
    std::function<void(const std::string& origen, const std::string& destino, int hecho, int total)>;

struct ResultadoRespaldo {
  bool exito = false;
  std::string error;                  // the Spanish reason when it failed
  std::vector<std::string> archivos;  // files copied or archived, in order
  std::string destino;                // folder or archive written
};

// kRespaldoTerminado, then "<n> archivos en <destino>" on a second line.
std::string mensajeTerminado(const ResultadoRespaldo& r);

// The plain copy into destino. Nothing is shown; the caller shows the error.
ResultadoRespaldo respaldoNormal(std::string_view fuente, std::string_view destino,
                                 const AvanceRespaldo& avance = {});
// The zip archive destino\prue.zip (or archivo when given a path ending in ".zip").
ResultadoRespaldo respaldoComprimido(std::string_view fuente, std::string_view destino,
                                     const AvanceRespaldo& avance = {});
// Restores an archive made by respaldoComprimido into dirDatos.
ResultadoRespaldo restauraRespaldo(std::string_view archivo, std::string_view dirDatos,
                                   const AvanceRespaldo& avance = {});

// The backup screen's engine.
class Respaldo {
 public:
  Respaldo(base::Interaccion& ui, const base::Reloj& reloj, std::string dirSistema,
           std::string dirDatos);

  void FormShow();
  void ponDirectorioDestino(std::string d) { destino_ = std::move(d); }
  void ponDirectorio2(std::string d) { directorio2_ = std::move(d); }
  void ponComprimido(bool c) { comprimido_ = c; }

  // Runs the chosen backup; true when it succeeded (the screen then closes).
  bool Ejecutar();
  // The normal backup into Directorio2 when it is not empty.
  bool BitBtn5Click();
  // Restores an archive chosen by the operator, after confirmation.
  bool Restaurar();

  const std::string& DirectorioFuente() const { return fuente_; }
  const std::string& DirectorioDestino() const { return destino_; }
  const std::string& Directorio2() const { return directorio2_; }
  bool Comprimido() const { return comprimido_; }
  const std::vector<std::string>& ListaArchivo2() const { return lista_; }
  const std::string& uno() const { return uno_; }
  const std::string& dos() const { return dos_; }
  const std::string& ArchivoBases() const { return archivoBases_; }
  int Progreso() const { return progreso_; }

  std::function<void()> alCambiar;

 private:
  bool normal(const std::string& destino);
  bool comprimido(const std::string& destino);
  AvanceRespaldo avance();

  base::Interaccion& ui_;
  const base::Reloj& reloj_;
  std::string sistema_;
  base::Bitacora bitacora_;
  std::string fuente_, destino_, directorio2_;
  bool comprimido_ = false;
  std::vector<std::string> lista_;
  std::string uno_, dos_, archivoBases_;
  int progreso_ = 0;
};

}  // namespace mostrador::store
