#include "reports/rejilla_reporte.h"

#include <cmath>
#include <cstdlib>

#include "base/numeros.h"

namespace mostrador::reports {

void SumaExacta::agrega(double v) { total_ += std::llround(v * 10000.0); }

std::string SumaExacta::texto() const {
  return base::formateaMascara(base::Decimal::deDiezmilesimos(total_), "##,###,##0.00");
}

std::string sumaColumna(const std::vector<std::vector<std::string>>& filas, size_t columna, bool numerica) {
  if (!numerica) return std::string(kNoSePuedeSumar);
  SumaExacta s;
  for (const auto& f : filas) {
    if (columna >= f.size()) continue;
    const std::string& t = f[columna];
    if (t.find_first_not_of(' ') == std::string::npos) continue;
    auto v = base::leeNumero(t);
    if (!v) return std::string(kNoSePuedeSumar);
    s.agrega(*v);
  }
  return "La Suma es : " + s.texto();
}

std::vector<int> anchosDeLista(std::string_view lista) {
  std::vector<int> r;
  if (lista.empty()) return r;
  std::string e;
  for (char c : lista) {
    if (c == ',') {
      r.push_back(std::atoi(e.c_str()));
      e.clear();
    } else {
      e += c;
    }
  }
  r.push_back(std::atoi(e.c_str()));
  return r;
}

std::string rellena(std::string_view texto, int ancho, bool derecha) {
  const size_t n = base::largoCaracteres(texto);
  if (ancho <= 0 || n >= static_cast<size_t>(ancho)) return std::string(texto);
  const std::string blancos(static_cast<size_t>(ancho) - n, ' ');
  return derecha ? blancos + std::string(texto) : std::string(texto) + blancos;
}

namespace {

std::string numero(char tipo, double v) {
  const std::string_view mascara = tipo == '#' ? "#,###,###,##0" : "##,###,##0.00";
  return rellena(base::formateaMascara(v, mascara), static_cast<int>(mascara.size()), true);
}

}  // namespace

NuevoReporte construyeNuevoReporte(const std::vector<ColumnaNuevoReporte>& columnas,
                                   const std::vector<std::vector<std::string>>& filas, bool consecutivo,
                                   const std::vector<std::string>& retiros) {
  std::vector<std::string> lineas;
  lineas.push_back("*************Reporte*********");
  std::string encabezado = consecutivo ? rellena("CONSEC", 8, false) : "";
  for (const auto& c : columnas) encabezado += rellena(c.titulo, c.ancho, c.tipo != 'c') + " ";
  lineas.push_back(encabezado);
  std::vector<long long> totales(columnas.size(), 0);
  long n = 0;
  for (const auto& f : filas) {
    std::string l = consecutivo ? rellena(std::to_string(++n), 8, false) : "";
    for (size_t i = 0; i < columnas.size(); ++i) {
      const std::string v = i < f.size() ? f[i] : "";
      const auto& c = columnas[i];
      if (c.tipo == 'c') {
        l += rellena(v, c.ancho, false) + " ";
      } else {
        const double x = base::numeroSeguro(v);
        totales[i] += std::llround(x * 10000.0);
        l += rellena(numero(c.tipo, x), c.ancho, true) + " ";
      }
    }
    lineas.push_back(l);
  }
  std::string t = consecutivo ? rellena("", 8, false) : "";
  bool primero = true;
  for (size_t i = 0; i < columnas.size(); ++i) {
    const auto& c = columnas[i];
    std::string celda;
    if (c.tipo != 'c') celda = numero(c.tipo, static_cast<double>(totales[i]) / 10000.0);
    else if (primero) celda = "TOTALES";
    if (c.tipo == 'c') primero = false;
    t += rellena(celda, c.ancho, c.tipo != 'c') + " ";
  }
  lineas.push_back(t);
  if (!retiros.empty()) {
    lineas.push_back("");
    lineas.push_back("");
    lineas.insert(lineas.end(), retiros.begin(), retiros.end());
  }
  NuevoReporte r;
  for (size_t i = 0; i < lineas.size(); i += 50) {
    PaginaImpresa p;
    for (size_t j = i; j < std::min(lineas.size(), i + 50); ++j)
      p.lineas.push_back({lineas[j], j == 0 ? kRojoHoja : kNegroHoja, j == 0 ? 14 : 9, {}});
    r.paginas.push_back(std::move(p));
    r.estados.push_back("Página " + std::to_string(r.paginas.size()));
  }
  return r;
}

}  // namespace mostrador::reports
