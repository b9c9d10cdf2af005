#include "base/rutas.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <system_error>

#include "base/texto_util.h"

namespace fs = std::filesystem;

namespace mostrador::base {
namespace {

std::vector<std::string> componentes(std::string_view ruta) {
  std::vector<std::string> partes;
  std::string actual;
  for (char c : ruta) {
    if (c == '\\' || c == '/') {
      if (!actual.empty()) partes.push_back(std::move(actual));
      actual.clear();
    } else {
      actual.push_back(c);
    }
  }
  if (!actual.empty()) partes.push_back(std::move(actual));
  return partes;
}

// The existing entry of dir whose name equals nombre without regard to case, or nombre.
std::string entradaExistente(const fs::path& dir, const std::string& nombre) {
  std::error_code ec;
  if (fs::exists(dir / nombre, ec)) return nombre;
  const std::string buscado = minusculasLatin1(nombre);
  for (fs::directory_iterator it(dir, ec), fin; !ec && it != fin; it.increment(ec)) {
    std::string n = it->path().filename().string();
    if (minusculasLatin1(n) == buscado) return n;
  }
  return nombre;
}

}  // namespace

fs::path raizUnidades() {
  if (const char* u = std::getenv("MOSTRADOR_UNIDADES"); u && *u) return fs::path(u);
  const char* home = std::getenv("HOME");
  return fs::path(home && *home ? home : "/tmp") / ".local/share/mostrador/unidades";
}

fs::path resuelve(std::string_view ruta) {
  fs::path base;
  std::string_view resto = ruta;
  if (ruta.size() >= 2 && ruta[1] == ':' && std::isalpha(static_cast<unsigned char>(ruta[0]))) {
    char letra = static_cast<char>(std::tolower(static_cast<unsigned char>(ruta[0])));
    base = raizUnidades() / std::string(1, letra);
    resto = ruta.substr(2);
  } else if (!ruta.empty() && ruta[0] == '/') {
    base = "/";
  } else {
    std::error_code ec;
    base = fs::current_path(ec);
  }
  fs::path r = base;
  bool existeHastaAqui = true;
  for (const std::string& parte : componentes(resto)) {
    if (parte == ".") continue;
    if (parte == "..") {
      r = r.parent_path();
      continue;
    }
    if (existeHastaAqui) {
      std::string n = entradaExistente(r, parte);
      r /= n;
      std::error_code ec;
      existeHastaAqui = fs::exists(r, ec);
    } else {
      r /= parte;
    }
  }
  return r;
}

fs::path resuelveEn(const fs::path& dirLocal, std::string_view nombre) {
  return dirLocal / entradaExistente(dirLocal, std::string(nombre));
}

std::string une(std::string_view directorio, std::string_view nombre) {
  std::string d(directorio);
  while (!d.empty() && (d.back() == '\\' || d.back() == '/')) d.pop_back();
  size_t i = 0;
  while (i < nombre.size() && (nombre[i] == '\\' || nombre[i] == '/')) ++i;
  if (d.empty()) return "\\" + std::string(nombre.substr(i));
  return d + "\\" + std::string(nombre.substr(i));
}

bool existe(std::string_view ruta) {
  std::error_code ec;
  return fs::exists(resuelve(ruta), ec);
}

bool esDirectorio(std::string_view ruta) {
  std::error_code ec;
  return fs::is_directory(resuelve(ruta), ec);
}

bool creaDirectorios(std::string_view ruta) {
  std::error_code ec;
  fs::path p = resuelve(ruta);
  fs::create_directories(p, ec);
  return fs::is_directory(p, ec);
}

bool borra(std::string_view ruta) {
  std::error_code ec;
  return fs::remove(resuelve(ruta), ec);
}

bool copia(std::string_view origen, std::string_view destino) {
  std::error_code ec;
  fs::copy_file(resuelve(origen), resuelve(destino), fs::copy_options::overwrite_existing, ec);
  return !ec;
}

bool renombra(std::string_view origen, std::string_view destino) {
  std::error_code ec;
  fs::rename(resuelve(origen), resuelve(destino), ec);
  return !ec;
}

bool mismoNombre(std::string_view a, std::string_view b) {
  return minusculasLatin1(a) == minusculasLatin1(b);
}

bool coincidePatron(std::string_view nombre, std::string_view patron) {
  // "*.*" matches every name, as on the original platform.
  if (patron == "*.*" || patron == "*") return true;
  const std::string n = minusculasLatin1(nombre), p = minusculasLatin1(patron);
  // Iterative wildcard match with backtracking on the last '*'.
  size_t i = 0, j = 0, estrella = std::string::npos, marca = 0;
  while (i < n.size()) {
    if (j < p.size() && (p[j] == '?' || p[j] == n[i])) {
      ++i;
      ++j;
    } else if (j < p.size() && p[j] == '*') {
      estrella = j++;
      marca = i;
    } else if (estrella != std::string::npos) {
      j = estrella + 1;
      i = ++marca;
    } else {
      return false;
    }
  }
  while (j < p.size() && p[j] == '*') ++j;
  return j == p.size();
}

std::vector<std::string> lista(std::string_view directorio, std::string_view patron) {
  std::vector<std::string> r;
  std::error_code ec;
  for (fs::directory_iterator it(resuelve(directorio), ec), fin; !ec && it != fin; it.increment(ec)) {
    std::string n = it->path().filename().string();
    if (coincidePatron(n, patron)) r.push_back(std::move(n));
  }
  std::sort(r.begin(), r.end());
  return r;
}

}  // namespace mostrador::base
