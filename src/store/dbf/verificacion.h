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

// Called as work advances: table name, records done, records of the table.
using AvanceVerificacion = std::function<void(const std::string&, uint64_t, uint64_t)>;

// Checks one table: header against the file size and its descriptors, every record
// readable, and, when it has a production index, every tag: entries in order, one entry
// per live record, each entry's key equal to the key of its record.
ResultadoVerificacion verificaTabla(std::string_view directorio, std::string_view archivo,
                                    const AvanceVerificacion& avance = {});

// Every table file (".dbf", ".db") of a directory.
std::vector<ResultadoVerificacion> verificaDirectorio(std::string_view directorio,
                                                      const AvanceVerificacion& avance = {});

}  // namespace mostrador::dbf
