#include <gtest/gtest.h>

#include <QCheckBox>
#include <QPointer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QVBoxLayout>

#include "support/principal_aplicacion.h"
#include "support/entorno.h"
#include "support/interaccion_fake.h"
#include "base/confcamp.h"
#include "base/registros_fijos.h"
#include "session/empresa_nueva.h"
#include "ui/dialogos.h"
#include "ui/interaccion_qt.h"

using namespace mostrador;
using namespace mostrador::ui;
using prueba::aplicacionQt;

namespace {

struct Dialogos : ::testing::Test {
  QApplication& qt = aplicacionQt();
};

// Opens the dialog without blocking, as exec() would show it.
template <class D>
void abre(D& d) {
  d.setModal(true);
  d.show();
  QTest::qWait(1);
}

}  // namespace

TEST_F(Dialogos, MessageBoxAppendsNineBlanksAndClosesOnAnyKey) {
  TDialogo d("Clave Incorrecta");
  EXPECT_EQ(d.windowTitle(), "Mensaje");
  EXPECT_EQ(d.texto(), "Clave Incorrecta         ");
  abre(d);
  QTest::keyClick(&d, Qt::Key_Shift);  // a modifier alone is no key
  EXPECT_TRUE(d.isVisible());
  QTest::keyClick(&d, Qt::Key_Q);
  EXPECT_FALSE(d.isVisible());
  EXPECT_EQ(d.result(), QDialog::Accepted);
}

TEST_F(Dialogos, MessageBoxShowsCarriageReturnsAsLinesAndWidensWithTheText) {
  TDialogo corto("Uno");
  TDialogo largo(QString("El Archivo Cliente.dbf No Existe Revise su Configuración\r").repeated(2) +
                 QString(200, 'x'));
  EXPECT_EQ(largo.texto().count('\n'), 2);
  EXPECT_GT(largo.minimumWidth(), corto.minimumWidth());
}

TEST_F(Dialogos, ConfirmationAnswersAndItsKeyButton) {
  TFormaAdvertencia d;
  EXPECT_EQ(d.windowTitle(), "Advertencia !!!");
  EXPECT_EQ(d.findChild<QLabel*>("Pregunta")->text(), "¿ Esta Seguro que Desea Eliminar el Documento ?");
  EXPECT_EQ(d.findChild<QPushButton*>("BotonSi")->text(), "&Si      ");
  EXPECT_EQ(d.findChild<QPushButton*>("BotonNo")->text(), "&No     ");
  abre(d);
  // Without the key button F9 does nothing.
  QTest::keyClick(&d, Qt::Key_F9);
  EXPECT_TRUE(d.isVisible());
  d.findChild<QPushButton*>("BotonSi")->click();
  EXPECT_EQ(d.respuesta(), 1);
  EXPECT_EQ(d.result(), 1);

  TFormaAdvertencia conClave("¿ Cancelar la Venta ?", true);
  abre(conClave);
  EXPECT_EQ(conClave.findChild<QPushButton*>("BotonClave")->text(), "Capturar Clave (F9)");
  QTest::keyClick(&conClave, Qt::Key_F9);
  EXPECT_FALSE(conClave.isVisible());
  EXPECT_EQ(conClave.respuesta(), 2);
}

TEST_F(Dialogos, PendingChangesAnswers) {
  for (auto [boton, respuesta] : {std::pair{"BotonGuardar", 1}, {"BotonDescartar", 2}, {"BotonCancelar", 3}}) {
    TFormaCerrar d;
    abre(d);
    d.findChild<QPushButton*>(boton)->click();
    EXPECT_EQ(d.respuesta(), respuesta) << boton;
  }
  TFormaCerrar escape;
  abre(escape);
  QTest::keyClick(&escape, Qt::Key_Escape);
  EXPECT_EQ(escape.respuesta(), 3);
}

