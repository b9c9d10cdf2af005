#include "ui/idioma.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace mostrador::ui {

bool instalaEspanol(QCoreApplication& app) {
  // Mexican Spanish: day-first dates, "." for decimals as the amounts are typed.
  QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Mexico));
  auto* qt = new QTranslator(&app);
  const QString dir = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  if (!qt->load(QStringLiteral("qtbase_es"), dir)) {
    delete qt;
    return false;
  }
  QCoreApplication::installTranslator(qt);
  return true;
}

}  // namespace mostrador::ui
