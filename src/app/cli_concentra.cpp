// mostrador-cli concentra: the concentration generator from a terminal, the summary a
// screen builds (per day, per seller, per till...) for any table and columns, written as
// the viewer's text pages or as its tab-separated export.

#include <iostream>
#include <memory>
#include <sstream>

#include "app/cli_comun.h"
#include "base/fechas.h"
#include "base/interaccion.h"
#include "base/rutas.h"
#include "base/texto_util.h"
#include "reports/concentrado.h"
#include "reports/visor_concentrado.h"
#include "store/dbf/dbf_table.h"

namespace mostrador::app::cli {

namespace {

// The items of a comma-separated option, blanks around each trimmed; empty items stay
// (",,X" names the third column).
std::vector<std::string> lista(const std::string& s) {
  std::vector<std::string> r;
  std::string actual;
  for (char c : s) {
    if (c == ',') {
      r.push_back(base::recorta(actual));
      actual.clear();
    } else {
      actual.push_back(c);
    }
  }
  r.push_back(base::recorta(actual));
  return r;
}

std::string fechaOpcion(const Argumentos& a, const std::string& n) {
  auto t = a.opcion(n);
  if (!t) return "";
  if (!base::leeFechaCorta(*t)) throw ErrorUso("--" + n + " no es una fecha dd/MM/aaaa: " + *t);
  return *t;
}

// "--estado CAMPO=VALOR" and the operators "!" (different), ">" and "<".
void leeEstado(const std::string& s, reports::ParametrosConcentrado& p) {
  const size_t i = s.find_first_of("=!<>");
  if (i == std::string::npos || i == 0)
    throw ErrorUso("--estado es CAMPO=VALOR, CAMPO!VALOR, CAMPO>VALOR o CAMPO<VALOR: " + s);
  p.campoEstado = s.substr(0, i);
  p.operadorEstado = s[i];
  p.valorEstado = s.substr(i + 1);
}

}  // namespace

int cmdConcentra(const Argumentos& a) {
  if (a.posicionales.size() != 1) throw ErrorUso("concentra necesita el nombre de la tabla");
  const std::string tabla = a.posicionales[0];
  auto clave = a.opcion("clave");
  if (!clave || clave->empty()) throw ErrorUso("concentra necesita --clave CAMPO");

  reports::ParametrosConcentrado p;
  p.clave = *clave;
  p.segundaClave = a.opcion("segunda-clave").value_or("");
  if (auto c = a.opcion("columnas")) {
    const auto cs = lista(*c);
    if (cs.size() > 8) throw ErrorUso("--columnas admite hasta ocho columnas");
    for (size_t i = 0; i < cs.size(); ++i) p.columnas[i] = cs[i];
  }
  p.opcion = a.opcion("opcion").value_or("C");
  if (p.opcion != "C" && p.opcion != "D" && p.opcion != "DC") throw ErrorUso("--opcion es C, D o DC");
  p.fechaDesde = fechaOpcion(a, "desde");
  p.fechaHasta = fechaOpcion(a, "hasta");
  if (auto f = a.opcion("campo-fecha")) p.campoFecha = *f;
  else if (!p.fechaDesde.empty() || !p.fechaHasta.empty()) throw ErrorUso("--desde y --hasta van con --campo-fecha CAMPO");
  if (auto e = a.opcion("estado")) leeEstado(*e, p);
  p.rangoInicio = a.opcion("rango-desde").value_or("");
  p.rangoFin = a.opcion("rango-hasta").value_or("");
  if ((!p.rangoInicio.empty() || !p.rangoFin.empty()) && !a.opcion("indice"))
    throw ErrorUso("--rango-desde y --rango-hasta van con --indice TAG");

  // Headings: the key, the second key and the columns, in the viewer's order; a column
  // without one is titled by its field.
  std::array<std::string, 10> titulos;
  titulos[0] = p.clave;
  titulos[1] = p.segundaClave;
  for (size_t i = 0; i < 8; ++i) titulos[i + 2] = p.columnas[i];
  if (auto t = a.opcion("titulos")) {
    const auto ts = lista(*t);
    if (ts.size() > 10) throw ErrorUso("--titulos admite hasta diez encabezados");
    for (size_t i = 0; i < ts.size(); ++i) titulos[i] = ts[i];
  }
  std::array<int, 10> anchos{15, 30, 15, 15, 15, 15, 15, 15, 15, 15};
  if (p.segundaClave.empty()) anchos[1] = 0;
  for (size_t i = 0; i < 8; ++i)
    if (p.columnas[i].empty()) anchos[i + 2] = 0;
  if (auto w = a.opcion("anchos")) {
    const auto ws = lista(*w);
    if (ws.size() > 10) throw ErrorUso("--anchos admite hasta diez anchos");
    for (size_t i = 0; i < ws.size(); ++i) {
      if (ws[i].empty()) continue;
      if (ws[i].find_first_not_of("0123456789") != std::string::npos || ws[i].size() > 3)
        throw ErrorUso("--anchos lleva números de caracteres: " + ws[i]);
      anchos[i] = std::stoi(ws[i]);
    }
  }
  const std::string formato = a.opcion("formato").value_or("texto");
  if (formato != "texto" && formato != "tsv") throw ErrorUso("--formato es texto o tsv");

  Instalacion in = localiza(a);
  const std::string datos = datosExistentes(in);
  // The scratch files go to the station's "tempo"; without a system directory, beside
  // the data.
  const std::string sistema = in.sistema.empty() ? datos : in.sistema;
  base::creaDirectorios(base::une(sistema, "tempo"));
  if (!base::existe(base::une(datos, tabla))) throw std::runtime_error("El Archivo " + base::une(datos, tabla) + " No Existe");

  base::InteraccionSinUsuario ui(&std::cerr);
  dbf::Table t;
  t.open(datos, tabla);
  if (auto i = a.opcion("indice")) t.setIndex(*i);
  for (const std::string& campo : {p.clave, p.segundaClave, p.campoEstado})
    if (!campo.empty() && campo.find_first_of("&%@") != 0 && !t.fieldExists(campo))
      throw ErrorUso("la tabla " + tabla + " no tiene el campo " + campo);
  if (p.campoFecha != "f" && !t.fieldExists(p.campoFecha))
    throw ErrorUso("la tabla " + tabla + " no tiene el campo " + p.campoFecha);
  for (const std::string& campo : p.columnas)
    if (!campo.empty() && campo.front() != '&' && campo.front() != '%' && !t.fieldExists(campo))
      throw ErrorUso("la tabla " + tabla + " no tiene el campo " + campo);

  if (reports::GeneraConcentrado({&t}, p, sistema, datos, ui) != reports::ResultadoConcentrado::Hecho)
    throw std::runtime_error("el concentrado no se generó");
  reports::TitulosConcentrado(sistema, titulos, p.opcion, reports::tiposDeColumnas(t, p.columnas), p.condiciones);
  reports::AnchosConcentrado(sistema, anchos);

  reports::VisorConcentrado v(sistema, a.opcion("titulo").value_or("Concentrado de " + tabla));
  v.abre();
  v.BotonReporte();
  if (formato == "tsv") {
    for (const auto& l : v.lineasExportacion()) std::cout << l << '\n';
  } else {
    for (int pg = 0; pg < v.paginas(); ++pg) {
      v.irAPagina(pg);
      if (pg > 0) std::cout << '\n';
      for (const auto& l : v.hoja().textos()) std::cout << l << '\n';
      std::cout << v.estado() << '\n';
    }
  }
  // The viewer deletes its scratch files when it closes; the read step's too.
  v.cierra();
  base::borra(base::une(sistema, reports::kArchivoConcen));
  return 0;
}

}  // namespace mostrador::app::cli
