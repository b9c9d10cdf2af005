// The statements the screens write, run over a small company with known totals.
#include <gtest/gtest.h>

#include "empresa.h"
#include "base/rutas.h"
#include "support/entorno.h"

using namespace mostrador;
using namespace mostrador::prueba;
using Filas = std::vector<std::string>;

namespace {

class Sentencias : public ::testing::Test {
 protected:
  void SetUp() override { creaEmpresa(); }
  std::string de(const std::string& archivo) { return "\"" + tabla(archivo) + "\""; }
  DirectorioTemporal dir_;
  sql::BaseSql base_;
};

}  // namespace

TEST_F(Sentencias, SummarySumsOfTheCompany) {
  auto suma = [&](const std::string& exp, const std::string& archivo, const std::string& cond) {
    std::string s = "Select Sum(" + exp + ") from " + de(archivo) + " ";
    if (!cond.empty()) s += " where " + cond;
    return base_.consulta(s)->asText(0);
  };
  EXPECT_EQ(suma("IMTOD_F", "remision.dbf", ""), "448.5");
  EXPECT_EQ(suma("IMDOC_O", "comprasE.dbf", ""), "1700");
  EXPECT_EQ(suma("IMDOC_O-SALDO_O", "comprasE.dbf", ""), "1199.95");
  EXPECT_EQ(suma("SALDO_O", "comprasE.dbf", ""), "500.05");
  EXPECT_EQ(suma("CPROM_I*EXIST_I", "inventar.dbf", "EXIST_I>0"), "250");
  EXPECT_EQ(suma("PPUBL_I*EXIST_I", "inventar.dbf", "EXIST_I>0"), "450");
  // The date range the summary can append: month/day/year in double quotes.
  EXPECT_EQ(suma("IMTOD_F", "remision.dbf", "FEDOC_F>=\"3/5/2001\" and FEDOC_F<=\"3/5/2001\""),
            "402.5");

  // A company without purchases: the sum is NULL, read as "" and 0.
  base::creaDirectorios("C:\\Vacia");
  dbf::Table::create("C:\\Vacia", "comprasE.dbf", {{"IMDOC_O", 'N', 12, 2}});
  auto r = base_.consulta("Select Sum(IMDOC_O) from \"C:\\Vacia\\comprasE.dbf\" ");
  ASSERT_EQ(r->recordCount(), 1);
  EXPECT_TRUE(r->isNull(0));
  EXPECT_EQ(r->asText(0), "");
  EXPECT_EQ(r->asFloat(0), 0);
}

