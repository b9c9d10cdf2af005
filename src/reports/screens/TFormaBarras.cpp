#include "reports/screens/TFormaBarras.h"

#include <cmath>

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QCloseEvent>
#include <QColorDialog>
#include <QDate>
#include <QHBoxLayout>
#include <QLineSeries>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPieSeries>
#include <QValueAxis>
#include <QVBoxLayout>
#include <memory>

#include "printing/screens/TDialogoImprimir.h"
#include "reports/screens/hoja_qt.h"
#include "base/rutas.h"
#include "ui/impresora_qt.h"

using mostrador::reports::ModoVista;

namespace {

QString q(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<int>(s.size())); }

}  // namespace

TFormaBarras::TFormaBarras(std::string dirSistema, std::string caption, mostrador::base::Interaccion& ui,
                           std::string hojaDeCalculo, QWidget* parent)
    : QDialog(parent),
      sistema_(dirSistema),
      ui_(ui),
      hojaDeCalculo_(std::move(hojaDeCalculo)),
      visor_(std::move(dirSistema), caption) {
  setObjectName("TFormaBarras");
  setWindowTitle(q(caption));
  resize(900, 640);
  auto* todo = new QVBoxLayout(this);
  auto* barra = new QMenuBar(this);
  todo->setMenuBar(barra);
  QMenu* opciones = barra->addMenu(QStringLiteral("&Opciones"));
  auto accion = [&](QMenu* m, const char* nombre, const QString& texto, auto f) {
    QAction* a = m->addAction(texto);
    a->setObjectName(nombre);
    connect(a, &QAction::triggered, this, f);
    return a;
  };
  accion(opciones, "Primeracolumna1", QStringLiteral("Primera Columna"), [this] { Primeracolumna1Click(); });
  accion(opciones, "SegundaColumna1", QStringLiteral("Segunda Columna"), [this] { SegundaColumna1Click(); });
  accion(opciones, "TerceraColumna1", QStringLiteral("Tercera Columna"), [this] { TerceraColumna1Click(); });
  accion(opciones, "TamaodeColumnas1", QStringLiteral("Tamaño de Columnas"), [this] { TamaodeColumnas1Click(); });
  accion(opciones, "TipodeLetra1", QStringLiteral("Tipo de Letra"), [this] {
    if (auto f = ui_.pideTexto("Tipo de Letra", "Letra", fuenteImpresion_)) TipodeLetra1(*f);
  });
  accion(opciones, "TamanoFuente", QStringLiteral("Tamaño de Letra"), [this] {
    const std::string t = ui_.dato("Tamaño de Letra");
    const int n = std::atoi(t.c_str());
    if (n > 0) TamanoFuente(n);
  });

  auto* botones = new QHBoxLayout;
  BotonGrafica = boton("BotonGrafica", QStringLiteral("Barras"), &TFormaBarras::BotonGraficaClick);
  BotonPie = boton("BotonPie", QStringLiteral("Pastel"), &TFormaBarras::BotonPieClick);
  BotonLineas = boton("BotonLineas", QStringLiteral("Líneas"), &TFormaBarras::BotonLineasClick);
  BotonReporte = boton("BotonReporte", QStringLiteral("Reporte"), &TFormaBarras::BotonReporteClick);
  BotonTexto = boton("BotonTexto", QStringLiteral("Texto"), &TFormaBarras::BotonTextoClick);
  BotonAnterior = boton("BotonAnterior", QStringLiteral("<<"), &TFormaBarras::BotonAnteriorClick);
  BotonSiguiente = boton("BotonSiguiente", QStringLiteral(">>"), &TFormaBarras::BotonSiguienteClick);
  BotonAutomatico = boton("BotonAutomatico", QStringLiteral("Automático"), &TFormaBarras::BotonAutomaticoClick);
  BotonColor = boton("BotonColor", QStringLiteral("Color"), &TFormaBarras::BotonColorClick);
  BotonImprime = boton("BotonImprime", QStringLiteral("Imprimir"), &TFormaBarras::BotonImprimeClick);
  BotonExporta = boton("BotonExporta", QStringLiteral("Exportar"), &TFormaBarras::BotonExportaClick);
  for (QPushButton* b : {BotonGrafica, BotonPie, BotonLineas, BotonReporte, BotonTexto, BotonAnterior, BotonSiguiente,
                         BotonAutomatico, BotonColor, BotonImprime, BotonExporta})
    botones->addWidget(b);
  todo->addLayout(botones);

  Grafica = new QChartView(new QChart(), this);
  Grafica->setObjectName("Grafica");
  Grafica->setRenderHint(QPainter::Antialiasing);
  Grafica->viewport()->installEventFilter(this);
  Concentrado = new QTextEdit(this);
  Concentrado->setObjectName("Concentrado");
  Concentrado->setReadOnly(true);
  Concentrado->setLineWrapMode(QTextEdit::NoWrap);
  Estado = new QLabel(this);
  Estado->setObjectName("Estado");
  todo->addWidget(Grafica, 1);
  todo->addWidget(Concentrado, 1);
  todo->addWidget(Estado);

  timer_ = new QTimer(this);
  timer_->setInterval(2000);
  connect(timer_, &QTimer::timeout, this, [this] { avanceAutomatico(); });
}

