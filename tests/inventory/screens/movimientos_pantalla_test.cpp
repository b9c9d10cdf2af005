// The movement, concept, kardex and count screens over real tables: typing a movement
// into the grid and saving it, the concept lookup, browsing, refusing a built-in concept,
// the kardex filter and export, and the count worksheet's filter message.
#include <gtest/gtest.h>

#include "store/observaciones.h"

#include <QChartView>
#include <QDateEdit>
#include <QLineSeries>
#include <QPlainTextEdit>
#include <QTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>

#include "base/rutas.h"
#include "base/texto.h"
#include "inventory/ajuste.h"
#include "inventory/complementos_producto.h"
#include "inventory/kardex.h"
#include "inventory/screens/TFormaAjustar.h"
#include "inventory/screens/TFormaConMovimiento.h"
#include "inventory/screens/TFormaCosteo.h"
#include "inventory/screens/TFormaMovimientosInventario.h"
#include "inventory/screens/TFormacomovinv.h"
#include "support/empresa_ventas.h"
#include "support/entorno.h"
#include "support/interaccion_fake.h"
#include "support/principal_aplicacion.h"
#include "support/reloj_fijo.h"
#include "ui/TFormaObservaciones.h"
#include "ui/modelo_filas.h"

namespace mostrador::inventory {
namespace {

using V = std::vector<std::string>;

struct Pantallas : ::testing::Test {
  QApplication& qt = prueba::aplicacionQt();
  prueba::DirectorioTemporal dir;
  prueba::EmpresaVentas emp;
  prueba::InteraccionFalsa ui;
  prueba::RelojFijo reloj{base::FechaHora{{2025, 7, 14}, {12, 0, 0, 0}}};
  Pantallas() {
    prueba::ProductoVenta p;
    p.clave = "MART";
    p.codigo = "7501";
    p.descripcion = "Martillo";
    p.existencia = 10;
    p.precio = 100;
    p.ultimoCosto = 60;
    emp.producto(p);
  }
  AjustesMovimientos ajustes() const { return ajustesDe(emp.lineas); }
  static void celda(QTableWidget* t, int r, int c, const QString& v) {
    if (!t->item(r, c)) t->setItem(r, c, new QTableWidgetItem);
    t->item(r, c)->setText(v);
  }
};

TEST_F(Pantallas, UnMovimientoTecleadoSeGuardaYSeMuestra) {
  TFormaMovimientosInventario f(ajustes(), ui, reloj, [](int) { return true; }, true);
  EXPECT_EQ(f.windowTitle(), "Movimientos al Inventario");
  EXPECT_FALSE(f.numero().has_value());  // an empty journal
  f.BotonNuevoClick();
  ASSERT_TRUE(f.enCaptura());
  EXPECT_EQ(f.findChild<QLineEdit*>("EditFEDOC_MI")->text(), "14/07/2025");
  // Saving without a type says so and keeps the capture.
  EXPECT_FALSE(f.BotonGuardarClick());
  EXPECT_EQ(ui.mensajes(), V{"Falta Seleccionar un Tipo de Movimiento"});
  auto* tipo = f.findChild<QLineEdit*>("EditTIMOV_MI");
  tipo->setText("99");
  f.EditTIMOV_MIExit();
  EXPECT_EQ(f.concepto(), "No Existe Tipo de Movimiento");
  tipo->setText("53");
  f.EditTIMOV_MIExit();
  EXPECT_EQ(f.concepto(), "Entrada Varios");
  // A bar code finds the product and fills description, cost and price.
  QTableWidget* d = f.detalle();
  celda(d, 0, 2, "3");
  celda(d, 0, 0, "7501");
  EXPECT_EQ(d->item(0, 0)->text(), "MART");
  EXPECT_EQ(d->item(0, 1)->text(), "Martillo");
  EXPECT_EQ(d->item(0, 3)->text(), "60.00");
  EXPECT_EQ(d->item(0, 5)->text(), "300.00");
  // A shown amount with its thousands separator reads back whole.
  celda(d, 0, 2, "1,000");
  EXPECT_EQ(d->item(0, 5)->text(), "100,000.00");
  celda(d, 0, 2, "3");
  celda(d, 1, 0, "NOHAY");
  EXPECT_EQ(ui.mensajes().back(), "El Producto No Se encuenta");
  celda(d, 1, 0, "");
  ASSERT_TRUE(f.BotonGuardarClick());
  EXPECT_FALSE(f.enCaptura());
  EXPECT_EQ(f.numero(), 1);
  EXPECT_EQ(d->rowCount(), 1);
  EXPECT_EQ(emp.numero("inventar.dbf", "CLPRO_I", "MART", "EXIST_I"), 13);
  f.CalculaCantidad1Click();
  EXPECT_EQ(f.lineaTotales(), "Entradas 3.00  Salidas 0.00  Existencias 3.00");
}

TEST_F(Pantallas, LaNavegacionVaDeMovimientoEnMovimiento) {
  const AjustesMovimientos a = ajustes();
  for (int tipo : {53, 4, 53}) {
    DocumentoMovimiento doc;
    doc.tipo = tipo;
    doc.fecha = "14/07/2025";
    doc.lineas = {{"MART", 1, 0, 0, {}, {}}};
    ASSERT_TRUE(guardaMovimiento(a, doc, reloj).guardado);
  }
  TFormaMovimientosInventario f(a, ui, reloj, {}, false);
  EXPECT_EQ(f.windowTitle(), "Movimientos al Inventario no Esta INTEGRADO ");
  EXPECT_EQ(f.numero(), 3);
  f.navega(Paso::Anterior);
  EXPECT_EQ(f.numero(), 2);
  EXPECT_EQ(f.concepto(), "Salida Varios");
  f.navega(Paso::Primero);
  EXPECT_EQ(f.numero(), 1);
  f.navega(Paso::Anterior);
  EXPECT_EQ(f.numero(), 1);
  f.navega(Paso::Siguiente);
  EXPECT_EQ(f.numero(), 2);
  f.navega(Paso::Ultimo);
  EXPECT_EQ(f.numero(), 3);
  f.navega(Paso::Siguiente);
  EXPECT_EQ(f.numero(), 3);
}

TEST_F(Pantallas, BuscaPorDocumentoOProductoYRepostaElInventarioInicial) {
  prueba::ProductoVenta p;
  p.clave = "CLAVO";
  p.descripcion = "Clavo";
  p.existencia = 0;
  emp.producto(p);
  const AjustesMovimientos a = ajustes();
  for (const char* clave : {"MART", "CLAVO"}) {
    DocumentoMovimiento doc;
    doc.tipo = 57;
    doc.fecha = "14/07/2025";
    doc.lineas = {{clave, 2, 5, 0, {}, {}}};
    ASSERT_TRUE(guardaMovimiento(a, doc, reloj).guardado);
  }
  TFormaMovimientosInventario f(a, ui, reloj, {}, true);
  f.buscaDocumento("1");
  EXPECT_EQ(f.numero(), 1);
  f.buscaProducto("CLAVO");
  EXPECT_EQ(f.numero(), 2);
  f.buscaDocumento("9");
  f.buscaProducto("NADA");
  EXPECT_EQ(ui.mensajes(), (V{"Ocurrio un Error al Hacer la Busqueda", "Ocurrio un Error al Hacer la Busqueda"}));
  EXPECT_EQ(f.numero(), 2);
  // Reposting an initial inventory puts its units in once more and recomputes the cost.
  EXPECT_EQ(emp.numero("inventar.dbf", "CLPRO_I", "CLAVO", "EXIST_I"), 2);
  f.actualizainventario1Click();
  EXPECT_EQ(emp.numero("inventar.dbf", "CLPRO_I", "CLAVO", "EXIST_I"), 4);
  EXPECT_EQ(emp.numero("inventar.dbf", "CLPRO_I", "CLAVO", "CPROM_I"), 5);
  EXPECT_EQ(emp.numero("inventar.dbf", "CLPRO_I", "MART", "EXIST_I"), 12);
}

TEST_F(Pantallas, OrdenPorProductoYBusquedaDeTipos) {
  prueba::ProductoVenta p;
  p.clave = "ALAMBRE";
  p.descripcion = "Alambre";
  emp.producto(p);
  const AjustesMovimientos a = ajustes();
  for (const char* clave : {"MART", "ALAMBRE", "MART"}) {
    DocumentoMovimiento doc;
    doc.tipo = 53;
    doc.fecha = "14/07/2025";
    doc.lineas = {{clave, 1, 0, 0, {}, {}}};
    ASSERT_TRUE(guardaMovimiento(a, doc, reloj).guardado);
  }
  TFormaMovimientosInventario f(a, ui, reloj, {}, true);
  f.ordena(OrdenMovimientos::Producto);
  EXPECT_EQ(f.windowTitle(), "Movimientos al Inventario Ordenado por Clave de Producto");
  f.navega(Paso::Primero);
  EXPECT_EQ(f.numero(), 2);  // ALAMBRE comes first
  f.navega(Paso::Siguiente);
  EXPECT_EQ(f.numero(), 1);
  f.navega(Paso::Siguiente);
  EXPECT_EQ(f.numero(), 3);
  f.navega(Paso::Siguiente);
  EXPECT_EQ(f.numero(), 3);
  f.navega(Paso::Anterior);
  EXPECT_EQ(f.numero(), 1);
  f.ordena(OrdenMovimientos::Numero);
  EXPECT_EQ(f.windowTitle(), "Movimientos al Inventario Ordenado por Número de Documento");
  f.navega(Paso::Siguiente);
  EXPECT_EQ(f.numero(), 2);

  TFormaConMovimiento tipos(leeConceptos(a.dirDatos));
  ASSERT_EQ(tipos.rejilla()->rowCount(), 16);
  EXPECT_EQ(tipos.rejilla()->item(8, 0)->text(), "51");
  EXPECT_EQ(tipos.rejilla()->item(8, 1)->text(), "Entrada por Compra");
  tipos.rejilla()->setCurrentCell(8, 1);
  tipos.elige();
  EXPECT_EQ(tipos.eleccion(), 51);
}

TEST_F(Pantallas, ImprimirPideUnFormatoQueExista) {
  DocumentoMovimiento doc;
  doc.tipo = 53;
  doc.fecha = "14/07/2025";
  doc.lineas = {{"MART", 1, 0, 0, {}, {}}};
  ASSERT_TRUE(guardaMovimiento(ajustes(), doc, reloj).guardado);
  TFormaMovimientosInventario f(ajustes(), ui, reloj, {}, true);
  f.ponDirectorioSistema(std::string(prueba::EmpresaVentas::kSistema));
  f.BotonImprimirClick();
  base::creaDirectorios("C:\\tvk\\report");
  base::escribeLineas("C:\\tvk\\report\\movinven.for", {"Movimiento.for"});
  f.BotonPreliminarClick();
  f.Temas1Click();
  // Labels and observations of the movement shown.
  f.Etiquetas1Click();
  EXPECT_EQ(*base::leeBytes("C:\\tvk\\etiqmi.dat"),
            "CLDOC_MI\tFEDOC_MI\tTIMOV_MI\tDECON_CM\tCLCOP_MI\tREFMO_MI\tNALMA_MI\r\n1\t14/07/2025\t53\tEntrada Varios\t\t\t1\r\n");
  EXPECT_EQ(*base::leeBytes("C:\\tvk\\etiqmid.dat"),
            "CLPRO_MI\tDESCR_MI\tCANTI_MI\tCOSUN_MI\tPUNIT_MI\r\nMART\tMartillo\t1\t0\t0\r\n");
  // The observations window opens on the movement, kind "MI".
  QTimer::singleShot(0, [] {
    auto* o = qobject_cast<ui::TFormaObservaciones*>(QApplication::activeModalWidget());
    ASSERT_NE(o, nullptr);
    o->Memo1->setPlainText("Entregado en bodega\n");
    o->BotonAceptar->click();
  });
  f.BotonObservacionClick();
  EXPECT_EQ(store::leeObservaciones(ajustes().dirDatos, "MI", "1"), std::vector<std::string>{"Entregado en bodega"});
  EXPECT_EQ(ui.mensajes(),
            (V{"El Formato C:\\tvk\\report\\movinven.for No Existe", "El Formato Movimiento.for No Existe",
               "El Archivo C:\\tvk\\ayuda\\movinv.rtf No Existe"}));
}

TEST_F(Pantallas, ElFiltroDeAlmacenSaltaLosMovimientosDeOtros) {
  const AjustesMovimientos a = ajustes();
  for (const char* almacen : {"1", "2", "1", "2"}) {
    DocumentoMovimiento doc;
    doc.tipo = 53;
    doc.fecha = "14/07/2025";
    doc.almacen = almacen;
    doc.lineas = {{"MART", 1, 0, 0, {}, {}}};
    ASSERT_TRUE(guardaMovimiento(a, doc, reloj).guardado);
  }
  TFormaMovimientosInventario f(a, ui, reloj, {}, true);
  auto* almacen = f.findChild<QSpinBox*>("EditAlmacen");
  EXPECT_EQ(almacen->value(), 2);  // the last movement's
  almacen->setValue(1);
  f.NoAlmacenChange(true);
  f.navega(Paso::Ultimo);
  EXPECT_EQ(f.numero(), 3);
  f.navega(Paso::Anterior);
  EXPECT_EQ(f.numero(), 1);
  f.navega(Paso::Anterior);
  EXPECT_EQ(f.numero(), 1);
  EXPECT_EQ(almacen->value(), 1);
  f.NoAlmacenChange(false);
  f.navega(Paso::Siguiente);
  EXPECT_EQ(f.numero(), 2);
  EXPECT_EQ(almacen->value(), 2);
}

TEST_F(Pantallas, LasImportacionesProponenSuArchivoYLoRecuerdan) {
  TFormaMovimientosInventario f(ajustes(), ui, reloj, {}, true);
  f.ponDirectorioSistema(std::string(prueba::EmpresaVentas::kSistema));
  base::creaDirectorios("C:\\importa");
  base::escribeLineas("C:\\importa\\conteo.txt", {"MART,2", "MART,x", "7501,1"});
  ui.respondeTexto(std::string("C:\\importa\\conteo.txt"));
  f.LeerArchivoTexto1Click();
  ASSERT_TRUE(f.enCaptura());
  EXPECT_EQ(f.detalle()->item(0, 0)->text(), "MART");
  EXPECT_EQ(f.detalle()->item(0, 2)->text(), "2.000");
  EXPECT_EQ(*base::leeLineas("C:\\tvk\\importa.cnf"), (V{"C:\\importa", "conteo.txt"}));
  // The movement file of another store: one movement per type, saved at once.
  TFormaMovimientosInventario g(ajustes(), ui, reloj, {}, true);
  g.ponDirectorioSistema(std::string(prueba::EmpresaVentas::kSistema));
  base::escribeLineas("C:\\tvk\\Exporta.cnf", {"C:\\importa"});
  ui.respondeTexto(std::string("C:\\importa"));
  g.ImportarArchivo1Click();
  EXPECT_EQ(ui.mensajes().back(), "No Existe ningun Movimiento...");
  base::escribeLineas("C:\\importa\\Movimientos.mov", {"1,MART,4,53"});
  ui.respondeTexto(std::string("C:\\importa"));
  g.ImportarArchivo1Click();
  EXPECT_EQ(g.numero(), 1);
  EXPECT_EQ(emp.numero("inventar.dbf", "CLPRO_I", "MART", "EXIST_I"), 14);
}

TEST_F(Pantallas, SinElDerecho35NuevoNoHaceNada) {
  TFormaMovimientosInventario f(ajustes(), ui, reloj, [](int n) { return n != 35; }, true);
  f.BotonNuevoClick();
  EXPECT_FALSE(f.enCaptura());
}

TEST_F(Pantallas, LosConceptosIntegradosNoSeBorranDesdeLaPantalla) {
  TFormacomovinv f(ajustes().dirDatos, ui);
  const int antes = f.rejilla()->rowCount();
  ASSERT_GT(antes, 0);
  f.rejilla()->setCurrentCell(0, 0);  // type 1
  f.BotonEliminarClick();
  EXPECT_EQ(ui.mensajes(), V{"El concepto no puede Eliminarse..."});
  EXPECT_EQ(f.rejilla()->rowCount(), antes);
  f.BotonNuevoClick();
  celda(f.rejilla(), antes, 0, "20");
  celda(f.rejilla(), antes, 1, "Salida a Obra");
  ASSERT_TRUE(f.BotonGuardarClick());
  EXPECT_TRUE(leeConcepto(ajustes().dirDatos, 20));
  for (int r = 0; r < f.rejilla()->rowCount(); ++r)
    if (f.rejilla()->item(r, 0)->text() == "20") f.rejilla()->setCurrentCell(r, 0);
  f.BotonEliminarClick();
  EXPECT_FALSE(leeConcepto(ajustes().dirDatos, 20));
}

TEST_F(Pantallas, KardexConFiltroDeFechasYExportacion) {
  Kardex k;
  k.filas = {{"MART", "Martillo", 5, 57, 5, 1, 6, "01/01/2025", "Inventario Inicial", "Movimiento", "", "", 0},
             {"MART", "Martillo", -7, 4, -2, 2, 0, "02/03/2025", "Salida Varios", "Movimiento", "", "", 0}};
  k.entradas = 5;
  k.salidas = 7;
  k.existencia = -2;
  TFormaCosteo f(k, "MART", ui);
  EXPECT_EQ(f.filas().rowCount(), 2);
  EXPECT_EQ(f.filas().texto(1, 4), "-2");
  EXPECT_EQ(f.filas().data(f.filas().index(1, 4), Qt::ForegroundRole).value<QColor>(), QColor(Qt::red));
  EXPECT_FALSE(f.filas().data(f.filas().index(0, 4), Qt::ForegroundRole).isValid());
  EXPECT_EQ(f.totales(), "   Entradas  5.00   Salidas  7.00  Existencias  -2.00");
  f.findChild<QDateEdit*>("FechaInicial")->setDate(QDate(2025, 2, 1));
  f.findChild<QDateEdit*>("FechaFinal")->setDate(QDate(2025, 3, 31));
  f.BotonFiltrarClick();
  EXPECT_EQ(f.findChild<QPushButton*>("BotonFiltrar")->text(), "Quitar Filtro");
  EXPECT_EQ(f.filas().rowCount(), 1);
  const std::string ruta = (dir.ruta() / "kardex.txt").string();
  ASSERT_TRUE(f.exporta(ruta));
  EXPECT_EQ(*base::leeBytes(ruta),
            "Clave\tProducto\tCantidad\tTipo Movimiento\tKardex\tNum. Mov.\tCosto\tFecha\tMovimiento\tOrigen\r\n"
            "\"MART\"\t\"Martillo\"\t-7\t4\t-2\t2\t0\t\"02/03/2025\"\t\"Salida Varios\"\t\"Movimiento\"\r\n");
  f.BotonFiltrarClick();
  EXPECT_EQ(f.filas().rowCount(), 2);

  // The chart follows the running stock; the report totals each document.
  std::unique_ptr<QDialog> g(f.creaGrafica());
  EXPECT_EQ(g->windowTitle(), "Gráfica de Kardex ");
  auto* vista = g->findChild<QChartView*>("Grafica");
  ASSERT_TRUE(vista);
  auto* serie = static_cast<QLineSeries*>(vista->chart()->series().at(0));
  ASSERT_EQ(serie->count(), 2);
  EXPECT_EQ(serie->at(1), QPointF(2, -2));
  const reports::NuevoReporte r = f.reporte();
  ASSERT_EQ(r.paginas.size(), 1u);
  std::vector<std::string> lineas;
  for (const auto& l : r.paginas[0].lineas) lineas.push_back(l.texto);
  ASSERT_GE(lineas.size(), 4u);
  EXPECT_NE(lineas[1].find("Número de Documento"), std::string::npos);
  EXPECT_NE(lineas[1].find("Total por Documento"), std::string::npos);
  EXPECT_NE(lineas[2].find("5.00"), std::string::npos);
  EXPECT_NE(lineas[3].find("-7.00"), std::string::npos);
}

TEST_F(Pantallas, LaHojaDeConteoPideDatosParaFiltrarYExporta) {
  creaHojaAjuste(ajustes());
  TFormaAjustar f(ajustes(), ui, reloj);
  EXPECT_EQ(f.filas().rowCount(), 1);
  f.BotonFiltrarClick();
  EXPECT_EQ(ui.mensajes(), V{"Faltan Datos para Filtrar..."});
  std::unique_ptr<QDialog> g(f.creaGrafica());
  EXPECT_EQ(g->findChild<QChartView*>("Grafica")->chart()->series().size(), 1);
  const reports::NuevoReporte r = f.reporte();
  ASSERT_EQ(r.paginas.size(), 1u);
  ASSERT_GE(r.paginas[0].lineas.size(), 3u);
  EXPECT_NE(r.paginas[0].lineas[1].texto.find("%Teórico"), std::string::npos);
  EXPECT_NE(r.paginas[0].lineas[2].texto.find("600.00"), std::string::npos);
  ASSERT_TRUE(f.exporta(dir.str()));
  EXPECT_EQ(*base::leeBytes(dir.str() + "/Ajuste.xls"),
            // Windows-1252 on disk, as every file the system writes.
            "Clave\tDescripci\xF3n\tTe\xF3rico\tReales\tAjuste\tCosto\tValor Te\xF3rico\tValor Reales\tValor Ajuste\t"
            "L\xEDnea\tProveedor\r\n"
            "MART\tMartillo\t10\t0\t0\t60\t600\t0\t0\t\t\r\n");
}

}  // namespace
}  // namespace mostrador::inventory
