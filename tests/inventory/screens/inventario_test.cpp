// The product catalogue screen driven by keys, its lookup over a large catalogue, and a
// product created there and sold on the sales screen.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include "inventory/screens/TFormaConProduct.h"
#include "inventory/screens/TFormaInventario.h"
#include "inventory/screens/TFormaKit.h"
#include "inventory/screens/TFormaPolitica.h"
#include "support/principal_aplicacion.h"
#include "sales/screens/TFormaFactura.h"
#include "base/rutas.h"
#include "store/dbf/dbf_table.h"
#include "store/demo.h"
#include "session/empresa_nueva.h"
#include "support/dialogos_venta_falsos.h"
#include "support/empresa_ventas.h"
#include "support/entorno.h"
#include "support/interaccion_fake.h"
#include "support/reloj_fijo.h"
#include "ui/rejilla_consulta.h"

namespace mostrador::inventory {
namespace {

using V = std::vector<std::string>;

struct Inventario : ::testing::Test {
  QApplication& qt = prueba::aplicacionQt();
  prueba::DirectorioTemporal dir;
  prueba::EmpresaVentas emp;
  prueba::InteraccionFalsa ui;
  prueba::RelojFijo reloj{base::FechaHora{{2025, 3, 15}, {12, 0, 0, 0}}};
  std::unique_ptr<TFormaInventario> forma;

  Inventario() {
    prueba::ProductoVenta p;
    p.clave = "MART";
    p.descripcion = "Martillo";
    p.existencia = 10;
    p.precio = 100;
    emp.producto(p);
  }
  ~Inventario() override { forma.reset(); }

