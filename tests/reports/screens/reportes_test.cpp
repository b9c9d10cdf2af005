// The report screens headless: the viewer on a generated result (paging, the chart page
// grabbed to PNG, the 3-D toggle, printing a page range, closing), the progress screen's
// cancel button, and a definition run through the filter dialog into the report screen.

#include <gtest/gtest.h>

#include <QApplication>
#include <QBarSeries>
#include <QBarSet>
#include <QImage>
#include <QPieSeries>
#include <QBarCategoryAxis>
#include <QLineSeries>
#include <QValueAxis>
#include <filesystem>
#include <QTest>
#include <QTableWidget>
#include <QTimer>

#include "reports/concentrado.h"
#include "support/fakes_impresion.h"
#include "printing/screens/TDialogoImprimir.h"
#include "reports/screens/TFormaBarras.h"
#include "reports/screens/TFormaFormatos.h"
#include "query/screens/TFormaGraficas.h"
#include "query/screens/TFormaNuevoReporte.h"
#include "reports/screens/TFormaProgreso.h"
#include "reports/screens/TFormaReporteSQL.h"
#include "base/rutas.h"
#include "store/dbf/dbf_table.h"
#include "store/sql/sql.h"
#include "support/entorno.h"
#include "support/interaccion_fake.h"
#include "support/reloj_fijo.h"

using namespace mostrador;
using namespace mostrador::reports;
using namespace mostrador::printing;

namespace {

void aseguraAplicacion() {
  if (QApplication::instance()) return;
  static int argc = 1;
  static char nombre[] = "test_ui";
  static char* argv[] = {nombre, nullptr};
  new QApplication(argc, argv);
}

template <class T>
T* serie(QChart* c, const char* nombre) {
  for (QAbstractSeries* s : c->series())
    if (s->objectName() == nombre) return qobject_cast<T*>(s);
  return nullptr;
}

// Runs f on the next modal dialog that opens.
template <class F>
void alAbrirDialogo(F f) {
  QTimer::singleShot(0, [f] {
    if (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget())) f(d);
  });
}

class PantallasReporte : public ::testing::Test {
 protected:
  prueba::DirectorioTemporal dir;
  prueba::InteraccionFalsa ui;
  const std::string sistema = "C:\\tvk";
  const std::string datos = "C:\\datos";

  void SetUp() override {
    aseguraAplicacion();
    base::creaDirectorios(datos);
    dbf::Table::create(datos, "ventas.dbf", {{"CLAVE", 'C', 10, 0}, {"IMPORTE", 'N', 12, 2}});
    dbf::Table t;
    t.open(datos, "ventas.dbf");
    for (int i = 1; i <= 120; ++i) {
      t.append();
      char k[8];
      std::snprintf(k, sizeof k, "D%03d", i);
      t.setText("CLAVE", k);
      t.setFloat("IMPORTE", i);
      t.post();
    }
  }
  ResultadoConcentrado genera(base::Interaccion& u, std::function<bool()> cancelado = {}) {
    dbf::Table t;
    t.open(datos, "ventas.dbf");
    ParametrosConcentrado p;
    p.clave = "CLAVE";
    p.columnas = {"IMPORTE", "", "", "", "", "", "", ""};
    p.cancelado = std::move(cancelado);
    auto r = GeneraConcentrado({&t}, p, sistema, datos, u);
    if (r == ResultadoConcentrado::Hecho) {
      TitulosConcentrado(sistema, {"Día", "", "Importe", "", "", "", "", "", "", ""}, "C",
                         {'f', 'x', 'x', 'x', 'x', 'x', 'x', 'x'});
      AnchosConcentrado(sistema, {10, 0, 16, 0, 0, 0, 0, 0, 0, 0});
    }
    return r;
  }
};

