#include "ui/rejilla_consulta.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>

#include "base/numeros.h"

namespace mostrador::ui {

ColumnaConsulta columnaCampo(const QString& titulo, const std::string& campo, int ancho) {
  return {titulo, ancho, [campo](const dbf::Cursor& c) { return QString::fromStdString(c.asText(campo)); }};
}

ColumnaConsulta columnaNumero(const QString& titulo, const std::string& campo, int ancho,
                              const std::string& mascara) {
  return {titulo, ancho,
          [campo, mascara](const dbf::Cursor& c) {
            return QString::fromStdString(base::formateaMascara(c.asFloat(campo), mascara));
          },
          true};
}

// ---- the model ----------------------------------------------------------------------

void ModeloConsulta::ponColumnas(const std::vector<ColumnaConsulta>* columnas) {
  beginResetModel();
  columnas_ = columnas;
  ventana_.reset();
  copia_.clear();
  filas_ = desfase_ = 0;
  endResetModel();
}

void ModeloConsulta::ponVentana(std::unique_ptr<store::VentanaTabla> v) {
  beginResetModel();
  ventana_ = std::move(v);
  copia_.clear();
  filas_ = ventana_ ? ventana_->filas() : 0;
  desfase_ = 0;
  endResetModel();
}

void ModeloConsulta::ponFilas(std::vector<store::FilaVentana> filas) {
  beginResetModel();
  ventana_.reset();
  copia_ = std::move(filas);
  filas_ = static_cast<int>(copia_.size());
  desfase_ = 0;
  endResetModel();
}

const store::FilaVentana* ModeloConsulta::fila(int f) const {
  if (f < 0 || f >= filas_) return nullptr;
  if (ventana_) return &ventana_->fila(f + desfase_);
  return &copia_[static_cast<size_t>(f)];
}

int ModeloConsulta::creceAbajo() {
  if (!ventana_) return 0;
  const int n = ventana_->agregaAbajo();
  if (n <= 0) return 0;
  beginInsertRows({}, filas_, filas_ + n - 1);
  filas_ += n;
  endInsertRows();
  return n;
}

int ModeloConsulta::creceArriba() {
  if (!ventana_) return 0;
  // The window has its new rows in front already: the old rows keep their numbers
  // until the views are told.
  const int n = ventana_->agregaArriba();
  if (n <= 0) return 0;
  desfase_ = n;
  beginInsertRows({}, 0, n - 1);
  desfase_ = 0;
  filas_ += n;
  endInsertRows();
  return n;
}

int ModeloConsulta::recortaArriba(int n) {
  n = std::min(n, filas_);
  if (!ventana_ || n <= 0) return 0;
  beginRemoveRows({}, 0, n - 1);
  ventana_->recortaArriba(n);
  filas_ -= n;
  endRemoveRows();
  return n;
}

int ModeloConsulta::recortaAbajo(int n) {
  n = std::min(n, filas_);
  if (!ventana_ || n <= 0) return 0;
  beginRemoveRows({}, filas_ - n, filas_ - 1);
  ventana_->recortaAbajo(n);
  filas_ -= n;
  endRemoveRows();
  return n;
}

int ModeloConsulta::rowCount(const QModelIndex& p) const { return p.isValid() ? 0 : filas_; }

int ModeloConsulta::columnCount(const QModelIndex& p) const {
  return p.isValid() || !columnas_ ? 0 : static_cast<int>(columnas_->size());
}

QVariant ModeloConsulta::data(const QModelIndex& i, int rol) const {
  const store::FilaVentana* f = i.isValid() ? fila(i.row()) : nullptr;
  if (!f || i.column() >= static_cast<int>(f->celdas.size())) return {};
  if (rol == Qt::DisplayRole) return QString::fromStdString(f->celdas[static_cast<size_t>(i.column())]);
  if (rol == Qt::TextAlignmentRole && (*columnas_)[static_cast<size_t>(i.column())].derecha)
    return QVariant(Qt::AlignRight | Qt::AlignVCenter);
  return {};
}

QVariant ModeloConsulta::headerData(int seccion, Qt::Orientation o, int rol) const {
  if (o != Qt::Horizontal || rol != Qt::DisplayRole || !columnas_ || seccion < 0 ||
      seccion >= static_cast<int>(columnas_->size()))
    return {};
  return (*columnas_)[static_cast<size_t>(seccion)].titulo;
}

// ---- the grid -----------------------------------------------------------------------

RejillaConsulta::RejillaConsulta(QWidget* parent) : QTableView(parent) {
  modelo_ = new ModeloConsulta(this);
  setModel(modelo_);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setTabKeyNavigation(false);
  verticalHeader()->hide();
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
  connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { vigila(); });
  connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] { vigila(); });
}

