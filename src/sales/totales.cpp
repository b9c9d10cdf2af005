#include "sales/totales.h"

#include "base/numeros.h"

namespace mostrador::sales {
namespace {

using base::Importe;

// "Round to cents" of a floating value: two decimals, half away from zero, on the
// number as written (not on its binary approximation).
Importe centavos(double v) { return Importe::deDouble(base::redondea(v, 2)); }

// The document rate replaces the line taxes only when it is a number other than 0: a
// stored 0 comes back as "0.0000", which must not zero the tax.
std::optional<double> tasaDocumento(const std::string& texto) {
  std::optional<double> v = base::leeNumero(texto);
  if (!v || *v == 0) return std::nullopt;
  return v;
}

}  // namespace

double importeLinea(double cantidad, double precio, double descuento) {
  const double bruto = cantidad * precio;
  return bruto - descuento * bruto * 0.01;
}

Totales calculaTotales(const std::vector<LineaTotal>& lineas, const OpcionesTotales& o) {
  Totales t;
  Importe s, k;
  double tasaImpuestos = 0, descuento = 0, fpgc = 0;
  for (const LineaTotal& l : lineas) {
    const double importe = importeLinea(l.cantidad, l.precio, l.descuento);
    s += Importe::deDouble(importe);
    if (o.impuestoIncluido && l.fpgc > 0) {
      const double base = importe - l.fpgc;
      tasaImpuestos += base - base / (1 + l.impuesto * 0.01);
      fpgc += l.fpgc;
    } else if (o.impuestoIncluido) {
      tasaImpuestos += importe - importe / (1 + l.impuesto * 0.01);
    } else {
      tasaImpuestos += importe * l.impuesto * 0.01;
    }
    k += Importe::deDouble(l.cantidad * l.costo);
    descuento = o.descuentoDocumento * 0.01 * s.aDouble();
    ++t.partidas;
  }
  if (o.impuestoIncluido) s = Importe::deDouble(s.aDouble() - tasaImpuestos);
  s = s.redondeaCentavos();
  const Importe d = centavos(o.descuentoDocumento * 0.01 * s.aDouble());
  s = (s - d).redondeaCentavos();
  const std::optional<double> tasa = tasaDocumento(o.tasaDocumento);
  // The line taxes were summed on the lines before the document discount: they are
  // lowered by the same percent, or the tax would be charged on what was not sold.
  const double impuestoNeto = tasaImpuestos * (1 - o.descuentoDocumento * 0.01);
  const Importe i = tasa ? centavos(*tasa * 0.01 * s.aDouble()) : centavos(impuestoNeto);
  Importe g = s.redondeaCentavos() + i.redondeaCentavos();
  g = g.redondeaTotal(o.pasoRedondeo);

  t.subtotal = s;
  t.impuesto = i;
  t.total = g;
  t.costo = k;
  t.descuento = descuento;
  t.fpgc = fpgc;
  t.impuestoLineas = tasaImpuestos;
  return t;
}

std::string textoPartidas(int partidas) { return "Partidas  " + std::to_string(partidas); }

}  // namespace mostrador::sales
