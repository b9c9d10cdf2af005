// The catalogue browser, the query builder and the view designer over real tables.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "query/constructor_consulta.h"
#include "designers/diseno_vista.h"
#include "designers/navegador_catalogo.h"
#include "reports/visor_concentrado.h"
#include "base/rutas.h"
#include "base/texto.h"
#include "store/dbf/dbf_table.h"
#include "support/entorno.h"
#include "support/interaccion_fake.h"
#include "support/procesos_falsos.h"

using namespace mostrador;
using namespace mostrador::designers;
using namespace mostrador::query;
using namespace mostrador::reports;

namespace {

void diccionario(const std::string& sistema) {
  dbf::Table::create(sistema, "campos.dbf",
                     {{"TABLA", 'C', 15, 0}, {"CAMPO", 'C', 10, 0}, {"DESCRIBE", 'C', 40, 0},
                      {"TIPO", 'C', 10, 0}, {"TAMO", 'N', 4, 0}},
                     {{"TABLA", "TABLA"}, {"CAMPO", "CAMPO"}});
  dbf::Table t;
  t.open(sistema, "campos.dbf");
  struct E { const char *tabla, *campo, *desc, *tipo; int tam; };
  for (E e : {E{"cucobrar.dbf", "NUFAC_CC", "Documento", "Cadena", 10},
              E{"cucobrar.dbf", "IMCUE_CC", "Importe", "Numérico", 12},
              E{"facturae.dbf", "CLDOC_F", "Número", "Numérico", 10},
              E{"facturae.dbf", "FEDOC_F", "Fecha", "Fecha", 8},
              E{"facturae.dbf", "NOMBR_F", "Nombre", "Cadena", 30}}) {
    t.append();
    t.setText("TABLA", e.tabla);
    t.setText("CAMPO", e.campo);
    t.setText("DESCRIBE", e.desc);
    t.setText("TIPO", e.tipo);
    t.setInteger("TAMO", e.tam);
    t.post();
  }
}

struct Catalogo : ::testing::Test {
  prueba::DirectorioTemporal dir;
  std::string sistema = dir.str() + "/tvk", datos = dir.str() + "/datos";
  prueba::InteraccionFalsa ui;
  void SetUp() override {
    base::creaDirectorios(sistema);
    base::creaDirectorios(datos);
    diccionario(sistema);
    dbf::Table::create(datos, "cucobrar.dbf",
                       {{"CLCLI_CC", 'C', 6, 0}, {"NUFAC_CC", 'C', 10, 0}, {"TIMOV_CC", 'C', 3, 0},
                        {"IMCUE_CC", 'N', 12, 2}, {"FEAPL_CC", 'D', 8, 0}},
                       {{"ICUECOB", "NUFAC_CC"}});
    dbf::Table t;
    t.open(datos, "cucobrar.dbf");
    struct R { const char *cli, *fac, *mov; double imp; dbf::Fecha f; };
    for (R r : {R{"1", "F10", "1", 0.1, {2024, 1, 5}}, R{"1", "F11", "3", 50, {2024, 1, 6}},
                R{"2", "F12", "2", 0.1, {2024, 2, 1}}, R{"3", "F13", "1", 0.1, {2024, 3, 1}}}) {
      t.append();
      t.setText("CLCLI_CC", r.cli);
      t.setText("NUFAC_CC", r.fac);
      t.setText("TIMOV_CC", r.mov);
      t.setFloat("IMCUE_CC", r.imp);
      t.setDate("FEAPL_CC", r.f);
      t.post();
    }
  }
  std::vector<std::string> columna(NavegadorCatalogo& n, int c) {
    while (n.cargaMas(2)) {
    }
    std::vector<std::string> r;
    for (const auto& f : n.filas()) r.push_back(f.celdas[static_cast<size_t>(c)]);
    return r;
  }
};

TEST_F(Catalogo, TitlesComeFromTheDictionaryAndReceivablesShowTypesOneAndTwo) {
  NavegadorCatalogo n(ui, sistema, datos, "cucobrar.dbf",
                      {{"NUFAC_CC", "Doc", 80, ' '}, {"", "", 80, ' '}, {"TIMOV_CC", "Tipo", 80, ' '}});
  ASSERT_EQ(n.columnas().size(), 2u);
  EXPECT_EQ(n.columnas()[0].titulo, "Documento");
  EXPECT_EQ(n.columnas()[1].titulo, "Tipo");
  EXPECT_EQ(n.cargaMas(2), 2u);
  EXPECT_FALSE(n.todoLeido());
  EXPECT_EQ(columna(n, 0), (std::vector<std::string>{"F10", "F12", "F13"}));
  EXPECT_EQ(n.textoRegistros(), "Registros  4");
}

TEST_F(Catalogo, SumKeepsFourDecimalsExactly) {
  NavegadorCatalogo n(ui, sistema, datos, "cucobrar.dbf", {{"NUFAC_CC", "", 80, ' '}, {"IMCUE_CC", "", 80, ' '}});
  EXPECT_EQ(n.suma(1), "La suma es = 0.30");
  EXPECT_EQ(n.suma(0), "La columna no se puede sumar...");
  ASSERT_TRUE(n.ponCondiciones(leeCondicionesFiltro("CLCLI_CC*=*1*c*")));
  EXPECT_EQ(n.suma(1), "La suma es = 0.10");
  EXPECT_EQ(ui.mensajes(), (std::vector<std::string>{"La suma es = 0.30", "La columna no se puede sumar...",
                                                      "La suma es = 0.10"}));
}

TEST_F(Catalogo, TenTimesOneTenthSumsToOne) {
  dbf::Table::create(datos, "vendedor.dbf", {{"COMIS_V", 'F', 12, 4}});
  dbf::Table t;
  t.open(datos, "vendedor.dbf");
  for (int i = 0; i < 10; ++i) {
    t.append();
    t.setFloat("COMIS_V", 0.1);
    t.post();
  }
  NavegadorCatalogo n(ui, sistema, datos, "vendedor.dbf", {});
  EXPECT_EQ(*n.sumaDiezmilesimos(0), 10000);
  EXPECT_EQ(n.suma(0), "La suma es = 1.00");
}

TEST_F(Catalogo, FilterConditionsCompareDatesAsDatesAndTextOtherwise) {
  NavegadorCatalogo n(ui, sistema, datos, "cucobrar.dbf", {{"NUFAC_CC", "", 80, ' '}});
  auto c = leeCondicionesFiltro("FEAPL_CC*>=*01/02/2024*d*NUFAC_CC*<>*F12*c*");
  ASSERT_EQ(c.size(), 2u);
  EXPECT_EQ(c[1], (CondicionFiltro{"NUFAC_CC", "<>", "F12", "c"}));
  ASSERT_TRUE(n.ponCondiciones(c));
  EXPECT_EQ(columna(n, 0), (std::vector<std::string>{"F13"}));
  ASSERT_TRUE(n.ponCondiciones(leeCondicionesFiltro("NUFAC_CC*&*1*c*NUFAC_CC*Incluye*zz*c*")));
  EXPECT_EQ(columna(n, 0), (std::vector<std::string>{"F10", "F12", "F13"}));
  EXPECT_FALSE(n.ponCondiciones(leeCondicionesFiltro("FEAPL_CC*=*ayer*d*")));
  EXPECT_EQ(ui.mensajes(), (std::vector<std::string>{"Valor Erroneo"}));
  EXPECT_EQ(n.condiciones().size(), 2u);
}

TEST_F(Catalogo, SearchNeedsAnIndexAndStartsAtTheNearestKey) {
  NavegadorCatalogo n(ui, sistema, datos, "cucobrar.dbf", {{"NUFAC_CC", "", 80, ' '}});
  EXPECT_FALSE(n.busca("F12"));
  EXPECT_EQ(ui.mensajes(), (std::vector<std::string>{"No se ha Definido un Indice."}));
  n.ponIndice("ICUECOB");
  ASSERT_TRUE(n.busca("F115"));
  // Near the start the earlier rows stay in the grid and the found one is chosen.
  EXPECT_EQ(n.filaBuscada(), 1);
  EXPECT_EQ(columna(n, 0), (std::vector<std::string>{"F10", "F12", "F13"}));
  ASSERT_TRUE(n.busca("F11"));  // a type 3 record: the browser stands on the next shown
  EXPECT_EQ(n.filaBuscada(), 1);
  ASSERT_TRUE(n.busca("G"));
  EXPECT_EQ(n.filaBuscada(), -1);
}

TEST_F(Catalogo, LayoutAndIndexChoiceSurviveAndABadFileIsRefused) {
  {
    NavegadorCatalogo n(ui, sistema, datos, "cucobrar.dbf", {});
    n.mueveColumna(1, 0);
    n.ponAncho(0, 120);
    n.ponIndice("ICUECOB");
    ASSERT_TRUE(n.guardaPlantilla());
  }
  EXPECT_EQ(*base::leeLinea(base::une(sistema, "cucobrar.xla"), 1), "ICUECOB");
  NavegadorCatalogo n(ui, sistema, datos, "cucobrar.dbf", {{"CLCLI_CC", "", 80, ' '}});
  ASSERT_TRUE(n.restauraPlantilla());
  EXPECT_EQ(n.columnas()[0], (ColumnaCatalogo{"NUFAC_CC", "Documento", 120, ' '}));
  EXPECT_EQ(n.columnas().size(), 5u);
  EXPECT_EQ(n.indice(), "ICUECOB");
  base::escribeLineas(n.rutaPlantilla(), {"PLANTILLA 1", "NUFAC_CC|Doc"});
  EXPECT_FALSE(n.restauraPlantilla());
  EXPECT_EQ(n.columnas().size(), 5u);
  EXPECT_EQ(ui.mensajes(), (std::vector<std::string>{"El archivo de columnas " + n.rutaPlantilla() + " no es válido"}));
}

TEST_F(Catalogo, ColumnKindsNeedNumbersForTotals) {
  NavegadorCatalogo n(ui, sistema, datos, "cucobrar.dbf", {{"NUFAC_CC", "", 80, ' '}, {"IMCUE_CC", "", 80, ' '}});
  EXPECT_FALSE(n.ponTipo(0, 'n', true));
  EXPECT_TRUE(n.ponTipo(1, 'm', true));
  EXPECT_TRUE(n.ponTipo(1, 'n', true));
  EXPECT_EQ(n.columnas()[1].titulo, "+Importe");
  EXPECT_EQ(n.columnas()[1].tipo, 'n');
  EXPECT_EQ(ui.mensajes(), (std::vector<std::string>{"La Columna no es Numérico..."}));
}

TEST_F(Catalogo, AdministratorEditWritesThroughTheEngineAndRefusesBadValues) {
  NavegadorCatalogo n(ui, sistema, datos, "cucobrar.dbf", {{"NUFAC_CC", "", 80, ' '}, {"IMCUE_CC", "", 80, ' '}});
  n.cargaMas(10);
  ui.respondeAdministrador({base::RespuestaAdministrador::OtraClave, "x"});
  n.BotonCambiosClick();
  EXPECT_FALSE(n.cambiaCelda(0, 1, "7"));
  ui.respondeAdministrador({base::RespuestaAdministrador::Administrador, ""});
  n.BotonCambiosClick();
  EXPECT_TRUE(n.cambiaCelda(0, 1, "7.25"));
  EXPECT_FALSE(n.cambiaCelda(1, 1, "siete"));
  dbf::Table t;
  t.open(datos, "cucobrar.dbf");
  t.first();
  EXPECT_EQ(t.asText("IMCUE_CC"), "7.25");
  t.next();
  t.next();
  EXPECT_EQ(t.asText("IMCUE_CC"), "0.10");
  ASSERT_EQ(ui.mensajes().size(), 2u);
  EXPECT_EQ(ui.mensajes()[0], "Password inválido, no se podra modificar campo");
  EXPECT_EQ(n.filas()[0].celdas[1], "7.25");
}

TEST_F(Catalogo, ExportWritesVisibleColumnsAndAddsXls) {
  NavegadorCatalogo n(ui, sistema, datos, "cucobrar.dbf",
                      {{"NUFAC_CC", "", 80, ' '}, {"CLCLI_CC", "Cliente", 80, ' '}, {"IMCUE_CC", "", 80, ' '}});
  n.ponTipo(1, 'i', false);
  const std::string base = dir.str() + "/salida";
  base::escribeLineas(base + ".xls", {"viejo"});
  ui.respondeArchivo(base);
  base::TablaProgramas tabla([](std::string_view) { return false; }, "/bin/yo");
  tabla.asigna("EXCEL.EXE", {"hoja", "{args}"});
  prueba::ProcesosFalsos p;
  auto r = n.exporta("EXCEL.EXE", tabla, p);
  ASSERT_TRUE(r);
  EXPECT_EQ(*r, base + ".xls");
  EXPECT_EQ(*base::leeBytes(*r), "Documento\tImporte\t\r\nF10\t0.10\t\r\nF12\t0.10\t\r\nF13\t0.10\t\r\n");
  ASSERT_EQ(p.llamadas.size(), 1u);
  EXPECT_EQ(p.llamadas[0].argumentos, (std::vector<std::string>{base + ".xls"}));
}

TEST_F(Catalogo, CustomReportsRunTheirStatementIntoTempo) {
  base::creaDirectorios(base::une(sistema, "report"));
  const std::string titulo = "Cobranza por documento             ";
  ASSERT_EQ(titulo.size(), 35u);
  base::escribeLineas(base::une(base::une(sistema, "report"), "reportes.sql"),
                       {titulo + "SELECT NUFAC_CC, IMCUE_CC FROM cucobrar WHERE TIMOV_CC=\"1\""});
  NavegadorCatalogo n(ui, sistema, datos, "cucobrar.dbf", {});
  EXPECT_EQ(n.reportes(), (std::vector<std::string>{titulo}));
  auto ruta = n.preparaReporte(0);
  ASSERT_TRUE(ruta);
  dbf::Table t;
  t.open(sistema, "tempo.dbf");
  EXPECT_EQ(t.recordCount(), 2);
  EXPECT_EQ(ui.llamadas()[0], "progreso: Creando Reporte Espere un momento por Favor... 0/2");
}

// The scratch table of a custom report is concentrated by its first field (option "D",
// its numeric columns) for the chart viewer, with the filter's conditions.
TEST_F(Catalogo, CustomReportsAreConcentratedForTheViewer) {
  base::creaDirectorios(base::une(sistema, "report"));
  base::escribeLineas(base::une(base::une(sistema, "report"), "reportes.sql"),
                       {std::string(35, ' ') + "SELECT NUFAC_CC, IMCUE_CC FROM cucobrar"});
  NavegadorCatalogo n(ui, sistema, datos, "cucobrar.dbf", {});
  auto ruta = n.preparaReporte(0);
  ASSERT_TRUE(ruta);
  ASSERT_TRUE(n.concentraReporte(*ruta, {}, ui));
  VisorConcentrado v(sistema, "Gráfica");
  ASSERT_TRUE(v.abre());
  const auto lineas = v.lineasExportacion();
  ASSERT_FALSE(lineas.empty());
  EXPECT_EQ(lineas[0].substr(0, 8), "NUFAC_CC");
  // A condition nobody meets leaves the concentration empty, not failed.
  CondicionesConcentrado ninguna;
  ninguna.condiciones[0] = {"NUFAC_CC", "=", "NO-EXISTE"};
  ASSERT_TRUE(n.concentraReporte(*ruta, ninguna, ui));
  VisorConcentrado w(sistema, "Gráfica");
  ASSERT_TRUE(w.abre());
  EXPECT_LT(w.lineasExportacion().size(), lineas.size());
}

TEST_F(Catalogo, IndexChooserDescribesTagsByTheirFields) {
  NavegadorCatalogo n(ui, sistema, datos, "cucobrar.dbf", {});
  auto i = n.indices();
  ASSERT_EQ(i.size(), 1u);
  EXPECT_EQ(i[0].tag, "ICUECOB");
}

TEST_F(Catalogo, KeyOfARowIsTheFourthColumnForReceivables) {
  NavegadorCatalogo n(ui, sistema, datos, "cucobrar.dbf", {});
  n.cargaMas(1);
  EXPECT_EQ(n.claveDeFila(0), "0.10");  // IMCUE_CC stands fourth here
  EXPECT_EQ(n.claveDeFila(5), "");
}

// --- Query builder ---

struct Constructor : Catalogo {
  void SetUp() override {
    Catalogo::SetUp();
    dbf::Table::create(datos, "facturae.dbf",
                       {{"CLDOC_F", 'N', 10, 0}, {"FEDOC_F", 'D', 8, 0}, {"NOMBR_F", 'C', 30, 0},
                        {"IMTOD_F", 'N', 14, 4}});
    dbf::Table t;
    t.open(datos, "facturae.dbf");
    for (int i = 1; i <= 3; ++i) {
      t.append();
      t.setInteger("CLDOC_F", i);
      t.setDate("FEDOC_F", dbf::Fecha{2024, i, 10});
      t.setText("NOMBR_F", i == 2 ? "Pedro" : "Juan");
      t.setFloat("IMTOD_F", i * 1.5);
      t.post();
    }
  }
};

TEST_F(Constructor, ListsTheDictionaryFieldsOfTheTableAndItsSiblings) {
  ConstructorConsulta c(ui, sistema, datos, "FacturaE.dbf", "FEDOC_F");
  ASSERT_EQ(c.campos().size(), 3u);
  EXPECT_EQ(c.campos()[1], (CampoDiccionario{"FEDOC_F", "Fecha", "Fecha", 8}));
  EXPECT_EQ(c.camposFecha(), (std::vector<std::string>{"FEDOC_F"}));
  EXPECT_EQ(tablaDelDiccionario("Remision.DBF"), "facturae.dbf");
  EXPECT_EQ(tablaDelDiccionario("pedidod.dbf"), "facturad.dbf");
  EXPECT_EQ(camposDiccionario(sistema, "remision.dbf").size(), 3u);
  EXPECT_EQ(campoDiccionario(sistema, "imcue_cc")->describe, "Importe");
}

TEST_F(Constructor, WritesTheQueryWithConditionsDatesAndOrder) {
  ConstructorConsulta c(ui, sistema, datos, "facturae.dbf", "FEDOC_F");
  c.ponSeleccion({"CLDOC_F", "NOMBR_F"});
  ASSERT_TRUE(c.agregaCondicion({"NOMBR_F", "=", "Juan", false}));
  EXPECT_FALSE(c.agregaCondicion({"CLDOC_F", ">", "uno", false}));
  EXPECT_FALSE(c.agregaCondicion({"CLDOC_F", "=", "NOMBR_F", true}));
  ASSERT_TRUE(c.agregaCondicion({"CLDOC_F", ">=", "IMTOD_F", true}));
  c.ponRangoFechas("FEDOC_F", {2024, 1, 1}, {2024, 2, 28});
  c.ponOrden({"CLDOC_F"});
  EXPECT_EQ(c.consulta(), "Select CLDOC_F,NOMBR_F From \"" + base::une(datos, "facturae.dbf") +
                              "\" Where NOMBR_F=\"Juan\" and CLDOC_F>=IMTOD_F and FEDOC_F>='1/1/2024' and "
                              "FEDOC_F<='2/28/2024' Order by CLDOC_F");
  EXPECT_EQ(ui.mensajes(), (std::vector<std::string>{"Valor Erroneo", "No son compatibles los tipos"}));
}

TEST_F(Constructor, StoresTheResultInBaseTempoWithARunningNumber) {
  ConstructorConsulta c(ui, sistema, datos, "facturae.dbf");
  c.ponSeleccion({"CLDOC_F", "FEDOC_F", "NOMBR_F", "IMTOD_F"});
  ASSERT_TRUE(c.agregaCondicion({"NOMBR_F", "=", "Juan", false}));
  const std::string ruta = c.rutaTablaTemporal();
  EXPECT_EQ(c.sentenciasTabla(true),
            (std::vector<std::string>{"DROP TABLE \"" + ruta + "\"",
                                      "CREATE TABLE \"" + ruta +
                                          "\" (CLDOC_F FLOAT(13,2),FEDOC_F DATE,NOMBR_F CHAR(30),"
                                          "IMTOD_F FLOAT(12,2),CONSEC FLOAT(8,2))"}));
  ASSERT_TRUE(c.guardaResultado(true));
  ASSERT_TRUE(c.guardaResultado(true));  // the old table is dropped first
  dbf::Table t;
  t.open(base::une(sistema, "tempo"), "BaseTempo.dbf");
  ASSERT_EQ(t.recordCount(), 2);
  t.last();
  EXPECT_EQ(t.asText("CLDOC_F"), "3.00");
  EXPECT_EQ(t.asText("FEDOC_F"), "10/03/2024");
  EXPECT_EQ(t.asText("CONSEC"), "2.00");
}

TEST_F(Constructor, AFailingQueryShowsTheBuildersMessage) {
  ConstructorConsulta c(ui, sistema, datos, "facturae.dbf");
  c.ponSeleccion({"NOEXISTE"});
  EXPECT_FALSE(c.guardaResultado(false));
  EXPECT_EQ(ui.mensajes(), (std::vector<std::string>{"Ocurrio un error revise sus condiciones y su archivo de consulta"}));
}

// --- View designer ---

TEST(DisenoVistas, WritesTheTenLinesTheIndexRecordAndEspeciales) {
  prueba::DirectorioTemporal d;
  prueba::InteraccionFalsa ui;
  const std::string sistema = "C:\\tvk", datos = "C:\\datos";
  base::creaDirectorios(sistema);
  DisenoVista v(4);
  v.colocaCampo(0, 0, {"CLCLI_C", "Clave", "Cadena", 6});
  v.colocaCampo(1, 0, {"NOMBR_C", "Nombre del cliente", "Cadena", 40});
  v.colocaCampo(2, 5, {"IMTOD_F", "Importe", "Numérico", 14});
  v.ponCelda(2, kFormato, "###,##0.00");
  v.ponCelda(2, kTotales, "totalizar");
  v.ponCelda(0, kOrden, "X");
  v.ponCelda(0, kLlave, "X");
  v.ponCelda(2, kLlave, "X");
  EXPECT_EQ(v.columna(2)[kIdentificador], "F");
  const auto l = v.lineasDefinicion("Ventas por cliente");
  EXPECT_EQ(l, (std::vector<std::string>{
                   "A.CLCLI_C,A.NOMBR_C,F.IMTOD_F",
                   "\\cliente.dbf\" as A,\\facturae.dbf\" as F ",
                   "Clave,Nombre del cliente,Importe ",
                   "C,C,###,##0.00 ",
                   "6,40,14,",
                   "CLCLI_C,",
                   "N,N,totalizar,",
                   "N,N,N,",
                   "CLCLI_C=IMTOD_F ",
                   "Ventas por cliente"}));
  const std::string ruta = "C:\\tvk\\report\\ventas.vis";
  base::creaDirectorios("C:\\tvk\\report");
  ASSERT_TRUE(v.guarda(ui, sistema, datos, 0, ruta, "Ventas por cliente", "Ventas"));
  ASSERT_TRUE(v.guarda(ui, sistema, datos, 0, ruta, "Ventas por cliente", "Otra"));
  const std::string indice = base::une(base::une(datos, "report"), "clientes.for");
  EXPECT_EQ(base::leeBytes(indice)->size(), 374u);
  EXPECT_EQ(leeIndiceVistas(indice),
            (std::vector<std::pair<std::string, std::string>>{{ruta, "Ventas"}, {ruta, "Otra"}}));
  EXPECT_EQ(*base::leeLineas(base::une(base::une(sistema, "report"), "Especiales.cnf")),
            (std::vector<std::string>{"Clientes", ruta, "Clientes", ruta}));
  EXPECT_EQ(modulosVista().size(), 11u);
  // A path the index record cannot hold is refused before anything is written.
  const std::string larga = "C:\\tvk\\report\\" + std::string(60, 'x');
  EXPECT_FALSE(v.guarda(ui, sistema, datos, 0, larga, "x", "x"));
  EXPECT_FALSE(base::existe(larga));
  EXPECT_EQ(leeIndiceVistas(indice).size(), 2u);
  EXPECT_EQ(ui.mensajes(), (std::vector<std::string>{"La ruta " + larga + " es demasiado larga (60 caracteres como máximo)"}));
}

}  // namespace

