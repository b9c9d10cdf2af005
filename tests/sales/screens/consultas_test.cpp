// The lookups and small dialogs of the sales screen, driven by keys as a clerk would.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>

#include "accounts/screens/TFormaConClientes.h"
#include "accounts/screens/TFormaConVendedores.h"
#include "inventory/screens/TFormaConProduct.h"
#include "support/principal_aplicacion.h"
#include "sales/screens/DialogoRangoFechas.h"
#include "sales/screens/TFormaCalculaxPrecio.h"
#include "sales/screens/TFormaDivisa.h"
#include "sales/screens/TFormaRango.h"
#include "base/moneda.h"
#include "base/rutas.h"
#include "base/texto.h"
#include "store/catalogo.h"
#include "support/entorno.h"
#include "support/interaccion_fake.h"
#include "ui/rejilla_consulta.h"

using namespace mostrador;
using inventory::TFormaConProduct;
using prueba::aplicacionQt;

namespace {

const std::string kDatos = "C:\\Datos";
const std::string kSistema = "C:\\Sistema";

void creaTabla(const std::string& archivo) {
  const store::DefTabla* def = store::buscaTabla(archivo);
  ASSERT_NE(def, nullptr);
  dbf::Table::create(kDatos, def->archivo, def->campos, def->indices);
}

using Campos = std::vector<std::pair<std::string, std::string>>;
void agrega(const std::string& archivo, const std::vector<Campos>& registros) {
  dbf::Table t;
  t.open(kDatos, archivo);
  for (const auto& r : registros) {
    t.append();
    for (const auto& [campo, valor] : r) {
      const int i = t.requireField(campo);
      if (t.fieldDefs()[i].type == 'C')
        t.setText(i, valor);
      else
        t.setFloat(i, std::stod(valor));
    }
    t.post();
  }
}

template <class D>
void abre(D& d) {
  d.show();
  QTest::qWait(1);
}

// The texts of one column, top to bottom.
QStringList columna(const ui::RejillaConsulta* r, int c) {
  QStringList l;
  for (int f = 0; f < r->filas(); ++f) l << r->celda(f, c);
  return l;
}

struct ConsultasVenta : ::testing::Test {
  QApplication& qt = aplicacionQt();
  prueba::DirectorioTemporal dir;
  ConsultasVenta() {
    base::creaDirectorios(kDatos);
    base::creaDirectorios(kSistema);
  }
};

struct ConsultaProductos : ConsultasVenta {
  void SetUp() override {
    creaTabla("inventar.dbf");
    // Physical order differs from every index order.
    agrega("inventar.dbf",
           {{{"CLPRO_I", "D4"}, {"DSCPR_I", "SERRUCHO"}, {"CODIG_I", "7500"}, {"ALMAC_I", "1"},
             {"PPUBL_I", "120"}, {"PLIS2_I", "110"}, {"PLIS3_I", "100"}, {"EXIST_I", "3"}},
            {{"CLPRO_I", "A1"}, {"DSCPR_I", "TORNILLO"}, {"CODIG_I", "7501"}, {"ALMAC_I", "1"},
             {"PPUBL_I", "2"}, {"PLIS2_I", "1.8"}, {"PLIS3_I", "1.5"}, {"EXIST_I", "100"}},
            {{"CLPRO_I", "C3"}, {"DSCPR_I", "CLAVO"}, {"CODIG_I", "7502"}, {"ALMAC_I", "2"},
             {"PPUBL_I", "0.5"}, {"PLIS2_I", "0.4"}, {"PLIS3_I", "0.3"}, {"EXIST_I", "1000"}},
            {{"CLPRO_I", "B2"}, {"DSCPR_I", "MARTILLO"}, {"CODIG_I", "7503"}, {"ALMAC_I", "1"},
             {"PPUBL_I", "50"}, {"PLIS2_I", "45"}, {"PLIS3_I", "40"}, {"EXIST_I", "12"},
             {"UEMPA_I", "24"}, {"POLI1_I", "10"}, {"POLI2_I", "50"}, {"POLI3_I", "100"}},
            {{"CLPRO_I", "E5"}, {"DSCPR_I", "DESARMADOR"}, {"CODIG_I", "7504"}, {"ALMAC_I", "1"},
             {"PPUBL_I", "35"}, {"PLIS2_I", "30"}, {"PLIS3_I", "28"}, {"EXIST_I", "-2"}}});
  }
};

}  // namespace

