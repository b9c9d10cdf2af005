// The catalogue browser, its filter grid, the query builder and the view designer
// headless.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QTest>

#include "support/principal_aplicacion.h"
#include "designers/screens/TFormaCatalogo.h"
#include "query/screens/TFormaConsulta.h"
#include "designers/screens/TFormaDisenoVista.h"
#include "base/confcamp.h"
#include "base/registros_fijos.h"
#include "base/rutas.h"
#include "base/texto.h"
#include "store/dbf/dbf_table.h"
#include "support/entorno.h"
#include "support/interaccion_fake.h"
#include "support/procesos_falsos.h"

using namespace mostrador;
using prueba::aplicacionQt;

namespace {

struct Pantallas : ::testing::Test {
  prueba::DirectorioTemporal dir;
  std::string sistema = dir.str() + "/tvk", datos = dir.str() + "/datos";
  prueba::InteraccionFalsa ui;
  base::TablaProgramas programas{[](std::string_view) { return false; }, "/bin/yo"};
  prueba::ProcesosFalsos procesos;

  void SetUp() override {
    aplicacionQt();
    base::creaDirectorios(sistema);
    base::creaDirectorios(datos);
    dbf::Table::create(datos, "inventar.dbf", {{"CLPRO_I", 'C', 10, 0}, {"EXIST_I", 'N', 12, 2}, {"ALTA_I", 'D', 8, 0}},
                       {{"ICLAPRO", "CLPRO_I"}});
    dbf::Table t;
    t.open(datos, "inventar.dbf");
    for (int i = 0; i < 250; ++i) {
      t.append();
      t.setText("CLPRO_I", "P" + std::to_string(1000 + i));
      t.setFloat("EXIST_I", 0.1);
      t.setDate("ALTA_I", dbf::Fecha{2024, 1 + i % 12, 1});
      t.post();
    }
    dbf::Table::create(sistema, "campos.dbf",
                       {{"TABLA", 'C', 15, 0}, {"CAMPO", 'C', 10, 0}, {"DESCRIBE", 'C', 40, 0},
                        {"TIPO", 'C', 10, 0}, {"TAMO", 'N', 4, 0}},
                       {{"TABLA", "TABLA"}, {"CAMPO", "CAMPO"}});
    dbf::Table c;
    c.open(sistema, "campos.dbf");
    for (auto [campo, desc, tipo, tam] : {std::tuple{"CLPRO_I", "Producto", "Cadena", 10},
                                          std::tuple{"EXIST_I", "Existencia", "Numérico", 12},
                                          std::tuple{"ALTA_I", "Alta", "Fecha", 8}}) {
      c.append();
      c.setText("TABLA", "inventar.dbf");
      c.setText("CAMPO", campo);
      c.setText("DESCRIBE", desc);
      c.setText("TIPO", tipo);
      c.setInteger("TAMO", tam);
      c.post();
    }
    base::ArchivoFijo f(base::une(sistema, "confcamp.cmp"), base::disenoCatalogoCampos());
    std::vector<base::RegistroFijo> r(53, base::RegistroFijo(base::disenoCatalogoCampos()));
    r[1].ponTexto("nombre", "CLPRO_I");
    r[1].ponTexto("descripcion", "Clave del Producto");
    r[1].ponTexto("tercero", "C");
    r[2].ponTexto("nombre", "EXIST_I");
    r[2].ponTexto("descripcion", "No Disponible");
    r[51].ponTexto("descripcion", "inventar.dbf");
    r[52].ponTexto("numero", "1");
    f.reescribe(r);
  }
};

TEST_F(Pantallas, CatalogueShowsPagesAsTheGridScrollsAndFilters) {
  TFormaCatalogo f(ui, sistema, datos, "inventar.dbf", {{"CLPRO_I", "Clave"}, {"EXIST_I", "Exist."}}, "EXCEL.EXE",
                   programas, procesos);
  auto* grid = f.rejilla();
  EXPECT_EQ(grid->model()->rowCount(), 100);
  EXPECT_EQ(grid->model()->headerData(0, Qt::Horizontal).toString(), "Producto");
  EXPECT_EQ(grid->model()->data(grid->model()->index(99, 0)).toString(), "P1099");
  grid->model()->fetchMore({});
  grid->model()->fetchMore({});
  EXPECT_EQ(grid->model()->rowCount(), 250);
  EXPECT_FALSE(grid->model()->canFetchMore({}));

  grid->setCurrentIndex(grid->model()->index(0, 1));
  QTest::mouseClick(f.findChild<QPushButton*>("Sumar1"), Qt::LeftButton);
  EXPECT_EQ(ui.mensajes().back(), "La suma es = 25.00");

  f.aplicaFiltro("CLPRO_I*>=*P1240*C*");
  EXPECT_EQ(grid->model()->rowCount(), 10);
  f.aplicaTipo(1, 'n', true);
  EXPECT_EQ(grid->model()->headerData(1, Qt::Horizontal).toString(), "+Existencia");
  EXPECT_EQ(grid->model()->headerData(1, Qt::Horizontal, Qt::ForegroundRole).value<QColor>(), QColor(0, 128, 0));

  auto* estado = f.findChild<QLabel*>("Estado");
  QTest::mouseDClick(estado, Qt::LeftButton);
  EXPECT_EQ(estado->text(), "Registros  250");

  QTest::mouseClick(f.findChild<QPushButton*>("BotonBuscar"), Qt::LeftButton);
  EXPECT_EQ(ui.mensajes().back(), "No se ha Definido un Indice.");
}

TEST_F(Pantallas, F2OnARowOpensTheModuleOnItsKey) {
  std::vector<std::string> abiertos;
  TFormaCatalogo f(ui, sistema, datos, "inventar.dbf", {{"CLPRO_I", "Clave"}}, "EXCEL.EXE", programas, procesos,
                   [&](const std::string& tabla, const std::string& clave) { abiertos.push_back(tabla + " " + clave); });
  auto* grid = f.rejilla();
  grid->setCurrentIndex(grid->model()->index(2, 0));
  QTest::keyClick(grid, Qt::Key_F2);
  EXPECT_EQ(abiertos, (std::vector<std::string>{"inventar.dbf P1002"}));
}

TEST_F(Pantallas, FilterGridReturnsTheRowsWithAConditionAndShowsTheLegend) {
  TFormaFiltros f(sistema, "inventar.dbf");
  ASSERT_EQ(f.Rejilla->rowCount(), 1);  // "No Disponible" is left out
  f.Rejilla->item(0, 2)->setText(">");
  f.Rejilla->item(0, 3)->setText("P1");
  EXPECT_EQ(f.condiciones(), "CLPRO_I*>*P1*C*");
  f.show();
  f.Rejilla->setCurrentCell(0, 2);
  EXPECT_TRUE(f.Leyenda->isVisible());
  EXPECT_EQ(f.Leyenda->text(), "= igual    > mayor      < menor       & incluye");
  f.Rejilla->setCurrentCell(0, 3);
  EXPECT_FALSE(f.Leyenda->isVisible());
}

TEST_F(Pantallas, QueryBuilderMakesConditionsByDoubleClicks) {
  TFormaConsulta f(ui, sistema, datos, "inventar.dbf", "ALTA_I", {2024, 5, 1});
  auto* campos = f.findChild<QTableWidget*>("ListaCampos");
  ASSERT_EQ(campos->rowCount(), 3);
  EXPECT_TRUE(f.findChild<QCheckBox*>("UsarFecha") != nullptr);
  f.ListaCamposDblClick(1);  // EXIST_I
  f.OperadoresDblClick(2);   // ">"
  f.findChild<QLineEdit*>("Valor")->setText("cero");
  f.ValorEnter();
  EXPECT_EQ(ui.mensajes(), (std::vector<std::string>{"Valor Erroneo"}));
  f.findChild<QLineEdit*>("Valor")->setText("0");
  f.ValorEnter();
  EXPECT_EQ(f.findChild<QTableWidget*>("Condiciones")->rowCount(), 1);
  campos->selectRow(0);
  EXPECT_EQ(f.consulta(), "Select CLPRO_I From \"" + base::une(datos, "inventar.dbf") + "\" Where EXIST_I>\"0\"");
  f.EjecutarClick();
  EXPECT_EQ(f.findChild<QTableWidget*>("Resultado")->rowCount(), 250);
}

TEST_F(Pantallas, ViewDesignerPlacesFieldsAndSaves) {
  TFormaDisenoVista f(ui, sistema, datos);
  f.ListaClick(7);  // Inventario
  EXPECT_EQ(f.findChild<QListWidget*>("Campos")->count(), 3);
  f.sueltaCampo(0, 0);
  f.sueltaCampo(1, 1);
  EXPECT_EQ(f.diseno().columna(1)[designers::kIdentificador], "H");
  EXPECT_EQ(f.findChild<QTableWidget*>("Rejilla")->item(7, 1)->text(), "EXIST_I");
  // "Totales" offers its two choices; the choice reaches the definition.
  auto* rejilla = f.findChild<QTableWidget*>("Rejilla");
  rejilla->setCurrentCell(designers::kTotales, 1);
  rejilla->editItem(rejilla->item(designers::kTotales, 1));
  auto* opciones = rejilla->findChild<QComboBox*>();
  ASSERT_NE(opciones, nullptr);
  ASSERT_EQ(opciones->count(), 2);
  EXPECT_EQ(opciones->itemText(1), "sin totales");
  opciones->setCurrentIndex(0);
  rejilla->setCurrentCell(0, 0);  // leaving the cell commits the choice
  EXPECT_EQ(f.diseno().columna(1)[designers::kTotales], "totalizar");
  // Saved under the name typed: the file, its last line and the index description.
  f.findChild<QLineEdit*>("Edit1")->setText("Existencias");
  f.GuardarClick();
  const std::string ruta = designers::rutaVista(sistema, "Existencias");
  auto lineas = base::leeLineas(ruta);
  ASSERT_TRUE(lineas && lineas->size() == 10u);
  EXPECT_EQ((*lineas)[0], "H.CLPRO_I,H.EXIST_I");
  EXPECT_EQ((*lineas)[9], "Existencias");
  EXPECT_EQ(designers::leeIndiceVistas(base::une(datos, "report\\Inventar.for")),
            (std::vector<std::pair<std::string, std::string>>{{ruta, "Existencias"}}));
}

}  // namespace
