#pragma once
// A read-only grid model over rows of texts already computed (a kardex, a count sheet):
// the view asks only for the cells it draws, so a screen of 100,000 rows opens as fast as
// one of 200, without a widget item per cell.

#include <QAbstractTableModel>
#include <QColor>
#include <QStringList>
#include <vector>

namespace mostrador::ui {

class ModeloFilas : public QAbstractTableModel {
  Q_OBJECT
 public:
  explicit ModeloFilas(QStringList titulos, QObject* padre = nullptr)
      : QAbstractTableModel(padre), titulos_(std::move(titulos)) {}

  // The rows and, for each, the colour of its text (invalid: the view's own).
  void ponFilas(std::vector<QStringList> filas, std::vector<QColor> colores = {});
  const QStringList& fila(int r) const { return filas_[static_cast<size_t>(r)]; }
  QString texto(int r, int c) const { return fila(r).value(c); }

  int rowCount(const QModelIndex& p = {}) const override { return p.isValid() ? 0 : static_cast<int>(filas_.size()); }
  int columnCount(const QModelIndex& p = {}) const override { return p.isValid() ? 0 : titulos_.size(); }
  QVariant data(const QModelIndex& i, int rol) const override;
  QVariant headerData(int seccion, Qt::Orientation o, int rol) const override;

 private:
  QStringList titulos_;
  std::vector<QStringList> filas_;
  std::vector<QColor> colores_;
};

}  // namespace mostrador::ui
