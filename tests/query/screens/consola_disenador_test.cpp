// The query console and the format designer headless, driven through their controls.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTextBlock>

#include "support/principal_aplicacion.h"
#include "designers/screens/TFormaEdicion.h"
#include "query/screens/TFormaSQL.h"
#include "query/screens/TFormaTipos.h"
#include "base/rutas.h"
#include "base/texto.h"
#include "store/dbf/dbf_table.h"
#include "support/entorno.h"
#include "support/interaccion_fake.h"
#include "support/procesos_falsos.h"

using namespace mostrador;
using prueba::aplicacionQt;

namespace {

template <class T>
T* hijo(QWidget& w, const char* nombre) {
  T* r = w.findChild<T*>(nombre);
  EXPECT_NE(r, nullptr) << nombre;
  return r;
}

TEST(PantallaSQL, WritesASpanishQueryRunsItPagesAndExports) {
  aplicacionQt();
  prueba::DirectorioTemporal dir;
  const std::string sistema = dir.str() + "/tvk", datos = dir.str() + "/datos";
  base::creaDirectorios(sistema);
  base::creaDirectorios(datos);
  dbf::Table::create(datos, "cliente.dbf", {{"CLCLI_C", 'C', 10, 0}, {"SALDO_C", 'N', 12, 2}});
  {
    dbf::Table t;
    t.open(datos, "cliente.dbf");
    for (int i = 1; i <= 60; ++i) {
      t.append();
      t.setText("CLCLI_C", std::to_string(1000 + i));
      t.setFloat("SALDO_C", i == 60 ? -1 : 2.5);
      t.post();
    }
  }
  prueba::InteraccionFalsa ui;
  base::TablaProgramas programas([](std::string_view) { return false; }, "/bin/yo");
  programas.asigna("EXCEL.EXE", {"hoja", "{args}"});
  prueba::ProcesosFalsos procesos;
  TFormaSQL f(ui, sistema, datos, "EXCEL.EXE", programas, procesos);

  QTest::mouseClick(hijo<QPushButton>(f, "BitBtn2"), Qt::LeftButton);
  auto* codigo = hijo<QPlainTextEdit>(f, "Codigo");
  EXPECT_EQ(codigo->toPlainText().toStdString(), "Select\n\n\n\nFrom \"" + datos + "\\cliente.dbf\"");

  codigo->setPlainText("selecciona clcli_c, saldo_c desde cliente cuando saldo_c > 0 o clcli_c = \"1060\"");
  QTest::mouseClick(hijo<QPushButton>(f, "BitBtn1"), Qt::LeftButton);
  EXPECT_EQ(hijo<QPlainTextEdit>(f, "Traduccion")->toPlainText().toStdString(),
            "SELECT clcli_c, saldo_c FROM cliente WHERE saldo_c > 0 OR clcli_c = \"1060\" ");
  auto* grid = hijo<QTableWidget>(f, "DBGrid1");
  auto* siguiente = hijo<QPushButton>(f, "BotonSiguiente");
  auto* anterior = hijo<QPushButton>(f, "BotonAnterior");
  EXPECT_EQ(grid->rowCount(), 50);
  EXPECT_EQ(grid->item(0, 0)->text(), "1001");
  EXPECT_TRUE(siguiente->isEnabled());
  EXPECT_FALSE(anterior->isEnabled());
  QTest::mouseClick(siguiente, Qt::LeftButton);
  EXPECT_EQ(grid->rowCount(), 10);
  EXPECT_EQ(grid->item(9, 0)->text(), "1060");
  EXPECT_EQ(grid->item(9, 1)->text(), "-1");
  EXPECT_FALSE(siguiente->isEnabled());
  EXPECT_TRUE(anterior->isEnabled());

  f.aplicaTipo(1, 'n');
  EXPECT_EQ(grid->horizontalHeaderItem(1)->foreground().color(), QColor(0, 128, 0));
  f.aplicaTipo(0, 'i');
  EXPECT_TRUE(grid->isColumnHidden(0));
  grid->setCurrentCell(0, 1);
  QTest::mouseClick(hijo<QPushButton>(f, "Sumar1"), Qt::LeftButton);
  EXPECT_EQ(ui.mensajes(), (std::vector<std::string>{"La Suma es : 146.50"}));

  const std::string archivo = dir.str() + "/clientes.xls";
  ui.respondeArchivo(archivo);
  QTest::mouseClick(hijo<QPushButton>(f, "BitBtn4"), Qt::LeftButton);
  auto lineas = base::leeLineas(archivo);
  ASSERT_TRUE(lineas);
  ASSERT_EQ(lineas->size(), 61u);
  EXPECT_EQ((*lineas)[0], "CLCLI_C\tSALDO_C\t");
  EXPECT_EQ((*lineas)[60], "1060\t-1\t");
  ASSERT_EQ(procesos.llamadas.size(), 1u);
  EXPECT_EQ(procesos.llamadas[0].argumentos, (std::vector<std::string>{archivo}));

  // A new run resets the kinds.
  QTest::mouseClick(hijo<QPushButton>(f, "BitBtn1"), Qt::LeftButton);
  EXPECT_FALSE(grid->isColumnHidden(0));
}

TEST(PantallaSQL, LoadsAQueryFileChosenInArchivo) {
  aplicacionQt();
  prueba::DirectorioTemporal dir;
  const std::string sistema = dir.str() + "/tvk";
  base::creaDirectorios(base::une(sistema, "report"));
  base::escribeLineas(base::une(base::une(sistema, "report"), "saldos.sql"), {"selecciona *", "desde cliente"});
  prueba::InteraccionFalsa ui;
  base::TablaProgramas programas([](std::string_view) { return false; }, "/bin/yo");
  prueba::ProcesosFalsos procesos;
  TFormaSQL f(ui, sistema, dir.str(), "EXCEL.EXE", programas, procesos);
  auto* archivo = hijo<QComboBox>(f, "Archivo");
  archivo->setCurrentText("saldos.sql");
  EXPECT_EQ(hijo<QPlainTextEdit>(f, "Codigo")->toPlainText(), "selecciona *\ndesde cliente");
}

TEST(PromptsConsola, ColumnWidthDefaultsToTwenty) {
  EXPECT_EQ(anchoColumnaTecleado(""), "20");
  EXPECT_EQ(anchoColumnaTecleado("doce"), "20");
  EXPECT_EQ(anchoColumnaTecleado(" 35 "), "35");
  aplicacionQt();
  TFormaTipos t;
  t.eligeTipo('m');
  EXPECT_EQ(t.tipo(), 'm');
}

TEST(PantallaDisenador, DesignsALineChecksItAndSketchesIt) {
  aplicacionQt();
  prueba::DirectorioTemporal dir;
  const std::string sistema = dir.str() + "/tvk";
  base::creaDirectorios(base::une(sistema, "define"));
  base::escribeLineas(base::une(base::une(sistema, "define"), "Clientes.cam"),
                       {"[000]CLCLI_C  Clave", "[001]NOMBR_C  Nombre"});
  prueba::InteraccionFalsa ui;
  TFormaEdicion f(sistema);
  f.modoDiseno(ui);
  ASSERT_TRUE(f.enDiseno());
  auto* codigo = hijo<QPlainTextEdit>(f, "Codigo");
  codigo->setFocus();
  QTest::keyClicks(codigo, "color(rojo)");
  QTest::keyClick(codigo, Qt::Key_Return);
  QTest::keyClicks(codigo, "@3,4,");
  EXPECT_EQ(hijo<QLabel>(f, "LabelLinea")->text(), "2");
  EXPECT_EQ(hijo<QLabel>(f, "LabelColumna")->text(), "6");

  // F2 offers the module's fields; Enter appends the reference to the line.
  QTest::keyClick(codigo, Qt::Key_F2);
  auto* lista = hijo<QListWidget>(f, "ListaCampos");
  ASSERT_EQ(lista->count(), 2);
  lista->setCurrentRow(1);
  QTest::keyClick(lista, Qt::Key_Return);
  EXPECT_TRUE(lista->isHidden());
  EXPECT_EQ(f.lineasCodigo(), (std::vector<std::string>{"color(rojo)", "@3,4,[001]"}));

  codigo->appendPlainText("cua(1,2.5,3,4)");
  QTest::mouseClick(hijo<QPushButton>(f, "Compilar1"), Qt::LeftButton);
  EXPECT_EQ(f.revision(), (std::vector<bool>{true, true, false}));
  EXPECT_EQ(codigo->document()->findBlockByNumber(2).begin().fragment().charFormat().foreground().color(),
            QColor(Qt::red));
  EXPECT_EQ(codigo->document()->findBlockByNumber(1).begin().fragment().charFormat().foreground().color(),
            QColor(Qt::black));
  ASSERT_EQ(f.boceto().size(), 1u);
  EXPECT_EQ(f.boceto()[0], (designers::ElementoBoceto{designers::ElementoBoceto::Texto, 6, 20, 0, 0, "[001]", "rojo", 0}));
  // The sketch is drawn on the sheet in red.
  QImage hoja = f.hoja()->grab().toImage();
  bool rojo = false;
  for (int y = 20; y < 40 && !rojo; ++y)
    for (int x = 6; x < 60 && !rojo; ++x) rojo = hoja.pixelColor(x, y).red() > 150 && hoja.pixelColor(x, y).green() < 100;
  EXPECT_TRUE(rojo);

  const std::string ruta = dir.str() + "/nuevo.for";
  ui.respondeArchivo(ruta);
  QTest::mouseClick(hijo<QPushButton>(f, "Guardar1"), Qt::LeftButton);
  EXPECT_EQ(*base::leeBytes(ruta), "color(rojo)\r\n@3,4,[001]\r\ncua(1,2.5,3,4)\r\n");
  ui.respondeAdvertencia(base::RespuestaAdvertencia::No);
  codigo->setPlainText("otro");
  QTest::mouseClick(hijo<QPushButton>(f, "Guardar1"), Qt::LeftButton);
  EXPECT_EQ(*base::leeBytes(ruta), "color(rojo)\r\n@3,4,[001]\r\ncua(1,2.5,3,4)\r\n");
}

TEST(PantallaDisenador, TheAssistantSavesPlacedFieldsAndLabels) {
  aplicacionQt();
  prueba::DirectorioTemporal dir;
  const std::string sistema = dir.str() + "/tvk";
  base::creaDirectorios(base::une(sistema, "tempo"));
  prueba::InteraccionFalsa ui;
  TFormaEdicion f(sistema);
  f.modoDiseno(ui);
  f.Carta1Click();
  QTest::mouseClick(hijo<QPushButton>(f, "Asistente"), Qt::LeftButton);
  QTest::mouseClick(hijo<QPushButton>(f, "HerramientaCampo"), Qt::LeftButton);
  f.clicEnHoja(QPoint(0, 0));  // QTest reads a null point as the middle of the sheet
  QTest::mouseClick(hijo<QPushButton>(f, "HerramientaEtiqueta"), Qt::LeftButton);
  // 612 × 0.0125 = 7.65 points a column, 792 / 53 a row.
  QTest::mouseClick(f.hoja(), Qt::LeftButton, {}, QPoint(153, 299));
  QTest::mouseClick(hijo<QPushButton>(f, "HerramientaCuadro"), Qt::LeftButton);
  QTest::mouseClick(f.hoja(), Qt::LeftButton, {}, QPoint(300, 300));
  const std::string ruta = dir.str() + "/asistente.for";
  ui.respondeArchivo(ruta);
  QTest::mouseClick(hijo<QPushButton>(f, "Guardar1"), Qt::LeftButton);
  EXPECT_EQ(*base::leeBytes(ruta), "@0.00,0.00,Campo1\r\n@20.00,20.01,Etiqueta1\r\n");
  EXPECT_EQ(f.lineasCodigo(), (std::vector<std::string>{"@0.00,0.00,Campo1", "@20.00,20.01,Etiqueta1"}));
}

}  // namespace

