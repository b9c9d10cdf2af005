#include "base/fechas.h"

#include <chrono>
#include <cmath>
#include <cstdio>

namespace mostrador::base {

namespace chr = std::chrono;

const std::array<std::string_view, 12> kMeses = {"Enero",   "Febrero",    "Marzo",   "Abril",
                                                  "Mayo",    "Junio",      "Julio",   "Agosto",
                                                  "Septiembre", "Octubre", "Noviembre", "Diciembre"};
const std::array<std::string_view, 7> kDias = {"domingo", "lunes",   "martes", "miercoles",
                                               "jueves",  "viernes", "sabado"};

namespace {

chr::year_month_day ymd(const Fecha& f) {
  return chr::year{f.anio} / chr::month{static_cast<unsigned>(f.mes)} / chr::day{static_cast<unsigned>(f.dia)};
}

constexpr chr::sys_days kDiaCero = chr::sys_days{chr::year{1899} / chr::December / 30};

// Optional sign then at least one digit, nothing else.
std::optional<long> entero(std::string_view t) {
  size_t i = 0;
  bool negativo = false;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) negativo = t[i++] == '-';
  if (i >= t.size()) return std::nullopt;
  long v = 0;
  for (; i < t.size(); ++i) {
    if (t[i] < '0' || t[i] > '9') return std::nullopt;
    v = v * 10 + (t[i] - '0');
    if (v > 1000000000L) return std::nullopt;
  }
  return negativo ? -v : v;
}

std::string_view parte(std::string_view t, size_t desde, size_t n) {
  return desde >= t.size() ? std::string_view() : t.substr(desde, n);
}

}  // namespace

std::string nombreMes(int mes) {
  return mes >= 1 && mes <= 12 ? std::string(kMeses[static_cast<size_t>(mes - 1)]) : std::string();
}

std::string mesFormato(int mes) { return mes == 7 ? std::string("julio") : nombreMes(mes); }

bool fechaValida(const Fecha& f) {
  return f.anio >= 1 && f.anio <= 9999 && f.mes >= 1 && f.mes <= 12 && f.dia >= 1 && f.dia <= 31 &&
         ymd(f).ok();
}

int diaSemana(const Fecha& f) {
  return static_cast<int>(chr::weekday{chr::sys_days{ymd(f)}}.c_encoding());
}

long serialFecha(const Fecha& f) { return (chr::sys_days{ymd(f)} - kDiaCero).count(); }

Fecha fechaDeSerial(long serial) {
  const chr::year_month_day d{kDiaCero + chr::days{serial}};
  return {static_cast<int>(d.year()), static_cast<int>(static_cast<unsigned>(d.month())),
          static_cast<int>(static_cast<unsigned>(d.day()))};
}

std::string fechaCorta(const Fecha& f) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02d/%02d/%04d", f.dia, f.mes, f.anio);
  return buf;
}

std::optional<Fecha> leeFechaCorta(std::string_view texto) {
  while (!texto.empty() && texto.front() == ' ') texto.remove_prefix(1);
  while (!texto.empty() && texto.back() == ' ') texto.remove_suffix(1);
  const size_t a = texto.find(kSeparadorFecha);
  const size_t b = a == std::string_view::npos ? a : texto.find(kSeparadorFecha, a + 1);
  if (b == std::string_view::npos) return std::nullopt;
  const std::string_view d = texto.substr(0, a), m = texto.substr(a + 1, b - a - 1), y = texto.substr(b + 1);
  auto soloDigitos = [](std::string_view t, size_t min, size_t max) {
    if (t.size() < min || t.size() > max) return false;
    for (char c : t)
      if (c < '0' || c > '9') return false;
    return true;
  };
  if (!soloDigitos(d, 1, 2) || !soloDigitos(m, 1, 2) || !soloDigitos(y, 4, 4)) return std::nullopt;
  const Fecha f{static_cast<int>(*entero(y)), static_cast<int>(*entero(m)), static_cast<int>(*entero(d))};
  if (!fechaValida(f)) return std::nullopt;
  return f;
}

std::string fechaLarga(const Fecha& f) {
  if (!fechaValida(f)) return {};
  std::string dia(kDias[static_cast<size_t>(diaSemana(f))]);
  dia[0] = static_cast<char>(dia[0] - 'a' + 'A');
  return dia + " " + std::to_string(f.dia) + " de " + nombreMes(f.mes) + " del año " + std::to_string(f.anio);
}

std::string fechaLarga(std::string_view fechaTexto) {
  const auto f = leeFechaCorta(fechaTexto);
  return f ? fechaLarga(*f) : std::string();
}

std::string fechaSql(const Fecha& f) {
  return std::to_string(f.mes) + "/" + std::to_string(f.dia) + "/" + std::to_string(f.anio);
}

std::string fechaSql(std::string_view fechaTexto) {
  const auto f = leeFechaCorta(fechaTexto);
  return f ? fechaSql(*f) : std::string();
}

bool fechaMascaraValida(std::string_view texto) {
  std::string t(texto);
  for (size_t i : {6u, 7u})
    if (i < t.size() && t[i] == '_') t[i] = '0';
  const auto dia = entero(parte(t, 0, 2));
  const auto mes = entero(parte(t, 3, 2));
  const auto anio = entero(parte(t, 6, 4));
  return dia && mes && anio && *anio >= 0;
}

std::string horaTexto(const Hora& h) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", h.hora, h.minuto, h.segundo);
  return buf;
}

std::string fechaHoraTexto(const FechaHora& fh) { return fechaCorta(fh.fecha) + " " + horaTexto(fh.hora); }

namespace {
long milisegundosDelDia(const Hora& h) {
  return ((h.hora * 60L + h.minuto) * 60L + h.segundo) * 1000L + h.milisegundo;
}
}  // namespace

double fraccionDia(const Hora& h) { return static_cast<double>(milisegundosDelDia(h)) / 86400000.0; }

long selloSecuencia(const Fecha& fecha, const Reloj& reloj) {
  return std::lrint(static_cast<double>(serialFecha(fecha)) + fraccionDia(reloj.ahora().hora) * 10000.0);
}

long selloControl(const Reloj& reloj) {
  // Integer arithmetic: a float product would give 99999.99999 for 100000 now and then.
  return milisegundosDelDia(reloj.ahora().hora) * 100000L / 86400000L;
}

}  // namespace mostrador::base
