#pragma once
// The serial port seam over Qt SerialPort: the barcode reader and the scale's port
// reader run on it. Bytes arrive through the event loop (readyRead), so the callbacks run
// on the screens' thread between user actions. Qt SerialPort stays inside the .cpp.

#include <QObject>
#include <memory>

#include "sales/dispositivos.h"

class QSerialPort;

class PuertoSerieQt : public QObject, public mostrador::sales::PuertoSerie {
  Q_OBJECT
 public:
  explicit PuertoSerieQt(QObject* padre = nullptr);
  ~PuertoSerieQt() override;

  mostrador::sales::FalloPuerto abre(const std::string& dispositivo, int velocidad, AlRecibir recibe,
                                     AlFallar falla) override;
  void cierra() override;
  bool abierto() const override;

 private:
  void leeDisponible();
  void error(int e);

  std::unique_ptr<QSerialPort> puerto_;
  AlRecibir recibe_;
  AlFallar falla_;
};
