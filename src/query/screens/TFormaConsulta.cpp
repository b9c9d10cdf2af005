#include "query/screens/TFormaConsulta.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include "ui/campo_fecha.h"
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "base/rutas.h"
#include "base/texto.h"
#include "base/texto_util.h"
#include "query/screens/TFormaGraficas.h"
#include "reports/rejilla_reporte.h"
#include "reports/screens/TFormaBarras.h"
#include "reports/visor_concentrado.h"
#include "store/sql/sql.h"

using namespace mostrador;
using namespace mostrador;
using namespace mostrador::query;

namespace {
QString q(const std::string& s) { return QString::fromStdString(s); }
base::Fecha deQDate(const QDate& d) { return {d.year(), d.month(), d.day()}; }
}  // namespace

TFormaConsulta::TFormaConsulta(base::Interaccion& ui, std::string directorioSistema, std::string directorioDatos,
                               std::string tabla, std::string camposFecha, const base::Fecha& hoy,
                               QWidget* parent)
    : QDialog(parent), ui_(ui),
      c_(std::make_unique<ConstructorConsulta>(ui, directorioSistema, directorioDatos,
                                               std::move(tabla), std::move(camposFecha))),
      sistema_(std::move(directorioSistema)), datos_(std::move(directorioDatos)) {
  setObjectName("TFormaConsulta");
  setWindowTitle(QStringLiteral("Consultas"));
  resize(900, 650);
  ListaCampos = new QTableWidget(0, 3, this);
  ListaCampos->setObjectName("ListaCampos");
  ListaCampos->setHorizontalHeaderLabels({"Campo", QStringLiteral("Descripción"), "Tipo"});
  ListaCampos->setSelectionMode(QAbstractItemView::MultiSelection);
  ListaCampos->setSelectionBehavior(QAbstractItemView::SelectRows);
  ListaCampos->setEditTriggers(QAbstractItemView::NoEditTriggers);
  for (const auto& c : c_->campos()) {
    const int r = ListaCampos->rowCount();
    ListaCampos->insertRow(r);
    ListaCampos->setItem(r, 0, new QTableWidgetItem(q(c.campo)));
    ListaCampos->setItem(r, 1, new QTableWidgetItem(q(c.describe)));
    ListaCampos->setItem(r, 2, new QTableWidgetItem(q(c.tipo)));
  }
  Operadores = new QListWidget(this);
  Operadores->setObjectName("Operadores");
  for (const auto& o : ConstructorConsulta::operadores()) Operadores->addItem(q(o));
  Valor = new QLineEdit(this);
  Valor->setObjectName("Valor");
  Condiciones = new QTableWidget(0, 3, this);
  Condiciones->setObjectName("Condiciones");
  Condiciones->setHorizontalHeaderLabels({"Campos", "Operador", "Valor"});
  Condiciones->setEditTriggers(QAbstractItemView::NoEditTriggers);

  const QDate d(hoy.anio, hoy.mes, hoy.dia);
  Inicial = new mostrador::ui::CampoFecha(d, this);
  Inicial->setObjectName("Inicial");
  Final = new mostrador::ui::CampoFecha(d, this);
  Final->setObjectName("Final");
  FechaReporte = new QComboBox(this);
  FechaReporte->setObjectName("FechaReporte");
  for (const auto& f : c_->camposFecha()) FechaReporte->addItem(q(f));
  UsarFecha = new QCheckBox(QStringLiteral("Usar Fecha"), this);
  UsarFecha->setObjectName("UsarFecha");
  Consecutivo = new QCheckBox(QStringLiteral("Consecutivo"), this);
  Consecutivo->setObjectName("Consecutivo");
  Resultado = new QTableWidget(this);
  Resultado->setObjectName("Resultado");
  Resultado->setEditTriggers(QAbstractItemView::NoEditTriggers);
  for (QWidget* w : std::initializer_list<QWidget*>{Inicial, Final, FechaReporte, UsarFecha})
    w->setVisible(c_->usaFechas());

  Orden = new QListWidget(this);
  Orden->setObjectName("Orden");
  Orden->setMaximumHeight(90);
  connect(Orden, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* i) { OrdenDblClick(Orden->row(i)); });
  auto* ordenar = new QPushButton(QStringLiteral("Ordenar por"), this);
  ordenar->setObjectName("BotonOrden");
  connect(ordenar, &QPushButton::clicked, this, &TFormaConsulta::BotonOrdenClick);
  auto* abrir = new QPushButton(QStringLiteral("Abrir Consulta"), this);
  abrir->setObjectName("BotonAbrir");
  connect(abrir, &QPushButton::clicked, this, &TFormaConsulta::BotonAbrirClick);
  auto* graficas = new QPushButton(QStringLiteral("Ver Resultado"), this);
  graficas->setObjectName("BotonGraficas");
  connect(graficas, &QPushButton::clicked, this, &TFormaConsulta::BotonGraficasClick);

  Anchos = new QLineEdit(this);
  Anchos->setObjectName("Anchos");
  Anchos->setPlaceholderText(QStringLiteral("Anchos"));
  Retiros = new QCheckBox(QStringLiteral("Retiros"), this);
  Retiros->setObjectName("Retiros");
  auto* monedas = new QPushButton(QStringLiteral("Totales por Moneda"), this);
  monedas->setObjectName("BotonMonedas");
  connect(monedas, &QPushButton::clicked, this, &TFormaConsulta::BotonMonedasClick);

  auto* ejecutar = new QPushButton(QStringLiteral("Ejecutar"), this);
  ejecutar->setObjectName("BotonEjecutar");
  connect(ejecutar, &QPushButton::clicked, this, &TFormaConsulta::EjecutarClick);
  auto* guardar = new QPushButton(QStringLiteral("Guardar Tabla"), this);
  guardar->setObjectName("BotonGuardar");
  connect(guardar, &QPushButton::clicked, this, &TFormaConsulta::GuardarClick);

  connect(ListaCampos, &QTableWidget::cellDoubleClicked, this, [this](int r, int) { ListaCamposDblClick(r); });
  connect(Operadores, &QListWidget::itemDoubleClicked, this,
          [this](QListWidgetItem* i) { OperadoresDblClick(Operadores->row(i)); });
  connect(Valor, &QLineEdit::returnPressed, this, &TFormaConsulta::ValorEnter);

  auto* arriba = new QHBoxLayout;
  arriba->addWidget(ListaCampos, 2);
  auto* medio = new QVBoxLayout;
  medio->addWidget(Operadores);
  medio->addWidget(Valor);
  medio->addWidget(ordenar);
  medio->addWidget(Orden);
  arriba->addLayout(medio);
  arriba->addWidget(Condiciones, 2);
  auto* fechas = new QHBoxLayout;
  for (QWidget* w : std::initializer_list<QWidget*>{FechaReporte, Inicial, Final, UsarFecha, Consecutivo, ejecutar, guardar, abrir, graficas, Anchos, Retiros, monedas})
    fechas->addWidget(w);
  auto* todo = new QVBoxLayout(this);
  todo->addLayout(arriba, 2);
  todo->addLayout(fechas);
  todo->addWidget(Resultado, 3);
}

