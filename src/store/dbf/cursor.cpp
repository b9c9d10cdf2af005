// The parts of the table API that do not depend on a table: errors, the Cursor helpers
// every result shares, and the date texts.

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "base/rutas.h"
#include "store/dbf/dbf_table.h"

namespace mostrador::dbf {
namespace {

bool bisiesto(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

std::optional<Fecha> valida(int anio, int mes, int dia) {
  static const int dias[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (anio < 1 || anio > 9999 || mes < 1 || mes > 12 || dia < 1) return std::nullopt;
  if (dia > dias[mes - 1] + (mes == 2 && bisiesto(anio) ? 1 : 0)) return std::nullopt;
  return Fecha{anio, mes, dia};
}

// Reads 1 to `max` digits at s[i], advancing i; -1 when there is none.
int digitos(std::string_view s, size_t& i, size_t max) {
  size_t inicio = i;
  int v = 0;
  while (i < s.size() && i - inicio < max && std::isdigit(static_cast<unsigned char>(s[i])))
    v = v * 10 + (s[i++] - '0');
  return i == inicio ? -1 : v;
}

}  // namespace

Error::Error(const std::string& texto, std::string operacion, std::string ruta, int errnum)
    : std::runtime_error(texto),
      operacion_(std::move(operacion)),
      ruta_(std::move(ruta)),
      errnum_(errnum) {}

void Cursor::moveBy(long n) {
  for (; n > 0 && !eof(); --n) next();
  for (; n < 0 && !bof(); ++n) prior();
}

int Cursor::fieldIndex(std::string_view name) const {
  const auto& defs = fieldDefs();
  // Callers name fields as the table spells them: that match costs a compare, and only
  // a name in other case goes through the case folding (every field read and write
  // asks for its field by name).
  for (size_t i = 0; i < defs.size(); ++i)
    if (defs[i].name == name) return static_cast<int>(i);
  for (size_t i = 0; i < defs.size(); ++i)
    if (base::mismoNombre(defs[i].name, name)) return static_cast<int>(i);
  return -1;
}

int Cursor::requireField(std::string_view name) const {
  int i = fieldIndex(name);
  if (i < 0) throw Error("Campo " + std::string(name) + " no encontrado", "field");
  return i;
}

long long Cursor::asInteger(int field) const {
  double v = asFloat(field);
  if (!(std::fabs(v) < 9.2e18))
    throw Error("El valor del campo " + fieldDefs()[static_cast<size_t>(field)].name +
                    " no cabe en un entero",
                "read");
  return std::llround(v);
}

std::optional<FechaHora> Cursor::asDateTime(int field) const {
  if (isNull(field)) return std::nullopt;
  std::string t = asText(field);
  auto fh = leeFechaHora(t);
  if (!fh)
    throw Error("El campo " + fieldDefs()[static_cast<size_t>(field)].name +
                    " no tiene una fecha y hora válida: \"" + t + "\"",
                "read");
  return fh;
}

bool Cursor::asBool(int field) const {
  std::string t = asText(field);
  size_t i = t.find_first_not_of(' ');
  if (i == std::string::npos) return false;
  switch (std::toupper(static_cast<unsigned char>(t[i]))) {
    case 'T': case 'Y': case 'S': return true;
    case 'F': case 'N': return false;
    default: break;
  }
  double v = 0;
  auto [p, ec] = std::from_chars(t.data() + i, t.data() + t.size(), v);
  (void)p;
  return ec == std::errc() && v != 0;
}

std::string fechaCorta(const Fecha& f) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d/%02d/%04d", f.dia % 100, f.mes % 100, f.anio % 10000);
  return buf;
}

std::optional<Fecha> leeFecha(std::string_view text) {
  size_t a = 0, b = text.size();
  while (a < b && text[a] == ' ') ++a;
  while (b > a && (text[b - 1] == ' ' || text[b - 1] == '\0')) --b;
  std::string_view s = text.substr(a, b - a);
  if (s.empty()) return std::nullopt;
  size_t i = 0;
  if (s.size() == 8 && s.find_first_not_of("0123456789") == std::string_view::npos) {
    int anio = digitos(s, i, 4), mes = digitos(s, i, 2), dia = digitos(s, i, 2);
    return valida(anio, mes, dia);
  }
  if (s.size() == 10 && s[4] == '-' && s[7] == '-') {
    int anio = digitos(s, i, 4);
    if (i != 4) return std::nullopt;
    ++i;
    int mes = digitos(s, i, 2);
    if (i != 7) return std::nullopt;
    ++i;
    int dia = digitos(s, i, 2);
    if (i != s.size()) return std::nullopt;
    return valida(anio, mes, dia);
  }
  // d/M/yyyy with one or two digits for day and month.
  int dia = digitos(s, i, 2);
  if (dia < 0 || i >= s.size() || s[i++] != '/') return std::nullopt;
  int mes = digitos(s, i, 2);
  if (mes < 0 || i >= s.size() || s[i++] != '/') return std::nullopt;
  size_t inicioAnio = i;
  int anio = digitos(s, i, 4);
  if (anio < 0 || i != s.size() || i - inicioAnio != 4) return std::nullopt;
  return valida(anio, mes, dia);
}

std::string fechaHoraCorta(const FechaHora& fh) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02d/%02d/%04d %02d:%02d:%02d", fh.fecha.dia % 100,
                fh.fecha.mes % 100, fh.fecha.anio % 10000, fh.hora.hora % 100,
                fh.hora.minuto % 100, fh.hora.segundo % 100);
  return buf;
}

std::optional<FechaHora> leeFechaHora(std::string_view text) {
  size_t a = 0, b = text.size();
  while (a < b && text[a] == ' ') ++a;
  while (b > a && (text[b - 1] == ' ' || text[b - 1] == '\0')) --b;
  std::string_view s = text.substr(a, b - a);
  // The date ends at the first blank or "T" after its digits.
  size_t corte = s.find_first_of(" T");
  auto f = leeFecha(s.substr(0, corte));
  if (!f) return std::nullopt;
  FechaHora r;
  r.fecha = base::Fecha{f->anio, f->mes, f->dia};
  if (corte == std::string_view::npos) return r;
  size_t i = corte + 1;
  while (s[corte] == ' ' && i < s.size() && s[i] == ' ') ++i;  // blanks between date and time
  int h = digitos(s, i, 2);
  if (h < 0 || i >= s.size() || s[i++] != ':') return std::nullopt;
  size_t im = i;
  int m = digitos(s, i, 2);
  if (m < 0 || i - im != 2) return std::nullopt;
  int seg = 0, ms = 0;
  if (i < s.size()) {
    if (s[i++] != ':') return std::nullopt;
    size_t is = i;
    seg = digitos(s, i, 2);
    if (seg < 0 || i - is != 2) return std::nullopt;
    if (i < s.size()) {
      if (s[i++] != '.') return std::nullopt;
      size_t iz = i;
      ms = digitos(s, i, 3);
      if (ms < 0) return std::nullopt;
      for (size_t k = i - iz; k < 3; ++k) ms *= 10;  // ".5" is 500 ms
      if (i != s.size()) return std::nullopt;
    }
  }
  if (h > 23 || m > 59 || seg > 59) return std::nullopt;
  r.hora = base::Hora{h, m, seg, ms};
  return r;
}

}  // namespace mostrador::dbf
