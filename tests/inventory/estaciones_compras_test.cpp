// A receiving station and two selling stations on the same products, then the same with
// every station killed in the middle of its saves, round after round. Afterwards the
// files, read from their bytes, show every receipt whole or absent (header, lines,
// movements, payable), unique receipt numbers, the supplier owing exactly the receipts
// stored, every stock equal to its movements, and costs that follow each method.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <cmath>
#include <fstream>
#include <map>
#include <random>
#include <set>

#include "inventory/compras.h"
#include "base/rutas.h"
#include "store/dbf/dbf_table.h"
#include "support/empresa_ventas.h"
#include "support/entorno.h"
#include "support/estaciones.h"
#include "support/reloj_fijo.h"
#include "support/tienda_estaciones.h"
#include "prueba_compras.h"

namespace mostrador::prueba {
namespace {

std::string local(std::string_view d) { return base::resuelve(std::string(d)).string(); }

// Receipts of 1 to 5 lines at whole costs 1 to 9; the id goes in REFER_O. Logs
// "I|<id>|<lines>" before saving and "G|<id>|<number>" once saved.
int recibeEstacion(const EmpresaVentas& empresa, int estacion, int cuantas, uint64_t semilla,
                   const std::string& registro, const OpcionesTienda& o) {
  std::mt19937_64 azar(semilla);
  RelojFijo reloj{{{2025, 7, 14}, {10, 30, 0, 0}}};
  inventory::AjustesCompras a = inventory::ajustesComprasDe(empresa.lineas);
  for (int k = 0; k < cuantas; ++k) {
    reloj.pon({{2025, 7, 14}, {10, 30, k % 60, 0}});
    const std::string id = "R" + std::to_string(estacion) + "-" + std::to_string(k);
    inventory::DocumentoCompra d;
    d.tipo = inventory::TipoCompra::Recepcion;
    d.proveedor = "PR1";
    d.fecha = "14/07/2025";
    d.referencia = id;
    const int lineas = 1 + static_cast<int>(azar() % 5);
    for (int l = 0; l < lineas; ++l) {
      char clave[8];
      std::snprintf(clave, sizeof clave, "P%02d", 1 + static_cast<int>(azar() % static_cast<unsigned>(o.productos)));
      d.partidas.push_back(partida(clave, static_cast<double>(1 + azar() % 4), static_cast<double>(1 + azar() % 9)));
    }
    std::ofstream(registro, std::ios::app) << "I|" << id << "|" << lineas << "\n" << std::flush;
    const inventory::ResultadoCompra r = inventory::guardaCompra(a, d, reloj);
    if (r.hecho) std::ofstream(registro, std::ios::app) << "G|" << id << "|" << r.numero << "\n" << std::flush;
  }
  return 0;
}

struct Revision {
  std::vector<std::string> problemas;
  long guardadas = 0;
  long referencias = 0;  // movement references of receipts ("O<number>-<stamp>")
};

double n(const std::map<std::string, std::string>& f, const char* c) {
  const std::string& t = f.at(c);
  return t.empty() ? 0 : std::stod(t);
}

Revision revisaCompras(const std::vector<std::string>& registros) {
  Revision r;
  std::map<std::string, int> intento;
  std::set<std::string> confirmadas;
  for (const std::string& reg : registros) {
    std::ifstream f(reg);
    std::string l;
    while (std::getline(f, l)) {
      std::vector<std::string> c;
      size_t i = 0;
      for (size_t j; (j = l.find('|', i)) != std::string::npos; i = j + 1) c.push_back(l.substr(i, j - i));
      c.push_back(l.substr(i));
      if (c[0] == "I" && c.size() == 3) intento[c[1]] = std::stoi(c[2]);
      if (c[0] == "G" && c.size() == 3) confirmadas.insert(c[1]);
    }
  }
  const std::string datos = local(EmpresaVentas::kDatos);
  const TablaCruda enc = leeTablaCruda(datos, "ComprasE.dbf"), det = leeTablaCruda(datos, "ComprasD.dbf"),
                   movs = leeTablaCruda(datos, "movinven.dbf"), pagar = leeTablaCruda(datos, "cuepagar.dbf"),
                   prov = leeTablaCruda(datos, "proveedo.dbf"), prods = leeTablaCruda(datos, "inventar.dbf"),
                   capas = leeTablaCruda(datos, "Costeo.dbf");
  for (const TablaCruda* t : {&enc, &det, &movs, &pagar, &prov, &prods, &capas})
    if (!t->error.empty()) r.problemas.push_back(t->error);
  if (!r.problemas.empty()) return r;

  std::map<std::string, int> lineas;            // number|control -> lines
  std::map<std::string, std::set<double>> costos;  // product -> net costs received
  std::map<std::string, int> lineasProducto;
  for (const auto& f : det.filas) {
    ++lineas[f.at("CLDOC_OD") + "|" + f.at("CONTROL")];
    costos[f.at("CLPRO_OD")].insert(n(f, "CUNIT_OD"));
    ++lineasProducto[f.at("CLPRO_OD")];
  }
  std::map<std::string, int> movimientos;
  for (const auto& f : movs.filas)
    if (f.at("NUDOC_MI").starts_with("O")) ++movimientos[f.at("NUDOC_MI")];
  r.referencias = static_cast<long>(movimientos.size());
  std::map<std::string, double> deuda;
  for (const auto& f : pagar.filas) deuda[f.at("NUCOM_CP")] += n(f, "IMCUE_CP");
  std::set<std::string> numeros, ids;
  double total = 0;
  for (const auto& f : enc.filas) {
    const std::string numero = f.at("CLDOC_O"), id = f.at("REFER_O");
    if (f.at("CONTROL").empty()) continue;
    if (!numeros.insert(numero).second) r.problemas.push_back("recepción " + numero + " repetida");
    ids.insert(id);
    auto it = intento.find(id);
    if (it == intento.end()) {
      r.problemas.push_back(id + ": recepción que nadie tecleó");
      continue;
    }
    const int l = lineas[numero + "|" + f.at("CONTROL")];
    const int m = movimientos["O" + numero + "-" + f.at("CONTROL")];
    if (l != it->second || m != it->second)
      r.problemas.push_back(id + ": " + std::to_string(l) + " partidas y " + std::to_string(m) + " movimientos de " +
                            std::to_string(it->second));
    if (std::abs(deuda[numero] - n(f, "IMDOC_O")) > 0.00005) r.problemas.push_back(id + ": la cuenta por pagar no es el total");
    total += n(f, "IMDOC_O");
    ++r.guardadas;
  }
  for (const std::string& id : confirmadas)
    if (!ids.count(id)) r.problemas.push_back(id + ": se dio por guardada y no está");
  if (std::abs(n(prov.filas.at(0), "SALDO_P") - total) > 0.0005)
    r.problemas.push_back("el proveedor debe " + prov.filas.at(0).at("SALDO_P") + " y las recepciones suman " +
                          std::to_string(total));
  std::map<std::string, int> capasProducto;
  for (const auto& f : capas.filas) ++capasProducto[f.at("CLPRO_I")];
  for (const auto& p : prods.filas) {
    const std::string k = p.at("CLPRO_I");
    const double ultimo = n(p, "ULCOS_I");
    if (costos.count(k) && !costos[k].count(ultimo)) r.problemas.push_back(k + ": último costo que no se recibió");
    if (p.at("TICOS_I") == "PEPS") {
      if (capasProducto[k] != lineasProducto[k]) r.problemas.push_back(k + ": capas que no son sus partidas");
      if (costos.count(k) && std::abs(n(p, "CPROM_I") - ultimo) > 1e-6) r.problemas.push_back(k + ": PEPS con promedio");
    } else if (capasProducto[k]) {
      r.problemas.push_back(k + ": capas de un producto PROM");
    }
  }
  return r;
}

// The sales checker: sales whole, stock equal to all movements. It takes the receipts'
// movements for documents it does not know; those are the receipt checker's, which
// found each one with its receipt.
::testing::AssertionResult ventasSanas(const RevisionTienda& r, const Revision& c) {
  if (r.distintos || r.duplicados || r.perdidos || r.existencias || r.saldos || r.ilegibles ||
      r.huerfanos != c.referencias)
    return ::testing::AssertionFailure() << r.resumen() << "; referencias de recepciones " << c.referencias;
  return ::testing::AssertionSuccess();
}

struct EstacionesCompras : ::testing::Test {
  DirectorioTemporal dir;
  EmpresaVentas empresa;
  OpcionesTienda o;
  std::vector<std::string> sistemas;
  EstacionesCompras() {
    o.productos = 10;
    sistemas = preparaTienda(empresa, 2, o);
    proveedorCompras("PR1", "FERRETERA");
    for (int i = 1; i <= o.productos; i += 2) {
      char clave[8];
      std::snprintf(clave, sizeof clave, "P%02d", i);
      textoProducto(clave, "TICOS_I", "PEPS");
    }
  }
  std::string registro(const std::string& n) const { return (dir.ruta() / n).string(); }
  static void abreEmpresa() {
    dbf::Table t;
    t.open(std::string(EmpresaVentas::kDatos), "inventar.dbf");
  }
};

TEST_F(EstacionesCompras, UnaEstacionRecibeMientrasDosVenden) {
  const std::vector<std::string> ventas{registro("v1.log"), registro("v2.log")}, compras{registro("c1.log")};
  std::vector<pid_t> hijos;
  hijos.push_back(estacion([&] { return recibeEstacion(empresa, 1, 30, 7, compras[0], o); }));
  hijos.push_back(estacion([&] { return vendeEstacion(empresa, sistemas[0], 1, 25, 11, ventas[0], o); }));
  hijos.push_back(estacion([&] { return vendeEstacion(empresa, sistemas[1], 2, 25, 12, ventas[1], o); }));
  for (pid_t h : hijos) ASSERT_EQ(espera(h), 0);
  const Revision c = revisaCompras(compras);
  EXPECT_TRUE(c.problemas.empty()) << c.problemas.front();
  EXPECT_EQ(c.guardadas, 30);
  // Every product's stock against all of its movements, sales and receipts alike.
  const RevisionTienda r = revisaTienda(local(EmpresaVentas::kDatos), ventas, o);
  EXPECT_TRUE(ventasSanas(r, c));
  EXPECT_EQ(r.confirmados, 50);
}

TEST_F(EstacionesCompras, EstacionesMatadasAMitadDeGuardarNoDejanRecepcionesAMedias) {
  const std::vector<std::string> ventas{registro("v1.log"), registro("v2.log")}, compras{registro("c1.log")};
  std::mt19937 azar(3);
  int cortadas = 0;
  for (int ronda = 0; ronda < 6; ++ronda) {
    std::vector<pid_t> hijos;
    hijos.push_back(estacion([&, ronda] { return recibeEstacion(empresa, 100 + ronda, 1000, 5 * ronda + 1, compras[0], o); }));
    for (int e = 0; e < 2; ++e)
      hijos.push_back(estacion([&, e, ronda] {
        return vendeEstacion(empresa, sistemas[size_t(e)], (e + 1) * 100 + ronda, 1000, 13 * ronda + e, ventas[size_t(e)], o);
      }));
    usleep(200000 + azar() % 400000);
    for (pid_t h : hijos) kill(h, SIGKILL);
    for (pid_t h : hijos) cortadas += espera(h) == 100 + SIGKILL;
    abreEmpresa();
    const Revision c = revisaCompras(compras);
    ASSERT_TRUE(c.problemas.empty()) << "ronda " << ronda << ": " << c.problemas.front();
    const RevisionTienda r = revisaTienda(local(EmpresaVentas::kDatos), ventas, o);
    ASSERT_TRUE(ventasSanas(r, c)) << "ronda " << ronda;
  }
  EXPECT_EQ(cortadas, 18);
  EXPECT_GE(revisaCompras(compras).guardadas, 6);
}

}  // namespace
}  // namespace mostrador::prueba
