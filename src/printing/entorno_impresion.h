#pragma once
// What a print run needs from the rest of the system besides the tables, the printers,
// the user (shell::Interaccion) and the clock (shell::Reloj): directories, waiting,
// companion programs, Local SQL, observation lines, user names and currency words. The
// session implements it over the shared services; tests with a scripted fake.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>


namespace mostrador::printing {

class EntornoImpresion {
 public:
  virtual ~EntornoImpresion() = default;

  // Line 1 of the initialisation file, read anew for every run.
  virtual std::string directorioSistema() const = 0;
  // The company's data directory (configuration line 8).
  virtual std::string directorioDatos() const = 0;

  // Waits n pause units (one unit is a tenth of a second), without handling messages.
  virtual void pausa(int unidades) = 0;
  // Starts a companion program (Windows name, mapped by the programs table) in the
  // given directory; when espera, returns once it ends while the screen keeps
  // handling its messages.
  virtual void ejecuta(std::string_view programa, std::string_view parametros,
                       std::string_view directorio, bool espera) = 0;

  // First column of the first row of a Local SQL statement; nullopt on any failure or
  // when there is no row.
  virtual std::optional<std::string> consultaSql(std::string_view sentencia) = 0;
  // OBSER_FO of the records of "factuobs.dbf" (in the given directory) under index
  // CLDOC_FO limited to the key, whose TIDOC_FO equals tipo, in index order.
  virtual std::vector<std::string> observaciones(std::string_view directorio,
                                                 std::string_view clave,
                                                 std::string_view tipo) = 0;
  // Name of the user with that number, "" when unknown.
  virtual std::string nombreUsuario(std::string_view numero) = 0;
  // Singular, plural, second plural and abbreviation of a currency of "\moneda.tvk";
  // "xx" each when it is not there.
  virtual std::array<std::string, 4> palabrasMoneda(std::string_view moneda) = 0;
};

}  // namespace mostrador::printing
