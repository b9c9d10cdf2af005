// The session: the station's companion programs read once, the signed-in user's names,
// and a program that does not start said through the session's Interaccion.
#include "session/sesion.h"

#include <gtest/gtest.h>

#include "base/rutas.h"
#include "base/texto.h"
#include "session/usuarios.h"
#include "support/entorno.h"
#include "support/interaccion_fake.h"
#include "support/procesos_falsos.h"
#include "support/reloj_fijo.h"

using namespace mostrador;
using Palabras = std::vector<std::string>;

namespace {

class SesionEstacion : public ::testing::Test {
 protected:
  prueba::DirectorioTemporal dir;
  prueba::InteraccionFalsa ui;
  prueba::RelojFijo reloj{{{2001, 7, 1}, {10, 30, 0, 0}}};
  prueba::ProcesosFalsos procesos;
};

TEST_F(SesionEstacion, LosProgramasDeLaEstacionSeLeenUnaVez) {
  ASSERT_TRUE(base::creaDirectorios("c:\\TVK"));
  ASSERT_TRUE(base::escribeLineas("c:\\TVK\\mostrador.ini", {"CALC.EXE=/usr/bin/calculadora {args}"}));
  session::Sesion s(ui, reloj, procesos, "c:\\TVK\\talvek.ini");
  // Rewriting the file afterwards changes nothing for this session.
  ASSERT_TRUE(base::escribeLineas("c:\\TVK\\mostrador.ini", {"CALC.EXE=/usr/bin/otra {args}"}));

  const base::ResultadoPrograma r = s.ejecuta("calc.exe", "1+1");
  EXPECT_TRUE(r.iniciado);
  ASSERT_EQ(procesos.llamadas.size(), 1u);
  EXPECT_EQ(procesos.llamadas[0].programa, "/usr/bin/calculadora");
  EXPECT_EQ(procesos.llamadas[0].argumentos, (Palabras{"1+1"}));
  EXPECT_EQ(s.archivoInicio(), "c:\\TVK\\talvek.ini");
  EXPECT_TRUE(ui.mensajes().empty());
}

TEST_F(SesionEstacion, UnProgramaQueNoArrancaSeDiceUnaVez) {
  base::TablaProgramas programas{[](std::string_view) { return false; }, "/opt/mostrador/bin/mostrador"};
  programas.asigna("Bascula.exe", {"/no/existe/bascula"});
  procesos.respuesta = {false, -1, "No se pudo ejecutar /no/existe/bascula"};
  session::Sesion s(ui, reloj, procesos, programas);

  const base::ResultadoPrograma r = s.ejecuta("Bascula.exe");
  EXPECT_FALSE(r.iniciado);
  ASSERT_FALSE(r.mensaje.empty());
  EXPECT_EQ(ui.mensajes(), Palabras{r.mensaje});
  // A table changed after the session was made is the one it uses.
  programas.asigna("Bascula.exe", {"/usr/bin/bascula"});
  procesos.respuesta = {true, 0, ""};
  EXPECT_TRUE(s.ejecuta("Bascula.exe").iniciado);
  EXPECT_EQ(procesos.llamadas.back().programa, "/usr/bin/bascula");
}

TEST_F(SesionEstacion, ElNombreDelUsuarioSaleDelArchivoDeUsuariosDelSistema) {
  const base::TablaProgramas programas;
  session::Sesion s(ui, reloj, procesos, programas);
  ASSERT_TRUE(base::creaDirectorios("C:\\TVK"));
  ASSERT_TRUE(session::escribeUsuarios("C:\\TVK", {{0, "Administrador", "a", ""}, {1, "Cajero", "c", ""},
                                                  {2, "Martha Ruiz", "m", ""}}));
  // No system directory yet: nobody is known.
  EXPECT_EQ(s.nombreUsuario("2"), "");
  s.ponDirectorios("C:\\TVK", "C:\\Datos");
  s.ponUsuario("1");
  EXPECT_EQ(s.usuario(), "1");
  EXPECT_EQ(s.directorioDatos(), "C:\\Datos");
  EXPECT_EQ(s.nombreUsuario("2"), "Martha Ruiz");
  EXPECT_EQ(s.nombreUsuario("0"), "Administrador");
  EXPECT_EQ(s.nombreUsuario(" 1"), "Cajero");  // strtol's reading: leading blanks pass
  EXPECT_EQ(s.nombreUsuario("+1"), "Cajero");
  EXPECT_EQ(s.nombreUsuario("1 "), "");
  EXPECT_EQ(s.nombreUsuario("2a"), "");
  EXPECT_EQ(s.nombreUsuario(""), "");
  EXPECT_EQ(s.nombreUsuario("7"), "");
  EXPECT_EQ(s.nombreUsuario("-1"), "");
}

}  // namespace
