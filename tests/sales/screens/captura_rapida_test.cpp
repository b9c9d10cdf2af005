// The counter screen typed key by key: a sale rung up with barcode, quantity, cash and
// F10 and found on disk; the tender and change where the cashier looks; payment types
// from the list; the modify switch; the grid widths kept between openings; a held sale.

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QTest>

#include "base/rutas.h"
#include "base/texto.h"
#include "reports/reporte_sql.h"
#include "sales/mostrador_venta.h"
#include "sales/reportes_venta.h"
#include "sales/screens/TFormaCapturaRapida.h"
#include "sales/screens/TFormaClaveRapida.h"
#include "sales/screens/TFormaDescuentoPago.h"
#include "session/sesion.h"
#include "store/dbf/dbf_table.h"
#include "store/numeracion.h"
#include "support/dialogos_venta_falsos.h"
#include "support/empresa_ventas.h"
#include "support/entorno.h"
#include "support/interaccion_fake.h"
#include "support/principal_aplicacion.h"
#include "support/procesos_falsos.h"
#include "support/reloj_fijo.h"

namespace mostrador::sales {
namespace {

using prueba::EmpresaVentas;
using V = std::vector<std::string>;

struct PantallaMostrador : ::testing::Test {
  QApplication& qt = prueba::aplicacionQt();
  prueba::DirectorioTemporal dir;
  prueba::EmpresaVentas emp;
  prueba::InteraccionFalsa ui;
  prueba::DialogosVentaFalsos dlg;
  prueba::RelojFijo reloj{base::FechaHora{{2025, 3, 15}, {12, 0, 0, 0}}};  // stamp 50000
  prueba::ProcesosFalsos procesos;
  base::TablaProgramas programas{[](std::string_view) { return false; }, "/opt/mostrador/bin/mostrador"};
  session::Sesion sesion{ui, reloj, procesos, programas};
  std::unique_ptr<TFormaCapturaRapida> forma;

  PantallaMostrador() {
    prueba::ProductoVenta p;
    p.clave = "MART";
    p.codigo = "7501234567890";
    p.descripcion = "Martillo";
    p.existencia = 10;
    p.precio = 100;
    p.listas = {90, 80, 70, 60, 50, 40};
    p.impuesto = 16;
    emp.producto(p);
    store::creaContadores(EmpresaVentas::kDatos);
    base::escribeLineas(base::une(EmpresaVentas::kDatos, "pagos.cnf"), {"EFECTIVO", "MAYOREO"});
    escribeValoresPago(EmpresaVentas::kDatos, {{"MAYOREO", std::nullopt, 1003}});
    sesion.ponDirectorios(std::string(EmpresaVentas::kSistema), std::string(EmpresaVentas::kDatos));
  }
  ~PantallaMostrador() override { forma.reset(); }

