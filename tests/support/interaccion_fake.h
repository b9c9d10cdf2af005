#pragma once
// A scripted Interaccion for engine tests. Answers are queued per dialog kind before the
// code under test runs; every call is recorded, in order, as a readable line:
//
//   "mensaje: El Archivo X No Existe"        "advertencia: ¿ ... ?"  (+ " [F9]" with the key button)
//   "cerrar"    "administrador"   "dato: <title>"   "busca"  /  "busca con direccion"
//   "abre archivo: <title> (<filter>)"   "guarda archivo: <title> (<filter>)"
//   "texto: <title> / <prompt> [<initial>]"
//   "progreso: <title> 0/<max>"   "avanza: <n>"   "fin progreso"   "espera"   "fin espera"
//
// A dialog asked for with no answer queued fails the test (naming the call) and gets the
// cancelling answer. Answers still queued when the fake is destroyed fail the test too:
// the code under test did not ask what the test expected it to ask.

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "base/interaccion.h"

namespace mostrador::prueba {

class InteraccionFalsa : public base::Interaccion {
 public:
  InteraccionFalsa() = default;
  ~InteraccionFalsa() override;

  InteraccionFalsa& respondeAdvertencia(base::RespuestaAdvertencia r);
  InteraccionFalsa& respondeCerrar(base::RespuestaCerrar r);
  InteraccionFalsa& respondeAdministrador(base::RespuestaAdministrador r);
  InteraccionFalsa& respondeDato(std::string texto);  // what the user typed, unchecked
  InteraccionFalsa& respondeBusqueda(std::optional<base::Busqueda> r);
  InteraccionFalsa& respondeArchivo(std::optional<std::string> ruta);  // open and save
  InteraccionFalsa& respondeTexto(std::optional<std::string> texto);

  const std::vector<std::string>& llamadas() const { return llamadas_; }
  // Only the texts of the message boxes, in order.
  std::vector<std::string> mensajes() const;
  void olvidaLlamadas() { llamadas_.clear(); }

  using base::Interaccion::advertencia;
  void mensaje(std::string_view texto) override;
  base::RespuestaAdvertencia advertencia(std::string_view pregunta, bool conClave) override;
  base::RespuestaCerrar cerrar() override;
  base::RespuestaAdministrador administrador() override;
  std::optional<base::Busqueda> busca(bool conDireccion) override;
  std::optional<std::string> abreArchivo(std::string_view titulo, std::string_view filtro) override;
  std::optional<std::string> guardaArchivo(std::string_view titulo, std::string_view filtro) override;
  std::optional<std::string> pideTexto(std::string_view titulo, std::string_view etiqueta,
                                       std::string_view inicial) override;
  void iniciaProgreso(std::string_view titulo, int maximo) override;
  void avanzaProgreso(int pasos = 1) override;
  void terminaProgreso() override;
  void iniciaEspera() override;
  void terminaEspera() override;

 protected:
  std::string pideDato(std::string_view titulo) override;

 private:
  template <class T>
  T toma(std::deque<T>& cola, const std::string& llamada, T siNoHay);

  std::vector<std::string> llamadas_;
  std::deque<base::RespuestaAdvertencia> advertencias_;
  std::deque<base::RespuestaCerrar> cerrar_;
  std::deque<base::RespuestaAdministrador> administrador_;
  std::deque<std::string> datos_;
  std::deque<std::optional<base::Busqueda>> busquedas_;
  std::deque<std::optional<std::string>> archivos_;
  std::deque<std::optional<std::string>> textos_;
};

}  // namespace mostrador::prueba
