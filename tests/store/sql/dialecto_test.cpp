#include <gtest/gtest.h>

#include <map>

#include "store/sql/dialecto.h"

using namespace mostrador::sql;
using mostrador::dbf::FieldDef;
using mostrador::dbf::Fecha;

namespace {

// Names each table "v_" + its file name in lower case, without extension, and records
// the paths it was asked for.
struct Registro {
  std::map<std::string, std::vector<FieldDef>> campos;  // by upper-case file name
  std::vector<std::string> pedidas;
  Entorno entorno() {
    Entorno e;
    e.registra = [this](const std::string& ruta) {
      pedidas.push_back(ruta);
      std::string archivo = ruta.substr(ruta.find_last_of("\\/") + 1);
      std::string mayus = archivo, nombre;
      for (char& c : mayus) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      for (char c : archivo.substr(0, archivo.find('.')))
        nombre += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      return TablaRegistrada{"v_" + nombre, campos[mayus]};
    };
    return e;
  }
  std::string traduce(std::string_view s) { return mostrador::sql::traduce(s, entorno()).sql; }
};

Registro conTablas() {
  Registro r;
  r.campos["REMISION.DBF"] = {{"CLDOC_F", 'N', 8, 0}, {"STATU_F", 'C', 1, 0},
                              {"FEDOC_F", 'D', 8, 0}, {"REMIS_F", 'C', 10, 0}};
  r.campos["COMPRASE.DBF"] = {{"FEDOC_O", 'D', 8, 0}, {"FEPAG_O", 'D', 8, 0},
                              {"SALDO_O", 'N', 12, 2}, {"STDOC_O", 'C', 1, 0}};
  r.campos["MOVINVEN.DBF"] = {{"TIMOV_MI", 'N', 4, 0}, {"FEDOC_MI", 'C', 10, 0}};
  r.campos["FACTURAD.DBF"] = {{"CLPRO_FD", 'C', 20, 0}, {"FEDOC_FD", 'C', 10, 0}};
  r.campos["INVENTAR.DBF"] = {{"CLPRO_I", 'C', 20, 0}, {"FEALT_I", 'D', 8, 0}};
  return r;
}

}  // namespace

TEST(Dialecto, TokensGiveTheStatementBackAndKeepQuotesWhole) {
  const std::string s = "Select a<>'it''s',\"x\"\"y\"--c\n/*k*/ from t where b>=1.5e3";
  std::string junto;
  for (const auto& t : tokeniza(s)) junto += t.texto;
  EXPECT_EQ(junto, s);
  auto v = significativos(s);
  ASSERT_EQ(v.size(), 12u);
  EXPECT_EQ(v[2].texto, "<>");
  EXPECT_EQ(v[3].clase, Clase::Cadena);
  EXPECT_EQ(v[3].valor(), "it's");
  EXPECT_EQ(v[5].clase, Clase::Comillas);
  EXPECT_EQ(v[5].valor(), "x\"y");
  EXPECT_EQ(v[10].texto, ">=");
  EXPECT_EQ(v[11].texto, "1.5e3");
  EXPECT_EQ(v[11].clase, Clase::Numero);
}

TEST(Dialecto, UnterminatedQuoteIsAnErrorWithItsPosition) {
  try {
    tokeniza("Select * from \"C:\\x.dbf where");
    FAIL();
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(), "Falta cerrar las comillas que abren en la posición 15 de la sentencia");
  }
}

TEST(Dialecto, PathsBecomeTablesAndOtherDoubleQuotesBecomeLiterals) {
  Registro r = conTablas();
  EXPECT_EQ(r.traduce("Select cldoc_f from \"C:\\Datos\\remision.dbf\" where "
                      "(STATU_F<>\"C\" OR STATU_F IS NULL)AND REMIS_F>\" \""),
            "Select cldoc_f from v_remision where (STATU_F<>'C' OR STATU_F IS NULL)AND REMIS_F>' '");
  EXPECT_EQ(r.pedidas, (std::vector<std::string>{"C:\\Datos\\remision.dbf"}));
  // A quote inside a double-quoted text is doubled in the literal.
  EXPECT_EQ(r.traduce("Select * from \"c:\\d\\inventar.dbf\" where DSCPR_I=\"D'Angelo\""),
            "Select * from v_inventar where DSCPR_I='D''Angelo'");
}

