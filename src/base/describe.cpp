#include "base/describe.h"

#include "base/rutas.h"
#include "base/texto_util.h"

namespace mostrador::base {

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

bool escribeDescripciones(std::string_view directorioSistema, const std::map<int, std::string>& textos) {
  const std::string carpeta = une(directorioSistema, "ayuda");
  creaDirectorios(carpeta);
  const int ultimo = textos.empty() ? -1 : textos.rbegin()->first;
  std::vector<RegistroFijo> rs;
  for (int tema = 0; tema <= ultimo; ++tema) {
    RegistroFijo r(disenoDescripciones());
    if (auto it = textos.find(tema); it != textos.end()) {
      r.ponTexto("clave", std::to_string(tema));
      r.ponTexto("primera", caracteres(it->second, 1, 125));
      r.ponTexto("segunda", caracteres(it->second, 126, 125));
    }
    rs.push_back(r);
  }
  return ArchivoFijo(une(carpeta, "describe.des"), disenoDescripciones()).reescribe(rs);
}

}  // namespace mostrador::base
