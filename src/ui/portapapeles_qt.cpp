#include "ui/portapapeles_qt.h"

#include <QClipboard>
#include <QGuiApplication>

std::string PortapapelesQt::texto() const {
  const QClipboard* c = QGuiApplication::clipboard();
  return c ? c->text().toStdString() : std::string();
}
