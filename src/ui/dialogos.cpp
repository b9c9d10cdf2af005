#include "ui/dialogos.h"

#include "base/ayuda.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPainter>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QTextEdit>
#include <QVBoxLayout>

#include "base/confcamp.h"
#include "base/rutas.h"
#include "base/texto.h"
#include "store/busqueda_campo.h"

namespace mostrador::ui {
namespace {

QString q(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

bool esTeclaCierre(QKeyEvent* e) {
  // Modifier keys alone do not count as "any key".
  switch (e->key()) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_Meta:
      return false;
    default:
      return true;
  }
}

// The navigation rule as an event filter on the form.
class Navegacion : public QObject {
 public:
  explicit Navegacion(QWidget* forma) : QObject(forma), forma_(forma) {}

 protected:
  bool eventFilter(QObject* o, QEvent* e) override {
    if (e->type() != QEvent::KeyPress) return false;
    auto* w = qobject_cast<QWidget*>(o);
    if (!w || !esCampo(w)) return false;
    auto* k = static_cast<QKeyEvent*>(e);
    if (k->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) return false;
    const bool enter = k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter;
    if (enter && w->property("enterPropio").toBool()) return false;
    if (enter || k->key() == Qt::Key_Down) {
      mueve(w, true);
      return true;
    }
    if (k->key() == Qt::Key_Up) {
      mueve(w, false);
      return true;
    }
    return false;
  }

 private:
  static bool esCampo(QWidget* w) {
    return qobject_cast<QLineEdit*>(w) || qobject_cast<QAbstractSpinBox*>(w) ||
           qobject_cast<QCheckBox*>(w) || qobject_cast<QRadioButton*>(w);
  }
  void mueve(QWidget* desde, bool adelante) {
    QWidget* w = desde;
    // Walk the tab chain to the next widget that takes the focus.
    for (int i = 0; i < 500; ++i) {
      w = adelante ? w->nextInFocusChain() : w->previousInFocusChain();
      if (!w || w == desde) return;
      if (forma_->isAncestorOf(w) && w->isVisibleTo(forma_) && w->isEnabled() &&
          (w->focusPolicy() & Qt::TabFocus)) {
        w->setFocus(adelante ? Qt::TabFocusReason : Qt::BacktabFocusReason);
        return;
      }
    }
  }
  QWidget* forma_;
};

void filtraHijos(QWidget* forma, QObject* filtro) {
  for (QWidget* w : forma->findChildren<QWidget*>()) w->installEventFilter(filtro);
}

// Enter and Down in a string grid become Tab for whoever has the key: the grid moves to
// the next cell, an open cell editor commits and the next cell is edited.
class ReglaRejillas : public QObject {
 public:
  using QObject::QObject;
  bool eventFilter(QObject* o, QEvent* e) override {
    if (e->type() != QEvent::KeyPress || enviando_) return false;
    auto* k = static_cast<QKeyEvent*>(e);
    if (k->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier)) return false;
    if (k->key() != Qt::Key_Return && k->key() != Qt::Key_Enter && k->key() != Qt::Key_Down) return false;
    auto* w = qobject_cast<QWidget*>(o);
    if (!w) return false;
    QTableWidget* rejilla = nullptr;
    for (QWidget* p = w; p && !rejilla; p = p->parentWidget()) {
      rejilla = qobject_cast<QTableWidget*>(p);
      if (p->isWindow()) break;
    }
    if (!rejilla || rejilla->property("enterPropio").toBool()) return false;
    if (rejilla->editTriggers() == QAbstractItemView::NoEditTriggers) return false;
    // A key reaches the focus widget; its parents see it again only when it is ignored.
    if (w != QApplication::focusWidget()) return false;
    QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
    enviando_ = true;
    QApplication::sendEvent(w, &tab);
    enviando_ = false;
    return true;
  }

 private:
  bool enviando_ = false;
};

}  // namespace

void instalaNavegacion(QWidget* forma) {
  instalaReglaRejillas();
  filtraHijos(forma, new Navegacion(forma));
}

void instalaReglaRejillas() {
  static QPointer<QObject> instalada;
  auto* app = QCoreApplication::instance();
  if (!app || instalada) return;
  instalada = new ReglaRejillas(app);
  app->installEventFilter(instalada);
}


