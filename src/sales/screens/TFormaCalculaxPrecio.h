#pragma once
// TFormaCalculaxPrecio: capture by amount (F7 of the sales screen). The user types the
// amount to sell and a product key or bar code; the sales screen finds and prices the
// product and sells amount ÷ unit price of it.

#include <QDialog>
#include <optional>
#include <string>

class QLineEdit;

namespace mostrador::sales {

struct CapturaImporte {
  std::string importe, clave;
  friend bool operator==(const CapturaImporte&, const CapturaImporte&) = default;
};

class TFormaCalculaxPrecio : public QDialog {
  Q_OBJECT
 public:
  explicit TFormaCalculaxPrecio(QWidget* padre = nullptr);
  static std::optional<CapturaImporte> pide(QWidget* padre);

  // Set once the dialog was accepted with an amount above 0 and a key.
  std::optional<CapturaImporte> resultado() const { return resultado_; }

 protected:
  void keyPressEvent(QKeyEvent* e) override;

 private:
  void acepta();
  QLineEdit* importe_;
  QLineEdit* clave_;
  std::optional<CapturaImporte> resultado_;
};

}  // namespace mostrador::sales
