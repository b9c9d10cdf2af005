// mostrador-cli: the company tables from a terminal or a cron job, over the same engines
// as the screens. Exit code 0 on success; on failure one line on stderr and 1 (2 for a
// usage error).

#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <functional>
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "base/rutas.h"
#include "base/texto.h"
#include "store/dbf/dbf_table.h"
#include "store/dbf/verificacion.h"
#include "store/sql/sql.h"
#include "store/demo.h"
#include "session/empresa_nueva.h"
#include "store/mantenimiento/reindexado.h"
#include "store/mantenimiento/reparacion.h"
#include "store/mantenimiento/respaldo.h"
#include "store/mantenimiento/tablas_exclusivas.h"
#include "base/bitacora.h"
#include "base/interaccion.h"
#include "base/programas.h"
#include "base/reloj.h"
#include "session/configuracion.h"
#include "session/usuarios.h"
#include "query/consulta_espanol.h"
#include "printing/entorno_sesion.h"
#include "session/sesion.h"
#include "shell/arranque.h"
#include "inventory/movimientos.h"
#include "app/cli_comun.h"
#include "printing/motor_formatos.h"
#include "printing/registro_vista_previa.h"
#include "printing/tabla_dbf.h"
#include "store/bitacora_motor.h"
#include "sales/reportes_venta.h"
#include "accounts/reportes_clientes.h"
#include "accounts/vendedores.h"
#include "accounts/reportes_proveedores.h"
#include "inventory/compras.h"
#include "inventory/reportes_compras.h"
#include "base/fechas.h"
#include "store/catalogo.h"
#include "ui/impresora_cups.h"
#include "ui/impresora_qt.h"

#include <QApplication>

namespace mostrador::app::cli {

// The till command (cli_caja.cpp).
int cmdCaja(const Argumentos& a);
extern const char* const kAyudaCaja;

Argumentos analiza(int argc, char** argv, int desde, const std::vector<std::string>& conValor) {
  Argumentos a;
  for (int i = desde; i < argc; ++i) {
    std::string s = argv[i];
    if (s.rfind("--", 0) == 0 && s.size() > 2) {
      std::string n = s.substr(2);
      if (auto eq = n.find('='); eq != std::string::npos) {
        a.opciones[n.substr(0, eq)] = n.substr(eq + 1);
        continue;
      }
      bool lleva = false;
      for (const auto& c : conValor) lleva = lleva || c == n;
      if (lleva) {
        if (i + 1 >= argc) throw ErrorUso("falta el valor de --" + n);
        a.opciones[n] = argv[++i];
      } else {
        a.banderas[n] = true;
      }
    } else {
      a.posicionales.push_back(s);
    }
  }
  return a;
}

Instalacion localiza(const Argumentos& a) {
  Instalacion r;
  if (auto s = a.opcion("sistema")) r.sistema = *s;
  if (auto d = a.opcion("datos")) r.datos = *d;
  if (!r.datos.empty()) {
    if (!r.sistema.empty()) store::registraEventosDelMotor(r.sistema);
    return r;
  }
  const std::string ini = "c:\\TVK\\talvek.ini";
  std::optional<std::vector<std::string>> lineas = base::leeLineas(ini);
  if (r.sistema.empty()) {
    if (!lineas || lineas->empty())
      throw std::runtime_error("no se encontró el archivo de inicio " + ini +
                               "; indique --sistema y --datos");
    r.sistema = (*lineas)[0];
  }
  std::string configuracion;
  if (auto e = a.opcion("empresa"))
    configuracion = base::une(r.sistema, "Gener" + *e + ".cnf");
  else if (lineas && lineas->size() >= 2)
    configuracion = (*lineas)[1];
  if (configuracion.empty())
    throw std::runtime_error("no hay empresa elegida; indique --empresa N o --datos");
  auto l8 = base::leeLinea(configuracion, 8);
  if (!l8) throw std::runtime_error("El Archivo " + configuracion + " No Existe");
  if (l8->empty()) throw std::runtime_error("la línea 8 de " + configuracion + " está vacía");
  r.datos = *l8;
  store::registraEventosDelMotor(r.sistema);
  return r;
}

// A night run would report "0 con problemas" for ever over a mistyped path.
const std::string& datosExistentes(const Instalacion& in) {
  if (!base::esDirectorio(in.datos))
    throw std::runtime_error("no existe el directorio de datos " + in.datos);
  return in.datos;
}

std::vector<std::string> lineasConfiguracion(const Argumentos& a, const Instalacion& in) {
  std::string archivo;
  if (auto e = a.opcion("empresa")) archivo = base::une(in.sistema, "Gener" + *e + ".cnf");
  else if (auto l = base::leeLineas("c:\\TVK\\talvek.ini"); l && l->size() >= 2 && !a.opcion("datos")) archivo = (*l)[1];
  else {
    // The company whose configuration names this data directory, in the system directory
    // given or in the station's.
    std::vector<std::string> sistemas;
    if (!in.sistema.empty()) sistemas.push_back(in.sistema);
    if (auto l = base::leeLinea("c:\\TVK\\talvek.ini", 1); l && !l->empty()) sistemas.push_back(*l);
    for (const std::string& sistema : sistemas)
      for (int n = 1; n <= 99 && archivo.empty(); ++n) {
        const std::string c = base::une(sistema, "Gener" + std::to_string(n) + ".cnf");
        if (auto l8 = base::leeLinea(c, 8); l8 && base::resuelve(*l8) == base::resuelve(in.datos)) archivo = c;
      }
  }
  if (archivo.empty()) return {};
  return base::leeLineas(archivo).value_or(std::vector<std::string>{});
}

}  // namespace mostrador::app::cli

