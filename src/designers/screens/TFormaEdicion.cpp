#include "designers/screens/TFormaEdicion.h"

#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QKeyEvent>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QFontDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTextBlock>
#include <QPainter>
#include <QVBoxLayout>

#include "printing/colores.h"
#include "printing/motor_formatos.h"
#include "printing/registro_vista_previa.h"
#include "base/rutas.h"
#include "base/texto.h"
#include "ui/dialogos.h"
#include "ui/jpeg.h"

using namespace mostrador;
using namespace mostrador::printing;
using namespace mostrador::designers;

// The sheet: a white page with a blue frame on which the current page is drawn. The
// preview file is read again at every paint, so the count follows the file.
class TFormaEdicion::Hoja : public QWidget {
 public:
  Hoja(TFormaEdicion* forma, QWidget* padre) : QWidget(padre), forma_(forma) {
    setObjectName("Hoja");
    setAutoFillBackground(false);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    p.setPen(QPen(Qt::blue, 1));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    auto registros = printing::leeRegistros(mostrador::base::une(forma_->dirSistema_, printing::kArchivoVistaPrevia));
    forma_->actualizaPaginas(printing::cuentaPaginas(registros));
    for (const auto& z : printing::trazosDePagina(registros, forma_->pagina_, width(), height())) {
      switch (z.tipo) {
        case TrazoVistaPrevia::Tipo::Texto: {
          QFont f(QString::fromStdString(z.fuente));
          f.setPointSize(std::max(1, z.tamano));
          p.setFont(f);
          p.setPen(QColor(z.color.r, z.color.g, z.color.b));
          p.drawText(QPoint(z.x1, z.y1 + QFontMetrics(f).ascent()), QString::fromStdString(z.texto));
          break;
        }
        case TrazoVistaPrevia::Tipo::Cuadro: {
          Color b = z.brocha.value_or(Color{255, 255, 255});
          p.setPen(QPen(Qt::black, 1));
          p.setBrush(QColor(b.r, b.g, b.b));
          p.drawRect(QRect(QPoint(z.x1, z.y1), QPoint(z.x2, z.y2)).normalized());
          p.setBrush(Qt::white);
          break;
        }
        case TrazoVistaPrevia::Tipo::Imagen: {
          QImage img = leeImagen(mostrador::base::resuelve(z.texto).string());
          if (!img.isNull())
            p.drawImage(QRect(QPoint(z.x1, z.y1), QPoint(z.x2, z.y2)).normalized(), img);
          break;
        }
      }
    }
    // The designer's sketch of the checked code.
    for (const auto& e : forma_->boceto_) {
      const Color c = colorPorNombre(e.color).value_or(kNegro);
      if (e.tipo == mostrador::designers::ElementoBoceto::Texto) {
        QFont f(QStringLiteral("Arial"));
        if (e.tamano > 0) f.setPointSize(e.tamano);
        p.setFont(f);
        p.setPen(QColor(c.r, c.g, c.b));
        p.drawText(QPoint(e.x, e.y + QFontMetrics(f).ascent()), QString::fromStdString(e.texto));
      } else {
        QImage img = leeImagen(mostrador::base::resuelve(e.texto).string());
        if (!img.isNull()) p.drawImage(QRect(QPoint(e.x, e.y), QPoint(e.derecha, e.abajo)).normalized(), img);
      }
    }
  }

  void mousePressEvent(QMouseEvent* m) override {
    if (forma_->asistente_ && m->button() == Qt::LeftButton) forma_->clicEnHoja(m->position().toPoint());
    QWidget::mousePressEvent(m);
  }

 private:
  TFormaEdicion* forma_;
};