void anchoParaTitulo(QWidget* ventana) {
  QFont f = ventana->font();
  f.setBold(true);
  const int titulo = QFontMetrics(f).horizontalAdvance(ventana->windowTitle());
  ventana->setMinimumWidth(std::max(ventana->minimumWidth(), titulo + 140));
}

void anchoParaTexto(QLineEdit* campo) {
  const int ancho = campo->fontMetrics().horizontalAdvance(campo->text()) + 24;
  campo->setMinimumWidth(std::max(160, ancho));
  campo->setCursorPosition(0);
}

// --- TDialogo ---

TDialogo::TDialogo(const QString& texto, QWidget* parent) : QDialog(parent) {
  setObjectName("TDialogo");
  setWindowTitle("Mensaje");
  setModal(true);
  auto* l = new QVBoxLayout(this);
  texto_ = new QLabel(this);
  texto_->setObjectName("Texto");
  // Line breaks come as carriage returns from the engines' reports.
  QString mostrado = texto;
  mostrado.replace("\r\n", "\n").replace('\r', '\n');
  texto_->setText(mostrado + QString(9, ' '));
  texto_->setTextFormat(Qt::PlainText);
  l->addWidget(texto_);
  boton_ = new QPushButton("&Aceptar", this);
  boton_->setObjectName("BitBtn1");
  l->addWidget(boton_, 0, Qt::AlignHCenter);
  connect(boton_, &QPushButton::clicked, this, &QDialog::accept);
  // The box widens with the text.
  const int ancho = texto_->fontMetrics().boundingRect(QRect(0, 0, 2000, 2000), 0, mostrado).width();
  setMinimumWidth(std::max(260, ancho + 60));
}

QString TDialogo::texto() const {
  QString t = texto_->text();
  return t;
}

void TDialogo::keyPressEvent(QKeyEvent* e) {
  if (esTeclaCierre(e)) accept();
}

void TDialogo::mousePressEvent(QMouseEvent*) { accept(); }

// --- TFormaAdvertencia ---

TFormaAdvertencia::TFormaAdvertencia(const QString& pregunta, bool conClave, QWidget* parent)
    : QDialog(parent) {
  setObjectName("TFormaAdvertencia");
  setWindowTitle("Advertencia !!!");
  anchoParaTitulo(this);
  auto* l = new QVBoxLayout(this);
  auto* p = new QLabel(pregunta.isEmpty() ? q(base::kPreguntaEliminar) : pregunta, this);
  p->setObjectName("Pregunta");
  p->setAlignment(Qt::AlignCenter);
  p->setWordWrap(true);
  l->addWidget(p);
  auto* botones = new QHBoxLayout;
  auto* si = new QPushButton("&Si      ", this);
  si->setObjectName("BotonSi");
  auto* no = new QPushButton("&No     ", this);
  no->setObjectName("BotonNo");
  clave_ = new QPushButton("Capturar Clave (F9)", this);
  clave_->setObjectName("BotonClave");
  clave_->setVisible(conClave);
  botones->addWidget(si);
  botones->addWidget(no);
  botones->addWidget(clave_);
  l->addLayout(botones);
  connect(si, &QPushButton::clicked, this, [this] { responde(1); });
  connect(no, &QPushButton::clicked, this, [this] { responde(0); });
  connect(clave_, &QPushButton::clicked, this, [this] { responde(2); });
  no->setDefault(true);
}

void TFormaAdvertencia::responde(int r) {
  respuesta_ = r;
  done(r);
}

void TFormaAdvertencia::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_F9 && !clave_->isHidden()) {
    clave_->click();
    return;
  }
  if (e->key() == Qt::Key_Escape) {
    responde(0);
    return;
  }
  QDialog::keyPressEvent(e);
}

// --- TFormaCerrar ---

TFormaCerrar::TFormaCerrar(QWidget* parent) : QDialog(parent) {
  setObjectName("TFormaCerrar");
  setWindowTitle("Cerrar");
  auto* l = new QVBoxLayout(this);
  auto* p = new QLabel("Existen Cambios sin Guardar, ¿ Qué Desea Hacer ?", this);
  p->setAlignment(Qt::AlignCenter);
  l->addWidget(p);
  auto* botones = new QHBoxLayout;
  const std::pair<const char*, int> opciones[] = {
      {"&Guardar", 1}, {"&Descartar", 2}, {"&Cancelar", 3}};
  const char* nombres[] = {"BotonGuardar", "BotonDescartar", "BotonCancelar"};
  for (int i = 0; i < 3; ++i) {
    auto* b = new QPushButton(opciones[i].first, this);
    b->setObjectName(nombres[i]);
    const int r = opciones[i].second;
    connect(b, &QPushButton::clicked, this, [this, r] {
      respuesta_ = r;
      done(r);
    });
    botones->addWidget(b);
  }
  l->addLayout(botones);
}

