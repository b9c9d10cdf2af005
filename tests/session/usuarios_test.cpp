#include <gtest/gtest.h>

#include <set>

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

namespace {

std::string bytes(std::initializer_list<int> b) {
  std::string r;
  for (int c : b) r.push_back(static_cast<char>(c));
  return r;
}

int posicion(char c) {
  auto a = alfabetoRevuelto();
  return static_cast<int>(a.find(c)) + 1;
}

}  // namespace

TEST(Revoltura, AlphabetHoldsTheEightySixCharactersOnce) {
  const std::string_view a = alfabetoRevuelto();
  ASSERT_EQ(a.size(), 86u);
  EXPECT_EQ(std::set<char>(a.begin(), a.end()).size(), 86u);
  for (char c = 'a'; c <= 'z'; ++c) EXPECT_NE(a.find(c), std::string_view::npos) << c;
  for (char c = 'A'; c <= 'Z'; ++c) EXPECT_NE(a.find(c), std::string_view::npos) << c;
  for (char c = '0'; c <= '9'; ++c) EXPECT_NE(a.find(c), std::string_view::npos) << c;
  EXPECT_NE(a.find('\xD1'), std::string_view::npos);  // Ñ
  EXPECT_NE(a.find('\xF1'), std::string_view::npos);  // ñ
  EXPECT_NE(a.find(' '), std::string_view::npos);
  EXPECT_EQ(a.find('&'), std::string_view::npos);
}

TEST(Revoltura, AlphabetCharactersAreStoredAsPositionPlusThirty) {
  // The first two characters of the alphabet are "s" and "k".
  EXPECT_EQ(revuelve("sk"), bytes({31, 32}));
  EXPECT_EQ(revuelve(std::string(1, alfabetoRevuelto()[85])), bytes({116}));
  EXPECT_EQ(revuelve("ñ"), bytes({posicion('\xF1') + 30}));
  EXPECT_EQ(desrevuelve(bytes({31, 32, 116})), std::string("sk") + alfabetoRevuelto()[85]);
  const std::string texto = "Peña Ñandú 2024, S.A. (Sucursal #3)!";
  EXPECT_EQ(desrevuelve(revuelve(texto)), texto);
}

TEST(Revoltura, CharactersOutsideTheAlphabetMoveByNineteen) {
  // "&" (38) lands on 57, inside the alphabet's range: it comes back as position 27.
  EXPECT_EQ(revuelve("&"), bytes({57}));
  EXPECT_EQ(desrevuelve(revuelve("&")), std::string(1, alfabetoRevuelto()[26]));
  // "_" (95) lands on 114, position 84.
  EXPECT_EQ(desrevuelve(revuelve("_")), std::string(1, alfabetoRevuelto()[83]));
  // Codes of 98 and more outside the alphabet come back unchanged.
  EXPECT_EQ(revuelve("{"), bytes({142}));
  EXPECT_EQ(desrevuelve(revuelve("{é~")), "{é~");
  // Past 236 the byte wraps below 31, which reads back by the same shift.
  EXPECT_EQ(revuelve("ó"), bytes({(0xF3 + 19) % 256}));
  EXPECT_EQ(desrevuelve(revuelve("ó")), "ó");
}

TEST(RegistroUsuario, LayoutOfTheHundredFortyBytes) {
  const Usuario u{3, "sk", "ks", "sns"};
  const std::string r = codificaUsuario(u);
  ASSERT_EQ(r.size(), 140u);
  EXPECT_EQ(r.substr(0, 4), bytes({3, 0, 0, 0}));
  EXPECT_EQ(r.substr(4, 3), bytes({0, 0, 0}));
  EXPECT_EQ(r.substr(7, 3), bytes({2, 31, 32}));
  EXPECT_EQ(r.substr(10, 58), std::string(58, '\0'));
  EXPECT_EQ(r.substr(68, 3), bytes({2, 32, 31}));
  EXPECT_EQ(r.substr(79, 4), "\x03sns");
  EXPECT_EQ(r.substr(83), std::string(57, '\0'));
  EXPECT_EQ(decodificaUsuario(r), u);
}