namespace {

using namespace mostrador;
using namespace mostrador::app::cli;

std::string tipoTexto(const dbf::FieldDef& f) {
  std::ostringstream o;
  o << f.name << '\t' << f.type << '\t' << f.length << '\t' << f.decimals;
  return o.str();
}

int cmdTablas(const Argumentos& a) {
  Instalacion in = localiza(a);
  for (const std::string& nombre : dbf::Table::listTables(in.datos)) {
    dbf::Table t;
    try {
      t.open(in.datos, nombre);
    } catch (const dbf::Error& e) {
      std::cout << nombre << "\t-\t" << e.what() << '\n';
      continue;
    }
    std::cout << nombre << '\t' << t.recordCount();
    std::string etiquetas;
    for (const auto& tag : t.tags()) etiquetas += (etiquetas.empty() ? "" : ",") + tag.name;
    std::cout << '\t' << etiquetas;
    if (!t.indexProblem().empty()) std::cout << '\t' << t.indexProblem();
    std::cout << '\n';
  }
  return 0;
}

int cmdDescribe(const Argumentos& a) {
  if (a.posicionales.size() != 1) throw ErrorUso("describe necesita el nombre de una tabla");
  Instalacion in = localiza(a);
  dbf::Table t;
  t.open(in.datos, a.posicionales[0]);
  std::cout << "CAMPO\tTIPO\tTAMAÑO\tDECIMALES\n";
  for (const auto& f : t.fieldDefs()) std::cout << tipoTexto(f) << '\n';
  std::cout << "\nINDICE\tCLAVE\n";
  for (const auto& tag : t.tags()) std::cout << tag.name << '\t' << tag.key << '\n';
  if (!t.indexProblem().empty()) std::cout << "\n" << t.indexProblem() << '\n';
  return 0;
}

void imprimeFila(const dbf::Cursor& c) {
  const size_t n = c.fieldDefs().size();
  for (size_t i = 0; i < n; ++i) {
    if (i) std::cout << '\t';
    std::cout << c.asText(static_cast<int>(i));
  }
  std::cout << '\n';
}

void imprimeEncabezado(const dbf::Cursor& c) {
  bool primero = true;
  for (const auto& f : c.fieldDefs()) {
    std::cout << (primero ? "" : "\t") << f.name;
    primero = false;
  }
  std::cout << '\n';
}

int cmdMuestra(const Argumentos& a) {
  if (a.posicionales.size() != 1) throw ErrorUso("muestra necesita el nombre de una tabla");
  Instalacion in = localiza(a);
  dbf::Table t;
  t.open(in.datos, a.posicionales[0]);
  if (auto tag = a.opcion("indice")) t.setIndex(*tag);
  long limite = -1;
  if (auto l = a.opcion("limite")) {
    char* fin = nullptr;
    limite = std::strtol(l->c_str(), &fin, 10);
    if (!fin || *fin || limite < 0) throw ErrorUso("--limite necesita un número");
  }
  if (auto desde = a.opcion("desde")) {
    if (t.index().empty()) throw ErrorUso("--desde necesita --indice");
    t.findNearest({dbf::KeyValue{*desde}});
  } else {
    t.first();
  }
  imprimeEncabezado(t);
  for (long n = 0; !t.eof() && (limite < 0 || n < limite); ++n, t.next()) imprimeFila(t);
  return 0;
}

// The text given on the command line, or the lines of --archivo joined by `union`.
std::string textoOArchivo(const Argumentos& a, std::string_view union_, const std::string& ambas,
                          const std::string& falta) {
  if (auto archivo = a.opcion("archivo")) {
    if (!a.posicionales.empty()) throw ErrorUso(ambas);
    auto lineas = base::leeLineas(*archivo);
    if (!lineas) throw std::runtime_error("El Archivo " + *archivo + " No Existe");
    std::string texto;
    for (const auto& l : *lineas) texto += (texto.empty() ? "" : std::string(union_)) + l;
    return texto;
  }
  if (a.posicionales.size() == 1) return a.posicionales[0];
  throw ErrorUso(falta);
}

// Runs a statement: a SELECT prints its rows, anything else how many rows it changed.
int ejecutaSentencia(sql::BaseSql& base, const std::string& sentencia) {
  if (!sql::devuelveFilas(sentencia)) {
    const long n = base.ejecuta(sentencia);
    std::cout << n << (n == 1 ? " fila afectada\n" : " filas afectadas\n");
    return 0;
  }
  auto r = base.consulta(sentencia);
  imprimeEncabezado(*r);
  for (r->first(); !r->eof(); r->next()) imprimeFila(*r);
  return 0;
}

int cmdSql(const Argumentos& a) {
  const std::string sentencia = textoOArchivo(a, " ", "dé la sentencia o --archivo, no ambas",
                                              "sql necesita una sentencia o --archivo F");
  // Without a company the statement must name its tables by full path.
  std::string datos;
  if (a.opcion("datos") || a.opcion("empresa") || a.opcion("sistema") || base::existe("c:\\TVK\\talvek.ini")) {
    try {
      datos = localiza(a).datos;
    } catch (const std::exception&) {
      if (a.opcion("datos") || a.opcion("empresa")) throw;
    }
  }
  sql::BaseSql base(datos);
  return ejecutaSentencia(base, sentencia);
}

// A Spanish query: translated word by word, then run as "sql" runs a statement.
int cmdConsulta(const Argumentos& a) {
  // A query file of the console ("\report\*.sql") holds one line of the query per line.
  const std::string texto = textoOArchivo(a, "\n", "dé la consulta o --archivo, no ambas",
                                          "consulta necesita una consulta entre comillas o --archivo F");
  const std::string traduccion = query::traduceConsulta(texto);
  if (a.bandera("traduce")) {
    std::cout << traduccion << '\n';
    return 0;
  }
  sql::BaseSql base(localiza(a).datos);
  return ejecutaSentencia(base, traduccion);
}

// A new company: data directory with every table and index, system directory with the
// scratch tables, the users file and "Gener<N>.cnf", the shipped templates.
int cmdNuevaEmpresa(const Argumentos& a) {
  session::OpcionesEmpresa o;
  if (auto n = a.opcion("empresa")) {
    char* fin = nullptr;
    o.numero = static_cast<int>(std::strtol(n->c_str(), &fin, 10));
    if (!fin || *fin || o.numero < 1) throw ErrorUso("--empresa necesita un número mayor que 0");
  }
  auto sistema = a.opcion("sistema");
  if (!sistema) throw ErrorUso("nueva-empresa necesita --sistema DIR");
  o.dirSistema = *sistema;
  o.dirDatos = a.opcion("datos").value_or(base::une(*sistema, "Empresa" + std::to_string(o.numero)));
  // A demo company is the one the program makes on its first start: its name and its
  // three users (admin, caja, almacen), so that the README's keys open it.
  const bool demostracion = a.bandera("demo");
  if (auto n = a.opcion("nombre")) o.nombre = *n;
  else if (demostracion) o.nombre = std::string(shell::kNombreEmpresaDemo);
  o.claveAdministrador = a.opcion("clave").value_or(std::string(shell::kClaveAdministradorDemo));
  if (auto c = a.opcion("clave-empresa")) o.claveEmpresa = *c;
  if (base::existe(base::une(o.dirSistema, "Gener" + std::to_string(o.numero) + ".cnf")) &&
      !a.bandera("reemplaza"))
    throw std::runtime_error("la empresa " + std::to_string(o.numero) + " ya existe en " + o.dirSistema +
                             " (use --reemplaza para crearla de nuevo)");
  store::OpcionesDemo demo;
  if (auto t = a.opcion("tamano")) {
    if (*t == "pequeno") {
      demo.tamano = store::TamanoDemo::pequeno();
    } else if (*t == "mediano") {
      demo.tamano = store::TamanoDemo::mediano();
    } else if (*t == "grande") {
      demo.tamano = store::TamanoDemo::grande();
    } else {
      // A number of products; the rest keeps the proportions of the sizes above.
      char* fin = nullptr;
      const long n = std::strtol(t->c_str(), &fin, 10);
      if (!fin || *fin || n < 10 || n > 1000000)
        throw ErrorUso("--tamano: pequeno, mediano, grande o un número de productos (10 a 1000000)");
      auto& z = demo.tamano;
      z.productos = static_cast<int>(n);
      z.clientes = static_cast<int>(std::max(5L, n / 10));
      z.proveedores = static_cast<int>(std::max(3L, n / 300));
      z.vendedores = static_cast<int>(std::max(2L, std::min(20L, n / 500)));
      z.movimientos = n * 10;
      z.remisiones = static_cast<int>(std::max(5L, n / 25));
      z.facturas = static_cast<int>(std::max(3L, n / 50));
      z.compras = static_cast<int>(std::max(2L, n / 100));
    }
  }
  session::creaEmpresa(o);
  session::instalaPlantillas(session::directorioInstalacion(), o.dirSistema);
  std::cout << "Empresa " << o.numero << " creada: datos en " << o.dirDatos << ", sistema en " << o.dirSistema
            << '\n';
  if (demostracion) {
    // A fresh users file (the administrator alone) takes the demo's users; an
    // installation that already has its own keeps them.
    const auto usuarios = session::leeUsuarios(o.dirSistema);
    if (!usuarios || usuarios->size() <= 1) {
      std::vector<session::Usuario> u = shell::usuariosDemo();
      u[0].clave = o.claveAdministrador;
      session::escribeUsuarios(o.dirSistema, u);
    }
    Progreso p("datos de demostración");
    demo.avance = [&p](long hecho, long total) { p.avanza(hecho, total); };
    store::ResumenDemo r = store::generaDemo(o.dirDatos, demo);
    std::cout << "Demostración: " << r.productos << " productos, " << r.clientes << " clientes, " << r.movimientos
              << " movimientos\n";
  }
  return 0;
}

// Messages of a run without screens go to stderr; questions take their safe answer.
class InteraccionConsola : public base::InteraccionSinUsuario {
 public:
  using InteraccionSinUsuario::advertencia;
  InteraccionConsola() : InteraccionSinUsuario(&std::cerr) {}
  base::RespuestaAdvertencia advertencia(std::string_view pregunta, bool) override {
    std::cerr << pregunta << " (no)\n";
    return base::RespuestaAdvertencia::No;
  }
  base::RespuestaCerrar cerrar() override { return base::RespuestaCerrar::Descartar; }
};

// Positions a table on a key through a tag (the given one or the table's first).
void ponEnClave(dbf::Table& t, const std::string& nombre, const std::optional<std::string>& tag,
                const std::string& clave, bool rango) {
  if (tag) {
    t.setIndex(*tag);
  } else {
    auto tags = t.tags();
    if (tags.empty()) throw std::runtime_error("la tabla " + nombre + " no tiene índices");
    t.setIndex(tags.front().name);
  }
  if (rango) {
    t.setRange({dbf::KeyValue{clave}}, {dbf::KeyValue{clave}});
    return;
  }
  if (!t.findKey({dbf::KeyValue{clave}}))
    throw std::runtime_error("no se encontró la clave " + clave + " en " + nombre + " (índice " + t.index() + ")");
}

int cmdFormato(const Argumentos& a, int argc, char** argv) {
  if (a.posicionales.size() != 1) throw ErrorUso("formato necesita el archivo del formato");
  auto tabla = a.opcion("tabla");
  auto clave = a.opcion("clave");
  if (!tabla || !clave) throw ErrorUso("formato necesita --tabla T y --clave K");
  const bool preliminar = a.bandera("preliminar");
  auto pdf = a.opcion("pdf");
  if (preliminar == pdf.has_value()) throw ErrorUso("indique --preliminar o --pdf SALIDA.pdf");
  Instalacion in = localiza(a);
  if (in.sistema.empty()) in.sistema = a.opcion("sistema").value_or(in.datos);
  if (!base::existe(a.posicionales[0]))
    throw std::runtime_error("El Formato " + a.posicionales[0] + " No Existe");

  // The Qt printer draws without a display.
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  if (!std::getenv("XDG_RUNTIME_DIR")) {
    // Where Qt would put it anyway, made private first so that it does not complain.
    const std::string dir = "/tmp/runtime-" + std::to_string(getuid());
    mkdir(dir.c_str(), 0700);
    setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
  }
  QApplication app(argc, argv);

  dbf::Table encabezado, detalle;
  encabezado.open(in.datos, *tabla);
  ponEnClave(encabezado, *tabla, a.opcion("indice"), *clave, false);
  const std::string archivoDetalle = a.opcion("detalle").value_or(*tabla);
  detalle.open(in.datos, archivoDetalle);
  if (a.opcion("detalle")) ponEnClave(detalle, archivoDetalle, a.opcion("indice-detalle"), *clave, true);

  printing::TablaDbf fuenteEncabezado(encabezado, in.datos, *tabla);
  printing::TablaDbf fuenteDetalle(detalle, in.datos, archivoDetalle);
  base::ProcesosPosix procesos;
  InteraccionConsola consola;
  base::RelojSistema reloj;
  session::Sesion sesion(consola, reloj, procesos, std::string(base::kArchivoInicio));
  sesion.ponDirectorios(in.sistema, in.datos);
  printing::EntornoSesion entorno(sesion);
  std::unique_ptr<ImpresoraQt> impresora =
      pdf ? ImpresoraQt::aPdf(base::resuelve(*pdf).string()) : std::make_unique<ImpresoraQt>();
  ColaCups cola;
  printing::MotorFormatos motor(entorno, consola, reloj, *impresora, cola);
  printing::ResultadoFormato r =
      motor.ImprimeFormato(fuenteEncabezado, fuenteDetalle, a.posicionales[0], preliminar ? 'p' : 'i');
  if (!r.completo) throw std::runtime_error(r.error.empty() ? "el formato no terminó" : r.error);
  if (preliminar) {
    for (const auto& x : printing::leeRegistros(base::une(in.sistema, printing::kArchivoVistaPrevia)))
      std::cout << x.x << '\t' << x.y << '\t' << x.pagina << '\t' << x.tamano << '\t' << x.fuente << '\t'
                << x.color << '\t' << x.texto << '\n';
  } else {
    std::cout << "PDF escrito en " << base::resuelve(*pdf).string() << '\n';
  }
  return 0;
}

// A date option "dd/MM/yyyy"; nullopt when not given.
std::optional<base::Fecha> fechaOpcion(const Argumentos& a, const std::string& n) {
  auto t = a.opcion(n);
  if (!t) return std::nullopt;
  auto f = base::leeFechaCorta(*t);
  if (!f) throw ErrorUso("--" + n + " no es una fecha dd/MM/aaaa: " + *t);
  return f;
}

int cmdReporte(const Argumentos& a, int argc, char** argv) {
  sales::PeticionReporteVenta p;
  if (auto d = a.opcion("definicion")) {
    auto texto = base::leeBytes(*d);
    if (!texto) throw std::runtime_error("El Archivo " + *d + " No Existe");
    p.definicion = base::aUtf8(*texto);
    p.titulo = a.opcion("titulo").value_or("");
    p.campoDocumento = a.opcion("campo-documento").value_or("CLDOC_F");
    p.campoFecha = a.opcion("campo-fecha").value_or("FEDOC_F");
    p.tabla = a.opcion("tabla").value_or("");
  } else if (a.posicionales.size() == 1 && a.opcion("pantalla") && *a.opcion("pantalla") != "TFormaFactura") {
    // The same menu name on another screen: that screen's report.
    const std::string pantalla = *a.opcion("pantalla");
    const std::string nombre = a.posicionales[0];
    Instalacion in = localiza(a);
    const std::string datos = datosExistentes(in);
    std::optional<inventory::DefinicionReporte> d;
    if (pantalla == "TFormaVendedor") {
      d = accounts::reporteVendedor(nombre, datos, accounts::kTablaFacturasVendedores);
      if (auto o = accounts::origenReporteVendedor(nombre, accounts::kTablaFacturasVendedores)) {
        p.campoDocumento = o->campoDocumento;
        p.campoFecha = o->campoFecha;
        p.tabla = o->tabla;
      }
    } else if (pantalla == "TFormaClientes") {
      d = accounts::listadoClientes(nombre, datos);
      p.campoDocumento = "CLCLI_C";
      p.campoFecha = "";
      p.tabla = "cliente.dbf";
      if (auto r = accounts::resumenClientes(nombre)) p.concentrado = r->concentrado;
    } else if (pantalla == "TFormaCompras") {
      inventory::TipoCompra t = inventory::TipoCompra::Recepcion;
      if (auto x = a.opcion("tipo")) {
        const auto k = inventory::tipoCompraDe(*x);
        if (!k) throw ErrorUso("--tipo es Recepcion, Orden o Devolucion: " + *x);
        t = *k;
      }
      d = inventory::reporteCompras(nombre, datos, t);
      p.campoDocumento = "CLDOC_O";
      p.campoFecha = "FEDOC_O";
      p.tabla = inventory::tablaEncabezadoCompra(t);
    } else if (pantalla == "TFormaProveedo") {
      d = accounts::listadoProveedores(nombre, datos);
      p.campoDocumento = "CLAVE_P";
      p.campoFecha = "";
      p.tabla = "proveedo.dbf";
      if (auto r = accounts::resumenProveedores(nombre)) p.concentrado = r->concentrado;
    } else if (pantalla == "TFormaConsultaCuePagar") {
      accounts::PeriodoReporte periodo;
      const base::Fecha hoy = base::RelojSistema().ahora().fecha;
      periodo.desde = fechaOpcion(a, "desde").value_or(hoy);
      periodo.hasta = fechaOpcion(a, "hasta").value_or(hoy);
      periodo.fecha = periodo.hasta;
      d = accounts::reporteCuentasPorPagar(nombre, datos, periodo);
      p.campoDocumento = "CLDOC_O";
      p.campoFecha = "FEDOC_O";
      p.tabla = "ComprasE.dbf";
    } else {
      throw ErrorUso("pantalla sin reportes: " + pantalla +
                     " (TFormaFactura, TFormaClientes, TFormaVendedor, TFormaCompras, TFormaProveedo, "
                     "TFormaConsultaCuePagar)");
    }
    if (d) {
      p.definicion = d->texto;
      p.titulo = d->titulo;
    } else if (!p.concentrado) {
      throw ErrorUso("la pantalla " + pantalla + " no tiene el reporte " + nombre);
    }
  } else if (a.posicionales.size() == 1) {
    p.comando = a.posicionales[0];
    // The movement reports of the movements screen, by their menu names.
    const std::pair<const char*, inventory::ReporteMovimientos> movimientos[] = {
        {"Entradas1", inventory::ReporteMovimientos::Entradas},
        {"Salidas1", inventory::ReporteMovimientos::Salidas},
        {"GeneraldeMovimientos1", inventory::ReporteMovimientos::General}};
    for (const auto& [nombre, r] : movimientos) {
      if (p.comando != nombre) continue;
      Instalacion in = localiza(a);
      const auto lineas = lineasConfiguracion(a, in);
      const std::string catalogo = lineas.size() >= 59 && !lineas[58].empty() ? lineas[58] : in.datos;
      const inventory::DefinicionReporte d = inventory::definicionReporteMovimientos(r, catalogo);
      p.comando.clear();
      p.definicion = d.texto;
      p.titulo = d.titulo;
      p.campoDocumento = "CLDOC_MI";
      p.campoFecha = "FEDOC_MI";
      p.tabla = "movinven.dbf";
    }
  } else {
    throw ErrorUso("reporte necesita el nombre de un reporte o --definicion ARCHIVO");
  }
  if (auto t = a.opcion("documento")) {
    bool hallado = false;
    for (const auto& d : store::documentos())
      if (base::mismoNombre(d.encabezado, *t + ".dbf") || base::mismoNombre(d.nombre, *t)) {
        p.documento = d.documento;
        hallado = true;
        break;
      }
    if (!hallado) throw ErrorUso("documento desconocido: " + *t);
  }
  p.desde = fechaOpcion(a, "desde");
  p.hasta = fechaOpcion(a, "hasta");
  p.de = a.opcion("de-documento").value_or("");
  p.hastaDocumento = a.opcion("hasta-documento").value_or("");
  p.caja = a.opcion("caja").value_or("1");
  const std::string formato = a.opcion("formato").value_or("texto");
  if (formato != "texto" && formato != "tsv" && formato != "pdf") throw ErrorUso("--formato es texto, tsv o pdf");
  auto pdf = a.opcion("pdf");
  if ((formato == "pdf") != pdf.has_value()) throw ErrorUso("--formato pdf va con --pdf SALIDA.pdf");

  Instalacion in = localiza(a);
  // Line 33: line prices carry their tax (the cut's taxed base is worked out without it).
  if (const auto lineas = lineasConfiguracion(a, in); lineas.size() >= 33)
    p.impuestoIncluido = session::esSi(lineas[32]);
  if (in.sistema.empty()) in.sistema = in.datos;
  InteraccionConsola consola;
  base::RelojSistema reloj;
  auto hoja = sales::reporteVenta(p, in.sistema, in.datos, consola, reloj);
  if (!hoja) throw std::runtime_error("el reporte no se generó");
  if (formato == "texto") {
    for (const auto& l : hoja->lineas) std::cout << l.texto << '\n';
  } else if (formato == "tsv") {
    for (const auto& l : hoja->tabuladas) std::cout << l << '\n';
  } else {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    if (!std::getenv("XDG_RUNTIME_DIR")) {
      const std::string dir = "/tmp/runtime-" + std::to_string(getuid());
      mkdir(dir.c_str(), 0700);
      setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
    }
    QApplication app(argc, argv);
    auto impresora = ImpresoraQt::aPdf(base::resuelve(*pdf).string());
    reports::imprimePaginas(*impresora, hoja->titulo, hoja->paginas, 1, base::fechaCorta(reloj.ahora().fecha),
                             "Courier New", 8);
    std::cout << "PDF escrito en " << base::resuelve(*pdf).string() << '\n';
  }
  return 0;
}

int cmdVerifica(const Argumentos& a) {
  Instalacion in = localiza(a);
  datosExistentes(in);
  std::string actual;
  std::unique_ptr<Progreso> p;
  auto avance = [&](const std::string& tabla, uint64_t hecho, uint64_t total) {
    if (tabla != actual) {
      actual = tabla;
      p = std::make_unique<Progreso>("verificando " + tabla);
    }
    p->avanza(static_cast<long>(hecho), static_cast<long>(total));
  };
  long conProblemas = 0;
  const std::vector<std::string> tablas = dbf::Table::listTables(in.datos);
  // Each table's problems as soon as it is done: a long night run shows them early.
  for (const std::string& tabla : tablas) {
    const dbf::ResultadoVerificacion r = dbf::verificaTabla(in.datos, tabla, avance);
    p.reset();
    actual.clear();
    if (r.problemas.empty()) continue;
    ++conProblemas;
    for (const auto& t : r.problemas) std::cout << r.tabla << '\t' << t << '\n';
    std::cout.flush();
  }
  std::cout << tablas.size() << " tablas revisadas, " << conProblemas << " con problemas\n";
  if (conProblemas == 0) return 0;
  std::cerr << "mostrador-cli verifica: " << conProblemas << " tablas con problemas\n";
  return 1;
}

// Maintenance: each command says which table another station holds and exits 1 when
// something was left undone, so that cron mails the operator.
void bitacoraMantenimiento(const Instalacion& in, const std::string& evento) {
  if (in.sistema.empty()) return;
  base::RelojSistema reloj;
  base::Bitacora(in.sistema).escribe(evento + " " + store::marcaBitacora(reloj.ahora()));
}

int cmdReindexa(const Argumentos& a) {
  Instalacion in = localiza(a);
  datosExistentes(in);
  InteraccionConsola consola;
  if (a.bandera("incompletos")) {
    // The reindex screen's incomplete rebuild: only the tables with a tag missing, each
    // with every tag of its own lines (it starts with a fresh index file).
    const auto lineas = base::leeLineas(base::une(in.datos, store::kArchivoIndices));
    if (!lineas) throw std::runtime_error("El Archivo " + base::une(in.datos, store::kArchivoIndices) + " No Existe");
    const auto faltantes = store::indicesFaltantes(in.datos, *lineas);
    if (faltantes.empty()) {
      std::cout << "0 índices incompletos en " << in.datos << '\n';
      return 0;
    }
    bitacoraMantenimiento(in, "Reindexado Incompletos");
    store::ResultadoIndices r = store::reconstruyeIndices(consola, in.datos, store::lineasIncompletas(*lineas, faltantes));
    std::cout << r.creados.size() << " índices reconstruidos en " << in.datos << " (" << faltantes.size()
              << " faltaban)\n";
    return r.completo() ? 0 : 1;
  }
  bitacoraMantenimiento(in, "Reindexado");
  store::ResultadoIndices r = store::reindexaDirectorio(consola, in.sistema, in.datos);
  std::cout << r.creados.size() << " índices reconstruidos en " << in.datos << '\n';
  return r.completo() ? 0 : 1;
}

int cmdRepara(const Argumentos& a) {
  Instalacion in = localiza(a);
  datosExistentes(in);
  InteraccionConsola consola;
  store::RevisionDirectorio v = store::revisaDirectorio(consola, in.datos, !a.bandera("sin-copia"));
  for (const auto& t : v.tablas) {
    if (t.encabezadoReparado) std::cout << t.tabla << "\tencabezado reparado\n";
    if (t.borrados > 0) std::cout << t.tabla << "\t" << t.borrados << " registros dañados borrados\n";
    if (!t.error.empty()) std::cout << t.tabla << "\t" << t.error << '\n';
  }
  if (!v.completa()) return 1;
  bool errores = false;
  for (const auto& t : v.tablas) errores = errores || !t.error.empty();
  bitacoraMantenimiento(in, "Reindexado Total");
  store::ResultadoIndices r = store::reindexaDirectorio(consola, in.sistema, in.datos);
  std::cout << v.tablas.size() << " tablas revisadas, " << r.creados.size() << " índices reconstruidos\n";
  return r.completo() && !errores ? 0 : 1;
}

int cmdRespalda(const Argumentos& a) {
  Instalacion in = localiza(a);
  datosExistentes(in);
  base::RelojSistema reloj;
  const std::string destino = a.opcion("destino").value_or(store::carpetaRespaldo(in.datos, reloj.ahora().fecha));
  const bool comprimido = a.bandera("comprimido");
  store::ResultadoRespaldo r =
      comprimido ? store::respaldoComprimido(in.datos, destino) : store::respaldoNormal(in.datos, destino);
  if (!r.exito) throw std::runtime_error(r.error);
  bitacoraMantenimiento(in, comprimido ? "Último Respaldo comprimido" : "Último Respaldo");
  std::cout << r.archivos.size() << " archivos respaldados en " << base::resuelve(r.destino).string() << '\n';
  return 0;
}

int cmdRestaura(const Argumentos& a) {
  if (a.posicionales.size() != 1) throw ErrorUso("restaura necesita el archivo del respaldo");
  Instalacion in = localiza(a);
  store::ResultadoRespaldo r = store::restauraRespaldo(a.posicionales[0], in.datos);
  if (!r.exito) throw std::runtime_error(r.error);
  std::cout << r.archivos.size() << " archivos restaurados en " << in.datos << '\n';
  return 0;
}

const char* kAyuda =
    "Uso: mostrador-cli ORDEN [opciones]\n"
    "\n"
    "Órdenes:\n"
    "  nueva-empresa   crea una empresa (tablas, índices, configuración)\n"
    "  formato ARCHIVO corre un formato de impresión (vista previa o PDF)\n"
    "  tablas          lista las tablas del directorio de datos\n"
    "  describe TABLA  campos e índices de una tabla\n"
    "  muestra TABLA   registros de una tabla, separados por tabuladores\n"
    "  sql SENTENCIA   ejecuta una sentencia de SQL local\n"
    "  consulta TEXTO  traduce y ejecuta una consulta en español\n"
    "  verifica        revisa tablas e índices sin cambiar nada\n"
    "  reindexa        reconstruye los índices de la empresa\n"
    "  repara          revisa y repara tablas, luego reindexa\n"
    "  respalda        copia la empresa a la carpeta fechada de RESPALDOS\n"
    "  restaura ZIP    restaura un respaldo comprimido\n"
    "  reporte NOMBRE  corre un reporte de ventas o una definición (texto, tsv o PDF)\n"
    "  concentra TABLA concentra una tabla por clave, con sus columnas sumadas (texto o tsv)\n"
    "  caja            cortes de caja, entradas y salidas de efectivo, documentos pagados\n"
    "  movimientos     da de alta o importa movimientos al inventario, totales, corte\n"
    "  kardex CLAVE    entradas y salidas de un producto con su existencia\n"
    "  recalcula       ajusta las existencias según el kardex o las existencias\n"
    "  ajuste ARCHIVO  conteo físico: variaciones y ajuste del inventario\n"
    "  compra          recepciones, órdenes y devoluciones de compra; pedido sugerido\n"
    "  cartera         documentos con saldo de clientes o proveedores y su antigüedad\n"
    "  estado-cuenta   movimientos y saldo de un cliente o proveedor\n"
    "  abono           registra un abono de un cliente o a un proveedor\n"
    "  borra           borra un cliente, proveedor o vendedor, con las negativas de su pantalla\n"
    "\n"
    "Opciones comunes:\n"
    "  --sistema DIR   directorio del sistema (por omisión, línea 1 de c:\\TVK\\talvek.ini)\n"
    "  --datos DIR     directorio de datos de la empresa\n"
    "  --empresa N     toma el directorio de datos de la línea 8 de GenerN.cnf\n"
    "\n"
    "  mostrador-cli ORDEN --help   ayuda de una orden\n";

struct Orden {
  const char* ayuda;
  std::vector<std::string> conValor;
  std::function<int(const Argumentos&)> ejecuta;
  std::vector<std::string> banderas = {};  // the flags it takes besides --help
};

const std::vector<std::string> kComunes = {"sistema", "datos", "empresa"};

std::map<std::string, Orden> ordenes() {
  auto con = [](std::vector<std::string> extra) {
    extra.insert(extra.end(), kComunes.begin(), kComunes.end());
    return extra;
  };
  return {
      {"tablas",
       {"Uso: mostrador-cli tablas [--datos DIR | --empresa N] [--sistema DIR]\n"
        "Una línea por tabla: nombre, registros, índices.\n",
        con({}), cmdTablas}},
      {"describe",
       {"Uso: mostrador-cli describe TABLA [--datos DIR | --empresa N]\n"
        "Campos (nombre, tipo, tamaño, decimales) e índices con su clave.\n",
        con({}), cmdDescribe}},
      {"muestra",
       {"Uso: mostrador-cli muestra TABLA [--indice TAG] [--desde CLAVE] [--limite N]\n"
        "Registros separados por tabuladores, con una línea de encabezado.\n",
        con({"indice", "desde", "limite"}), cmdMuestra}},
      {"nueva-empresa",
       {"Uso: mostrador-cli nueva-empresa --sistema DIR [--empresa N] [--datos DIR] [--nombre TEXTO]\n"
        "        [--clave CLAVE] [--clave-empresa CLAVE] [--demo [--tamano T]] [--reemplaza]\n"
        "Crea la empresa N (1 por omisión): todas las tablas con sus índices en --datos\n"
        "(DIR\\EmpresaN por omisión), y en --sistema las tablas de trabajo, usuarios.def con el\n"
        "administrador (usuario 0, clave --clave, \"admin\" por omisión), GenerN.cnf y las\n"
        "plantillas. --demo la llena con datos de demostración; --tamano es pequeno, mediano,\n"
        "grande o un número de productos.\n",
        {"sistema", "datos", "empresa", "nombre", "clave", "clave-empresa", "tamano"}, cmdNuevaEmpresa,
        {"demo", "reemplaza"}}},
      {"formato",
       {"Uso: mostrador-cli formato ARCHIVO --tabla T --clave K [--indice TAG] [--detalle T2]\n"
        "        [--indice-detalle TAG] (--preliminar | --pdf SALIDA.pdf) [--datos DIR | --empresa N]\n"
        "Corre un formato de impresión sobre el registro de clave K de la tabla T (por su\n"
        "primer índice o --indice) y sus partidas de T2 con la misma clave. --preliminar\n"
        "escribe la vista previa e imprime sus registros, uno por línea: x, y, página,\n"
        "tamaño, fuente, color y texto; --pdf imprime al archivo PDF.\n",
        con({"tabla", "clave", "indice", "detalle", "indice-detalle", "pdf"}), nullptr, {"preliminar"}}},
      {"consulta",
       {"Uso: mostrador-cli consulta \"selecciona ... desde ... cuando ...\" | --archivo F.sql [--traduce]\n"
        "        [--datos DIR | --empresa N]\n"
        "Traduce una consulta escrita con las palabras en español de la consola de consultas\n"
        "(selecciona, desde, cuando, y, o, ordenar por, suma...) y la ejecuta como la orden\n"
        "sql; --traduce sólo imprime la traducción. --archivo lee una consulta guardada por la\n"
        "consola de consultas (una línea de la consulta por línea).\n",
        con({"archivo"}), cmdConsulta, {"traduce"}}},
      {"sql",
       {"Uso: mostrador-cli sql \"SENTENCIA\" | --archivo F  [--datos DIR | --empresa N]\n"
        "Ejecuta SQL local: las tablas se nombran por su ruta entre comillas dobles\n"
        "(\"C:\\Datos\\inventar.dbf\") o, con una empresa, por su nombre (FROM inventar).\n"
        "Un SELECT imprime sus filas separadas por tabuladores con una línea de\n"
        "encabezado; las demás sentencias dicen cuántas filas afectaron.\n",
        con({"archivo"}), cmdSql}},
      {"reporte",
       {"Uso: mostrador-cli reporte (NOMBRE | --definicion ARCHIVO [--titulo T] [--tabla T]\n"
        "        [--campo-documento C] [--campo-fecha C]) [--documento Factura|Remision|...]\n"
        "        [--desde dd/MM/aaaa] [--hasta dd/MM/aaaa] [--de-documento N] [--hasta-documento N]\n"
        "        [--caja N] [--pantalla P] [--formato texto|tsv|pdf] [--pdf SALIDA.pdf]\n"
        "        [--datos DIR | --empresa N]\n"
        "NOMBRE es una orden del menú de reportes de ventas (Concentrar1, CorteZ1,\n"
        "VentasporDa1, ...) o de movimientos al inventario (Entradas1, Salidas1,\n"
        "GeneraldeMovimientos1). Con --pantalla TFormaClientes (ListadodeClientes1,\n"
        "ClienteyTelefono1, VentasPorCliente1, Ventas1, Saldos1, SaldosPorZona1) o TFormaVendedor\n"
        "(Listadode1, Comisiones1, ComisionesConcentrado1), TFormaCompras (DocumentosCancelados1,\n"
        "DocumentosActivos1, DocumentosconSaldo1, ComprasporProveedor1, ComprasporProducto1,\n"
        "CaducidaddeProductos1; --tipo Recepcion|Orden|Devolucion), TFormaProveedo\n"
        "(ListadodeProveedores1, Saldos1, CargosAbonosSaldo1) o TFormaConsultaCuePagar\n"
        "(DocumentosconSaldo1, PorProveedor1, DocumentosVencidos1 a la fecha --hasta, ...)\n"
        "corre el reporte de esa pantalla; sin\n"
        "ella, el de ventas. Escribe la hoja del reporte en texto, separada por tabuladores\n"
        "o como PDF. Para cron:\n"
        "  0 22 * * * mostrador-cli reporte CorteZ1 --empresa 1 --documento Remision \\\n"
        "      --desde $(date +%d/%m/%Y) --hasta $(date +%d/%m/%Y) --formato pdf --pdf /tmp/corte.pdf\n",
        con({"definicion", "titulo", "tabla", "campo-documento", "campo-fecha", "documento", "desde", "hasta",
             "de-documento", "hasta-documento", "caja", "formato", "pdf", "pantalla", "tipo"}),
        nullptr}},
      {"concentra",
       {"Uso: mostrador-cli concentra TABLA --clave CLAVE [--segunda-clave CAMPO] [--columnas C1,...,C8]\n"
        "        [--titulos T1,...,T10] [--anchos N1,...,N10] [--campo-fecha CAMPO [--desde dd/MM/aaaa]\n"
        "        [--hasta dd/MM/aaaa]] [--estado CAMPO=VALOR] [--opcion C|D|DC] [--indice TAG\n"
        "        [--rango-desde V] [--rango-hasta V]] [--titulo T] [--formato texto|tsv]\n"
        "        [--datos DIR | --empresa N] [--sistema DIR]\n"
        "Lee los registros de TABLA y junta los de igual CLAVE, sumando sus columnas numéricas,\n"
        "como los resúmenes por día, vendedor o caja de las pantallas.\n"
        "  --clave          un campo, %n+campo (sus n primeros caracteres), una fórmula &...&, o\n"
        "                   @D, @M, @A + un campo de fecha (por día, mes o año)\n"
        "  --segunda-clave  un campo que se muestra junto a la clave (el del primer registro)\n"
        "  --columnas       hasta ocho campos o fórmulas (&IMTOD_F&*&0.16&), separados por comas\n"
        "  --titulos        los encabezados: clave, segunda clave y columnas. Su primera letra es\n"
        "                   el código de la columna: \"-\" entero sin signo, \"%\" dos decimales\n"
        "                   sin signo, \"C\" texto; cualquier otro, moneda con \"$\"\n"
        "  --anchos         los anchos en caracteres de las diez columnas (0 la oculta)\n"
        "  --campo-fecha    sólo los registros con fecha de --desde a --hasta (ambas incluidas)\n"
        "  --estado         CAMPO=VALOR, CAMPO!VALOR (distinto), CAMPO>VALOR o CAMPO<VALOR\n"
        "  --opcion         C concentra (por omisión), D una línea por registro sin ordenar,\n"
        "                   DC ordena por clave con el total de cada clave\n"
        "  --indice         el índice del rango --rango-desde .. --rango-hasta\n"
        "  --formato        texto: las páginas de 50 renglones del visor, cada una con su línea\n"
        "                   \"Página n de  m\"; tsv: encabezados y registros separados por tabuladores\n",
        con({"clave", "segunda-clave", "columnas", "titulos", "anchos", "campo-fecha", "desde", "hasta", "estado",
             "opcion", "indice", "rango-desde", "rango-hasta", "titulo", "formato"}),
        cmdConcentra}},
      {"caja",
       {kAyudaCaja,
        con({"desde", "hasta", "fecha", "formato", "retiro", "concepto", "caja", "vendedor", "pagados", "no-pagados",
             "documento"}),
        cmdCaja, {"corte-z", "resumen", "corte", "ventas-por-caja", "entrada", "lista"}}},
      {"verifica",
       {"Uso: mostrador-cli verifica [--datos DIR | --empresa N]\n"
        "Revisa cada tabla (cabecera, registros) y cada índice (orden, una entrada por\n"
        "registro, claves iguales a las de sus registros) sin cambiar nada. Una línea por\n"
        "problema; termina con 1 cuando hay alguno. Para cron:\n"
        "  30 2 * * * mostrador-cli verifica --empresa 1 >> /var/log/mostrador-verifica.log 2>&1\n",
        con({}), cmdVerifica}},
      {"reindexa",
       {"Uso: mostrador-cli reindexa [--incompletos] [--datos DIR | --empresa N] [--sistema DIR]\n"
        "Reconstruye cada índice de la empresa desde su Indices.cnf (y los de sus almacenes\n"
        "1 a 99), compacta y realinea los contadores. Necesita las tablas libres: una tabla\n"
        "abierta en otra estación se nombra y queda como estaba; termina entonces con 1.\n"
        "--incompletos sólo rehace las tablas a las que les falta un índice, con todos los suyos.\n",
        con({}), cmdReindexa, {"incompletos"}}},
      {"repara",
       {"Uso: mostrador-cli repara [--datos DIR | --empresa N] [--sistema DIR] [--sin-copia]\n"
        "Copia las tablas a tempo (salvo --sin-copia), repara los encabezados que no abren o\n"
        "anuncian un índice que falta, borra los registros que no pueden leerse y reindexa.\n",
        con({}), cmdRepara, {"sin-copia"}}},
      {"respalda",
       {"Uso: mostrador-cli respalda [--comprimido] [--destino DIR] [--datos DIR | --empresa N]\n"
        "Copia los .dbf y .mdx de la empresa a C:\\RESPALDOS\\<día>-<mes>-<año> (o --destino);\n"
        "--comprimido escribe ahí prue.zip con todos sus archivos y los de sus almacenes.\n"
        "Para cron, cada noche: verificar, respaldar y reindexar:\n"
        "  30 2 * * * mostrador-cli verifica --empresa 1; mostrador-cli respalda --comprimido --empresa 1 && mostrador-cli reindexa --empresa 1\n",
        con({"destino"}), cmdRespalda, {"comprimido"}}},
      {"movimientos",
       {"Uso: mostrador-cli movimientos (--alta ARCHIVO | --importa ARCHIVO [--fecha dd/MM/aaaa] |\n"
        "        --borra-concepto N | --totales CLAVE | --corte) [--datos DIR | --empresa N] [--sistema DIR]\n"
        "--alta guarda un movimiento de un archivo de texto: una línea tipo=N, una línea\n"
        "fecha=dd/MM/aaaa y una línea clave;cantidad;costo por partida. --importa lee el archivo\n"
        "de intercambio Movimientos.mov (campos: 2 clave, 3 cantidad, 4 tipo; un movimiento por\n"
        "tipo). Un archivo con líneas malas se rechaza entero, cada línea mala dicha con su\n"
        "número. --totales imprime entradas, salidas y existencias del producto (con la línea 38\n"
        "en S las escribe en el producto); --corte borra los movimientos de tipo 1, 2, 3, 51 y 54.\n",
        con({"alta", "importa", "fecha", "borra-concepto", "totales"}), cmdMovimientos, {"corte"}}},
      {"kardex",
       {"Uso: mostrador-cli kardex CLAVE [--documentos] [--desde dd/MM/aaaa] [--hasta dd/MM/aaaa]\n"
        "        [--formato texto|tsv] [--datos DIR | --empresa N] [--sistema DIR]\n"
        "Una línea por movimiento del producto en orden de fecha: fecha, referencia, tipo,\n"
        "entrada, salida, existencia, costo unitario y costo promedio acumulado; los totales al\n"
        "final. --documentos toma compras, remisiones (también de las sucursales de RutasMI.dbf),\n"
        "facturas y movimientos manuales en vez del diario de movimientos.\n",
        con({"desde", "hasta", "formato"}), cmdKardex, {"documentos"}}},
      {"recalcula",
       {"Uso: mostrador-cli recalcula [--segun-existencias | --revisa] [--datos DIR | --empresa N]\n"
        "Sin opciones pone a cada producto la existencia que dan sus documentos y movimientos\n"
        "(Total de Ajustados N). --segun-existencias deja las existencias y escribe los\n"
        "movimientos de ajuste (tipo 6 o 56) que llevan la historia a ellas. --revisa sólo\n"
        "lista clave,existencia,*recuento de los que no coinciden. Avance en la terminal.\n",
        con({}), cmdRecalcula, {"segun-existencias", "revisa"}}},
      {"ajuste",
       {"Uso: mostrador-cli ajuste ARCHIVO [--aplica [--reales]] [--filtra CONDICIONES] [--datos DIR | --empresa N]\n"
        "Hace la hoja de conteo Ajuste.dbf, suma las cantidades contadas de ARCHIVO (clave,cantidad\n"
        "por línea) e imprime clave, teórico, contado y ajuste de cada diferencia. --aplica\n"
        "guarda el movimiento de ajuste (tipo 58) y pone las existencias contadas; con --reales\n"
        "reinicia la historia: borra los movimientos y parte de lo contado. Las claves que no\n"
        "existen se dicen con su línea y la orden termina con 1. --filtra limita las diferencias\n"
        "y el ajuste a clave:DE:HASTA, linea:DE:HASTA, proveedor:DE:HASTA y ajuste (sólo lo contado),\n"
        "separados por comas.\n",
        con({"filtra"}), cmdAjuste, {"aplica", "reales"}}},
      {"compra",
       {"Uso: mostrador-cli compra (--alta ARCHIVO | --modifica N ARCHIVO | --cancela N --tipo T |\n"
        "        --elimina N --tipo T | --sugerido [--maximo] --proveedor CLAVE |\n"
        "        --importa-pedido ARCHIVO --proveedor CLAVE [--fecha dd/MM/aaaa] | --reposta)\n"
        "        [--datos DIR | --empresa N] [--sistema DIR]\n"
        "El archivo de un documento tiene una línea campo=valor por dato del encabezado:\n"
        "  tipo=Recepcion|Orden|Devolucion   proveedor=CLAVE   fecha=dd/MM/aaaa\n"
        "  y, opcionales, numero=N, descuento=PCT (del documento), nodesglosado=S (el impuesto\n"
        "  se suma a los precios), referencia=TEXTO (la factura del proveedor);\n"
        "luego una línea por partida: clave;cantidad;costo[;d1[;d2[;d3[;precio]]]] (tres\n"
        "descuentos sucesivos en por ciento y el precio al público propuesto). Las líneas en\n"
        "blanco o que empiezan con # no cuentan. --alta guarda el documento (la recepción sube\n"
        "existencias, costos, precios y la deuda con el proveedor; la orden sólo lo pedido; la\n"
        "devolución baja existencias); --modifica N lo vuelve a guardar contándolo una vez.\n"
        "--cancela y --elimina (T: Recepcion, Orden o Devolucion) se niegan si tiene pagos.\n"
        "--sugerido lista clave, descripción, cantidad y costo de lo que falta para el mínimo\n"
        "(con --maximo, para el máximo) de los productos del proveedor. --importa-pedido guarda\n"
        "una orden con las líneas clave,cantidad del archivo. --reposta (del administrador)\n"
        "vuelve a escribir los movimientos tipo 51 de cada recepción activa que no los tenga,\n"
        "sin mover otra vez las existencias. Un error: una línea y código 1.\n",
        con({"alta", "modifica", "cancela", "elimina", "tipo", "proveedor", "importa-pedido", "fecha"}),
        cmdCompra, {"sugerido", "maximo", "reposta"}}},
      {"cartera",
       {"Uso: mostrador-cli cartera clientes|proveedores [--clave CLAVE] [--fecha dd/MM/aaaa]\n"
        "        [--formato texto|tsv] [--datos DIR | --empresa N] [--sistema DIR]\n"
        "Los documentos con saldo (cuentas por cobrar o por pagar), de todos o de --clave, por\n"
        "clave y del más vencido al menos: documento, clave, nombre, fecha de aplicación,\n"
        "vencimiento, saldo y días vencidos al día de hoy o de --fecha (cada mes cuenta 30 días).\n"
        "Al final el total y su antigüedad: por vencer, hasta 30, 31 a 60, 61 a 90 y más de 90\n"
        "días vencido.\n",
        con({"clave", "fecha", "formato"}), cmdCartera}},
      {"estado-cuenta",
       {"Uso: mostrador-cli estado-cuenta clientes|proveedores CLAVE [--formato texto|tsv]\n"
        "        [--datos DIR | --empresa N] [--sistema DIR]\n"
        "Cada cargo y abono de los documentos de la clave por fecha y documento, con el saldo\n"
        "que van dejando; al final los totales, el saldo y si queda Deudor o Saldada.\n",
        con({"formato"}), cmdEstadoCuenta}},
      {"abono",
       {"Uso: mostrador-cli abono clientes|proveedores CLAVE IMPORTE [--fecha dd/MM/aaaa]\n"
        "        [--documento N] [--concepto N] [--datos DIR | --empresa N] [--sistema DIR]\n"
        "Registra un abono: un asiento de abono por documento pagado, el saldo de cada\n"
        "documento y el de la clave (y, de un proveedor, el de su compra), todo o nada. Sin\n"
        "--documento se aplica a los documentos con saldo del más vencido al menos. --concepto\n"
        "es el tipo de movimiento de Concepto.dbf (2, Abono, por omisión); --fecha, la de\n"
        "aplicación (hoy por omisión). Un abono mayor que el saldo pendiente se rechaza.\n",
        con({"fecha", "documento", "concepto"}), cmdAbono}},
      {"borra",
       {"Uso: mostrador-cli borra clientes|proveedores|vendedores CLAVE [--datos DIR | --empresa N]\n"
        "        [--sistema DIR]\n"
        "Borra el registro de la clave como su pantalla: un cliente o proveedor con saldo, o con\n"
        "documentos pendientes, no se borra; los documentos que nombran a un vendedor borrado\n"
        "conservan su clave.\n",
        con({}), cmdBorra}},
      {"restaura",
       {"Uso: mostrador-cli restaura ARCHIVO.zip [--datos DIR | --empresa N]\n"
        "Revisa el respaldo completo antes de reemplazar nada y, con las tablas libres,\n"
        "pone sus archivos en el directorio de datos.\n",
        con({}), cmdRestaura}},
  };
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h") {
    std::cout << kAyuda;
    return argc < 2 ? 2 : 0;
  }
  auto tabla = ordenes();
  auto it = tabla.find(argv[1]);
  if (it == tabla.end()) {
    std::cerr << "mostrador-cli: orden desconocida: " << argv[1] << '\n';
    return 2;
  }
  try {
    Argumentos a = analiza(argc, argv, 2, it->second.conValor);
    if (a.bandera("help")) {
      std::cout << it->second.ayuda;
      return 0;
    }
    // An option the command does not know is a mistake, not something to ignore.
    for (const auto& [n, v] : a.banderas) {
      bool conocida = false;
      for (const auto& b : it->second.banderas) conocida = conocida || b == n;
      for (const auto& c : it->second.conValor) conocida = conocida || c == n;
      if (!conocida) throw ErrorUso("opción desconocida: --" + n);
    }
    for (const auto& [n, v] : a.opciones) {
      bool conocida = false;
      for (const auto& c : it->second.conValor) conocida = conocida || c == n;
      if (!conocida) throw ErrorUso("opción desconocida: --" + n);
    }
    if (it->first == "formato") return cmdFormato(a, argc, argv);
    if (it->first == "reporte") return cmdReporte(a, argc, argv);
    return it->second.ejecuta(a);
  } catch (const ErrorUso& e) {
    // The mistake on the first line, then the command's usage, so that a night script's
    // log says what was wrong and what the command takes.
    std::cerr << "mostrador-cli " << argv[1] << ": " << e.what() << '\n';
    std::istringstream ayuda(it->second.ayuda);
    bool primera = true;
    for (std::string l; std::getline(ayuda, l);) {
      if (!(primera ? l.starts_with("Uso:") : l.starts_with(" "))) break;
      std::cerr << l << '\n';
      primera = false;
    }
    return 2;
  } catch (const std::exception& e) {
    std::cerr << "mostrador-cli " << argv[1] << ": " << e.what() << '\n';
    return 1;
  }
}
