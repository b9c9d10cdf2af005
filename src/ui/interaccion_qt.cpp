#include "ui/interaccion_qt.h"

#include "base/rutas.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QProgressDialog>

#include "ui/TFormaAdministrador.h"
#include "session/usuarios.h"
#include "ui/dialogos.h"

namespace mostrador::ui {
namespace {

QString q(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }


}  // namespace

QString filtroQt(std::string_view filtro) {
  const QStringList partes = q(filtro).split('|');
  QStringList r;
  for (int i = 0; i + 1 < partes.size(); i += 2) {
    QString patrones = partes[i + 1];
    patrones.replace(';', ' ');
    r << partes[i] + " (" + patrones + ")";
  }
  return r.join(";;");
}

InteraccionQt::InteraccionQt(std::function<std::string()> sistema, QWidget* padre)
    : sistema_(std::move(sistema)), padre_(padre) {}

InteraccionQt::~InteraccionQt() { delete progreso_; }

QWidget* InteraccionQt::padre() const {
  if (QWidget* modal = QApplication::activeModalWidget()) return modal;
  return padre_.data();
}

void InteraccionQt::mensaje(std::string_view texto) {
  TDialogo d(q(texto), padre());
  d.exec();
}

base::RespuestaAdvertencia InteraccionQt::advertencia(std::string_view pregunta, bool conClave) {
  TFormaAdvertencia d(q(pregunta), conClave, padre());
  d.exec();
  return static_cast<base::RespuestaAdvertencia>(d.respuesta());
}

base::RespuestaCerrar InteraccionQt::cerrar() {
  TFormaCerrar d(padre());
  d.exec();
  return static_cast<base::RespuestaCerrar>(d.respuesta());
}

base::RespuestaAdministrador InteraccionQt::administrador() {
  const std::string sistema = sistema_ ? sistema_() : std::string();
  ui::TFormaAdministrador d(
      [sistema](const std::string& clave) {
        base::InteraccionSinUsuario muda;
        return session::esClaveAdministrador(muda, sistema, clave);
      },
      padre());
  d.exec();
  base::RespuestaAdministrador r;
  r.resultado = static_cast<base::RespuestaAdministrador::Resultado>(d.resultado());
  r.clave = d.clave().toStdString();
  return r;
}

std::optional<base::Busqueda> InteraccionQt::busca(bool conDireccion) {
  TFormaBusqueda d(conDireccion, padre());
  d.exec();
  return d.resultado();
}

std::string InteraccionQt::pideDato(std::string_view titulo) {
  TFormaDato d(q(titulo), padre());
  d.exec();
  return d.textoCrudo().toStdString();
}

// A title that names an existing directory is where the dialog opens: the screens that
// must open in "\report" or "\consulta" pass that directory as the title.
static QString directorioInicial(std::string_view titulo) {
  if (titulo.empty() || !base::esDirectorio(titulo)) return QString();
  return QString::fromStdString(base::resuelve(titulo).string());
}

std::optional<std::string> InteraccionQt::abreArchivo(std::string_view titulo, std::string_view filtro) {
  const QString r = QFileDialog::getOpenFileName(padre(), q(titulo), directorioInicial(titulo), filtroQt(filtro));
  if (r.isEmpty()) return std::nullopt;
  return r.toStdString();
}

std::optional<std::string> InteraccionQt::guardaArchivo(std::string_view titulo, std::string_view filtro) {
  const QString r = QFileDialog::getSaveFileName(padre(), q(titulo), directorioInicial(titulo), filtroQt(filtro));
  if (r.isEmpty()) return std::nullopt;
  return r.toStdString();
}

std::optional<std::string> InteraccionQt::pideTexto(std::string_view titulo, std::string_view etiqueta,
                                                    std::string_view inicial) {
  bool ok = false;
  const QString r =
      QInputDialog::getText(padre(), q(titulo), q(etiqueta), QLineEdit::Normal, q(inicial), &ok);
  if (!ok) return std::nullopt;
  return r.toStdString();
}

void InteraccionQt::iniciaProgreso(std::string_view titulo, int maximo) {
  delete progreso_;
  progreso_ = new QProgressDialog(q(titulo), QString(), 0, maximo, padre());
  progreso_->setObjectName("TFormaProgreso");
  progreso_->setWindowModality(Qt::ApplicationModal);
  progreso_->setMinimumDuration(0);
  progreso_->setValue(0);
}

void InteraccionQt::avanzaProgreso(int pasos) {
  if (!progreso_) return;
  progreso_->setValue(progreso_->value() + pasos);
  QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void InteraccionQt::terminaProgreso() {
  delete progreso_;
  progreso_ = nullptr;
}

void InteraccionQt::iniciaEspera() {
  if (espera_++ == 0) QApplication::setOverrideCursor(Qt::WaitCursor);
}

void InteraccionQt::terminaEspera() {
  if (espera_ > 0 && --espera_ == 0) QApplication::restoreOverrideCursor();
}

}  // namespace mostrador::ui
