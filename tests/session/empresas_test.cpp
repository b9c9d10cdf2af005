#include <gtest/gtest.h>

#include "session/empresas.h"
#include "session/inicio.h"
#include "support/entorno.h"
#include "support/interaccion_fake.h"
#include "support/usuarios_instalacion.h"

using namespace mostrador;
using namespace mostrador::session;
using mostrador::prueba::DirectorioTemporal;
using mostrador::prueba::InstalacionPrueba;
using mostrador::prueba::InteraccionFalsa;

using Msgs = std::vector<std::string>;

namespace {

std::string inicio() { return base::leeBytes(base::kArchivoInicio).value_or("<sin archivo>"); }

std::string inicioPara(const std::string& dir, int empresa) {
  return dir + "\r\n" + dir + "\\Gener" + std::to_string(empresa) + ".cnf\r\n\r\n";
}

// Companies 1 and 2 in the system directory (which is also the start directory), the
// typical users, company 1's access key "llave".
struct Empresas_ : ::testing::Test {
  DirectorioTemporal t;
  InstalacionPrueba i;
  InteraccionFalsa ui;
  Empresas_() {
    i.usuariosTipicos();
    i.empresa(1, "Abarrotes Uno", {{11, "llave"}});
    i.empresa(2, "Ferretería Dos");
  }
};

}  // namespace

TEST_F(Empresas_, ReadingALineRewritesTheInitialisationFile) {
  LectorEmpresa l(i.sistema);
  EXPECT_EQ(l.archivo(2), "C:\\TVK\\Sistema\\Gener2.cnf");
  EXPECT_EQ(l.linea(ui, 2, 9), "Ferretería Dos");
  EXPECT_EQ(inicio(), inicioPara(i.sistema, 2));
  EXPECT_EQ(l.linea(ui, 1, 200), "");
  EXPECT_EQ(inicio(), inicioPara(i.sistema, 1));
  EXPECT_TRUE(ui.mensajes().empty());
}

TEST_F(Empresas_, AMissingCompanyFileLeavesTheInitialisationFileAlone) {
  LectorEmpresa l(i.sistema);
  l.linea(ui, 2, 8);
  EXPECT_EQ(l.linea(ui, 5, 8), std::nullopt);
  EXPECT_EQ(ui.mensajes(), Msgs{"La Empresa No Existe  C:\\TVK\\Sistema\\Gener5.cnf"});
  EXPECT_EQ(inicio(), inicioPara(i.sistema, 2));
}

TEST_F(Empresas_, CreatingTheScreenMakesThePreselectedCompanyCurrent) {
  Empresas e(ui, i.sistema, i.sistema, 2);
  EXPECT_EQ(e.Rutainicio(), i.datos(2));
  EXPECT_EQ(inicio(), inicioPara(i.sistema, 2));
  EXPECT_FALSE(e.mostrada());
  e.FormActivate();
  EXPECT_TRUE(e.mostrada());
  EXPECT_EQ(e.NombreEmpresa(), "Ferretería Dos");
}

TEST_F(Empresas_, ChangingToACompanyWithoutAFile) {
  Empresas e(ui, i.sistema, i.sistema, 1);
  e.FormActivate();
  e.EmpresaChange(9);
  EXPECT_EQ(ui.mensajes(), Msgs{"La Empresa No Existe"});
  EXPECT_EQ(e.Rutainicio(), "");
  EXPECT_EQ(e.NombreEmpresa(), "Abarrotes Uno");
  EXPECT_EQ(inicio(), inicioPara(i.sistema, 1));
}

TEST_F(Empresas_, ChangingCompanyAndLeavingWithoutAKeyKeepsTheNewCompany) {
  Empresas e(ui, i.sistema, i.sistema, 1);
  e.FormActivate();
  e.EmpresaChange(2);
  EXPECT_EQ(e.Rutainicio(), i.datos(2));
  EXPECT_EQ(e.NombreEmpresa(), "Ferretería Dos");
  EXPECT_EQ(inicio(), inicioPara(i.sistema, 2));
  EXPECT_TRUE(ui.mensajes().empty());
}

TEST_F(Empresas_, AUserKeySignsInWithTheUsersNumber) {
  Empresas e(ui, i.sistema, i.sistema, 1);
  const Ingreso r = e.ClaveEnter("caja");
  EXPECT_EQ(r.tipo, Ingreso::Usuario);
  EXPECT_EQ(r.usuario, 1);
  EXPECT_EQ(r.titulo, "Mostrador    V 4.6.1   Abarrotes Uno");
  EXPECT_EQ(e.Usuario(), "1");
  EXPECT_TRUE(ui.mensajes().empty());
}