TEST_F(Sentencias, ZCutSectionsOverADayRange) {
  const std::string rango = "  and FEDOC_F >= '3/5/2001' and FEDOC_F <= '3/6/2001'  ";
  const std::string remisiones =
      "Select cldoc_f,CLCLI_F,imtod_f,SUBTO_F,IMIM2_F,FEDOC_F,FPGCX_F from " + de("remision.dbf");
  auto seccion = [&](const std::string& q, const std::string& filtro, const std::string& orden) {
    return filas(base_, q + "  where " + filtro + " " + rango + "  order by " + orden);
  };
  EXPECT_EQ(seccion(remisiones, "(STATU_F<>\"C\" OR STATU_F IS NULL)AND REMIS_F IS NULL", "cldoc_f"),
            (Filas{"1|1|115|100|15|05/03/2001|", "4|1|46|40|6|06/03/2001|"}));
  EXPECT_EQ(seccion(remisiones, "(STATU_F<>\"C\" OR STATU_F IS NULL)AND REMIS_F>\" \"", "cldoc_f"),
            (Filas{"2|7|230|200|30|05/03/2001|2"}));
  EXPECT_EQ(seccion("Select cldoc_f,CLCLI_F,imtod_f,SUBTO_F,IMIM2_F,FEDOC_F,FPGCX_F from " +
                        de("FACTURAE.dbf"),
                    "(STATU_F<>\"C\" OR STATU_F IS NULL)AND CLPED_F IS NULL", "cldoc_f"),
            (Filas{"11|1|0|0|0|06/03/2001|"}));
  EXPECT_EQ(seccion(remisiones, "(STATU_F=\"C\")", "cldoc_f"),
            (Filas{"3|7|57.5|50|7.5|05/03/2001|"}));

  const std::string retiros =
      "Select CLDOC_F,CONCEPTO,CANTIDAD,CANTIDAD,CANTIDAD,FEDOC_F,CANTIDAD,NUM_CONCEP from " +
      de("retiros.dbf");
  auto r = base_.consulta(retiros + "  where (NUM_CONCEP<=1 AND CLDOC_F=CLDOC_F) " + rango +
                          "  order by CLDOC_F");
  EXPECT_EQ(nombres(*r), "CLDOC_F|CONCEPTO|CANTIDAD|CANTIDAD_1|CANTIDAD_2|FEDOC_F|CANTIDAD_3|NUM_CONCEP");
  EXPECT_EQ(filas(*r), (Filas{"1|PAGO LUZ|20|20|20|05/03/2001|20|1", "4|OTRO|8|8|8|06/03/2001|8|1"}));
  EXPECT_EQ(seccion(retiros, "(NUM_CONCEP=2 AND CLDOC_F=CLDOC_F)", "CLDOC_F"),
            (Filas{"2|FONDO|5|5|5|05/03/2001|5|2"}));
  // A blank NUM_CONCEP is NULL, like every blank field.
  EXPECT_EQ(filas(base_, "Select CLDOC_F from " + de("retiros.dbf") + " where NUM_CONCEP IS NULL"),
            (Filas{"3"}));
}

TEST_F(Sentencias, PaidAndUnpaidDocumentsAndTheDocumentRange) {
  const std::string q =
      "Select CLDOC_F,NOMBR_F,IMTOD_F,SUBTO_F-(SUBTO_F*DECOT_F/100),IMIM2_F,FEDOC_F from " +
      de("remision.dbf") + "  where (STATU_F<>\"C\" OR STATU_F IS NULL) and";
  EXPECT_EQ(filas(base_, q + "(PAGOX_F='Pagada en 1')  order by cldoc_f"),
            (Filas{"1|MOSTRADOR|115|100|15|05/03/2001"}));
  EXPECT_EQ(filas(base_, q + "(PAGOX_F IS NULL)  order by cldoc_f"),
            (Filas{"2|FERRETERIA|230|200|30|05/03/2001", "4|MOSTRADOR|46|40|6|06/03/2001"}));
  // The document range compares a numeric field with quoted numbers: as numbers, so '9'
  // is below 10.
  EXPECT_EQ(filas(base_, "Select CLDOC_F from " + de("facturae.dbf") +
                             "  where (STATU_F<>\"C\" OR STATU_F IS NULL)  and "
                             "(CLDOC_F>='9' and CLDOC_F<='11')  order by cldoc_f"),
            (Filas{"10", "11"}));
}

