#pragma once
// TFormaCapturaRapida: the counter screen. The sales document screen over the same
// capture engine, with the counter's engine (sales::MostradorVenta) beside it: payment
// types, cash tendered and change shown large where the cashier looks, the sale on
// hold, export, the caller list, quick products, the options of "\encabeza.cnf" lines
// 10 to 14, the grid widths of "\detalle.dat" and the modify switch of "\mdf.cnf".
//
// The scale, the drawer and the cash in and out are the station's devices and the
// till's commands: the screen calls the hooks below, which the program wires; an unset
// hook leaves the sale unaffected.

#include <functional>
#include <memory>
#include <optional>

#include "sales/mostrador_venta.h"
#include "sales/screens/TFormaFactura.h"

class QFrame;
class PortapapelesQt;

namespace mostrador::sales {

class TFormaCapturaRapida : public TFormaFactura {
  Q_OBJECT
 public:
  // sesion: the program's session (printing, companion programs); null makes one of
  // the screen's own.
  TFormaCapturaRapida(AjustesVenta ajustes, base::Interaccion& ui, const base::Reloj& reloj,
                      session::Sesion* sesion = nullptr, QWidget* parent = nullptr,
                      DialogosVenta* dialogos = nullptr);
  ~TFormaCapturaRapida() override;

  MostradorVenta& mostrador() { return *mostrador_; }

  // Hooks of the devices and the till.
  std::function<void(bool encendida)> alBascula;      // HabilitarBascula1: reader on/off
  std::function<std::optional<double>()> leeBascula;  // TimerBasculaTimer: the weight read
  std::function<void()> abreCajon;                    // AbrirCajn1Click

  // Commands.
  void BotonNuevoClick() override;
  void BotonGuardarClick() override;
  void BotonImprimirClick() override;
  void TipoPagoExit();
  void VentaenEspera1Click();
  void AbrirCajn1Click();
  void HabilitarBascula1Click();
  void TimerBasculaTimer();
  void IntegrarIdentificadorTelefnico1Click();
  void VerListaTelefnica1Click();
  void ChecarPrecio1Click();
  void ExportarDocumento1Click();
  void DescuentosTipodePago1Click();
  void HabilitarPago1Click();
  void ClaveRapida1Click();
  void Modificar1Click();
  void ImprimirRango1Click();  // reprints a range of tickets

  // The grid's widths as "\detalle.dat" keeps them.
  std::vector<int> anchosColumnas() const;
  void pinta() override;

 protected:
  std::string textoEstadoAbierto() const override;
  bool vistaTicket() const override { return true; }
  void showEvent(QShowEvent* e) override;
  void done(int r) override;

 private:
  void creaMenuMostrador();
  void creaPanelPago();
  void pintaPago();
  void llenaTiposPago();
  void opcion(const char* nombre, int linea);

  std::unique_ptr<MostradorVenta> mostrador_;
  std::unique_ptr<PortapapelesQt> portapapeles_;
  QTimer* TimerBascula = nullptr;
  QLabel* TotalGrande = nullptr;
  QLineEdit* EditBascula = nullptr;
  bool mostrada_ = false;
  bool cerrando_ = false;  // a save or a print is running: the scale waits
};

}  // namespace mostrador::sales
