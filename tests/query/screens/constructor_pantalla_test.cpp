// The query builder reached from the query console: its order fields, the running
// number column, query files, and its result shown in the query result grid.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include "base/rutas.h"
#include "base/texto.h"
#include "query/screens/TFormaConsulta.h"
#include "query/screens/TFormaGraficas.h"
#include "query/screens/TFormaSQL.h"
#include "reports/screens/TFormaBarras.h"
#include <QLineEdit>
#include <QTextEdit>
#include <QLabel>
#include "store/dbf/dbf_table.h"
#include "support/entorno.h"
#include "support/interaccion_fake.h"
#include "support/principal_aplicacion.h"
#include "support/procesos_falsos.h"

using namespace mostrador;
using prueba::aplicacionQt;
using prueba::GuionModal;

namespace {

template <class T>
T* hijo(QWidget& w, const char* nombre) {
  T* r = w.findChild<T*>(nombre);
  EXPECT_NE(r, nullptr) << nombre;
  return r;
}

struct Constructor : ::testing::Test {
  prueba::DirectorioTemporal dir;
  std::string sistema = dir.str() + "/tvk", datos = dir.str() + "/datos";
  prueba::InteraccionFalsa ui;

  void SetUp() override {
    aplicacionQt();
    base::creaDirectorios(sistema);
    base::creaDirectorios(datos);
    dbf::Table::create(datos, "cliente.dbf",
                       {{"CLCLI_C", 'C', 10, 0}, {"NOMBR_C", 'C', 20, 0}, {"SALDO_C", 'N', 12, 2}, {"ALTA_C", 'D', 8, 0}});
    dbf::Table t;
    t.open(datos, "cliente.dbf");
    const std::tuple<const char*, const char*, double> filas[] = {{"C1", "Zoila", 5}, {"C2", "Ana", 7}, {"C3", "Beto", 1}};
    for (const auto& [clave, nombre, saldo] : filas) {
      t.append();
      t.setText("CLCLI_C", clave);
      t.setText("NOMBR_C", nombre);
      t.setFloat("SALDO_C", saldo);
      t.setDate("ALTA_C", dbf::Fecha{2024, 2, 1});
      t.post();
    }
    dbf::Table::create(sistema, "campos.dbf",
                       {{"TABLA", 'C', 15, 0}, {"CAMPO", 'C', 10, 0}, {"DESCRIBE", 'C', 40, 0},
                        {"TIPO", 'C', 10, 0}, {"TAMO", 'N', 4, 0}},
                       {{"TABLA", "TABLA"}, {"CAMPO", "CAMPO"}});
    dbf::Table c;
    c.open(sistema, "campos.dbf");
    for (auto [campo, desc, tipo] : {std::tuple{"CLCLI_C", "Cliente", "Cadena"}, std::tuple{"NOMBR_C", "Nombre", "Cadena"},
                                     std::tuple{"SALDO_C", "Saldo", "Numérico"}, std::tuple{"ALTA_C", "Alta", "Fecha"}}) {
      c.append();
      c.setText("TABLA", "cliente.dbf");
      c.setText("CAMPO", campo);
      c.setText("DESCRIBE", desc);
      c.setText("TIPO", tipo);
      c.setInteger("TAMO", 10);
      c.post();
    }
  }

  std::vector<std::string> columna(QTableWidget* t, int c) {
    std::vector<std::string> r;
    for (int i = 0; i < t->rowCount(); ++i) r.push_back(t->item(i, c)->text().toStdString());
    return r;
  }
};

}  // namespace

TEST_F(Constructor, LaConsolaAbreElConstructorSobreLaTablaElegida) {
  base::TablaProgramas programas([](std::string_view) { return false; }, "/bin/yo");
  prueba::ProcesosFalsos procesos;
  TFormaSQL consola(ui, sistema, datos, "", programas, procesos);
  hijo<QComboBox>(consola, "NombreTabla")->setCurrentText("Clientes");
  int campos = -1;
  QStringList fechas;
  bool rango = false;
  GuionModal guion;
  guion.luego([&](QWidget* m) {
    auto* f = qobject_cast<TFormaConsulta*>(m);
    ASSERT_NE(f, nullptr) << m->objectName().toStdString();
    campos = f->findChild<QTableWidget*>("ListaCampos")->rowCount();
    auto* fr = f->findChild<QComboBox*>("FechaReporte");
    for (int i = 0; i < fr->count(); ++i) fechas << fr->itemText(i);
    rango = f->findChild<QCheckBox*>("UsarFecha")->isVisible();
    f->reject();
  });
  QTest::mouseClick(hijo<QPushButton>(consola, "BotonConstructor"), Qt::LeftButton);
  EXPECT_EQ(guion.vistos(), std::vector<std::string>{"TFormaConsulta"});
  EXPECT_EQ(campos, 4);
  EXPECT_EQ(fechas, QStringList{"ALTA_C"});
  EXPECT_TRUE(rango);
}

