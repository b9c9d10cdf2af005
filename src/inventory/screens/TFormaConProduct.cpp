#include "inventory/screens/TFormaConProduct.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QVBoxLayout>

#include "base/numeros.h"
#include "base/rutas.h"
#include "base/texto.h"
#include "inventory/consulta_productos.h"
#include "inventory/precios.h"
#include "ui/interaccion_qt.h"
#include "ui/rejilla_consulta.h"

namespace mostrador::inventory {
namespace {

constexpr const char* kTabla = "inventar.dbf";
constexpr const char* kPrecios = "precios.cnf";
constexpr const char* kMascaraGrid = "###,##0.00";

const char* tagDe(TFormaConProduct::Orden o) {
  switch (o) {
    case TFormaConProduct::Orden::Descripcion:
      return "DSCPR_I";
    case TFormaConProduct::Orden::Codigo:
      return "CODIG_I";
    default:
      return "ICLPRO";
  }
}

const char* campoDe(TFormaConProduct::Orden o) {
  switch (o) {
    case TFormaConProduct::Orden::Descripcion:
      return "DSCPR_I";
    case TFormaConProduct::Orden::Codigo:
      return "CODIG_I";
    default:
      return "CLPRO_I";
  }
}

QString tituloDe(TFormaConProduct::Orden o) {
  switch (o) {
    case TFormaConProduct::Orden::Clave:
      return "Catálogo de Productos Ordenado por CLAVE";
    case TFormaConProduct::Orden::Codigo:
      return "Catálogo de Productos Ordenado por CODIGO";
    default:
      return "Catálogo de Productos Ordenado por DESCRIPCION";
  }
}

std::string mayusculas(const std::string& s) { return QString::fromStdString(s).toUpper().toStdString(); }
std::string recorta(const std::string& s) { return QString::fromStdString(s).trimmed().toStdString(); }

}  // namespace

TFormaConProduct::TFormaConProduct(QWidget* padre, const std::string& dirInventario,
                                   const std::string& dirSistema, const std::string& texto,
                                   bool multialmacen, const std::string& almacen, base::Interaccion* ui)
    : QDialog(padre),
      dirInventario_(dirInventario),
      dirSistema_(dirSistema),
      almacen_(recorta(almacen).empty() ? "1" : recorta(almacen)),
      multialmacen_(multialmacen),
      ui_(ui) {
  if (!ui_) {
    uiPropia_ = std::make_unique<ui::InteraccionQt>([dirSistema] { return dirSistema; }, this);
    ui_ = uiPropia_.get();
  }
  setObjectName("TFormaConProduct");
  setModal(true);
  resize(780, 480);
  auto* l = new QVBoxLayout(this);
  auto* arriba = new QHBoxLayout;
  texto_ = new QLineEdit(QString::fromStdString(texto), this);
  texto_->setObjectName("EditBusca");
  nivel_ = new QSpinBox(this);
  nivel_->setObjectName("NivelPrecio");
  nivel_->setRange(1, 7);
  auto* etiqueta = new QLabel("Buscar", this);
  etiqueta->setBuddy(texto_);
  arriba->addWidget(etiqueta);
  arriba->addWidget(texto_, 1);
  arriba->addWidget(new QLabel("Precio", this));
  arriba->addWidget(nivel_);
  l->addLayout(arriba);
  rejilla_ = new ui::RejillaConsulta(this);
  rejilla_->setObjectName("Productos");
  l->addWidget(rejilla_, 1);
  auto* funciones = new QLabel(
      "F1 Clave   F2 Descripción   F3 Código   F4 Contiene   F12 Precio por Empaque   "
      "Enter Elige   Esc Sale",
      this);
  funciones->setObjectName("Funciones");
  l->addWidget(funciones);

  const auto linea = base::leeLinea(base::une(dirSistema_, kPrecios), 1);
  const int n = linea ? std::atoi(recorta(*linea).c_str()) : 1;
  nivel_->setValue(n >= 1 && n <= 7 ? n : 1);

  try {
    tabla_.open(dirInventario_, kTabla);
    abierta_ = true;
  } catch (const dbf::Error&) {
    ui_->mensaje("Ha Ocurrido un Error al Abrir una de las Bases de Datos.");
  }

  // A text that starts a key is looked up by key; one that only starts a description
  // (the sales screen seeds the lookup with a description) by description.
  Orden inicial = Orden::Clave;
  if (!texto.empty() && !prefijoEn(Orden::Clave, texto) && prefijoEn(Orden::Descripcion, texto))
    inicial = Orden::Descripcion;
  const QString inicio = texto_->text();
  ordena(inicial, &inicio);

  texto_->installEventFilter(this);
  connect(texto_, &QLineEdit::textEdited, this, &TFormaConProduct::posiciona);
  connect(nivel_, &QSpinBox::valueChanged, this, &TFormaConProduct::nivelCambia);
  connect(rejilla_, &QAbstractItemView::doubleClicked, this, [this] { elige(); });
  texto_->setFocus();
}

TFormaConProduct::~TFormaConProduct() = default;

std::optional<std::string> TFormaConProduct::consulta(QWidget* padre, const std::string& dirInventario,
                                                      const std::string& dirSistema, const std::string& texto,
                                                      bool multialmacen, const std::string& almacen) {
  TFormaConProduct d(padre, dirInventario, dirSistema, texto, multialmacen, almacen);
  d.exec();
  return d.resultado();
}

int TFormaConProduct::nivelPrecio() const { return nivel_->value(); }

bool TFormaConProduct::prefijoEn(Orden o, const std::string& texto) {
  if (!abierta_) return false;
  try {
    tabla_.setIndex(tagDe(o));
    tabla_.findNearest({texto});
    if (tabla_.isEmpty()) return false;
    return mayusculas(tabla_.asText(campoDe(o))).rfind(mayusculas(texto), 0) == 0;
  } catch (const dbf::Error&) {
    return false;
  }
}

void TFormaConProduct::ordena(Orden o, const QString* texto) {
  const uint32_t actual = rejilla_->registro(rejilla_->filaActual());
  orden_ = o;
  setWindowTitle(tituloDe(o));
  rejilla_->ponColumnas({ui::columnaCampo("Clave", "CLPRO_I", 120),
                         ui::columnaCampo("Descripción", "DSCPR_I", 280),
                         {"Precio", 90,
                          [this](const dbf::Cursor& c) {
                            return QString::fromStdString(
                                base::formateaMascara(c.asFloat(kCamposPrecio[nivel_->value() - 1]), kMascaraGrid));
                          },
                          true},
                         ui::columnaNumero("Existencia", "EXIST_I", 90, kMascaraGrid),
                         ui::columnaCampo("Unidad", "UMEDI_I", 60),
                         ui::columnaCampo("Código", "CODIG_I", 130)});
  if (!abierta_) return;
  if (texto) {
    try {
      tabla_.setIndex(tagDe(orden_));
      rejilla_->abreEn(tabla_, "CLPRO_I", {texto->toStdString()}, filtroAlmacen());
    } catch (const dbf::Error&) {
      ui_->mensaje("Valor no Válido");
    }
    return;
  }
  recarga(actual);
}

std::function<bool(const dbf::Cursor&)> TFormaConProduct::filtroAlmacen() const {
  if (!multialmacen_) return {};
  return [almacen = almacen_](const dbf::Cursor& c) { return c.asText("ALMAC_I") == almacen; };
}

void TFormaConProduct::recarga(uint32_t conservar) {
  if (!abierta_ || orden_ == Orden::Consulta) return;
  try {
    tabla_.setIndex(tagDe(orden_));
    if (conservar && tabla_.goTo(conservar))
      rejilla_->abreAlrededor(tabla_, "CLPRO_I", filtroAlmacen());
    else
      rejilla_->carga(tabla_, "CLPRO_I", filtroAlmacen());
  } catch (const dbf::Error&) {
    ui_->mensaje("Valor no Válido");
  }
}

void TFormaConProduct::posiciona(const QString& texto) {
  if (!abierta_ || orden_ == Orden::Consulta) return;
  try {
    rejilla_->posicionaEn({texto.toStdString()});
  } catch (const dbf::Error&) {
    ui_->mensaje("Valor no Válido");
  }
}

void TFormaConProduct::consultaDescripcion() {
  // The descriptions containing the text, in description order: the description index
  // read with the containment test, one screen at a time, so the first matches show at
  // once however large the catalogue.
  if (!abierta_) return;
  try {
    tabla_.setIndex(tagDe(Orden::Descripcion));
    orden_ = Orden::Consulta;
    setWindowTitle(tituloDe(Orden::Descripcion));
    rejilla_->ponColumnas({ui::columnaCampo("Clave", "CLPRO_I", 120),
                           ui::columnaCampo("Descripción", "DSCPR_I", 280),
                           ui::columnaNumero("Precio", "PPUBL_I", 90, kMascaraGrid)});
    auto contiene = filtroDescripcion(texto_->text().toStdString());
    auto almacen = filtroAlmacen();
    rejilla_->carga(tabla_, "CLPRO_I", [contiene, almacen](const dbf::Cursor& c) {
      return contiene(c) && (!almacen || almacen(c));
    });
  } catch (const dbf::Error&) {
    ui_->mensaje("Valor no Válido");
  }
}

void TFormaConProduct::precioEmpaque() {
  const int fila = rejilla_->filaActual();
  if (!abierta_ || fila < 0) return;
  try {
    if (tabla_.goTo(rejilla_->registro(fila))) ui_->mensaje(mensajePrecioEmpaque(tabla_));
  } catch (const dbf::Error&) {
    ui_->mensaje("Valor no Válido");
  }
}

void TFormaConProduct::nivelCambia(int nivel) {
  base::escribeLineas(base::une(dirSistema_, kPrecios), {std::to_string(nivel)});
  recarga(rejilla_->registro(rejilla_->filaActual()));
}

void TFormaConProduct::elige() {
  resultado_ = rejilla_->claveActual();
  if (resultado_) accept();
}

bool TFormaConProduct::eventFilter(QObject* o, QEvent* e) {
  // Up, Down, PgUp and PgDn in the search field move the grid.
  if (o == texto_ && e->type() == QEvent::KeyPress) {
    const int k = static_cast<QKeyEvent*>(e)->key();
    if (k == Qt::Key_Up || k == Qt::Key_Down || k == Qt::Key_PageUp || k == Qt::Key_PageDown) {
      QApplication::sendEvent(rejilla_, e);
      return true;
    }
  }
  return QDialog::eventFilter(o, e);
}

void TFormaConProduct::keyPressEvent(QKeyEvent* e) {
  switch (e->key()) {
    case Qt::Key_F1:
      ordena(Orden::Clave);
      break;
    case Qt::Key_F2:
      ordena(Orden::Descripcion);
      break;
    case Qt::Key_F3:
      ordena(Orden::Codigo);
      break;
    case Qt::Key_F4:
      consultaDescripcion();
      break;
    case Qt::Key_F12:
      precioEmpaque();
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

}  // namespace mostrador::inventory
