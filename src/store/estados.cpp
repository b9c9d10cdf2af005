#include "store/estados.h"

namespace mostrador::store {

std::string textoEstadoVenta(std::string_view statu) {
  if (statu == estado::kCancelado) return "Cancelada";
  if (statu == estado::kDevTotal) return "Dev. Total";
  if (statu == estado::kDevParcial) return "Dev. Parcial";
  if (statu == estado::kPagado) return "Pagada";
  if (statu == estado::kEnEspera) return "En Espera...";
  return "Activa";
}

std::string textoImpresion(std::string_view tregi) {
  return tregi == estado::kImpreso ? "Impresa" : "No Impresa";
}

std::string textoEstadoCompra(std::string_view stdoc) {
  if (stdoc == estado::kCancelado) return "Cancelada";
  if (stdoc == estado::kPagado) return "Pagada";
  return "Activa";
}

std::string textoEstadoCatalogo(std::string_view statu) {
  // Only "A" is active: a blank state was never made active by anybody.
  return statu == estado::kActivo ? "Activo" : "Inactivo";
}

bool cancelado(std::string_view statu) { return statu == estado::kCancelado; }
bool clienteRechazado(std::string_view statuC) { return statuC == estado::kInactivo; }
bool esAbono(std::string_view opera) { return opera == estado::kAbono; }

std::string condicionNoCancelado(std::string_view campo) {
  std::string c(campo);
  return "(" + c + "<>\"C\" OR " + c + " IS NULL)";
}

}  // namespace mostrador::store
