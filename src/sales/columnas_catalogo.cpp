#include "sales/columnas_catalogo.h"

namespace mostrador::sales {

std::vector<std::pair<std::string, std::string>> columnasFacturas() {
  return {{"CLDOC_F", "Documento"}, {"CLCLI_F", "Clave"}, {"NOMBR_F", "Nombre"},
          {"FEDOC_F", "Fech. Doc."}, {"FEVEN_F", "Fech. Venc."}, {"IMTOD_F", "Importe"}};
}

}  // namespace mostrador::sales
