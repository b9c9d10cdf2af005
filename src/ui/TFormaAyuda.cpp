#include "ui/TFormaAyuda.h"

#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "shell/ayuda.h"
#include "shell/interaccion.h"

namespace mostrador::ui {

TFormaAyuda::TFormaAyuda(const QString& titulo, const QString& html, QWidget* padre) : QDialog(padre) {
  setObjectName("TFormaAyuda");
  setWindowTitle(titulo);
  auto* l = new QVBoxLayout(this);
  texto_ = new QTextBrowser(this);
  texto_->setObjectName("Texto");
  texto_->setOpenExternalLinks(true);
  texto_->setHtml(html);
  l->addWidget(texto_);
  auto* cerrar = new QPushButton(QStringLiteral("&Cerrar"), this);
  cerrar->setObjectName("BotonCerrar");
  connect(cerrar, &QPushButton::clicked, this, &QDialog::accept);
  l->addWidget(cerrar, 0, Qt::AlignRight);
  resize(640, 520);
}

TFormaAyuda* TFormaAyuda::abre(QWidget* padre, std::string_view ruta, shell::Interaccion& ui) {
  const std::optional<std::string> html = shell::paginaAyuda(ruta);
  if (!html) {
    ui.mensaje("El Archivo " + std::string(ruta) + " No Existe");
    return nullptr;
  }
  const std::string r(ruta);
  const size_t corte = r.find_last_of("\\/");
  auto* forma = new TFormaAyuda(QStringLiteral("Ayuda - ") + QString::fromStdString(r.substr(corte + 1)),
                                QString::fromStdString(*html), padre);
  forma->setAttribute(Qt::WA_DeleteOnClose);
  forma->show();
  return forma;
}

}  // namespace mostrador::ui
