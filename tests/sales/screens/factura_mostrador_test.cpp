// The counter flow on the sales screen, typed key by key: F9, two scans, the cash and
// F10 with and without skipping the header; leaving a sale in capture; a price that is
// not a number; a runaway quantity and a column that shows its whole value; F1 and F2.

#include <gtest/gtest.h>

#include <QDoubleSpinBox>
#include <QHeaderView>
#include <QPushButton>
#include <filesystem>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QTest>

#include "sales/screens/pantalla_factura.h"
#include "support/principal_aplicacion.h"
#include "sales/screens/TFormaFactura.h"
#include "sales/screens/dialogos_venta_qt.h"
#include "ui/impresora_qt.h"
#include "printing/motor_formatos.h"
#include "base/rutas.h"
#include "base/texto.h"
#include "support/dialogos_venta_falsos.h"
#include "support/empresa_ventas.h"
#include "support/entorno.h"
#include "support/interaccion_fake.h"
#include "support/reloj_fijo.h"

namespace mostrador::sales {
namespace {

using base::RespuestaAdvertencia;
using base::RespuestaCerrar;
using V = std::vector<std::string>;

struct Mostrador : PantallaFactura {
  // "\encabeza.cnf": skip the header, start in the key.
  void opciones(bool saltaEncabezado, bool iniciaEnClave) {
    base::escribeLineas(base::une(prueba::EmpresaVentas::kSistema, "encabeza.cnf"),
                         {saltaEncabezado ? "S" : "N", iniciaEnClave ? "S" : "N", "", "", "", "", "", "", "N"});
  }
  // F9, a scan, Enter, another scan, Enter, F5 500, F10: nothing else typed.
  void ventaDeMostrador() {
    abre();
    tecla(Qt::Key_F9);
    despuesDeF9();
  }
  void despuesDeF9() {
    teclea("7501234567890");
    tecla(Qt::Key_Return);
    teclea("7509999999999");
    tecla(Qt::Key_Return);
    tecla(Qt::Key_F5);
    teclea("500");
    tecla(Qt::Key_F10);
  }
  void esperaVentaGuardada() {
    EXPECT_TRUE(ui.llamadas().empty()) << ui.llamadas().front();
    EXPECT_FALSE(forma->motor().enCaptura());
    EXPECT_EQ(emp.filas("Remision.dbf", {"CLDOC_F", "CLCLI_F", "NOMBR_F", "IMTOD_F", "CAMBI_F", "ABONO_F",
                                         "SALDO_F"}),
              V{"1|1|Publico en General|139.2000|360.8000|139.2000|0.0000"});
    EXPECT_EQ(emp.filas("Remisiod.dbf", {"CLPRO_FD", "CANTI_FD", "PUNPR_FD"}),
              V({"MART|1.000|100.0000", "CLAV|1.000|20.0000"}));
    EXPECT_EQ(etiqueta("SuCambio"), "Cambio 360.80");
    EXPECT_EQ(etiqueta("TotalFact"), "139.20");
    EXPECT_EQ(etiqueta("LabelPartidas"), "Partidas  2");
  }
};

TEST_F(Mostrador, VentaDeMostradorSinSaltarEncabezado) {
  opciones(false, false);
  ventaDeMostrador();
  esperaVentaGuardada();
}

TEST_F(Mostrador, VentaDeMostradorSaltandoEncabezadoElEscaneoNoEsCantidad) {
  opciones(true, false);
  abre();
  tecla(Qt::Key_F9);
  // The quantity waits, selected, with 1; the scan typed over it is the product.
  EXPECT_EQ(forma->focusWidget(), w<QLineEdit>("EditCantidad"));
  EXPECT_EQ(w<QLineEdit>("EditCantidad")->selectedText(), "1");
  despuesDeF9();
  esperaVentaGuardada();
}

TEST_F(Mostrador, VentaDeMostradorSaltandoEncabezadoEIniciandoEnClave) {
  opciones(true, true);
  ventaDeMostrador();
  esperaVentaGuardada();
}

TEST_F(Mostrador, F4CantidadYEnterLlevaALaClaveYElEfectivoSeLimpiaConF9) {
  opciones(false, false);
  abre();
  tecla(Qt::Key_F9);
  tecla(Qt::Key_F4);
  EXPECT_EQ(forma->focusWidget(), w<QLineEdit>("EditCantidad"));
  teclea("3");
  tecla(Qt::Key_Return);
  EXPECT_EQ(rejilla()->currentColumn(), kClave);
  teclea("MART");
  tecla(Qt::Key_Return);
  EXPECT_EQ(texto(0, kCantidad), "3");
  EXPECT_EQ(texto(0, kImporte), "300.00");
  tecla(Qt::Key_F5);
  teclea("400");
  tecla(Qt::Key_Return);
  EXPECT_EQ(etiqueta("SuCambio"), "Cambio 52.00");
  tecla(Qt::Key_F10);
  EXPECT_EQ(emp.filas("Remision.dbf", {"IMTOD_F", "CAMBI_F"}), V{"348.0000|52.0000"});

  tecla(Qt::Key_F9);
  EXPECT_EQ(etiqueta("SuCambio"), "Cambio 0.00");
  EXPECT_EQ(w<QLineEdit>("CAMBIO_F")->text(), "");
  EXPECT_TRUE(ui.llamadas().empty()) << ui.llamadas().front();
}

TEST_F(Mostrador, EscConUnaVentaEnCapturaPreguntaYDescartarLaDejaCancelada) {
  abre();
  tecla(Qt::Key_F9);
  teclea("MART");
  tecla(Qt::Key_Return);
  ASSERT_EQ(texto(0, kProducto), "Martillo");

  ui.respondeCerrar(RespuestaCerrar::Quedarse);
  tecla(Qt::Key_Escape);
  EXPECT_TRUE(forma->isVisible());
  EXPECT_TRUE(forma->motor().enCaptura());
  EXPECT_EQ(texto(0, kProducto), "Martillo");

  ui.respondeCerrar(RespuestaCerrar::Descartar);
  forma->close();
  QApplication::processEvents();
  EXPECT_FALSE(forma->isVisible());
  EXPECT_EQ(ui.llamadas(), V({"cerrar", "cerrar"}));
  EXPECT_EQ(emp.filas("Remision.dbf", {"CLDOC_F", "STATU_F", "IMTOD_F"}), V{"1|C|0.0000"});
  EXPECT_TRUE(emp.filas("Remisiod.dbf", {"CLDOC_FD"}).empty());
  EXPECT_EQ(emp.numero("inventar.dbf", "CLPRO_I", "MART", "EXIST_I"), 10);

  // Reopened, it reads as what it is.
  forma.reset();
  abre();
  EXPECT_EQ(etiqueta("Estado"), "Cancelada");
  EXPECT_EQ(etiqueta("TotalFact"), "0.00");
}

TEST_F(Mostrador, UnPrecioQueNoEsNumeroSeRechazaYLosTotalesNoCambian) {
  abre();
  tecla(Qt::Key_F9);
  teclea("MART");
  tecla(Qt::Key_Return);
  celda(0, kDescuento);
  tecla(Qt::Key_P, Qt::ControlModifier);
  ASSERT_EQ(rejilla()->currentColumn(), kPrecio);
  teclea("abc");
  tecla(Qt::Key_Return);
  QApplication::processEvents();
  EXPECT_EQ(ui.mensajes(), V{"El Precio \"abc\" no es un número válido"});
  EXPECT_EQ(texto(0, kPrecio), "100.00");
  EXPECT_EQ(texto(0, kImporte), "100.00");
  EXPECT_EQ(etiqueta("TotalFact"), "116.00");
  tecla(Qt::Key_F10);
  EXPECT_EQ(emp.filas("Remision.dbf", {"IMTOD_F"}), V{"116.0000"});
  EXPECT_EQ(emp.filas("Remisiod.dbf", {"PUNPR_FD"}), V{"100.0000"});
}

TEST_F(Mostrador, UnaCantidadDesmedidaPreguntaYLaColumnaMuestraTodoElImporte) {
  abre();
  tecla(Qt::Key_F9);
  celda(0, kCantidad);
  teclea("99999999");
  ui.respondeAdvertencia(RespuestaAdvertencia::No);
  tecla(Qt::Key_Return);
  QApplication::processEvents();
  EXPECT_EQ(ui.llamadas(),
            V{"advertencia: La Cantidad 99999999 rebasa el tope de 10000 por partida. ¿Es correcta?"});
  EXPECT_EQ(texto(0, kCantidad), "1");

  celda(0, kCantidad);
  teclea("99999999");
  ui.respondeAdvertencia(RespuestaAdvertencia::Si);
  tecla(Qt::Key_Return);
  teclea("MART");
  tecla(Qt::Key_Return);
  QApplication::processEvents();
  EXPECT_EQ(texto(0, kCantidad), "99999999");
  EXPECT_EQ(texto(0, kImporte), "9,999,999,900.00");
  for (int col : {kCantidad, kPrecio, kImporte}) {
    QTableWidgetItem* i = rejilla()->item(0, col);
    EXPECT_TRUE(i->textAlignment() & Qt::AlignRight) << col;
    EXPECT_GE(rejilla()->columnWidth(col), rejilla()->fontMetrics().horizontalAdvance(i->text())) << col;
  }
}

TEST_F(Mostrador, F1BuscaPorDescripcionF2PorClaveYF3RepiteLaUltimaPartida) {
  abre();
  tecla(Qt::Key_F9);
  tecla(Qt::Key_F1);
  tecla(Qt::Key_F2);
  EXPECT_EQ(dlg.llamadas, V({"descripcion: ", "producto: "}));
  teclea("CLAV");
  tecla(Qt::Key_Return);
  tecla(Qt::Key_F3);
  ASSERT_EQ(rejilla()->rowCount(), 3);
  EXPECT_EQ(texto(1, kClave), "CLAV");
  EXPECT_EQ(texto(1, kImporte), "20.00");
  EXPECT_EQ(etiqueta("LabelPartidas"), "Partidas  2");
  EXPECT_EQ(etiqueta("TotalFact"), "46.40");
}

TEST(ImpresoraDePagina, SinImpresoraElTrabajoNoEmpiezaYUnPdfSi) {
  prueba::aplicacionQt();
  prueba::DirectorioTemporal dir;
  ImpresoraQt sistema;
  if (!sistema.impresoras().empty()) GTEST_SKIP() << "this machine has printers";
  EXPECT_FALSE(sistema.iniciaTrabajo("Remision.fmt"));
  EXPECT_FALSE(sistema.trabajoActivo());
  EXPECT_FALSE(sistema.terminaTrabajo());
  EXPECT_FALSE(sistema.imprimeTexto({"linea"}, "Courier"));

  const std::string pdf = dir.str() + "/salida.pdf";
  auto archivo = ImpresoraQt::aPdf(pdf);
  EXPECT_TRUE(archivo->iniciaTrabajo("Remision.fmt"));
  archivo->texto(100, 100, "Hola");
  EXPECT_TRUE(archivo->terminaTrabajo());
  EXPECT_TRUE(std::filesystem::file_size(pdf) > 0);
}

TEST_F(Mostrador, F11SinImpresoraNoMarcaLaVentaComoImpresa) {
  {
    ImpresoraQt sistema;
    if (!sistema.impresoras().empty()) GTEST_SKIP() << "this machine has printers";
  }
  base::creaDirectorios(base::une(prueba::EmpresaVentas::kSistema, "consulta"));
  base::escribeLineas(base::une(prueba::EmpresaVentas::kSistema, "consulta\\Remision.fmt"),
                       {"imp,", "@1,1,CLDOC_F"});
  abre();
  tecla(Qt::Key_F9);
  teclea("MART");
  tecla(Qt::Key_Return);
  tecla(Qt::Key_F10);
  ASSERT_TRUE(ui.llamadas().empty()) << ui.llamadas().front();
  tecla(Qt::Key_F11);
  EXPECT_EQ(ui.mensajes(), V{std::string(printing::kSinImpresora)});
  EXPECT_EQ(etiqueta("Impresa"), "No Impresa");
  EXPECT_EQ(emp.filas("Remision.dbf", {"TREGI_F"}), V{""});
  // Printing again asks no administrator key: the sale was never printed.
  ui.olvidaLlamadas();
  tecla(Qt::Key_F11);
  EXPECT_EQ(ui.llamadas(), V{"mensaje: " + std::string(printing::kSinImpresora)});
}

}  // namespace
}  // namespace mostrador::sales

