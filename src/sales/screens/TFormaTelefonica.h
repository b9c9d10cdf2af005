#pragma once
// TFormaTelefonica: the day's calls with each caller's customer.

#include <QDialog>
#include <vector>

#include "sales/mostrador_venta.h"

namespace mostrador::sales {

class TFormaTelefonica : public QDialog {
  Q_OBJECT
 public:
  TFormaTelefonica(const std::vector<Llamada>& llamadas, QWidget* parent = nullptr);
  static void muestra(QWidget* parent, const std::vector<Llamada>& llamadas);
};

}  // namespace mostrador::sales
