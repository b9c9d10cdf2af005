// The purchases screen over real tables: a receipt typed with the keys (supplier, a line
// by key and one by bar code, a line discount) and saved, read back from the tables;
// an unknown supplier refused with its messages and nothing written; the discount window
// and the values it remembers.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>

#include "../prueba_compras.h"
#include "base/rutas.h"
#include "base/texto.h"
#include "inventory/screens/TFormaCompras.h"
#include "inventory/screens/TFormaDescuentoCompra.h"
#include "support/empresa_ventas.h"
#include "support/entorno.h"
#include "support/interaccion_fake.h"
#include "support/principal_aplicacion.h"
#include "support/reloj_fijo.h"

namespace mostrador::inventory {
namespace {

using V = std::vector<std::string>;
using prueba::EmpresaVentas;

struct PantallaCompras : ::testing::Test {
  QApplication& qt = prueba::aplicacionQt();
  prueba::DirectorioTemporal dir;
  prueba::EmpresaVentas emp;
  prueba::InteraccionFalsa ui;
  prueba::RelojFijo reloj{base::FechaHora{{2025, 7, 14}, {10, 30, 0, 0}}};  // control stamp 43750
  std::vector<int> derechosPedidos;

  PantallaCompras() {
    prueba::proveedorCompras("PR1", "FERRETERA DEL NORTE", 30);
    prueba::ProductoVenta a;
    a.clave = "A";
    a.descripcion = "Martillo";
    a.existencia = 5;
    a.costoPromedio = 10;
    a.ultimoCosto = 11;
    a.precio = 20;
    emp.producto(a);
    prueba::ProductoVenta b;
    b.clave = "B";
    b.codigo = "7502";
    b.descripcion = "Pinzas";
    b.precio = 30;
    b.ultimoCosto = 9;
    emp.producto(b);
  }
  AjustesCompras ajustes() const {
    AjustesCompras a = ajustesComprasDe(emp.lineas);
    a.usuario = "2";
    a.nombreUsuario = "CAJERO";
    return a;
  }
  std::unique_ptr<TFormaCompras> pantalla() {
    auto f = std::make_unique<TFormaCompras>(ajustes(), ui, reloj, [this](int n) {
      derechosPedidos.push_back(n);
      return true;
    });
    f->ponDirectorioSistema(std::string(EmpresaVentas::kSistema));
    return f;
  }
  template <class W>
  static W* hijo(TFormaCompras& f, const char* nombre) {
    W* w = f.findChild<W*>(nombre);
    if (!w) ADD_FAILURE() << "sin " << nombre;
    return w;
  }
  static QString texto(TFormaCompras& f, const char* nombre) { return hijo<QLabel>(f, nombre)->text(); }
  static void teclea(TFormaCompras& f, const char* edit, const QString& v) { hijo<QLineEdit>(f, edit)->setText(v); }
  static void celda(QTableWidget* t, int r, int c, const QString& v) {
    if (!t->item(r, c)) t->setItem(r, c, new QTableWidgetItem);
    t->item(r, c)->setText(v);  // cellChanged: the screen's column exit
  }
  static QString lee(QTableWidget* t, int r, int c) { return t->item(r, c) ? t->item(r, c)->text() : QString(); }
  std::string prod(const std::string& clave, const std::string& campo) const {
    return emp.texto("inventar.dbf", "CLPRO_I", clave, campo);
  }
};

TEST_F(PantallaCompras, UnaRecepcionTecleadaSeGuardaEnLasTablas) {
  auto f = pantalla();
  EXPECT_EQ(hijo<QComboBox>(*f, "TipoDocumento")->currentText(), "Recepción");
  EXPECT_EQ(hijo<QComboBox>(*f, "TipoDocumento")->count(), 3);
  EXPECT_EQ(hijo<QComboBox>(*f, "TipoDocumento")->itemText(1), "Orden de Compra");
  EXPECT_EQ(hijo<QComboBox>(*f, "TipoDocumento")->itemText(2), "Devolución de Compra");
  f->BotonNuevoClick();
  ASSERT_TRUE(f->enCaptura());
  EXPECT_EQ(derechosPedidos, std::vector<int>{23});
  EXPECT_EQ(hijo<QLineEdit>(*f, "EditCLDOC_O")->text(), "1");  // proposed by the counter
  EXPECT_EQ(hijo<QLineEdit>(*f, "EditFEDOC_O")->text(), "14/07/2025");
  EXPECT_EQ(hijo<QLineEdit>(*f, "EditAlmacen")->text(), "1");

  teclea(*f, "EditCLPRV_O", "PR1");
  f->EditCLPRV_OExit();
  EXPECT_EQ(texto(*f, "NOMBR_O"), "FERRETERA DEL NORTE");
  EXPECT_EQ(texto(*f, "DCRED_P"), "30");
  teclea(*f, "EditFEREC_O", "14/07/2025");
  f->EditFEREC_OExit();
  EXPECT_EQ(hijo<QLineEdit>(*f, "EditFEPAG_O")->text(), "13/08/2025");  // + 30 credit days
  teclea(*f, "EditREFER_O", "FAC-77");

  QTableWidget* d = f->detalle();
  // Line 1: quantity typed first, then the key; the catalogue fills the rest.
  celda(d, 0, TFormaCompras::kCantidad, "10");
  celda(d, 0, TFormaCompras::kClave, "A");
  EXPECT_EQ(lee(d, 0, TFormaCompras::kProducto), "Martillo");
  EXPECT_EQ(lee(d, 0, TFormaCompras::kPrecio), "11.00");         // last cost
  EXPECT_EQ(lee(d, 0, TFormaCompras::kPrecioCliente), "20.00");  // public price
  EXPECT_EQ(lee(d, 0, TFormaCompras::kImporte), "110.00");
  celda(d, 0, TFormaCompras::kPrecio, "12");
  EXPECT_EQ(lee(d, 0, TFormaCompras::kImporte), "120.00");
  // Line 2 by bar code; the quantity defaults to one until it is typed.
  celda(d, 1, TFormaCompras::kClave, "7502");
  EXPECT_EQ(lee(d, 1, TFormaCompras::kClave), "B");
  EXPECT_EQ(lee(d, 1, TFormaCompras::kCantidad), "1.000");
  celda(d, 1, TFormaCompras::kCantidad, "10");
  celda(d, 1, TFormaCompras::kPrecio, "12");
  celda(d, 1, TFormaCompras::kDescuento, "10");
  EXPECT_EQ(lee(d, 1, TFormaCompras::kImporte), "108.00");
  EXPECT_EQ(texto(*f, "LabelSubtotal"), "$228.00");
  EXPECT_EQ(texto(*f, "LabelTotal"), "$228.00");

  ASSERT_TRUE(f->BotonGuardarClick());
  EXPECT_EQ(ui.mensajes(), V{});
  EXPECT_FALSE(f->enCaptura());
  EXPECT_EQ(f->numero(), 1);
  EXPECT_EQ(texto(*f, "STDOC_O"), "Activa");
  EXPECT_EQ(d->rowCount(), 2);  // the saved lines, read back

  // Header, lines, catalogue, movements, payable and supplier, as stored.
  EXPECT_EQ(emp.filas("ComprasE.dbf", {"CLDOC_O", "CLPRV_O", "NOMBR_O", "FEDOC_O", "FEPAG_O", "REFER_O", "SUBTO_O",
                                       "IMPMO_O", "IMDOC_O", "SALDO_O", "CONTROL", "USUARIO"}),
            (V{"1|PR1|FERRETERA DEL NORTE|14/07/2025|13/08/2025|FAC-77|228.0000|0.0000|228.0000|228.0000|43750|CAJERO"}));
  EXPECT_EQ(emp.filas("ComprasD.dbf", {"CLDOC_OD", "CONTROL", "CLPRO_OD", "CANTI_OD", "CUNIT_OD", "PODES_OD"}),
            (V{"1|43750|A|10.000|12.0000|0.0000", "1|43750|B|10.000|12.0000|10.0000"}));
  EXPECT_EQ(prod("A", "EXIST_I"), "15.000");
  EXPECT_EQ(prod("A", "ULCOS_I"), "12.0000");
  EXPECT_EQ(prod("A", "CPROM_I"), "11.333333");  // (5 × 10 + 10 × 12) / 15
  EXPECT_EQ(prod("B", "EXIST_I"), "10.000");
  EXPECT_EQ(prod("B", "ULCOS_I"), "10.8000");  // 12 less 10 %
  EXPECT_EQ(prod("B", "CPROM_I"), "10.800000");
  EXPECT_EQ(emp.filas("movinven.dbf", {"TIMOV_MI", "CLPRO_MI", "CANTI_MI", "COSUN_MI", "NUDOC_MI", "BANAF_MI", "CLPRV_MI"}),
            (V{"51|A|10.000|12.0000|O1-43750|C|PR1", "51|B|10.000|10.8000|O1-43750|C|PR1"}));
  EXPECT_EQ(emp.filas("cuepagar.dbf", {"NUCOM_CP", "CLPRO_CP", "TIMOV_CP", "OPERA_CP", "IMCUE_CP", "SALDO_CP"}),
            (V{"1|PR1|51|C|228.0000|228.0000"}));
  EXPECT_EQ(emp.texto("proveedo.dbf", "CLAVE_P", "PR1", "SALDO_P"), "228.0000");
  EXPECT_EQ(emp.texto("proveedo.dbf", "CLAVE_P", "PR1", "FULCO_P"), "14/07/2025");
}

TEST_F(PantallaCompras, UnProveedorQueNoExisteSeRechazaYNadaSeEscribe) {
  {
    auto f = pantalla();
    f->BotonNuevoClick();
    teclea(*f, "EditCLPRV_O", "ZZ");
    f->EditCLPRV_OExit();
    EXPECT_EQ(ui.mensajes(), V{"No existe"});
    EXPECT_EQ(texto(*f, "NOMBR_O"), "");
    celda(f->detalle(), 0, TFormaCompras::kClave, "A");
    // A key that is not in the catalogue is said at once and left as typed.
    celda(f->detalle(), 1, TFormaCompras::kClave, "NOHAY");
    EXPECT_EQ(ui.mensajes(), (V{"No existe", "El Producto No Se encuenta"}));
    EXPECT_EQ(lee(f->detalle(), 1, TFormaCompras::kProducto), "");
    ui.olvidaLlamadas();
    EXPECT_FALSE(f->BotonGuardarClick());
    EXPECT_EQ(ui.mensajes(), V{"No existe el Proveedor ZZ"});
    EXPECT_TRUE(f->enCaptura());  // the capture stays for the user to mend
    // A blank number is refused before the engine sees the document.
    ui.olvidaLlamadas();
    teclea(*f, "EditCLDOC_O", "");
    EXPECT_FALSE(f->BotonGuardarClick());
    EXPECT_EQ(ui.mensajes(), V{"Falta el Número de Documento"});
  }
  // The screen is gone: its proposed header went with it, and nothing else moved.
  EXPECT_EQ(emp.filas("ComprasE.dbf", {"CLDOC_O"}), V{});
  EXPECT_EQ(emp.filas("ComprasD.dbf", {"CLDOC_OD"}), V{});
  EXPECT_EQ(emp.filas("cuepagar.dbf", {"NUCOM_CP"}), V{});
  EXPECT_EQ(prod("A", "EXIST_I"), "5.000");
  EXPECT_EQ(emp.texto("proveedo.dbf", "CLAVE_P", "PR1", "SALDO_P"), "0.0000");
}

TEST_F(PantallaCompras, LaVentanaDeDescuentosRecuerdaLosUltimos) {
  const std::string sistema(EmpresaVentas::kSistema);
  base::borra(TFormaDescuentoCompra::archivo(sistema));
  {
    TFormaDescuentoCompra w(sistema);
    EXPECT_EQ(w.findChild<QLineEdit*>("EditDescuento")->text(), "0.00");
    w.findChild<QLineEdit*>("EditDescuento")->setText("10");
    w.findChild<QLineEdit*>("EditDescuento2")->setText("5");
    w.findChild<QLineEdit*>("EditDescuento3")->setText("150");
    EXPECT_FALSE(w.BotonAceptarClick());  // above 100: the window stays, nothing kept
    EXPECT_FALSE(base::existe(TFormaDescuentoCompra::archivo(sistema)));
    w.findChild<QLineEdit*>("EditDescuento3")->setText("");
    EXPECT_TRUE(w.BotonAceptarClick());
    EXPECT_EQ(w.result(), QDialog::Accepted);
  }
  EXPECT_EQ(base::leeLineas(TFormaDescuentoCompra::archivo(sistema)), (V{"10.00", "5.00", "0.00"}));
  TFormaDescuentoCompra otra(sistema);
  EXPECT_EQ(otra.findChild<QLineEdit*>("EditDescuento")->text(), "10.00");
  EXPECT_EQ(otra.findChild<QLineEdit*>("EditDescuento2")->text(), "5.00");

  // With the per-line option on, typing a key opens the window and its values go to the line.
  base::escribeLineas(base::une(sistema, "DescCompra.cnf"), {"S"});
  auto f = pantalla();
  f->BotonNuevoClick();
  QTimer::singleShot(0, [] {
    auto* w = qobject_cast<TFormaDescuentoCompra*>(QApplication::activeModalWidget());
    ASSERT_NE(w, nullptr);
    w->findChild<QLineEdit*>("EditDescuento3")->setText("2");
    w->BotonAceptarClick();
  });
  celda(f->detalle(), 0, TFormaCompras::kCantidad, "1");
  celda(f->detalle(), 0, TFormaCompras::kClave, "A");
  EXPECT_EQ(lee(f->detalle(), 0, TFormaCompras::kDescuento), "10.00");
  EXPECT_EQ(lee(f->detalle(), 0, TFormaCompras::kDescuento2), "5.00");
  EXPECT_EQ(lee(f->detalle(), 0, TFormaCompras::kDescuento3), "2.00");
  // 11 × 0.9 × 0.95 × 0.98 = 9.21690
  EXPECT_EQ(lee(f->detalle(), 0, TFormaCompras::kImporte), "9.22");
  EXPECT_EQ(base::leeLineas(TFormaDescuentoCompra::archivo(sistema)), (V{"10.00", "5.00", "2.00"}));
  ui.respondeCerrar(base::RespuestaCerrar::Descartar);
  f->close();
  EXPECT_FALSE(f->enCaptura());
  EXPECT_EQ(emp.filas("ComprasE.dbf", {"CLDOC_O"}), V{});  // the discarded proposal is gone
}

TEST_F(PantallaCompras, ModificarPagosYCancelarCuentanElDocumentoUnaVez) {
  std::vector<std::string> pagos;
  TFormaCompras::registraPagos([&pagos](QWidget*, const std::string& dirDatos, long long numero) {
    pagos.push_back(dirDatos + " " + std::to_string(numero));
  });
  auto f = pantalla();
  f->BotonNuevoClick();
  teclea(*f, "EditCLPRV_O", "PR1");
  f->EditCLPRV_OExit();
  celda(f->detalle(), 0, TFormaCompras::kCantidad, "10");
  celda(f->detalle(), 0, TFormaCompras::kClave, "A");
  celda(f->detalle(), 0, TFormaCompras::kPrecio, "12");
  ASSERT_TRUE(f->BotonGuardarClick());
  EXPECT_EQ(prod("A", "EXIST_I"), "15.000");

  derechosPedidos.clear();
  f->BotonPagosClick();
  EXPECT_EQ(derechosPedidos, std::vector<int>{6});
  EXPECT_EQ(pagos, V{std::string(EmpresaVentas::kDatos) + " 1"});
  TFormaCompras::registraPagos({});

  // Modifying: the quantity goes from 10 to 4; stock, balance and payable count it once.
  f->BotonCambiosClick();
  ASSERT_TRUE(f->enCaptura());
  EXPECT_TRUE(hijo<QLineEdit>(*f, "EditCLDOC_O")->isReadOnly());
  celda(f->detalle(), 0, TFormaCompras::kCantidad, "4");
  EXPECT_EQ(lee(f->detalle(), 0, TFormaCompras::kImporte), "48.00");
  ASSERT_TRUE(f->BotonGuardarClick());
  EXPECT_EQ(ui.mensajes(), V{});
  EXPECT_EQ(derechosPedidos, (std::vector<int>{6, 25}));
  EXPECT_EQ(prod("A", "EXIST_I"), "9.000");
  EXPECT_EQ(emp.filas("ComprasE.dbf", {"CLDOC_O", "IMDOC_O", "SALDO_O"}), V{"1|48.0000|48.0000"});
  EXPECT_EQ(emp.filas("ComprasD.dbf", {"CLDOC_OD", "CLPRO_OD", "CANTI_OD"}), V{"1|A|4.000"});
  EXPECT_EQ(emp.texto("proveedo.dbf", "CLAVE_P", "PR1", "SALDO_P"), "48.0000");
  EXPECT_EQ(emp.filas("cuepagar.dbf", {"NUCOM_CP", "IMCUE_CP"}), V{"1|48.0000"});

  // Cancelling asks first; a "no" leaves everything as it was.
  ui.olvidaLlamadas();
  ui.respondeAdvertencia(base::RespuestaAdvertencia::No);
  f->Cancelar1Click();
  EXPECT_EQ(emp.texto("ComprasE.dbf", "CLDOC_O", "1", "STDOC_O"), "");
  ui.respondeAdvertencia(base::RespuestaAdvertencia::Si);
  f->Cancelar1Click();
  EXPECT_EQ(ui.llamadas(), (V{"advertencia: Esta Seguro de Cancelar este Documento ?",
                              "advertencia: Esta Seguro de Cancelar este Documento ?"}));
  EXPECT_EQ(texto(*f, "STDOC_O"), "Cancelada");
  EXPECT_EQ(emp.texto("ComprasE.dbf", "CLDOC_O", "1", "STDOC_O"), "C");
  EXPECT_EQ(emp.filas("ComprasD.dbf", {"TREGI_OD"}), V{"C"});
  EXPECT_EQ(prod("A", "EXIST_I"), "5.000");
  EXPECT_EQ(emp.texto("proveedo.dbf", "CLAVE_P", "PR1", "SALDO_P"), "0.0000");
  ui.olvidaLlamadas();
  f->BotonCambiosClick();
  EXPECT_FALSE(f->enCaptura());
  EXPECT_EQ(ui.mensajes(), V{"El Documento ya Fue Cancelado"});
}

TEST_F(PantallaCompras, UnaOrdenSoloApartaCantidadesPedidas) {
  auto f = pantalla();
  hijo<QComboBox>(*f, "TipoDocumento")->setCurrentIndex(1);
  EXPECT_EQ(f->tipo(), TipoCompra::Orden);
  f->BotonNuevoClick();
  EXPECT_EQ(hijo<QLineEdit>(*f, "EditCLDOC_O")->text(), "1");
  // The suggested order needs a supplier first.
  f->CompraSugerida1Click();
  EXPECT_EQ(ui.mensajes(), V{"Falto un Proveedor..."});
  teclea(*f, "EditCLPRV_O", "PR1");
  f->EditCLPRV_OExit();
  celda(f->detalle(), 0, TFormaCompras::kCantidad, "3");
  celda(f->detalle(), 0, TFormaCompras::kClave, "A");
  ASSERT_TRUE(f->BotonGuardarClick());
  EXPECT_EQ(emp.filas("OrdenCom.dbf", {"CLDOC_O", "CLPRV_O", "IMDOC_O"}), V{"1|PR1|33.0000"});
  EXPECT_EQ(emp.filas("OrdenDet.dbf", {"CLDOC_OD", "CLPRO_OD", "CANTI_OD"}), V{"1|A|3.000"});
  EXPECT_EQ(prod("A", "EXIST_I"), "5.000");
  EXPECT_EQ(prod("A", "COMRE_I"), "3.000");
  EXPECT_EQ(emp.filas("ComprasE.dbf", {"CLDOC_O"}), V{});
  EXPECT_EQ(emp.filas("movinven.dbf", {"TIMOV_MI"}), V{});
  EXPECT_EQ(emp.texto("proveedo.dbf", "CLAVE_P", "PR1", "SALDO_P"), "0.0000");
}

TEST_F(PantallaCompras, ConCapturaPorEmpaqueLaCantidadEsCajasPorEmpaque) {
  prueba::ProductoVenta c;
  c.clave = "CAJA";
  c.descripcion = "Clavos";
  c.ultimoCosto = 2;
  c.empaque = 12;
  emp.producto(c);
  AjustesCompras a = ajustes();
  a.porEmpaque = true;
  TFormaCompras f(a, ui, reloj, {});
  f.ponDirectorioSistema(std::string(EmpresaVentas::kSistema));
  f.BotonNuevoClick();
  celda(f.detalle(), 0, TFormaCompras::kCajas, "2");
  celda(f.detalle(), 0, TFormaCompras::kClave, "CAJA");
  EXPECT_EQ(lee(f.detalle(), 0, TFormaCompras::kCantidad), "24.000");
  EXPECT_EQ(lee(f.detalle(), 0, TFormaCompras::kImporte), "48.00");
  celda(f.detalle(), 0, TFormaCompras::kCajas, "3");
  EXPECT_EQ(lee(f.detalle(), 0, TFormaCompras::kCantidad), "36.000");
  EXPECT_EQ(lee(f.detalle(), 0, TFormaCompras::kImporte), "72.00");
  EXPECT_EQ(texto(f, "LabelTotal"), "$72.00");
  ui.respondeCerrar(base::RespuestaCerrar::Quedarse);
  f.close();
  EXPECT_TRUE(f.enCaptura());  // staying keeps the capture
  EXPECT_EQ(ui.mensajes(), V{});
}

TEST_F(PantallaCompras, ReportesBusquedaPorProveedorYReferenciaDeLaCuenta) {
  // "RefCxP.cnf": a receipt without a reference asks the payable's.
  base::escribeLineas(base::une(std::string(EmpresaVentas::kSistema), "RefCxP.cnf"), {"S"});
  auto f = pantalla();
  f->BotonNuevoClick();
  teclea(*f, "EditCLPRV_O", "PR1");
  f->EditCLPRV_OExit();
  celda(f->detalle(), 0, TFormaCompras::kCantidad, "2");
  celda(f->detalle(), 0, TFormaCompras::kClave, "A");
  ui.respondeTexto(std::string("FAC-900 "));
  ASSERT_TRUE(f->BotonGuardarClick());
  EXPECT_EQ(emp.filas("ComprasE.dbf", {"CLDOC_O", "REFER_O"}), V{"1|FAC-900"});
  EXPECT_EQ(emp.filas("cuepagar.dbf", {"NUCOM_CP", "NUDOC_CP"}), V{"1|FAC-900"});

  // Reports go to the runner with the kind's tables, behind the silent right 45.
  std::vector<DefinicionReporte> corridos;
  f->ponEjecutaReporte([&](const DefinicionReporte& d) { corridos.push_back(d); });
  derechosPedidos.clear();
  f->findChild<QAction*>("DocumentosconSaldo1")->trigger();
  ASSERT_EQ(corridos.size(), 1u);
  EXPECT_EQ(derechosPedidos, std::vector<int>{45});
  EXPECT_EQ(corridos[0].titulo, "Documentos con Saldo");
  EXPECT_NE(corridos[0].texto.find("?(SALDO_O>0.1 AND (STDOC_O<>\"C\" OR STDOC_O IS NULL)) "), std::string::npos);
  EXPECT_NE(corridos[0].texto.find("ComprasE.dbf"), std::string::npos);
  auto sinDerecho = std::make_unique<TFormaCompras>(ajustes(), ui, reloj, [](int n) { return n != 45; });
  sinDerecho->ponEjecutaReporte([&](const DefinicionReporte& d) { corridos.push_back(d); });
  ui.olvidaLlamadas();
  sinDerecho->findChild<QAction*>("DocumentosActivos1")->trigger();
  EXPECT_EQ(corridos.size(), 1u);
  EXPECT_EQ(ui.mensajes(), V{});

  // Search by the supplier's key, as typed.
  prueba::proveedorCompras("ZZ9", "OTRO");
  f->BotonNuevoClick();
  teclea(*f, "EditCLPRV_O", "ZZ9");
  f->EditCLPRV_OExit();
  celda(f->detalle(), 0, TFormaCompras::kCantidad, "1");
  celda(f->detalle(), 0, TFormaCompras::kClave, "B");
  teclea(*f, "EditREFER_O", "R2");
  ASSERT_TRUE(f->BotonGuardarClick());
  ASSERT_TRUE(f->muestra(1));
  ui.respondeBusqueda(base::Busqueda{"zz", base::CampoBusqueda::Nombre});
  f->BotonBuscarClick();
  EXPECT_EQ(f->numero(), 2);
  ui.respondeBusqueda(base::Busqueda{"1", base::CampoBusqueda::Clave});
  f->BotonBuscarClick();
  EXPECT_EQ(f->numero(), 1);
  ui.olvidaLlamadas();
  ui.respondeBusqueda(base::Busqueda{"QQ", base::CampoBusqueda::Nombre});
  f->BotonBuscarClick();
  EXPECT_EQ(ui.mensajes(), V{"Valor no Válido"});
  EXPECT_EQ(f->numero(), 1);

  // The administrator's re-posting is refused to anyone else.
  ui.olvidaLlamadas();
  f->ChequeodeMovimientos1Click();
  EXPECT_EQ(ui.mensajes(), V{"Opción Exclusiva del Administrador.."});
}

}  // namespace
}  // namespace mostrador::inventory
