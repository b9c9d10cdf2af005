// The sales document screen driven by keys: a sale typed with F9, a barcode and F10
// ends on disk; the Base selector, the price-change key and the line delete key.

#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QTextEdit>
#include <QTimer>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include "sales/screens/pantalla_factura.h"
#include "support/principal_aplicacion.h"
#include "sales/screens/TFormaFactura.h"
#include "base/rutas.h"
#include "support/dialogos_venta_falsos.h"
#include "support/empresa_ventas.h"
#include "support/entorno.h"
#include "support/interaccion_fake.h"
#include "support/reloj_fijo.h"

namespace mostrador::sales {
namespace {

using base::RespuestaAdvertencia;
using V = std::vector<std::string>;

struct Factura : PantallaFactura {
  // A line typed into the grid: its key in the Clave cell, then Enter.
  void partida(int fila, const QString& clave) {
    celda(fila, kClave);
    teclea(clave);
    tecla(Qt::Key_Return);
  }
};

TEST_F(Factura, UnaVentaTecleadaConF9ElCodigoDeBarrasYF10QuedaEnDisco) {
  TFormaFactura& f = abre();
  EXPECT_EQ(w<QComboBox>("Base")->currentText(), "Remisión");
  EXPECT_FALSE(w<QPushButton>("BotonGuardar")->isEnabled());

  tecla(Qt::Key_F9);
  EXPECT_TRUE(f.motor().esNuevo());
  EXPECT_EQ(w<QLineEdit>("EditCLDOC_F")->text(), "1");
  EXPECT_TRUE(w<QLineEdit>("EditCLDOC_F")->isReadOnly());  // user "0" on a delivery note
  EXPECT_EQ(w<QLineEdit>("EditFEDOC_F")->text(), "15/03/2025");
  EXPECT_EQ(w<QLineEdit>("EditCLCLI_F")->text(), "1");
  EXPECT_EQ(etiqueta("EstadoCaptura"), "Capturando...");
  EXPECT_EQ(etiqueta("Label18"), "F9 NUEVO    F10 GUARDAR   F11 IMPRIMIR    Ctrl+B   BUSCAR");
  EXPECT_EQ(etiqueta("Hora"), "12:00:00");
  EXPECT_TRUE(w<QPushButton>("BotonGuardar")->isEnabled());
  EXPECT_FALSE(w<QPushButton>("BotonNuevo")->isEnabled());
  // The grid offers its first line with quantity 1.
  ASSERT_EQ(rejilla()->rowCount(), 1);
  EXPECT_EQ(texto(0, kCantidad), "1");

  partida(0, "7501234567890");
  // The barcode became the product's key and the line was priced; a new line waits
  // with the cursor on its key.
  ASSERT_EQ(rejilla()->rowCount(), 2);
  EXPECT_EQ(texto(0, kClave), "MART");
  EXPECT_EQ(texto(0, kProducto), "Martillo");
  EXPECT_EQ(texto(0, kPrecio), "100.00");
  EXPECT_EQ(texto(0, kImporte), "100.00");
  EXPECT_EQ(texto(1, kCantidad), "1");
  EXPECT_EQ(rejilla()->currentRow(), 1);
  EXPECT_EQ(rejilla()->currentColumn(), kClave);
  EXPECT_EQ(etiqueta("SumarTotal"), "100.00");
  EXPECT_EQ(etiqueta("ImpuestoValor"), "16.00");
  EXPECT_EQ(etiqueta("TotalFact"), "116.00");
  EXPECT_EQ(etiqueta("LabelPartidas"), "Partidas  1");  // counted before the new line

  tecla(Qt::Key_F10);
  EXPECT_FALSE(f.motor().enCaptura());
  EXPECT_EQ(etiqueta("EstadoCaptura"), "Terminada");
  EXPECT_EQ(etiqueta("Estado"), "Activa");
  EXPECT_EQ(etiqueta("Impresa"), "No Impresa");
  EXPECT_TRUE(w<QPushButton>("BotonNuevo")->isEnabled());
  EXPECT_FALSE(w<QPushButton>("BotonGuardar")->isEnabled());
  EXPECT_TRUE(ui.mensajes().empty()) << ui.mensajes().front();

  EXPECT_EQ(emp.filas("Remision.dbf", {"CLDOC_F", "CONTROL", "CLCLI_F", "NOMBR_F", "FEDOC_F", "SUBTO_F",
                                       "IMIM2_F", "IMTOD_F", "HORAX_F"}),
            V{"1|50000|1|Publico en General|15/03/2025|100.0000|16.0000|116.0000|12:00:00"});
  EXPECT_EQ(emp.filas("Remisiod.dbf", {"CLDOC_FD", "CONTROL", "CLPRO_FD", "CANTI_FD", "DEPRO_FD", "PUNPR_FD"}),
            V{"1|50000|MART|1.000|Martillo|100.0000"});
  EXPECT_EQ(emp.filas("movinven.dbf", {"CLDOC_MI", "TIMOV_MI", "CLPRO_MI", "CANTI_MI", "NUDOC_MI", "REFMO_MI"}),
            V{"1|3|MART|1.000|R1-50000|1"});
  EXPECT_EQ(emp.numero("inventar.dbf", "CLPRO_I", "MART", "EXIST_I"), 9);
  EXPECT_EQ(emp.numero("inventar.dbf", "CLPRO_I", "CLAV", "EXIST_I"), 10);
}

TEST_F(Factura, FacturarLaRemisionDesdeElMenuGenerar) {
  abre();
  tecla(Qt::Key_F9);
  partida(0, "MART");
  tecla(Qt::Key_F10);
  ASSERT_FALSE(forma->motor().enCaptura());

  ui.respondeAdvertencia(RespuestaAdvertencia::Si);
  forma->accion("Factura1")->trigger();
  QApplication::processEvents();
  EXPECT_EQ(ui.llamadas().front(), "advertencia: Esta Seguro que Desea GENERAR LA FACTURA ?");
  EXPECT_EQ(ui.mensajes(), std::vector<std::string>{"Se generó la Factura 1"});
  // The invoice holds the note's line, the note points at the invoice and the screen
  // is back on the note.
  EXPECT_EQ(emp.filas("FacturaE.dbf", {"CLDOC_F", "CLCLI_F", "IMTOD_F"}), V{"1|1|116.0000"});
  EXPECT_EQ(emp.filas("FacturaD.dbf", {"CLDOC_FD", "CLPRO_FD", "CANTI_FD"}), V{"1|MART|1.000"});
  EXPECT_EQ(emp.filas("Remision.dbf", {"CLDOC_F", "REMIS_F"}), V{"1|1"});
  EXPECT_EQ(emp.filas("Remisiod.dbf", {"CLPRO_FD", "TDOCU_FD"}), V{"MART|F1"});
  EXPECT_EQ(w<QComboBox>("Base")->currentText(), "Remisión");
  EXPECT_EQ(w<QLineEdit>("EditCLDOC_F")->text(), "1");
  // The stock moved once, with the note.
  EXPECT_EQ(emp.numero("inventar.dbf", "CLPRO_I", "MART", "EXIST_I"), 9);

  // Invoicing it again is refused.
  ui.olvidaLlamadas();
  ui.respondeAdvertencia(RespuestaAdvertencia::Si);
  forma->accion("Factura1")->trigger();
  QApplication::processEvents();
  EXPECT_EQ(ui.mensajes(), V{"El Documento ya se FACTURO..."});
  EXPECT_EQ(emp.filas("FacturaE.dbf", {"CLDOC_F"}), V{"1"});
}

TEST_F(Factura, BaseSoloAceptaSusTiposYLosComandosDeGenerarSiguenAlTipo) {
  abre();
  QComboBox* base = w<QComboBox>("Base");
  auto elige = [&](const char* texto) {
    base->lineEdit()->setFocus();
    base->lineEdit()->selectAll();
    teclea(QString::fromLatin1(texto));
    tecla(Qt::Key_Return);
  };
  auto habilitados = [&] {
    std::string r;
    for (const char* n : {"Factura1", "FacturaeImprimir1", "Remisin1", "Pedido1", "Devolucin1", "NotadeCredito1"})
      r += forma->accion(n)->isEnabled() ? "1" : "0";
    return r;
  };
  EXPECT_EQ(habilitados(), "110010");

  elige("Caja Chica");
  EXPECT_EQ(forma->motor().tipo(), TipoVenta::CajaChica);
  EXPECT_EQ(base->currentText(), "Caja Chica");
  EXPECT_EQ(habilitados(), "000000");
  EXPECT_FALSE(w<QLineEdit>("EditCLDOC_F")->isReadOnly());

  elige("Factura");  // not one of Base's types: back to the delivery note
  EXPECT_EQ(forma->motor().tipo(), TipoVenta::Remision);
  EXPECT_EQ(base->currentText(), "Remisión");
  EXPECT_EQ(habilitados(), "110010");
  EXPECT_TRUE(ui.mensajes().empty());
}

TEST_F(Factura, CtrlPSinElDerecho51NoDaAccesoAlPrecio) {
  emp.usuario(std::string(50, 's') + "n" + std::string(20, 's'));  // user 1: every right but 51
  emp.sesion("1");
  abre();
  EXPECT_EQ(etiqueta("usuario"), "1");
  tecla(Qt::Key_F9);
  partida(0, "MART");
  celda(0, kDescuento);

  tecla(Qt::Key_P, Qt::ControlModifier);
  EXPECT_EQ(ui.mensajes(), V{"No Tiene Acceso a Precios"});
  EXPECT_FALSE(forma->motor().permisoPrecio());
  EXPECT_EQ(rejilla()->currentColumn(), kDescuento);

  // Nor can the cursor be taken there: it goes back to the quantity.
  ui.olvidaLlamadas();
  celda(0, kPrecio);
  EXPECT_EQ(ui.mensajes(), V{"No Tiene Acceso a Precios"});
  EXPECT_EQ(rejilla()->currentColumn(), kCantidad);
  EXPECT_EQ(texto(0, kPrecio), "100.00");
}

TEST_F(Factura, CtrlPDelAdministradorLlevaAlPrecioYElPrecioTecleadoCuenta) {
  abre();
  tecla(Qt::Key_F9);
  partida(0, "MART");
  celda(0, kDescuento);
  tecla(Qt::Key_P, Qt::ControlModifier);
  EXPECT_TRUE(ui.mensajes().empty());
  EXPECT_EQ(rejilla()->currentRow(), 0);
  EXPECT_EQ(rejilla()->currentColumn(), kPrecio);

  teclea("80");
  tecla(Qt::Key_Return);  // on to the amount, which is recomputed
  EXPECT_EQ(rejilla()->currentColumn(), kImporte);
  EXPECT_EQ(texto(0, kPrecio), "80.00");
  EXPECT_EQ(texto(0, kImporte), "80.00");
  EXPECT_FALSE(forma->motor().permisoPrecio());  // one line only
  tecla(Qt::Key_F10);
  EXPECT_EQ(emp.filas("Remisiod.dbf", {"CLPRO_FD", "PUNPR_FD"}), V{"MART|80.0000"});
}

TEST_F(Factura, F6PreguntaYBorraLaPartidaActual) {
  abre();
  tecla(Qt::Key_F9);
  partida(0, "MART");
  partida(1, "7509999999999");
  ASSERT_EQ(rejilla()->rowCount(), 3);
  EXPECT_EQ(etiqueta("TotalFact"), "139.20");

  celda(0, kCantidad);
  ui.respondeAdvertencia(RespuestaAdvertencia::No);
  tecla(Qt::Key_F6);
  EXPECT_EQ(rejilla()->rowCount(), 3);

  ui.respondeAdvertencia(RespuestaAdvertencia::Si);
  tecla(Qt::Key_F6);
  EXPECT_EQ(ui.llamadas(), (V{"advertencia: Esta Seguro que Desea ELIMINAR esta Partida 1  Martillo",
                              "advertencia: Esta Seguro que Desea ELIMINAR esta Partida 1  Martillo"}));
  ASSERT_EQ(rejilla()->rowCount(), 2);
  EXPECT_EQ(texto(0, kClave), "CLAV");
  EXPECT_EQ(etiqueta("TotalFact"), "23.20");
  EXPECT_EQ(etiqueta("LabelPartidas"), "Partidas  1");  // the blank line waiting is not one

  tecla(Qt::Key_F10);
  EXPECT_EQ(emp.filas("Remisiod.dbf", {"CLPRO_FD", "CANTI_FD"}), V{"CLAV|1.000"});
}

TEST_F(Factura, MenusDeLaPantalla) {
  emp.usuario(std::string(43, 's') + "n" + std::string(20, 's'));  // user 1: no right 44
  abre();
  EXPECT_TRUE(forma->accion("Reportes1")->isEnabled());  // user "0"
  // The reports menu holds one item per sales report.
  ASSERT_TRUE(forma->accion("Reportes1")->menu());
  EXPECT_EQ(forma->accion("Reportes1")->menu()->actions().size(), 40);
  EXPECT_EQ(forma->accion("CorteZ1")->text(), "Corte Z");
  forma->accion("VerFunciones1")->trigger();
  EXPECT_EQ(ui.mensajes(),
            (V{"F1    Busca Producto por Descipción\rF2    Busca Producto por Clave\r"
               "F4    Salta a Cantidad\rF5    Introducir Efectivo\rF6    Borrar Partida\r"
               "F7    Inicia Captura por Importe\rF8    Tipo de Pago\rF9    Venta Nueva\r"
               "F10   Guardar Venta\rCtrl+B     Buscar\rCtrl+I ó F11    Imprimir\r"
               "Ctrl+P     Cambiar Precio\rCtrl+F2    Cursor en Cliente"}));
  EXPECT_EQ(etiqueta("Funciones"),
            "F2 -> Buscar Producto\nF3 -> Repite el último Movimiento\nF4 -> Salta a Cantidad\n"
            "F5 -> Ingresar Efectivo");

  forma.reset();
  emp.sesion("1");
  abre();
  EXPECT_FALSE(forma->accion("Reportes1")->isEnabled());
}

TEST_F(Factura, UnReporteDelMenuPasaPorElFiltroYMuestraSuHoja) {
  abre();
  tecla(Qt::Key_F9);
  partida(0, "7501234567890");
  tecla(Qt::Key_F10);
  ASSERT_EQ(emp.filas("Remision.dbf", {"CLDOC_F", "NOMBR_F"}), V{"1|Publico en General"});
  bool filtro = false, hoja = false;
  // The filter dialog first, then the report screen on the saved delivery note.
  QTimer::singleShot(0, [&] {
    auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->objectName(), "TFormaFormatos");
    filtro = true;
    QTimer::singleShot(0, [&] {
      auto* r = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      ASSERT_NE(r, nullptr);
      EXPECT_EQ(r->objectName(), "TFormaReporteSQL");
      EXPECT_EQ(r->windowTitle(), "Reporte de Consecutivo de Documentos");
      auto* texto = r->findChild<QTextEdit*>("Hoja");
      ASSERT_NE(texto, nullptr);
      EXPECT_TRUE(texto->toPlainText().contains("Publico en General")) << texto->toPlainText().toStdString();
      hoja = true;
      r->accept();
    });
    QTest::keyClick(d, Qt::Key_Return);
  });
  forma->accion("ConsecutivodeFacturas1")->trigger();
  EXPECT_TRUE(filtro);
  EXPECT_TRUE(hoja);
}

TEST_F(Factura, VentasPorDiaDelMenuPasanPorElProgresoYElVisor) {
  abre();
  w<QComboBox>("Base")->setCurrentText("Factura");
  bool visor = false;
  QTimer::singleShot(0, [&] {
    auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->objectName(), "TFormaFormatos");
    EXPECT_FALSE(d->findChild<QWidget*>("De")->isEnabled());  // only the dates
    QTimer::singleShot(0, [&] {
      auto* v = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      ASSERT_NE(v, nullptr);
      EXPECT_EQ(v->objectName(), "TFormaBarras");
      EXPECT_EQ(v->windowTitle(), "Reporte de Ventas por Día");
      visor = true;
      v->close();
    });
    QTest::keyClick(d, Qt::Key_Return);
  });
  forma->accion("VentasporDa1")->trigger();
  EXPECT_TRUE(visor);
  // Closing the viewer took its scratch files with it.
  EXPECT_FALSE(base::existe(base::une(prueba::EmpresaVentas::kSistema, "tempo\\final.tmp")));
  EXPECT_TRUE(ui.mensajes().empty());
}

