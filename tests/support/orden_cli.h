#pragma once
// A program run as operators and cron run it: a separate process, its exit code, its
// standard output (a pipe, so no progress line) and its standard error.

#include <string>

namespace mostrador::prueba {

struct SalidaOrden {
  int codigo = -1;  // exit code; -1 when it did not exit normally
  std::string out, err;
};

// The first line of a text, with its line end: the mistake a refused command states
// before its usage.
inline std::string primeraLinea(const std::string& t) {
  const auto n = t.find('\n');
  return n == std::string::npos ? t : t.substr(0, n + 1);
}

// Runs "programa argumentos" through the shell (arguments already quoted for it).
SalidaOrden correOrden(const std::string& programa, const std::string& argumentos);

}  // namespace mostrador::prueba
