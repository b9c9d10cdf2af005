#include "store/screens/TFormaConsolidar.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QDateEdit>
#include <QFont>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QValueAxis>
#include <QVBoxLayout>

#include "ui/TBotonEsquinado.h"
#include "ui/campo_fecha.h"

namespace mostrador::store {
namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }
QDate aQDate(const base::Fecha& f) { return QDate(f.anio, f.mes, f.dia); }

// A bar's label on two lines, broken at the blank nearest its middle: six labels of
// twenty letters side by side do not fit on one line each and the chart would cut them.
QString enDosRenglones(const QString& etiqueta) {
  int mejor = -1;
  for (int i = 0; i < etiqueta.size(); ++i)
    if (etiqueta[i] == ' ' && (mejor < 0 || std::abs(i - etiqueta.size() / 2) < std::abs(mejor - etiqueta.size() / 2)))
      mejor = i;
  if (mejor < 0) return etiqueta.toHtmlEscaped();
  return etiqueta.left(mejor).toHtmlEscaped() + "<br>" + etiqueta.mid(mejor + 1).toHtmlEscaped();
}
base::Fecha deQDate(const QDate& d) { return {d.year(), d.month(), d.day()}; }

}  // namespace

TFormaConsolidar::TFormaConsolidar(base::Interaccion& ui, const base::Reloj& reloj, const std::string& dirDatos,
                                   QWidget* padre)
    : QDialog(padre), motor_(ui, dirDatos, reloj.ahora().fecha) {
  setObjectName("TFormaConsolidar");
  setWindowTitle("Consolidación");
  setModal(true);
  resize(720, 560);
  auto* l = new QVBoxLayout(this);
  ruta_ = new QLabel(q(motor_.LabelRuta()), this);
  ruta_->setObjectName("LabelRuta");
  l->addWidget(ruta_);
  auto* rango = new QHBoxLayout;
  conRango_ = new QRadioButton("Del", this);
  conRango_->setObjectName("RadioButton1");
  sinRango_ = new QRadioButton("Todo", this);
  sinRango_->setObjectName("RadioButton2");
  sinRango_->setChecked(true);
  inicio_ = new mostrador::ui::CampoFecha(aQDate(motor_.FechaInicio()), this);
  inicio_->setObjectName("FechaInicio");
  inicio_->setDisplayFormat("dd/MM/yyyy");
  final_ = new mostrador::ui::CampoFecha(aQDate(motor_.FechaFinal()), this);
  final_->setObjectName("FechaFinal");
  final_->setDisplayFormat("dd/MM/yyyy");
  inicio_->setEnabled(false);
  final_->setEnabled(false);
  rango->addWidget(sinRango_);
  rango->addWidget(conRango_);
  rango->addWidget(inicio_);
  rango->addWidget(new QLabel("al", this));
  rango->addWidget(final_);
  rango->addStretch(1);
  l->addLayout(rango);
  connect(conRango_, &QRadioButton::toggled, this, [this](bool v) {
    inicio_->setEnabled(v);
    final_->setEnabled(v);
  });
  memo_ = new QPlainTextEdit(this);
  memo_->setObjectName("MemoConsolidar");
  memo_->setReadOnly(true);
  memo_->setFont(QFont("DejaVu Sans Mono", 10));
  l->addWidget(memo_);
  auto* chart = new QChart;
  chart->legend()->hide();
  grafica_ = new QChartView(chart, this);
  grafica_->setObjectName("ModuloGrafica");
  grafica_->setMinimumHeight(220);
  l->addWidget(grafica_, 1);
  progreso_ = new QProgressBar(this);
  progreso_->setObjectName("Progreso");
  progreso_->setRange(0, 6);
  l->addWidget(progreso_);
  auto* botones = new QHBoxLayout;
  auto* calcula = new ui::TBotonEsquinado("&Calcular", this);
  calcula->setObjectName("BotonEsquinado1");
  auto* grafica = new ui::TBotonEsquinado("&Graficar", this);
  grafica->setObjectName("BotonEsquinado2");
  botones->addWidget(calcula);
  botones->addWidget(grafica);
  botones->addStretch(1);
  l->addLayout(botones);
  connect(calcula, &QAbstractButton::clicked, this, &TFormaConsolidar::BotonEsquinado1Click);
  connect(grafica, &QAbstractButton::clicked, this, &TFormaConsolidar::BotonEsquinado2Click);
  motor_.FormShow();
  pinta();
}

void TFormaConsolidar::toma() {
  motor_.ponRango(conRango_->isChecked());
  motor_.ponFechaInicio(deQDate(inicio_->date()));
  motor_.ponFechaFinal(deQDate(final_->date()));
}

void TFormaConsolidar::pinta() {
  QStringList lineas;
  for (const auto& s : motor_.MemoConsolidar()) lineas << q(s);
  memo_->setPlainText(lineas.join('\n'));
  progreso_->setValue(motor_.Progreso());
}

void TFormaConsolidar::BotonEsquinado1Click() {
  toma();
  motor_.BotonEsquinado1Click();
  pinta();
}

void TFormaConsolidar::BotonEsquinado2Click() {
  QChart* chart = grafica_->chart();
  chart->removeAllSeries();
  for (QAbstractAxis* a : chart->axes()) chart->removeAxis(a);
  auto* set = new QBarSet("Consolidado");
  QStringList categorias;
  double maximo = 0;
  for (const auto& [etiqueta, valor] : motor_.BotonEsquinado2Click()) {
    *set << valor;
    categorias << enDosRenglones(q(etiqueta).trimmed());
    maximo = std::max(maximo, valor);
  }
  auto* serie = new QBarSeries;
  serie->append(set);
  chart->addSeries(serie);
  auto* ejeX = new QBarCategoryAxis;
  ejeX->append(categorias);
  auto* ejeY = new QValueAxis;
  ejeY->setRange(0, maximo > 0 ? maximo * 1.1 : 1);
  // The chart keeps the room its labels need: each bar as wide as its longest line,
  // besides the value axis and the margins.
  const QFontMetrics fm(ejeX->labelsFont());
  int linea = 0;
  for (const QString& c : categorias)
    for (const QString& l : c.split("<br>")) linea = std::max(linea, fm.horizontalAdvance(l));
  grafica_->setMinimumWidth(static_cast<int>(categorias.size()) * (linea + 24) + 160);
  chart->addAxis(ejeX, Qt::AlignBottom);
  chart->addAxis(ejeY, Qt::AlignLeft);
  serie->attachAxis(ejeX);
  serie->attachAxis(ejeY);
}

}  // namespace mostrador::store
