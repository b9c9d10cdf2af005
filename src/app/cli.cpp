// mostrador-cli: the company tables from a terminal or a cron job, over the same engines
// as the screens. Exit code 0 on success; on failure one line on stderr and 1 (2 for a
// usage error).

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "shell/rutas.h"
#include "shell/texto.h"
#include "store/dbf/dbf_table.h"
#include "store/dbf/verificacion.h"

namespace {

using namespace mostrador;

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

Argumentos analiza(int argc, char** argv, int desde, const std::vector<std::string>& conValor) {
  Argumentos a;
  for (int i = desde; i < argc; ++i) {
    std::string s = argv[i];
    if (s.rfind("--", 0) == 0 && s.size() > 2) {
      std::string n = s.substr(2);
      if (auto eq = n.find('='); eq != std::string::npos) {
        a.opciones[n.substr(0, eq)] = n.substr(eq + 1);
        continue;
      }
      bool lleva = false;
      for (const auto& c : conValor) lleva = lleva || c == n;
      if (lleva) {
        if (i + 1 >= argc) throw ErrorUso("falta el valor de --" + n);
        a.opciones[n] = argv[++i];
      } else {
        a.banderas[n] = true;
      }
    } else {
      a.posicionales.push_back(s);
    }
  }
  return a;
}

// Where the installation is: explicit options first, then the initialisation file.
struct Instalacion {
  std::string sistema;
  std::string datos;
};

Instalacion localiza(const Argumentos& a) {
  Instalacion r;
  if (auto s = a.opcion("sistema")) r.sistema = *s;
  if (auto d = a.opcion("datos")) r.datos = *d;
  if (!r.datos.empty()) return r;
  const std::string ini = "c:\\TVK\\talvek.ini";
  std::optional<std::vector<std::string>> lineas = shell::leeLineas(ini);
  if (r.sistema.empty()) {
    if (!lineas || lineas->empty())
      throw std::runtime_error("no se encontró el archivo de inicio " + ini +
                               "; indique --sistema y --datos");
    r.sistema = (*lineas)[0];
  }
  std::string configuracion;
  if (auto e = a.opcion("empresa"))
    configuracion = shell::une(r.sistema, "Gener" + *e + ".cnf");
  else if (lineas && lineas->size() >= 2)
    configuracion = (*lineas)[1];
  if (configuracion.empty())
    throw std::runtime_error("no hay empresa elegida; indique --empresa N o --datos");
  auto l8 = shell::leeLinea(configuracion, 8);
  if (!l8) throw std::runtime_error("El Archivo " + configuracion + " No Existe");
  if (l8->empty()) throw std::runtime_error("la línea 8 de " + configuracion + " está vacía");
  r.datos = *l8;
  return r;
}

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

std::string tipoTexto(const dbf::FieldDef& f) {
  std::ostringstream o;
  o << f.name << '\t' << f.type << '\t' << f.length << '\t' << f.decimals;
  return o.str();
}

int cmdTablas(const Argumentos& a) {
  Instalacion in = localiza(a);
  for (const std::string& nombre : dbf::Table::listTables(in.datos)) {
    dbf::Table t;
    try {
      t.open(in.datos, nombre);
    } catch (const dbf::Error& e) {
      std::cout << nombre << "\t-\t" << e.what() << '\n';
      continue;
    }
    std::cout << nombre << '\t' << t.recordCount();
    std::string etiquetas;
    for (const auto& tag : t.tags()) etiquetas += (etiquetas.empty() ? "" : ",") + tag.name;
    std::cout << '\t' << etiquetas;
    if (!t.indexProblem().empty()) std::cout << '\t' << t.indexProblem();
    std::cout << '\n';
  }
  return 0;
}

int cmdDescribe(const Argumentos& a) {
  if (a.posicionales.size() != 1) throw ErrorUso("describe necesita el nombre de una tabla");
  Instalacion in = localiza(a);
  dbf::Table t;
  t.open(in.datos, a.posicionales[0]);
  std::cout << "CAMPO\tTIPO\tTAMAÑO\tDECIMALES\n";
  for (const auto& f : t.fieldDefs()) std::cout << tipoTexto(f) << '\n';
  std::cout << "\nINDICE\tCLAVE\n";
  for (const auto& tag : t.tags()) std::cout << tag.name << '\t' << tag.key << '\n';
  if (!t.indexProblem().empty()) std::cout << "\n" << t.indexProblem() << '\n';
  return 0;
}

void imprimeFila(const dbf::Cursor& c) {
  const size_t n = c.fieldDefs().size();
  for (size_t i = 0; i < n; ++i) {
    if (i) std::cout << '\t';
    std::cout << c.asText(static_cast<int>(i));
  }
  std::cout << '\n';
}

void imprimeEncabezado(const dbf::Cursor& c) {
  bool primero = true;
  for (const auto& f : c.fieldDefs()) {
    std::cout << (primero ? "" : "\t") << f.name;
    primero = false;
  }
  std::cout << '\n';
}

int cmdMuestra(const Argumentos& a) {
  if (a.posicionales.size() != 1) throw ErrorUso("muestra necesita el nombre de una tabla");
  Instalacion in = localiza(a);
  dbf::Table t;
  t.open(in.datos, a.posicionales[0]);
  if (auto tag = a.opcion("indice")) t.setIndex(*tag);
  long limite = -1;
  if (auto l = a.opcion("limite")) {
    char* fin = nullptr;
    limite = std::strtol(l->c_str(), &fin, 10);
    if (!fin || *fin || limite < 0) throw ErrorUso("--limite necesita un número");
  }
  if (auto desde = a.opcion("desde")) {
    if (t.index().empty()) throw ErrorUso("--desde necesita --indice");
    t.findNearest({dbf::KeyValue{*desde}});
  } else {
    t.first();
  }
  imprimeEncabezado(t);
  for (long n = 0; !t.eof() && (limite < 0 || n < limite); ++n, t.next()) imprimeFila(t);
  return 0;
}

int cmdVerifica(const Argumentos& a) {
  Instalacion in = localiza(a);
  std::string actual;
  std::unique_ptr<Progreso> p;
  auto avance = [&](const std::string& tabla, uint64_t hecho, uint64_t total) {
    if (tabla != actual) {
      actual = tabla;
      p = std::make_unique<Progreso>("verificando " + tabla);
    }
    p->avanza(static_cast<long>(hecho), static_cast<long>(total));
  };
  long conProblemas = 0;
  auto resultados = dbf::verificaDirectorio(in.datos, avance);
  p.reset();
  for (const auto& r : resultados) {
    if (r.problemas.empty()) continue;
    ++conProblemas;
    for (const auto& t : r.problemas) std::cout << r.tabla << '\t' << t << '\n';
  }
  std::cout << resultados.size() << " tablas revisadas, " << conProblemas << " con problemas\n";
  if (conProblemas == 0) return 0;
  std::cerr << "mostrador-cli verifica: " << conProblemas << " tablas con problemas\n";
  return 1;
}

const char* kAyuda =
    "Uso: mostrador-cli ORDEN [opciones]\n"
    "\n"
    "Órdenes:\n"
    "  nueva-empresa   crea una empresa (tablas, índices, configuración)\n"
    "  tablas          lista las tablas del directorio de datos\n"
    "  describe TABLA  campos e índices de una tabla\n"
    "  muestra TABLA   registros de una tabla, separados por tabuladores\n"
    "  sql SENTENCIA   ejecuta una sentencia de SQL local\n"
    "  verifica        revisa tablas e índices sin cambiar nada\n"
    "\n"
    "Opciones comunes:\n"
    "  --sistema DIR   directorio del sistema (por omisión, línea 1 de c:\\TVK\\talvek.ini)\n"
    "  --datos DIR     directorio de datos de la empresa\n"
    "  --empresa N     toma el directorio de datos de la línea 8 de GenerN.cnf\n"
    "\n"
    "  mostrador-cli ORDEN --help   ayuda de una orden\n";

struct Orden {
  const char* ayuda;
  std::vector<std::string> conValor;
  std::function<int(const Argumentos&)> ejecuta;
};

const std::vector<std::string> kComunes = {"sistema", "datos", "empresa"};

std::map<std::string, Orden> ordenes() {
  auto con = [](std::vector<std::string> extra) {
    extra.insert(extra.end(), kComunes.begin(), kComunes.end());
    return extra;
  };
  return {
      {"tablas",
       {"Uso: mostrador-cli tablas [--datos DIR | --empresa N] [--sistema DIR]\n"
        "Una línea por tabla: nombre, registros, índices.\n",
        con({}), cmdTablas}},
      {"describe",
       {"Uso: mostrador-cli describe TABLA [--datos DIR | --empresa N]\n"
        "Campos (nombre, tipo, tamaño, decimales) e índices con su clave.\n",
        con({}), cmdDescribe}},
      {"muestra",
       {"Uso: mostrador-cli muestra TABLA [--indice TAG] [--desde CLAVE] [--limite N]\n"
        "Registros separados por tabuladores, con una línea de encabezado.\n",
        con({"indice", "desde", "limite"}), cmdMuestra}},
      {"verifica",
       {"Uso: mostrador-cli verifica [--datos DIR | --empresa N]\n"
        "Revisa cada tabla (cabecera, registros) y cada índice (orden, una entrada por\n"
        "registro, claves iguales a las de sus registros) sin cambiar nada. Una línea por\n"
        "problema; termina con 1 cuando hay alguno. Para cron:\n"
        "  30 2 * * * mostrador-cli verifica --empresa 1 >> /var/log/mostrador-verifica.log 2>&1\n",
        con({}), cmdVerifica}},
  };
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h") {
    std::cout << kAyuda;
    return argc < 2 ? 2 : 0;
  }
  auto tabla = ordenes();
  auto it = tabla.find(argv[1]);
  if (it == tabla.end()) {
    std::cerr << "mostrador-cli: orden desconocida: " << argv[1] << '\n';
    return 2;
  }
  try {
    Argumentos a = analiza(argc, argv, 2, it->second.conValor);
    if (a.bandera("help")) {
      std::cout << it->second.ayuda;
      return 0;
    }
    return it->second.ejecuta(a);
  } catch (const ErrorUso& e) {
    std::cerr << "mostrador-cli " << argv[1] << ": " << e.what() << '\n';
    return 2;
  } catch (const std::exception& e) {
    std::cerr << "mostrador-cli " << argv[1] << ": " << e.what() << '\n';
    return 1;
  }
}