TEST_F(Constructor, LosCamposDeOrdenSeEligenEnPantallaYElConsecutivoLlevaSuTitulo) {
  TFormaConsulta f(ui, sistema, datos, "cliente.dbf", "", {2024, 5, 1});
  auto* campos = hijo<QTableWidget>(f, "ListaCampos");
  campos->selectRow(0);  // CLCLI_C
  campos->selectRow(1);  // NOMBR_C
  campos->setCurrentCell(1, 0, QItemSelectionModel::NoUpdate);
  QTest::mouseClick(hijo<QPushButton>(f, "BotonOrden"), Qt::LeftButton);
  QTest::mouseClick(hijo<QPushButton>(f, "BotonOrden"), Qt::LeftButton);  // once only
  auto* orden = hijo<QListWidget>(f, "Orden");
  ASSERT_EQ(orden->count(), 1);
  EXPECT_EQ(orden->item(0)->text(), "NOMBR_C");
  EXPECT_EQ(f.consulta(), "Select CLCLI_C,NOMBR_C From \"" + base::une(datos, "cliente.dbf") + "\" Order by NOMBR_C");

  hijo<QCheckBox>(f, "Consecutivo")->setChecked(true);
  f.EjecutarClick();
  auto* r = hijo<QTableWidget>(f, "Resultado");
  ASSERT_EQ(r->columnCount(), 3);
  EXPECT_EQ(r->horizontalHeaderItem(0)->text(), "#Consecutivo");
  EXPECT_EQ(columna(r, 0), (std::vector<std::string>{"1", "2", "3"}));
  EXPECT_EQ(columna(r, 2), (std::vector<std::string>{"Ana", "Beto", "Zoila"}));

  // The order field comes out again with a double click.
  f.OrdenDblClick(0);
  EXPECT_EQ(orden->count(), 0);
  EXPECT_EQ(f.consulta(), "Select CLCLI_C,NOMBR_C From \"" + base::une(datos, "cliente.dbf") + "\"");
  EXPECT_TRUE(ui.mensajes().empty());
}

TEST_F(Constructor, UnArchivoDeConsultaFaltanteOSobreUnaTablaQueNoEstaLoDice) {
  TFormaConsulta f(ui, sistema, datos, "cliente.dbf", "", {2024, 5, 1});
  f.AbreConsulta(base::une(sistema, "nohay.sql"));
  const std::string otra = base::une(sistema, "otra.sql");
  ASSERT_TRUE(base::escribeLineas(otra, {"Select X From \"" + base::une(datos, "noexiste.dbf") + "\""}));
  f.AbreConsulta(otra);
  EXPECT_EQ(ui.mensajes(), (std::vector<std::string>{"El Archivo De consulta No Existe...", "El Archivo No Existe"}));

  // Lines 7 and 8 hide the columns marked "N".
  const std::string buena = base::une(sistema, "buena.sql");
  ASSERT_TRUE(base::escribeLineas(buena, {"Select CLCLI_C, NOMBR_C, SALDO_C From \"" + base::une(datos, "cliente.dbf") +
                                              "\" Order by CLCLI_C",
                                          "", "", "", "", "", "S,N,S", "S,S,N"}));
  ui.olvidaLlamadas();
  f.AbreConsulta(buena);
  EXPECT_TRUE(ui.llamadas().empty());
  auto* r = hijo<QTableWidget>(f, "Resultado");
  ASSERT_EQ(r->columnCount(), 3);
  EXPECT_FALSE(r->isColumnHidden(0));
  EXPECT_TRUE(r->isColumnHidden(1));
  EXPECT_TRUE(r->isColumnHidden(2));
  EXPECT_EQ(columna(r, 0), (std::vector<std::string>{"C1", "C2", "C3"}));
}

TEST_F(Constructor, ElResultadoSeVeEnLaRejillaDeResultados) {
  TFormaConsulta f(ui, sistema, datos, "cliente.dbf", "", {2024, 5, 1});
  hijo<QTableWidget>(f, "ListaCampos")->selectRow(2);  // SALDO_C
  int filas = -1;
  QString suma;
  GuionModal guion;
  guion.luego([&](QWidget* m) {
    auto* g = qobject_cast<TFormaGraficas*>(m);
    ASSERT_NE(g, nullptr) << m->objectName().toStdString();
    filas = g->Detalle->rowCount();
    g->Detalle->setCurrentCell(0, 0);
    g->Suma1Click();
    g->reject();
  });
  QTest::mouseClick(hijo<QPushButton>(f, "BotonGraficas"), Qt::LeftButton);
  EXPECT_EQ(guion.vistos(), std::vector<std::string>{"TFormaGraficas"});
  EXPECT_EQ(filas, 3);
  EXPECT_EQ(ui.mensajes(), std::vector<std::string>{"La Suma es : 13.00"});
}

