// The Spanish query language and the query console's engine over real tables.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include "query/consola_sql.h"
#include "query/consulta_espanol.h"
#include "base/confcamp.h"
#include "base/registros_fijos.h"
#include "base/rutas.h"
#include "base/texto.h"
#include "store/dbf/dbf_table.h"
#include "support/entorno.h"
#include "support/interaccion_fake.h"
#include "support/procesos_falsos.h"

using namespace mostrador;
using namespace mostrador::query;
using prueba::DirectorioTemporal;
using prueba::InteraccionFalsa;

namespace {

TEST(TraduccionEspanol, TranslatesTheDocumentedQueryWordForWord) {
  EXPECT_EQ(traduceLinea("selecciona nombr_c, clcli_c desde cliente cuando saldo_c > 0 ordenar por nombr_c"),
            "SELECT nombr_c, clcli_c FROM cliente WHERE saldo_c > 0 ORDER BY nombr_c ");
}

TEST(TraduccionEspanol, OnlyBlanksAndCommasEndAWord) {
  EXPECT_EQ(traduceLinea("SUMA(IMTOD_F)"), "SUMA(IMTOD_F) ");
  EXPECT_EQ(traduceLinea("suma (IMTOD_F)"), "SUM (IMTOD_F) ");
  EXPECT_EQ(traduceLinea("cuenta,suma,,promedio"), "COUNT,SUM,,AVG ");
  EXPECT_EQ(traduceLinea("x=1 y(x=2)"), "x=1 y(x=2) ");
  EXPECT_EQ(traduceLinea(""), " ");
}

TEST(TraduccionEspanol, TheWordOBecomesOrWhereverItStandsAlone) {
  EXPECT_EQ(traduceLinea("cuando a=1 o b=2"), "WHERE a=1 OR b=2 ");
  EXPECT_EQ(traduceLinea("nombr_c = \"Juan o Pedro\""), "nombr_c = \"Juan OR Pedro\" ");
  EXPECT_EQ(traduceLinea("O"), "OR ");
  EXPECT_EQ(traduceLinea("oro"), "oro ");
}

TEST(TraduccionEspanol, EveryKeywordIgnoringCase) {
  ASSERT_EQ(palabrasClave().size(), 36u);
  const std::pair<const char*, const char*> casos[] = {
      {"Inserta dentro valores", "INSERT INTO VALUES "}, {"borra actualiza campos", "DELETE UPDATE SET "},
      {"agrupar teniendo contiene", "GROUP HAVING LIKE "}, {"maximo minimo en como", "MAX MIN IN AS "},
      {"crear alterar elimina convierte", "CREATE ALTER DROP CONVERT "},
      {"unico indice tabla con nulo", "UNIQUE INDEX TABLE WITH NULL "},
      {"primario llave no agregar", "PRIMARY KEY NOT ADD "},
  };
  for (const auto& [es, sql] : casos) EXPECT_EQ(traduceLinea(es), sql) << es;
}

TEST(TraduccionEspanol, KeepsOneLinePerLine) {
  EXPECT_EQ(traduceConsulta("selecciona a,\r\nb\r\ndesde t"), "SELECT a, \nb \nFROM t ");
}

TEST(EsqueletoConsulta, FiveLinesWithTheSkeletonsOwnFileNames) {
  EXPECT_EQ(esqueletoConsulta("C:\\Datos", "Cuentas x Cobrar"),
            (std::vector<std::string>{"Select", "", "", "", "From \"C:\\Datos\\CuCobrar.dbf\""}));
  EXPECT_EQ(esqueletoConsulta("C:\\Datos", "Movimientos al Inventario").back(),
            "From \"C:\\Datos\\Movinven.DBF\"");
  EXPECT_EQ(esqueletoConsulta("C:\\Datos", "Facturación Detallada").back(),
            "From \"C:\\Datos\\facturad.DBF\"");
  EXPECT_EQ(esqueletoConsulta("C:\\Datos", "Compras Detallada").back(), "From \"C:\\Datos\\\"");
  EXPECT_EQ(tablaConsola("Compras Detallada")->archivo, "comprasd.dbf");
  EXPECT_EQ(tablasConsola().size(), 11u);
}

TEST(EsqueletoConsulta, FieldsGoBeforeTheLastTwoLinesWithCommas) {
  auto l = esqueletoConsulta("C:\\D", "Clientes");
  agregaCampoConsulta(l, "CLCLI_C");
  agregaCampoConsulta(l, "NOMBR_C");
  EXPECT_EQ(l, (std::vector<std::string>{"Select", "", "", "CLCLI_C,", "NOMBR_C", "",
                                         "From \"C:\\D\\cliente.dbf\""}));
}

void escribeCatalogo(const std::string& dir) {
  base::ArchivoFijo f(base::une(dir, "confcamp.cmp"), base::disenoCatalogoCampos());
  std::vector<base::RegistroFijo> r(53, base::RegistroFijo(base::disenoCatalogoCampos()));
  auto pon = [&](int i, std::string nombre, std::string desc, std::string tercero) {
    r[i].ponTexto("nombre", nombre);
    r[i].ponTexto("descripcion", desc);
    r[i].ponTexto("tercero", tercero);
  };
  pon(1, "CLCLI_C", "Clave del Cliente", "C");
  pon(2, "NOMBR_C", "Nombre", "C");
  pon(3, "RFCXX_C", "No Disponible", "C");
  pon(4, "DIREC_C", "", "C");
  pon(5, "SALDO_C", "Saldo", "N");
  pon(51, "", "cliente.dbf", "");
  r[52].ponTexto("numero", "1");
  ASSERT_TRUE(f.reescribe(r));
}

TEST(CamposConsola, SkipsEmptyAndUnavailableDescriptions) {
  DirectorioTemporal t;
  escribeCatalogo(t.str());
  auto c = base::CatalogoCampos::enDirectorio(t.str());
  EXPECT_EQ(camposConsola(c, "Cliente.dbf"),
            (std::vector<CampoConsola>{{"CLCLI_C", "Clave del Cliente", "C"},
                                       {"NOMBR_C", "Nombre", "C"},
                                       {"SALDO_C", "Saldo", "N"}}));
  EXPECT_TRUE(camposConsola(c, "inventar.dbf").empty());
}

// A customers table with n rows: CLCLI_C "C<i>", NOMBR_C, SALDO_C = 0.1 each.
void clientes(const std::string& datos, int n) {
  dbf::Table::create(datos, "cliente.dbf",
                     {{"CLCLI_C", 'C', 10, 0}, {"NOMBR_C", 'C', 30, 0}, {"SALDO_C", 'N', 12, 2}});
  dbf::Table t;
  t.open(datos, "cliente.dbf");
  for (int i = 1; i <= n; ++i) {
    t.append();
    t.setText("CLCLI_C", "C" + std::to_string(i));
    t.setText("NOMBR_C", i % 2 ? "Juan" : "Pedro");
    t.setFloat("SALDO_C", 0.1);
    t.post();
  }
}

struct Consola : ::testing::Test {
  DirectorioTemporal dir;
  std::string sistema = dir.str() + "/tvk", datos = dir.str() + "/datos";
  InteraccionFalsa ui;
  void SetUp() override {
    base::creaDirectorios(sistema);
    base::creaDirectorios(datos);
  }
};

TEST_F(Consola, RunsAQueryAndPagesItByFifty) {
  clientes(datos, 120);
  ConsolaSql c(ui, sistema, datos);
  ASSERT_TRUE(c.ejecuta("selecciona clcli_c, nombr_c desde cliente\nordenar por clcli_c"));
  EXPECT_EQ(c.traduccion(), "SELECT clcli_c, nombr_c FROM cliente \nORDER BY clcli_c ");
  EXPECT_EQ(c.titulos(), (std::vector<std::string>{"CLCLI_C", "NOMBR_C"}));
  EXPECT_FALSE(c.hayAnterior());
  EXPECT_EQ(c.pagina().size(), 50u);
  EXPECT_EQ(c.pagina()[0], (std::vector<std::string>{"C1", "Juan"}));
  c.siguiente();
  c.siguiente();
  EXPECT_EQ(c.inicio(), 100);
  EXPECT_FALSE(c.haySiguiente());
  auto ultima = c.pagina();
  ASSERT_EQ(ultima.size(), 20u);
  EXPECT_EQ(ultima.back()[0], "C99");  // text order
  c.siguiente();
  EXPECT_EQ(c.inicio(), 100);
  c.anterior();
  EXPECT_EQ(c.inicio(), 50);
  EXPECT_TRUE(c.hayAnterior());
}

TEST_F(Consola, SumsExactlyAndRefusesTextColumns) {
  clientes(datos, 10);
  ConsolaSql c(ui, sistema, datos);
  ASSERT_TRUE(c.ejecuta("selecciona nombr_c, saldo_c desde cliente"));
  EXPECT_EQ(c.suma(1), "La Suma es : 1.00");
  EXPECT_EQ(c.suma(0), "No es Posible Relizar la operación en esta columna");
  EXPECT_EQ(ui.mensajes(), (std::vector<std::string>{"La Suma es : 1.00",
                                                      "No es Posible Relizar la operación en esta columna"}));
}

TEST_F(Consola, ColumnKindsResetOnEveryRun) {
  clientes(datos, 2);
  ConsolaSql c(ui, sistema, datos);
  ASSERT_TRUE(c.ejecuta("selecciona clcli_c, saldo_c desde cliente"));
  c.ponTipo(1, 'n');
  c.ponTipo(0, 'i');
  c.ponTipo(0, 'x');
  EXPECT_EQ(c.tipo(0), ' ');
  EXPECT_EQ(c.tipo(1), 'n');
  ASSERT_TRUE(c.ejecuta("selecciona clcli_c, saldo_c desde cliente"));
  EXPECT_EQ(c.tipo(1), ' ');
}

TEST_F(Consola, AFailingQueryShowsTheEngineTextAndKeepsTheTranslation) {
  clientes(datos, 2);
  ConsolaSql c(ui, sistema, datos);
  EXPECT_FALSE(c.ejecuta("selecciona noexiste desde cliente"));
  EXPECT_EQ(c.traduccion(), "SELECT noexiste FROM cliente ");
  ASSERT_EQ(ui.mensajes().size(), 1u);
  EXPECT_EQ(ui.mensajes()[0], "No existe el campo noexiste");
  EXPECT_EQ(c.resultado(), nullptr);
}

TEST_F(Consola, LoadsAndSavesQueryFilesUnderReport) {
  ConsolaSql c(ui, sistema, datos);
  EXPECT_FALSE(c.cargaArchivo("nada.sql"));
  ui.respondeArchivo("saldos");
  auto ruta = c.guardaArchivo({"selecciona saldo_c", "desde cliente"});
  ASSERT_TRUE(ruta);
  EXPECT_EQ(*ruta, base::une(base::une(sistema, "report"), "saldos.sql"));
  EXPECT_EQ(*base::leeBytes(*ruta), "selecciona saldo_c\r\ndesde cliente\r\n");
  EXPECT_EQ(*c.cargaArchivo("SALDOS.SQL"),
            (std::vector<std::string>{"selecciona saldo_c", "desde cliente"}));
  EXPECT_EQ(ui.llamadas()[0], "guarda archivo: " + base::une(sistema, "report") + " (Consultas (*.sql)|*.sql)");
}

TEST_F(Consola, ExportsTabSeparatedAndOpensTheSpreadsheet) {
  clientes(datos, 2);
  ConsolaSql c(ui, sistema, datos);
  ASSERT_TRUE(c.ejecuta("selecciona clcli_c, saldo_c desde cliente"));
  const std::string archivo = dir.str() + "/sal.xls";
  ui.respondeArchivo(archivo);
  base::TablaProgramas tabla([](std::string_view) { return false; }, "/bin/yo");
  tabla.asigna("EXCEL.EXE", {"hoja", "{args}"});
  prueba::ProcesosFalsos procesos;
  ASSERT_TRUE(c.exporta("C:\\Office\\EXCEL.EXE", tabla, procesos));
  EXPECT_EQ(*base::leeBytes(archivo), "CLCLI_C\tSALDO_C\t\r\nC1\t0.1\t\r\nC2\t0.1\t\r\n");
  ASSERT_EQ(procesos.llamadas.size(), 1u);
  EXPECT_EQ(procesos.llamadas[0].argumentos, (std::vector<std::string>{archivo}));
}

// Receivables for the correction: (NUFAC, NUREF, CLVEN, COMIS).
void cobros(const std::string& datos) {
  dbf::Table::create(datos, "FacturaE.dbf", {{"CLDOC_F", 'N', 10, 0}, {"IMIM1_F", 'N', 8, 2}});
  dbf::Table f;
  f.open(datos, "FacturaE.dbf");
  for (auto [n, t] : {std::pair{22134, 16.0}, {22135, 15.0}, {22140, 10.0}}) {
    f.append();
    f.setInteger("CLDOC_F", n);
    f.setFloat("IMIM1_F", t);
    f.post();
  }
  dbf::Table::create(datos, "cucobrar.dbf",
                     {{"NUFAC_CC", 'C', 10, 0}, {"NUREF_CC", 'C', 15, 0}, {"CLVEN_CC", 'C', 5, 0},
                      {"COMIS_CC", 'N', 10, 2}, {"IVAXX_CC", 'N', 10, 2}},
                     {{"ICUECOB", "NUFAC_CC"}});
  dbf::Table c;
  c.open(datos, "cucobrar.dbf");
  struct R { const char *fac, *ref, *ven; double com; };
  for (R r : {R{"22134", "", "", 0}, R{"22135", "", "V1", 5}, R{"22135", "", "", 0},
              R{"22140", "A7", "", 0}, R{"500", "A7", "V2", 3}}) {
    c.append();
    c.setText("NUFAC_CC", r.fac);
    c.setText("NUREF_CC", r.ref);
    c.setText("CLVEN_CC", r.ven);
    c.setFloat("COMIS_CC", r.com);
    c.post();
  }
}

std::vector<std::string> leeCobros(const std::string& datos) {
  dbf::Table c;
  c.open(datos, "cucobrar.dbf");
  std::vector<std::string> r;
  for (c.first(); !c.eof(); c.next())
    r.push_back(c.asText("NUFAC_CC") + "|" + c.asText("CLVEN_CC") + "|" + c.asText("COMIS_CC") + "|" +
                c.asText("IVAXX_CC"));
  return r;
}

TEST_F(Consola, DataCorrectionFillsTaxSellerAndCommission) {
  cobros(datos);
  ConsolaSql c(ui, sistema, datos);
  ui.respondeAdministrador({base::RespuestaAdministrador::Administrador, ""});
  EXPECT_EQ(c.corrigeDatos(), 3);
  EXPECT_EQ(leeCobros(datos), (std::vector<std::string>{"22134||0.00|", "22135|V1|5.00|15.00",
                                                        "22135|V1|5.00|15.00", "22140|V2|3.00|10.00",
                                                        "500|V2|3.00|"}));
}

TEST_F(Consola, DataCorrectionNeedsTheAdministratorKey) {
  cobros(datos);
  const auto antes = leeCobros(datos);
  ConsolaSql c(ui, sistema, datos);
  ui.respondeAdministrador({base::RespuestaAdministrador::OtraClave, "123"});
  EXPECT_FALSE(c.corrigeDatos());
  EXPECT_EQ(ui.mensajes(), (std::vector<std::string>{"Password inválido, no se podra modificar campo"}));
  EXPECT_EQ(leeCobros(datos), antes);
}

TEST_F(Consola, ARecordHeldByAnotherStationLeavesTheReceivablesAsTheyWere) {
  cobros(datos);
  const auto antes = leeCobros(datos);
  int tubo[2];
  ASSERT_EQ(pipe(tubo), 0);
  int suelta[2];
  ASSERT_EQ(pipe(suelta), 0);
  pid_t hijo = fork();
  if (hijo == 0) {
    dbf::Table t;
    t.open(datos, "cucobrar.dbf");
    t.goTo(4);  // the last record the correction writes
    t.edit();
    char b = 1;
    (void)!write(tubo[1], &b, 1);
    (void)!read(suelta[0], &b, 1);
    _exit(0);
  }
  char b;
  ASSERT_EQ(read(tubo[0], &b, 1), 1);
  EXPECT_THROW(correccionCuentasPorCobrar(datos), dbf::LockError);
  (void)!write(suelta[1], &b, 1);
  waitpid(hijo, nullptr, 0);
  EXPECT_EQ(leeCobros(datos), antes);
}

}  // namespace

