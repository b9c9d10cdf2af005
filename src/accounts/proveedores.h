#pragma once
// The supplier catalogue behind TFormaProveedo (the account catalogue of
// accounts/catalogo_cuenta.h over proveedo.dbf, tags ICLAPRO and NOMBR_P, working copy
// ProvAux.dbf, rights 17 new, 18 delete, 19 change) and the payables inquiry behind
// TFormaConsultaCuePagar: a supplier's purchase receipts (ComprasE.dbf by CLPRV_O) under
// the inquiry's filters, their totals, and the supplier totals CARGO_P/ABONO_P/SALDO_P
// recomputed from them.
//
// A new supplier is always offered a key: "00001" on an empty table, otherwise the last
// key of the range "       1".."    9999" plus one, right-aligned in eight characters so
// that the next proposal finds it in the range again. The key stays editable.
//
// The supplier totals are written only from every live receipt of the supplier, never
// from what a filter of the inquiry shows: a currency or balance filter gives a partial
// sum that must not replace the balance.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "accounts/catalogo_cuenta.h"
#include "base/interaccion.h"
#include "base/reloj.h"

namespace mostrador::accounts {

inline constexpr const char* kTablaProveedores = "proveedo.dbf";
inline constexpr const char* kCopiaProveedores = "ProvAux.dbf";
inline constexpr const char* kTablaComprasPagar = "ComprasE.dbf";
inline constexpr const char* kFaltaClave = "Falta la Clave...";
inline constexpr const char* kProveedorConSaldo = "No Es Posible Eliminar un Proveedor con Saldo";
inline constexpr const char* kProveedorEliminado = "El Proveedor ya no Existe: otra estación lo eliminó";

const DefCatalogoCuenta& defProveedores();

struct AjustesProveedores {
  std::string dirDatos;    // configuration line 8
  std::string dirSistema;  // the working copy
  std::string usuario;     // signed-in user number
  bool buscaAlGuardar = false;  // line 1 "NO"
  std::string hojaCalculo;      // line 31: the spreadsheet program of the report viewer

  static AjustesProveedores de(const std::vector<std::string>& lineas, std::string dirSistema,
                               std::string usuario);
};

// The key proposed for a new supplier: `vacia` for an empty table, `ultimaEnRango` the
// last key of the range "       1".."    9999" in key order (nullopt when none is in it,
// which proposes "       1"). A last key that is not a number comes back unchanged.
std::string claveProveedorPropuesta(bool vacia, const std::optional<std::string>& ultimaEnRango);

class CatalogoProveedores : public CatalogoCuenta {
 public:
  CatalogoProveedores(AjustesProveedores ajustes, base::Interaccion& ui, const base::Reloj& reloj,
                      std::function<bool(int)> derecho);
  ~CatalogoProveedores() override;

  const AjustesProveedores& ajustes() const { return aj_; }
  bool hayProveedor() const { return hayRegistro(); }
  std::string siguienteClave();

 protected:
  std::optional<std::string> claveNueva() override { return siguienteClave(); }

 private:
  AjustesProveedores aj_;
};

// Deletes a supplier without prompts: "" or "El Proveedor No Existe", "No Es Posible
// Eliminar un Proveedor con Saldo" (a balance or an open payable), "No se Pueden Editar
// los Datos Registro en Uso". (Also declared in clientes.h, where the CLI finds it.)
std::string eliminaProveedor(const std::string& dirDatos, std::string_view clave);

// ---- payables inquiry --------------------------------------------------------------------

enum class FiltroConsulta { ConSaldo, Todos };

// One purchase receipt of the supplier as the lower grid shows it.
struct CompraPorPagar {
  uint32_t registro = 0;
  std::string documento, fecha, vence, referencia, moneda, estado;
  double importe = 0;  // IMDOC_O
  double abono = 0;    // IMDOC_O - SALDO_O
  double saldo = 0;    // SALDO_O
};

struct TotalesProveedor {
  double cargos = 0, abonos = 0, saldo = 0;
};

// The supplier's receipts (by CLPRV_O, document order) that pass the filter: never a
// cancelled one ("C"; a blank status is an active receipt); ConSaldo keeps SALDO_O > 0.01.
// With a currency, only receipts in it; for "M.N." a blank currency counts as national.
// Throws the table engine's errors.
std::vector<CompraPorPagar> comprasProveedor(const std::string& dirDatos, std::string_view clave,
                                             FiltroConsulta filtro, std::string_view moneda = {});

// Cargos = sum IMDOC_O, Abonos = sum (IMDOC_O - SALDO_O), Saldo = sum SALDO_O.
TotalesProveedor sumaTotales(const std::vector<CompraPorPagar>& compras);

// The labels of the inquiry: "Nombre:  " + name, "Cargos :   ", "Abonos : - ", "Saldo  :   ",
// each amount "$" + "###,###,##0.00".
struct EtiquetasTotales {
  std::string nombre, cargos, abonos, saldo;
};
EtiquetasTotales etiquetasTotales(std::string_view nombre, const TotalesProveedor& t);

// Recomputes one supplier's totals from all its live receipts and writes them into
// CARGO_P/ABONO_P/SALDO_P (one save unit). nullopt with the message said through ui
// when the supplier is missing, held by another station or the tables fail.
std::optional<TotalesProveedor> guardaTotalesProveedor(const std::string& dirDatos, std::string_view clave,
                                                       base::Interaccion& ui);
// The same for every supplier (ActualizalosSaldos1Click); the number of suppliers
// written, or -1 when it stopped on a refusal (said through ui).
int actualizaSaldosProveedores(const std::string& dirDatos, base::Interaccion& ui);

}  // namespace mostrador::accounts
