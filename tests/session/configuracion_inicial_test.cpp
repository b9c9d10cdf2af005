// Start values of a new company and station, the control stamp and movement references.

#include "session/configuracion_inicial.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "base/texto.h"
#include "store/catalogo.h"
#include "store/numeracion.h"
#include "support/reloj_fijo.h"

namespace mostrador::store {
namespace {

TEST(ConfiguracionInicial, SetentaYDosLineas) {
  session::OpcionesEmpresa o;
  o.nombre = "Abarrotes Doña Lupe";
  o.dirDatos = "C:\\Datos\\Lupe";
  o.claveEmpresa = "secreta";
  const auto l = session::lineasConfiguracion(o);
  ASSERT_EQ(l.size(), 72u);
  auto linea = [&l](int n) { return l[static_cast<size_t>(n - 1)]; };
  EXPECT_EQ(linea(1), "NO");
  EXPECT_EQ(linea(6), "SI");
  EXPECT_EQ(linea(8), "C:\\Datos\\Lupe");
  EXPECT_EQ(linea(9), "Abarrotes Doña Lupe");
  EXPECT_EQ(linea(10), "");
  EXPECT_EQ(linea(11), "secreta");
  EXPECT_EQ(linea(14), "Factura.fmt");
  EXPECT_EQ(linea(15), "Remision.fmt");
  EXPECT_EQ(linea(26), "");
  EXPECT_EQ(linea(27), "");
  EXPECT_EQ(linea(59), "");  // catalogue in the data directory
  EXPECT_EQ(linea(63), "");
  EXPECT_EQ(linea(68), "cucobrar");
  EXPECT_EQ(linea(66), linea(68));
  EXPECT_EQ(linea(67), linea(68));
  EXPECT_EQ(linea(72), "0");
  for (int n : {21, 33, 34, 35, 36, 37, 38, 41, 43, 44, 46, 47, 48, 49, 50, 51, 52, 53, 54, 55,
                56, 57, 58, 61, 62, 64, 65, 69, 71}) {
    EXPECT_TRUE(linea(n) == "S" || linea(n) == "N") << "línea " << n << ": " << linea(n);
  }
  // Keys are free text unless the company asks otherwise; stock may go negative.
  EXPECT_EQ(linea(34), "N");
  EXPECT_EQ(linea(35), "N");
  EXPECT_EQ(linea(41), "S");
  for (int n : {5, 42, 45, 70, 72}) {
    ASSERT_FALSE(linea(n).empty()) << n;
    EXPECT_EQ(linea(n).find_first_not_of("0123456789"), std::string::npos) << n;
  }
}

TEST(ConfiguracionInicial, LineasDeIndicesAgrupadasPorTabla) {
  const auto l = session::lineasIndices();
  size_t etiquetas = 0;
  for (const auto& t : tablasEmpresa()) etiquetas += t.indices.size();
  ASSERT_EQ(l.size(), etiquetas);
  EXPECT_EQ(l[0], "facturae.dbf,INUMENC,CLDOC_F");
  EXPECT_EQ(l[1], "facturad.dbf,CLDOC_FD,CLDOC_FD");
  auto tiene = [&l](const std::string& s) { return std::find(l.begin(), l.end(), s) != l.end(); };
  EXPECT_TRUE(tiene("comprase.dbf,ICOMENC,CLDOC_O"));
  EXPECT_TRUE(tiene("comprase.dbf,CLPRV_O,CLPRV_O"));
  EXPECT_TRUE(tiene("cucobrar.dbf,nuref_cc,NUREF_CC"));
  EXPECT_TRUE(tiene("comovinv.dbf,ITIPMOV,NUCON_CM"));
  EXPECT_TRUE(tiene("inventar.dbf,DSCPR_I,DSCPR_I"));
  // Each table's lines follow each other: a table seen once is never seen again after
  // another one (the rebuild would otherwise start its index file twice).
  std::set<std::string> cerradas;
  std::string anterior;
  for (const auto& linea : l) {
    const std::string tabla = linea.substr(0, linea.find(','));
    EXPECT_EQ(tabla.find_first_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ"), std::string::npos) << tabla;
    if (tabla != anterior) {
      EXPECT_TRUE(cerradas.insert(tabla).second) << tabla;
      anterior = tabla;
    }
    EXPECT_EQ(std::count(linea.begin(), linea.end(), ','), 2) << linea;
  }
  EXPECT_EQ(cerradas.count("numero.dbf"), 0u);
  EXPECT_EQ(cerradas.count("poventas.dbf"), 0u);
}

TEST(ConfiguracionInicial, ConceptosDeMovimientoIntegrados) {
  std::set<int> numeros;
  const int ancho = buscaTabla("CoMovInv.dbf")->campo("DECON_CM")->length;
  for (const auto& c : session::conceptosMovimiento()) {
    EXPECT_TRUE(numeros.insert(c.numero).second) << c.numero;
    EXPECT_LE(base::anchoCp1252(c.descripcion), static_cast<size_t>(ancho)) << c.descripcion;
  }
  for (int n : {1, 2, 3, 4, 5, 6, 7, 51, 52, 53, 54, 55, 56, 57}) {
    EXPECT_EQ(numeros.count(n), 1u) << n;
    EXPECT_TRUE(session::conceptoProtegido(n)) << n;
  }
  for (int n : {0, 8, 20, 50, 58, 60}) EXPECT_FALSE(session::conceptoProtegido(n)) << n;
  EXPECT_STREQ(session::conceptosMovimiento().front().descripcion, "Venta por Factura");
}

// A save's stamp goes into the reference of every movement it posts.
TEST(SelloControl, ReferenciaDelMovimiento) {
  prueba::RelojFijo reloj({{2025, 6, 30}, {1, 9, 25, 344}});
  EXPECT_EQ(referenciaMovimiento('R', 1520, base::selloControl(reloj)), "R1520-4821");
  reloj.pon({{2025, 6, 30}, {0, 0, 0, 863}});
  EXPECT_EQ(referenciaMovimiento('O', 7, base::selloControl(reloj)), "O7-0");
  reloj.pon({{2025, 6, 30}, {23, 59, 59, 999}});
  EXPECT_EQ(referenciaMovimiento('P', 12345678, base::selloControl(reloj)), "P12345678-99999");
}

}  // namespace
}  // namespace mostrador::store
