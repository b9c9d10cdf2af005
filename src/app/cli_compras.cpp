// The purchases command of mostrador-cli: receipts, orders and returns from a document
// file, their modification, cancellation and deletion, the suggested order and the
// order-file import.

#include <iostream>

#include "app/cli_comun.h"
#include "base/fechas.h"
#include "base/numeros.h"
#include "base/texto.h"
#include "base/texto_util.h"
#include "inventory/compras.h"

namespace mostrador::app::cli {

namespace {

inventory::AjustesCompras ajustesCompras(const Argumentos& a, Instalacion& in) {
  const std::vector<std::string> lineas = lineasConfiguracion(a, in);
  inventory::AjustesCompras r = inventory::ajustesComprasDe(lineas);
  const bool catalogoAparte = lineas.size() >= 59 && !base::recortaBlancos(lineas[58]).empty();
  r.dirDatos = datosExistentes(in);
  if (!catalogoAparte) r.dirCatalogo = r.dirDatos;
  r.nombreUsuario = "mostrador-cli";
  return r;
}

std::vector<std::string> leeDocumento(const std::string& ruta) {
  auto l = base::leeLineas(ruta);
  if (!l) throw std::runtime_error("El Archivo " + ruta + " No Existe");
  return *l;
}

// Every bad line in one message: nothing is saved.
void rechaza(const std::vector<std::string>& errores, const std::string& archivo) {
  if (errores.empty()) return;
  std::string m = archivo + ": ";
  for (size_t i = 0; i < errores.size(); ++i) m += (i ? "; " : "") + errores[i];
  throw std::runtime_error(m + "; no se guardó nada");
}

long long numeroDe(const std::string& t, const char* opcion) {
  char* fin = nullptr;
  const long long n = std::strtoll(t.c_str(), &fin, 10);
  if (t.empty() || *fin || n < 1) throw ErrorUso(std::string("--") + opcion + " lleva un número de documento: " + t);
  return n;
}

inventory::TipoCompra tipoDe(const Argumentos& a) {
  const auto t = a.opcion("tipo");
  if (!t) throw ErrorUso("indique --tipo Recepcion|Orden|Devolucion");
  const auto k = inventory::tipoCompraDe(*t);
  if (!k) throw ErrorUso("--tipo es Recepcion, Orden o Devolucion: " + *t);
  return *k;
}

std::string num(double v) { return base::Decimal::deDouble(base::redondea(v, 4)).texto(); }

void informa(const char* accion, inventory::TipoCompra t, const inventory::ResultadoCompra& r) {
  std::cout << inventory::nombreTipoCompra(t) << " " << r.numero << " " << accion;
  if (r.control || r.totales.total.diezmilesimos())
    std::cout << ": subtotal " << r.totales.subtotal.texto() << ", impuesto " << r.totales.impuesto.texto()
              << ", total " << r.totales.total.texto();
  std::cout << '\n';
}

}  // namespace

int cmdCompra(const Argumentos& a) {
  int acciones = 0;
  for (const char* o : {"alta", "modifica", "cancela", "elimina", "importa-pedido"}) acciones += a.opcion(o) ? 1 : 0;
  acciones += a.bandera("sugerido") ? 1 : 0;
  acciones += a.bandera("reposta") ? 1 : 0;
  if (acciones != 1)
    throw ErrorUso("indique una de --alta, --modifica, --cancela, --elimina, --sugerido, --importa-pedido o --reposta");
  if (a.bandera("maximo") && !a.bandera("sugerido")) throw ErrorUso("--maximo va con --sugerido");
  const bool conArchivo = a.opcion("modifica").has_value();
  if (a.posicionales.size() != (conArchivo ? 1u : 0u))
    throw ErrorUso(conArchivo ? "--modifica N lleva el archivo del documento" : "argumento de más: " + a.posicionales[0]);
  Instalacion in = localiza(a);
  const inventory::AjustesCompras aj = ajustesCompras(a, in);
  base::RelojSistema reloj;

  if (a.opcion("alta") || conArchivo) {
    const std::string archivo = conArchivo ? a.posicionales[0] : *a.opcion("alta");
    const inventory::LecturaCompra l = inventory::leeArchivoCompra(leeDocumento(archivo));
    rechaza(l.errores, archivo);
    const inventory::ResultadoCompra r =
        conArchivo ? inventory::modificaCompra(aj, numeroDe(*a.opcion("modifica"), "modifica"), l.documento, reloj)
                   : inventory::guardaCompra(aj, l.documento, reloj);
    if (!r.hecho) throw std::runtime_error(r.mensaje);
    informa(conArchivo ? "modificada" : "guardada", l.documento.tipo, r);
    return 0;
  }
  if (auto n = a.opcion("cancela")) {
    const inventory::TipoCompra t = tipoDe(a);
    const inventory::ResultadoCompra r = inventory::cancelaCompra(aj, t, numeroDe(*n, "cancela"), {}, reloj);
    if (!r.hecho) throw std::runtime_error(r.mensaje);
    informa("cancelada", t, r);
    return 0;
  }
  if (auto n = a.opcion("elimina")) {
    const inventory::TipoCompra t = tipoDe(a);
    const inventory::ResultadoCompra r = inventory::eliminaCompra(aj, t, numeroDe(*n, "elimina"), {});
    if (!r.hecho) throw std::runtime_error(r.mensaje);
    informa("eliminada", t, r);
    return 0;
  }
  if (a.bandera("reposta")) {
    // The command line works as the administrator.
    inventory::AjustesCompras admin = aj;
    admin.usuario = "0";
    const inventory::Reposteo r = inventory::repostaCompras(admin, in.sistema);
    if (!r.hecho) throw std::runtime_error(r.mensaje);
    for (long long n : r.documentos) std::cout << "Recepción " << n << " reposteada\n";
    std::cout << base::recortaBlancos(r.mensaje) << '\n';
    return 0;
  }
  const std::string proveedor = a.opcion("proveedor").value_or("");
  if (a.bandera("sugerido")) {
    const inventory::Sugerido s = inventory::pedidoSugerido(aj, proveedor, a.bandera("maximo"));
    if (!s.mensaje.empty()) throw std::runtime_error(s.mensaje);
    for (const inventory::PartidaCompra& p : s.partidas)
      std::cout << p.clave << '\t' << p.descripcion << '\t' << num(p.cantidad) << '\t' << num(p.costo) << '\n';
    std::cout << s.partidas.size() << " partida(s)\n";
    return 0;
  }
  const std::string archivo = *a.opcion("importa-pedido");
  if (base::recortaBlancos(proveedor).empty()) throw std::runtime_error(std::string(inventory::kFaltoProveedor));
  const inventory::LecturaPedido l = inventory::importaPedido(aj, leeDocumento(archivo));
  rechaza(l.errores, archivo);
  inventory::DocumentoCompra d;
  d.tipo = inventory::TipoCompra::Orden;
  d.proveedor = proveedor;
  if (auto f = a.opcion("fecha")) {
    const auto x = base::leeFechaCorta(*f);
    if (!x) throw ErrorUso("--fecha no es una fecha dd/MM/aaaa: " + *f);
    d.fecha = base::fechaCorta(*x);
  } else {
    d.fecha = base::fechaCorta(reloj.ahora().fecha);
  }
  d.partidas = l.partidas;
  const inventory::ResultadoCompra r = inventory::guardaCompra(aj, d, reloj);
  if (!r.hecho) throw std::runtime_error(r.mensaje);
  informa("guardada", d.tipo, r);
  return 0;
}

}  // namespace mostrador::app::cli
