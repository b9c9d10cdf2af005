#include "support/entorno.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace mostrador::prueba {

DirectorioTemporal::DirectorioTemporal() {
  std::string plantilla = (fs::temp_directory_path() / "mostrador-XXXXXX").string();
  if (!mkdtemp(plantilla.data())) throw std::runtime_error("mkdtemp");
  ruta_ = plantilla;
  anterior_ = fs::current_path();
  if (const char* u = std::getenv("MOSTRADOR_UNIDADES")) {
    habiaUnidades_ = true;
    unidadesAnterior_ = u;
  }
  setenv("MOSTRADOR_UNIDADES", (ruta_ / "unidades").c_str(), 1);
  fs::create_directories(ruta_ / "unidades");
  fs::current_path(ruta_);
}

DirectorioTemporal::~DirectorioTemporal() {
  std::error_code ec;
  fs::current_path(anterior_, ec);
  if (habiaUnidades_)
    setenv("MOSTRADOR_UNIDADES", unidadesAnterior_.c_str(), 1);
  else
    unsetenv("MOSTRADOR_UNIDADES");
  fs::remove_all(ruta_, ec);
}

void DirectorioTemporal::escribe(const std::string& relativa, const std::string& bytes) const {
  fs::path p = ruta_ / relativa;
  fs::create_directories(p.parent_path());
  std::ofstream f(p, std::ios::binary | std::ios::trunc);
  f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string DirectorioTemporal::lee(const std::string& relativa) const {
  std::ifstream f(ruta_ / relativa, std::ios::binary);
  std::ostringstream o;
  o << f.rdbuf();
  return o.str();
}

}  // namespace mostrador::prueba
