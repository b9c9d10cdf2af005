#include "store/empresa_nueva.h"

#include <cstdint>
#include <cstdlib>
#include <stdexcept>

#include "shell/rutas.h"
#include "shell/texto.h"
#include "shell/usuarios.h"
#include "store/catalogo.h"
#include "store/dbf/dbf_table.h"
#include "store/numeracion.h"

namespace mostrador::store {

namespace {

void creaTablas(std::string_view dir, const std::vector<DefTabla>& tablas) {
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
  for (const auto& tabla : tablasEmpresa()) {
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

}  // namespace

void creaDirectorioDatos(std::string_view dirDatos) {
  shell::creaDirectorios(dirDatos);
  // The counters are made the way the main window makes a missing one: created and
  // seeded from their (still empty) document tables.
  std::vector<DefTabla> tablas;
  for (const auto& t : tablasEmpresa()) {
    bool contador = false;
    for (const auto& c : contadores()) contador = contador || shell::mismoNombre(t.archivo, c.archivo);
    if (contador)
      shell::borra(shell::une(dirDatos, t.archivo));
    else
      tablas.push_back(t);
  }
  creaTablas(dirDatos, tablas);
  if (!shell::escribeLineas(shell::une(dirDatos, "Indices.cnf"), lineasIndices()))
    throw std::runtime_error("No se pudo escribir " + shell::une(dirDatos, "Indices.cnf"));

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

  creaContadores(dirDatos);
}

void creaDirectorioSistema(const OpcionesEmpresa& o) {
  shell::creaDirectorios(o.dirSistema);
  creaTablas(o.dirSistema, tablasSistema());
  llenaDiccionario(o.dirSistema);

  const shell::Usuario admin{0, o.nombreAdministrador, o.claveAdministrador,
                             std::string(kDerechos, 's')};
  if (!shell::escribeUsuarios(o.dirSistema, {admin}))
    throw std::runtime_error("No se pudo escribir " + shell::archivoUsuarios(o.dirSistema));

  const std::string cnf = shell::une(o.dirSistema, "Gener" + std::to_string(o.numero) + ".cnf");
  if (!shell::escribeLineas(cnf, lineasConfiguracion(o)))
    throw std::runtime_error("No se pudo escribir " + cnf);

  // The sales screens need their header options file; a station's own is kept.
  const std::string encabeza = shell::une(o.dirSistema, "encabeza.cnf");
  if (!shell::existe(encabeza) &&
      !shell::escribeLineas(encabeza, {"N", "N", "", "", "", "", "", "", "N"}))
    throw std::runtime_error("No se pudo escribir " + encabeza);
}

std::string directorioInstalacion() {
  if (const char* d = std::getenv("MOSTRADOR_INSTALACION"); d && *d) return d;
  return MOSTRADOR_INSTALACION_DEFECTO;
}

int instalaPlantillas(std::string_view origen, std::string_view dirSistema) {
  int copiados = 0;
  for (const char* carpeta : {"consulta", "report"}) {
    const std::string desde = shell::une(origen, carpeta);
    if (!shell::esDirectorio(desde)) continue;
    const std::string hacia = shell::une(dirSistema, carpeta);
    shell::creaDirectorios(hacia);
    for (const std::string& n : shell::lista(desde, "*.*")) {
      const std::string destino = shell::une(hacia, n);
      if (shell::existe(destino) || shell::esDirectorio(shell::une(desde, n))) continue;
      if (!shell::copia(shell::une(desde, n), destino))
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

}  // namespace mostrador::store
