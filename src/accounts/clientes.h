#pragma once
// The customer catalogue behind TFormaClientes: browsing cliente.dbf by key or name,
// creating a customer (the next consecutive key when keys are consecutive), changing one
// on the one-record working copy ClieAuxi.dbf, the key checks, deleting, the searches,
// the locked field and what the screen shows of the current customer.
//
// Modes:   Consulta --nuevo()--> Nuevo --guarda()/descarta()/cierra()--> Consulta
//          Consulta --modifica()--> Modifica --guarda()/descarta()/cierra()--> Consulta
//
// In Nuevo the fields are written into a record appended in memory: nothing reaches the
// table until the save, so a station that dies while a customer is typed leaves nothing.
// In Modifica they are written into the working copy. The save copies back only what was
// edited here, and the balance fields as the change made to them: SALDO_C and COMPR_C
// belong to the sales and payments that other stations post meanwhile, so a hand edit
// of 100 -> 80 while a sale of 50 lands stores 130, not 80 (and not 150).
//
// Every save is one unit (store::bloquea on the customer, then store::UnidadGuardado)
// and its key checks run inside it, so two stations creating the same key cannot both
// succeed. Every refusal reaches the user through Interaccion as its Spanish message.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/interaccion.h"
#include "base/reloj.h"
#include "store/dbf/dbf_table.h"

namespace mostrador::accounts {

inline constexpr const char* kTablaClientes = "cliente.dbf";
inline constexpr const char* kCopiaClientes = "ClieAuxi.dbf";
inline constexpr const char* kArchivoBloqueo = "cliente.cnf";
inline constexpr const char* kAyudaClientes = "clientes.des";

inline constexpr const char* kClaveNoExiste = "La Clave No Existe";
inline constexpr const char* kClaveYaExiste = "La Clave ya Existe Es Necesario Cambiarla";
inline constexpr const char* kClaveRepetida = "La clave esta Repetida...";
inline constexpr const char* kEscribaClave = "Es Necesario Escribir una Clave...";
inline constexpr const char* kClienteConSaldo = "No se puede eliminar cliente con saldo";
inline constexpr const char* kErrorGuardarCliente = "No se Pueden Guardar los Datos ha Ocurrido un Error";
inline constexpr const char* kClienteEliminado = "El Cliente ya no Existe: otra estación lo eliminó";

struct AjustesClientes {
  std::string dirDatos;    // configuration line 8
  std::string dirSistema;  // the working copy, "\cliente.cnf" and "clientes.des"
  std::string usuario;     // signed-in user number
  bool buscaAlGuardar = false;  // line 1 "NO": the saved key is found again
  bool consecutivas = false;    // line 34 "S"
  std::string formato;          // line 12: the print format's file name
  std::string hojaCalculo;      // line 31: the spreadsheet program of the report viewer
  bool campoBloqueado = false;  // "\cliente.cnf" reads "S"

  static AjustesClientes de(const std::vector<std::string>& lineas, std::string dirSistema,
                            std::string usuario);
};

enum class ModoClientes { Consulta, Nuevo, Modifica };
enum class OrdenClientes { Clave, Nombre };

// What the screen shows of the current customer besides its fields.
struct PresentacionCliente {
  std::string cargo;    // "Cargos " + "$" + "###,###,##0.00"
  std::string abono;    // "Abonos " + the same
  std::string estado;   // "Activo" / "Inactivo"
  std::string saldo;    // "#,###,##0.00"
  std::string compras;  // "#,###,##0.00"
};

class CatalogoClientes {
 public:
  // derecho(n): whether the signed-in user holds right n (a missing right makes the
  // command do nothing; the rights module says so itself).
  CatalogoClientes(AjustesClientes ajustes, base::Interaccion& ui, const base::Reloj& reloj,
                   std::function<bool(int)> derecho);
  ~CatalogoClientes();

  // Opens the customer table; "Ha Ocurrido un Error al Abrir una de las Bases de Datos."
  // when it fails. Shows the first customer.
  bool abre();
  bool abierto() const { return abierto_; }
  // Each later activation: with nothing pending, the table is read again so that other
  // stations' changes show.
  void refresca();

