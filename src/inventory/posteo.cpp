#include "inventory/posteo.h"

#include <cmath>

namespace mostrador::inventory {

int tipoRegistrado(int tipo, double cantidad) { return cantidad < 0 && !esSalida(tipo) ? kTipoNegativo : tipo; }

double costoPromedio(std::string_view metodo, double s, double a, double q, double c) {
  const bool promedio = metodo.empty() || metodo == "PROM";
  // s + q > 0 always holds here (s > 0, q > 0): no division by zero.
  if (s > 0 && q > 0 && promedio) return (s * a + q * c) / (s + q);
  return c;
}

double existenciaTras(double existencia, int tipo, double q, const ReglasPosteo& reglas) {
  const double r = esSalida(tipo) ? existencia - q : existencia + q;
  if (r < 0 && reglas.sinNegativos) return 0;
  return r;
}

Posteo::Posteo(dbf::Table& movimientos, dbf::Table& productos, ReglasPosteo reglas)
    : movimientos_(movimientos), productos_(productos), reglas_(reglas) {}

std::optional<double> Posteo::aplica(int tipo, const std::string& clave, double q, double costo) {
  productos_.setIndex("ICLPRO");
  if (!productos_.findKey({clave})) return std::nullopt;
  productos_.edit();
  const double s = productos_.asFloat("EXIST_I");
  if ((tipo == 51 || tipo == 57) && q > 0 && costo > 0)
    productos_.setFloat("CPROM_I",
                        costoPromedio(productos_.asText("TICOS_I"), s, productos_.asFloat("CPROM_I"), q, costo));
  const double nueva = existenciaTras(s, tipo, q, reglas_);
  productos_.setFloat("EXIST_I", nueva);
  productos_.post();
  return nueva;
}

std::optional<double> Posteo::posta(Movimiento linea, double q) {
  const std::optional<double> existencia = aplica(linea.tipo, linea.clave, q, linea.costo);
  const int registrado = tipoRegistrado(linea.tipo, q);
  // Type 8 carries |q|; a negative line under an exit keeps its sign, as document
  // postings do, so that the journal says what happened to the stock.
  linea.cantidad = registrado == kTipoNegativo && linea.tipo != kTipoNegativo ? std::fabs(q) : q;
  linea.tipo = registrado;
  linea.existencia = existencia.value_or(0);
  escribe(linea);
  return existencia;
}

void Posteo::escribe(const Movimiento& m) {
  dbf::Table& t = movimientos_;
  t.append();
  t.setInteger("CLDOC_MI", m.numero);
  t.setInteger("TIMOV_MI", m.tipo);
  t.setText("CLPRO_MI", m.clave);
  t.setText("DESCR_MI", m.descripcion);
  t.setFloat("CANTI_MI", m.cantidad);
  t.setFloat("COSUN_MI", m.costo);
  t.setFloat("PUNIT_MI", m.precio);
  t.setText("FEDOC_MI", m.fecha);
  t.setInteger("FECHA", m.secuencia);
  t.setText("REFMO_MI", m.referencia);
  t.setText("NUDOC_MI", m.documento);
  t.setText("CLPRV_MI", m.contraparte);
  t.setText("CLCOP_MI", m.contraparte);
  t.setText("CLVEN_MI", m.vendedor);
  if (!m.almacen.empty()) t.setText("NALMA_MI", m.almacen);
  t.setText("BANAF_MI", m.origen);
  t.setFloat("EXIST_MI", m.existencia);
  if (m.usuario) t.setInteger("HORAF_F", *m.usuario);
  if (!m.usuarioTexto.empty()) t.setText("USUARIO", m.usuarioTexto);
  t.setInteger("CONTROL", m.control);
  t.post();
}

long long siguienteMovimiento(dbf::Table& movimientos) {
  movimientos.setIndex("CLDOC_MI");
  movimientos.last();
  return movimientos.isEmpty() ? 1 : movimientos.asInteger("CLDOC_MI") + 1;
}

}  // namespace mostrador::inventory
