#include "store/mantenimiento/consolidar.h"

#include "base/numeros.h"
#include "base/rutas.h"
#include "store/dbf/dbf_table.h"
#include "store/sql/sql.h"

namespace mostrador::store {
namespace {

struct Suma {
  const char* etiqueta;
  const char* tabla;
  const char* expresion;
  const char* condicion;     // "" for none
  const char* campoFecha;    // "" when the range does not apply
};

constexpr Suma kSumas[] = {
    {"Total de Remisiones  ", "remision.dbf", "IMTOD_F", "", "FEDOC_F"},
    {"Total de Compras     ", "comprasE.dbf", "IMDOC_O", "", "FEDOC_O"},
    {"Abonos en Compras    ", "comprasE.dbf", "IMDOC_O-SALDO_O", "", "FEDOC_O"},
    {"Saldo en Compras     ", "comprasE.dbf", "SALDO_O", "", "FEDOC_O"},
    {"Costo del Inventario ", "inventar.dbf", "CPROM_I*EXIST_I", "EXIST_I>0", ""},
    {"Valor del Inventario ", "inventar.dbf", "PPUBL_I*EXIST_I", "EXIST_I>0", ""},
};

}  // namespace

Consolidar::Consolidar(base::Interaccion& ui, std::string dirDatos, const base::Fecha& hoy)
    : ui_(ui), datos_(std::move(dirDatos)), inicio_{hoy.anio, hoy.mes, 1}, final_(hoy) {}

void Consolidar::FormShow() { calcula(); }
void Consolidar::BotonEsquinado1Click() { calcula(); }

void Consolidar::calcula() {
  lineas_.clear();
  progreso_ = 0;
  const int total = static_cast<int>(std::size(kSumas));
  ui_.iniciaProgreso("Consolidando", total);
  sql::BaseSql base(datos_);
  for (const Suma& s : kSumas) {
    LineaConsolidado l;
    l.etiqueta = s.etiqueta;
    l.sentencia = "Select Sum(" + std::string(s.expresion) + ") from \"" + base::une(datos_, s.tabla) + "\" ";
    std::string condicion = s.condicion;
    if (rango_ && *s.campoFecha) {
      const std::string campo = s.campoFecha;
      const std::string rango = campo + ">=\"" + base::fechaSql(inicio_) + "\" and " + campo + "<=\"" +
                                base::fechaSql(final_) + "\"";
      condicion = condicion.empty() ? rango : condicion + " and " + rango;
    }
    if (!condicion.empty()) l.sentencia += " where " + condicion;
    l.texto = "0";
    try {
      auto r = base.consulta(l.sentencia);
      r->first();
      if (!r->eof() && !r->isNull(0)) {
        l.valor = r->asFloat(0);
        l.texto = base::formateaMascara(l.valor, kMascaraConsolidado);
      }
    } catch (const std::exception&) {
      // A missing table or column sums to nothing.
    }
    lineas_.push_back(std::move(l));
    ++progreso_;
    ui_.avanzaProgreso();
  }
  ui_.terminaProgreso();
}

std::vector<std::string> Consolidar::MemoConsolidar() const {
  std::vector<std::string> r;
  for (const auto& l : lineas_) r.push_back(l.etiqueta + l.texto);
  return r;
}

std::vector<std::pair<std::string, double>> Consolidar::BotonEsquinado2Click() const {
  std::vector<std::pair<std::string, double>> r;
  for (const auto& l : lineas_) r.emplace_back(l.etiqueta, l.valor);
  return r;
}

}  // namespace mostrador::store