void TFormaCerrar::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Escape) {
    respuesta_ = 3;
    done(3);
    return;
  }
  QDialog::keyPressEvent(e);
}

// --- TFormaBusqueda ---

TFormaBusqueda::TFormaBusqueda(bool conDireccion, QWidget* parent) : QDialog(parent) {
  setObjectName("TFormaBusqueda");
  setWindowTitle("Búsqueda");
  auto* l = new QVBoxLayout(this);
  caja_ = new QLineEdit(this);
  caja_->setObjectName("CajaBuscar");
  l->addWidget(caja_);
  auto* opciones = new QHBoxLayout;
  clave_ = new QRadioButton("Clave (F1)", this);
  clave_->setObjectName("Clave");
  nombre_ = new QRadioButton("Nombre (F2)", this);
  nombre_->setObjectName("Nombre");
  direccion_ = new QRadioButton("Dirección (F3)", this);
  direccion_->setObjectName("Direccion");
  direccion_->setVisible(conDireccion);
  clave_->setChecked(true);
  opciones->addWidget(clave_);
  opciones->addWidget(nombre_);
  opciones->addWidget(direccion_);
  l->addLayout(opciones);
  connect(caja_, &QLineEdit::returnPressed, this, [this] {
    cancelada_ = false;
    accept();
  });
}

void TFormaBusqueda::showEvent(QShowEvent* e) {
  caja_->clear();
  cancelada_ = true;
  caja_->setFocus();
  QDialog::showEvent(e);
}

void TFormaBusqueda::keyPressEvent(QKeyEvent* e) {
  switch (e->key()) {
    case Qt::Key_F1: clave_->setChecked(true); return;
    case Qt::Key_F2: nombre_->setChecked(true); return;
    case Qt::Key_F3:
      if (!direccion_->isHidden()) direccion_->setChecked(true);
      return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      cancelada_ = false;
      accept();
      return;
    case Qt::Key_Escape:
      // No choice left: the caller reads it as a cancelled search.
      clave_->setAutoExclusive(false);
      nombre_->setAutoExclusive(false);
      clave_->setChecked(false);
      nombre_->setChecked(false);
      clave_->setAutoExclusive(true);
      nombre_->setAutoExclusive(true);
      cancelada_ = true;
      reject();
      return;
    default: QDialog::keyPressEvent(e);
  }
}

std::optional<base::Busqueda> TFormaBusqueda::resultado() const {
  if (cancelada_) return std::nullopt;
  base::Busqueda b;
  b.texto = caja_->text().toStdString();
  b.campo = nombre_->isChecked()      ? base::CampoBusqueda::Nombre
            : direccion_->isChecked() ? base::CampoBusqueda::Direccion
                                      : base::CampoBusqueda::Clave;
  return b;
}

// --- TFormaDato ---

TFormaDato::TFormaDato(const QString& titulo, QWidget* parent) : QDialog(parent) {
  setObjectName("TFormaDato");
  setWindowTitle(titulo);
  auto* l = new QVBoxLayout(this);
  edit_ = new QLineEdit(this);
  edit_->setObjectName("EditDato");
  estado_ = new QLabel("Número no Válido", this);
  estado_->setObjectName("Label1");
  auto* b = new QPushButton("&Aceptar", this);
  b->setObjectName("BitBtn1");
  l->addWidget(edit_);
  l->addWidget(estado_);
  l->addWidget(b);
  connect(edit_, &QLineEdit::textEdited, this, &TFormaDato::cambia);
  connect(edit_, &QLineEdit::returnPressed, this, &QDialog::accept);
  connect(b, &QPushButton::clicked, this, &QDialog::accept);
}

