#pragma once
// DialogoRangoFechas: the "Rango" dialog with two dates, "De" and "Hasta", both today at
// first (the closing invoice takes the first).

#include <QDialog>
#include <optional>
#include <utility>

#include "base/reloj.h"

class QLineEdit;

namespace mostrador::sales {

class DialogoRangoFechas : public QDialog {
  Q_OBJECT
 public:
  DialogoRangoFechas(QWidget* padre, base::Fecha hoy);
  static std::optional<std::pair<base::Fecha, base::Fecha>> pide(QWidget* padre, base::Fecha hoy);

  // The two dates, once accepted with two real calendar dates.
  std::optional<std::pair<base::Fecha, base::Fecha>> resultado() const { return resultado_; }

 protected:
  void keyPressEvent(QKeyEvent* e) override;

 private:
  void acepta();
  QLineEdit* de_;
  QLineEdit* hasta_;
  std::optional<std::pair<base::Fecha, base::Fecha>> resultado_;
};

}  // namespace mostrador::sales