TEST_F(Sentencias, HeaderReports) {
  const std::string activas = "  where (STATU_F<>\"C\" OR STATU_F IS NULL) ";
  auto r = base_.consulta(
      "Select CLCLI_F,NOMBR_F,CLDOC_F,SUBTO_F-(SUBTO_F*(DECOT_F/100)),IMIM2_F,IMTOD_F,FEDOC_F "
      "from " + de("facturae.dbf") + activas + "  order by CLCLI_F,NOMBR_F,cldoc_f");
  EXPECT_EQ(filas(*r), (Filas{"1|MOSTRADOR|11|0|0|0|06/03/2001", "3|ABARROTES|13|80|12|92|07/03/2001",
                              "7|FERRETERIA|10|180|27|207|05/03/2001"}));
  const auto& d = r->fieldDefs();
  ASSERT_EQ(d.size(), 7u);
  EXPECT_EQ(d[0], (dbf::FieldDef{"CLCLI_F", 'C', 10, 0}));
  EXPECT_EQ(d[2], (dbf::FieldDef{"CLDOC_F", 'N', 8, 0}));
  EXPECT_EQ(d[3], (dbf::FieldDef{"SUBTO_F-(SUBTO_F*(DECOT_F/100))", 'N', 20, 4}));
  EXPECT_EQ(d[5], (dbf::FieldDef{"IMTOD_F", 'N', 12, 2}));
  EXPECT_EQ(d[6], (dbf::FieldDef{"FEDOC_F", 'D', 8, 0}));
  r->first();
  EXPECT_EQ(r->asDate("FEDOC_F"), (dbf::Fecha{2001, 3, 6}));

  // A margin over a zero subtotal divides by zero: the cell is NULL.
  EXPECT_EQ(filas(base_,
                  "Select CLDOC_F,NOMBR_F,COSTO_F,SUBTO_F-(SUBTO_F*DECOT_F/100),"
                  "((SUBTO_F-(SUBTO_F*DECOT_F/100)))-COSTO_F,((SUBTO_F-COSTO_F)/SUBTO_F)*100,FEDOC_F "
                  "from " + de("facturae.dbf") + activas + "  order by cldoc_f"),
            (Filas{"10|FERRETERIA|120|180|60|40|05/03/2001", "11|MOSTRADOR|0|0|0||06/03/2001",
                   "13|ABARROTES|50|80|30|37.5|07/03/2001"}));
  EXPECT_EQ(filas(base_, "Select CLDOC_F,CLCLI_F,NOMBR_F,SUBTO_F-(SUBTO_F*(DECOT_F/100)),IMIM2_F,"
                         "IMTOD_F,FEDOC_F from " + de("facturae.dbf") +
                             "  where (STATU_F=\"C\" )   order by cldoc_f"),
            (Filas{"12|7|FERRETERIA|300|45|345|06/03/2001"}));
  EXPECT_EQ(filas(base_, "Select CLVEN_F,SUM(IMTOD_F) from " + de("facturae.dbf") + activas +
                             " GROUP BY CLVEN_F ORDER BY CLVEN_F"),
            (Filas{"V1|207", "V2|92"}));
}

TEST_F(Sentencias, DetailReportJoinedWithProductsUsesTheProductTag) {
  const std::string q =
      "Select I.LIPRO_I,F.CLDOC_FD,F.CLPRO_FD,F.CANTI_FD,F.CANTI_FD*F.COPRO_FD,(F.CANTI_FD*F.PREDE_FD),"
      "(F.CANTI_FD*F.PREDE_FD)-(F.CANTI_FD*F.COPRO_FD),((PREDE_FD-COPRO_FD)/PREDE_FD)*100,F.FEDOC_FD,"
      "I.CLPRO_I from " + de("facturad.dbf") + " AS F, " + de("inventar.dbf") +
      " AS I  where (TREGI_FD<>\"C\" OR TREGI_FD IS NULL)  and (F.CLPRO_FD=I.CLPRO_I)  "
      "  order by LIPRO_I";
  Filas r = filas(base_, q);
  ASSERT_EQ(r.size(), 5u);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(r[i].substr(0, 5), "FERR|") << r[i];
  std::sort(r.begin(), r.end());
  EXPECT_EQ(r, (Filas{"FERR|10|A1|10|10|18|8|44.4444444444444|05/03/2001|A1",
                      "FERR|11|A1|5|5|10|5|50|06/03/2001|A1",
                      "FERR|13|C3|3|0.6|1.5|0.9|60|07/03/2001|C3",
                      "HERR|10|B2|2|60|90|30|33.3333333333333|05/03/2001|B2",
                      "HERR|13|B2|3|90|144|54|37.5|07/03/2001|B2"}));
  // The detail is read in record order and each product is found through ICLPRO (the
  // first tag, equality: plan 1 << 4 | 1).
  std::string plan;
  for (const auto& f : filas(base_, "EXPLAIN QUERY PLAN " + q)) plan += f + "\n";
  EXPECT_NE(plan.find("SCAN F VIRTUAL TABLE INDEX 0:"), std::string::npos) << plan;
  EXPECT_NE(plan.find("SCAN I VIRTUAL TABLE INDEX 17:"), std::string::npos) << plan;
}

