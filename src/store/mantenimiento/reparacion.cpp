#include "store/mantenimiento/reparacion.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>

#include "base/rutas.h"
#include "store/dbf/dbf_table.h"
#include "store/mantenimiento/tablas_exclusivas.h"

namespace mostrador::store {
namespace {

namespace fs = std::filesystem;

constexpr size_t kCabeceraMaxima = 68 + 48 * 256 + 2;

bool esNivel7(uint8_t version) { return (version & 0x07) == 4; }

uint32_t u16(const std::string& b, size_t at) {
  return static_cast<uint32_t>(static_cast<unsigned char>(b[at]) | (static_cast<unsigned char>(b[at + 1]) << 8));
}

void put32(std::string& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + static_cast<size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

std::string leeInicio(const fs::path& p, size_t n) {
  std::ifstream f(p, std::ios::binary);
  std::string b(n, '\0');
  f.read(b.data(), static_cast<std::streamsize>(n));
  b.resize(static_cast<size_t>(f.gcount()));
  return b;
}

// The production index file of a table: its name up to the first "." and ".mdx".
std::string indiceDe(std::string_view tabla) {
  return std::string(tabla.substr(0, tabla.find('.'))) + ".mdx";
}

}  // namespace

int limpiaIndicadoresIndice(std::string& b) {
  if (b.size() < 32) return 0;
  const bool nivel7 = esNivel7(static_cast<uint8_t>(b[0]));
  const size_t primero = nivel7 ? 68 : 32;  // the first block is the file header
  const size_t tamano = nivel7 ? 48 : 32;
  const size_t bandera = nivel7 ? 37 : 31;
  int cambios = 0;
  auto limpia = [&](size_t at) {
    if (at < b.size() && b[at] == 1) {
      b[at] = 0;
      ++cambios;
    }
  };
  // The header announces a production index: it goes with the index file. (Level 7
  // headers keep the flag at byte 28 too.)
  limpia(28);
  if (!nivel7) limpia(bandera);
  for (size_t at = primero; at + tamano <= b.size(); at += tamano) {
    for (size_t i = 0; i < tamano; ++i)
      if (b[at + i] == 13 && i + 1 != 17 && i + 1 != 44) return cambios;
    limpia(at + bandera);
  }
  return cambios;
}

bool colaIncompleta(std::string_view dir, std::string_view tabla) {
  const fs::path p = base::resuelve(base::une(dir, tabla));
  std::error_code ec;
  const uint64_t tamano = fs::file_size(p, ec);
  if (ec) return false;
  const std::string c = leeInicio(p, 12);
  if (c.size() < 12) return false;
  const uint64_t cuenta = static_cast<unsigned char>(c[4]) | (static_cast<uint64_t>(static_cast<unsigned char>(c[5])) << 8) |
                          (static_cast<uint64_t>(static_cast<unsigned char>(c[6])) << 16) |
                          (static_cast<uint64_t>(static_cast<unsigned char>(c[7])) << 24);
  const uint32_t cabecera = u16(c, 8), registro = u16(c, 10);
  if (registro == 0 || cabecera < 32 || cabecera > tamano) return false;
  const uint64_t datos = tamano - cabecera, enteros = datos / registro, resto = datos % registro;
  return cuenta != enteros || resto > 1;
}

ReparacionEncabezado reparaEncabezado(std::string_view dir, std::string_view tabla) {
  ReparacionEncabezado r;
  const fs::path original = base::resuelve(base::une(dir, tabla));
  const std::string nombre = original.filename().string();
  const fs::path carpeta = base::resuelve(base::une(base::une(dir, "tempo"), "reparacion"));
  const fs::path copia = carpeta / nombre;
  std::error_code ec;
  fs::create_directories(carpeta, ec);
  fs::copy_file(original, copia, fs::copy_options::overwrite_existing, ec);
  if (ec) {
    r.error = "No se pudo copiar la tabla " + nombre + ": " + razonSistema(ec.value());
    return r;
  }
  struct Borra {
    fs::path p;
    ~Borra() {
      std::error_code e;
      fs::remove(p, e);
    }
  } borraCopia{copia};

  const uint64_t tamanoArchivo = fs::file_size(copia, ec);
  std::string cabecera = leeInicio(copia, static_cast<size_t>(std::min<uint64_t>(tamanoArchivo, kCabeceraMaxima)));
  limpiaIndicadoresIndice(cabecera);
  if (cabecera.size() >= 12) {
    // The count the records on disk give (a partial last record does not count).
    const uint32_t largoCabecera = u16(cabecera, 8), largoRegistro = u16(cabecera, 10);
    if (largoRegistro > 0 && largoCabecera >= 32 && largoCabecera <= tamanoArchivo)
      put32(cabecera, 4, static_cast<uint32_t>((tamanoArchivo - largoCabecera) / largoRegistro));
  }
  {
    std::fstream f(copia, std::ios::in | std::ios::out | std::ios::binary);
    f.write(cabecera.data(), static_cast<std::streamsize>(cabecera.size()));
    f.flush();
    if (!f) {
      r.error = "No se pudo escribir la copia de la tabla " + nombre;
      return r;
    }
  }
  if (cabecera.size() >= 12) {
    // Whole records only, then the end mark: what another dBASE reader expects.
    const uint32_t largoCabecera = u16(cabecera, 8), largoRegistro = u16(cabecera, 10);
    if (largoRegistro > 0 && largoCabecera >= 32 && largoCabecera <= tamanoArchivo) {
      const uint64_t datos = tamanoArchivo - largoCabecera, resto = datos % largoRegistro;
      const uint64_t fin = largoCabecera + (datos - resto);
      if (resto > 1 || (resto == 1 && leeInicio(copia, static_cast<size_t>(tamanoArchivo)).back() != '\x1A')) {
        r.recortados = static_cast<long>(resto);
        fs::resize_file(copia, fin, ec);
        std::ofstream marca(copia, std::ios::binary | std::ios::app);
        marca.put('\x1A');
        if (ec || !marca) {
          r.error = "No se pudo recortar la copia de la tabla " + nombre;
          return r;
        }
      }
    }
  }
  // The copy must open before it may replace anything.
  try {
    dbf::Table t;
    t.open(carpeta.string(), nombre, dbf::OpenMode::Exclusive);
    if (!t.indexProblem().empty()) throw dbf::Error(t.indexProblem());
  } catch (const dbf::Error& e) {
    r.error = "La tabla " + nombre + " no pudo repararse: " + e.what();
    return r;
  }
  fs::remove(original.parent_path() / indiceDe(nombre), ec);
  if (ec) {
    r.error = "No se pudo borrar el índice de la tabla " + nombre + ": " + razonSistema(ec.value());
    return r;
  }
  fs::rename(copia, original, ec);
  if (ec) {
    r.error = "No se pudo reemplazar la tabla " + nombre + ": " + razonSistema(ec.value());
    return r;
  }
  r.reparada = true;
  return r;
}

std::vector<CampoEncabezado> camposEncabezado(std::string_view dir, std::string_view tabla) {
  std::vector<CampoEncabezado> r;
  const std::string b = leeInicio(base::resuelve(base::une(dir, tabla)), kCabeceraMaxima);
  if (b.size() < 32) return r;
  const bool nivel7 = esNivel7(static_cast<uint8_t>(b[0]));
  const size_t tamano = nivel7 ? 48 : 32;
  for (size_t at = nivel7 ? 68 : 32; at + tamano <= b.size() && b[at] != 13; at += tamano) {
    const size_t largoNombre = nivel7 ? 32 : 11;
    std::string nombre = b.substr(at, largoNombre);
    nombre = nombre.substr(0, nombre.find('\0'));
    const char tipo = b[at + (nivel7 ? 32 : 11)];
    const int ancho = static_cast<unsigned char>(b[at + (nivel7 ? 33 : 16)]);
    const int decimales = static_cast<unsigned char>(b[at + (nivel7 ? 34 : 17)]);
    std::string problema;
    if (nombre.empty() || static_cast<unsigned char>(nombre[0]) < 0x21) problema = "sin nombre";
    else if (std::string_view("CNFDLM").find(tipo) == std::string_view::npos) problema = "tipo no válido";
    else if (ancho == 0) problema = "ancho 0";
    else if (tipo != 'C' && decimales > ancho) problema = "más decimales que ancho";
    const char letra = static_cast<unsigned char>(tipo) >= 0x21 && static_cast<unsigned char>(tipo) < 0x7F ? tipo : '?';
    if (!problema.empty())
      r.push_back({"error " + std::string(1, letra) + " " + problema, std::string(1, letra),
                   std::to_string(ancho), std::to_string(decimales)});
    else
      r.push_back({nombre, std::string(1, tipo), std::to_string(ancho), std::to_string(decimales)});
  }
  return r;
}

namespace {

// Reads every field of the current record by its type; false when one cannot be read.
bool registroLegible(const dbf::Table& t) {
  const auto& campos = t.fieldDefs();
  for (int i = 0; i < static_cast<int>(campos.size()); ++i) {
    try {
      switch (campos[static_cast<size_t>(i)].type) {
        case 'N':
        case 'F': t.asFloat(i); break;
        case 'D': t.asDate(i); break;
        default: t.asText(i); break;
      }
    } catch (const dbf::LockError&) {
      throw;
    } catch (const dbf::Error&) {
      return false;
    }
  }
  return true;
}

}  // namespace

RevisionDirectorio revisaDirectorio(base::Interaccion& ui, std::string_view dir, bool copiaSeguridad,
                                    const AvanceRevision& avance) {
  RevisionDirectorio r;
  auto muestra = [&](const std::string& etiqueta, long registro, int progreso) {
    if (avance) avance(etiqueta, registro, progreso);
  };
  auto retenidas = std::make_unique<TablasExclusivas>(dir);
  if (!retenidas->libres()) {
    r.enUso = retenidas->enUso();
    r.error = mensajeEnUso(r.enUso) + "; no se verificaron los registros";
    ui.mensaje(r.error);
    return r;
  }
  const std::vector<std::string> tablas = dbf::Table::listTables(dir);

  // 1. The safety copy, before anything is changed.
  if (copiaSeguridad) {
    const std::string tempo = base::une(dir, "tempo");
    std::error_code ec;
    fs::create_directories(base::resuelve(tempo), ec);
    int n = 0;
    for (const auto& t : tablas) {
      muestra("Copiando Tabla " + t, 0, ++n * 100 / static_cast<int>(tablas.size()));
      std::vector<std::string> archivos{t};
      if (base::existe(base::une(dir, indiceDe(t)))) archivos.push_back(indiceDe(t));
      for (const auto& a : archivos) {
        const fs::path destino = base::resuelve(base::une(tempo, a));
        fs::copy_file(base::resuelve(base::une(dir, a)), destino, fs::copy_options::overwrite_existing, ec);
        if (ec) {
          r.error = "No se pudo hacer la copia de seguridad de " + a + ": " + razonSistema(ec.value());
          ui.mensaje(r.error);
          return r;
        }
      }
    }
  }

  // 2. Every table opens; those that do not, or whose header announces an index that is
  // not there, get their header repaired.
  for (const auto& t : tablas) {
    RevisionTabla rt;
    rt.tabla = t;
    dbf::Table* h = retenidas->tabla(t);
    const bool reparar = !h || !h->indexProblem().empty() || colaIncompleta(dir, t);
    if (reparar) {
      retenidas->suelta(t);
      ReparacionEncabezado rep = reparaEncabezado(dir, t);
      rt.encabezadoReparado = rep.reparada;
      rt.recortados = rep.recortados;
      if (!rep.reparada) {
        rt.error = rep.error;
        ui.mensaje(rep.error);
      } else if (rep.recortados > 0) {
        ui.mensaje("La tabla " + t + " terminaba en un registro incompleto: se recortaron " +
                   std::to_string(rep.recortados) + " bytes");
      }
    }
    r.tablas.push_back(std::move(rt));
  }
  // The repaired ones are held again like the others.
  retenidas.reset();
  retenidas = std::make_unique<TablasExclusivas>(dir);
  if (!retenidas->libres()) {
    r.enUso = retenidas->enUso();
    r.error = mensajeEnUso(r.enUso) + "; no se verificaron los registros";
    ui.mensaje(r.error);
    return r;
  }

  // 3. Every field of every record.
  for (auto& rt : r.tablas) {
    if (!rt.error.empty()) continue;
    dbf::Table* t = retenidas->tabla(rt.tabla);
    if (!t) {
      rt.error = "ocurrio un Error al leer los datos de la tabla " + rt.tabla;
      ui.mensaje(rt.error);
      continue;
    }
    const std::string etiqueta = "Tabla  " + rt.tabla;
    muestra(etiqueta, 0, 0);
    try {
      t->setIndex("");
      // By record number: a deletion must not move the walk past the next record.
      const uint32_t total = static_cast<uint32_t>(std::max(0L, t->recordCount()));
      for (uint32_t n = 1; n <= total; ++n) {
        if (!t->goTo(n)) continue;
        ++rt.registros;
        if (rt.registros % 1000 == 0)
          muestra(etiqueta, rt.registros, static_cast<int>(static_cast<long>(n) * 100 / static_cast<long>(total)));
        if (registroLegible(*t)) continue;
        try {
          t->remove();
        } catch (const dbf::Error&) {
          // The index could not take the record's keys out: it goes (the reindex that
          // follows makes it again) and the record is deleted without it.
          t->close();
          t->open(dir, rt.tabla, dbf::OpenMode::Exclusive);
          t->deleteIndexFile();
          t->goTo(n);
          t->remove();
        }
        ++rt.borrados;
      }
      muestra(etiqueta, rt.registros, 100);
    } catch (const dbf::Error&) {
      rt.error = "ocurrio un Error al leer los datos de la tabla " + rt.tabla;
      ui.mensaje(rt.error);
      continue;
    }
    if (rt.borrados > 0) ui.mensaje(kTablaConErrores);
  }
  return r;
}

VerificaRegistros::VerificaRegistros(base::Interaccion& ui, std::string dir) : ui_(ui), dir_(std::move(dir)) {}

void VerificaRegistros::corre(bool copia) {
  resultado_ = revisaDirectorio(ui_, dir_, copia, [this](const std::string& etiqueta, long registro, int progreso) {
    labelTabla_ = etiqueta;
    labelRegistro_ = registro > 0 ? "Registro " + std::to_string(registro) : std::string();
    progreso_ = progreso;
    if (alCambiar) alCambiar();
  });
}

bool VerificaRegistros::BitBtn3Click() {
  corre(true);
  aceptada_ = resultado_.completa();
  return aceptada_;
}

void VerificaRegistros::BitBtn4Click() { corre(false); }

}  // namespace mostrador::store
