#include "shell/describe.h"

#include "shell/rutas.h"
#include "shell/texto_util.h"

namespace mostrador::shell {

const DisenoRegistro& disenoDescripciones() {
  static const DisenoRegistro d(263, {CampoFijo::cadena("clave", 0, 10), CampoFijo::cadena("primera", 11, 125),
                                      CampoFijo::cadena("segunda", 137, 125)});
  return d;
}

std::string Descripcion::texto() const { return primera + caracteres(segunda, 1, 250); }

std::optional<Descripcion> leeDescripcion(std::string_view directorioSistema, int tema) {
  const ArchivoFijo archivo(une(directorioSistema, "ayuda\\describe.des"), disenoDescripciones());
  const auto r = archivo.lee(tema);
  if (!r) return std::nullopt;
  return Descripcion{r->texto("clave"), r->texto("primera"), r->texto("segunda")};
}

}  // namespace mostrador::shell
