#pragma once
// A clock stopped at a given instant (movable by the test).

#include "shell/reloj.h"

namespace mostrador::prueba {

class RelojFijo : public shell::Reloj {
 public:
  explicit RelojFijo(shell::FechaHora instante) : instante_(instante) {}
  shell::FechaHora ahora() const override { return instante_; }
  void pon(shell::FechaHora instante) { instante_ = instante; }

 private:
  shell::FechaHora instante_;
};

}  // namespace mostrador::prueba
