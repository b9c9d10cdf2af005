// TEMPORARY: stand-ins for definitions that live in dbf_table.cpp (table handle branch),
// so the index code links on its own. Delete at merge.
#include <charconv>
#include <cstdio>

#include "store/dbf/dbf_table.h"

namespace mostrador::dbf {

Error::Error(const std::string& texto, std::string operacion, std::string ruta, int errnum)
    : std::runtime_error(texto),
      operacion_(std::move(operacion)),
      ruta_(std::move(ruta)),
      errnum_(errnum) {}

std::optional<Fecha> leeFecha(std::string_view t) {
  auto num = [&](size_t b, size_t n, int& out) {
    if (b + n > t.size()) return false;
    auto r = std::from_chars(t.data() + b, t.data() + b + n, out);
    return r.ec == std::errc() && r.ptr == t.data() + b + n;
  };
  Fecha f;
  bool ok = false;
  if (t.size() == 10 && t[2] == '/' && t[5] == '/')
    ok = num(0, 2, f.dia) && num(3, 2, f.mes) && num(6, 4, f.anio);
  else if (t.size() == 10 && t[4] == '-' && t[7] == '-')
    ok = num(0, 4, f.anio) && num(5, 2, f.mes) && num(8, 2, f.dia);
  else if (t.size() == 8)
    ok = num(0, 4, f.anio) && num(4, 2, f.mes) && num(6, 2, f.dia);
  if (!ok || f.mes < 1 || f.mes > 12 || f.dia < 1 || f.dia > 31) return std::nullopt;
  return f;
}

}  // namespace mostrador::dbf
