#include "query/screens/TFormaGraficas.h"

#include <QFontDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenu>
#include <QMenuBar>
#include <QVBoxLayout>

#include "reports/rejilla_reporte.h"
#include "query/screens/TFormaNuevoReporte.h"
#include "reports/visor_concentrado.h"
#include "base/rutas.h"
#include "base/texto.h"

namespace {
constexpr int kFilasRejilla = 100;
QString q(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

TFormaGraficas::TFormaGraficas(const mostrador::sql::Resultado& r, mostrador::base::Interaccion& ui,
                               std::string hojaDeCalculo, QWidget* parent)
    : QDialog(parent), ui_(ui), hojaDeCalculo_(std::move(hojaDeCalculo)) {
  setObjectName("TFormaGraficas");
  setWindowTitle(QStringLiteral("Consulta"));
  resize(900, 600);
  for (const auto& f : r.fieldDefs()) {
    titulos_.push_back(f.name);
    tipos_.push_back(f.type == 'N' || f.type == 'F' ? (f.decimals == 0 ? '#' : 'n') : 'c');
  }
  // The rows are read once; the grid shows them a page at a time.
  auto& cursor = const_cast<mostrador::sql::Resultado&>(r);
  for (cursor.first(); !cursor.eof(); cursor.next()) {
    std::vector<std::string> fila;
    for (size_t i = 0; i < titulos_.size(); ++i) fila.push_back(cursor.asText(static_cast<int>(i)));
    filas_.push_back(std::move(fila));
  }

  auto* todo = new QVBoxLayout(this);
  auto* barra = new QMenuBar(this);
  todo->setMenuBar(barra);
  QMenu* m = barra->addMenu(QStringLiteral("&Opciones"));
  Consecutivo1 = m->addAction(QStringLiteral("Consecutivo"));
  Consecutivo1->setObjectName("Consecutivo1");
  Consecutivo1->setCheckable(true);
  connect(Consecutivo1, &QAction::triggered, this, [this] { Consecutivo1Click(); });
  QAction* fuente = m->addAction(QStringLiteral("Tipo de Letra"));
  fuente->setObjectName("Fuente1");
  connect(fuente, &QAction::triggered, this, [this] { Fuente1Click(); });

  auto* botones = new QHBoxLayout;
  auto boton = [&](const char* n, const QString& t, void (TFormaGraficas::*f)()) {
    auto* b = new QPushButton(t, this);
    b->setObjectName(n);
    b->setAutoDefault(false);
    connect(b, &QPushButton::clicked, this, [this, f] { (this->*f)(); });
    botones->addWidget(b);
    return b;
  };
  BotonAnterior = boton("BotonAnterior", QStringLiteral("<<"), &TFormaGraficas::BotonAnteriorClick);
  BotonSiguiente = boton("BotonSiguiente", QStringLiteral(">>"), &TFormaGraficas::BotonSiguienteClick);
  BotonSuma = boton("BotonSuma", QStringLiteral("Sumar"), &TFormaGraficas::Suma1Click);
  BotonExporta = boton("BotonExporta", QStringLiteral("Exportar"), &TFormaGraficas::BotonExportaClick);
  BotonImprime = boton("BotonImprime", QStringLiteral("Imprimir"), &TFormaGraficas::BotonImprimeClick);
  todo->addLayout(botones);
  Detalle = new QTableWidget(this);
  Detalle->setObjectName("Detalle");
  Detalle->setEditTriggers(QAbstractItemView::NoEditTriggers);
  todo->addWidget(Detalle, 1);
  Estado = new QLabel(this);
  Estado->setObjectName("Estado");
  todo->addWidget(Estado);
  pinta();
}

void TFormaGraficas::pinta() {
  const int desplaza = consecutivo_ ? 1 : 0;
  Detalle->clear();
  Detalle->setColumnCount(static_cast<int>(titulos_.size()) + desplaza);
  QStringList t;
  if (consecutivo_) t << QStringLiteral("CONSEC");
  for (const auto& x : titulos_) t << q(x);
  Detalle->setHorizontalHeaderLabels(t);
  const size_t desde = static_cast<size_t>(pagina_) * kFilasRejilla;
  const size_t hasta = std::min(filas_.size(), desde + kFilasRejilla);
  Detalle->setRowCount(static_cast<int>(hasta - desde));
  for (size_t i = desde; i < hasta; ++i) {
    const int fila = static_cast<int>(i - desde);
    if (consecutivo_) Detalle->setItem(fila, 0, new QTableWidgetItem(QString::number(i + 1)));
    for (size_t c = 0; c < titulos_.size(); ++c)
      Detalle->setItem(fila, static_cast<int>(c) + desplaza, new QTableWidgetItem(q(filas_[i][c])));
  }
  const int paginas = static_cast<int>((filas_.size() + kFilasRejilla - 1) / kFilasRejilla);
  Estado->setText(QStringLiteral("Página %1 de  %2").arg(pagina_ + 1).arg(std::max(1, paginas)));
}

void TFormaGraficas::BotonAnteriorClick() {
  if (pagina_ > 0) --pagina_;
  pinta();
}

void TFormaGraficas::BotonSiguienteClick() {
  if (static_cast<size_t>(pagina_ + 1) * kFilasRejilla < filas_.size()) ++pagina_;
  pinta();
}

void TFormaGraficas::Consecutivo1Click() {
  consecutivo_ = !consecutivo_;
  Consecutivo1->setChecked(consecutivo_);
  pinta();
}

void TFormaGraficas::Fuente1Click() {
  bool ok = false;
  const QFont f = QFontDialog::getFont(&ok, Detalle->font(), this);
  if (ok) Detalle->setFont(f);
}

void TFormaGraficas::Suma1Click() {
  const int c = Detalle->currentColumn() - (consecutivo_ ? 1 : 0);
  if (c < 0 || c >= static_cast<int>(titulos_.size())) {
    ui_.mensaje(mostrador::reports::kNoSePuedeSumar);
    return;
  }
  ui_.mensaje(mostrador::reports::sumaColumna(filas_, static_cast<size_t>(c), tipos_[static_cast<size_t>(c)] != 'c'));
}

void TFormaGraficas::BotonExportaClick() {
  auto nombre = ui_.guardaArchivo("Exportar", "Hoja de cálculo (*.xls)|*.xls|Todos|*.*");
  if (!nombre || nombre->empty()) return;
  const std::string destino = mostrador::reports::nombreExportacion(*nombre);
  std::vector<std::string> lineas;
  std::string t;
  for (size_t i = 0; i < titulos_.size(); ++i) t += (i ? "\t" : "") + titulos_[i];
  lineas.push_back(t);
  for (const auto& f : filas_) {
    std::string l;
    for (size_t i = 0; i < f.size(); ++i) l += (i ? "\t" : "") + f[i];
    lineas.push_back(l);
  }
  mostrador::base::borra(destino);
  if (!mostrador::base::escribeLineas(destino, lineas)) {
    ui_.mensaje("No se pudo escribir " + destino);
    return;
  }
  if (hojaDeCalculo_.empty()) return;
  static mostrador::base::ProcesosPosix posix;
  // The session's table comes through ponProcesos; without it only the defaults apply
  // (the station's file is the session's to read, once).
  static const mostrador::base::TablaProgramas estacion;
  auto r = (programas_ ? *programas_ : estacion)
               .inicia(procesos_ ? *procesos_ : posix, hojaDeCalculo_, "\"" + destino + "\"", "", false);
  if (!r.iniciado && !r.mensaje.empty()) ui_.mensaje(r.mensaje);
}

mostrador::reports::NuevoReporte TFormaGraficas::reporte() const {
  const std::vector<int> anchos = anchos_.empty() ? std::vector<int>{} : mostrador::reports::anchosDeLista(anchos_);
  std::vector<mostrador::reports::ColumnaNuevoReporte> columnas;
  for (size_t i = 0; i < titulos_.size(); ++i) {
    const int ancho = i < anchos.size() ? anchos[i] : std::max(10, static_cast<int>(titulos_[i].size()));
    columnas.push_back({titulos_[i], ancho, tipos_[i]});
  }
  std::vector<std::string> retiros;
  if (!retiros_.empty())
    if (auto l = mostrador::base::leeLineas(mostrador::base::une(mostrador::base::une(retiros_, "tempo"), "retiros.txt")))
      retiros = *l;
  return mostrador::reports::construyeNuevoReporte(columnas, filas_, consecutivo_, retiros);
}

void TFormaGraficas::BotonImprimeClick() {
  TFormaNuevoReporte r(reporte(), this);
  r.exec();
}
