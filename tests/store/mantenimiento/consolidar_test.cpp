// The company summary over real tables: the six sums and their statements, the mask,
// a company without purchases, and the optional date range.

#include "store/mantenimiento/consolidar.h"

#include <gtest/gtest.h>

#include <array>

#include "base/rutas.h"
#include "store/dbf/dbf_table.h"
#include "session/empresa_nueva.h"
#include "support/entorno.h"
#include "support/interaccion_fake.h"

namespace mostrador::store {
namespace {

using Msgs = std::vector<std::string>;

class Consolidado : public ::testing::Test {
 protected:
  void SetUp() override {
    datos = dir.str() + "/datos";
    session::creaDirectorioDatos(datos);
    dbf::Table r;
    r.open(datos, "remision.dbf");
    const std::vector<std::pair<double, dbf::Fecha>> remisiones{
        {1000.25, {2026, 11, 30}}, {234.25, {2026, 12, 1}}, {1000000, {2026, 12, 8}}};
    for (const auto& [importe, fecha] : remisiones) {
      r.append();
      r.setFloat("IMTOD_F", importe);
      r.setDate("FEDOC_F", fecha);
      r.post();
    }
    dbf::Table i;
    i.open(datos, "inventar.dbf");
    const std::vector<std::array<double, 3>> productos{{10, 2.5, 4}, {-3, 100, 200}, {2, 7.125, 9}};
    for (const auto& p : productos) {
      i.append();
      i.setFloat("EXIST_I", p[0]);
      i.setFloat("CPROM_I", p[1]);
      i.setFloat("PPUBL_I", p[2]);
      i.post();
    }
  }

  prueba::DirectorioTemporal dir;
  prueba::InteraccionFalsa ui;
  std::string datos;
};

TEST_F(Consolidado, SixMaskedSumsAndACompanyWithoutPurchasesShowsZero) {
  Consolidar c(ui, datos, {2026, 12, 8});
  c.FormShow();
  EXPECT_EQ(c.LabelRuta(), datos);
  EXPECT_EQ(c.MemoConsolidar(), (Msgs{"Total de Remisiones  1,001,234.50", "Total de Compras     0",
                                      "Abonos en Compras    0", "Saldo en Compras     0",
                                      "Costo del Inventario 39.25", "Valor del Inventario 58.00"}));
  EXPECT_EQ(c.lineas()[0].sentencia,
            "Select Sum(IMTOD_F) from \"" + base::une(datos, "remision.dbf") + "\" ");
  EXPECT_EQ(c.lineas()[4].sentencia,
            "Select Sum(CPROM_I*EXIST_I) from \"" + base::une(datos, "inventar.dbf") + "\"  where EXIST_I>0");
  EXPECT_EQ(c.Progreso(), 6);
  EXPECT_EQ(ui.llamadas(), (Msgs{"progreso: Consolidando 0/6", "avanza: 1", "avanza: 1", "avanza: 1", "avanza: 1",
                                 "avanza: 1", "avanza: 1", "fin progreso"}));
  const auto barras = c.BotonEsquinado2Click();
  ASSERT_EQ(barras.size(), 6u);
  EXPECT_DOUBLE_EQ(barras[0].second, 1001234.5);
  EXPECT_DOUBLE_EQ(barras[1].second, 0);
}

TEST_F(Consolidado, TheDateRangeLimitsTheDocumentsOnlyWhenTurnedOn) {
  {
    dbf::Table t;
    t.open(datos, "comprasE.dbf");
    t.append();
    t.setFloat("IMDOC_O", 500);
    t.setFloat("SALDO_O", 120);
    t.setDate("FEDOC_O", dbf::Fecha{2026, 12, 2});
    t.post();
    t.append();
    t.setFloat("IMDOC_O", 80);
    t.setFloat("SALDO_O", 80);
    t.setDate("FEDOC_O", dbf::Fecha{2026, 10, 2});
    t.post();
  }
  Consolidar c(ui, datos, {2026, 12, 8});
  EXPECT_EQ(c.FechaInicio(), (base::Fecha{2026, 12, 1}));
  EXPECT_EQ(c.FechaFinal(), (base::Fecha{2026, 12, 8}));
  c.ponFechaFinal({2026, 12, 7});
  c.BotonEsquinado1Click();
  EXPECT_EQ(c.MemoConsolidar()[1], "Total de Compras     580.00");
  c.ponRango(true);
  c.BotonEsquinado1Click();
  EXPECT_EQ(c.MemoConsolidar(), (Msgs{"Total de Remisiones  234.25", "Total de Compras     500.00",
                                      "Abonos en Compras    380.00", "Saldo en Compras     120.00",
                                      "Costo del Inventario 39.25", "Valor del Inventario 58.00"}));
  EXPECT_EQ(c.lineas()[0].sentencia, "Select Sum(IMTOD_F) from \"" + base::une(datos, "remision.dbf") +
                                         "\"  where FEDOC_F>=\"12/1/2026\" and FEDOC_F<=\"12/7/2026\"");
}

}  // namespace
}  // namespace mostrador::store