TEST_F(ConsultaProductos, KeyOrderFollowsTheTypedTextAndEnterChooses) {
  prueba::InteraccionFalsa ui;
  TFormaConProduct d(nullptr, kDatos, kSistema, "B", false, {}, &ui);
  abre(d);
  EXPECT_EQ(d.windowTitle(), "Catálogo de Productos Ordenado por CLAVE");
  EXPECT_EQ(d.orden(), TFormaConProduct::Orden::Clave);
  auto* r = d.rejilla();
  EXPECT_EQ(columna(r, 0), (QStringList{"A1", "B2", "C3", "D4", "E5"}));
  EXPECT_EQ(r->claveActual(), "B2");
  // Price of level 1, stock and the other columns as shown.
  EXPECT_EQ(r->celda(1, 2), "50.00");
  EXPECT_EQ(r->celda(4, 3), "-2.00");
  EXPECT_EQ(r->celda(3, 5), "7500");

  auto* busca = d.findChild<QLineEdit*>("EditBusca");
  busca->clear();
  // Lower case sorts after every upper-case key: past the last key, the last row.
  QTest::keyClicks(busca, "c");
  EXPECT_EQ(r->claveActual(), "E5");
  busca->clear();
  QTest::keyClicks(busca, "C");
  EXPECT_EQ(r->claveActual(), "C3");
  QTest::keyClick(busca, Qt::Key_Down);
  EXPECT_EQ(r->claveActual(), "D4");
  QTest::keyClick(busca, Qt::Key_Up);
  QTest::keyClick(busca, Qt::Key_Up);
  EXPECT_EQ(r->claveActual(), "B2");
  QTest::keyClicks(busca, "9");  // "C9": between C3 and D4
  EXPECT_EQ(r->claveActual(), "D4");
  QTest::keyClick(busca, Qt::Key_Return);
  EXPECT_FALSE(d.isVisible());
  EXPECT_EQ(d.result(), QDialog::Accepted);
  EXPECT_EQ(d.resultado(), "D4");
}

TEST_F(ConsultaProductos, ADescriptionSeedOpensInDescriptionOrderAndEscapeChoosesNothing) {
  prueba::InteraccionFalsa ui;
  TFormaConProduct d(nullptr, kDatos, kSistema, "MART", false, {}, &ui);
  abre(d);
  EXPECT_EQ(d.windowTitle(), "Catálogo de Productos Ordenado por DESCRIPCION");
  EXPECT_EQ(columna(d.rejilla(), 1), (QStringList{"CLAVO", "DESARMADOR", "MARTILLO", "SERRUCHO", "TORNILLO"}));
  EXPECT_EQ(d.rejilla()->claveActual(), "B2");
  QTest::keyClick(d.findChild<QLineEdit*>("EditBusca"), Qt::Key_Escape);
  EXPECT_FALSE(d.isVisible());
  EXPECT_EQ(d.result(), QDialog::Rejected);
  EXPECT_EQ(d.resultado(), std::nullopt);
}

