#include "printing/entorno_sesion.h"

#include "store/observaciones.h"

#include <chrono>
#include <thread>

#include "base/moneda.h"
#include "store/dbf/dbf_table.h"
#include "store/sql/sql.h"

namespace mostrador::printing {

void EntornoSesion::pausa(int unidades) {
  if (unidades > 0) std::this_thread::sleep_for(std::chrono::milliseconds(100) * unidades);
}

void EntornoSesion::ejecuta(std::string_view programa, std::string_view parametros, std::string_view directorio,
                            bool espera) {
  ultimo_ = sesion_.programas().inicia(sesion_.procesos(), programa, parametros, directorio, espera);
}

std::optional<std::string> EntornoSesion::consultaSql(std::string_view sentencia) {
  try {
    sql::BaseSql base(sesion_.directorioDatos());
    std::unique_ptr<sql::Resultado> r = base.consulta(sentencia);
    if (!r || r->isEmpty() || r->fieldDefs().empty()) return std::nullopt;
    r->first();
    return r->asText(0);
  } catch (const dbf::Error&) {
    // Engine and SQL errors alike (sql::Error is one): the format line places nothing.
    return std::nullopt;
  }
}

std::vector<std::string> EntornoSesion::observaciones(std::string_view directorio, std::string_view clave,
                                                      std::string_view tipo) {
  // A missing or unreadable table prints no observations, as the format expects.
  return store::leeObservaciones(directorio, tipo, clave);
}

std::string EntornoSesion::nombreUsuario(std::string_view numero) {
  return sesion_.nombreUsuario(numero);
}

std::array<std::string, 4> EntornoSesion::palabrasMoneda(std::string_view moneda) {
  return base::palabrasMoneda(sesion_.directorioDatos(), moneda);
}

}  // namespace mostrador::printing
