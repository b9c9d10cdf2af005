// Demonstration data: a function of its seed, and consistent the way the system keeps
// its own data.


#include "store/demo.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>

#include "base/rutas.h"
#include "base/texto.h"
#include "session/empresa_nueva.h"
#include "store/numeracion.h"
#include "support/entorno.h"

namespace mostrador::store {
namespace {

std::string sinFechaDeCabecera(std::string bytes) {
  // Bytes 1-3 of a dBASE header hold the date of the last update.
  if (bytes.size() > 4) bytes.replace(1, 3, "\0\0\0", 3);
  return bytes;
}

ResumenDemo demoEn(const std::string& dir, uint64_t semilla) {
  session::creaDirectorioDatos(dir);
  OpcionesDemo o;
  o.semilla = semilla;
  return generaDemo(dir, o);
}

TEST(Demo, MismaSemillaMismosBytes) {
  prueba::DirectorioTemporal dir;
  const std::string a = dir.str() + "/a", b = dir.str() + "/b", c = dir.str() + "/c";
  demoEn(a, 7);
  demoEn(b, 7);
  demoEn(c, 8);
  int comparadas = 0;
  for (const auto& nombre : base::lista(a, "*.dbf")) {
    const auto x = base::leeBytes(base::une(a, nombre));
    const auto y = base::leeBytes(base::une(b, nombre));
    ASSERT_TRUE(x && y) << nombre;
    EXPECT_EQ(sinFechaDeCabecera(*x), sinFechaDeCabecera(*y)) << nombre;
    ++comparadas;
  }
  EXPECT_GE(comparadas, 40);
  for (const char* n : {"inventar.dbf", "movinven.dbf", "cliente.dbf", "Remision.dbf"})
    EXPECT_NE(sinFechaDeCabecera(*base::leeBytes(base::une(a, n))),
              sinFechaDeCabecera(*base::leeBytes(base::une(c, n))))
        << n;
}

class DemoPequena : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new prueba::DirectorioTemporal;
    datos_ = dir_->str() + "/datos";
    resumen_ = demoEn(datos_, 1);
  }
  static void TearDownTestSuite() {
    delete dir_;
    dir_ = nullptr;
  }
  static prueba::DirectorioTemporal* dir_;
  static std::string datos_;
  static ResumenDemo resumen_;
};
prueba::DirectorioTemporal* DemoPequena::dir_ = nullptr;
std::string DemoPequena::datos_;
ResumenDemo DemoPequena::resumen_;

TEST_F(DemoPequena, TamanoPedido) {
  const TamanoDemo t = TamanoDemo::pequeno();
  EXPECT_EQ(resumen_.productos, t.productos);
  EXPECT_EQ(resumen_.clientes, t.clientes);
  EXPECT_EQ(resumen_.proveedores, t.proveedores);
  EXPECT_EQ(resumen_.vendedores, t.vendedores);
  EXPECT_EQ(resumen_.movimientos, t.movimientos);
  EXPECT_EQ(resumen_.remisiones, t.remisiones);
  EXPECT_EQ(resumen_.facturas, t.facturas);
  EXPECT_EQ(resumen_.compras, t.compras);
  for (auto [tabla, cuenta] : {std::pair{"inventar.dbf", resumen_.productos},
                               {"movinven.dbf", resumen_.movimientos},
                               {"cliente.dbf", resumen_.clientes},
                               {"Remision.dbf", resumen_.remisiones},
                               {"FacturaE.dbf", resumen_.facturas},
                               {"ComprasE.dbf", resumen_.compras}}) {
    dbf::Table t;
    t.open(datos_, tabla);
    EXPECT_EQ(t.recordCount(), cuenta) << tabla;
    EXPECT_EQ(t.indexProblem(), "") << tabla;
  }
}

TEST_F(DemoPequena, ExistenciaEsLaSumaDeSusMovimientos) {
  std::map<std::string, double> suma;
  std::set<int> tipos;
  dbf::Table m;
  m.open(datos_, "movinven.dbf");
  for (m.first(); !m.eof(); m.next()) {
    const int tipo = static_cast<int>(m.asInteger("TIMOV_MI"));
    tipos.insert(tipo);
    EXPECT_GT(m.asFloat("CANTI_MI"), 0);
    suma[m.asText("CLPRO_MI")] += tipo <= 50 ? -m.asFloat("CANTI_MI") : m.asFloat("CANTI_MI");
  }
  EXPECT_EQ(tipos, (std::set<int>{1, 3, 4, 5, 6, 7, 51, 53, 56, 57}));
  dbf::Table p;
  p.open(datos_, "inventar.dbf");
  int productos = 0;
  for (p.first(); !p.eof(); p.next(), ++productos) {
    const std::string clave = p.asText("CLPRO_I");
    EXPECT_NEAR(p.asFloat("EXIST_I"), suma[clave], 0.0005) << clave;
    EXPECT_GE(p.asFloat("EXIST_I"), 0) << clave;
  }
  EXPECT_EQ(productos, resumen_.productos);
}

