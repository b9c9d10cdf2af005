#pragma once
// The seller catalogue behind TFormaVendedor: browsing vendedor.dbf by key or name,
// creating a seller, changing one, the key checks, deleting, the search, the field help
// of "vendedor.des", the print format and key ranges the printing commands use, and the
// listing and commission reports as report definition texts.
//
// Modes:   Consulta --nuevo()--> Nuevo --guarda()/descarta()/cierra()--> Consulta
//          Consulta --modifica()--> Modifica --guarda()/descarta()/cierra()--> Consulta
//
// There is no working copy. In Nuevo the seller is a record appended in memory: nothing
// reaches the table until the save, so a station that dies while a seller is typed
// leaves no blank seller behind. In Modifica the seller's own record is held in edit
// from the start, which takes its lock: another station cannot change it meanwhile, and
// one that already holds it makes the change refuse at once.
//
// Every save is one unit (store::bloquea on the seller, then store::UnidadGuardado) and
// its key checks run inside it, so that two stations cannot both save one key. Keys are
// checked on every save, the closing prompt's included: two sellers under one key would
// split the commissions of the documents that name it. Every refusal reaches the user
// through Interaccion as its exact Spanish message.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/interaccion.h"
#include "inventory/reportes_inventario.h"
#include "store/dbf/dbf_table.h"

namespace mostrador::accounts {

inline constexpr const char* kTablaVendedores = "vendedor.dbf";
inline constexpr const char* kTablaFacturasVendedores = "facturae.dbf";
inline constexpr const char* kAyudaVendedores = "vendedor.des";

inline constexpr std::string_view kVendedorClaveExiste = "La Clave ya Existe Es Necesario Cambiarla";
inline constexpr std::string_view kVendedorFaltaClave = "Falta la Clave...";
inline constexpr std::string_view kVendedorErrorAbrir = "Ha Ocurrido un Error al Abrir una de las Bases de Datos.";
inline constexpr std::string_view kVendedorErrorGuardar = "No se Pueden Guardar los Datos ha Ocurrido un Error";
inline constexpr std::string_view kVendedorErrorEditar = "No se Pueden Editar los Datos ha Ocurrido un Error";
inline constexpr std::string_view kVendedorPreguntaEliminar = "Esta Seguro de Eliminar este Registro ?";
inline constexpr std::string_view kVendedorNoExiste = "El Vendedor No Existe";
inline constexpr std::string_view kImpresoraNoLista = "La Impresora No Se Encuentra Lista...";

struct AjustesVendedores {
  std::string dirDatos;    // configuration line 8
  std::string dirSistema;  // "vendedor.des" and the print formats under "\consulta\"
  std::string usuario;     // signed-in user number
  bool buscaAlGuardar = false;  // line 1 "NO": the saved key is found again
  std::string formato;          // line 13: the print format's file name
  // The sales header table the commission reports read (the invoices).
  std::string tablaFacturas = kTablaFacturasVendedores;

  // From the configuration lines (1-based numbering).
  static AjustesVendedores de(const std::vector<std::string>& lineas, std::string dirSistema,
                              std::string usuario);
  // The system directory + "\consulta\" + the format of line 13.
  std::string rutaFormato() const;
};

enum class ModoVendedores { Consulta, Nuevo, Modifica };
enum class OrdenVendedores { Clave, Nombre };

class CatalogoVendedores {
 public:
  // derecho(n): whether the signed-in user holds right n (a missing right makes the
  // command do nothing; the rights module says so itself).
  CatalogoVendedores(AjustesVendedores ajustes, base::Interaccion& ui, std::function<bool(int)> derecho);
  ~CatalogoVendedores();
  CatalogoVendedores(const CatalogoVendedores&) = delete;
  CatalogoVendedores& operator=(const CatalogoVendedores&) = delete;

  // Opens the seller table and the invoices behind the reports; "Ha Ocurrido un Error al
  // Abrir una de las Bases de Datos." when one fails (the other still opens). True when
  // the seller table is open; it then stands on the first seller by key.
  bool abre();
  bool abierto() const { return abierto_; }
  // Browsing: the table read again (other stations' changes, a report's run), standing
  // on the same seller when it is still there.
  void refresca();

  ModoVendedores modo() const { return modo_; }
  OrdenVendedores orden() const { return orden_; }
  // "Vendedores Ordenado por Clave" / "Vendedores Ordenado por Nombre".
  std::string titulo() const;
  const AjustesVendedores& ajustes() const { return aj_; }