TEST_F(Sentencias, BestSellersGroupedWithHaving) {
  EXPECT_EQ(filas(base_, "Select CLPRO_FD,DEPRO_FD,SUM(CANTI_FD) AS TOTAL,SUM(CANTI_FD*PREDE_FD) "
                         "AS IMPORTE from " + de("facturad.dbf") +
                             "  where (TREGI_FD<>\"C\" OR TREGI_FD IS NULL)  GROUP BY CLPRO_FD,"
                             "DEPRO_FD HAVING Count(CANTI_FD) > 1 ORDER BY TOTAL DESC"),
            (Filas{"A1|TORNILLO|15|28", "B2|MARTILLO|5|234"}));
}

TEST_F(Sentencias, UnionReports) {
  // The purchase-and-sale history of one product: purchase lines marked A, invoice lines B.
  auto r = base_.consulta(
      "Select CLDOC_OD,CLPRO_OD,DESCR_OD,CANTI_OD,CUNIT_OD,CANTI_OD*CUNIT_OD,'A' from "
      "\"C:\\Datos\\COMPRASD.DBF\" WHERE CLPRO_OD='A1'  UNION "
      "Select CLDOC_FD,CLPRO_FD,DEPRO_FD,CANTI_FD,PUNPR_FD,CANTI_FD*PUNPR_FD,'B' from "
      "\"C:\\Datos\\FACTURAD.DBF\" WHERE CLPRO_FD='A1'");
  EXPECT_EQ(nombres(*r), "CLDOC_OD|CLPRO_OD|DESCR_OD|CANTI_OD|CUNIT_OD|CANTI_OD*CUNIT_OD|'A'");
  Filas h = filas(*r);
  std::sort(h.begin(), h.end());
  EXPECT_EQ(h, (Filas{"10|A1|TORNILLO|10|2|20|B", "11|A1|TORNILLO|5|2|10|B",
                      "1|A1|TORNILLO|100|0.9|90|A", "2|A1|TORNILLO|50|1|50|A"}));

  // The comparative cut: the same columns over two detail tables; UNION drops repeats.
  EXPECT_EQ(filasOrdenadas(base_, "Select CLDOC_FD,CLPRO_FD,CANTI_FD,PUNPR_FD,IMPOR_FD,FEDOC_FD from " +
                                      de("facturad.dbf") + " WHERE (TREGI_FD<>\"C\" OR TREGI_FD IS NULL)"
                                      "   UNION Select CLDOC_FD,CLPRO_FD,CANTI_FD,PUNPR_FD,IMPOR_FD,"
                                      "FEDOC_FD from " + de("remisiod.dbf") + "  order by cldoc_fd"),
            (Filas{"10|A1|10|2|20|05/03/2001", "10|B2|2|50|100|05/03/2001", "11|A1|5|2|10|06/03/2001",
                   "13|B2|3|50|150|07/03/2001", "13|C3|3|0.5|1.5|07/03/2001",
                   "1|A1|4|2|8|05/03/2001", "4|C3|2|0.5|1|09/03/2001"}));

  // A text column keeps the first part's field, widened to the longest text of any part.
  auto u = base_.consulta("select CLVEN_F from " + de("facturae.dbf") + " union select NOMBR_F from " +
                          de("facturae.dbf"));
  EXPECT_EQ(u->fieldDefs(), (std::vector<dbf::FieldDef>{{"CLVEN_F", 'C', 10, 0}}));
  EXPECT_EQ(u->recordCount(), 5);

  // Entries positive, exits negative.
  const std::string m = "Select CLDOC_MI,CLPRO_MI,DESCR_MI,CANTI_MI*(%s),COSUN_MI,FEDOC_MI,TIMOV_MI from " +
                        de("movinven.dbf") + " WHERE (TIMOV_MI%s)";
  auto parte = [&](const char* signo, const char* cond) {
    std::string s = m;
    s.replace(s.find("%s"), 2, signo);
    s.replace(s.find("%s"), 2, cond);
    return s;
  };
  const std::string delProducto = "  and (CLPRO_MI=\"A1\")";
  EXPECT_EQ(filas(base_, parte("1", ">50") + delProducto + " UNION " + parte("-1", "<51") +
                             delProducto + "  order by CLDOC_MI"),
            (Filas{"1|A1|TORNILLO|100|0.9|01/03/2001|51", "2|A1|TORNILLO|-4|1|05/03/2001|3",
                   "3|A1|TORNILLO|7|1|05/03/2001|54", "5|A1|TORNILLO|-10|1|05/03/2001|1",
                   "6|A1|TORNILLO|-1|1|02/03/2001|0"}));
}

