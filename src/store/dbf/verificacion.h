#pragma once
// A read-only check of the tables of a directory: what an operator runs at night to
// learn, before the shop opens, whether a table or an index needs the reindex tools.
// Nothing is changed, no table is opened exclusively, memory stays bounded whatever the
// size of the tables (records and index entries are streamed).

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace mostrador::dbf {

struct ResultadoVerificacion {
  std::string tabla;                  // file name as found on disk
  uint32_t registros = 0;             // records in the file (deleted ones included)
  uint32_t borrados = 0;
  std::vector<std::string> etiquetas; // tags checked
  std::vector<std::string> problemas; // empty when the table and its index are sound
};

// Called as work advances: table name, units done, units of the table (a unit is a
// record read or an index entry checked).
using AvanceVerificacion = std::function<void(const std::string&, uint64_t, uint64_t)>;

// Bytes of computed keys held at once; a table that needs more is checked in ranges of
// record numbers, each tag walked once per range.
inline constexpr uint64_t kMemoriaVerificacion = 256ull * 1024 * 1024;

// Checks one table: header against the file size and its descriptors, every record
// readable, and, when it has a production index, every tag: one entry per live record,
// each entry's key equal to the key of its record, no entry of a missing or deleted
// record. At most a few problems are reported per tag, and per table for the records.
// Safe while other stations post: what is only another station's write in flight is
// not reported (the protocol is described in verificacion.cpp). A save a dead station
// left half done is rolled back first, as any table open does, and is not reported.
ResultadoVerificacion verificaTabla(std::string_view directorio, std::string_view archivo,
                                    const AvanceVerificacion& avance = {},
                                    uint64_t memoria = kMemoriaVerificacion);

// Every table file (".dbf", ".db") of a directory.
std::vector<ResultadoVerificacion> verificaDirectorio(std::string_view directorio,
                                                      const AvanceVerificacion& avance = {});

}  // namespace mostrador::dbf
