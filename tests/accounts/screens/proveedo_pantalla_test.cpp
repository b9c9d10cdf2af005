// The supplier screen offscreen: a supplier created with the keys (the proposed key kept
// or typed over), the key refusals on Save, the labels, the lookup and the contacts.

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include "accounts/screens/TFormaComplementosCliente.h"
#include "accounts/screens/TFormaConProvee.h"
#include "accounts/screens/TFormaProveedo.h"
#include "store/dbf/dbf_table.h"
#include "support/empresa_ventas.h"
#include "support/entorno.h"
#include "support/interaccion_fake.h"
#include "support/principal_aplicacion.h"
#include "support/reloj_fijo.h"
#include "ui/rejilla_consulta.h"

namespace mostrador::accounts {
namespace {

using V = std::vector<std::string>;
const std::string kDatos(prueba::EmpresaVentas::kDatos);

struct PantallaProveedores : ::testing::Test {
  QApplication& qt = prueba::aplicacionQt();
  prueba::DirectorioTemporal dir;
  prueba::EmpresaVentas emp;
  prueba::InteraccionFalsa ui;
  prueba::RelojFijo reloj{base::FechaHora{{2025, 3, 15}, {12, 0, 0, 0}}};
  std::unique_ptr<TFormaProveedo> forma;

  PantallaProveedores() {
    dbf::Table t;
    t.open(kDatos, "proveedo.dbf", dbf::OpenMode::Exclusive);
    t.emptyTable();
  }
  ~PantallaProveedores() override { forma.reset(); }

  TFormaProveedo& abre() {
    forma = std::make_unique<TFormaProveedo>(
        AjustesProveedores::de(emp.lineas, std::string(prueba::EmpresaVentas::kSistema), "0"), ui, reloj,
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
  void escribe(const char* campo, const QString& texto) {
    QLineEdit* e = w<QLineEdit>((std::string("Edit") + campo).c_str());
    e->setFocus();
    e->selectAll();
    QTest::keyClicks(e, texto);
    QTest::keyClick(e, Qt::Key_Return);
  }
  V guardados() {
    V v;
    dbf::Table t;
    t.open(kDatos, "proveedo.dbf");
    t.setIndex("ICLAPRO");
    for (t.first(); !t.eof(); t.next())
      v.push_back(t.asText("CLAVE_P") + "|" + t.asText("NOMBR_P") + "|" + t.asText("DCRED_P"));
    return v;
  }
};

TEST_F(PantallaProveedores, SuppliersCreatedWithTheKeys) {
  abre();
  QTest::mouseClick(w<QPushButton>("BotonNuevo"), Qt::LeftButton);
  EXPECT_EQ(w<QLabel>("Estado")->text(), "Nuevo");
  EXPECT_EQ(w<QLineEdit>("EditCLAVE_P")->text(), "00001");
  EXPECT_FALSE(w<QLineEdit>("EditCLAVE_P")->isReadOnly());
  escribe("NOMBR_P", "ACEROS DEL NORTE");
  escribe("DCRED_P", "30");
  QTest::mouseClick(w<QPushButton>("BotonGuardar"), Qt::LeftButton);
  EXPECT_EQ(w<QLabel>("Estado")->text(), "Consulta");
  EXPECT_EQ(w<QLabel>("Cargo")->text(), "Cargos $          0.00");
  EXPECT_EQ(w<QLabel>("EtiEstado")->text(), "Activo");
  EXPECT_EQ(w<QLineEdit>("EditSALDO_P")->text(), "0.00");

  // The second: the proposal typed over with the first one's key is refused, then a new key.
  QTest::mouseClick(w<QPushButton>("BotonNuevo"), Qt::LeftButton);
  EXPECT_EQ(w<QLineEdit>("EditCLAVE_P")->text(), "       1");
  escribe("CLAVE_P", "00001");
  escribe("NOMBR_P", "REPETIDO");
  QTest::mouseClick(w<QPushButton>("BotonGuardar"), Qt::LeftButton);
  EXPECT_EQ(w<QLabel>("Estado")->text(), "Nuevo");
  escribe("CLAVE_P", "P2");
  QTest::mouseClick(w<QPushButton>("BotonGuardar"), Qt::LeftButton);
  EXPECT_EQ(w<QLabel>("Estado")->text(), "Consulta");
  EXPECT_EQ(ui.mensajes(), V{"La Clave ya Existe Es Necesario Cambiarla"});
  EXPECT_EQ(guardados(), (V{"00001|ACEROS DEL NORTE|30", "P2|REPETIDO|"}));
  EXPECT_EQ(forma->windowTitle(), "Consulta Cobranza Ordenado por Clave");
}

TEST_F(PantallaProveedores, LookupAnswersTheKeyOfTheRowAndContactsGetTheKey) {
  for (auto [k, n] : {std::pair{"A1", "ALFA"}, std::pair{"B2", "BETA"}, std::pair{"C3", "GAMA"}}) {
    dbf::Table t;
    t.open(kDatos, "proveedo.dbf");
    t.append();
    t.setText("CLAVE_P", k);
    t.setText("NOMBR_P", n);
    t.post();
  }
  {
    TFormaConProvee c(nullptr, kDatos, "B", &ui);
    c.show();
    EXPECT_EQ(c.windowTitle(), "Proveedores Ordenado por Clave");
    EXPECT_EQ(c.rejilla()->claveActual(), std::optional<std::string>("B2"));
    QTest::keyClick(&c, Qt::Key_Return);
    EXPECT_EQ(c.resultado(), std::optional<std::string>("B2"));
  }
  {
    TFormaConProvee c(nullptr, kDatos, "A", &ui);
    c.show();
    QTest::keyClick(&c, Qt::Key_Escape);
    EXPECT_FALSE(c.resultado());
  }
  TFormaContactosProveedor f(kDatos, "C3", ui);
  EXPECT_EQ(f.windowTitle(), "Contactos del Proveedor");
  f.nuevo();
  f.rejilla()->item(0, 0)->setText("Luisa");
  dbf::Table t;
  t.open(kDatos, "contprov.dbf");
  t.first();
  ASSERT_FALSE(t.eof());
  EXPECT_EQ(t.asText("CLAVE_P"), "C3");
  EXPECT_EQ(t.asText("NOMBR_CO"), "Luisa");
}

}  // namespace
}  // namespace mostrador::accounts