TEST(Dialecto, SamePathTwiceRegistersOnceWhateverItsCase) {
  Registro r = conTablas();
  auto t = traduce("Select a from \"C:\\D\\facturad.dbf\" WHERE x=1  UNION "
                   "Select b from \"c:\\d\\FACTURAD.DBF\" union all Select c from \"/tmp/d/remision\"",
                   r.entorno());
  EXPECT_EQ(t.sql, "Select a from v_facturad WHERE x=1  UNION Select b from v_facturad union all "
                   "Select c from v_remision");
  EXPECT_EQ(t.rutas, (std::vector<std::string>{"C:\\D\\facturad.dbf", "/tmp/d/remision"}));
  EXPECT_EQ(rutasDe("select * from \"a\\b.dbf\" F, \"a\\c.dbf\" I where F.x=I.y and z=\"q/r\""),
            (std::vector<std::string>{"a\\b.dbf", "a\\c.dbf"}));
}

TEST(Dialecto, SlashTextIsAPathOnlyWhereATableIsNamed) {
  Registro r = conTablas();
  EXPECT_EQ(r.traduce("select * from \"/srv/datos/cliente\" where ZONAX_C=\"N/A\""),
            "select * from v_cliente where ZONAX_C='N/A'");
  EXPECT_EQ(r.traduce("select * from \"a\\inventar.dbf\" I, \"/srv/x/remisiod\" F where 1"),
            "select * from v_inventar I, v_remisiod F where 1");
  EXPECT_EQ(r.traduce("insert into \"/srv/x/nuevo\" (A) values (\"5/x\")"),
            "insert into v_nuevo (A) values ('5/x')");
}

TEST(Dialecto, MarksAreRemovedAnywhere) {
  Registro r = conTablas();
  EXPECT_EQ(r.traduce("Select CLCLI_C,NOMBR_C,CLCLI_C\xC2\xAB from \"D:\\e\\cliente.dbf\""),
            "Select CLCLI_C,NOMBR_C,CLCLI_C from v_cliente");
}

TEST(Dialecto, DateLiteralsComparedWithDateFieldsBecomeIso) {
  Registro r = conTablas();
  // m/d/yyyy (the SQL date text) and dd/MM/yyyy (the short date), both quote kinds,
  // both sides of the operator, qualified columns.
  EXPECT_EQ(r.traduce("select * from \"c:\\remision.dbf\" E where FEDOC_F>=\"3/5/2001\" and "
                      "'31/03/2001'>=E.FEDOC_F and FEDOC_F<> '05/03/2001'"),
            "select * from v_remision E where FEDOC_F>='2001-03-05' and "
            "'2001-03-31'>=E.FEDOC_F and FEDOC_F<> '2001-03-05'");
  // A text field holding dates stays text; a date that is not compared stays as written.
  EXPECT_EQ(r.traduce("select '3/5/2001' from \"c:\\facturad.dbf\" where FEDOC_FD='3/5/2001'"),
            "select '3/5/2001' from v_facturad where FEDOC_FD='3/5/2001'");
  // BETWEEN, IN, and a qualified column of the second table.
  EXPECT_EQ(r.traduce("select * from \"c:\\facturad.dbf\" F, \"c:\\inventar.dbf\" I where "
                      "I.FEALT_I between '1/2/2001' and \"12/25/2001\" or FEALT_I not in "
                      "('10/11/2001','2001-01-31')"),
            "select * from v_facturad F, v_inventar I where I.FEALT_I between '2001-01-02' and '2001-12-25' "
            "or FEALT_I not in ('2001-10-11','2001-01-31')");
  // F is the detail table: its FEDOC_FD is text, so the qualified comparison stays text
  // even though another table of the statement has date fields.
  EXPECT_EQ(r.traduce("select * from \"c:\\facturad.dbf\" F, \"c:\\inventar.dbf\" I where "
                      "F.FEALT_I='3/5/2001'"),
            "select * from v_facturad F, v_inventar I where F.FEALT_I='3/5/2001'");
}

TEST(Dialecto, DateLiteralReading) {
  EXPECT_EQ(fechaDeLiteral("3/5/2001"), (Fecha{2001, 3, 5}));
  EXPECT_EQ(fechaDeLiteral("05/03/2001"), (Fecha{2001, 3, 5}));
  EXPECT_EQ(fechaDeLiteral("5/03/2001"), (Fecha{2001, 3, 5}));
  EXPECT_EQ(fechaDeLiteral("25/12/2001"), (Fecha{2001, 12, 25}));
  EXPECT_EQ(fechaDeLiteral("12/25/2001"), (Fecha{2001, 12, 25}));
  EXPECT_EQ(fechaDeLiteral("2/29/2004"), (Fecha{2004, 2, 29}));
  EXPECT_EQ(fechaDeLiteral("2004-02-29"), (Fecha{2004, 2, 29}));
  EXPECT_EQ(fechaDeLiteral("2/29/2001"), std::nullopt);
  EXPECT_EQ(fechaDeLiteral("13/13/2001"), std::nullopt);
  EXPECT_EQ(fechaDeLiteral("3/5/01"), std::nullopt);
  EXPECT_EQ(fechaDeLiteral("3/5/2001 "), std::nullopt);
  EXPECT_EQ(fechaDeLiteral("2001-3-5"), std::nullopt);
  EXPECT_EQ(fechaDeLiteral("C"), std::nullopt);
  EXPECT_EQ(fechaIso({2001, 3, 5}), "2001-03-05");
}