void TFormaDato::cambia(const QString& t) {
  const auto valido = [](const QString& s) { return base::numeroValido(s.toStdString()); };
  // A character just typed that makes no number is taken back at once.
  if (!t.isEmpty() && !valido(t) && t.size() == anterior_.size() + 1 &&
      (anterior_.isEmpty() || valido(anterior_))) {
    const int cursor = edit_->cursorPosition();
    edit_->setText(anterior_);
    edit_->setCursorPosition(std::max(0, cursor - 1));
  }
  anterior_ = edit_->text();
  estado_->setText(valido(anterior_) ? "Número Válido" : "Número no Válido");
}

QString TFormaDato::textoCrudo() const { return edit_->text(); }
QString TFormaDato::estado() const { return estado_->text(); }
QString TFormaDato::dato() const {
  return base::numeroValido(edit_->text().toStdString()) ? edit_->text() : QString("0");
}

// --- TFormaLineas ---

TFormaLineas::TFormaLineas(const QStringList& columnas, const std::vector<QStringList>& filas,
                           QWidget* parent)
    : QDialog(parent) {
  setObjectName("TFormaLineas");
  setWindowTitle("Selección");
  auto* l = new QVBoxLayout(this);
  tabla_ = new QTableWidget(static_cast<int>(filas.size()), static_cast<int>(columnas.size()), this);
  tabla_->setObjectName("DBGrid1");
  tabla_->setHorizontalHeaderLabels(columnas);
  tabla_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  tabla_->setSelectionBehavior(QAbstractItemView::SelectRows);
  tabla_->setSelectionMode(QAbstractItemView::SingleSelection);
  for (int f = 0; f < static_cast<int>(filas.size()); ++f)
    for (int c = 0; c < filas[static_cast<size_t>(f)].size() && c < columnas.size(); ++c)
      tabla_->setItem(f, c, new QTableWidgetItem(filas[static_cast<size_t>(f)][c]));
  if (!filas.empty()) tabla_->selectRow(0);
  l->addWidget(tabla_);
  auto* b = new QPushButton("&Aceptar", this);
  b->setObjectName("BitBtn1");
  l->addWidget(b);
  connect(b, &QPushButton::clicked, this, &TFormaLineas::escoge);
  connect(tabla_, &QTableWidget::cellDoubleClicked, this, [this] { escoge(); });
}

void TFormaLineas::escoge() {
  fila_ = tabla_->currentRow();
  accept();
}

void TFormaLineas::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
    escoge();
    return;
  }
  QDialog::keyPressEvent(e);
}

// --- TFormaCampos ---

const std::vector<std::pair<QString, QString>>& TFormaCampos::tablas() {
  static const std::vector<std::pair<QString, QString>> t{
      {"Clientes", "cliente.dbf"},         {"Compras", "comprase.dbf"},
      {"Compras Partidas", "Detacomp.db"}, {"Ctas.Cobrar", "cucobrar.dbf"},
      {"Ctas. Pagar", "cuepagar.dbf"},     {"Facturas", "facturae.dbf"},
      {"Facturas Partidas", "Deta.db"},    {"Inventarios", "inventar.dbf"},
      {"Mov. Inventario", "movinven.dbf"}, {"Vendedores", "vendedor.dbf"},
      {"Proveedores", "proveedo.dbf"}};
  return t;
}

TFormaCampos::TFormaCampos(std::function<QStringList(const QString&)> lineasDe, QWidget* parent)
    : QDialog(parent), lineasDe_(std::move(lineasDe)) {
  setObjectName("TFormaCampos");
  setWindowTitle("Campos");
  auto* l = new QVBoxLayout(this);
  tabla_ = new QComboBox(this);
  tabla_->setObjectName("Tablas");
  for (const auto& [titulo, archivo] : tablas()) tabla_->addItem(titulo, archivo);
  lista_ = new QListWidget(this);
  lista_->setObjectName("ListBox1");
  auto* imprime = new QPushButton("&Imprimir", this);
  imprime->setObjectName("BotonImprimir");
  l->addWidget(tabla_);
  l->addWidget(lista_);
  l->addWidget(imprime);
  connect(tabla_, &QComboBox::currentIndexChanged, this,
          [this](int) { escogeTabla(tabla_->currentText()); });
  connect(lista_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* it) {
    // "[003]NOMBR_C  Descripción": the name runs from after "]" to the two blanks.
    const QString linea = it->text();
    const int desde = linea.indexOf(']') + 1;
    const int hasta = linea.indexOf("  ", desde);
    campo_ = linea.mid(desde, hasta < 0 ? -1 : hasta - desde);
    linea_ = linea;
    accept();
  });
  connect(imprime, &QPushButton::clicked, this, &TFormaCampos::imprime);
  escogeTabla(tabla_->currentText());
}

