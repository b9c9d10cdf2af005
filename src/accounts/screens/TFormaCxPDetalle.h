#pragma once
// TFormaCxPDetalle: the payables detail of one purchase (accounts/cuentas.h): "Compra No. "
// + number, the state ("Deudor" in red or "Saldada"), "Proveedor " + key, the applied and
// due dates of the first movement, the due state and the movements (type 2 in red).
// New, Change and Remove go through a small entry window (TFormaMovimientoPagar); each
// stores the recomputed balance on the first movement.

#include <QDialog>
#include <functional>
#include <optional>
#include <string>

#include "accounts/cuentas.h"
#include "base/interaccion.h"
#include "base/reloj.h"
#include "printing/impresora.h"

class QLabel;
class QLineEdit;
class QTableView;

namespace mostrador::ui {
class ModeloFilas;
}

namespace mostrador::accounts {

// The entry window of one movement: typing the type fills the concept and operation from
// Concepto.dbf ("El Movimiento No Se Encuentra" for a type not there); the amount starts
// as the proposed one (the document's balance).
class TFormaMovimientoPagar : public QDialog {
  Q_OBJECT
 public:
  TFormaMovimientoPagar(std::string dirDatos, const MovimientoPagar& inicial, base::Interaccion& ui,
                        QWidget* padre = nullptr);
  // Leaving the type field; false (message said) for a type not in the table.
  bool saleTipo();
  // The accept button: the movement typed, or nullopt (message said) when it is not valid.
  std::optional<MovimientoPagar> movimiento();
  QLineEdit* tipo() const { return tipo_; }
  QLineEdit* importe() const { return importe_; }
  QLineEdit* aplicado() const { return aplicado_; }
  QString concepto() const;
  QString operacion() const;

 private:
  std::string dirDatos_;
  base::Interaccion& ui_;
  QLineEdit *tipo_, *importe_, *aplicado_, *vence_;
  QLabel *concepto_, *operacion_;
  MovimientoPagar inicial_;
};

class TFormaCxPDetalle : public QDialog {
  Q_OBJECT
 public:
  TFormaCxPDetalle(QWidget* padre, std::string dirDatos, std::string documento, base::Interaccion& ui,
                   const base::Reloj& reloj);

  // Opens the window on the purchase and waits until it closes; false (message said) when
  // it has no movements.
  static bool muestra(QWidget* padre, const std::string& dirDatos, const std::string& documento,
                      base::Interaccion& ui, const base::Reloj& reloj);

  bool carga();
  const std::optional<DetalleDocumento>& detalle() const { return detalle_; }
  QTableView* rejilla() const { return rejilla_; }
  const ui::ModeloFilas& filas() const { return *modelo_; }
  QString etiqueta(const char* nombre) const;

  // The entry window; tests put their own (it fills the movement and answers whether it
  // was accepted).
  using Entrada = std::function<std::optional<MovimientoPagar>(TFormaMovimientoPagar&)>;
  void ponEntrada(Entrada e) { entrada_ = std::move(e); }

  void BotonNuevoClick();    // "Nueva cuenta"
  void BotonCambiosClick();  // "Cambia datos", the current row
  void BotonEliminaClick();  // "Elimina cuenta", the current row
  void BotonImprimeClick();  // the document's statement, printed or as a PDF
  // The printer of BotonImprime (the system's when none is given).
  void ponImpresora(printing::Impresora* i) { impresora_ = i; }

 private:
  void pinta();
  std::optional<MovimientoPagar> pide(const MovimientoPagar& inicial);
  const Asiento* actual() const;

  std::string dirDatos_, documento_;
  printing::Impresora* impresora_ = nullptr;
  base::Interaccion& ui_;
  const base::Reloj& reloj_;
  std::optional<DetalleDocumento> detalle_;
  Entrada entrada_;
  QTableView* rejilla_;
  ui::ModeloFilas* modelo_;
  QLabel *titulo_, *saldo_, *estado_, *proveedor_, *aplicado_, *vence_, *vencimiento_;
};

}  // namespace mostrador::accounts
