#include "base/moneda.h"

#include "base/rutas.h"

namespace mostrador::base {
namespace {

Moneda deRegistro(const RegistroFijo& r) {
  return {r.texto("nombre"),  r.texto("valor"),       r.texto("singular"), r.texto("plural"),
          r.texto("plural2"), r.texto("abreviatura"), r.texto("simbolo")};
}

}  // namespace

const DisenoRegistro& disenoMoneda() {
  static const DisenoRegistro d(157, {CampoFijo::cadena("nombre", 0, 15), CampoFijo::cadena("valor", 16, 10),
                                      CampoFijo::cadena("singular", 27, 30),
                                      CampoFijo::cadena("plural", 58, 30),
                                      CampoFijo::cadena("plural2", 89, 30),
                                      CampoFijo::cadena("abreviatura", 120, 30),
                                      CampoFijo::cadena("simbolo", 151, 5)});
  return d;
}

std::string rutaMonedas(std::string_view directorioDatos) { return une(directorioDatos, kArchivoMonedas); }

std::vector<Moneda> leeMonedas(std::string_view directorioDatos) {
  std::vector<Moneda> r;
  for (const RegistroFijo& registro : ArchivoFijo(rutaMonedas(directorioDatos), disenoMoneda()).leeTodos())
    r.push_back(deRegistro(registro));
  return r;
}

bool escribeMonedas(std::string_view directorioDatos, const std::vector<Moneda>& monedas) {
  std::vector<RegistroFijo> registros;
  for (const Moneda& m : monedas) {
    RegistroFijo r(disenoMoneda());
    r.ponTexto("nombre", m.nombre);
    r.ponTexto("valor", m.valor);
    r.ponTexto("singular", m.singular);
    r.ponTexto("plural", m.plural);
    r.ponTexto("plural2", m.segundoPlural);
    r.ponTexto("abreviatura", m.abreviatura);
    r.ponTexto("simbolo", m.simbolo);
    registros.push_back(std::move(r));
  }
  return ArchivoFijo(rutaMonedas(directorioDatos), disenoMoneda()).reescribe(registros);
}

std::optional<Moneda> buscaMoneda(std::string_view directorioDatos, std::string_view nombre) {
  // Read anew each time: the currency dialog of any station may have rewritten it.
  for (const RegistroFijo& r : ArchivoFijo(rutaMonedas(directorioDatos), disenoMoneda()).leeTodos())
    if (r.texto("nombre") == nombre) return deRegistro(r);
  return std::nullopt;
}

std::array<std::string, 4> palabrasMoneda(std::string_view directorioDatos, std::string_view nombre) {
  std::optional<Moneda> m = buscaMoneda(directorioDatos, nombre);
  if (!m) {
    const std::string xx(kSinMoneda);
    return {xx, xx, xx, xx};
  }
  return {m->singular, m->plural, m->segundoPlural, m->abreviatura};
}

}  // namespace mostrador::base
