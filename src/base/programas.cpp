#include "base/programas.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <thread>

#include "base/lectores.h"
#include "base/rutas.h"
#include "base/texto.h"
#include "base/texto_util.h"

extern char** environ;

namespace fs = std::filesystem;

namespace mostrador::base {
namespace {

// ---------------------------------------------------------------------------------------
// Child side. Between fork and execve only async-signal-safe calls: this process may have
// other threads (the toolkit's), whose locks the child inherits held.

enum class Etapa : int { Proceso = 1, Directorio = 2, Programa = 3 };

struct Fallo {
  int etapa;
  int error;
};

// The pipe on which the child reports why it failed. Its write end is close-on-exec, so
// a successful execve closes it and the parent reads end-of-file.
constexpr int kDescriptorFallo = 3;

void reporta(Etapa etapa, int error) {
  Fallo f{static_cast<int>(etapa), error};
  ssize_t escrito;
  do {
    escrito = write(kDescriptorFallo, &f, sizeof f);
  } while (escrito < 0 && errno == EINTR);
}

[[noreturn]] void ejecutaHijo(const char* ruta, char* const argv[], const char* directorio, int maxDescriptor) {
  sigset_t vacio;
  sigemptyset(&vacio);
  sigprocmask(SIG_SETMASK, &vacio, nullptr);
  // An ignored signal stays ignored across execve; the companion gets the defaults.
  signal(SIGPIPE, SIG_DFL);

  bool cerrados = false;
#ifdef SYS_close_range
  cerrados = syscall(SYS_close_range, kDescriptorFallo + 1, ~0U, 0) == 0;
#endif
  if (!cerrados)
    for (int fd = kDescriptorFallo + 1; fd < maxDescriptor; ++fd) close(fd);

  if (directorio[0] != '\0' && chdir(directorio) != 0) {
    reporta(Etapa::Directorio, errno);
    _exit(127);
  }
  execve(ruta, argv, environ);
  reporta(Etapa::Programa, errno);
  _exit(127);
}

// ---------------------------------------------------------------------------------------

std::string causa(const Fallo& f, const std::string& directorio) {
  switch (static_cast<Etapa>(f.etapa)) {
    case Etapa::Proceso:
      return "no se pudo crear el proceso (" + std::string(std::strerror(f.error)) + ")";
    case Etapa::Directorio:
      return "no se puede entrar al directorio " + directorio;
    case Etapa::Programa:
      if (f.error == ENOENT) return "no se encuentra el programa";
      if (f.error == EACCES) return "no tiene permiso de ejecución";
      if (f.error == ENOEXEC) return "no es un programa ejecutable";
      break;
  }
  return "error del sistema " + std::to_string(f.error) + " (" + std::strerror(f.error) + ")";
}

bool esEjecutable(const std::string& ruta) {
  struct stat st;
  return stat(ruta.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(ruta.c_str(), X_OK) == 0;
}

int espera(pid_t pid, int opciones, int* estado) {
  pid_t r;
  do {
    r = waitpid(pid, estado, opciones);
  } while (r < 0 && errno == EINTR);
  return static_cast<int>(r);
}

int codigoDeSalida(int estado) {
  if (WIFEXITED(estado)) return WEXITSTATUS(estado);
  if (WIFSIGNALED(estado)) return 128 + WTERMSIG(estado);
  return -1;
}

std::string programaEnEjecucion() {
  std::error_code ec;
  fs::path p = fs::read_symlink("/proc/self/exe", ec);
  return ec ? std::string("mostrador") : p.string();
}

bool rutaVentanas(const std::string& w) {
  bool unidad = w.size() >= 3 && std::isalpha(static_cast<unsigned char>(w[0])) && w[1] == ':' &&
                (w[2] == '\\' || w[2] == '/');
  return unidad || w.find('\\') != std::string::npos;
}

// A Windows path argument as local paths (several when its last component is a wildcard).
std::vector<std::string> traduceArgumento(const std::string& w) {
  if (!rutaVentanas(w)) return {w};
  size_t corte = w.find_last_of("\\/");
  std::string nombre = corte == std::string::npos ? w : w.substr(corte + 1);
  if (nombre.find_first_of("*?") == std::string::npos) return {resuelve(w).string()};
  std::string directorio = corte == std::string::npos ? std::string(".") : w.substr(0, corte + 1);
  fs::path local = resuelve(directorio);
  std::vector<std::string> r;
  for (const std::string& n : lista(directorio, nombre)) {
    std::error_code ec;
    if (!fs::is_directory(local / n, ec)) r.push_back((local / n).string());
  }
  if (r.empty()) r.push_back(resuelve(w).string());  // nothing matched: the program says so
  return r;
}

}  // namespace

// ---------------------------------------------------------------------------------------

std::optional<std::string> buscaEnPath(std::string_view nombre) {
  if (nombre.empty()) return std::nullopt;
  std::string n(nombre);
  if (n.find('/') != std::string::npos) return esEjecutable(n) ? std::optional(n) : std::nullopt;
  const char* path = std::getenv("PATH");
  std::string_view lista = path ? path : "/usr/local/bin:/usr/bin:/bin";
  while (true) {
    size_t dos = lista.find(':');
    std::string dir(lista.substr(0, dos));
    if (dir.empty()) dir = ".";
    std::string candidato = dir + "/" + n;
    if (esEjecutable(candidato)) return candidato;
    if (dos == std::string_view::npos) break;
    lista.remove_prefix(dos + 1);
  }
  return std::nullopt;
}

ProcesosPosix::ProcesosPosix(std::function<bool()> atiende) : atiende_(std::move(atiende)) {}

ProcesosPosix::~ProcesosPosix() { recogePendientes(); }

void ProcesosPosix::recogePendientes() {
  std::erase_if(pendientes_, [](int pid) {
    int estado;
    return espera(pid, WNOHANG, &estado) != 0;  // ended (reaped) or no longer ours
  });
}

ResultadoProceso ProcesosPosix::inicia(const std::string& programa, const std::vector<std::string>& argumentos,
                                       const std::string& directorio, bool esperar) {
  recogePendientes();
  ResultadoProceso r;
  std::optional<std::string> ruta = buscaEnPath(programa);
  if (!ruta) {
    r.error = "no se encuentra el programa";
    return r;
  }
  std::error_code ec;
  if (ruta->front() != '/') *ruta = (fs::current_path(ec) / *ruta).string();

  // Everything the child needs is built here, before fork.
  std::vector<std::string> palabras;
  palabras.reserve(argumentos.size() + 1);
  palabras.push_back(programa);
  palabras.insert(palabras.end(), argumentos.begin(), argumentos.end());
  std::vector<char*> argv;
  for (std::string& p : palabras) argv.push_back(p.data());
  argv.push_back(nullptr);
  long maxDescriptor = sysconf(_SC_OPEN_MAX);
  if (maxDescriptor < 0 || maxDescriptor > 65536) maxDescriptor = 65536;

  int tubo[2];
  if (pipe2(tubo, O_CLOEXEC) != 0) {
    r.error = causa({static_cast<int>(Etapa::Proceso), errno}, directorio);
    return r;
  }
  pid_t pid = fork();
  if (pid < 0) {
    int e = errno;
    close(tubo[0]);
    close(tubo[1]);
    r.error = causa({static_cast<int>(Etapa::Proceso), e}, directorio);
    return r;
  }
  if (pid == 0) {
    if (tubo[1] != kDescriptorFallo) dup2(tubo[1], kDescriptorFallo);
    fcntl(kDescriptorFallo, F_SETFD, FD_CLOEXEC);
    if (!esperar) {
      // The program's parent ends at once; init adopts and reaps the program.
      pid_t nieto = fork();
      if (nieto < 0) {
        reporta(Etapa::Proceso, errno);
        _exit(127);
      }
      if (nieto > 0) _exit(0);
      setsid();
    }
    ejecutaHijo(ruta->c_str(), argv.data(), directorio.c_str(), static_cast<int>(maxDescriptor));
  }
  close(tubo[1]);
  int estado = 0;
  if (!esperar) espera(pid, 0, &estado);

  Fallo fallo{};
  size_t leido = 0;
  while (leido < sizeof fallo) {
    ssize_t n = read(tubo[0], reinterpret_cast<char*>(&fallo) + leido, sizeof fallo - leido);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    leido += static_cast<size_t>(n);
  }
  close(tubo[0]);
  if (leido == sizeof fallo) {
    if (esperar) espera(pid, 0, &estado);
    r.error = causa(fallo, directorio);
    return r;
  }
  r.iniciado = true;
  if (!esperar) return r;

  if (!atiende_) {
    if (espera(pid, 0, &estado) == pid) r.codigo = codigoDeSalida(estado);
    return r;
  }
  while (true) {
    int w = espera(pid, WNOHANG, &estado);
    if (w == pid) {
      r.codigo = codigoDeSalida(estado);
      return r;
    }
    if (w < 0) return r;  // not ours to wait for any more (SIGCHLD ignored)
    if (!atiende_()) {
      pendientes_.push_back(pid);
      return r;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(25));
  }
}

// ---------------------------------------------------------------------------------------

std::vector<std::string> divideParametros(std::string_view p) {
  std::vector<std::string> r;
  std::string actual;
  bool hay = false, comillas = false;
  size_t i = 0;
  const size_t n = p.size();
  while (i < n) {
    char c = p[i];
    if (c == '\\') {
      size_t j = i;
      while (j < n && p[j] == '\\') ++j;
      size_t barras = j - i;
      hay = true;
      if (j < n && p[j] == '"') {
        // 2n backslashes and a quote: n backslashes, and the quote does its usual work;
        // 2n+1: n backslashes and a literal quote.
        actual.append(barras / 2, '\\');
        if (barras % 2) {
          actual += '"';
          ++j;
        }
      } else {
        actual.append(barras, '\\');
      }
      i = j;
    } else if (c == '"') {
      hay = true;
      if (comillas && i + 1 < n && p[i + 1] == '"') {
        actual += '"';
        i += 2;
      } else {
        comillas = !comillas;
        ++i;
      }
    } else if ((c == ' ' || c == '\t') && !comillas) {
      if (hay) r.push_back(std::move(actual));
      actual.clear();
      hay = false;
      ++i;
    } else {
      actual += c;
      hay = true;
      ++i;
    }
  }
  if (hay) r.push_back(std::move(actual));
  return r;
}

TablaProgramas::TablaProgramas(std::function<bool(std::string_view)> hayComando, std::string programaPropio) {
  if (!hayComando) hayComando = [](std::string_view n) { return buscaEnPath(n).has_value(); };
  if (programaPropio.empty()) programaPropio = programaEnEjecucion();
  rutaAjustes_ = rutaAjustes(kArchivoInicio);

  auto primero = [&](std::vector<std::vector<std::string>> candidatos, bool conArgumentos) {
    for (auto& c : candidatos) {
      if (!hayComando(c.front())) continue;
      if (conArgumentos) c.push_back("{args}");
      return c;
    }
    return std::vector<std::string>{};
  };
  entradas_["CALC.EXE"] = primero(
      {{"gnome-calculator"}, {"kcalc"}, {"mate-calc"}, {"galculator"}, {"qalculate-gtk"}, {"xcalc"}}, false);
  entradas_["NOTEPAD.EXE"] = primero({{"mousepad"}, {"gedit"}, {"gnome-text-editor"}, {"kwrite"}, {"kate"},
                                      {"pluma"}, {"xed"}, {"featherpad"}, {"xdg-open"}},
                                     true);
  entradas_["EXCEL.EXE"] =
      primero({{"libreoffice", "--calc"}, {"localc"}, {"gnumeric"}, {"xdg-open"}}, true);
  entradas_["PKZIP.EXE"] = primero({{"zip", "-q", "-j"}}, true);
  entradas_["CAPTURAR.EXE"] = {programaPropio, "--captura-rapida", "{args}"};
  for (const char* sinEquivalente : {"SCALE.EXE", "BARRAS.EXE", "DOSPRINTER.EXE", "ABREPUERTO.EXE"})
    entradas_[sinEquivalente] = {};
}

TablaProgramas TablaProgramas::deEstacion(std::string_view archivoInicio) {
  TablaProgramas t;
  t.cargaAjustes(rutaAjustes(archivoInicio));
  return t;
}

std::string TablaProgramas::rutaAjustes(std::string_view archivoInicio) {
  size_t corte = archivoInicio.find_last_of("\\/");
  if (corte == std::string_view::npos) return "mostrador.ini";
  return une(archivoInicio.substr(0, corte), "mostrador.ini");
}

bool TablaProgramas::cargaAjustes(std::string_view ruta) {
  rutaAjustes_ = std::string(ruta);
  std::optional<std::vector<std::string>> lineas = leeLineas(ruta);
  if (!lineas) return false;
  for (const std::string& l : *lineas) {
    std::string linea = recortaEspaciosYTabs(l);
    if (linea.empty() || linea[0] == ';' || linea[0] == '#' || linea[0] == '[') continue;
    size_t igual = linea.find('=');
    if (igual == std::string::npos) continue;
    std::string nombre = recortaEspaciosYTabs(std::string_view(linea).substr(0, igual));
    if (nombre.empty()) continue;
    asigna(nombre, divideParametros(std::string_view(linea).substr(igual + 1)));
  }
  return true;
}

std::string TablaProgramas::clave(std::string_view programa) {
  std::string p = recortaEspaciosYTabs(programa);
  if (p.size() >= 2 && p.front() == '"' && p.back() == '"')
    p = recortaEspaciosYTabs(std::string_view(p).substr(1, p.size() - 2));
  size_t corte = p.find_last_of("\\/");
  if (corte != std::string::npos) p.erase(0, corte + 1);
  if (p.empty()) return p;
  for (char& c : p)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  if (p.find('.') == std::string::npos) p += ".EXE";
  return p;
}

std::optional<std::vector<std::string>> TablaProgramas::comando(std::string_view programa) const {
  auto it = entradas_.find(clave(programa));
  if (it == entradas_.end()) return std::nullopt;
  return it->second;
}

void TablaProgramas::asigna(std::string_view programa, std::vector<std::string> comando) {
  std::string k = clave(programa);
  if (!k.empty()) entradas_[k] = std::move(comando);
}

TablaProgramas::Preparado TablaProgramas::prepara(std::string_view programa, std::string_view parametros,
                                                   std::string_view directorio) const {
  const std::string k = clave(programa);
  if (k.empty()) return {std::nullopt, "No se indicó el programa que debe iniciarse"};
  // The calculator is the one a user looks for most: say plainly what to install.
  const std::string sinPrograma =
      k == "CALC.EXE"
          ? "No hay una calculadora instalada en este equipo; instale una (por ejemplo, el paquete "
            "galculator o gnome-calculator) o asígnela a CALC.EXE en " + rutaAjustes_
          : "No hay un programa asignado a " + k + " en este equipo; asígnelo en " + rutaAjustes_;

  std::vector<std::string> plantilla;
  if (auto it = entradas_.find(k); it != entradas_.end()) {
    plantilla = it->second;
  } else {
    // Not in the table: a local command runs as itself; a Windows program cannot.
    std::string p = recortaEspaciosYTabs(programa);
    std::string ultimo = p.substr(p.find_last_of('/') == std::string::npos ? 0 : p.find_last_of('/') + 1);
    bool local = p.find('\\') == std::string::npos && p.find(':') == std::string::npos &&
                 (p.front() == '/' || ultimo.find('.') == std::string::npos);
    if (local) plantilla = {p, "{args}"};
  }

  std::vector<std::string> argumentos;
  for (const std::string& w : divideParametros(parametros))
    for (std::string& t : traduceArgumento(w)) argumentos.push_back(std::move(t));

  std::vector<std::string> palabras;
  for (const std::string& w : plantilla) {
    if (w == "{args}")
      palabras.insert(palabras.end(), argumentos.begin(), argumentos.end());
    else
      palabras.push_back(w);
  }
  if (palabras.empty()) return {std::nullopt, sinPrograma};

  OrdenPrograma orden;
  orden.programa = palabras.front();
  orden.argumentos.assign(palabras.begin() + 1, palabras.end());
  if (!directorio.empty()) orden.directorio = resuelve(directorio).string();
  return {std::move(orden), {}};
}

ResultadoPrograma TablaProgramas::inicia(Procesos& procesos, std::string_view programa,
                                         std::string_view parametros, std::string_view directorio,
                                         bool espera) const {
  ResultadoPrograma r;
  Preparado p = prepara(programa, parametros, directorio);
  if (!p.orden) {
    r.mensaje = p.mensaje;
    return r;
  }
  ResultadoProceso proceso = procesos.inicia(p.orden->programa, p.orden->argumentos, p.orden->directorio, espera);
  r.iniciado = proceso.iniciado;
  r.codigo = proceso.codigo;
  if (!proceso.iniciado) r.mensaje = "No se pudo iniciar " + p.orden->programa + ": " + proceso.error;
  return r;
}

}  // namespace mostrador::base
