#pragma once
// Maintenance work that rewrites table files (index rebuilds, header repair, backups,
// restores) needs the tables alone: another station writing meanwhile would leave a
// torn copy or lose its post. TablasExclusivas opens every table of a directory
// exclusively and keeps them so until it is destroyed; a table that another station
// holds is named, so that the operator learns which one to free, and nothing is done.
//
// A table whose header cannot be read is not held (the engine refuses to open it), but
// no other station can open it either, so it cannot be written under our feet.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/reloj.h"
#include "store/dbf/dbf_table.h"

namespace mostrador::store {

class TablasExclusivas {
 public:
  // Opens every table file of dir (".dbf", ".db") exclusively.
  explicit TablasExclusivas(std::string_view dir);
  ~TablasExclusivas();
  TablasExclusivas(const TablasExclusivas&) = delete;
  TablasExclusivas& operator=(const TablasExclusivas&) = delete;

  // True when no other station holds any table of the directory.
  bool libres() const { return enUso_.empty(); }
  // Tables another station holds, as found on disk.
  const std::vector<std::string>& enUso() const { return enUso_; }
  // Tables the engine could not open (damaged header and the like), with the reason.
  const std::vector<std::pair<std::string, std::string>>& ilegibles() const { return ilegibles_; }
  // The handle held for a table (nullptr when it is not held).
  dbf::Table* tabla(std::string_view nombre);
  // Lets go of one table (to replace its file) or of all of them.
  void suelta(std::string_view nombre);
  void sueltaTodas();

 private:
  std::vector<std::pair<std::string, std::unique_ptr<dbf::Table>>> tablas_;
  std::vector<std::string> enUso_;
  std::vector<std::pair<std::string, std::string>> ilegibles_;
};

// "La tabla facturae.dbf está en uso por otra estación" for one table,
// "Las tablas a.dbf, b.dbf están en uso por otra estación" for several.
std::string mensajeEnUso(const std::vector<std::string>& tablas);

// "08/12/2026  13:05:09": the date and time of the maintenance log lines.
std::string marcaBitacora(const base::FechaHora& ahora);

// The reason of a failed file operation, in Spanish, for the common causes an operator
// can act on (full disk, read-only or missing destination); the system's text otherwise.
std::string razonSistema(int errnum);

}  // namespace mostrador::store
