#include "store/unidad.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <random>

#include "base/rutas.h"

namespace mostrador::store {

UnidadGuardado::UnidadGuardado(const std::vector<std::string>& dirs, int esperaMs) {
  // Every station takes the writer locks in the same order: by resolved path.
  std::vector<std::string> locales;
  for (const auto& d : dirs) {
    std::error_code ec;
    std::filesystem::path p = std::filesystem::weakly_canonical(base::resuelve(d), ec);
    locales.push_back(p.string());
  }
  std::sort(locales.begin(), locales.end());
  locales.erase(std::unique(locales.begin(), locales.end()), locales.end());
  for (const auto& d : locales) t_.push_back(std::make_unique<dbf::Transaction>(d, esperaMs));
  if (t_.size() > 1) {
    // One commit point for every directory: the group's marker (journal.cpp).
    static std::mt19937_64 azar{std::random_device{}() ^ static_cast<uint64_t>(::getpid())};
    char nombre[64];
    std::snprintf(nombre, sizeof nombre, "mostrador-%016llx.grp", static_cast<unsigned long long>(azar()));
    marcador_ = (std::filesystem::path(locales.front()) / nombre).string();
    const int fd = ::open(marcador_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
      throw dbf::Error("No se pudo empezar el guardado en varios directorios", "unidad", marcador_);
    ::fsync(fd);
    ::close(fd);
    sincronizaDirectorio();
    for (auto& t : t_) t->joinGroup(marcador_);
  }
}

UnidadGuardado::~UnidadGuardado() {
  // Rolled back in the reverse order of taking, unless confirmed; then the marker goes.
  while (!t_.empty()) t_.pop_back();
  if (!marcador_.empty()) ::unlink(marcador_.c_str());
}

void UnidadGuardado::sincronizaDirectorio() const {
  const std::string dir = std::filesystem::path(marcador_).parent_path().string();
  const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0) {
    ::fsync(fd);
    ::close(fd);
  }
}

void UnidadGuardado::confirma() {
  if (!marcador_.empty()) {
    // Every directory's data on disk first; a failure here rolls the whole group back.
    for (auto& t : t_) t->prepare();
    if (::unlink(marcador_.c_str()) != 0 && errno != ENOENT)
      throw dbf::Error("No se pudo confirmar el guardado en varios directorios", "unidad", marcador_);
    sincronizaDirectorio();
    marcador_.clear();
    // Past the commit point the save is kept whatever follows: a journal that cannot be
    // emptied now is emptied by the next station, which finds the marker gone.
    for (auto it = t_.rbegin(); it != t_.rend(); ++it) {
      try {
        (*it)->commit();
      } catch (const dbf::Error& e) {
        dbf::journal::log(std::string("Guardado confirmado; el diario no pudo vaciarse: ") + e.what());
      }
    }
    return;
  }
  for (auto it = t_.rbegin(); it != t_.rend(); ++it) (*it)->commit();
}

void UnidadGuardado::guardaDeAntemano(const std::vector<dbf::Table*>& tablas) {
  for (dbf::Table* t : tablas)
    if (t && t->isOpen()) t->keepLockedInUnit();
}

std::optional<Bloqueo> bloquea(std::vector<Bloqueo> registros, int esperaMs) {
  registros.erase(std::remove_if(registros.begin(), registros.end(),
                                 [](const Bloqueo& b) { return !b.tabla || b.registro == 0; }),
                  registros.end());
  std::sort(registros.begin(), registros.end(), [](const Bloqueo& a, const Bloqueo& b) {
    const std::string pa = a.tabla->path(), pb = b.tabla->path();
    return pa != pb ? pa < pb : a.registro < b.registro;
  });
  if (esperaMs < 0) esperaMs = dbf::unitWaitMillis();
  for (size_t i = 0; i < registros.size(); ++i) {
    try {
      registros[i].tabla->lockRecord(registros[i].registro, esperaMs);
    } catch (const dbf::LockError&) {
      for (size_t k = 0; k < i; ++k) registros[k].tabla->releaseLocks();
      return registros[i];
    }
  }
  return std::nullopt;
}

}  // namespace mostrador::store
