#include "designers/diseno_formato.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "base/rutas.h"
#include "base/texto.h"
#include "base/texto_util.h"

namespace mostrador::designers {

const std::vector<ReglaLinea>& reglasLinea() {
  static const std::vector<ReglaLinea> r = {
      {"@", {"num", "num", "campo"}},
      {"color", {"rojo", "azul", "verde", "amarillo", "negro"}},
      {"cuadro", {"numE", "numE", "numE", "numE"}},
      {"tamaño", {"numE"}},
      {"tipo", {"num", "num", "campo"}},
      {"logo", {"num", "num", "num", "num", "archivo"}},
      {"dia", {"num", "num", "campo"}},
      {"mes", {"num", "num", "campo"}},
      {"año", {"num", "num", "campo"}},
      {"texto", {"num", "num", "texto"}},
      {"moneda", {"num", "num", "campo"}},
      {"estilo", {"letra"}},
      {"separa", {"numE"}},
      {"formato", {"texto"}},
  };
  return r;
}

namespace {

// The first n characters (code points) of a UTF-8 text.
std::string prefijo(std::string_view s, size_t n) {
  size_t i = 0;
  for (size_t k = 0; k < n && i < s.size(); ++k) {
    ++i;
    while (i < s.size() && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) ++i;
  }
  return std::string(s.substr(0, i));
}

size_t caracteres(std::string_view s) {
  size_t n = 0;
  for (unsigned char c : s) n += (c & 0xC0) != 0x80;
  return n;
}

bool esDecimal(std::string_view s) {
  const std::string t = base::recorta(s);
  if (t.empty()) return false;
  char* fin = nullptr;
  std::strtod(t.c_str(), &fin);
  return fin && *fin == '\0';
}

bool esEntero(std::string_view s) {
  const std::string t = base::recorta(s);
  size_t i = (!t.empty() && (t[0] == '-' || t[0] == '+')) ? 1 : 0;
  if (i >= t.size()) return false;
  for (; i < t.size(); ++i)
    if (t[i] < '0' || t[i] > '9') return false;
  return true;
}

const ReglaLinea* reglaDe(std::string_view linea, bool& sinRevision) {
  sinRevision = false;
  if (!linea.empty() && linea[0] == '@') return &reglasLinea()[0];
  const std::string tres = prefijo(linea, 3);
  if (tres == "tra") {
    sinRevision = true;
    return nullptr;
  }
  for (const auto& r : reglasLinea())
    if (r.palabra != "@" && prefijo(r.palabra, 3) == tres) return &r;
  return nullptr;
}

}  // namespace

std::vector<std::string> divideLineaFormato(std::string_view linea) {
  std::vector<std::string> campos(1);
  size_t i = 0;
  if (!linea.empty() && linea[0] == '@') {
    campos[0] = "@";
    campos.emplace_back();
    i = 1;
  }
  for (; i < linea.size(); ++i) {
    const char c = linea[i];
    const bool separa = c == '(' || c == ')' || (c == ',' && campos[0] != "formato");
    if (separa) {
      if (campos.size() == 5) break;
      campos.emplace_back();
      continue;
    }
    const bool primeros = campos.size() <= 3;
    if (primeros && (c == ' ' || c == ')')) continue;
    if (!primeros && (c == '@' || c == ')')) continue;
    campos.back().push_back(c);
  }
  return campos;
}

bool revisaLineaFormato(std::string_view linea) {
  if (base::recorta(linea).empty()) return true;
  bool sinRevision = false;
  const ReglaLinea* regla = reglaDe(linea, sinRevision);
  if (sinRevision) return true;
  if (!regla) return false;
  const auto campos = divideLineaFormato(linea);
  for (size_t k = 0; k < 4 && k < regla->argumentos.size(); ++k) {
    const std::string valor = k + 1 < campos.size() ? campos[k + 1] : std::string();
    const auto tipo = regla->argumentos[k];
    if (tipo == "num" && !esDecimal(valor)) return false;
    if (tipo == "numE" && !esEntero(valor)) return false;
  }
  return true;
}

std::vector<bool> revisaCodigo(const std::vector<std::string>& lineas) {
  std::vector<bool> r;
  for (const auto& l : lineas) r.push_back(revisaLineaFormato(l));
  return r;
}

std::vector<ElementoBoceto> bocetoCodigo(const std::vector<std::string>& lineas) {
  std::vector<ElementoBoceto> r;
  std::string color = "negro";
  int tamano = 0;
  for (const auto& l : lineas) {
    if (l.empty()) continue;
    const auto c = divideLineaFormato(l);
    auto campo = [&](size_t i) { return i < c.size() ? c[i] : std::string(); };
    if (l[0] == '@') {
      if (esEntero(campo(1)) && esEntero(campo(2))) {
        ElementoBoceto e;
        e.x = std::atoi(base::recorta(campo(1)).c_str()) * 2;
        e.y = std::atoi(base::recorta(campo(2)).c_str()) * 5;
        e.texto = campo(3);
        e.color = color;
        e.tamano = tamano;
        r.push_back(e);
      }
      continue;
    }
    const std::string tres = prefijo(l, 3);
    if (tres == "col") {
      const std::string nombre = base::recorta(campo(1));
      for (const char* n : {"rojo", "azul", "verde", "amarillo", "negro"})
        if (nombre == n) color = nombre;
    } else if (tres == "tam" && esEntero(campo(1))) {
      tamano = std::atoi(base::recorta(campo(1)).c_str()) / 3;
    } else if (tres == "log" && esDecimal(campo(1)) && esDecimal(campo(2)) && esDecimal(campo(3)) &&
               esDecimal(campo(4))) {
      ElementoBoceto e;
      e.tipo = ElementoBoceto::Imagen;
      e.x = static_cast<int>(std::strtod(campo(1).c_str(), nullptr));
      e.y = static_cast<int>(std::strtod(campo(2).c_str(), nullptr));
      e.derecha = static_cast<int>(std::strtod(campo(3).c_str(), nullptr));
      e.abajo = static_cast<int>(std::strtod(campo(4).c_str(), nullptr));
      // The file is the rest of the line after the fourth comma: file names may hold
      // parentheses that the split would cut.
      size_t p = 0;
      for (int k = 0; k < 4 && p != std::string::npos; ++k) p = l.find(',', p + (k ? 1 : 0));
      std::string archivo = p == std::string::npos ? std::string() : l.substr(p + 1);
      if (!archivo.empty() && archivo.back() == ')') archivo.pop_back();
      e.texto = base::recorta(archivo);
      e.color = color;
      r.push_back(e);
    }
  }
  return r;
}

std::string lineaAsistente(double izquierda, double arriba, double anchoHoja, double altoHoja,
                           std::string_view texto) {
  const double columna = izquierda / (anchoHoja * 0.0125);
  const double renglon = arriba / (altoHoja * (1.0 / 53.0));
  char c[64], r[64];
  std::snprintf(c, sizeof c, "%4.2f", columna);
  std::snprintf(r, sizeof r, "%4.2f", renglon);
  return "@" + std::string(c) + "," + r + "," + std::string(texto);
}

std::string textoDeCampo(std::string_view caption) {
  return std::string(caption.substr(0, caption.find(' ')));
}

std::optional<std::string> archivoListaCampos(std::string_view directorioSistema,
                                              std::string_view modulo) {
  static const std::pair<std::string_view, std::string_view> tabla[] = {
      {"Clientes", "Clientes.cam"},   {"Compras", "Compras.cam"},     {"Ctas. Cobrar", "CtasXC.cam"},
      {"Ctas.Cobrar", "CtasXC.cam"},  {"Ctas. Pagar", "CtasXP.cam"},  {"Facturas", "Factu.cam"},
      {"Inventarios", "Inventa.cam"}, {"Mov. Inventario", "MovInv.cam"}, {"Vendedores", "Vende.cam"},
      {"Proveedores", "Provee.cam"},
  };
  for (const auto& [m, archivo] : tabla)
    if (m == modulo) return base::une(base::une(directorioSistema, "define"), archivo);
  return std::nullopt;
}

void agregaReferencia(std::vector<std::string>& lineas, int linea, std::string_view entrada) {
  if (linea < 0) return;
  if (static_cast<size_t>(linea) >= lineas.size()) lineas.resize(static_cast<size_t>(linea) + 1);
  lineas[static_cast<size_t>(linea)] += prefijo(entrada, 5);
}

void agregaImpresora(std::vector<std::string>& lineas, std::string_view impresora) {
  lineas.insert(lineas.begin(), "impresora," + std::string(impresora));
}

Indicadores indicadoresCursor(const std::vector<std::string>& lineas, long caret) {
  long inicio = 0;
  for (size_t i = 0; i < lineas.size(); ++i) {
    const long largo = static_cast<long>(caracteres(lineas[i]));
    if (caret <= inicio + largo) return {static_cast<int>(i) + 1, static_cast<int>(caret - inicio) + 1};
    inicio += largo + 2;
  }
  return {static_cast<int>(std::max<size_t>(lineas.size(), 1)), 1};
}

bool guardaFormato(base::Interaccion& ui, std::string_view ruta,
                   const std::vector<std::string>& lineas) {
  if (base::existe(ruta) && ui.advertencia(kArchivoYaExiste) != base::RespuestaAdvertencia::Si)
    return false;
  if (!base::escribeLineas(ruta, lineas)) {
    ui.mensaje("No se pudo escribir el archivo " + std::string(ruta));
    return false;
  }
  return true;
}

}  // namespace mostrador::designers
