#include "printing/screens/hoja_qt.h"

#include <QTextCursor>

void muestraHoja(QTextEdit* vista, const std::vector<mostrador::printing::LineaHoja>& lineas) {
  vista->clear();
  QTextCursor c(vista->document());
  bool primera = true;
  for (const auto& l : lineas) {
    if (!primera) c.insertBlock();
    primera = false;
    QTextCharFormat f;
    f.setFontFamilies({QStringLiteral("Courier New"), QStringLiteral("DejaVu Sans Mono"), QStringLiteral("monospace")});
    f.setFontFixedPitch(true);
    f.setFontPointSize(l.tamano > 0 ? l.tamano : 8);
    f.setForeground(QColor(l.color.r, l.color.g, l.color.b));
    c.insertText(QString::fromUtf8(l.texto.data(), static_cast<int>(l.texto.size())), f);
  }
  vista->moveCursor(QTextCursor::Start);
}