TFormaBarras::~TFormaBarras() {
  if (!cerrado_) visor_.cierra();
}

QPushButton* TFormaBarras::boton(const char* nombre, const QString& texto, void (TFormaBarras::*accion)()) {
  auto* b = new QPushButton(texto, this);
  b->setObjectName(nombre);
  b->setAutoDefault(false);
  connect(b, &QPushButton::clicked, this, [this, accion] { (this->*accion)(); });
  return b;
}

void TFormaBarras::ponProcesos(mostrador::base::Procesos* procesos, const mostrador::base::TablaProgramas* programas) {
  procesos_ = procesos;
  programas_ = programas;
}

void TFormaBarras::usaConsulta(std::unique_ptr<mostrador::reports::VisorConsulta> consulta) {
  consulta_ = std::move(consulta);
  consulta_->muestra(0);
  if (activado_) pinta();
}

void TFormaBarras::TitulosGrafica(std::string titulo, std::string eje1, std::string eje2, std::string valor) {
  visor_.TitulosGrafica(std::move(titulo), std::move(eje1), std::move(eje2), std::move(valor));
}

void TFormaBarras::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  if (activado_) return;
  activado_ = true;
  if (!visor_.abre() && !visor_.error().empty() && visor_.registros() > 0) ui_.mensaje(visor_.error());
  visor_.dibuja();
  pinta();
}

void TFormaBarras::closeEvent(QCloseEvent* e) {
  timer_->stop();
  Grafica->hide();
  visor_.cierra();
  cerrado_ = true;
  QDialog::closeEvent(e);
}

bool TFormaBarras::eventFilter(QObject* o, QEvent* e) {
  if (o == Grafica->viewport() && e->type() == QEvent::MouseButtonPress &&
      static_cast<QMouseEvent*>(e)->button() == Qt::RightButton) {
    alternaTresD();
    return true;
  }
  return QDialog::eventFilter(o, e);
}

void TFormaBarras::pinta() {
  if (consulta_) {
    Grafica->hide();
    Concentrado->show();
    Estado->setText(q(consulta_->estado()));
    muestraHoja(Concentrado, consulta_->hoja().lineas());
    return;
  }
  const bool grafica = visor_.modoGrafica();
  Grafica->setVisible(grafica);
  Concentrado->setVisible(!grafica);
  Estado->setText(q(visor_.estado()));
  if (grafica) pintaGrafica();
  else muestraHoja(Concentrado, visor_.hoja().lineas());
}

namespace {

// A tick step of 1, 2 or 5 times a power of ten giving about five steps up to the top.
double pasoRedondo(double maximo) {
  if (maximo <= 0) return 1;
  const double crudo = maximo / 5;
  const double magnitud = std::pow(10.0, std::floor(std::log10(crudo)));
  for (double f : {1.0, 2.0, 5.0})
    if (f * magnitud >= crudo) return f * magnitud;
  return 10 * magnitud;
}

// The value axis from 0 to the top, with round ticks from 0.
QValueAxis* ejeValores(double maximo, const QString& titulo) {
  auto* y = new QValueAxis();
  y->setObjectName("EjeValores");
  y->setRange(0, maximo);
  const double paso = pasoRedondo(maximo);
  y->setTickType(QValueAxis::TicksDynamic);
  y->setTickAnchor(0);
  y->setTickInterval(paso);
  y->setLabelFormat(paso >= 1 ? QStringLiteral("%.0f") : QStringLiteral("%.2f"));
  y->setTitleText(titulo);
  return y;
}

}  // namespace

void TFormaBarras::pintaGrafica() {
  auto* chart = new QChart();
  chart->setTitle(q(visor_.titulo()));
  chart->setDropShadowEnabled(tresD_);
  const auto& g = visor_.grafica();
  QStringList categorias;
  for (const auto& p : g.puntos) categorias << q(p.etiqueta);
  // Both the bars and the line run over the page's keys (days, months, ...).
  auto ejes = [&](QAbstractSeries* s) {
    auto* x = new QBarCategoryAxis();
    x->setObjectName("EjeCategorias");
    x->append(categorias);
    x->setTitleText(q(visor_.eje1()));
    auto* y = ejeValores(g.maximoEje, q(visor_.eje2()));
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    s->attachAxis(x);
    s->attachAxis(y);
  };
  switch (visor_.modo()) {
    case ModoVista::Pie: {
      auto* s = new QPieSeries();
      s->setObjectName("Series2");
      for (const auto& p : g.puntos) s->append(q(p.etiqueta), p.valor);
      s->setLabelsVisible(true);
      if (tresD_) s->setPieSize(0.85);
      chart->addSeries(s);
      break;
    }
    case ModoVista::Lineas: {
      auto* s = new QLineSeries();
      s->setObjectName("Series3");
      s->setName(q(visor_.eje2()));
      for (int i = 0; i < static_cast<int>(g.puntos.size()); ++i) s->append(i, g.puntos[static_cast<size_t>(i)].valor);
      s->setPointsVisible(true);
      chart->addSeries(s);
      ejes(s);
      break;
    }
    default: {
      auto* set = new QBarSet(q(visor_.eje2()));
      for (const auto& p : g.puntos) *set << p.valor;
      auto* s = new QBarSeries();
      s->setObjectName("Series1");
      s->append(set);
      s->setLabelsVisible(tresD_);
      chart->addSeries(s);
      ejes(s);
      break;
    }
  }
  QChart* viejo = Grafica->chart();
  Grafica->setChart(chart);
  delete viejo;
}