namespace mostrador::sales {
namespace {

TEST(BasculaEnPantalla, ElDialogoDeTaraMuestraFactorYExistenciaYTomaElPesoTecleado) {
  prueba::aplicacionQt();
  prueba::DirectorioTemporal dir;
  QWidget padre;
  DialogosVentaQt d(&padre, DirectoriosVenta{dir.str(), dir.str(), dir.str(), "0"},
                    [] { return std::string("Remisión"); }, [](std::string_view) {});
  QString factor, existencia;
  prueba::GuionModal guion;
  guion.luego([&](QWidget* m) {
    factor = m->findChild<QLabel*>("LabelFactor")->text();
    existencia = m->findChild<QLabel*>("LabelExistencia")->text();
    m->findChild<QLineEdit*>("EditPeso")->setText("1.25");
    m->findChild<QPushButton*>("BotonAceptar")->click();
  });
  // No scale on this machine's port: the weight is typed.
  EXPECT_EQ(d.pesaProducto(1, 1000, 0, 12345.5), 1.25);
  EXPECT_EQ(guion.vistos(), std::vector<std::string>{"TFormaTara"});
  EXPECT_EQ(factor, "Factor: 1000.00");
  EXPECT_EQ(existencia, "Existencia: 12345.50");
}

}  // namespace
}  // namespace mostrador::sales
