#pragma once
// TFormaTipoInventario: the cost method chooser; answers "PROM", "PEPS" or "UEPS".

#include <QDialog>

class QRadioButton;

namespace mostrador::inventory {

class TFormaTipoInventario : public QDialog {
  Q_OBJECT
 public:
  explicit TFormaTipoInventario(const QString& actual, QWidget* parent = nullptr);
  QString eleccion() const;

 protected:
  void keyPressEvent(QKeyEvent* e) override;

 private:
  QRadioButton *prom_, *peps_, *ueps_;
};

}  // namespace mostrador::inventory
