#include "base/ayuda.h"

#include "base/rutas.h"
#include "base/texto.h"
#include "base/texto_util.h"

namespace mostrador::base {

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

}  // namespace

std::string htmlDeMht(std::string_view bytes) {
  const std::string t(bytes);
  const std::string bajo = minusculasAscii(t);
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

}  // namespace mostrador::base
