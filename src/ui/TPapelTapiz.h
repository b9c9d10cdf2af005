#pragma once
// TPapelTapiz: the painted wallpaper panel behind the screens. A vertical gradient, one
// line per pixel row:
//
//   step  = 1 when the height is 256 or more, else round(256 / height)
//   limit = 256, or 120 for the grey style
//   row r gets v = r * step while v < limit (later rows keep the last colour), placed by
//   the style letter into a colour $00BBGGRR: "b" $00vv0000, "g" $0000vv00 (default),
//   "r" $000000vv, "x" $00vvvvvv; the line colour is that value OR the base colour.
//
// The rendered strip (ten pixels wide) is kept as "<current directory>\<cache>.bmp" and
// reused, stretched across, while the base colour stays the one it was made with and the
// panel keeps the height it was made for; the area below a shorter strip takes the
// colour of its last pixel.

#include <QColor>
#include <QImage>
#include <QWidget>
#include <cstdint>

namespace mostrador::ui {

class TPapelTapiz : public QWidget {
  Q_OBJECT
 public:
  explicit TPapelTapiz(QWidget* parent = nullptr);

  // Colours are $00BBGGRR values, as the stored settings write them.
  void setColor(uint32_t color);
  uint32_t color() const { return color_; }
  void setEstilo(char estilo);
  char estilo() const { return estilo_; }
  void setCache(const QString& nombre);  // "" keeps no cache
  const QString& cache() const { return cache_; }

  // The colour of row r for a panel of that height.
  static uint32_t colorFila(int fila, int alto, char estilo, uint32_t base);
  static QColor aQColor(uint32_t color);
  // The ten-pixel strip for a height.
  static QImage tira(int alto, char estilo, uint32_t base);

  // How the last paint got its strip (for the cache).
  bool ultimaDesdeCache() const { return desdeCache_; }
  QString rutaCache() const;

 protected:
  void paintEvent(QPaintEvent* e) override;

 private:
  QImage tiraParaPintar();

  uint32_t color_ = 0;
  char estilo_ = 'g';
  QString cache_;
  bool desdeCache_ = false;
  QImage tira_;
};

// The classic view (configuration line 65 "N"): every wallpaper below the widget turns
// grey (base RGB 128,128,128, grey style) and every label written in white turns black.
void aplicaVistaClasica(QWidget* raiz);

}  // namespace mostrador::ui
