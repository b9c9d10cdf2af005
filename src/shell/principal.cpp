#include "shell/principal.h"

#include "base/bitacora.h"

#include <cassert>
#include <exception>

#include "accounts/columnas_catalogo.h"
#include "inventory/columnas_catalogo.h"
#include "sales/columnas_catalogo.h"
#include "session/derechos.h"
#include "base/fechas.h"
#include "base/rutas.h"
#include "base/texto_util.h"
#include "session/usuarios.h"

namespace mostrador::shell {
namespace {

struct DatosPantalla {
  Pantalla p;
  std::string_view clase, modulo;
  bool residente;
};

constexpr DatosPantalla kPantallas[] = {
    {Pantalla::Clientes, "TFormaClientes", "de Clientes", true},
    {Pantalla::Vendedor, "TFormaVendedor", "de Vendedores", false},
    {Pantalla::Proveedo, "TFormaProveedo", "de Proveedores", true},
    {Pantalla::Factura, "TFormaFactura", "de Facturación", false},
    {Pantalla::Compras, "TFormaCompras", "de Compras", true},
    {Pantalla::Inventario, "TFormaInventario", "de Productos", true},
    {Pantalla::MovimientosInventario, "TFormaMovimientosInventario",
     "de Movimientos al Inventario", false},
    {Pantalla::ConfiguracionGeneral, "TFormaConfiguracionGeneral", "de Configuración General",
     false},
    {Pantalla::CapturaRapida, "TFormaCapturaRapida", "de Punto de Venta", false},
    {Pantalla::Respaldo, "TFormaRespaldo", "de Respaldos", false},
    {Pantalla::ReindexaTodo, "TFormaReindexaTodo", "de Reindexación", false},
    {Pantalla::Empresas, "TFormaEmpresas", "de Empresas", true},
    {Pantalla::comovinv, "TFormacomovinv", "de Conceptos de Movimientos", false},
    {Pantalla::DisenoVista, "TFormaDisenoVista", "de Diseño de Reportes", false},
    {Pantalla::Utilerias, "TFormaUtilerias", "de Utilerías", false},
    {Pantalla::Formatos, "TFormaFormatos", "de Diseño de Formatos", false},
    {Pantalla::Sistema, "TFormaSistema", "de Información del Sistema", false},
    {Pantalla::Divisa, "TFormaDivisa", "de Divisas", false},
    {Pantalla::SQL, "TFormaSQL", "de Consultas SQL", false},
    {Pantalla::Consolidar, "TFormaConsolidar", "de Consolidación", false},
    {Pantalla::ClaveRapida, "TFormaClaveRapida", "de Captura Rápida de Claves", false},
    {Pantalla::Acerca, "TFormaAcerca", "Acerca de", false},
    {Pantalla::Catalogo, "TFormaCatalogo", "de Catálogos", false},
};

const DatosPantalla& datos(Pantalla p) {
  for (const auto& d : kPantallas)
    if (d.p == p) return d;
  assert(false && "screen missing from kPantallas");
  return kPantallas[0];
}

constexpr std::string_view kSinAccesoModulo = "No se Tiene Acceso a este Módulo";
constexpr std::string_view kSinAccesoModuloTienen = "No se Tienen Acceso a este Módulo";

}  // namespace

std::string_view clasePantalla(Pantalla p) { return datos(p).clase; }
std::string_view nombreModulo(Pantalla p) { return datos(p).modulo; }
bool esResidente(Pantalla p) { return datos(p).residente; }

std::string mensajeNoDisponible(Pantalla p) {
  const std::string_view m = nombreModulo(p);
  // "El módulo de Clientes ..." reads naturally; "Acerca de" needs its own article.
  if (m.starts_with("de ")) return "El módulo " + std::string(m) + " no está disponible todavía";
  return "El módulo \"" + std::string(m) + "\" no está disponible todavía";
}

Principal::Principal(base::Interaccion& ui, Pantallas& pantallas, const base::Reloj& reloj,
                     GanchosPrincipal ganchos)
    : ui_(ui), pantallas_(pantallas), reloj_(reloj), ganchos_(std::move(ganchos)), config_(ui) {}

// --- Start-up ---

void Principal::FormCreate() {
  habilitada_ = false;
  try {
    sistema_ = config_.directorioSistema();
  } catch (const std::exception&) {
    sistema_.clear();
  }
  // The initialisation file could not be made (no place for "c:\TVK"): start-up goes on
  // and the company screen will say what is missing.
  if (sistema_.empty()) ui_.mensaje("Esta es la Primera vez que Ejecuta el Programa");
}

std::string Principal::linea(int n) const { return config_.linea(n).value_or(""); }

void Principal::FormShow() {
  const std::string datos = linea(8);
  editRuta_ = datos;
  edit1_ = datos;
  if (ganchos_.empacaTemporales) ganchos_.empacaTemporales(sistema_);
  vistaClasica_ = linea(65) == "N";
  if (ganchos_.creaNumeradores) ganchos_.creaNumeradores(datos, linea(59));
}

void Principal::FormActivate(bool empresasYaMostrada) {
  if (activada_ || empresasYaMostrada) return;
  activada_ = true;
  pantallas_.abre(conUsuario(Pantalla::Empresas));

  std::string primera;
  if (auto l = leeRapida(sistema_)) {
    primera = *l;
    const OpcionesRapidas leidas = opcionesDeRapida(primera);
    opciones_.capturaRapida = leidas.capturaRapida;
    opciones_.documentos = leidas.documentos;
  }
  timerHora_ = linea(71) == "S";
  // Nobody signed in: the window stays disabled and nothing may open.
  if (habilitada_) {
    if (primera == "S")
      Panel2Click();
    else if (primera == "T")
      Facturacin2Click();
  }
  if (linea(6) == "SI") edit1_ = linea(8);
}

void Principal::aplicaIngreso(const session::Ingreso& ingreso) {
  if (!ingreso.exito()) return;
  habilitada_ = true;
  titulo_ = ingreso.titulo;
  if (ingreso.tipo == session::Ingreso::Usuario) usuario_ = std::to_string(ingreso.usuario);
  // A session starts: the permanent check counts its ticks and walks the documents
  // from the beginning again, and the station's log records who signed in.
  ticks_ = 0;
  label6_ = "0";
  if (ganchos_.reiniciaMarcador) ganchos_.reiniciaMarcador();
  if (!sistema_.empty())
    base::Bitacora(sistema_).escribe(base::lineaIngreso(ingreso.tipo == session::Ingreso::Usuario ? usuario_ : std::string(),
                                            ingreso.titulo, reloj_.ahora()));
  if (!mantenimientoIniciado_ && ganchos_.mantenimientoInicio) {
    mantenimientoIniciado_ = true;
    ganchos_.mantenimientoInicio(sistema_, directorioDatos());
  }
}

// --- Shared values ---

std::string Principal::directorioDatos() const { return linea(8); }
std::string Principal::directorioAlterno() const { return linea(59); }
std::string Principal::directorioRemisiones() const { return linea(63); }

// --- Module commands ---

Apertura Principal::conUsuario(Pantalla p) const {
  Apertura a(p);
  a.usuario = usuario_;
  return a;
}

void Principal::abreOExplica(const Apertura& a) {
  if (!pantallas_.disponible(a.pantalla)) {
    ui_.mensaje(mensajeNoDisponible(a.pantalla));
    return;
  }
  pantallas_.abre(a);
}

void Principal::modulo(Apertura a, int derecho) {
  a.usuario = usuario_;
  if (derecho > 0 && !session::checaDerecho(ui_, sistema_, usuario_, derecho)) return;
  abreOExplica(a);
}

void Principal::Clientes1Click() { modulo(Apertura(Pantalla::Clientes), 1); }
void Principal::Vendedores1Click() { modulo(Apertura(Pantalla::Vendedor), 2); }
void Principal::Proveedores1Click() {
  modulo(Apertura(Pantalla::Proveedo).oculta("Saldo"), 3);
}
void Principal::Facturacin2Click() { modulo(Apertura(Pantalla::Factura), 4); }
void Principal::Compras1Click() {
  modulo(Apertura(Pantalla::Compras).oculta("BotonPagos"), 5);
}
void Principal::Movimientos1Click() {
  modulo(Apertura(Pantalla::MovimientosInventario), 9);
}

void Principal::Producto1Click() {
  Apertura a(Pantalla::Inventario);
  a.usuario = usuario_;
  if (usuario_ != "0") {
    // Somebody else at the counter may let the administrator type the key.
    if (session::pideClaveAdministrador(ui_).resultado == base::RespuestaAdministrador::Administrador) {
      a.usuario = "0";
      abreOExplica(a);
      return;
    }
  }
  if (session::checaDerecho(ui_, sistema_, usuario_, 8)) abreOExplica(a);
}

void Principal::General1Click() {
  const base::RespuestaAdministrador r = session::pideClaveAdministrador(ui_);
  if (r.resultado == base::RespuestaAdministrador::Cancelada) return;
  if (r.resultado == base::RespuestaAdministrador::OtraClave) {
    ui_.mensaje(kSinAccesoModuloTienen);
    return;
  }
  modulo(Apertura(Pantalla::ConfiguracionGeneral), 10);
}

void Principal::Panel2Click() {
  Apertura a(Pantalla::CapturaRapida);
  a.usuario = usuario_;
  if (!session::checaDerecho(ui_, sistema_, usuario_, 4)) return;
  a.tituloAgregado = "   " + base::mayusculasLatin1(session::nombreUsuario(ui_, sistema_, usuario_)) +
                     std::string(11, ' ') + base::fechaCorta(reloj_.ahora().fecha);
  abreOExplica(a);
}

void Principal::Respaldos1Click() {
  const session::Autorizacion a = session::autorizaPortador(ui_, sistema_, directorioDatos(), 55, false);
  if (a.concedida) {
    // A backup holds every table alone while it copies them.
    if (ganchos_.cierraTablasPropias) ganchos_.cierraTablasPropias();
    abreOExplica(conUsuario(Pantalla::Respaldo));
    return;
  }
  if (a.respuesta.resultado != base::RespuestaAdministrador::Cancelada) ui_.mensaje(kSinAccesoModulo);
}

void Principal::Reindexar1Click() {
  if (ganchos_.cierraTablasPropias) ganchos_.cierraTablasPropias();
  // The check must not run against tables that are about to be rebuilt.
  const bool estaba = timerHora_;
  timerHora_ = false;
  const session::Autorizacion a = session::autorizaPortador(ui_, sistema_, directorioDatos(), 54, false);
  timerHora_ = estaba;
  if (!a.concedida) {
    ui_.mensaje(kSinAccesoModulo);
    return;
  }
  abreOExplica(conUsuario(Pantalla::ReindexaTodo));
}

void Principal::Empresa1Click() {
  pantallas_.cierraTablasResidentes();
  pantallas_.abre(conUsuario(Pantalla::Empresas));
}

void Principal::Conceptos1Click() { modulo(Apertura(Pantalla::comovinv), 0); }
void Principal::Reportes1Click() { modulo(Apertura(Pantalla::DisenoVista), 0); }
void Principal::Indices1Click() { modulo(Apertura(Pantalla::Utilerias), 0); }
void Principal::Formatos1Click() {
  modulo(Apertura(Pantalla::Formatos).oculta("Rangos").muestra("Formatos"), 0);
}
void Principal::Sistema1Click() { modulo(Apertura(Pantalla::Sistema), 0); }
void Principal::Divisas1Click() { modulo(Apertura(Pantalla::Divisa), 0); }
void Principal::ReportesSQL1Click() { modulo(Apertura(Pantalla::SQL), 0); }
void Principal::Consolidar1Click() {
  modulo(Apertura(Pantalla::Consolidar).en(directorioDatos()), 0);
}
void Principal::CapturaRapidadeClaves1Click() {
  const std::string alterno = directorioAlterno();
  modulo(Apertura(Pantalla::ClaveRapida).en(alterno.empty() ? directorioDatos() : alterno), 0);
}
void Principal::Acercade1Click() { modulo(Apertura(Pantalla::Acerca), 0); }
void Principal::Calculadora1Click() { pantallas_.ejecutaPrograma("calc.exe"); }
void Principal::VerTemas1Click() {
  pantallas_.abreDocumento(base::une(base::une(sistema_, "ayuda"), "principal.mht"));
}

// --- Catalogue browser ---

std::optional<Pantalla> pantallaDeCatalogo(std::string_view tabla) {
  static const std::pair<std::string_view, Pantalla> mapa[] = {
      {"cliente.dbf", Pantalla::Clientes},   {"cucobrar.dbf", Pantalla::Clientes},
      {"proveedo.dbf", Pantalla::Proveedo},  {"cuepagar.dbf", Pantalla::Proveedo},
      {"vendedor.dbf", Pantalla::Vendedor},  {"facturae.dbf", Pantalla::Factura},
      {"remision.dbf", Pantalla::Factura},   {"pedido.dbf", Pantalla::Factura},
      {"cotizaci.dbf", Pantalla::Factura},   {"comprase.dbf", Pantalla::Compras},
      {"inventar.dbf", Pantalla::Inventario}, {"movinven.dbf", Pantalla::MovimientosInventario},
  };
  for (const auto& [archivo, p] : mapa)
    if (base::mismoNombre(tabla, archivo)) return p;
  return std::nullopt;
}

void Principal::catalogo(int derecho, std::string tabla, std::vector<Columna> columnas,
                         bool vistaImagenes) {
  Apertura a(Pantalla::Catalogo);
  a.directorio = directorioDatos();
  a.tabla = std::move(tabla);
  a.columnas = std::move(columnas);
  a.vistaImagenes = vistaImagenes;
  modulo(std::move(a), derecho);
}

namespace {
// A module's catalogue columns as the browser takes them.
std::vector<Columna> columnas(const std::vector<std::pair<std::string, std::string>>& lista) {
  std::vector<Columna> r;
  for (const auto& [campo, titulo] : lista) r.push_back({campo, titulo});
  return r;
}
}  // namespace

void Principal::Clientes2Click() { catalogo(1, "cliente.dbf", columnas(accounts::columnasClientes())); }
void Principal::Proveedores2Click() { catalogo(3, "proveedo.dbf", columnas(accounts::columnasProveedores())); }
void Principal::Vendedores2Click() { catalogo(2, "vendedor.dbf", columnas(accounts::columnasVendedores())); }
void Principal::Facturacin1Click() { catalogo(4, "FacturaE.dbf", columnas(sales::columnasFacturas())); }
void Principal::Compras2Click() {
  catalogo(5, "comprasE.dbf",
           {{"CLDOC_O", "Documento"}, {"CLPRV_O", "Clave"}, {"NOMBR_O", "Nombre"},
            {"FEDOC_O", "Fech. Doc."}, {"FEPAG_O", "Fech. Pag."}, {"IMDOC_O", "Importe"}});
}
void Principal::Inventario2Click() { catalogo(8, "inventar.dbf", columnas(inventory::columnasProductos())); }
void Principal::MovimientosalInventario1Click() {
  catalogo(9, "movinven.dbf", columnas(inventory::columnasMovimientos()));
}
void Principal::CuentasPorPagar1Click() {
  catalogo(0, "cuepagar.dbf", columnas(accounts::columnasCuentasPorPagar()));
}
void Principal::CatlogoconImgenes1Click() {
  catalogo(0, "inventar.dbf", columnas(inventory::columnasProductos()), true);
}

// --- Options ---

void Principal::guardaOpciones() {
  // Only the administrator's choice outlives the run.
  if (usuario_ == "0") guardaRapida(sistema_, opciones_);
}

void Principal::IniciarenCapturaRpida1Click() {
  opciones_.capturaRapida = !opciones_.capturaRapida;
  guardaOpciones();
}
void Principal::IniciarenCapturaRpida2Click() {
  opciones_.documentos = !opciones_.documentos;
  guardaOpciones();
}
void Principal::ServidordeHorario1Click() {
  opciones_.servidorHorario = !opciones_.servidorHorario;
  guardaOpciones();
}

void Principal::MI1Click() { timerHora_ = !timerHora_; }

void Principal::TimerHoraTimer() {
  ++ticks_;
  label6_ = std::to_string(ticks_);
  BitBtn1Click();
}

void Principal::BitBtn1Click() {
  if (ganchos_.reiniciaMarcador) ganchos_.reiniciaMarcador();
  if (ganchos_.revisionDocumentos) ganchos_.revisionDocumentos();
}

void Principal::VerMantenimiento1Click() { mantenimiento_ = !mantenimiento_; }

void Principal::BotonMIClick() {
  if (ganchos_.inventarioFisico)
    ganchos_.inventarioFisico();
  else
    ui_.mensaje("El módulo de Inventario Físico no está disponible todavía");
}

int Principal::temaBoton(std::string_view boton) {
  static constexpr std::pair<std::string_view, int> kTemas[] = {
      {"BotonEmpresa", 110}, {"BotonClientes", 111}, {"BotonProveedo", 112},
      {"BotonVendedor", 113}, {"BotonFactu", 114},   {"BotonInventa", 117},
      {"BotonMovinv", 118},   {"BotonCompra", 119}};
  for (const auto& [nombre, tema] : kTemas)
    if (nombre == boton) return tema;
  return 0;
}

// --- Closing ---

std::vector<std::string> Principal::archivosSql() const {
  return base::lista(session::directorioActual(), kPatronArchivosSql);
}

void Principal::cierra() {
  pantallas_.cierraVentana("CapturaR");
  pantallas_.cierraResidentesVisibles();
  if (habilitada_ && ganchos_.mantenimientoFinal) ganchos_.mantenimientoFinal(sistema_, directorioDatos());
  const std::string aqui = session::directorioActual();
  for (const std::string& f : archivosSql()) base::borra(base::une(aqui, f));
  timerHora_ = false;
}

}  // namespace mostrador::shell