  TFormaInventario& abre() {
    forma = std::make_unique<TFormaInventario>(
        AjustesCatalogo::de(emp.lineas, std::string(prueba::EmpresaVentas::kSistema), "0"),
        std::string(prueba::EmpresaVentas::kSistema), ui, reloj, [](int) { return true; });
    forma->show();
    forma->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(forma.get()));
    return *forma;
  }
  template <class W>
  W* w(const char* nombre) {
    W* r = forma->findChild<W*>(nombre);
    EXPECT_NE(r, nullptr) << nombre;
    return r;
  }
  QLineEdit* edit(const char* campo) { return w<QLineEdit>((std::string("Edit") + campo).c_str()); }
  void escribe(const char* campo, const QString& texto) {
    QLineEdit* e = edit(campo);
    e->setFocus();
    e->selectAll();
    QTest::keyClicks(e, texto);
    QTest::keyClick(e, Qt::Key_Return);  // Enter leaves the field, as the clerk does
  }
};

TEST_F(Inventario, ANewProductTypedWithKeysIsFoundInTheLookupAndSold) {
  abre();
  EXPECT_EQ(forma->windowTitle(), "Inventario Ordenado por Clave");
  EXPECT_EQ(edit("CLPRO_I")->text(), "MART");
  EXPECT_FALSE(w<QPushButton>("BotonGuardar")->isEnabled());
  QTest::mouseClick(w<QPushButton>("BotonNuevo"), Qt::LeftButton);
  EXPECT_EQ(forma->motor().modo(), ModoCatalogo::Nuevo);
  EXPECT_TRUE(w<QPushButton>("BotonGuardar")->isEnabled());
  EXPECT_FALSE(w<QPushButton>("BotonNuevo")->isEnabled());
  EXPECT_EQ(w<QLabel>("Estado")->text(), "Nuevo");
  EXPECT_EQ(forma->focusWidget(), edit("CLPRO_I"));
  QTest::keyClicks(edit("CLPRO_I"), "TALADRO1");
  QTest::keyClick(edit("CLPRO_I"), Qt::Key_Return);
  EXPECT_EQ(w<QLabel>("LabelCaracteres")->text(), "Caracteres 8");
  escribe("DSCPR_I", "Taladro de banco");
  escribe("PORC1_I", "30");
  escribe("ULCOS_I", "100");
  // Leaving the cost priced level 1 from the margin and took the average cost.
  EXPECT_EQ(edit("PPUBL_I")->text(), "130.0000");
  EXPECT_EQ(edit("CPROM_I")->text().toDouble(), 100);
  escribe("PLIS2_I", "90");  // under the cost: warned, kept
  EXPECT_EQ(ui.mensajes(), V{"El precio es menor al Costo"});
  escribe("UEMPA_I", "2x");
  EXPECT_EQ(ui.mensajes().back(), "\"2x\" no es un Número Válido");
  EXPECT_EQ(edit("UEMPA_I")->text(), "");
  QTest::mouseClick(w<QPushButton>("BotonGuardar"), Qt::LeftButton);
  EXPECT_EQ(forma->motor().modo(), ModoCatalogo::Consulta);
  EXPECT_EQ(emp.filas("inventar.dbf", {"CLPRO_I", "DSCPR_I", "ULCOS_I", "PPUBL_I", "PLIS2_I", "FEALT_I", "ALMAC_I"}),
            (V{"MART|Martillo|0.0000|100.0000|0.0000||1", "TALADRO1|Taladro de banco|100.0000|130.0000|90.0000|15/03/2025|1"}));
  forma->close();

  // The lookup finds it by the start of its key, and by a part of its description.
  TFormaConProduct consulta(nullptr, std::string(prueba::EmpresaVentas::kDatos),
                            std::string(prueba::EmpresaVentas::kSistema), "TAL", false, {}, &ui);
  consulta.show();
  EXPECT_EQ(consulta.rejilla()->claveActual(), "TALADRO1");
  auto* busca = consulta.findChild<QLineEdit*>("EditBusca");
  busca->setText("banco");
  QTest::keyClick(busca, Qt::Key_F4);
  EXPECT_EQ(consulta.rejilla()->filas(), 1);
  QTest::keyClick(busca, Qt::Key_Return);
  EXPECT_EQ(consulta.resultado(), "TALADRO1");

  // And the sales screen sells it at its new price.
  prueba::DialogosVentaFalsos dlg;
  sales::TFormaFactura venta(emp.ajustes(), ui, reloj, nullptr, &dlg);
  venta.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&venta));
  auto foco = [&] { return venta.focusWidget() ? venta.focusWidget() : static_cast<QWidget*>(&venta); };
  QTest::keyClick(foco(), Qt::Key_F9);
  auto* rejilla = venta.findChild<QTableWidget*>("Detalle");
  rejilla->setFocus();
  rejilla->setCurrentCell(0, sales::kClave);
  QApplication::processEvents();
  for (QChar c : QString("TALADRO1")) QTest::keyClick(foco(), c.toLatin1());
  QTest::keyClick(foco(), Qt::Key_Return);
  QApplication::processEvents();
  QTest::keyClick(foco(), Qt::Key_F10);
  QApplication::processEvents();
  EXPECT_EQ(emp.filas("Remisiod.dbf", {"CLPRO_FD", "CANTI_FD", "DEPRO_FD", "PUNPR_FD"}),
            V{"TALADRO1|1.000|Taladro de banco|130.0000"});
  EXPECT_EQ(emp.numero("inventar.dbf", "CLPRO_I", "TALADRO1", "EXIST_I"), -1);
}

