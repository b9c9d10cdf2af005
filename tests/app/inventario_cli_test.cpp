// The inventory commands of the command-line tool, as a back office scripts them: a
// separate process over a real company directory.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <string>

#include "store/dbf/dbf_table.h"
#include "session/empresa_nueva.h"
#include "support/entorno.h"
#include "support/orden_cli.h"

namespace {

using namespace mostrador;

using Salida = prueba::SalidaOrden;
Salida corre(const std::string& argumentos) { return prueba::correOrden(MOSTRADOR_CLI, argumentos); }

struct InventarioCli : ::testing::Test {
  prueba::DirectorioTemporal dir;
  std::string datos = dir.str() + "/datos";
  InventarioCli() {
    session::creaDirectorioDatos(datos);
    dbf::Table p;
    p.open(datos, "inventar.dbf");
    for (const char* clave : {"A", "B"}) {
      p.append();
      p.setText("CLPRO_I", clave);
      p.setText("DSCPR_I", std::string("PRODUCTO ") + clave);
      p.setFloat("EXIST_I", 5);
      p.setFloat("CPROM_I", 6);
      p.post();
    }
  }
  std::string d() const { return " --datos '" + datos + "'"; }
  std::string archivo(const std::string& nombre, const std::string& texto) const {
    const std::string r = dir.str() + "/" + nombre;
    std::ofstream(r) << texto;
    return r;
  }
  std::vector<std::string> movimientos() const {
    std::vector<std::string> r;
    dbf::Table t;
    t.open(datos, "movinven.dbf");
    for (t.first(); !t.eof(); t.next())
      r.push_back(t.asText("CLDOC_MI") + "|" + t.asText("TIMOV_MI") + "|" + t.asText("CLPRO_MI") + "|" +
                  t.asText("CANTI_MI"));
    return r;
  }
};

TEST_F(InventarioCli, AltaDeUnMovimientoYSuKardex) {
  const std::string f = archivo("entrada.txt", "tipo=51\nfecha=14/07/2025\nA;10;8\nB;-1;0\n");
  Salida s = corre("movimientos --alta '" + f + "'" + d());
  ASSERT_EQ(s.codigo, 0) << s.err;
  EXPECT_EQ(s.out, "Movimiento 1 guardado: 2 partida(s)\n");
  EXPECT_EQ(movimientos(), (std::vector<std::string>{"1|51|A|10.000", "1|8|B|1.000"}));
  s = corre("kardex A --formato tsv" + d());
  ASSERT_EQ(s.codigo, 0) << s.err;
  EXPECT_EQ(s.out,
            "Fecha\tReferencia\tTipo\tEntrada\tSalida\tExistencia\tCosto\tPromedio\n"
            "14/07/2025\t1\t51\t10\t\t10\t8\t8\n"
            "Totales\t\t\t10\t0\t10\t\t\n");
  s = corre("movimientos --totales A" + d());
  EXPECT_EQ(s.out, "Entradas 10.00  Salidas 0.00  Existencias 10.00\n");
}

TEST_F(InventarioCli, UnArchivoConLineasMalasNoGuardaNada) {
  const std::string f = archivo("malo.txt", "tipo=51\nfecha=14/07/2025\nA;10;8\nB;x;8\nC;1\n");
  const Salida s = corre("movimientos --alta '" + f + "'" + d());
  EXPECT_EQ(s.codigo, 1);
  EXPECT_EQ(s.err, f + ": Línea 4: cantidad no válida: x\n" + f +
                       ": Línea 5: se esperan 3 columnas (clave;cantidad;costo), hay 2\n"
                       "mostrador-cli movimientos: 2 línea(s) con errores en " + f + "; no se guardó nada\n");
  EXPECT_TRUE(movimientos().empty());
}

TEST_F(InventarioCli, OpcionesDesconocidasYUsoIncorrecto) {
  Salida s = corre("kardex A --documento" + d());
  EXPECT_EQ(s.codigo, 2);
  EXPECT_EQ(prueba::primeraLinea(s.err), "mostrador-cli kardex: opción desconocida: --documento\n");
  s = corre("movimientos" + d());
  EXPECT_EQ(s.codigo, 2);
  EXPECT_EQ(prueba::primeraLinea(s.err), "mostrador-cli movimientos: indique una de --alta, --importa, --borra-concepto, --totales o --corte\n");
  s = corre("movimientos --borra-concepto 7" + d());
  EXPECT_EQ(s.codigo, 1);
  EXPECT_EQ(prueba::primeraLinea(s.err), "mostrador-cli movimientos: El concepto no puede Eliminarse...\n");
  s = corre("kardex --help");
  EXPECT_EQ(s.codigo, 0);
  EXPECT_EQ(s.out.rfind("Uso: mostrador-cli kardex CLAVE", 0), 0u);
}

TEST_F(InventarioCli, ConteoRecalculoYCorte) {
  const std::string f = archivo("conteo.txt", "A,3\nA,4\nZ,1\n");
  Salida s = corre("ajuste '" + f + "' --aplica" + d());
  EXPECT_EQ(s.codigo, 1);  // the unknown key is reported; the rest is adjusted
  EXPECT_EQ(prueba::primeraLinea(s.err), f + ": Línea 3: producto desconocido: Z\n");
  EXPECT_EQ(s.out, "A\t5\t7\t2\nB\t5\t0\t-5\nMovimiento 1 de ajuste: 2 partida(s)\n");
  EXPECT_EQ(movimientos(), (std::vector<std::string>{"1|58|A|2.000", "1|8|B|5.000"}));
  s = corre("recalcula --revisa" + d());
  EXPECT_EQ(s.codigo, 0);
  EXPECT_EQ(s.out, "A,7,*2\nB,0,*-5\n");
  s = corre("recalcula --segun-existencias" + d());
  EXPECT_EQ(s.out, "2 movimiento(s) de ajuste\n");
  s = corre("recalcula --revisa" + d());
  EXPECT_EQ(s.out, "");
  s = corre("movimientos --corte" + d());
  EXPECT_EQ(s.out, "0 borrados\n");
}

TEST_F(InventarioCli, ElAjusteFiltradoSoloTocaLoQuePasaElFiltro) {
  const std::string f = archivo("conteo.txt", "A,3\nB,9\n");
  Salida s = corre("ajuste '" + f + "' --aplica --filtra clave:B:B" + d());
  ASSERT_EQ(s.codigo, 0) << s.err;
  EXPECT_EQ(s.out, "B\t5\t9\t4\nMovimiento 1 de ajuste: 1 partida(s)\n");
  EXPECT_EQ(movimientos(), (std::vector<std::string>{"1|58|B|4.000"}));
  s = corre("ajuste '" + f + "' --filtra zona:1:2" + d());
  EXPECT_EQ(s.codigo, 2);
  EXPECT_EQ(prueba::primeraLinea(s.err), "mostrador-cli ajuste: --filtra: campo desconocido: zona\n");
  s = corre("ajuste '" + f + "' --aplica --reales --filtra ajuste" + d());
  EXPECT_EQ(s.codigo, 2);
  s = corre("reporte Entradas1 --formato tsv" + d());
  EXPECT_EQ(s.codigo, 0) << s.err;
  EXPECT_NE(s.out.find("B\tPRODUCTO B\t4"), std::string::npos) << s.out;
}

}  // namespace
