#include "accounts/screens/TFormaConClientes.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/rutas.h"
#include "store/sql/sql.h"
#include "ui/interaccion_qt.h"
#include "ui/rejilla_consulta.h"

namespace mostrador::accounts {
namespace {

constexpr const char* kPorClave = "Clientes Ordenado por Clave";
constexpr const char* kPorNombre = "Clientes Ordenado por Nombre";

TFormaConClientes::PantallaClientes& pantalla() {
  static TFormaConClientes::PantallaClientes p;
  return p;
}

std::vector<ui::ColumnaConsulta> columnasTabla() {
  return {ui::columnaCampo("Clave", "CLCLI_C", 90), ui::columnaCampo("Nombre", "NOMBR_C", 260),
          ui::columnaCampo("Dirección", "DIREC_C", 200), ui::columnaCampo("Población", "POBLA_C", 130),
          ui::columnaCampo("Teléfono", "TELEF_C", 110)};
}

std::string literalSql(const std::string& s) {
  std::string r;
  for (char c : s) {
    r += c;
    if (c == '\'') r += '\'';
  }
  return r;
}

}  // namespace

void TFormaConClientes::registraPantalla(PantallaClientes abre) { pantalla() = std::move(abre); }

TFormaConClientes::TFormaConClientes(QWidget* padre, const std::string& dirDatos, const std::string& usuario,
                                     const std::string& texto, base::Interaccion* ui)
    : QDialog(padre), dirDatos_(dirDatos), ui_(ui), pantalla_(pantalla()) {
  if (!ui_) {
    uiPropia_ = std::make_unique<ui::InteraccionQt>([] { return std::string(); }, this);
    ui_ = uiPropia_.get();
  }
  setObjectName("TFormaConClientes");
  setModal(true);
  resize(820, 460);
  auto* l = new QVBoxLayout(this);
  rejilla_ = new ui::RejillaConsulta(this);
  rejilla_->setObjectName("Clientes");
  l->addWidget(rejilla_, 1);
  auto* abajo = new QHBoxLayout;
  auto* funciones = new QLabel("F2 Por Nombre   F3 Por Clave   F4 Nombre que Contiene   Enter Elige   Esc Sale",
                               this);
  funciones->setObjectName("Funciones");
  abajo->addWidget(funciones, 1);
  abajo->addWidget(new QLabel("Usuario", this));
  usuario_ = new QLabel(QString::fromStdString(usuario), this);
  usuario_->setObjectName("Usuario");
  abajo->addWidget(usuario_);
  botonClientes_ = new QPushButton("&Clientes", this);
  botonClientes_->setObjectName("BotonClientes");
  botonClientes_->setAutoDefault(false);
  botonClientes_->setFocusPolicy(Qt::NoFocus);
  botonClientes_->setVisible(static_cast<bool>(pantalla_));
  abajo->addWidget(botonClientes_);
  l->addLayout(abajo);

  try {
    tabla_.open(dirDatos_, "cliente.dbf");
    abierta_ = true;
  } catch (const dbf::Error&) {
    ui_->mensaje("Ha Ocurrido un Error al Abrir una de las Bases de Datos.");
  }
  ordena("ICLACLI", kPorClave, texto);

  connect(rejilla_, &QAbstractItemView::doubleClicked, this, [this] { elige(); });
  connect(botonClientes_, &QPushButton::clicked, this, &TFormaConClientes::clientes);
  rejilla_->setFocus();
}

TFormaConClientes::~TFormaConClientes() = default;

std::optional<std::string> TFormaConClientes::consulta(QWidget* padre, const std::string& dirDatos,
                                                       const std::string& usuario, const std::string& texto) {
  TFormaConClientes d(padre, dirDatos, usuario, texto);
  d.exec();
  return d.resultado();
}

void TFormaConClientes::ordena(const char* indice, const QString& titulo, const std::string& texto) {
  setWindowTitle(titulo);
  consulta_.reset();
  rejilla_->ponColumnas(columnasTabla());
  if (!abierta_) return;
  try {
    tabla_.setIndex(indice);
    rejilla_->abreEn(tabla_, "CLCLI_C", {texto});
  } catch (const dbf::Error&) {
    ui_->mensaje("Valor no Válido");
  }
}

void TFormaConClientes::pideYOrdena(bool porNombre) {
  auto t = porNombre ? ui_->pideTexto(kPorNombre, "Nombre", "") : ui_->pideTexto(kPorClave, "Clave", "");
  if (!t) return;
  if (porNombre)
    ordena("NOMBR_C", kPorNombre, *t);
  else
    ordena("ICLACLI", kPorClave, *t);
}

void TFormaConClientes::consultaNombre() {
  auto t = ui_->pideTexto("Consulta de Clientes", "Nombre que Contiene", "");
  if (!t) return;
  const std::string s = "Select CLCLI_C,NOMBR_C  From \"" + base::une(dirDatos_, "CLIENTE.dbf") +
                        "\" WHERE NOMBR_C LIKE '%" + literalSql(*t) + "%' ORDER BY NOMBR_C";
  try {
    sql::BaseSql base;
    auto r = base.consulta(s);
    setWindowTitle(kPorNombre);
    rejilla_->ponColumnas({ui::columnaCampo("Clave", "CLCLI_C", 90), ui::columnaCampo("Nombre", "NOMBR_C", 260)});
    rejilla_->carga(*r, "CLCLI_C");
    consulta_ = std::move(r);
  } catch (const dbf::Error&) {
    ui_->mensaje("Valor no Válido");
  }
}

void TFormaConClientes::clientes() {
  if (!pantalla_) return;
  const auto ultimo = pantalla_(this);
  if (abierta_) tabla_.refresh();
  ordena("ICLACLI", kPorClave, ultimo.value_or(rejilla_->claveActual().value_or("")));
}

void TFormaConClientes::elige() {
  resultado_ = rejilla_->claveActual();
  if (resultado_) accept();
}

void TFormaConClientes::keyPressEvent(QKeyEvent* e) {
  switch (e->key()) {
    case Qt::Key_F2:
      pideYOrdena(true);
      break;
    case Qt::Key_F3:
      pideYOrdena(false);
      break;
    case Qt::Key_F4:
      consultaNombre();
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