TEST(RegistroUsuario, LongNamesKeysAndRightsAreCutToTheirCapacity) {
  const Usuario u{0, std::string(70, 'n'), "clave123456789", std::string(65, 's')};
  const Usuario leido = decodificaUsuario(codificaUsuario(u));
  EXPECT_EQ(leido.nombre, std::string(60, 'n'));
  EXPECT_EQ(leido.clave, "clave12345");
  EXPECT_EQ(leido.derechos, std::string(60, 's'));
  // "ñ" counts one byte.
  EXPECT_EQ(decodificaUsuario(codificaUsuario({0, "", "ñññññññññññ", ""})).clave,
            "ññññññññññ");
}

TEST(Usuarios, NameByNumber) {
  DirectorioTemporal t;
  InstalacionPrueba i;
  i.usuariosTipicos();
  InteraccionFalsa ui;
  EXPECT_EQ(nombreUsuario(ui, i.sistema, "1"), "Cajero");
  EXPECT_EQ(nombreUsuario(ui, i.sistema, "0"), "Administrador");
  EXPECT_EQ(nombreUsuario(ui, i.sistema, "7"), "No Registrado");
  EXPECT_EQ(nombreUsuario(ui, i.sistema, "x"), "No Registrado");
  EXPECT_TRUE(ui.mensajes().empty());
  EXPECT_EQ(nombreUsuario(ui, "C:\\Otro", "1"), "");
  EXPECT_EQ(ui.mensajes(), std::vector<std::string>{"El Archivo de Usuarios No Existe "});
}

TEST(Usuarios, KeyLookupIsExactAndTheFirstMatchWins) {
  DirectorioTemporal t;
  InstalacionPrueba i;
  i.usuarios({administradorInicial("Admin", "Jefe"), {1, "Ana", "caja", "s"},
              {2, "Beto", "caja", "s"}});
  InteraccionFalsa ui;
  EXPECT_EQ(usuarioPorClave(ui, i.sistema, i.datos(), "caja"), 1);
  EXPECT_EQ(usuarioPorClave(ui, i.sistema, i.datos(), "Jefe"), 0);
  EXPECT_EQ(usuarioPorClave(ui, i.sistema, i.datos(), "jefe"), -1);
  EXPECT_EQ(usuarioPorClave(ui, i.sistema, i.datos(), "CAJA"), -1);
  EXPECT_TRUE(esClaveAdministrador(ui, i.sistema, "Jefe"));
  EXPECT_FALSE(esClaveAdministrador(ui, i.sistema, "JEFE"));
  EXPECT_FALSE(esClaveAdministrador(ui, i.sistema, "caja"));
  EXPECT_TRUE(ui.mensajes().empty());
}

TEST(Usuarios, TheCompanyCopyReplacesTheStationsFileAtEveryKeyLookup) {
  DirectorioTemporal t;
  InstalacionPrueba i;
  i.usuariosTipicos();
  base::creaDirectorios(i.datos());
  escribeUsuarios(i.datos(), {administradorInicial("Dueño", "otra"), {1, "Vendedora", "vende", ""}});
  InteraccionFalsa ui;
  // Reading names does not bring the copy in.
  EXPECT_EQ(nombreUsuario(ui, i.sistema, "1"), "Cajero");
  EXPECT_EQ(usuarioPorClave(ui, i.sistema, i.datos(), "caja"), -1);
  EXPECT_EQ(usuarioPorClave(ui, i.sistema, i.datos(), "vende"), 1);
  EXPECT_EQ(*base::leeBytes(archivoUsuarios(i.sistema)), *base::leeBytes(archivoUsuarios(i.datos())));
  EXPECT_EQ(nombreUsuario(ui, i.sistema, "0"), "Dueño");
}

TEST(Usuarios, MissingFileRefusesEveryLookup) {
  DirectorioTemporal t;
  InteraccionFalsa ui;
  EXPECT_EQ(usuarioPorClave(ui, "C:\\Nada", "C:\\NadaDatos", "admin"), -1);
  EXPECT_FALSE(esClaveAdministrador(ui, "C:\\Nada", "admin"));
  EXPECT_EQ(ui.mensajes(), (std::vector<std::string>{"El Archivo de Usuarios No Existe ",
                                                     "El Archivo de Usuarios No Existe "}));
}

// --- Users page ---