TEST_F(PantallasReporte, ElVisorPaginaGraficaImprimeYBorraAlCerrar) {
  ASSERT_EQ(genera(ui), ResultadoConcentrado::Hecho);
  prueba::ImpresoraFalsa impresora;
  auto* v = new TFormaBarras(sistema, "Reporte de Ventas por Día", ui);
  v->ponImpresora(&impresora);
  v->TitulosGrafica("Gráfica de Ventas por Día", "Día", "Total por Día", "");
  v->show();
  // A generator hands over in bar mode: 12 points on the first page.
  auto* barras = serie<QBarSeries>(v->Grafica->chart(), "Series1");
  ASSERT_NE(barras, nullptr);
  EXPECT_EQ(barras->barSets().at(0)->count(), 12);
  EXPECT_EQ(v->Grafica->chart()->title(), "Gráfica de Ventas por Día");
  EXPECT_EQ(v->Estado->text(), "Página 1 de  10");
  v->BotonSiguienteClick();
  EXPECT_EQ(serie<QBarSeries>(v->Grafica->chart(), "Series1")->barSets().at(0)->at(0), 13);

  const std::string png = dir.str() + "/grafica.png";
  ASSERT_TRUE(v->Grafica->grab().save(QString::fromStdString(png), "PNG"));
  QImage imagen(QString::fromStdString(png));
  EXPECT_FALSE(imagen.isNull());
  EXPECT_GT(imagen.width(), 100);

  QTest::mouseClick(v->Grafica->viewport(), Qt::RightButton);
  EXPECT_TRUE(v->tresD());
  v->BotonPieClick();
  EXPECT_NE(serie<QPieSeries>(v->Grafica->chart(), "Series2"), nullptr);

  // Text pages from the first.
  v->BotonReporteClick();
  EXPECT_EQ(v->Estado->text(), "Página 1 de  3");
  EXPECT_TRUE(v->Concentrado->toPlainText().startsWith("Reporte de Ventas por Día\nDía"));
  v->BotonSiguienteClick();
  v->BotonSiguienteClick();
  EXPECT_EQ(v->Estado->text(), "Página 3 de  3");
  EXPECT_TRUE(v->Concentrado->toPlainText().contains("TOTALES"));

  // Pages 2 to 3 through the page range dialog.
  alAbrirDialogo([](QDialog* d) {
    auto* r = qobject_cast<TDialogoImprimir*>(d);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->windowTitle(), "Rango");
    r->PrimeraPagina->setValue(2);
    QTest::mouseClick(r->BotonAceptar, Qt::LeftButton);
  });
  v->BotonImprimeClick();
  EXPECT_EQ(impresora.con("nuevaPagina").size(), 1u);
  const auto textos = impresora.con("texto");
  ASSERT_FALSE(textos.empty());
  EXPECT_NE(textos.back().find("     Pag 3"), std::string::npos) << textos.back();

  v->close();
  EXPECT_FALSE(base::existe(base::une(sistema, kArchivoFinal)));
  EXPECT_FALSE(base::existe(base::une(sistema, kArchivoEtiquetas)));
  delete v;
}

TEST_F(PantallasReporte, ElAvanceAutomaticoSeDetieneAlFinal) {
  ASSERT_EQ(genera(ui), ResultadoConcentrado::Hecho);
  TFormaBarras v(sistema, "X", ui);
  v.TitulosGrafica("G", "a", "b", "");
  v.ponIntervalo(5);
  v.show();
  v.BotonAutomaticoClick();
  EXPECT_TRUE(v.automatico());
  QTRY_VERIFY_WITH_TIMEOUT(!v.automatico(), 5000);
  EXPECT_EQ(v.Estado->text(), "Página 10 de  10");
  EXPECT_TRUE(v.visor().grafica().fin);
  // Started and stopped by hand.
  v.BotonAnteriorClick();
  v.BotonAutomaticoClick();
  v.BotonAutomaticoClick();
  EXPECT_FALSE(v.automatico());
  EXPECT_EQ(v.Estado->text(), "Página 9 de  10");
}