TEST_F(Sentencias, KardexJournalAndDocumentKardex) {
  EXPECT_EQ(filas(base_, "Select CLPRO_MI,DESCR_MI,CANTI_MI,COSUN_MI,CLDOC_MI,TIMOV_MI,FEDOC_MI,"
                         "REFMO_MI,EXIST_MI from " + de("movinven.dbf") +
                             "  Where TIMOV_MI>0 and CLPRO_MI=\"A1\"order by FEDOC_MI,CLDOC_MI"),
            (Filas{"A1|TORNILLO|100|0.9|1|51|01/03/2001|C-1|100", "A1|TORNILLO|4|1|2|3|05/03/2001|R-1|96",
                   "A1|TORNILLO|7|1|3|54|05/03/2001|AJ|89",
                   "A1|TORNILLO|10|1|5|1|05/03/2001|F-10|79"}));

  // The document kardex of C3: purchases 10 and 5, invoice 3, delivery note 2; a manual
  // movement of type 54 never counts.
  const std::string k = "\"C3\"";
  const std::string s =
      "Select CLDOC_OD AS CLAVE,CLPRO_OD AS PRO,CANTI_OD AS CANTI_FD,TREGI_OD,(111100+51)*(-1) AS "
      "CLDOC_F,FEDOC_OD AS FECHA,REFER_OD AS REFE,CLDOC_OD AS ORIGEN,PRECL_OD AS CLIPROV,FECHA  AS "
      "FECH From \"C:\\Datos\\COMPRASD.dbf\"  WHERE (CLPRO_OD=" + k +
      ") AND (TREGI_OD<>\"C\" OR TREGI_OD IS NULL) "
      "union ALL Select CLDOC_FD AS CLAVE,CLPRO_FD AS PRO,CANTI_FD,TREGI_FD,(111100+3)*(-1) AS "
      "CLDOC_F,FEDOC_FD AS FECHA,REFER_FD AS REFE,CLDOC_FD AS ORIGEN,PUNPR_FD AS CLIPROV,CONTROL AS "
      "FECH From \"C:\\Datos\\remisiod.dbf\" WHERE (CLPRO_FD=" + k +
      ") AND (TREGI_FD<>\"C\" OR TREGI_FD IS NULL) "
      "union ALL Select CLDOC_FD AS CLAVE,CLPRO_FD AS PRO,CANTI_FD,TREGI_FD,(111100+1)*(-1) AS "
      "CLDOC_F,FEDOC_FD AS FECHA,REFER_FD AS REFE,CLDOC_FD AS ORIGEN,PUNPR_FD AS CLIPROV,CONTROL AS "
      "FECH From \"C:\\Datos\\facturad.dbf\" WHERE (TDOCU_FD IS NULL) AND(CLPRO_FD=" + k +
      ") AND (TREGI_FD<>\"C\" OR TREGI_FD IS NULL) "
      "union ALL Select CLDOC_MI AS CLAVE,CLPRO_MI AS PRO,CANTI_MI AS CANTI_FD,REFMO_MI,"
      "(111100+TIMOV_MI)*(-1) AS CLDOC_F,FEDOC_MI AS FECHA,REFMO_MI AS REFE,NUDOC_MI AS ORIGEN,"
      "COSUN_MI AS CLIPROV,FECHA AS FECH From \"C:\\Datos\\MOVINVEN.dbf\" WHERE CLPRO_MI=" + k +
      " and(TIMOV_MI<>\"54\")  ORDER BY FECHA,FECH ";
  auto r = base_.consulta(s);
  EXPECT_EQ(nombres(*r), "CLAVE|PRO|CANTI_FD|TREGI_OD|CLDOC_F|FECHA|REFE|ORIGEN|CLIPROV|FECH");
  std::vector<double> existencias;
  double e = 0;
  for (r->first(); !r->eof(); r->next()) {
    long long tipo = -r->asInteger("CLDOC_F") - 111100;
    e += tipo <= 50 ? -r->asFloat("CANTI_FD") : r->asFloat("CANTI_FD");
    existencias.push_back(e);
  }
  EXPECT_EQ(existencias, (std::vector<double>{10, 15, 12, 10}));
  r->last();
  EXPECT_EQ(r->asText("CLAVE") + " " + r->asText("FECHA") + " " + r->asText("CLDOC_F"),
            "4 09/03/2001 -111103");
}

