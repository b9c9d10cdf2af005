#include "accounts/screens/TFormaConProvee.h"

#include <QKeyEvent>
#include <QLabel>
#include <QVBoxLayout>

#include "ui/interaccion_qt.h"
#include "ui/rejilla_consulta.h"

namespace mostrador::accounts {
namespace {

constexpr const char* kPorClave = "Proveedores Ordenado por Clave";
constexpr const char* kPorNombre = "Proveedores Ordenado por Nombre";

}  // namespace

TFormaConProvee::TFormaConProvee(QWidget* padre, const std::string& dirDatos, const std::string& texto,
                                 base::Interaccion* ui)
    : QDialog(padre), dirDatos_(dirDatos), ui_(ui) {
  if (!ui_) {
    uiPropia_ = std::make_unique<mostrador::ui::InteraccionQt>([] { return std::string(); }, this);
    ui_ = uiPropia_.get();
  }
  setObjectName("TFormaConProvee");
  setModal(true);
  resize(760, 420);
  auto* l = new QVBoxLayout(this);
  rejilla_ = new mostrador::ui::RejillaConsulta(this);
  rejilla_->setObjectName("Proveedores");
  l->addWidget(rejilla_, 1);
  auto* funciones = new QLabel("F2 Por Nombre   F3 Por Clave   Enter Elige   Esc Sale", this);
  funciones->setObjectName("Funciones");
  l->addWidget(funciones);
  try {
    tabla_.open(dirDatos_, "proveedo.dbf");
    abierta_ = true;
  } catch (const dbf::Error&) {
    ui_->mensaje("Ha Ocurrido un Error al Abrir una de las Bases de Datos.");
  }
  ordena("ICLAPRO", kPorClave, texto);
  connect(rejilla_, &QAbstractItemView::doubleClicked, this, [this] { elige(); });
  rejilla_->setFocus();
}

TFormaConProvee::~TFormaConProvee() = default;

std::optional<std::string> TFormaConProvee::consulta(QWidget* padre, const std::string& dirDatos,
                                                     const std::string& texto) {
  TFormaConProvee d(padre, dirDatos, texto);
  d.exec();
  return d.resultado();
}

void TFormaConProvee::ordena(const char* indice, const QString& titulo, const std::string& texto) {
  setWindowTitle(titulo);
  rejilla_->ponColumnas({mostrador::ui::columnaCampo("Clave", "CLAVE_P", 90),
                         mostrador::ui::columnaCampo("Nombre", "NOMBR_P", 260),
                         mostrador::ui::columnaCampo("Población", "POBLA_P", 130),
                         mostrador::ui::columnaCampo("Teléfono", "TELEF_P", 110),
                         mostrador::ui::columnaCampo("Saldo", "SALDO_P", 100)});
  if (!abierta_) return;
  try {
    tabla_.setIndex(indice);
    rejilla_->abreEn(tabla_, "CLAVE_P", {texto});
  } catch (const dbf::Error&) {
    ui_->mensaje("Valor no Válido");
  }
}

void TFormaConProvee::pideYOrdena(bool porNombre) {
  auto t = porNombre ? ui_->pideTexto(kPorNombre, "Nombre", "") : ui_->pideTexto(kPorClave, "Clave", "");
  if (!t) return;
  if (porNombre)
    ordena("NOMBR_P", kPorNombre, *t);
  else
    ordena("ICLAPRO", kPorClave, *t);
}

void TFormaConProvee::elige() {
  resultado_ = rejilla_->claveActual();
  if (resultado_) accept();
}

void TFormaConProvee::keyPressEvent(QKeyEvent* e) {
  switch (e->key()) {
    case Qt::Key_F2:
      pideYOrdena(true);
      break;
    case Qt::Key_F3:
      pideYOrdena(false);
      break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      elige();
      break;
    case Qt::Key_Escape:
      resultado_.reset();
      reject();
      break;
    default:
      QDialog::keyPressEvent(e);
  }
}

}  // namespace mostrador::accounts