TEST_F(Empresas_, TheCompanyAccessKeySignsInWithoutAUser) {
  Empresas e(ui, i.sistema, i.sistema, 1);
  e.ponUsuario("2");
  const Ingreso r = e.AceptarClick("llave");
  EXPECT_EQ(r.tipo, Ingreso::ClaveEmpresa);
  EXPECT_EQ(r.titulo, "Mostrador     V 4.6.1   Abarrotes Uno");
  EXPECT_EQ(e.Usuario(), "2");
}

TEST_F(Empresas_, WrongKeysAndTheEmptyKey) {
  Empresas e(ui, i.sistema, i.sistema, 1);
  EXPECT_EQ(e.ClaveEnter("").tipo, Ingreso::Nada);
  EXPECT_TRUE(ui.mensajes().empty());
  EXPECT_EQ(e.ClaveEnter("CAJA").tipo, Ingreso::Incorrecta);
  EXPECT_EQ(e.AceptarClick("LLAVE").tipo, Ingreso::Incorrecta);
  // Company 2 has no access key: an empty key opens nothing.
  e.EmpresaChange(2);
  EXPECT_EQ(e.AceptarClick("").tipo, Ingreso::Incorrecta);
  EXPECT_EQ(ui.mensajes(), Msgs(3, "Clave Incorrecta"));
}

TEST_F(Empresas_, TheCompanysOwnUsersAreBroughtInAtSignIn) {
  escribeUsuarios(i.datos(1), {administradorInicial("Dueño", "propia")});
  Empresas e(ui, i.sistema, i.sistema, 1);
  EXPECT_EQ(e.AceptarClick("propia").usuario, 0);
  EXPECT_EQ(*base::leeBytes(archivoUsuarios(i.sistema)), *base::leeBytes(archivoUsuarios(i.datos(1))));
}

TEST_F(Empresas_, FileCheckReportsMissingScratchTablesAtOnceAndCompanyFilesTogether) {
  for (const char* n : {"Deta.db", "DetaComp.db"}) base::escribeBytes(base::une(i.sistema, n), "x");
  for (std::string_view tabla : tablasRevisadas()) {
    if (tabla == "Poventas") continue;
    base::escribeBytes(base::une(i.datos(1), std::string(tabla) + ".dbf"), "x");
    if (tabla != "Vendedor") base::escribeBytes(base::une(i.datos(1), std::string(tabla) + ".mdx"), "x");
  }
  Empresas e(ui, i.sistema, i.sistema, 1);
  e.revisaArchivos();
  EXPECT_EQ(ui.mensajes(),
            (Msgs{"El Archivo Detaminv No Existe Revise su Configuración",
                  "El Archivo Poventas.dbf No Existe Revise su Configuración\r"
                  "El Archivo Vendedor.mdx No Existe Revise su Configuración\r",
                  "Uno o Más Archivos no se Encuentran Revise su Carpeta o Directorio de Trabajo"}));
}

TEST_F(Empresas_, FileCheckIsSilentWhenEverythingIsThere) {
  for (const char* n : {"Deta.db", "DetaComp.db", "Detaminv.db"})
    base::escribeBytes(base::une(i.sistema, n), "x");
  for (std::string_view tabla : tablasRevisadas()) {
    base::escribeBytes(base::une(i.datos(1), std::string(tabla) + ".dbf"), "x");
    base::escribeBytes(base::une(i.datos(1), std::string(tabla) + ".mdx"), "x");
  }
  Empresas e(ui, i.sistema, i.sistema, 1);
  e.revisaArchivos();
  EXPECT_TRUE(ui.mensajes().empty());
}

TEST(ListasRevisadas, TwentyFourTablesAndTwentyThreeIndexes) {
  EXPECT_EQ(tablasRevisadas().size(), 24u);
  EXPECT_EQ(indicesRevisados().size(), 23u);
  EXPECT_EQ(tablasRevisadas().front(), "Cliente");
  EXPECT_EQ(tablasRevisadas().back(), "Vendedor");
  EXPECT_EQ(std::find(indicesRevisados().begin(), indicesRevisados().end(), "Poventas"),
            indicesRevisados().end());
}
