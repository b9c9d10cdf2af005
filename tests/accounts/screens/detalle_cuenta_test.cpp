// The receivables detail window offscreen: a document as the demo company writes them
// (the invoice's charge and its payment), its labels and grid, a refresh after a payment,
// a document without entries, and a document of the demo company itself.

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <cmath>

#include "accounts/cuentas.h"
#include "accounts/screens/TFormaCxCDetalle.h"
#include "base/numeros.h"
#include "base/rutas.h"
#include "session/empresa_nueva.h"
#include "store/dbf/dbf_table.h"
#include "store/demo.h"
#include "support/empresa_ventas.h"
#include "support/entorno.h"
#include "support/interaccion_fake.h"
#include "support/principal_aplicacion.h"
#include "support/reloj_fijo.h"
#include "support/tienda_estaciones.h"
#include "ui/modelo_filas.h"

namespace mostrador::accounts {
namespace {

using prueba::EmpresaVentas;

struct DetalleCuenta : ::testing::Test {
  QApplication& qt = prueba::aplicacionQt();
  prueba::DirectorioTemporal dir;
  EmpresaVentas emp;
  prueba::InteraccionFalsa ui;
  prueba::RelojFijo reloj{{{2025, 7, 15}, {12, 0, 0, 0}}};

  DetalleCuenta() {
    emp.cliente("C1", "Ferreteria Uno");
    // As the demo writes a credit invoice: the charge with the balance left, then,
    // once paid, the payment referenced "PAGO <n>".
    asiento("27", "27", "1", "C", 1160, 1160, "02/06/2025", "02/07/2025");
    asiento("28", "28", "1", "C", 2450.5, 2450.5, "03/06/2025", "15/07/2025");
    asiento("27", "PAGO 27", "2", "A", 1160, 0, "05/06/2025", "05/06/2025");
  }
  void asiento(const char* doc, const char* ref, const char* tipo, const char* op, double imp, double saldo,
               const char* apl, const char* ven) {
    dbf::Table t;
    t.open(EmpresaVentas::kDatos, "cucobrar.dbf");
    t.append();
    t.setText("CLCLI_CC", "C1");
    t.setText("NUFAC_CC", doc);
    t.setText("NUREF_CC", ref);
    t.setText("TIMOV_CC", tipo);
    t.setText("OPERA_CC", op);
    t.setFloat("IMCUE_CC", imp);
    t.setFloat("SALDO_CC", saldo);
    t.setText("FEAPL_CC", apl);
    t.setText("FEVEN_CC", ven);
    t.setText("CLVEN_CC", "V1");
    t.post();
  }
  std::vector<QString> etiquetas(const TFormaCxCDetalle& f) {
    std::vector<QString> r;
    for (const char* n : {"Documento", "Cliente", "FechaAplicacion", "FechaVencimiento", "Vencimiento", "Saldo", "Estado"})
      r.push_back(f.etiqueta(n));
    return r;
  }
};

TEST_F(DetalleCuenta, MuestraLosAsientosElSaldoYElVencimiento) {
  TFormaCxCDetalle f(nullptr, std::string(EmpresaVentas::kDatos), "27", ui, reloj);
  ASSERT_TRUE(f.carga());
  f.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
  EXPECT_EQ(etiquetas(f), (std::vector<QString>{"Documento No. 27", "Cliente C1", "Fecha de Aplicacion 02/06/2025",
                                                "Fecha de Vencimiento 02/07/2025", "vencido  13  dias", "$0.00",
                                                "Saldada"}));
  EXPECT_EQ(f.findChild<QLabel*>("Estado")->styleSheet(), "");
  const ui::ModeloFilas& m = f.filas();
  ASSERT_EQ(m.rowCount(), 2);
  EXPECT_EQ(m.fila(0).join("|"), "27|27|1|Cargo|C|1,160.00|02/06/2025|02/07/2025|0.00");
  EXPECT_EQ(m.fila(1).join("|"), "27|PAGO 27|2|Abono|A|1,160.00|05/06/2025|05/06/2025|0.00");
  EXPECT_FALSE(m.data(m.index(0, 0), Qt::ForegroundRole).isValid());
  EXPECT_EQ(m.data(m.index(1, 0), Qt::ForegroundRole).value<QColor>(), QColor(Qt::red));
  EXPECT_TRUE(ui.llamadas().empty());
}

TEST_F(DetalleCuenta, UnDocumentoConSaldoYSuActualizacionTrasUnAbono) {
  TFormaCxCDetalle f(nullptr, std::string(EmpresaVentas::kDatos), "28", ui, reloj);
  ASSERT_TRUE(f.carga());
  f.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
  EXPECT_EQ(f.etiqueta("Saldo"), "$2,450.50");
  EXPECT_EQ(f.etiqueta("Estado"), "Deudor");
  EXPECT_EQ(f.etiqueta("Vencimiento"), "Se vence Hoy");
  EXPECT_EQ(f.findChild<QLabel*>("Estado")->styleSheet(), "color: red;");

  ASSERT_EQ(abona(std::string(EmpresaVentas::kDatos), Cartera::Clientes, {"C1", 450.5, {2025, 7, 15}, "28", 2}, reloj),
            "");
  QTest::mouseClick(f.findChild<QPushButton*>("BotonActualizar"), Qt::LeftButton);
  EXPECT_EQ(f.etiqueta("Saldo"), "$2,000.00");
  EXPECT_EQ(f.etiqueta("Estado"), "Deudor");
  ASSERT_EQ(f.filas().rowCount(), 2);
  EXPECT_EQ(f.filas().fila(1).join("|"), "28|28|2|Abono|A|450.50|15/07/2025||2,000.00");
  EXPECT_EQ(f.filas().fila(0).value(8), "2,000.00");
}

TEST_F(DetalleCuenta, UnDocumentoSinAsientosNoAbreLaVentana) {
  EXPECT_FALSE(TFormaCxCDetalle::muestra(nullptr, std::string(EmpresaVentas::kDatos), "99", ui, reloj));
  EXPECT_EQ(ui.mensajes(), std::vector<std::string>{"El Documento No Existe"});
  for (QWidget* w : QApplication::topLevelWidgets()) EXPECT_FALSE(w->isVisible()) << w->objectName().toStdString();
}

TEST(DetalleCuentaDemo, UnDocumentoDeLaEmpresaDeDemostracion) {
  QApplication& qt = prueba::aplicacionQt();
  (void)qt;
  prueba::DirectorioTemporal dir;
  const std::string datos = dir.str() + "/demo";
  session::creaDirectorioDatos(datos);
  store::OpcionesDemo o;
  o.tamano.productos = 50;
  o.tamano.clientes = 10;
  o.tamano.movimientos = 300;
  o.tamano.remisiones = 5;
  o.tamano.facturas = 30;
  o.tamano.compras = 3;
  store::generaDemo(datos, o);
  // The demo's first receivable document, and its entries read from the file's bytes.
  const prueba::TablaCruda t = prueba::leeTablaCruda(datos, "cucobrar.dbf");
  ASSERT_EQ(t.error, "");
  ASSERT_FALSE(t.filas.empty());
  const auto& primero = t.filas.front();
  const std::string doc = primero.at("NUFAC_CC");
  double saldo = 0;
  int asientos = 0;
  for (const auto& f : t.filas)
    if (f.at("NUFAC_CC") == doc) {
      saldo += (f.at("OPERA_CC") == "A" ? -1 : 1) * std::stod(f.at("IMCUE_CC"));
      ++asientos;
    }
  prueba::InteraccionFalsa ui;
  prueba::RelojFijo reloj{{{2025, 6, 30}, {12, 0, 0, 0}}};
  TFormaCxCDetalle f(nullptr, datos, doc, ui, reloj);
  ASSERT_TRUE(f.carga());
  EXPECT_EQ(f.etiqueta("Documento").toStdString(), "Documento No. " + doc);
  EXPECT_EQ(f.etiqueta("Cliente").toStdString(), "Cliente " + primero.at("CLCLI_CC"));
  EXPECT_EQ(f.etiqueta("FechaAplicacion").toStdString(), "Fecha de Aplicacion " + primero.at("FEAPL_CC"));
  EXPECT_EQ(f.etiqueta("Saldo").toStdString(), "$" + base::formateaMascara(saldo, "###,###,##0.00"));
  EXPECT_EQ(f.etiqueta("Estado").toStdString(), saldo > 0.005 ? "Deudor" : "Saldada");
  EXPECT_EQ(f.filas().rowCount(), asientos);
  // The demo writes each document's balance on its first entry, as the window does.
  EXPECT_NEAR(std::stod(primero.at("SALDO_CC")), saldo, 0.00005);
  EXPECT_NEAR(std::stod(prueba::leeTablaCruda(datos, "cucobrar.dbf").filas.front().at("SALDO_CC")), saldo, 0.00005);
}

}  // namespace
}  // namespace mostrador::accounts