TEST_F(Sentencias, ProductCatalogueStatements) {
  EXPECT_EQ(filas(base_, "SELECT DISTINCT LIPRO_I FROM " + de("inventar.dbf") + " order by LIPRO_I"),
            (Filas{"FERR", "HERR"}));
  EXPECT_EQ(filas(base_, "Select CLPRO_I,DSCPR_I,PPUBL_I  From " + de("inventar.dbf") +
                             " WHERE DSCPR_I LIKE '%ll%' ORDER BY DSCPR_I"),
            (Filas{"B2|MARTILLO|50", "A1|TORNILLO|2"}));
  EXPECT_EQ(filas(base_, "Select CLPRO_I,DSCPR_I,EXIST_I,STMAX_I,((EXIST_I-STMAX_I)*(-1)),CLPR1_I,"
                         "ULCOS_I from " + de("inventar.dbf") +
                             "  where ((EXIST_I-(STMAX_I-0))<=0)and(CLPRO_I=CLPRO_I)    order by "
                             "CLPRO_I"),
            (Filas{"A1|TORNILLO|100|150|50|P1|1.1", "C3|CLAVO|0|10|10|P1|0.2",
                   "D4|SERRUCHO|-2|0|2|P2|42"}));
}

TEST_F(Sentencias, PayablesReports) {
  const std::string q = "Select CLPRV_O,NOMBR_O,CLDOC_O,IMDOC_O,IMDOC_O-SALDO_O,SALDO_O,FEDOC_O,"
                        "FEPAG_O,REFER_O";
  EXPECT_EQ(filas(base_, q + " from " + de("comprase.dbf") +
                             "  where (SALDO_O>0.1 AND (STDOC_O<>\"C\" OR STDOC_O IS NULL))    order "
                             "by CLDOC_O"),
            (Filas{"P1|ACME|2|500|200|300|15/02/2001|10/03/2001|FAC-12"}));
  EXPECT_EQ(filas(base_, q + " from " + de("comprase.dbf") +
                             "  where (SALDO_O<0.1 AND (STDOC_O<>\"C\" OR STDOC_O IS NULL))    order "
                             "by CLDOC_O"),
            (Filas{"P1|ACME|1|1000|999.95|0.05|01/02/2001|01/03/2001|FAC-9"}));
  // Overdue on 15 March: days since the due date.
  auto r = base_.consulta(q + ",('3/15/2001'-FEPAG_O) AS DIAS_VENCIDOS from " + de("comprase.dbf") +
                          "  where (SALDO_O>0.1 AND (STDOC_O<>\"C\" OR STDOC_O IS NULL))  and "
                          "FEPAG_O<='3/15/2001'  order by CLDOC_O");
  ASSERT_EQ(r->recordCount(), 1);
  EXPECT_EQ(r->asText("DIAS_VENCIDOS"), "5");
  // Payments of one document.
  EXPECT_EQ(filas(base_, "Select NUDOC_CP,Sum(IMCUE_CP) from " + de("cuepagar.dbf") +
                             " where OPERA_CP=\"A\" and STATU_CP IS NULL group by NUDOC_CP order by "
                             "NUDOC_CP"),
            (Filas{"1|999.95", "2|200"}));
}

