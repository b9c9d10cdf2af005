#pragma once
// What the commands of mostrador-cli share: the parsed command line, where the company
// is, and a progress line on a terminal.

#include <unistd.h>

#include <cstdio>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace mostrador::app::cli {

// A usage error: exit code 2.
struct ErrorUso : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// Options of one command line: "--name value", "--flag" and positional arguments.
struct Argumentos {
  std::vector<std::string> posicionales;
  std::map<std::string, std::string> opciones;
  std::map<std::string, bool> banderas;

  std::optional<std::string> opcion(const std::string& n) const {
    auto it = opciones.find(n);
    if (it == opciones.end()) return std::nullopt;
    return it->second;
  }
  bool bandera(const std::string& n) const { return banderas.count(n) > 0; }
};

Argumentos analiza(int argc, char** argv, int desde, const std::vector<std::string>& conValor);

// Where the installation is: explicit options first, then the initialisation file.
struct Instalacion {
  std::string sistema;
  std::string datos;
};
Instalacion localiza(const Argumentos& a);

// The data directory of a command that checks or keeps the company: a mistyped path
// must not read as an empty company that is in order.
const std::string& datosExistentes(const Instalacion& in);

// The company's configuration lines (Gener<N>.cnf of the system directory, the one whose
// line 8 is the data directory); empty when none is found.
std::vector<std::string> lineasConfiguracion(const Argumentos& a, const Instalacion& in);

// A progress line on a terminal; silent when the output is not a terminal.
class Progreso {
 public:
  explicit Progreso(std::string titulo) : titulo_(std::move(titulo)), tty_(isatty(2)) {}
  ~Progreso() {
    if (tty_ && mostrado_) std::fputs("\n", stderr);
  }
  void avanza(long hecho, long total) {
    if (!tty_ || total <= 0) return;
    int pct = static_cast<int>(hecho * 100 / total);
    if (pct == ultimo_) return;
    ultimo_ = pct;
    mostrado_ = true;
    std::fprintf(stderr, "\r%s %3d%%", titulo_.c_str(), pct);
    std::fflush(stderr);
  }

 private:
  std::string titulo_;
  bool tty_;
  bool mostrado_ = false;
  int ultimo_ = -1;
};

// The inventory commands (cli_inventario.cpp).
int cmdMovimientos(const Argumentos& a);
int cmdKardex(const Argumentos& a);
int cmdRecalcula(const Argumentos& a);
int cmdAjuste(const Argumentos& a);

// The purchases command (cli_compras.cpp).
int cmdCompra(const Argumentos& a);

// The account commands (cli_cuentas.cpp).
int cmdCartera(const Argumentos& a);
int cmdEstadoCuenta(const Argumentos& a);
int cmdAbono(const Argumentos& a);
int cmdBorra(const Argumentos& a);

// The concentration generator (cli_concentra.cpp).
int cmdConcentra(const Argumentos& a);

}  // namespace mostrador::app::cli