RejillaConsulta::~RejillaConsulta() = default;

void RejillaConsulta::ponColumnas(std::vector<ColumnaConsulta> columnas) {
  columnas_ = std::move(columnas);
  modelo_->ponColumnas(&columnas_);
  for (int i = 0; i < static_cast<int>(columnas_.size()); ++i) setColumnWidth(i, columnas_[i].ancho);
}

store::VentanaTabla::Lector RejillaConsulta::lector() const {
  return [this](const dbf::Cursor& c) {
    std::vector<std::string> celdas;
    celdas.reserve(columnas_.size());
    for (const auto& col : columnas_) celdas.push_back(col.valor(c).toStdString());
    return celdas;
  };
}

void RejillaConsulta::nuevaVentana(dbf::Table& t, const std::string& campoClave,
                                   const std::function<bool(const dbf::Cursor&)>& filtro) {
  modelo_->ponVentana(std::make_unique<store::VentanaTabla>(t, campoClave, lector(), filtro, kPagina));
}

void RejillaConsulta::carga(dbf::Cursor& c, const std::string& campoClave,
                            const std::function<bool(const dbf::Cursor&)>& filtro) {
  if (auto* tabla = dynamic_cast<dbf::Table*>(&c)) {
    auto v = std::make_unique<store::VentanaTabla>(*tabla, campoClave, lector(), filtro, kPagina);
    const int fila = v->alPrincipio();
    modelo_->ponVentana(std::move(v));
    ponFila(fila);
    return;
  }
  // A query result is in memory already: its rows are copied as texts.
  std::vector<store::FilaVentana> filas;
  const auto leeFila = lector();
  const int campo = c.requireField(campoClave);
  for (c.first(); !c.eof(); c.next()) {
    if (filtro && !filtro(c)) continue;
    filas.push_back({0, c.asText(campo), leeFila(c)});
  }
  modelo_->ponFilas(std::move(filas));
  ponFila(0);
}

void RejillaConsulta::abreEn(dbf::Table& t, const std::string& campoClave,
                             const std::vector<dbf::KeyValue>& valores,
                             const std::function<bool(const dbf::Cursor&)>& filtro) {
  auto v = std::make_unique<store::VentanaTabla>(t, campoClave, lector(), filtro, kPagina);
  const int fila = v->enCercano(valores);
  modelo_->ponVentana(std::move(v));
  ponFila(fila);
}

void RejillaConsulta::abreAlrededor(dbf::Table& t, const std::string& campoClave,
                                    const std::function<bool(const dbf::Cursor&)>& filtro) {
  auto v = std::make_unique<store::VentanaTabla>(t, campoClave, lector(), filtro, kPagina);
  const int fila = v->alrededorDelActual();
  modelo_->ponVentana(std::move(v));
  ponFila(fila);
}

void RejillaConsulta::posicionaEn(const std::vector<dbf::KeyValue>& valores) {
  store::VentanaTabla* v = modelo_->ventana();
  if (!v) return;
  // The match may be held already; reopening keeps the window small either way.
  auto nueva = std::make_unique<store::VentanaTabla>(*v);
  const int fila = nueva->enCercano(valores);
  modelo_->ponVentana(std::move(nueva));
  ponFila(fila);
}

int RejillaConsulta::filas() const { return modelo_->rowCount(); }

