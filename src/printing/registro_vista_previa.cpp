#include "printing/registro_vista_previa.h"

#include "base/registros_fijos.h"

namespace mostrador::printing {

namespace {

const base::DisenoRegistro& diseno() {
  using base::CampoFijo;
  static const base::DisenoRegistro d(
      kTamRegistroVistaPrevia,
      {CampoFijo::entero32("x", 0), CampoFijo::entero32("y", 4),
       CampoFijo::cadena("texto", 8, 150), CampoFijo::bytes("relleno", 159, 1),
       CampoFijo::entero32("tamano", 160), CampoFijo::cadena("fuente", 164, 50),
       CampoFijo::cadena("color", 215, 8), CampoFijo::cadena("formato", 224, 25),
       CampoFijo::cadena("reservado", 250, 25), CampoFijo::entero32("pagina", 276)});
  return d;
}

RegistroVistaPrevia deFijo(const base::RegistroFijo& f) {
  RegistroVistaPrevia r;
  r.x = f.entero("x");
  r.y = f.entero("y");
  r.texto = f.texto("texto");
  r.tamano = f.entero("tamano");
  r.fuente = f.texto("fuente");
  r.color = f.texto("color");
  r.formato = f.texto("formato");
  r.reservado = f.texto("reservado");
  r.pagina = f.entero("pagina");
  return r;
}

base::RegistroFijo aFijo(const RegistroVistaPrevia& r) {
  base::RegistroFijo f(diseno());
  f.ponEntero("x", r.x);
  f.ponEntero("y", r.y);
  f.ponTexto("texto", r.texto);
  f.ponEntero("tamano", r.tamano);
  f.ponTexto("fuente", r.fuente);
  f.ponTexto("color", r.color);
  f.ponTexto("formato", r.formato);
  f.ponTexto("reservado", r.reservado);
  f.ponEntero("pagina", r.pagina);
  return f;
}

}  // namespace

std::string codificaRegistro(const RegistroVistaPrevia& r) { return aFijo(r).bytes(); }

RegistroVistaPrevia decodificaRegistro(std::string_view bytes) {
  return deFijo(base::RegistroFijo(diseno(), std::string(bytes.substr(0, kTamRegistroVistaPrevia))));
}

std::vector<RegistroVistaPrevia> leeRegistros(std::string_view ruta) {
  std::vector<RegistroVistaPrevia> rs;
  for (const auto& f : base::ArchivoFijo(std::string(ruta), diseno()).leeTodos())
    rs.push_back(deFijo(f));
  return rs;
}

bool escribeRegistros(std::string_view ruta, const std::vector<RegistroVistaPrevia>& rs) {
  std::vector<base::RegistroFijo> fs;
  fs.reserve(rs.size());
  for (const auto& r : rs) fs.push_back(aFijo(r));
  return base::ArchivoFijo(std::string(ruta), diseno()).reescribe(fs);
}

}  // namespace mostrador::printing
