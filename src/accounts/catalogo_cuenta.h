#pragma once
// A catalogue of account holders (customers, suppliers) over one table: browsing by key
// or name, creating a record, changing one on a one-record working copy, the key checks,
// deleting, the searches and what the screen shows of the current record. The customer
// and supplier catalogues are this one with their table, tags, fields, rights and texts.
//
// Modes:   Consulta --nuevo()--> Nuevo --guarda()/descarta()/cierra()--> Consulta
//          Consulta --modifica()--> Modifica --guarda()/descarta()/cierra()--> Consulta
//
// In Nuevo the fields are written into a record appended in memory: nothing reaches the
// table until the save, so a station that dies while a record is typed leaves nothing.
// In Modifica they are written into the working copy. The save copies back only what was
// edited here, and the balance fields as the change made to them: balances belong to the
// documents and payments other stations post meanwhile, so a hand edit of 100 -> 80
// while a document of 50 lands stores 130, not 80 (and not 150).
//
// Every save is one unit (store::bloquea on the record, then store::UnidadGuardado) and
// its key checks run inside it, so two stations creating the same key cannot both
// succeed. Every refusal reaches the user through Interaccion as its Spanish message.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "accounts/cuentas.h"
#include "base/interaccion.h"
#include "base/reloj.h"
#include "store/dbf/dbf_table.h"

namespace mostrador::accounts {

inline constexpr const char* kErrorGuardarCatalogo = "No se Pueden Guardar los Datos ha Ocurrido un Error";
inline constexpr const char* kClaveYaExisteCatalogo = "La Clave ya Existe Es Necesario Cambiarla";

// What distinguishes one catalogue from the other.
struct DefCatalogoCuenta {
  const char* tabla;        // "cliente.dbf"
  const char* copia;        // the working copy, system directory
  const char* tagClave;     // "ICLACLI"
  const char* tagNombre;    // "NOMBR_C"
  const char* campoClave;   // "CLCLI_C"
  const char* campoNombre;  // "NOMBR_C"
  // Presentation: charges, payments, status, balance, purchases.
  const char *campoCargo, *campoAbono, *campoEstado, *campoSaldo, *campoCompras;
  std::vector<std::string> saldos;  // kept as the change made to them
  int derechoNuevo, derechoElimina, derechoCambia;
  const char* claveVacia;     // saving with a blank key
  const char* claveRepetida;  // a change to another record's key
  const char* conSaldo;       // deleting a record with a balance
  const char* noExiste;       // deleting a key that is not there (no prompts)
  const char* eliminado;      // the record went while it was being changed
  const char* quien;          // "el cliente ": how a lock names the record
  Cartera cartera;
  bool borraVacios;  // records with neither key nor name are deleted when displayed
};

enum class ModoCatalogo { Consulta, Nuevo, Modifica };
enum class OrdenCatalogo { Clave, Nombre };

// What the screen shows of the current record besides its fields.
struct PresentacionCuenta {
  std::string cargo;    // "Cargos " + "$" + "###,###,##0.00"
  std::string abono;    // "Abonos " + the same
  std::string estado;   // "Activo" / "Inactivo"
  std::string saldo;    // "#,###,##0.00"
  std::string compras;  // "#,###,##0.00"
};

class CatalogoCuenta {
 public:
  // derecho(n): whether the signed-in user holds right n (a missing right makes the
  // command do nothing; the rights module says so itself).
  CatalogoCuenta(const DefCatalogoCuenta& def, std::string dirDatos, std::string dirSistema, bool buscaAlGuardar,
                 base::Interaccion& ui, const base::Reloj& reloj, std::function<bool(int)> derecho);
  virtual ~CatalogoCuenta();

  // Opens the table; "Ha Ocurrido un Error al Abrir una de las Bases de Datos." when it
  // fails. Shows the first record.
  bool abre();
  bool abierto() const { return abierto_; }
  // Each later activation: with nothing pending, the table is read again so that other
  // stations' changes show.
  void refresca();

