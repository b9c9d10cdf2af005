// The purchases command of the command-line tool: a separate process over a real company
// directory, saving, modifying, cancelling and deleting receipts, the suggested order and
// the order file, and the refusals (one line on stderr, nothing written).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "session/empresa_nueva.h"
#include "store/dbf/dbf_table.h"
#include "support/entorno.h"
#include "support/orden_cli.h"

namespace {

using namespace mostrador;
using Filas = std::vector<std::string>;

prueba::SalidaOrden corre(const std::string& argumentos) { return prueba::correOrden(MOSTRADOR_CLI, argumentos); }

struct ComprasCli : ::testing::Test {
  prueba::DirectorioTemporal dir;
  std::string datos = dir.str() + "/datos";
  ComprasCli() {
    session::creaDirectorioDatos(datos);
    dbf::Table p;
    p.open(datos, "inventar.dbf");
    for (const char* clave : {"A", "B"}) {
      p.append();
      p.setText("CLPRO_I", clave);
      p.setText("DSCPR_I", std::string("PRODUCTO ") + clave);
      p.setFloat("EXIST_I", 5);
      p.setFloat("CPROM_I", 10);
      p.setFloat("STMIN_I", 8);
      p.setText("CLPR1_I", "PR1");
      p.post();
    }
    dbf::Table v;
    v.open(datos, "proveedo.dbf");
    v.append();
    v.setText("CLAVE_P", "PR1");
    v.setText("NOMBR_P", "FERRETERA");
    v.setFloat("SALDO_P", 0);
    v.setFloat("COMPR_P", 0);
    v.post();
  }
  std::string d() const { return " --datos '" + datos + "'"; }
  std::string archivo(const std::string& nombre, const std::string& texto) const {
    const std::string r = dir.str() + "/" + nombre;
    std::ofstream(r) << texto;
    return r;
  }
  std::string campo(const char* tabla, const char* indice, const std::string& clave, const char* c) const {
    dbf::Table t;
    t.open(datos, tabla);
    t.setIndex(indice);
    return t.findKey({clave}) ? t.asText(c) : "(no está)";
  }
  long registros(const char* tabla) const {
    dbf::Table t;
    t.open(datos, tabla);
    long n = 0;
    for (t.first(); !t.eof(); t.next()) ++n;
    return n;
  }
};

TEST_F(ComprasCli, AltaModificacionYCancelacionDeUnaRecepcion) {
  const std::string f = archivo("r.txt", "tipo=Recepcion\nproveedor=PR1\nfecha=14/07/2025\ndescuento=2\n"
                                         "A;10;100;10;5\nB;1;50\n");
  prueba::SalidaOrden s = corre("compra --alta '" + f + "'" + d());
  ASSERT_EQ(s.codigo, 0) << s.err;
  EXPECT_EQ(s.out, "Recepción 1 guardada: subtotal 886.9, impuesto 0, total 886.9\n");
  EXPECT_EQ(campo("inventar.dbf", "ICLPRO", "A", "ULCOS_I"), "83.7900");
  EXPECT_EQ(campo("inventar.dbf", "ICLPRO", "A", "EXIST_I"), "15.000");
  EXPECT_EQ(campo("proveedo.dbf", "ICLAPRO", "PR1", "SALDO_P"), "886.9000");

  const std::string g = archivo("m.txt", "tipo=Recepcion\nproveedor=PR1\nfecha=14/07/2025\nA;2;10\n");
  s = corre("compra --modifica 1 '" + g + "'" + d());
  ASSERT_EQ(s.codigo, 0) << s.err;
  EXPECT_EQ(s.out, "Recepción 1 modificada: subtotal 20, impuesto 0, total 20\n");
  EXPECT_EQ(campo("inventar.dbf", "ICLPRO", "A", "EXIST_I"), "7.000");
  EXPECT_EQ(campo("inventar.dbf", "ICLPRO", "B", "EXIST_I"), "5.000");
  EXPECT_EQ(campo("proveedo.dbf", "ICLAPRO", "PR1", "SALDO_P"), "20.0000");
  EXPECT_EQ(registros("ComprasD.dbf"), 1);

  s = corre("compra --cancela 1 --tipo Recepcion" + d());
  ASSERT_EQ(s.codigo, 0) << s.err;
  EXPECT_EQ(campo("inventar.dbf", "ICLPRO", "A", "EXIST_I"), "5.000");
  EXPECT_EQ(campo("proveedo.dbf", "ICLAPRO", "PR1", "SALDO_P"), "0.0000");
  s = corre("compra --cancela 1 --tipo Recepcion" + d());
  EXPECT_EQ(s.codigo, 1);
  EXPECT_EQ(prueba::primeraLinea(s.err), "mostrador-cli compra: El Documento ya Fue Cancelado\n");
  s = corre("compra --elimina 1 --tipo Recepcion" + d());
  ASSERT_EQ(s.codigo, 0) << s.err;
  EXPECT_EQ(registros("ComprasE.dbf"), 0);
}

TEST_F(ComprasCli, LasEntradasMalasSeRehusanEnUnaLineaSinEscribir) {
  const std::string f = archivo("r.txt", "tipo=Recepcion\nproveedor=PR1\nfecha=14/07/2025\nA;1;abc\nB;2;-1\n");
  prueba::SalidaOrden s = corre("compra --alta '" + f + "'" + d());
  EXPECT_EQ(s.codigo, 1);
  EXPECT_EQ(prueba::primeraLinea(s.err), "mostrador-cli compra: " + f +
                       ": Línea 4: el costo \"abc\" no es válido; Línea 5: el costo \"-1\" no es válido; no se "
                       "guardó nada\n");
  const std::string g = archivo("p.txt", "tipo=Recepcion\nproveedor=NO\nfecha=14/07/2025\nA;1;5\n");
  s = corre("compra --alta '" + g + "'" + d());
  EXPECT_EQ(s.codigo, 1);
  EXPECT_EQ(prueba::primeraLinea(s.err), "mostrador-cli compra: No existe el Proveedor NO\n");
  EXPECT_EQ(registros("ComprasE.dbf"), 0);
  EXPECT_EQ(campo("inventar.dbf", "ICLPRO", "A", "EXIST_I"), "5.000");

  s = corre("compra --alta '" + g + "' --color rojo" + d());
  EXPECT_EQ(s.codigo, 2);
  EXPECT_EQ(prueba::primeraLinea(s.err), "mostrador-cli compra: opción desconocida: --color\n");
  s = corre("compra --cancela 1" + d());
  EXPECT_EQ(s.codigo, 2);
  EXPECT_EQ(prueba::primeraLinea(s.err), "mostrador-cli compra: indique --tipo Recepcion|Orden|Devolucion\n");
  s = corre("compra --help");
  EXPECT_EQ(s.codigo, 0);
  EXPECT_NE(s.out.find("clave;cantidad;costo[;d1[;d2[;d3[;precio]]]]"), std::string::npos);
}

TEST_F(ComprasCli, SugeridoEImportacionDeUnPedido) {
  prueba::SalidaOrden s = corre("compra --sugerido --proveedor PR1" + d());
  ASSERT_EQ(s.codigo, 0) << s.err;
  EXPECT_EQ(s.out, "A\tPRODUCTO A\t3\t0\nB\tPRODUCTO B\t3\t0\n2 partida(s)\n");
  s = corre("compra --sugerido" + d());
  EXPECT_EQ(s.codigo, 1);
  EXPECT_EQ(prueba::primeraLinea(s.err), "mostrador-cli compra: Falto un Proveedor...\n");

  const std::string malo = archivo("malo.txt", "A,2\nZ,1\n");
  s = corre("compra --importa-pedido '" + malo + "' --proveedor PR1" + d());
  EXPECT_EQ(s.codigo, 1);
  EXPECT_EQ(prueba::primeraLinea(s.err), "mostrador-cli compra: " + malo +
                       ": Línea 2: El Producto No Se encuenta (Z); no se guardó nada\n");
  EXPECT_EQ(registros("OrdenCom.dbf"), 0);
  const std::string f = archivo("pedido.txt", "A,2\nB,4\n");
  s = corre("compra --importa-pedido '" + f + "' --proveedor PR1 --fecha 15/07/2025" + d());
  ASSERT_EQ(s.codigo, 0) << s.err;
  EXPECT_EQ(s.out, "Orden de Compra 1 guardada: subtotal 0, impuesto 0, total 0\n");
  EXPECT_EQ(campo("inventar.dbf", "ICLPRO", "B", "COMRE_I"), "4.000");
  EXPECT_EQ(campo("inventar.dbf", "ICLPRO", "B", "EXIST_I"), "5.000");
}

}  // namespace

