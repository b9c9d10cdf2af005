// The report definition runner over real tables: line roles, column codes, widths,
// group subtotals, block totals, failures and the filter's conditions.

#include <gtest/gtest.h>

#include "support/fakes_impresion.h"
#include "reports/filtro_reporte.h"
#include "reports/reporte_sql.h"
#include "base/numeros.h"
#include "base/rutas.h"
#include "store/dbf/dbf_table.h"
#include "support/entorno.h"
#include "support/interaccion_fake.h"
#include "support/reloj_fijo.h"

using namespace mostrador;
using namespace mostrador::reports;
using prueba::DirectorioTemporal;
using prueba::InteraccionFalsa;
using V = std::vector<std::string>;
using prueba::ImpresoraFalsa;

namespace {

std::string b(size_t n) { return std::string(n, ' '); }

// A small sales header table: customer, document, total, state, date, average field.
class Reporte : public ::testing::Test {
 protected:
  DirectorioTemporal dir;
  InteraccionFalsa ui;
  const std::string datos = "C:\\datos";

  void SetUp() override {
    base::creaDirectorios(datos);
    dbf::Table::create(datos, "ventas.dbf",
                       {{"CLCLI_F", 'C', 10, 0},
                        {"CLDOC_F", 'C', 10, 0},
                        {"IMTOD_F", 'N', 14, 4},
                        {"STATU_F", 'C', 1, 0},
                        {"FEDOC_F", 'D', 8, 0},
                        {"MARGE_F", 'N', 10, 2}},
                       {{"ICLDOC", "CLDOC_F", false, false}});
  }
  void fila(const std::string& cliente, const std::string& doc, double total, const std::string& estado = "",
            double margen = 0, dbf::Fecha fecha = {2024, 3, 5}) {
    dbf::Table t;
    t.open(datos, "ventas.dbf");
    t.append();
    t.setText("CLCLI_F", cliente);
    t.setText("CLDOC_F", doc);
    t.setFloat("IMTOD_F", total);
    if (!estado.empty()) t.setText("STATU_F", estado);
    t.setFloat("MARGE_F", margen);
    t.setDate(t.requireField("FEDOC_F"), fecha);
    t.post();
  }
  std::string tabla() const { return "\"" + base::une(datos, "ventas.dbf") + "\""; }
  bool corre(ReporteSql& r, const std::string& def) { return r.ejecuta(def, datos); }
};

TEST(CodigosDeColumna, EscribenCadaValorConSuMascaraYAncho) {
  EXPECT_EQ(escribeCodigo("$", "1234.5"), "   $1,234.50");
  EXPECT_EQ(escribeCodigo("e", "15"), "     15");
  EXPECT_EQ(escribeCodigo("S", " 7 "), "      7");
  EXPECT_EQ(escribeCodigo("f", "2.00005"), "        2.00");
  EXPECT_EQ(escribeCodigo("t", "1234567.891"), "1,234,567.89");
  EXPECT_EQ(escribeCodigo("M", ""), "        0.00");
  // Not a number: a zero right-aligned in 12.
  EXPECT_EQ(escribeCodigo("t", "abc"), "           0");
  EXPECT_EQ(escribeCodigo("p,1,3", "Publico"), "Pub");
  EXPECT_EQ(escribeCodigo("p,3,2", "Año nuevo"), "o ");
  EXPECT_EQ(escribeCodigo("c", "  texto  "), "  texto  ");
  // An unknown code writes the text as it comes.
  EXPECT_EQ(escribeCodigo("z9", "hola"), "hola");
}

TEST(CodigosDeColumna, LaMascaraRapidaEscribeLoMismoQueElServicioDeMascaras) {
  const double valores[] = {0,       0.005,   2.675,   -2.675,      1234567.891, -0.004, 0.4,    999.995,
                            1e15,    -1e-9,   1.005,   0.125,       -1234.5,     99999.5, 12345678901.235,
                            1e22,    -0.5,    7.0000001, 123.455,  0.0049999};
  for (double v : valores) {
    EXPECT_EQ(mascaraRapida(v, 2, true, true, ""), base::formateaMascara(v, "#,###,##0.00")) << v;
    EXPECT_EQ(mascaraRapida(v, 2, true, true, "$"), base::formateaMascara(v, "$#,###,##0.00")) << v;
    EXPECT_EQ(mascaraRapida(v, 0, false, false, ""), base::formateaMascara(v, "#######")) << v;
  }
}

TEST(CodigosDeColumna, ElEncabezadoDaLosAnchosYLaCeldaSeAjusta) {
  EXPECT_EQ(anchosEncabezado("DOCUMENTO  NOMBRE"), (std::vector<int>{11, 7}));
  EXPECT_EQ(anchosEncabezado("DESCRIPCIÓN  X"), (std::vector<int>{13, 2}));
  EXPECT_EQ(anchosEncabezado(""), std::vector<int>{});
  EXPECT_EQ(ajustaAncho("ABCDEFGHIJKLMN", 11), "ABCDEFGHIJ ");
  EXPECT_EQ(ajustaAncho("ABC", 6), "ABC   ");
  // A cell exactly as wide as its column is whole; only a wider one loses its last
  // characters to the blank.
  EXPECT_EQ(ajustaAncho("ÑANDÚ", 5), "ÑANDÚ");
  EXPECT_EQ(ajustaAncho("Ana Paz", 7), "Ana Paz");
  EXPECT_EQ(ajustaAncho("Ana Paza", 7), "Ana Pa ");
  EXPECT_EQ(ajustaAncho("", 3), "   ");
}

TEST_F(Reporte, UnaCeldaTanAnchaComoSuColumnaSeMuestraEntera) {
  fila("Ana Paz", "1", 1);
  fila("Ana Pazos", "2", 2);
  fila("Eva", "3", 3);
  ReporteSql r(ui, "Reporte de X");
  // Widths 7 and 4: "NOMBRE" and its blank, "DOC" and the blank appended.
  ASSERT_TRUE(corre(r, "&Select CLCLI_F,CLDOC_F from " + tabla() + "\r!CLDOC_F\r%c c\r#NOMBRE DOC\r@"));
  const V lineas = r.hoja().textos();
  ASSERT_EQ(lineas.size(), 9u);
  EXPECT_EQ((V{lineas[1], lineas[2], lineas[3]}), (V{"Ana Paz1   ", "Ana Pa 2   ", "Eva    3   "}));
}

TEST_F(Reporte, GruposDeClienteConSubtotalesYTotalesDelBloque) {
  fila("B", "3", 20);
  fila("A", "1", 100);
  fila("A", "2", 50.5);
  fila("B", "4", 999, "C");  // cancelled: filtered out
  ReporteSql r(ui, "Reporte de Ventas");
  ASSERT_TRUE(corre(r, "$Prueba\r&Select CLCLI_F,CLDOC_F,IMTOD_F from " + tabla() +
                           "\r?(STATU_F<>\"C\" OR STATU_F IS NULL) \xC2\xBF\r!CLCLI_F,CLDOC_F\r>CLCLI_F\r%c e t\r"
                           "#CLIENTE DOC     TOTAL        \r@"));
  // A column's underline leaves the blank that separates it from the next one.
  const std::string raya = b(16) + std::string(13, '_') + " ";
  EXPECT_EQ(r.hoja().textos(), (V{"*Reporte de Prueba",
                                  "CLIENTE DOC     TOTAL        ",
                                  "",
                                  "",
                                  "A             1       100.00  ",
                                  "A             2        50.50  ",
                                  raya,
                                  b(16) + "      150.50  ",
                                  "",
                                  "B             3        20.00  ",
                                  raya,
                                  b(16) + "       20.00  ",
                                  "",
                                  raya,
                                  b(16) + "      170.50  ",
                                  "",
                                  "",
                                  "."}));
  // The title in red at 20; what follows in the sheet's colour at its size + 3.
  EXPECT_EQ(r.hoja().lineas()[0], (LineaHoja{"*Reporte de Prueba", kRojoHoja, 20}));
  EXPECT_EQ(r.hoja().lineas()[4].tamano, 11);
  EXPECT_DOUBLE_EQ(r.total(0, 2), 170.5);
  EXPECT_EQ(r.bloquesEjecutados(), 1);
  EXPECT_TRUE(ui.mensajes().empty());
}

TEST_F(Reporte, SinTituloNiGrupoSoloTotalesYLaMediaDeM) {
  fila("A", "1", 10, "", 10);
  fila("B", "2", 20, "", 20);
  fila("C", "3", 30, "", 30);
  ReporteSql r(ui, "Reporte de X");
  ASSERT_TRUE(corre(r, "&Select CLDOC_F,IMTOD_F,MARGE_F from " + tabla() + "\r!CLDOC_F\r%e t m\r"
                       "#DOC     TOTAL         MEDIA       \r@"));
  // Widths 8, 14 and 13 (the blank appended to the heading line counts).
  const V lineas = r.hoja().textos();
  ASSERT_EQ(lineas.size(), 9u);
  EXPECT_EQ(lineas[0], "");
  EXPECT_EQ(lineas[1], "      1        10.00         10.00 ");
  EXPECT_EQ(lineas[4], b(8) + std::string(13, '_') + " " + std::string(12, '_') + " ");
  // "t" sums; "m" shows the average of its three rows.
  EXPECT_EQ(lineas[5], b(8) + "       60.00  " + "       20.00 ");
  EXPECT_EQ((V{lineas[6], lineas[7], lineas[8]}), (V{"", "", "."}));
}

TEST_F(Reporte, UnaConsultaEnVariasLineasCorreEntera) {
  fila("A", "1", 10);
  fila("B", "2", 20);
  ReporteSql r(ui, "Reporte de X");
  // The first half ends in UNION; the second half does not overwrite it.
  ASSERT_TRUE(corre(r, "&Select CLDOC_F from " + tabla() + " WHERE CLDOC_F=1 UNION\r"
                       "&Select CLDOC_F from " + tabla() + " WHERE CLDOC_F=2\r!X\r%e\r#DOC     \r@"));
  const V l = r.hoja().textos();
  ASSERT_GE(l.size(), 3u);
  EXPECT_EQ(l[1], "      1  ");
  EXPECT_EQ(l[2], "      2  ");
}

TEST_F(Reporte, OrdenXNoOrdenaYUnBloqueConMenorNoSeEjecuta) {
  fila("B", "2", 1);
  fila("A", "1", 1);
  ReporteSql r(ui, "Reporte de X");
  ASSERT_TRUE(corre(r, "&Select CLCLI_F from " + tabla() + "\r!X\r%c\r#CLIENTE\r@\r"
                       "&Select CLCLI_F from " + tabla() + "\r!CLCLI_F\r%c\r#CLIENTE\r@\r"
                       "<14-24\r&Select nada from ninguna\r@"));
  const V l = r.hoja().textos();
  // Natural order in the first block, ordered in the second; the closing block adds nothing.
  EXPECT_EQ(l[1], "B       ");
  EXPECT_EQ(l[2], "A       ");
  EXPECT_EQ(l[9], "A       ");
  EXPECT_EQ(l[10], "B       ");
  EXPECT_EQ(r.bloquesEjecutados(), 2);
  EXPECT_EQ(l.size(), 16u);
}

TEST_F(Reporte, ConsultaQueFallaOQueEscribeMuestraElErrorYNoTocaLaTabla) {
  fila("A", "1", 5);
  {
    ReporteSql r(ui, "Reporte de X");
    EXPECT_FALSE(corre(r, "&Select NOEXISTE from " + tabla() + "\r%c\r#X\r@"));
  }
  {
    ReporteSql r(ui, "Reporte de X");
    EXPECT_FALSE(corre(r, "&Delete from " + tabla() + "\r%c\r#X\r@"));
  }
  {
    // A group field that is not a column of the result.
    ReporteSql r(ui, "Reporte de X");
    EXPECT_FALSE(corre(r, "&Select CLDOC_F from " + tabla() + "\r>CLCLI_F\r%c\r#X\r@"));
  }
  EXPECT_EQ(ui.mensajes(), (V{std::string(kErrorReporte), std::string(kErrorReporte), std::string(kErrorReporte)}));
  dbf::Table t;
  t.open(datos, "ventas.dbf");
  EXPECT_EQ(t.recordCount(), 1);
}

TEST_F(Reporte, MargenConDivisionEntreCeroSeEscribeComoCero) {
  fila("A", "1", 0);
  ReporteSql r(ui, "Reporte de X");
  ASSERT_TRUE(corre(r, "&Select CLDOC_F,(IMTOD_F-5)/IMTOD_F*100 from " + tabla() + "\r%e m\r#DOC     MARGEN      \r@"));
  EXPECT_EQ(r.hoja().textos()[1], "      1         0.00 ");
}

TEST(ResumenCaja, TipoUnoAgregaYTipoDosInsertaBajoLaPrimeraLinea) {
  InteraccionFalsa ui;
  DirectorioTemporal dir;
  ReporteSql r(ui, "Reporte de X");
  r.hoja().agrega("primera");
  r.hoja().agrega("segunda");
  r.resumenCaja(2);
  ASSERT_EQ(r.hoja().size(), 24u);
  EXPECT_EQ(r.hoja().lineas()[1], (LineaHoja{"Total Remisiones(GRABADO)           0.00", kNegroHoja, 12}));
  EXPECT_EQ(r.hoja().lineas()[23].texto, "segunda");
  r.resumenCaja(0);
  EXPECT_EQ(r.hoja().size(), 24u);
}

TEST(Filtro, CondicionesDeFechasYCamposComoLasEscribeElDialogo) {
  FiltroReporte f;
  f.RangoFiltro({2001, 3, 5}, "1", "9");
  f.final_ = base::Fecha{2001, 3, 6};
  f.condiciones[0] = {"CLCLI_F", "C", "=", "5"};
  EXPECT_EQ(CondicionFiltro(f, "FEDOC_F", "FEDOC_F"),
            "and FEDOC_F >= '3/5/2001' and FEDOC_F <= '3/6/2001'   and CLCLI_F= \"5\"");
  EXPECT_EQ(CondicionFiltro(f, "FEDOC_F", ""), "and FEDOC_F >= '3/5/2001'  and CLCLI_F= \"5\"");
  f.condiciones[0] = {"CLCLI_F", "C", "<>", ""};
  f.condiciones[1] = {"NOMBR_F", "C", "=", ""};
  f.condiciones[2] = {"NOMBR_F", "C", "Incluye", "ana"};
  EXPECT_EQ(CondicionFiltro(f, "", ""), "and CLCLI_F IS NOT NULL and NOMBR_F IS NULL and NOMBR_F LIKE '%ana%'");
  f.condiciones = {};
  f.condiciones[1] = {"NOMBR_F", "C", "&", "lo"};
  EXPECT_EQ(CondicionFiltro(f, "", ""), "and NOMBR_F LIKE '%lo%'");
  // A blank state is NULL: "not cancelled" keeps the documents whose state is blank.
  f.condiciones = {};
  f.condiciones[0] = {"STATU_F", "C", "<>", "C"};
  EXPECT_EQ(CondicionFiltro(f, "", ""), "and (STATU_F<> \"C\" OR STATU_F IS NULL)");
  FiltroReporte vacio;
  vacio.inicial.reset();
  EXPECT_EQ(CondicionFiltro(vacio, "FEDOC_F", "FEDOC_F"), "");

  // The text that takes the place of "¿": the document range first, with its alias.
  FiltroReporte g;
  g.RangoFiltro({2024, 1, 31}, "10", "20");
  EXPECT_EQ(condicionesDeFiltro(g, "CLDOC_FD", "FEDOC_FD", "F"),
            "  and (F.CLDOC_FD>='10' and F.CLDOC_FD<='20') and FEDOC_FD >= '1/31/2024' and FEDOC_FD <= '1/31/2024'  ");
  g.aplicaOpciones("SSNS");
  EXPECT_EQ(condicionesDeFiltro(g, "CLDOC_F", "", ""), " ");
}

TEST(Filtro, CamposDeLaConsultaSinAliasNiParentesis) {
  EXPECT_EQ(CamposDeConsulta("$T\r& Select F.CLDOC_F, F.IMTOD_F*1.15 from \"C:\\d\\x.dbf\"\r@"),
            (V{"CLDOC_F", "IMTOD_F", "1.15"}));
  EXPECT_EQ(CamposDeConsulta("&select CLDOC_F,SUBTO_F-(SUBTO_F*DECOT_F/100),FEDOC_F FROM x"),
            (V{"CLDOC_F", "SUBTO_F", "SUBTO_F", "DECOT_F", "100", "FEDOC_F"}));
  EXPECT_EQ(CamposDeConsulta("sin consulta"), V{});
}

class DialogoFijo : public DialogoFiltro {
 public:
  bool acepta = true;
  FiltroReporte visto;
  std::function<void(FiltroReporte&)> cambia;
  bool pide(FiltroReporte& f) override {
    if (cambia) cambia(f);
    visto = f;
    return acepta;
  }
};

TEST_F(Reporte, EjecutaReporteLimitaPorRangoYFechasDelDialogo) {
  fila("A", "1", 10, "", 0, {2024, 3, 4});
  fila("A", "2", 20, "", 0, {2024, 3, 5});
  fila("B", "3", 30, "", 0, {2024, 3, 5});
  fila("B", "4", 40, "", 0, {2024, 3, 6});
  prueba::RelojFijo reloj{{{2024, 3, 5}, {9, 0, 0, 0}}};
  DialogoFijo dialogo;
  ContextoReporte ctx{"C:\\tvk", datos, ui, &dialogo, &reloj};
  ParametrosReporte p;
  p.definicion = "$\r&Select CLDOC_F,IMTOD_F from " + tabla() + "\r?(STATU_F<>\"C\" OR STATU_F IS NULL) \xC2\xBF\r"
                 "!CLDOC_F\r%e t\r#DOC     TOTAL        \r@";
  p.tabla = "ventas.dbf";
  dialogo.cambia = [](FiltroReporte& f) { f.hasta = "2"; };
  auto r = EjecutaReporte(ctx, "&Ventas", "CLDOC_F", "FEDOC_F", p);
  ASSERT_TRUE(r);
  // The dialog started from the table's first and last documents and today's date.
  EXPECT_EQ(dialogo.visto.de, "1");
  EXPECT_EQ(dialogo.visto.inicial, (base::Fecha{2024, 3, 5}));
  EXPECT_EQ(r->caption(), "Reporte de Ventas");
  const V l = r->hoja().textos();
  EXPECT_EQ(l[0], "*Reporte de Ventas");  // an empty "$" value takes the caption
  EXPECT_EQ(l[4], "      2        20.00  ");
  EXPECT_EQ(l[6], b(8) + "       20.00  ");

  // Not accepted: no report at all.
  dialogo.acepta = false;
  EXPECT_EQ(EjecutaReporte(ctx, "Ventas", "CLDOC_F", "FEDOC_F", p), nullptr);
  // Without the dialog: every live row.
  p.muestraFiltro = false;
  auto todo = EjecutaReporte(ctx, "Ventas", "CLDOC_F", "FEDOC_F", p);
  ASSERT_TRUE(todo);
  EXPECT_DOUBLE_EQ(todo->total(0, 1), 100);
}

TEST_F(Reporte, LaColumnaDeOrdenElegidaEntraEnLaConsultaYOrdena) {
  fila("B", "1", 10);
  fila("A", "2", 20);
  DialogoFijo dialogo;
  dialogo.cambia = [](FiltroReporte& f) {
    f.orden = "CLCLI_F";
    f.inicial.reset();
    f.final_.reset();
  };
  ContextoReporte ctx{"C:\\tvk", datos, ui, &dialogo, nullptr};
  ParametrosReporte p;
  p.definicion = "&Select CLDOC_F,IMTOD_F \xC2\xAB from " + tabla() + "\r!CLDOC_F\r%e t\r#DOC     TOTAL        \r@";
  auto r = EjecutaReporte(ctx, "X", "CLDOC_F", "FEDOC_F", p);
  ASSERT_TRUE(r);
  EXPECT_EQ(r->hoja().textos()[1], "      2        20.00  A ");
  EXPECT_EQ(r->hoja().textos()[2], "      1        10.00  B ");
}

TEST(Hoja, ImprimeCadaPaginaConMarcoTituloYPie) {
  HojaReporte h;
  for (int i = 0; i < 3; ++i) h.agrega("linea " + std::to_string(i));
  auto paginas = paginasDeHoja(h, 2);
  ASSERT_EQ(paginas.size(), 2u);
  ImpresoraFalsa im;
  imprimePaginas(im, "X", paginas, 1, "05/03/2024", "Courier New", 9);
  EXPECT_EQ(im.con("texto"), (V{"texto 3950 264 X", "texto 200 529 linea 0", "texto 200 622 linea 1",
                                "texto 200 5317 05/03/2024     Pag 1", "texto 3950 264 X", "texto 200 529 linea 2",
                                "texto 200 5317 05/03/2024     Pag 2"}));
  EXPECT_EQ(im.con("nuevaPagina").size(), 1u);
  EXPECT_EQ(im.con("rectangulo"), (V{"rectangulo 200 200 7800 392", "rectangulo 200 200 7800 392"}));
  EXPECT_EQ(im.llamadas.front(), "inicia X");
  EXPECT_EQ(im.llamadas.back(), "termina");
}

}  // namespace

