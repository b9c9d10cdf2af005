#include "ui/rejilla_consulta.h"

#include <QHeaderView>
#include <QStandardItemModel>

#include "shell/numeros.h"

namespace mostrador::ui {

ColumnaConsulta columnaCampo(const QString& titulo, const std::string& campo, int ancho) {
  return {titulo, ancho, [campo](const dbf::Cursor& c) { return QString::fromStdString(c.asText(campo)); }};
}

ColumnaConsulta columnaNumero(const QString& titulo, const std::string& campo, int ancho,
                              const std::string& mascara) {
  return {titulo, ancho,
          [campo, mascara](const dbf::Cursor& c) {
            return QString::fromStdString(shell::formateaMascara(c.asFloat(campo), mascara));
          },
          true};
}

RejillaConsulta::RejillaConsulta(QWidget* parent) : QTableView(parent) {
  modelo_ = new QStandardItemModel(this);
  setModel(modelo_);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setTabKeyNavigation(false);
  verticalHeader()->hide();
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
}

void RejillaConsulta::ponColumnas(std::vector<ColumnaConsulta> columnas) {
  columnas_ = std::move(columnas);
  modelo_->clear();
  claves_.clear();
  registros_.clear();
  filaDe_.clear();
  modelo_->setColumnCount(static_cast<int>(columnas_.size()));
  for (int i = 0; i < static_cast<int>(columnas_.size()); ++i) {
    modelo_->setHorizontalHeaderItem(i, new QStandardItem(columnas_[i].titulo));
    setColumnWidth(i, columnas_[i].ancho);
  }
}

void RejillaConsulta::carga(dbf::Cursor& c, const std::string& campoClave,
                            const std::function<bool(const dbf::Cursor&)>& filtro) {
  modelo_->removeRows(0, modelo_->rowCount());
  claves_.clear();
  registros_.clear();
  filaDe_.clear();
  auto* tabla = dynamic_cast<dbf::Table*>(&c);
  const int campo = c.requireField(campoClave);
  const int n = static_cast<int>(columnas_.size());
  std::vector<QList<QStandardItem*>> filas;
  for (c.first(); !c.eof(); c.next()) {
    if (filtro && !filtro(c)) continue;
    QList<QStandardItem*> fila;
    for (int i = 0; i < n; ++i) {
      auto* item = new QStandardItem(columnas_[i].valor(c));
      if (columnas_[i].derecha) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      fila.append(item);
    }
    filas.push_back(std::move(fila));
    claves_.push_back(c.asText(campo));
    const uint32_t r = tabla ? tabla->recno() : 0;
    registros_.push_back(r);
    if (r) filaDe_[r] = static_cast<int>(claves_.size()) - 1;
  }
  modelo_->setRowCount(static_cast<int>(filas.size()));
  for (int f = 0; f < static_cast<int>(filas.size()); ++f)
    for (int i = 0; i < n; ++i) modelo_->setItem(f, i, filas[f][i]);
  if (!filas.empty()) ponFila(0);
}

int RejillaConsulta::filaActual() const {
  if (claves_.empty()) return -1;
  const QModelIndex i = currentIndex();
  return i.isValid() ? i.row() : -1;
}

void RejillaConsulta::ponFila(int fila) {
  if (fila < 0 || fila >= filas()) return;
  const QModelIndex i = modelo_->index(fila, std::max(0, currentIndex().column()));
  setCurrentIndex(i);
  selectRow(fila);
  scrollTo(i, QAbstractItemView::PositionAtCenter);
}

int RejillaConsulta::filaDeRegistro(uint32_t recno) const {
  auto it = filaDe_.find(recno);
  return it == filaDe_.end() ? -1 : it->second;
}

uint32_t RejillaConsulta::registro(int fila) const {
  return fila >= 0 && fila < filas() ? registros_[fila] : 0;
}

std::string RejillaConsulta::clave(int fila) const {
  return fila >= 0 && fila < filas() ? claves_[fila] : std::string();
}

std::optional<std::string> RejillaConsulta::claveActual() const {
  const int f = filaActual();
  if (f < 0) return std::nullopt;
  return claves_[f];
}

QString RejillaConsulta::celda(int fila, int columna) const {
  const QStandardItem* i = modelo_->item(fila, columna);
  return i ? i->text() : QString();
}

}  // namespace mostrador::ui
