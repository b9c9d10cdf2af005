// The common dialogs that work over the field catalogue, as the screens open them: the
// search by any field, the designer's field chooser and the filter grid's operator legend.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <functional>

#include "base/confcamp.h"
#include "base/rutas.h"
#include "designers/screens/TFormaCatalogo.h"
#include "designers/screens/TFormaEdicion.h"
#include "store/dbf/dbf_table.h"
#include "support/empresa_ventas.h"
#include "support/entorno.h"
#include "support/interaccion_fake.h"
#include "support/principal_aplicacion.h"
#include "ui/dialogos.h"

namespace mostrador::prueba {
namespace {

using ui::TFormaBusquedaNoIndexada;
using ui::TFormaCampos;

struct DialogosCatalogo : ::testing::Test {
  QApplication& qt = aplicacionQt();
  DirectorioTemporal dir;
  EmpresaVentas empresa;
  InteraccionFalsa ui;
  const std::string sistema{EmpresaVentas::kSistema};

  DialogosCatalogo() {
    const auto campo = [](const char* nombre, const char* descripcion) {
      base::CampoCatalogo c;
      c.nombre = nombre;
      c.descripcion = descripcion;
      c.tercero = "C";
      return c;
    };
    EXPECT_TRUE(base::escribeCatalogoCampos(
        base::une(sistema, "confcamp.cmp"),
        {{"cliente.dbf", {campo("CLCLI_C", "Clave del Cliente"), campo("NOMBR_C", "Nombre del Cliente"),
                          campo("SALDO_C", "")}},
         {"cucobrar.dbf", {campo("NUFAC_CC", "Documento"), campo("IMCUE_CC", "Importe")}},
         {"inventar.dbf", {campo("CLPRO_I", "Clave"), campo("DSCPR_I", "No Disponible")}}}));
    empresa.cliente("C2", "Ana Abad");
    empresa.cliente("C3", "Beto Ruiz");
    empresa.cliente("C4", "Ana Beltrán");
  }

