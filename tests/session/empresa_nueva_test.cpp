// A new company and station on real files: every table opens under every tag, the
// start files hold exactly what a new installation needs.


#include "session/empresa_nueva.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "base/confcamp.h"
#include "base/describe.h"
#include "base/moneda.h"
#include "base/rutas.h"
#include "base/texto.h"
#include "session/usuarios.h"
#include "store/catalogo.h"
#include "store/dbf/dbf_table.h"
#include "support/entorno.h"

namespace mostrador::store {
namespace {

std::string minusculas(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

class EmpresaNueva : public ::testing::Test {
 protected:
  void SetUp() override {
    o.numero = 3;
    o.nombre = "Ferretería Doña Chuy";
    o.dirDatos = dir.str() + "/datos";
    o.dirSistema = dir.str() + "/tvk";
    o.claveEmpresa = "acceso";
    o.claveAdministrador = "1234";
    session::creaEmpresa(o);
  }
  prueba::DirectorioTemporal dir;
  session::OpcionesEmpresa o;
};

void revisaTablas(std::string_view directorio, const std::vector<DefTabla>& tablas) {
  for (const auto& def : tablas) {
    SCOPED_TRACE(def.archivo);
    dbf::Table t;
    ASSERT_NO_THROW(t.open(directorio, def.archivo));
    EXPECT_EQ(t.fieldDefs(), def.campos);
    EXPECT_EQ(t.indexProblem(), "");
    std::set<std::string> esperadas, halladas;
    for (const auto& tag : def.indices) esperadas.insert(minusculas(tag.name));
    for (const auto& tag : t.tags()) halladas.insert(minusculas(tag.name));
    EXPECT_EQ(halladas, esperadas);
    for (const auto& tag : def.indices) {
      EXPECT_NO_THROW(t.setIndex(minusculas(tag.name))) << tag.name;
      EXPECT_NO_THROW(t.setIndex(tag.name)) << tag.name;
      t.first();
    }
    t.close();
  }
}

TEST_F(EmpresaNueva, CadaTablaAbreConCadaEtiqueta) {
  revisaTablas(o.dirDatos, tablasEmpresa());
  revisaTablas(o.dirSistema, tablasSistema());
}

TEST_F(EmpresaNueva, ArchivosQueBuscaElInicioDeSesion) {
  for (const char* n : {"Cliente", "Comovinv", "Comprasd", "Comprase", "Concepto", "Cotizacd",
                        "Cotizaci", "Credito", "CreditoD", "Cucobrar", "Cupagar", "Devoluc",
                        "DevolucD", "Facturad", "Facturae", "Inventar", "Movinven", "Pedido",
                        "Pedidod", "Poventas", "Proveedo", "Remisiod", "Remision", "Vendedor"}) {
    EXPECT_TRUE(base::existe(base::une(o.dirDatos, std::string(n) + ".dbf"))) << n;
    if (std::string(n) != "Poventas") {
      EXPECT_TRUE(base::existe(base::une(o.dirDatos, std::string(n) + ".mdx"))) << n;
    }
  }
  for (const char* n : {"Deta", "Detacomp", "Detaminv"})
    EXPECT_TRUE(base::existe(base::une(o.dirSistema, std::string(n) + ".db"))) << n;
}

TEST_F(EmpresaNueva, DescripcionDeIndices) {
  const auto bytes = base::leeBytes(base::une(o.dirDatos, "Indices.cnf"));
  ASSERT_TRUE(bytes.has_value());
  EXPECT_EQ(bytes->substr(0, 62),
            "facturae.dbf,INUMENC,CLDOC_F\r\nfacturad.dbf,CLDOC_FD,CLDOC_FD\r\n");
  EXPECT_EQ(base::leeLineas(base::une(o.dirDatos, "Indices.cnf")), session::lineasIndices());
}

TEST_F(EmpresaNueva, ConceptosIntegrados) {
  dbf::Table t;
  t.open(o.dirDatos, "CoMovInv.dbf");
  EXPECT_EQ(t.recordCount(), static_cast<long>(session::conceptosMovimiento().size()));
  t.setIndex("ITIPMOV");
  ASSERT_TRUE(t.findKey({57.0}));
  EXPECT_EQ(t.asText("DECON_CM"), "Inventario Inicial");
  EXPECT_TRUE(t.isNull("TIPOX_CM"));
  ASSERT_TRUE(t.findKey({3.0}));
  EXPECT_EQ(t.asText("DECON_CM"), "Venta por Remisión");
  EXPECT_FALSE(t.findKey({20.0}));
  t.close();

  dbf::Table c;
  c.open(o.dirDatos, "Concepto.dbf");
  c.setIndex("TIMOV_MO");
  ASSERT_TRUE(c.findKey({2.0}));
  EXPECT_EQ(c.asText("CONCE_MO"), "Abono");
  EXPECT_EQ(c.asText("TIPOO_MO"), "A");
  ASSERT_TRUE(c.findKey({51.0}));
  EXPECT_EQ(c.asText("TIPOO_MO"), "C");
}

TEST_F(EmpresaNueva, ContadoresSembradosConCero) {
  for (const char* n : {"numero.dbf", "numerof.dbf", "numeroc.dbf"}) {
    dbf::Table t;
    t.open(o.dirDatos, n);
    ASSERT_EQ(t.recordCount(), 1) << n;
    t.first();
    EXPECT_EQ(t.asInteger("NUMERO"), 0) << n;
    EXPECT_FALSE(base::existe(base::une(o.dirDatos, std::string(n).substr(0, std::string(n).size() - 3) + "mdx")));
  }
}

TEST_F(EmpresaNueva, UsuariosConElAdministrador) {
  const auto bytes = base::leeBytes(base::une(o.dirSistema, "usuarios.def"));
  ASSERT_TRUE(bytes.has_value());
  ASSERT_EQ(bytes->size(), 140u);
  EXPECT_EQ(session::decodificaUsuario(*bytes),
            (session::Usuario{0, "Administrador", "1234", std::string(55, 's')}));
}

TEST_F(EmpresaNueva, ConfiguracionDeLaEmpresa) {
  const std::string ruta = base::une(o.dirSistema, "Gener3.cnf");
  const auto lineas = base::leeLineas(ruta);
  ASSERT_TRUE(lineas.has_value());
  EXPECT_EQ(*lineas, session::lineasConfiguracion(o));
  const auto bytes = base::leeBytes(ruta);
  // Line 8 then line 9 in Windows-1252, CR LF after each.
  const std::string esperado = o.dirDatos + "\r\nFerreter\xED" "a Do\xF1" "a Chuy\r\n\r\nacceso\r\n";
  EXPECT_NE(bytes->find(esperado), std::string::npos);
  EXPECT_EQ(bytes->substr(0, 4), "NO\r\n");
  size_t crlf = 0;
  for (size_t p = bytes->find("\r\n"); p != std::string::npos; p = bytes->find("\r\n", p + 2)) ++crlf;
  EXPECT_EQ(crlf, 72u);
}

TEST_F(EmpresaNueva, OpcionesDeEncabezadoDeVentas) {
  const std::string ruta = base::une(o.dirSistema, "encabeza.cnf");
  EXPECT_EQ(base::leeBytes(ruta), "N\r\nN\r\n\r\n\r\n\r\n\r\n\r\n\r\nN\r\n");
  // A second company on the same station keeps the station's own choices.
  ASSERT_TRUE(base::escribeLineas(ruta, {"S", "S", "a.fmt"}));
  session::OpcionesEmpresa otra = o;
  otra.numero = 4;
  session::creaDirectorioSistema(otra);
  EXPECT_EQ(base::leeBytes(ruta), "S\r\nS\r\na.fmt\r\n");
}

TEST_F(EmpresaNueva, DiccionarioDeCampos) {
  dbf::Table t;
  t.open(o.dirSistema, "campos.dbf");
  t.setIndex("TABLA");
  t.setRange({std::string("facturae.dbf")}, {std::string("facturae.dbf")});
  EXPECT_EQ(t.recordCount(), static_cast<long>(buscaTabla("FacturaE.dbf")->campos.size()));
  t.first();
  EXPECT_EQ(t.asText("CAMPO"), "CLDOC_F");
  EXPECT_EQ(t.asText("DESCRIBE"), "Número de documento");
  EXPECT_EQ(t.asText("TIPO"), "Numérico");
  EXPECT_EQ(t.asInteger("TAMO"), 10);
  t.cancelRange();
  t.setIndex("CAMPO");
  ASSERT_TRUE(t.findKey({std::string("NOMBR_C")}));
  EXPECT_EQ(t.asText("TABLA"), "cliente.dbf");
  EXPECT_EQ(t.asText("TIPO"), "Cadena");
  EXPECT_EQ(t.asInteger("TAMO"), 60);
}

TEST_F(EmpresaNueva, ElSelectorDeCamposLasDescripcionesYLaMonedaLocal) {
  // The field chooser lists each table's fields with their descriptions.
  const base::CatalogoCampos cat = base::CatalogoCampos::enDirectorio(o.dirSistema);
  ASSERT_TRUE(cat.existe());
  EXPECT_EQ(cat.tablas().size(), tablasEmpresa().size());
  EXPECT_EQ(cat.tablas().front(), tablasEmpresa().front().archivoMinusculas());
  const std::vector<std::string> clientes = cat.lineasSelector("Cliente.dbf");
  ASSERT_GE(clientes.size(), 2u);
  EXPECT_EQ(clientes[0], "[000]CLCLI_C  Clave del cliente");
  EXPECT_EQ(clientes[1], "[001]NOMBR_C  Nombre");
  const std::vector<base::CampoCatalogo> campos = cat.campos("cliente.dbf");
  EXPECT_EQ(campos[1].numero, "2");
  EXPECT_EQ(campos[1].tercero, "Cadena");
  EXPECT_EQ(campos[1].cuarto, "60");
  // Each table owns 49 places; those past its last field are empty.
  const DefTabla& facturas = *buscaTabla("FacturaE.dbf");
  const std::vector<base::CampoCatalogo> enFacturas = cat.campos("facturae.dbf");
  ASSERT_EQ(enFacturas.size(), 49u);
  ASSERT_LT(facturas.campos.size(), 49u);
  EXPECT_EQ(enFacturas[facturas.campos.size() - 1].nombre, facturas.campos.back().name);
  EXPECT_EQ(enFacturas[facturas.campos.size()].nombre, "");
  EXPECT_EQ(cat.lineasSelector("facturae.dbf").front(), "[000]CLDOC_F  Número de documento");

  // The pop-ups of the users page and of the toolbar have their texts.
  auto d = base::leeDescripcion(o.dirSistema, 57);
  ASSERT_TRUE(d);
  EXPECT_EQ(d->texto(),
            "Nuevo: da de alta un usuario sin derechos; escriba su nombre, una clave que nadie más tenga y "
            "marque sus derechos.");
  EXPECT_EQ(base::leeDescripcion(o.dirSistema, 114)->texto(),
            "Facturación: captura de remisiones, facturas, devoluciones y caja chica.");
  EXPECT_EQ(base::leeDescripcion(o.dirSistema, 3)->texto(), "");
  EXPECT_FALSE(base::leeDescripcion(o.dirSistema, 120));

  // Amounts in words read the local currency.
  EXPECT_EQ(base::palabrasMoneda(o.dirDatos, "M.N."),
            (std::array<std::string, 4>{"PESO", "PESOS", "PESOS", "M.N."}));
}

TEST(EmpresaNuevaRutas, RutaDeWindowsSobreLasUnidades) {
  prueba::DirectorioTemporal dir;
  session::creaDirectorioDatos("C:\\Empresas\\Uno");
  EXPECT_TRUE(std::filesystem::exists(dir.ruta() / "unidades" / "c" / "Empresas" / "Uno" / "FacturaE.dbf"));
  EXPECT_TRUE(std::filesystem::exists(dir.ruta() / "unidades" / "c" / "Empresas" / "Uno" / "FacturaE.mdx"));
  // A second creation replaces the tables: the concepts are not doubled.
  session::creaDirectorioDatos("c:\\empresas\\uno");
  dbf::Table t;
  t.open("C:\\EMPRESAS\\UNO", "comovinv.dbf");
  EXPECT_EQ(t.recordCount(), static_cast<long>(session::conceptosMovimiento().size()));
}

}  // namespace
}  // namespace mostrador::store

namespace mostrador::store {
namespace {

TEST(Plantillas, ShippedTemplatesGoInOnceAndTheShopsEditsStay) {
  prueba::DirectorioTemporal dir;
  dir.escribe("origen/consulta/Factura.fmt", "texto,10,5,Factura\r\n");
  dir.escribe("origen/consulta/retiro.fmt", "texto,1,1,Retiro\r\n");
  dir.escribe("origen/report/Lista.rep", "x\r\n");
  dir.escribe("tvk/Consulta/FACTURA.FMT", "editado por la tienda\r\n");
  EXPECT_EQ(session::instalaPlantillas(dir.str() + "/origen", dir.str() + "/tvk"), 2);
  EXPECT_EQ(dir.lee("tvk/Consulta/FACTURA.FMT"), "editado por la tienda\r\n");
  EXPECT_EQ(dir.lee("tvk/Consulta/retiro.fmt"), "texto,1,1,Retiro\r\n");
  EXPECT_EQ(dir.lee("tvk/report/Lista.rep"), "x\r\n");
  EXPECT_FALSE(std::filesystem::exists(dir.ruta() / "tvk/consulta"));
  EXPECT_EQ(session::instalaPlantillas(dir.str() + "/origen", dir.str() + "/tvk"), 0);
  // The templates and help pages that ship are found where the build put them.
  EXPECT_TRUE(base::existe(base::une(session::directorioInstalacion(), "consulta\\Factura.fmt")));
  EXPECT_TRUE(base::existe(base::une(session::directorioInstalacion(), "ayuda\\principal.mht")));
  EXPECT_TRUE(base::existe(base::une(session::directorioInstalacion(), "ayuda\\factura.rtf")));
  dir.escribe("origen/ayuda/principal.mht", "pagina\r\n");
  EXPECT_EQ(session::instalaPlantillas(dir.str() + "/origen", dir.str() + "/tvk"), 1);
  EXPECT_EQ(dir.lee("tvk/ayuda/principal.mht"), "pagina\r\n");
}

}  // namespace
}  // namespace mostrador::store
