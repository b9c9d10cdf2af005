#pragma once
// TFormaSistema: physical memory, memory load and free space of the current drive.

#include <QDialog>
#include <cstdint>
#include <optional>
#include <string>

class QLabel;

namespace mostrador::shell {

struct DatosSistema {
  uint64_t memoriaKb = 0;    // physical memory
  int cargaPorciento = 0;    // memory in use, whole percent
  uint64_t libreKb = 0;      // free space where the current directory lives
};

// Read from /proc/meminfo and the file system of the current directory.
DatosSistema leeDatosSistema();
// "1,234,567" (thousands separated by commas).
std::string conMiles(uint64_t n);

class TFormaSistema : public QDialog {
  Q_OBJECT
 public:
  explicit TFormaSistema(QWidget* parent = nullptr);
  void muestra(const DatosSistema& d);

 private:
  QLabel* physMem_;
  QLabel* freeRes_;
  QLabel* espacio_;
};

}  // namespace mostrador::shell
