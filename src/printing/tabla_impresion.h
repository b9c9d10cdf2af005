#pragma once
// What a print run reads from a table: the fields of the current record and a forward
// walk for the detail block. The adapter over the table engine is tabla_dbf.h; tests
// use in-memory tables.

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "base/reloj.h"

namespace mostrador::printing {

// A failed line of a format (bad number, unknown field, bad colour...). The text is for
// diagnostics; the user sees the fixed messages of the line loop.
class ErrorFormato : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TablaImpresion {
 public:
  virtual ~TablaImpresion() = default;

  // File name as opened ("FacturaE.dbf") and the stored path of its directory.
  virtual std::string archivo() const = 0;
  virtual std::string directorio() const = 0;

  virtual int numeroCampos() const = 0;
  // Field number for a name, ignoring case; -1 when there is none.
  virtual int indiceCampo(std::string_view nombre) const = 0;
  // Text of a field of the current record: numbers in their shortest decimal form,
  // dates "dd/MM/yyyy", right blanks trimmed. Throws ErrorFormato for a bad number.
  virtual std::string texto(int campo) const = 0;
  // Date value of a field (a date field, or a text that reads "dd/MM/yyyy"); nullopt
  // when blank. Throws ErrorFormato when the text is not a date.
  virtual std::optional<base::Fecha> fecha(int campo) const = 0;

  virtual void primero() = 0;
  virtual void siguiente() = 0;
  virtual bool fin() const = 0;

  // Field number for a name; throws ErrorFormato when there is none.
  int campo(std::string_view nombre) const {
    int i = indiceCampo(nombre);
    if (i < 0) throw ErrorFormato("Campo " + std::string(nombre) + " no encontrado");
    return i;
  }
};

}  // namespace mostrador::printing
