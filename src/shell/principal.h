#pragma once
// The main window's engine (TFormaPrincipal is its view): the run's shared values, the
// module commands with their rights rules, the quick-start options, the permanent
// document check and the start-up and closing order.
//
// States of the window:
//
//   created, disabled --FormShow--> shown --FormActivate (first time)--> signing in
//   signing in --aplicaIngreso (a successful key)--> in use (enabled)
//   signing in --company screen closed without a key--> disabled: only closing is left
//   in use --Empresa1Click--> company screen again (stays enabled meanwhile)
//   any --cierra()--> closed
//
// Every module command copies the signed-in user number into the target screen, checks
// the module right (which shows "No Se Tiene Acceso..." itself) and opens the screen.
// A screen this build does not carry yet says so after the check.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "session/empresas.h"
#include "base/interaccion.h"
#include "base/lectores.h"
#include "shell/rapida.h"
#include "base/reloj.h"

namespace mostrador::shell {

enum class Pantalla {
  Clientes, Vendedor, Proveedo, Factura, Compras, Inventario, MovimientosInventario,
  ConfiguracionGeneral, CapturaRapida, Respaldo, ReindexaTodo, Empresas, comovinv,
  DisenoVista, Utilerias, Formatos, Sistema, Divisa, SQL, Consolidar, ClaveRapida, Acerca,
  Catalogo,
};

// "TFormaClientes" and so on.
std::string_view clasePantalla(Pantalla p);
// The module's name as the user knows it, for the not-available message.
std::string_view nombreModulo(Pantalla p);
// "El módulo <name> no está disponible todavía".
std::string mensajeNoDisponible(Pantalla p);
// Resident screens live for the whole run and are shown without blocking.
bool esResidente(Pantalla p);

struct Columna {
  std::string campo, titulo;
  friend bool operator==(const Columna&, const Columna&) = default;
};

// What a command hands the screen it opens.
struct Apertura {
  explicit Apertura(Pantalla p = Pantalla::Clientes) : pantalla(p) {}
  Apertura& oculta(std::string control) { ocultar.push_back(std::move(control)); return *this; }
  Apertura& muestra(std::string control) { mostrar.push_back(std::move(control)); return *this; }
  Apertura& en(std::string dir) { directorio = std::move(dir); return *this; }

  Pantalla pantalla;
  std::string usuario;                // the target's Usuario label
  std::string tituloAgregado;         // appended to its title
  std::vector<std::string> ocultar;   // controls hidden before showing
  std::vector<std::string> mostrar;   // controls shown before showing
  std::string directorio;             // the directory it works on (where it matters)
  std::string tabla;                  // catalogue browser: table of that directory
  std::vector<Columna> columnas;      // catalogue browser: up to nine
  bool vistaImagenes = false;         // catalogue browser: picture view
  std::string clave;                  // the record to open on (from the catalogue browser)
};

// The module screen a row of the catalogue browser opens for its table (file name, any
// case): customers, suppliers, sellers, the sales documents (their table goes in
// Apertura::tabla), purchases, products, movements; receivables open the customers'
// screen and payables the suppliers'. nullopt for a table without one.
std::optional<Pantalla> pantallaDeCatalogo(std::string_view tabla);

// The screens, windows and programs the main window reaches. Implemented by the view;
// tests record the calls.
class Pantallas {
 public:
  virtual ~Pantallas() = default;
  virtual bool disponible(Pantalla p) const = 0;
  // Resident screens are shown without blocking; the others modally, then destroyed.
  // The company screen is always modal.
  virtual void abre(const Apertura& a) = 0;
  // Before a company change: every open table of the resident screens.
  virtual void cierraTablasResidentes() = 0;
  // On closing: each visible resident screen closes (saving and closing its tables).
  virtual void cierraResidentesVisibles() = 0;
  // Asks another top-level window with that title to close; failures are ignored.
  virtual void cierraVentana(std::string_view titulo) = 0;
  // A companion program by its Windows name ("calc.exe").
  virtual void ejecutaPrograma(std::string_view programa) = 0;
  // A help page in the document viewer.
  virtual void abreDocumento(std::string_view ruta) = 0;
};

// Work that belongs to other parts of the system, reached through callbacks.
struct GanchosPrincipal {
  // Packs "Deta.db", "DetaComp.db" and "Detaminv.db" of the system directory.
  std::function<void(const std::string& sistema)> empacaTemporales;
  // Creates and seeds the numbering tables of the data directory; the seed comes from
  // the alternate data directory (configuration line 59) when it is set.
  std::function<void(const std::string& datos, const std::string& alterno)> creaNumeradores;
  // The document check: reset its progress marker, and one run of it.
  std::function<void()> reiniciaMarcador;
  std::function<void()> revisionDocumentos;
  // The main window's own tables (TablaE, TablaD, TablaMI).
  std::function<void()> cierraTablasPropias;
  // BotonMIClick: the physical inventory count.
  std::function<void()> inventarioFisico;
  // The company's maintenance options: after the first successful sign-in, and on
  // closing once every screen has closed its tables.
  std::function<void(const std::string& sistema, const std::string& datos)> mantenimientoInicio;
  std::function<void(const std::string& sistema, const std::string& datos)> mantenimientoFinal;
};

// Scratch files the query console leaves in the current directory; removed on closing.
inline constexpr std::string_view kPatronArchivosSql = "_sql*.*";

class Principal {
 public:
  Principal(base::Interaccion& ui, Pantallas& pantallas, const base::Reloj& reloj,
            GanchosPrincipal ganchos = {});

