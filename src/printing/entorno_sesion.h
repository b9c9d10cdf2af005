#pragma once
// The print environment of a signed-in session: the session's directories, companion
// programs through its programs table, Local SQL over the data directory, the
// observations table, the session's users and the currency table.

#include <string>
#include <string_view>

#include "printing/entorno_impresion.h"
#include "base/programas.h"
#include "session/sesion.h"

namespace mostrador::printing {

class EntornoSesion : public EntornoImpresion {
 public:
  // The session must outlive the environment; its directories are read on every call.
  explicit EntornoSesion(const session::Sesion& sesion) : sesion_(sesion) {}

  std::string directorioSistema() const override { return sesion_.directorioSistema(); }
  std::string directorioDatos() const override { return sesion_.directorioDatos(); }

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
  const session::Sesion& sesion_;
  base::ResultadoPrograma ultimo_;
};

}  // namespace mostrador::printing