TEST(Dialecto, DateDifferenceCountsDays) {
  Registro r = conTablas();
  EXPECT_EQ(r.traduce("Select CLDOC_O,('05/03/2001'-FEPAG_O) from \"c:\\comprase.dbf\" "
                      "where FEPAG_O<=\"3/5/2001\""),
            "Select CLDOC_O,(julianday('2001-03-05')-julianday(FEPAG_O)) from v_comprase "
            "where FEPAG_O<='2001-03-05'");
  EXPECT_EQ(r.traduce("Select C.FEPAG_O-C.FEDOC_O, SALDO_O-1 from \"c:\\comprase.dbf\" C"),
            "Select julianday(C.FEPAG_O)-julianday(C.FEDOC_O), SALDO_O-1 from v_comprase C");
}

TEST(Dialecto, QuotedNumbersAndExpressionsPassThrough) {
  Registro r = conTablas();
  EXPECT_EQ(r.traduce("Select CLDOC_OD AS CLAVE,(111100+51)*(-1) AS CLDOC_F From "
                      "\"c:\\d\\COMPRASD.dbf\"  WHERE (CLPRO_OD=\"A1\") AND (TREGI_OD<>\"C\" OR "
                      "TREGI_OD IS NULL) "),
            "Select CLDOC_OD AS CLAVE,(111100+51)*(-1) AS CLDOC_F From v_comprasd  WHERE "
            "(CLPRO_OD='A1') AND (TREGI_OD<>'C' OR TREGI_OD IS NULL) ");
  EXPECT_EQ(r.traduce("select * from \"c:\\movinven.dbf\" WHERE CLPRO_MI=\"A1\" "
                      "and(TIMOV_MI<>\"54\") ORDER BY FECHA,FECH "),
            "select * from v_movinven WHERE CLPRO_MI='A1' and(TIMOV_MI<>'54') ORDER BY FECHA,FECH ");
  // A literal glued to the next keyword, as the kardex statement writes it.
  EXPECT_EQ(r.traduce("Select * from \"c:\\movinven.dbf\"  Where CLPRO_MI=\"K\"order by x"),
            "Select * from v_movinven  Where CLPRO_MI='K'order by x");
}

TEST(Dialecto, BareNamesMapOnlyWhereATableIsNamed) {
  Registro r = conTablas();
  Entorno e = r.entorno();
  e.tablaSinComillas = [](const std::string& n) -> std::optional<std::string> {
    if (n == "cliente" || n == "inventar") return "C:\\D\\" + n + ".dbf";
    return std::nullopt;
  };
  auto t = traduce("SELECT nombr_c, cliente FROM cliente WHERE saldo_c > 0 ORDER BY nombr_c ", e);
  EXPECT_EQ(t.sql, "SELECT nombr_c, cliente FROM v_cliente WHERE saldo_c > 0 ORDER BY nombr_c ");
  t = traduce("select * from cliente C, inventar, otra where inventar.x=1", e);
  EXPECT_EQ(t.sql, "select * from v_cliente C, v_inventar, otra where inventar.x=1");
  EXPECT_EQ(t.rutas, (std::vector<std::string>{"C:\\D\\cliente.dbf", "C:\\D\\inventar.dbf"}));
}

TEST(Dialecto, DdlAndDmlNameTheirTables) {
  EXPECT_EQ(rutasDe("CREATE INDEX ICLACLI ON \"C:\\D\\cliente.dbf\" (CLCLI_C)"),
            (std::vector<std::string>{"C:\\D\\cliente.dbf"}));
  EXPECT_EQ(rutasDe("ALTER TABLE \"C:\\D\\cliente\" DROP CLCLI_C, ADD CLCLI_C CHAR(10)"),
            (std::vector<std::string>{"C:\\D\\cliente"}));
  EXPECT_EQ(rutasDe("UPDATE \"x\\y\" SET A=\"b\\c\" WHERE B IN (SELECT C FROM \"x\\z.dbf\")"),
            (std::vector<std::string>{"x\\y", "x\\z.dbf"}));
  EXPECT_EQ(rutasDe("DELETE FROM \"/a/b\" WHERE A=\"/c\""), (std::vector<std::string>{"/a/b"}));
}