  dbf::Table& tabla() { return vendedores_; }
  // A seller to show: the one being typed or changed, or the current record.
  bool hayVendedor() const;
  std::string texto(std::string_view campo) const;
  double numero(std::string_view campo) const;

  // Writes a typed value into the seller being edited (Nuevo or Modifica only). Letters
  // in COMIS_V are refused with "\"<text>\" no es un Número Válido"; texts are cut to
  // their field's width, as the screen's edits are.
  bool ponTexto(std::string_view campo, std::string_view valor);

  // Commands.
  bool nuevo();     // right 14
  bool modifica();  // right 16
  // Saving: a key another seller holds, "La Clave ya Existe Es Necesario Cambiarla"; an
  // empty key, "Falta la Clave..."; either way the mode stays. Otherwise one unit.
  bool guarda();
  void descarta();  // CancelaMovimiento1
  // Closing the screen while editing: asks Save (1) / Discard (2) / Stay (3); true when
  // the screen may close. A Save the key checks refuse keeps the screen in its mode.
  bool cierra();
  bool elimina();   // right 15, after "Esta Seguro de Eliminar este Registro ?"
  bool busca();     // the search box: by key (ICLAVEN) or by name (NOMBR_V)
  void siguiente();  // Page Down
  void anterior();   // Page Up
  void primero();
  // Browse mode on the key under ICLAVEN (the catalogue browser's double click); false
  // when the key is not there (the table then stands at the nearest seller).
  bool abreEnClave(std::string_view clave);

  // The two help lines of a field from "<system>\vendedor.des" ("" when none).
  std::pair<std::string, std::string> ayuda(std::string_view campo) const;

  // Printing.
  const std::string& rutaFormato() const { return rutaFormato_; }
  // ElegirFormato1: a format file that exists becomes the print format; a missing one
  // shows "El Formato " + path + " No Existe" and changes nothing.
  bool eligeFormato(std::string_view ruta);
  // ImprimirRango1: the record numbers of the sellers whose keys lie from desde to hasta
  // (both included), in key order; empty ends are open.
  std::vector<uint32_t> registrosEnRango(std::string_view desde, std::string_view hasta);

  // Whether the last New or Change ended saved.
  bool guardo() const { return guardo_; }

 private:
  bool editando() const { return modo_ != ModoVendedores::Consulta; }
  // Sellers under key k, the one on record excepto left out.
  int cuentaClave(const std::string& k, uint32_t excepto);
  bool pruebasClave(const std::string& k);
  bool escribe();
  void tagOrden();
  void vuelveAEditar(const std::vector<std::pair<std::string, std::string>>& valores);

  AjustesVendedores aj_;
  base::Interaccion& ui_;
  std::function<bool(int)> derecho_;
  dbf::Table vendedores_;
  dbf::Table busqueda_;  // a second handle for the key checks during an edit
  dbf::Table facturas_;
  bool abierto_ = false;
  ModoVendedores modo_ = ModoVendedores::Consulta;
  OrdenVendedores orden_ = OrdenVendedores::Clave;
  uint32_t registroEditado_ = 0;  // Modifica: the seller; Nuevo: where Cancel returns
  std::string claveOriginal_;     // Modifica: the key as it was when the change began
  std::string rutaFormato_;
  bool guardo_ = false;
};

// Deletes the seller with that key without asking (the command line). "" when done;
// otherwise the Spanish message: "El Vendedor No Existe", "No se Pueden Editar los Datos
// ha Ocurrido un Error" while another station holds it, or the open failure's message.
// Documents that name the seller keep its key.
std::string eliminaVendedor(const std::string& dirDatos, std::string_view clave);

// ---- reports ---------------------------------------------------------------------------

// The report commands of the seller screen, in menu order: {control name, caption}.
const std::vector<std::pair<std::string, std::string>>& reportesVendedores();

// A report by its menu name ("Listadode1", "Comisiones1", "ComisionesConcentrado1") over
// the seller table and the given sales header table of the data directory; nullopt for
// any other name.
std::optional<inventory::DefinicionReporte> reporteVendedor(std::string_view menu, const std::string& dirDatos,
                                                            const std::string& tablaFacturas);

// What the report runner is given with a definition: the table the document range is
// taken from, the document field and the date field.
struct OrigenReporteVendedor {
  std::string tabla, campoDocumento, campoFecha;
  friend bool operator==(const OrigenReporteVendedor&, const OrigenReporteVendedor&) = default;
};
std::optional<OrigenReporteVendedor> origenReporteVendedor(std::string_view menu, const std::string& tablaFacturas);

}  // namespace mostrador::accounts
