#pragma once
// The observations window of any record: the record's lines of "factuobs.dbf" in a
// text box; accepting replaces them by the box's lines, cancelling changes nothing.
// Made for one use by the screens' observation buttons (edita).

#include <QDialog>
#include <string>
#include <vector>

#include "base/interaccion.h"

class QPlainTextEdit;
class QPushButton;

namespace mostrador::ui {

class TFormaObservaciones : public QDialog {
  Q_OBJECT
 public:
  // dir: the directory of the table of the record observed; tipo: its kind ("CL",
  // "IN", "MI", a purchase type name...); clave: its key.
  TFormaObservaciones(std::string dir, std::string tipo, std::string clave, base::Interaccion& ui,
                      QWidget* parent = nullptr);

  // Opens the window modally on the record; true when the lines were saved.
  static bool edita(QWidget* padre, const std::string& dir, const std::string& tipo, const std::string& clave,
                    base::Interaccion& ui);

  // The box's lines as they would be stored (a final line break makes no empty line).
  std::vector<std::string> lineas() const;
  // Accept: saves and closes; a failed save says so and stays open with the text typed.
  void BotonAceptarClick();
  bool guardado() const { return guardado_; }

  QPlainTextEdit* Memo1;
  QPushButton* BotonAceptar;
  QPushButton* BotonCancelar;

 private:
  std::string dir_, tipo_, clave_;
  base::Interaccion& ui_;
  bool guardado_ = false;
};

}  // namespace mostrador::ui
