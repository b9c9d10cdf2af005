#pragma once
// The customer catalogue behind TFormaClientes: the account catalogue of
// accounts/catalogo_cuenta.h over cliente.dbf (tags ICLACLI, NOMBR_C) with the working
// copy ClieAuxi.dbf, plus what only customers have: the next consecutive key when keys
// are consecutive and the locked field. SALDO_C and COMPR_C are the balance fields kept
// as the change made to them; a record with neither key nor name goes when displayed.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "accounts/catalogo_cuenta.h"
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

using ModoClientes = ModoCatalogo;
using OrdenClientes = OrdenCatalogo;
using PresentacionCliente = PresentacionCuenta;

// cliente.dbf and its working copy ClieAuxi.dbf (rights 11 new, 12 delete, 13 change).
const DefCatalogoCuenta& defClientes();

class CatalogoClientes : public CatalogoCuenta {
 public:
  CatalogoClientes(AjustesClientes ajustes, base::Interaccion& ui, const base::Reloj& reloj,
                   std::function<bool(int)> derecho);
  ~CatalogoClientes() override;

  const AjustesClientes& ajustes() const { return aj_; }
  bool hayCliente() const { return hayRegistro(); }
  // BloquearCampo1, user "0" only: toggles the mark and rewrites "\cliente.cnf".
  bool alternaBloqueo();
  // The key proposed for a new customer with consecutive keys.
  std::string siguienteClave();

 protected:
  std::optional<std::string> claveNueva() override;

 private:
  AjustesClientes aj_;
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
