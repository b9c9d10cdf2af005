#pragma once
// TFormaAyuda: the help viewer. Shows a help page of "\ayuda\" (".mht", ".rtf" or HTML)
// in the program's own browser, so that help works without any document viewer
// installed.

#include <QDialog>
#include <string>

class QTextBrowser;

namespace mostrador::shell {
class Interaccion;
}

namespace mostrador::ui {

class TFormaAyuda : public QDialog {
  Q_OBJECT
 public:
  TFormaAyuda(const QString& titulo, const QString& html, QWidget* padre = nullptr);
  QTextBrowser* texto() const { return texto_; }

  // Opens the page at a stored path without blocking the caller; a missing page says
  // "El Archivo <path> No Existe". Returns the window shown, or nullptr.
  static TFormaAyuda* abre(QWidget* padre, std::string_view ruta, shell::Interaccion& ui);

 private:
  QTextBrowser* texto_;
};

}  // namespace mostrador::ui
