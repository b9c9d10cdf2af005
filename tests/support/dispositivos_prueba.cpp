#include "support/dispositivos_prueba.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "base/programas.h"

extern char** environ;

namespace mostrador::prueba {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

std::string directorioNuevo(const char* prefijo) {
  // Short: the scheduler's socket path must fit in sun_path.
  std::string plantilla = std::string("/tmp/") + prefijo + "XXXXXX";
  if (!::mkdtemp(plantilla.data())) return {};
  return plantilla;
}

// Starts a program with its output to a file; -1 when it could not start.
pid_t lanza(const std::vector<std::string>& argumentos, const std::string& bitacora) {
  std::vector<char*> argv;
  for (const std::string& a : argumentos) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t acciones;
  posix_spawn_file_actions_init(&acciones);
  posix_spawn_file_actions_addopen(&acciones, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&acciones, 1, bitacora.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
  posix_spawn_file_actions_adddup2(&acciones, 1, 2);
  pid_t pid = -1;
  const int r = ::posix_spawn(&pid, argv[0], &acciones, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&acciones);
  return r == 0 ? pid : -1;
}

void termina(pid_t& pid) {
  if (pid <= 0) return;
  ::kill(pid, SIGTERM);
  for (int i = 0; i < 100; ++i) {
    if (::waitpid(pid, nullptr, WNOHANG) == pid) {
      pid = -1;
      return;
    }
    std::this_thread::sleep_for(20ms);
  }
  ::kill(pid, SIGKILL);
  ::waitpid(pid, nullptr, 0);
  pid = -1;
}

std::string leeArchivo(const std::string& ruta) {
  std::ifstream f(ruta, std::ios::binary);
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}

void escribeArchivo(const std::string& ruta, const std::string& texto, fs::perms permisos = fs::perms(0644)) {
  std::ofstream(ruta, std::ios::binary) << texto;
  fs::permissions(ruta, permisos);
}

}  // namespace

// ---------------------------------------------------------------------------------------

ParTerminales::ParTerminales() {
  const std::optional<std::string> socat = base::buscaEnPath("socat");
  if (!socat) {
    error_ = "no está socat";
    return;
  }
  dir_ = directorioNuevo("pty");
  if (dir_.empty()) {
    error_ = "no se pudo crear el directorio temporal";
    return;
  }
  pid_ = lanza({*socat, "-d", "-d", "pty,raw,echo=0,link=" + puerto(), "pty,raw,echo=0,link=" + dir_ + "/aparato"},
               dir_ + "/socat.log");
  if (pid_ < 0) {
    error_ = "socat no arrancó";
    return;
  }
  for (int i = 0; i < 250 && !listo_; ++i) {
    // socat makes both links before its transfer loop; the log says when it is in it.
    if (fs::exists(puerto()) && fs::exists(dir_ + "/aparato") &&
        leeArchivo(dir_ + "/socat.log").find("starting data transfer loop") != std::string::npos) {
      aparato_ = ::open((dir_ + "/aparato").c_str(), O_WRONLY | O_NOCTTY);
      listo_ = aparato_ >= 0;
    }
    if (!listo_) std::this_thread::sleep_for(20ms);
  }
  if (!listo_) error_ = "socat no creó los terminales: " + leeArchivo(dir_ + "/socat.log");
}

ParTerminales::~ParTerminales() {
  corta();
  std::error_code ec;
  if (!dir_.empty()) fs::remove_all(dir_, ec);
}

bool ParTerminales::envia(std::string_view bytes) {
  if (aparato_ < 0) return false;
  while (!bytes.empty()) {
    const ssize_t n = ::write(aparato_, bytes.data(), bytes.size());
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

void ParTerminales::corta() {
  if (aparato_ >= 0) ::close(aparato_);
  aparato_ = -1;
  termina(pid_);
}

// ---------------------------------------------------------------------------------------

ServidorCups::ServidorCups() {
  const std::string cupsd = fs::exists("/usr/sbin/cupsd") ? "/usr/sbin/cupsd" : base::buscaEnPath("cupsd").value_or("");
  if (cupsd.empty()) {
    error_ = "no está cupsd";
    return;
  }
  dir_ = directorioNuevo("cups");
  if (dir_.empty()) {
    error_ = "no se pudo crear el directorio temporal";
    return;
  }
  std::error_code ec;
  for (const char* d : {"spool/tmp", "cache", "state", "logs", "bin/backend", "bin/daemon", "bin/filter", "salida"})
    fs::create_directories(dir_ + "/" + d, ec);
  // The jobs run as lp: it must reach the backend and write the output.
  fs::permissions(dir_, fs::perms(0755), ec);
  fs::permissions(dir_ + "/salida", fs::perms(0777), ec);
  fs::create_symlink("/usr/lib/cups/daemon/cups-exec", dir_ + "/bin/daemon/cups-exec", ec);
  escribeArchivo(dir_ + "/bin/backend/archivo",
                 "#!/bin/sh\n"
                 "# archivo:/ruta appends each job to that file.\n"
                 "if [ $# -eq 0 ]; then echo 'direct archivo \"Desconocido\" \"Archivo\"'; exit 0; fi\n"
                 "destino=\"${DEVICE_URI#archivo:}\"\n"
                 "if [ -n \"$6\" ]; then cat \"$6\" >> \"$destino\"; else cat >> \"$destino\"; fi\n",
                 fs::perms(0755));
  escribeArchivo(dir_ + "/cupsd.conf",
                 "Listen " + servidor() + "\n"
                 "LogLevel warn\nWebInterface No\nBrowsing No\nDefaultAuthType None\n"
                 "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                 "<Location /admin>\n  Order allow,deny\n  Allow all\n</Location>\n"
                 "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n</Policy>\n");
  escribeArchivo(dir_ + "/cups-files.conf",
                 "FileDevice Yes\nServerRoot " + dir_ + "\nServerBin " + dir_ + "/bin\nRequestRoot " + dir_ +
                     "/spool\nTempDir " + dir_ + "/spool/tmp\nCacheDir " + dir_ + "/cache\nStateDir " + dir_ +
                     "/state\nErrorLog " + dir_ + "/logs/error_log\nAccessLog " + dir_ +
                     "/logs/access_log\nPageLog " + dir_ + "/logs/page_log\nUser lp\nGroup lp\n");
  pid_ = lanza({cupsd, "-f", "-c", dir_ + "/cupsd.conf", "-s", dir_ + "/cups-files.conf"}, dir_ + "/logs/cupsd.out");
  if (pid_ < 0) {
    error_ = "cupsd no arrancó";
    return;
  }
  for (int i = 0; i < 250 && !listo_; ++i) {
    if (::waitpid(pid_, nullptr, WNOHANG) == pid_) {
      pid_ = -1;
      break;
    }
    listo_ = fs::exists(servidor()) && corre({"lpstat", "-h", servidor(), "-r"}) == 0;
    if (!listo_) std::this_thread::sleep_for(40ms);
  }
  if (!listo_)
    error_ = "cupsd no quedó listo: " + leeArchivo(dir_ + "/logs/cupsd.out") + leeArchivo(dir_ + "/logs/error_log");
}

ServidorCups::~ServidorCups() {
  termina(pid_);
  std::error_code ec;
  if (!dir_.empty()) fs::remove_all(dir_, ec);
}

int ServidorCups::corre(const std::vector<std::string>& argumentos, std::string* salida) const {
  std::vector<std::string> a = argumentos;
  // The administration commands live in sbin, which a test's PATH may lack.
  std::optional<std::string> programa = base::buscaEnPath(a[0]);
  if (!programa && fs::exists("/usr/sbin/" + a[0])) programa = "/usr/sbin/" + a[0];
  if (!programa) return -1;
  a[0] = *programa;
  const std::string bitacora = dir_ + "/logs/orden.out";
  std::error_code ec;
  fs::remove(bitacora, ec);
  pid_t pid = lanza(a, bitacora);
  if (pid < 0) return -1;
  int estado = 0;
  ::waitpid(pid, &estado, 0);
  if (salida) *salida = leeArchivo(bitacora);
  return WIFEXITED(estado) ? WEXITSTATUS(estado) : -1;
}

bool ServidorCups::creaCola(const std::string& nombre) {
  std::string dicho;
  const std::string uri = "archivo:" + archivoSalida(nombre);
  // "-m raw" is how CUPS 2.x names a raw queue; a later CUPS may want no model at all.
  if (corre({"lpadmin", "-h", servidor(), "-p", nombre, "-E", "-v", uri, "-m", "raw"}, &dicho) == 0) return true;
  if (corre({"lpadmin", "-h", servidor(), "-p", nombre, "-E", "-v", uri}, &dicho) == 0) return true;
  error_ = "lpadmin no creó la cola " + nombre + ": " + dicho;
  return false;
}

bool ServidorCups::borraCola(const std::string& nombre) {
  std::string dicho;
  if (corre({"lpadmin", "-h", servidor(), "-x", nombre}, &dicho) == 0) return true;
  error_ = "lpadmin no borró la cola " + nombre + ": " + dicho;
  return false;
}

std::string ServidorCups::salida(const std::string& nombre, size_t bytes) const {
  std::string s;
  for (int i = 0; i < 500; ++i) {
    s = leeArchivo(archivoSalida(nombre));
    if (s.size() >= bytes) break;
    std::this_thread::sleep_for(20ms);
  }
  return s;
}

}  // namespace mostrador::prueba