TFormaConsulta::~TFormaConsulta() = default;

void TFormaConsulta::ListaCamposDblClick(int fila) {
  auto* item = ListaCampos->item(fila, 0);
  if (!item) return;
  const std::string campo = item->text().toStdString();
  if (!campoPendiente_.empty() && !operadorPendiente_.empty()) {
    if (c_->agregaCondicion({campoPendiente_, operadorPendiente_, campo, true})) muestraCondiciones();
    campoPendiente_.clear();
    operadorPendiente_.clear();
    return;
  }
  campoPendiente_ = campo;
  operadorPendiente_.clear();
}

void TFormaConsulta::OperadoresDblClick(int fila) {
  if (campoPendiente_.empty() || fila < 0) return;
  operadorPendiente_ = ConstructorConsulta::operadores()[static_cast<size_t>(fila)];
  Valor->setFocus();
}

void TFormaConsulta::ValorEnter() {
  if (campoPendiente_.empty() || operadorPendiente_.empty()) return;
  if (c_->agregaCondicion({campoPendiente_, operadorPendiente_, Valor->text().toStdString(), false})) {
    muestraCondiciones();
    Valor->clear();
    campoPendiente_.clear();
    operadorPendiente_.clear();
  }
}

void TFormaConsulta::muestraCondiciones() {
  Condiciones->setRowCount(0);
  for (const auto& c : c_->condiciones()) {
    const int r = Condiciones->rowCount();
    Condiciones->insertRow(r);
    Condiciones->setItem(r, 0, new QTableWidgetItem(q(c.campo)));
    Condiciones->setItem(r, 1, new QTableWidgetItem(q(c.operador)));
    Condiciones->setItem(r, 2, new QTableWidgetItem(q(c.valor)));
  }
}

