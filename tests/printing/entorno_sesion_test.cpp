// The session's print environment over a real company directory: observations, Local
// SQL, the currency table, the users callback and companion programs, and a format run
// that reaches all of them.

#include "printing/entorno_sesion.h"

#include <chrono>

#include <gtest/gtest.h>

#include "support/fakes_impresion.h"
#include "printing/motor_formatos.h"
#include "printing/registro_vista_previa.h"
#include "printing/tabla_dbf.h"
#include "base/moneda.h"
#include "base/rutas.h"
#include "base/texto.h"
#include "store/dbf/dbf_table.h"
#include "session/empresa_nueva.h"
#include "session/sesion.h"
#include "session/usuarios.h"
#include "support/entorno.h"
#include "support/interaccion_fake.h"
#include "support/procesos_falsos.h"
#include "support/reloj_fijo.h"

using namespace mostrador;
using namespace mostrador::printing;
using Palabras = std::vector<std::string>;

namespace {

class Sesion : public ::testing::Test {
 protected:
  void SetUp() override {
    session::creaDirectorioDatos("C:\\Datos");
    base::creaDirectorios("C:\\TVK");
    sesion.ponDirectorios("C:\\TVK", "C:\\Datos");
    session::escribeUsuarios("C:\\TVK", {{0, "Administrador", "a", ""}, {1, "", "", ""}, {2, "", "", ""},
                                          {3, "Martha Ruiz", "m", ""}});
    observacion("12", "Fa", "Primera línea de la factura 12");
    observacion("120", "Fa", "De la factura 120");
    observacion("12", "CL", "Del cliente 12");
    observacion("12", "Fa", "Segunda línea");
    observacion("1", "Fa", "De la factura 1");
    observacion("12", "Fa", "   Tercera, con sangría");
    factura(12, "5", 1500.5);
    factura(13, "7", 99);
    factura(14, "5", 250.25);
    base::escribeMonedas("C:\\Datos", {{"M.N.", "1", "PESO", "PESOS", "PESOS", "M.N.", "$"},
                                        {"DLLS", "17.25", "DÓLAR", "DÓLARES", "DOLLARS", "USD", "US$"}});
  }

  static void observacion(const std::string& clave, const std::string& tipo, const std::string& texto) {
    dbf::Table t;
    t.open("C:\\Datos", "factuobs.dbf");
    t.append();
    t.setText("CLDOC_FO", clave);
    t.setText("TIDOC_FO", tipo);
    t.setText("OBSER_FO", texto);
    t.post();
  }
  static void factura(int numero, const std::string& cliente, double total) {
    dbf::Table t;
    t.open("C:\\Datos", "facturae.dbf");
    t.append();
    t.setInteger("CLDOC_F", numero);
    t.setText("CLCLI_F", cliente);
    t.setFloat("IMTOD_F", total);
    t.post();
  }

  prueba::DirectorioTemporal dir;
  prueba::ProcesosFalsos procesos;
  base::TablaProgramas programas{[](std::string_view) { return false; }, "/opt/mostrador/bin/mostrador"};
  prueba::InteraccionFalsa ui;
  prueba::RelojFijo relojSesion{{{2001, 7, 1}, {10, 30, 0, 0}}};
  session::Sesion sesion{ui, relojSesion, procesos, programas};
  EntornoSesion entorno{sesion};
};

}  // namespace

TEST_F(Sesion, ObservationsAreTheKeysLinesOfTheTypeInIndexOrder) {
  EXPECT_EQ(entorno.observaciones("C:\\Datos", "12", "Fa"),
            (Palabras{"Primera línea de la factura 12", "Segunda línea", "   Tercera, con sangría"}));
  EXPECT_EQ(entorno.observaciones("c:\\datos", "12", "CL"), (Palabras{"Del cliente 12"}));
  EXPECT_EQ(entorno.observaciones("C:\\Datos", "1", "Fa"), (Palabras{"De la factura 1"}));
  EXPECT_EQ(entorno.observaciones("C:\\Datos", "12", "Re"), Palabras{});
  EXPECT_EQ(entorno.observaciones("C:\\Datos", "99", "Fa"), Palabras{});
  // No table there: no lines, no error.
  EXPECT_EQ(entorno.observaciones("C:\\Otra", "12", "Fa"), Palabras{});
}