TEST_F(ConsultaProductos, FunctionKeysChangeTheOrderKeepingTheProduct) {
  prueba::InteraccionFalsa ui;
  TFormaConProduct d(nullptr, kDatos, kSistema, "A1", false, {}, &ui);
  abre(d);
  auto* busca = d.findChild<QLineEdit*>("EditBusca");
  QTest::keyClick(busca, Qt::Key_F3);
  EXPECT_EQ(d.windowTitle(), "Catálogo de Productos Ordenado por CODIGO");
  EXPECT_EQ(columna(d.rejilla(), 0), (QStringList{"D4", "A1", "C3", "B2", "E5"}));
  EXPECT_EQ(d.rejilla()->claveActual(), "A1");
  // The typed text now searches bar codes.
  busca->clear();
  QTest::keyClicks(busca, "7503");
  EXPECT_EQ(d.rejilla()->claveActual(), "B2");
  QTest::keyClick(busca, Qt::Key_F2);
  EXPECT_EQ(d.windowTitle(), "Catálogo de Productos Ordenado por DESCRIPCION");
  EXPECT_EQ(d.rejilla()->claveActual(), "B2");
  QTest::keyClick(busca, Qt::Key_F1);
  EXPECT_EQ(d.windowTitle(), "Catálogo de Productos Ordenado por CLAVE");
  EXPECT_EQ(d.rejilla()->claveActual(), "B2");
  QTest::keyClick(busca, Qt::Key_Down);
  QTest::keyClick(busca, Qt::Key_Enter);
  EXPECT_EQ(d.resultado(), "C3");
}

TEST_F(ConsultaProductos, F4ShowsTheDescriptionsContainingTheTextAndChoosesFromThem) {
  prueba::InteraccionFalsa ui;
  TFormaConProduct d(nullptr, kDatos, kSistema, "", false, {}, &ui);
  abre(d);
  auto* busca = d.findChild<QLineEdit*>("EditBusca");
  QTest::keyClicks(busca, "ll");  // matched without regard to case
  QTest::keyClick(busca, Qt::Key_F4);
  EXPECT_EQ(d.orden(), TFormaConProduct::Orden::Consulta);
  EXPECT_EQ(columna(d.rejilla(), 0), (QStringList{"B2", "A1"}));
  EXPECT_EQ(columna(d.rejilla(), 2), (QStringList{"50.00", "2.00"}));
  // Typing no longer moves a query's rows.
  QTest::keyClicks(busca, "x");
  EXPECT_EQ(d.rejilla()->claveActual(), "B2");
  QTest::keyClick(busca, Qt::Key_Down);
  EXPECT_EQ(d.rejilla()->claveActual(), "A1");

  // Back to the catalogue on the product the query showed.
  QTest::keyClick(busca, Qt::Key_F2);
  EXPECT_EQ(d.rejilla()->filas(), 5);
  EXPECT_EQ(d.rejilla()->claveActual(), "A1");
  QTest::keyClick(busca, Qt::Key_F4);  // "llx": nothing
  EXPECT_EQ(d.rejilla()->filas(), 0);
  QTest::keyClick(busca, Qt::Key_Return);  // nothing to choose: stays open
  EXPECT_TRUE(d.isVisible());
  busca->setText("O'");  // a quote in the text is a character, not the end of the literal
  QTest::keyClick(busca, Qt::Key_F4);
  EXPECT_EQ(d.rejilla()->filas(), 0);
  busca->setText("LL");
  QTest::keyClick(busca, Qt::Key_F4);
  QTest::keyClick(busca, Qt::Key_Return);
  EXPECT_EQ(d.resultado(), "B2");
  EXPECT_TRUE(ui.mensajes().empty());
}

TEST_F(ConsultaProductos, SeveralWarehousesShowOnlyTheCurrentOne) {
  prueba::InteraccionFalsa ui;
  TFormaConProduct dos(nullptr, kDatos, kSistema, "", true, "2", &ui);
  EXPECT_EQ(columna(dos.rejilla(), 0), (QStringList{"C3"}));
  auto* busca = dos.findChild<QLineEdit*>("EditBusca");
  QTest::keyClicks(busca, "A");  // A1 is in warehouse 1: the next product shown
  EXPECT_EQ(dos.rejilla()->claveActual(), "C3");
  busca->setText("A");
  QTest::keyClick(busca, Qt::Key_F4);
  EXPECT_EQ(columna(dos.rejilla(), 0), (QStringList{"C3"}));

  // A blank warehouse is warehouse 1.
  TFormaConProduct uno(nullptr, kDatos, kSistema, "", true, " ", &ui);
  EXPECT_EQ(columna(uno.rejilla(), 0), (QStringList{"A1", "B2", "D4", "E5"}));
}

