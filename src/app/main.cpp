// Mostrador: the program.
//
//   mostrador                      the windows, starting at the company screen
//   mostrador --demo-sin-pantalla  no display needed: signs in to the demonstration
//                                  company, runs what exists headless and says where
//                                  its output went
//   mostrador --captura-rapida     the counter screen alone: the second window of a sale
//                                  put on hold ("\Multi.dat" names its user)
//   mostrador --help | --version   prints and ends, touching nothing
//
// The first two first make sure of the station's installation (a demonstration one on a machine
// that has none) and run from its system directory.

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <sstream>

#include "sales/captura.h"
#include "shell/arranque.h"
#include "session/configuracion.h"
#include "session/derechos.h"
#include "session/empresas.h"
#include "session/inicio.h"
#include "store/bitacora_motor.h"
#include "shell/principal.h"
#include "base/programas.h"
#include "base/rutas.h"
#include "sales/screens/TFormaCaja.h"
#include "sales/screens/TFormaCapturaRapida.h"
#include "sales/screens/TFormaSalidasEfectivo.h"
#include "sales/screens/TFormaFactura.h"
#include "ui/interaccion_qt.h"
#include "inventory/ajuste.h"
#include "store/dbf/dbf_table.h"
#include "inventory/kardex.h"
#include "inventory/screens/TFormaAjustar.h"
#include "inventory/screens/TFormaCosteo.h"
#include "inventory/screens/TFormaMovimientosInventario.h"
#include "accounts/cuentas.h"
#include "accounts/screens/TFormaClientes.h"
#include "accounts/screens/TFormaVendedor.h"
#include "accounts/screens/TFormaProveedo.h"
#include "inventory/compras.h"
#include "inventory/screens/TFormaCompras.h"
#include "accounts/screens/TFormaConsultaCuePagar.h"
#include "base/numeros.h"
#include <QLabel>
#include "inventory/screens/TFormacomovinv.h"
#include <QTableWidget>
#include "ui/idioma.h"
#include "ui/modelo_filas.h"
#include "shell/screens/TFormaPrincipal.h"
#include "app/arranque_qt.h"
#include "base/texto.h"

namespace {

using namespace mostrador::base;
using namespace mostrador::session;
using namespace mostrador::shell;
using namespace mostrador::app;

// Messages of the headless run go to the report; every question gets its cancelling
// answer, so nothing waits for a user who is not there.
class InteraccionConsola : public InteraccionSinUsuario {
 public:
  using InteraccionSinUsuario::advertencia;
  explicit InteraccionConsola(std::ostream& salida) : InteraccionSinUsuario(&salida), salida_(salida) {}
  void mensaje(std::string_view texto) override {
    std::string t(texto);
    for (char& c : t)
      if (c == '\r') c = '\n';
    salida_ << "  [Mensaje] " << t << "\n";
  }
  // Questions are written down with the answer they got, so that the report shows where
  // a command stopped.
  RespuestaAdvertencia advertencia(std::string_view pregunta, bool) override {
    salida_ << "  [Pregunta] " << pregunta << " -> No\n";
    return RespuestaAdvertencia::No;
  }
  RespuestaCerrar cerrar() override {
    salida_ << "  [Cambios pendientes] -> quedarse\n";
    return RespuestaCerrar::Quedarse;
  }
  RespuestaAdministrador administrador() override {
    salida_ << "  [Clave del administrador] nadie la escribe: cancelada\n";
    return {};
  }