namespace {

TEST_F(Catalogo, AllFieldsAreTitledFromTheDictionaryAndFiltersSpanPages) {
  NavegadorCatalogo n(ui, sistema, datos, "cucobrar.dbf", {{"NUFAC_CC", "", 80, ' '}});
  n.todosLosCampos();
  std::vector<std::string> titulos;
  for (const auto& c : n.columnas()) titulos.push_back(c.titulo);
  EXPECT_EQ(titulos, (std::vector<std::string>{"CLCLI_CC", "Documento", "TIMOV_CC", "Importe", "FEAPL_CC"}));
  // One row a page: the record of type 3 in between is skipped, not returned empty.
  EXPECT_EQ(n.cargaMas(1), 1u);
  EXPECT_EQ(n.cargaMas(1), 1u);
  EXPECT_EQ(n.filas()[1].celdas[1], "F12");
  EXPECT_EQ(n.cargaMas(1), 1u);
  EXPECT_EQ(n.cargaMas(1), 0u);
  EXPECT_TRUE(n.todoLeido());
}

TEST_F(Constructor, SmallAndWholeNumbersGetTheirNumericTypes) {
  dbf::Table::create(datos, "vendedor.dbf",
                     {{"CLAVE_V", 'N', 3, 0}, {"ZONA_V", 'N', 5, 0}, {"COMIS_V", 'N', 5, 2},
                      {"NOMBR_V", 'C', 20, 0}, {"CUOTA_V", 'N', 9, 0}, {"VENTA_V", 'N', 12, 2}});
  ConstructorConsulta c(ui, sistema, datos, "vendedor.dbf");
  c.ponSeleccion({"CLAVE_V", "ZONA_V", "COMIS_V", "NOMBR_V"});
  EXPECT_EQ(c.sentenciasTabla(false)[1], "CREATE TABLE \"" + c.rutaTablaTemporal() +
                                            "\" (CLAVE_V NUMERIC(6,2),ZONA_V NUMERIC(8,2),COMIS_V FLOAT(8,2),"
                                            "NOMBR_V CHAR(20))");
  // Wider sources get room for every value they can hold.
  c.ponSeleccion({"CUOTA_V", "VENTA_V"});
  EXPECT_EQ(c.sentenciasTabla(false)[1], "CREATE TABLE \"" + c.rutaTablaTemporal() +
                                            "\" (CUOTA_V NUMERIC(12,2),VENTA_V FLOAT(12,2))");
  dbf::Table t;
  t.open(datos, "vendedor.dbf");
  t.append();
  t.setInteger("CUOTA_V", 987654321);
  t.setFloat("VENTA_V", 123456789.25);
  t.post();
  ASSERT_TRUE(c.guardaResultado(false));
  dbf::Table r;
  r.open(base::une(sistema, "tempo"), "BaseTempo.dbf");
  r.first();
  EXPECT_EQ(r.asText("CUOTA_V"), "987654321.00");
  EXPECT_EQ(r.asText("VENTA_V"), "123456789.25");
  EXPECT_EQ(c.consulta(), "Select CUOTA_V,VENTA_V From \"" + base::une(datos, "vendedor.dbf") + "\"");
}

}  // namespace

