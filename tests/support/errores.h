#pragma once
// The text an engine call fails with, so tests compare messages verbatim; a lock
// refusal is marked as such.

#include <functional>
#include <string>

#include "store/dbf/dbf_table.h"

namespace mostrador::prueba {

inline std::string mensajeDe(const std::function<void()>& f) {
  try {
    f();
  } catch (const dbf::LockError& e) {
    return std::string("LockError: ") + e.what();
  } catch (const dbf::Error& e) {
    return e.what();
  }
  return "(sin error)";
}

}  // namespace mostrador::prueba
