#include "support/orden_cli.h"

#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <iterator>

namespace mostrador::prueba {

SalidaOrden correOrden(const std::string& programa, const std::string& argumentos) {
  // stderr goes to a file of its own; the drive root ($MOSTRADOR_UNIDADES) stays the test's.
  char plantilla[] = "/tmp/orden-err-XXXXXX";
  const int fd = mkstemp(plantilla);
  if (fd >= 0) close(fd);
  const std::string rutaErr = plantilla;
  const std::string orden = programa + " " + argumentos + " 2>" + rutaErr;
  SalidaOrden s;
  FILE* p = popen(orden.c_str(), "r");
  std::array<char, 4096> buf{};
  size_t n;
  while ((n = fread(buf.data(), 1, buf.size(), p)) > 0) s.out.append(buf.data(), n);
  const int st = pclose(p);
  s.codigo = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  std::ifstream f(rutaErr);
  s.err.assign(std::istreambuf_iterator<char>(f), {});
  std::remove(rutaErr.c_str());
  return s;
}

}  // namespace mostrador::prueba
