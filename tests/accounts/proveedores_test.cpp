// Suppliers and payables on real tables: the proposed key, the key checks, deleting with
// a balance, the movements of one payable with the balance kept on its first entry, the
// inquiry's filters and the supplier totals written only from every live receipt, the
// supplier contacts and the report definitions.

#include <gtest/gtest.h>

#include "accounts/complementos_cliente.h"
#include "accounts/cuentas.h"
#include "accounts/proveedores.h"
#include "accounts/reportes_proveedores.h"
#include "base/rutas.h"
#include "store/dbf/dbf_table.h"
#include "support/empresa_ventas.h"
#include "support/entorno.h"
#include "support/interaccion_fake.h"
#include "support/reloj_fijo.h"

namespace mostrador::prueba {
namespace {

using accounts::CatalogoProveedores;
using accounts::FiltroConsulta;
using accounts::ModoCatalogo;
using base::RespuestaAdvertencia;
using base::RespuestaCerrar;
using V = std::vector<std::string>;

const std::string kDatos(EmpresaVentas::kDatos);

struct Proveedores : ::testing::Test {
  DirectorioTemporal dir;
  EmpresaVentas empresa;
  InteraccionFalsa ui;
  RelojFijo reloj{{{2025, 3, 15}, {10, 0, 0, 0}}};
  std::unique_ptr<CatalogoProveedores> cat;

