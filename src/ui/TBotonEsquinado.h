#pragma once
// TBotonEsquinado: the rounded toolbar button of the main window and the module screens.
// A push button whose corners are cut to a rounded rectangle; it lights up under the
// mouse and reports the right mouse button (for the description popups).

#include <QPushButton>

namespace mostrador::ui {

class TBotonEsquinado : public QPushButton {
  Q_OBJECT
 public:
  explicit TBotonEsquinado(const QString& texto = {}, QWidget* parent = nullptr);
  void setRadio(int radio);
  int radio() const { return radio_; }
  void setColor(const QColor& c);

 signals:
  void clicDerecho();

 protected:
  void paintEvent(QPaintEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void enterEvent(QEnterEvent* e) override;
  void leaveEvent(QEvent* e) override;

 private:
  int radio_ = 10;
  QColor color_{0, 96, 160};
  bool encima_ = false;
};

}  // namespace mostrador::ui
