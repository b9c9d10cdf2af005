// The till command of mostrador-cli: the day's cuts for a cron job, cash in and out of
// the drawer, and the paid and unpaid documents of a till, over the same engines as the
// sales screens.

#include <iostream>

#include "app/cli_comun.h"
#include "base/fechas.h"
#include "base/interaccion.h"
#include "base/numeros.h"
#include "base/reloj.h"
#include "base/texto_util.h"
#include "sales/ajustes.h"
#include "sales/caja.h"
#include "sales/reportes_venta.h"
#include "store/catalogo.h"

namespace mostrador::app::cli {

extern const char* const kAyudaCaja =
    "Uso: mostrador-cli caja (--corte-z [--resumen] | --corte | --ventas-por-caja) --desde dd/MM/aaaa\n"
    "        --hasta dd/MM/aaaa [--formato texto|tsv]\n"
    "     mostrador-cli caja --retiro CANTIDAD --concepto TEXTO [--entrada] [--fecha dd/MM/aaaa]\n"
    "        [--caja N] [--vendedor CLAVE]\n"
    "     mostrador-cli caja --lista [--entrada] [--fecha dd/MM/aaaa]\n"
    "     mostrador-cli caja (--pagados N | --no-pagados N) [--documento Factura|Remision|...]\n"
    "     [--datos DIR | --empresa N] [--sistema DIR]\n"
    "--corte-z escribe el corte Z de las fechas: remisiones, facturadas desde remisión,\n"
    "facturas directas, canceladas, devoluciones, retiros y entradas con el resumen de caja al\n"
    "final (--resumen: el resumen bajo el título). --corte es el corte de caja por documento y\n"
    "--ventas-por-caja las ventas de cada caja, de facturas y devoluciones.\n"
    "--retiro saca CANTIDAD de la caja con su concepto (con --entrada la mete) y escribe el\n"
    "número del movimiento; la caja y el vendedor son los del primer registro de caja.cnf\n"
    "salvo --caja y --vendedor; la fecha es hoy salvo --fecha. --lista escribe los retiros (o\n"
    "las entradas) del día y su suma. --pagados y --no-pagados listan los documentos pagados\n"
    "en la caja N o sin pagar (Remision por omisión). Para cron:\n"
    "  0 22 * * * mostrador-cli caja --corte-z --empresa 1 --desde $(date +%d/%m/%Y) --hasta $(date +%d/%m/%Y)\n";

namespace {

base::Fecha fecha(const Argumentos& a, const std::string& nombre, const base::Reloj& reloj) {
  auto t = a.opcion(nombre);
  if (!t) return reloj.ahora().fecha;
  auto f = base::leeFechaCorta(*t);
  if (!f) throw ErrorUso("--" + nombre + " no es una fecha dd/MM/aaaa: " + *t);
  return *f;
}

store::Documento documento(const Argumentos& a) {
  auto t = a.opcion("documento");
  if (!t) return store::Documento::Remision;
  for (const auto& d : store::documentos())
    if (!d.compra && (base::minusculasAscii(std::string(d.encabezado)) == base::minusculasAscii(*t + ".dbf") ||
                      base::minusculasAscii(std::string(d.nombre)) == base::minusculasAscii(*t)))
      return d.documento;
  throw ErrorUso("documento desconocido: " + *t);
}

int imprime(const std::optional<sales::HojaVenta>& h, const std::string& formato) {
  if (!h) throw std::runtime_error("el reporte no se generó");
  if (formato == "tsv") {
    for (const auto& l : h->tabuladas) std::cout << l << '\n';
  } else {
    for (const auto& l : h->lineas) std::cout << l.texto << '\n';
  }
  return 0;
}

}  // namespace

int cmdCaja(const Argumentos& a) {
  if (!a.posicionales.empty()) throw ErrorUso("argumento de más: " + a.posicionales.front());
  int ordenes = 0;
  for (const char* b : {"corte-z", "corte", "ventas-por-caja", "lista"}) ordenes += a.bandera(b) ? 1 : 0;
  for (const char* o : {"retiro", "pagados", "no-pagados"}) ordenes += a.opcion(o) ? 1 : 0;
  if (ordenes != 1)
    throw ErrorUso("indique una de --corte-z, --corte, --ventas-por-caja, --retiro, --lista, --pagados, --no-pagados");
  const std::string formato = a.opcion("formato").value_or("texto");
  if (formato != "texto" && formato != "tsv") throw ErrorUso("--formato es texto o tsv");
  if (a.bandera("resumen") && !a.bandera("corte-z")) throw ErrorUso("--resumen va con --corte-z");
  if (a.opcion("concepto") && !a.opcion("retiro")) throw ErrorUso("--concepto va con --retiro");
  if (a.bandera("entrada") && !a.opcion("retiro") && !a.bandera("lista"))
    throw ErrorUso("--entrada va con --retiro o --lista");

  Instalacion in = localiza(a);
  if (in.sistema.empty()) in.sistema = in.datos;
  const std::string& datos = datosExistentes(in);
  const sales::AjustesVenta aj = sales::leeAjustes(in.sistema, lineasConfiguracion(a, in));
  base::InteraccionSinUsuario consola(&std::cerr);
  base::RelojSistema reloj;
  const sales::ModoEfectivo modo = a.bandera("entrada") ? sales::ModoEfectivo::Entrada : sales::ModoEfectivo::Salida;

  if (auto r = a.opcion("retiro")) {
    auto cantidad = base::leeNumero(*r);
    if (!cantidad || *cantidad <= 0) throw ErrorUso("--retiro necesita una cantidad mayor que cero: " + *r);
    auto concepto = a.opcion("concepto");
    if (!concepto) throw ErrorUso("--retiro necesita --concepto TEXTO");
    sales::NuevoEfectivo n{*cantidad,        *concepto,
                           fecha(a, "fecha", reloj), reloj.ahora().hora,
                           a.opcion("caja").value_or(aj.caja), a.opcion("vendedor").value_or(aj.vendedorCaja)};
    auto numero = sales::registraEfectivo(datos, modo, n, consola);
    if (!numero) throw std::runtime_error("el movimiento no se guardó");
    std::cout << (modo == sales::ModoEfectivo::Entrada ? "Entrada " : "Retiro ") << *numero << ": "
              << base::formateaMascara(*cantidad, "0.00") << " " << *concepto << '\n';
    return 0;
  }
  if (a.bandera("lista")) {
    const auto v = sales::movimientosEfectivo(datos, modo, fecha(a, "fecha", reloj));
    for (const auto& m : v) {
      if (formato == "tsv")
        std::cout << m.numero << '\t' << m.fecha << '\t' << m.hora << '\t' << base::formateaMascara(m.cantidad, "0.00")
                  << '\t' << m.concepto << '\t' << m.caja << '\t' << m.vendedor << '\n';
      else
        std::cout << m.numero << "  " << m.hora << "  " << base::formateaMascara(m.cantidad, "0.00") << "  "
                  << m.concepto << '\n';
    }
    std::cout << sales::etiquetaRetiros(sales::sumaEfectivo(v)) << '\n';
    return 0;
  }

  sales::PeticionReporteVenta p;
  p.documento = documento(a);
  p.impuestoIncluido = aj.impuestoIncluido;
  if (auto n = a.opcion("pagados")) {
    p.comando = "DocumentosPagados1";
    p.caja = *n;
  } else if (auto m = a.opcion("no-pagados")) {
    p.comando = "DocumentosnoPagados1";
    p.caja = *m;
  } else {
    if (!a.opcion("desde") || !a.opcion("hasta")) throw ErrorUso("el corte necesita --desde y --hasta");
    p.desde = fecha(a, "desde", reloj);
    p.hasta = fecha(a, "hasta", reloj);
    p.comando = a.bandera("corte-z") ? (a.bandera("resumen") ? "CorteZRESUMEN1" : "CorteZ1")
                : a.bandera("corte") ? "CortedeCaja1"
                                     : "VentasporCaja1";
  }
  return imprime(sales::reporteVenta(p, in.sistema, datos, consola, reloj), formato);
}

}  // namespace mostrador::app::cli
