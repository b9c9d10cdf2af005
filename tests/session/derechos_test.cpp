#include <gtest/gtest.h>

#include "session/derechos.h"
#include "session/usuarios.h"
#include "support/entorno.h"
#include "support/interaccion_fake.h"
#include "support/usuarios_instalacion.h"

using namespace mostrador;
using namespace mostrador::session;
using mostrador::prueba::derechosCon;
using mostrador::prueba::DirectorioTemporal;
using mostrador::prueba::InstalacionPrueba;
using mostrador::prueba::InteraccionFalsa;

using Msgs = std::vector<std::string>;

namespace {

// Admin, a user whose third letter is an upper-case "S", a user with rights 1 and 55.
struct Derechos : ::testing::Test {
  DirectorioTemporal t;
  InstalacionPrueba i;
  InteraccionFalsa ui;
  Derechos() {
    i.usuarios({administradorInicial("Admin", "admin"),
                {1, "Mayus", "m", "nnS" + std::string(52, 'n')},
                {2, "Corto", "c", derechosCon({1, 55})}});
  }
};

base::RespuestaAdministrador respuesta(base::RespuestaAdministrador::Resultado r, std::string clave) {
  base::RespuestaAdministrador a;
  a.resultado = r;
  a.clave = std::move(clave);
  return a;
}

}  // namespace

TEST_F(Derechos, UpperCaseLetterGrantsTheCheckButNotTheRightLetter) {
  EXPECT_TRUE(checaDerecho(ui, i.sistema, "1", 3));
  EXPECT_EQ(letraDerecho(ui, i.sistema, "1", 3), "n");
  EXPECT_EQ(letraDerecho(ui, i.sistema, "2", 55), "s");
  EXPECT_TRUE(ui.mensajes().empty());
}

TEST_F(Derechos, RefusalShowsItsMessageOnlyInTheLoudCheck) {
  EXPECT_FALSE(checaDerecho(ui, i.sistema, "1", 4));
  EXPECT_FALSE(checaDerechoSilencioso(ui, i.sistema, "1", 4));
  EXPECT_TRUE(checaDerechoSilencioso(ui, i.sistema, "2", 1));
  EXPECT_EQ(ui.mensajes(), Msgs{"No Se Tiene Acceso..."});
}

TEST_F(Derechos, RightBeyondTheStoredLettersIsRefused) {
  EXPECT_TRUE(checaDerecho(ui, i.sistema, "0", 55));
  EXPECT_FALSE(checaDerecho(ui, i.sistema, "0", 56));
  EXPECT_FALSE(checaDerecho(ui, i.sistema, "0", 0));
  EXPECT_EQ(letraDerecho(ui, i.sistema, "0", 56), "n");
  EXPECT_EQ(ui.mensajes(), (Msgs{"No Se Tiene Acceso...", "No Se Tiene Acceso..."}));
}

TEST_F(Derechos, UserNumbersOutsideTheFile) {
  // Three records: 3 is the count itself, 4 lies past it.
  EXPECT_FALSE(checaDerecho(ui, i.sistema, "3", 1));
  EXPECT_EQ(ui.mensajes(), Msgs{"Usuario no Válido"});
  ui.olvidaLlamadas();
  EXPECT_FALSE(checaDerecho(ui, i.sistema, "4", 1));
  EXPECT_TRUE(ui.mensajes().empty());
  EXPECT_FALSE(checaDerecho(ui, i.sistema, "-1", 1));
  EXPECT_FALSE(checaDerechoSilencioso(ui, i.sistema, "", 1));
  EXPECT_FALSE(checaDerechoSilencioso(ui, i.sistema, "dos", 1));
  EXPECT_EQ(ui.mensajes(), (Msgs{"Usuario no Válido", "Usuario no Válido", "Usuario no Válido"}));
  ui.olvidaLlamadas();
  EXPECT_EQ(letraDerecho(ui, i.sistema, "9", 1), "n");
  EXPECT_EQ(letraDerecho(ui, i.sistema, "3", 1), "n");
  EXPECT_TRUE(ui.mensajes().empty());
}