TEST_F(Dialogos, SearchBoxChoosesWithFunctionKeysAndEscapeCancels) {
  TFormaBusqueda d(false);
  abre(d);
  auto* caja = d.findChild<QLineEdit*>("CajaBuscar");
  QTest::keyClicks(caja, "PEREZ");
  QTest::keyClick(caja, Qt::Key_F2);
  QTest::keyClick(caja, Qt::Key_F3);  // no address choice here
  QTest::keyClick(caja, Qt::Key_Return);
  auto r = d.resultado();
  ASSERT_TRUE(r);
  EXPECT_EQ(r->texto, "PEREZ");
  EXPECT_EQ(r->campo, base::CampoBusqueda::Nombre);

  // Opening again empties the text; Escape leaves no choice and no answer.
  abre(d);
  EXPECT_EQ(caja->text(), "");
  QTest::keyClick(caja, Qt::Key_Escape);
  EXPECT_FALSE(d.resultado());
  EXPECT_FALSE(d.findChild<QRadioButton*>("Clave")->isChecked());
  EXPECT_FALSE(d.findChild<QRadioButton*>("Nombre")->isChecked());

  TFormaBusqueda conDireccion(true);
  abre(conDireccion);
  QTest::keyClick(conDireccion.findChild<QLineEdit*>("CajaBuscar"), Qt::Key_F3);
  QTest::keyClick(conDireccion.findChild<QLineEdit*>("CajaBuscar"), Qt::Key_Return);
  EXPECT_EQ(conDireccion.resultado()->campo, base::CampoBusqueda::Direccion);
}

TEST_F(Dialogos, NumberPromptTakesBackAnInvalidCharacter) {
  TFormaDato d("Cantidad");
  abre(d);
  auto* e = d.findChild<QLineEdit*>("EditDato");
  QTest::keyClicks(e, "12");
  EXPECT_EQ(d.estado(), "Número Válido");
  QTest::keyClicks(e, "x");
  EXPECT_EQ(e->text(), "12");
  QTest::keyClicks(e, ".5");
  EXPECT_EQ(d.dato(), "12.5");
  e->setText("");
  EXPECT_EQ(d.dato(), "0");
}

TEST_F(Dialogos, NumberPromptGivesZeroForAnInvalidText) {
  TFormaDato d("Cantidad");
  d.findChild<QLineEdit*>("EditDato")->setText("1-2");
  EXPECT_EQ(d.textoCrudo(), "1-2");
  EXPECT_EQ(d.dato(), "0");
}

TEST_F(Dialogos, ListPickerPicksTheCurrentRow) {
  TFormaLineas d({"Documento", "Importe"}, {{"1", "10.00"}, {"2", "20.00"}, {"3", "30.00"}});
  abre(d);
  auto* tabla = d.findChild<QWidget*>("DBGrid1");
  QTest::keyClick(tabla, Qt::Key_Down);
  QTest::keyClick(&d, Qt::Key_Return);
  EXPECT_EQ(d.fila(), 1);
}

TEST_F(Dialogos, FieldChooserListsTheTablesFieldsAndPicksAName) {
  QStringList pedidas;
  TFormaCampos d([&](const QString& tabla) {
    pedidas << tabla;
    return QStringList{"[000]CLCLI_C  Clave del Cliente", "[001]NOMBR_C  Nombre"};
  });
  ASSERT_EQ(TFormaCampos::tablas().size(), 11u);
  EXPECT_EQ(TFormaCampos::tablas()[2], (std::pair<QString, QString>{"Compras Partidas", "Detacomp.db"}));
  d.escogeTabla("Inventarios");
  EXPECT_EQ(pedidas, (QStringList{"cliente.dbf", "inventar.dbf"}));
  auto* lista = d.findChild<QListWidget*>("ListBox1");
  ASSERT_EQ(lista->count(), 2);
  abre(d);
  emit lista->itemDoubleClicked(lista->item(1));
  EXPECT_EQ(d.campo(), "NOMBR_C");
  EXPECT_FALSE(d.isVisible());
}