 private:
  std::ostream& salida_;
};

// The screens the headless run may open: it only says which one it would open.
// What is available is what the real main window carries, so that the walk reports
// what the program does; companion programs and help pages say where they would go.
class PantallasConsola : public Pantallas {
 public:
  PantallasConsola(std::ostream& salida, const TablaProgramas& programas, std::function<bool(Pantalla)> disponible)
      : salida_(salida), programas_(programas), disponible_(std::move(disponible)) {}
  bool disponible(Pantalla p) const override { return disponible_(p); }
  void abre(const Apertura& a) override {
    salida_ << "  [Abre] " << clasePantalla(a.pantalla) << " (Usuario " << a.usuario << ")\n";
  }
  void cierraTablasResidentes() override {}
  void cierraResidentesVisibles() override {}
  void cierraVentana(std::string_view) override {}
  void ejecutaPrograma(std::string_view programa) override {
    const TablaProgramas::Preparado p = programas_.prepara(programa, "", "");
    if (p.orden)
      salida_ << "  [Programa] " << programa << " -> " << p.orden->programa << "\n";
    else
      salida_ << "  [Programa] " << programa << ": " << p.mensaje << "\n";
  }
  void abreDocumento(std::string_view ruta) override {
    salida_ << "  [Ayuda] " << ruta << (existe(ruta) ? "" : " (no existe)") << "\n";
  }

