// The inventory commands of mostrador-cli: movements, kardex, recounts and the count.

#include <iostream>
#include <sstream>

#include "app/cli_comun.h"
#include "base/fechas.h"
#include "base/numeros.h"
#include "base/rutas.h"
#include "base/texto.h"
#include "inventory/ajuste.h"
#include "inventory/kardex.h"
#include "inventory/movimientos.h"
#include "store/dbf/dbf_table.h"

namespace mostrador::app::cli {

namespace {

inventory::AjustesMovimientos ajustes(const Argumentos& a, Instalacion& in) {
  const std::vector<std::string> lineas = lineasConfiguracion(a, in);
  inventory::AjustesMovimientos r = inventory::ajustesDe(lineas);
  // The data directory found is the one worked on; the catalogue follows line 59.
  const bool catalogoAparte = lineas.size() >= 59 && !lineas[58].empty();
  r.dirDatos = datosExistentes(in);
  if (!catalogoAparte) r.dirCatalogo = r.dirDatos;
  return r;
}

bool integrados(const Argumentos& a, const Instalacion& in) {
  const std::vector<std::string> l = lineasConfiguracion(a, in);
  return l.size() >= 6 && l[5] == "SI";
}

std::vector<std::string> leeArchivo(const std::string& ruta) {
  auto l = base::leeLineas(ruta);
  if (!l) throw std::runtime_error("El Archivo " + ruta + " No Existe");
  return *l;
}

std::optional<base::Fecha> fecha(const Argumentos& a, const std::string& n) {
  auto t = a.opcion(n);
  if (!t) return std::nullopt;
  auto f = base::leeFechaCorta(*t);
  if (!f) throw ErrorUso("--" + n + " no es una fecha dd/MM/aaaa: " + *t);
  return f;
}

std::string num(double v, int decimales = 2) {
  return base::Decimal::deDouble(base::redondea(v, decimales)).redondeado(decimales).texto();
}

class Reloj : public base::RelojSistema {};

// Every bad line on stderr; the command then fails.
void rechazaErrores(const std::vector<std::string>& errores, const std::string& archivo) {
  if (errores.empty()) return;
  for (const std::string& e : errores) std::cerr << archivo << ": " << e << '\n';
  throw std::runtime_error(std::to_string(errores.size()) + " línea(s) con errores en " + archivo +
                           "; no se guardó nada");
}

}  // namespace

int cmdMovimientos(const Argumentos& a) {
  int acciones = 0;
  for (const char* o : {"alta", "importa", "borra-concepto", "totales"}) acciones += a.opcion(o) ? 1 : 0;
  acciones += a.bandera("corte") ? 1 : 0;
  if (acciones != 1) throw ErrorUso("indique una de --alta, --importa, --borra-concepto, --totales o --corte");
  Instalacion in = localiza(a);
  inventory::AjustesMovimientos aj = ajustes(a, in);
  Reloj reloj;
  if (auto f = a.opcion("alta")) {
    const inventory::LecturaMovimiento l = inventory::leeArchivoAlta(leeArchivo(*f));
    rechazaErrores(l.errores, *f);
    const inventory::ResultadoMovimiento r = inventory::guardaMovimiento(aj, l.documento, reloj);
    if (!r.guardado) throw std::runtime_error(r.mensaje);
    std::cout << "Movimiento " << r.numero << " guardado: " << r.lineas << " partida(s)";
    if (r.numeroDestino) std::cout << "; traspaso " << r.numeroDestino << " en el destino";
    std::cout << '\n';
    return 0;
  }
  if (auto f = a.opcion("importa")) {
    const std::string hoy = base::fechaCorta(fecha(a, "fecha").value_or(reloj.ahora().fecha));
    const inventory::LecturaImportacion l = inventory::leeArchivoMovimientos(leeArchivo(*f), hoy);
    rechazaErrores(l.errores, *f);
    if (l.documentos.empty()) throw std::runtime_error("No Existe ningun Movimiento...");
    for (const inventory::DocumentoMovimiento& d : l.documentos) {
      const inventory::ResultadoMovimiento r = inventory::guardaMovimiento(aj, d, reloj);
      if (!r.guardado) throw std::runtime_error("tipo " + std::to_string(d.tipo) + ": " + r.mensaje);
      std::cout << "Movimiento " << r.numero << " (tipo " << d.tipo << "): " << r.lineas << " partida(s)\n";
    }
    return 0;
  }
  if (auto n = a.opcion("borra-concepto")) {
    char* fin = nullptr;
    const long tipo = std::strtol(n->c_str(), &fin, 10);
    if (n->empty() || *fin) throw ErrorUso("--borra-concepto lleva un número de concepto: " + *n);
    const std::string m = inventory::borraConcepto(aj.dirDatos, static_cast<int>(tipo));
    if (!m.empty()) throw std::runtime_error(m);
    std::cout << "Concepto " << tipo << " borrado\n";
    return 0;
  }
  if (auto clave = a.opcion("totales")) {
    std::cout << inventory::totalesProducto(aj, *clave).linea << '\n';
    return 0;
  }
  Progreso p("Corte de inventario");
  const long n = inventory::corteInventario(aj, [&p](long h, long t) { p.avanza(h, t); });
  std::cout << n << " borrados\n";
  return 0;
}

int cmdKardex(const Argumentos& a) {
  if (a.posicionales.size() != 1) throw ErrorUso("indique la clave del producto");
  const std::string formato = a.opcion("formato").value_or("texto");
  if (formato != "texto" && formato != "tsv") throw ErrorUso("--formato es texto o tsv");
  Instalacion in = localiza(a);
  inventory::AjustesMovimientos aj = ajustes(a, in);
  inventory::OpcionesKardex o;
  o.desde = fecha(a, "desde");
  o.hasta = fecha(a, "hasta");
  o.integrados = integrados(a, in);
  o.dirMovimientos = aj.dirCatalogo;
  const std::string& clave = a.posicionales[0];
  const inventory::Kardex k = a.bandera("documentos") ? inventory::kardexDocumentos(aj.dirDatos, clave, o)
                                                      : inventory::kardexDiario(aj.dirDatos, clave, o);
  // Running average: the weighted cost of the entries with a cost so far.
  double s = 0, promedio = 0;
  const char sep = formato == "tsv" ? '\t' : ' ';
  if (formato == "tsv") std::cout << "Fecha\tReferencia\tTipo\tEntrada\tSalida\tExistencia\tCosto\tPromedio\n";
  for (const inventory::FilaKardex& f : k.filas) {
    const double antes = f.kardex - f.cantidad;
    if (f.cantidad > 0 && f.costo > 0) {
      promedio = inventory::costoPromedio("", antes, promedio, f.cantidad, f.costo);
    }
    s = f.kardex;
    std::ostringstream l;
    const std::string ref = std::to_string(f.documento) + (f.referencia.empty() ? "" : "/" + f.referencia);
    if (formato == "tsv") {
      l << f.fecha << sep << ref << sep << f.tipo << sep << (f.cantidad > 0 ? num(f.cantidad, 3) : "") << sep
        << (f.cantidad < 0 ? num(-f.cantidad, 3) : "") << sep << num(s, 3) << sep << num(f.costo, 4) << sep
        << num(promedio, 4);
    } else {
      char b[200];
      std::snprintf(b, sizeof b, "%-10s %-16s %3d %12s %12s %12s %12s %12s", f.fecha.c_str(), ref.c_str(), f.tipo,
                    f.cantidad > 0 ? num(f.cantidad, 3).c_str() : "", f.cantidad < 0 ? num(-f.cantidad, 3).c_str() : "",
                    num(s, 3).c_str(), num(f.costo, 4).c_str(), num(promedio, 4).c_str());
      l << b;
    }
    std::cout << l.str() << '\n';
  }
  if (formato == "tsv")
    std::cout << "Totales\t\t\t" << num(k.entradas, 3) << '\t' << num(k.salidas, 3) << '\t' << num(k.existencia, 3)
              << "\t\t\n";
  else
    std::cout << inventory::lineaTotales(k) << '\n';
  return 0;
}

int cmdRecalcula(const Argumentos& a) {
  Instalacion in = localiza(a);
  inventory::AjustesMovimientos aj = ajustes(a, in);
  inventory::OpcionesKardex o;
  o.integrados = integrados(a, in);
  o.dirMovimientos = aj.dirCatalogo;
  Progreso p("Recálculo de existencias");
  auto avance = [&p](long h, long t) { p.avanza(h, t); };
  if (a.bandera("revisa")) {
    for (const std::string& l : inventory::revisaExistencias(aj, o)) std::cout << l << '\n';
    return 0;
  }
  if (a.bandera("segun-existencias")) {
    Reloj reloj;
    const long n = inventory::ajustaSegunExistencias(aj, o, reloj, avance);
    std::cout << n << " movimiento(s) de ajuste\n";
    return 0;
  }
  std::cout << "Total de Ajustados " << inventory::ajustaSegunKardex(aj, o, avance) << '\n';
  return 0;
}

// "--filtra clave:A:M,linea:ABA:ABA,proveedor:P1:P9,ajuste" (any of them).
inventory::FiltroAjuste leeFiltro(const std::string& t) {
  inventory::FiltroAjuste f;
  size_t i = 0;
  for (;;) {
    const size_t j = t.find(',', i);
    const std::string parte = t.substr(i, j == std::string::npos ? std::string::npos : j - i);
    if (parte == "ajuste") {
      f.soloConAjuste = true;
    } else {
      const size_t a = parte.find(':'), b = a == std::string::npos ? a : parte.find(':', a + 1);
      if (b == std::string::npos) throw ErrorUso("--filtra: se espera campo:de:hasta o ajuste, no " + parte);
      std::pair<std::string, std::string> rango{parte.substr(a + 1, b - a - 1), parte.substr(b + 1)};
      const std::string campo = parte.substr(0, a);
      if (campo == "clave") f.clave = rango;
      else if (campo == "linea") f.linea = rango;
      else if (campo == "proveedor") f.proveedor = rango;
      else throw ErrorUso("--filtra: campo desconocido: " + campo);
    }
    if (j == std::string::npos) break;
    i = j + 1;
  }
  if (inventory::textoFiltro(f) == inventory::kFaltanDatosFiltro)
    throw ErrorUso(std::string(inventory::kFaltanDatosFiltro));
  return f;
}

int cmdAjuste(const Argumentos& a) {
  if (a.posicionales.size() != 1) throw ErrorUso("indique el archivo de conteo (clave,cantidad por línea)");
  if (a.bandera("reales") && !a.bandera("aplica")) throw ErrorUso("--reales va con --aplica");
  std::optional<inventory::FiltroAjuste> filtro;
  if (auto t = a.opcion("filtra")) filtro = leeFiltro(*t);
  if (filtro && a.bandera("reales")) throw ErrorUso("--reales reinicia toda la historia: no va con --filtra");
  Instalacion in = localiza(a);
  inventory::AjustesMovimientos aj = ajustes(a, in);
  const std::vector<std::string> lineas = leeArchivo(a.posicionales[0]);
  inventory::creaHojaAjuste(aj);
  const std::vector<std::string> errores = inventory::importaConteo(aj, lineas);
  for (const std::string& e : errores) std::cerr << a.posicionales[0] << ": " << e << '\n';
  inventory::calculaVariacion(aj);
  for (const inventory::FilaAjuste& f : inventory::leeHojaAjuste(aj)) {
    if (f.ajuste == 0 || (filtro && !inventory::cumpleFiltro(*filtro, f))) continue;
    std::cout << f.clave << '\t' << num(f.teorico) << '\t' << num(f.reales) << '\t' << num(f.ajuste) << '\n';
  }
  if (a.bandera("aplica")) {
    Reloj reloj;
    const inventory::ResultadoMovimiento r =
        inventory::ajustaHoja(aj, a.bandera("reales"), reloj, filtro ? &*filtro : nullptr);
    if (!r.guardado) throw std::runtime_error(r.mensaje);
    std::cout << "Movimiento " << r.numero << " de ajuste: " << r.lineas << " partida(s)\n";
  }
  return errores.empty() ? 0 : 1;
}

}  // namespace mostrador::app::cli
