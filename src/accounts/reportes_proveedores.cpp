#include "accounts/reportes_proveedores.h"

#include "base/rutas.h"
#include "store/estados.h"

namespace mostrador::accounts {

const std::vector<ComandoReporteProveedor>& reportesProveedores() {
  static const std::vector<ComandoReporteProveedor> r{
      {"ListadodeProveedores1", "Listado de Proveedores"},
      {"Saldos1", "Saldos de Proveedores"},
      {"CargosAbonosSaldo1", "Cargos, Abonos y Saldo de Proveedores"},
  };
  return r;
}

const std::vector<ComandoReporteProveedor>& reportesCuentasPorPagar() {
  static const std::vector<ComandoReporteProveedor> r{
      {"DocumentosconSaldo1", "Documentos con Saldo"},
      {"PorDocumento1", "Documentos con Saldo por Documento"},
      {"PorProveedor1", "Documentos con Saldo por Proveedor"},
      {"DocumentosPagados1", "Documentos Pagados"},
      {"DocumentosVencidos1", "Documentos Vencidos"},
      {"VencimientosporPeriodo1", "Vencimientos por Periodo"},
      {"GeneraldeDocumentos1", "General de Documentos"},
      {"GeneralporPerido1", "General por Periodo"},
      {"ProvedoresconSaldo1", "Proveedores con Saldo"},
      {"TodoslosProveedores1", "Todos los Proveedores"},
  };
  return r;
}

namespace {

const ComandoReporteProveedor* busca(const std::vector<ComandoReporteProveedor>& v, std::string_view menu) {
  for (const auto& c : v)
    if (menu == c.menu) return &c;
  return nullptr;
}

std::string une(const std::vector<std::string>& l) {
  std::string texto;
  for (const auto& x : l) texto += x + "\r";
  return texto;
}

std::string origen(const std::string& dirDatos, const char* tabla) {
  return "\"" + base::une(dirDatos, tabla) + "\"";
}

std::string fecha(const base::Fecha& f) { return "\"" + base::fechaSql(f) + "\""; }

}  // namespace

std::optional<inventory::DefinicionReporte> listadoProveedores(std::string_view menu, const std::string& dirDatos) {
  if (menu != "ListadodeProveedores1") return std::nullopt;
  const ComandoReporteProveedor* c = busca(reportesProveedores(), menu);
  return inventory::DefinicionReporte{
      c->menu, c->caption,
      une({std::string("$") + c->caption,
           "& Select CLAVE_P,NOMBR_P,TELEF_P,RFCXX_P,POBLA_P\xC2\xAB from " + origen(dirDatos, "proveedo.dbf"),
           "?(CLAVE_P=CLAVE_P)\xC2\xBF", "!CLAVE_P", "%c          c                  c               c                c",
           "#CLIENTE    NOMBRE             TELEFONO        R.F.C.           POBLACION          ", "@"})};
}

std::optional<ResumenProveedores> resumenProveedores(std::string_view menu) {
  if (menu != "Saldos1" && menu != "CargosAbonosSaldo1") return std::nullopt;
  const ComandoReporteProveedor* c = busca(reportesProveedores(), menu);
  ResumenProveedores r;
  reports::DefinicionConcentrado& d = r.concentrado;
  d.tablas = {"proveedo.dbf"};
  reports::ParametrosConcentrado& p = d.parametros;
  p.opcion = "D";
  p.clave = "CLAVE_P";
  p.segundaClave = "NOMBR_P";
  if (menu == "Saldos1") {
    p.columnas = {"SALDO_P", "", "", "", "", "", "", ""};
    d.titulos = {"Proveedor", "Nombre", "Saldos", "", "", "", "", "", "", ""};
  } else {
    p.columnas = {"CARGO_P", "ABONO_P", "SALDO_P", "", "", "", "", ""};
    d.titulos = {"Proveedor", "Nombre", "Cargos", "Abonos", "Saldos", "", "", "", "", ""};
    r.columnaGrafica = 3;
  }
  for (size_t i = 0; i < d.titulos.size(); ++i) d.anchos[i] = d.titulos[i].empty() ? 0 : 20;
  d.caption = std::string("Reporte de ") + c->caption;
  d.tituloGrafica = std::string("Gráfica de ") + c->caption;
  d.eje1 = "Clave del Proveedor";
  d.eje2 = "Saldos";
  r.tituloListado = d.caption;
  return r;
}

std::optional<inventory::DefinicionReporte> reporteCuentasPorPagar(std::string_view menu, const std::string& dirDatos,
                                                                   const PeriodoReporte& periodo) {
  const ComandoReporteProveedor* c = busca(reportesCuentasPorPagar(), menu);
  if (!c) return std::nullopt;
  const std::string vivo = store::condicionNoCancelado("STDOC_O");
  std::vector<std::string> l{std::string("$") + c->caption};
  if (menu == "ProvedoresconSaldo1" || menu == "TodoslosProveedores1") {
    l.push_back("& Select CLAVE_P,NOMBR_P,CARGO_P,ABONO_P,SALDO_P from " + origen(dirDatos, "proveedo.dbf"));
    // "All" lists every supplier, those without a balance too.
    l.push_back(menu == "ProvedoresconSaldo1" ? "?(SALDO_P>0.01) \xC2\xBF" : "?(CLAVE_P=CLAVE_P) \xC2\xBF");
    l.push_back("!CLAVE_P");
    l.push_back("%c          c                    t            t            t");
    l.push_back("#PROVEEDOR  NOMBRE                     CARGOS       ABONOS        SALDO ");
    l.push_back("@");
  } else {
    std::string columnas = "CLPRV_O,NOMBR_O,CLDOC_O,IMDOC_O,IMDOC_O-SALDO_O,SALDO_O,FEDOC_O,FEPAG_O,REFER_O";
    std::string filtro;
    std::string codigos = "%c          c                    e       t            t            t            c          c          c";
    std::string titulos =
        "#PROVEEDOR  NOMBRE               DOCUMENTO    IMPORTE      ABONOS        SALDO FECHA      VENCE      "
        "REFERENCIA          ";
    if (menu == "DocumentosPagados1") {
      filtro = "(SALDO_O<0.1 AND " + vivo + ")";
    } else if (menu == "GeneraldeDocumentos1") {
      filtro = "(" + vivo + ")";
    } else if (menu == "GeneralporPerido1") {
      filtro = "(" + vivo + " AND FEDOC_O>=" + fecha(periodo.desde) + " AND FEDOC_O<=" + fecha(periodo.hasta) + ")";
    } else {
      filtro = "(SALDO_O>0.1 AND " + vivo + ")";
      if (menu == "DocumentosVencidos1") {
        filtro = "(SALDO_O>0.1 AND " + vivo + " AND FEPAG_O<=" + fecha(periodo.fecha) + ")";
        columnas += ",(" + fecha(periodo.fecha) + "-FEPAG_O) AS DIAS_VENCIDOS";
        codigos += "          e";
        titulos += "DIAS_VENCIDOS ";
      } else if (menu == "VencimientosporPeriodo1") {
        filtro = "(SALDO_O>0.1 AND " + vivo + " AND FEPAG_O>=" + fecha(periodo.desde) + " AND FEPAG_O<=" +
                 fecha(periodo.hasta) + ")";
      }
    }
    l.push_back("& Select " + columnas + " from " + origen(dirDatos, "ComprasE.dbf"));
    l.push_back("?" + filtro + " \xC2\xBF");
    l.push_back(menu == "PorProveedor1" ? "!CLPRV_O,CLDOC_O" : "!CLDOC_O");
    if (menu == "PorProveedor1") l.push_back(">CLPRV_O");
    l.push_back(codigos);
    l.push_back(titulos);
    l.push_back("@");
  }
  return inventory::DefinicionReporte{c->menu, c->caption, une(l)};
}

}  // namespace mostrador::accounts