TFormaEdicion::TFormaEdicion(std::string dirSistema, QWidget* parent, bool guardaPaginaAlCerrar)
    : QDialog(parent), dirSistema_(std::move(dirSistema)), guardaPagina_(guardaPaginaAlCerrar) {
  setObjectName("FormaEdicion");
  setWindowTitle(QStringLiteral("Vista Preliminar"));
  resize(800, 700);

  auto* barra = new QHBoxLayout;
  auto boton = [&](const char* nombre, const QString& texto, void (TFormaEdicion::*accion)()) {
    return mostrador::ui::botonDeBarra(barra, this, nombre, texto, accion);
  };
  boton("BotonImprimir", QStringLiteral("Imprimir"), &TFormaEdicion::BotonImprimirClick);
  boton("Carta1", QStringLiteral("Carta"), &TFormaEdicion::Carta1Click);
  boton("Ticket1", QStringLiteral("Ticket"), &TFormaEdicion::Ticket1Click);
  boton("BotonAumento", QStringLiteral("Aumentar"), &TFormaEdicion::BotonAumentoClick);
  boton("BotonDisminuye", QStringLiteral("Disminuir"), &TFormaEdicion::BotonDisminuyeClick);
  boton("BotonComentario", QStringLiteral("Nota"), &TFormaEdicion::BotonComentarioClick);
  boton("BotonCampo", QStringLiteral("Texto"), &TFormaEdicion::BotonCampoClick);
  boton("GuardarPagina1", QStringLiteral("Guardar Página"), &TFormaEdicion::GuardarPagina1Click);
  NumerodePagina = new QLineEdit(QStringLiteral("1"), this);
  NumerodePagina->setObjectName("NumerodePagina");
  NumerodePagina->setMaximumWidth(60);
  connect(NumerodePagina, &QLineEdit::textChanged, this, &TFormaEdicion::NumerodePaginaChange);
  barra->addWidget(NumerodePagina);
  LabelPaginas = new QLabel(QStringLiteral("Paginas  0"), this);
  LabelPaginas->setObjectName("LabelPaginas");
  barra->addWidget(LabelPaginas);
  barra->addStretch();

  visor_ = new QScrollArea(this);
  visor_->setObjectName("Visor");
  visor_->setBackgroundRole(QPalette::Dark);
  hoja_ = new Hoja(this, nullptr);
  visor_->setWidget(hoja_);
  Carta1Click();

  Comentario = new QTextEdit(hoja_);
  Comentario->setObjectName("Comentario");
  Comentario->setGeometry(40, 40, 220, 80);
  Comentario->hide();
  Comentario->viewport()->installEventFilter(this);
  Comentario->setContextMenuPolicy(Qt::NoContextMenu);
  for (int i = 0; i < 10; ++i) {
    auto* e = new QLineEdit(hoja_);
    e->setObjectName(QStringLiteral("Edit%1").arg(i + 1));
    e->setGeometry(40, 140 + 24 * i, 180, 22);
    e->setContextMenuPolicy(Qt::NoContextMenu);
    e->installEventFilter(this);
    e->hide();
    campos_[i] = e;
  }

  EstadoPosicion = new QLabel(this);
  EstadoPosicion->setObjectName("EstadoPosicion");

  auto* todo = new QVBoxLayout(this);
  todo->addLayout(barra);
  todo->addWidget(visor_, 1);
  todo->addWidget(EstadoPosicion);
}

QWidget* TFormaEdicion::hoja() const { return hoja_; }

bool TFormaEdicion::muestra() {
  pagina_ = 1;
  NumerodePagina->setText(QStringLiteral("1"));
  exec();
  return imprimir_;
}

void TFormaEdicion::actualizaPaginas(int n) {
  paginas_ = n;
  LabelPaginas->setText(QStringLiteral("Paginas  %1").arg(n));
}

void TFormaEdicion::tamanoHoja(int ancho, int alto) {
  hoja_->setFixedSize(ancho, alto);
  hoja_->update();
}

void TFormaEdicion::Carta1Click() { tamanoHoja(612, 792); }
void TFormaEdicion::Ticket1Click() { tamanoHoja(300, 792); }

void TFormaEdicion::BotonAumentoClick() {
  int ancho = std::max(100, visor_->width() - 80);
  tamanoHoja(ancho, static_cast<int>(ancho * 1.3));
}

