#include "inventory/screens/TFormaImagen.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTextEdit>
#include <QVBoxLayout>

#include "base/rutas.h"
#include "base/texto.h"
#include "ui/jpeg.h"

namespace mostrador::inventory {

TFormaImagen::TFormaImagen(const QString& ruta, base::Interaccion& ui, QWidget* parent) : QDialog(parent), ui_(ui) {
  setObjectName("TFormaImagen");
  setWindowTitle("Imagen del Producto");
  resize(520, 480);
  auto* l = new QVBoxLayout(this);
  imagen_ = new QLabel(this);
  imagen_->setObjectName("Imagen");
  imagen_->setScaledContents(true);
  imagen_->setMinimumSize(200, 150);
  aviso_ = new QLabel(this);
  aviso_->setObjectName("LabelAviso");
  descripcion_ = new QTextEdit(this);
  descripcion_->setObjectName("Descripcion");
  descripcion_->setMaximumHeight(90);
  l->addWidget(imagen_, 1);
  l->addWidget(aviso_);
  l->addWidget(descripcion_);
  auto* b = new QHBoxLayout;
  auto boton = [&](const char* n, const char* t, void (TFormaImagen::*f)()) {
    auto* p = new QPushButton(t, this);
    p->setObjectName(n);
    p->setAutoDefault(false);
    connect(p, &QPushButton::clicked, this, [this, f] { (this->*f)(); });
    b->addWidget(p);
  };
  boton("BotonGuardar", "Guardar", &TFormaImagen::guarda);
  boton("BotonCambiar", "Cambiar", &TFormaImagen::cambia);
  boton("BotonImprimir", "Imprimir", &TFormaImagen::imprime);
  l->addLayout(b);
  carga(ruta);
}

void TFormaImagen::carga(const QString& ruta) {
  ruta_ = ruta.trimmed();
  const std::string r = ruta_.toStdString();
  if (r.empty() || !base::existe(r)) {
    imagen_->clear();
    imagen_->hide();
    aviso_->setText("No Tiene Imágen");
    descripcion_->clear();
    return;
  }
  imagen_->setPixmap(QPixmap::fromImage(::leeImagen(base::resuelve(r).string())));
  imagen_->show();
  aviso_->setText(ruta_);
  const auto lineas = base::leeLineas(r + ".dat");
  QStringList t;
  if (lineas)
    for (const auto& x : *lineas) t << QString::fromStdString(x);
  descripcion_->setPlainText(t.join("\n"));
}

void TFormaImagen::guarda() {
  if (ruta_.isEmpty() || !base::existe(ruta_.toStdString())) return;
  std::vector<std::string> lineas;
  for (const QString& x : descripcion_->toPlainText().split('\n')) lineas.push_back(x.toStdString());
  if (!base::escribeLineas(ruta_.toStdString() + ".dat", lineas))
    ui_.mensaje("No se Pueden Guardar los Datos ha Ocurrido un Error");
}

void TFormaImagen::cambia() {
  const auto r = ui_.abreArchivo("Imagen", "Imágenes (*.jpg *.jpeg *.bmp)|*.jpg;*.jpeg;*.bmp|Todos|*.*");
  if (!r) return;
  elegida_ = QString::fromStdString(*r);
  carga(elegida_);
}

void TFormaImagen::imprime() {
  if (!imagen_->isVisible() || imagen_->pixmap().isNull()) return;
  QPrinter impresora;
  QPrintDialog d(&impresora, this);
  if (d.exec() != QDialog::Accepted) return;
  QPainter p(&impresora);
  const QPixmap px = imagen_->pixmap();
  const QRect area = p.viewport();
  QSize s = px.size();
  s.scale(area.size(), Qt::KeepAspectRatio);
  p.drawPixmap(QRect(area.topLeft(), s), px);
}

}  // namespace mostrador::inventory