TEST_F(Constructor, LaRejillaDaAlReporteLosAnchosDeLaListaYLosRetiros) {
  TFormaConsulta f(ui, sistema, datos, "cliente.dbf", "", {2024, 5, 1});
  const std::string consulta = base::une(sistema, "nombres.sql");
  ASSERT_TRUE(base::escribeLineas(consulta, {"Select CLCLI_C, NOMBR_C From \"" + base::une(datos, "cliente.dbf") +
                                                 "\" Order by CLCLI_C"}));
  f.AbreConsulta(consulta);
  base::creaDirectorios(base::une(sistema, "tempo"));
  ASSERT_TRUE(base::escribeLineas(base::une(base::une(sistema, "tempo"), "retiros.txt"), {"Total de Retiros      50.00"}));
  hijo<QLineEdit>(f, "Anchos")->setText("4,6");
  hijo<QCheckBox>(f, "Retiros")->setChecked(true);
  std::vector<std::string> lineas;
  GuionModal guion;
  guion.luego([&](QWidget* m) {
    auto* g = qobject_cast<TFormaGraficas*>(m);
    ASSERT_NE(g, nullptr) << m->objectName().toStdString();
    for (const auto& p : g->reporte().paginas)
      for (const auto& l : p.lineas) lineas.push_back(l.texto);
    g->reject();
  });
  QTest::mouseClick(hijo<QPushButton>(f, "BotonGraficas"), Qt::LeftButton);
  ASSERT_EQ(lineas.size(), 9u);
  EXPECT_EQ(lineas[0], "*************Reporte*********");
  EXPECT_EQ(lineas[2], "C1   Zoila  ");
  EXPECT_EQ(lineas[4], "C3   Beto   ");
  EXPECT_EQ(lineas[5].rfind("TOTALES", 0), 0u) << lineas[5];
  EXPECT_EQ(lineas[6], "");
  EXPECT_EQ(lineas[7], "");
  EXPECT_EQ(lineas[8], "Total de Retiros      50.00");
}

TEST_F(Constructor, UnaConsultaDeDiezColumnasTotalizaPorMonedaEnElVisor) {
  TFormaConsulta f(ui, sistema, datos, "cliente.dbf", "", {2024, 5, 1});
  const std::string consulta = base::une(sistema, "monedas.sql");
  ASSERT_TRUE(base::escribeLineas(consulta, {"Select CLCLI_C,NOMBR_C,SALDO_C,0,0,0,0,0,0,'DLLS' From \"" +
                                                 base::une(datos, "cliente.dbf") + "\""}));
  f.AbreConsulta(consulta);
  QString hoja, estado;
  GuionModal guion;
  guion.luego([&](QWidget* m) {
    auto* v = qobject_cast<TFormaBarras*>(m);
    ASSERT_NE(v, nullptr) << m->objectName().toStdString();
    hoja = v->Concentrado->toPlainText();
    estado = v->Estado->text();
    v->close();
  });
  QTest::mouseClick(hijo<QPushButton>(f, "BotonMonedas"), Qt::LeftButton);
  EXPECT_EQ(guion.vistos(), std::vector<std::string>{"TFormaBarras"});
  EXPECT_EQ(estado, "Página 1 de  1");
  EXPECT_TRUE(hoja.contains("TOTALES")) << hoja.toStdString();
  EXPECT_TRUE(hoja.contains("DLLS")) << hoja.toStdString();
  EXPECT_TRUE(hoja.contains("13.00")) << hoja.toStdString();

  // Fewer columns are refused.
  f.AbreConsulta(base::une(sistema, "nohay.sql"));
  ui.olvidaLlamadas();
  const std::string corta = base::une(sistema, "corta.sql");
  ASSERT_TRUE(base::escribeLineas(corta, {"Select CLCLI_C From \"" + base::une(datos, "cliente.dbf") + "\""}));
  f.AbreConsulta(corta);
  QTest::mouseClick(hijo<QPushButton>(f, "BotonMonedas"), Qt::LeftButton);
  EXPECT_EQ(ui.mensajes(), std::vector<std::string>{"La consulta debe tener diez columnas, la última con la moneda"});
}
