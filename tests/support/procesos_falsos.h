#pragma once
// A recording process seam: every start is kept, nothing runs, and the answer is the
// one the test set.

#include <string>
#include <vector>

#include "base/programas.h"

namespace mostrador::prueba {

class ProcesosFalsos : public base::Procesos {
 public:
  struct Llamada {
    std::string programa;
    std::vector<std::string> argumentos;
    std::string directorio;
    bool espera = false;
  };

  std::vector<Llamada> llamadas;
  base::ResultadoProceso respuesta{true, 0, ""};

  base::ResultadoProceso inicia(const std::string& programa, const std::vector<std::string>& argumentos,
                                 const std::string& directorio, bool espera) override {
    llamadas.push_back({programa, argumentos, directorio, espera});
    base::ResultadoProceso r = respuesta;
    if (r.iniciado && !espera) r.codigo = -1;
    return r;
  }
};

}  // namespace mostrador::prueba
