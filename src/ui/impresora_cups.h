#pragma once
// The receipt printer's raw queue over libcups.

#include <string>

#include "printing/impresora.h"

class ColaCups : public mostrador::printing::ColaCruda {
 public:
  // Sends the bytes as one RAW document to the queue of that exact name, or to the
  // default destination when no queue has it. False when CUPS refused the job.
  bool envia(std::string_view cola, std::string_view bytes, std::string_view documento) override;
  const std::string& ultimoError() const { return error_; }

 private:
  std::string error_;
};
