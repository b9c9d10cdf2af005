#pragma once
// What a new company and a new station start with, as values: the 72 configuration
// lines, the index description lines and the built-in movement
// concepts. Writing them to disk is empresa_nueva's job.

#include <string>
#include <string_view>
#include <vector>

namespace mostrador::session {

inline constexpr int kDerechos = 55;

struct OpcionesEmpresa {
  int numero = 1;                  // N of "Gener<N>.cnf"
  std::string nombre = "Mi Empresa";  // configuration line 9
  std::string dirDatos;            // configuration line 8
  std::string dirSistema;          // where "Gener<N>.cnf", the users file and scratch go
  std::string claveEmpresa;        // configuration line 11 (company access key)
  std::string nombreAdministrador = "Administrador";
  std::string claveAdministrador;
};

// The 72 lines of "Gener<N>.cnf" for a new company: the configuration module's defaults
// with this company's data directory, name and access key.
std::vector<std::string> lineasConfiguracion(const OpcionesEmpresa& o);

// The lines of "Indices.cnf" for the company tables: "tabla.dbf,ETIQUETA,CAMPO1;CAMPO2",
// table name in lower case, the lines of one table together.
std::vector<std::string> lineasIndices();

// Built-in movement concepts (type, description); the user cannot delete 1-7 and 51-57.
struct ConceptoMovimiento {
  int numero;
  const char* descripcion;
};
const std::vector<ConceptoMovimiento>& conceptosMovimiento();
bool conceptoProtegido(int numero);

}  // namespace mostrador::session