TEST_F(ConsultaProductos, ThePriceLevelIsShownAndKeptInTheSystemDirectory) {
  prueba::InteraccionFalsa ui;
  base::escribeLineas(base::une(kSistema, "precios.cnf"), {"3"});
  TFormaConProduct d(nullptr, kDatos, kSistema, "B2", false, {}, &ui);
  auto* nivel = d.findChild<QSpinBox*>("NivelPrecio");
  EXPECT_EQ(nivel->value(), 3);
  EXPECT_EQ(columna(d.rejilla(), 2), (QStringList{"1.50", "40.00", "0.30", "100.00", "28.00"}));
  nivel->setValue(2);
  EXPECT_EQ(columna(d.rejilla(), 2), (QStringList{"1.80", "45.00", "0.40", "110.00", "30.00"}));
  EXPECT_EQ(d.rejilla()->claveActual(), "B2");
  EXPECT_EQ(base::leeBytes(base::une(kSistema, "precios.cnf")).value_or(""), "2\r\n");

  // A level that is not one of the seven reads as 1.
  base::escribeLineas(base::une(kSistema, "precios.cnf"), {"9"});
  TFormaConProduct otro(nullptr, kDatos, kSistema, "", false, {}, &ui);
  EXPECT_EQ(otro.nivelPrecio(), 1);
}

TEST_F(ConsultaProductos, F12ShowsThePackagePriceOfTheLadderLevel) {
  prueba::InteraccionFalsa ui;
  TFormaConProduct d(nullptr, kDatos, kSistema, "B2", false, {}, &ui);
  abre(d);
  auto* busca = d.findChild<QLineEdit*>("EditBusca");
  // 24 units a package fall between the limits 10 and 50: level 2, 45 × 24.
  QTest::keyClick(busca, Qt::Key_F12);
  // Without a package size the package costs nothing.
  QTest::keyClick(busca, Qt::Key_Up);
  QTest::keyClick(busca, Qt::Key_F12);
  // From a query row too.
  busca->setText("MART");
  QTest::keyClick(busca, Qt::Key_F4);
  QTest::keyClick(busca, Qt::Key_F12);
  EXPECT_EQ(ui.mensajes(), (std::vector<std::string>{"El precio por Empaque      $ 1,080.00",
                                                     "El precio por Empaque      $ 0.00",
                                                     "El precio por Empaque      $ 1,080.00"}));
  EXPECT_TRUE(d.isVisible());
}

TEST_F(ConsultasVenta, AMissingCatalogueIsReportedAndChoosesNothing) {
  prueba::InteraccionFalsa ui;
  TFormaConProduct d(nullptr, kDatos, kSistema, "A", false, {}, &ui);
  abre(d);
  EXPECT_EQ(ui.mensajes(), (std::vector<std::string>{"Ha Ocurrido un Error al Abrir una de las Bases de Datos."}));
  EXPECT_EQ(d.rejilla()->filas(), 0);
  QTest::keyClick(d.findChild<QLineEdit*>("EditBusca"), Qt::Key_Return);
  EXPECT_TRUE(d.isVisible());
  EXPECT_EQ(d.resultado(), std::nullopt);
}

namespace {

struct ConsultaClientes : ConsultasVenta {
  void SetUp() override {
    creaTabla("cliente.dbf");
    agrega("cliente.dbf", {{{"CLCLI_C", "2"}, {"NOMBR_C", "ALVAREZ LUIS"}},
                           {{"CLCLI_C", "1"}, {"NOMBR_C", "PUBLICO EN GENERAL"}},
                           {{"CLCLI_C", "3"}, {"NOMBR_C", "MORALES ANA"}},
                           {{"CLCLI_C", "10"}, {"NOMBR_C", "ZAPATA PEREZ"}}});
  }
  prueba::InteraccionFalsa ui;
};

}  // namespace

