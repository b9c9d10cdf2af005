#pragma once
// TFormaRango: the first and last number of a range of documents of one type
// ("Cotización", "Pedido" or "Remisión") to be invoiced together.

#include <QDialog>
#include <optional>
#include <string>
#include <utility>

class QLineEdit;

namespace mostrador::sales {

class TFormaRango : public QDialog {
  Q_OBJECT
 public:
  TFormaRango(QWidget* padre, const std::string& tipo);
  static std::optional<std::pair<long long, long long>> pide(QWidget* padre, const std::string& tipo);

  // The two numbers as typed, once accepted with two whole numbers.
  std::optional<std::pair<long long, long long>> resultado() const { return resultado_; }

 protected:
  void keyPressEvent(QKeyEvent* e) override;

 private:
  void acepta();
  QLineEdit* primero_;
  QLineEdit* ultimo_;
  std::optional<std::pair<long long, long long>> resultado_;
};

}  // namespace mostrador::sales