void TFormaConsulta::actualizaSeleccion() {
  std::vector<std::string> elegidos;
  for (int r = 0; r < ListaCampos->rowCount(); ++r)
    if (ListaCampos->item(r, 0)->isSelected()) elegidos.push_back(ListaCampos->item(r, 0)->text().toStdString());
  c_->ponSeleccion(elegidos);
  if (UsarFecha->isVisible() && UsarFecha->isChecked() && FechaReporte->currentIndex() >= 0)
    c_->ponRangoFechas(FechaReporte->currentText().toStdString(), deQDate(Inicial->date()), deQDate(Final->date()));
  else
    c_->quitaRangoFechas();
}

std::string TFormaConsulta::consulta() {
  actualizaSeleccion();
  return c_->consulta();
}

void TFormaConsulta::EjecutarClick() { muestraResultado(consulta()); }

void TFormaConsulta::muestraResultado(const std::string& sentencia, const std::vector<bool>& ocultas) {
  ultimaSentencia_ = sentencia;
  try {
    sql::BaseSql base;
    auto r = base.consulta(sentencia);
    const int n = static_cast<int>(r->fieldDefs().size());
    // The running number goes first, under its own heading.
    const int d = Consecutivo->isChecked() ? 1 : 0;
    Resultado->clear();
    Resultado->setColumnCount(n + d);
    Resultado->setRowCount(0);
    if (d) Resultado->setHorizontalHeaderItem(0, new QTableWidgetItem(QStringLiteral("#Consecutivo")));
    for (int k = 0; k < n; ++k) {
      Resultado->setHorizontalHeaderItem(k + d, new QTableWidgetItem(q(r->fieldDefs()[static_cast<size_t>(k)].name)));
      Resultado->setColumnHidden(k + d, static_cast<size_t>(k) < ocultas.size() && ocultas[static_cast<size_t>(k)]);
    }
    for (r->first(); !r->isEmpty() && !r->eof(); r->next()) {
      const int fila = Resultado->rowCount();
      Resultado->insertRow(fila);
      if (d) Resultado->setItem(fila, 0, new QTableWidgetItem(QString::number(fila + 1)));
      for (int k = 0; k < n; ++k) Resultado->setItem(fila, k + d, new QTableWidgetItem(q(r->asText(k))));
    }
  } catch (const dbf::Error&) {
    ui_.mensaje(kErrorCondiciones);
  }
}

void TFormaConsulta::BotonOrdenClick() {
  const int r = ListaCampos->currentRow();
  if (r < 0 || !ListaCampos->item(r, 0)) return;
  const std::string campo = ListaCampos->item(r, 0)->text().toStdString();
  if (std::find(orden_.begin(), orden_.end(), campo) != orden_.end()) return;
  orden_.push_back(campo);
  Orden->addItem(q(campo));
  c_->ponOrden(orden_);
}