TEST_F(ConsultaClientes, OpensAtTheNearestKeyAndEnterChoosesTheRow) {
  accounts::TFormaConClientes d(nullptr, kDatos, "7", "2", &ui);
  abre(d);
  EXPECT_EQ(d.windowTitle(), "Clientes Ordenado por Clave");
  EXPECT_EQ(d.findChild<QLabel*>("Usuario")->text(), "7");
  // Keys are text: "10" sorts before "2".
  EXPECT_EQ(columna(d.rejilla(), 0), (QStringList{"1", "10", "2", "3"}));
  EXPECT_EQ(d.rejilla()->claveActual(), "2");
  EXPECT_FALSE(d.findChild<QPushButton*>("BotonClientes")->isVisibleTo(&d));
  QTest::keyClick(d.rejilla(), Qt::Key_Down);
  QTest::keyClick(d.rejilla(), Qt::Key_Return);
  EXPECT_EQ(d.result(), QDialog::Accepted);
  EXPECT_EQ(d.resultado(), "3");

  accounts::TFormaConClientes esc(nullptr, kDatos, "7", "1", &ui);
  abre(esc);
  QTest::keyClick(esc.rejilla(), Qt::Key_Escape);
  EXPECT_FALSE(esc.isVisible());
  EXPECT_EQ(esc.resultado(), std::nullopt);
}

TEST_F(ConsultaClientes, F2AndF3AskATextAndPositionAtItsNearestValue) {
  accounts::TFormaConClientes d(nullptr, kDatos, "0", "", &ui);
  abre(d);
  ui.respondeTexto("MO");
  QTest::keyClick(d.rejilla(), Qt::Key_F2);
  EXPECT_EQ(d.windowTitle(), "Clientes Ordenado por Nombre");
  EXPECT_EQ(columna(d.rejilla(), 1),
            (QStringList{"ALVAREZ LUIS", "MORALES ANA", "PUBLICO EN GENERAL", "ZAPATA PEREZ"}));
  EXPECT_EQ(d.rejilla()->claveActual(), "3");
  ui.respondeTexto(std::nullopt);  // cancelled: nothing moves
  QTest::keyClick(d.rejilla(), Qt::Key_F3);
  EXPECT_EQ(d.windowTitle(), "Clientes Ordenado por Nombre");
  ui.respondeTexto("10");
  QTest::keyClick(d.rejilla(), Qt::Key_F3);
  EXPECT_EQ(d.windowTitle(), "Clientes Ordenado por Clave");
  EXPECT_EQ(d.rejilla()->claveActual(), "10");
  EXPECT_EQ(ui.llamadas(), (std::vector<std::string>{"texto: Clientes Ordenado por Nombre / Nombre []",
                                                     "texto: Clientes Ordenado por Clave / Clave []",
                                                     "texto: Clientes Ordenado por Clave / Clave []"}));
  QTest::keyClick(d.rejilla(), Qt::Key_Enter);
  EXPECT_EQ(d.resultado(), "10");
}

TEST_F(ConsultaClientes, F4ChoosesFromTheQueryAndADoubleClickChoosesToo) {
  accounts::TFormaConClientes d(nullptr, kDatos, "0", "1", &ui);
  abre(d);
  ui.respondeTexto("ez");
  QTest::keyClick(d.rejilla(), Qt::Key_F4);
  EXPECT_EQ(columna(d.rejilla(), 0), (QStringList{"2", "10"}));
  EXPECT_EQ(columna(d.rejilla(), 1), (QStringList{"ALVAREZ LUIS", "ZAPATA PEREZ"}));
  auto* r = d.rejilla();
  const QRect celda = r->visualRect(r->model()->index(1, 1));
  QTest::mouseClick(r->viewport(), Qt::LeftButton, {}, celda.center());
  QTest::mouseDClick(r->viewport(), Qt::LeftButton, {}, celda.center());
  EXPECT_EQ(d.result(), QDialog::Accepted);
  EXPECT_EQ(d.resultado(), "10");
}

