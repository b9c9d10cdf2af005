// The report viewer's engine over real result files: pages, totals, "DC" groups, chart
// pages, value formats by heading, export, printing and closing.

#include <gtest/gtest.h>

#include "support/fakes_impresion.h"
#include "reports/visor_concentrado.h"
#include "base/moneda.h"
#include "base/rutas.h"
#include "store/dbf/dbf_table.h"
#include "store/sql/sql.h"
#include "base/texto.h"
#include "support/entorno.h"
#include "support/interaccion_fake.h"
#include "support/procesos_falsos.h"

using namespace mostrador;
using namespace mostrador::reports;
using prueba::DirectorioTemporal;
using prueba::InteraccionFalsa;
using V = std::vector<std::string>;

namespace {

std::string pesos(const std::string& s) { return "$" + std::string(14 - s.size(), ' ') + s; }

class Visor : public ::testing::Test {
 protected:
  DirectorioTemporal dir;
  const std::string sistema = "C:\\tvk";

  // A result of n records keyed K001.. with v1 = 1.5 (or the values given).
  void resultado(const std::vector<std::pair<std::string, std::string>>& filas, const std::string& opcion = "C",
                 char tipo = 'f') {
    TitulosConcentrado(sistema, {"Clave", "Nombre", "Importe", "", "", "", "", "", "", ""}, opcion,
                       {tipo, 'x', 'x', 'x', 'x', 'x', 'x', 'x'});
    AnchosConcentrado(sistema, {8, 6, 16, 0, 0, 0, 0, 0, 0, 0});
    std::string b;
    RegistroConcentrado t;
    t.valores = {std::string(1, tipo), "x", "x", "x", "x", "x", "x", "x"};
    b += aBytes(t);
    for (const auto& [k, v] : filas) {
      RegistroConcentrado r;
      r.clave = k;
      r.clave2 = "n";
      r.valores = {v, "0", "0", "0", "0", "0", "0", "0"};
      b += aBytes(r);
    }
    RegistroConcentrado c;
    c.clave = "*";
    c.valores.fill("0");
    b += aBytes(c);
    base::escribeBytes(base::une(sistema, kArchivoFinal), b);
  }
  static std::vector<std::pair<std::string, std::string>> numerados(int n, const std::string& v = "1.5") {
    std::vector<std::pair<std::string, std::string>> r;
    for (int i = 1; i <= n; ++i) {
      char k[8];
      std::snprintf(k, sizeof k, "K%03d", i);
      r.emplace_back(k, v);
    }
    return r;
  }
  // Key, second key, value 1, then six one-blank cells of width 0.
  static std::string linea(const std::string& clave, const std::string& valor) {
    return ajustaCelda(clave, 8) + ajustaCelda("n", 6) + ajustaCelda(valor, 16) + std::string(7, ' ');
  }
};

TEST(FormatoVisor, ElEncabezadoDecideComoSeEscribeElValor) {
  EXPECT_EQ(escribeValorVisor('f', "-Documento", "1234"), "      1,234");
  EXPECT_EQ(escribeValorVisor('f', "%Reales", "1234.5"), "      1,234.50");
  EXPECT_EQ(escribeValorVisor('f', "Costo", "1234.5"), pesos("1,234.50"));
  EXPECT_EQ(escribeValorVisor('e', "C", "1234.5"), "1234.5");
  EXPECT_EQ(escribeValorVisor('f', "", "1234.5"), "");
  EXPECT_EQ(escribeValorVisor('x', "Costo", "1"), "");
  EXPECT_EQ(escribeValorVisor('c', "Nombre", "Juan"), "Juan");
  EXPECT_EQ(ajustaCelda("ABC", 5), "ABC   ");
  EXPECT_EQ(ajustaCelda("ABCDEFG", 5), "ABCDE ");
  EXPECT_EQ(ajustaCelda("A\tB", 3), "A B ");
  EXPECT_EQ(nombreExportacion("C:\\x\\ventas"), "C:\\x\\ventas.xls");
  EXPECT_EQ(nombreExportacion("ventas.txt"), "ventas.txt");
  EXPECT_EQ(nombreExportacion("ab.c"), "ab.c.xls");
}

TEST_F(Visor, CientoVeinteRegistrosSonTresPaginasYTotalesSoloEnLaUltima) {
  resultado(numerados(120));
  VisorConcentrado v(sistema, "Reporte de Ventas por Día");
  ASSERT_TRUE(v.abre());
  EXPECT_EQ(v.registros(), 120);
  v.BotonReporte();
  EXPECT_EQ(v.paginas(), 3);
  EXPECT_EQ(v.estado(), "Página 1 de  3");
  V l = v.hoja().textos();
  ASSERT_EQ(l.size(), 53u);
  EXPECT_EQ(l[0], "Reporte de Ventas por Día");
  EXPECT_EQ(v.hoja().lineas()[0].color, kRojoHoja);
  EXPECT_EQ(l[1], "Clave    Nombre Importe          " + std::string(7, ' '));
  EXPECT_EQ(l[2], "________ ______ ________________ " + std::string(7, ' '));
  EXPECT_EQ(l[3], linea("K001", pesos("1.50")));
  EXPECT_EQ(l[52], linea("K050", pesos("1.50")));
  v.BotonSiguiente();
  EXPECT_EQ(v.estado(), "Página 2 de  3");
  EXPECT_EQ(v.hoja().textos()[3], linea("K051", pesos("1.50")));
  EXPECT_EQ(v.hoja().size(), 53u);
  v.BotonSiguiente();
  EXPECT_EQ(v.estado(), "Página 3 de  3");
  l = v.hoja().textos();
  ASSERT_EQ(l.size(), 24u);
  EXPECT_EQ(l[22], linea("K120", pesos("1.50")));
  EXPECT_EQ(l[23], ajustaCelda("TOTALES", 8) + ajustaCelda("", 6) + ajustaCelda(pesos("180.00"), 16) + std::string(7, ' '));
  // Straight to a page and back; past the end nothing changes; no closing line before.
  v.irAPagina(0);
  EXPECT_EQ(v.estado(), "Página 1 de  3");
  v.irAPagina(99);
  EXPECT_EQ(v.hoja().textos(), l);
  v.BotonSiguiente();
  EXPECT_EQ(v.estado(), "Página 3 de  3");
  EXPECT_EQ(v.hoja().textos(), l);
  v.BotonAnterior();
  EXPECT_EQ(v.estado(), "Página 2 de  3");
  for (const auto& x : v.hoja().textos()) EXPECT_EQ(x.find("TOTALES"), std::string::npos);
}

TEST_F(Visor, TotalesExactosEnDiezmilesimos) {
  resultado(numerados(10, "0.1"));
  VisorConcentrado v(sistema, "X");
  ASSERT_TRUE(v.abre());
  v.BotonReporte();
  EXPECT_EQ(v.hoja().textos().back(),
            ajustaCelda("TOTALES", 8) + ajustaCelda("", 6) + ajustaCelda(pesos("1.00"), 16) + std::string(7, ' '));
}

TEST_F(Visor, OpcionDCCierraCadaClaveConSusTotales) {
  resultado({{"A", "1"}, {"A", "2"}, {"B", "4"}}, "DC");
  VisorConcentrado v(sistema, "Ventas por Caja");
  ASSERT_TRUE(v.abre());
  v.BotonReporte();
  auto total = [](const std::string& x) {
    return ajustaCelda("TOTALES", 8) + ajustaCelda("", 6) + ajustaCelda(x, 16) + std::string(7, ' ');
  };
  const V l = v.hoja().textos();
  EXPECT_EQ(V(l.begin() + 3, l.end()), (V{linea("A", pesos("1.00")), linea("A", pesos("2.00")),
                                         total(pesos("3.00")), linea("B", pesos("4.00")),
                                         total(pesos("4.00")), total(pesos("7.00"))}));
}

TEST_F(Visor, UnGrupoDCQueCruzaLaPaginaSumaTambienLoDeLaAnterior) {
  auto filas = numerados(49);
  filas.push_back({"Z", "1"});
  filas.push_back({"Z", "2"});
  resultado(filas, "DC");
  VisorConcentrado v(sistema, "X");
  ASSERT_TRUE(v.abre());
  v.BotonReporte();
  v.BotonSiguiente();
  const V l = v.hoja().textos();
  ASSERT_EQ(l.size(), 6u);
  EXPECT_EQ(l[4], ajustaCelda("TOTALES", 8) + ajustaCelda("", 6) + ajustaCelda(pesos("3.00"), 16) + std::string(7, ' '));
}

TEST_F(Visor, GraficaConFactorCincoMuestraDosPuntosPorPagina) {
  std::vector<std::pair<std::string, std::string>> filas;
  for (int i = 1; i <= 40; ++i) filas.push_back({"D" + std::to_string(i), std::to_string(i * 10)});
  resultado(filas);
  VisorConcentrado v(sistema, "X");
  ASSERT_TRUE(v.abre());
  v.TitulosGrafica("Gráfica de Ventas por Día", "Día", "Total por Día", "");
  EXPECT_EQ(v.modo(), ModoVista::Barras);
  v.TamaodeColumnas(5);
  EXPECT_EQ(v.puntosPorPagina(), 2);
  EXPECT_EQ(v.paginas(), 20);
  EXPECT_EQ(v.grafica().puntos, (std::vector<PuntoGrafica>{{"D1", 10}, {"D2", 20}}));
  EXPECT_DOUBLE_EQ(v.grafica().maximoEje, 120);
  EXPECT_FALSE(v.grafica().fin);
  for (int i = 0; i < 19; ++i) v.BotonSiguiente();
  EXPECT_EQ(v.grafica().puntos, (std::vector<PuntoGrafica>{{"D39", 390}, {"D40", 400}}));
  EXPECT_TRUE(v.grafica().fin);
  // From chart to text the page starts again.
  v.BotonReporte();
  EXPECT_EQ(v.pagina(), 0);
  EXPECT_EQ(v.estado(), "Página 1 de  1");
  v.BotonPie();
  EXPECT_EQ(v.modo(), ModoVista::Pie);
  EXPECT_EQ(v.grafica().puntos.size(), 2u);
  v.TamaodeColumnas(0);  // at least 1: twelve points
  EXPECT_EQ(v.grafica().puntos.size(), 12u);
}

TEST_F(Visor, ArchivosQueFaltanOIncompletos) {
  VisorConcentrado v(sistema, "X");
  EXPECT_FALSE(v.abre());
  EXPECT_EQ(v.error(), "No existe el archivo C:\\tvk\\tempo\\final.tmp");
  EXPECT_EQ(v.paginas(), 0);
  v.BotonReporte();
  EXPECT_EQ(v.hoja().size(), 0u);

  resultado(numerados(3));
  auto b = base::leeBytes(base::une(sistema, kArchivoFinal));
  base::escribeBytes(base::une(sistema, kArchivoFinal), b->substr(0, 3 * 410 + 100));
  base::borra(base::une(sistema, kArchivoEtiquetas));
  base::borra(base::une(sistema, kArchivoAnchos));
  VisorConcentrado w(sistema, "X");
  EXPECT_FALSE(w.abre());
  EXPECT_EQ(w.error(), "El archivo C:\\tvk\\tempo\\final.tmp está incompleto");
  EXPECT_EQ(w.registros(), 2);
  w.BotonReporte();
  EXPECT_EQ(w.hoja().size(), 3u + 2u + 1u);
}

TEST_F(Visor, TitulosYAnchosCortadosSeLeenHastaDondeAlcanzan) {
  resultado(numerados(2));
  // The titles file cut inside its second record, the widths file inside its only one.
  auto e = base::leeBytes(base::une(sistema, kArchivoEtiquetas));
  base::escribeBytes(base::une(sistema, kArchivoEtiquetas), e->substr(0, 300));
  base::escribeBytes(base::une(sistema, kArchivoAnchos), std::string("\x04\x00\x05", 3));
  VisorConcentrado v(sistema, "X");
  EXPECT_TRUE(v.abre());
  EXPECT_EQ(v.encabezados()[2], "Importe");
  EXPECT_EQ(v.opcion(), "");
  v.BotonReporte();
  // The default widths stay (15 for the key); the file's own type letters still apply.
  EXPECT_EQ(v.hoja().textos()[3].substr(0, 16), ajustaCelda("K001", 15));
  EXPECT_NE(v.hoja().textos()[3].find(pesos("1.50")), std::string::npos);
}

TEST_F(Visor, ExportaConTabuladoresYAbreLaHojaDeCalculo) {
  resultado({{"A", "1"}, {"B", "2.5"}});
  VisorConcentrado v(sistema, "X");
  ASSERT_TRUE(v.abre());
  InteraccionFalsa ui;
  ui.respondeArchivo(std::string("C:\\salida\\ventas"));
  base::creaDirectorios("C:\\salida");
  base::escribeBytes("C:\\salida\\ventas.xls", "viejo");
  prueba::ProcesosFalsos procesos;
  base::TablaProgramas programas([](std::string_view c) { return c == "gnumeric"; });
  ASSERT_TRUE(v.BotonExporta(ui, procesos, programas, "excel.exe"));
  EXPECT_EQ(base::leeBytes("C:\\salida\\ventas.xls"),
            std::string("Clave\tNombre\tImporte\t\t\t\t\t\t\t\r\nA\tn\t1\t0\t0\t0\t0\t0\t0\t0\r\n"
                        "B\tn\t2.5\t0\t0\t0\t0\t0\t0\t0\r\n"));
  ASSERT_EQ(procesos.llamadas.size(), 1u);
  EXPECT_EQ(procesos.llamadas[0].programa, "gnumeric");
  EXPECT_EQ(procesos.llamadas[0].argumentos, V{base::resuelve("C:\\salida\\ventas.xls").string()});
  EXPECT_TRUE(ui.mensajes().empty());

  // Closing removes the scratch files.
  v.cierra();
  for (auto n : {"final.tmp", "etique.tmp", "anchos.tmp", "exel.tmp"})
    EXPECT_FALSE(base::existe(base::une(sistema, std::string("tempo\\") + n))) << n;
  EXPECT_TRUE(base::existe("C:\\salida\\ventas.xls"));
}

TEST_F(Visor, ImprimeLasPaginasDeTextoConSuPie) {
  resultado(numerados(60));
  VisorConcentrado v(sistema, "Ventas");
  ASSERT_TRUE(v.abre());
  v.TitulosGrafica("G", "a", "b", "");
  auto paginas = v.paginasImpresas(2, 9);
  ASSERT_EQ(paginas.size(), 1u);
  // Heading, underscores, ten rows and the closing totals; the caption goes in the frame.
  EXPECT_EQ(paginas[0].lineas.size(), 13u);
  EXPECT_EQ(v.modo(), ModoVista::Barras);
  prueba::ImpresoraFalsa im;
  imprimePaginas(im, "Ventas", paginas, 2, "05/03/2024", "Courier New", 9);
  EXPECT_EQ(im.con("texto").back(), "texto 200 5317 05/03/2024     Pag 2");
}

}  // namespace