void TFormaCampos::escogeTabla(const QString& titulo) {
  // The table list follows a choice made by the caller as well.
  const int i = tabla_->findText(titulo);
  if (i >= 0 && i != tabla_->currentIndex()) {
    const QSignalBlocker callado(tabla_);
    tabla_->setCurrentIndex(i);
  }
  lista_->clear();
  for (const auto& [t, archivo] : tablas())
    if (t == titulo && lineasDe_) lista_->addItems(lineasDe_(archivo));
}

QString TFormaCampos::titulo() const { return tabla_->currentText(); }

QStringList TFormaCampos::lineas() const {
  QStringList r;
  for (int i = 0; i < lista_->count(); ++i) r << lista_->item(i)->text();
  return r;
}

void TFormaCampos::imprime() {
  QPrinter impresora;
  QPrintDialog d(&impresora, this);
  if (d.exec() != QDialog::Accepted) return;
  QPainter p(&impresora);
  p.setFont(QFont("Arial", 10));
  const int alto = p.fontMetrics().height();
  int y = alto;
  for (const QString& linea : lineas()) {
    if (y > impresora.pageLayout().paintRectPixels(impresora.resolution()).height()) {
      impresora.newPage();
      y = alto;
    }
    p.drawText(0, y, linea);
    y += alto;
  }
}

std::function<QStringList(const QString&)> lineasDelCatalogo(const std::string& directorioSistema) {
  return [directorioSistema](const QString& tabla) {
    QStringList r;
    for (const std::string& l :
         base::CatalogoCampos::enDirectorio(directorioSistema).lineasSelector(tabla.toStdString()))
      r << QString::fromStdString(l);
    return r;
  };
}

// --- TFormaBusquedaNoIndexada ---

std::vector<std::pair<QString, QString>> TFormaBusquedaNoIndexada::camposDelCatalogo(
    const std::string& directorioSistema, const QString& tabla) {
  std::vector<std::pair<QString, QString>> r;
  for (const base::CampoCatalogo& c :
       base::CatalogoCampos::enDirectorio(directorioSistema).campos(tabla.toStdString())) {
    if (c.nombre.empty()) continue;
    r.emplace_back(QString::fromStdString(c.nombre), QString::fromStdString(c.descripcionMostrada()));
  }
  return r;
}

TFormaBusquedaNoIndexada::TFormaBusquedaNoIndexada(
    const std::vector<std::pair<QString, QString>>& campos, QWidget* parent)
    : QDialog(parent), campos_(campos) {
  setObjectName("TFormaBusquedaNoIndexada");
  setWindowTitle("Búsqueda");
  auto* l = new QVBoxLayout(this);
  lista_ = new QListWidget(this);
  lista_->setObjectName("ListBox1");
  for (const auto& [nombre, descripcion] : campos_) lista_->addItem(descripcion);
  if (!campos_.empty()) lista_->setCurrentRow(0);
  valor_ = new QLineEdit(this);
  valor_->setObjectName("Valor");
  auto* b = new QPushButton("&Aceptar", this);
  b->setObjectName("BitBtn1");
  auto* cancela = new QPushButton("&Cancelar", this);
  cancela->setObjectName("BitBtn2");
  cancela->setAutoDefault(false);
  l->addWidget(lista_);
  l->addWidget(valor_);
  auto* botones = new QHBoxLayout;
  botones->addWidget(b);
  botones->addWidget(cancela);
  l->addLayout(botones);
  connect(b, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancela, &QPushButton::clicked, this, &QDialog::reject);
  connect(valor_, &QLineEdit::returnPressed, this, &QDialog::accept);
  valor_->setFocus();
}

std::optional<std::pair<std::string, std::string>> TFormaBusquedaNoIndexada::pide(QWidget* padre,
                                                                                 const std::string& dirSistema,
                                                                                 const std::string& tabla) {
  TFormaBusquedaNoIndexada d(camposDelCatalogo(dirSistema, QString::fromStdString(tabla)), padre);
  if (d.exec() != QDialog::Accepted || d.campo().isEmpty()) return std::nullopt;
  return std::pair{d.campo().toStdString(), d.valor().toStdString()};
}

