// The key designer, kit components, the label program and the branch directories.

#include <gtest/gtest.h>

#include "store/observaciones.h"

#include "inventory/complementos_producto.h"
#include "base/rutas.h"
#include "base/texto.h"
#include "store/dbf/dbf_table.h"
#include "support/empresa_ventas.h"
#include "support/entorno.h"
#include "support/interaccion_fake.h"
#include "support/procesos_falsos.h"

namespace mostrador::prueba {
namespace {

using namespace inventory;

TEST(DisenoClaves, ListsCombineTheLastChangingFastest) {
  EXPECT_EQ(combinaClaves({"A,B,", "1,2,3,", "", ""}),
            (std::vector<std::string>{"A1", "A2", "A3", "B1", "B2", "B3"}));
  EXPECT_EQ(combinaClaves({"", "X,", "1,2,", "a,b,"}),
            (std::vector<std::string>{"X1a", "X1b", "X2a", "X2b"}));
  // A value is what stands before each comma; a list under two characters has none.
  EXPECT_EQ(valoresLista("ROJO,AZUL"), std::vector<std::string>{"ROJO"});
  EXPECT_EQ(valoresLista(","), std::vector<std::string>{});
  EXPECT_EQ(combinaClaves({",", "", "", ""}), std::vector<std::string>{});
}

TEST(DisenoClaves, GenerateSkipsExistingKeysAndWritesTheCommonValues) {
  DirectorioTemporal dir;
  EmpresaVentas empresa;
  ProductoVenta p;
  p.clave = "A2";
  p.descripcion = "YA ESTABA";
  empresa.producto(p);
  InteraccionFalsa ui;
  const auto claves = combinaClaves({"A,B,", "1,2,3,", "", ""});
  const std::vector<std::string> desc{"PLAYERA A1", "PLAYERA A2", "PLAYERA A3", "PLAYERA B1", "PLAYERA B2",
                                      "PLAYERA B3"};
  const int n = generaClaves(EmpresaVentas::kDatos, claves, desc,
                             {"ROPA", "5", "40", "80", "75", "70", "10", "50", "100"}, ui);
  EXPECT_EQ(n, 5);
  EXPECT_EQ(empresa.filas("inventar.dbf", {"CLPRO_I", "DSCPR_I", "LIPRO_I", "STMIN_I", "PPUBL_I", "POLI3_I"}),
            (std::vector<std::string>{"A2|YA ESTABA|||0.0000|0.000",
                                      "A1|PLAYERA A1|ROPA|5.000|80.0000|100.000",
                                      "A3|PLAYERA A3|ROPA|5.000|80.0000|100.000",
                                      "B1|PLAYERA B1|ROPA|5.000|80.0000|100.000",
                                      "B2|PLAYERA B2|ROPA|5.000|80.0000|100.000",
                                      "B3|PLAYERA B3|ROPA|5.000|80.0000|100.000"}));
  EXPECT_EQ(ui.llamadas().front(), "progreso: Valores para Clave 0/6");
  // A common value that is not a number adds nothing.
  ui.olvidaLlamadas();
  EXPECT_EQ(generaClaves(EmpresaVentas::kDatos, {"C1"}, {}, {"", "x", "", "", "", "", "", "", ""}, ui), 0);
  EXPECT_EQ(ui.mensajes(), std::vector<std::string>{"\"x\" no es un Número Válido"});
  EXPECT_EQ(empresa.filas("inventar.dbf", {"CLPRO_I"}).size(), 6u);
}

TEST(DisenoClaves, ListsAreKeptInClavesDat) {
  DirectorioTemporal dir;
  base::creaDirectorios("C:\\t");
  ASSERT_TRUE(guardaListasClaves("C:\\t", {"A,B,", "1,2,", "", "Ñ,"}));
  EXPECT_EQ(dir.lee("unidades/c/t/claves.dat"), "A,B,\r\n1,2,\r\n\r\n\xD1,\r\n");
  EXPECT_EQ(leeListasClaves("C:\\t"), (std::array<std::string, 4>{"A,B,", "1,2,", "", "Ñ,"}));
  EXPECT_EQ(leeListasClaves("C:\\otro"), (std::array<std::string, 4>{}));
}

TEST(Kits, ComponentsAndAKitThatWouldContainItself) {
  DirectorioTemporal dir;
  EmpresaVentas empresa;
  for (const char* k : {"KIT1", "KIT2", "TORN", "RONDANA"}) {
    ProductoVenta p;
    p.clave = k;
    p.descripcion = std::string("DESC ") + k;
    empresa.producto(p);
  }
  InteraccionFalsa ui;
  const auto d = EmpresaVentas::kDatos;
  ASSERT_TRUE(agregaComponente(d, d, "KIT1", "TORN", 4, ui));
  ASSERT_TRUE(agregaComponente(d, d, "KIT1", "KIT2", 1, ui));
  ASSERT_TRUE(agregaComponente(d, d, "KIT2", "RONDANA", 8, ui));
  EXPECT_TRUE(kitContiene(d, "KIT1", "RONDANA"));
  EXPECT_FALSE(kitContiene(d, "KIT2", "TORN"));
  // Directly, and through the other kit.
  EXPECT_FALSE(agregaComponente(d, d, "KIT2", "KIT2", 1, ui));
  EXPECT_FALSE(agregaComponente(d, d, "KIT2", "KIT1", 1, ui));
  EXPECT_FALSE(agregaComponente(d, d, "KIT2", "NOEXISTE", 1, ui));
  EXPECT_EQ(ui.mensajes(), (std::vector<std::string>{"Un Kit no Puede Contenerse a Sí Mismo",
                                                     "Un Kit no Puede Contenerse a Sí Mismo",
                                                     "El Producto No Se encuentra"}));
  const auto c = componentesKit(d, "KIT1");
  ASSERT_EQ(c.size(), 2u);
  EXPECT_EQ(c[0].clave, "TORN");
  EXPECT_EQ(c[0].descripcion, "DESC TORN");
  EXPECT_DOUBLE_EQ(c[0].cantidad, 4);
  EXPECT_EQ(empresa.filas("Kits.dbf", {"CLPRO_I", "CLPRO_K", "CANTI_K"}),
            (std::vector<std::string>{"KIT1|TORN|4.000", "KIT1|KIT2|1.000", "KIT2|RONDANA|8.000"}));
  // A product with components is marked a kit; its components are not.
  EXPECT_EQ(empresa.texto("inventar.dbf", "CLPRO_I", "KIT1", "KITXX_I"), "S");
  EXPECT_EQ(empresa.texto("inventar.dbf", "CLPRO_I", "KIT2", "KITXX_I"), "S");
  EXPECT_NE(empresa.texto("inventar.dbf", "CLPRO_I", "TORN", "KITXX_I"), "S");
  ASSERT_TRUE(quitaComponente(d, c[1].registro));
  EXPECT_FALSE(kitContiene(d, "KIT1", "RONDANA"));
  EXPECT_TRUE(agregaComponente(d, d, "KIT2", "KIT1", 1, ui));
}

TEST(CodigoBarras, TheKeyGoesToBarraDatAndTheLabelProgramStarts) {
  DirectorioTemporal dir;
  base::creaDirectorios("C:\\t");
  InteraccionFalsa ui;
  ProcesosFalsos procesos;
  base::TablaProgramas programas([](std::string_view) { return false; }, "/bin/mostrador");
  // Not configured here: the message, and the key is written all the same.
  EXPECT_FALSE(imprimeCodigoBarras("C:\\t", "A1", programas, procesos, ui));
  EXPECT_EQ(ui.mensajes(), std::vector<std::string>{"No Se Puede Utilizar el Código de Barras"});
  EXPECT_EQ(dir.lee("unidades/c/t/barra.dat"), "A1\r\n");
  programas.asigna("BARRAS.EXE", {"etiquetas", "{args}"});
  ui.olvidaLlamadas();
  EXPECT_TRUE(imprimeCodigoBarras("C:\\t", "B2", programas, procesos, ui));
  EXPECT_TRUE(ui.mensajes().empty());
  ASSERT_EQ(procesos.llamadas.size(), 1u);
  EXPECT_EQ(procesos.llamadas[0].programa, "etiquetas");
  EXPECT_EQ(dir.lee("unidades/c/t/barra.dat"), "B2\r\n");
}

TEST(RutasKardex, TheGridReplacesTheDirectories) {
  DirectorioTemporal dir;
  EmpresaVentas empresa;
  ASSERT_TRUE(guardaRutas(EmpresaVentas::kDatos, {"C:\\sucursal1", "", "D:\\norte"}));
  EXPECT_EQ(leeRutas(EmpresaVentas::kDatos), (std::vector<std::string>{"C:\\sucursal1", "D:\\norte"}));
  ASSERT_TRUE(guardaRutas(EmpresaVentas::kDatos, {"E:\\sur"}));
  EXPECT_EQ(leeRutas(EmpresaVentas::kDatos), std::vector<std::string>{"E:\\sur"});
}

}  // namespace
}  // namespace mostrador::prueba

namespace mostrador::prueba {
namespace {

TEST(Observaciones, ProductNotesAreKindINOfTheirKey) {
  DirectorioTemporal dir;
  EmpresaVentas empresa;
  const auto d = EmpresaVentas::kDatos;
  EXPECT_EQ(store::leeObservaciones(d, "IN", "A1"), std::vector<std::string>{});
  ASSERT_TRUE(store::guardaObservaciones(d, "IN", "A1", {"Frágil", "No apilar"}));
  ASSERT_TRUE(store::guardaObservaciones(d, "CL", "A1", {"de un cliente"}));
  EXPECT_EQ(store::leeObservaciones(d, "IN", "A1"), (std::vector<std::string>{"Frágil", "No apilar"}));
  ASSERT_TRUE(store::guardaObservaciones(d, "IN", "A1", {std::string(130, 'x')}));
  EXPECT_EQ(empresa.filas("factuobs.dbf", {"CLDOC_FO", "TIDOC_FO", "OBSER_FO"}),
            (std::vector<std::string>{"A1|CL|de un cliente", "A1|IN|" + std::string(100, 'x'),
                                      "A1|IN|" + std::string(30, 'x')}));
}

}  // namespace
}  // namespace mostrador::prueba