namespace {

TEST(PantallaDisenador, OpensNewAndPrinterLineAndWidensTheEditor) {
  aplicacionQt();
  prueba::DirectorioTemporal dir;
  const std::string sistema = dir.str() + "/tvk";
  const std::string formato = dir.str() + "/factura.for";
  base::escribeLineas(formato, {"@1,1,[000]", "tamaño(12)"});
  prueba::InteraccionFalsa ui;
  TFormaEdicion f(sistema);
  f.modoDiseno(ui, formato);
  EXPECT_EQ(f.lineasCodigo(), (std::vector<std::string>{"@1,1,[000]", "tamaño(12)"}));
  EXPECT_EQ(f.archivo(), formato);
  f.agregaImpresora("Epson LX-300");
  EXPECT_EQ(f.lineasCodigo().front(), "impresora,Epson LX-300");
  QTest::mouseClick(hijo<QPushButton>(f, "Nuevo1"), Qt::LeftButton);
  EXPECT_TRUE(f.lineasCodigo().empty());
  EXPECT_EQ(f.archivo(), "");

  ui.respondeArchivo(formato);
  QTest::mouseClick(hijo<QPushButton>(f, "Abrir1"), Qt::LeftButton);
  EXPECT_EQ(f.lineasCodigo().size(), 2u);
  ui.respondeArchivo(dir.str() + "/no.for");
  QTest::mouseClick(hijo<QPushButton>(f, "Abrir1"), Qt::LeftButton);
  EXPECT_EQ(ui.mensajes(), (std::vector<std::string>{"El Archivo " + dir.str() + "/no.for No Existe"}));
  EXPECT_EQ(f.lineasCodigo().size(), 2u);

  auto* codigo = hijo<QPlainTextEdit>(f, "Codigo");
  QTest::mouseClick(hijo<QPushButton>(f, "AumentarEditor1"), Qt::LeftButton);
  EXPECT_EQ(codigo->width(), 603);
  EXPECT_EQ(codigo->font().pointSize(), 14);
  QTest::mouseClick(hijo<QPushButton>(f, "AumentarEditor1"), Qt::LeftButton);
  EXPECT_EQ(codigo->width(), 360);

  // A ".fmt" named on opening is not loaded into the editor.
  TFormaEdicion g(sistema);
  base::escribeLineas(dir.str() + "/ticket.fmt", {"x"});
  g.modoDiseno(ui, dir.str() + "/ticket.fmt");
  EXPECT_TRUE(g.lineasCodigo().empty());
}

}  // namespace
