#include "designers/screens/TFormaDisenoVista.h"

#include <QComboBox>
#include <QDragEnterEvent>
#include <QStyledItemDelegate>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "base/rutas.h"
#include "base/texto_util.h"
#include "base/texto.h"
#include "reports/screens/TFormaReporteSQL.h"

using namespace mostrador;
using namespace mostrador;
using namespace mostrador::designers;

namespace {
QString q(const std::string& s) { return QString::fromStdString(s); }
const char* kFilas[kFilasVista] = {"Campo", "Titulo", "Formato", "Alineación", "Totales", "Fórmula", "Ancho",
                                   "", "Orden", "Total/Cambio", "Tabla", "Identificador", "Llave"};
// The rows with fixed choices edit through a list of those choices.
class OpcionesVista : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  static QStringList opciones(int fila) {
    switch (fila) {
      case kFormato: return {"###,##0.00", "ninguno"};
      case kAlineacion: return {"derecha", "izquierda"};
      case kTotales: return {"totalizar", "sin totales"};
      default: return {};
    }
  }
  QWidget* createEditor(QWidget* padre, const QStyleOptionViewItem& o, const QModelIndex& i) const override {
    const QStringList l = opciones(i.row());
    if (l.isEmpty()) return QStyledItemDelegate::createEditor(padre, o, i);
    auto* c = new QComboBox(padre);
    c->addItems(l);
    return c;
  }
  void setEditorData(QWidget* e, const QModelIndex& i) const override {
    if (auto* c = qobject_cast<QComboBox*>(e)) c->setCurrentText(i.data().toString());
    else QStyledItemDelegate::setEditorData(e, i);
  }
  void setModelData(QWidget* e, QAbstractItemModel* m, const QModelIndex& i) const override {
    if (auto* c = qobject_cast<QComboBox*>(e)) m->setData(i, c->currentText());
    else QStyledItemDelegate::setModelData(e, m, i);
  }
};

}  // namespace

TFormaDisenoVista::TFormaDisenoVista(base::Interaccion& ui, std::string directorioSistema,
                                     std::string directorioDatos, QWidget* parent)
    : QDialog(parent), ui_(ui), sistema_(std::move(directorioSistema)), datos_(std::move(directorioDatos)) {
  setObjectName("TFormaDisenoVista");
  setWindowTitle(QStringLiteral("Diseño de Reportes"));
  resize(1000, 600);
  Lista = new QListWidget(this);
  Lista->setObjectName("Lista");
  for (const auto& m : modulosVista()) Lista->addItem(QString::fromUtf8(m.titulo.data(), static_cast<int>(m.titulo.size())));
  connect(Lista, &QListWidget::currentRowChanged, this, &TFormaDisenoVista::ListaClick);
  Campos = new QListWidget(this);
  Campos->setObjectName("Campos");
  Campos->setDragEnabled(true);
  Rejilla = new QTableWidget(kFilasVista, diseno_.columnas(), this);
  Rejilla->setObjectName("Rejilla");
  QStringList filas;
  for (const char* f : kFilas) filas << QString::fromUtf8(f);
  Rejilla->setVerticalHeaderLabels(filas);
  Rejilla->setItemDelegate(new OpcionesVista(Rejilla));
  Rejilla->setAcceptDrops(true);
  Rejilla->viewport()->setAcceptDrops(true);
  Rejilla->viewport()->installEventFilter(this);
  connect(Rejilla, &QTableWidget::cellChanged, this, [this](int fila, int columna) {
    auto* i = Rejilla->item(fila, columna);
    diseno_.ponCelda(columna, static_cast<FilaVista>(fila), i ? i->text().toStdString() : std::string());
  });
  Edit1 = new QLineEdit(this);
  Edit1->setObjectName("Edit1");
  Edit1->setPlaceholderText(QStringLiteral("Nombre de la vista"));
  auto* guardar = new QPushButton(QStringLiteral("Guardar"), this);
  guardar->setObjectName("BotonGuardar");
  connect(guardar, &QPushButton::clicked, this, &TFormaDisenoVista::GuardarClick);
  auto* abrir = new QPushButton(QStringLiteral("Abrir"), this);
  abrir->setObjectName("BotonAbrir");
  connect(abrir, &QPushButton::clicked, this, &TFormaDisenoVista::AbrirClick);
  auto* ejecutar = new QPushButton(QStringLiteral("Ejecutar"), this);
  ejecutar->setObjectName("BotonEjecutar");
  connect(ejecutar, &QPushButton::clicked, this, &TFormaDisenoVista::EjecutarClick);
  auto* izquierda = new QVBoxLayout;
  izquierda->addWidget(Lista);
  izquierda->addWidget(Campos);
  auto* derecha = new QVBoxLayout;
  derecha->addWidget(Rejilla, 1);
  auto* abajo = new QHBoxLayout;
  abajo->addWidget(Edit1, 1);
  abajo->addWidget(abrir);
  abajo->addWidget(guardar);
  abajo->addWidget(ejecutar);
  derecha->addLayout(abajo);
  auto* todo = new QHBoxLayout(this);
  todo->addLayout(izquierda, 1);
  todo->addLayout(derecha, 3);
}

