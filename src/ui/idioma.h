#pragma once
// The program speaks Spanish also where Qt speaks for it: the standard buttons, file
// dialogs, the calendar's months and days. Qt's own Spanish translation (Debian's
// qt6-translations-l10n) and a Spanish locale are installed before any window exists.

class QCoreApplication;

namespace mostrador::ui {

// True when Qt's Spanish translation was found and installed (the locale is set either way).
bool instalaEspanol(QCoreApplication& app);

}  // namespace mostrador::ui
