#pragma once
// The print environment of a signed-in session: the session's directories, companion
// programs through the programs table, Local SQL over the data directory, the
// observations table, the users (through a callback: the users module sits above this
// one) and the currency table.

#include <functional>
#include <string>
#include <string_view>

#include "printing/entorno_impresion.h"
#include "base/programas.h"

namespace mostrador::printing {

class EntornoSesion : public EntornoImpresion {
 public:
  using NombreUsuario = std::function<std::string(std::string_view numero)>;

  // procesos and programas must outlive the environment. nombreUsuario may be empty (no
  // user is then known).
  EntornoSesion(std::string directorioSistema, std::string directorioDatos, base::Procesos& procesos,
                const base::TablaProgramas& programas, NombreUsuario nombreUsuario);

  std::string directorioSistema() const override { return directorioSistema_; }
  std::string directorioDatos() const override { return directorioDatos_; }

  // Sleeps a tenth of a second per unit.
  void pausa(int unidades) override;
  // A failure to start is not shown (the format goes on); ultimoResultado() keeps it.
  void ejecuta(std::string_view programa, std::string_view parametros, std::string_view directorio,
               bool espera) override;
  std::optional<std::string> consultaSql(std::string_view sentencia) override;
  std::vector<std::string> observaciones(std::string_view directorio, std::string_view clave,
                                         std::string_view tipo) override;
  std::string nombreUsuario(std::string_view numero) override;
  std::array<std::string, 4> palabrasMoneda(std::string_view moneda) override;

  // The outcome of the last ejecuta.
  const base::ResultadoPrograma& ultimoResultado() const { return ultimo_; }

 private:
  std::string directorioSistema_, directorioDatos_;
  base::Procesos& procesos_;
  const base::TablaProgramas& programas_;
  NombreUsuario nombreUsuario_;
  base::ResultadoPrograma ultimo_;
};

}  // namespace mostrador::printing
