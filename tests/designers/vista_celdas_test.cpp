// How the catalogue browser writes its cells and shares its width, and a saved view
// read back and turned into the report that runs it.
#include <gtest/gtest.h>

#include "base/rutas.h"
#include "designers/diseno_vista.h"
#include "designers/navegador_catalogo.h"
#include "reports/reporte_sql.h"
#include "store/dbf/dbf_table.h"
#include "support/entorno.h"
#include "support/interaccion_fake.h"

using namespace mostrador;
using namespace mostrador::designers;

namespace {

TEST(CeldasCatalogo, AmountsShowTwoDecimalsAndTheMoneyKindShowsMoney) {
  const dbf::FieldDef precio{"PPUBL_I", 'N', 14, 4}, existencia{"EXIST_I", 'N', 8, 0}, nombre{"DESCR_I", 'C', 30, 0};
  // Stored with four decimals, shown with two (rounded half away from zero).
  EXPECT_EQ(muestraValor(precio, ' ', "     1234.5000"), "1,234.50");
  EXPECT_EQ(muestraValor(precio, ' ', "        0.1250"), "0.13");
  EXPECT_EQ(muestraValor(precio, 'c', "       -2.0000"), "-2.00");
  // "Moneda": the symbol, and negatives in parentheses.
  EXPECT_EQ(muestraValor(precio, 'm', "     1234.5000"), "$1,234.50");
  EXPECT_EQ(muestraValor(precio, 'm', "      -12.3400"), "($12.34)");
  EXPECT_EQ(muestraValor(existencia, 'm', "       7"), "$7.00");
  // "Numérico" on a whole-number field writes its two decimals; without a kind it is
  // shown as stored.
  EXPECT_EQ(muestraValor(existencia, 'n', "    1500"), "1,500.00");
  EXPECT_EQ(muestraValor(existencia, ' ', "    1500"), "1500");
  // Texts, empty numbers and numbers that do not read stay as they are (trimmed).
  EXPECT_EQ(muestraValor(nombre, 'm', "Martillo   "), "Martillo");
  EXPECT_EQ(muestraValor(precio, 'm', "          "), "");
  EXPECT_EQ(muestraValor(precio, ' ', "  ***  "), "***");
}

TEST(AnchosCatalogo, TheAutomaticColumnsShareTheRoomLeftAndEndAtTheEdge) {
  // 100 + 50 + 30 = 180 of 400: the 220 left go to the automatic columns 1 and 3 in
  // proportion (100:30), the last one taking the remainder; column 2 keeps its 50.
  EXPECT_EQ(reparteAnchos({100, 50, 30}, {true, false, true}, 400), (std::vector<int>{269, 50, 81}));
  // No room left, no automatic column: as they were.
  EXPECT_EQ(reparteAnchos({300, 200}, {true, true}, 400), (std::vector<int>{300, 200}));
  EXPECT_EQ(reparteAnchos({100, 50}, {false, false}, 400), (std::vector<int>{100, 50}));
  EXPECT_EQ(reparteAnchos({}, {}, 400), std::vector<int>{});
  // Exactly the room there is.
  const auto r = reparteAnchos({61, 47, 13, 90}, {true, true, true, true}, 677);
  int suma = 0;
  for (int a : r) suma += a;
  EXPECT_EQ(suma, 677);
}

// The lines the view designer writes for three fields of two modules.
const std::vector<std::string> kVista = {
    "A.CLCLI_C,A.NOMBR_C,F.IMTOD_F",
    "\\cliente.dbf\" as A,\\facturae.dbf\" as F ",
    "Clave,Nombre del cliente,Importe ",
    "C,C,###,##0.00 ",
    "6,20,14,",
    "NOMBR_C,",
    "N,N,totalizar,",
    "N,N,N,",
    "CLCLI_C=CLCLI_F ",
    "Ventas por cliente"};

TEST(VistaGuardada, ReadsBackTheGridItWasSavedFrom) {
  auto v = leeVista(kVista, 4);
  ASSERT_TRUE(v);
  EXPECT_EQ(v->nombre, "Ventas por cliente");
  EXPECT_EQ(v->modulo, 0);
  const auto& d = v->diseno;
  EXPECT_EQ(d.columnas(), 4);
  EXPECT_EQ(d.columna(0)[kNombre], "CLCLI_C");
  EXPECT_EQ(d.columna(0)[kCampo], "Clave");
  EXPECT_EQ(d.columna(0)[kFormato], "");
  EXPECT_EQ(d.columna(0)[kLlave], "X");
  EXPECT_EQ(d.columna(1)[kOrden], "X");
  EXPECT_EQ(d.columna(1)[kAncho], "20");
  EXPECT_EQ(d.columna(2)[kTabla], "facturae.dbf");
  EXPECT_EQ(d.columna(2)[kIdentificador], "F");
  EXPECT_EQ(d.columna(2)[kFormato], "###,##0.00");
  EXPECT_EQ(d.columna(2)[kTotales], "totalizar");
  EXPECT_EQ(d.columna(2)[kTotalCambio], "");
  EXPECT_EQ(d.columna(3)[kNombre], "");
  // Saved again, the same ten lines (the key "CLCLI_F" was no field of the grid, so
  // only CLCLI_C keeps its mark).
  auto l = d.lineasDefinicion(v->nombre);
  EXPECT_EQ(l[0], kVista[0]);
  EXPECT_EQ(l[1], kVista[1]);
  EXPECT_EQ(l[4], kVista[4]);
  EXPECT_EQ(l[6], kVista[6]);
  EXPECT_EQ(l[8], "CLCLI_C ");
  // Two amount columns side by side: each gets its whole mask back.
  auto dos = leeVista({"A.SALDO_C,A.LIMIT_C", "\\cliente.dbf\" as A ", "Saldo,Limite ", "###,##0.00,###,##0.00 "});
  ASSERT_TRUE(dos);
  EXPECT_EQ(dos->diseno.columna(0)[kFormato], "###,##0.00");
  EXPECT_EQ(dos->diseno.columna(1)[kFormato], "###,##0.00");
  // Not a view.
  EXPECT_FALSE(leeVista({}));
  EXPECT_FALSE(leeVista({"", "x"}));
  EXPECT_FALSE(leeVista({"CLCLI_C"}));
  EXPECT_FALSE(leeVista({"Z.CLCLI_C"}));
}

TEST(VistaGuardada, BecomesTheReportDefinitionThatRunsIt) {
  EXPECT_EQ(rutaVista("C:\\tvk", "Ventas"), "C:\\tvk\\report\\Ventas.vis");
  EXPECT_EQ(definicionDeVista(kVista),
            "$Ventas por cliente\r"
            "& Select A.CLCLI_C,A.NOMBR_C,F.IMTOD_F from \"#\\cliente.dbf\" as A,\"#\\facturae.dbf\" as F\r"
            "?CLCLI_C=CLCLI_F\r"
            "!NOMBR_C\r"
            "%c c t\r"
            "#Clave  Nombre\xC2\xA0" "del\xC2\xA0" "cliente   Importe        \r"
            "@\r");
  EXPECT_EQ(definicionDeVista({"x"}), "");
}

TEST(VistaGuardada, RunsThroughTheReportRunner) {
  prueba::DirectorioTemporal dir;
  prueba::InteraccionFalsa ui;
  const std::string datos = "C:\\datos";
  base::creaDirectorios(datos);
  dbf::Table::create(datos, "inventar.dbf", {{"CLPRO_I", 'C', 6, 0}, {"EXIST_I", 'N', 10, 2}});
  dbf::Table t;
  t.open(datos, "inventar.dbf");
  for (auto [clave, existencia] : {std::pair{"B2", 2.5}, std::pair{"A1", 10.0}}) {
    t.append();
    t.setText("CLPRO_I", clave);
    t.setFloat("EXIST_I", existencia);
    t.post();
  }
  DisenoVista v(3);
  v.colocaCampo(0, 7, {"CLPRO_I", "Producto", "Cadena", 6});
  v.colocaCampo(1, 7, {"EXIST_I", "Existencia", "Numérico", 10});
  v.ponCelda(1, kTotales, "totalizar");
  v.ponCelda(0, kOrden, "X");
  reports::ReporteSql r(ui, "Reporte de Existencias");
  ASSERT_TRUE(r.ejecuta(definicionDeVista(v.lineasDefinicion("Existencias")), datos));
  // Widths 9 ("Producto" and its blank) and 14 (the 12 of an amount, its blank and the
  // one appended to the heading line); rows in the order of the "Orden" field.
  EXPECT_EQ(r.hoja().textos(), (std::vector<std::string>{"*Reporte de Existencias",
                                                         "Producto Existencia   ",
                                                         "",
                                                         "",
                                                         "A1              10.00  ",
                                                         "B2               2.50  ",
                                                         "         _____________ ",
                                                         "                12.50  ",
                                                         "",
                                                         "",
                                                         "."}));
  EXPECT_EQ(ui.mensajes(), std::vector<std::string>{});
}

}  // namespace
