// The purchases command of the command-line tool: a separate process over a real company
// directory, saving, modifying, cancelling and deleting receipts, the suggested order and
// the order file, and the refusals (one line on stderr, nothing written).
#include <gtest/gtest.h>

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
  EXPECT_EQ(s.err, "mostrador-cli compra: El Documento ya Fue Cancelado\n");
  s = corre("compra --elimina 1 --tipo Recepcion" + d());
  ASSERT_EQ(s.codigo, 0) << s.err;
  EXPECT_EQ(registros("ComprasE.dbf"), 0);
}

TEST_F(ComprasCli, LasEntradasMalasSeRehusanEnUnaLineaSinEscribir) {
  const std::string f = archivo("r.txt", "tipo=Recepcion\nproveedor=PR1\nfecha=14/07/2025\nA;1;abc\nB;2;-1\n");
  prueba::SalidaOrden s = corre("compra --alta '" + f + "'" + d());
  EXPECT_EQ(s.codigo, 1);
  EXPECT_EQ(s.err, "mostrador-cli compra: " + f +
                       ": Línea 4: el costo \"abc\" no es válido; Línea 5: el costo \"-1\" no es válido; no se "
                       "guardó nada\n");
  const std::string g = archivo("p.txt", "tipo=Recepcion\nproveedor=NO\nfecha=14/07/2025\nA;1;5\n");
  s = corre("compra --alta '" + g + "'" + d());
  EXPECT_EQ(s.codigo, 1);
  EXPECT_EQ(s.err, "mostrador-cli compra: No existe el Proveedor NO\n");
  EXPECT_EQ(registros("ComprasE.dbf"), 0);
  EXPECT_EQ(campo("inventar.dbf", "ICLPRO", "A", "EXIST_I"), "5.000");

  s = corre("compra --alta '" + g + "' --color rojo" + d());
  EXPECT_EQ(s.codigo, 2);
  EXPECT_EQ(s.err, "mostrador-cli compra: opción desconocida: --color\n");
  s = corre("compra --cancela 1" + d());
  EXPECT_EQ(s.codigo, 2);
  EXPECT_EQ(s.err, "mostrador-cli compra: indique --tipo Recepcion|Orden|Devolucion\n");
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
  EXPECT_EQ(s.err, "mostrador-cli compra: Falto un Proveedor...\n");

  const std::string malo = archivo("malo.txt", "A,2\nZ,1\n");
  s = corre("compra --importa-pedido '" + malo + "' --proveedor PR1" + d());
  EXPECT_EQ(s.codigo, 1);
  EXPECT_EQ(s.err, "mostrador-cli compra: " + malo +
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