TEST_F(PantallasReporte, ElBotonCancelarDelProgresoDetieneLaGeneracion) {
  TFormaProgreso progreso(ui);
  bool pulsado = false;
  auto r = genera(progreso, [&] {
    if (!pulsado) {
      pulsado = true;
      EXPECT_EQ(progreso.Mensaje->text(), "Leyendo Datos");
      EXPECT_EQ(progreso.Espere->text(), "Espere por Favor");
      QTest::mouseClick(progreso.BotonCancelar, Qt::LeftButton);
    }
    return progreso.cancelado();
  });
  EXPECT_EQ(r, ResultadoConcentrado::Cancelado);
  EXPECT_FALSE(base::existe(base::une(sistema, kArchivoFinal)));
  EXPECT_FALSE(base::existe(base::une(sistema, kArchivoConcen)));
  EXPECT_GT(progreso.Barra->value(), 0);
}

TEST_F(PantallasReporte, UnaDefinicionPasaPorElDialogoDeFiltroYLaHojaDeReporte) {
  prueba::RelojFijo reloj{{{2024, 3, 5}, {9, 0, 0, 0}}};
  TFormaFormatos dialogo;
  ContextoReporte ctx{sistema, datos, ui, &dialogo, &reloj};
  ParametrosReporte p;
  p.definicion = "$Ventas\r&Select CLAVE,IMPORTE from \"" + base::une(datos, "ventas.dbf") + "\"\r?IMPORTE>0 \xC2\xBF\r"
                 "!CLAVE\r%c t\r#CLAVE     IMPORTE      \r@";
  p.tabla = "ventas.dbf";
  alAbrirDialogo([](QDialog* d) {
    auto* f = qobject_cast<TFormaFormatos*>(d);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->windowTitle(), "Datos del Reporte");
    EXPECT_EQ(f->De->text(), "D001");
    EXPECT_EQ(f->Hasta->text(), "D120");
    EXPECT_EQ(f->Inicial->date(), QDate(2024, 3, 5));
    f->Hasta->setText("D002");
    QTest::keyClick(f->De, Qt::Key_Return);
  });
  auto r = EjecutaReporte(ctx, "Ventas", "CLAVE", "", p);
  ASSERT_TRUE(r);
  TFormaReporteSQL hoja(std::move(r), ui);
  EXPECT_EQ(hoja.windowTitle(), "Reporte de Ventas");
  const QStringList l = hoja.Hoja->toPlainText().split('\n');
  ASSERT_GE(l.size(), 7);
  EXPECT_EQ(l[0], "*Reporte de Ventas");
  EXPECT_EQ(l[4], "D001              1.00  ");
  EXPECT_EQ(l[5], "D002              2.00  ");
  EXPECT_EQ(hoja.Estado->text(), "Páginas  1");

  // Cancelled: no report.
  alAbrirDialogo([](QDialog* d) { QTest::mouseClick(qobject_cast<TFormaFormatos*>(d)->BotonAceptar, Qt::LeftButton); });
  EXPECT_EQ(EjecutaReporte(ctx, "Ventas", "CLAVE", "", p), nullptr);
  EXPECT_EQ(dialogo.respuesta(), 3);
}

TEST_F(PantallasReporte, ElVisorConUnaConsultaTotalizaPorMoneda) {
  sql::BaseSql base;
  auto r = base.consulta("Select CLAVE,'',IMPORTE,0,0,0,0,0,0,'M.N.' from \"" + base::une(datos, "ventas.dbf") + "\"");
  TFormaBarras v(sistema, "Ventas por Moneda", ui);
  v.usaConsulta(std::make_unique<VisorConsulta>("Ventas por Moneda", std::move(r),
                                                std::array<std::string, 10>{"Clave", "Moneda", "Importe"},
                                                std::array<int, 10>{8, 8, 16}, std::vector<MonedaVisor>{}));
  v.show();
  EXPECT_EQ(v.Estado->text(), "Página 1 de  3");
  EXPECT_FALSE(v.Concentrado->toPlainText().contains("TOTALES"));
  v.BotonSiguienteClick();
  v.BotonSiguienteClick();
  EXPECT_EQ(v.Estado->text(), "Página 3 de  3");
  // 1 + 2 + ... + 120, all in the local currency.
  EXPECT_TRUE(v.Concentrado->toPlainText().contains("TOTALES  M.N.     $      7,260.00")) << v.Concentrado->toPlainText().toStdString();
  v.BotonAnteriorClick();
  EXPECT_EQ(v.Estado->text(), "Página 2 de  3");
}