TEST_F(Sentencias, ConsoleTranslationsAndBuilderQueries) {
  EXPECT_EQ(filas(base_, "SELECT nombr_c, clcli_c FROM " + de("cliente.dbf") +
                             " WHERE saldo_c > 0 ORDER BY nombr_c "),
            (Filas{"ABARROTES|3", "FERRETERIA|7", "ZAPATERIA|9"}));
  EXPECT_EQ(filas(base_, "SELECT SUM (IMTOD_F) FROM " + de("facturae.dbf") + " WHERE STATU_F IS NULL "),
            (Filas{"299"}));
  // The builder quotes its values and writes the date range with the SQL date text.
  EXPECT_EQ(filas(base_, "Select CLCLI_C,NOMBR_C From " + de("cliente.dbf") +
                             " Where SALDO_C > \"100\" and FULCO_C>='2/1/2001' and "
                             "FULCO_C<='3/31/2001' Order by NOMBR_C"),
            (Filas{"3|ABARROTES", "7|FERRETERIA"}));
  // With a data directory, the console may name tables without quotes.
  sql::BaseSql consola(kDatos);
  EXPECT_EQ(filas(consola, "SELECT nombr_c, clcli_c FROM cliente WHERE saldo_c > 0 ORDER BY nombr_c "),
            (Filas{"ABARROTES|3", "FERRETERIA|7", "ZAPATERIA|9"}));
  EXPECT_EQ(consola.ejecuta("UPDATE cliente SET saldo_c = 0 WHERE clcli_c = \"9\""), 1);
  EXPECT_EQ(filas(consola, "SELECT clcli_c FROM cliente WHERE saldo_c = 0 order by clcli_c"),
            (Filas{"1", "9"}));
}

TEST_F(Sentencias, BadStatementsGiveTheirTextAndNeverCrash) {
  auto error = [&](const std::string& s) -> std::string {
    try {
      base_.ejecuta(s);
    } catch (const sql::Error& e) {
      return e.what();
    }
    return "sin error";
  };
  EXPECT_EQ(error("Select * from \"C:\\Datos\\noexiste.dbf\""),
            "No existe la tabla C:\\Datos\\noexiste.dbf");
  // SQLite's English said in Spanish, naming what is wrong.
  EXPECT_EQ(error("Select NOCAMPO from " + de("cliente.dbf")), "No existe el campo NOCAMPO");
  EXPECT_EQ(error("Select C.X from " + de("cliente.dbf") + " D"), "No existe el campo C.X");
  EXPECT_EQ(error("Select * from " + de("cliente.dbf") + " where"), "La sentencia está incompleta");
  EXPECT_EQ(error("Select CLCLI_C from " + de("cliente.dbf") + " where where"), "Error de sintaxis cerca de \"where\"");
  EXPECT_EQ(error("Select NOFUNC(CLCLI_C) from " + de("cliente.dbf")), "No existe la función NOFUNC");
  EXPECT_EQ(error("Select CLCLI_C from " + de("cliente.dbf") + " UNION Select CLCLI_C, NOMBR_C from " +
                  de("cliente.dbf")),
            "Las consultas unidas con UNION deben tener el mismo número de columnas");
  EXPECT_EQ(error("Selec * from " + de("cliente.dbf")), "Sentencia no reconocida: Selec");
  EXPECT_EQ(error("Select * from \"C:\\Datos\\cliente.dbf where"),
            "Falta cerrar las comillas que abren en la posición 15 de la sentencia");
  EXPECT_EQ(error("   "), "La sentencia está vacía");
  EXPECT_EQ(error("Select 1; Select 2"), "Solo se admite una sentencia a la vez");
  EXPECT_EQ(error("Select * from " + de("cliente.dbf") + " A, " + de("cliente.dbf") + " A"),
            "El campo está en más de una tabla, anteponga la suya: A.CLCLI_C");
}