bool TFormaBusquedaNoIndexada::busca(QWidget* padre, const std::string& dirSistema, const std::string& nombreTabla,
                                     dbf::Table& tabla, base::Interaccion& ui) {
  const auto pedido = pide(padre, dirSistema, nombreTabla);
  return pedido && store::buscaPorCampo(tabla, pedido->first, pedido->second, ui);
}

QString TFormaBusquedaNoIndexada::campo() const {
  const int i = lista_->currentRow();
  return i >= 0 && i < static_cast<int>(campos_.size()) ? campos_[static_cast<size_t>(i)].first
                                                         : QString();
}
QString TFormaBusquedaNoIndexada::valor() const { return valor_->text(); }

// --- TFormaDescribe ---

TFormaDescribe::TFormaDescribe(const QString& texto, QWidget* parent) : QDialog(parent) {
  setObjectName("TFormaDescribe");
  setWindowFlags(Qt::Popup | Qt::FramelessWindowHint);
  auto* l = new QVBoxLayout(this);
  texto_ = new QLabel(texto, this);
  texto_->setObjectName("Texto");
  texto_->setWordWrap(true);
  texto_->setMaximumWidth(360);
  texto_->setStyleSheet("background: #ffffe1; color: black; padding: 6px;");
  l->setContentsMargins(0, 0, 0, 0);
  l->addWidget(texto_);
}

void TFormaDescribe::debajoDe(QWidget* w) { move(w->mapToGlobal(QPoint(0, w->height()))); }
QString TFormaDescribe::texto() const { return texto_->text(); }
void TFormaDescribe::keyPressEvent(QKeyEvent* e) {
  if (esTeclaCierre(e)) accept();
}
void TFormaDescribe::mousePressEvent(QMouseEvent*) { accept(); }

// --- TFormaAyudaLinea ---

QString textoDeRtf(const QByteArray& rtf) {
  QString r;
  std::vector<bool> saltar{false};  // per group: inside a destination we do not show
  const int n = static_cast<int>(rtf.size());
  for (int i = 0; i < n; ++i) {
    const char c = rtf[i];
    if (c == '{') {
      saltar.push_back(saltar.back());
    } else if (c == '}') {
      if (saltar.size() > 1) saltar.pop_back();
    } else if (c == '\\') {
      if (i + 1 >= n) break;
      const char d = rtf[i + 1];
      if (d == '\\' || d == '{' || d == '}') {
        if (!saltar.back()) r += QChar(d);
        ++i;
      } else if (d == '\'') {
        if (i + 3 < n && !saltar.back()) {
          bool ok = false;
          const int v = rtf.mid(i + 2, 2).toInt(&ok, 16);
          if (ok) r += QString::fromStdString(base::aUtf8(std::string(1, static_cast<char>(v))));
        }
        i += 3;
      } else if (d == '*') {
        saltar.back() = true;
        ++i;
      } else {
        int j = i + 1;
        while (j < n && std::isalpha(static_cast<unsigned char>(rtf[j]))) ++j;
        const QByteArray palabra = rtf.mid(i + 1, j - i - 1);
        while (j < n && (rtf[j] == '-' || std::isdigit(static_cast<unsigned char>(rtf[j])))) ++j;
        if (j < n && rtf[j] == ' ') ++j;
        if (palabra == "par" || palabra == "line") {
          if (!saltar.back()) r += '\n';
        } else if (palabra == "tab") {
          if (!saltar.back()) r += '\t';
        } else if (palabra == "fonttbl" || palabra == "colortbl" || palabra == "stylesheet" ||
                   palabra == "info" || palabra == "pict") {
          saltar.back() = true;
        }
        if (palabra.isEmpty()) j = i + 2;  // a control symbol such as "\~"
        i = j - 1;
      }
    } else if (c != '\r' && c != '\n') {
      if (!saltar.back()) r += QString::fromStdString(base::aUtf8(std::string(1, c)));
    }
  }
  return r;
}

