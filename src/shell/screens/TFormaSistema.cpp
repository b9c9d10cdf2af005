#include "shell/screens/TFormaSistema.h"

#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <filesystem>
#include <fstream>
#include <sstream>
#include "ui/dialogos.h"

namespace mostrador::shell {

std::string conMiles(uint64_t n) {
  std::string d = std::to_string(n), r;
  for (size_t i = 0; i < d.size(); ++i) {
    if (i > 0 && (d.size() - i) % 3 == 0) r += ',';
    r += d[i];
  }
  return r;
}

DatosSistema leeDatosSistema() {
  DatosSistema d;
  std::ifstream f("/proc/meminfo");
  std::string linea;
  uint64_t total = 0, disponible = 0;
  while (std::getline(f, linea)) {
    std::istringstream s(linea);
    std::string clave;
    uint64_t valor = 0;
    s >> clave >> valor;
    if (clave == "MemTotal:") total = valor;
    if (clave == "MemAvailable:") disponible = valor;
  }
  d.memoriaKb = total;
  if (total > 0) d.cargaPorciento = static_cast<int>((total - disponible) * 100 / total);
  std::error_code ec;
  const auto espacio = std::filesystem::space(std::filesystem::current_path(ec), ec);
  if (!ec) d.libreKb = espacio.available / 1024;
  return d;
}

TFormaSistema::TFormaSistema(QWidget* parent) : QDialog(parent) {
  setObjectName("TFormaSistema");
  setWindowTitle("Información del Sistema");
  ui::anchoParaTitulo(this);
  auto* l = new QVBoxLayout(this);
  auto* f = new QFormLayout;
  physMem_ = new QLabel(this);
  physMem_->setObjectName("PhysMem");
  freeRes_ = new QLabel(this);
  freeRes_->setObjectName("FreeRes");
  espacio_ = new QLabel(this);
  espacio_->setObjectName("Espacio");
  f->addRow("Memoria Física:", physMem_);
  f->addRow("Memoria en Uso:", freeRes_);
  f->addRow("Espacio Libre:", espacio_);
  l->addLayout(f);
  auto* ok = new QPushButton("&Aceptar", this);
  ok->setObjectName("OKButton");
  l->addWidget(ok);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  muestra(leeDatosSistema());
}

void TFormaSistema::muestra(const DatosSistema& d) {
  physMem_->setText(QString::fromStdString(conMiles(d.memoriaKb) + " KB"));
  freeRes_->setText(QString::number(d.cargaPorciento) + " %");
  espacio_->setText(QString::fromStdString(conMiles(d.libreKb) + " Kbytes."));
}

}  // namespace mostrador::shell
