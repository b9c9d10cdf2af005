#include "sales/precios.h"

#include "sales/texto_venta.h"
#include "base/texto.h"

namespace mostrador::sales {
namespace {

// Upper case of a Windows-1252 byte: ASCII letters and the accented Latin letters.
unsigned char mayuscula(unsigned char c) {
  if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 32);
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - 32);
  return c;
}

}  // namespace

double similitud(std::string_view k, std::string_view descripcion) {
  const std::string a = base::aCp1252(k), b = base::aCp1252(descripcion);
  if (a.empty()) return 0;
  size_t iguales = 0;
  for (size_t i = 0; i < a.size() && i < b.size(); ++i)
    if (mayuscula(static_cast<unsigned char>(a[i])) == mayuscula(static_cast<unsigned char>(b[i])))
      ++iguales;
  return static_cast<double>(iguales) / static_cast<double>(a.size());
}

double descuentoClienteLinea(std::string_view dirDatos, std::string_view cliente,
                             std::string_view linea) {
  try {
    dbf::Table t;
    t.open(dirDatos, "ClieDesc.dbf");
    t.setIndex("CLCLI_D");
    const std::string clave = recorta(std::string(cliente));
    t.setRange({clave}, {clave});
    const std::string buscada = recorta(std::string(linea));
    for (t.first(); !t.eof(); t.next())
      if (recorta(t.asText("LINEA_D")) == buscada) return t.asFloat("DESCU_D");
  } catch (const dbf::Error&) {
    // No discounts table: no discount.
  }
  return 0;
}

double costoSinImpuesto(const dbf::Cursor& producto, double impuesto) {
  const std::string tipo = recorta(producto.asText("TICOS_I"));
  const double costo = (tipo == "PROM" || tipo.empty()) ? producto.asFloat("CPROM_I")
                                                         : producto.asFloat("ULCOS_I");
  return costo * 1 / (1 + impuesto * 0.01);
}

int listaDeCliente(const dbf::Cursor& cliente) {
  if (cliente.isNull("PREPR_C")) return 0;
  const long long n = cliente.asInteger("PREPR_C");
  return n < 1 ? 0 : static_cast<int>(n);
}

}  // namespace mostrador::sales