namespace {

TEST(VisorDeConsulta, TotalesPorMonedaAlFinalDelReporte) {
  DirectorioTemporal dir;
  const std::string datos = "C:\\datos";
  base::creaDirectorios(datos);
  base::escribeMonedas(datos, {{"Pesos", "1", "", "", "", "M.N.", "$"}, {"Dolares", "20", "", "", "", "DLLS", "US$"}});
  dbf::Table::create(datos, "ventas.dbf", {{"CLAVE", 'C', 10, 0}, {"IMPORTE", 'N', 12, 2}, {"MONEDA", 'C', 6, 0}});
  {
    dbf::Table t;
    t.open(datos, "ventas.dbf");
    const std::vector<std::tuple<std::string, double, std::string>> filas = {
        {"A", 10, "M.N."}, {"B", 5, "DLLS"}, {"C", 2.5, "M.N."}, {"D", 0, "FR"}, {"E", 7, "DM"}};
    for (const auto& [c, i, m] : filas) {
      t.append();
      t.setText("CLAVE", c);
      t.setFloat("IMPORTE", i);
      t.setText("MONEDA", m);
      t.post();
    }
  }
  sql::BaseSql base;
  auto r = base.consulta("Select CLAVE,'',IMPORTE,0,0,0,0,0,0,MONEDA from \"" + base::une(datos, "ventas.dbf") + "\"");
  auto monedas = monedasVisor(datos);
  ASSERT_EQ(monedas.size(), 2u);
  EXPECT_EQ(monedas[1], (MonedaVisor{"Dolares", "US$", "DLLS"}));
  VisorConsulta v("Ventas por Moneda", std::move(r), {"Clave", "Moneda", "Importe", "", "", "", "", "", "", ""},
                  {6, 8, 16, 0, 0, 0, 0, 0, 0, 0}, monedas);
  EXPECT_EQ(v.paginas(), 1);
  v.muestra(0);
  EXPECT_EQ(v.estado(), "Página 1 de  1");
  const V l = v.hoja().textos();
  ASSERT_EQ(l.size(), 2u + 5u + 1u + 3u);
  EXPECT_EQ(l[2], ajustaCelda("A", 6) + ajustaCelda("", 8) + ajustaCelda(pesos("10.00"), 16) + std::string(6, ' '));
  EXPECT_EQ(l[7], std::string(40, ' '));
  // FR sums to nothing and is left out; DLLS is named as the table names it.
  EXPECT_EQ(l[8], ajustaCelda("TOTALES", 6) + ajustaCelda("Pesos", 8) + ajustaCelda(pesos("12.50"), 16) + std::string(6, ' '));
  EXPECT_EQ(l[9], ajustaCelda("TOTALES", 6) + ajustaCelda("Dolares", 8) + ajustaCelda(pesos("5.00"), 16) + std::string(6, ' '));
  EXPECT_EQ(l[10], ajustaCelda("TOTALES", 6) + ajustaCelda("DM", 8) + ajustaCelda(pesos("7.00"), 16) + std::string(6, ' '));
  v.muestra(1);
  EXPECT_EQ(v.hoja().textos(), l);
}

}  // namespace