TEST_F(Inventario, ModifyKeysCtrlNavigationAndTheDuplicateKey) {
  prueba::ProductoVenta p;
  p.clave = "SERR";
  p.descripcion = "Serrucho";
  p.existencia = 4;
  emp.producto(p);
  abre();
  QTest::keyClick(forma.get(), Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(edit("CLPRO_I")->text(), "SERR");
  QTest::keyClick(forma.get(), Qt::Key_A, Qt::ControlModifier);
  EXPECT_EQ(edit("CLPRO_I")->text(), "MART");
  QTest::mouseClick(w<QPushButton>("BotonCambios"), Qt::LeftButton);
  EXPECT_EQ(forma->motor().modo(), ModoCatalogo::Modifica);
  EXPECT_TRUE(edit("EXIST_I")->isReadOnly());
  edit("CLPRO_I")->selectAll();
  QTest::keyClicks(edit("CLPRO_I"), "SERR");
  QTest::keyClick(edit("CLPRO_I"), Qt::Key_Return);
  EXPECT_EQ(ui.mensajes(), V{"La Clave del producto ya existe, es necesario Modificarla"});
  EXPECT_EQ(edit("CLPRO_I")->text(), "");
  QTest::keyClicks(edit("CLPRO_I"), "MART2");
  escribe("DSCPR_I", "Martillo de bola");
  QTest::mouseClick(w<QPushButton>("BotonGuardar"), Qt::LeftButton);
  EXPECT_EQ(emp.filas("inventar.dbf", {"CLPRO_I", "DSCPR_I", "EXIST_I"}),
            (V{"MART2|Martillo de bola|10.000", "SERR|Serrucho|4.000"}));
  // Closing in New mode with the close dialog's Discard leaves nothing behind.
  QTest::mouseClick(w<QPushButton>("BotonNuevo"), Qt::LeftButton);
  ui.respondeCerrar(base::RespuestaCerrar::Descartar);
  forma->close();
  EXPECT_EQ(emp.filas("inventar.dbf", {"CLPRO_I"}), (V{"MART2", "SERR"}));
}

TEST_F(Inventario, PricePolicyAndKitScreens) {
  abre();
  QTest::mouseClick(w<QPushButton>("BotonCambios"), Qt::LeftButton);
  escribe("ULCOS_I", "80");
  {
    TFormaPolitica p(forma->motor());
    auto* margen = p.findChild<QLineEdit*>("EditPORC4_I");
    margen->setText("25");
    p.saleMargen(4);
    EXPECT_EQ(p.findChild<QLineEdit*>("EditPLIS4_I")->text(), "100.0000");
  }
  QTest::mouseClick(w<QPushButton>("BotonGuardar"), Qt::LeftButton);
  EXPECT_EQ(emp.numero("inventar.dbf", "CLPRO_I", "MART", "PLIS4_I"), 100);

  prueba::ProductoVenta p;
  p.clave = "KIT";
  p.descripcion = "Juego";
  emp.producto(p);
  TFormaKit k(std::string(prueba::EmpresaVentas::kDatos), std::string(prueba::EmpresaVentas::kDatos),
              std::string(prueba::EmpresaVentas::kSistema), "KIT", ui);
  k.show();
  auto* comp = k.findChild<QLineEdit*>("EditCLPRO_K");
  comp->setText("MART");
  k.findChild<QLineEdit*>("EditCANTI_K")->setText("2");
  QTest::mouseClick(k.findChild<QPushButton*>("BotonAgregar"), Qt::LeftButton);
  comp->setText("KIT");
  QTest::mouseClick(k.findChild<QPushButton*>("BotonAgregar"), Qt::LeftButton);
  EXPECT_EQ(ui.mensajes().back(), "Un Kit no Puede Contenerse a Sí Mismo");
  ASSERT_EQ(k.rejilla()->rowCount(), 1);
  EXPECT_EQ(k.rejilla()->horizontalHeaderItem(2)->text(), "Descripción");
  EXPECT_EQ(k.rejilla()->item(0, 0)->text(), "MART");
  EXPECT_EQ(k.rejilla()->item(0, 2)->text(), "Martillo");
  EXPECT_EQ(k.rejilla()->item(0, 3)->text(), "2.00");
}

// ---- the lookup over 100 000 products -------------------------------------------------

struct CatalogoGrande : ::testing::Test {
  QApplication& qt = prueba::aplicacionQt();
  prueba::DirectorioTemporal dir;
  std::string datos = "C:\\grande", sistema = "C:\\tvk";
  std::string claveMedia, siguiente;

  CatalogoGrande() {
    session::OpcionesEmpresa o;
    o.dirDatos = datos;
    o.dirSistema = sistema;
    session::creaEmpresa(o);
    store::OpcionesDemo d;
    d.tamano.productos = 100000;
    d.tamano.clientes = 20;
    d.tamano.movimientos = 200;
    d.tamano.remisiones = d.tamano.facturas = d.tamano.compras = 1;
    store::generaDemo(datos, d);
    dbf::Table t;
    t.open(datos, "inventar.dbf");
    t.setIndex("ICLPRO");
    t.goTo(50000);
    claveMedia = t.asText("CLPRO_I");
    t.next();
    siguiente = t.asText("CLPRO_I");
  }
};

TEST_F(CatalogoGrande, TheLookupOpensOnTheMatchReadingOnlyPagesAroundIt) {
  prueba::InteraccionFalsa ui;
  TFormaConProduct d(nullptr, datos, sistema, claveMedia, false, {}, &ui);
  d.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
  ui::RejillaConsulta* r = d.rejilla();
  EXPECT_EQ(r->claveActual(), claveMedia);
  // A few pages read, not the catalogue.
  EXPECT_LE(r->ventana()->lecturas(), 5 * ui::RejillaConsulta::kPagina);
  EXPECT_LE(r->filas(), 4 * ui::RejillaConsulta::kPagina + 1);
  // Paging down a long way keeps the rows held bounded and the order right.
  for (int i = 0; i < 60; ++i) QTest::keyClick(r, Qt::Key_PageDown);
  EXPECT_LE(r->filas(), ui::RejillaConsulta::kMaximo + ui::RejillaConsulta::kPagina);
  const int f = r->filaActual();
  ASSERT_GT(f, 0);
  EXPECT_LT(r->clave(f - 1), r->clave(f));
  EXPECT_GT(r->clave(f), claveMedia);
  // And back up past where it opened.
  for (int i = 0; i < 120; ++i) QTest::keyClick(r, Qt::Key_PageUp);
  EXPECT_LT(*r->claveActual(), claveMedia);
  EXPECT_LE(r->filas(), ui::RejillaConsulta::kMaximo + ui::RejillaConsulta::kPagina);
  // Ctrl+End and Ctrl+Home reopen at the ends.
  QTest::keyClick(r, Qt::Key_End, Qt::ControlModifier);
  EXPECT_EQ(r->filaActual(), r->filas() - 1);
  QTest::keyClick(r, Qt::Key_Home, Qt::ControlModifier);
  EXPECT_EQ(r->filaActual(), 0);
}

TEST_F(CatalogoGrande, KeysTypedAsTheLookupOpensAreKept) {
  prueba::InteraccionFalsa ui;
  std::optional<std::string> elegido;
  // Down and Enter are already waiting when the lookup's loop starts.
  QTimer::singleShot(0, [&] {
    QWidget* m = QApplication::activeModalWidget();
    ASSERT_NE(m, nullptr);
    QWidget* f = m->focusWidget() ? m->focusWidget() : m;
    QCoreApplication::postEvent(f, new QKeyEvent(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier));
    QCoreApplication::postEvent(f, new QKeyEvent(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier));
  });
  TFormaConProduct d(nullptr, datos, sistema, claveMedia, false, {}, &ui);
  d.exec();
  EXPECT_EQ(d.resultado(), siguiente);
}

}  // namespace
}  // namespace mostrador::inventory

