#pragma once
// TFormaDivisa: the currency table "\moneda.tvk" of the data directory in a grid of
// fixed rows; SpeedButton1 writes one record per row, empty rows included.

#include <QDialog>
#include <string>
#include <vector>

#include "base/interaccion.h"
#include "base/moneda.h"

class QTableWidget;

namespace mostrador::sales {

class TFormaDivisa : public QDialog {
  Q_OBJECT
 public:
  // Rows of the grid below its titles: the records written, and the most read.
  static constexpr int kFilas = 10;

  TFormaDivisa(QWidget* padre, const std::string& dirDatos, base::Interaccion& ui);
  static void edita(QWidget* padre, const std::string& dirDatos, base::Interaccion& ui);

  QTableWidget* rejilla() const { return monedas_; }
  // The grid's rows as currencies.
  std::vector<base::Moneda> monedas() const;
  void SpeedButton1Click();

 private:
  std::string dirDatos_;
  base::Interaccion& ui_;
  QTableWidget* monedas_;
};

}  // namespace mostrador::sales