void TFormaDisenoVista::ListaClick(int modulo) {
  if (modulo < 0 || modulo >= static_cast<int>(modulosVista().size())) return;
  modulo_ = modulo;
  try {
    campos_ = query::camposDiccionario(sistema_, modulosVista()[static_cast<size_t>(modulo)].tabla);
  } catch (const dbf::Error& e) {
    campos_.clear();
    ui_.mensaje(e.what());
  }
  Campos->clear();
  for (const auto& c : campos_) Campos->addItem(q(c.describe));
}

void TFormaDisenoVista::sueltaCampo(int fila, int columna) {
  if (modulo_ < 0 || fila < 0 || fila >= static_cast<int>(campos_.size()) || columna < 0 ||
      columna >= diseno_.columnas())
    return;
  diseno_.colocaCampo(columna, modulo_, campos_[static_cast<size_t>(fila)]);
  pintaColumna(columna);
}

void TFormaDisenoVista::pintaColumna(int c) {
  QSignalBlocker b(Rejilla);
  const auto& col = diseno_.columna(c);
  for (int f = 0; f < kFilasVista; ++f) Rejilla->setItem(f, c, new QTableWidgetItem(q(col[static_cast<size_t>(f)])));
  Rejilla->setHorizontalHeaderItem(c, new QTableWidgetItem(q(col[kCampo])));
  Rejilla->resizeColumnToContents(c);
}

bool TFormaDisenoVista::eventFilter(QObject* o, QEvent* e) {
  if (o == Rejilla->viewport()) {
    if (e->type() == QEvent::DragEnter || e->type() == QEvent::DragMove) {
      static_cast<QDropEvent*>(e)->acceptProposedAction();
      return true;
    }
    if (e->type() == QEvent::Drop) {
      auto* d = static_cast<QDropEvent*>(e);
      sueltaCampo(Campos->currentRow(), Rejilla->columnAt(d->position().toPoint().x()));
      d->acceptProposedAction();
      return true;
    }
  }
  return QDialog::eventFilter(o, e);
}

void TFormaDisenoVista::pintaTodo() {
  for (int c = 0; c < diseno_.columnas(); ++c) pintaColumna(c);
}

void TFormaDisenoVista::GuardarClick() {
  if (modulo_ < 0) {
    ui_.mensaje("Elija el módulo de la vista");
    return;
  }
  const std::string nombre = base::recorta(Edit1->text().toStdString());
  if (nombre.empty()) {
    ui_.mensaje("Escriba el nombre de la vista");
    Edit1->setFocus();
    return;
  }
  if (nombre.find_first_of("\\/:*?\"<>|") != std::string::npos) {
    ui_.mensaje("El nombre de la vista no puede llevar \\ / : * ? \" < > |");
    return;
  }
  const std::string ruta = rutaVista(sistema_, nombre);
  if (base::existe(ruta) &&
      ui_.advertencia("El archivo ya existe desea sobreescribirlo ?") != base::RespuestaAdvertencia::Si)
    return;
  base::creaDirectorios(base::une(sistema_, "report"));
  diseno_.guarda(ui_, sistema_, datos_, modulo_, ruta, nombre, nombre);
}

void TFormaDisenoVista::AbrirClick() {
  auto ruta = ui_.abreArchivo("Abrir Vista", "Vistas (*.vis)|*.vis|Todos|*.*");
  if (ruta) abre(*ruta);
}

bool TFormaDisenoVista::abre(const std::string& ruta) {
  auto lineas = base::leeLineas(ruta);
  if (!lineas) {
    ui_.mensaje("El Archivo " + ruta + " No Existe");
    return false;
  }
  auto v = leeVista(*lineas, diseno_.columnas());
  if (!v) {
    ui_.mensaje("El archivo " + ruta + " no es una vista");
    return false;
  }
  diseno_ = v->diseno;
  {
    QSignalBlocker b(Lista);
    Lista->setCurrentRow(v->modulo);
  }
  ListaClick(v->modulo);
  Edit1->setText(q(v->nombre));
  pintaTodo();
  return true;
}

std::unique_ptr<reports::ReporteSql> TFormaDisenoVista::ejecuta() {
  const std::string definicion = definicionDeVista(diseno_.lineasDefinicion(Edit1->text().toStdString()));
  if (definicion.empty()) {
    ui_.mensaje("La vista no tiene campos");
    return nullptr;
  }
  const std::string nombre = base::recorta(Edit1->text().toStdString());
  auto r = std::make_unique<reports::ReporteSql>(ui_, "Reporte de " + (nombre.empty() ? std::string("Vista") : nombre));
  if (!r->ejecuta(definicion, datos_)) return nullptr;
  return r;
}

void TFormaDisenoVista::EjecutarClick() {
  auto r = ejecuta();
  if (!r) return;
  TFormaReporteSQL hoja(std::move(r), ui_, this);
  hoja.exec();
}