namespace {

TEST_F(Catalogo, AnIndexChoiceForAnotherTableIsReportedAndIgnored) {
  base::escribeLineas(base::une(sistema, "cucobrar.pla"), {"PLANTILLA 1", "NUFAC_CC|Doc|90"});
  base::escribeLineas(base::une(sistema, "cucobrar.xla"), {"INOEXISTE"});
  NavegadorCatalogo n(ui, sistema, datos, "cucobrar.dbf", {});
  ASSERT_TRUE(n.restauraPlantilla());
  EXPECT_EQ(n.columnas(), (std::vector<ColumnaCatalogo>{{"NUFAC_CC", "Doc", 90, ' '}}));
  EXPECT_EQ(n.indice(), "");
  EXPECT_EQ(ui.mensajes(), (std::vector<std::string>{"El índice INOEXISTE no existe en cucobrar.dbf"}));
}

TEST_F(Catalogo, AnEditOfARecordHeldByAnotherStationChangesNothing) {
  NavegadorCatalogo n(ui, sistema, datos, "cucobrar.dbf", {{"NUFAC_CC", "", 80, ' '}, {"IMCUE_CC", "", 80, ' '}});
  n.cargaMas(10);
  ui.respondeAdministrador({base::RespuestaAdministrador::Administrador, ""});
  n.BotonCambiosClick();
  int listo[2], suelta[2];
  ASSERT_EQ(pipe(listo), 0);
  ASSERT_EQ(pipe(suelta), 0);
  pid_t hijo = fork();
  if (hijo == 0) {
    dbf::Table t;
    t.open(datos, "cucobrar.dbf");
    t.goTo(1);
    t.edit();
    char b = 1;
    (void)!write(listo[1], &b, 1);
    (void)!read(suelta[0], &b, 1);
    _exit(0);
  }
  char b;
  ASSERT_EQ(read(listo[0], &b, 1), 1);
  EXPECT_FALSE(n.cambiaCelda(0, 1, "9"));
  (void)!write(suelta[1], &b, 1);
  waitpid(hijo, nullptr, 0);
  EXPECT_EQ(n.filas()[0].celdas[1], "0.10");
  ASSERT_EQ(ui.mensajes().size(), 1u);
  dbf::Table t;
  t.open(datos, "cucobrar.dbf");
  t.first();
  EXPECT_EQ(t.asText("IMCUE_CC"), "0.10");
  // Once the other station lets go the same edit goes through.
  EXPECT_TRUE(n.cambiaCelda(0, 1, "9"));
  EXPECT_EQ(n.filas()[0].celdas[1], "9.00");
}

}  // namespace

