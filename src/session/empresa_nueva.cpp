#include "session/empresa_nueva.h"

#include <cstdint>
#include <cstdlib>
#include <stdexcept>

#include "base/confcamp.h"
#include "base/describe.h"
#include "base/moneda.h"
#include "base/rutas.h"
#include "base/texto.h"
#include "session/usuarios.h"
#include "store/catalogo.h"
#include "store/dbf/dbf_table.h"
#include "store/numeracion.h"

namespace mostrador::session {

namespace {

void creaTablas(std::string_view dir, const std::vector<store::DefTabla>& tablas) {
  for (const auto& t : tablas) dbf::Table::create(dir, t.archivo, t.campos, t.indices);
}

std::string textoTipo(char tipo) {
  switch (tipo) {
    case 'C': return "Cadena";
    case 'N':
    case 'F': return "Numérico";
    case 'D': return "Fecha";
    case 'L': return "Lógico";
  }
  return std::string(1, tipo);
}

void llenaDiccionario(std::string_view dirSistema) {
  dbf::Table t;
  t.open(dirSistema, "campos.dbf", dbf::OpenMode::Exclusive);
  for (const auto& tabla : store::tablasEmpresa()) {
    const std::string nombre = tabla.archivoMinusculas();
    for (size_t i = 0; i < tabla.campos.size(); ++i) {
      t.append();
      t.setText("TABLA", nombre);
      t.setText("CAMPO", tabla.campos[i].name);
      t.setText("DESCRIBE", tabla.descripciones[i]);
      t.setText("TIPO", textoTipo(tabla.campos[i].type));
      t.setInteger("TAMO", tabla.campos[i].length);
      t.post();
    }
  }
  t.close();
}

// The field chooser's catalogue: every company table with its fields, their
// descriptions, kinds and sizes.
void escribeCatalogo(std::string_view dirSistema) {
  std::vector<base::TablaCatalogo> tablas;
  for (const auto& tabla : store::tablasEmpresa()) {
    base::TablaCatalogo t{tabla.archivoMinusculas(), {}};
    for (size_t i = 0; i < tabla.campos.size(); ++i) {
      const dbf::FieldDef& c = tabla.campos[i];
      t.campos.push_back({std::to_string(i + 1), c.name, tabla.descripciones[i], textoTipo(c.type),
                          std::to_string(c.length), std::to_string(c.decimals)});
    }
    tablas.push_back(std::move(t));
  }
  const std::string ruta = base::une(dirSistema, "confcamp.cmp");
  if (!base::escribeCatalogoCampos(ruta, tablas)) throw std::runtime_error("No se pudo escribir " + ruta);
}

// The pop-up descriptions of the main window's buttons and of the users page.
void escribePopups(std::string_view dirSistema) {
  const std::map<int, std::string> textos = {
      {55, "Eliminar: da de baja al usuario mostrado. El usuario 0, el administrador, no puede darse de baja."},
      {56, "Cambios: permite modificar el nombre, la clave y los derechos del usuario mostrado; "
           "después presione Guardar Usuario."},
      {57, "Nuevo: da de alta un usuario sin derechos; escriba su nombre, una clave que nadie más "
           "tenga y marque sus derechos."},
      {58, "Guardar Usuario: guarda el usuario nuevo o los cambios. La clave no puede quedar vacía "
           "ni repetirse."},
      {110, "Empresa: elige la empresa con la que se trabaja y vuelve a pedir la clave de acceso."},
      {111, "Clientes: catálogo de clientes, sus saldos y su estado de cuenta."},
      {112, "Proveedores: catálogo de proveedores y sus cuentas por pagar."},
      {113, "Vendedores: catálogo de vendedores y sus comisiones."},
      {114, "Facturación: captura de remisiones, facturas, devoluciones y caja chica."},
      {117, "Inventario: catálogo de productos, precios y existencias."},
      {118, "Movimientos al inventario: entradas y salidas que no vienen de una venta o una compra."},
      {119, "Compras: captura de compras, órdenes de compra y devoluciones a proveedores."},
  };
  if (!base::escribeDescripciones(dirSistema, textos))
    throw std::runtime_error("No se pudo escribir " + base::une(dirSistema, "ayuda\\describe.des"));
}

}  // namespace

void creaDirectorioDatos(std::string_view dirDatos) {
  base::creaDirectorios(dirDatos);
  // The counters are made the way the main window makes a missing one: created and
  // seeded from their (still empty) document tables.
  std::vector<store::DefTabla> tablas;
  for (const auto& t : store::tablasEmpresa()) {
    bool contador = false;
    for (const auto& c : store::contadores()) contador = contador || base::mismoNombre(t.archivo, c.archivo);
    if (contador)
      base::borra(base::une(dirDatos, t.archivo));
    else
      tablas.push_back(t);
  }
  creaTablas(dirDatos, tablas);
  if (!base::escribeLineas(base::une(dirDatos, "Indices.cnf"), lineasIndices()))
    throw std::runtime_error("No se pudo escribir " + base::une(dirDatos, "Indices.cnf"));

  dbf::Table conceptos;
  conceptos.open(dirDatos, "CoMovInv.dbf", dbf::OpenMode::Exclusive);
  for (const auto& c : conceptosMovimiento()) {
    conceptos.append();
    conceptos.setInteger("NUCON_CM", c.numero);
    conceptos.setText("DECON_CM", c.descripcion);
    conceptos.post();
  }
  conceptos.close();

  dbf::Table cuentas;
  cuentas.open(dirDatos, "Concepto.dbf", dbf::OpenMode::Exclusive);
  struct {
    int tipo;
    const char* concepto;
    const char* operacion;
  } const kCuentas[] = {{1, "Cargo", "C"}, {2, "Abono", "A"}, {51, "Compra", "C"}};
  for (const auto& c : kCuentas) {
    cuentas.append();
    cuentas.setInteger("TIMOV_MO", c.tipo);
    cuentas.setText("CONCE_MO", c.concepto);
    cuentas.setText("TIPOO_MO", c.operacion);
    cuentas.post();
  }
  cuentas.close();

  store::creaContadores(dirDatos);

  // Amounts in words need the local currency's names; a company's own table is kept.
  if (!base::existe(base::rutaMonedas(dirDatos)) &&
      !base::escribeMonedas(dirDatos, {{"M.N.", "1", "PESO", "PESOS", "PESOS", "M.N.", "$"},
                                        {"USD", "", "DOLAR", "DOLARES", "DOLARES", "USD", "US$"}}))
    throw std::runtime_error("No se pudo escribir " + base::rutaMonedas(dirDatos));
}

void creaDirectorioSistema(const OpcionesEmpresa& o) {
  base::creaDirectorios(o.dirSistema);
  creaTablas(o.dirSistema, store::tablasSistema());
  llenaDiccionario(o.dirSistema);
  escribeCatalogo(o.dirSistema);
  escribePopups(o.dirSistema);

  const session::Usuario admin{0, o.nombreAdministrador, o.claveAdministrador,
                             std::string(kDerechos, 's')};
  if (!session::escribeUsuarios(o.dirSistema, {admin}))
    throw std::runtime_error("No se pudo escribir " + session::archivoUsuarios(o.dirSistema));

  const std::string cnf = base::une(o.dirSistema, "Gener" + std::to_string(o.numero) + ".cnf");
  if (!base::escribeLineas(cnf, lineasConfiguracion(o)))
    throw std::runtime_error("No se pudo escribir " + cnf);

  // The sales screens need their header options file; a station's own is kept.
  const std::string encabeza = base::une(o.dirSistema, "encabeza.cnf");
  if (!base::existe(encabeza) &&
      !base::escribeLineas(encabeza, {"N", "N", "", "", "", "", "", "", "N"}))
    throw std::runtime_error("No se pudo escribir " + encabeza);
}

std::string directorioInstalacion() {
  if (const char* d = std::getenv("MOSTRADOR_INSTALACION"); d && *d) return d;
  return MOSTRADOR_INSTALACION_DEFECTO;
}

int instalaPlantillas(std::string_view origen, std::string_view dirSistema) {
  int copiados = 0;
  for (const char* carpeta : {"consulta", "report", "ayuda"}) {
    const std::string desde = base::une(origen, carpeta);
    if (!base::esDirectorio(desde)) continue;
    const std::string hacia = base::une(dirSistema, carpeta);
    base::creaDirectorios(hacia);
    for (const std::string& n : base::lista(desde, "*.*")) {
      const std::string destino = base::une(hacia, n);
      if (base::existe(destino) || base::esDirectorio(base::une(desde, n))) continue;
      if (!base::copia(base::une(desde, n), destino))
        throw std::runtime_error("No se pudo copiar " + n + " a " + hacia);
      ++copiados;
    }
  }
  return copiados;
}

void creaEmpresa(const OpcionesEmpresa& o) {
  creaDirectorioDatos(o.dirDatos);
  creaDirectorioSistema(o);
}

}  // namespace mostrador::session