 private:
  std::ostream& salida_;
  const TablaProgramas& programas_;
  std::function<bool(Pantalla)> disponible_;
};

// The sales engine's dialogs in the headless run: nothing is chosen, weighed or printed.
class DialogosConsola : public mostrador::sales::DialogosVenta {
 public:
  std::optional<std::string> buscaProducto(std::string_view) override { return {}; }
  std::optional<std::string> buscaCliente(std::string_view) override { return {}; }
  std::optional<std::string> buscaVendedor(std::string_view) override { return {}; }
  std::optional<double> pesa(double, double, double) override { return {}; }
  bool altaRapida(std::string_view) override { return false; }
  std::optional<std::pair<Fecha, Fecha>> rangoFechas(Fecha) override { return {}; }
  std::optional<std::pair<long long, long long>> rangoDocumentos() override { return {}; }
  void titulo(std::string_view) override {}
  void imprime(std::string_view) override {}
};

// A counter sale typed through the sales engine: a delivery note with two products
// scanned by barcode, saved with its stock and movements.
void ventaDemostracion(std::ostream& rep, Interaccion& ui, const Reloj& reloj,
                       const std::string& sistema) {
  namespace sales = mostrador::sales;
  namespace dbf = mostrador::dbf;
  rep << "\n== Venta de mostrador (Remisión) ==\n";
  DialogosConsola dialogos;
  sales::AjustesVenta ajustes = sales::leeAjustes(sistema, 1);
  std::vector<std::pair<std::string, double>> productos;  // barcode, stock before
  try {
    dbf::Table inv;
    inv.open(ajustes.dirInventario, "inventar.dbf");
    for (inv.first(); !inv.eof() && productos.size() < 2; inv.next())
      if (!inv.asText("CODIG_I").empty() && inv.asFloat("EXIST_I") >= 5 &&
          inv.asFloat("FACTO_I") <= 0)
        productos.emplace_back(inv.asText("CODIG_I"), inv.asFloat("EXIST_I"));
  } catch (const dbf::Error& e) {
    rep << "  " << e.what() << "\n";
    return;
  }
  sales::CapturaVenta venta(ajustes, ui, dialogos, reloj);
  venta.abre();
  if (!venta.nuevo()) return;
  venta.saleCliente();  // the clerk leaves the customer field on "1"
  for (const auto& [codigo, existencia] : productos) {
    if (venta.numeroPartidas() == 0) venta.agregaPartida();
    venta.irAPartida(venta.numeroPartidas() - 1);
    venta.ponCelda(sales::kCantidad, "2");
    venta.entraColumna(sales::kClave);
    venta.ponCelda(sales::kClave, codigo);
    venta.entraColumna(sales::kProducto);
  }
  for (const sales::Partida& p : venta.partidas())
    if (!p.producto.empty())
      rep << "  " << p.cantidad.value_or(0) << " x " << p.clave << " " << p.producto << " a "
          << p.precio << " = " << p.importe << "\n";
  const sales::Textos t = venta.textos();
  rep << "  Subtotal " << t.subtotal << "  Impuesto " << t.impuesto << "  Total " << t.total
      << "  (" << t.partidas << ")\n";
  if (venta.guarda())
    rep << "  Guardada la remisión " << venta.campos().numero << " con sello " << venta.control()
        << " en " << venta.directorioEncabezado() << "\n";
}

struct Modulo {
  const char* nombre;
  void (Principal::*comando)();
};

int demoSinPantalla(const Instalacion& inst) {
  std::ostringstream rep;
  rep << "Mostrador V 4.6.1: demostración sin pantalla\n\n";
  rep << "Directorio del sistema: " << resuelve(inst.sistema).string() << "\n";
  rep << "Archivo de inicio:      " << resuelve(kArchivoInicio).string() << "\n";
  rep << (inst.nueva ? "Instalación de demostración creada en esta ejecución.\n"
                     : "Instalación existente.\n");

  InteraccionConsola ui(rep);
  RelojSistema reloj;
  // The real main window (never shown here) says which screens this build carries.
  GanchosPrincipal sinGanchos;
  Aplicacion real(sinGanchos, false);
  PantallasConsola pantallas(rep, real.sesion().programas(),
                             [&real](Pantalla p) { return real.principal().disponible(p); });

  rep << "\n== Arranque ==\n";
  Principal principal(ui, pantallas, reloj, ganchosDelSistema());
  ponGanchosInventario(principal, ui, reloj);
  principal.FormCreate();
  Empresas empresas(ui, principal.directorioSistema(), directorioActual(), 1);
  principal.FormShow();
  empresas.FormActivate();
  rep << "Empresa 1: " << empresas.NombreEmpresa() << ", datos en " << empresas.Rutainicio() << "\n";

  // Every command of the main window's menus, in menu order.
  const Modulo todos[] = {
      {"Archivo / Sistema", &Principal::Sistema1Click},
      {"Archivo / Calculadora", &Principal::Calculadora1Click},
      {"Catálogos / Clientes", &Principal::Clientes1Click},
      {"Catálogos / Vendedores", &Principal::Vendedores1Click},
      {"Catálogos / Proveedores", &Principal::Proveedores1Click},
      {"Catálogos / Productos", &Principal::Producto1Click},
      {"Catálogos / Conceptos de Movimientos", &Principal::Conceptos1Click},
      {"Movimientos / Facturación", &Principal::Facturacin2Click},
      {"Movimientos / Punto de Venta", &Principal::Panel2Click},
      {"Movimientos / Compras", &Principal::Compras1Click},
      {"Movimientos / Movimientos al Inventario", &Principal::Movimientos1Click},
      {"Consultas / Clientes", &Principal::Clientes2Click},
      {"Consultas / Proveedores", &Principal::Proveedores2Click},
      {"Consultas / Vendedores", &Principal::Vendedores2Click},
      {"Consultas / Facturación", &Principal::Facturacin1Click},
      {"Consultas / Compras", &Principal::Compras2Click},
      {"Consultas / Inventario", &Principal::Inventario2Click},
      {"Consultas / Movimientos al Inventario", &Principal::MovimientosalInventario1Click},
      {"Consultas / Cuentas por Pagar", &Principal::CuentasPorPagar1Click},
      {"Consultas / Catálogo con Imágenes", &Principal::CatlogoconImgenes1Click},
      {"Reportes / Diseño de Reportes", &Principal::Reportes1Click},
      {"Reportes / Diseño de Formatos", &Principal::Formatos1Click},
      {"Reportes / Consultas SQL", &Principal::ReportesSQL1Click},
      {"Configuración / General", &Principal::General1Click},
      {"Configuración / Divisas", &Principal::Divisas1Click},
      {"Configuración / Captura Rápida de Claves", &Principal::CapturaRapidadeClaves1Click},
      {"Utilerías / Respaldos", &Principal::Respaldos1Click},
      {"Utilerías / Reindexar", &Principal::Reindexar1Click},
      {"Utilerías / Índices y Utilerías", &Principal::Indices1Click},
      {"Utilerías / Consolidar", &Principal::Consolidar1Click},
      {"Utilerías / Inventario Físico", &Principal::BotonMIClick},
      {"Ayuda / Ver Temas", &Principal::VerTemas1Click},
      {"Ayuda / Acerca de", &Principal::Acercade1Click},
  };
  // The other keys only show what their rights let them into.
  const Modulo modulos[] = {
      {"Clientes", &Principal::Clientes1Click},
      {"Proveedores", &Principal::Proveedores1Click},
      {"Facturación", &Principal::Facturacin2Click},
      {"Compras", &Principal::Compras1Click},
      {"Movimientos al inventario", &Principal::Movimientos1Click},
      {"Punto de venta", &Principal::Panel2Click},
  };
  bool revisado = false;
  for (const char* clave : {"caja", "almacen", "admin", "equivocada"}) {
    rep << "\n== Clave \"" << clave << "\" ==\n";
    const Ingreso r = empresas.AceptarClick(clave);
    if (!r.exito()) continue;
    principal.aplicaIngreso(r);
    rep << "Título: " << principal.titulo() << "\nUsuario: " << principal.Usuario() << " ("
        << nombreUsuario(ui, principal.directorioSistema(), principal.Usuario()) << ")\n";
    if (!revisado) {
      // The same for every key: shown once.
      rep << "Revisión de archivos:\n";
      empresas.revisaArchivos();
      revisado = true;
    }
    if (principal.Usuario() == "0") {
      for (const Modulo& m : todos) {
        rep << m.nombre << ":\n";
        (principal.*m.comando)();
      }
    } else {
      for (const Modulo& m : modulos) {
        rep << m.nombre << ":\n";
        (principal.*m.comando)();
      }
    }
  }

  ventaDemostracion(rep, ui, reloj, principal.directorioSistema());

  rep << "\n== Configuración de la empresa 1 (" << kLineasConfiguracion << " líneas) ==\n";
  ValoresConfiguracion v;
  if (v.lee(principal.directorioSistema(), 1, ui)) {
    const auto lineas = v.lineas();
    for (int n : {1, 6, 8, 9, 41, 42, 65, 70, 71})
      rep << "Línea " << n << " (" << lineaConfiguracion(n).control << "): "
          << lineas[static_cast<size_t>(n - 1)] << "\n";
  }

  // The main window itself, drawn off screen after signing in as the administrator.
  const std::string carpeta = une(principal.directorioSistema(), "demostracion");
  creaDirectorios(carpeta);
  const std::string imagen = resuelve(une(carpeta, "principal.png")).string();
  {
    GanchosPrincipal g;
    Aplicacion app(g, false);
    const Ingreso r = app.motorEmpresas().AceptarClick(std::string(kClaveAdministradorDemo));
    app.principal().motor().aplicaIngreso(r);
    // Signed in already: the company screen is not shown again on activation.
    app.motorEmpresas().FormActivate();
    app.principal().resize(1024, 700);
    app.muestra();
    QApplication::processEvents();
    QApplication::processEvents();
    if (app.principal().grab().save(QString::fromStdString(imagen), "PNG"))
      rep << "\nVentana principal: " << imagen << "\n";
    app.principal().hide();
  }
  // The sales screen showing the delivery note the demo saved.
  const std::string imagenVentas = resuelve(une(carpeta, "ventas.png")).string();
  try {
    mostrador::sales::TFormaFactura forma(mostrador::sales::leeAjustes(principal.directorioSistema(), 1),
                                          ui, reloj, nullptr);
    forma.resize(1024, 700);
    forma.show();
    QApplication::processEvents();
    QApplication::processEvents();
    if (forma.grab().save(QString::fromStdString(imagenVentas), "PNG"))
      rep << "Pantalla de ventas: " << imagenVentas << "\n";
    forma.hide();
  } catch (const mostrador::dbf::Error& e) {
    rep << "Pantalla de ventas: " << e.what() << "\n";
  }

  // The counter screen on the same company.
  const std::string imagenMostrador = resuelve(une(carpeta, "mostrador.png")).string();
  try {
    mostrador::sales::TFormaCapturaRapida forma(mostrador::sales::leeAjustes(principal.directorioSistema(), 1),
                                                ui, reloj, nullptr, nullptr);
    forma.resize(1024, 700);
    forma.show();
    QApplication::processEvents();
    QApplication::processEvents();
    rep << forma.objectName().toStdString() << ": " << forma.windowTitle().toStdString() << "\n";
    if (forma.grab().save(QString::fromStdString(imagenMostrador), "PNG"))
      rep << "Punto de venta: " << imagenMostrador << "\n";
    forma.hide();
  } catch (const mostrador::dbf::Error& e) {
    rep << "Punto de venta: " << e.what() << "\n";
  }

  // The till's windows on the same station: its record and the day's cash out and in.
  try {
    const mostrador::sales::AjustesVenta aj = mostrador::sales::leeAjustes(principal.directorioSistema(), 1);
    mostrador::sales::TFormaCaja caja(aj.dirSistema, ui, nullptr);
    rep << caja.objectName().toStdString() << ": " << caja.windowTitle().toStdString() << "\n";
    for (auto modo : {mostrador::sales::ModoEfectivo::Salida, mostrador::sales::ModoEfectivo::Entrada}) {
      mostrador::sales::TFormaSalidasEfectivo efectivo(modo, {aj.dirSistema, aj.dirDatos, aj.caja, aj.vendedorCaja},
                                                       ui, reloj, nullptr);
      rep << efectivo.objectName().toStdString() << ": " << efectivo.windowTitle().toStdString() << ", "
          << efectivo.findChild<QLabel*>("LabelRetiros")->text().toStdString() << "\n";
    }
  } catch (const mostrador::dbf::Error& e) {
    rep << "Caja: " << e.what() << "\n";
  }

  // The inventory screens on the demo company: movements, concepts, a kardex, the count.
  try {
    const auto lineas = leeLineas(une(principal.directorioSistema(), "Gener1.cnf"));
    mostrador::inventory::AjustesMovimientos aj = mostrador::inventory::ajustesDe(lineas.value_or(std::vector<std::string>{}));
    rep << "\n== Inventario ==\n";
    mostrador::inventory::TFormaMovimientosInventario movs(aj, ui, reloj, {}, true, nullptr);
    rep << movs.objectName().toStdString() << ": movimiento "
        << (movs.numero() ? std::to_string(*movs.numero()) : std::string("(ninguno)")) << ", "
        << movs.detalle()->rowCount() << " partidas, tipo " << movs.concepto().toStdString() << "\n";
    const std::string imagenMovs = resuelve(une(carpeta, "movimientos.png")).string();
    movs.resize(900, 560);
    // Drawn without showing it: the picture needs no window on screen.
    if (movs.grab().save(QString::fromStdString(imagenMovs), "PNG")) rep << "Pantalla de movimientos: " << imagenMovs << "\n";
    mostrador::inventory::TFormacomovinv conceptos(aj.dirDatos, ui, nullptr);
    rep << conceptos.objectName().toStdString() << ": " << conceptos.rejilla()->rowCount() << " conceptos\n";
    mostrador::dbf::Table productos;
    productos.open(aj.dirCatalogo, "inventar.dbf");
    productos.first();
    const std::string clave = productos.isEmpty() ? std::string() : productos.asText("CLPRO_I");
    productos.close();
    mostrador::inventory::OpcionesKardex o;
    o.dirMovimientos = aj.dirCatalogo;
    mostrador::inventory::TFormaCosteo kardex(mostrador::inventory::kardexDiario(aj.dirDatos, clave, o), clave, ui,
                                              nullptr);
    rep << kardex.objectName().toStdString() << " de " << clave << ": " << kardex.filas().rowCount()
        << " movimientos;" << kardex.totales().toStdString() << "\n";
    mostrador::inventory::creaHojaAjuste(aj);
    mostrador::inventory::TFormaAjustar ajuste(aj, ui, reloj, nullptr);
    rep << ajuste.objectName().toStdString() << ": " << ajuste.filas().rowCount() << " productos en la hoja\n";
  } catch (const mostrador::dbf::Error& e) {
    rep << "Inventario: " << e.what() << "\n";
  }

  // The customer and seller screens on the demo company, and what its customers owe.
  try {
    const auto lineas = leeLineas(une(principal.directorioSistema(), "Gener1.cnf")).value_or(std::vector<std::string>{});
    rep << "\n== Cuentas ==\n";
    mostrador::accounts::TFormaClientes clientes(
        mostrador::accounts::AjustesClientes::de(lineas, principal.directorioSistema(), "0"), ui, reloj,
        [](int) { return true; }, nullptr);
    clientes.resize(900, 560);
    rep << clientes.objectName().toStdString() << ": cliente " << clientes.motor().texto("CLCLI_C") << " "
        << clientes.motor().texto("NOMBR_C") << ", "
        << clientes.findChild<QLabel*>("Cargo")->text().toStdString() << ", "
        << clientes.findChild<QLabel*>("EtiEstado")->text().toStdString() << "\n";
    const std::string imagenClientes = resuelve(une(carpeta, "clientes.png")).string();
    if (clientes.grab().save(QString::fromStdString(imagenClientes), "PNG"))
      rep << "Pantalla de clientes: " << imagenClientes << "\n";
    const auto cartera = mostrador::accounts::cartera(clientes.motor().ajustes().dirDatos,
                                                      mostrador::accounts::Cartera::Clientes, reloj.ahora().fecha);
    rep << "Cartera de clientes: " << cartera.documentos.size() << " documentos pendientes, "
        << mostrador::base::formateaMascara(cartera.total, "$###,###,##0.00") << "\n";
    mostrador::accounts::TFormaVendedor vendedores(
        mostrador::accounts::AjustesVendedores::de(lineas, principal.directorioSistema(), "0"), ui, reloj,
        [](int) { return true; }, nullptr);
    rep << vendedores.objectName().toStdString() << ": vendedor " << vendedores.motor().texto("CLVEN_V") << " "
        << vendedores.motor().texto("NOMBR_V") << "\n";
    mostrador::accounts::TFormaProveedo proveedores(
        mostrador::accounts::AjustesProveedores::de(lineas, principal.directorioSistema(), "0"), ui, reloj,
        [](int) { return true; }, nullptr);
    rep << proveedores.objectName().toStdString() << ": proveedor " << proveedores.motor().texto("CLAVE_P") << " "
        << proveedores.motor().texto("NOMBR_P") << "\n";
    mostrador::accounts::TFormaConsultaCuePagar pagar(clientes.motor().ajustes().dirDatos, ui, reloj, nullptr);
    pagar.cargaProveedores();
    const auto porPagar = mostrador::accounts::cartera(clientes.motor().ajustes().dirDatos,
                                                       mostrador::accounts::Cartera::Proveedores, reloj.ahora().fecha);
    mostrador::inventory::AjustesCompras ajCompras = mostrador::inventory::ajustesComprasDe(lineas);
    mostrador::inventory::TFormaCompras compras(ajCompras, ui, reloj, [](int) { return true; }, nullptr);
    compras.ponDirectorioSistema(principal.directorioSistema());
    rep << compras.objectName().toStdString() << ": abierta sobre " << ajCompras.dirDatos << "\n";
    rep << pagar.objectName().toStdString() << ": " << porPagar.documentos.size() << " compras por pagar, "
        << mostrador::base::formateaMascara(porPagar.total, "$###,###,##0.00") << "\n";
  } catch (const mostrador::dbf::Error& e) {
    rep << "Cuentas: " << e.what() << "\n";
  }

  const std::string informe = resuelve(une(carpeta, "demostracion.txt")).string();
  escribeBytes(informe, rep.str());
  std::cout << rep.str();
  std::cout << "\nSalida de la demostración:\n  informe: " << informe
            << "\n  ventana principal: " << imagen << "\n  pantalla de ventas: " << imagenVentas
            << "\n";
  return 0;
}

}  // namespace

