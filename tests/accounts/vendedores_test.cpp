// The seller catalogue on real tables: creating and changing sellers with the key checks
// (the closing prompt's save included), rights, deleting (a seller another station holds
// stays), the search and the page keys, the field help, the printing helpers, and the
// listing and commission reports run through the report generator.

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <set>

#include "accounts/vendedores.h"
#include "base/rutas.h"
#include "base/texto.h"
#include "reports/reporte_sql.h"
#include "store/dbf/dbf_table.h"
#include "support/empresa_ventas.h"
#include "store/unidad.h"
#include "support/entorno.h"
#include "support/estaciones.h"
#include "support/interaccion_fake.h"
#include "support/reloj_fijo.h"

namespace mostrador::prueba {
namespace {

using accounts::CatalogoVendedores;
using accounts::ModoVendedores;
using accounts::OrdenVendedores;
using V = std::vector<std::string>;

const std::string kDatos(EmpresaVentas::kDatos);
const std::string kSistema(EmpresaVentas::kSistema);

struct Vendedores : ::testing::Test {
  DirectorioTemporal dir;
  EmpresaVentas empresa;  // seller V1 "Vendedor Uno", 5 %
  InteraccionFalsa ui;
  std::set<int> sinDerecho;
  std::unique_ptr<CatalogoVendedores> cat;

