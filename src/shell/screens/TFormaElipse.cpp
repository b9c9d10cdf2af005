#include "shell/screens/TFormaElipse.h"

#include <QPainter>
#include <QRegion>
#include <QTimer>

namespace mostrador::shell {

TFormaElipse::TFormaElipse(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
  setObjectName("TFormaElipse");
  setWindowTitle("Mostrador");
  resize(480, 280);
  timer_ = new QTimer(this);
  timer_->setObjectName("Timer1");
  timer_->setSingleShot(true);
  timer_->setInterval(3000);
  connect(timer_, &QTimer::timeout, this, &QWidget::close);
  timer_->start();
}

void TFormaElipse::resizeEvent(QResizeEvent* e) {
  QWidget::resizeEvent(e);
  setMask(QRegion(rect(), QRegion::Ellipse));
}

void TFormaElipse::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient g(0, 0, 0, height());
  g.setColorAt(0, QColor(0, 0, 60));
  g.setColorAt(1, QColor(0, 90, 200));
  p.setBrush(g);
  p.setPen(Qt::NoPen);
  p.drawEllipse(rect());
  p.setPen(Qt::white);
  QFont f = font();
  f.setPointSize(30);
  f.setBold(true);
  p.setFont(f);
  p.drawText(rect().adjusted(0, -30, 0, -30), Qt::AlignCenter, "Mostrador");
  f.setPointSize(12);
  f.setBold(false);
  p.setFont(f);
  p.drawText(rect().adjusted(0, 50, 0, 50), Qt::AlignCenter, "V 4.6.1");
}

void TFormaElipse::keyPressEvent(QKeyEvent*) { close(); }
void TFormaElipse::mousePressEvent(QMouseEvent*) { close(); }

}  // namespace mostrador::shell