TEST_F(Sesion, LocalSqlGivesTheFirstColumnOfTheFirstRow) {
  EXPECT_EQ(entorno.consultaSql("Select SUM(IMTOD_F) from \"C:\\Datos\\facturae.dbf\" where CLCLI_F=\"5\""),
            "1750.75");
  EXPECT_EQ(entorno.consultaSql("select CLCLI_F, IMTOD_F from facturae where CLDOC_F > 12 order by CLDOC_F"),
            "7");
  EXPECT_EQ(entorno.consultaSql("select count(*) from facturae"), "3");
  // No row, a field that is not there, a table that is not there, no SQL at all.
  EXPECT_EQ(entorno.consultaSql("select CLCLI_F from facturae where CLCLI_F = \"9\""), std::nullopt);
  EXPECT_EQ(entorno.consultaSql("Select NOEXISTE from \"C:\\Datos\\facturae.dbf\""), std::nullopt);
  EXPECT_EQ(entorno.consultaSql("Select CLCLI_F from \"C:\\Datos\\noexiste.dbf\""), std::nullopt);
  EXPECT_EQ(entorno.consultaSql("Selecciona todo"), std::nullopt);
  EXPECT_EQ(entorno.consultaSql(""), std::nullopt);
}

TEST_F(Sesion, CurrencyWordsUsersAndDirectories) {
  using Cuatro = std::array<std::string, 4>;
  EXPECT_EQ(entorno.palabrasMoneda("DLLS"), (Cuatro{"DÓLAR", "DÓLARES", "DOLLARS", "USD"}));
  EXPECT_EQ(entorno.palabrasMoneda("EURO"), (Cuatro{"xx", "xx", "xx", "xx"}));
  EXPECT_EQ(entorno.nombreUsuario("3"), "Martha Ruiz");
  EXPECT_EQ(entorno.nombreUsuario("4"), "");
  EXPECT_EQ(entorno.directorioSistema(), "C:\\TVK");
  EXPECT_EQ(entorno.directorioDatos(), "C:\\Datos");

  session::Sesion sinUsuariosSesion{ui, relojSesion, procesos, programas};
  sinUsuariosSesion.ponDirectorios("C:\\Otra", "C:\\Datos");
  EntornoSesion sinUsuarios{sinUsuariosSesion};
  EXPECT_EQ(sinUsuarios.nombreUsuario("0"), "");
  // Another data directory, another currency table.
  session::Sesion otraSesion{ui, relojSesion, procesos, programas};
  otraSesion.ponDirectorios("C:\\TVK", "C:\\Otra");
  EntornoSesion otraEmpresa{otraSesion};
  EXPECT_EQ(otraEmpresa.palabrasMoneda("DLLS"), (Cuatro{"xx", "xx", "xx", "xx"}));
}

TEST_F(Sesion, PauseUnitsAreTenthsOfASecond) {
  auto antes = std::chrono::steady_clock::now();
  entorno.pausa(2);
  EXPECT_GE(std::chrono::steady_clock::now() - antes, std::chrono::milliseconds(200));
}

