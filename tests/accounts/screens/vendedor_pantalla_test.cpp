// The seller screen driven through its named controls: a seller typed and saved, the
// key refusals, the search and the page keys, deleting after the confirmation, closing
// with a pending seller, the field help and the report commands.

#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "accounts/screens/TFormaVendedor.h"
#include "base/rutas.h"
#include "base/texto.h"
#include "support/empresa_ventas.h"
#include "support/entorno.h"
#include "support/interaccion_fake.h"
#include "support/principal_aplicacion.h"
#include "support/reloj_fijo.h"

namespace mostrador::accounts {
namespace {

using V = std::vector<std::string>;

struct PantallaVendedor : ::testing::Test {
  QApplication& qt = prueba::aplicacionQt();
  prueba::DirectorioTemporal dir;
  prueba::EmpresaVentas emp;  // seller V1 "Vendedor Uno", 5 %
  prueba::InteraccionFalsa ui;
  prueba::RelojFijo reloj{base::FechaHora{{2025, 3, 15}, {12, 0, 0, 0}}};
  std::unique_ptr<TFormaVendedor> forma;

  ~PantallaVendedor() override { forma.reset(); }

  TFormaVendedor& abre() {
    forma = std::make_unique<TFormaVendedor>(
        AjustesVendedores::de(emp.lineas, std::string(prueba::EmpresaVentas::kSistema), "4"), ui, reloj,
        [](int) { return true; });
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
  void clic(const char* boton) { QTest::mouseClick(w<QPushButton>(boton), Qt::LeftButton); }
  void escribe(const QString& texto) {
    QWidget* f = forma->focusWidget();
    ASSERT_NE(f, nullptr);
    QTest::keyClicks(f, texto);
    QTest::keyClick(f, Qt::Key_Return);  // Enter moves on, as the clerk does
  }
  V vendedores() const { return emp.filas("vendedor.dbf", {"CLVEN_V", "NOMBR_V", "COMIS_V", "CLASV_V", "STATU_V"}); }
};

TEST_F(PantallaVendedor, ASellerTypedFieldByFieldIsSavedAndARepeatedKeyRefused) {
  base::escribeLineas(base::une(prueba::EmpresaVentas::kSistema, "vendedor.des"),
                      {"Clave del vendedor", "Única", "Nombre completo", "Como aparece", "Porcentaje", "De comisión"});
  abre();
  EXPECT_EQ(forma->windowTitle(), "Vendedores Ordenado por Clave");
  EXPECT_EQ(w<QLabel>("Usuario")->text(), "4");
  EXPECT_EQ(edit("CLVEN_V")->text(), "V1");
  EXPECT_EQ(edit("NOMBR_V")->text(), "Vendedor Uno");
  EXPECT_TRUE(edit("NOMBR_V")->isReadOnly());
  EXPECT_FALSE(w<QPushButton>("BotonGuardar")->isEnabled());
  EXPECT_FALSE(w<QAction>("CancelaMovimiento1")->isEnabled());

  clic("BotonNuevo");
  EXPECT_EQ(forma->motor().modo(), ModoVendedores::Nuevo);
  EXPECT_TRUE(w<QPushButton>("BotonGuardar")->isEnabled());
  EXPECT_FALSE(w<QPushButton>("BotonNuevo")->isEnabled());
  EXPECT_FALSE(w<QAction>("Eliminar1")->isEnabled());
  EXPECT_EQ(forma->focusWidget(), edit("CLVEN_V"));
  EXPECT_EQ(w<QLabel>("uno")->text(), "Clave del vendedor");
  EXPECT_EQ(w<QLabel>("dos")->text(), "Única");
  escribe("V1");
  EXPECT_EQ(forma->focusWidget(), edit("NOMBR_V"));
  EXPECT_EQ(w<QLabel>("uno")->text(), "Nombre completo");
  escribe("Vendedora Dos");
  escribe("A");  // EditSTATU_V
  EXPECT_EQ(w<QLabel>("uno")->text(), "Porcentaje");  // EditCOMIS_V
  escribe("3.5");
  escribe("CALLE");
  clic("BotonGuardar");
  EXPECT_EQ(ui.mensajes(), V{"La Clave ya Existe Es Necesario Cambiarla"});
  EXPECT_EQ(forma->motor().modo(), ModoVendedores::Nuevo);
  EXPECT_EQ(forma->focusWidget(), edit("CLVEN_V"));
  EXPECT_EQ(vendedores(), V{"V1|Vendedor Uno|5.0000||"});

  edit("CLVEN_V")->selectAll();
  escribe("V2");
  clic("BotonGuardar");
  EXPECT_EQ(forma->motor().modo(), ModoVendedores::Consulta);
  EXPECT_EQ(vendedores(), (V{"V1|Vendedor Uno|5.0000||", "V2|Vendedora Dos|3.5000|CALLE|A"}));
  EXPECT_EQ(edit("CLVEN_V")->text(), "V2");
  EXPECT_EQ(edit("COMIS_V")->text(), "3.5000");
  EXPECT_TRUE(edit("CLVEN_V")->isReadOnly());
  EXPECT_TRUE(w<QPushButton>("BotonNuevo")->isEnabled());
  // The key edit takes no more than the key holds.
  EXPECT_EQ(edit("CLVEN_V")->maxLength(), 10);
}

TEST_F(PantallaVendedor, SearchPageKeysAndDeleteAfterTheConfirmation) {
  emp.vendedor("B2", "Beatriz", 2);
  emp.vendedor("A1", "Zacarias", 1);
  abre();
  EXPECT_EQ(edit("CLVEN_V")->text(), "A1");
  QTest::keyClick(forma.get(), Qt::Key_PageDown);
  EXPECT_EQ(edit("CLVEN_V")->text(), "B2");
  QTest::keyClick(forma.get(), Qt::Key_PageUp);
  EXPECT_EQ(edit("CLVEN_V")->text(), "A1");

  ui.respondeBusqueda(base::Busqueda{"Bea", base::CampoBusqueda::Nombre});
  clic("BotonBuscar");
  EXPECT_EQ(forma->windowTitle(), "Vendedores Ordenado por Nombre");
  EXPECT_EQ(edit("CLVEN_V")->text(), "B2");
  EXPECT_EQ(edit("NOMBR_V")->text(), "Beatriz");
  QTest::keyClick(forma.get(), Qt::Key_PageDown);  // name order: Beatriz, Vendedor Uno, Zacarias
  EXPECT_EQ(edit("CLVEN_V")->text(), "V1");

  ui.respondeAdvertencia(base::RespuestaAdvertencia::No);
  w<QAction>("Eliminar1")->trigger();
  EXPECT_EQ(vendedores().size(), 3u);
  ui.respondeAdvertencia(base::RespuestaAdvertencia::Si);
  w<QAction>("Eliminar1")->trigger();
  EXPECT_EQ(ui.llamadas(), (V{"busca", "advertencia: Esta Seguro de Eliminar este Registro ?",
                              "advertencia: Esta Seguro de Eliminar este Registro ?"}));
  EXPECT_EQ(vendedores(), (V{"B2|Beatriz|2.0000||", "A1|Zacarias|1.0000||"}));
  EXPECT_EQ(edit("CLVEN_V")->text(), "A1");  // the next one by name

  // The catalogue browser's key.
  EXPECT_TRUE(forma->abreEnClave("B2"));
  EXPECT_EQ(forma->windowTitle(), "Vendedores Ordenado por Clave");
  EXPECT_EQ(edit("NOMBR_V")->text(), "Beatriz");
}

TEST_F(PantallaVendedor, ClosingWithAPendingSellerAsksAndKeepsTheKeyRules) {
  abre();
  clic("BotonNuevo");
  escribe("");  // no key
  escribe("Sin Clave");
  ui.respondeCerrar(base::RespuestaCerrar::Guardar);
  forma->close();
  EXPECT_TRUE(forma->isVisible());
  EXPECT_EQ(ui.mensajes(), V{"Falta la Clave..."});
  EXPECT_EQ(forma->motor().modo(), ModoVendedores::Nuevo);
  EXPECT_EQ(edit("NOMBR_V")->text(), "Sin Clave");
  ui.respondeCerrar(base::RespuestaCerrar::Descartar);
  forma->close();
  EXPECT_FALSE(forma->isVisible());
  EXPECT_EQ(vendedores(), V{"V1|Vendedor Uno|5.0000||"});
}

TEST_F(PantallaVendedor, AChangeAndItsCancel) {
  abre();
  w<QAction>("Modificar1")->trigger();
  EXPECT_EQ(forma->motor().modo(), ModoVendedores::Modifica);
  EXPECT_FALSE(edit("NOMBR_V")->isReadOnly());
  edit("NOMBR_V")->setFocus();
  edit("NOMBR_V")->selectAll();
  escribe("Otro Nombre");
  w<QAction>("CancelaMovimiento1")->trigger();
  EXPECT_EQ(forma->motor().modo(), ModoVendedores::Consulta);
  EXPECT_EQ(edit("NOMBR_V")->text(), "Vendedor Uno");
  w<QAction>("Modificar1")->trigger();
  edit("COMIS_V")->setFocus();
  edit("COMIS_V")->selectAll();
  escribe("6,5");
  EXPECT_EQ(ui.mensajes(), V{"\"6,5\" no es un Número Válido"});
  EXPECT_EQ(edit("COMIS_V")->text(), "5.0000");
  edit("COMIS_V")->selectAll();
  QTest::keyClicks(edit("COMIS_V"), "6.5");  // typed, not left: Save takes it
  w<QAction>("Guardar1")->trigger();
  EXPECT_EQ(vendedores(), V{"V1|Vendedor Uno|6.5000||"});
}

TEST_F(PantallaVendedor, ReportCommandsHandTheirDefinitionToTheRunner) {
  emp.vendedor("V2", "Vendedor Dos", 2);
  abre();
  QTest::keyClick(forma.get(), Qt::Key_PageDown);
  w<QAction>("Comisiones1")->trigger();
  EXPECT_EQ(ui.mensajes(), V{"El módulo Reportes no está disponible todavía"});
  std::vector<inventory::DefinicionReporte> corridas;
  forma->ponEjecutaReporte([&](const inventory::DefinicionReporte& d) { corridas.push_back(d); });
  w<QAction>("Listadode1")->trigger();
  w<QAction>("ComisionesConcentrado1")->trigger();
  ASSERT_EQ(corridas.size(), 2u);
  EXPECT_EQ(corridas[0].menu, "Listadode1");
  EXPECT_EQ(w<QAction>("Listadode1")->text().toStdString(), corridas[0].titulo);
  EXPECT_EQ(corridas[0].texto, reporteVendedor("Listadode1", std::string(prueba::EmpresaVentas::kDatos), "facturae.dbf")->texto);
  EXPECT_EQ(corridas[1].titulo, "Comisiones Concentrado");
  EXPECT_NE(corridas[1].texto.find("\r>CLVEN_F\r"), std::string::npos);
  EXPECT_EQ(edit("CLVEN_V")->text(), "V2");  // the seller still shows after the report

  // The help index takes the screen's menus after the first one.
  w<QAction>("Informacion1")->trigger();
  const auto indice = base::leeLineas(base::une(prueba::EmpresaVentas::kSistema, "ayuda\\ayudatvk.tvk"));
  ASSERT_TRUE(indice);
  ASSERT_GE(indice->size(), 3u);
  EXPECT_EQ((*indice)[0], "Vendedores");
  EXPECT_EQ((*indice)[1], "&Impresión");
  EXPECT_EQ((*indice)[2], "Elegir Formato");
}

}  // namespace
}  // namespace mostrador::accounts
