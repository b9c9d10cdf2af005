#include "designers/screens/TFormaCatalogo.h"
#include "base/reloj.h"
#include "reports/columnas_reporte.h"
#include "reports/filtro_reporte.h"
#include "reports/screens/TFormaBarras.h"
#include "reports/screens/TFormaProgreso.h"
#include "reports/screens/TFormaFormatos.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStyle>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>

#include "query/screens/TFormaTipos.h"
#include "base/confcamp.h"
#include "ui/dialogos.h"
#include "ui/jpeg.h"
#include "base/rutas.h"
#include "base/texto_util.h"
#include "store/dbf/dbf_table.h"

using namespace mostrador;
using namespace mostrador;
using namespace mostrador::printing;
using namespace mostrador::designers;

namespace {
QString q(const std::string& s) { return QString::fromStdString(s); }
constexpr size_t kPagina = 100;
}  // namespace

// --- Model ---

ModeloCatalogo::ModeloCatalogo(NavegadorCatalogo& n, QObject* parent) : QAbstractTableModel(parent), n_(n) {}

int ModeloCatalogo::rowCount(const QModelIndex& p) const {
  return p.isValid() ? 0 : static_cast<int>(n_.filas().size());
}
int ModeloCatalogo::columnCount(const QModelIndex& p) const {
  return p.isValid() ? 0 : static_cast<int>(n_.columnas().size());
}

QVariant ModeloCatalogo::data(const QModelIndex& i, int role) const {
  if (!i.isValid()) return {};
  if (role == Qt::TextAlignmentRole && n_.columnaNumerica(i.column()))
    return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
  // The cell shows its value written for the column; an edit starts from what is stored.
  if (role == Qt::DisplayRole) return q(n_.textoCelda(i.row(), i.column()));
  if (role != Qt::EditRole) return {};
  const auto& f = n_.filas()[static_cast<size_t>(i.row())];
  return q(mostrador::base::recorta(f.celdas[static_cast<size_t>(i.column())]));
}

QVariant ModeloCatalogo::headerData(int s, Qt::Orientation o, int role) const {
  if (o != Qt::Horizontal || s < 0 || s >= columnCount()) return QAbstractTableModel::headerData(s, o, role);
  const auto& c = n_.columnas()[static_cast<size_t>(s)];
  if (role == Qt::DisplayRole || role == Qt::ToolTipRole) return q(c.titulo);
  if (role == Qt::ForegroundRole) return colorDeTipo(c.tipo);
  // From the left, so that a column narrowed by hand still shows its title's start.
  if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
  return {};
}

Qt::ItemFlags ModeloCatalogo::flags(const QModelIndex& i) const {
  Qt::ItemFlags f = QAbstractTableModel::flags(i);
  if (n_.editable()) f |= Qt::ItemIsEditable;
  return f;
}

bool ModeloCatalogo::setData(const QModelIndex& i, const QVariant& v, int role) {
  if (role != Qt::EditRole || !i.isValid()) return false;
  if (!n_.cambiaCelda(i.row(), i.column(), v.toString().toStdString())) return false;
  emit dataChanged(i, i);
  return true;
}

bool ModeloCatalogo::canFetchMore(const QModelIndex& p) const { return !p.isValid() && !n_.todoLeido(); }

void ModeloCatalogo::fetchMore(const QModelIndex& p) {
  if (p.isValid()) return;
  const int antes = rowCount();
  // Read first, then tell the view how many rows arrived.
  const size_t n = n_.cargaMas(kPagina);
  if (n == 0) return;
  beginInsertRows({}, antes, antes + static_cast<int>(n) - 1);
  endInsertRows();
}

void ModeloCatalogo::recarga() {
  beginResetModel();
  endResetModel();
}

// --- Filter grid ---

