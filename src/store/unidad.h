#pragma once
// A save that spans tables is one unit (store/dbf/journal.h): this is how the modules
// take it. First the lock phase (every record the save will edit, in one fixed order,
// waiting a bounded time for each), then the unit over the directories the save writes
// (their writer locks in one fixed order), then the writes, then confirma(). A unit that
// is not confirmed is rolled back when it goes out of scope: nothing of it stays.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "store/dbf/dbf_table.h"
#include "store/dbf/journal.h"

namespace mostrador::store {

class UnidadGuardado {
 public:
  // dirs: stored paths of the directories whose tables the save changes (repeats and
  // the order given do not matter).
  explicit UnidadGuardado(const std::vector<std::string>& dirs, int esperaMs = -1);
  ~UnidadGuardado();
  UnidadGuardado(const UnidadGuardado&) = delete;
  UnidadGuardado& operator=(const UnidadGuardado&) = delete;
  void confirma();
  // The records the lock phase took on these tables go to the journal at once: one sync
  // for all of them instead of one per record.
  void guardaDeAntemano(const std::vector<dbf::Table*>& tablas);

 private:
  // 0, or the errno of a sync that failed.
  static int sincroniza(int fd, const std::string& ruta);
  int sincronizaDirectorio() const;
  std::vector<std::unique_ptr<dbf::Transaction>> t_;
  std::string marcador_;  // the group's marker while the unit spans several directories
};

// One record of the lock phase and whom to name when another station holds it.
struct Bloqueo {
  dbf::Table* tabla = nullptr;
  uint32_t registro = 0;
  std::string quien;  // "el producto 7501 MARTILLO", for the message
};

// Locks every record, tables by path and then record numbers, each waiting up to
// esperaMs (-1: the station's wait). Returns the first one still held by another station after its wait (the
// locks taken so far are released then), or nullopt when all are held by this station.
std::optional<Bloqueo> bloquea(std::vector<Bloqueo> registros, int esperaMs = -1);

}  // namespace mostrador::store