TEST(PaginaUsuarios, ShowingLoadsTheAdministratorAndRightsByPosition) {
  DirectorioTemporal t;
  InstalacionPrueba i;
  // Rights shorter than 55 letters and with an upper-case letter: only exact "s" ticks.
  i.usuarios({{0, "Admin", "admin", "snS"}, {1, "Ana", "ana", derechosCon({2, 55})}});
  InteraccionFalsa ui;
  PaginaUsuarios p(ui, i.sistema);
  p.muestra();
  EXPECT_EQ(p.nume(), 0);
  EXPECT_EQ(p.limiteNume(), 1);
  EXPECT_EQ(p.nombre, "Admin");
  EXPECT_EQ(p.clave, "admin");
  EXPECT_EQ(p.cadenaDerechos(), "s" + std::string(54, 'n'));
  p.NumeChange(1);
  EXPECT_EQ(p.nombre, "Ana");
  EXPECT_EQ(p.cadenaDerechos(), derechosCon({2, 55}));
  p.NumeChange(-4);
  EXPECT_EQ(p.nume(), 0);
  EXPECT_EQ(p.nombre, "Admin");
  EXPECT_TRUE(ui.mensajes().empty());
}

TEST(PaginaUsuarios, NewAppendsWithTheNextNumberAndChangeRewritesInPlace) {
  DirectorioTemporal t;
  InstalacionPrueba i;
  i.usuariosTipicos();
  InteraccionFalsa ui;
  PaginaUsuarios p(ui, i.sistema);
  p.muestra();
  EXPECT_FALSE(p.guardaHabilitado());
  p.BotonNuevoClick();
  EXPECT_EQ(p.modo(), PaginaUsuarios::Modo::Nuevo);
  EXPECT_EQ(p.nombre, "");
  EXPECT_EQ(p.clave, "");
  EXPECT_FALSE(p.nuevoHabilitado());
  EXPECT_FALSE(p.cambiosHabilitado());
  EXPECT_TRUE(p.guardaHabilitado());
  p.nombre = "Carmen";
  p.clave = "carmen";
  p.derechos.assign(kDerechosPagina, false);
  p.derechos[3] = true;
  EXPECT_TRUE(p.BotonGuardaClick());
  EXPECT_EQ(p.modo(), PaginaUsuarios::Modo::Consulta);
  EXPECT_TRUE(p.nuevoHabilitado());
  EXPECT_EQ(p.limiteNume(), 3);
  auto u = leeUsuario(i.sistema, 3);
  ASSERT_TRUE(u);
  EXPECT_EQ(*u, (Usuario{3, "Carmen", "carmen", derechosCon({4})}));
  EXPECT_EQ(usuarioPorClave(ui, i.sistema, i.datos(), "carmen"), 3);

  p.NumeChange(1);
  p.BotonCambiosClick();
  EXPECT_EQ(p.modo(), PaginaUsuarios::Modo::Cambio);
  p.nombre = std::string(64, 'x');
  p.clave = "nuevaclave99";
  EXPECT_TRUE(p.BotonGuardaClick());
  EXPECT_EQ(cuentaUsuarios(i.sistema), 4);
  EXPECT_EQ(leeUsuario(i.sistema, 1)->numero, 1);
  EXPECT_EQ(leeUsuario(i.sistema, 1)->nombre, std::string(60, 'x'));
  EXPECT_EQ(leeUsuario(i.sistema, 1)->clave, "nuevaclave");
  EXPECT_EQ(leeUsuario(i.sistema, 1)->derechos, derechosCon({4, 20, 44, 53}));
}