namespace {

TEST(SumaExactaConsola, RoundsEachValueToTenThousandthsBeforeAdding) {
  reports::SumaExacta s;
  for (double v : {0.00004, 0.00004, 0.00004}) s.agrega(v);  // each rounds to 0
  EXPECT_EQ(s.diezmilesimos(), 0);
  s.agrega(-1234567.125);
  s.agrega(0.00005);  // half rounds away from zero
  EXPECT_EQ(s.diezmilesimos(), -12345671250 + 1);
  EXPECT_EQ(s.texto(), "-1,234,567.12");
  reports::SumaExacta t;
  t.agrega(1234567.895);
  EXPECT_EQ(t.texto(), "1,234,567.90");
}

TEST_F(Consola, SoloElAdministradorCambiaDatosLeerQuedaAbierto) {
  clientes(datos, 3);
  ConsolaSql c(ui, sistema, datos);
  c.ponUsuario("1");
  ui.respondeAdministrador({});  // a cashier without the administrator key
  EXPECT_FALSE(c.ejecuta("actualiza cliente campos saldo_c = 5"));
  EXPECT_EQ(ui.mensajes().back(), "Esta Opción es Permitida solo al Administrador");
  EXPECT_TRUE(c.ejecuta("selecciona saldo_c desde cliente"));
  base::RespuestaAdministrador clave;
  clave.resultado = base::RespuestaAdministrador::Administrador;
  ui.respondeAdministrador(clave);
  EXPECT_TRUE(c.ejecuta("actualiza cliente campos saldo_c = 5 cuando clcli_c = 'C2'"));
  EXPECT_EQ(c.filasAfectadas(), 1);
  dbf::Table t;
  t.open(datos, "cliente.dbf");
  std::vector<std::string> saldos;
  for (t.first(); !t.eof(); t.next()) saldos.push_back(t.asText("SALDO_C"));
  EXPECT_EQ(saldos, (std::vector<std::string>{"0.10", "5.00", "0.10"}));  // the refused one changed nothing
}

TEST(EsqueletoConsulta, AShortQueryGetsTheFieldAtItsStart) {
  std::vector<std::string> l{"desde cliente"};
  agregaCampoConsulta(l, "CLCLI_C");
  EXPECT_EQ(l, (std::vector<std::string>{"CLCLI_C", "desde cliente"}));
  std::vector<std::string> v;
  agregaCampoConsulta(v, "X");
  EXPECT_EQ(v, (std::vector<std::string>{"X"}));
}

TEST_F(Consola, ChangesRunThroughTheEngineAndAFailingOneChangesNothing) {
  clientes(datos, 3);
  ConsolaSql c(ui, sistema, datos);
  ASSERT_TRUE(c.ejecuta("actualiza cliente campos saldo_c = 5 cuando clcli_c = 'C2' o clcli_c = 'C3'"));
  EXPECT_EQ(c.traduccion(), "UPDATE cliente SET saldo_c = 5 WHERE clcli_c = 'C2' OR clcli_c = 'C3' ");
  EXPECT_EQ(c.filasAfectadas(), 2);
  EXPECT_EQ(c.resultado(), nullptr);
  EXPECT_FALSE(c.ejecuta("actualiza cliente campos saldo_c = 'mucho'"));
  ASSERT_EQ(ui.mensajes().size(), 1u);
  dbf::Table t;
  t.open(datos, "cliente.dbf");
  std::vector<std::string> saldos;
  for (t.first(); !t.eof(); t.next()) saldos.push_back(t.asText("SALDO_C"));
  EXPECT_EQ(saldos, (std::vector<std::string>{"0.10", "5.00", "5.00"}));
}

TEST_F(Consola, AnEmptyResultHasNoPageAndCannotBeSummed) {
  clientes(datos, 3);
  ConsolaSql c(ui, sistema, datos);
  ASSERT_TRUE(c.ejecuta("selecciona saldo_c desde cliente cuando saldo_c > 100"));
  EXPECT_TRUE(c.pagina().empty());
  EXPECT_FALSE(c.haySiguiente());
  EXPECT_EQ(c.suma(0), "La Suma es : 0.00");
  EXPECT_EQ(c.suma(7), "No es Posible Relizar la operación en esta columna");
}

}  // namespace