  ModoClientes modo() const { return modo_; }
  OrdenClientes orden() const { return orden_; }
  std::string titulo() const;
  const AjustesClientes& ajustes() const { return aj_; }

  // The record shown: the working copy in Modifica, the customer table otherwise.
  const dbf::Table& registro() const;
  dbf::Table& tabla() { return clientes_; }
  bool hayCliente() const;
  std::string texto(std::string_view campo) const;
  double numero(std::string_view campo) const;
  int anchoClave() const { return anchoClave_; }

  // Writes a typed value into the record being edited. Letters in a numeric field, a
  // bad date or a text longer than the field are refused with their message.
  bool ponTexto(std::string_view campo, std::string_view valor);
  // Leaving the key field: an empty key says "Es Necesario Escribir una Clave...".
  bool saleClave(std::string_view clave);

  // Commands.
  bool nuevo();      // right 11
  bool modifica();   // right 13
  bool guarda();
  void descarta();
  // Closing the screen while editing: Save / Discard / Stay; true when it may close. A
  // Save that the key checks refuse keeps the screen open in its mode.
  bool cierra();
  bool elimina();    // right 12, after the confirmation
  bool busca();      // by key or name
  // By any field (the first customer, in the order shown, whose field begins with the
  // value); "No se Encuentra" / "Valor no Válido Revise Por Favor" otherwise.
  bool buscaCampo(std::string_view campo, std::string_view valor);
  void anterior();   // Ctrl+A
  void siguiente();  // Ctrl+S
  void primero();
  void ultimo();
  // Positions on a key; when it is missing and crear is set, starts a new customer with
  // that key. False when neither happened.
  bool abreEnClave(std::string_view clave, bool crear);
  // BloquearCampo1, user "0" only: toggles the mark and rewrites "\cliente.cnf".
  bool alternaBloqueo();

  // Applied whenever a customer is displayed: a record whose key and name are both empty
  // is deleted on the spot (the next one is shown).
  PresentacionCliente presenta();

  // The key proposed for a new customer with consecutive keys.
  std::string siguienteClave();
  bool guardo() const { return guardo_; }

 private:
  bool abreCopia();
  void vaciaCopia();
  bool existeClave(std::string_view clave, uint32_t excepto);
  bool ponCampo(dbf::Table& t, std::string_view campo, std::string_view valor);
  bool pruebasClave(std::string_view clave);
  bool escribeNuevo(bool conPruebas);
  bool escribeCambio(bool conPruebas);
  void tagOrden();
  bool editando() const { return modo_ != ModoClientes::Consulta; }
  dbf::Table& edicion();

  AjustesClientes aj_;
  base::Interaccion& ui_;
  const base::Reloj& reloj_;
  std::function<bool(int)> derecho_;
  dbf::Table clientes_;
  dbf::Table busqueda_;  // the second handle of the key checks
  dbf::Table copia_;
  bool abierto_ = false;
  int anchoClave_ = 10;
  ModoClientes modo_ = ModoClientes::Consulta;
  OrdenClientes orden_ = OrdenClientes::Clave;
  std::string claveOriginal_;
  uint32_t registroEditado_ = 0;
  std::vector<std::string> valoresOriginales_;  // the record as copied, by field of the copy
  bool guardo_ = false;
};

// The two help lines (1-based) of "clientes.des" for a field; {0, 0} for none.
std::pair<int, int> lineasAyudaCliente(std::string_view campo);

// The next consecutive key after `ultima` (the last key in key order, nullopt for an
// empty table), right-aligned in `ancho` characters: "         1" first, 9 -> "        10";
// a last key that is not a number comes back unchanged.
std::string claveConsecutiva(const std::optional<std::string>& ultima, int ancho);

// Deletes a customer without prompts (mostrador-cli borra): "" on success, or the message
// of the refusal ("El Cliente No Existe", "No se puede eliminar cliente con saldo" for a
// balance or an open receivable, "No se Pueden Editar los Datos Registro en Uso").
std::string eliminaCliente(const std::string& dirDatos, std::string_view clave);
// The same for a supplier of proveedo.dbf ("El Proveedor No Existe", "No Es Posible
// Eliminar un Proveedor con Saldo").
std::string eliminaProveedor(const std::string& dirDatos, std::string_view clave);

}  // namespace mostrador::accounts
