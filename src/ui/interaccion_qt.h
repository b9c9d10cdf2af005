#pragma once
// The Interaccion seam with the real dialogs: TDialogo, TFormaAdvertencia, TFormaCerrar,
// TFormaAdministrador, TFormaBusqueda, TFormaDato, the file dialogs, a text prompt, a
// progress box and the busy cursor.

#include <QPointer>
#include <functional>
#include <string>

#include "base/interaccion.h"

class QProgressDialog;
class QWidget;

namespace mostrador::ui {

class InteraccionQt : public base::Interaccion {
 public:
  // sistema gives the current system directory (the administrator key lives in its
  // users file); padre is the window the dialogs centre on.
  explicit InteraccionQt(std::function<std::string()> sistema, QWidget* padre = nullptr);
  ~InteraccionQt() override;
  void ponPadre(QWidget* padre) { padre_ = padre; }

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
  QWidget* padre() const;
  std::function<std::string()> sistema_;
  QPointer<QWidget> padre_;
  QProgressDialog* progreso_ = nullptr;
  int espera_ = 0;
};

// "Formatos (*.for)|*.for|Todos|*.*" as the Qt file dialogs write it.
QString filtroQt(std::string_view filtro);

}  // namespace mostrador::ui