  // --- Start-up ---
  // Creation: makes sure of the initialisation file and reads the system directory; the
  // window starts disabled. A failure shows "Esta es la Primera vez que Ejecuta el
  // Programa" and start-up goes on.
  void FormCreate();
  // Showing: maintenance paths, scratch tables, classic view, numbering tables.
  void FormShow();
  // Activation: the first time (unless the company screen was already shown) the
  // company screen, the quick-start options, the permanent check and the quick start.
  void FormActivate(bool empresasYaMostrada);
  // A successful sign-in (called by the company screen before it closes).
  void aplicaIngreso(const session::Ingreso& ingreso);

  // --- Module commands ---
  void Clientes1Click();
  void Vendedores1Click();
  void Proveedores1Click();
  void Facturacin2Click();
  void Compras1Click();
  void Producto1Click();
  void Movimientos1Click();
  void General1Click();
  void Panel2Click();
  void Respaldos1Click();
  void Reindexar1Click();
  void Empresa1Click();
  void Conceptos1Click();
  void AltadeConceptosMovimientos1Click() { Conceptos1Click(); }
  void Reportes1Click();
  void Indices1Click();
  void Formatos1Click();
  void Sistema1Click();
  void Divisas1Click();
  void ReportesSQL1Click();
  void Consolidar1Click();
  void CapturaRapidadeClaves1Click();
  void Acercade1Click();
  void Calculadora1Click();
  void VerTemas1Click();
  // Catalogue browser entries.
  void Clientes2Click();
  void Proveedores2Click();
  void Vendedores2Click();
  void Facturacin1Click();
  void Compras2Click();
  void Inventario2Click();
  void MovimientosalInventario1Click();
  void CuentasPorPagar1Click();
  void CatlogoconImgenes1Click();

  // --- Options, timer, maintenance ---
  void IniciarenCapturaRpida1Click();
  void IniciarenCapturaRpida2Click();
  void ServidordeHorario1Click();
  void MI1Click();
  void TimerHoraTimer();
  void BitBtn1Click();
  void VerMantenimiento1Click();
  void BotonMIClick();

  // Closing, in order: the second capture window, the visible resident screens, the
  // query console's scratch files. The program ends afterwards.
  void cierra();

  // Description popup topic of a toolbar button (right mouse button); 0 for none.
  static int temaBoton(std::string_view boton);

  // --- State the view renders ---
  bool habilitada() const { return habilitada_; }
  const std::string& titulo() const { return titulo_; }
  const std::string& Usuario() const { return usuario_; }
  const std::string& directorioSistema() const { return sistema_; }
  const OpcionesRapidas& opciones() const { return opciones_; }
  bool timerHora() const { return timerHora_; }
  long ticks() const { return ticks_; }
  const std::string& Label6() const { return label6_; }
  bool mantenimientoVisible() const { return mantenimiento_; }
  bool vistaClasica() const { return vistaClasica_; }
  const std::string& EditRuta() const { return editRuta_; }
  const std::string& Edit1() const { return edit1_; }
  // Files of the current directory matching kPatronArchivosSql.
  std::vector<std::string> archivosSql() const;

  // Shared values other screens read.
  std::string directorioDatos() const;         // configuration line 8
  std::string directorioAlterno() const;       // line 59
  std::string directorioRemisiones() const;    // line 63
  const base::LectorConfiguracion& configuracion() const { return config_; }
  // The view fills in the hooks it provides itself.
  GanchosPrincipal& ganchos() { return ganchos_; }

 private:
  // The common pattern: copy the user, check the right (0: none), open or say why not.
  void modulo(Apertura a, int derecho);
  void abreOExplica(const Apertura& a);
  Apertura conUsuario(Pantalla p) const;
  void catalogo(int derecho, std::string tabla, std::vector<Columna> columnas,
                bool vistaImagenes = false);
  void guardaOpciones();
  std::string linea(int n) const;

  base::Interaccion& ui_;
  Pantallas& pantallas_;
  const base::Reloj& reloj_;
  GanchosPrincipal ganchos_;
  base::LectorConfiguracion config_;

  std::string sistema_;
  bool habilitada_ = false;
  bool activada_ = false;
  bool mantenimientoIniciado_ = false;
  std::string titulo_ = std::string(session::kTituloProducto);
  std::string usuario_;
  OpcionesRapidas opciones_;
  bool timerHora_ = false;
  long ticks_ = 0;
  std::string label6_;
  bool mantenimiento_ = false;
  bool vistaClasica_ = false;
  std::string editRuta_, edit1_;
};

}  // namespace mostrador::shell
