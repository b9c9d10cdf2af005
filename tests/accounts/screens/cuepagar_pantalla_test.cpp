// The payables windows offscreen: a movement added, changed and removed on the detail
// through its entry window (the concept from the type, the proposed amount, type 2 in
// red) and the inquiry's totals labels under its filters, with the supplier's stored
// totals left whole.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include "accounts/screens/TFormaConsultaCuePagar.h"
#include "accounts/screens/TFormaCxPDetalle.h"
#include "store/dbf/dbf_table.h"
#include "support/empresa_ventas.h"
#include "support/entorno.h"
#include "support/interaccion_fake.h"
#include "support/principal_aplicacion.h"
#include "support/reloj_fijo.h"
#include "ui/modelo_filas.h"

namespace mostrador::accounts {
namespace {

using V = std::vector<std::string>;
const std::string kDatos(prueba::EmpresaVentas::kDatos);

struct PantallasPagar : ::testing::Test {
  QApplication& qt = prueba::aplicacionQt();
  prueba::DirectorioTemporal dir;
  prueba::EmpresaVentas emp;
  prueba::InteraccionFalsa ui;
  prueba::RelojFijo reloj{base::FechaHora{{2025, 3, 15}, {12, 0, 0, 0}}};

  PantallasPagar() {
    dbf::Table p;
    p.open(kDatos, "proveedo.dbf", dbf::OpenMode::Exclusive);
    p.emptyTable();
    p.close();
    proveedor("P1", "ACEROS", 1000);
    proveedor("P2", "BARRAS", 0);
  }
  void proveedor(const char* k, const char* n, double saldo) {
    dbf::Table t;
    t.open(kDatos, "proveedo.dbf");
    t.append();
    t.setText("CLAVE_P", k);
    t.setText("NOMBR_P", n);
    t.setFloat("SALDO_P", saldo);
    t.post();
  }
  void compra(long numero, const char* prov, double total, double saldo, const char* moneda) {
    dbf::Table t;
    t.open(kDatos, "ComprasE.dbf");
    t.append();
    t.setInteger("CLDOC_O", numero);
    t.setText("CLPRV_O", prov);
    t.setFloat("IMDOC_O", total);
    t.setFloat("ABONO_O", total - saldo);
    t.setFloat("SALDO_O", saldo);
    t.setText("MONED_O", moneda);
    t.post();
  }
  void pagar(long numero, const char* prov, int tipo, const char* op, double importe, const char* vence) {
    dbf::Table t;
    t.open(kDatos, "cuepagar.dbf");
    t.append();
    t.setInteger("NUCOM_CP", numero);
    t.setText("CLPRO_CP", prov);
    t.setInteger("TIMOV_CP", tipo);
    t.setText("CONCE_CP", "Compra");
    t.setText("OPERA_CP", op);
    t.setFloat("IMCUE_CP", importe);
    t.setText("FEAPL_CP", "01/03/2025");
    t.setText("FEVEN_CP", vence);
    t.post();
  }
  double saldoProveedor(const char* k) {
    dbf::Table t;
    t.open(kDatos, "proveedo.dbf");
    t.setIndex("ICLAPRO");
    EXPECT_TRUE(t.findKey({std::string(k)}));
    return t.asFloat("SALDO_P");
  }
};

TEST_F(PantallasPagar, AMovementAddedChangedAndRemovedOnTheDetail) {
  compra(12, "P1", 1000, 1000, "M.N.");
  pagar(12, "P1", 51, "C", 1000, "10/03/2025");
  TFormaCxPDetalle f(nullptr, kDatos, "12", ui, reloj);
  ASSERT_TRUE(f.carga());
  f.show();
  EXPECT_EQ(f.etiqueta("Documento"), "Compra No. 12");
  EXPECT_EQ(f.etiqueta("Proveedor"), "Proveedor P1");
  EXPECT_EQ(f.etiqueta("Vencimiento"), "vencido  5  dias");
  EXPECT_EQ(f.etiqueta("Estado"), "Deudor");

  // The entry window: a type not in the table, then a payment; the amount proposed is the balance.
  f.ponEntrada([&](TFormaMovimientoPagar& e) -> std::optional<MovimientoPagar> {
    EXPECT_EQ(e.importe()->text(), "1000.00");
    e.tipo()->setText("77");
    EXPECT_FALSE(e.saleTipo());
    e.tipo()->setText("2");
    EXPECT_TRUE(e.saleTipo());
    EXPECT_EQ(e.concepto(), "Abono");
    EXPECT_EQ(e.operacion(), "A");
    e.importe()->setText("400");
    return e.movimiento();
  });
  QTest::mouseClick(f.findChild<QPushButton*>("BotonNuevo"), Qt::LeftButton);
  EXPECT_EQ(ui.mensajes(), V{"El Movimiento No Se Encuentra"});
  EXPECT_EQ(f.etiqueta("Saldo"), "$600.00");
  ASSERT_EQ(f.filas().rowCount(), 2);
  EXPECT_EQ(f.filas().texto(1, 3), "Abono");
  EXPECT_EQ(f.filas().texto(1, 6), "15/03/2025");
  EXPECT_EQ(f.filas().texto(0, 8), "600.00");  // the balance on the first movement
  EXPECT_EQ(f.filas().data(f.filas().index(1, 0), Qt::ForegroundRole).value<QColor>(), QColor(Qt::red));
  EXPECT_FALSE(f.filas().data(f.filas().index(0, 0), Qt::ForegroundRole).isValid());
  EXPECT_DOUBLE_EQ(saldoProveedor("P1"), 600);

  // Changing the payment to 1000 settles it.
  f.rejilla()->setCurrentIndex(f.filas().index(1, 0));
  f.ponEntrada([&](TFormaMovimientoPagar& e) -> std::optional<MovimientoPagar> {
    EXPECT_EQ(e.importe()->text(), "400.00");
    EXPECT_EQ(e.concepto(), "Abono");
    e.importe()->setText("1000");
    return e.movimiento();
  });
  QTest::mouseClick(f.findChild<QPushButton*>("BotonCambios"), Qt::LeftButton);
  EXPECT_EQ(f.etiqueta("Saldo"), "$0.00");
  EXPECT_EQ(f.etiqueta("Estado"), "Saldada");

  // Removing it, after the confirmation.
  f.rejilla()->setCurrentIndex(f.filas().index(1, 0));
  ui.respondeAdvertencia(base::RespuestaAdvertencia::Si);
  QTest::mouseClick(f.findChild<QPushButton*>("BotonElimina"), Qt::LeftButton);
  EXPECT_EQ(f.filas().rowCount(), 1);
  EXPECT_EQ(f.etiqueta("Saldo"), "$1,000.00");
  EXPECT_DOUBLE_EQ(saldoProveedor("P1"), 1000);
}

TEST_F(PantallasPagar, InquiryTotalsOfWhatIsShownAndTheWholeBalanceStored) {
  compra(1, "P1", 500, 500, "USD");
  compra(2, "P1", 300, 100, "");
  compra(3, "P1", 200, 0, "M.N.");
  TFormaConsultaCuePagar f(kDatos, ui, reloj);
  f.show();
  EXPECT_EQ(f.windowTitle(), "Consulta Cobranza Ordenado por Clave");
  ASSERT_EQ(f.filasProveedores().rowCount(), 2);
  EXPECT_EQ(f.etiqueta("Nombre"), "Nombre:  ACEROS");
  EXPECT_EQ(f.filasCompras().rowCount(), 2);  // only with balance
  EXPECT_EQ(f.etiqueta("Cargos"), "Cargos :   $800.00");
  EXPECT_EQ(f.etiqueta("Abonos"), "Abonos : - $200.00");
  EXPECT_EQ(f.etiqueta("Saldo"), "Saldo  :   $600.00");
  // Everything stored, not the view: 1000 -> 600.
  EXPECT_DOUBLE_EQ(saldoProveedor("P1"), 600);
  EXPECT_EQ(f.filasProveedores().texto(0, 4), "600.00");

  f.findChild<QComboBox*>("Filtro")->setCurrentIndex(1);
  f.findChild<QComboBox*>("Moneda")->setCurrentText("M.N.");
  EXPECT_EQ(f.filasCompras().rowCount(), 2);  // the blank currency counts as national
  EXPECT_EQ(f.etiqueta("Cargos"), "Cargos :   $500.00");
  EXPECT_EQ(f.etiqueta("Saldo"), "Saldo  :   $100.00");
  // Choosing the supplier again under the filter keeps the whole balance.
  f.eligeProveedor(1);
  f.eligeProveedor(0);
  EXPECT_DOUBLE_EQ(saldoProveedor("P1"), 600);
  EXPECT_EQ(f.etiqueta("Saldo"), "Saldo  :   $100.00");
  EXPECT_TRUE(ui.mensajes().empty()) << ::testing::PrintToString(ui.mensajes());
}

}  // namespace
}  // namespace mostrador::accounts