TEST_F(PantallasReporte, ElValorDeUnaCondicionSeEligeDeLosValoresDeLaTabla) {
  TFormaFormatos dialogo;
  ContextoReporte ctx{sistema, datos, ui, &dialogo, nullptr};
  ParametrosReporte p;
  p.definicion = "&Select CLAVE,IMPORTE from \"" + base::une(datos, "ventas.dbf") + "\"\r?IMPORTE>0 \xC2\xBF\r"
                 "!CLAVE\r%c t\r#CLAVE     IMPORTE      \r@";
  p.tabla = "ventas.dbf";
  alAbrirDialogo([](QDialog* d) {
    auto* f = qobject_cast<TFormaFormatos*>(d);
    ASSERT_NE(f, nullptr);
    ASSERT_EQ(f->Condicion[0]->count(), 3);  // none, CLAVE, IMPORTE
    f->Condicion[0]->setCurrentIndex(1);
    alAbrirDialogo([](QDialog* picker) {
      auto* t = picker->findChild<QTableWidget*>();
      ASSERT_NE(t, nullptr);
      EXPECT_EQ(t->rowCount(), 120);
      t->setCurrentCell(6, 0);
      QTest::keyClick(t, Qt::Key_Return);
    });
    QTest::mouseDClick(f->Valor[0], Qt::LeftButton);
    EXPECT_EQ(f->Valor[0]->text(), "D007");
    f->De->clear();
    QTest::mouseClick(f->BitBtn4, Qt::LeftButton);
  });
  auto r = EjecutaReporte(ctx, "Ventas", "CLAVE", "", p);
  ASSERT_TRUE(r);
  EXPECT_DOUBLE_EQ(r->total(0, 1), 7);
}

TEST_F(PantallasReporte, LaRejillaDeConsultaPaginaSumaYMuestraElReporte) {
  sql::BaseSql base;
  auto r = base.consulta("Select CLAVE,IMPORTE from \"" + base::une(datos, "ventas.dbf") + "\"");
  TFormaGraficas g(*r, ui);
  EXPECT_EQ(g.Detalle->rowCount(), 100);
  EXPECT_EQ(g.Estado->text(), "Página 1 de  2");
  g.BotonSiguienteClick();
  EXPECT_EQ(g.Detalle->rowCount(), 20);
  EXPECT_EQ(g.Detalle->item(0, 0)->text(), "D101");
  g.Consecutivo1->trigger();
  EXPECT_EQ(g.Detalle->horizontalHeaderItem(0)->text(), "CONSEC");
  EXPECT_EQ(g.Detalle->item(0, 0)->text(), "101");
  g.Detalle->setCurrentCell(0, 2);
  g.Suma1Click();
  g.Detalle->setCurrentCell(0, 1);
  g.Suma1Click();
  EXPECT_EQ(ui.mensajes(), (std::vector<std::string>{"La Suma es : 7,260.00",
                                                     "No es Posible Relizar la operación en esta columna"}));
  alAbrirDialogo([](QDialog* d) {
    auto* n = qobject_cast<TFormaNuevoReporte*>(d);
    ASSERT_NE(n, nullptr);
    EXPECT_EQ(n->Estado->text(), "Página 1");
    EXPECT_TRUE(n->Hoja->toPlainText().startsWith("*************Reporte*********\nCONSEC"));
    n->BotonSiguienteClick();
    n->BotonSiguienteClick();
    EXPECT_EQ(n->Estado->text(), "Página 3");
    EXPECT_TRUE(n->Hoja->toPlainText().contains("TOTALES"));
    n->accept();
  });
  g.BotonImprimeClick();
}

}  // namespace