TEST_F(ConsultasVenta, CustomerLookupWithoutTableReportsItAndItsSearchesAreNotValid) {
  prueba::InteraccionFalsa ui;
  accounts::TFormaConClientes d(nullptr, kDatos, "0", "1", &ui);
  abre(d);
  ui.respondeTexto("A");
  QTest::keyClick(d.rejilla(), Qt::Key_F4);
  EXPECT_EQ(ui.mensajes(), (std::vector<std::string>{"Ha Ocurrido un Error al Abrir una de las Bases de Datos.",
                                                     "Valor no Válido"}));
  EXPECT_EQ(d.rejilla()->filas(), 0);
  QTest::keyClick(d.rejilla(), Qt::Key_Return);
  EXPECT_TRUE(d.isVisible());
  EXPECT_EQ(d.resultado(), std::nullopt);
}

TEST_F(ConsultaClientes, TheCustomerScreenButtonFindsTheLastCustomerShown) {
  int abierta = 0;
  accounts::TFormaConClientes::registraPantalla([&](QWidget*) -> std::optional<std::string> {
    ++abierta;
    agrega("cliente.dbf", {{{"CLCLI_C", "4"}, {"NOMBR_C", "NUEVO"}}});
    return "4";
  });
  accounts::TFormaConClientes d(nullptr, kDatos, "0", "1", &ui);
  accounts::TFormaConClientes::registraPantalla({});
  abre(d);
  auto* boton = d.findChild<QPushButton*>("BotonClientes");
  ASSERT_TRUE(boton->isVisible());
  boton->click();
  EXPECT_EQ(abierta, 1);
  EXPECT_EQ(columna(d.rejilla(), 0), (QStringList{"1", "10", "2", "3", "4"}));
  EXPECT_EQ(d.rejilla()->claveActual(), "4");
}

TEST_F(ConsultasVenta, SellerLookupChoosesByEnterOrDoubleClick) {
  creaTabla("vendedor.dbf");
  agrega("vendedor.dbf", {{{"CLVEN_V", "05"}, {"NOMBR_V", "CARLOS"}, {"COMIS_V", "3"}},
                          {{"CLVEN_V", "01"}, {"NOMBR_V", "ANA"}, {"COMIS_V", "2.5"}},
                          {{"CLVEN_V", "02"}, {"NOMBR_V", "BETO"}}});
  accounts::TFormaConVendedores d(nullptr, kDatos, "03");
  abre(d);
  EXPECT_EQ(columna(d.rejilla(), 0), (QStringList{"01", "02", "05"}));
  EXPECT_EQ(columna(d.rejilla(), 2), (QStringList{"2.50", "0.00", "3.00"}));
  EXPECT_EQ(d.rejilla()->claveActual(), "05");
  QTest::keyClick(d.rejilla(), Qt::Key_Up);
  QTest::keyClick(d.rejilla(), Qt::Key_Return);
  EXPECT_EQ(d.resultado(), "02");

  accounts::TFormaConVendedores esc(nullptr, kDatos, "");
  abre(esc);
  EXPECT_EQ(esc.rejilla()->claveActual(), "01");
  QTest::keyClick(esc.rejilla(), Qt::Key_Escape);
  EXPECT_EQ(esc.result(), QDialog::Rejected);
  EXPECT_EQ(esc.resultado(), std::nullopt);

  accounts::TFormaConVendedores doble(nullptr, kDatos, "");
  abre(doble);
  auto* r = doble.rejilla();
  const QPoint celda = r->visualRect(r->model()->index(2, 0)).center();
  QTest::mouseClick(r->viewport(), Qt::LeftButton, {}, celda);
  QTest::mouseDClick(r->viewport(), Qt::LeftButton, {}, celda);
  EXPECT_EQ(doble.resultado(), "05");

}

TEST_F(ConsultasVenta, SellerLookupWithoutTableChoosesNothing) {
  accounts::TFormaConVendedores vacia(nullptr, kDatos, "01");
  abre(vacia);
  QTest::keyClick(vacia.rejilla(), Qt::Key_Return);
  EXPECT_TRUE(vacia.isVisible());
  EXPECT_EQ(vacia.resultado(), std::nullopt);
}

