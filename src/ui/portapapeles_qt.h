#pragma once
// The clipboard seam over the system clipboard, where the scale's reader program leaves
// the weight.

#include "sales/dispositivos.h"

class PortapapelesQt : public mostrador::sales::Portapapeles {
 public:
  std::string texto() const override;
};
