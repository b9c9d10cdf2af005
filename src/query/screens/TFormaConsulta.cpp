#include "query/screens/TFormaConsulta.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

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
      c_(std::make_unique<ConstructorConsulta>(ui, std::move(directorioSistema), std::move(directorioDatos),
                                               std::move(tabla), std::move(camposFecha))) {
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
  Inicial = new QDateEdit(d, this);
  Inicial->setObjectName("Inicial");
  Final = new QDateEdit(d, this);
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
  arriba->addLayout(medio);
  arriba->addWidget(Condiciones, 2);
  auto* fechas = new QHBoxLayout;
  for (QWidget* w : std::initializer_list<QWidget*>{FechaReporte, Inicial, Final, UsarFecha, Consecutivo, ejecutar, guardar})
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

void TFormaConsulta::EjecutarClick() {
  const std::string sentencia = consulta();
  try {
    sql::BaseSql base;
    auto r = base.consulta(sentencia);
    const int n = static_cast<int>(r->fieldDefs().size());
    Resultado->clear();
    Resultado->setColumnCount(n);
    Resultado->setRowCount(0);
    for (int k = 0; k < n; ++k)
      Resultado->setHorizontalHeaderItem(k, new QTableWidgetItem(q(r->fieldDefs()[static_cast<size_t>(k)].name)));
    for (r->first(); !r->isEmpty() && !r->eof(); r->next()) {
      const int fila = Resultado->rowCount();
      Resultado->insertRow(fila);
      for (int k = 0; k < n; ++k) Resultado->setItem(fila, k, new QTableWidgetItem(q(r->asText(k))));
    }
  } catch (const dbf::Error&) {
    ui_.mensaje(kErrorCondiciones);
  }
}

void TFormaConsulta::GuardarClick() {
  actualizaSeleccion();
  c_->guardaResultado(Consecutivo->isChecked());
}
