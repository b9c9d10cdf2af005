#pragma once
// A clock stopped at a given instant (movable by the test).

#include "base/reloj.h"

namespace mostrador::prueba {

class RelojFijo : public base::Reloj {
 public:
  explicit RelojFijo(base::FechaHora instante) : instante_(instante) {}
  base::FechaHora ahora() const override { return instante_; }
  void pon(base::FechaHora instante) { instante_ = instante; }

 private:
  base::FechaHora instante_;
};

}  // namespace mostrador::prueba
