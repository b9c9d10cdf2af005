#include "ui/modelo_filas.h"

namespace mostrador::ui {

void ModeloFilas::ponFilas(std::vector<QStringList> filas, std::vector<QColor> colores) {
  beginResetModel();
  filas_ = std::move(filas);
  colores_ = std::move(colores);
  endResetModel();
}

QVariant ModeloFilas::data(const QModelIndex& i, int rol) const {
  if (!i.isValid() || i.row() >= rowCount()) return {};
  if (rol == Qt::DisplayRole) return texto(i.row(), i.column());
  if (rol == Qt::ForegroundRole && static_cast<size_t>(i.row()) < colores_.size() &&
      colores_[static_cast<size_t>(i.row())].isValid())
    return colores_[static_cast<size_t>(i.row())];
  return {};
}

QVariant ModeloFilas::headerData(int seccion, Qt::Orientation o, int rol) const {
  if (rol != Qt::DisplayRole) return {};
  if (o == Qt::Horizontal) return titulos_.value(seccion);
  return seccion + 1;
}

}  // namespace mostrador::ui