  CatalogoVendedores& abre(bool esperaAbrir = true) {
    cat = std::make_unique<CatalogoVendedores>(accounts::AjustesVendedores::de(empresa.lineas, kSistema, "0"), ui,
                                               [this](int n) { return !sinDerecho.count(n); });
    EXPECT_EQ(cat->abre(), esperaAbrir);
    return *cat;
  }
  V vendedores() const { return empresa.filas("vendedor.dbf", {"CLVEN_V", "NOMBR_V", "COMIS_V", "CLASV_V", "STATU_V"}); }
  void escribe(CatalogoVendedores& c, const std::string& clave, const std::string& nombre, const std::string& comision) {
    ASSERT_TRUE(c.ponTexto("CLVEN_V", clave));
    ASSERT_TRUE(c.ponTexto("NOMBR_V", nombre));
    ASSERT_TRUE(c.ponTexto("COMIS_V", comision));
  }
};

TEST_F(Vendedores, ANewSellerIsWrittenOnlyBySaveAndEveryKeyIsChecked) {
  auto& c = abre();
  EXPECT_EQ(c.titulo(), "Vendedores Ordenado por Clave");
  EXPECT_EQ(c.texto("CLVEN_V"), "V1");
  ASSERT_TRUE(c.nuevo());
  EXPECT_EQ(c.modo(), ModoVendedores::Nuevo);
  EXPECT_EQ(c.texto("CLVEN_V"), "");
  escribe(c, "V1", "Otro Vendedor", "3.5");
  ASSERT_TRUE(c.ponTexto("CLASV_V", "MAYOREO"));
  ASSERT_TRUE(c.ponTexto("STATU_V", "A"));
  // Nothing reaches the table while typing.
  EXPECT_EQ(vendedores(), V{"V1|Vendedor Uno|5.0000||"});
  EXPECT_FALSE(c.ponTexto("COMIS_V", "3,5x"));
  EXPECT_EQ(c.numero("COMIS_V"), 3.5);

  EXPECT_FALSE(c.guarda());
  EXPECT_EQ(c.modo(), ModoVendedores::Nuevo);
  ASSERT_TRUE(c.ponTexto("CLVEN_V", "  "));
  EXPECT_FALSE(c.guarda());
  EXPECT_EQ(c.modo(), ModoVendedores::Nuevo);
  EXPECT_EQ(ui.mensajes(), (V{"\"3,5x\" no es un Número Válido", "La Clave ya Existe Es Necesario Cambiarla",
                              "Falta la Clave..."}));
  EXPECT_EQ(vendedores(), V{"V1|Vendedor Uno|5.0000||"});

  // A key as typed, blanks around it dropped; the other values were kept through the refusals.
  ASSERT_TRUE(c.ponTexto("CLVEN_V", " V2 "));
  ASSERT_TRUE(c.guarda());
  EXPECT_TRUE(c.guardo());
  EXPECT_EQ(c.modo(), ModoVendedores::Consulta);
  EXPECT_EQ(c.texto("CLVEN_V"), "V2");
  EXPECT_EQ(vendedores(), (V{"V1|Vendedor Uno|5.0000||", "V2|Otro Vendedor|3.5000|MAYOREO|A"}));
  // Texts are cut to their field, as the screen's edits are.
  ASSERT_TRUE(c.nuevo());
  escribe(c, "V3", "Tercero", "");
  ASSERT_TRUE(c.ponTexto("STATU_V", "ACTIVO"));
  ASSERT_TRUE(c.guarda());
  EXPECT_EQ(vendedores().back(), "V3|Tercero|||A");
}

TEST_F(Vendedores, ClosingWithSaveStillRefusesAnEmptyOrRepeatedKey) {
  auto& c = abre();
  ASSERT_TRUE(c.nuevo());
  ASSERT_TRUE(c.ponTexto("NOMBR_V", "Sin Clave"));
  ui.respondeCerrar(base::RespuestaCerrar::Guardar);
  EXPECT_FALSE(c.cierra());
  EXPECT_EQ(c.modo(), ModoVendedores::Nuevo);
  ASSERT_TRUE(c.ponTexto("CLVEN_V", "V1"));
  ui.respondeCerrar(base::RespuestaCerrar::Guardar);
  EXPECT_FALSE(c.cierra());
  EXPECT_EQ(c.modo(), ModoVendedores::Nuevo);
  EXPECT_EQ(ui.mensajes(), (V{"Falta la Clave...", "La Clave ya Existe Es Necesario Cambiarla"}));
  EXPECT_EQ(vendedores(), V{"V1|Vendedor Uno|5.0000||"});
  // Stay keeps everything typed; Discard leaves the table as it was.
  ui.respondeCerrar(base::RespuestaCerrar::Quedarse);
  EXPECT_FALSE(c.cierra());
  EXPECT_EQ(c.texto("NOMBR_V"), "Sin Clave");
  ui.respondeCerrar(base::RespuestaCerrar::Descartar);
  EXPECT_TRUE(c.cierra());
  EXPECT_EQ(c.modo(), ModoVendedores::Consulta);
  EXPECT_EQ(c.texto("CLVEN_V"), "V1");
  EXPECT_EQ(vendedores(), V{"V1|Vendedor Uno|5.0000||"});
  // A good key saves on closing.
  ASSERT_TRUE(c.nuevo());
  escribe(c, "V7", "Siete", "7");
  ui.respondeCerrar(base::RespuestaCerrar::Guardar);
  EXPECT_TRUE(c.cierra());
  EXPECT_TRUE(c.guardo());
  EXPECT_EQ(vendedores(), (V{"V1|Vendedor Uno|5.0000||", "V7|Siete|7.0000||"}));
  // Closing in browse mode asks nothing.
  EXPECT_TRUE(c.cierra());
}

TEST_F(Vendedores, AChangedKeyMayNotTakeAnotherSellersKey) {
  empresa.vendedor("V2", "Vendedor Dos", 4);
  auto& c = abre();
  ASSERT_TRUE(c.abreEnClave("V2"));
  ASSERT_TRUE(c.modifica());
  EXPECT_EQ(c.modo(), ModoVendedores::Modifica);
  ASSERT_TRUE(c.ponTexto("CLVEN_V", "V1"));
  ASSERT_TRUE(c.ponTexto("NOMBR_V", "Cambiado"));
  EXPECT_FALSE(c.guarda());
  EXPECT_EQ(c.modo(), ModoVendedores::Modifica);
  ASSERT_TRUE(c.ponTexto("CLVEN_V", ""));
  EXPECT_FALSE(c.guarda());
  EXPECT_EQ(ui.mensajes(), (V{"La Clave ya Existe Es Necesario Cambiarla", "Falta la Clave..."}));
  EXPECT_EQ(vendedores(), (V{"V1|Vendedor Uno|5.0000||", "V2|Vendedor Dos|4.0000||"}));
  // Cancel drops the edits: the seller is as it was on disk.
  c.descarta();
  EXPECT_EQ(c.modo(), ModoVendedores::Consulta);
  EXPECT_EQ(c.texto("CLVEN_V"), "V2");
  EXPECT_EQ(c.texto("NOMBR_V"), "Vendedor Dos");
  // Its own key stays; a free key is taken.
  ASSERT_TRUE(c.modifica());
  ASSERT_TRUE(c.ponTexto("COMIS_V", "4.25"));
  ASSERT_TRUE(c.guarda());
  ASSERT_TRUE(c.modifica());
  ASSERT_TRUE(c.ponTexto("CLVEN_V", "V20"));
  ASSERT_TRUE(c.guarda());
  EXPECT_EQ(vendedores(), (V{"V1|Vendedor Uno|5.0000||", "V20|Vendedor Dos|4.2500||"}));
  EXPECT_EQ(ui.mensajes().size(), 2u);
}

TEST_F(Vendedores, CommandsWithoutTheirRightDoNothing) {
  sinDerecho = {14, 15, 16};
  auto& c = abre();
  EXPECT_FALSE(c.nuevo());
  EXPECT_FALSE(c.modifica());
  EXPECT_FALSE(c.elimina());  // asks nothing: the fake fails on an unexpected question
  EXPECT_EQ(c.modo(), ModoVendedores::Consulta);
  EXPECT_TRUE(ui.llamadas().empty());
  EXPECT_EQ(vendedores(), V{"V1|Vendedor Uno|5.0000||"});
}

TEST_F(Vendedores, DeletingAsksFirstAndAHeldSellerStays) {
  empresa.vendedor("V2", "Vendedor Dos", 4);
  auto& c = abre();
  ui.respondeAdvertencia(base::RespuestaAdvertencia::No);
  EXPECT_FALSE(c.elimina());
  EXPECT_EQ(vendedores().size(), 2u);
  ui.respondeAdvertencia(base::RespuestaAdvertencia::Si);
  EXPECT_TRUE(c.elimina());
  EXPECT_EQ(ui.llamadas(), (V{"advertencia: Esta Seguro de Eliminar este Registro ?",
                              "advertencia: Esta Seguro de Eliminar este Registro ?"}));
  EXPECT_EQ(vendedores(), V{"V2|Vendedor Dos|4.0000||"});
  EXPECT_EQ(c.texto("CLVEN_V"), "V2");  // the next seller shows

  // Another station holds V2 (its own handle, its own lock).
  setenv("MOSTRADOR_ESPERA_MS", "200", 1);
  {
    dbf::Table otra;
    otra.open(kDatos, "vendedor.dbf");
    otra.setIndex("ICLAVEN");
    ASSERT_TRUE(otra.findKey({std::string("V2")}));
    otra.edit();
    ui.olvidaLlamadas();
    EXPECT_FALSE(c.modifica());
    EXPECT_EQ(c.modo(), ModoVendedores::Consulta);
    ui.respondeAdvertencia(base::RespuestaAdvertencia::Si);
    EXPECT_FALSE(c.elimina());
    EXPECT_EQ(accounts::eliminaVendedor(kDatos, "V2"), "No se Pueden Editar los Datos ha Ocurrido un Error");
    EXPECT_EQ(ui.mensajes(), (V{"No se Pueden Editar los Datos ha Ocurrido un Error",
                                "No se Pueden Editar los Datos ha Ocurrido un Error"}));
    otra.cancel();
  }
  unsetenv("MOSTRADOR_ESPERA_MS");
  EXPECT_EQ(vendedores(), V{"V2|Vendedor Dos|4.0000||"});
  // Once let go, the command line deletes it; an unknown key is named.
  EXPECT_EQ(accounts::eliminaVendedor(kDatos, "V9"), "El Vendedor No Existe");
  EXPECT_EQ(accounts::eliminaVendedor(kDatos, ""), "El Vendedor No Existe");
  EXPECT_EQ(accounts::eliminaVendedor(kDatos, "V2"), "");
  EXPECT_TRUE(vendedores().empty());
  EXPECT_EQ(accounts::eliminaVendedor("C:\\nada", "V2"), "Ha Ocurrido un Error al Abrir una de las Bases de Datos.");
}

TEST_F(Vendedores, SearchByKeyOrNameAndThePageKeys) {
  empresa.vendedor("B2", "Beatriz", 2);
  empresa.vendedor("A1", "Zacarias", 1);
  auto& c = abre();
  EXPECT_EQ(c.texto("CLVEN_V"), "A1");
  c.siguiente();
  EXPECT_EQ(c.texto("CLVEN_V"), "B2");
  c.siguiente();
  c.siguiente();  // past the last one it stays
  EXPECT_EQ(c.texto("CLVEN_V"), "V1");
  c.anterior();
  EXPECT_EQ(c.texto("CLVEN_V"), "B2");

  ui.respondeBusqueda(base::Busqueda{"Vend", base::CampoBusqueda::Nombre});
  ASSERT_TRUE(c.busca());
  EXPECT_EQ(c.orden(), OrdenVendedores::Nombre);
  EXPECT_EQ(c.titulo(), "Vendedores Ordenado por Nombre");
  EXPECT_EQ(c.texto("CLVEN_V"), "V1");
  c.siguiente();  // name order now
  EXPECT_EQ(c.texto("CLVEN_V"), "A1");
  ui.respondeBusqueda(base::Busqueda{"B", base::CampoBusqueda::Clave});
  ASSERT_TRUE(c.busca());
  EXPECT_EQ(c.titulo(), "Vendedores Ordenado por Clave");
  EXPECT_EQ(c.texto("CLVEN_V"), "B2");
  ui.respondeBusqueda(std::nullopt);
  EXPECT_FALSE(c.busca());
  EXPECT_EQ(c.texto("CLVEN_V"), "B2");
  // The browser's key: found, or the nearest one.
  EXPECT_TRUE(c.abreEnClave("A1"));
  EXPECT_EQ(c.texto("NOMBR_V"), "Zacarias");
  EXPECT_FALSE(c.abreEnClave("C"));
  EXPECT_EQ(c.texto("CLVEN_V"), "V1");
  // No moving while a seller is being typed.
  ASSERT_TRUE(c.nuevo());
  c.anterior();
  EXPECT_FALSE(c.abreEnClave("A1"));
  EXPECT_EQ(c.modo(), ModoVendedores::Nuevo);
  c.descarta();
  EXPECT_EQ(c.texto("CLVEN_V"), "V1");  // back where the new seller was started
  EXPECT_EQ(vendedores().size(), 3u);
  // Another station renames it: reading the table again shows it, on the same seller.
  {
    dbf::Table otra;
    otra.open(kDatos, "vendedor.dbf");
    otra.setIndex("ICLAVEN");
    ASSERT_TRUE(otra.findKey({std::string("V1")}));
    otra.edit();
    otra.setText("NOMBR_V", "Renombrado");
    otra.post();
  }
  c.refresca();
  EXPECT_EQ(c.texto("CLVEN_V"), "V1");
  EXPECT_EQ(c.texto("NOMBR_V"), "Renombrado");
  EXPECT_TRUE(ui.mensajes().empty());
}

TEST_F(Vendedores, SettingsHelpLinesOpeningAndPrintingHelpers) {
  empresa.linea(1, "NO");
  empresa.linea(13, "Vende.fmt");
  const auto a = accounts::AjustesVendedores::de(empresa.lineas, kSistema, "3");
  EXPECT_TRUE(a.buscaAlGuardar);
  EXPECT_EQ(a.dirDatos, kDatos);
  EXPECT_EQ(a.rutaFormato(), "C:\\tvk\\consulta\\Vende.fmt");

  base::escribeLineas(base::une(kSistema, "vendedor.des"),
                      {"Clave 1", "Clave 2", "Nombre 1", "Nombre 2", "Comision 1", "Comision 2", "Clase 1", "Clase 2"});
  empresa.vendedor("B2", "Beatriz", 2);
  empresa.vendedor("C3", "Carlos", 3);
  empresa.vendedor("A1", "Ana", 1);
  auto& c = abre();
  EXPECT_EQ(c.rutaFormato(), "C:\\tvk\\consulta\\Vende.fmt");
  EXPECT_EQ(c.ayuda("NOMBR_V"), (std::pair<std::string, std::string>{"Nombre 1", "Nombre 2"}));
  EXPECT_EQ(c.ayuda("CLASV_V"), (std::pair<std::string, std::string>{"Clase 1", "Clase 2"}));
  EXPECT_EQ(c.ayuda("STATU_V"), (std::pair<std::string, std::string>{}));

  // A saved seller is found again by key (line 1 "NO").
  ASSERT_TRUE(c.nuevo());
  escribe(c, "B5", "Bruno", "5");
  ASSERT_TRUE(c.guarda());
  EXPECT_EQ(c.texto("NOMBR_V"), "Bruno");
  c.siguiente();
  EXPECT_EQ(c.texto("CLVEN_V"), "C3");

  auto claves = [&](const std::vector<uint32_t>& registros) {
    V r;
    dbf::Table t;
    t.open(kDatos, "vendedor.dbf");
    for (uint32_t n : registros) {
      t.goTo(n);
      r.push_back(t.asText("CLVEN_V"));
    }
    return r;
  };
  EXPECT_EQ(claves(c.registrosEnRango("B", "C3")), (V{"B2", "B5", "C3"}));
  EXPECT_EQ(claves(c.registrosEnRango("", "B2")), (V{"A1", "B2"}));
  EXPECT_EQ(claves(c.registrosEnRango("C", "")), (V{"C3", "V1"}));
  EXPECT_EQ(claves(c.registrosEnRango("", "")), (V{"A1", "B2", "B5", "C3", "V1"}));
  EXPECT_TRUE(c.registrosEnRango("Z", "A").empty());

  EXPECT_FALSE(c.eligeFormato("C:\\tvk\\consulta\\Otro.fmt"));
  EXPECT_EQ(c.rutaFormato(), "C:\\tvk\\consulta\\Vende.fmt");
  base::creaDirectorios("C:\\tvk\\consulta");
  ASSERT_TRUE(base::escribeLineas("C:\\tvk\\consulta\\Otro.fmt", {"@1,1,CLVEN_V"}));
  EXPECT_TRUE(c.eligeFormato("C:\\tvk\\consulta\\Otro.fmt"));
  EXPECT_EQ(c.rutaFormato(), "C:\\tvk\\consulta\\Otro.fmt");
  EXPECT_EQ(ui.mensajes(), V{"El Formato C:\\tvk\\consulta\\Otro.fmt No Existe"});
}

TEST_F(Vendedores, ATableThatFailsToOpenIsSaidOnce) {
  dbf::Table::drop(kDatos, "facturae.dbf");
  abre();
  EXPECT_EQ(cat->texto("CLVEN_V"), "V1");  // the sellers still open
  EXPECT_EQ(ui.mensajes(), V{"Ha Ocurrido un Error al Abrir una de las Bases de Datos."});
  ui.olvidaLlamadas();
  cat.reset();
  dbf::Table::drop(kDatos, "vendedor.dbf");
  auto& c = abre(false);
  EXPECT_FALSE(c.hayVendedor());
  EXPECT_FALSE(c.nuevo());
  EXPECT_EQ(ui.mensajes(), V{"Ha Ocurrido un Error al Abrir una de las Bases de Datos."});
}

// ---- stations ---------------------------------------------------------------------------

TEST_F(Vendedores, TwoStationsSavingOneNewKeyLeaveOneSeller) {
  Canal listoA, listoB, adelante;
  auto estacionQueGuarda = [&](Canal& listo, const char* nombre) {
    return estacion([&, nombre] {
      InteraccionFalsa u;
      CatalogoVendedores c(accounts::AjustesVendedores::de(empresa.lineas, kSistema, "0"), u, [](int) { return true; });
      if (!c.abre() || !c.nuevo()) return 2;
      if (!c.ponTexto("CLVEN_V", "V5") || !c.ponTexto("NOMBR_V", nombre)) return 3;
      listo.avisa();
      adelante.aguarda();
      if (c.guarda()) return u.llamadas().empty() ? 0 : 4;
      return u.mensajes() == V{"La Clave ya Existe Es Necesario Cambiarla"} && c.modo() == ModoVendedores::Nuevo ? 1 : 5;
    });
  };
  const pid_t a = estacionQueGuarda(listoA, "Estacion A");
  const pid_t b = estacionQueGuarda(listoB, "Estacion B");
  listoA.aguarda();
  listoB.aguarda();
  adelante.avisa();
  adelante.avisa();
  const int ra = espera(a), rb = espera(b);
  EXPECT_EQ(ra + rb, 1) << ra << " " << rb;  // one saved (0), one refused (1)
  const V v = empresa.filas("vendedor.dbf", {"CLVEN_V", "NOMBR_V"});
  ASSERT_EQ(v.size(), 2u);
  EXPECT_EQ(v[1], ra == 0 ? "V5|Estacion A" : "V5|Estacion B");
}

TEST_F(Vendedores, ASaveThatCannotTakeTheDataDirectoryKeepsTheEdit) {
  setenv("MOSTRADOR_ESPERA_MS", "200", 1);
  Canal enUnidad, suelta;
  // Another station in the middle of a long save of the same directory.
  const pid_t otra = estacion([&] {
    store::UnidadGuardado unidad({kDatos});
    enUnidad.avisa();
    suelta.aguarda();
    return 0;
  });
  enUnidad.aguarda();
  auto& c = abre();
  ASSERT_TRUE(c.modifica());
  ASSERT_TRUE(c.ponTexto("NOMBR_V", "Nombre Nuevo"));
  EXPECT_FALSE(c.guarda());
  EXPECT_EQ(ui.mensajes(), V{"No se Pueden Guardar los Datos ha Ocurrido un Error"});
  EXPECT_EQ(c.modo(), ModoVendedores::Modifica);
  EXPECT_EQ(c.texto("NOMBR_V"), "Nombre Nuevo");
  EXPECT_EQ(vendedores(), V{"V1|Vendedor Uno|5.0000||"});
  suelta.avisa();
  EXPECT_EQ(espera(otra), 0);
  unsetenv("MOSTRADOR_ESPERA_MS");
  ASSERT_TRUE(c.guarda());
  EXPECT_EQ(vendedores(), V{"V1|Nombre Nuevo|5.0000||"});
}

// ---- reports --------------------------------------------------------------------------

TEST_F(Vendedores, TheDefinitionTexts) {
  const auto l = accounts::reporteVendedor("Listadode1", "C:\\datos", "facturae.dbf");
  ASSERT_TRUE(l);
  EXPECT_EQ(l->menu, "Listadode1");
  EXPECT_EQ(l->titulo, "Listado de Vendedores");
  EXPECT_EQ(l->texto,
            "$Listado de Vendedores\r"
            "& Select CLVEN_V,NOMBR_V,TELEF_V,COMIS_V\xC2\xAB from \"C:\\datos\\vendedor.dbf\"\r"
            "?(CLVEN_V=CLVEN_V)\xC2\xBF\r"
            "!CLVEN_V\r"
            "%c          c                  c                f             \r"
            "#VENDEDOR    NOMBRE             TELEFONO        COMISION       \r"
            "@\r");
  const std::string comisiones =
      "& Select CLVEN_F,NOMBR_V,CLDOC_F,SUBTO_F,SUBTO_F*CTOVE_F*0.01,FEDOC_F\xC2\xAB from "
      "\"C:\\datos\\facturae.dbf\" F LEFT JOIN \"C:\\datos\\vendedor.dbf\" V ON V.CLVEN_V=F.CLVEN_F\r"
      "?(CLVEN_F=CLVEN_F OR CLVEN_F IS NULL) AND (STATU_F<>\"C\" OR STATU_F IS NULL)  \xC2\xBF\r"
      "!CLVEN_F,CLDOC_F\r";
  const std::string pie =
      "%c          c                  e              t                t             c             \r"
      "#VENDEDOR    NOMBRE            DOCUMENTO      SUBTOTAL         COMISION      FECHA_DOC.    \r"
      "@\r";
  const auto c = accounts::reporteVendedor("Comisiones1", "C:\\datos", "facturae.dbf");
  ASSERT_TRUE(c);
  EXPECT_EQ(c->titulo, "Comisiones");
  EXPECT_EQ(c->texto, "$Comisiones\r" + comisiones + pie);
  const auto k = accounts::reporteVendedor("ComisionesConcentrado1", "C:\\datos", "facturae.dbf");
  ASSERT_TRUE(k);
  EXPECT_EQ(k->titulo, "Comisiones Concentrado");
  EXPECT_EQ(k->texto, "$Comisiones Concentrado\r" + comisiones + ">CLVEN_F\r" + pie);
  EXPECT_FALSE(accounts::reporteVendedor("Stocks1", "C:\\datos", "facturae.dbf"));

  EXPECT_EQ(accounts::origenReporteVendedor("Listadode1", "facturae.dbf"),
            (accounts::OrigenReporteVendedor{"vendedor.dbf", "CLVEN_V", ""}));
  EXPECT_EQ(accounts::origenReporteVendedor("ComisionesConcentrado1", "remision.dbf"),
            (accounts::OrigenReporteVendedor{"remision.dbf", "CLDOC_F", "FEDOC_F"}));
  EXPECT_FALSE(accounts::origenReporteVendedor("Temas1", "facturae.dbf"));
  ASSERT_EQ(accounts::reportesVendedores().size(), 3u);
  EXPECT_EQ(accounts::reportesVendedores()[2].first, "ComisionesConcentrado1");
}

struct Comisiones : Vendedores {
  RelojFijo reloj{{{2025, 6, 30}, {9, 0, 0, 0}}};