TEST_F(ConsultasVenta, CaptureByAmountTakesAPositiveAmountAndAKey) {
  sales::TFormaCalculaxPrecio d;
  abre(d);
  auto* importe = d.findChild<QLineEdit*>("EditImporte");
  auto* clave = d.findChild<QLineEdit*>("EditClave");
  QTest::keyClicks(importe, "abc");
  QTest::keyClicks(clave, "B2");
  QTest::keyClick(clave, Qt::Key_Return);
  EXPECT_TRUE(d.isVisible());  // not an amount
  importe->setText("0");
  QTest::keyClick(clave, Qt::Key_Return);
  EXPECT_TRUE(d.isVisible());  // nothing to sell for 0
  importe->setText("150.50");
  clave->clear();
  QTest::keyClick(clave, Qt::Key_Return);
  EXPECT_TRUE(d.isVisible());  // no key
  QTest::keyClicks(clave, " 7503 ");
  QTest::keyClick(clave, Qt::Key_Return);
  EXPECT_FALSE(d.isVisible());
  EXPECT_EQ(d.resultado(), (sales::CapturaImporte{"150.50", "7503"}));

  sales::TFormaCalculaxPrecio esc;
  abre(esc);
  esc.findChild<QLineEdit*>("EditImporte")->setText("10");
  esc.findChild<QLineEdit*>("EditClave")->setText("A1");
  QTest::keyClick(esc.findChild<QLineEdit*>("EditClave"), Qt::Key_Escape);
  EXPECT_EQ(esc.resultado(), std::nullopt);
}

TEST_F(ConsultasVenta, DocumentRangeReturnsTheTwoNumbersTyped) {
  sales::TFormaRango d(nullptr, "Pedido");
  abre(d);
  EXPECT_EQ(d.findChild<QLabel*>("Tipo")->text(), "Pedido");
  auto* de = d.findChild<QLineEdit*>("PrimerDocumento");
  auto* hasta = d.findChild<QLineEdit*>("UltimoDocumento");
  QTest::keyClicks(de, "1x5");  // only digits are taken
  EXPECT_EQ(de->text(), "15");
  QTest::keyClick(hasta, Qt::Key_Return);
  EXPECT_TRUE(d.isVisible());  // the last number is missing
  QTest::keyClicks(hasta, "9876543210");
  QTest::keyClick(hasta, Qt::Key_Return);
  EXPECT_EQ(d.resultado(), (std::pair<long long, long long>{15, 9876543210LL}));

  sales::TFormaRango esc(nullptr, "Remisión");
  abre(esc);
  esc.findChild<QLineEdit*>("PrimerDocumento")->setText("1");
  esc.findChild<QLineEdit*>("UltimoDocumento")->setText("2");
  QTest::keyClick(esc.findChild<QLineEdit*>("UltimoDocumento"), Qt::Key_Escape);
  EXPECT_EQ(esc.resultado(), std::nullopt);
}

TEST_F(ConsultasVenta, DateRangeStartsTodayAndReturnsTheDatesTyped) {
  sales::DialogoRangoFechas d(nullptr, base::Fecha{2024, 3, 14});
  abre(d);
  EXPECT_EQ(d.windowTitle(), "Rango");
  auto* de = d.findChild<QLineEdit*>("PrimeraPagina");
  auto* hasta = d.findChild<QLineEdit*>("UltimaPagina");
  EXPECT_EQ(de->text(), "14/03/2024");
  EXPECT_EQ(hasta->text(), "14/03/2024");
  de->setCursorPosition(0);
  QTest::keyClicks(de, "01022024");
  EXPECT_EQ(de->text(), "01/02/2024");
  hasta->setText("31/02/2024");  // no such day
  QTest::keyClick(hasta, Qt::Key_Return);
  EXPECT_TRUE(d.isVisible());
  hasta->setText("29/02/2024");
  QTest::keyClick(hasta, Qt::Key_Return);
  EXPECT_EQ(d.resultado(), (std::pair<base::Fecha, base::Fecha>{{2024, 2, 1}, {2024, 2, 29}}));

  sales::DialogoRangoFechas esc(nullptr, base::Fecha{2024, 3, 14});
  abre(esc);
  QTest::keyClick(esc.findChild<QLineEdit*>("PrimeraPagina"), Qt::Key_Escape);
  EXPECT_EQ(esc.resultado(), std::nullopt);
}

