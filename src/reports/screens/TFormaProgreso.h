#pragma once
// The progress screen of the concentration generator: the phase's message, a gauge from
// 0 to 100, "Espere por Favor" and a cancel button. It stands in for the session's
// Interaccion while the generator runs: the progress calls are its own, everything else
// goes to the session's dialogs.

#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include "base/interaccion.h"

class TFormaProgreso : public QDialog, public mostrador::base::Interaccion {
  Q_OBJECT

 public:
  TFormaProgreso(mostrador::base::Interaccion& ui, QWidget* parent = nullptr);

  // True once the cancel button was pressed (the generator asks between records).
  bool cancelado() const { return cancelado_; }
  void BotonCancelarClick();

  using mostrador::base::Interaccion::advertencia;
  void mensaje(std::string_view texto) override { ui_.mensaje(texto); }
  mostrador::base::RespuestaAdvertencia advertencia(std::string_view p, bool c) override { return ui_.advertencia(p, c); }
  mostrador::base::RespuestaCerrar cerrar() override { return ui_.cerrar(); }
  mostrador::base::RespuestaAdministrador administrador() override { return ui_.administrador(); }
  std::optional<mostrador::base::Busqueda> busca(bool d) override { return ui_.busca(d); }
  std::optional<std::string> abreArchivo(std::string_view t, std::string_view f) override { return ui_.abreArchivo(t, f); }
  std::optional<std::string> guardaArchivo(std::string_view t, std::string_view f) override {
    return ui_.guardaArchivo(t, f);
  }
  std::optional<std::string> pideTexto(std::string_view t, std::string_view e, std::string_view i) override {
    return ui_.pideTexto(t, e, i);
  }
  void iniciaProgreso(std::string_view titulo, int maximo) override;
  void avanzaProgreso(int pasos = 1) override;
  void terminaProgreso() override;
  void iniciaEspera() override { ui_.iniciaEspera(); }
  void terminaEspera() override { ui_.terminaEspera(); }

  QLabel* Mensaje;
  QLabel* Espere;
  QProgressBar* Barra;
  QPushButton* BotonCancelar;

 protected:
  std::string pideDato(std::string_view titulo) override { return ui_.dato(titulo); }

 private:
  mostrador::base::Interaccion& ui_;
  bool cancelado_ = false;
  int maximo_ = 0, hecho_ = 0;
};
