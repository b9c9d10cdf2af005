#pragma once
// What a new company and a new station start with, as values: the users file record,
// the 72 configuration lines, the index description lines and the built-in movement
// concepts. Writing them to disk is empresa_nueva's job.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace mostrador::store {

// Turns a user's name or key (UTF-8) into the bytes stored in the users file. The
// substitution belongs to the users module; it is passed in so that this module does
// not carry a second copy of its alphabet.
using CifradoUsuario = std::function<std::string(std::string_view)>;

struct RegistroUsuario {
  int numero = 0;
  std::string nombre;    // as typed (UTF-8)
  std::string clave;     // as typed (UTF-8)
  std::string derechos;  // rights letters, not scrambled
};

// One 140-byte record of "usuarios.def":
//   OFFSET SIZE MEANING
//        0    4 user number, signed 32-bit little-endian (= the record's position)
//        4    3 reserved, zeros
//        7   61 name: length byte (0..60) + 60 bytes, scrambled
//       68   11 key: length byte (0..10) + 10 bytes, scrambled
//       79   61 rights: length byte (0..60) + 60 bytes, plain
// Strings longer than their capacity are cut to it; unused bytes are zeros.
std::string codificaUsuario(const RegistroUsuario& u, const CifradoUsuario& cifra);
inline constexpr int kTamRegistroUsuario = 140;
inline constexpr int kDerechos = 55;

struct OpcionesEmpresa {
  int numero = 1;                  // N of "Gener<N>.cnf"
  std::string nombre = "Mi Empresa";  // configuration line 9
  std::string dirDatos;            // configuration line 8
  std::string dirSistema;          // where "Gener<N>.cnf", the users file and scratch go
  std::string claveEmpresa;        // configuration line 11 (company access key)
  std::string nombreAdministrador = "Administrador";
  std::string claveAdministrador;
  CifradoUsuario cifra;            // required to write the users file
};

// The 72 lines of "Gener<N>.cnf" for a new company (defaults of a shop selling with
// tax-exclusive prices, stock moved by its documents).
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

}  // namespace mostrador::store
