// Payments and invoices on the same customers from several stations at once, and paying
// stations killed in the middle of their saves: afterwards the files, read from their
// bytes, show every customer's balance equal to what its invoices charged less what its
// credit entries took, every document's balance on its first entry equal to its entries,
// and no payment half written.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <cmath>
#include <map>
#include <random>
#include <sstream>

#include "accounts/cuentas.h"
#include "base/rutas.h"
#include "sales/captura.h"
#include "store/dbf/dbf_table.h"
#include "support/empresa_ventas.h"
#include "support/entorno.h"
#include "support/dialogos_venta_falsos.h"
#include "support/estaciones.h"
#include "support/interaccion_fake.h"
#include "support/reloj_fijo.h"
#include "support/tienda_estaciones.h"

namespace mostrador::prueba {
namespace {

using accounts::Cartera;

// Each customer owes six documents: two small ones, due first, that the payments soon
// settle (after which a payment to them is refused), and four that outlast every round.
constexpr int kDocumentosPorCliente = 6;
double cargo(int d) { return d == 1 ? 150 : d == 2 ? 400 : 50000; }
constexpr double kSaldoInicial = 150 + 400 + 4 * 50000;

std::string local() { return base::resuelve(std::string(EmpresaVentas::kDatos)).string(); }
double num(const std::string& s) { return s.empty() ? 0 : std::stod(s); }

// One station saving invoices through the capture engine as a clerk does: F9 on the
// invoice base, a customer, 1 to 8 lines, F10 (and F10 once more when refused). Each
// saved invoice raises its customer's balance.
int facturaEstacion(const EmpresaVentas& empresa, const std::string& sistema, int estacion, int cuantas,
                    uint64_t semilla, const OpcionesTienda& o) {
  std::mt19937_64 azar(semilla);
  base::RelojSistema reloj;
  InteraccionFalsa ui;
  DialogosVentaFalsos dlg;
  sales::CapturaVenta cap(sales::leeAjustes(sistema, empresa.lineas), ui, dlg, reloj);
  cap.abre();
  cap.abreTipo(sales::TipoVenta::Factura);
  for (int v = 1; v <= cuantas; ++v) {
    if (!cap.nuevo()) return 10;
    cap.campos().cliente = "C" + std::to_string(1 + azar() % static_cast<unsigned>(o.clientes));
    if (!cap.saleCliente()) return 11;
    cap.campos().direccion2 = std::to_string(estacion) + "-" + std::to_string(v);
    const int lineas = 1 + static_cast<int>(azar() % 8);
    for (int l = 0; l < lineas; ++l) {
      char clave[16];
      std::snprintf(clave, sizeof clave, "P%02d", 1 + static_cast<int>(azar() % static_cast<unsigned>(o.productos)));
      cap.agregaPartida();
      cap.ponCelda(sales::kCantidad, std::to_string(1 + azar() % 5));
      cap.entraColumna(sales::kClave);
      cap.ponCelda(sales::kClave, clave);
      cap.entraColumna(sales::kProducto);
    }
    if (!cap.guarda() && !cap.guarda()) return 12;
  }
  return 0;
}

// One station taking payments at the counter: a customer, an amount of 0.01 to 300.00,
// now and then to one document. Refusals for an amount above what is open, for nothing
// pending and for a record another station holds are the counter's daily business; any
// other refusal stops the station.
int cobraEstacion(int cuantos, uint64_t semilla, int clientes) {
  std::mt19937_64 azar(semilla);
  RelojFijo reloj{{{2025, 7, 14}, {10, 30, 0, 0}}};
  for (int k = 0; k < cuantos; ++k) {
    accounts::Abono a;
    const int c = 1 + static_cast<int>(azar() % static_cast<unsigned>(clientes));
    a.clave = "C" + std::to_string(c);
    a.importe = static_cast<double>(1 + azar() % 30000) / 100.0;
    a.fecha = {2025, 7, 14};
    if (azar() % 3 == 0)
      a.documento = std::to_string(9000 + c * 10 + 1 + static_cast<int>(azar() % kDocumentosPorCliente));
    const std::string m = accounts::abona(std::string(EmpresaVentas::kDatos), Cartera::Clientes, a, reloj);
    if (m.empty() || m.starts_with(accounts::kAbonoMayor) || m == accounts::kClienteSinPendientes ||
        m.starts_with("No se puede guardar: "))
      continue;
    std::fprintf(stderr, "abono rechazado: %s\n", m.c_str());
    return 20;
  }
  return 0;
}

struct Revision {
  std::vector<std::string> problemas;
  long abonos = 0, facturas = 0;
};

Revision revisa(int clientes) {
  Revision r;
  const TablaCruda clientesT = leeTablaCruda(local(), "cliente.dbf");
  const TablaCruda entradas = leeTablaCruda(local(), "cucobrar.dbf");
  const TablaCruda facturas = leeTablaCruda(local(), "facturae.dbf");
  for (const TablaCruda* t : {&clientesT, &entradas, &facturas})
    if (!t->error.empty()) r.problemas.push_back(t->error);
  if (!r.problemas.empty()) return r;

  // What the saved invoices charged, as the sales save posts it.
  std::map<std::string, double> cargado, abonado;
  for (const auto& h : facturas.filas) {
    if (h.at("CONTROL").empty() || h.at("DIRE2_F").empty()) continue;  // reserved, never saved
    const double s = num(h.at("SUBTO_F"));
    cargado[h.at("CLCLI_F")] += s + s * num(h.at("IMIM1_F")) * 0.01;
    ++r.facturas;
  }
  struct Doc {
    std::string clave;
    double primero = 0, suma = 0;
  };
  std::map<std::string, Doc> docs;
  for (const auto& f : entradas.filas) {
    auto [it, nuevo] = docs.try_emplace(f.at("NUFAC_CC"));
    if (nuevo) {
      it->second.clave = f.at("CLCLI_CC");
      it->second.primero = num(f.at("SALDO_CC"));
    }
    const double v = num(f.at("IMCUE_CC"));
    if (f.at("OPERA_CC") == "A") {
      it->second.suma -= v;
      abonado[f.at("CLCLI_CC")] += v;
      ++r.abonos;
      if (f.at("CLCLI_CC") != it->second.clave)
        r.problemas.push_back("documento " + it->first + ": abono de " + f.at("CLCLI_CC"));
    } else {
      it->second.suma += v;
    }
  }
  for (const auto& [n, d] : docs) {
    if (std::fabs(d.primero - d.suma) > 0.00005)
      r.problemas.push_back("documento " + n + ": saldo " + std::to_string(d.primero) + " en su primer asiento, " +
                            "sus asientos dan " + std::to_string(d.suma));
    if (d.suma < -0.005) r.problemas.push_back("documento " + n + ": pagado de más, saldo " + std::to_string(d.suma));
  }
  if (docs.size() != static_cast<size_t>(clientes * kDocumentosPorCliente))
    r.problemas.push_back(std::to_string(docs.size()) + " documentos en cucobrar.dbf");
  for (const auto& c : clientesT.filas) {
    const std::string k = c.at("CLCLI_C");
    const double inicial = k == "1" ? 0 : kSaldoInicial;
    const double esperado = inicial + cargado[k] - abonado[k];
    if (std::fabs(num(c.at("SALDO_C")) - esperado) > 0.0005)
      r.problemas.push_back(k + ": saldo " + c.at("SALDO_C") + ", sus facturas y abonos dan " + std::to_string(esperado));
    if (std::fabs(num(c.at("ABONO_C")) - abonado[k]) > 0.0005)
      r.problemas.push_back(k + ": abonos " + c.at("ABONO_C") + ", sus asientos dan " + std::to_string(abonado[k]));
  }
  return r;
}

struct EstacionesCuentas : ::testing::Test {
  DirectorioTemporal dir;
  EmpresaVentas empresa;
  OpcionesTienda o;
  std::vector<std::string> sistemas;
  EstacionesCuentas() {
    o.productos = 10;
    o.clientes = 4;
    sistemas = preparaTienda(empresa, 1, o);
    dbf::Table c, e;
    c.open(EmpresaVentas::kDatos, "cliente.dbf");
    c.setIndex("ICLACLI");
    e.open(EmpresaVentas::kDatos, "cucobrar.dbf");
    for (int k = 1; k <= o.clientes; ++k) {
      const std::string clave = "C" + std::to_string(k);
      EXPECT_TRUE(c.findKey({clave}));
      c.edit();
      c.setFloat("SALDO_C", kSaldoInicial);
      c.setFloat("ABONO_C", 0);
      c.post();
      for (int d = 1; d <= kDocumentosPorCliente; ++d) {
        e.append();
        e.setText("CLCLI_CC", clave);
        e.setText("NUFAC_CC", std::to_string(9000 + k * 10 + d));
        e.setText("NUREF_CC", std::to_string(9000 + k * 10 + d));
        e.setText("TIMOV_CC", "1");
        e.setText("OPERA_CC", "C");
        e.setFloat("IMCUE_CC", cargo(d));
        e.setFloat("SALDO_CC", cargo(d));
        e.setText("FEAPL_CC", "01/06/2025");
        e.setText("FEVEN_CC", std::to_string(10 + d) + "/06/2025");
        e.setText("CLVEN_CC", "V1");
        e.post();
      }
    }
  }
  static void abreEmpresa() {
    // The next station to open the company puts back what a killed save left.
    dbf::Table t;
    t.open(std::string(EmpresaVentas::kDatos), "cliente.dbf");
  }
};

TEST_F(EstacionesCuentas, AbonosYFacturasALaVezSobreLosMismosClientes) {
  std::vector<pid_t> hijos;
  hijos.push_back(estacion([&] { return facturaEstacion(empresa, sistemas[0], 1, 25, 11, o); }));
  hijos.push_back(estacion([&] { return cobraEstacion(40, 21, o.clientes); }));
  hijos.push_back(estacion([&] { return cobraEstacion(40, 22, o.clientes); }));
  for (pid_t h : hijos) ASSERT_EQ(espera(h), 0);
  const Revision r = revisa(o.clientes);
  ASSERT_TRUE(r.problemas.empty()) << r.problemas.front();
  EXPECT_EQ(r.facturas, 25);
  EXPECT_GE(r.abonos, 40);
}

TEST_F(EstacionesCuentas, EstacionesMatadasAMitadDeCobrarNoDejanAbonosAMedias) {
  // Many short rounds: a payment's writes are a small part of it, so it takes many
  // kills for some to land between its first write and its last.
  constexpr int kRondas = 24;
  std::mt19937 azar(7);
  int cortadas = 0;
  long abonos = 0;
  for (int ronda = 0; ronda < kRondas; ++ronda) {
    std::vector<pid_t> hijos;
    hijos.push_back(
        estacion([&, ronda] { return facturaEstacion(empresa, sistemas[0], 100 + ronda, 1000, 31 * ronda + 1, o); }));
    for (int e = 1; e <= 2; ++e)
      hijos.push_back(estacion([&, e, ronda] { return cobraEstacion(1000, 17 * ronda + e, o.clientes); }));
    usleep(30000 + azar() % 200000);
    for (pid_t h : hijos) kill(h, SIGKILL);
    for (pid_t h : hijos) cortadas += espera(h) == 100 + SIGKILL;
    abreEmpresa();
    const Revision r = revisa(o.clientes);
    ASSERT_TRUE(r.problemas.empty()) << "ronda " << ronda << ": " << r.problemas.front();
    abonos = r.abonos;
  }
  EXPECT_EQ(cortadas, 3 * kRondas);
  EXPECT_GE(abonos, 8);
}

}  // namespace
}  // namespace mostrador::prueba