TFormaFiltros::TFormaFiltros(const std::string& directorioSistema, const std::string& tabla, QWidget* parent)
    : QDialog(parent) {
  setObjectName("TFormaFiltros");
  setWindowTitle(QStringLiteral("Filtros"));
  Rejilla = new QTableWidget(0, 5, this);
  Rejilla->setObjectName("Rejilla");
  Rejilla->setHorizontalHeaderLabels({"Clave", "Campo", QStringLiteral("Condición"), "Valor", ""});
  Rejilla->setColumnHidden(4, true);
  for (const auto& c : base::CatalogoCampos::enDirectorio(directorioSistema).campos(tabla)) {
    if (c.descripcion.empty() || c.descripcion == "No Disponible") continue;
    const int r = Rejilla->rowCount();
    Rejilla->insertRow(r);
    const std::string textos[5] = {c.nombre, c.descripcion, "", "", c.tercero};
    for (int k = 0; k < 5; ++k) {
      auto* item = new QTableWidgetItem(q(textos[k]));
      if (k < 2 || k == 4) item->setFlags(item->flags() & ~Qt::ItemIsEditable);
      Rejilla->setItem(r, k, item);
    }
  }
  // The operator legend window stands below the grid while the cursor is in the
  // condition column.
  auto* operador = new mostrador::ui::TFormaOperador(this);
  Leyenda = operador->leyenda();
  connect(Rejilla, &QTableWidget::currentCellChanged, this, [this, operador](int, int columna) {
    if (columna != 2) {
      operador->hide();
      return;
    }
    operador->move(Rejilla->mapToGlobal(QPoint(0, Rejilla->height())));
    operador->show();
  });
  connect(this, &QDialog::finished, operador, &QWidget::hide);
  auto* aceptar = new QPushButton(QStringLiteral("Aceptar"), this);
  aceptar->setObjectName("BotonAceptar");
  aceptar->setDefault(true);
  connect(aceptar, &QPushButton::clicked, this, &QDialog::accept);
  auto* l = new QVBoxLayout(this);
  l->addWidget(Rejilla);
  l->addWidget(aceptar);
}

std::string TFormaFiltros::condiciones() const {
  std::string r;
  for (int i = 0; i < Rejilla->rowCount(); ++i) {
    auto texto = [&](int k) { return Rejilla->item(i, k) ? Rejilla->item(i, k)->text().toStdString() : std::string(); };
    if (texto(2).empty()) continue;
    r += texto(0) + "*" + texto(2) + "*" + texto(3) + "*" + texto(4) + "*";
  }
  return r;
}

// --- Index chooser ---