namespace {

// A system directory whose company configuration names the data directory, with line 6
// "SI" (receipts post their movements): the option that points the tool at it.
std::string integra(const std::string& raiz, const std::string& datos) {
  const std::string sistema = raiz + "/sistema";
  std::filesystem::create_directories(sistema);
  std::ofstream o(sistema + "/Gener1.cnf");
  for (int i = 1; i <= 8; ++i) o << (i == 6 ? "SI" : i == 8 ? datos : "") << "\r\n";
  return " --sistema '" + sistema + "'";
}

}  // namespace

TEST_F(ComprasCli, ElReposteoEscribeLosMovimientosQueFaltanUnaVezSinMoverExistencias) {
  const std::string sis = integra(dir.str(), datos);
  const std::string f = archivo("r.txt", "tipo=Recepcion\nproveedor=PR1\nfecha=14/07/2025\nA;10;12\nB;2;5\n");
  prueba::SalidaOrden s = corre("compra --alta '" + f + "'" + d() + sis);
  ASSERT_EQ(s.codigo, 0) << s.err;
  ASSERT_EQ(registros("movinven.dbf"), 2);
  // The movements go missing (written by hand, or lost): the stock stays as received.
  {
    dbf::Table m;
    m.open(datos, "movinven.dbf");
    for (m.first(); !m.isEmpty(); m.first()) m.remove();
  }
  ASSERT_EQ(registros("movinven.dbf"), 0);
  s = corre("compra --reposta" + d() + sis);
  ASSERT_EQ(s.codigo, 0) << s.err;
  EXPECT_EQ(s.out, "Recepción 1 reposteada\n1  Actualizadas...\n");
  dbf::Table m;
  m.open(datos, "movinven.dbf");
  Filas movs;
  for (m.first(); !m.eof(); m.next())
    movs.push_back(m.asText("TIMOV_MI") + "|" + m.asText("CLPRO_MI") + "|" + m.asText("CANTI_MI") + "|" +
                   m.asText("COSUN_MI") + "|" + m.asText("CLPRV_MI") + "|" + m.asText("BANAF_MI"));
  EXPECT_EQ(movs, (Filas{"51|A|10.000|12.0000|PR1|C", "51|B|2.000|5.0000|PR1|C"}));
  EXPECT_EQ(campo("inventar.dbf", "ICLPRO", "A", "EXIST_I"), "15.000");
  EXPECT_EQ(campo("inventar.dbf", "ICLPRO", "B", "EXIST_I"), "7.000");
  // A second run finds nothing missing.
  s = corre("compra --reposta" + d() + sis);
  ASSERT_EQ(s.codigo, 0) << s.err;
  EXPECT_EQ(s.out, "0  Actualizadas...\n");
  EXPECT_EQ(registros("movinven.dbf"), 2);
  // A cancelled receipt is not posted again.
  s = corre("compra --cancela 1 --tipo Recepcion" + d() + sis);
  ASSERT_EQ(s.codigo, 0) << s.err;
  {
    dbf::Table x;
    x.open(datos, "movinven.dbf");
    for (x.first(); !x.isEmpty(); x.first()) x.remove();
  }
  s = corre("compra --reposta" + d() + sis);
  EXPECT_EQ(s.out, "0  Actualizadas...\n");
}

