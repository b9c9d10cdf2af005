#include "query/screens/TFormaSQL.h"
#include "query/screens/TFormaConsulta.h"
#include "base/reloj.h"
#include "store/dbf/dbf_table.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTableWidget>
#include <QTextDocument>
#include <QVBoxLayout>

#include "query/consulta_espanol.h"
#include "query/screens/TFormaTipos.h"
#include "base/confcamp.h"
#include "base/rutas.h"
#include "ui/dialogos.h"

using namespace mostrador;
using namespace mostrador;
using namespace mostrador::printing;
using namespace mostrador::query;

namespace {
QString q(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

TFormaSQL::TFormaSQL(base::Interaccion& ui, std::string directorioSistema, std::string directorioDatos,
                     std::string programaHoja, const base::TablaProgramas& programas,
                     base::Procesos& procesos, QWidget* parent)
    : QDialog(parent), ui_(ui), sistema_(std::move(directorioSistema)), datos_(std::move(directorioDatos)),
      programaHoja_(std::move(programaHoja)), programas_(programas), procesos_(procesos),
      consola_(std::make_unique<ConsolaSql>(ui, sistema_, datos_)) {
  setObjectName("TFormaSQL");
  setWindowTitle(QStringLiteral("Consultas SQL"));
  resize(900, 700);

  NombreTabla = new QComboBox(this);
  NombreTabla->setObjectName("NombreTabla");
  for (const auto& t : tablasConsola()) NombreTabla->addItem(QString::fromUtf8(t.titulo.data(), static_cast<int>(t.titulo.size())));
  TablaFiltros = new QTableWidget(0, 5, this);
  TablaFiltros->setObjectName("TablaFiltros");
  TablaFiltros->setHorizontalHeaderLabels({"Clave", "Campo", QStringLiteral("Condición"), "Valor", "Tipo"});
  TablaFiltros->setColumnHidden(4, true);
  TablaFiltros->setEditTriggers(QAbstractItemView::NoEditTriggers);
  Codigo = new QPlainTextEdit(this);
  Codigo->setObjectName("Codigo");
  Traduccion = new QPlainTextEdit(this);
  Traduccion->setObjectName("Traduccion");
  Traduccion->setReadOnly(true);
  DBGrid1 = new QTableWidget(this);
  DBGrid1->setObjectName("DBGrid1");
  DBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
  Archivo = new QComboBox(this);
  Archivo->setObjectName("Archivo");
  Estado = new QLabel(this);
  Estado->setObjectName("Estado");

  auto* botones = new QHBoxLayout;
  auto boton = [&](const char* nombre, const QString& texto, void (TFormaSQL::*accion)()) {
    return mostrador::ui::botonDeBarra(botones, this, nombre, texto, accion);
  };
  boton("BitBtn2", QStringLiteral("Nueva"), &TFormaSQL::BitBtn2Click);
  boton("BitBtn1", QStringLiteral("Ejecutar"), &TFormaSQL::BitBtn1Click);
  boton("BitBtn5", QStringLiteral("Guardar"), &TFormaSQL::BitBtn5Click);
  boton("BitBtn4", QStringLiteral("Exportar"), &TFormaSQL::BitBtn4Click);
  boton("BotonImprimir", QStringLiteral("Imprimir"), &TFormaSQL::BotonImprimirClick);
  boton("Sumar1", QStringLiteral("Sumar"), &TFormaSQL::Sumar1Click);
  boton("TamanoColumnas1", QStringLiteral("Ancho"), &TFormaSQL::TamanoColumnaClick);
  BotonAnterior = boton("BotonAnterior", QStringLiteral("< 50"), &TFormaSQL::BotonAnteriorClick);
  BotonSiguiente = boton("BotonSiguiente", QStringLiteral("50 >"), &TFormaSQL::BotonSiguienteClick);
  boton("SpeedButton4", QStringLiteral("Corregir"), &TFormaSQL::SpeedButton4Click);
  boton("BotonConstructor", QStringLiteral("Constructor"), &TFormaSQL::BotonConstructorClick);
  botones->addWidget(Archivo);

  auto* arriba = new QHBoxLayout;
  auto* izquierda = new QVBoxLayout;
  izquierda->addWidget(NombreTabla);
  izquierda->addWidget(TablaFiltros);
  arriba->addLayout(izquierda, 1);
  auto* textos = new QVBoxLayout;
  textos->addWidget(Codigo);
  textos->addWidget(Traduccion);
  arriba->addLayout(textos, 2);
  auto* todo = new QVBoxLayout(this);
  todo->addLayout(arriba, 2);
  todo->addLayout(botones);
  todo->addWidget(DBGrid1, 3);
  todo->addWidget(Estado);

  connect(NombreTabla, &QComboBox::currentIndexChanged, this, &TFormaSQL::NombreTablaChange);
  connect(TablaFiltros, &QTableWidget::cellDoubleClicked, this,
          [this](int fila, int) { TablaFiltrosDblClick(fila); });
  connect(DBGrid1->horizontalHeader(), &QHeaderView::sectionClicked, this, &TFormaSQL::DBGrid1TitleClick);
  llenaArchivos();
  connect(Archivo, &QComboBox::currentTextChanged, this, &TFormaSQL::ArchivoChange);
  NombreTablaChange();
  muestraPagina();
}

TFormaSQL::~TFormaSQL() = default;

void TFormaSQL::BotonConstructorClick() {
  auto t = tablaConsola(NombreTabla->currentText().toStdString());
  if (!t) return;
  std::string fechas;
  try {
    dbf::Table tabla;
    tabla.open(datos_, std::string(t->archivo));
    for (const auto& c : tabla.fieldDefs())
      if (c.type == 'D') fechas += (fechas.empty() ? "" : ",") + c.name;
  } catch (const dbf::Error&) {
    // The dictionary still lists its fields; only the date range is not offered.
  }
  TFormaConsulta f(ui_, sistema_, datos_, std::string(t->archivo), fechas, base::RelojSistema().ahora().fecha, this);
  f.exec();
}

void TFormaSQL::llenaArchivos() {
  Archivo->clear();
  Archivo->addItem(QString());
  for (const auto& n : base::lista(consola_->directorioReportes(), "*.sql")) Archivo->addItem(q(n));
}

void TFormaSQL::NombreTablaChange() {
  TablaFiltros->setRowCount(0);
  auto t = tablaConsola(NombreTabla->currentText().toStdString());
  if (!t) return;
  const auto campos = camposConsola(base::CatalogoCampos::enDirectorio(sistema_), t->archivo);
  TablaFiltros->setRowCount(static_cast<int>(campos.size()));
  for (int i = 0; i < static_cast<int>(campos.size()); ++i) {
    const auto& c = campos[static_cast<size_t>(i)];
    TablaFiltros->setItem(i, 0, new QTableWidgetItem(q(c.clave)));
    TablaFiltros->setItem(i, 1, new QTableWidgetItem(q(c.campo)));
    TablaFiltros->setItem(i, 2, new QTableWidgetItem());
    TablaFiltros->setItem(i, 3, new QTableWidgetItem());
    TablaFiltros->setItem(i, 4, new QTableWidgetItem(q(c.tipo)));
  }
}

void TFormaSQL::BitBtn2Click() {
  auto l = esqueletoConsulta(datos_, NombreTabla->currentText().toStdString());
  QStringList texto;
  for (const auto& x : l) texto << q(x);
  Codigo->setPlainText(texto.join('\n'));
}

void TFormaSQL::TablaFiltrosDblClick(int fila) {
  auto* item = TablaFiltros->item(fila, 0);
  if (!item) return;
  std::vector<std::string> lineas;
  for (const QString& l : Codigo->toPlainText().split('\n')) lineas.push_back(l.toStdString());
  agregaCampoConsulta(lineas, item->text().toStdString());
  QStringList texto;
  for (const auto& x : lineas) texto << q(x);
  Codigo->setPlainText(texto.join('\n'));
}

void TFormaSQL::BitBtn1Click() {
  const bool ok = consola_->ejecuta(Codigo->toPlainText().toStdString());
  Traduccion->setPlainText(q(consola_->traduccion()));
  if (ok && !consola_->resultado())
    Estado->setText(QStringLiteral("%1 filas afectadas").arg(consola_->filasAfectadas()));
  else
    Estado->clear();
  muestraPagina();
}

void TFormaSQL::muestraPagina() {
  const auto titulos = consola_->titulos();
  DBGrid1->clear();
  DBGrid1->setColumnCount(static_cast<int>(titulos.size()));
  for (int c = 0; c < static_cast<int>(titulos.size()); ++c) {
    auto* h = new QTableWidgetItem(q(titulos[static_cast<size_t>(c)]));
    h->setForeground(colorDeTipo(consola_->tipo(c)));
    DBGrid1->setHorizontalHeaderItem(c, h);
    DBGrid1->setColumnHidden(c, consola_->tipo(c) == 'i');
  }
  const auto filas = consola_->pagina();
  DBGrid1->setRowCount(static_cast<int>(filas.size()));
  for (int r = 0; r < static_cast<int>(filas.size()); ++r)
    for (int c = 0; c < static_cast<int>(filas[static_cast<size_t>(r)].size()); ++c)
      DBGrid1->setItem(r, c, new QTableWidgetItem(q(filas[static_cast<size_t>(r)][static_cast<size_t>(c)])));
  BotonSiguiente->setEnabled(consola_->haySiguiente());
  BotonAnterior->setEnabled(consola_->hayAnterior());
}

void TFormaSQL::DBGrid1TitleClick(int columna) {
  TFormaTipos t(this);
  t.eligeTipo(consola_->tipo(columna));
  if (t.exec() == QDialog::Accepted) aplicaTipo(columna, t.tipo());
}

void TFormaSQL::aplicaTipo(int columna, char tipo) {
  consola_->ponTipo(columna, tipo);
  if (auto* h = DBGrid1->horizontalHeaderItem(columna)) h->setForeground(colorDeTipo(consola_->tipo(columna)));
  DBGrid1->setColumnHidden(columna, consola_->tipo(columna) == 'i');
}

void TFormaSQL::Sumar1Click() { consola_->suma(DBGrid1->currentColumn()); }

void TFormaSQL::BotonSiguienteClick() {
  consola_->siguiente();
  muestraPagina();
}

void TFormaSQL::BotonAnteriorClick() {
  consola_->anterior();
  muestraPagina();
}

void TFormaSQL::ArchivoChange() {
  if (auto l = consola_->cargaArchivo(Archivo->currentText().toStdString())) {
    QStringList texto;
    for (const auto& x : *l) texto << q(x);
    Codigo->setPlainText(texto.join('\n'));
  }
}

void TFormaSQL::BitBtn5Click() {
  std::vector<std::string> lineas;
  for (const QString& l : Codigo->toPlainText().split('\n')) lineas.push_back(l.toStdString());
  if (consola_->guardaArchivo(lineas)) {
    const QString actual = Archivo->currentText();
    QSignalBlocker b(Archivo);
    llenaArchivos();
    Archivo->setCurrentText(actual);
  }
}

void TFormaSQL::BitBtn4Click() { consola_->exporta(programaHoja_, programas_, procesos_); }

void TFormaSQL::BotonImprimirClick() {
  QString html = "<table border=1 cellspacing=0><tr>";
  for (int c = 0; c < DBGrid1->columnCount(); ++c)
    if (!DBGrid1->isColumnHidden(c)) html += "<th>" + DBGrid1->horizontalHeaderItem(c)->text().toHtmlEscaped() + "</th>";
  html += "</tr>";
  for (int r = 0; r < DBGrid1->rowCount(); ++r) {
    html += "<tr>";
    for (int c = 0; c < DBGrid1->columnCount(); ++c)
      if (!DBGrid1->isColumnHidden(c))
        html += "<td>" + (DBGrid1->item(r, c) ? DBGrid1->item(r, c)->text().toHtmlEscaped() : QString()) + "</td>";
    html += "</tr>";
  }
  html += "</table>";
  QPrinter impresora;
  QPrintDialog dialogo(&impresora, this);
  if (dialogo.exec() != QDialog::Accepted) return;
  QTextDocument doc;
  doc.setHtml(html);
  doc.print(&impresora);
}

void TFormaSQL::SpeedButton4Click() {
  if (auto n = consola_->corrigeDatos()) Estado->setText(QStringLiteral("Registros corregidos: %1").arg(*n));
}

void TFormaSQL::TamanoColumnaClick() {
  const int c = DBGrid1->currentColumn();
  if (c < 0) return;
  TFormaTamanoColumnas t(this);
  t.exec();
  DBGrid1->setColumnWidth(c, std::stoi(t.ancho()) * 8);
}