  ModoCatalogo modo() const { return modo_; }
  OrdenCatalogo orden() const { return orden_; }
  // "Consulta Cobranza Ordenado por Clave" / "... por Nombre".
  std::string titulo() const;
  const DefCatalogoCuenta& definicion() const { return def_; }

  // The record shown: the working copy in Modifica, the table otherwise.
  const dbf::Table& registro() const;
  dbf::Table& tabla() { return tabla_; }
  bool hayRegistro() const;
  std::string texto(std::string_view campo) const;
  double numero(std::string_view campo) const;
  int anchoClave() const { return anchoClave_; }

  // Writes a typed value into the record being edited. Letters in a numeric field, a
  // bad date or a text longer than the field are refused with their message.
  bool ponTexto(std::string_view campo, std::string_view valor);
  // Leaving the key field: an empty key says "Es Necesario Escribir una Clave...".
  bool saleClave(std::string_view clave);

  bool nuevo();
  bool modifica();
  bool guarda();
  void descarta();
  // Closing the screen while editing: Save / Discard / Stay; true when it may close. A
  // Save that the key checks refuse keeps the screen open in its mode.
  bool cierra();
  bool elimina();  // after the confirmation
  bool busca();    // by key or name
  // By any field (the first record, in the order shown, whose field begins with the
  // value); "No se Encuentra" / "Valor no Válido Revise Por Favor" otherwise.
  bool buscaCampo(std::string_view campo, std::string_view valor);
  void anterior();
  void siguiente();
  void primero();
  void ultimo();
  // Positions on a key; when it is missing and crear is set, starts a new record with
  // that key. False when neither happened.
  bool abreEnClave(std::string_view clave, bool crear);

  PresentacionCuenta presenta();
  bool guardo() const { return guardo_; }

 protected:
  // The key a new record starts with; nullopt leaves it blank.
  virtual std::optional<std::string> claveNueva() { return std::nullopt; }
  // The second handle (the key checks and proposals use it), under the key tag.
  dbf::Table& segunda();
  const std::string& dirDatos() const { return dirDatos_; }

 private:
  bool abreCopia();
  void vaciaCopia();
  bool existeClave(std::string_view clave, uint32_t excepto);
  bool ponCampo(dbf::Table& t, std::string_view campo, std::string_view valor);
  bool pruebasClave(std::string_view clave);
  bool escribeNuevo(bool conPruebas);
  bool escribeCambio(bool conPruebas);
  void tagOrden();
  bool esSaldo(std::string_view campo) const;
  bool editando() const { return modo_ != ModoCatalogo::Consulta; }
  dbf::Table& edicion();

  const DefCatalogoCuenta& def_;
  std::string dirDatos_, dirSistema_;
  bool buscaAlGuardar_;
  base::Interaccion& ui_;
  const base::Reloj& reloj_;
  std::function<bool(int)> derecho_;
  dbf::Table tabla_;
  dbf::Table busqueda_;  // the second handle of the key checks
  dbf::Table copia_;
  bool abierto_ = false;
  int anchoClave_ = 10;
  ModoCatalogo modo_ = ModoCatalogo::Consulta;
  OrdenCatalogo orden_ = OrdenCatalogo::Clave;
  std::string claveOriginal_;
  uint32_t registroEditado_ = 0;
  std::vector<std::string> valoresOriginales_;  // the record as copied, by field of the copy
  bool guardo_ = false;
};

// Keys keep their leading blanks (consecutive keys are right-aligned); only the trailing
// ones, which the table does not keep either, go.
std::string claveGuardada(std::string_view clave);

// Deletes a record without prompts (mostrador-cli borra): "" on success, or the message
// of the refusal (def.noExiste, def.conSaldo for a balance or an open document,
// "No se Pueden Editar los Datos Registro en Uso").
std::string eliminaTitular(const std::string& dirDatos, const DefCatalogoCuenta& def, std::string_view clave);

}  // namespace mostrador::accounts