void TFormaConsulta::OrdenDblClick(int fila) {
  if (fila < 0 || fila >= static_cast<int>(orden_.size())) return;
  orden_.erase(orden_.begin() + fila);
  delete Orden->takeItem(fila);
  c_->ponOrden(orden_);
}

void TFormaConsulta::BotonAbrirClick() {
  if (auto ruta = ui_.abreArchivo("Abrir Consulta", "Consultas (*.sql)|*.sql|Todos|*.*")) AbreConsulta(*ruta);
}

void TFormaConsulta::AbreConsulta(const std::string& ruta) {
  const auto lineas = base::leeLineas(ruta);
  if (!lineas || lineas->empty()) {
    ui_.mensaje("El Archivo De consulta No Existe...");
    return;
  }
  const std::string& sentencia = (*lineas)[0];
  // The table is the double-quoted path after "From".
  const std::string minus = base::minusculasAscii(sentencia);
  const size_t from = minus.find(" from ");
  if (from != std::string::npos) {
    const size_t a = sentencia.find('"', from);
    const size_t b = a == std::string::npos ? a : sentencia.find('"', a + 1);
    if (b != std::string::npos && !base::existe(sentencia.substr(a + 1, b - a - 1))) {
      ui_.mensaje("El Archivo No Existe");
      return;
    }
  }
  // A column is hidden when line 7 or line 8 says "N" for it.
  std::vector<bool> ocultas;
  for (size_t l = 6; l < 8 && l < lineas->size(); ++l) {
    const QStringList opciones = q((*lineas)[l]).split(',');
    if (ocultas.size() < static_cast<size_t>(opciones.size())) ocultas.resize(static_cast<size_t>(opciones.size()), false);
    for (qsizetype i = 0; i < opciones.size(); ++i)
      if (opciones[i].trimmed() == "N") ocultas[static_cast<size_t>(i)] = true;
  }
  muestraResultado(sentencia, ocultas);
}

void TFormaConsulta::BotonGraficasClick() {
  const std::string sentencia = ultimaSentencia_.empty() ? consulta() : ultimaSentencia_;
  try {
    sql::BaseSql base;
    auto r = base.consulta(sentencia);
    TFormaGraficas g(*r, ui_, {}, this);
    g.ponAnchos(Anchos->text().toStdString());
    if (Retiros->isChecked()) g.ponRetiros(sistema_);
    g.exec();
  } catch (const dbf::Error&) {
    ui_.mensaje(kErrorCondiciones);
  }
}

void TFormaConsulta::GuardarClick() {
  actualizaSeleccion();
  c_->guardaResultado(Consecutivo->isChecked());
}

void TFormaConsulta::BotonMonedasClick() {
  const std::string sentencia = ultimaSentencia_.empty() ? consulta() : ultimaSentencia_;
  try {
    sql::BaseSql base;
    auto r = base.consulta(sentencia);
    if (r->fieldDefs().size() != 10) {
      ui_.mensaje("La consulta debe tener diez columnas, la última con la moneda");
      return;
    }
    std::array<std::string, 10> encabezados{};
    std::array<int, 10> anchos{};
    const std::vector<int> lista = reports::anchosDeLista(Anchos->text().toStdString());
    for (size_t k = 0; k < 10; ++k) {
      encabezados[k] = r->fieldDefs()[k].name;
      // Amounts take "$" and the mask "###,###,##0.00": room for them unless told.
      const int omision = k >= 2 && k < 9 ? 16 : 10;
      anchos[k] = k < lista.size() && lista[k] > 0 ? lista[k] : std::max(omision, static_cast<int>(encabezados[k].size()));
    }
    TFormaBarras visor(sistema_, "Consulta por Moneda", ui_, {}, this);
    visor.usaConsulta(std::make_unique<reports::VisorConsulta>("Consulta por Moneda", std::move(r), encabezados, anchos,
                                                               reports::monedasVisor(datos_)));
    visor.exec();
  } catch (const dbf::Error&) {
    ui_.mensaje(kErrorCondiciones);
  }
}