// --help and --version print and end before anything is prepared: no window, no
// installation, no demonstration company. -1 when neither was given.
int opcionesQueTerminan(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      std::cout << "Uso: mostrador [--demo-sin-pantalla]\n"
                   "\n"
                   "  (sin opciones)        abre el programa en la pantalla de empresas; la primera\n"
                   "                        vez prepara una instalación de demostración\n"
                   "  --demo-sin-pantalla   recorre la empresa de demostración sin pantalla y dice\n"
                   "                        dónde quedó su informe\n"
                   "  --captura-rapida      sólo el punto de venta (la segunda ventana de una venta\n"
                   "                        en espera)\n"
                   "  --help                esta ayuda\n"
                   "  --version             la versión del programa\n"
                   "\n"
                   "Las tablas y archivos se revisan con mostrador-cli (mostrador-cli --help).\n";
      return 0;
    }
    if (std::strcmp(argv[i], "--version") == 0) {
      std::cout << "Mostrador V 4.6.1\n";
      return 0;
    }
  }
  return -1;
}

// The counter screen alone, for the current company of the initialisation file. The
// settings read "\Multi.dat" of the system directory, so the window signs in as the one
// that put its sale on hold, and takes the next free scratch table.
int capturaRapida(const Instalacion& inst) {
  namespace sales = mostrador::sales;
  mostrador::ui::InteraccionQt ui([&inst] { return inst.sistema; });
  RelojSistema reloj;
  mostrador::base::ProcesosPosix procesos;
  mostrador::session::Sesion sesion(ui, reloj, procesos);
  std::vector<std::string> lineas;
  if (auto ini = leeLineas(std::string(kArchivoInicio)); ini && ini->size() >= 2)
    lineas = leeLineas((*ini)[1]).value_or(std::vector<std::string>{});
  if (lineas.empty()) lineas = leeLineas(une(inst.sistema, "Gener1.cnf")).value_or(std::vector<std::string>{});
  sales::AjustesVenta ajustes = sales::leeAjustes(inst.sistema, lineas);
  sesion.ponDirectorios(inst.sistema, ajustes.dirDatos);
  sesion.ponUsuario(ajustes.usuario);
  try {
    sales::TFormaCapturaRapida forma(std::move(ajustes), ui, reloj, &sesion, nullptr);
    ui.ponPadre(&forma);
    forma.exec();
  } catch (const mostrador::dbf::Error& e) {
    ui.mensaje(e.what());
    return 1;
  }
  return 0;
}

