#pragma once
// TFormaElipse: the elliptical splash window. It closes itself on its timer, on any key
// and on any click; start-up destroys it in any case once the resident screens exist.

#include <QWidget>

class QTimer;

namespace mostrador::shell {

class TFormaElipse : public QWidget {
  Q_OBJECT
 public:
  explicit TFormaElipse(QWidget* parent = nullptr);

 protected:
  void paintEvent(QPaintEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;

 private:
  QTimer* timer_;
};

}  // namespace mostrador::shell
