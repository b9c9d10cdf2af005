#include "printing/screens/TFormaEdicion.h"

#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>

#include "printing/motor_formatos.h"
#include "printing/registro_vista_previa.h"
#include "shell/rutas.h"
#include "ui/jpeg.h"

using namespace mostrador::printing;

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
    auto registros = leeRegistros(mostrador::shell::une(forma_->dirSistema_, kArchivoVistaPrevia));
    forma_->actualizaPaginas(cuentaPaginas(registros));
    for (const auto& z : trazosDePagina(registros, forma_->pagina_, width(), height())) {
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
          QImage img = leeImagen(mostrador::shell::resuelve(z.texto).string());
          if (!img.isNull())
            p.drawImage(QRect(QPoint(z.x1, z.y1), QPoint(z.x2, z.y2)).normalized(), img);
          break;
        }
      }
    }
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
    auto* b = new QPushButton(texto, this);
    b->setObjectName(nombre);
    b->setAutoDefault(false);
    connect(b, &QPushButton::clicked, this, accion);
    barra->addWidget(b);
    return b;
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
    paginas_ = cuentaPaginas(leeRegistros(mostrador::shell::une(dirSistema_, kArchivoVistaPrevia)));
  pagina_ = paginaElegida(NumerodePagina->text().toStdString(), paginas_);
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

PosicionComentario TFormaEdicion::posicion(const QWidget* item) const {
  QPoint p = item->mapTo(hoja_, QPoint(0, 0));
  return posicionComentario(p.x(), p.y(), hoja_->width(), hoja_->height());
}

void TFormaEdicion::mueveComentario(QWidget* item, QPoint punto) {
  item->move(punto);
  EstadoPosicion->setText(QString::fromStdString(textoPosicion(posicion(item))));
}

bool TFormaEdicion::eventFilter(QObject* objeto, QEvent* evento) {
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
  ComentarioVistaPrevia nota;
  nota.posicion = posicion(Comentario);
  if (!Comentario->isHidden()) {
    QString t = Comentario->toPlainText();
    if (!t.isEmpty())
      for (const QString& l : t.split('\n')) nota.lineas.push_back(l.toStdString());
  }
  std::vector<std::pair<PosicionComentario, std::string>> campos;
  for (auto* e : campos_) campos.emplace_back(posicion(e), e->text().toStdString());
  escribeComentarios(dirSistema_, nota, campos);
  imprimir_ = true;
  accept();
}

void TFormaEdicion::GuardarPagina1Click() {
  std::string ruta = mostrador::shell::une(dirSistema_, "tempo\\pag" + std::to_string(pagina_) + ".bmp");
  mostrador::shell::creaDirectorios(mostrador::shell::une(dirSistema_, "tempo"));
  hoja_->grab().save(QString::fromStdString(mostrador::shell::resuelve(ruta).string()), "BMP");
}

void TFormaEdicion::done(int r) {
  if (guardaPagina_) GuardarPagina1Click();
  QDialog::done(r);
}
