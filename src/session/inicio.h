#pragma once
// The company side of the initialisation file "c:\TVK\talvek.ini" (its readers are in
// lectores.h): one file per machine, naming the station's system directory and the
// current company.
//
//   LINE  CONTENT
//   1     the system directory, no trailing backslash
//   2     "<line 1>\Gener<N>.cnf", the current company's configuration file
//   3     empty
//
// The first start writes it with line 1 alone (the current directory). From then on the
// company line reader rewrites it whole each time it reads a line of an existing
// company file, so the current company changes as soon as another company is looked at.

#include <optional>
#include <string>
#include <string_view>

#include "base/lectores.h"

namespace mostrador::base {
class Interaccion;
}

namespace mostrador::session {

inline constexpr std::string_view kCarpetaInicio = "c:\\TVK";

// The current directory as it is written into the stored files.
std::string directorioActual();

// Rewrites the file whole: start directory, the company file, an empty line.
bool escribeInicio(std::string_view directorioInicio, std::string_view archivoEmpresa);

// Reads the lines of "<start directory>\Gener<N>.cnf" for the company screen.
class LectorEmpresa {
 public:
  explicit LectorEmpresa(std::string directorioInicio);

  const std::string& directorioInicio() const { return inicio_; }
  std::string archivo(int empresa) const;
  bool existeEmpresa(int empresa) const;

  // Line n of company N's file ("" when the file is shorter), rewriting the
  // initialisation file to name that company. When the file is missing: shows
  // "La Empresa No Existe  " + path and gives nothing; the initialisation file is
  // left alone.
  std::optional<std::string> linea(base::Interaccion& ui, int empresa, int n) const;

 private:
  std::string inicio_;
};

}  // namespace mostrador::session
