#include "inventory/screens/TFormaCosteo.h"

#include <QDateEdit>
#include <QLineSeries>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "base/fechas.h"
#include "base/numeros.h"
#include "base/texto.h"
#include "inventory/screens/grafica_pantalla.h"
#include "ui/modelo_filas.h"
#include "ui/campo_fecha.h"

namespace mostrador::inventory {

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

QString numero(double v, int decimales) {
  return q(base::Decimal::deDouble(base::redondea(v, decimales)).redondeado(decimales).texto());
}

const QStringList kColumnas = {"Clave", "Producto", "Cantidad", "Tipo Movimiento", "Kardex",
                               "Num. Mov.", "Costo", "Fecha", "Movimiento", "Origen"};

}  // namespace

TFormaCosteo::TFormaCosteo(Kardex kardex, const std::string& titulo, base::Interaccion& ui, QWidget* parent)
    : QDialog(parent), kardex_(std::move(kardex)), ui_(ui) {
  setObjectName("TFormaCosteo");
  setWindowTitle(q("Kardex " + titulo));
  resize(900, 520);
  auto* l = new QVBoxLayout(this);
  auto* barra = new QHBoxLayout;
  desde_ = new mostrador::ui::CampoFecha(QDate::currentDate().addMonths(-1), this);
  desde_->setObjectName("FechaInicial");
  desde_->setDisplayFormat("dd/MM/yyyy");
  hasta_ = new mostrador::ui::CampoFecha(QDate::currentDate(), this);
  hasta_->setObjectName("FechaFinal");
  hasta_->setDisplayFormat("dd/MM/yyyy");
  filtrar_ = new QPushButton("Filtrar", this);
  filtrar_->setObjectName("BotonFiltrar");
  auto* exportar = new QPushButton("Exportar", this);
  exportar->setObjectName("BotonExportar");
  auto* grafica = new QPushButton("Gráfica", this);
  grafica->setObjectName("SpeedButton1");
  for (QWidget* w : std::initializer_list<QWidget*>{desde_, hasta_, filtrar_, exportar, grafica}) barra->addWidget(w);
  connect(grafica, &QPushButton::clicked, this, [this] { SpeedButton1Click(); });
  barra->addStretch();
  l->addLayout(barra);
  rejilla_ = new QTableView(this);
  rejilla_->setObjectName("DBGrid1");
  modelo_ = new ui::ModeloFilas(kColumnas, this);
  rejilla_->setModel(modelo_);
  rejilla_->verticalHeader()->setVisible(false);
  l->addWidget(rejilla_);
  totales_ = new QLabel(this);
  totales_->setObjectName("Totales");
  l->addWidget(totales_);
  connect(filtrar_, &QPushButton::clicked, this, [this] { BotonFiltrarClick(); });
  connect(exportar, &QPushButton::clicked, this, [this] { BotonExportarClick(); });
  pinta();
}

void TFormaCosteo::pinta() {
  std::vector<const FilaKardex*> filas;
  const QDate d = desde_->date(), h = hasta_->date();
  for (const FilaKardex& f : kardex_.filas) {
    if (filtrado_) {
      const QDate x = QDate::fromString(q(f.fecha), "dd/MM/yyyy");
      if (!x.isValid() || x < d || x > h) continue;
    }
    filas.push_back(&f);
  }
  std::vector<QStringList> textos;
  std::vector<QColor> colores;
  textos.reserve(filas.size());
  for (const FilaKardex* x : filas) {
    const FilaKardex& f = *x;
    textos.push_back({q(f.clave), q(f.descripcion), numero(f.cantidad, 3), QString::number(f.tipo),
                      numero(f.kardex, 2), QString::number(f.documento), numero(f.costo, 2), q(f.fecha),
                      q(f.concepto), q(f.origen)});
    colores.push_back(f.kardex < 0 ? QColor(Qt::red) : QColor());
  }
  modelo_->ponFilas(std::move(textos), std::move(colores));
  totales_->setText(q(lineaTotales(kardex_)));
}

QString TFormaCosteo::totales() const { return totales_->text(); }

void TFormaCosteo::BotonFiltrarClick() {
  filtrado_ = !filtrado_;
  filtrar_->setText(filtrado_ ? "Quitar Filtro" : "Filtrar");
  pinta();
}

bool TFormaCosteo::exporta(const std::string& ruta) {
  std::vector<std::string> lineas;
  QStringList t;
  for (const QString& c : kColumnas) t << c;
  lineas.push_back(t.join('\t').toStdString());
  for (int r = 0; r < modelo_->rowCount(); ++r) {
    QStringList c;
    for (int k = 0; k < modelo_->columnCount(); ++k) {
      const QString v = modelo_->texto(r, k);
      // Texts in double quotes, numbers as they are.
      const bool texto = k == 0 || k == 1 || k == 7 || k == 8 || k == 9;
      c << (texto ? "\"" + v + "\"" : v);
    }
    lineas.push_back(c.join('\t').toStdString());
  }
  if (!base::escribeLineas(ruta, lineas)) {
    ui_.mensaje("No se pudo escribir " + ruta);
    return false;
  }
  return true;
}

QDialog* TFormaCosteo::creaGrafica() {
  auto* serie = new QLineSeries;
  serie->setName("Kardex");
  for (int r = 0; r < static_cast<int>(kardex_.filas.size()); ++r)
    serie->append(r + 1, kardex_.filas[static_cast<size_t>(r)].kardex);
  return dialogoGrafica(this, "GraficaKardex", "Gráfica de Kardex ", serie);
}

reports::NuevoReporte TFormaCosteo::reporte() const {
  std::vector<std::vector<std::string>> filas;
  for (const TotalDocumento& t : totalesPorDocumento(kardex_))
    filas.push_back({std::to_string(t.documento), base::Decimal::deDouble(base::redondea(t.total, 3)).texto()});
  return reports::construyeNuevoReporte({{"Número de Documento", 20, '#'}, {"Total por Documento", 20, 'n'}}, filas,
                                        false);
}

void TFormaCosteo::SpeedButton1Click() { muestraGraficaYReporte(this, creaGrafica(), reporte(), "Reporte de Kardex "); }

void TFormaCosteo::BotonExportarClick() {
  if (auto f = ui_.guardaArchivo("Exportar Kardex", "Texto (*.txt)")) exporta(*f);
}

}  // namespace mostrador::inventory
