// The till's windows as a clerk uses them: the till record dialog and the cash in and
// out window (its two modes, the concepts, the day's movements and their sum).
#include <gtest/gtest.h>

#include <QDateEdit>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include "base/rutas.h"
#include "base/texto.h"
#include "sales/caja.h"
#include "sales/screens/TFormaCaja.h"
#include "sales/screens/TFormaSalidasEfectivo.h"
#include "store/catalogo.h"
#include "support/entorno.h"
#include "support/interaccion_fake.h"
#include "support/principal_aplicacion.h"
#include "support/reloj_fijo.h"

using namespace mostrador;
using sales::ModoEfectivo;

namespace {

const std::string kDatos = "C:\\Datos";
const std::string kSistema = "C:\\Sistema";

struct PantallaCaja : ::testing::Test {
  prueba::DirectorioTemporal dir;
  prueba::InteraccionFalsa ui;
  prueba::RelojFijo reloj{base::FechaHora{{2025, 3, 15}, {10, 30, 0, 0}}};
  void SetUp() override {
    prueba::aplicacionQt();
    base::creaDirectorios(kDatos);
    base::creaDirectorios(kSistema);
    const store::DefTabla* def = store::buscaTabla("retiros.dbf");
    ASSERT_NE(def, nullptr);
    dbf::Table::create(kDatos, def->archivo, def->campos, def->indices);
    base::escribeLineas(base::une(kSistema, "Salidas.cnf"), {"Gasolina", "Pago de luz"});
  }
  template <class T>
  static T* hijo(QWidget& w, const char* nombre) {
    T* x = w.findChild<T*>(nombre);
    EXPECT_NE(x, nullptr) << nombre;
    return x;
  }
};

TEST_F(PantallaCaja, ConfigurarCajaMuestraYEscribeElRegistroDeSuPosicion) {
  sales::FormaCaja f = sales::abreFormaCaja(kSistema);
  f.numero = "2";
  f.registro = {"5", "V9", "ticket5.fmt"};
  ASSERT_TRUE(sales::guardaCaja(f, ui));

  sales::TFormaCaja forma(kSistema, ui);
  auto* numero = hijo<QLineEdit>(forma, "NumeroCaja");
  auto* caja = hijo<QLineEdit>(forma, "NoCaja");
  auto* vendedor = hijo<QLineEdit>(forma, "ClaveVendedor");
  auto* formato = hijo<QLineEdit>(forma, "Formato");
  EXPECT_EQ(numero->text(), "1");
  EXPECT_EQ(hijo<QLineEdit>(forma, "Ruta")->text().toStdString(), kSistema);
  EXPECT_EQ(caja->text(), "");
  EXPECT_EQ(caja->maxLength(), 3);
  EXPECT_EQ(vendedor->maxLength(), 5);
  EXPECT_EQ(formato->maxLength(), 25);

  numero->setText("2");
  forma.NumeroCajaExit();
  EXPECT_EQ(caja->text(), "5");
  EXPECT_EQ(vendedor->text(), "V9");
  EXPECT_EQ(formato->text(), "ticket5.fmt");

  vendedor->setText("V7");
  QTest::mouseClick(hijo<QPushButton>(forma, "BotonAceptar"), Qt::LeftButton);
  EXPECT_EQ(forma.result(), QDialog::Accepted);
  EXPECT_EQ(sales::leeCaja(kSistema, 2)->vendedor, "V7");
  EXPECT_EQ(sales::leeCaja(kSistema, 2)->caja, "5");
  EXPECT_TRUE(ui.mensajes().empty());
}

TEST_F(PantallaCaja, SalidasDeEfectivoListaLosRetirosDelDiaYRegistraElNuevo) {
  {
    dbf::Table t;
    t.open(kDatos, "retiros.dbf");
    t.append();
    t.setInteger("CLDOC_F", 1);
    t.setDate("FEDOC_F", dbf::Fecha{2025, 3, 15});
    t.setFloat("CANTIDAD", 20);
    t.setText("CONCEPTO", "Sin numero");
    t.post();
  }
  sales::TFormaSalidasEfectivo f(ModoEfectivo::Salida, {kSistema, kDatos, "3", "V1"}, ui, reloj);
  EXPECT_EQ(f.windowTitle(), "Salidas de Efectivo");
  EXPECT_FALSE(hijo<QFrame>(f, "Panel")->autoFillBackground());
  auto* lista = hijo<QListWidget>(f, "ListaConceptos");
  ASSERT_EQ(lista->count(), 2);
  EXPECT_EQ(lista->item(1)->text(), "Pago de luz");
  auto* rejilla = hijo<QTableWidget>(f, "Movimientos");
  ASSERT_EQ(rejilla->rowCount(), 1);
  EXPECT_EQ(rejilla->item(0, 3)->text(), "Sin numero");
  EXPECT_EQ(hijo<QLabel>(f, "LabelRetiros")->text(), "Retiros  20.00");

  // A double click opens the concepts file for editing.
  std::string editado;
  f.editaConceptos = [&](const std::string& a) { editado = a; };
  lista->setCurrentRow(1);
  f.ListaConceptosClick();
  f.ListaConceptosDblClick();
  EXPECT_EQ(hijo<QLineEdit>(f, "Concepto")->text(), "Pago de luz");
  EXPECT_EQ(editado, base::une(kSistema, "Salidas.cnf"));

  // No amount: nothing is recorded and the window stays.
  EXPECT_FALSE(f.BotonAceptarClick());
  EXPECT_FALSE(f.registrado());
  QTest::keyClicks(hijo<QLineEdit>(f, "Cantidad"), "35.5");
  QTest::mouseClick(hijo<QPushButton>(f, "BotonAceptar"), Qt::LeftButton);
  EXPECT_EQ(f.result(), QDialog::Accepted);
  EXPECT_EQ(f.registrado().value_or(0), 2);
  const auto v = sales::movimientosEfectivo(kDatos, ModoEfectivo::Salida, {2025, 3, 15});
  ASSERT_EQ(v.size(), 2u);
  EXPECT_EQ(v[1], (sales::MovimientoEfectivo{2, "15/03/2025", "10:30:00", 35.5, "Pago de luz", 1, "3", "V1"}));

  // Another date shows its own movements.
  hijo<QDateEdit>(f, "Fecha")->setDate(QDate(2025, 3, 14));
  EXPECT_EQ(rejilla->rowCount(), 0);
  EXPECT_EQ(hijo<QLabel>(f, "LabelRetiros")->text(), "Retiros  0.00");
  EXPECT_TRUE(ui.mensajes().empty());
}

TEST_F(PantallaCaja, EntradasDeEfectivoEnPanelAzulConSusPropiosMovimientos) {
  sales::TFormaSalidasEfectivo f(ModoEfectivo::Entrada, {kSistema, kDatos, "3", "V1"}, ui, reloj);
  EXPECT_EQ(f.windowTitle(), "Entradas de Efectivo");
  auto* panel = hijo<QFrame>(f, "Panel");
  EXPECT_TRUE(panel->autoFillBackground());
  EXPECT_EQ(panel->palette().color(QPalette::Window), QColor(0, 128, 255));
  QTest::keyClicks(hijo<QLineEdit>(f, "Cantidad"), "5");
  QTest::keyClicks(hijo<QLineEdit>(f, "Concepto"), "Cambio");
  ASSERT_TRUE(f.BotonAceptarClick());
  EXPECT_EQ(sales::movimientosEfectivo(kDatos, ModoEfectivo::Entrada, {2025, 3, 15}).size(), 1u);
  EXPECT_TRUE(sales::movimientosEfectivo(kDatos, ModoEfectivo::Salida, {2025, 3, 15}).empty());
}

}  // namespace
