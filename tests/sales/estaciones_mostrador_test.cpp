// Four counter stations (processes) ringing up sales on one company at once, one of them
// killed again and again in the middle of its saves: every sale is stored whole or not at
// all, no two documents share a number, and the stock of every product equals what its
// movements took, counting the changes left pending for records another station held.
//
// MOSTRADOR_VENTAS_MOSTRADOR sets the sales per station (250 for the full run; the default
// keeps the suite quick).

#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <iostream>
#include <map>
#include <random>
#include <set>

#include "base/numeros.h"
#include "base/reloj.h"
#include "base/rutas.h"
#include "reports/reporte_sql.h"
#include "sales/mostrador_venta.h"
#include "sales/reportes_venta.h"
#include "store/dbf/dbf_table.h"
#include "store/numeracion.h"
#include "support/dialogos_venta_falsos.h"
#include "support/empresa_ventas.h"
#include "support/entorno.h"
#include "support/estaciones.h"
#include "support/interaccion_fake.h"
#include "support/procesos_falsos.h"
#include "support/tienda_estaciones.h"

namespace mostrador::prueba {
namespace {

std::string datosLocal() { return base::resuelve(std::string(EmpresaVentas::kDatos)).string(); }

int ventasPorEstacion() {
  const char* v = std::getenv("MOSTRADOR_VENTAS_MOSTRADOR");
  const int n = v ? std::atoi(v) : 0;
  return n > 0 ? n : 25;
}

void anota(const std::string& registro, const std::string& linea) {
  const int fd = ::open(registro.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return;
  const std::string l = linea + "\n";
  (void)!::write(fd, l.data(), l.size());
  ::close(fd);
}

std::string clave(int n) {
  char b[8];
  std::snprintf(b, sizeof b, "P%02d", n);
  return b;
}

// One counter station, logging as the shop checker reads it: "I|<sale>|<type>|<customer>|
// <key>:<qty>,..." before F10, "G|<sale>|<number>" once saved, "X|<sale>" when refused.
int vendeMostrador(const EmpresaVentas& empresa, const std::string& sistema, int estacion, int ventas,
                   uint64_t semilla, const std::string& registro, const OpcionesTienda& o) {
  std::mt19937_64 azar(semilla);
  base::RelojSistema reloj;
  InteraccionFalsa ui;
  DialogosVentaFalsos dlg;
  ProcesosFalsos procesos;
  base::TablaProgramas programas([](std::string_view) { return false; }, "mostrador");
  sales::CapturaVenta cap(sales::leeAjustes(sistema, empresa.lineas), ui, dlg, reloj);
  cap.abre();
  sales::MostradorVenta mostrador(cap, procesos, programas, sistema);
  mostrador.alMostrar();
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
    const int lineas = 1 + static_cast<int>(azar() % 12);
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
    if (!mostrador.efectivo("100000")) return 12;
    anota(registro, "I|" + id + "|" + (factura ? "F" : "R") + "|" + cliente + "|" + tecleado);
    const bool guardado = cap.guarda() || cap.guarda();
    anota(registro, guardado ? "G|" + id + "|" + cap.campos().numero : "X|" + id);
  }
  return 0;
}

double numero(const std::map<std::string, std::string>& fila, const char* campo) {
  auto it = fila.find(campo);
  return it == fila.end() || it->second.empty() ? 0 : std::stod(it->second);
}

TEST(EstacionesMostrador, CuatroCajasUnaMatadaUnaYOtraVezNumerosDistintosYExistenciasCuadradas) {
  DirectorioTemporal dir;
  EmpresaVentas empresa;
  OpcionesTienda o;
  const auto sistemas = preparaTienda(empresa, 4, o);
  store::creaContadores(EmpresaVentas::kDatos);
  const int ventas = ventasPorEstacion();
  std::vector<std::string> registros;
  for (int e = 1; e <= 4; ++e) registros.push_back((dir.ruta() / ("caja" + std::to_string(e) + ".log")).string());

  std::vector<pid_t> vivas;
  for (int e = 1; e <= 3; ++e)
    vivas.push_back(estacion([&, e] {
      return vendeMostrador(empresa, sistemas[size_t(e - 1)], e, ventas, 500 + e, registros[size_t(e - 1)], o);
    }));
  // The fourth till is killed in the middle of its work, round after round, for as long
  // as the other three sell.
  std::mt19937 azar(11);
  int matadas = 0;
  std::vector<int> finales(vivas.size(), -1);
  auto quedan = [&] {
    bool alguna = false;
    for (size_t i = 0; i < vivas.size(); ++i) {
      if (finales[i] >= 0) continue;
      int st = 0;
      if (::waitpid(vivas[i], &st, WNOHANG) == vivas[i])
        finales[i] = WIFEXITED(st) ? WEXITSTATUS(st) : 100 + WTERMSIG(st);
      else
        alguna = true;
    }
    return alguna;
  };
  for (int ronda = 0; quedan(); ++ronda) {
    const pid_t cuarta = estacion([&, ronda] {
      return vendeMostrador(empresa, sistemas[3], 400 + ronda, 100000, 900 + ronda, registros[3], o);
    });
    usleep(150000 + azar() % 350000);
    kill(cuarta, SIGKILL);
    matadas += espera(cuarta) == 100 + SIGKILL;
  }
  EXPECT_EQ(finales, std::vector<int>(vivas.size(), 0));
  EXPECT_GE(matadas, 1);
  std::cout << matadas << " estaciones matadas a media venta\n";
  // Whoever opens the company next puts back what a killed save left.
  {
    dbf::Table t;
    t.open(std::string(EmpresaVentas::kDatos), "inventar.dbf");
  }

  const RevisionTienda r = revisaTienda(datosLocal(), registros, o);
  EXPECT_EQ(r.ilegibles, 0) << r.resumen();
  EXPECT_EQ(r.huerfanos, 0) << r.resumen();
  EXPECT_EQ(r.duplicados, 0) << r.resumen();
  EXPECT_EQ(r.perdidos, 0) << r.resumen();
  EXPECT_EQ(r.saldos, 0) << r.resumen();
  EXPECT_GE(r.confirmados, 3L * ventas) << r.resumen();
  std::cout << r.resumen() << "\n";

  // Numbers: one document per number in each header table, the counter's records at
  // least as many as the numbers used.
  for (const char* tabla : {"Remision.dbf", "facturae.dbf"}) {
    const TablaCruda t = leeTablaCruda(datosLocal(), tabla);
    ASSERT_TRUE(t.error.empty()) << t.error;
    std::set<std::string> numeros;
    for (const auto& f : t.filas) EXPECT_TRUE(numeros.insert(f.at("CLDOC_F")).second) << tabla << " " << f.at("CLDOC_F");
  }

  // Stock: what each product had, less what its movements took, is what it holds plus
  // what is pending for it.
  std::map<std::string, double> movido, pendiente;
  const TablaCruda movs = leeTablaCruda(datosLocal(), "movinven.dbf");
  ASSERT_TRUE(movs.error.empty()) << movs.error;
  for (const auto& m : movs.filas) movido[m.at("CLPRO_MI")] += numero(m, "CANTI_MI");
  const TablaCruda pend = leeTablaCruda(datosLocal(), "Existe.dbf");
  for (const auto& p : pend.filas) pendiente[p.at("CLAVE")] += numero(p, "CANTI");
  const TablaCruda prods = leeTablaCruda(datosLocal(), "inventar.dbf");
  ASSERT_TRUE(prods.error.empty()) << prods.error;
  int revisados = 0;
  for (const auto& p : prods.filas) {
    const std::string k = p.at("CLPRO_I");
    EXPECT_NEAR(numero(p, "EXIST_I") + pendiente[k], o.existencia - movido[k], 0.0005) << k;
    ++revisados;
  }
  EXPECT_EQ(revisados, o.productos);

  // The day's Z cut adds up the tickets stored whole: the notes, and the invoices made
  // directly (none of them from a note here).
  auto suma = [](const TablaCruda& t) {
    double s = 0;
    for (const auto& f : t.filas)
      if (f.at("STATU_F") != "C") s += numero(f, "IMTOD_F");
    return base::redondea(s, 2);
  };
  const double notas = suma(leeTablaCruda(datosLocal(), "Remision.dbf"));
  const double facturas = suma(leeTablaCruda(datosLocal(), "facturae.dbf"));
  ASSERT_GT(notas, 0);
  struct DelDia : reports::DialogoFiltro {
    bool pide(reports::FiltroReporte& f) override {
      f.inicial = f.final_ = base::RelojSistema().ahora().fecha;
      return true;
    }
  } dia;
  InteraccionFalsa ui;
  base::RelojSistema reloj;
  sales::ContextoVenta ctx{store::documento(store::Documento::Remision), std::string(EmpresaVentas::kDatos), reloj};
  const auto def = sales::definicionReporteVenta("CorteZ1", ctx);
  ASSERT_TRUE(def);
  reports::ContextoReporte c{sistemas[0], std::string(EmpresaVentas::kDatos), ui, &dia, &reloj};
  reports::ParametrosReporte p;
  p.definicion = def->texto;
  p.tabla = def->tabla;
  p.tipo = def->tipo;
  auto corte = reports::EjecutaReporte(c, "Corte Z", def->campoDocumento, def->campoFecha, p);
  ASSERT_TRUE(corte);
  auto importe = [&](std::string_view etiqueta) {
    for (const std::string& l : corte->hoja().textos())
      if (l.rfind(etiqueta, 0) == 0) {
        std::string n;
        for (char ch : l.substr(etiqueta.size()))
          if (ch != ',' && ch != ' ' && ch != '$') n += ch;
        return std::stod(n);
      }
    ADD_FAILURE() << "sin " << etiqueta;
    return -1.0;
  };
  EXPECT_NEAR(importe("Total de Remisiones         "), notas, 0.005);
  EXPECT_NEAR(importe("Total de Directas           "), facturas, 0.005);
}

}  // namespace
}  // namespace mostrador::prueba
