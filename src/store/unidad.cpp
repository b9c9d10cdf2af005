#include "store/unidad.h"

#include <algorithm>
#include <filesystem>

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
}

UnidadGuardado::~UnidadGuardado() {
  // Rolled back in the reverse order of taking, unless confirmed.
  while (!t_.empty()) t_.pop_back();
}

void UnidadGuardado::confirma() {
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
