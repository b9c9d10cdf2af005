#pragma once
// The read-only grid of the lookup windows. Over a table it is a model of a window of
// the table's index (store::VentanaTabla): it reads the rows in view and a few pages
// around them, opens on the nearest match of a key, grows as the user scrolls or moves
// and trims what lies far away, so that a lookup opens in the same time and memory
// whatever the table's size. Over a query result (rows already in memory) it shows the
// result's rows. One key per row; the current row is the answer.

#include <QAbstractTableModel>
#include <QTableView>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "store/dbf/dbf_table.h"
#include "store/ventana_tabla.h"

namespace mostrador::ui {

struct ColumnaConsulta {
  QString titulo;
  int ancho = 80;
  std::function<QString(const dbf::Cursor&)> valor;
  bool derecha = false;  // numbers align right
};

// A column that shows a field's text as the cursor gives it.
ColumnaConsulta columnaCampo(const QString& titulo, const std::string& campo, int ancho);
// A column that shows a numeric field through a number mask ("###,##0.00").
ColumnaConsulta columnaNumero(const QString& titulo, const std::string& campo, int ancho,
                              const std::string& mascara);

// The rows of the grid: a table window, or the copied rows of a query.
class ModeloConsulta : public QAbstractTableModel {
  Q_OBJECT
 public:
  explicit ModeloConsulta(QObject* padre) : QAbstractTableModel(padre) {}

  void ponColumnas(const std::vector<ColumnaConsulta>* columnas);
  void ponVentana(std::unique_ptr<store::VentanaTabla> v);
  void ponFilas(std::vector<store::FilaVentana> filas);
  store::VentanaTabla* ventana() const { return ventana_.get(); }
  const store::FilaVentana* fila(int f) const;

  // Grow at the bottom / top by a page; trim rows from the other end; each answers the
  // rows added or removed.
  int creceAbajo();
  int creceArriba();
  int recortaArriba(int n);
  int recortaAbajo(int n);

  int rowCount(const QModelIndex& p = {}) const override;
  int columnCount(const QModelIndex& p = {}) const override;
  QVariant data(const QModelIndex& i, int rol) const override;
  QVariant headerData(int seccion, Qt::Orientation o, int rol) const override;

 private:
  const std::vector<ColumnaConsulta>* columnas_ = nullptr;
  std::unique_ptr<store::VentanaTabla> ventana_;
  std::vector<store::FilaVentana> copia_;
  int filas_ = 0;    // rows the views know of
  int desfase_ = 0;  // rows of the window not yet announced at its top
};

class RejillaConsulta : public QTableView {
  Q_OBJECT
 public:
  explicit RejillaConsulta(QWidget* parent = nullptr);
  ~RejillaConsulta() override;

  void ponColumnas(std::vector<ColumnaConsulta> columnas);
  // Over a table (in its current index order): a window from its first record. Over any
  // other cursor: every row it gives. filtro, when given, keeps only the records it
  // accepts; campoClave names the field each row answers with.
  void carga(dbf::Cursor& c, const std::string& campoClave,
             const std::function<bool(const dbf::Cursor&)>& filtro = {});
  // A window over the table opened on the nearest match of valores, that row current.
  void abreEn(dbf::Table& t, const std::string& campoClave, const std::vector<dbf::KeyValue>& valores,
              const std::function<bool(const dbf::Cursor&)>& filtro = {});
  // A window over the table around its current record, that row current.
  void abreAlrededor(dbf::Table& t, const std::string& campoClave,
                     const std::function<bool(const dbf::Cursor&)>& filtro = {});
  // Moves a table window to the nearest match of valores (same table and filter).
  void posicionaEn(const std::vector<dbf::KeyValue>& valores);

  int filas() const;
  int filaActual() const;  // -1 when the grid is empty
  void ponFila(int fila);
  int filaDeRegistro(uint32_t recno) const;  // -1 when the record is not held
  uint32_t registro(int fila) const;         // 0 for a row of a query
  std::string clave(int fila) const;
  std::optional<std::string> claveActual() const;
  QString celda(int fila, int columna) const;
  // The table window (nullptr over a query): what it read and holds.
  const store::VentanaTabla* ventana() const { return modelo_->ventana(); }

  // Rows kept at most: a dozen pages.
  static constexpr int kPagina = 50;
  static constexpr int kMaximo = 12 * kPagina;

 protected:
  void keyPressEvent(QKeyEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void showEvent(QShowEvent* e) override;

 private:
  void nuevaVentana(dbf::Table& t, const std::string& campoClave,
                    const std::function<bool(const dbf::Cursor&)>& filtro);
  void vigila();  // keeps a page of rows beyond what is in view at either end
  store::VentanaTabla::Lector lector() const;

  std::vector<ColumnaConsulta> columnas_;
  ModeloConsulta* modelo_;
  bool vigilando_ = false;
};

}  // namespace mostrador::ui