TEST_F(Derechos, ChecksSeeASavedChangeAtOnce) {
  EXPECT_FALSE(checaDerechoSilencioso(ui, i.sistema, "2", 8));
  Usuario u = *leeUsuario(i.sistema, 2);
  u.derechos[7] = 's';
  escribeUsuario(i.sistema, 2, u);
  EXPECT_TRUE(checaDerechoSilencioso(ui, i.sistema, "2", 8));
}

TEST(DerechosSinArchivo, EveryFormRefusesAndSaysTheFileIsMissing) {
  DirectorioTemporal t;
  InteraccionFalsa ui;
  EXPECT_FALSE(checaDerecho(ui, "C:\\Vacio", "0", 1));
  EXPECT_FALSE(checaDerechoSilencioso(ui, "C:\\Vacio", "0", 1));
  EXPECT_EQ(letraDerecho(ui, "C:\\Vacio", "0", 1), "n");
  EXPECT_EQ(ui.mensajes(), Msgs(3, "El Archivo de Usuarios No Existe "));
}

// --- The administrator key dialog's two uses ---

TEST_F(Derechos, AdministratorConfirmationPassesOnlyTheAdministratorsKey) {
  ui.respondeAdministrador(respuesta(base::RespuestaAdministrador::Administrador, "admin"))
      .respondeAdministrador(respuesta(base::RespuestaAdministrador::OtraClave, "c"))
      .respondeAdministrador(respuesta(base::RespuestaAdministrador::Cancelada, ""));
  EXPECT_TRUE(confirmacionAdministrador(ui));
  EXPECT_FALSE(confirmacionAdministrador(ui));
  EXPECT_FALSE(confirmacionAdministrador(ui));
  EXPECT_TRUE(ui.mensajes().empty());
}

TEST_F(Derechos, KeyHolderAuthorisationAsksTheOwnerOfTheTypedKey) {
  ui.respondeAdministrador(respuesta(base::RespuestaAdministrador::OtraClave, "c"))
      .respondeAdministrador(respuesta(base::RespuestaAdministrador::OtraClave, "m"))
      .respondeAdministrador(respuesta(base::RespuestaAdministrador::OtraClave, "nadie"));
  Autorizacion a = autorizaPortador(ui, i.sistema, i.datos(), 55, false);
  EXPECT_TRUE(a.concedida);
  EXPECT_EQ(a.dueno, 2);
  a = autorizaPortador(ui, i.sistema, i.datos(), 55, false);
  EXPECT_FALSE(a.concedida);
  EXPECT_EQ(a.dueno, 1);
  a = autorizaPortador(ui, i.sistema, i.datos(), 55, false);
  EXPECT_FALSE(a.concedida);
  EXPECT_EQ(a.dueno, -1);
  // The refusals are silent: the caller says what it must.
  EXPECT_TRUE(ui.mensajes().empty());
}

TEST_F(Derechos, TheAdministratorsKeyPassesAtOnceOnlyWhereTheCallerSaysSo) {
  Usuario admin = *leeUsuario(i.sistema, 0);
  admin.derechos = derechosCon({1});
  escribeUsuario(i.sistema, 0, admin);
  ui.respondeAdministrador(respuesta(base::RespuestaAdministrador::Administrador, "admin"))
      .respondeAdministrador(respuesta(base::RespuestaAdministrador::Administrador, "admin"));
  EXPECT_TRUE(autorizaPortador(ui, i.sistema, i.datos(), 53, true).concedida);
  const Autorizacion a = autorizaPortador(ui, i.sistema, i.datos(), 53, false);
  EXPECT_FALSE(a.concedida);
  EXPECT_EQ(a.dueno, 0);
}

TEST_F(Derechos, CancellingRefusesWithoutLookingTheKeyUp) {
  base::creaDirectorios(i.datos());
  escribeUsuarios(i.datos(), {administradorInicial("Otro", "otro")});
  const std::string antes = *base::leeBytes(archivoUsuarios(i.sistema));
  ui.respondeAdministrador(respuesta(base::RespuestaAdministrador::Cancelada, "c"));
  const Autorizacion a = autorizaPortador(ui, i.sistema, i.datos(), 1, false);
  EXPECT_FALSE(a.concedida);
  EXPECT_EQ(a.dueno, -1);
  // The company copy was not brought in: no lookup happened.
  EXPECT_EQ(*base::leeBytes(archivoUsuarios(i.sistema)), antes);
}
