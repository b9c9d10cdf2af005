#pragma once
// TFormaTara: the weight of a weighed product (FACTO_I > 0). It asks the scale's port
// reader for a reading through "\puerto.dat", shows each reading that comes back in
// "\puerto.num" in the weight field, and lets the clerk type the weight when the scale
// is missing, silent or unreadable. The rules are the Tara engine's (sales/dispositivos).

#include <QDialog>
#include <QElapsedTimer>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "sales/dispositivos.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace mostrador::sales {

class TFormaTara : public QDialog {
  Q_OBJECT
 public:
  static constexpr int kIntervaloMs = 200;

  // The port reader: with puerto the dialog runs it itself on that port
  // (LectorPuertoBascula) while it is open; otherwise iniciaPrograma, when given, starts
  // the station's companion reader once the request is written (iniciaProgramaPuerto),
  // answering "" or why it did not start. With neither the weight is typed.
  TFormaTara(QWidget* padre, std::string dirSistema, Tara::Producto producto, base::Interaccion& ui,
             PuertoSerie* puerto = nullptr, std::function<std::string()> iniciaPrograma = {});
  ~TFormaTara() override;

  // The weight accepted; nullopt when cancelled (the line keeps its quantity).
  static std::optional<double> pesa(QWidget* padre, std::string dirSistema, Tara::Producto producto,
                                    base::Interaccion& ui, PuertoSerie* puerto = nullptr,
                                    std::function<std::string()> iniciaPrograma = {});
  std::optional<double> resultado() const { return resultado_; }

  // Handlers.
  void TimerTaraTimer();
  void BotonAceptarClick();

 protected:
  void keyPressEvent(QKeyEvent* e) override;

 private:
  Tara tara_;
  base::Interaccion& ui_;
  std::unique_ptr<LectorPuertoBascula> lector_;
  std::string falloPuerto_;
  QElapsedTimer reloj_;
  std::optional<double> resultado_;

  QLineEdit* EditPeso;
  QLabel* LabelFactor;
  QLabel* LabelExistencia;
  QLabel* LabelEstado;
  QPushButton* BotonAceptar;
  QPushButton* BotonCancelar;
  QTimer* TimerTara;
};

}  // namespace mostrador::sales