namespace mostrador::inventory {
namespace {

TEST_F(Inventario, AnUnknownKeyOnTheSalesScreenOpensTheCatalogueInNewMode) {
  emp.linea(47, "S");
  ui.respondeAdvertencia(base::RespuestaAdvertencia::Si);
  sales::TFormaFactura venta(emp.ajustes(), ui, reloj, nullptr);
  venta.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&venta));
  auto foco = [&] { return venta.focusWidget() ? venta.focusWidget() : static_cast<QWidget*>(&venta); };
  QTest::keyClick(foco(), Qt::Key_F9);
  auto* rejilla = venta.findChild<QTableWidget*>("Detalle");
  rejilla->setFocus();
  rejilla->setCurrentCell(0, sales::kClave);
  QApplication::processEvents();
  bool vista = false;
  QTimer::singleShot(0, [&] {
    auto* f = qobject_cast<TFormaInventario*>(QApplication::activeModalWidget());
    ASSERT_NE(f, nullptr);
    vista = true;
    f->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(f));
    EXPECT_EQ(f->motor().modo(), ModoCatalogo::Nuevo);
    auto* clave = f->findChild<QLineEdit*>("EditCLPRO_I");
    EXPECT_EQ(clave->text(), "BROCA3");
    auto escribe = [&](const char* n, const char* t) {
      auto* e = f->findChild<QLineEdit*>(n);
      e->setFocus();
      QTest::keyClicks(e, t);
      QTest::keyClick(e, Qt::Key_Return);
    };
    escribe("EditDSCPR_I", "Broca de 3 mm");
    escribe("EditPPUBL_I", "12.5");
    QTest::mouseClick(f->findChild<QPushButton*>("BotonGuardar"), Qt::LeftButton);
    f->close();
  });
  for (QChar c : QString("BROCA3")) QTest::keyClick(foco(), c.toLatin1());
  QTest::keyClick(foco(), Qt::Key_Return);
  QApplication::processEvents();
  ASSERT_TRUE(vista);
  EXPECT_EQ(emp.filas("inventar.dbf", {"CLPRO_I", "DSCPR_I", "PPUBL_I"}),
            (V{"MART|Martillo|100.0000", "BROCA3|Broca de 3 mm|12.5000"}));
  EXPECT_EQ(ui.llamadas().front(), "advertencia: El Producto No Se encuentra...¿Desea darlo de Alta?");
}

}  // namespace
}  // namespace mostrador::inventory

