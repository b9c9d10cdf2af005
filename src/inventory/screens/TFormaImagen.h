#pragma once
// TFormaImagen: the product's picture stretched to the window, with its description
// kept in the picture path + ".dat"; a new picture can be chosen, and printed.

#include <QDialog>

#include "base/interaccion.h"

class QLabel;
class QTextEdit;

namespace mostrador::inventory {

class TFormaImagen : public QDialog {
  Q_OBJECT
 public:
  TFormaImagen(const QString& ruta, base::Interaccion& ui, QWidget* parent = nullptr);
  // The picture chosen with "Cambiar" (stored path), empty when none.
  QString rutaElegida() const { return elegida_; }
  void guarda();   // the description into ruta + ".dat"
  void cambia();   // asks for another picture
  void imprime();

 private:
  void carga(const QString& ruta);
  base::Interaccion& ui_;
  QString ruta_, elegida_;
  QLabel* imagen_;
  QLabel* aviso_;
  QTextEdit* descripcion_;
};

}  // namespace mostrador::inventory