int main(int argc, char** argv) {
  if (const int r = opcionesQueTerminan(argc, argv); r >= 0) return r;
  bool sinPantalla = false;
  for (int i = 1; i < argc; ++i)
    if (std::strcmp(argv[i], "--demo-sin-pantalla") == 0) sinPantalla = true;
  if (sinPantalla && !std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);

  QApplication app(argc, argv);
  QApplication::setApplicationName("Mostrador");
  QApplication::setApplicationVersion("4.6.1");
  mostrador::ui::instalaEspanol(app);

  Instalacion inst;
  try {
    inst = preparaInstalacion(creaDatosDemo);
  } catch (const std::exception& e) {
    // The company files are written all the same; the sign-in's file check will list
    // the tables that could not be made.
    std::fprintf(stderr, "No se pudo crear la empresa de demostración: %s\n", e.what());
    inst = preparaInstalacion({});
  }
  std::error_code ec;
  std::filesystem::current_path(resuelve(inst.sistema), ec);
  if (ec) {
    std::fprintf(stderr, "No se puede usar el directorio %s: %s\n", inst.sistema.c_str(),
                 ec.message().c_str());
    return 1;
  }

  mostrador::store::registraEventosDelMotor(inst.sistema);
  if (sinPantalla) return demoSinPantalla(inst);
  for (int i = 1; i < argc; ++i)
    if (std::strcmp(argv[i], "--captura-rapida") == 0) return capturaRapida(inst);

  Aplicacion aplicacion(ganchosDelSistema());
  aplicacion.muestra();
  return app.exec();
}