TFormaOrdenarPor::TFormaOrdenarPor(const std::vector<std::string>& descripciones, QWidget* parent)
    : QDialog(parent) {
  setObjectName("TFormaOrdenarPor");
  setWindowTitle(QStringLiteral("Ordenar Por"));
  Lista = new QListWidget(this);
  Lista->setObjectName("Lista");
  for (const auto& d : descripciones) Lista->addItem(q(d));
  connect(Lista, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
  auto* b = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(b, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(b, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* l = new QVBoxLayout(this);
  l->addWidget(Lista);
  l->addWidget(b);
}

int TFormaOrdenarPor::elegido() const { return Lista->currentRow(); }

// --- Browser ---

TFormaCatalogo::TFormaCatalogo(base::Interaccion& ui, std::string directorioSistema, std::string directorioDatos,
                               std::string tabla, std::vector<Columna> columnas, std::string programaHoja,
                               const base::TablaProgramas& programas, base::Procesos& procesos,
                               std::function<void(const std::string&, const std::string&)> abreModulo,
                               QWidget* parent)
    : QDialog(parent), ui_(ui), sistema_(std::move(directorioSistema)), datos_(std::move(directorioDatos)),
      programaHoja_(std::move(programaHoja)), programas_(programas), procesos_(procesos),
      abreModulo_(std::move(abreModulo)) {
  setObjectName("TFormaCatalogo");
  setWindowTitle(q(tabla));
  resize(900, 600);
  std::vector<ColumnaCatalogo> cols;
  for (auto& c : columnas) cols.push_back({c.campo, c.titulo, 0, ' '});
  n_ = std::make_unique<NavegadorCatalogo>(ui, sistema_, datos_, tabla, std::move(cols));
  n_->restauraPlantilla();

  modelo_ = new ModeloCatalogo(*n_, this);
  DBGrid1 = new QTableView(this);
  DBGrid1->setObjectName("DBGrid1");
  DBGrid1->setModel(modelo_);
  DBGrid1->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
  DBGrid1->installEventFilter(this);
  DBGrid1->viewport()->installEventFilter(this);
  DBGrid1->horizontalHeader()->setTextElideMode(Qt::ElideRight);
  // The row numbers' column takes its width from the grid's viewport as rows arrive:
  // the columns share the room again when it changes.
  connect(DBGrid1->verticalHeader(), &QHeaderView::geometriesChanged, this, [this] { reparteAnchos(); });
  connect(DBGrid1->horizontalHeader(), &QHeaderView::sectionClicked, this, &TFormaCatalogo::DBGrid1TitleClick);
  connect(DBGrid1, &QTableView::doubleClicked, this, [this] {
    if (!n_->editable()) DBGrid1DblClick();
  });
  // A column the user widens or narrows keeps that width, in the layout too.
  connect(DBGrid1->horizontalHeader(), &QHeaderView::sectionResized, this, [this](int c, int, int ancho) {
    if (!repartiendo_) n_->ponAncho(c, ancho);
  });

  auto* barra = new QHBoxLayout;
  auto boton = [&](const char* nombre, const QString& texto, void (TFormaCatalogo::*accion)()) {
    return mostrador::ui::botonDeBarra(barra, this, nombre, texto, accion);
  };
  boton("BotonIndices", QStringLiteral("Índices"), &TFormaCatalogo::BotonIndicesClick);
  boton("BotonBuscar", QStringLiteral("Buscar"), &TFormaCatalogo::BotonBuscarClick);
  boton("BotonFiltros", QStringLiteral("Filtros"), &TFormaCatalogo::BotonFiltrosClick);
  boton("BotonCambios", QStringLiteral("Cambios"), &TFormaCatalogo::BotonCambiosClick);
  boton("Sumar1", QStringLiteral("Sumar"), &TFormaCatalogo::Sumar1Click);
  boton("TamanoColumnas1", QStringLiteral("Ancho"), &TFormaCatalogo::TamanoColumnas1Click);
  boton("BotonBordes", QStringLiteral("Exportar"), &TFormaCatalogo::BotonBordesClick);
  boton("TodosCampos", QStringLiteral("Todos los Campos"), &TFormaCatalogo::TodosCamposClick);
  boton("GuardarPlantilla1", QStringLiteral("Guardar Plantilla"), &TFormaCatalogo::GuardarPlantilla1Click);
  CheckPlantilla = new QCheckBox(QStringLiteral("Plantilla"), this);
  CheckPlantilla->setObjectName("CheckPlantilla");
  CheckPlantilla->setChecked(true);
  connect(CheckPlantilla, &QCheckBox::clicked, this, &TFormaCatalogo::CheckPlantillaClick);
  barra->addWidget(CheckPlantilla);

  auto* menu = new QMenuBar(this);
  Reportes1 = menu->addMenu(QStringLiteral("Reportes"));
  Reportes1->setObjectName("Reportes1");
  const auto reportes = n_->reportes();
  for (int i = 0; i < static_cast<int>(reportes.size()); ++i)
    Reportes1->addAction(q(reportes[static_cast<size_t>(i)]), this, [this, i] { ReporteClick(i); });

  Estado = new QLabel(this);
  Estado->setObjectName("Estado");
  Estado->installEventFilter(this);
  Usuario = new QLabel(this);
  Usuario->setObjectName("Usuario");
  barra->addWidget(Usuario);
  auto* l = new QVBoxLayout(this);
  l->setMenuBar(menu);
  l->addLayout(barra);
  Imagen = new QLabel(QStringLiteral("Imagen"), this);
  Imagen->setObjectName("Imagen");
  Imagen->setFixedSize(240, 240);
  Imagen->setAlignment(Qt::AlignCenter);
  Imagen->setFrameShape(QFrame::Box);
  Imagen->hide();
  auto* cuerpo = new QHBoxLayout;
  cuerpo->addWidget(DBGrid1, 1);
  cuerpo->addWidget(Imagen, 0, Qt::AlignTop);
  l->addLayout(cuerpo, 1);
  l->addWidget(Estado);
  connect(DBGrid1->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] { muestraImagen(); });
  pintaColumnas();
}

// The grid outlives the browser's engine while the dialog hides and deletes its
// children: it must not ask the model for its titles or columns on the way out.
TFormaCatalogo::~TFormaCatalogo() {
  hide();
  DBGrid1->setModel(nullptr);
  DBGrid1->viewport()->removeEventFilter(this);
  DBGrid1->removeEventFilter(this);
  disconnect(DBGrid1->verticalHeader(), nullptr, this, nullptr);
  disconnect(DBGrid1->horizontalHeader(), nullptr, this, nullptr);
}

int TFormaCatalogo::anchoNatural(int c) const {
  // Room for the whole title and for the field's characters (up to 40 of them), with
  // the margins the header and the cells draw around their text.
  const auto& col = n_->columnas()[static_cast<size_t>(c)];
  const QFontMetrics titulo(DBGrid1->horizontalHeader()->font());
  const QFontMetrics celda(DBGrid1->font());
  const int margen = 2 * DBGrid1->style()->pixelMetric(QStyle::PM_HeaderMargin) + 12;
  const int porTitulo = titulo.horizontalAdvance(q(col.titulo)) + margen;
  const int caracteres = std::clamp(n_->largoCampo(c), 4, 40);
  const int porCampo = celda.horizontalAdvance(QString(caracteres, QChar('0'))) + margen;
  return std::max(porTitulo, porCampo);
}

void TFormaCatalogo::pintaColumnas() {
  modelo_->recarga();
  if (modelo_->canFetchMore({})) modelo_->fetchMore({});
  QSignalBlocker b(DBGrid1->horizontalHeader());
  for (int c = 0; c < static_cast<int>(n_->columnas().size()); ++c)
    DBGrid1->setColumnHidden(c, n_->columnas()[static_cast<size_t>(c)].tipo == 'i');
  reparteAnchos();
}

void TFormaCatalogo::reparteAnchos() {
  // Columns without a width of their own take what their title and field need and
  // share the room left, so the grid is filled to its edge.
  std::vector<int> anchos, visibles;
  std::vector<bool> automaticas;
  for (int c = 0; c < static_cast<int>(n_->columnas().size()); ++c) {
    const auto& col = n_->columnas()[static_cast<size_t>(c)];
    if (col.tipo == 'i') continue;
    visibles.push_back(c);
    anchos.push_back(col.ancho > 0 ? col.ancho : anchoNatural(c));
    automaticas.push_back(col.ancho <= 0);
  }
  const auto r = mostrador::designers::reparteAnchos(anchos, automaticas, DBGrid1->viewport()->width());
  repartiendo_ = true;
  for (size_t k = 0; k < visibles.size(); ++k) DBGrid1->setColumnWidth(visibles[k], r[k]);
  repartiendo_ = false;
}

void TFormaCatalogo::TamanoColumnas1Click() {
  const int c = DBGrid1->currentIndex().isValid() ? DBGrid1->currentIndex().column() : -1;
  if (c < 0) return;
  TFormaTamanoColumnas t(this);
  if (t.exec() != QDialog::Accepted) return;
  aplicaAncho(c, std::stoi(t.ancho()));
}

void TFormaCatalogo::aplicaAncho(int columna, int caracteres) {
  if (columna < 0 || columna >= static_cast<int>(n_->columnas().size())) return;
  // Characters of the grid's font, with the cell's margins; kept in the layout.
  const int margen = 2 * DBGrid1->style()->pixelMetric(QStyle::PM_HeaderMargin) + 12;
  n_->ponAncho(columna, QFontMetrics(DBGrid1->font()).horizontalAdvance(QString(caracteres, QChar('0'))) + margen);
  reparteAnchos();
}

void TFormaCatalogo::ponUsuario(const QString& usuario) { Usuario->setText(usuario); }

void TFormaCatalogo::TodosCamposClick() {
  n_->todosLosCampos();
  pintaColumnas();
}

void TFormaCatalogo::CheckPlantillaClick() {
  if (CheckPlantilla->isChecked()) n_->restauraPlantilla();
  else n_->todosLosCampos();
  pintaColumnas();
}

void TFormaCatalogo::GuardarPlantilla1Click() { n_->guardaPlantilla(); }

void TFormaCatalogo::BotonIndicesClick() {
  const auto indices = n_->indices();
  std::vector<std::string> d;
  for (const auto& i : indices) d.push_back(i.descripcion);
  TFormaOrdenarPor o(d, this);
  if (o.exec() != QDialog::Accepted || o.elegido() < 0) return;
  n_->ponIndice(indices[static_cast<size_t>(o.elegido())].tag);
  pintaColumnas();
}

void TFormaCatalogo::BotonBuscarClick() {
  if (n_->indice().empty()) {
    n_->busca("");  // says that no index is set
    return;
  }
  auto b = ui_.busca(false);
  if (!b) return;
  n_->busca(b->texto);
  const int fila = n_->filaBuscada();
  modelo_->recarga();
  if (fila >= 0) {
    DBGrid1->setCurrentIndex(modelo_->index(fila, 0));
    DBGrid1->scrollTo(modelo_->index(fila, 0));
  }
}

void TFormaCatalogo::BotonFiltrosClick() {
  TFormaFiltros f(sistema_, n_->tabla(), this);
  if (f.exec() == QDialog::Accepted) aplicaFiltro(f.condiciones());
}

void TFormaCatalogo::aplicaFiltro(const std::string& condiciones) {
  if (n_->ponCondiciones(leeCondicionesFiltro(condiciones))) pintaColumnas();
}

void TFormaCatalogo::BotonCambiosClick() { n_->BotonCambiosClick(); }

void TFormaCatalogo::DBGrid1TitleClick(int columna) {
  TFormaTipos t(this);
  if (t.exec() == QDialog::Accepted) aplicaTipo(columna, t.tipo(), t.total());
}

void TFormaCatalogo::aplicaTipo(int columna, char tipo, bool total) {
  if (!n_->ponTipo(columna, tipo, total)) return;
  DBGrid1->setColumnHidden(columna, tipo == 'i');
  emit modelo_->headerDataChanged(Qt::Horizontal, columna, columna);
  // The kind decides how the cells are written (amounts as money).
  if (modelo_->rowCount() > 0)
    emit modelo_->dataChanged(modelo_->index(0, columna), modelo_->index(modelo_->rowCount() - 1, columna));
  reparteAnchos();
}

void TFormaCatalogo::Sumar1Click() {
  const int c = DBGrid1->currentIndex().isValid() ? DBGrid1->currentIndex().column() : -1;
  n_->suma(c);
}

void TFormaCatalogo::BotonBordesClick() { n_->exporta(programaHoja_, programas_, procesos_); }

void TFormaCatalogo::DBGrid1DblClick() {
  if (!DBGrid1->currentIndex().isValid()) return;
  const std::string clave = n_->claveDeFila(DBGrid1->currentIndex().row());
  if (abreModulo_) abreModulo_(n_->tabla(), clave);
}

void TFormaCatalogo::ReporteClick(int n) {
  // The filter dialog's three conditions go with the report into the concentration.
  TFormaFormatos dialogo(this);
  dialogo.ponDirectorioSistema(sistema_);
  mostrador::reports::FiltroReporte f;
  f.directorioDatos = datos_;
  f.RangoFiltro(mostrador::base::RelojSistema().ahora().fecha, "", "");
  dialogo.PreparaFiltro(f, true, true, true, "facturae.dbf", true, true, true);
  dialogo.ponCaption(q("Reporte de Consecutivo de Documentos"));
  if (!dialogo.pide(f)) return;
  mostrador::reports::CondicionesConcentrado condiciones;
  for (size_t i = 0; i < f.condiciones.size(); ++i) {
    const auto& c = f.condiciones[i];
    if (c.campo.empty() || c.valor.empty()) continue;
    condiciones.condiciones[i] = {c.campo, c.operador, c.valor};
  }
  auto ruta = n_->preparaReporte(n);
  if (!ruta) return;
  Estado->setText(q("Reporte en " + *ruta));
  // The scratch table is read in key order by the concentration that follows.
  ui_.iniciaProgreso(mostrador::designers::kOrdenandoReporte, 1);
  ui_.terminaProgreso();
  TFormaProgreso progreso(ui_, this);
  const bool hecho = n_->concentraReporte(*ruta, condiciones, progreso, [&progreso] { return progreso.cancelado(); });
  progreso.close();
  if (!hecho) return;
  TFormaBarras visor(sistema_, "Gráfica", ui_, programaHoja_, this);
  visor.ponProcesos(&procesos_, &programas_);
  visor.exec();
}

void TFormaCatalogo::ponVistaImagenes(bool activa) {
  Imagen->setVisible(activa);
  if (activa) muestraImagen();
}

void TFormaCatalogo::muestraImagen() {
  if (Imagen->isHidden()) return;
  Imagen->clear();
  Imagen->setText(QStringLiteral("Imagen"));
  const QModelIndex i = DBGrid1->currentIndex();
  if (!i.isValid() || !mostrador::base::mismoNombre(n_->tabla(), "inventar.dbf")) return;
  const std::string clave = n_->claveDeFila(i.row());
  try {
    dbf::Table t;
    t.open(datos_, n_->tabla());
    if (!t.fieldExists("IMAGE_I")) return;
    t.setIndex("ICLPRO");
    if (!t.findKey({clave})) return;
    const std::string ruta = mostrador::base::recorta(t.asText("IMAGE_I"));
    if (ruta.empty() || !mostrador::base::existe(ruta)) return;
    const QImage img = leeImagen(mostrador::base::resuelve(ruta).string());
    if (img.isNull()) return;
    Imagen->setPixmap(QPixmap::fromImage(img).scaled(Imagen->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
    Imagen->setToolTip(q(ruta));
  } catch (const dbf::Error&) {
    // A catalogue that cannot be read shows no picture; the grid says the rest.
  }
}

void TFormaCatalogo::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_F2) {
    DBGrid1DblClick();
    return;
  }
  QDialog::keyPressEvent(e);
}

bool TFormaCatalogo::eventFilter(QObject* o, QEvent* e) {
  if (o == DBGrid1 && e->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(e)->key() == Qt::Key_F2) {
    DBGrid1DblClick();
    return true;
  }
  if (o == DBGrid1->viewport() && e->type() == QEvent::Resize) reparteAnchos();
  if (o == Estado && e->type() == QEvent::MouseButtonDblClick) {
    Estado->setText(q(n_->textoRegistros()));
    return true;
  }
  return QDialog::eventFilter(o, e);
}
