#include "ui/TBotonEsquinado.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QRegion>

namespace mostrador::ui {

TBotonEsquinado::TBotonEsquinado(const QString& texto, QWidget* parent) : QPushButton(texto, parent) {
  setCursor(Qt::PointingHandCursor);
  setMinimumSize(72, 56);
}

void TBotonEsquinado::setRadio(int radio) {
  radio_ = radio;
  update();
}

void TBotonEsquinado::setColor(const QColor& c) {
  color_ = c;
  update();
}

void TBotonEsquinado::resizeEvent(QResizeEvent* e) {
  QPushButton::resizeEvent(e);
  // Clicks outside the rounded shape fall through to what is behind.
  QPainterPath forma;
  forma.addRoundedRect(QRectF(rect()), radio_, radio_);
  setMask(QRegion(forma.toFillPolygon().toPolygon()));
}

void TBotonEsquinado::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  QColor fondo = !isEnabled() ? QColor(150, 150, 150) : encima_ ? color_.lighter(130) : color_;
  if (isDown()) fondo = fondo.darker(130);
  QPainterPath forma;
  forma.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), radio_, radio_);
  p.fillPath(forma, fondo);
  p.setPen(QPen(fondo.darker(150), 1));
  p.drawPath(forma);
  p.setPen(Qt::white);
  QRect area = rect().adjusted(4, 4, -4, -4);
  if (!icon().isNull()) {
    const QSize s = iconSize();
    icon().paint(&p, QRect(area.center().x() - s.width() / 2, area.top(), s.width(), s.height()));
    area.setTop(area.top() + s.height() + 2);
  }
  p.drawText(area, Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextWordWrap, text().remove('&'));
}

void TBotonEsquinado::mousePressEvent(QMouseEvent* e) {
  if (e->button() == Qt::RightButton) {
    emit clicDerecho();
    return;
  }
  QPushButton::mousePressEvent(e);
}

void TBotonEsquinado::enterEvent(QEnterEvent* e) {
  encima_ = true;
  update();
  QPushButton::enterEvent(e);
}

void TBotonEsquinado::leaveEvent(QEvent* e) {
  encima_ = false;
  update();
  QPushButton::leaveEvent(e);
}

}  // namespace mostrador::ui
