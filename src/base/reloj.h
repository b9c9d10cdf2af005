#pragma once
// Calendar values and the clock seam. Engines never read the system clock themselves:
// they are given a Reloj, so that stamps and log lines can be tested at a fixed instant.

#include <compare>

namespace mostrador::base {

struct Fecha {
  int anio = 0, mes = 0, dia = 0;
  friend bool operator==(const Fecha&, const Fecha&) = default;
  friend auto operator<=>(const Fecha&, const Fecha&) = default;
};

struct Hora {
  int hora = 0, minuto = 0, segundo = 0, milisegundo = 0;
  friend bool operator==(const Hora&, const Hora&) = default;
  friend auto operator<=>(const Hora&, const Hora&) = default;
};

struct FechaHora {
  Fecha fecha;
  Hora hora;
  friend bool operator==(const FechaHora&, const FechaHora&) = default;
  friend auto operator<=>(const FechaHora&, const FechaHora&) = default;
};

class Reloj {
 public:
  virtual ~Reloj() = default;
  virtual FechaHora ahora() const = 0;  // local date and time
};

// The machine's local clock.
class RelojSistema : public Reloj {
 public:
  FechaHora ahora() const override;
};

}  // namespace mostrador::base
