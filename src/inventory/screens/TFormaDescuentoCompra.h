#pragma once
// TFormaDescuentoCompra: the three successive discounts of a purchase line, typed in a
// small window when the shop asks for it per line. The last values typed are kept in
// "DescentosCompra.cnf" of the system directory (one per line) and proposed next time,
// since a supplier's lines usually carry the same discounts.

#include <QDialog>
#include <array>
#include <string>

class QLineEdit;

namespace mostrador::inventory {

class TFormaDescuentoCompra : public QDialog {
  Q_OBJECT
 public:
  TFormaDescuentoCompra(std::string dirSistema, QWidget* parent = nullptr);

  // The values as typed (a blank or unreadable one reads as 0).
  std::array<double, 3> descuentos() const;
  // Accepts the window and remembers the values; false (and the window stays) when one
  // is negative or above 100.
  bool BotonAceptarClick();

  // The remembered values; zeros when the file is missing.
  static std::array<double, 3> ultimos(const std::string& dirSistema);
  static std::string archivo(const std::string& dirSistema);

 private:
  std::string dirSistema_;
  std::array<QLineEdit*, 3> edits_{};
};

}  // namespace mostrador::inventory
