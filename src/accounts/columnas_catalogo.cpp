#include "accounts/columnas_catalogo.h"

namespace mostrador::accounts {

std::vector<std::pair<std::string, std::string>> columnasClientes() {
  return {{"CLCLI_C", "Cliente"}, {"NOMBR_C", "Nombre"}, {"RFCXX_C", "R.F.C"}};
}

std::vector<std::pair<std::string, std::string>> columnasProveedores() {
  return {{"CLAVE_P", "Clave"}, {"NOMBR_P", "Nombre"}, {"RFCXX_P", "R.F.C"},
          {"CARGO_P", "Cargos"}, {"ABONO_P", "Abonos"}, {"SALDO_P", "Saldo"}};
}

std::vector<std::pair<std::string, std::string>> columnasVendedores() { return {}; }

std::vector<std::pair<std::string, std::string>> columnasCuentasPorPagar() {
  return {{"NUDOC_CP", "Documento"}, {"CLCLI_CP", "Clave"}, {"NOMBR_CP", "Nombre"},
          {"CONCE_CP", "Concepto"}, {"IMCUE_CP", "Importe"}, {"SALDO_CP", "Saldo"},
          {"FEAPL_CP", "Fech. Aplic."}, {"FEVEN_CP", "Fech. Venc."}};
}

}  // namespace mostrador::accounts
