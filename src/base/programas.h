#pragma once
// Companion programs: the calculator, the text editor, the spreadsheet, the scale reader,
// the label and barcode programs, the port opener, the second capture window and the
// archiver. Screens and the format language name them as the shops' Windows stations
// did ("calc.exe", "notepad.exe", "C:\TVK\Scale.exe", "DOSPrinter.exe", "pkzip"); one
// table turns each name into a local command line, and the station may override it.
//
// NAMES. A program is known by the last component of its path, upper case, with ".EXE"
// added when it has no extension: "C:\TVK\AbrePuerto.exe", "abrepuerto" and
// "ABREPUERTO.EXE" are one entry.
//
// DEFAULTS. The first candidate found on PATH when the table is built; none found leaves
// the entry empty.
//
//   CALC.EXE        gnome-calculator | kcalc | mate-calc | galculator | qalculate-gtk | xcalc
//   NOTEPAD.EXE     mousepad | gedit | gnome-text-editor | kwrite | kate | pluma | xed |
//                   featherpad | xdg-open, each followed by {args}
//   EXCEL.EXE       libreoffice --calc | localc | gnumeric | xdg-open, each followed by {args}
//   PKZIP.EXE       zip -q -j {args}
//   CAPTURAR.EXE    <this program> --captura-rapida {args}
//   SCALE.EXE, BARRAS.EXE, DOSPRINTER.EXE, ABREPUERTO.EXE
//                   empty: they drive a station's own scale, label printer, barcode
//                   printer or serial port, and only the station knows what does that here.
//
// OVERRIDES. "mostrador.ini" beside the initialisation file ("c:\TVK\mostrador.ini"),
// Windows-1252 text, one program a line:
//
//   ; comment            # comment            [any section]      (ignored, as blank lines)
//   NOTEPAD.EXE=kate {args}
//   DOSPrinter.exe=lp -d etiquetas -o raw bar3.prn
//   Scale.exe=/opt/bascula/lee-bascula --puerto /dev/ttyS0
//   BARRAS.EXE=                       (empty: the program is not available here)
//
// The name is read as above (case and path do not matter). The command is split into
// words at blanks, double quotes grouping a word with blanks ("/opt/Mi Programa/x" {args}).
// The word {args} stands for the caller's arguments; a command without it gets none. The
// last line for a name wins.
//
// ARGUMENTS. The caller's parameters are one Windows command-line text; it is split into
// words by the Windows rules (blanks separate, double quotes group, "" inside quotes and
// \" stand for a quote, backslashes elsewhere are literal). A word that is a Windows path
// ("X:\...", or any word holding a backslash) becomes its local path through rutas, and a
// wildcard in its last component ("C:\Datos\*.*") is expanded to the matching names,
// sorted, as Windows programs expand their own. The words reach the program as separate
// arguments: no shell ever sees them.
//
// A name that is not in the table runs as itself when it is a local command (a POSIX
// path, or a name without extension looked up on PATH); any other unknown name is
// refused like an empty entry.

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mostrador::base {

// ---------------------------------------------------------------------------------------
// The process seam.

struct ResultadoProceso {
  bool iniciado = false;
  // The exit code of a program waited for (128 + signal when a signal ended it); -1 when
  // it was not waited for, or the wait was given up.
  int codigo = -1;
  // Why it did not start, in Spanish ("no se encuentra el programa").
  std::string error;
};

class Procesos {
 public:
  virtual ~Procesos() = default;
  // Starts programa (a path, or a name looked up on PATH) with argumentos as its
  // arguments after argv[0], in the local directory directorio (the current one when
  // empty). With espera, returns when it has ended.
  virtual ResultadoProceso inicia(const std::string& programa, const std::vector<std::string>& argumentos,
                                  const std::string& directorio, bool espera) = 0;
};

// fork and execve; nothing goes through a shell. The child gets no descriptor beyond
// 0, 1 and 2: a table file inherited by a long-lived companion would otherwise keep this
// process's record locks alive (they belong to the open file description) after the
// table is closed here. A program not waited for is started through an intermediate
// child that ends at once, so it never becomes a zombie of this process.
class ProcesosPosix : public Procesos {
 public:
  // atiende, when given, is called about every 25 ms while a program is waited for (the
  // screens keep handling their messages there); returning false gives up the wait and
  // leaves the program running.
  explicit ProcesosPosix(std::function<bool()> atiende = {});
  ~ProcesosPosix() override;

  ResultadoProceso inicia(const std::string& programa, const std::vector<std::string>& argumentos,
                          const std::string& directorio, bool espera) override;

 private:
  void recogePendientes();

  std::function<bool()> atiende_;
  std::vector<int> pendientes_;  // children whose wait was given up, reaped later
};

// The executable a command name stands for: itself when it holds a "/", otherwise the
// first executable file of that name in a directory of PATH; nullopt when there is none.
std::optional<std::string> buscaEnPath(std::string_view nombre);

// ---------------------------------------------------------------------------------------
// The table.

struct ResultadoPrograma {
  bool iniciado = false;
  int codigo = -1;      // as ResultadoProceso
  std::string mensaje;  // why it did not start, ready to show; empty when it started
};

// What would run for a program: the command and its arguments, the directory resolved.
struct OrdenPrograma {
  std::string programa;
  std::vector<std::string> argumentos;
  std::string directorio;  // local path, "" for the current directory
};

class TablaProgramas {
 public:
  // The defaults. hayComando tells whether a local command exists (PATH by default);
  // programaPropio is this program's binary (the running executable by default).
  explicit TablaProgramas(std::function<bool(std::string_view)> hayComando = {},
                          std::string programaPropio = {});

  // The defaults plus the overrides of the "mostrador.ini" beside that initialisation file.
  static TablaProgramas deEstacion(std::string_view archivoInicio);

  // Stored path of "mostrador.ini" beside an initialisation file.
  static std::string rutaAjustes(std::string_view archivoInicio);
  // Reads the overrides of a "mostrador.ini" (stored path); false when it cannot be read,
  // which changes no entry. From then on the messages name this file, read or not (a
  // missing file is where the user is told to put one).
  bool cargaAjustes(std::string_view ruta);

  // The name a program is known by ("C:\TVK\Scale.exe" -> "SCALE.EXE").
  static std::string clave(std::string_view programa);

  // The command words of an entry ({args} unexpanded): nullopt when the table does not
  // know the name, empty when it is known without a local counterpart.
  std::optional<std::vector<std::string>> comando(std::string_view programa) const;
  void asigna(std::string_view programa, std::vector<std::string> comando);

  // The command line for a program and its Windows parameters, or the message saying
  // why there is none.
  struct Preparado {
    std::optional<OrdenPrograma> orden;
    std::string mensaje;
  };
  Preparado prepara(std::string_view programa, std::string_view parametros,
                    std::string_view directorio) const;

  // Prepares and starts. Preconditions: none; every failure comes back as a message.
  ResultadoPrograma inicia(Procesos& procesos, std::string_view programa, std::string_view parametros,
                           std::string_view directorio, bool espera) const;

 private:
  std::map<std::string, std::vector<std::string>> entradas_;
  std::string rutaAjustes_;
};

// Splits a Windows command-line text into words (rules above).
std::vector<std::string> divideParametros(std::string_view parametros);

}  // namespace mostrador::base