namespace {

TEST_F(Catalogo, AnEditDoesNotRepeatOrSkipTheRowsStillToCome) {
  NavegadorCatalogo n(ui, sistema, datos, "cucobrar.dbf", {{"NUFAC_CC", "", 80, ' '}});
  n.ponIndice("ICUECOB");
  ASSERT_EQ(n.cargaMas(2), 2u);  // F10, F12
  ui.respondeAdministrador({base::RespuestaAdministrador::Administrador, ""});
  n.BotonCambiosClick();
  ASSERT_TRUE(n.cambiaCelda(0, 0, "F10A"));
  EXPECT_EQ(n.cargaMas(5), 1u);
  std::vector<std::string> docs;
  for (const auto& f : n.filas()) docs.push_back(f.celdas[0]);
  EXPECT_EQ(docs, (std::vector<std::string>{"F10A", "F12", "F13"}));
}

}  // namespace

namespace {

TEST_F(Catalogo, AFarSearchStartsTheRowsAtTheFoundRecord) {
  dbf::Table::create(datos, "vendedor.dbf", {{"CLAVE_V", 'C', 6, 0}}, {{"CLAVE_V", "CLAVE_V"}});
  dbf::Table t;
  t.open(datos, "vendedor.dbf");
  for (int i = 0; i < 6000; ++i) {
    t.append();
    t.setText("CLAVE_V", std::to_string(100000 + i));
    t.post();
  }
  NavegadorCatalogo n(ui, sistema, datos, "vendedor.dbf", {});
  n.ponIndice("CLAVE_V");
  ASSERT_TRUE(n.busca("105500"));  // more than 5000 rows in: not read
  EXPECT_EQ(n.filaBuscada(), 0);
  EXPECT_EQ(n.filas()[0].celdas[0], "105500");
  ASSERT_TRUE(n.busca("101500"));
  EXPECT_EQ(n.filaBuscada(), 1500);
  EXPECT_EQ(n.filas()[1500].celdas[0], "101500");
}

}  // namespace

namespace {

TEST_F(Catalogo, AnUnknownIndexIsReportedAndTheOrderStays) {
  NavegadorCatalogo n(ui, sistema, datos, "cucobrar.dbf", {{"NUFAC_CC", "", 80, ' '}});
  n.ponIndice("NOEXISTE");
  EXPECT_EQ(n.indice(), "");
  ASSERT_EQ(ui.mensajes().size(), 1u);
  EXPECT_EQ(columna(n, 0), (std::vector<std::string>{"F10", "F12", "F13"}));
}

}  // namespace