TEST_F(ConsultasVenta, CurrencyDialogRoundTripsTheFile) {
  prueba::InteraccionFalsa ui;
  const base::Moneda dolar{"DOLAR", "17.05", "DOLAR", "DOLARES", "DOLARES", "DLLS", "US$"};
  const base::Moneda peso{"PESO", "1", "PESO", "PESOS", "PESOS", "M.N.", "$"};
  ASSERT_TRUE(base::escribeMonedas(kDatos, {peso, dolar}));
  sales::TFormaDivisa d(nullptr, kDatos, ui);
  auto* g = d.rejilla();
  ASSERT_EQ(g->rowCount(), 10);
  ASSERT_EQ(g->columnCount(), 7);
  QStringList titulos;
  std::vector<int> anchos;
  for (int c = 0; c < 7; ++c) {
    titulos << g->horizontalHeaderItem(c)->text();
    anchos.push_back(g->columnWidth(c));
  }
  EXPECT_EQ(titulos, (QStringList{"Divisa", "Valor", "Singular", "Plural", "Plural", "Abrev. Divisa",
                                  "Símbolo Mone."}));
  EXPECT_EQ(anchos, (std::vector<int>{60, 60, 100, 70, 70, 70, 70}));
  EXPECT_EQ(g->item(1, 0)->text(), "DOLAR");
  EXPECT_EQ(g->item(1, 6)->text(), "US$");
  EXPECT_EQ(g->item(2, 0)->text(), "");  // the file held two records only

  g->item(2, 0)->setText("EURO");
  g->item(2, 5)->setText("EUR");
  g->item(0, 1)->setText("1.00");
  d.findChild<QPushButton*>("SpeedButton1")->click();
  const std::string bytes = base::leeBytes(base::une(kDatos, "moneda.tvk")).value_or("");
  ASSERT_EQ(bytes.size(), 10u * 157u);
  EXPECT_EQ(bytes.substr(2 * 157, 5), std::string("\x04") + "EURO");
  const auto leidas = base::leeMonedas(kDatos);
  ASSERT_EQ(leidas.size(), 10u);
  EXPECT_EQ(leidas[0], (base::Moneda{"PESO", "1.00", "PESO", "PESOS", "PESOS", "M.N.", "$"}));
  EXPECT_EQ(leidas[1], dolar);
  EXPECT_EQ(leidas[2], (base::Moneda{"EURO", "", "", "", "", "EUR", ""}));
  EXPECT_EQ(leidas[9], base::Moneda{});
  EXPECT_EQ(base::palabrasMoneda(kDatos, "EURO")[3], "EUR");
  EXPECT_TRUE(ui.llamadas().empty());

  // A longer file shows as many records as the grid has rows.
  std::vector<base::Moneda> doce(12);
  for (int i = 0; i < 12; ++i) doce[i].nombre = "M" + std::to_string(i);
  ASSERT_TRUE(base::escribeMonedas(kDatos, doce));
  sales::TFormaDivisa otra(nullptr, kDatos, ui);
  EXPECT_EQ(otra.rejilla()->item(9, 0)->text(), "M9");
  EXPECT_EQ(otra.monedas().size(), 10u);
}

TEST_F(ConsultasVenta, CurrencyDialogReportsAFileThatCannotBeWritten) {
  prueba::InteraccionFalsa ui;
  sales::TFormaDivisa d(nullptr, "C:\\NoExiste", ui);
  EXPECT_EQ(d.rejilla()->item(0, 0)->text(), "");
  d.rejilla()->item(0, 0)->setText("PESO");
  d.SpeedButton1Click();
  EXPECT_EQ(ui.mensajes(), (std::vector<std::string>{"No Pueden Guardarse los Datos ha Ocurrido un Error"}));
}
