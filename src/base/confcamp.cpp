#include "base/confcamp.h"

#include <cstdio>

#include "base/numeros.h"
#include "base/rutas.h"

namespace mostrador::base {

const DisenoRegistro& disenoCatalogoCampos() {
  static const DisenoRegistro d(83, {CampoFijo::cadena("numero", 0, 4), CampoFijo::cadena("nombre", 5, 10),
                                     CampoFijo::cadena("descripcion", 16, 35),
                                     CampoFijo::cadena("tercero", 52, 10), CampoFijo::cadena("cuarto", 63, 3),
                                     CampoFijo::cadena("quinto", 67, 15)});
  return d;
}

std::string CampoCatalogo::descripcionMostrada() const { return descripcion.empty() ? nombre : descripcion; }

std::string lineaSelector(int linea, const CampoCatalogo& campo) {
  char numero[16];
  std::snprintf(numero, sizeof numero, "[%03d]", linea);
  return numero + campo.nombre + "  " + campo.descripcionMostrada();
}

CatalogoCampos::CatalogoCampos(std::string ruta) : archivo_(std::move(ruta), disenoCatalogoCampos()) {}

CatalogoCampos CatalogoCampos::enDirectorio(std::string_view directorioSistema) {
  return CatalogoCampos(une(directorioSistema, "confcamp.cmp"));
}

bool CatalogoCampos::existe() const { return archivo_.existe(); }

namespace {

// The table index of the whole file (read at once: it is small, and one read sees one
// consistent file).
std::vector<std::string> indiceTablas(const std::vector<RegistroFijo>& todos) {
  std::vector<std::string> r;
  const long n = static_cast<long>(todos.size());
  if (n == 0) return r;
  const auto t = leeNumero(todos.back().texto("numero"));
  if (!t || *t < 1 || *t > n - 1 || *t != static_cast<double>(static_cast<long>(*t))) return r;
  const long cuantas = static_cast<long>(*t);
  for (long k = 0; k < cuantas; ++k) r.push_back(todos[static_cast<size_t>(n - 1 - cuantas + k)].texto("descripcion"));
  return r;
}

std::optional<int> buscaTabla(const std::vector<std::string>& indice, std::string_view tabla) {
  const std::string_view buscada = mismoNombre(tabla, "ordendet.dbf") ? "comprasd.dbf" : tabla;
  for (size_t k = 0; k < indice.size(); ++k)
    if (mismoNombre(indice[k], buscada)) return static_cast<int>(k);
  return std::nullopt;
}

}  // namespace

std::vector<std::string> CatalogoCampos::tablas() const { return indiceTablas(archivo_.leeTodos()); }

std::optional<int> CatalogoCampos::numeroTabla(std::string_view tabla) const {
  return buscaTabla(tablas(), tabla);
}

bool escribeCatalogoCampos(std::string_view ruta, const std::vector<TablaCatalogo>& tablas) {
  const DisenoRegistro& d = disenoCatalogoCampos();
  std::vector<RegistroFijo> rs(tablas.size() * 50, RegistroFijo(d));
  for (size_t k = 0; k < tablas.size(); ++k) {
    const auto& campos = tablas[k].campos;
    for (size_t i = 0; i < campos.size() && i < static_cast<size_t>(CatalogoCampos::kCamposPorTabla); ++i) {
      RegistroFijo& r = rs[k * 50 + 1 + i];
      r.ponTexto("numero", campos[i].numero);
      r.ponTexto("nombre", campos[i].nombre);
      r.ponTexto("descripcion", campos[i].descripcion);
      r.ponTexto("tercero", campos[i].tercero);
      r.ponTexto("cuarto", campos[i].cuarto);
      r.ponTexto("quinto", campos[i].quinto);
    }
  }
  for (size_t k = 0; k < tablas.size(); ++k) {
    RegistroFijo r(d);
    r.ponTexto("numero", std::to_string(k));
    r.ponTexto("descripcion", tablas[k].archivo);
    rs.push_back(r);
  }
  RegistroFijo cuenta(d);
  cuenta.ponTexto("numero", std::to_string(tablas.size()));
  rs.push_back(cuenta);
  return ArchivoFijo(std::string(ruta), d).reescribe(rs);
}

std::vector<CampoCatalogo> CatalogoCampos::campos(std::string_view tabla) const {
  std::vector<CampoCatalogo> r;
  const std::vector<RegistroFijo> todos = archivo_.leeTodos();
  const auto k = buscaTabla(indiceTablas(todos), tabla);
  if (!k) return r;
  for (size_t i = 1; i <= kCamposPorTabla; ++i) {
    const size_t posicion = static_cast<size_t>(*k) * 50 + i;
    if (posicion >= todos.size()) break;
    const RegistroFijo& reg = todos[posicion];
    r.push_back({reg.texto("numero"), reg.texto("nombre"), reg.texto("descripcion"), reg.texto("tercero"),
                 reg.texto("cuarto"), reg.texto("quinto")});
  }
  return r;
}

std::vector<std::string> CatalogoCampos::lineasSelector(std::string_view tabla) const {
  std::vector<std::string> r;
  int linea = 0;
  for (const CampoCatalogo& c : campos(tabla)) r.push_back(lineaSelector(linea++, c));
  return r;
}

}  // namespace mostrador::base
