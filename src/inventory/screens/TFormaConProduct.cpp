#include "inventory/screens/TFormaConProduct.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QVBoxLayout>

#include "shell/numeros.h"
#include "shell/rutas.h"
#include "shell/texto.h"
#include "store/sql/sql.h"
#include "ui/interaccion_qt.h"
#include "ui/rejilla_consulta.h"

namespace mostrador::inventory {
namespace {

constexpr const char* kTabla = "inventar.dbf";
constexpr const char* kPrecios = "precios.cnf";
constexpr const char* kMascaraGrid = "###,##0.00";
// The price of each level, in level order.
constexpr std::array<const char*, 7> kCamposPrecio = {"PPUBL_I", "PLIS2_I", "PLIS3_I", "PLIS4_I",
                                                      "PMINI_I", "PLIS6_I", "PLIS7_I"};
constexpr std::array<const char*, 7> kCamposLimite = {"POLI1_I", "POLI2_I", "POLI3_I", "POLI4_I",
                                                      "POLI5_I", "POLI6_I", "POLI7_I"};

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

// A text inside a quoted SQL literal.
std::string literalSql(const std::string& s) {
  std::string r;
  for (char c : s) {
    r += c;
    if (c == '\'') r += '\'';
  }
  return r;
}

}  // namespace

int TFormaConProduct::nivelPorCantidad(const std::array<double, 7>& limites, double q) {
  int nivel = 0;
  if (q > 0) {
    if (q <= limites[0]) nivel = 1;
    for (int n = 1; n < 7; ++n)
      if (limites[n - 1] < q && q <= limites[n]) nivel = n + 1;
  }
  return nivel ? nivel : 1;
}

std::string TFormaConProduct::mensajePrecioEmpaque(const dbf::Cursor& producto) {
  std::array<double, 7> limites{};
  for (int i = 0; i < 7; ++i) limites[i] = producto.asFloat(kCamposLimite[i]);
  const double empaque = producto.asFloat("UEMPA_I");
  const int nivel = nivelPorCantidad(limites, empaque);
  const double precio = producto.asFloat(kCamposPrecio[nivel - 1]) * empaque;
  return "El precio por Empaque      " + shell::formateaMascara(precio, "$ ###,##0.00");
}

TFormaConProduct::TFormaConProduct(QWidget* padre, const std::string& dirInventario,
                                   const std::string& dirSistema, const std::string& texto,
                                   bool multialmacen, const std::string& almacen, shell::Interaccion* ui)
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

  const auto linea = shell::leeLinea(shell::une(dirSistema_, kPrecios), 1);
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
  ordena(inicial);
  posiciona(texto_->text());

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

void TFormaConProduct::ordena(Orden o) {
  uint32_t actual = rejilla_->registro(rejilla_->filaActual());
  if (orden_ == Orden::Consulta && abierta_) {
    // Coming back from a query: stay on the product the query showed.
    if (auto clave = rejilla_->claveActual()) {
      try {
        tabla_.setIndex("ICLPRO");
        if (tabla_.findKey({*clave})) actual = tabla_.recno();
      } catch (const dbf::Error&) {
      }
    }
  }
  orden_ = o;
  consulta_.reset();
  setWindowTitle(tituloDe(o));
  rejilla_->ponColumnas({ui::columnaCampo("Clave", "CLPRO_I", 120),
                         ui::columnaCampo("Descripción", "DSCPR_I", 280),
                         {"Precio", 90,
                          [this](const dbf::Cursor& c) {
                            return QString::fromStdString(
                                shell::formateaMascara(c.asFloat(kCamposPrecio[nivel_->value() - 1]), kMascaraGrid));
                          },
                          true},
                         ui::columnaNumero("Existencia", "EXIST_I", 90, kMascaraGrid),
                         ui::columnaCampo("Unidad", "UMEDI_I", 60),
                         ui::columnaCampo("Código", "CODIG_I", 130)});
  recarga(actual);
}

void TFormaConProduct::recarga(uint32_t conservar) {
  if (!abierta_ || orden_ == Orden::Consulta) return;
  try {
    tabla_.setIndex(tagDe(orden_));
    std::function<bool(const dbf::Cursor&)> filtro;
    if (multialmacen_)
      filtro = [this](const dbf::Cursor& c) { return c.asText("ALMAC_I") == almacen_; };
    rejilla_->carga(tabla_, "CLPRO_I", filtro);
  } catch (const dbf::Error&) {
    ui_->mensaje("Valor no Válido");
    return;
  }
  if (conservar) rejilla_->ponFila(rejilla_->filaDeRegistro(conservar));
}

void TFormaConProduct::posiciona(const QString& texto) {
  if (!abierta_ || orden_ == Orden::Consulta || rejilla_->filas() == 0) return;
  try {
    tabla_.setIndex(tagDe(orden_));
    tabla_.findNearest({texto.toStdString()});
    // The nearest record may belong to another warehouse: the next one shown.
    for (; !tabla_.isEmpty(); tabla_.next()) {
      const int fila = rejilla_->filaDeRegistro(tabla_.recno());
      if (fila >= 0) {
        rejilla_->ponFila(fila);
        return;
      }
      if (tabla_.eof()) break;
    }
    rejilla_->ponFila(rejilla_->filas() - 1);
  } catch (const dbf::Error&) {
    ui_->mensaje("Valor no Válido");
  }
}

void TFormaConProduct::consultaDescripcion() {
  std::string s = "Select CLPRO_I,DSCPR_I,PPUBL_I  From \"" + shell::une(dirInventario_, kTabla) +
                  "\" WHERE DSCPR_I LIKE '%" + literalSql(texto_->text().toStdString()) + "%'";
  if (multialmacen_) s += " AND ALMAC_I='" + literalSql(almacen_) + "'";
  s += " ORDER BY DSCPR_I";
  try {
    sql::BaseSql base;
    auto r = base.consulta(s);
    orden_ = Orden::Consulta;
    setWindowTitle(tituloDe(Orden::Descripcion));
    rejilla_->ponColumnas({ui::columnaCampo("Clave", "CLPRO_I", 120),
                           ui::columnaCampo("Descripción", "DSCPR_I", 280),
                           ui::columnaNumero("Precio", "PPUBL_I", 90, kMascaraGrid)});
    rejilla_->carga(*r, "CLPRO_I");
    consulta_ = std::move(r);
  } catch (const dbf::Error&) {
    ui_->mensaje("Valor no Válido");
  }
}

void TFormaConProduct::precioEmpaque() {
  const int fila = rejilla_->filaActual();
  if (!abierta_ || fila < 0) return;
  try {
    bool hallado = false;
    if (const uint32_t r = rejilla_->registro(fila)) {
      hallado = tabla_.goTo(r);
    } else {
      tabla_.setIndex("ICLPRO");
      hallado = tabla_.findKey({rejilla_->clave(fila)});
    }
    if (hallado) ui_->mensaje(mensajePrecioEmpaque(tabla_));
  } catch (const dbf::Error&) {
    ui_->mensaje("Valor no Válido");
  }
}

void TFormaConProduct::nivelCambia(int nivel) {
  shell::escribeLineas(shell::une(dirSistema_, kPrecios), {std::to_string(nivel)});
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
