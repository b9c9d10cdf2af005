#include "store/configuracion_inicial.h"

#include "shell/registros_fijos.h"
#include "shell/texto.h"
#include "store/catalogo.h"

namespace mostrador::store {

namespace {

const shell::DisenoRegistro& disenoUsuario() {
  static const shell::DisenoRegistro d(
      kTamRegistroUsuario,
      {shell::CampoFijo::entero32("numero", 0), shell::CampoFijo::bytes("reservado", 4, 3),
       shell::CampoFijo::cadena("nombre", 7, 60), shell::CampoFijo::cadena("clave", 68, 10),
       shell::CampoFijo::cadena("derechos", 79, 60)});
  return d;
}

}  // namespace

std::string codificaUsuario(const RegistroUsuario& u, const CifradoUsuario& cifra) {
  shell::RegistroFijo r(disenoUsuario());
  r.ponEntero("numero", u.numero);
  // The scrambled bytes go through the codec as text: Windows-1252 to UTF-8 and back is
  // exact for every byte, and the capacity then counts stored bytes. The typed text is
  // cut first, one stored byte per character.
  r.ponTexto("nombre", shell::aUtf8(cifra(shell::cortaCp1252(u.nombre, 60))));
  r.ponTexto("clave", shell::aUtf8(cifra(shell::cortaCp1252(u.clave, 10))));
  r.ponTexto("derechos", u.derechos);
  return r.bytes();
}

const std::vector<ConceptoMovimiento>& conceptosMovimiento() {
  static const std::vector<ConceptoMovimiento> v = {
      {1, "Venta por Factura"},
      {2, "Devolución de Compra"},
      {3, "Venta por Remisión"},
      {4, "Salida Varios"},
      {5, "Salida por Merma"},
      {6, "Salida por Ajuste"},
      {7, "Salida por Consumo Interno"},
      {8, "Salida por Cantidad Negativa"},
      {51, "Entrada por Compra"},
      {52, "Devolución de Cliente"},
      {53, "Entrada Varios"},
      {54, "Entrada Fuera de Kardex"},
      {55, "Entrada por Bonificación"},
      {56, "Entrada por Ajuste"},
      {57, "Inventario Inicial"},
      {60, "Entrada por Traspaso"},
  };
  return v;
}

bool conceptoProtegido(int numero) {
  return (numero >= 1 && numero <= 7) || (numero >= 51 && numero <= 57);
}

std::vector<std::string> lineasConfiguracion(const OpcionesEmpresa& o) {
  std::vector<std::string> l(72);
  auto linea = [&l](int n, std::string v) { l[static_cast<size_t>(n - 1)] = std::move(v); };
  linea(1, "NO");  // find a saved record again, so other stations see it at once
  linea(5, "16");  // purchase tax rate
  linea(6, "SI");  // documents move stock
  linea(8, o.dirDatos);
  linea(9, o.nombre);
  linea(11, o.claveEmpresa);
  linea(12, "Clientes.fmt");
  linea(13, "Vendedor.fmt");
  linea(14, "Factura.fmt");
  linea(15, "Remision.fmt");
  linea(16, "Pedido.fmt");
  linea(17, "CajaChica.fmt");
  linea(18, "MovInven.fmt");
  linea(20, "CuePagar.fmt");
  linea(21, "S");  // a sale may exceed the stock on hand
  linea(24, "Inventar.fmt");
  linea(25, "Proveedo.fmt");
  linea(28, "Recepcion.fmt");
  linea(29, "OrdenCompra.fmt");
  linea(30, "DevolCompra.fmt");
  for (int n : {33, 34, 35, 36, 37, 38}) linea(n, "N");
  linea(41, "S");  // stock may go negative
  linea(42, "2");  // decimals shown in amounts
  for (int n : {43, 44}) linea(n, "N");
  linea(45, "0");  // no rounding of totals
  for (int n : {46, 47}) linea(n, "N");
  for (int n = 48; n <= 58; ++n) linea(n, "N");
  for (int n : {61, 62, 64}) linea(n, "N");
  linea(65, "S");  // highlighted view
  for (int n : {66, 67, 68}) linea(n, "cucobrar");
  linea(69, "N");
  linea(70, "100");  // lines of a point-of-sale document
  linea(71, "N");
  linea(72, "0");
  return l;
}

std::vector<std::string> lineasIndices() {
  std::vector<std::string> l;
  for (const auto& t : tablasEmpresa())
    for (const auto& tag : t.indices) l.push_back(t.archivoMinusculas() + "," + tag.name + "," + tag.key);
  return l;
}

}  // namespace mostrador::store
