#include "store/mantenimiento/respaldo.h"

#include "store/dbf/journal.h"

#include <fcntl.h>
#include <unistd.h>
#include <zip.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <filesystem>
#include <memory>

#include "base/fechas.h"
#include "base/rutas.h"
#include "store/mantenimiento/tablas_exclusivas.h"

namespace mostrador::store {
namespace {

namespace fs = std::filesystem;

// Copies one file; 0 or the errno of the first failure (the partial copy is removed).
int copiaArchivo(const fs::path& origen, const fs::path& destino) {
  const int in = ::open(origen.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) return errno;
  const int out = ::open(destino.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (out < 0) {
    const int e = errno;
    ::close(in);
    return e;
  }
  std::unique_ptr<char[]> buf(new char[1 << 20]);
  int error = 0;
  for (;;) {
    ssize_t n = ::read(in, buf.get(), 1 << 20);
    if (n < 0) {
      if (errno == EINTR) continue;
      error = errno;
      break;
    }
    if (n == 0) break;
    for (ssize_t hecho = 0; hecho < n && error == 0;) {
      ssize_t w = ::write(out, buf.get() + hecho, static_cast<size_t>(n - hecho));
      if (w < 0) {
        if (errno != EINTR) error = errno;
        continue;
      }
      hecho += w;
    }
    if (error) break;
  }
  ::close(in);
  if (::close(out) != 0 && error == 0) error = errno;
  if (error) {
    std::error_code ec;
    // Only a regular file is ours to remove (a device standing in the way is not).
    if (fs::is_regular_file(destino, ec)) fs::remove(destino, ec);
  }
  return error;
}

// Warehouse subdirectories "1" to "99" of a directory that exist.
std::vector<std::string> almacenes(std::string_view dir) {
  std::vector<std::string> r;
  for (int n = 1; n <= 99; ++n)
    if (base::esDirectorio(base::une(dir, std::to_string(n)))) r.push_back(std::to_string(n));
  return r;
}

// Regular files of a directory (names), sorted. The stations' journal is not company
// data: restored, an old one would undo changes made since.
std::vector<std::string> archivosDe(std::string_view dir) {
  std::vector<std::string> r;
  for (const auto& n : base::lista(dir, "*"))
    if (!base::esDirectorio(base::une(dir, n)) && !base::mismoNombre(n, dbf::journal::kFileName))
      r.push_back(n);
  return r;
}

// Holds the tables of a directory and of its warehouses; the message when one is busy.
struct Retencion {
  std::vector<std::unique_ptr<TablasExclusivas>> grupos;
  std::string enUso;
  Retencion(std::string_view dir, const std::vector<std::string>& subdirs) {
    std::vector<std::string> ocupadas;
    grupos.push_back(std::make_unique<TablasExclusivas>(dir));
    for (const auto& t : grupos.back()->enUso()) ocupadas.push_back(t);
    for (const auto& s : subdirs) {
      grupos.push_back(std::make_unique<TablasExclusivas>(base::une(dir, s)));
      for (const auto& t : grupos.back()->enUso()) ocupadas.push_back(s + "\\" + t);
    }
    if (!ocupadas.empty()) enUso = mensajeEnUso(ocupadas);
  }
};

bool creaCarpeta(std::string_view dir, std::string& error) {
  std::error_code ec;
  const fs::path p = base::resuelve(dir);
  fs::create_directories(p, ec);
  if (ec || !fs::is_directory(p)) {
    error = "No se pudo crear la carpeta " + std::string(dir) + ": " +
            razonSistema(ec ? ec.value() : ENOTDIR);
    return false;
  }
  return true;
}

std::string razonZip(zip_error_t* e) {
  if (zip_error_system_type(e) == ZIP_ET_SYS) return razonSistema(zip_error_code_system(e));
  return zip_error_strerror(e);
}

// A name inside the archive that stays inside the data directory.
bool nombreSeguro(const std::string& n) {
  if (n.empty() || n[0] == '/' || n.find('\\') != std::string::npos) return false;
  size_t i = 0;
  while (i <= n.size()) {
    size_t j = n.find('/', i);
    if (j == std::string::npos) j = n.size();
    const std::string parte = n.substr(i, j - i);
    if (parte == ".." || parte == ".") return false;
    i = j + 1;
  }
  return true;
}

struct ProgresoZip {
  const AvanceRespaldo* avance;
  std::string archivo;
  int total;
};

}  // namespace

std::string carpetaRespaldo(std::string_view dirDatos, const base::Fecha& hoy) {
  char unidad = 'C';
  if (dirDatos.size() >= 2 && dirDatos[1] == ':' && std::isalpha(static_cast<unsigned char>(dirDatos[0])))
    unidad = static_cast<char>(std::toupper(static_cast<unsigned char>(dirDatos[0])));
  return std::string(1, unidad) + ":\\RESPALDOS\\" + std::to_string(hoy.dia) + "-" + std::to_string(hoy.mes) +
         "-" + std::to_string(hoy.anio);
}

ResultadoRespaldo respaldoNormal(std::string_view fuente, std::string_view destino, const AvanceRespaldo& avance) {
  ResultadoRespaldo r;
  r.destino = destino;
  Retencion retenidas(fuente, {});
  if (!retenidas.enUso.empty()) {
    r.error = retenidas.enUso + "; no se hizo el respaldo";
    return r;
  }
  if (!creaCarpeta(destino, r.error)) return r;
  std::vector<std::string> archivos = base::lista(fuente, "*.dbf");
  for (auto& m : base::lista(fuente, "*.mdx")) archivos.push_back(std::move(m));
  const int total = static_cast<int>(archivos.size());
  for (int i = 0; i < total; ++i) {
    const std::string origen = base::une(fuente, archivos[static_cast<size_t>(i)]);
    const std::string copia = base::une(destino, archivos[static_cast<size_t>(i)]);
    if (avance) avance(origen, copia, i, total);
    if (int e = copiaArchivo(base::resuelve(origen), base::resuelve(copia))) {
      r.error = "No se pudo copiar " + origen + " a " + copia + ": " + razonSistema(e);
      return r;
    }
    r.archivos.push_back(archivos[static_cast<size_t>(i)]);
  }
  if (avance) avance({}, {}, total, total);
  r.exito = true;
  return r;
}

ResultadoRespaldo respaldoComprimido(std::string_view fuente, std::string_view destino,
                                     const AvanceRespaldo& avance) {
  ResultadoRespaldo r;
  const bool esArchivo = destino.size() > 4 && base::mismoNombre(destino.substr(destino.size() - 4), ".zip");
  const size_t barra = destino.find_last_of("\\/");
  const std::string carpeta = !esArchivo ? std::string(destino)
                              : barra == std::string_view::npos ? std::string()
                                                                : std::string(destino.substr(0, barra));
  r.destino = esArchivo ? std::string(destino) : base::une(destino, kArchivoRespaldo);
  const std::vector<std::string> subdirs = almacenes(fuente);
  Retencion retenidas(fuente, subdirs);
  if (!retenidas.enUso.empty()) {
    r.error = retenidas.enUso + "; no se hizo el respaldo";
    return r;
  }
  std::string error;
  if (!carpeta.empty() && !creaCarpeta(carpeta, error)) {
    r.error = std::string(kErrorCompresion) + " (" + error + ")";
    return r;
  }
  // Entry name and local path of every file.
  std::vector<std::pair<std::string, fs::path>> entradas;
  for (const auto& n : archivosDe(fuente)) entradas.emplace_back(n, base::resuelve(base::une(fuente, n)));
  for (const auto& s : subdirs) {
    const std::string sub = base::une(fuente, s);
    for (const auto& n : archivosDe(sub)) entradas.emplace_back(s + "/" + n, base::resuelve(base::une(sub, n)));
  }
  const fs::path zipLocal = base::resuelve(r.destino);
  int codigo = 0;
  zip_t* za = zip_open(zipLocal.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &codigo);
  if (!za) {
    zip_error_t e;
    zip_error_init_with_code(&e, codigo);
    r.error = std::string(kErrorCompresion) + " (" + razonZip(&e) + ")";
    zip_error_fini(&e);
    return r;
  }
  const int total = static_cast<int>(entradas.size());
  for (int i = 0; i < total; ++i) {
    const auto& [nombre, local] = entradas[static_cast<size_t>(i)];
    zip_source_t* s = zip_source_file(za, local.c_str(), 0, -1);
    zip_int64_t indice = -1;
    if (s) indice = zip_file_add(za, nombre.c_str(), s, ZIP_FL_OVERWRITE);
    // Deflate at the level the zip tool uses by default: this library's own default is
    // the slowest level, which costs three times the time for a percent of the size.
    if (indice >= 0 && zip_set_file_compression(za, static_cast<zip_uint64_t>(indice), ZIP_CM_DEFLATE, 6) < 0)
      indice = -1;
    if (indice < 0) {
      if (s && zip_get_num_entries(za, 0) <= i) zip_source_free(s);
      r.error = std::string(kErrorCompresion) + " (" + nombre + ": " + razonZip(zip_get_error(za)) + ")";
      zip_discard(za);
      return r;
    }
    r.archivos.push_back(nombre);
  }
  ProgresoZip estado{&avance, r.destino, total};
  if (avance) {
    zip_register_progress_callback_with_state(
        za, 0.01,
        [](zip_t*, double avance, void* ud) {
          auto* p = static_cast<ProgresoZip*>(ud);
          const int hecho = static_cast<int>(avance * p->total);
          (*p->avance)({}, p->archivo, hecho, p->total);
        },
        nullptr, &estado);
  }
  // The archive is written to a temporary file and renamed at the end.
  if (zip_close(za) != 0) {
    r.error = std::string(kErrorCompresion) + " (" + razonZip(zip_get_error(za)) + ")";
    zip_discard(za);
    r.archivos.clear();
    return r;
  }
  r.exito = true;
  return r;
}

ResultadoRespaldo restauraRespaldo(std::string_view archivo, std::string_view dirDatos,
                                   const AvanceRespaldo& avance) {
  ResultadoRespaldo r;
  r.destino = dirDatos;
  const fs::path zipLocal = base::resuelve(archivo);
  if (!base::existe(archivo)) {
    r.error = "El Archivo " + std::string(archivo) + " No Existe";
    return r;
  }
  int codigo = 0;
  zip_t* za = zip_open(zipLocal.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &codigo);
  if (!za) {
    zip_error_t e;
    zip_error_init_with_code(&e, codigo);
    r.error = "El respaldo " + std::string(archivo) + " está dañado: " + razonZip(&e);
    zip_error_fini(&e);
    return r;
  }
  std::unique_ptr<zip_t, void (*)(zip_t*)> cierra(za, [](zip_t* z) { zip_discard(z); });

  const fs::path trabajo = base::resuelve(base::une(base::une(dirDatos, "tempo"), "restauracion"));
  std::error_code ec;
  fs::remove_all(trabajo, ec);
  fs::create_directories(trabajo / "nuevos", ec);
  fs::create_directories(trabajo / "anteriores", ec);
  struct Limpia {
    fs::path p;
    ~Limpia() {
      std::error_code e;
      fs::remove_all(p, e);
    }
  } limpia{trabajo};
  auto danado = [&](const std::string& detalle) {
    r.error = "El respaldo " + std::string(archivo) + " está dañado: " + detalle;
    r.archivos.clear();
    return r;
  };

  // 1. Everything is read back (CRC checked by the reader) before anything is replaced.
  const zip_int64_t n = zip_get_num_entries(za, 0);
  std::vector<std::string> nombres;
  std::unique_ptr<char[]> buf(new char[1 << 20]);
  for (zip_int64_t i = 0; i < n; ++i) {
    zip_stat_t st;
    if (zip_stat_index(za, static_cast<zip_uint64_t>(i), 0, &st) != 0) return danado(razonZip(zip_get_error(za)));
    const std::string nombre = st.name ? st.name : "";
    if (!nombre.empty() && nombre.back() == '/') continue;
    if (!nombreSeguro(nombre)) return danado("la entrada \"" + nombre + "\" sale de la carpeta de datos");
    if (avance) avance(nombre, std::string(dirDatos), static_cast<int>(i), static_cast<int>(n));
    zip_file_t* f = zip_fopen_index(za, static_cast<zip_uint64_t>(i), 0);
    if (!f) return danado(nombre + ": " + razonZip(zip_get_error(za)));
    const fs::path salida = trabajo / "nuevos" / nombre;
    fs::create_directories(salida.parent_path(), ec);
    const int out = ::open(salida.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (out < 0) {
      const int e = errno;
      zip_fclose(f);
      r.error = "No se pudo restaurar " + nombre + ": " + razonSistema(e);
      return r;
    }
    zip_uint64_t leidos = 0;
    std::string problema;
    for (;;) {
      const zip_int64_t k = zip_fread(f, buf.get(), 1 << 20);
      if (k < 0) {
        problema = nombre + ": " + razonZip(zip_file_get_error(f));
        break;
      }
      if (k == 0) break;
      leidos += static_cast<zip_uint64_t>(k);
      if (::write(out, buf.get(), static_cast<size_t>(k)) != k) {
        problema = nombre + ": " + razonSistema(errno);
        break;
      }
    }
    ::close(out);
    const int cierre = zip_fclose(f);
    if (problema.empty() && cierre != 0) problema = nombre + ": no pasa la verificación";
    if (problema.empty() && (st.valid & ZIP_STAT_SIZE) && leidos != st.size)
      problema = nombre + ": está incompleto";
    if (!problema.empty()) return danado(problema);
    nombres.push_back(nombre);
  }
  if (nombres.empty()) return danado("no contiene archivos");

  // 2. The tables alone, then every file moved in; a failure puts the old ones back.
  std::vector<std::string> subdirs;
  for (const auto& nombre : nombres) {
    const size_t barra = nombre.find('/');
    if (barra == std::string::npos) continue;
    const std::string s = nombre.substr(0, barra);
    if (base::esDirectorio(base::une(dirDatos, s)) && std::find(subdirs.begin(), subdirs.end(), s) == subdirs.end())
      subdirs.push_back(s);
  }
  Retencion retenidas(dirDatos, subdirs);
  if (!retenidas.enUso.empty()) {
    r.error = retenidas.enUso + "; no se restauró el respaldo";
    return r;
  }
  std::vector<std::pair<fs::path, fs::path>> apartados;  // (original place, set aside)
  std::vector<fs::path> puestos;
  auto deshaz = [&] {
    std::error_code e;
    for (const auto& p : puestos) fs::remove(p, e);
    for (const auto& [lugar, aparte] : apartados) fs::rename(aparte, lugar, e);
  };
  for (const auto& nombre : nombres) {
    std::string almacenado = nombre;
    for (char& c : almacenado)
      if (c == '/') c = '\\';
    const fs::path destino = base::resuelve(base::une(dirDatos, almacenado));
    fs::create_directories(destino.parent_path(), ec);
    if (fs::exists(destino, ec)) {
      const fs::path aparte = trabajo / "anteriores" / nombre;
      fs::create_directories(aparte.parent_path(), ec);
      fs::rename(destino, aparte, ec);
      if (ec) {
        deshaz();
        r.error = "No se pudo reemplazar " + destino.string() + ": " + razonSistema(ec.value());
        return r;
      }
      apartados.emplace_back(destino, aparte);
    }
    fs::rename(trabajo / "nuevos" / nombre, destino, ec);
    if (ec) {
      deshaz();
      r.error = "No se pudo restaurar " + destino.string() + ": " + razonSistema(ec.value());
      return r;
    }
    puestos.push_back(destino);
    r.archivos.push_back(nombre);
  }
  r.exito = true;
  return r;
}

// --- The screen's engine ---

Respaldo::Respaldo(base::Interaccion& ui, const base::Reloj& reloj, std::string dirSistema, std::string dirDatos)
    : ui_(ui), reloj_(reloj), sistema_(std::move(dirSistema)), bitacora_(sistema_), fuente_(std::move(dirDatos)) {}

void Respaldo::FormShow() {
  destino_ = carpetaRespaldo(fuente_, reloj_.ahora().fecha);
  if (alCambiar) alCambiar();
}

AvanceRespaldo Respaldo::avance() {
  return [this](const std::string& origen, const std::string& destino, int hecho, int total) {
    const int pct = total > 0 ? hecho * 100 / total : 100;
    if (pct > progreso_) ui_.avanzaProgreso(pct - progreso_);
    progreso_ = std::max(progreso_, pct);
    if (!origen.empty()) {
      uno_ = origen;
      dos_ = destino;
      const size_t barra = origen.find_last_of("\\/");
      archivoBases_ = barra == std::string::npos ? origen : origen.substr(barra + 1);
      lista_.push_back(origen + " -> " + destino);
    }
    if (alCambiar) alCambiar();
  };
}

// The end says where the copy went and how many files it holds, so that the user can
// find it again.
std::string mensajeTerminado(const ResultadoRespaldo& r) {
  return std::string(kRespaldoTerminado) + "\n" + std::to_string(r.archivos.size()) + " archivos en " + r.destino;
}

bool Respaldo::normal(const std::string& destino) {
  lista_.clear();
  progreso_ = 0;
  ui_.iniciaProgreso("Respaldando " + fuente_, 100);
  ResultadoRespaldo r = respaldoNormal(fuente_, destino, avance());
  ui_.terminaProgreso();
  if (!r.exito) {
    ui_.mensaje(r.error);
    return false;
  }
  bitacora_.escribe("Último Respaldo " + marcaBitacora(reloj_.ahora()));
  ui_.mensaje(mensajeTerminado(r));
  return true;
}

bool Respaldo::comprimido(const std::string& destino) {
  lista_.clear();
  progreso_ = 0;
  ui_.iniciaProgreso("Comprimiendo " + fuente_, 100);
  ResultadoRespaldo r = respaldoComprimido(fuente_, destino, avance());
  ui_.terminaProgreso();
  if (!r.exito) {
    ui_.mensaje(r.error);
    return false;
  }
  bitacora_.escribe("Último Respaldo comprimido " + marcaBitacora(reloj_.ahora()));
  ui_.mensaje(mensajeTerminado(r));
  return true;
}

bool Respaldo::Ejecutar() { return comprimido_ ? comprimido(destino_) : normal(destino_); }

bool Respaldo::BitBtn5Click() {
  if (directorio2_.empty()) return false;
  return normal(directorio2_);
}

bool Respaldo::Restaurar() {
  auto archivo = ui_.abreArchivo("Restaurar Respaldo", "Respaldos (*.zip)|*.zip");
  if (!archivo) return false;
  if (ui_.advertencia("Los archivos de " + fuente_ + " se reemplazarán con los del respaldo " + *archivo +
                      " ¿Desea Continuar?") != base::RespuestaAdvertencia::Si)
    return false;
  lista_.clear();
  progreso_ = 0;
  ui_.iniciaProgreso("Restaurando " + *archivo, 100);
  ResultadoRespaldo r = restauraRespaldo(*archivo, fuente_, avance());
  ui_.terminaProgreso();
  if (!r.exito) {
    ui_.mensaje(r.error);
    return false;
  }
  ui_.mensaje("Respaldo Restaurado: " + std::to_string(r.archivos.size()) + " archivos");
  return true;
}

}  // namespace mostrador::store