TEST_F(Dialogos, NonIndexedSearchGivesTheFieldAndTheValue) {
  TFormaBusquedaNoIndexada d({{"NOMBR_C", "Nombre del Cliente"}, {"CIUDA_C", "Ciudad"}});
  d.findChild<QListWidget*>("ListBox1")->setCurrentRow(1);
  d.findChild<QLineEdit*>("Valor")->setText("Monterrey");
  EXPECT_EQ(d.campo(), "CIUDA_C");
  EXPECT_EQ(d.valor(), "Monterrey");
}

TEST_F(Dialogos, DescriptionPopupSitsBelowItsButtonAndClosesOnAnyKey) {
  QWidget ventana;
  auto* boton = new QPushButton("Clientes", &ventana);
  boton->setGeometry(40, 30, 100, 40);
  ventana.show();
  TFormaDescribe d("Catálogo de clientes", &ventana);
  d.debajoDe(boton);
  EXPECT_EQ(d.pos(), boton->mapToGlobal(QPoint(0, 40)));
  d.show();
  QTest::keyClick(&d, Qt::Key_A);
  EXPECT_FALSE(d.isVisible());
}

TEST_F(Dialogos, RtfTopicsShowTheirText) {
  const QByteArray rtf =
      "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red0\\green0\\blue0;}"
      "\\f0\\fs20 Cat\\'e1logo de \\b Clientes\\b0\\par Alta con F9\\tab ok\\par "
      "{\\*\\generator Writer;}Llave \\{x\\}}";
  EXPECT_EQ(textoDeRtf(rtf), "Catálogo de Clientes\nAlta con F9\tok\nLlave {x}");
}

TEST_F(Dialogos, TheShippedHelpPagesOpenInTheProgramsOwnViewer) {
  prueba::DirectorioTemporal t;
  ASSERT_GT(session::instalaPlantillas(session::directorioInstalacion(), t.str() + "/tvk"), 0);
  prueba::InteraccionFalsa ui;
  QPointer<TFormaAyudaLinea> principal = TFormaAyudaLinea::muestra(nullptr, t.str() + "/tvk/ayuda/principal.mht", ui);
  ASSERT_TRUE(principal);
  EXPECT_TRUE(principal->isVisible());
  EXPECT_TRUE(principal->textoTema().startsWith("Ventana principal \nDesde la ventana principal se abre")) << principal->textoTema().toStdString();
  EXPECT_TRUE(principal->textoTema().contains("Configuración: configuración general y usuarios"));
  QPointer<TFormaAyudaLinea> factura = TFormaAyudaLinea::muestra(nullptr, t.str() + "\\tvk\\ayuda\\factura.rtf", ui);
  ASSERT_TRUE(factura);
  EXPECT_TRUE(factura->textoTema().startsWith("Facturación\n\nCaptura de remisiones")) << factura->textoTema().toStdString();
  EXPECT_EQ(TFormaAyudaLinea::muestra(nullptr, t.str() + "/tvk/ayuda/nada.mht", ui), nullptr);
  EXPECT_EQ(ui.mensajes(), std::vector<std::string>{"El Archivo " + t.str() + "/tvk/ayuda/nada.mht No Existe"});
  principal->close();
  factura->close();
  QApplication::processEvents();
}

TEST_F(Dialogos, HelpViewerSearchesAndF3SaysWhereItWas) {
  prueba::DirectorioTemporal t;
  t.escribe("ayuda/clientes.rtf", "{\\rtf1 Uno cliente, otro cliente.}");
  prueba::InteraccionFalsa ui;
  TFormaAyudaLinea d(ui);
  ASSERT_TRUE(d.abre(QString::fromStdString((t.ruta() / "ayuda/clientes.rtf").string())));
  EXPECT_FALSE(d.abre("/no/existe.rtf"));
  EXPECT_EQ(d.textoTema(), "Uno cliente, otro cliente.");
  d.busca("cliente");
  EXPECT_EQ(d.posicion(), 4);
  abre(d);
  QTest::keyClick(&d, Qt::Key_F3);
  EXPECT_EQ(ui.mensajes(), std::vector<std::string>{"posicion 4 cliente"});
  EXPECT_EQ(d.posicion(), 18);
}

