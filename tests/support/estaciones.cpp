#include "support/estaciones.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <exception>
#include <stdexcept>

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

Canal::Canal() {
  if (pipe(fd) != 0) throw std::runtime_error("pipe");
}
Canal::~Canal() {
  ::close(fd[0]);
  ::close(fd[1]);
}
void Canal::avisa() { (void)!write(fd[1], "x", 1); }
void Canal::aguarda() {
  char c;
  (void)!read(fd[0], &c, 1);
}

}  // namespace mostrador::prueba