TEST(PaginaUsuarios, AKeyAlreadyInUseOrEmptyIsRefusedAndNewStartsWithoutRights) {
  DirectorioTemporal t;
  InstalacionPrueba i;
  i.usuariosTipicos();
  InteraccionFalsa ui;
  PaginaUsuarios p(ui, i.sistema);
  p.muestra();
  EXPECT_FALSE(p.edicionHabilitada());
  EXPECT_FALSE(p.BotonGuardaClick());  // browsing: nothing to save
  EXPECT_EQ(p.cadenaDerechos(), std::string(kDerechosPagina, 's'));  // the administrator's

  p.BotonNuevoClick();
  EXPECT_TRUE(p.edicionHabilitada());
  EXPECT_EQ(p.cadenaDerechos(), std::string(kDerechosPagina, 'n'));
  p.nombre = "Carmen";
  p.clave = "caja";  // the cashier's key
  EXPECT_FALSE(p.BotonGuardaClick());
  p.clave = "";
  EXPECT_FALSE(p.BotonGuardaClick());
  p.clave = "caja1234567";  // cut to ten it is still "caja123456", nobody's
  EXPECT_EQ(ui.mensajes(), (std::vector<std::string>{"Esa clave ya la tiene otro usuario; escriba una diferente",
                                                     "Escriba la clave del usuario"}));
  EXPECT_EQ(p.modo(), PaginaUsuarios::Modo::Nuevo);
  EXPECT_EQ(cuentaUsuarios(i.sistema), 3);
  EXPECT_TRUE(p.BotonGuardaClick());
  EXPECT_EQ(cuentaUsuarios(i.sistema), 4);
  EXPECT_EQ(usuarioPorClave(ui, i.sistema, i.datos(), "caja123456"), 3);

  // Changing a user may keep its own key, not take another's.
  p.NumeChange(1);
  p.BotonCambiosClick();
  p.nombre = "Cajero Uno";
  EXPECT_TRUE(p.BotonGuardaClick());
  EXPECT_EQ(leeUsuario(i.sistema, 1)->nombre, "Cajero Uno");
  p.BotonCambiosClick();
  p.clave = "admin";
  EXPECT_FALSE(p.BotonGuardaClick());
  EXPECT_EQ(leeUsuario(i.sistema, 1)->clave, "caja");
}

TEST(PaginaUsuarios, RemovingUserTwoOfFiveRenumbersTheRest) {
  DirectorioTemporal t;
  InstalacionPrueba i;
  i.usuarios({administradorInicial("Admin", "a0"), {1, "Uno", "k1", "snsn"},
              {2, "Dos", "k2", "nnnn"}, {3, "Tres", "k3", "ssss"}, {4, "Cuatro", "k4", "nsns"}});
  InteraccionFalsa ui;
  PaginaUsuarios p(ui, i.sistema);
  p.muestra();
  p.NumeChange(2);
  p.BotonEliminaClick();
  EXPECT_TRUE(ui.mensajes().empty());
  auto us = leeUsuarios(i.sistema);
  ASSERT_TRUE(us);
  EXPECT_EQ(*us, (std::vector<Usuario>{administradorInicial("Admin", "a0"),
                                       {1, "Uno", "k1", "snsn"},
                                       {2, "Tres", "k3", "ssss"},
                                       {3, "Cuatro", "k4", "nsns"}}));
  EXPECT_EQ(base::leeBytes(archivoUsuarios(i.sistema))->size(), 4 * 140u);
  // The working copy stays behind holding the same records.
  EXPECT_EQ(*base::leeBytes(base::une(i.sistema, "usuatemp.def")), *base::leeBytes(archivoUsuarios(i.sistema)));
  // The page now shows the user that moved into position 2.
  EXPECT_EQ(p.nombre, "Tres");
  EXPECT_EQ(p.limiteNume(), 3);
}

TEST(PaginaUsuarios, TheAdministratorCannotBeRemoved) {
  DirectorioTemporal t;
  InstalacionPrueba i;
  i.usuarios({administradorInicial("Admin", "admin")});
  InteraccionFalsa ui;
  PaginaUsuarios p(ui, i.sistema);
  p.muestra();
  EXPECT_EQ(p.limiteNume(), 0);
  const std::string antes = *base::leeBytes(archivoUsuarios(i.sistema));
  p.BotonEliminaClick();
  EXPECT_EQ(ui.mensajes(), std::vector<std::string>{"El Usuario 0 no puede ser dado de baja"});
  EXPECT_EQ(*base::leeBytes(archivoUsuarios(i.sistema)), antes);
  EXPECT_FALSE(base::existe(base::une(i.sistema, "usuatemp.def")));
}

TEST(PaginaUsuarios, CopyToTheCompanyOverwritesItsUsersFile) {
  DirectorioTemporal t;
  InstalacionPrueba i;
  i.usuariosTipicos();
  base::creaDirectorios(i.datos());
  escribeUsuarios(i.datos(), {administradorInicial("Viejo", "x")});
  InteraccionFalsa ui;
  PaginaUsuarios p(ui, i.sistema);
  ASSERT_TRUE(p.BitBtn1Click(i.datos()));
  EXPECT_EQ(*base::leeBytes(archivoUsuarios(i.datos())), *base::leeBytes(archivoUsuarios(i.sistema)));
}
