// The installation's catalogue files, built byte by byte here (not through the layouts
// under test) so that a wrong offset or capacity shows.
#include <gtest/gtest.h>

#include "base/ayuda.h"
#include "base/confcamp.h"
#include "base/describe.h"
#include "support/entorno.h"

using namespace mostrador;
using namespace mostrador::base;
using mostrador::prueba::DirectorioTemporal;

namespace {

void pon(std::string& registro, size_t desplazamiento, const std::string& cp1252) {
  registro[desplazamiento] = static_cast<char>(cp1252.size());
  registro.replace(desplazamiento + 1, cp1252.size(), cp1252);
}

std::string registroCatalogo(const std::string& numero, const std::string& nombre, const std::string& descripcion,
                             const std::string& tercero = "") {
  std::string r(83, '\0');
  pon(r, 0, numero);
  pon(r, 5, nombre);
  pon(r, 16, descripcion);
  pon(r, 52, tercero);
  pon(r, 63, "abc");
  pon(r, 67, "quinto atributo");
  return r;
}

// Two tables: "cliente.dbf" (records 1-49) and "comprasd.dbf" (records 51-99).
std::string catalogo() {
  std::vector<std::string> r(103, std::string(83, '\0'));
  r[1] = registroCatalogo("1", "CLCLI_C", "Clave del Cliente", "c");
  r[2] = registroCatalogo("2", "NOMBR_C", "", "c");
  r[51] = registroCatalogo("1", "CLDOC_O", "Documento", "e");
  r[52] = registroCatalogo("2", "CANTI_O", "Cantidad Comprada en Unidades Venta", "f");
  r[100] = registroCatalogo("", "", "cliente.dbf");
  r[101] = registroCatalogo("", "", "comprasd.dbf");
  r[102] = registroCatalogo("2", "", "");
  std::string todo;
  for (const std::string& x : r) todo += x;
  return todo;
}

}  // namespace

TEST(CatalogoCampos, FindsTheTableBlockThroughTheIndexAtTheEnd) {
  DirectorioTemporal t;
  t.escribe("confcamp.cmp", catalogo());
  const CatalogoCampos c = CatalogoCampos::enDirectorio(t.str());
  EXPECT_EQ(c.tablas(), (std::vector<std::string>{"cliente.dbf", "comprasd.dbf"}));
  EXPECT_EQ(c.numeroTabla("CLIENTE.DBF"), 0);

  const auto campos = c.campos("cliente.dbf");
  ASSERT_EQ(campos.size(), 49u);
  EXPECT_EQ(campos[0].nombre, "CLCLI_C");
  EXPECT_EQ(campos[0].numero, "1");
  EXPECT_EQ(campos[0].tercero, "c");
  EXPECT_EQ(campos[0].cuarto, "abc");
  EXPECT_EQ(campos[0].quinto, "quinto atributo");

  const auto lineas = c.lineasSelector("cliente.dbf");
  ASSERT_EQ(lineas.size(), 49u);
  EXPECT_EQ(lineas[0], "[000]CLCLI_C  Clave del Cliente");
  EXPECT_EQ(lineas[1], "[001]NOMBR_C  NOMBR_C");  // no description: the name instead
  EXPECT_EQ(lineas[48], "[048]  ");
}

TEST(CatalogoCampos, OrdendetShowsTheFieldsOfComprasd) {
  DirectorioTemporal t;
  t.escribe("confcamp.cmp", catalogo());
  const CatalogoCampos c("confcamp.cmp");
  const auto lineas = c.lineasSelector("ordendet.dbf");
  ASSERT_EQ(lineas.size(), 49u);
  EXPECT_EQ(lineas[0], "[000]CLDOC_O  Documento");
  EXPECT_EQ(lineas[1], "[001]CANTI_O  Cantidad Comprada en Unidades Venta");
  EXPECT_EQ(c.lineasSelector("OrdenDet.DBF"), lineas);
}

TEST(CatalogoCampos, MissingOrDamagedFilesGiveNoFields) {
  DirectorioTemporal t;
  const CatalogoCampos c("confcamp.cmp");
  EXPECT_TRUE(c.tablas().empty());
  EXPECT_TRUE(c.campos("cliente.dbf").empty());

  t.escribe("confcamp.cmp", catalogo());
  EXPECT_TRUE(c.campos("vendedor.dbf").empty());

  std::string roto = catalogo();
  pon(roto, 102 * 83, "999");  // more tables than records
  t.escribe("confcamp.cmp", roto);
  EXPECT_TRUE(c.tablas().empty());
  pon(roto, 102 * 83, "dos");
  t.escribe("confcamp.cmp", roto);
  EXPECT_TRUE(c.tablas().empty());

  // Cut in the middle of the second block: the index is gone with the tail.
  t.escribe("confcamp.cmp", catalogo().substr(0, 60 * 83 + 40));
  EXPECT_TRUE(c.campos("cliente.dbf").empty());
}

TEST(Describe, TopicTextIsTheFirstPartThenTheSecond) {
  DirectorioTemporal t;
  std::string tema0(263, '\0'), tema1(263, '\0');
  pon(tema0, 0, "CERO");
  pon(tema0, 11, "Sin texto");
  pon(tema1, 0, "CLIENTES");
  pon(tema1, 11, "Cat\xE1logo de clientes. ");
  pon(tema1, 137, std::string(125, 'z'));
  t.escribe("ayuda/describe.des", tema0 + tema1 + tema1.substr(0, 100));

  const auto d = leeDescripcion(t.str(), 1);
  ASSERT_TRUE(d);
  EXPECT_EQ(d->clave, "CLIENTES");
  EXPECT_EQ(d->texto(), "Catálogo de clientes. " + std::string(125, 'z'));
  EXPECT_EQ(leeDescripcion(t.str(), 0)->texto(), "Sin texto");
  EXPECT_FALSE(leeDescripcion(t.str(), 2));  // partial record
  EXPECT_FALSE(leeDescripcion(t.str() + "/otro", 0));
  EXPECT_EQ((Descripcion{"", "a", std::string(300, 'b')}).texto(), "a" + std::string(250, 'b'));
}

TEST(IndiceAyuda, AppendsTheMenuOutlineFromTheSecondEntry) {
  DirectorioTemporal t;
  const std::vector<EntradaMenu> menu = {
      {"&Archivo", {{"&Salir", {}}}},
      {"&Ventas", {{"Factura", {{"no se lista", {}}}}, {"Remisión", {}}}},
      {"A&yuda", {}},
  };
  ASSERT_TRUE(escribeIndiceAyuda(t.str(), "Facturación", menu));
  const std::string asteriscos(29, '*');
  const std::string una = "Facturaci\xF3n\r\n&Ventas\r\nFactura\r\nRemisi\xF3n\r\n" + asteriscos + "\r\nA&yuda\r\n" +
                          asteriscos + "\r\n";
  EXPECT_EQ(t.lee("ayuda/ayudatvk.tvk"), una);
  ASSERT_TRUE(escribeIndiceAyuda(t.str(), "Otra", {}));
  EXPECT_EQ(t.lee("ayuda/ayudatvk.tvk"), una + "Otra\r\n");
}