TEST_F(Factura, ElClienteSeAplicaAlSalirDelCampoYCtrlACtrlSRecorrenLosDocumentos) {
  emp.cliente("7", "Ferreteria Lopez", "", "I");
  abre();
  tecla(Qt::Key_F9);
  QLineEdit* cliente = w<QLineEdit>("EditCLCLI_F");
  cliente->setFocus();
  cliente->selectAll();
  teclea("7");
  tecla(Qt::Key_Return);  // leaves the field
  EXPECT_EQ(ui.mensajes(), V{"Cliente Inactivo, tiene que modificar esta clave..."});
  EXPECT_EQ(etiqueta("Nombre"), "Ferreteria Lopez");
  EXPECT_EQ(forma->focusWidget(), cliente);  // back to the key

  ui.olvidaLlamadas();
  cliente->selectAll();
  teclea("1");
  tecla(Qt::Key_Return);
  EXPECT_TRUE(ui.mensajes().empty());
  EXPECT_EQ(etiqueta("Nombre"), "Publico en General");
  EXPECT_EQ(etiqueta("Direccion"), "Calle 1");
  EXPECT_EQ(etiqueta("RFC"), "XAXX010101000");
  partida(0, "MART");
  tecla(Qt::Key_F10);

  tecla(Qt::Key_F9);
  partida(0, "CLAV");
  partida(1, "CLAV");
  tecla(Qt::Key_F10);
  EXPECT_EQ(w<QLineEdit>("EditCLDOC_F")->text().toStdString(), "2");

  tecla(Qt::Key_A, Qt::ControlModifier);
  EXPECT_EQ(w<QLineEdit>("EditCLDOC_F")->text().toStdString(), "1");
  EXPECT_EQ(texto(0, kClave), "MART");
  EXPECT_EQ(etiqueta("TotalFact"), "116.00");
  tecla(Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(w<QLineEdit>("EditCLDOC_F")->text().toStdString(), "2");
  EXPECT_EQ(texto(0, kClave), "CLAV");
  EXPECT_EQ(texto(1, kClave), "CLAV");
  EXPECT_EQ(etiqueta("TotalFact"), "46.40");
  // Browsing: the grid takes no typing.
  EXPECT_EQ(rejilla()->editTriggers(), QAbstractItemView::NoEditTriggers);
}

TEST_F(Factura, F7VendeLoQueAlcanzaUnImporteDeUnCodigoDeBarras) {
  abre();
  tecla(Qt::Key_F9);
  prueba::GuionModal guion;
  guion.luego([](QWidget* d) {
    d->findChild<QLineEdit*>("EditImporte")->setText("50");
    d->findChild<QLineEdit*>("EditClave")->setText("7501234567890");
    d->findChild<QPushButton*>("Aceptar")->click();
  });
  tecla(Qt::Key_F7);
  EXPECT_EQ(guion.vistos(), V{"TFormaCalculaxPrecio"});
  ASSERT_EQ(rejilla()->rowCount(), 2);
  EXPECT_EQ(texto(0, kCantidad), "0.5");
  EXPECT_EQ(texto(0, kClave), "MART");
  EXPECT_EQ(texto(0, kImporte), "50.00");
  EXPECT_EQ(texto(1, kCantidad), "1");
  EXPECT_EQ(rejilla()->currentRow(), 1);
  EXPECT_EQ(rejilla()->currentColumn(), kCantidad);
  EXPECT_EQ(etiqueta("TotalFact"), "58.00");

  // Browsing, F7 opens nothing.
  tecla(Qt::Key_F10);
  tecla(Qt::Key_F7);
  EXPECT_EQ(guion.vistos().size(), 1u);
  EXPECT_EQ(emp.filas("Remisiod.dbf", {"CLPRO_FD", "CANTI_FD"}), V{"MART|0.500"});
}

}  // namespace
}  // namespace mostrador::sales