int RejillaConsulta::filaActual() const {
  if (filas() == 0) return -1;
  const QModelIndex i = currentIndex();
  return i.isValid() ? i.row() : -1;
}

void RejillaConsulta::ponFila(int fila) {
  if (fila < 0 || fila >= filas()) return;
  // The window grows only once the row is in place: growing above it renumbers rows.
  vigilando_ = true;
  const QModelIndex i = modelo_->index(fila, std::max(0, currentIndex().column()));
  setCurrentIndex(i);
  selectRow(fila);
  scrollTo(i, QAbstractItemView::PositionAtCenter);
  vigilando_ = false;
  vigila();
}

int RejillaConsulta::filaDeRegistro(uint32_t recno) const {
  for (int f = 0; f < filas(); ++f)
    if (modelo_->fila(f)->registro == recno) return f;
  return -1;
}

uint32_t RejillaConsulta::registro(int fila) const {
  const auto* f = modelo_->fila(fila);
  return f ? f->registro : 0;
}

std::string RejillaConsulta::clave(int fila) const {
  const auto* f = modelo_->fila(fila);
  return f ? f->clave : std::string();
}

std::optional<std::string> RejillaConsulta::claveActual() const {
  const int f = filaActual();
  if (f < 0) return std::nullopt;
  return clave(f);
}

QString RejillaConsulta::celda(int fila, int columna) const {
  return modelo_->data(modelo_->index(fila, columna), Qt::DisplayRole).toString();
}

void RejillaConsulta::vigila() {
  // Before the grid is shown its rows in view are not known yet.
  if (vigilando_ || !modelo_->ventana() || filas() == 0 || !isVisible() || viewport()->height() <= 0) return;
  vigilando_ = true;
  const int margen = kPagina / 2;
  for (int vuelta = 0; vuelta < 4; ++vuelta) {
    const int arriba = std::max(0, rowAt(0));
    int abajo = rowAt(viewport()->height() - 1);
    if (abajo < 0) abajo = filas() - 1;
    const int actual = std::max(0, currentIndex().row());
    const int bajo = std::max(abajo, actual), alto = std::min(arriba, actual);
    bool cambio = false;
    if (bajo >= filas() - margen && modelo_->creceAbajo() > 0) {
      cambio = true;
      // Far rows above go; the scroll position follows the rows it shows.
      const int sobra = filas() - kMaximo;
      if (sobra > 0 && alto - margen >= sobra) {
        const int valor = verticalScrollBar()->value();
        modelo_->recortaArriba(sobra);
        verticalScrollBar()->setValue(valor - sobra);
      }
    } else if (alto < margen) {
      const int valor = verticalScrollBar()->value();
      const int n = modelo_->creceArriba();
      if (n > 0) {
        cambio = true;
        verticalScrollBar()->setValue(valor + n);
        const int sobra = filas() - kMaximo;
        if (sobra > 0 && filas() - 1 - (bajo + n) - margen >= sobra) modelo_->recortaAbajo(sobra);
      }
    }
    if (!cambio) break;
  }
  vigilando_ = false;
}

void RejillaConsulta::keyPressEvent(QKeyEvent* e) {
  // The first and last rows of the table are a reopening away, not a long read.
  if (modelo_->ventana() && (e->modifiers() & Qt::ControlModifier) &&
      (e->key() == Qt::Key_Home || e->key() == Qt::Key_End)) {
    auto nueva = std::make_unique<store::VentanaTabla>(*modelo_->ventana());
    const int fila = e->key() == Qt::Key_Home ? nueva->alPrincipio() : nueva->alFinal();
    modelo_->ponVentana(std::move(nueva));
    ponFila(fila);
    return;
  }
  QTableView::keyPressEvent(e);
}

void RejillaConsulta::showEvent(QShowEvent* e) {
  QTableView::showEvent(e);
  if (currentIndex().isValid()) scrollTo(currentIndex(), QAbstractItemView::PositionAtCenter);
  vigila();
}

void RejillaConsulta::resizeEvent(QResizeEvent* e) {
  QTableView::resizeEvent(e);
  vigila();
}

}  // namespace mostrador::ui