  void factura(int numero, const std::string& vendedor, double subtotal, double comision,
               const std::string& estado = "", dbf::Fecha fecha = {2025, 6, 2}) {
    dbf::Table t;
    t.open(kDatos, "facturae.dbf");
    t.append();
    t.setFloat("CLDOC_F", numero);
    t.setText("CLCLI_F", "1");
    t.setText("NOMBR_F", "Publico en General");
    if (!vendedor.empty()) t.setText("CLVEN_F", vendedor);
    t.setFloat("SUBTO_F", subtotal);
    t.setFloat("CTOVE_F", comision);
    if (!estado.empty()) t.setText("STATU_F", estado);
    t.setDate("FEDOC_F", fecha);
    t.post();
  }
  // The sheet's row and total lines, as their trimmed cells joined by "|".
  V corre(const std::string& menu, reports::DialogoFiltro* dialogo = nullptr) {
    const auto d = accounts::reporteVendedor(menu, kDatos, "facturae.dbf");
    const auto o = accounts::origenReporteVendedor(menu, "facturae.dbf");
    reports::ContextoReporte ctx{kSistema, kDatos, ui, dialogo, &reloj};
    reports::ParametrosReporte p;
    p.definicion = d->texto;
    p.tabla = o->tabla;
    auto r = reports::EjecutaReporte(ctx, d->titulo, o->campoDocumento, o->campoFecha, p);
    V filas;
    if (!r) return filas;
    for (const auto& l : r->hoja().lineas()) {
      std::string f;
      for (size_t i = 0; i < l.celdas.size(); ++i) f += (i ? "|" : "") + l.celdas[i];
      filas.push_back(l.celdas.empty() ? l.texto : f);
    }
    return filas;
  }