  // Runs `que` on the modal dialog D once it is up.
  template <class D>
  static void alAbrir(std::function<void(D&)> que) {
    QTimer::singleShot(0, [que] {
      if (auto* d = qobject_cast<D*>(QApplication::activeModalWidget())) que(*d);
      else ADD_FAILURE() << "no se abrió el diálogo";
    });
  }
  static void elige(TFormaBusquedaNoIndexada& d, int fila, const char* valor) {
    d.findChild<QListWidget*>("ListBox1")->setCurrentRow(fila);
    d.findChild<QLineEdit*>("Valor")->setText(QString::fromUtf8(valor));
    d.findChild<QPushButton*>("BitBtn1")->click();
  }
};

TEST_F(DialogosCatalogo, SearchByAnyFieldOffersTheCataloguesFieldsAndGivesFieldAndValue) {
  std::vector<QString> ofrecidos;
  alAbrir<TFormaBusquedaNoIndexada>([&](TFormaBusquedaNoIndexada& d) {
    auto* lista = d.findChild<QListWidget*>("ListBox1");
    for (int i = 0; i < lista->count(); ++i) ofrecidos.push_back(lista->item(i)->text());
    elige(d, 1, "Ana B");
  });
  const auto pedido = TFormaBusquedaNoIndexada::pide(nullptr, sistema, "cliente.dbf");
  EXPECT_EQ(ofrecidos, (std::vector<QString>{"Clave del Cliente", "Nombre del Cliente", "SALDO_C"}));
  ASSERT_TRUE(pedido);
  EXPECT_EQ(*pedido, (std::pair<std::string, std::string>{"NOMBR_C", "Ana B"}));

  alAbrir<TFormaBusquedaNoIndexada>([](TFormaBusquedaNoIndexada& d) {
    d.findChild<QLineEdit*>("Valor")->setText("x");
    d.findChild<QPushButton*>("BitBtn2")->click();
  });
  EXPECT_FALSE(TFormaBusquedaNoIndexada::pide(nullptr, sistema, "cliente.dbf"));
  // A table the catalogue does not describe offers nothing to choose.
  alAbrir<TFormaBusquedaNoIndexada>([](TFormaBusquedaNoIndexada& d) { elige(d, 0, "x"); });
  EXPECT_FALSE(TFormaBusquedaNoIndexada::pide(nullptr, sistema, "vendedor.dbf"));
}

TEST_F(DialogosCatalogo, TheScreenCommandPositionsTheTableOrSaysWhy) {
  dbf::Table t;
  t.open(std::string(EmpresaVentas::kDatos), "cliente.dbf");
  t.setIndex("ICLACLI");
  t.first();
  alAbrir<TFormaBusquedaNoIndexada>([](TFormaBusquedaNoIndexada& d) { elige(d, 1, "Ana"); });
  EXPECT_TRUE(TFormaBusquedaNoIndexada::busca(nullptr, sistema, "cliente.dbf", t, ui));
  EXPECT_EQ(t.asText("CLCLI_C"), "C2");
  alAbrir<TFormaBusquedaNoIndexada>([](TFormaBusquedaNoIndexada& d) { elige(d, 1, "ana"); });
  EXPECT_FALSE(TFormaBusquedaNoIndexada::busca(nullptr, sistema, "cliente.dbf", t, ui));
  alAbrir<TFormaBusquedaNoIndexada>([](TFormaBusquedaNoIndexada& d) { elige(d, 0, "C1234567890"); });
  EXPECT_FALSE(TFormaBusquedaNoIndexada::busca(nullptr, sistema, "cliente.dbf", t, ui));
  alAbrir<TFormaBusquedaNoIndexada>([](TFormaBusquedaNoIndexada& d) { d.reject(); });
  EXPECT_FALSE(TFormaBusquedaNoIndexada::busca(nullptr, sistema, "cliente.dbf", t, ui));
  EXPECT_EQ(t.asText("CLCLI_C"), "C2");
  EXPECT_EQ(ui.mensajes(), (std::vector<std::string>{"No se Encuentra", "Valor no Válido Revise Por Favor"}));
}

TEST_F(DialogosCatalogo, TheDesignersFieldChooserSetsTheModuleAndPutsTheReference) {
  TFormaEdicion f(sistema);
  f.modoDiseno(ui);
  auto* codigo = f.findChild<QPlainTextEdit*>("Codigo");
  codigo->setPlainText("@1,2,\n@3,4,");
  QTextCursor c = codigo->textCursor();
  c.movePosition(QTextCursor::End);
  codigo->setTextCursor(c);  // on the second line
  ASSERT_NE(f.findChild<QPushButton*>("Campos1"), nullptr);

  QString tablaAlAbrir;
  QStringList lineas;
  alAbrir<TFormaCampos>([&](TFormaCampos& d) {
    tablaAlAbrir = d.titulo();
    d.escogeTabla("Ctas.Cobrar");
    lineas = d.lineas();
    auto* lista = d.findChild<QListWidget*>("ListBox1");
    emit lista->itemDoubleClicked(lista->item(1));
  });
  f.findChild<QPushButton*>("Campos1")->click();
  EXPECT_EQ(tablaAlAbrir, "Clientes");  // the designer's module when it opened
  ASSERT_EQ(lineas.size(), 49);
  EXPECT_EQ(lineas[0], "[000]NUFAC_CC  Documento");
  EXPECT_EQ(f.modulo(), "Ctas. Cobrar");
  EXPECT_EQ(f.lineasCodigo(), (std::vector<std::string>{"@1,2,", "@3,4,[001]"}));

  // Closed without a pick on a detail table: neither the module nor the code change.
  alAbrir<TFormaCampos>([](TFormaCampos& d) {
    EXPECT_EQ(d.titulo(), "Ctas.Cobrar");
    d.escogeTabla("Facturas Partidas");
    d.reject();
  });
  f.Campos1Click();
  EXPECT_EQ(f.modulo(), "Ctas. Cobrar");
  EXPECT_EQ(f.lineasCodigo(), (std::vector<std::string>{"@1,2,", "@3,4,[001]"}));
}

TEST_F(DialogosCatalogo, TheFilterGridShowsTheOperatorLegendWindowInTheConditionColumn) {
  TFormaFiltros f(sistema, "inventar.dbf");
  ASSERT_EQ(f.Rejilla->rowCount(), 1);
  QWidget* leyenda = f.Leyenda->window();
  ASSERT_NE(leyenda, &f);
  EXPECT_EQ(leyenda->objectName(), "TFormaOperador");
  EXPECT_EQ(f.Leyenda->text(), "= igual    > mayor      < menor       & incluye");
  f.show();
  f.Rejilla->setCurrentCell(0, 2);
  EXPECT_TRUE(leyenda->isVisible());
  f.Rejilla->setCurrentCell(0, 3);
  EXPECT_FALSE(leyenda->isVisible());
  f.Rejilla->setCurrentCell(0, 2);
  f.accept();
  EXPECT_FALSE(leyenda->isVisible());
}

}  // namespace
}  // namespace mostrador::prueba
