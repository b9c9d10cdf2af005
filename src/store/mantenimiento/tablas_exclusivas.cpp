#include "store/mantenimiento/tablas_exclusivas.h"

#include <cerrno>
#include <cstring>

#include "base/fechas.h"
#include "base/rutas.h"

namespace mostrador::store {

TablasExclusivas::TablasExclusivas(std::string_view dir) {
  for (const std::string& nombre : dbf::Table::listTables(dir)) {
    auto t = std::make_unique<dbf::Table>();
    try {
      t->open(dir, nombre, dbf::OpenMode::Exclusive);
      tablas_.emplace_back(nombre, std::move(t));
    } catch (const dbf::LockError&) {
      enUso_.push_back(nombre);
    } catch (const dbf::Error& e) {
      ilegibles_.emplace_back(nombre, e.what());
    }
  }
}

TablasExclusivas::~TablasExclusivas() { sueltaTodas(); }

dbf::Table* TablasExclusivas::tabla(std::string_view nombre) {
  for (auto& [n, t] : tablas_)
    if (base::mismoNombre(n, nombre)) return t.get();
  return nullptr;
}

void TablasExclusivas::suelta(std::string_view nombre) {
  for (auto it = tablas_.begin(); it != tablas_.end(); ++it)
    if (base::mismoNombre(it->first, nombre)) {
      tablas_.erase(it);
      return;
    }
}

void TablasExclusivas::sueltaTodas() { tablas_.clear(); }

std::string mensajeEnUso(const std::vector<std::string>& tablas) {
  if (tablas.size() == 1) return "La tabla " + tablas[0] + " está en uso por otra estación";
  std::string lista;
  for (const auto& t : tablas) lista += (lista.empty() ? "" : ", ") + t;
  return "Las tablas " + lista + " están en uso por otra estación";
}

std::string marcaBitacora(const base::FechaHora& ahora) {
  return base::fechaCorta(ahora.fecha) + "  " + base::horaTexto(ahora.hora);
}

std::string razonSistema(int errnum) {
  switch (errnum) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return "el disco de destino está lleno";
    case EROFS: return "el destino es de solo lectura";
    case EACCES:
    case EPERM: return "no hay permiso para escribir en el destino";
    case ENOENT: return "la carpeta no existe";
    case ENOTDIR: return "una parte de la ruta no es una carpeta";
    default: return std::strerror(errnum);
  }
}

}  // namespace mostrador::store
