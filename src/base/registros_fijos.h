#pragma once
// Typed files of fixed-size records ("usuarios.def", "\caja.cnf", "\moneda.tvk",
// "\confcamp.cmp", "\ayuda\describe.des", the preview and generator scratch files).
//
// A file is a bare sequence of records, no header; record k (0-based) starts at byte
// k × size. A layout names the fields of one record:
//
//   KIND      BYTES ON DISK          MEANING
//   Cadena    1 + capacity           length byte, then that many Windows-1252 characters,
//                                    then zero bytes up to the capacity. On reading, a
//                                    length byte above the capacity counts as the capacity
//                                    and bytes beyond the length are ignored (older writers
//                                    leave garbage there). On writing, a longer text is cut
//                                    to the capacity and the rest is filled with zeros.
//   Entero32  4                      signed, little-endian
//   Entero16  2                      signed, little-endian
//   Bytes     size                   raw bytes (reserved areas, padding), zero when unset
//
// The capacity of a string counts characters, as the files' own layouts state them
// ("name, up to 60 characters" is Cadena of capacity 60 occupying 61 bytes). Text
// crosses this API as UTF-8; "ñ" takes one byte on disk.
//
// The record count is the file size divided by the record size: a partial last record
// (a file cut short by a crash or a copy) is not a record and is never returned.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mostrador::base {

enum class TipoCampoFijo { Cadena, Entero32, Entero16, Bytes };

struct CampoFijo {
  std::string nombre;
  TipoCampoFijo tipo = TipoCampoFijo::Bytes;
  size_t desplazamiento = 0;
  size_t capacidad = 0;  // characters for Cadena, bytes for Bytes; unused for integers

  size_t tamano() const;  // bytes the field occupies in the record

  static CampoFijo cadena(std::string nombre, size_t desplazamiento, size_t capacidad);
  static CampoFijo entero32(std::string nombre, size_t desplazamiento);
  static CampoFijo entero16(std::string nombre, size_t desplazamiento);
  static CampoFijo bytes(std::string nombre, size_t desplazamiento, size_t tamano);
};

// The layout of one record. Preconditions (asserted): every field lies inside the record,
// no two fields overlap, names are unique. Bytes not covered by a field are written as
// zeros and ignored on reading.
class DisenoRegistro {
 public:
  DisenoRegistro(size_t tamano, std::vector<CampoFijo> campos);

  size_t tamano() const { return tamano_; }
  const std::vector<CampoFijo>& campos() const { return campos_; }
  // The field of that name; asserts that it exists (a wrong name is a programming error).
  const CampoFijo& campo(std::string_view nombre) const;
  bool tieneCampo(std::string_view nombre) const;

 private:
  size_t tamano_;
  std::vector<CampoFijo> campos_;
};

// One record's bytes, read and written through its layout. The layout must outlive it.
class RegistroFijo {
 public:
  explicit RegistroFijo(const DisenoRegistro& diseno);  // all zeros
  // bytes must be exactly the record size (asserted).
  RegistroFijo(const DisenoRegistro& diseno, std::string bytes);

  std::string texto(std::string_view campo) const;           // UTF-8
  void ponTexto(std::string_view campo, std::string_view utf8);  // cut to the capacity
  int32_t entero(std::string_view campo) const;              // Entero32 or Entero16
  void ponEntero(std::string_view campo, int32_t valor);     // Entero16 keeps the low 16 bits
  std::string crudo(std::string_view campo) const;           // the field's bytes as stored
  void ponCrudo(std::string_view campo, std::string_view bytes);  // cut or zero-filled

  const std::string& bytes() const { return bytes_; }
  const DisenoRegistro& diseno() const { return *diseno_; }

 private:
  const DisenoRegistro* diseno_;
  std::string bytes_;
};

// A fixed-record file at a stored path (resolved through rutas on every access; the file
// is not held open, so other stations see each write at once).
class ArchivoFijo {
 public:
  ArchivoFijo(std::string ruta, const DisenoRegistro& diseno);

  const std::string& ruta() const { return ruta_; }
  const DisenoRegistro& diseno() const { return *diseno_; }
  bool existe() const;
  // Whole records in the file; 0 when it is missing.
  long cuenta() const;
  // Record at a position (0-based); nullopt past the last whole record, for a negative
  // position, or when the file is missing or unreadable.
  std::optional<RegistroFijo> lee(long posicion) const;
  std::vector<RegistroFijo> leeTodos() const;

  // Writes the record at its position, creating the file when missing. A position past
  // the end fills the gap with zeroed records; a partial last record is overwritten.
  bool escribe(long posicion, const RegistroFijo& registro) const;
  // Appends after the last whole record (a partial tail is overwritten).
  bool agrega(const RegistroFijo& registro) const;
  // Replaces the whole file with these records.
  bool reescribe(const std::vector<RegistroFijo>& registros) const;

 private:
  std::string ruta_;
  const DisenoRegistro* diseno_;
};

}  // namespace mostrador::base
