#include "ui/TPapelTapiz.h"

#include <QLabel>
#include <QMap>
#include <QPainter>
#include <cmath>

#include "session/inicio.h"
#include "base/rutas.h"

namespace mostrador::ui {
namespace {

// Base colour each cache file of this run was drawn with. A file from an earlier run or
// drawn with another colour is drawn again.
QMap<QString, uint32_t>& hechas() {
  static QMap<QString, uint32_t> m;
  return m;
}

}  // namespace

TPapelTapiz::TPapelTapiz(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void TPapelTapiz::setColor(uint32_t color) {
  color_ = color & 0x00FFFFFF;
  tira_ = QImage();
  update();
}

void TPapelTapiz::setEstilo(char estilo) {
  estilo_ = estilo;
  tira_ = QImage();
  update();
}

void TPapelTapiz::setCache(const QString& nombre) { cache_ = nombre; }

uint32_t TPapelTapiz::colorFila(int fila, int alto, char estilo, uint32_t base) {
  const int paso = alto >= 256 ? 1 : static_cast<int>(std::lround(256.0 / std::max(1, alto)));
  const int limite = estilo == 'x' ? 120 : 256;
  // Rows past the limit keep the colour of the last row below it.
  int v = fila * paso;
  if (v >= limite) v = ((limite - 1) / paso) * paso;
  const uint32_t u = static_cast<uint32_t>(v) & 0xFF;
  uint32_t c;
  switch (estilo) {
    case 'b': c = u << 16; break;
    case 'r': c = u; break;
    case 'x': c = (u << 16) | (u << 8) | u; break;
    default: c = u << 8; break;
  }
  return (c | base) & 0x00FFFFFF;
}

QColor TPapelTapiz::aQColor(uint32_t c) {
  return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                static_cast<int>((c >> 16) & 0xFF));
}

QImage TPapelTapiz::tira(int alto, char estilo, uint32_t base) {
  QImage img(10, std::max(1, alto), QImage::Format_RGB32);
  for (int r = 0; r < img.height(); ++r) {
    const QRgb rgb = aQColor(colorFila(r, alto, estilo, base)).rgb();
    auto* linea = reinterpret_cast<QRgb*>(img.scanLine(r));
    for (int x = 0; x < 10; ++x) linea[x] = rgb;
  }
  return img;
}

QString TPapelTapiz::rutaCache() const {
  if (cache_.isEmpty()) return {};
  return QString::fromStdString(
      base::resuelve(base::une(session::directorioActual(), cache_.toStdString() + ".bmp")).string());
}

QImage TPapelTapiz::tiraParaPintar() {
  const QString ruta = rutaCache();
  desdeCache_ = false;
  if (!ruta.isEmpty() && hechas().contains(cache_) && hechas().value(cache_) == color_) {
    QImage guardada(ruta);
    // A strip made for another height would show as bands once stretched.
    if (!guardada.isNull() && guardada.height() == height()) {
      desdeCache_ = true;
      return guardada;
    }
  }
  QImage nueva = tira(height(), estilo_, color_);
  if (!ruta.isEmpty() && nueva.save(ruta, "BMP")) hechas()[cache_] = color_;
  return nueva;
}

void TPapelTapiz::paintEvent(QPaintEvent*) {
  QPainter p(this);
  if (tira_.isNull() || tira_.height() != height()) tira_ = tiraParaPintar();
  const int alto = std::min(tira_.height(), height());
  p.drawImage(QRect(0, 0, width(), alto), tira_, QRect(0, 0, tira_.width(), alto));
  if (alto < height())
    p.fillRect(QRect(0, alto, width(), height() - alto), tira_.pixelColor(0, tira_.height() - 1));
}

void aplicaVistaClasica(QWidget* raiz) {
  const auto grises = raiz->findChildren<TPapelTapiz*>();
  for (TPapelTapiz* t : grises) {
    t->setEstilo('x');
    t->setColor(0x00808080);
  }
  if (auto* t = qobject_cast<TPapelTapiz*>(raiz)) {
    t->setEstilo('x');
    t->setColor(0x00808080);
  }
  for (QLabel* l : raiz->findChildren<QLabel*>()) {
    if (l->palette().color(QPalette::WindowText) == Qt::white) {
      QPalette pal = l->palette();
      pal.setColor(QPalette::WindowText, Qt::black);
      l->setPalette(pal);
    }
  }
}

}  // namespace mostrador::ui
