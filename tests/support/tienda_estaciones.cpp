#include "support/tienda_estaciones.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <sstream>

#include "sales/captura.h"
#include "base/reloj.h"
#include "base/rutas.h"
#include "base/texto.h"
#include "session/empresa_nueva.h"
#include "support/dialogos_venta_falsos.h"
#include "support/interaccion_fake.h"

namespace fs = std::filesystem;

namespace mostrador::prueba {
namespace {

std::string clave(int n) {
  char b[8];
  std::snprintf(b, sizeof b, "P%02d", n);
  return b;
}
double precio(int n) { return 1.25 * n; }

// Appends a line and makes sure it reaches the file before anything else happens.
void anota(const std::string& registro, const std::string& linea) {
  int fd = ::open(registro.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return;
  std::string l = linea + "\n";
  (void)!::write(fd, l.data(), l.size());
  ::close(fd);
}

// ---- a strict reader of .dbf bytes, independent of the engine ---------------------------

struct Cruda {
  std::string error;
  std::vector<std::map<std::string, std::string>> filas;  // live records
};

uint32_t le32(const unsigned char* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t(p[3]) << 24); }
uint32_t le16(const unsigned char* p) { return p[0] | (p[1] << 8); }

std::string recorta(std::string s) {
  while (!s.empty() && (s.back() == ' ' || s.back() == '\0')) s.pop_back();
  size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  return s.substr(i);
}

fs::path busca(const std::string& dir, const std::string& nombre) {
  auto baja = [](std::string s) {
    for (auto& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
  };
  for (const auto& e : fs::directory_iterator(dir))
    if (baja(e.path().filename().string()) == baja(nombre)) return e.path();
  return fs::path(dir) / nombre;
}

Cruda leeCruda(const fs::path& ruta) {
  Cruda t;
  std::ifstream f(ruta, std::ios::binary);
  std::string b((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  const auto* u = reinterpret_cast<const unsigned char*>(b.data());
  if (b.size() < 33) {
    t.error = ruta.filename().string() + ": archivo demasiado corto";
    return t;
  }
  const uint32_t n = le32(u + 4), cab = le16(u + 8), largo = le16(u + 10);
  struct Campo {
    std::string nombre;
    size_t pos, ancho;
  };
  std::vector<Campo> campos;
  size_t pos = 1;
  for (size_t d = 32; d + 32 <= cab && u[d] != 0x0D; d += 32) {
    std::string nombre(reinterpret_cast<const char*>(u + d), strnlen(reinterpret_cast<const char*>(u + d), 11));
    campos.push_back({nombre, pos, u[d + 16]});
    pos += u[d + 16];
  }
  if (pos != largo) {
    t.error = ruta.filename().string() + ": el largo de registro no suma sus campos";
    return t;
  }
  const uint64_t fin = uint64_t(cab) + uint64_t(n) * largo;
  if (fin > b.size()) {
    t.error = ruta.filename().string() + ": la cabecera cuenta " + std::to_string(n) + " registros que no están";
    return t;
  }
  if (b.size() > fin + 1 || (b.size() == fin + 1 && u[fin] != 0x1A)) {
    t.error = ruta.filename().string() + ": hay bytes después del último registro (" +
              std::to_string(b.size() - fin) + ")";
    return t;
  }
  for (uint32_t r = 0; r < n; ++r) {
    const size_t at = cab + size_t(r) * largo;
    if (u[at] == '*') continue;
    if (u[at] != ' ') {
      t.error = ruta.filename().string() + ": marca de borrado inválida en el registro " + std::to_string(r + 1);
      return t;
    }
    std::map<std::string, std::string> fila;
    for (const auto& c : campos) fila[c.nombre] = recorta(b.substr(at + c.pos, c.ancho));
    t.filas.push_back(std::move(fila));
  }
  return t;
}

double num(const std::string& s) { return s.empty() ? 0 : std::stod(s); }

struct Intento {
  char tipo = 'R';
  std::string cliente;
  std::map<std::string, double> partidas;  // key -> quantity
  std::string numero;                      // from "G"
  bool rechazado = false;
};

}  // namespace

std::string RevisionTienda::resumen() const {
  std::ostringstream o;
  o << "guardados " << guardados << ", confirmados " << confirmados << ", rechazados " << rechazados
    << ", reservados " << reservados << ", distintos de lo tecleado " << distintos << ", huérfanos " << huerfanos
    << ", números repetidos " << duplicados << ", perdidos " << perdidos << ", existencias mal " << existencias
    << ", saldos mal " << saldos << ", archivos ilegibles " << ilegibles;
  for (size_t i = 0; i < problemas.size() && i < 12; ++i) o << "\n  " << problemas[i];
  return o.str();
}

std::vector<std::string> preparaTienda(EmpresaVentas& empresa, int estaciones, const OpcionesTienda& o) {
  for (int i = 1; i <= o.productos; ++i) {
    ProductoVenta p;
    p.clave = clave(i);
    p.descripcion = "Producto " + std::to_string(i);
    p.existencia = o.existencia;
    p.precio = precio(i);
    empresa.producto(p);
  }
  for (int i = 1; i <= o.clientes; ++i) empresa.cliente("C" + std::to_string(i), "Cliente " + std::to_string(i));
  empresa.sesion("0");
  std::vector<std::string> sistemas{std::string(EmpresaVentas::kSistema)};
  for (int e = 2; e <= estaciones; ++e) {
    const std::string s = std::string(EmpresaVentas::kSistema) + std::to_string(e);
    session::OpcionesEmpresa op;
    op.dirDatos = std::string(EmpresaVentas::kDatos);
    op.dirSistema = s;
    session::creaDirectorioSistema(op);
    base::escribeLineas(base::une(s, "Gener1.cnf"), empresa.lineas);
    base::copia(base::une(EmpresaVentas::kSistema, "encabeza.cnf"), base::une(s, "encabeza.cnf"));
    base::copia(base::une(EmpresaVentas::kSistema, "Multi.dat"), base::une(s, "Multi.dat"));
    sistemas.push_back(s);
  }
  return sistemas;
}

int vendeEstacion(const EmpresaVentas& empresa, const std::string& sistema, int estacion, int ventas,
                  uint64_t semilla, const std::string& registro, const OpcionesTienda& o) {
  std::mt19937_64 azar(semilla);
  base::RelojSistema reloj;
  InteraccionFalsa ui;
  DialogosVentaFalsos dlg;
  sales::CapturaVenta cap(sales::leeAjustes(sistema, empresa.lineas), ui, dlg, reloj);
  cap.abre();
  bool enFactura = false;
  for (int v = 1; v <= ventas; ++v) {
    const bool factura = o.facturaCada > 0 && v % o.facturaCada == 0;
    if (factura != enFactura) {
      cap.abreTipo(factura ? sales::TipoVenta::Factura : sales::TipoVenta::Remision);
      enFactura = factura;
    }
    if (!cap.nuevo()) return 10;
    const std::string id = std::to_string(estacion) + "-" + std::to_string(v);
    const std::string cliente = "C" + std::to_string(1 + azar() % static_cast<unsigned>(o.clientes));
    cap.campos().cliente = cliente;
    if (!cap.saleCliente()) return 11;
    cap.campos().direccion2 = id;
    const int lineas = 1 + static_cast<int>(azar() % 20);
    std::string tecleado;
    for (int l = 0; l < lineas; ++l) {
      const std::string k = clave(1 + static_cast<int>(azar() % static_cast<unsigned>(o.productos)));
      const int q = 1 + static_cast<int>(azar() % 5);
      cap.agregaPartida();
      cap.ponCelda(sales::kCantidad, std::to_string(q));
      cap.entraColumna(sales::kClave);
      cap.ponCelda(sales::kClave, k);
      cap.entraColumna(sales::kProducto);
      tecleado += (l ? "," : "") + k + ":" + std::to_string(q);
    }
    anota(registro, "I|" + id + "|" + (factura ? "F" : "R") + "|" + cliente + "|" + tecleado);
    bool guardado = cap.guarda() || cap.guarda();  // a cashier presses F10 once more
    if (guardado)
      anota(registro, "G|" + id + "|" + cap.campos().numero);
    else
      anota(registro, "X|" + id);
  }
  return 0;
}

RevisionTienda revisaTienda(const std::string& datos, const std::vector<std::string>& registros,
                            const OpcionesTienda& o) {
  RevisionTienda r;
  auto problema = [&](long& contador, const std::string& texto) {
    ++contador;
    if (r.problemas.size() < 50) r.problemas.push_back(texto);
  };

  std::map<std::string, Intento> intentos;
  for (const auto& reg : registros) {
    std::ifstream f(reg);
    std::string l;
    while (std::getline(f, l)) {
      std::vector<std::string> c;
      std::stringstream ss(l);
      std::string x;
      while (std::getline(ss, x, '|')) c.push_back(x);
      if (c.size() >= 5 && c[0] == "I") {
        Intento& i = intentos[c[1]];
        i.tipo = c[2][0];
        i.cliente = c[3];
        std::stringstream ps(c[4]);
        std::string p;
        while (std::getline(ps, p, ',')) {
          const auto dp = p.find(':');
          i.partidas[p.substr(0, dp)] += std::stod(p.substr(dp + 1));
        }
      } else if (c.size() >= 3 && c[0] == "G") {
        intentos[c[1]].numero = c[2];
        ++r.confirmados;
      } else if (c.size() >= 2 && c[0] == "X") {
        intentos[c[1]].rechazado = true;
        ++r.rechazados;
      }
    }
  }

  std::map<std::string, Cruda> tablas;
  for (const char* n : {"Remision.dbf", "Remisiod.dbf", "facturae.dbf", "facturad.dbf", "movinven.dbf",
                        "inventar.dbf", "cliente.dbf"}) {
    tablas[n] = leeCruda(busca(datos, n));
    if (!tablas[n].error.empty()) problema(r.ilegibles, tablas[n].error);
  }
  if (r.ilegibles) return r;

  // Detail rows and movements by the save they belong to.
  std::map<std::string, std::vector<const std::map<std::string, std::string>*>> lineasDe, movsDe;
  auto llaveLinea = [](char letra, const std::string& n, const std::string& control) {
    return std::string(1, letra) + n + "-" + control;
  };
  for (const auto& f : tablas["Remisiod.dbf"].filas) lineasDe[llaveLinea('R', f.at("CLDOC_FD"), f.at("CONTROL"))].push_back(&f);
  for (const auto& f : tablas["facturad.dbf"].filas) lineasDe[llaveLinea('F', f.at("CLDOC_FD"), f.at("CONTROL"))].push_back(&f);
  for (const auto& f : tablas["movinven.dbf"].filas) movsDe[f.at("NUDOC_MI")].push_back(&f);

  std::set<std::string> salvados;  // "R<n>-<control>"
  std::map<std::string, double> cargo;  // customer -> invoiced
  std::set<std::string> idsVistos;
  std::map<std::string, std::string> guardadoDe;  // id -> number stored
  for (const auto& [tabla, letra] : std::vector<std::pair<std::string, char>>{{"Remision.dbf", 'R'}, {"facturae.dbf", 'F'}}) {
    std::map<std::string, int> numeros;
    for (const auto& h : tablas[tabla].filas) {
      const std::string id = h.at("DIRE2_F"), n = h.at("CLDOC_F"), control = h.at("CONTROL");
      if (control.empty() || id.empty()) {
        ++r.reservados;
        if (!lineasDe[llaveLinea(letra, n, control)].empty() && !control.empty())
          problema(r.huerfanos, std::string(1, letra) + n + ": partidas de un documento no guardado");
        continue;
      }
      if (++numeros[n] == 2) problema(r.duplicados, std::string(1, letra) + n + ": número en dos documentos");
      const std::string llave = llaveLinea(letra, n, control);
      salvados.insert(llave);
      if (!idsVistos.insert(id).second) {
        problema(r.distintos, "la venta " + id + " quedó guardada dos veces");
        continue;
      }
      guardadoDe[id] = n;
      auto it = intentos.find(id);
      if (it == intentos.end()) {
        problema(r.distintos, std::string(1, letra) + n + ": documento de una venta que nadie tecleó (" + id + ")");
        continue;
      }
      const Intento& in = it->second;
      std::map<std::string, double> lineas, movs;
      double subtotal = 0;
      for (const auto* f : lineasDe[llave]) {
        lineas[f->at("CLPRO_FD")] += num(f->at("CANTI_FD"));
        subtotal += num(f->at("IMPOR_FD"));
      }
      for (const auto* m : movsDe[llave]) movs[m->at("CLPRO_MI")] += num(m->at("CANTI_MI"));
      double esperado = 0;
      for (const auto& [k, q] : in.partidas) esperado += q * precio(std::stoi(k.substr(1)));
      const bool ok = lineas == in.partidas && movs == in.partidas && std::fabs(subtotal - esperado) < 0.005 &&
                      std::fabs(num(h.at("SUBTO_F")) - esperado) < 0.005 && h.at("CLCLI_F") == in.cliente;
      if (!ok) {
        std::ostringstream d;
        d << letra << n << " (" << id << "): " << lineasDe[llave].size() << " partidas y " << movsDe[llave].size()
          << " movimientos guardados, subtotal " << h.at("SUBTO_F") << "; tecleado " << in.partidas.size()
          << " productos, subtotal " << esperado;
        problema(r.distintos, d.str());
      }
      if (letra == 'F') {
        const double s = num(h.at("SUBTO_F"));
        cargo[h.at("CLCLI_F")] += s + s * num(h.at("IMIM1_F")) * 0.01;
      }
      ++r.guardados;
    }
  }
  for (const auto& [llave, filas] : lineasDe)
    if (!salvados.count(llave) && !filas.empty())
      problema(r.huerfanos, llave + ": " + std::to_string(filas.size()) + " partidas sin documento guardado");
  for (const auto& [ref, filas] : movsDe)
    if (!ref.empty() && !salvados.count(ref))  // a blank reference is a manual movement
      problema(r.huerfanos, ref + ": " + std::to_string(filas.size()) + " movimientos sin documento guardado");
  for (const auto& [id, in] : intentos) {
    if (in.numero.empty()) continue;
    auto g = guardadoDe.find(id);
    if (g == guardadoDe.end() || g->second != in.numero)
      problema(r.perdidos, "la venta " + id + " se dio por guardada con el número " + in.numero + " y no está");
  }

  // Stock: the start minus what every stored movement took.
  std::map<std::string, double> salio;
  for (const auto& m : tablas["movinven.dbf"].filas) {
    const double q = num(m.at("CANTI_MI"));
    salio[m.at("CLPRO_MI")] += std::stoi(m.at("TIMOV_MI")) < 51 ? q : -q;
  }
  for (const auto& p : tablas["inventar.dbf"].filas) {
    const double esperado = o.existencia - salio[p.at("CLPRO_I")];
    if (std::fabs(num(p.at("EXIST_I")) - esperado) > 0.0005)
      problema(r.existencias, p.at("CLPRO_I") + ": existencia " + p.at("EXIST_I") + ", sus movimientos dan " +
                                  std::to_string(esperado));
  }
  for (const auto& c : tablas["cliente.dbf"].filas) {
    const double esperado = cargo[c.at("CLCLI_C")];
    if (std::fabs(num(c.at("SALDO_C")) - esperado) > 0.01)
      problema(r.saldos, c.at("CLCLI_C") + ": saldo " + c.at("SALDO_C") + ", sus facturas dan " + std::to_string(esperado));
  }
  return r;
}

TablaCruda leeTablaCruda(const std::string& dir, const std::string& nombre) {
  Cruda c = leeCruda(busca(dir, nombre));
  return {std::move(c.error), std::move(c.filas)};
}

}  // namespace mostrador::prueba