namespace {

// The page range dialog accepted as it comes.
void aceptaRango() {
  alAbrirDialogo([](QDialog* d) {
    auto* r = qobject_cast<TDialogoImprimir*>(d);
    ASSERT_NE(r, nullptr);
    QTest::mouseClick(r->BotonAceptar, Qt::LeftButton);
  });
}

}  // namespace

TEST_F(PantallasReporte, SinImpresoraElVisorLoDiceYOfreceElPdf) {
  ASSERT_EQ(genera(ui), ResultadoConcentrado::Hecho);
  prueba::ImpresoraFalsa impresora;
  impresora.sinImpresora = true;
  TFormaBarras v(sistema, "Reporte de Ventas por Día", ui);
  v.ponImpresora(&impresora);
  v.TitulosGrafica("Gráfica de Ventas por Día", "Día", "Total por Día", "");
  v.show();
  v.BotonReporteClick();
  ui.olvidaLlamadas();  // the generator's progress

  // A name without extension gets ".pdf"; the pages go to that file.
  const std::string pdf = dir.str() + "/ventas";
  ui.respondeArchivo(pdf);
  aceptaRango();
  v.BotonImprimeClick();
  EXPECT_EQ(ui.llamadas(), (std::vector<std::string>{"mensaje: La Impresora No Se Encuentra Lista...",
                                                     "guarda archivo: Guardar como PDF (PDF (*.pdf)|*.pdf)"}));
  ASSERT_TRUE(std::filesystem::exists(pdf + ".pdf"));
  EXPECT_GT(std::filesystem::file_size(pdf + ".pdf"), 0u);
  // Nothing was drawn on the printer that did not take the job.
  EXPECT_TRUE(impresora.con("texto").empty());

  // Declining the PDF prints nothing anywhere; the chart mode says the same.
  ui.olvidaLlamadas();
  ui.respondeArchivo(std::nullopt);
  v.BotonGraficaClick();
  aceptaRango();
  v.BotonImprimeClick();
  EXPECT_EQ(ui.llamadas(), (std::vector<std::string>{"mensaje: La Impresora No Se Encuentra Lista...",
                                                     "guarda archivo: Guardar como PDF (PDF (*.pdf)|*.pdf)"}));
  EXPECT_TRUE(impresora.con("imagen").empty());
}

TEST_F(PantallasReporte, SinImpresoraLaHojaDeReporteLoDiceYOfreceElPdf) {
  FiltroFijo filtro(std::nullopt, std::nullopt);
  ContextoReporte ctx{sistema, datos, ui, &filtro, nullptr};
  ParametrosReporte p;
  p.definicion = "$Ventas\r&Select CLAVE,IMPORTE from \"" + base::une(datos, "ventas.dbf") + "\"\r?IMPORTE>0 \xC2\xBF\r"
                 "!CLAVE\r%c t\r#CLAVE     IMPORTE      \r@";
  p.tabla = "ventas.dbf";
  auto r = EjecutaReporte(ctx, "Ventas", "CLAVE", "", p);
  ASSERT_TRUE(r);
  TFormaReporteSQL hoja(std::move(r), ui);
  prueba::ImpresoraFalsa impresora;
  impresora.sinImpresora = true;
  hoja.ponImpresora(&impresora);
  const std::string pdf = dir.str() + "/hoja.pdf";
  ui.olvidaLlamadas();
  ui.respondeArchivo(pdf);
  aceptaRango();
  hoja.BotonImprimeClick();
  EXPECT_EQ(ui.llamadas(), (std::vector<std::string>{"mensaje: La Impresora No Se Encuentra Lista...",
                                                     "guarda archivo: Guardar como PDF (PDF (*.pdf)|*.pdf)"}));
  ASSERT_TRUE(std::filesystem::exists(pdf));
  EXPECT_GT(std::filesystem::file_size(pdf), 0u);

  // With a printer the job goes there and nothing is asked.
  impresora.sinImpresora = false;
  ui.olvidaLlamadas();
  aceptaRango();
  hoja.BotonImprimeClick();
  EXPECT_TRUE(ui.llamadas().empty());
  EXPECT_FALSE(impresora.con("texto").empty());
}