TEST_F(DemoPequena, CatalogoCompleto) {
  dbf::Table p;
  p.open(datos_, "inventar.dbf");
  p.setIndex("ICLPRO");
  std::set<std::string> claves, codigos;
  for (p.first(); !p.eof(); p.next()) {
    const std::string clave = p.asText("CLPRO_I");
    EXPECT_TRUE(claves.insert(clave).second) << clave;
    const std::string codigo = p.asText("CODIG_I");
    ASSERT_EQ(codigo.size(), 13u) << clave;
    int suma = 0;
    for (size_t i = 0; i < 12; ++i) suma += (codigo[i] - '0') * (i % 2 ? 3 : 1);
    EXPECT_EQ(codigo[12] - '0', (10 - suma % 10) % 10) << codigo;
    EXPECT_TRUE(codigos.insert(codigo).second) << codigo;
    EXPECT_FALSE(p.asText("DSCPR_I").empty());
    EXPECT_FALSE(p.asText("LIPRO_I").empty());
    // Seven prices from the last-cost margins, falling with quantity down to the minimum.
    EXPECT_GT(p.asFloat("PPUBL_I"), p.asFloat("PLIS2_I"));
    EXPECT_GT(p.asFloat("PLIS4_I"), p.asFloat("PMINI_I"));
    EXPECT_GT(p.asFloat("PMINI_I"), p.asFloat("CPROM_I") * 0.99);
    EXPECT_GT(p.asFloat("PLIS7_I"), 0);
    EXPECT_EQ(p.asText("TICOS_I"), "PROM");
  }
  // Bar codes find their product.
  p.setIndex("CODIG_I");
  EXPECT_TRUE(p.findKey({*codigos.begin()}));
}

TEST_F(DemoPequena, DocumentosCuadranConSusMovimientos) {
  EXPECT_EQ(verificaDocumentos(datos_, datos_), std::vector<std::string>{});
  // Every line of a delivery note has its movement of type 3 under the note's reference.
  dbf::Table e, m;
  e.open(datos_, "Remision.dbf");
  m.open(datos_, "movinven.dbf");
  m.setIndex("NUDOC_MI");
  long conMovimientos = 0;
  for (e.first(); !e.eof(); e.next()) {
    const std::string ref = referenciaMovimiento('R', e.asInteger("CLDOC_F"), e.asInteger("CONTROL"));
    m.setRange({ref}, {ref});
    for (m.first(); !m.eof(); m.next()) EXPECT_EQ(m.asInteger("TIMOV_MI"), 3);
    conMovimientos += m.recordCount() > 0;
  }
  EXPECT_EQ(conMovimientos, resumen_.remisiones);
}

TEST_F(DemoPequena, SaldosIgualesALosDocumentosAbiertos) {
  std::map<std::string, double> porCliente;
  dbf::Table f;
  f.open(datos_, "FacturaE.dbf");
  for (f.first(); !f.eof(); f.next()) {
    EXPECT_NEAR(f.asFloat("IMTOD_F"), f.asFloat("SUBTO_F") + f.asFloat("IMIM2_F"), 0.00005);
    EXPECT_NEAR(f.asFloat("SALDO_F"), f.asFloat("IMTOD_F") - f.asFloat("ABONO_F"), 0.00005);
    porCliente[f.asText("CLCLI_F")] += f.asFloat("SALDO_F");
  }
  dbf::Table c;
  c.open(datos_, "cliente.dbf");
  c.setIndex("ICLACLI");
  double total = 0;
  for (c.first(); !c.eof(); c.next()) {
    EXPECT_NEAR(c.asFloat("SALDO_C"), porCliente[c.asText("CLCLI_C")], 0.0005) << c.asText("CLCLI_C");
    total += c.asFloat("SALDO_C");
  }
  EXPECT_GT(total, 0);  // some credit is still open
  ASSERT_TRUE(c.findKey({std::string("1")}));
  EXPECT_EQ(c.asText("NOMBR_C"), "PUBLICO EN GENERAL");

  std::map<std::string, double> porProveedor;
  dbf::Table o;
  o.open(datos_, "ComprasE.dbf");
  for (o.first(); !o.eof(); o.next()) porProveedor[o.asText("CLPRV_O")] += o.asFloat("SALDO_O");
  dbf::Table p;
  p.open(datos_, "proveedo.dbf");
  for (p.first(); !p.eof(); p.next())
    EXPECT_NEAR(p.asFloat("SALDO_P"), porProveedor[p.asText("CLAVE_P")], 0.0005) << p.asText("CLAVE_P");
}

TEST_F(DemoPequena, ContadoresSiguenALosDocumentos) {
  for (auto [archivo, ultimo] : {std::pair{"numero.dbf", resumen_.remisiones},
                                 {"numerof.dbf", resumen_.facturas},
                                 {"numeroc.dbf", resumen_.compras}}) {
    dbf::Table t;
    t.open(datos_, archivo);
    ASSERT_EQ(t.recordCount(), 1) << archivo;
    t.first();
    EXPECT_EQ(t.asInteger("NUMERO"), ultimo) << archivo;
  }
}

}  // namespace
}  // namespace mostrador::store
