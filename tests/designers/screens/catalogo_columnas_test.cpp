// The catalogue browser's grid as it is drawn (whole titles, the grid's width filled,
// amounts with two decimals, the kind and width commands), and a view of the view
// designer saved under its name, opened again and run.
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QHeaderView>
#include <QScrollBar>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>

#include "base/rutas.h"
#include "designers/diseno_vista.h"
#include "designers/screens/TFormaCatalogo.h"
#include "designers/screens/TFormaDisenoVista.h"
#include "store/dbf/dbf_table.h"
#include "support/entorno.h"
#include "support/interaccion_fake.h"
#include "support/principal_aplicacion.h"
#include "support/procesos_falsos.h"

using namespace mostrador;
using prueba::aplicacionQt;

namespace {

struct Columnas : ::testing::Test {
  prueba::DirectorioTemporal dir;
  const std::string sistema = "C:\\tvk", datos = "C:\\datos";
  prueba::InteraccionFalsa ui;
  base::TablaProgramas programas{[](std::string_view) { return false; }, "/bin/yo"};
  prueba::ProcesosFalsos procesos;

  void SetUp() override {
    aplicacionQt();
    base::creaDirectorios(sistema);
    base::creaDirectorios(datos);
    dbf::Table::create(datos, "cliente.dbf",
                       {{"CLCLI_C", 'C', 6, 0}, {"NOMBR_C", 'C', 12, 0}, {"SALDO_C", 'N', 14, 4}},
                       {{"ICLACLI", "CLCLI_C"}});
    dbf::Table t;
    t.open(datos, "cliente.dbf");
    for (auto [clave, nombre, saldo] : {std::tuple{"C2", "Luis", 1234.5}, std::tuple{"C1", "Ana", -12.3456}}) {
      t.append();
      t.setText("CLCLI_C", clave);
      t.setText("NOMBR_C", nombre);
      t.setFloat("SALDO_C", saldo);
      t.post();
    }
    dbf::Table::create(sistema, "campos.dbf",
                       {{"TABLA", 'C', 15, 0}, {"CAMPO", 'C', 10, 0}, {"DESCRIBE", 'C', 40, 0},
                        {"TIPO", 'C', 10, 0}, {"TAMO", 'N', 4, 0}},
                       {{"TABLA", "TABLA"}, {"CAMPO", "CAMPO"}});
    dbf::Table c;
    c.open(sistema, "campos.dbf");
    for (auto [campo, desc, tipo, tam] : {std::tuple{"CLCLI_C", "Clave del cliente", "Cadena", 6},
                                          std::tuple{"NOMBR_C", "Nombre", "Cadena", 12},
                                          std::tuple{"SALDO_C", "Saldo", "Numérico", 14}}) {
      c.append();
      c.setText("TABLA", "cliente.dbf");
      c.setText("CAMPO", campo);
      c.setText("DESCRIBE", desc);
      c.setText("TIPO", tipo);
      c.setInteger("TAMO", tam);
      c.post();
    }
  }
  std::unique_ptr<TFormaCatalogo> catalogo() {
    auto f = std::make_unique<TFormaCatalogo>(ui, sistema, datos, "cliente.dbf",
                                              std::vector<TFormaCatalogo::Columna>{}, "EXCEL.EXE", programas, procesos);
    f->resize(900, 500);
    f->show();
    QApplication::processEvents();
    return f;
  }
  static QString celda(QTableView* g, int fila, int columna) {
    return g->model()->data(g->model()->index(fila, columna)).toString();
  }
};

TEST_F(Columnas, TitlesAreWholeAndTheColumnsFillTheGrid) {
  auto f = catalogo();
  QTableView* g = f->rejilla();
  QHeaderView* h = g->horizontalHeader();
  ASSERT_EQ(g->model()->columnCount(), 3);
  const QFontMetrics fm(h->font());
  int suma = 0;
  for (int c = 0; c < 3; ++c) {
    const QString titulo = g->model()->headerData(c, Qt::Horizontal).toString();
    // The title's whole width fits in its section, and it is drawn from the left.
    EXPECT_GE(h->sectionSize(c), fm.horizontalAdvance(titulo)) << titulo.toStdString();
    EXPECT_EQ(g->model()->headerData(c, Qt::Horizontal, Qt::TextAlignmentRole).value<Qt::Alignment>(),
              Qt::AlignLeft | Qt::AlignVCenter);
    EXPECT_EQ(g->model()->headerData(c, Qt::Horizontal, Qt::ToolTipRole).toString(), titulo);
    suma += h->sectionSize(c);
  }
  EXPECT_FALSE(g->horizontalScrollBar()->isVisible());
  EXPECT_EQ(g->model()->headerData(0, Qt::Horizontal).toString(), "Clave del cliente");
  EXPECT_EQ(suma, g->viewport()->width());
  // A wider window: still filled to the edge.
  f->resize(1200, 500);
  QApplication::processEvents();

  suma = 0;
  for (int c = 0; c < 3; ++c) suma += h->sectionSize(c);
  EXPECT_EQ(suma, g->viewport()->width());
}

TEST_F(Columnas, AmountsShowTwoDecimalsAndMonedaAndAnchoTakeEffect) {
  auto f = catalogo();
  QTableView* g = f->rejilla();
  ASSERT_EQ(g->model()->rowCount(), 2);
  // The table's order: C2 first.
  EXPECT_EQ(celda(g, 0, 2), "1,234.50");
  EXPECT_EQ(celda(g, 1, 2), "-12.35");
  EXPECT_EQ(g->model()->data(g->model()->index(0, 2), Qt::TextAlignmentRole).value<Qt::Alignment>(),
            Qt::AlignRight | Qt::AlignVCenter);
  // An edit starts from the stored value.
  EXPECT_EQ(g->model()->data(g->model()->index(1, 2), Qt::EditRole).toString(), "-12.3456");
  EXPECT_EQ(celda(g, 0, 0), "C2");

  f->aplicaTipo(2, 'm', false);
  EXPECT_EQ(celda(g, 0, 2), "$1,234.50");
  EXPECT_EQ(celda(g, 1, 2), "($12.35)");
  EXPECT_EQ(f->navegador().columnas()[2].tipo, 'm');

  // "Ancho": 30 characters of the grid's font for the name column, kept in the layout
  // and through a refresh; the other columns still fill the rest.
  const int antes = g->horizontalHeader()->sectionSize(1);
  const int sesenta = QFontMetrics(g->font()).horizontalAdvance(QString(60, QChar('0')));
  f->aplicaAncho(1, 60);
  const int ancho = g->horizontalHeader()->sectionSize(1);
  EXPECT_GT(ancho, antes);
  EXPECT_GE(ancho, sesenta);
  EXPECT_LT(ancho, sesenta + 40);
  EXPECT_EQ(f->navegador().columnas()[1].ancho, ancho);
  int suma = 0;
  for (int c = 0; c < 3; ++c) suma += g->horizontalHeader()->sectionSize(c);
  EXPECT_EQ(suma, g->viewport()->width());
  f->TodosCamposClick();
  EXPECT_EQ(celda(g, 0, 2), "1,234.50");  // all fields: the kinds start again
  // Narrower than its title: the column takes it (the title is elided, its tooltip
  // whole).
  const int titulo = QFontMetrics(g->horizontalHeader()->font()).horizontalAdvance("Clave del cliente");
  f->aplicaAncho(0, 2);
  EXPECT_EQ(f->navegador().columnas()[0].ancho, g->horizontalHeader()->sectionSize(0));
  EXPECT_LT(g->horizontalHeader()->sectionSize(0), titulo);
  EXPECT_NE(f->findChild<QPushButton*>("TamanoColumnas1"), nullptr);
  EXPECT_EQ(ui.mensajes(), std::vector<std::string>{});
}

TEST_F(Columnas, AViewSavedUnderItsNameOpensAgainAndRuns) {
  {
    TFormaDisenoVista f(ui, sistema, datos);
    f.ListaClick(0);  // Clientes
    ASSERT_EQ(f.findChild<QListWidget*>("Campos")->count(), 3);
    f.sueltaCampo(0, 0);
    f.sueltaCampo(2, 1);
    auto* rejilla = f.findChild<QTableWidget*>("Rejilla");
    rejilla->setItem(designers::kTotales, 1, new QTableWidgetItem("totalizar"));
    rejilla->setItem(designers::kOrden, 0, new QTableWidgetItem("X"));
    // No name: nothing is saved.
    f.GuardarClick();
    EXPECT_EQ(ui.mensajes(), std::vector<std::string>{"Escriba el nombre de la vista"});
    EXPECT_FALSE(base::existe(designers::rutaVista(sistema, "Saldos")));
    f.findChild<QLineEdit*>("Edit1")->setText("Saldos");
    f.GuardarClick();
    ASSERT_TRUE(base::existe(designers::rutaVista(sistema, "Saldos")));
    // Saving it again asks before replacing the file.
    ui.respondeAdvertencia(base::RespuestaAdvertencia::No);
    f.GuardarClick();
    EXPECT_EQ(ui.llamadas().back(), "advertencia: El archivo ya existe desea sobreescribirlo ?");
  }
  EXPECT_EQ(*base::leeLineas(base::une(sistema, "report\\Especiales.cnf")),
            (std::vector<std::string>{"Clientes", "C:\\tvk\\report\\Saldos.vis"}));
  EXPECT_EQ(designers::leeIndiceVistas(base::une(datos, "report\\clientes.for")),
            (std::vector<std::pair<std::string, std::string>>{{"C:\\tvk\\report\\Saldos.vis", "Saldos"}}));

  // A new designer opens it by its file and runs it.
  TFormaDisenoVista f(ui, sistema, datos);
  ui.respondeArchivo(designers::rutaVista(sistema, "Saldos"));
  f.AbrirClick();
  EXPECT_EQ(f.findChild<QLineEdit*>("Edit1")->text(), "Saldos");
  EXPECT_EQ(f.findChild<QListWidget*>("Lista")->currentRow(), 0);
  auto* rejilla = f.findChild<QTableWidget*>("Rejilla");
  EXPECT_EQ(rejilla->item(designers::kNombre, 1)->text(), "SALDO_C");
  EXPECT_EQ(rejilla->item(designers::kTotales, 1)->text(), "totalizar");
  EXPECT_EQ(rejilla->horizontalHeaderItem(0)->text(), "Clave del cliente");
  auto r = f.ejecuta();
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->caption(), "Reporte de Saldos");
  // In the order of its "Orden" field, "Saldo" totalled; the heading keeps its blanks.
  EXPECT_EQ(r->hoja().textos(), (std::vector<std::string>{"*Reporte de Saldos",
                                                          "Clave\xC2\xA0" "del\xC2\xA0" "cliente Saldo          ",
                                                          "",
                                                          "",
                                                          "C1                      -12.35    ",
                                                          "C2                    1,234.50    ",
                                                          "                  _______________ ",
                                                          "                      1,222.15    ",
                                                          "",
                                                          "",
                                                          "."}));
  EXPECT_EQ(ui.mensajes(), std::vector<std::string>{"Escriba el nombre de la vista"});
}

}  // namespace