void TFormaEdicion::BotonDisminuyeClick() { tamanoHoja(193, 315); }

void TFormaEdicion::NumerodePaginaChange() {
  // The count is the one of the last paint; read the file now when nothing was painted.
  if (paginas_ == 0)
    paginas_ = printing::cuentaPaginas(printing::leeRegistros(mostrador::base::une(dirSistema_, printing::kArchivoVistaPrevia)));
  pagina_ = printing::paginaElegida(NumerodePagina->text().toStdString(), paginas_);
  hoja_->update();
}

void TFormaEdicion::BotonComentarioClick() { Comentario->show(); }

void TFormaEdicion::BotonCampoClick() {
  for (auto* e : campos_)
    if (e->isHidden()) {
      e->show();
      e->setFocus();
      return;
    }
}

printing::PosicionComentario TFormaEdicion::posicion(const QWidget* item) const {
  QPoint p = item->mapTo(hoja_, QPoint(0, 0));
  return posicionComentario(p.x(), p.y(), hoja_->width(), hoja_->height());
}

void TFormaEdicion::mueveComentario(QWidget* item, QPoint punto) {
  item->move(punto);
  EstadoPosicion->setText(QString::fromStdString(textoPosicion(posicion(item))));
}

bool TFormaEdicion::eventFilter(QObject* objeto, QEvent* evento) {
  if (Codigo && evento->type() == QEvent::KeyPress) {
    auto* k = static_cast<QKeyEvent*>(evento);
    if (objeto == Codigo && k->key() == Qt::Key_F2) {
      muestraListaCampos();
      return true;
    }
    if (objeto == ListaCampos && (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter)) {
      ListaCamposElige(ListaCampos->currentRow());
      return true;
    }
  }
  if (Codigo && (objeto == Codigo || objeto == ListaCampos)) return QDialog::eventFilter(objeto, evento);
  // The note's events arrive on its viewport.
  QWidget* item = objeto == Comentario->viewport() ? Comentario : qobject_cast<QWidget*>(objeto);
  if (!item) return QDialog::eventFilter(objeto, evento);
  switch (evento->type()) {
    case QEvent::MouseButtonPress: {
      auto* m = static_cast<QMouseEvent*>(evento);
      // The right button drags an item; the left one edits its text.
      if (m->button() == Qt::RightButton) {
        arrastre_ = m->position().toPoint();
        return true;
      }
      break;
    }
    case QEvent::MouseMove: {
      auto* m = static_cast<QMouseEvent*>(evento);
      if (m->buttons() & Qt::RightButton) {
        QPoint destino = item->mapTo(hoja_, m->position().toPoint()) - arrastre_;
        mueveComentario(item, destino);
        return true;
      }
      break;
    }
    case QEvent::MouseButtonDblClick:
      if (item != Comentario) {
        auto* e = static_cast<QLineEdit*>(item);
        e->clear();
        e->hide();
        return true;
      }
      break;
    default: break;
  }
  return QDialog::eventFilter(objeto, evento);
}

void TFormaEdicion::BotonImprimirClick() {
  printing::ComentarioVistaPrevia nota;
  nota.posicion = posicion(Comentario);
  if (!Comentario->isHidden()) {
    QString t = Comentario->toPlainText();
    if (!t.isEmpty())
      for (const QString& l : t.split('\n')) nota.lineas.push_back(l.toStdString());
  }
  std::vector<std::pair<printing::PosicionComentario, std::string>> campos;
  for (auto* e : campos_) campos.emplace_back(posicion(e), e->text().toStdString());
  printing::escribeComentarios(dirSistema_, nota, campos);
  imprimir_ = true;
  accept();
}

void TFormaEdicion::GuardarPagina1Click() {
  std::string ruta = mostrador::base::une(dirSistema_, "tempo\\pag" + std::to_string(pagina_) + ".bmp");
  mostrador::base::creaDirectorios(mostrador::base::une(dirSistema_, "tempo"));
  hoja_->grab().save(QString::fromStdString(mostrador::base::resuelve(ruta).string()), "BMP");
}

