// The customer screen driven as a clerk does: a customer typed and saved, a payment on
// its open document, and the balance and the ageing it then shows.

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "accounts/cuentas.h"
#include "accounts/screens/TFormaClientes.h"
#include "base/rutas.h"
#include "store/dbf/dbf_table.h"
#include "support/empresa_ventas.h"
#include "support/entorno.h"
#include "support/interaccion_fake.h"
#include "support/principal_aplicacion.h"
#include "support/reloj_fijo.h"

namespace mostrador::accounts {
namespace {

using V = std::vector<std::string>;

struct PantallaClientes : ::testing::Test {
  QApplication& qt = prueba::aplicacionQt();
  prueba::DirectorioTemporal dir;
  prueba::EmpresaVentas emp;
  prueba::InteraccionFalsa ui;
  prueba::RelojFijo reloj{base::FechaHora{{2025, 3, 15}, {12, 0, 0, 0}}};
  std::unique_ptr<TFormaClientes> forma;

  ~PantallaClientes() override { forma.reset(); }

  TFormaClientes& abre() {
    forma = std::make_unique<TFormaClientes>(
        AjustesClientes::de(emp.lineas, std::string(prueba::EmpresaVentas::kSistema), "0"), ui, reloj,
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
  // An open charge of the customer: document, amount, applied and due dates.
  void cargo(const std::string& cliente, const std::string& documento, double importe, const std::string& vence) {
    dbf::Table t;
    t.open(prueba::EmpresaVentas::kDatos, "cucobrar.dbf");
    t.append();
    t.setText("CLCLI_CC", cliente);
    t.setText("NUFAC_CC", documento);
    t.setText("TIMOV_CC", "1");
    t.setText("OPERA_CC", "C");
    t.setFloat("IMCUE_CC", importe);
    t.setFloat("SALDO_CC", importe);
    t.setText("FEAPL_CC", "01/03/2025");
    t.setText("FEVEN_CC", vence);
    t.post();
  }
};

TEST_F(PantallaClientes, ACustomerTypedSavedPaidAndItsAgeing) {
  abre();
  QTest::mouseClick(w<QPushButton>("BotonNuevo"), Qt::LeftButton);
  EXPECT_EQ(w<QLabel>("Estado")->text(), "Nuevo");
  EXPECT_FALSE(w<QPushButton>("BotonNuevo")->isEnabled());
  escribe("CLCLI_C", "C77");
  escribe("NOMBR_C", "Abarrotes La Esquina");
  escribe("DCRED_C", "30");
  escribe("SALDO_C", "500");
  QTest::mouseClick(w<QPushButton>("BotonGuardar"), Qt::LeftButton);
  EXPECT_EQ(ui.mensajes(), V{});
  EXPECT_EQ(w<QLabel>("Estado")->text(), "Consulta");
  EXPECT_EQ(emp.texto("cliente.dbf", "CLCLI_C", "C77", "NOMBR_C"), "Abarrotes La Esquina");
  EXPECT_EQ(emp.numero("cliente.dbf", "CLCLI_C", "C77", "DCRED_C"), 30);
  EXPECT_EQ(w<QLabel>("EtiEstado")->text(), "Activo");
  EXPECT_EQ(w<QLabel>("Cargo")->text(), "Cargos $          0.00");

  // Its invoice of 500, due 05/03: paid 120 on the screen.
  cargo("C77", "901", 500, "05/03/2025");
  ui.respondeTexto(std::string("120"));
  QTest::mouseClick(w<QPushButton>("BotonAbono"), Qt::LeftButton);
  EXPECT_EQ(ui.mensajes(), V{});
  EXPECT_EQ(emp.numero("cliente.dbf", "CLCLI_C", "C77", "SALDO_C"), 380);
  EXPECT_EQ(w<QLineEdit>("EditSALDO_C")->text(), "380.00");
  EXPECT_EQ(w<QLabel>("Abono")->text(), "Abonos $        120.00");
  const auto d = detalleDocumento(std::string(prueba::EmpresaVentas::kDatos), Cartera::Clientes, "901",
                                  reloj.ahora().fecha);
  ASSERT_TRUE(d.has_value());
  EXPECT_EQ(d->estado, "Deudor");
  EXPECT_EQ(d->vencimiento, "vencido  10  dias");

  // A payment above what is owed is refused and changes nothing.
  ui.olvidaLlamadas();
  ui.respondeTexto(std::string("400"));
  QTest::mouseClick(w<QPushButton>("BotonAbono"), Qt::LeftButton);
  ASSERT_EQ(ui.mensajes().size(), 1u);
  EXPECT_TRUE(ui.mensajes()[0].starts_with("El abono es mayor que el saldo pendiente")) << ui.mensajes()[0];
  EXPECT_EQ(emp.numero("cliente.dbf", "CLCLI_C", "C77", "SALDO_C"), 380);

  // With a balance it cannot go.
  ui.olvidaLlamadas();
  forma->Eliminar1Click();
  EXPECT_EQ(ui.mensajes(), V{"No se puede eliminar cliente con saldo"});
}

TEST_F(PantallaClientes, ClosingWithARepeatedKeyStaysOnTheScreen) {
  emp.cliente("C1", "UNO");
  abre();
  QTest::mouseClick(w<QPushButton>("BotonNuevo"), Qt::LeftButton);
  escribe("CLCLI_C", "C1");
  ui.respondeCerrar(base::RespuestaCerrar::Guardar);
  forma->close();
  EXPECT_TRUE(forma->isVisible());
  EXPECT_EQ(ui.mensajes(), V{"La Clave ya Existe Es Necesario Cambiarla"});
  ui.respondeCerrar(base::RespuestaCerrar::Descartar);
  forma->close();
  EXPECT_FALSE(forma->isVisible());
  EXPECT_EQ(emp.filas("cliente.dbf", {"CLCLI_C"}), (V{"1", "C1"}));
}

}  // namespace
}  // namespace mostrador::accounts