  TFormaCapturaRapida& abre() {
    forma = std::make_unique<TFormaCapturaRapida>(emp.ajustes(), ui, reloj, &sesion, nullptr, &dlg);
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
  std::string etiqueta(const char* nombre) { return w<QLabel>(nombre)->text().toStdString(); }
  QWidget* foco() {
    QWidget* f = QApplication::focusWidget();
    if (!f) f = forma->focusWidget();
    return f ? f : forma.get();
  }
  void tecla(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) {
    QTest::keyClick(foco(), k, m);
    QApplication::processEvents();
  }
  void teclea(const QString& texto) {
    for (QChar c : texto) QTest::keyClick(foco(), c.toLatin1());
  }
};

TEST_F(PantallaMostrador, UnaVentaConTeclasSeGuardaConElContadorYCambioCero) {
  abre();
  EXPECT_EQ(forma->objectName(), "TFormaCapturaRapida");
  EXPECT_EQ(forma->windowTitle().toStdString(), "Punto de Venta CAPTURA RAPIDA");
  tecla(Qt::Key_F9);
  EXPECT_EQ(etiqueta("Label18"), "F11 IMPRIME TICKET,     Ctrl+B   BUSCAR VENTA");
  // Quantity 2 (F4), then the barcode.
  tecla(Qt::Key_F4);
  teclea("2");
  tecla(Qt::Key_Return);
  teclea("7501234567890");
  tecla(Qt::Key_Return);
  EXPECT_EQ(etiqueta("TotalGrande"), "232.00");
  tecla(Qt::Key_F5);
  EXPECT_EQ(forma->focusWidget(), w<QLineEdit>("CAMBIO_F"));
  teclea("232");
  tecla(Qt::Key_Return);
  EXPECT_EQ(etiqueta("SuCambio"), "Cambio 0.00");
  tecla(Qt::Key_F10);
  EXPECT_TRUE(ui.llamadas().empty()) << ui.llamadas().front();
  EXPECT_FALSE(forma->motor().enCaptura());
  // Numbered by the counter (an empty table seeds 0: the first is 2), paid exactly.
  EXPECT_EQ(emp.filas("Remision.dbf", {"CLDOC_F", "IMTOD_F", "CAMBI_F", "ABONO_F", "SALDO_F"}),
            V{"2|232.0000|0.0000|232.0000|0.0000"});
  EXPECT_EQ(emp.filas("Remisiod.dbf", {"CLDOC_FD", "CLPRO_FD", "CANTI_FD"}), V{"2|MART|2.000"});
  EXPECT_EQ(emp.filas("movinven.dbf", {"CLPRO_MI", "CANTI_MI", "NUDOC_MI"}), V{"MART|2.000|R2-50000"});
  EXPECT_EQ(emp.numero("inventar.dbf", "CLPRO_I", "MART", "EXIST_I"), 8);
  EXPECT_EQ(emp.filas("numero.dbf", {"NUMERO"}), V({"0", "2"}));

  // The day's Z cut counts it: 200 taxed at 16 %, 232 in the till.
  struct DelDia : reports::DialogoFiltro {
    bool pide(reports::FiltroReporte& f) override {
      f.inicial = f.final_ = base::Fecha{2025, 3, 15};
      return true;
    }
  } dia;
  ContextoVenta ctx{store::documento(store::Documento::Remision), std::string(EmpresaVentas::kDatos), reloj};
  const auto def = definicionReporteVenta("CorteZ1", ctx);
  ASSERT_TRUE(def);
  reports::ContextoReporte c{std::string(EmpresaVentas::kSistema), std::string(EmpresaVentas::kDatos), ui, &dia, &reloj};
  reports::ParametrosReporte p;
  p.definicion = def->texto;
  p.tabla = def->tabla;
  p.tipo = def->tipo;
  auto corte = reports::EjecutaReporte(c, comandoReporte("CorteZ1")->titulo, def->campoDocumento, def->campoFecha, p);
  ASSERT_TRUE(corte);
  const V l = corte->hoja().textos();
  ASSERT_GE(l.size(), 22u);
  const V resumen(l.end() - 22, l.end());
  EXPECT_EQ(resumen[0], "Total Remisiones(GRABADO)         200.00");
  EXPECT_EQ(resumen[4], "Total de Remisiones               232.00");
  EXPECT_EQ(resumen[21], "TOTAL EN CAJA                 232.00");
}

TEST_F(PantallaMostrador, ElEfectivoYElCambioSeVenGrandesYUnPagoCortoSeRechaza) {
  abre();
  auto* panel = w<QFrame>("PanelPago");
  EXPECT_EQ(w<QLineEdit>("CAMBIO_F")->parentWidget(), panel);
  EXPECT_EQ(w<QLabel>("SuCambio")->parentWidget(), panel);
  EXPECT_GE(w<QLabel>("SuCambio")->font().pointSize(), 28);
  EXPECT_GE(w<QLineEdit>("CAMBIO_F")->font().pointSize(), 28);
  tecla(Qt::Key_F9);
  teclea("7501234567890");
  tecla(Qt::Key_Return);
  tecla(Qt::Key_F5);
  teclea("100");
  tecla(Qt::Key_Return);
  EXPECT_EQ(ui.mensajes(), V{"El Efectivo 100.00 no cubre el Total 116.00"});
  EXPECT_TRUE(forma->motor().enCaptura());
  EXPECT_EQ(etiqueta("SuCambio"), "Cambio 0.00");
  ui.olvidaLlamadas();
  w<QLineEdit>("CAMBIO_F")->selectAll();
  teclea("150");
  tecla(Qt::Key_Return);
  EXPECT_EQ(etiqueta("SuCambio"), "Cambio 34.00");
}

TEST_F(PantallaMostrador, ElTipoDePagoElegidoReprecioLaVenta) {
  abre();
  tecla(Qt::Key_F9);
  teclea("7501234567890");
  tecla(Qt::Key_Return);
  auto* tipo = w<QComboBox>("TipoPago");
  ASSERT_EQ(tipo->count(), 2);
  tipo->setCurrentIndex(1);
  emit tipo->activated(1);
  QApplication::processEvents();
  EXPECT_EQ(forma->motor().partida(0).precio, 80);
  EXPECT_EQ(etiqueta("TotalGrande"), "92.80");
}

TEST_F(PantallaMostrador, ModificarSoloConElCodigoYLosAnchosSeConservan) {
  abre();
  EXPECT_FALSE(forma->accion("Modificar1")->isVisible());
  auto* rejilla = w<QTableWidget>("Detalle");
  rejilla->setColumnWidth(kClave, 333);
  forma->close();
  forma.reset();
  const V anchos = base::leeLineas("detalle.dat").value_or(V{});
  ASSERT_EQ(anchos.size(), 6u);
  EXPECT_EQ(anchos[kClave], "333");

  base::escribeLineas(base::une(EmpresaVentas::kSistema, "mdf.cnf"), {std::string(kCodigoModificar)});
  marcaOpcionMostrador(EmpresaVentas::kSistema, 12, true);
  abre();
  EXPECT_TRUE(forma->accion("Modificar1")->isVisible());
  EXPECT_TRUE(forma->accion("PersonalizarDetalle1")->isChecked());
  EXPECT_EQ(w<QTableWidget>("Detalle")->columnWidth(kClave), 333);
}

TEST_F(PantallaMostrador, LaVentaEnEsperaAbreOtraVentanaDelPrograma) {
  abre();
  tecla(Qt::Key_F9);
  teclea("7501234567890");
  tecla(Qt::Key_Return);
  forma->accion("VentaenEspera1")->trigger();
  ASSERT_EQ(procesos.llamadas.size(), 1u);
  EXPECT_EQ(procesos.llamadas[0].programa, "/opt/mostrador/bin/mostrador");
  EXPECT_EQ(procesos.llamadas[0].argumentos, V{"--captura-rapida"});
  EXPECT_EQ(base::leeLineas(base::une(EmpresaVentas::kSistema, "Multi.dat")).value_or(V{}),
            V({"0", "deta2", "Deta"}));
  EXPECT_TRUE(forma->motor().enCaptura());  // the held sale stays in this window
}

TEST_F(PantallaMostrador, LaBasculaSoloPoneLecturasDeMasDeDosCentesimas) {
  abre();
  double lectura = 0.02;
  forma->leeBascula = [&lectura] { return std::optional<double>(lectura); };
  tecla(Qt::Key_F9);
  auto* cantidad = w<QLineEdit>("EditCantidad");
  const QString antes = cantidad->text();
  forma->TimerBasculaTimer();
  EXPECT_EQ(cantidad->text(), antes);
  EXPECT_EQ(w<QLineEdit>("EditBascula")->text(), "0.02");
  lectura = 1.25;
  forma->TimerBasculaTimer();
  EXPECT_EQ(cantidad->text(), "1.25");
  forma->leeBascula = [] { return std::optional<double>(); };  // not a number on the clipboard
  forma->TimerBasculaTimer();
  EXPECT_EQ(cantidad->text(), "1.25");
}

TEST_F(PantallaMostrador, ReimprimirUnTicketPideLaClaveDeQuienTieneElDerecho) {
  std::string cajero(55, 'n');
  cajero[20 - 1] = 's';
  emp.usuario(cajero);  // user 1, key "clave1": sells, may not reprint
  emp.sesion("1");
  abre();
  tecla(Qt::Key_F9);
  teclea("7501234567890");
  tecla(Qt::Key_Return);
  tecla(Qt::Key_F10);
  ASSERT_FALSE(forma->motor().enCaptura());
  dbf::Table& e = forma->motor().encabezado();
  e.edit();
  e.setText("TREGI_F", "I");
  e.post();
  ui.olvidaLlamadas();
  ui.respondeAdministrador({base::RespuestaAdministrador::OtraClave, "clave1"});
  tecla(Qt::Key_F11);
  EXPECT_EQ(ui.llamadas(), V({"administrador", "mensaje: No se tiene acceso a esta opción"}));
}

TEST_F(PantallaMostrador, ElDialogoDeDescuentosGuardaCadaTipoYRechazaLoQueNoEsNumero) {
  TFormaDescuentoPago d(std::string(EmpresaVentas::kDatos), {"EFECTIVO", "MAYOREO"}, ui);
  auto* t = d.findChild<QTableWidget*>("Descuentos");
  ASSERT_NE(t, nullptr);
  ASSERT_EQ(t->rowCount(), 2);
  EXPECT_EQ(t->item(1, 2)->text(), "1003");
  t->item(0, 1)->setText("7.5");
  t->item(1, 2)->setText("");
  t->item(1, 1)->setText("diez");
  EXPECT_FALSE(d.BotonGuardarClick());
  EXPECT_EQ(ui.mensajes(), V{"\"diez\" no es un número válido (MAYOREO)"});
  EXPECT_EQ(valorTipoPago(EmpresaVentas::kDatos, "MAYOREO"), 1003);  // nothing written
  t->item(1, 1)->setText("");
  EXPECT_TRUE(d.BotonGuardarClick());
  EXPECT_EQ(valorTipoPago(EmpresaVentas::kDatos, "EFECTIVO"), 7.5);
  EXPECT_EQ(valorTipoPago(EmpresaVentas::kDatos, "MAYOREO"), -1000);
}

TEST_F(PantallaMostrador, LaClaveRapidaDaDeAltaYUnaClaveExistenteSeAvisa) {
  TFormaClaveRapida f(std::string(EmpresaVentas::kDatos), ui, "TORN");
  auto campo = [&f](const char* n) { return f.findChild<QLineEdit*>(n); };
  EXPECT_EQ(campo("EditCLPRO_I")->text(), "TORN");
  campo("EditDSCPR_I")->setText("Tornillo");
  campo("EditCODIG_I")->setText("750200");
  campo("EditPPUBL_I")->setText("1.5");
  f.BotonGuardarClick();
  EXPECT_EQ(f.result(), QDialog::Accepted);
  EXPECT_EQ(emp.texto("inventar.dbf", "CLPRO_I", "TORN", "DSCPR_I"), "Tornillo");
  EXPECT_EQ(emp.numero("inventar.dbf", "CLPRO_I", "TORN", "UEMPA_I"), 1);

  TFormaClaveRapida otra(std::string(EmpresaVentas::kDatos), ui, "MART");
  otra.findChild<QLineEdit*>("EditPPUBL_I")->setText("5");
  otra.BotonGuardarClick();
  EXPECT_EQ(ui.mensajes(), V{"El producto ya esta dado de alta..."});
  EXPECT_EQ(emp.texto("inventar.dbf", "CLPRO_I", "MART", "DSCPR_I"), "Martillo");
}

}  // namespace
}  // namespace mostrador::sales