TEST_F(PantallasReporte, LasGraficasRotulanConLasClavesYMarcasRedondas) {
  ASSERT_EQ(genera(ui), ResultadoConcentrado::Hecho);
  TFormaBarras v(sistema, "Reporte de Ventas por Día", ui);
  v.TitulosGrafica("Gráfica de Ventas por Día", "Día", "Total por Día", "");
  v.show();
  v.BotonLineasClick();
  QChart* c = v.Grafica->chart();
  ASSERT_NE(serie<QLineSeries>(c, "Series3"), nullptr);
  auto* x = c->findChild<QBarCategoryAxis*>();
  if (!x)
    for (QAbstractAxis* a : c->axes(Qt::Horizontal)) x = qobject_cast<QBarCategoryAxis*>(a);
  ASSERT_NE(x, nullptr);
  ASSERT_EQ(x->count(), 12);
  EXPECT_EQ(x->at(0), "D001");
  EXPECT_EQ(x->at(11), "D012");
  EXPECT_EQ(x->titleText(), "Día");
  QValueAxis* y = nullptr;
  for (QAbstractAxis* a : c->axes(Qt::Vertical)) y = qobject_cast<QValueAxis*>(a);
  ASSERT_NE(y, nullptr);
  // Largest value 12: the axis runs to 112 with ticks every 50 from 0.
  EXPECT_EQ(y->max(), 112);
  EXPECT_EQ(y->tickType(), QValueAxis::TicksDynamic);
  EXPECT_EQ(y->tickAnchor(), 0);
  EXPECT_EQ(y->tickInterval(), 50);
  EXPECT_EQ(y->labelFormat(), "%.0f");

  // The bars use the same keys and ticks.
  v.BotonGraficaClick();
  c = v.Grafica->chart();
  QBarCategoryAxis* xb = nullptr;
  for (QAbstractAxis* a : c->axes(Qt::Horizontal)) xb = qobject_cast<QBarCategoryAxis*>(a);
  ASSERT_NE(xb, nullptr);
  EXPECT_EQ(xb->at(0), "D001");
  for (QAbstractAxis* a : c->axes(Qt::Vertical)) y = qobject_cast<QValueAxis*>(a);
  EXPECT_EQ(y->tickInterval(), 50);
}

TEST_F(PantallasReporte, ElBotonTextoMuestraLasPaginasDeTextoSimple) {
  ASSERT_EQ(genera(ui), ResultadoConcentrado::Hecho);
  TFormaBarras v(sistema, "Reporte de Ventas por Día", ui);
  v.TitulosGrafica("G", "Día", "Total", "");
  v.show();
  ASSERT_NE(v.BotonTexto, nullptr);
  EXPECT_EQ(v.BotonTexto->text(), "Texto");
  QTest::mouseClick(v.BotonTexto, Qt::LeftButton);
  EXPECT_EQ(v.visor().modo(), ModoVista::Texto);
  EXPECT_FALSE(v.Grafica->isVisible());
  EXPECT_TRUE(v.Concentrado->isVisible());
  EXPECT_EQ(v.Estado->text(), "Página 1 de  3");
  EXPECT_TRUE(v.Concentrado->toPlainText().contains("D001"));
}
