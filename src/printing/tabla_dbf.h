#pragma once
// A print run reading a table of the engine (or a Local SQL result): the record source
// over dbf::Cursor. Engine errors become failed lines.

#include <string>

#include "printing/tabla_impresion.h"
#include "store/dbf/dbf_table.h"

namespace mostrador::printing {

class TablaDbf : public TablaImpresion {
 public:
  // directorio and archivo: the stored directory and file name the cursor was opened
  // with ("com" picks the observations by the file name). The cursor must outlive this.
  TablaDbf(dbf::Cursor& cursor, std::string directorio, std::string archivo);

  std::string archivo() const override { return archivo_; }
  std::string directorio() const override { return directorio_; }
  int numeroCampos() const override;
  int indiceCampo(std::string_view nombre) const override;
  // Numbers in their shortest form ("1500", "2.5"), dates "dd/MM/yyyy", logicals
  // "True"/"False", blanks "".
  std::string texto(int campo) const override;
  std::optional<base::Fecha> fecha(int campo) const override;
  void primero() override;
  void siguiente() override;
  bool fin() const override;

 private:
  dbf::Cursor& cursor_;
  std::string directorio_, archivo_;
};

}  // namespace mostrador::printing