void TFormaBarras::BotonGraficaClick() { visor_.BotonGrafica(); pinta(); }
void TFormaBarras::BotonPieClick() { visor_.BotonPie(); pinta(); }
void TFormaBarras::BotonLineasClick() { visor_.BotonLineas(); pinta(); }
void TFormaBarras::BotonReporteClick() { visor_.BotonReporte(); pinta(); }
void TFormaBarras::BotonTextoClick() { visor_.BotonTexto(); pinta(); }
void TFormaBarras::BotonSiguienteClick() {
  if (consulta_) consulta_->muestra(consulta_->pagina() + 1);
  else visor_.BotonSiguiente();
  pinta();
}
void TFormaBarras::BotonAnteriorClick() {
  if (consulta_) consulta_->muestra(std::max(0, consulta_->pagina() - 1));
  else visor_.BotonAnterior();
  pinta();
}

void TFormaBarras::columna(int c) {
  visor_.columnaGrafica(c);
  pinta();
}

void TFormaBarras::TamaodeColumnas1Click() {
  const std::string t = ui_.dato("Tamaño de Columnas");
  visor_.TamaodeColumnas(std::max(1, std::atoi(t.c_str())));
  pinta();
}

void TFormaBarras::alternaTresD() {
  tresD_ = !tresD_;
  if (visor_.modoGrafica()) pintaGrafica();
}

void TFormaBarras::BotonAutomaticoClick() {
  if (timer_->isActive()) timer_->stop();
  else timer_->start();
}

void TFormaBarras::avanceAutomatico() {
  const bool fin = visor_.modoGrafica() ? visor_.grafica().fin : visor_.pagina() + 1 >= visor_.paginas();
  if (fin) {
    timer_->stop();
    return;
  }
  BotonSiguienteClick();
  if (visor_.modoGrafica() && visor_.grafica().fin) timer_->stop();
}

void TFormaBarras::BotonColorClick() {
  const QColor c = QColorDialog::getColor(colorHoja_, this, QStringLiteral("Color"));
  if (!c.isValid()) return;
  colorHoja_ = c;
  QPalette p = Concentrado->palette();
  p.setColor(QPalette::Base, c);
  Concentrado->setPalette(p);
}

void TFormaBarras::BotonImprimeClick() {
  TDialogoImprimir rango(visor_.modoGrafica() ? 1 : std::max(1, visor_.paginas()), this);
  if (rango.exec() != QDialog::Accepted) return;
  if (visor_.modoGrafica()) {
    // The chart into the page less 50 device units on every side.
    const std::string png = mostrador::base::une(sistema_, "tempo\\grafica.png");
    mostrador::base::creaDirectorios(mostrador::base::une(sistema_, "tempo"));
    Grafica->grab().save(QString::fromStdString(mostrador::base::resuelve(png).string()), "PNG");
    imprimeOPdf(impresora_, ui_, visor_.titulo(), [&png](mostrador::printing::Impresora& im) {
      im.imagen(50, 50, im.anchoPagina() - 50, im.altoPagina() - 50, png);
      im.terminaTrabajo();
    });
    mostrador::base::borra(png);
    return;
  }
  const auto paginas = visor_.paginasImpresas(rango.primera(), rango.ultima());
  const std::string titulo = windowTitle().toStdString();
  imprimeOPdf(impresora_, ui_, titulo, [&](mostrador::printing::Impresora& im) {
    mostrador::reports::imprimePaginas(im, titulo, paginas, rango.primera(),
                                        QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy")).toStdString(),
                                        fuenteImpresion_, tamanoImpresion_);
  });
  pinta();
}

void TFormaBarras::BotonExportaClick() {
  static mostrador::base::ProcesosPosix posix;
  // The session's table comes through ponProcesos; without it only the defaults apply
  // (the station's file is the session's to read, once).
  static const mostrador::base::TablaProgramas estacion;
  visor_.BotonExporta(ui_, procesos_ ? *procesos_ : posix, programas_ ? *programas_ : estacion, hojaDeCalculo_);
}