namespace {

TEST(Filtro, LosCamposDelDiccionarioParaLaTablaYLosDeLaConsulta) {
  DirectorioTemporal dir;
  const std::string sistema = "C:\\tvk";
  base::creaDirectorios(sistema);
  dbf::Table::create(sistema, "campos.dbf",
                     {{"TABLA", 'C', 20, 0}, {"CAMPO", 'C', 20, 0}, {"DESCRIBE", 'C', 40, 0}, {"TIPO", 'C', 20, 0},
                      {"TAMO", 'N', 4, 0}});
  {
    dbf::Table t;
    t.open(sistema, "campos.dbf");
    const std::vector<std::array<std::string, 4>> filas = {
        {"facturae.dbf", "CLDOC_F", "Documento", "Caracter"},
        {"facturae.dbf", "CLCLI_F", "Cliente", "Caracter"},
        {"inventar.dbf", "CLPRO_I", "Producto", "CaracterMuyLargoDeVerdad"},
        {"facturad.dbf", "CANTI_FD", "Cantidad", "Numero"}};
    for (const auto& f : filas) {
      t.append();
      t.setText("TABLA", f[0]);
      t.setText("CAMPO", f[1]);
      t.setText("DESCRIBE", f[2]);
      t.setText("TIPO", f[3]);
      t.post();
    }
  }
  // A delivery note is described under the invoice; the query's own fields follow when
  // the dictionary knows them, once each, with the type cut to 15 characters.
  EXPECT_EQ(camposDeFiltro(sistema, "C:\\datos\\Remision.dbf", {"CLPRO_I", "CLDOC_F", "NADA"}),
            (std::vector<CampoFiltro>{{"Documento", "CLDOC_F", "Caracter"},
                                      {"Cliente", "CLCLI_F", "Caracter"},
                                      {"Producto", "CLPRO_I", "CaracterMuyLarg"}}));
  EXPECT_EQ(camposDeFiltro(sistema, "remisiod.dbf", {}), (std::vector<CampoFiltro>{{"Cantidad", "CANTI_FD", "Numero"}}));
  EXPECT_EQ(sentenciaValores("C:\\datos", "FacturaE.dbf", "CLCLI_F"),
            "SELECT DISTINCT CLCLI_F FROM \"C:\\datos\\FacturaE.dbf\" order by CLCLI_F");
  // Without a dictionary the query's fields are offered under their own names.
  EXPECT_EQ(camposDeFiltro("C:\\otro", "facturae.dbf", {"IMTOD_F"}),
            (std::vector<CampoFiltro>{{"IMTOD_F", "IMTOD_F", ""}}));
}

}  // namespace
