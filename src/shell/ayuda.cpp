#include "shell/ayuda.h"

#include <cctype>
#include <tuple>
#include <utility>

#include "shell/rutas.h"
#include "shell/texto.h"

namespace mostrador::shell {

bool escribeIndiceAyuda(std::string_view directorioSistema, std::string_view titulo,
                        const std::vector<EntradaMenu>& menuPrincipal) {
  const std::string carpeta = une(directorioSistema, "ayuda");
  if (!esDirectorio(carpeta) && !creaDirectorios(carpeta)) return false;
  const std::string ruta = une(carpeta, "ayudatvk.tvk");
  std::vector<std::string> lineas{std::string(titulo)};
  for (size_t i = 1; i < menuPrincipal.size(); ++i) {
    lineas.push_back(menuPrincipal[i].titulo);
    for (const EntradaMenu& e : menuPrincipal[i].entradas) lineas.push_back(e.titulo);
    lineas.push_back(std::string(29, '*'));
  }
  for (const std::string& l : lineas)
    if (!agregaLinea(ruta, l)) return false;
  return true;
}

namespace {

bool empiezaSinMayusculas(std::string_view t, std::string_view prefijo) {
  if (t.size() < prefijo.size()) return false;
  for (size_t i = 0; i < prefijo.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(t[i])) != std::tolower(static_cast<unsigned char>(prefijo[i])))
      return false;
  return true;
}

std::string minusculas(std::string_view t) {
  std::string r(t);
  for (char& c : r) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return r;
}

int hex(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string decodificaQP(std::string_view t) {
  std::string r;
  for (size_t i = 0; i < t.size(); ++i) {
    if (t[i] != '=') {
      r += t[i];
      continue;
    }
    if (i + 1 < t.size() && (t[i + 1] == '\r' || t[i + 1] == '\n')) {  // soft line break
      ++i;
      if (t[i] == '\r' && i + 1 < t.size() && t[i + 1] == '\n') ++i;
      continue;
    }
    if (i + 2 < t.size() && hex(t[i + 1]) >= 0 && hex(t[i + 2]) >= 0) {
      r += static_cast<char>(hex(t[i + 1]) * 16 + hex(t[i + 2]));
      i += 2;
      continue;
    }
    r += '=';
  }
  return r;
}

std::string escapaHtml(std::string_view t) {
  std::string r;
  for (char c : t) {
    if (c == '<') r += "&lt;";
    else if (c == '>') r += "&gt;";
    else if (c == '&') r += "&amp;";
    else r += c;
  }
  return r;
}

}  // namespace

std::string htmlDeMht(std::string_view bytes) {
  const std::string t(bytes);
  const std::string bajo = minusculas(t);
  const size_t tipo = bajo.find("content-type: text/html");
  if (tipo == std::string::npos) return aUtf8(t);  // not MIME: the page itself
  // The part's own headers end at the first blank line.
  size_t cuerpo = t.find("\r\n\r\n", tipo);
  size_t salto = 4;
  const size_t lf = t.find("\n\n", tipo);
  if (cuerpo == std::string::npos || (lf != std::string::npos && lf < cuerpo)) {
    cuerpo = lf;
    salto = 2;
  }
  if (cuerpo == std::string::npos) return {};
  const std::string cabeceras = bajo.substr(tipo, cuerpo - tipo);
  cuerpo += salto;
  // The part ends at the next boundary line.
  size_t fin = t.find("\n--", cuerpo);
  std::string parte = t.substr(cuerpo, fin == std::string::npos ? std::string::npos : fin - cuerpo);
  if (cabeceras.find("quoted-printable") != std::string::npos) parte = decodificaQP(parte);
  while (!parte.empty() && (parte.back() == '\r' || parte.back() == '\n')) parte.pop_back();
  return aUtf8(parte);
}

std::string htmlDeRtf(std::string_view rtf) {
  std::string texto;  // Windows-1252 HTML
  bool negrita = false, cursiva = false;
  std::vector<std::pair<bool, bool>> pila;  // bold and italic of the enclosing groups
  int saltar = 0;                           // depth of a group that is not text
  int profundidad = 0;
  auto cierraEstilos = [&] {
    if (cursiva) texto += "</i>";
    if (negrita) texto += "</b>";
  };
  auto abreEstilos = [&] {
    if (negrita) texto += "<b>";
    if (cursiva) texto += "<i>";
  };
  for (size_t i = 0; i < rtf.size(); ++i) {
    const char c = rtf[i];
    if (c == '{') {
      pila.emplace_back(negrita, cursiva);
      ++profundidad;
      // Font and colour tables, stylesheets and "\*" destinations carry no text.
      const std::string_view resto = rtf.substr(i + 1);
      if (!saltar && (empiezaSinMayusculas(resto, "\\fonttbl") || empiezaSinMayusculas(resto, "\\colortbl") ||
                      empiezaSinMayusculas(resto, "\\stylesheet") || empiezaSinMayusculas(resto, "\\info") ||
                      empiezaSinMayusculas(resto, "\\*")))
        saltar = profundidad;
      continue;
    }
    if (c == '}') {
      if (saltar == profundidad) saltar = 0;
      --profundidad;
      if (!pila.empty()) {
        if (!saltar) cierraEstilos();
        std::tie(negrita, cursiva) = pila.back();
        pila.pop_back();
        if (!saltar) abreEstilos();
      }
      continue;
    }
    if (c == '\r' || c == '\n') continue;
    if (c == '\\') {
      if (i + 1 >= rtf.size()) break;
      const char d = rtf[i + 1];
      if (d == '\\' || d == '{' || d == '}') {
        if (!saltar) texto += escapaHtml(std::string(1, d));
        ++i;
        continue;
      }
      if (d == '\'') {
        if (i + 3 < rtf.size() && hex(rtf[i + 2]) >= 0 && hex(rtf[i + 3]) >= 0 && !saltar)
          texto += static_cast<char>(hex(rtf[i + 2]) * 16 + hex(rtf[i + 3]));
        i += 3;
        continue;
      }
      // A control word: letters, an optional number, an optional blank.
      size_t j = i + 1;
      while (j < rtf.size() && std::isalpha(static_cast<unsigned char>(rtf[j]))) ++j;
      const std::string palabra(rtf.substr(i + 1, j - i - 1));
      std::string numero;
      if (j < rtf.size() && (rtf[j] == '-' || std::isdigit(static_cast<unsigned char>(rtf[j])))) {
        const size_t k = j;
        ++j;
        while (j < rtf.size() && std::isdigit(static_cast<unsigned char>(rtf[j]))) ++j;
        numero = std::string(rtf.substr(k, j - k));
      }
      if (j < rtf.size() && rtf[j] == ' ') ++j;
      i = (palabra.empty() ? i + 1 : j - 1);
      if (saltar) continue;
      if (palabra == "par" || palabra == "line") {
        texto += "<br>\n";
      } else if (palabra == "tab") {
        texto += "&nbsp;&nbsp;&nbsp;&nbsp;";
      } else if (palabra == "b") {
        const bool v = numero != "0";
        if (v != negrita) texto += v ? "<b>" : "</b>";
        negrita = v;
      } else if (palabra == "i") {
        const bool v = numero != "0";
        if (v != cursiva) texto += v ? "<i>" : "</i>";
        cursiva = v;
      }
      continue;
    }
    if (!saltar) texto += escapaHtml(std::string(1, c));
  }
  cierraEstilos();
  return "<html><body>" + aUtf8(texto) + "</body></html>";
}

std::optional<std::string> paginaAyuda(std::string_view ruta) {
  std::optional<std::string> bytes = leeBytes(ruta);
  if (!bytes || !existe(ruta)) return std::nullopt;
  const std::string r = minusculas(ruta);
  auto termina = [&r](std::string_view fin) { return r.size() >= fin.size() && r.compare(r.size() - fin.size(), fin.size(), fin) == 0; };
  if (termina(".rtf")) return htmlDeRtf(*bytes);
  if (termina(".mht") || termina(".mhtml")) return htmlDeMht(*bytes);
  return aUtf8(*bytes);
}

}  // namespace mostrador::shell
