#pragma once
// TFormaAcerca: the about box. Its timer (a slowly changing colour band) runs only while
// the box is shown.

#include <QDialog>

class QLabel;
class QTimer;

namespace mostrador::shell {

class TFormaAcerca : public QDialog {
  Q_OBJECT
 public:
  explicit TFormaAcerca(QWidget* parent = nullptr);
  bool timerActivo() const;

 protected:
  void showEvent(QShowEvent* e) override;
  void hideEvent(QHideEvent* e) override;

 private:
  QTimer* timer_;
  QLabel* banda_;
  int paso_ = 0;
};

}  // namespace mostrador::shell