void TFormaEdicion::done(int r) {
  if (guardaPagina_) GuardarPagina1Click();
  QDialog::done(r);
}

// --- Designer mode ---

namespace {
QString qs(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

std::vector<std::string> TFormaEdicion::lineasCodigo() const {
  std::vector<std::string> r;
  if (!Codigo) return r;
  const QString t = Codigo->toPlainText();
  if (t.isEmpty()) return r;
  for (const QString& l : t.split('\n')) r.push_back(l.toStdString());
  return r;
}

void TFormaEdicion::modoDiseno(mostrador::base::Interaccion& ui, const std::string& archivo,
                               const std::string& dirInicial) {
  ui_ = &ui;
  dirInicial_ = dirInicial;
  setWindowTitle(QStringLiteral("Diseño de Formatos"));
  PanelDiseno = new QWidget(this);
  PanelDiseno->setObjectName("PanelDiseno");
  auto* l = new QVBoxLayout(PanelDiseno);
  auto* barra = new QHBoxLayout;
  auto boton = [&](const char* nombre, const QString& texto, void (TFormaEdicion::*accion)()) {
    auto* b = new QPushButton(texto, PanelDiseno);
    b->setObjectName(nombre);
    b->setAutoDefault(false);
    connect(b, &QPushButton::clicked, this, accion);
    barra->addWidget(b);
    return b;
  };
  boton("Nuevo1", QStringLiteral("Nuevo"), &TFormaEdicion::Nuevo1Click);
  boton("Abrir1", QStringLiteral("Abrir"), &TFormaEdicion::Abrir1Click);
  boton("Guardar1", QStringLiteral("Guardar"), &TFormaEdicion::Guardar1Click);
  boton("Compilar1", QStringLiteral("Revisar"), &TFormaEdicion::Compilar1Click);
  boton("ListadeImpresoras1", QStringLiteral("Impresoras"), &TFormaEdicion::ListadeImpresoras1Click);
  boton("Asistente", QStringLiteral("Asistente"), &TFormaEdicion::AsistenteClick);
  boton("AumentarEditor1", QStringLiteral("Ampliar"), &TFormaEdicion::AumentarEditor1Click);
  boton("Imprimir1", QStringLiteral("Imprimir"), &TFormaEdicion::Imprimir1Click);
  boton("Fuentes1", QStringLiteral("Fuentes"), &TFormaEdicion::Fuentes1Click);
  boton("Temas1", QStringLiteral("Ayuda"), &TFormaEdicion::Temas1Click);
  boton("Campos1", QStringLiteral("Campos"), &TFormaEdicion::Campos1Click);
  Modulo = new QComboBox(PanelDiseno);
  Modulo->setObjectName("Modulo");
  for (const char* m : {"Clientes", "Compras", "Ctas. Cobrar", "Ctas. Pagar", "Facturas", "Inventarios",
                        "Mov. Inventario", "Vendedores", "Proveedores"})
    Modulo->addItem(QString::fromUtf8(m));
  barra->addWidget(Modulo);
  LabelLinea = new QLabel(QStringLiteral("1"), PanelDiseno);
  LabelLinea->setObjectName("LabelLinea");
  LabelColumna = new QLabel(QStringLiteral("1"), PanelDiseno);
  LabelColumna->setObjectName("LabelColumna");
  barra->addWidget(LabelLinea);
  barra->addWidget(LabelColumna);
  l->addLayout(barra);
  auto* cuerpo = new QHBoxLayout;
  Codigo = new QPlainTextEdit(PanelDiseno);
  Codigo->setObjectName("Codigo");
  Codigo->setFont(QFont(QStringLiteral("Arial"), 10));
  Codigo->setFixedWidth(360);
  Codigo->installEventFilter(this);
  connect(Codigo, &QPlainTextEdit::cursorPositionChanged, this, &TFormaEdicion::actualizaIndicadores);
  cuerpo->addWidget(Codigo);
  ListaCampos = new QListWidget(PanelDiseno);
  ListaCampos->setObjectName("ListaCampos");
  ListaCampos->hide();
  ListaCampos->installEventFilter(this);
  connect(ListaCampos, &QListWidget::itemDoubleClicked, this,
          [this](QListWidgetItem* i) { ListaCamposElige(ListaCampos->row(i)); });
  cuerpo->addWidget(ListaCampos);
  l->addLayout(cuerpo, 1);

  PanelHerramientas = new QWidget(PanelDiseno);
  PanelHerramientas->setObjectName("PanelHerramientas");
  auto* h = new QHBoxLayout(PanelHerramientas);
  auto herramienta = [&](const char* nombre, const QString& texto, Herramienta cual) {
    auto* b = new QPushButton(texto, PanelHerramientas);
    b->setObjectName(nombre);
    b->setAutoDefault(false);
    connect(b, &QPushButton::clicked, this, [this, cual] { herramienta_ = cual; });
    h->addWidget(b);
  };
  herramienta("HerramientaCampo", QStringLiteral("Campo"), Herramienta::Campo);
  herramienta("HerramientaEtiqueta", QStringLiteral("Etiqueta"), Herramienta::Etiqueta);
  herramienta("HerramientaCuadro", QStringLiteral("Cuadro"), Herramienta::Cuadro);
  PanelHerramientas->hide();
  l->addWidget(PanelHerramientas);

  if (auto* todo = qobject_cast<QVBoxLayout*>(layout())) {
    auto* fila = new QHBoxLayout;
    todo->removeWidget(visor_);
    fila->addWidget(PanelDiseno);
    fila->addWidget(visor_, 1);
    todo->insertLayout(1, fila, 1);
  }
  if (!archivo.empty() && !(archivo.size() >= 4 && QString::fromStdString(archivo).endsWith(".fmt", Qt::CaseInsensitive))) {
    if (auto lineas = mostrador::base::leeLineas(archivo)) {
      QStringList t;
      for (const auto& x : *lineas) t << qs(x);
      Codigo->setPlainText(t.join('\n'));
      archivo_ = archivo;
    }
  }
}

void TFormaEdicion::actualizaIndicadores() {
  const QTextCursor c = Codigo->textCursor();
  // The indicators count a line break as two characters, as the stored files have it.
  const auto i = indicadoresCursor(lineasCodigo(), c.position() + c.blockNumber());
  LabelLinea->setText(QString::number(i.linea));
  LabelColumna->setText(QString::number(i.columna));
}

void TFormaEdicion::Nuevo1Click() {
  Codigo->clear();
  archivo_.clear();
  boceto_.clear();
  revision_.clear();
  hoja_->update();
}

void TFormaEdicion::Abrir1Click() {
  auto r = ui_->abreArchivo(dirInicial_.empty() ? "Abrir" : dirInicial_,
                            "Formatos (*.for;*.fmt)|*.for;*.fmt|Todos|*.*");
  if (!r) return;
  auto lineas = mostrador::base::leeLineas(*r);
  if (!lineas) {
    ui_->mensaje("El Archivo " + *r + " No Existe");
    return;
  }
  QStringList t;
  for (const auto& x : *lineas) t << qs(x);
  Codigo->setPlainText(t.join('\n'));
  archivo_ = *r;
}

void TFormaEdicion::Guardar1Click() {
  std::string ruta = archivo_;
  if (ruta.empty()) {
    auto r = ui_->guardaArchivo(dirInicial_.empty() ? "Guardar" : dirInicial_,
                                "Formatos (*.for;*.fmt)|*.for;*.fmt|Todos|*.*");
    if (!r) return;
    ruta = *r;
  }
  std::vector<std::string> lineas;
  if (asistente_) {
    const double ancho = hoja_->width(), alto = hoja_->height();
    for (auto* c : camposAsistente_)
      if (!c->isHidden())
        lineas.push_back(lineaAsistente(c->x(), c->y(), ancho, alto, textoDeCampo(c->text().toStdString())));
    for (auto* e : etiquetas_)
      if (!e->isHidden()) lineas.push_back(lineaAsistente(e->x(), e->y(), ancho, alto, e->text().toStdString()));
  } else {
    lineas = lineasCodigo();
  }
  if (!guardaFormato(*ui_, ruta, lineas)) return;
  archivo_ = ruta;
  if (asistente_) {
    // Leaving the assistant by saving returns to plain code editing, on the saved lines.
    asistente_ = false;
    PanelHerramientas->hide();
    QStringList t;
    for (const auto& x : lineas) t << qs(x);
    Codigo->setPlainText(t.join('\n'));
    for (auto* w : camposAsistente_) w->deleteLater();
    for (auto* w : etiquetas_) w->deleteLater();
    for (auto* w : cuadros_) w->deleteLater();
    camposAsistente_.clear();
    etiquetas_.clear();
    cuadros_.clear();
  }
}

void TFormaEdicion::Compilar1Click() {
  const auto lineas = lineasCodigo();
  revision_ = revisaCodigo(lineas);
  QTextCursor c(Codigo->document());
  QTextCharFormat negro, rojo;
  negro.setForeground(Qt::black);
  rojo.setForeground(Qt::red);
  c.select(QTextCursor::Document);
  c.setCharFormat(negro);
  for (int i = 0; i < static_cast<int>(revision_.size()); ++i) {
    if (revision_[static_cast<size_t>(i)]) continue;
    QTextCursor b(Codigo->document()->findBlockByNumber(i));
    b.select(QTextCursor::BlockUnderCursor);
    b.setCharFormat(rojo);
  }
  boceto_ = bocetoCodigo(lineas);
  hoja_->update();
}

void TFormaEdicion::ListadeImpresoras1Click() {
  bool ok = false;
  const QString nombre = QInputDialog::getItem(this, QStringLiteral("Impresoras"), QStringLiteral("Impresora"),
                                               QPrinterInfo::availablePrinterNames(), 0, false, &ok);
  if (ok && !nombre.isEmpty()) agregaImpresora(nombre.toStdString());
}

void TFormaEdicion::agregaImpresora(const std::string& nombre) {
  auto lineas = lineasCodigo();
  mostrador::designers::agregaImpresora(lineas, nombre);
  QStringList t;
  for (const auto& x : lineas) t << qs(x);
  Codigo->setPlainText(t.join('\n'));
}

void TFormaEdicion::AumentarEditor1Click() {
  editorAncho_ = !editorAncho_;
  Codigo->setFixedWidth(editorAncho_ ? 603 : 360);
  Codigo->setFont(QFont(QStringLiteral("Arial"), editorAncho_ ? 14 : 10));
}

void TFormaEdicion::muestraListaCampos() {
  lineaLista_ = Codigo->textCursor().blockNumber();
  if (auto ruta = archivoListaCampos(dirSistema_, Modulo->currentText().toStdString())) {
    // A missing file leaves the list as it was.
    if (auto lineas = mostrador::base::leeLineas(*ruta)) {
      ListaCampos->clear();
      for (const auto& x : *lineas) ListaCampos->addItem(qs(x));
    }
  }
  ListaCampos->show();
  ListaCampos->setFocus();
}

void TFormaEdicion::ListaCamposElige(int fila) {
  auto* item = ListaCampos->item(fila);
  if (!item) return;
  auto lineas = lineasCodigo();
  agregaReferencia(lineas, lineaLista_, item->text().toStdString());
  QStringList t;
  for (const auto& x : lineas) t << qs(x);
  Codigo->setPlainText(t.join('\n'));
  ListaCampos->hide();
  Codigo->setFocus();
}

namespace {
// The chooser writes the receivables caption without the blank the designer's module
// list has; both name the same module.
QString moduloDelSelector(const QString& titulo) {
  return titulo == QStringLiteral("Ctas.Cobrar") ? QStringLiteral("Ctas. Cobrar") : titulo;
}
}  // namespace

QString TFormaEdicion::modulo() const { return Modulo ? Modulo->currentText() : QString(); }

void TFormaEdicion::Campos1Click() {
  if (!Codigo) return;
  const int linea = Codigo->textCursor().blockNumber();
  mostrador::ui::TFormaCampos c(mostrador::ui::lineasDelCatalogo(dirSistema_), this);
  const QString actual = Modulo->currentText();
  c.escogeTabla(actual == QStringLiteral("Ctas. Cobrar") ? QStringLiteral("Ctas.Cobrar") : actual);
  c.exec();
  tomaDelSelector(c.titulo(), c.linea(), linea);
}

void TFormaEdicion::tomaDelSelector(const QString& titulo, const QString& linea, int lineaCodigo) {
  if (!Codigo) return;
  // Tables the designer has no field list for (the detail tables) leave the module.
  const int i = Modulo->findText(moduloDelSelector(titulo));
  if (i >= 0) Modulo->setCurrentIndex(i);
  if (linea.isEmpty()) return;
  auto lineas = lineasCodigo();
  agregaReferencia(lineas, lineaCodigo, linea.toStdString());
  QStringList t;
  for (const auto& x : lineas) t << qs(x);
  Codigo->setPlainText(t.join('\n'));
  Codigo->setFocus();
}

void TFormaEdicion::AsistenteClick() {
  // The assistant works on an empty sheet.
  mostrador::base::escribeBytes(mostrador::base::une(dirSistema_, printing::kArchivoVistaPrevia), "");
  asistente_ = true;
  boceto_.clear();
  PanelHerramientas->show();
  hoja_->update();
}

void TFormaEdicion::clicEnHoja(QPoint punto) {
  if (!asistente_) return;
  switch (herramienta_) {
    case Herramienta::Campo: {
      auto* c = new QLabel(QStringLiteral("Campo%1").arg(camposAsistente_.size() + 1), hoja_);
      c->setObjectName(c->text());
      c->setFrameShape(QFrame::Box);
      c->move(punto);
      c->show();
      camposAsistente_.push_back(c);
      break;
    }
    case Herramienta::Etiqueta: {
      auto* e = new QLabel(QStringLiteral("Etiqueta%1").arg(etiquetas_.size() + 1), hoja_);
      e->setObjectName(e->text());
      e->move(punto);
      e->show();
      etiquetas_.push_back(e);
      break;
    }
    case Herramienta::Cuadro: {
      auto* f = new QFrame(hoja_);
      f->setObjectName(QStringLiteral("Cuadro%1").arg(cuadros_.size() + 1));
      f->setFrameShape(QFrame::Box);
      f->setGeometry(punto.x(), punto.y(), 200, 200);
      f->show();
      cuadros_.push_back(f);
      break;
    }
    case Herramienta::Ninguna: break;
  }
}

void TFormaEdicion::Imprimir1Click() {
  QPrinter impresora;
  impresora.setDocName(QStringLiteral("Codigo ") + qs(archivo_));
  QPrintDialog dialogo(&impresora, this);
  if (dialogo.exec() != QDialog::Accepted) return;
  Codigo->document()->print(&impresora);
}

void TFormaEdicion::Fuentes1Click() {
  bool ok = false;
  const QFont f = QFontDialog::getFont(&ok, Codigo->font(), this);
  if (ok) Codigo->setFont(f);
}

void TFormaEdicion::Temas1Click() {
  mostrador::ui::TFormaAyudaLinea ayuda(*ui_, this);
  const std::string ruta = mostrador::base::une(mostrador::base::une(dirSistema_, "ayuda"), "edicion.rtf");
  if (!ayuda.abre(QString::fromStdString(mostrador::base::resuelve(ruta).string()))) {
    ui_->mensaje("El Archivo " + ruta + " No Existe");
    return;
  }
  ayuda.exec();
}
