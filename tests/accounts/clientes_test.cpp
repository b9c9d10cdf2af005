// The customer catalogue on real tables: consecutive keys, the key checks of a save and
// of closing, deleting with a balance or open receivables, the working copy that keeps
// what other stations post meanwhile, the display rules and the searches.

#include <gtest/gtest.h>

#include "accounts/clientes.h"
#include "base/texto.h"
#include "base/rutas.h"
#include "store/dbf/dbf_table.h"
#include "support/empresa_ventas.h"
#include "support/entorno.h"
#include "support/interaccion_fake.h"
#include "support/reloj_fijo.h"

namespace mostrador::prueba {
namespace {

using accounts::CatalogoClientes;
using accounts::ModoClientes;
using base::RespuestaAdvertencia;
using base::RespuestaCerrar;

struct Clientes : ::testing::Test {
  DirectorioTemporal dir;
  EmpresaVentas empresa;
  InteraccionFalsa ui;
  RelojFijo reloj{{{2025, 7, 14}, {10, 0, 0, 0}}};
  std::unique_ptr<CatalogoClientes> cat;

  void abre(bool consecutivas = false) {
    empresa.linea(34, consecutivas ? "S" : "N");
    auto a = accounts::AjustesClientes::de(empresa.lineas, std::string(EmpresaVentas::kSistema), "0");
    cat = std::make_unique<CatalogoClientes>(a, ui, reloj, [](int) { return true; });
    ASSERT_TRUE(cat->abre());
  }
  void vacia() {
    dbf::Table t;
    t.open(EmpresaVentas::kDatos, "cliente.dbf", dbf::OpenMode::Exclusive);
    t.emptyTable();
  }
  // Another station's write on one customer.
  void pon(const std::string& clave, const std::string& campo, double v) {
    dbf::Table t;
    t.open(EmpresaVentas::kDatos, "cliente.dbf");
    t.setIndex("ICLACLI");
    ASSERT_TRUE(t.findKey({clave}));
    t.edit();
    t.setFloat(campo, v);
    t.post();
  }
  std::vector<std::string> claves() { return empresa.filas("cliente.dbf", {"CLCLI_C", "NOMBR_C"}); }
};

TEST(ClaveConsecutiva, RightAlignedSoThatTextOrderIsNumericOrder) {
  EXPECT_EQ(accounts::claveConsecutiva(std::nullopt, 10), "         1");
  EXPECT_EQ(accounts::claveConsecutiva(std::string("         9"), 10), "        10");
  EXPECT_EQ(accounts::claveConsecutiva(std::string(""), 10), "         1");
  EXPECT_EQ(accounts::claveConsecutiva(std::string("0041"), 10), "        42");
  EXPECT_EQ(accounts::claveConsecutiva(std::string("ABC"), 10), "ABC");
  EXPECT_LT(std::string("         9"), std::string("        10"));
}

TEST_F(Clientes, ConsecutiveKeysFromAnEmptyTableAndPastNine) {
  vacia();
  abre(true);
  ASSERT_TRUE(cat->nuevo());
  EXPECT_EQ(cat->texto("CLCLI_C"), "         1");
  ASSERT_TRUE(cat->ponTexto("NOMBR_C", "PRIMERO"));
  ASSERT_TRUE(cat->guarda()) << ::testing::PrintToString(ui.mensajes());
  for (int i = 2; i <= 10; ++i) {
    ASSERT_TRUE(cat->nuevo());
    ASSERT_TRUE(cat->ponTexto("NOMBR_C", "CLIENTE " + std::to_string(i)));
    ASSERT_TRUE(cat->guarda());
  }
  const auto filas = claves();
  ASSERT_EQ(filas.size(), 10u);
  EXPECT_EQ(filas[0], "         1|PRIMERO");
  EXPECT_EQ(filas[8], "         9|CLIENTE 9");
  EXPECT_EQ(filas[9], "        10|CLIENTE 10");
  // Key order is number order: the last under the key tag is 10.
  cat->ultimo();
  EXPECT_EQ(cat->texto("CLCLI_C"), "        10");
  EXPECT_TRUE(cat->abreEnClave("10", false));
  EXPECT_EQ(cat->texto("NOMBR_C"), "CLIENTE 10");
}

TEST_F(Clientes, ALastKeyThatIsNotANumberIsProposedAgainAndRefused) {
  empresa.cliente("ABC", "LETRAS");
  abre(true);
  ASSERT_TRUE(cat->nuevo());
  EXPECT_EQ(cat->texto("CLCLI_C"), "ABC");
  EXPECT_FALSE(cat->guarda());
  EXPECT_EQ(ui.mensajes(), std::vector<std::string>{"La Clave ya Existe Es Necesario Cambiarla"});
  EXPECT_EQ(cat->modo(), ModoClientes::Nuevo);
  cat->descarta();
  EXPECT_EQ(claves().size(), 2u);  // "1" of the company and ABC
}

TEST_F(Clientes, KeyChecksOfSaveAndOfClosing) {
  empresa.cliente("C1", "UNO");
  empresa.cliente("C2", "DOS");
  abre();
  // Empty key.
  ASSERT_TRUE(cat->nuevo());
  EXPECT_FALSE(cat->guarda());
  // A repeated key, on Save and on closing with Save: two records under one key would
  // confuse every document that names it.
  ASSERT_TRUE(cat->ponTexto("CLCLI_C", "C1"));
  EXPECT_FALSE(cat->guarda());
  ui.respondeCerrar(RespuestaCerrar::Guardar);
  EXPECT_FALSE(cat->cierra());
  EXPECT_EQ(cat->modo(), ModoClientes::Nuevo);
  ui.respondeCerrar(RespuestaCerrar::Descartar);
  EXPECT_TRUE(cat->cierra());
  EXPECT_EQ(ui.mensajes(), (std::vector<std::string>{"La Clave No Existe", "La Clave ya Existe Es Necesario Cambiarla",
                                                     "La Clave ya Existe Es Necesario Cambiarla"}));
  ui.olvidaLlamadas();
  // Changing C2 and keeping its key saves; changing it to C1 is refused.
  ASSERT_TRUE(cat->abreEnClave("C2", false));
  ASSERT_TRUE(cat->modifica());
  ASSERT_TRUE(cat->ponTexto("NOMBR_C", "DOS BIS"));
  ASSERT_TRUE(cat->guarda());
  ASSERT_TRUE(cat->modifica());
  ASSERT_TRUE(cat->ponTexto("CLCLI_C", "C1"));
  EXPECT_FALSE(cat->guarda());
  ASSERT_TRUE(cat->ponTexto("CLCLI_C", "C3"));
  ASSERT_TRUE(cat->guarda());
  EXPECT_EQ(ui.mensajes(), std::vector<std::string>{"La clave esta Repetida..."});
  EXPECT_EQ(claves(), (std::vector<std::string>{"1|Publico en General", "C1|UNO", "C3|DOS BIS"}));
  // Bad input never reaches the record.
  ui.olvidaLlamadas();
  ASSERT_TRUE(cat->modifica());
  EXPECT_FALSE(cat->ponTexto("CLCLI_C", "ABCDEFGHIJK"));
  EXPECT_FALSE(cat->ponTexto("DCRED_C", "treinta"));
  EXPECT_FALSE(cat->ponTexto("FULCO_C", "31/02/2025"));
  EXPECT_EQ(ui.mensajes(), (std::vector<std::string>{"La Clave no Puede Tener más de 10 Caracteres",
                                                     "\"treinta\" no es un Número Válido",
                                                     "\"31/02/2025\" no es una Fecha Válida"}));
  EXPECT_EQ(cat->texto("CLCLI_C"), "C3");
  cat->descarta();
  EXPECT_FALSE(cat->saleClave("  "));
  EXPECT_EQ(ui.mensajes().back(), "Es Necesario Escribir una Clave...");
}

TEST_F(Clientes, AChangeKeepsWhatAnotherStationPostedMeanwhile) {
  empresa.cliente("C1", "UNO");
  pon("C1", "SALDO_C", 100);
  pon("C1", "COMPR_C", 400);
  abre();
  ASSERT_TRUE(cat->abreEnClave("C1", false));
  ASSERT_TRUE(cat->modifica());
  ASSERT_TRUE(cat->ponTexto("NOMBR_C", "UNO SA"));
  pon("C1", "SALDO_C", 150);  // a sale of 50 from another station
  ASSERT_TRUE(cat->guarda());
  EXPECT_EQ(empresa.numero("cliente.dbf", "CLCLI_C", "C1", "SALDO_C"), 150);
  EXPECT_EQ(empresa.texto("cliente.dbf", "CLCLI_C", "C1", "NOMBR_C"), "UNO SA");
  // A hand edit of the balance is a change of it: 150 -> 130 while a sale of 50 lands.
  ASSERT_TRUE(cat->modifica());
  ASSERT_TRUE(cat->ponTexto("SALDO_C", "130"));
  pon("C1", "SALDO_C", 200);
  ASSERT_TRUE(cat->guarda());
  EXPECT_EQ(empresa.numero("cliente.dbf", "CLCLI_C", "C1", "SALDO_C"), 180);
  EXPECT_EQ(empresa.numero("cliente.dbf", "CLCLI_C", "C1", "COMPR_C"), 400);
  EXPECT_TRUE(ui.mensajes().empty());
}

TEST_F(Clientes, ACustomerDeletedOnAnotherStationDuringAChange) {
  empresa.cliente("C1", "UNO");
  abre();
  ASSERT_TRUE(cat->abreEnClave("C1", false));
  ASSERT_TRUE(cat->modifica());
  ASSERT_TRUE(cat->ponTexto("NOMBR_C", "UNO SA"));
  {
    dbf::Table t;
    t.open(EmpresaVentas::kDatos, "cliente.dbf");
    t.setIndex("ICLACLI");
    ASSERT_TRUE(t.findKey({"C1"}));
    t.remove();
  }
  EXPECT_FALSE(cat->guarda());
  EXPECT_EQ(ui.mensajes(), std::vector<std::string>{"El Cliente ya no Existe: otra estación lo eliminó"});
  EXPECT_EQ(cat->modo(), ModoClientes::Modifica);
  cat->descarta();
  EXPECT_EQ(claves(), std::vector<std::string>{"1|Publico en General"});
}

TEST_F(Clientes, DeleteRefusedWithAnyBalanceOrOpenReceivable) {
  empresa.cliente("C1", "UNO");
  empresa.cliente("C2", "DOS");
  pon("C1", "SALDO_C", 0.001);
  {
    // C2's balance field says 0, but a receivable of it is still open.
    dbf::Table t;
    t.open(EmpresaVentas::kDatos, "cucobrar.dbf");
    t.append();
    t.setText("CLCLI_CC", "C2");
    t.setText("NUFAC_CC", "77");
    t.setText("TIMOV_CC", "1");
    t.setText("OPERA_CC", "C");
    t.setFloat("IMCUE_CC", 25);
    t.post();
  }
  abre();
  ASSERT_TRUE(cat->abreEnClave("C1", false));
  EXPECT_FALSE(cat->elimina());
  ASSERT_TRUE(cat->abreEnClave("C2", false));
  EXPECT_FALSE(cat->elimina());
  EXPECT_EQ(ui.mensajes(), (std::vector<std::string>{"No se puede eliminar cliente con saldo",
                                                     "No se puede eliminar cliente con saldo"}));
  EXPECT_EQ(accounts::eliminaCliente(std::string(EmpresaVentas::kDatos), "C2"), "No se puede eliminar cliente con saldo");
  EXPECT_EQ(accounts::eliminaCliente(std::string(EmpresaVentas::kDatos), "C9"), "El Cliente No Existe");
  pon("C1", "SALDO_C", 0);
  cat->refresca();
  ASSERT_TRUE(cat->abreEnClave("C1", false));
  ui.respondeAdvertencia(RespuestaAdvertencia::No);
  EXPECT_FALSE(cat->elimina());
  ui.respondeAdvertencia(RespuestaAdvertencia::Si);
  EXPECT_TRUE(cat->elimina());
  EXPECT_EQ(claves(), (std::vector<std::string>{"1|Publico en General", "C2|DOS"}));
}

TEST_F(Clientes, DisplayRulesAndTheEmptyRecordThatGoes) {
  empresa.cliente("C1", "UNO", "", "B");
  pon("C1", "CARGO_C", 1234.5);
  pon("C1", "ABONO_C", 0);
  pon("C1", "SALDO_C", -1234567.891);
  {
    dbf::Table t;
    t.open(EmpresaVentas::kDatos, "cliente.dbf");
    t.append();
    t.post();  // neither key nor name: first under the key tag
  }
  abre();
  const auto p = cat->presenta();
  EXPECT_EQ(claves(), (std::vector<std::string>{"1|Publico en General", "C1|UNO"}));
  EXPECT_EQ(cat->texto("CLCLI_C"), "1");
  EXPECT_EQ(p.estado, "Activo");
  ASSERT_TRUE(cat->abreEnClave("C1", false));
  const auto q = cat->presenta();
  EXPECT_EQ(q.cargo, "Cargos $      1,234.50");
  EXPECT_EQ(q.abono, "Abonos $          0.00");
  EXPECT_EQ(q.estado, "Inactivo");
  EXPECT_EQ(q.saldo, "-1,234,567.89");
}

TEST_F(Clientes, SearchByAnyField) {
  empresa.cliente("C1", "Ferreteria Norte");
  empresa.cliente("C2", "ferreteria sur");
  pon("C2", "DCRED_C", 30);
  abre();
  EXPECT_EQ(cat->buscaCampo("NOMBR_C", "ferre"), true);
  EXPECT_EQ(cat->texto("CLCLI_C"), "C2");
  EXPECT_EQ(cat->buscaCampo("NOMBR_C", "FERRE"), false);
  EXPECT_EQ(cat->texto("CLCLI_C"), "C2");
  EXPECT_EQ(cat->buscaCampo("DCRED_C", "treinta"), false);
  EXPECT_EQ(cat->buscaCampo("DCRED_C", "30"), true);
  EXPECT_EQ(ui.mensajes(), (std::vector<std::string>{"No se Encuentra", "Valor no Válido Revise Por Favor"}));
}

TEST_F(Clientes, LockedFieldOnlyForTheAdministratorUser) {
  abre();
  EXPECT_FALSE(cat->ajustes().campoBloqueado);
  EXPECT_TRUE(cat->alternaBloqueo());
  EXPECT_EQ(base::leeLinea(base::une(EmpresaVentas::kSistema, "cliente.cnf"), 1).value_or("?"), "S");
  auto a = accounts::AjustesClientes::de(empresa.lineas, std::string(EmpresaVentas::kSistema), "3");
  EXPECT_TRUE(a.campoBloqueado);
  CatalogoClientes otro(a, ui, reloj, [](int) { return true; });
  EXPECT_FALSE(otro.alternaBloqueo());
}

TEST(AyudaClientes, HelpLinesByField) {
  EXPECT_EQ(accounts::lineasAyudaCliente("CLCLI_C"), std::make_pair(1, 2));
  EXPECT_EQ(accounts::lineasAyudaCliente("HOPAG_C"), std::make_pair(23, 24));
  EXPECT_EQ(accounts::lineasAyudaCliente("COMPR_C"), std::make_pair(31, 32));
  EXPECT_EQ(accounts::lineasAyudaCliente("STATU_C"), std::make_pair(0, 0));
}

}  // namespace
}  // namespace mostrador::prueba

namespace mostrador::prueba {
namespace {

TEST_F(Clientes, ASupplierWithABalanceIsNotDeletedFromTheCommandLine) {
  {
    dbf::Table t;
    t.open(EmpresaVentas::kDatos, "proveedo.dbf");
    t.append();
    t.setText("CLAVE_P", "P1");
    t.setFloat("SALDO_P", 12.5);
    t.post();
    t.append();
    t.setText("CLAVE_P", "P2");
    t.post();
  }
  const std::string datos(EmpresaVentas::kDatos);
  EXPECT_EQ(accounts::eliminaProveedor(datos, "P1"), "No Es Posible Eliminar un Proveedor con Saldo");
  EXPECT_EQ(accounts::eliminaProveedor(datos, "P9"), "El Proveedor No Existe");
  EXPECT_EQ(accounts::eliminaProveedor(datos, "P2"), "");
  EXPECT_EQ(empresa.filas("proveedo.dbf", {"CLAVE_P"}), std::vector<std::string>{"P1"});
}

}  // namespace
}  // namespace mostrador::prueba
