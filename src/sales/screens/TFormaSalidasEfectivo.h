#pragma once
// TFormaSalidasEfectivo: cash out of the drawer (mode 1, the standard window colour) or
// into it (mode 2, "Entradas de Efectivo" on a blue panel). It lists the concepts of
// "\Salidas.cnf" (a double click opens the file for editing) and the movements of the
// chosen date with their sum; Aceptar records the amount typed with its concept at this
// till and closes. The caller prints the voucher of the movement recorded.

#include <QDialog>
#include <functional>
#include <optional>
#include <string>

#include "base/interaccion.h"
#include "base/reloj.h"
#include "sales/caja.h"

class QDateEdit;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTableWidget;

namespace mostrador::sales {

struct DatosEfectivo {
  std::string dirSistema, dirDatos;
  std::string caja, vendedor;  // this till and its default seller
};

class TFormaSalidasEfectivo : public QDialog {
  Q_OBJECT
 public:
  TFormaSalidasEfectivo(ModoEfectivo modo, DatosEfectivo datos, base::Interaccion& ui, const base::Reloj& reloj,
                        QWidget* padre = nullptr);

  // A double click on the concepts: the file to edit ("\Salidas.cnf" of the install).
  std::function<void(const std::string& archivo)> editaConceptos;

  // The movements of the date shown, again.
  void FechaChange();
  // Records the movement typed and closes with acceptance; false when nothing was
  // recorded (no amount, or the save failed).
  bool BotonAceptarClick();
  void ListaConceptosClick();
  void ListaConceptosDblClick();

  ModoEfectivo modo() const { return modo_; }
  // The movement recorded on acceptance.
  std::optional<long long> registrado() const { return registrado_; }

 private:
  ModoEfectivo modo_;
  DatosEfectivo datos_;
  base::Interaccion& ui_;
  const base::Reloj& reloj_;
  std::optional<long long> registrado_;

  QFrame* Panel = nullptr;
  QDateEdit* Fecha = nullptr;
  QListWidget* ListaConceptos = nullptr;
  QLineEdit* Concepto = nullptr;
  QLineEdit* Cantidad = nullptr;
  QTableWidget* Movimientos = nullptr;
  QLabel* LabelRetiros = nullptr;
  QPushButton* BotonAceptar = nullptr;
  QPushButton* BotonCancelar = nullptr;
};

}  // namespace mostrador::sales
