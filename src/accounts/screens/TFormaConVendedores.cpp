#include "accounts/screens/TFormaConVendedores.h"

#include <QKeyEvent>
#include <QLabel>
#include <QVBoxLayout>

#include "ui/rejilla_consulta.h"

namespace mostrador::accounts {

TFormaConVendedores::TFormaConVendedores(QWidget* padre, const std::string& dirDatos, const std::string& texto)
    : QDialog(padre) {
  setObjectName("TFormaConVendedores");
  setWindowTitle("Vendedores Ordenado por Clave");
  setModal(true);
  resize(520, 380);
  auto* l = new QVBoxLayout(this);
  rejilla_ = new ui::RejillaConsulta(this);
  rejilla_->setObjectName("Vendedores");
  rejilla_->ponColumnas({ui::columnaCampo("Clave", "CLVEN_V", 90), ui::columnaCampo("Nombre", "NOMBR_V", 260),
                         ui::columnaNumero("Comisión", "COMIS_V", 80, "##0.00")});
  l->addWidget(rejilla_, 1);
  auto* funciones = new QLabel("Enter Elige   Esc Sale", this);
  funciones->setObjectName("Funciones");
  l->addWidget(funciones);
  // A missing or unreadable table leaves the grid empty: there is nothing to choose.
  try {
    tabla_.open(dirDatos, "vendedor.dbf");
    tabla_.setIndex("ICLAVEN");
    rejilla_->abreEn(tabla_, "CLVEN_V", {texto});
  } catch (const dbf::Error&) {
  }
  connect(rejilla_, &QAbstractItemView::doubleClicked, this, [this] { elige(); });
  rejilla_->setFocus();
}

TFormaConVendedores::~TFormaConVendedores() = default;

std::optional<std::string> TFormaConVendedores::consulta(QWidget* padre, const std::string& dirDatos,
                                                         const std::string& texto) {
  TFormaConVendedores d(padre, dirDatos, texto);
  d.exec();
  return d.resultado();
}

void TFormaConVendedores::elige() {
  resultado_ = rejilla_->claveActual();
  if (resultado_) accept();
}

void TFormaConVendedores::keyPressEvent(QKeyEvent* e) {
  switch (e->key()) {
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