TFormaAyudaLinea::TFormaAyudaLinea(base::Interaccion& ui, QWidget* parent)
    : QDialog(parent), ui_(ui) {
  setObjectName("TFormaAyudaLinea");
  setWindowTitle("Ayuda");
  resize(640, 480);
  auto* l = new QVBoxLayout(this);
  auto* menu = new QMenuBar(this);
  auto* archivo = menu->addMenu("&Archivo");
  archivo->addAction("&Abrir", this, [this] {
    if (auto r = ui_.abreArchivo("Abrir Tema", "Temas (*.rtf)|*.rtf|Todos|*.*"))
      abre(QString::fromStdString(base::resuelve(*r).string()));
  });
  archivo->addAction("Imprimir Tema", this, [this] {
    QPrinter impresora;
    QPrintDialog d(&impresora, this);
    if (d.exec() == QDialog::Accepted) tema_->print(&impresora);
  });
  archivo->addAction("Salir", this, &QDialog::accept);
  menu->addAction("Buscar", this, [this] {
    if (auto b = ui_.busca(false)) busca(QString::fromStdString(b->texto));
  });
  l->setMenuBar(menu);
  tema_ = new QTextEdit(this);
  tema_->setObjectName("RichEdit1");
  tema_->setReadOnly(true);
  l->addWidget(tema_);
}

bool TFormaAyudaLinea::abre(const QString& rutaLocal) {
  QFile f(rutaLocal);
  if (!f.open(QIODevice::ReadOnly)) return false;
  const QByteArray bytes = f.readAll();
  if (rutaLocal.endsWith(".mht", Qt::CaseInsensitive) || rutaLocal.endsWith(".mhtml", Qt::CaseInsensitive))
    tema_->setHtml(QString::fromStdString(base::htmlDeMht(bytes.toStdString())));
  else
    tema_->setPlainText(bytes.startsWith("{\\rtf") ? textoDeRtf(bytes)
                                                    : QString::fromStdString(base::aUtf8(bytes.toStdString())));
  posicion_ = -1;
  return true;
}

TFormaAyudaLinea* TFormaAyudaLinea::muestra(QWidget* padre, std::string_view ruta, base::Interaccion& ui) {
  if (!base::existe(ruta)) {
    ui.mensaje("El Archivo " + std::string(ruta) + " No Existe");
    return nullptr;
  }
  auto* d = new TFormaAyudaLinea(ui, padre);
  d->setAttribute(Qt::WA_DeleteOnClose);
  d->abre(QString::fromStdString(base::resuelve(ruta).string()));
  d->show();
  return d;
}

QString TFormaAyudaLinea::textoTema() const { return tema_->toPlainText(); }

void TFormaAyudaLinea::busca(const QString& texto) {
  buscado_ = texto;
  posicion_ = -1;
  buscaOtraVez();
}

void TFormaAyudaLinea::buscaOtraVez() {
  if (buscado_.isEmpty()) return;
  const int desde = posicion_ < 0 ? 0 : posicion_ + 1;
  const int p = tema_->toPlainText().indexOf(buscado_, desde, Qt::CaseInsensitive);
  if (p < 0) return;
  posicion_ = p;
  QTextCursor c = tema_->textCursor();
  c.setPosition(p);
  c.setPosition(p + static_cast<int>(buscado_.size()), QTextCursor::KeepAnchor);
  tema_->setTextCursor(c);
}

void TFormaAyudaLinea::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_F3) {
    ui_.mensaje(("posicion " + QString::number(posicion_) + " " + buscado_).toStdString());
    buscaOtraVez();
    return;
  }
  if (e->key() == Qt::Key_Escape) {
    accept();
    return;
  }
  QDialog::keyPressEvent(e);
}

// --- TFormaOperador ---

TFormaOperador::TFormaOperador(QWidget* parent) : QDialog(parent) {
  setObjectName("TFormaOperador");
  setWindowTitle("Operadores");
  // A legend beside the field being typed in: it never takes the keyboard from it.
  setWindowFlag(Qt::Tool);
  setAttribute(Qt::WA_ShowWithoutActivating);
  setFocusPolicy(Qt::NoFocus);
  auto* l = new QVBoxLayout(this);
  leyenda_ = new QLabel("= igual    > mayor      < menor       & incluye", this);
  leyenda_->setObjectName("Label1");
  l->addWidget(leyenda_);
}

}  // namespace mostrador::ui
