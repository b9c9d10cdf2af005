#pragma once
// TFormaAdministrador: the administrator key box. Result 1 when the typed key is the
// administrator's, 0 for any other key, 2 when cancelled; the caller may read the typed
// key afterwards (clave()).

#include <QDialog>
#include <functional>
#include <string>

class QLineEdit;

namespace mostrador::ui {

class TFormaAdministrador : public QDialog {
  Q_OBJECT
 public:
  // esAdministrador decides whether a typed key is the administrator's.
  explicit TFormaAdministrador(std::function<bool(const std::string&)> esAdministrador,
                               QWidget* parent = nullptr);
  QString clave() const;
  int resultado() const { return resultado_; }

 protected:
  void showEvent(QShowEvent* e) override;

 private:
  void acepta();
  std::function<bool(const std::string&)> esAdministrador_;
  QLineEdit* clave_;
  int resultado_ = 2;
};

}  // namespace mostrador::ui
