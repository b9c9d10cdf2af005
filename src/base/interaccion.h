#pragma once
// The one way engines talk to the user. Screens implement it with the stock dialogs
// (ui/), tests with a scripted fake that records every call. Every call is modal: it
// returns the user's answer and nothing else happens meanwhile.

#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

namespace mostrador::base {

// The default question of the confirmation dialog.
inline constexpr std::string_view kPreguntaEliminar =
    "¿ Esta Seguro que Desea Eliminar el Documento ?";

// Confirmation (TFormaAdvertencia). The values are the dialog's own answer numbers.
enum class RespuestaAdvertencia { No = 0, Si = 1, Clave = 2 };

// Pending changes on closing a screen (TFormaCerrar).
enum class RespuestaCerrar { Guardar = 1, Descartar = 2, Quedarse = 3 };

// Administrator key dialog (TFormaAdministrador).
struct RespuestaAdministrador {
  enum Resultado { OtraClave = 0, Administrador = 1, Cancelada = 2 };
  Resultado resultado = Cancelada;
  std::string clave;  // the key typed, for OtraClave (its owner's rights decide)
};

// Search box (TFormaBusqueda).
enum class CampoBusqueda { Clave, Nombre, Direccion };
struct Busqueda {
  std::string texto;
  CampoBusqueda campo = CampoBusqueda::Clave;
  friend bool operator==(const Busqueda&, const Busqueda&) = default;
};

// A number as the number prompt accepts it: not empty, only digits and decimal points
// ("1.2.3" passes; the callers read it as far as it goes).
bool numeroValido(std::string_view texto);

// Implementations override the virtual members; an implementation that is also called
// directly (not through Interaccion&) needs "using Interaccion::advertencia;" so that the
// short forms stay visible.
class Interaccion {
 public:
  virtual ~Interaccion() = default;

  // Message box (TDialogo).
  virtual void mensaje(std::string_view texto) = 0;

  // Confirmation; conClave shows the third button "Capturar Clave (F9)".
  virtual RespuestaAdvertencia advertencia(std::string_view pregunta, bool conClave) = 0;
  RespuestaAdvertencia advertencia() { return advertencia(kPreguntaEliminar, false); }
  RespuestaAdvertencia advertencia(std::string_view pregunta) { return advertencia(pregunta, false); }

  virtual RespuestaCerrar cerrar() = 0;
  virtual RespuestaAdministrador administrador() = 0;

  // Number prompt (TFormaDato): the text typed, or "0" when it is not a valid number.
  std::string dato(std::string_view titulo) {
    std::string t = pideDato(titulo);
    return numeroValido(t) ? t : "0";
  }

  // Search box; conDireccion offers the third choice. nullopt: the search was cancelled.
  virtual std::optional<Busqueda> busca(bool conDireccion) = 0;

  // File choice. filtro as the file dialogs take it: "Formatos (*.for)|*.for|Todos|*.*".
  // The answer is a stored path; nullopt when cancelled.
  virtual std::optional<std::string> abreArchivo(std::string_view titulo, std::string_view filtro) = 0;
  virtual std::optional<std::string> guardaArchivo(std::string_view titulo, std::string_view filtro) = 0;

  // Free text prompt (caption, prompt, initial text); nullopt when cancelled.
  virtual std::optional<std::string> pideTexto(std::string_view titulo, std::string_view etiqueta,
                                               std::string_view inicial) = 0;

  // Progress of a long operation: start, advance by steps, finish.
  virtual void iniciaProgreso(std::string_view titulo, int maximo) = 0;
  virtual void avanzaProgreso(int pasos = 1) = 0;
  virtual void terminaProgreso() = 0;

  // Busy cursor while a long operation runs (see Espera).
  virtual void iniciaEspera() = 0;
  virtual void terminaEspera() = 0;

 protected:
  // What the number prompt's field holds when it closes, unchecked.
  virtual std::string pideDato(std::string_view titulo) = 0;
};

// For runs with nobody at the screen (the command line, the headless demo, background
// checks, benchmarks): messages go to `salida` (nowhere when null), every question gets
// the answer that changes nothing, and nothing waits for a user.
class InteraccionSinUsuario : public Interaccion {
 public:
  explicit InteraccionSinUsuario(std::ostream* salida = nullptr) : salida_(salida) {}
  using Interaccion::advertencia;
  void mensaje(std::string_view texto) override;
  RespuestaAdvertencia advertencia(std::string_view, bool) override { return RespuestaAdvertencia::No; }
  RespuestaCerrar cerrar() override { return RespuestaCerrar::Quedarse; }
  RespuestaAdministrador administrador() override { return {}; }
  std::optional<Busqueda> busca(bool) override { return std::nullopt; }
  std::optional<std::string> abreArchivo(std::string_view, std::string_view) override { return std::nullopt; }
  std::optional<std::string> guardaArchivo(std::string_view, std::string_view) override { return std::nullopt; }
  std::optional<std::string> pideTexto(std::string_view, std::string_view, std::string_view) override {
    return std::nullopt;
  }
  void iniciaProgreso(std::string_view, int) override {}
  void avanzaProgreso(int) override {}
  void terminaProgreso() override {}
  void iniciaEspera() override {}
  void terminaEspera() override {}

 protected:
  std::string pideDato(std::string_view) override { return "0"; }
  std::ostream* salida_;
};

// Shows the busy cursor for the lifetime of the object.
class Espera {
 public:
  explicit Espera(Interaccion& ui) : ui_(ui) { ui_.iniciaEspera(); }
  ~Espera() { ui_.terminaEspera(); }
  Espera(const Espera&) = delete;
  Espera& operator=(const Espera&) = delete;

 private:
  Interaccion& ui_;
};

}  // namespace mostrador::base
