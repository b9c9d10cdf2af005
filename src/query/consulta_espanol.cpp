#include "query/consulta_espanol.h"

#include "base/rutas.h"
#include "base/texto.h"
#include "base/texto_util.h"

namespace mostrador::query {

const std::vector<PalabraClave>& palabrasClave() {
  static const std::vector<PalabraClave> tabla = {
      {"SELECCIONA", "SELECT"}, {"DESDE", "FROM"},      {"CUANDO", "WHERE"},
      {"Y", "AND"},             {"O", "OR"},            {"COMO", "AS"},
      {"INSERTA", "INSERT"},    {"BORRA", "DELETE"},    {"ACTUALIZA", "UPDATE"},
      {"CAMPOS", "SET"},        {"ORDENAR", "ORDER"},   {"POR", "BY"},
      {"AGRUPAR", "GROUP"},     {"TENIENDO", "HAVING"}, {"CONTIENE", "LIKE"},
      {"SUMA", "SUM"},          {"CUENTA", "COUNT"},    {"PROMEDIO", "AVG"},
      {"MAXIMO", "MAX"},        {"MINIMO", "MIN"},      {"EN", "IN"},
      {"DENTRO", "INTO"},       {"VALORES", "VALUES"},  {"CREAR", "CREATE"},
      {"ALTERAR", "ALTER"},     {"ELIMINA", "DROP"},    {"CONVIERTE", "CONVERT"},
      {"UNICO", "UNIQUE"},      {"INDICE", "INDEX"},    {"TABLA", "TABLE"},
      {"CON", "WITH"},          {"NULO", "NULL"},       {"PRIMARIO", "PRIMARY"},
      {"LLAVE", "KEY"},         {"NO", "NOT"},          {"AGREGAR", "ADD"},
  };
  return tabla;
}

std::string traducePalabra(std::string_view palabra) {
  for (const auto& p : palabrasClave())
    if (base::igualesSinCasoAscii(palabra, p.espanol)) return std::string(p.sql);
  return std::string(palabra);
}

std::string traduceLinea(std::string_view linea) {
  std::string entrada(linea);
  entrada.push_back(' ');
  std::string salida, palabra;
  for (char c : entrada) {
    if (c == ' ' || c == ',') {
      salida += traducePalabra(palabra);
      salida.push_back(c);
      palabra.clear();
    } else {
      palabra.push_back(c);
    }
  }
  return salida;
}

std::vector<std::string> traduceLineas(const std::vector<std::string>& lineas) {
  std::vector<std::string> r;
  r.reserve(lineas.size());
  for (const auto& l : lineas) r.push_back(traduceLinea(l));
  return r;
}

std::string traduceConsulta(std::string_view texto) {
  std::string r;
  bool primera = true;
  for (const auto& l : traduceLineas(base::divideLineas(texto))) {
    if (!primera) r.push_back('\n');
    r += l;
    primera = false;
  }
  return r;
}

const std::vector<TablaConsola>& tablasConsola() {
  static const std::vector<TablaConsola> tabla = {
      {"Clientes", "cliente.dbf", "cliente.dbf"},
      {"Proveedores", "proveedo.dbf", "proveedo.dbf"},
      {"Vendedores", "vendedor.dbf", "vendedor.dbf"},
      {"Facturación", "facturae.dbf", "facturae.dbf"},
      {"Compras", "comprase.dbf", "comprase.dbf"},
      {"Cuentas x Cobrar", "cucobrar.dbf", "CuCobrar.dbf"},
      {"Cuentas x pagar", "cuepagar.dbf", "CuePagar.dbf"},
      {"Inventario", "inventar.dbf", "inventar.dbf"},
      {"Movimientos al Inventario", "movinven.dbf", "Movinven.DBF"},
      {"Facturación Detallada", "facturad.dbf", "facturad.DBF"},
      {"Compras Detallada", "comprasd.dbf", ""},
  };
  return tabla;
}

std::optional<TablaConsola> tablaConsola(std::string_view titulo) {
  for (const auto& t : tablasConsola())
    if (t.titulo == titulo) return t;
  return std::nullopt;
}

std::vector<std::string> esqueletoConsulta(std::string_view directorioDatos,
                                           std::string_view titulo) {
  std::string archivo;
  if (auto t = tablaConsola(titulo)) archivo = std::string(t->esqueleto);
  return {"Select", "", "", "",
          "From \"" + std::string(directorioDatos) + "\\" + archivo + "\""};
}

void agregaCampoConsulta(std::vector<std::string>& lineas, std::string_view campo) {
  if (lineas.size() < 2) {
    lineas.insert(lineas.begin(), std::string(campo));
    return;
  }
  const size_t donde = lineas.size() - 2;
  if (donde > 0 && !lineas[donde - 1].empty()) lineas[donde - 1] += ",";
  lineas.insert(lineas.begin() + static_cast<long>(donde), std::string(campo));
}

std::vector<CampoConsola> camposConsola(const base::CatalogoCampos& catalogo,
                                        std::string_view archivoTabla) {
  std::vector<CampoConsola> r;
  for (const auto& c : catalogo.campos(archivoTabla)) {
    if (c.descripcion.empty() || c.descripcion == "No Disponible") continue;
    r.push_back({c.nombre, c.descripcion, c.tercero});
  }
  return r;
}

}  // namespace mostrador::query
