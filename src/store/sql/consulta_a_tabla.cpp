#include "store/sql/consulta_a_tabla.h"

#include <cctype>
#include <set>

#include "base/rutas.h"
#include "base/texto.h"

namespace mostrador::sql {

namespace {

std::string nombreDeCampo(const std::string& columna, size_t i, std::set<std::string>& usados) {
  std::string n;
  for (char c : columna) {
    unsigned char u = static_cast<unsigned char>(c);
    n += std::isalnum(u) && u < 0x80 ? static_cast<char>(std::toupper(u)) : '_';
  }
  n = n.substr(0, 10);
  if (n.empty() || std::isdigit(static_cast<unsigned char>(n[0]))) n = "C" + std::to_string(i + 1);
  std::string base = n;
  for (int k = 1; usados.count(n); ++k) {
    std::string sufijo = std::to_string(k);
    n = base.substr(0, 10 - sufijo.size()) + sufijo;
  }
  usados.insert(n);
  return n;
}

}  // namespace

std::string tipoDeColumna(const dbf::FieldDef& campo) {
  switch (campo.type) {
    case 'C':
      return "CHAR(" + std::to_string(campo.length) + ")";
    case 'N':
      if (campo.decimals == 0 && campo.length <= 4) return "NUMERIC(6,2)";
      if (campo.decimals == 0 && campo.length <= 9) return "NUMERIC(8,2)";
      return "FLOAT(8,2)";
    case 'F':
      return "FLOAT(8,2)";
    case 'D':
      return "DATE";
    case '@':
      return "TIMESTAMP";
    default:
      return {};
  }
}

std::string ConsultaATabla(BaseSql& base, std::string_view archivoSentencia,
                           std::string_view directorioSistema) {
  auto lineas = base::leeLineas(archivoSentencia);
  if (!lineas) throw Error("No existe el archivo de consulta " + std::string(archivoSentencia));
  std::string sentencia;
  for (const auto& l : *lineas) {
    if (!l.empty() && l[0] == '%') continue;
    if (!sentencia.empty()) sentencia += ' ';
    sentencia += l;
  }
  auto filas = base.consulta(sentencia);

  const std::string ruta = base::une(directorioSistema, "tempo.dbf");
  try {
    base.ejecuta("DROP TABLE \"" + ruta + "\"");
  } catch (const Error&) {
    // A missing table is the usual case.
  }
  std::string crea = "CREATE TABLE \"" + ruta + "\" (";
  std::set<std::string> usados;
  const auto& defs = filas->fieldDefs();
  for (size_t i = 0; i < defs.size(); ++i) {
    std::string tipo = tipoDeColumna(defs[i]);
    crea += (i ? "," : "") + nombreDeCampo(defs[i].name, i, usados) + (tipo.empty() ? "" : " ") +
            tipo;
  }
  base.ejecuta(crea + ")");

  dbf::Table t;
  t.open(directorioSistema, "tempo.dbf");
  for (filas->first(); !filas->eof(); filas->next()) {
    t.append();
    try {
      for (size_t i = 0; i < defs.size(); ++i)
        asignaValor(t, static_cast<int>(i), filas->valor(static_cast<int>(i)));
      t.post();
    } catch (...) {
      if (t.editing()) t.cancel();
      throw;
    }
  }
  return ruta;
}

}  // namespace mostrador::sql
