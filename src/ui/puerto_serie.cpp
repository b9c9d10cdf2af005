#include "ui/puerto_serie.h"

#include <unistd.h>

#include <QSerialPort>

#include <filesystem>

using mostrador::sales::FalloPuerto;

namespace {

// Qt reports a device held by another program (its lock file, or TIOCEXCL) and one this
// user may not open alike, as PermissionError; a device the user could open is busy.
FalloPuerto falloDeApertura(const QSerialPort& p, const std::string& dispositivo) {
  switch (p.error()) {
    case QSerialPort::DeviceNotFoundError:
      return {FalloPuerto::NoExiste, {}};
    case QSerialPort::PermissionError:
      if (::access(dispositivo.c_str(), R_OK | W_OK) == 0) return {FalloPuerto::Ocupado, {}};
      return {FalloPuerto::SinPermiso, {}};
    case QSerialPort::OpenError:
      return {FalloPuerto::Ocupado, {}};
    default:
      return {FalloPuerto::Otro, p.errorString().toStdString()};
  }
}

}  // namespace

PuertoSerieQt::PuertoSerieQt(QObject* padre) : QObject(padre), puerto_(std::make_unique<QSerialPort>()) {
  connect(puerto_.get(), &QSerialPort::readyRead, this, [this] { leeDisponible(); });
  connect(puerto_.get(), &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError e) { error(e); });
}

PuertoSerieQt::~PuertoSerieQt() {
  // No callback into an owner that is going away.
  recibe_ = nullptr;
  falla_ = nullptr;
  if (puerto_->isOpen()) puerto_->close();
}

FalloPuerto PuertoSerieQt::abre(const std::string& dispositivo, int velocidad, AlRecibir recibe,
                                AlFallar falla) {
  cierra();
  if (dispositivo.empty()) return {FalloPuerto::NoExiste, {}};
  // A path that does not lead to a device is a missing port, whatever the lock says.
  std::error_code ec;
  if (!std::filesystem::exists(dispositivo, ec)) return {FalloPuerto::NoExiste, {}};
  // The device itself, not a link to it: Qt names its lock file after the device, and
  // two links to one port must meet at one lock.
  const std::filesystem::path real = std::filesystem::canonical(dispositivo, ec);
  puerto_->setPortName(QString::fromStdString(ec ? dispositivo : real.string()));
  if (!puerto_->open(QIODevice::ReadWrite)) {
    FalloPuerto f = falloDeApertura(*puerto_, dispositivo);
    puerto_->clearError();
    return f;
  }
  const bool ajustado = puerto_->setBaudRate(velocidad) && puerto_->setDataBits(QSerialPort::Data8) &&
                        puerto_->setParity(QSerialPort::NoParity) &&
                        puerto_->setStopBits(QSerialPort::OneStop) &&
                        puerto_->setFlowControl(QSerialPort::NoFlowControl);
  if (!ajustado) {
    FalloPuerto f{FalloPuerto::Otro, puerto_->errorString().toStdString()};
    puerto_->close();
    puerto_->clearError();
    return f;
  }
  // What the device held before it was ours belongs to nobody.
  puerto_->clear(QSerialPort::Input);
  recibe_ = std::move(recibe);
  falla_ = std::move(falla);
  return {};
}

void PuertoSerieQt::cierra() {
  recibe_ = nullptr;
  falla_ = nullptr;
  if (puerto_->isOpen()) puerto_->close();
  puerto_->clearError();
}

bool PuertoSerieQt::abierto() const { return puerto_->isOpen(); }

void PuertoSerieQt::leeDisponible() {
  const QByteArray bytes = puerto_->readAll();
  if (!recibe_ || bytes.isEmpty()) return;
  // A copy: the callback may close the port, which drops recibe_ while it runs.
  AlRecibir recibe = recibe_;
  recibe(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
}

void PuertoSerieQt::error(int e) {
  // Only a failure of an open port is news; opening failures are answered by abre.
  if (e == QSerialPort::NoError || !puerto_->isOpen() || !falla_) return;
  // An unplugged adapter or a hung-up line: the port is gone until it is opened again.
  if (e == QSerialPort::ResourceError || e == QSerialPort::ReadError) {
    AlFallar falla = falla_;
    falla(FalloPuerto{FalloPuerto::Perdido, puerto_->errorString().toStdString()});
  }
}
