#include "inventory/columnas_catalogo.h"

namespace mostrador::inventory {

std::vector<std::pair<std::string, std::string>> columnasProductos() {
  return {{"CLPRO_I", "Producto"},
          {"DSCPR_I", "Descripción"},
          {"UMEDI_I", "unid. Med."},
          {"EXIST_I", "Existencias"},
          {"PPUBL_I", "Precio Publ."}};
}

std::vector<std::pair<std::string, std::string>> columnasMovimientos() {
  return {{"CLDOC_MI", "Documento"}, {"CLPRO_MI", "Producto"}, {"CLPRV_MI", "Proveedor"},
          {"DESCR_MI", "Descripción"}, {"TIMOV_MI", "Tip. Mov."}, {"FEDOC_MI", "Fecha Doc."},
          {"CANTI_MI", "Cantidad"}};
}

}  // namespace mostrador::inventory