TEST_F(ComprasCli, LosReportesDeComprasPorSuNombreDePantalla) {
  const std::string f1 = archivo("r1.txt", "tipo=Recepcion\nproveedor=PR1\nfecha=14/07/2025\nA;10;12\n");
  const std::string f2 = archivo("r2.txt", "tipo=Recepcion\nproveedor=PR1\nfecha=15/07/2025\nB;2;5\nA;1;12\n");
  ASSERT_EQ(corre("compra --alta '" + f1 + "'" + d()).codigo, 0);
  ASSERT_EQ(corre("compra --alta '" + f2 + "'" + d()).codigo, 0);
  ASSERT_EQ(corre("compra --cancela 1 --tipo Recepcion" + d()).codigo, 0);

  // Document 1 is cancelled: only 2 is active, and only 1 is listed as cancelled.
  prueba::SalidaOrden s = corre("reporte DocumentosActivos1 --pantalla TFormaCompras --formato tsv" + d());
  ASSERT_EQ(s.codigo, 0) << s.err;
  EXPECT_EQ(s.out,
            "*Reporte de Documentos Activos\nDOCUMENTO\tPROVEEDOR\tNOMBRE\tFECHA\tREFERENCIA\tIMPORTE\tSALDO\n\n\n"
            "2\tPR1\tFERRETERA\t15/07/2025\t\t22.00\t22.00\n                                                                     _____________ ______________ \n\t\t\t\t\t22.00\t22.00\n\n\n.\n");
  s = corre("reporte DocumentosCancelados1 --pantalla TFormaCompras --formato tsv" + d());
  ASSERT_EQ(s.codigo, 0) << s.err;
  EXPECT_EQ(s.out,
            "*Reporte de Documentos Cancelados\nDOCUMENTO\tPROVEEDOR\tNOMBRE\tFECHA\tREFERENCIA\tIMPORTE\tSALDO\n\n\n"
            "1\tPR1\tFERRETERA\t14/07/2025\t\t120.00\t120.00\n                                                                     _____________ ______________ \n\t\t\t\t\t120.00\t120.00\n\n\n.\n");
  // The lines of live documents joined to their header, grouped by product; the lines
  // of a command-line receipt carry the catalogue's description.
  s = corre("reporte ComprasporProducto1 --pantalla TFormaCompras --formato tsv" + d());
  ASSERT_EQ(s.codigo, 0) << s.err;
  EXPECT_EQ(s.out,
            "*Reporte de Compras por Producto\n"
            "PRODUCTO\tDESCRIPCION\tDOCUMENTO\tPROVEEDOR\tFECHA\tCANTIDAD\tCOSTO\tIMPORTE\n\n\n"
            "A\tPRODUCTO A\t2\tFERRETERA\t15/07/2025\t1.00\t12.00\t12.00\n                                                                                _____________ _____________ ______________ \n\t\t\t\t\t1.00\t12.00\t12.00\n\n"
            "B\tPRODUCTO B\t2\tFERRETERA\t15/07/2025\t2.00\t5.00\t10.00\n                                                                                _____________ _____________ ______________ \n\t\t\t\t\t2.00\t5.00\t10.00\n\n"
            "                                                                                _____________ _____________ ______________ \n\t\t\t\t\t3.00\t17.00\t22.00\n\n\n.\n");
  s = corre("reporte DocumentosActivos1 --pantalla TFormaCompras --tipo Pedido" + d());
  EXPECT_EQ(s.codigo, 2);
  EXPECT_NE(s.err.find("--tipo es Recepcion, Orden o Devolucion: Pedido"), std::string::npos) << s.err;
  s = corre("reporte NoExiste1 --pantalla TFormaCompras" + d());
  EXPECT_EQ(s.codigo, 2);
  EXPECT_NE(s.err.find("la pantalla TFormaCompras no tiene el reporte NoExiste1"), std::string::npos) << s.err;
}