  void SetUp() override {
    factura(1, "V1", 1000, 5);
    factura(2, "V1", 200.50, 5, "C");  // cancelled: no commission
    factura(3, "", 300, 0);            // no seller
    factura(4, "V9", 80, 2.5);         // a seller deleted since
    factura(5, "V1", 123.45, 5, "G", {2025, 6, 20});
  }
};

TEST_F(Comisiones, EachLiveDocumentEarnsItsPercentOfItsSubtotal) {
  empresa.vendedor("V9", "Vendedor Nueve", 2.5);
  ASSERT_EQ(accounts::eliminaVendedor(kDatos, "V9"), "");
  const V l = corre("Comisiones1");
  ASSERT_EQ(l.size(), 13u);
  EXPECT_EQ(l[0], "*Reporte de Comisiones");
  EXPECT_EQ(l[1], "VENDEDOR|NOMBRE|DOCUMENTO|SUBTOTAL|COMISION|FECHA_DOC.");
  // Ordered by seller and document; the document without a seller first, the deleted
  // seller's key without a name, the cancelled document nowhere.
  EXPECT_EQ(V(l.begin() + 4, l.begin() + 8),
            (V{"||3|300.00|0.00|02/06/2025", "V1|Vendedor Uno|1|1,000.00|50.00|02/06/2025",
               "V1|Vendedor Uno|5|123.45|6.17|20/06/2025", "V9||4|80.00|2.00|02/06/2025"}));
  EXPECT_EQ(l[9], "|||1,503.45|58.17|");
  EXPECT_EQ(l[12], ".");
  EXPECT_TRUE(ui.mensajes().empty());
}

TEST_F(Comisiones, TheConcentratedReportTotalsBySeller) {
  const V l = corre("ComisionesConcentrado1");
  EXPECT_EQ(l[0], "*Reporte de Comisiones Concentrado");
  V filas;
  for (const auto& x : V(l.begin() + 4, l.end()))
    if (x.find('|') != std::string::npos) filas.push_back(x);
  EXPECT_EQ(filas, (V{"||3|300.00|0.00|02/06/2025", "|||300.00|0.00|",
                      "V1|Vendedor Uno|1|1,000.00|50.00|02/06/2025", "V1|Vendedor Uno|5|123.45|6.17|20/06/2025",
                      "|||1,123.45|56.17|", "V9||4|80.00|2.00|02/06/2025", "|||80.00|2.00|",
                      "|||1,503.45|58.17|"}));
}

TEST_F(Comisiones, TheDialogsRangesLimitTheJoinedQuery) {
  reports::FiltroFijo dias(base::Fecha{2025, 6, 1}, base::Fecha{2025, 6, 10}, "1", "4");
  const V l = corre("Comisiones1", &dias);
  V filas;
  for (const auto& x : V(l.begin() + 4, l.end()))
    if (x.find('|') != std::string::npos) filas.push_back(x);
  EXPECT_EQ(filas, (V{"||3|300.00|0.00|02/06/2025", "V1|Vendedor Uno|1|1,000.00|50.00|02/06/2025",
                      "V9||4|80.00|2.00|02/06/2025", "|||1,380.00|52.00|"}));
}

TEST_F(Comisiones, TheListingOfSellers) {
  empresa.vendedor("A1", "Ana", 2.5);
  const V l = corre("Listadode1");
  EXPECT_EQ(l[0], "*Reporte de Listado de Vendedores");
  EXPECT_EQ(l[1], "VENDEDOR|NOMBRE|TELEFONO|COMISION");
  EXPECT_EQ(V(l.begin() + 4, l.begin() + 6), (V{"A1|Ana||2.50", "V1|Vendedor Uno||5.00"}));
}

}  // namespace
}  // namespace mostrador::prueba