  void abre() {
    auto a = accounts::AjustesProveedores::de(empresa.lineas, std::string(EmpresaVentas::kSistema), "0");
    cat = std::make_unique<CatalogoProveedores>(a, ui, reloj, [](int) { return true; });
    ASSERT_TRUE(cat->abre());
  }
  void proveedor(const std::string& clave, const std::string& nombre, double saldo = 0) {
    dbf::Table t;
    t.open(kDatos, "proveedo.dbf");
    t.append();
    t.setText("CLAVE_P", clave);
    t.setText("NOMBR_P", nombre);
    t.setFloat("SALDO_P", saldo);
    t.post();
  }
  void pagar(const std::string& prov, long compra, int tipo, const char* concepto, const char* op, double importe,
             const std::string& aplicado, const std::string& vence = "") {
    dbf::Table t;
    t.open(kDatos, "cuepagar.dbf");
    t.append();
    t.setText("NUDOC_CP", "FAC-" + std::to_string(compra));
    t.setInteger("NUCOM_CP", compra);
    t.setText("CLCLI_CP", prov);
    t.setText("CLPRO_CP", prov);
    t.setText("NOMBR_CP", "Proveedor " + prov);
    t.setInteger("TIMOV_CP", tipo);
    t.setText("CONCE_CP", concepto);
    t.setText("OPERA_CP", op);
    t.setFloat("IMCUE_CP", importe);
    t.setFloat("SALDO_CP", 0);
    t.setText("FEAPL_CP", aplicado);
    t.setText("FEVEN_CP", vence);
    t.post();
  }
  void compra(long numero, const std::string& prov, double total, double saldo, const char* estado = "",
              const char* moneda = "") {
    dbf::Table t;
    t.open(kDatos, "ComprasE.dbf");
    t.append();
    t.setInteger("CLDOC_O", numero);
    t.setText("CLPRV_O", prov);
    t.setFloat("IMDOC_O", total);
    t.setFloat("ABONO_O", total - saldo);
    t.setFloat("SALDO_O", saldo);
    t.setText("STDOC_O", estado);
    t.setText("MONED_O", moneda);
    t.post();
  }
  // A field of one supplier as stored.
  double deProveedor(const std::string& clave, const char* campo) {
    dbf::Table t;
    t.open(kDatos, "proveedo.dbf");
    t.setIndex("ICLAPRO");
    EXPECT_TRUE(t.findKey({clave})) << clave;
    return t.asFloat(campo);
  }
  double deCompra(long numero, const char* campo) {
    dbf::Table t;
    t.open(kDatos, "ComprasE.dbf");
    t.setIndex("ICOMENC");
    EXPECT_TRUE(t.findKey({static_cast<double>(numero)}));
    return t.asFloat(campo);
  }
  void vacia() {
    dbf::Table t;
    t.open(kDatos, "proveedo.dbf", dbf::OpenMode::Exclusive);
    t.emptyTable();
  }
  V clavesGuardadas() {
    V v;
    dbf::Table t;
    t.open(kDatos, "proveedo.dbf");
    t.setIndex("ICLAPRO");
    for (t.first(); !t.eof(); t.next()) v.push_back(t.asText("CLAVE_P") + "|" + t.asText("NOMBR_P"));
    return v;
  }
};

TEST(ClaveProveedor, ProposalFromTheRange) {
  EXPECT_EQ(accounts::claveProveedorPropuesta(true, std::nullopt), "00001");
  EXPECT_EQ(accounts::claveProveedorPropuesta(false, std::nullopt), "       1");
  EXPECT_EQ(accounts::claveProveedorPropuesta(false, std::string("       9")), "      10");
  EXPECT_EQ(accounts::claveProveedorPropuesta(false, std::string("    9999")), "   10000");
  EXPECT_EQ(accounts::claveProveedorPropuesta(false, std::string("    12AB")), "    12AB");
}

TEST_F(Proveedores, NewProposesTheKeyAndTheProposalsFollowOn) {
  vacia();
  abre();
  ASSERT_TRUE(cat->nuevo());
  EXPECT_EQ(cat->texto("CLAVE_P"), "00001");
  ASSERT_TRUE(cat->ponTexto("NOMBR_P", "ACEROS"));
  ASSERT_TRUE(cat->guarda()) << ::testing::PrintToString(ui.mensajes());
  // "00001" sorts above the range: the next proposal starts it.
  ASSERT_TRUE(cat->nuevo());
  EXPECT_EQ(cat->texto("CLAVE_P"), "       1");
  ASSERT_TRUE(cat->guarda());
  ASSERT_TRUE(cat->nuevo());
  EXPECT_EQ(cat->texto("CLAVE_P"), "       2");
  ASSERT_TRUE(cat->ponTexto("CLAVE_P", "ZETA"));  // the key stays editable
  ASSERT_TRUE(cat->guarda());
  // A key above the range is not counted: the last in range is still "       1".
  ASSERT_TRUE(cat->nuevo());
  EXPECT_EQ(cat->texto("CLAVE_P"), "       2");
  cat->descarta();
  EXPECT_EQ(clavesGuardadas(), (V{"       1|", "00001|ACEROS", "ZETA|"}));
  EXPECT_TRUE(ui.mensajes().empty()) << ::testing::PrintToString(ui.mensajes());
}

TEST_F(Proveedores, KeyChecksOfSaveOfClosingAndOfAChange) {
  proveedor("P1", "UNO");
  proveedor("P2", "DOS");
  abre();
  ASSERT_TRUE(cat->nuevo());
  ASSERT_TRUE(cat->ponTexto("CLAVE_P", ""));
  EXPECT_FALSE(cat->guarda());
  ASSERT_TRUE(cat->ponTexto("CLAVE_P", "P1"));
  EXPECT_FALSE(cat->guarda());
  ui.respondeCerrar(RespuestaCerrar::Guardar);
  EXPECT_FALSE(cat->cierra());
  EXPECT_EQ(cat->modo(), ModoCatalogo::Nuevo);
  ui.respondeCerrar(RespuestaCerrar::Descartar);
  EXPECT_TRUE(cat->cierra());
  EXPECT_EQ(ui.mensajes(), (V{"Falta la Clave...", "La Clave ya Existe Es Necesario Cambiarla",
                              "La Clave ya Existe Es Necesario Cambiarla"}));
  ui.olvidaLlamadas();
  // A change that keeps the key saves; one to another supplier's key is refused.
  ASSERT_TRUE(cat->abreEnClave("P2", false));
  ASSERT_TRUE(cat->modifica());
  ASSERT_TRUE(cat->ponTexto("NOMBR_P", "DOS BIS"));
  ASSERT_TRUE(cat->guarda());
  ASSERT_TRUE(cat->modifica());
  ASSERT_TRUE(cat->ponTexto("CLAVE_P", "P1"));
  EXPECT_FALSE(cat->guarda());
  EXPECT_EQ(cat->modo(), ModoCatalogo::Modifica);
  cat->descarta();
  EXPECT_EQ(ui.mensajes(), V{"La Clave ya Existe Es Necesario Cambiarla"});
  EXPECT_EQ(clavesGuardadas(), (V{"P1|UNO", "P2|DOS BIS"}));
}

TEST_F(Proveedores, AChangeKeepsWhatPurchasesPostedMeanwhile) {
  proveedor("P1", "UNO", 100);
  abre();
  ASSERT_TRUE(cat->abreEnClave("P1", false));
  ASSERT_TRUE(cat->modifica());
  ASSERT_TRUE(cat->ponTexto("SALDO_P", "80"));
  {
    // Another station's purchase of 50 lands during the change.
    dbf::Table t;
    t.open(kDatos, "proveedo.dbf");
    t.setIndex("ICLAPRO");
    ASSERT_TRUE(t.findKey({std::string("P1")}));
    t.edit();
    t.setFloat("SALDO_P", 150);
    t.setFloat("COMPR_P", 50);
    t.post();
  }
  ASSERT_TRUE(cat->guarda());
  EXPECT_DOUBLE_EQ(deProveedor("P1", "SALDO_P"), 130);
  EXPECT_DOUBLE_EQ(deProveedor("P1", "COMPR_P"), 50);
  const auto p = cat->presenta();
  EXPECT_EQ(p.saldo, "130.00");
  EXPECT_EQ(p.cargo, "Cargos $          0.00");
  EXPECT_EQ(p.abono, "Abonos $          0.00");
}

TEST_F(Proveedores, DeletingWithABalanceIsRefused) {
  proveedor("P1", "CON SALDO", 0.001);
  proveedor("P2", "SIN SALDO");
  abre();
  ASSERT_TRUE(cat->abreEnClave("P1", false));
  EXPECT_FALSE(cat->elimina());
  EXPECT_EQ(ui.mensajes(), V{"No Es Posible Eliminar un Proveedor con Saldo"});
  EXPECT_EQ(accounts::eliminaProveedor(kDatos, "P1"), "No Es Posible Eliminar un Proveedor con Saldo");
  ASSERT_TRUE(cat->abreEnClave("P2", false));
  ui.respondeAdvertencia(RespuestaAdvertencia::Si);
  EXPECT_TRUE(cat->elimina());
  EXPECT_EQ(clavesGuardadas(), V{"P1|CON SALDO"});
  EXPECT_EQ(accounts::eliminaProveedor(kDatos, "P2"), "El Proveedor No Existe");
}

TEST_F(Proveedores, MovementsOfAPayableKeepTheBalanceOnTheFirstEntry) {
  proveedor("P1", "ACEROS", 1000);
  compra(12, "P1", 1000, 1000);
  pagar("P1", 12, 51, "Compra", "C", 1000, "01/03/2025", "31/03/2025");
  using accounts::MovimientoPagar;
  EXPECT_EQ(accounts::guardaMovimientoPagar(kDatos, "12", 0, MovimientoPagar{2, 300, "02/03/2025", ""}, reloj), "");
  EXPECT_EQ(accounts::guardaMovimientoPagar(kDatos, "12", 0, MovimientoPagar{2, 700, "", ""}, reloj), "");
  auto d = accounts::detalleDocumento(kDatos, accounts::Cartera::Proveedores, "12", reloj.ahora().fecha);
  ASSERT_TRUE(d);
  EXPECT_EQ(d->saldoTexto, "$0.00");
  EXPECT_EQ(d->estado, "Saldada");
  ASSERT_EQ(d->asientos.size(), 3u);
  EXPECT_DOUBLE_EQ(d->asientos[0].saldo, 0);
  const accounts::Asiento& abono = d->asientos[2];
  EXPECT_EQ(abono.concepto, "Abono");
  EXPECT_EQ(abono.operacion, "A");
  EXPECT_EQ(abono.aplicado, "15/03/2025");  // no date given: today
  EXPECT_EQ(abono.referencia, "FAC-12");
  EXPECT_DOUBLE_EQ(deCompra(12, "SALDO_O"), 0);
  EXPECT_DOUBLE_EQ(deCompra(12, "ABONO_O"), 1000);
  EXPECT_DOUBLE_EQ(deProveedor("P1", "SALDO_P"), 0);
  EXPECT_DOUBLE_EQ(deProveedor("P1", "ABONO_P"), 1000);

  // A charge of 50 opens it again.
  EXPECT_EQ(accounts::guardaMovimientoPagar(kDatos, "12", 0, MovimientoPagar{1, 50, "04/03/2025", ""}, reloj), "");
  d = accounts::detalleDocumento(kDatos, accounts::Cartera::Proveedores, "12", reloj.ahora().fecha);
  EXPECT_EQ(d->saldoTexto, "$50.00");
  EXPECT_EQ(d->estado, "Deudor");
  EXPECT_DOUBLE_EQ(d->asientos[0].saldo, 50);

  // Changing the 700 payment to 600 and removing the charge.
  const uint32_t pago700 = d->asientos[2].registro, cargo = d->asientos[3].registro;
  EXPECT_EQ(accounts::guardaMovimientoPagar(kDatos, "12", pago700, MovimientoPagar{2, 600, "", ""}, reloj), "");
  EXPECT_EQ(accounts::quitaMovimientoPagar(kDatos, "12", cargo), "");
  d = accounts::detalleDocumento(kDatos, accounts::Cartera::Proveedores, "12", reloj.ahora().fecha);
  ASSERT_EQ(d->asientos.size(), 3u);
  EXPECT_EQ(d->saldoTexto, "$100.00");
  EXPECT_DOUBLE_EQ(d->asientos[0].saldo, 100);
  EXPECT_EQ(d->asientos[2].aplicado, "15/03/2025");  // a change keeps the applied date
  EXPECT_DOUBLE_EQ(deCompra(12, "SALDO_O"), 100);
  EXPECT_DOUBLE_EQ(deCompra(12, "ABONO_O"), 900);
  EXPECT_DOUBLE_EQ(deProveedor("P1", "SALDO_P"), 100);
  EXPECT_DOUBLE_EQ(deProveedor("P1", "ABONO_P"), 900);
}

TEST_F(Proveedores, RefusedMovementsWriteNothing) {
  proveedor("P1", "ACEROS", 1000);
  pagar("P1", 12, 51, "Compra", "C", 1000, "01/03/2025", "31/03/2025");
  using accounts::MovimientoPagar;
  EXPECT_EQ(accounts::guardaMovimientoPagar(kDatos, "12", 0, MovimientoPagar{77, 10, "", ""}, reloj),
            "El Movimiento No Se Encuentra");
  EXPECT_EQ(accounts::guardaMovimientoPagar(kDatos, "12", 0, MovimientoPagar{2, 0, "", ""}, reloj),
            "El importe del abono no es válido");
  EXPECT_EQ(accounts::guardaMovimientoPagar(kDatos, "99", 0, MovimientoPagar{2, 10, "", ""}, reloj),
            "El Documento No Existe");
  // A record of another document is not one of this one's.
  pagar("P1", 13, 51, "Compra", "C", 5, "01/03/2025");
  EXPECT_EQ(accounts::quitaMovimientoPagar(kDatos, "12", 2), "El Documento No Existe");
  auto d = accounts::detalleDocumento(kDatos, accounts::Cartera::Proveedores, "12", reloj.ahora().fecha);
  ASSERT_EQ(d->asientos.size(), 1u);
  EXPECT_DOUBLE_EQ(deProveedor("P1", "SALDO_P"), 1000);
  ASSERT_TRUE(accounts::conceptoCuenta(kDatos, 51));
  EXPECT_EQ(accounts::conceptoCuenta(kDatos, 51)->concepto, "Compra");
  EXPECT_EQ(accounts::conceptoCuenta(kDatos, 2)->operacion, "A");
  EXPECT_FALSE(accounts::conceptoCuenta(kDatos, 77));
}

TEST_F(Proveedores, InquiryFiltersKeepActiveAndBlankCurrencyReceipts) {
  proveedor("P1", "ACEROS");
  compra(1, "P1", 100, 100, "", "");        // blank status and currency
  compra(2, "P1", 200, 0.005, "", "M.N.");  // balance under the threshold
  compra(3, "P1", 300, 50, "C", "M.N.");    // cancelled
  compra(4, "P1", 400, 400, "G", "USD");
  compra(5, "P2", 999, 999, "", "M.N.");    // another supplier
  auto docs = [](const std::vector<accounts::CompraPorPagar>& v) {
    V r;
    for (const auto& c : v) r.push_back(c.documento);
    return r;
  };
  EXPECT_EQ(docs(accounts::comprasProveedor(kDatos, "P1", FiltroConsulta::ConSaldo)), (V{"1", "4"}));
  EXPECT_EQ(docs(accounts::comprasProveedor(kDatos, "P1", FiltroConsulta::Todos)), (V{"1", "2", "4"}));
  EXPECT_EQ(docs(accounts::comprasProveedor(kDatos, "P1", FiltroConsulta::Todos, "M.N.")), (V{"1", "2"}));
  EXPECT_EQ(docs(accounts::comprasProveedor(kDatos, "P1", FiltroConsulta::ConSaldo, "USD")), (V{"4"}));
  const auto todas = accounts::comprasProveedor(kDatos, "P1", FiltroConsulta::Todos);
  EXPECT_EQ(todas[0].estado, "Activa");
  EXPECT_DOUBLE_EQ(todas[1].abono, 199.995);
  const auto t = accounts::sumaTotales(todas);
  const auto e = accounts::etiquetasTotales("ACEROS", t);
  EXPECT_EQ(e.nombre, "Nombre:  ACEROS");
  EXPECT_EQ(e.cargos, "Cargos :   $700.00");
  EXPECT_EQ(e.abonos, "Abonos : - $200.00");
  EXPECT_EQ(e.saldo, "Saldo  :   $500.01");
}

TEST_F(Proveedores, TotalsAreWrittenFromEveryLiveReceiptNotFromTheFilter) {
  proveedor("P1", "ACEROS", 5);
  proveedor("P2", "SIN COMPRAS", 7);
  compra(1, "P1", 100, 60, "", "USD");
  compra(2, "P1", 200, 200, "", "");
  compra(3, "P1", 300, 300, "C", "");
  // What the inquiry shows with a currency filter is a partial sum...
  const auto filtrado = accounts::sumaTotales(accounts::comprasProveedor(kDatos, "P1", FiltroConsulta::ConSaldo, "USD"));
  EXPECT_DOUBLE_EQ(filtrado.saldo, 60);
  // ...and the supplier keeps the whole one.
  const auto t = accounts::guardaTotalesProveedor(kDatos, "P1", ui);
  ASSERT_TRUE(t);
  EXPECT_DOUBLE_EQ(t->saldo, 260);
  EXPECT_DOUBLE_EQ(deProveedor("P1", "CARGO_P"), 300);
  EXPECT_DOUBLE_EQ(deProveedor("P1", "ABONO_P"), 40);
  EXPECT_DOUBLE_EQ(deProveedor("P1", "SALDO_P"), 260);
  EXPECT_FALSE(accounts::guardaTotalesProveedor(kDatos, "P9", ui));
  EXPECT_EQ(ui.mensajes(), V{"El Proveedor No Existe"});
  // Every supplier: one without receipts goes to zero. The company brings its own.
  const int n = accounts::actualizaSaldosProveedores(kDatos, ui);
  EXPECT_EQ(n, static_cast<int>(clavesGuardadas().size()));
  EXPECT_DOUBLE_EQ(deProveedor("P2", "SALDO_P"), 0);
  EXPECT_DOUBLE_EQ(deProveedor("P1", "SALDO_P"), 260);
}

TEST_F(Proveedores, SupplierContactsLiveInTheirOwnTable) {
  const std::string tabla = base::une(kDatos, "contprov.dbf");
  base::borra(tabla);
  const auto& libro = accounts::kContactosProveedores;
  EXPECT_EQ(accounts::guardaContacto(kDatos, "P1", {0, "Ana", "Ventas", "555", "a@b.mx", ""}, libro), "");
  EXPECT_EQ(accounts::guardaContacto(kDatos, "P2", {0, "Beto", "", "", "", ""}, libro), "");
  const auto c = accounts::contactosCliente(kDatos, "P1", libro);
  ASSERT_EQ(c.size(), 1u);
  EXPECT_EQ(c[0].nombre, "Ana");
  dbf::Table t;
  t.open(kDatos, "contprov.dbf");
  t.goTo(c[0].registro);
  EXPECT_EQ(t.asText("CLAVE_P"), "P1");
  // The customers' contacts are another table.
  EXPECT_TRUE(accounts::contactosCliente(kDatos, "P1").empty());
}

TEST(ReportesProveedores, Definitions) {
  const auto l = accounts::listadoProveedores("ListadodeProveedores1", "/d");
  ASSERT_TRUE(l);
  EXPECT_EQ(l->texto,
            "$Listado de Proveedores\r& Select CLAVE_P,NOMBR_P,TELEF_P,RFCXX_P,POBLA_P\xC2\xAB from \"/d\\proveedo.dbf\"\r"
            "?(CLAVE_P=CLAVE_P)\xC2\xBF\r!CLAVE_P\r%c          c                  c               c                c\r"
            "#CLIENTE    NOMBRE             TELEFONO        R.F.C.           POBLACION          \r@\r");
  EXPECT_FALSE(accounts::listadoProveedores("Saldos1", "/d"));

  auto linea = [](const std::string& texto, char c) {
    size_t i = texto.find(std::string("\r") + c);
    return texto.substr(i + 1, texto.find('\r', i + 1) - i - 1);
  };
  const auto conSaldo = accounts::reporteCuentasPorPagar("ProvedoresconSaldo1", "/d");
  const auto todos = accounts::reporteCuentasPorPagar("TodoslosProveedores1", "/d");
  EXPECT_EQ(linea(conSaldo->texto, '?'), "?(SALDO_P>0.01) \xC2\xBF");
  EXPECT_EQ(linea(todos->texto, '?'), "?(CLAVE_P=CLAVE_P) \xC2\xBF");
  EXPECT_EQ(linea(todos->texto, '&'), "& Select CLAVE_P,NOMBR_P,CARGO_P,ABONO_P,SALDO_P from \"/d\\proveedo.dbf\"");
  const auto pagados = accounts::reporteCuentasPorPagar("DocumentosPagados1", "/d");
  EXPECT_EQ(linea(pagados->texto, '?'), "?(SALDO_O<0.1 AND (STDOC_O<>\"C\" OR STDOC_O IS NULL)) \xC2\xBF");
  EXPECT_EQ(linea(pagados->texto, '&'),
            "& Select CLPRV_O,NOMBR_O,CLDOC_O,IMDOC_O,IMDOC_O-SALDO_O,SALDO_O,FEDOC_O,FEPAG_O,REFER_O from "
            "\"/d\\ComprasE.dbf\"");
  const auto porProveedor = accounts::reporteCuentasPorPagar("PorProveedor1", "/d");
  EXPECT_EQ(linea(porProveedor->texto, '?'), "?(SALDO_O>0.1 AND (STDOC_O<>\"C\" OR STDOC_O IS NULL)) \xC2\xBF");
  EXPECT_EQ(linea(porProveedor->texto, '!'), "!CLPRV_O,CLDOC_O");
  const auto vencidos =
      accounts::reporteCuentasPorPagar("DocumentosVencidos1", "/d", {{2025, 3, 15}, {}, {}});
  EXPECT_EQ(linea(vencidos->texto, '?'),
            "?(SALDO_O>0.1 AND (STDOC_O<>\"C\" OR STDOC_O IS NULL) AND FEPAG_O<=\"3/15/2025\") \xC2\xBF");
  EXPECT_NE(linea(vencidos->texto, '&').find(",(\"3/15/2025\"-FEPAG_O) AS DIAS_VENCIDOS from"), std::string::npos);
  EXPECT_EQ(accounts::reportesCuentasPorPagar().size(), 10u);
  for (const auto& c : accounts::reportesCuentasPorPagar())
    EXPECT_TRUE(accounts::reporteCuentasPorPagar(c.menu, "/d")) << c.menu;

  const auto r = accounts::resumenProveedores("CargosAbonosSaldo1");
  ASSERT_TRUE(r);
  EXPECT_EQ(r->concentrado.tituloGrafica, "Gráfica de Cargos, Abonos y Saldo de Proveedores");
  EXPECT_EQ(r->columnaGrafica, 3);
  EXPECT_EQ(r->concentrado.parametros.columnas[2], "SALDO_P");
  EXPECT_EQ(accounts::resumenProveedores("Saldos1")->concentrado.tituloGrafica, "Gráfica de Saldos de Proveedores");
}

}  // namespace
}  // namespace mostrador::prueba
