#pragma once
// A fresh temporary directory per test, used as the drive root ($MOSTRADOR_UNIDADES)
// and as the working directory, removed at the end.

#include <filesystem>
#include <string>

namespace mostrador::prueba {

class DirectorioTemporal {
 public:
  DirectorioTemporal();
  ~DirectorioTemporal();
  DirectorioTemporal(const DirectorioTemporal&) = delete;
  DirectorioTemporal& operator=(const DirectorioTemporal&) = delete;
  const std::filesystem::path& ruta() const { return ruta_; }
  std::string str() const { return ruta_.string(); }
  // Writes raw bytes to a file below the directory (creating folders).
  void escribe(const std::string& relativa, const std::string& bytes) const;
  std::string lee(const std::string& relativa) const;

 private:
  std::filesystem::path ruta_;
  std::filesystem::path anterior_;
  std::string unidadesAnterior_;
  bool habiaUnidades_ = false;
};

}  // namespace mostrador::prueba