namespace mostrador::inventory {
namespace {

TEST_F(Inventario, EnteringAFieldShowsItsTwoHelpLinesAndHighlightsIt) {
  base::escribeLineas(base::une(prueba::EmpresaVentas::kSistema, "inventa.des"),
                       {"Clave del producto", "Hasta 20 caracteres", "Código de barras", "Del fabricante",
                        "Descripción", "Como se imprime en la nota"});
  abre();
  QLineEdit* d = edit("DSCPR_I");
  d->setFocus();
  QApplication::processEvents();
  EXPECT_EQ(w<QLabel>("Uno")->text(), "Descripción");
  EXPECT_EQ(w<QLabel>("Dos")->text(), "Como se imprime en la nota");
  EXPECT_EQ(d->palette().color(QPalette::Base), QColor(Qt::yellow));
  edit("CLPRO_I")->setFocus();
  QApplication::processEvents();
  EXPECT_EQ(w<QLabel>("Uno")->text(), "Clave del producto");
  EXPECT_EQ(d->palette().color(QPalette::Base), QColor(Qt::white));
  // The product's display: packages, stock and key length.
  EXPECT_EQ(w<QLabel>("LabelCaracteres")->text(), "Caracteres 4");
  EXPECT_EQ(w<QLabel>("LabelDisponible")->text(), "Disponible 10.00");
  EXPECT_EQ(w<QLabel>("LabelEmpaques")->text(), "");
  // Ctrl+S past the last product stays on it.
  QTest::keyClick(forma.get(), Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(edit("CLPRO_I")->text(), "MART");
}

}  // namespace
}  // namespace mostrador::inventory

namespace mostrador::inventory {
namespace {

TEST_F(Inventario, PrintingAsksForAFormatThatExists) {
  abre();
  QTest::mouseClick(w<QPushButton>("BotonImprimir"), Qt::LeftButton);
  base::creaDirectorios("C:\\tvk\\report");
  base::escribeLineas("C:\\tvk\\report\\inventar.for", {"Etiqueta.for"});
  QTest::mouseClick(w<QPushButton>("BotonPreliminar"), Qt::LeftButton);
  EXPECT_EQ(ui.mensajes(), (V{"El Formato C:\\tvk\\report\\inventar.for No Existe", "El Formato Etiqueta.for No Existe"}));
}

}  // namespace
}  // namespace mostrador::inventory