TEST_F(Sesion, CompanionProgramsGoThroughTheTable) {
  entorno.ejecuta("C:\\TVK\\AbrePuerto.exe", "", "C:\\TVK", false);
  EXPECT_FALSE(entorno.ultimoResultado().iniciado);
  EXPECT_EQ(entorno.ultimoResultado().mensaje,
            "No hay un programa asignado a ABREPUERTO.EXE en este equipo; asígnelo en c:\\TVK\\mostrador.ini");
  EXPECT_TRUE(procesos.llamadas.empty());

  programas.asigna("AbrePuerto.exe", {"/usr/local/bin/abre-puerto", "{args}"});
  entorno.ejecuta("C:\\TVK\\AbrePuerto.exe", "COM2", "C:\\TVK", false);
  EXPECT_TRUE(entorno.ultimoResultado().iniciado);
  EXPECT_EQ(entorno.ultimoResultado().mensaje, "");
  ASSERT_EQ(procesos.llamadas.size(), 1u);
  EXPECT_EQ(procesos.llamadas[0].programa, "/usr/local/bin/abre-puerto");
  EXPECT_EQ(procesos.llamadas[0].argumentos, (Palabras{"COM2"}));
  EXPECT_EQ(procesos.llamadas[0].directorio, (dir.ruta() / "unidades" / "c" / "TVK").string());
}

TEST_F(Sesion, AFormatRunReachesObservationsSqlCurrencyAndPrograms) {
  programas.asigna("DOSPrinter.exe", {"lp", "-o", "raw", "bar3.prn"});
  prueba::InteraccionFalsa ui;
  prueba::RelojFijo reloj{{{2001, 7, 1}, {10, 30, 0, 0}}};
  prueba::ImpresoraFalsa impresora;
  prueba::ColaFalsa cola;
  MotorFormatos motor{entorno, ui, reloj, impresora, cola};

  dbf::Table facturas;
  facturas.open("C:\\Datos", "facturae.dbf");
  facturas.setIndex("INUMENC");
  ASSERT_TRUE(facturas.findKey({12.0}));
  TablaDbf encabezado(facturas, "C:\\Datos", "facturae.dbf");

  base::creaDirectorios("C:\\TVK\\consulta");
  base::escribeLineas("C:\\TVK\\consulta\\prueba.fmt",
                       {"com(5,2)", "sql(10,1,IMTOD_F,facturae,CLCLI_F=,CLCLI_F)",
                        "sql(10,9,NOEXISTE,facturae,CLCLI_F=,CLCLI_F)", "tin(0,20,IMTOD_F,DLLS)", "bar(CLDOC_F)"});
  motor.ImprimeFormato(encabezado, encabezado, "C:\\TVK\\consulta\\prueba.fmt", 'p');

  std::vector<std::string> textos;
  std::vector<int> renglones;
  for (const RegistroVistaPrevia& r : leeRegistros("C:\\TVK\\tempo\\format.tmp")) {
    textos.push_back(r.texto);
    renglones.push_back(r.y);
  }
  ASSERT_EQ(textos.size(), 5u);
  EXPECT_EQ((Palabras{textos[0], textos[1], textos[2], textos[3]}),
            (Palabras{"Primera línea de la factura 12", "Segunda línea", "   Tercera, con sangría", "1500.5"}));
  EXPECT_EQ(renglones, (std::vector<int>{2, 3, 4, 1, 20}));
  EXPECT_EQ(textos[4], "(ONE THOUSAND FIVE HUNDRED  DOLLARS 50/100 USD)");
  EXPECT_EQ(motor.monedaLetras().segundoPlural, "DOLLARS");

  // The barcode program ran in its folder and was waited for.
  ASSERT_EQ(procesos.llamadas.size(), 1u);
  EXPECT_EQ(procesos.llamadas[0].programa, "lp");
  EXPECT_EQ(procesos.llamadas[0].argumentos, (Palabras{"-o", "raw", "bar3.prn"}));
  EXPECT_EQ(procesos.llamadas[0].directorio, (dir.ruta() / "unidades" / "c" / "barras").string());
  EXPECT_TRUE(procesos.llamadas[0].espera);
  EXPECT_EQ(dir.lee("unidades/c/barras/bar3.prn").substr(11), "000000012");
}
