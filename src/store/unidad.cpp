#include "store/unidad.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <random>

#include "base/rutas.h"

namespace mostrador::store {

namespace {

// A stored directory as a local path, resolved once: resolving looks every component up
// on disk without regard to case, and directories do not move while the program runs.
// What a stored path maps to also depends on the drive root and the current directory,
// so they are part of the key.
const std::string& local(const std::string& dir) {
  static std::map<std::string, std::string> resueltos;
  const char* unidades = std::getenv("MOSTRADOR_UNIDADES");
  char actual[4096];
  const char* cwd = ::getcwd(actual, sizeof actual);
  const std::string clave = std::string(unidades ? unidades : "") + '\n' + (cwd ? cwd : "") + '\n' + dir;
  auto it = resueltos.find(clave);
  if (it != resueltos.end()) return it->second;
  std::error_code ec;
  std::filesystem::path p = std::filesystem::weakly_canonical(base::resuelve(dir), ec);
  if (resueltos.size() > 64) resueltos.clear();
  return resueltos.emplace(clave, p.string()).first->second;
}

}  // namespace

UnidadGuardado::UnidadGuardado(const std::vector<std::string>& dirs, int esperaMs) {
  // Every station takes the writer locks in the same order: by resolved path.
  std::vector<std::string> locales;
  for (const auto& d : dirs) locales.push_back(local(d));
  std::sort(locales.begin(), locales.end());
  locales.erase(std::unique(locales.begin(), locales.end()), locales.end());
  for (const auto& d : locales)
    t_.push_back(std::make_unique<dbf::Transaction>(std::filesystem::path(d), esperaMs, true));
  if (t_.size() > 1) {
    // One commit point for every directory: the group's marker (journal.cpp).
    // A station forked from another inherits its generator: the process id goes into every
    // name, and a name already taken (the marker of a group that died) is not reused.
    static std::mt19937_64 azar{std::random_device{}() ^ static_cast<uint64_t>(::getpid())};
    int fd = -1;
    for (int intento = 0; intento < 8 && fd < 0; ++intento) {
      char nombre[64];
      const uint64_t n = azar() ^ (static_cast<uint64_t>(::getpid()) << 40);
      std::snprintf(nombre, sizeof nombre, "mostrador-%016llx.grp", static_cast<unsigned long long>(n));
      marcador_ = (std::filesystem::path(locales.front()) / nombre).string();
      fd = ::open(marcador_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
      if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) {
      const int e = errno;
      const std::string m = marcador_;
      marcador_.clear();
      throw dbf::Error(std::string("No se pudo empezar el guardado en varios directorios: ") + std::strerror(e),
                       "unidad", m, e);
    }
    // The marker must be on disk before any journal names it: a journal naming a marker
    // that a power cut took away would keep a group that never committed.
    int e = sincroniza(fd, marcador_);
    ::close(fd);
    if (e == 0) e = sincronizaDirectorio();
    if (e != 0) {
      ::unlink(marcador_.c_str());
      const std::string m = marcador_;
      marcador_.clear();
      throw dbf::Error(std::string("No se pudo empezar el guardado en varios directorios: ") + std::strerror(e),
                       "unidad", m, e);
    }
    for (auto& t : t_) t->joinGroup(marcador_);
  }
}

UnidadGuardado::~UnidadGuardado() {
  // Rolled back in the reverse order of taking, unless confirmed; then the marker goes.
  while (!t_.empty()) t_.pop_back();
  if (!marcador_.empty()) ::unlink(marcador_.c_str());
}

int UnidadGuardado::sincroniza(int fd, const std::string& ruta) {
  if (const int e = dbf::journal::injectedFault(ruta, dbf::journal::kFaultSync)) return e;
  int r;
  do r = ::fsync(fd);
  while (r < 0 && errno == EINTR);
  return r < 0 ? errno : 0;
}

int UnidadGuardado::sincronizaDirectorio() const {
  const std::string dir = std::filesystem::path(marcador_).parent_path().string();
  const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return errno;
  const int e = sincroniza(fd, dir);
  ::close(fd);
  return e;
}

void UnidadGuardado::confirma() {
  if (!marcador_.empty()) {
    // Every directory's data on disk first; a failure here rolls the whole group back.
    for (auto& t : t_) t->prepare();
    if (::unlink(marcador_.c_str()) != 0 && errno != ENOENT)
      throw dbf::Error("No se pudo confirmar el guardado en varios directorios", "unidad", marcador_);
    // The commit point is passed: the save is kept in this run whatever follows. Only a
    // power cut before the removal reaches the disk could still undo it, so a failed sync
    // here is told to the log, not to the cashier (saving again would save twice).
    if (const int e = sincronizaDirectorio())
      dbf::journal::log("Guardado confirmado en " + marcador_ + "; su directorio no pudo asegurarse en disco: " +
                        std::strerror(e));
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
