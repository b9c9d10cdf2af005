#include "accounts/reportes_clientes.h"

#include "base/rutas.h"

namespace mostrador::accounts {

const std::vector<ComandoReporteCliente>& reportesClientes() {
  static const std::vector<ComandoReporteCliente> r{
      {"ListadodeClientes1", "Listado de Clientes", false},
      {"ClienteyTelefono1", "Cliente y Teléfono", false},
      {"VentasPorCliente1", "Ventas por Cliente", true},
      {"Ventas1", "Cargos y Abonos", true},
      {"Saldos1", "Saldos", true},
      {"SaldosPorZona1", "Saldos por Zona", true},
  };
  return r;
}

namespace {

const ComandoReporteCliente* comando(std::string_view menu) {
  for (const auto& c : reportesClientes())
    if (menu == c.menu) return &c;
  return nullptr;
}

}  // namespace

std::optional<inventory::DefinicionReporte> listadoClientes(std::string_view menu, const std::string& dirDatos,
                                                            const std::string& tabla) {
  const ComandoReporteCliente* c = comando(menu);
  if (!c || c->resumen) return std::nullopt;
  const std::string origen = "\"" + base::une(dirDatos, tabla) + "\"";
  std::vector<std::string> l{std::string("$") + c->caption};
  if (menu == "ListadodeClientes1") {
    l.push_back("& Select CLCLI_C,NOMBR_C,TELEF_C,RFCXX_C,POBLA_C,CLCLI_C\xC2\xAB from " + origen);
  } else {
    l.push_back("& Select CLCLI_C,NOMBR_C,TELEF_C from " + origen);
  }
  l.push_back("?(CLCLI_C=CLCLI_C)\xC2\xBF");
  l.push_back("!CLCLI_C");
  if (menu == "ListadodeClientes1") {
    l.push_back("%c          c                  c               c                c");
    l.push_back("#CLIENTE    NOMBRE             TELEFONO        R.F.C.           POBLACION          ");
  } else {
    l.push_back("%c          c                  c");
    l.push_back("#CLIENTE    NOMBRE             TELEFONO       ");
  }
  l.push_back("@");
  std::string texto;
  for (const auto& x : l) texto += x + "\r";
  return inventory::DefinicionReporte{c->menu, c->caption, texto};
}

std::optional<ResumenClientes> resumenClientes(std::string_view menu) {
  const ComandoReporteCliente* c = comando(menu);
  if (!c || !c->resumen) return std::nullopt;
  ResumenClientes r;
  reports::DefinicionConcentrado& d = r.concentrado;
  d.tablas = {"cliente.dbf"};
  reports::ParametrosConcentrado& p = d.parametros;
  p.opcion = "D";
  std::string valor = "Total de Venta";
  // The name goes as the second key: the titles are key, second key and the values.
  p.segundaClave = "NOMBR_C";
  if (menu == "VentasPorCliente1") {
    p.clave = "CLCLI_C";
    p.columnas = {"SALDO_C", "COMPR_C", "", "", "", "", "", ""};
    d.titulos = {"Cliente", "Nombre", "Saldos", "Compras Totales", "", "", "", "", "", ""};
  } else if (menu == "Ventas1") {
    p.clave = "CLCLI_C";
    p.columnas = {"CARGO_C", "ABONO_C", "SALDO_C", "", "", "", "", ""};
    d.titulos = {"Cliente", "-Nombre", "Cargos", "Abonos", "Saldos", "", "", "", "", ""};
    valor = "Saldos";
    r.columnaGrafica = 3;
  } else if (menu == "Saldos1") {
    p.clave = "CLCLI_C";
    p.columnas = {"SALDO_C", "", "", "", "", "", "", ""};
    d.titulos = {"Cliente", "Nombre", "Saldos", "Compras Totales", "", "", "", "", "", ""};
  } else {
    p.clave = "ZONAX_C";
    p.columnas = {"SALDO_C", "", "", "", "", "", "", ""};
    d.titulos = {"Zona", "Nombre", "Saldo", "", "", "", "", "", "", ""};
    valor = "Saldos";
  }
  // Every column 20 wide.
  for (size_t i = 0; i < d.titulos.size(); ++i) d.anchos[i] = d.titulos[i].empty() ? 0 : 20;
  d.caption = std::string("Reporte de ") + c->caption;
  d.tituloGrafica = std::string("Gráfica ") + c->caption;
  d.eje1 = "Clave del Cliente";
  d.eje2 = valor;
  r.tituloListado = d.caption;
  return r;
}

}  // namespace mostrador::accounts
