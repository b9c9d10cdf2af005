#include "support/estaciones.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <exception>

namespace mostrador::prueba {

pid_t estacion(const std::function<int()>& f) {
  pid_t p = fork();
  if (p == 0) {
    int codigo = 99;
    try {
      codigo = f();
    } catch (const std::exception& e) {
      std::fprintf(stderr, "estación %d: %s\n", getpid(), e.what());
    }
    _exit(codigo);
  }
  return p;
}

int espera(pid_t p) {
  int estado = 0;
  waitpid(p, &estado, 0);
  return WIFEXITED(estado) ? WEXITSTATUS(estado) : 100 + WTERMSIG(estado);
}

}  // namespace mostrador::prueba
