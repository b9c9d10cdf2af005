// Movements and sales on the same products from several stations at once, stations
// killed in the middle of their saves, and transfers to a branch: afterwards the files,
// read from their bytes, show every movement whole or absent, a transfer on both sides
// or neither, and every product's stock equal to the sum of its movements.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <fstream>
#include <map>
#include <random>
#include <set>

#include "inventory/movimientos.h"
#include "base/rutas.h"
#include "session/empresa_nueva.h"
#include "store/dbf/dbf_table.h"
#include "support/empresa_ventas.h"
#include "support/entorno.h"
#include "support/estaciones.h"
#include "support/reloj_fijo.h"
#include "support/tienda_estaciones.h"

namespace mostrador::prueba {
namespace {

constexpr std::string_view kSucursal = "C:\\sucursal";
constexpr int kTraspaso = 30;

std::string local(std::string_view d) { return base::resuelve(std::string(d)).string(); }

// One station typing manual movements: entries, exits and transfers of 1 to 6 lines. It
// logs "I|<id>|<lines>|<type>" before saving and "G|<id>|<number>" once saved; the id goes
// in the reference of every line, on both sides of a transfer.
int mueveEstacion(const EmpresaVentas& empresa, int estacion, int cuantos, uint64_t semilla,
                  const std::string& registro, const OpcionesTienda& o) {
  std::mt19937_64 azar(semilla);
  RelojFijo reloj{{{2025, 7, 14}, {10, 30, 0, 0}}};
  inventory::AjustesMovimientos a = inventory::ajustesDe(empresa.lineas);
  for (int k = 0; k < cuantos; ++k) {
    inventory::DocumentoMovimiento d;
    const int tipos[] = {53, 4, kTraspaso};
    d.tipo = tipos[azar() % 3];
    d.fecha = "14/07/2025";
    const std::string id = "M" + std::to_string(estacion) + "-" + std::to_string(k);
    d.referencia = id;
    const int lineas = 1 + static_cast<int>(azar() % 6);
    for (int l = 0; l < lineas; ++l) {
      char clave[8];
      std::snprintf(clave, sizeof clave, "P%02d", 1 + static_cast<int>(azar() % static_cast<unsigned>(o.productos)));
      d.lineas.push_back({clave, static_cast<double>(1 + azar() % 4), 2, 0, {}, {}});
    }
    std::ofstream(registro, std::ios::app) << "I|" << id << "|" << lineas << "|" << d.tipo << "\n" << std::flush;
    const inventory::ResultadoMovimiento r = inventory::guardaMovimiento(a, d, reloj);
    if (r.guardado) std::ofstream(registro, std::ios::app) << "G|" << id << "|" << r.numero << "\n" << std::flush;
  }
  return 0;
}

struct Revision {
  std::vector<std::string> problemas;
  long guardados = 0, traspasos = 0;
};

Revision revisaMovimientos(const std::vector<std::string>& registros) {
  Revision r;
  std::map<std::string, std::pair<int, int>> intento;  // id -> lines, type
  std::set<std::string> confirmados;
  for (const std::string& reg : registros) {
    std::ifstream f(reg);
    std::string l;
    while (std::getline(f, l)) {
      std::vector<std::string> c;
      size_t i = 0;
      for (size_t j; (j = l.find('|', i)) != std::string::npos; i = j + 1) c.push_back(l.substr(i, j - i));
      c.push_back(l.substr(i));
      if (c[0] == "I" && c.size() == 4) intento[c[1]] = {std::stoi(c[2]), std::stoi(c[3])};
      if (c[0] == "G" && c.size() == 3) confirmados.insert(c[1]);
    }
  }
  const TablaCruda origen = leeTablaCruda(local(EmpresaVentas::kDatos), "movinven.dbf");
  const TablaCruda destino = leeTablaCruda(local(kSucursal), "movinven.dbf");
  const TablaCruda productos = leeTablaCruda(local(kSucursal), "inventar.dbf");
  for (const TablaCruda* t : {&origen, &destino, &productos})
    if (!t->error.empty()) r.problemas.push_back(t->error);
  if (!r.problemas.empty()) return r;
  std::map<std::string, int> enOrigen, enDestino;
  std::map<std::string, std::set<std::string>> numeros;
  for (const auto& f : origen.filas)
    if (f.at("REFMO_MI").starts_with("M")) {
      ++enOrigen[f.at("REFMO_MI")];
      numeros[f.at("REFMO_MI")].insert(f.at("CLDOC_MI"));
    }
  std::map<std::string, double> entro;
  for (const auto& f : destino.filas) {
    ++enDestino[f.at("REFMO_MI")];
    const double q = std::stod(f.at("CANTI_MI"));
    entro[f.at("CLPRO_MI")] += std::stoi(f.at("TIMOV_MI")) > 50 ? q : -q;
  }
  for (const auto& [id, n] : enOrigen) {
    auto it = intento.find(id);
    if (it == intento.end()) {
      r.problemas.push_back(id + ": movimiento que nadie tecleó");
      continue;
    }
    if (n != it->second.first)
      r.problemas.push_back(id + ": " + std::to_string(n) + " de " + std::to_string(it->second.first) + " partidas");
    if (numeros[id].size() != 1) r.problemas.push_back(id + ": partidas con números distintos");
    const bool traspaso = it->second.second == kTraspaso;
    if (traspaso && enDestino[id] != n)
      r.problemas.push_back(id + ": " + std::to_string(n) + " partidas salieron y " + std::to_string(enDestino[id]) +
                            " entraron");
    ++r.guardados;
    r.traspasos += traspaso;
  }
  for (const auto& [id, n] : enDestino)
    if (!enOrigen.count(id)) r.problemas.push_back(id + ": entró en la sucursal sin salir del origen");
  for (const std::string& id : confirmados)
    if (!enOrigen.count(id)) r.problemas.push_back(id + ": se dio por guardado y no está");
  for (const auto& p : productos.filas) {
    const double e = std::stod(p.at("EXIST_I"));
    if (std::abs(e - entro[p.at("CLPRO_I")]) > 0.0005)
      r.problemas.push_back("sucursal " + p.at("CLPRO_I") + ": existencia " + p.at("EXIST_I") + ", sus movimientos dan " +
                            std::to_string(entro[p.at("CLPRO_I")]));
  }
  return r;
}

struct EstacionesMovimientos : ::testing::Test {
  DirectorioTemporal dir;
  EmpresaVentas empresa;
  OpcionesTienda o;
  std::vector<std::string> sistemas;
  EstacionesMovimientos() {
    o.productos = 12;  // few products: the stations meet on them
    sistemas = preparaTienda(empresa, 2, o);
    session::creaDirectorioDatos(std::string(kSucursal));
    dbf::Table t;
    t.open(EmpresaVentas::kDatos, "CoMovInv.dbf");
    t.append();
    t.setInteger("NUCON_CM", kTraspaso);
    t.setText("DECON_CM", "Traspaso a sucursal");
    t.setText("TIPOX_CM", "T");
    t.setText("ALMAC_CM", std::string(kSucursal));
    t.post();
  }
  std::string registro(const std::string& n) const { return (dir.ruta() / n).string(); }
  static void abreEmpresas() {
    // The next station to open a company puts back what a killed save left.
    for (std::string_view d : {EmpresaVentas::kDatos, kSucursal}) {
      dbf::Table t;
      t.open(std::string(d), "inventar.dbf");
    }
  }
};

TEST_F(EstacionesMovimientos, MovimientosYVentasALaVezSobreLosMismosProductos) {
  const std::vector<std::string> ventas{registro("v1.log")}, movs{registro("m1.log"), registro("m2.log")};
  std::vector<pid_t> hijos;
  hijos.push_back(estacion([&] { return vendeEstacion(empresa, sistemas[0], 1, 40, 11, ventas[0], o); }));
  hijos.push_back(estacion([&] { return mueveEstacion(empresa, 1, 40, 21, movs[0], o); }));
  hijos.push_back(estacion([&] { return mueveEstacion(empresa, 2, 40, 22, movs[1], o); }));
  for (pid_t h : hijos) ASSERT_EQ(espera(h), 0);
  const Revision m = revisaMovimientos(movs);
  EXPECT_TRUE(m.problemas.empty()) << m.problemas.front();
  EXPECT_EQ(m.guardados, 80);
  EXPECT_GT(m.traspasos, 0);
  // The sales checker sums every movement, manual ones included, against each stock.
  const RevisionTienda r = revisaTienda(local(EmpresaVentas::kDatos), ventas, o);
  EXPECT_TRUE(r.sana()) << r.resumen();
  EXPECT_EQ(r.confirmados, 40);
}

TEST_F(EstacionesMovimientos, EstacionesMatadasAMitadDeGuardarNoDejanNadaAMedias) {
  std::vector<std::string> ventas{registro("v1.log")}, movs{registro("m1.log"), registro("m2.log")};
  std::mt19937 azar(5);
  int cortadas = 0;
  for (int ronda = 0; ronda < 8; ++ronda) {
    std::vector<pid_t> hijos;
    hijos.push_back(estacion([&, ronda] {
      return vendeEstacion(empresa, sistemas[0], 100 + ronda, 1000, 31 * ronda + 1, ventas[0], o);
    }));
    for (int e = 1; e <= 2; ++e)
      hijos.push_back(estacion([&, e, ronda] {
        return mueveEstacion(empresa, e * 100 + ronda, 1000, 17 * ronda + e, movs[size_t(e - 1)], o);
      }));
    usleep(150000 + azar() % 400000);
    for (pid_t h : hijos) kill(h, SIGKILL);
    for (pid_t h : hijos) cortadas += espera(h) == 100 + SIGKILL;
    abreEmpresas();
    const Revision m = revisaMovimientos(movs);
    ASSERT_TRUE(m.problemas.empty()) << "ronda " << ronda << ": " << m.problemas.front();
    const RevisionTienda r = revisaTienda(local(EmpresaVentas::kDatos), ventas, o);
    ASSERT_TRUE(r.sana()) << "ronda " << ronda << ": " << r.resumen();
  }
  EXPECT_EQ(cortadas, 24);
  const Revision m = revisaMovimientos(movs);
  EXPECT_GE(m.guardados, 8);
}

}  // namespace
}  // namespace mostrador::prueba