TEST_F(Dialogos, OperatorLegend) {
  TFormaOperador d;
  EXPECT_EQ(d.findChild<QLabel*>("Label1")->text(), "= igual    > mayor      < menor       & incluye");
}

TEST_F(Dialogos, EnterAndDownMoveToTheNextFieldUpToThePrevious) {
  QDialog forma;
  auto* l = new QVBoxLayout(&forma);
  auto* a = new QLineEdit(&forma);
  auto* b = new QCheckBox("b", &forma);
  auto* c = new QLineEdit(&forma);
  auto* propio = new QLineEdit(&forma);
  propio->setProperty("enterPropio", true);
  for (QWidget* w : {static_cast<QWidget*>(a), static_cast<QWidget*>(b), static_cast<QWidget*>(c),
                     static_cast<QWidget*>(propio)})
    l->addWidget(w);
  instalaNavegacion(&forma);
  forma.show();
  QApplication::setActiveWindow(&forma);
  a->setFocus();
  QTest::keyClick(a, Qt::Key_Return);
  EXPECT_TRUE(b->hasFocus());
  QTest::keyClick(b, Qt::Key_Down);
  EXPECT_TRUE(c->hasFocus());
  QTest::keyClick(c, Qt::Key_Up);
  EXPECT_TRUE(b->hasFocus());
  propio->setFocus();
  bool enter = false;
  QObject::connect(propio, &QLineEdit::returnPressed, [&] { enter = true; });
  QTest::keyClick(propio, Qt::Key_Return);
  EXPECT_TRUE(enter);
  EXPECT_TRUE(propio->hasFocus());
}

TEST_F(Dialogos, FieldListsComeFromTheFieldCatalogue) {
  prueba::DirectorioTemporal t;
  // One table: records 1..49 hold its fields, then the table index and the count.
  base::ArchivoFijo archivo(base::une(t.str(), "confcamp.cmp"), base::disenoCatalogoCampos());
  std::vector<base::RegistroFijo> regs(52, base::RegistroFijo(base::disenoCatalogoCampos()));
  regs[1].ponTexto("nombre", "CLCLI_C");
  regs[1].ponTexto("descripcion", "Clave del Cliente");
  regs[2].ponTexto("nombre", "NOMBR_C");
  regs[50].ponTexto("descripcion", "cliente.dbf");
  regs[51].ponTexto("numero", "1");
  ASSERT_TRUE(archivo.reescribe(regs));

  const QStringList lineas = lineasDelCatalogo(t.str())("cliente.dbf");
  ASSERT_EQ(lineas.size(), 49);
  EXPECT_EQ(lineas[0], "[000]CLCLI_C  Clave del Cliente");
  EXPECT_EQ(lineas[1], "[001]NOMBR_C  NOMBR_C");
  EXPECT_TRUE(lineasDelCatalogo(t.str())("vendedor.dbf").isEmpty());

  const auto campos = TFormaBusquedaNoIndexada::camposDelCatalogo(t.str(), "cliente.dbf");
  EXPECT_EQ(campos, (std::vector<std::pair<QString, QString>>{{"CLCLI_C", "Clave del Cliente"},
                                                              {"NOMBR_C", "NOMBR_C"}}));
}

TEST_F(Dialogos, FileFiltersInTheQtForm) {
  EXPECT_EQ(filtroQt("Formatos (*.for)|*.for|Todos|*.*"), "Formatos (*.for) (*.for);;Todos (*.*)");
  EXPECT_EQ(filtroQt("Hojas|*.xls;*.csv"), "Hojas (*.xls *.csv)");
}
