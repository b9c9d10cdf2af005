#pragma once
// TFormaClaveDiseno ("Valores para Clave"): up to four value lists combined into product
// keys, listed with a description column to fill, and generated into the catalogue with
// nine common values; the lists are kept in "\claves.dat".

#include <QDialog>
#include <array>
#include <string>

#include "base/interaccion.h"

class QLineEdit;
class QLabel;
class QTableWidget;

namespace mostrador::inventory {

class TFormaClaveDiseno : public QDialog {
  Q_OBJECT
 public:
  TFormaClaveDiseno(std::string dirInventario, std::string dirTrabajo, base::Interaccion& ui,
                    QWidget* parent = nullptr);
  void combina();  // lists the keys
  int genera();    // adds the listed keys to the catalogue
  void guarda();   // the lists into "\claves.dat"
  QTableWidget* rejilla() const { return claves_; }

 private:
  std::string dirInventario_, dirTrabajo_;
  base::Interaccion& ui_;
  std::array<QLineEdit*, 4> listas_{};
  std::array<QLineEdit*, 9> comunes_{};
  QTableWidget* claves_;
  QLabel* total_;
};

}  // namespace mostrador::inventory
