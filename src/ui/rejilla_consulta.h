#pragma once
// The read-only grid of the lookup windows: the rows a table (in its current index
// order) or a query result gives, one key per row, the current row as the answer.
// The rows are copied when loaded, so the grid never holds a cursor of its own and the
// table may be moved (find nearest) to learn where to stand.

#include <QTableView>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "store/dbf/dbf_table.h"

class QStandardItemModel;

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

class RejillaConsulta : public QTableView {
  Q_OBJECT
 public:
  explicit RejillaConsulta(QWidget* parent = nullptr);

  void ponColumnas(std::vector<ColumnaConsulta> columnas);
  // Replaces the rows with every record the cursor visits from its first to its last;
  // filtro, when given, keeps only the records it accepts. campoClave names the field
  // each row answers with.
  void carga(dbf::Cursor& c, const std::string& campoClave,
             const std::function<bool(const dbf::Cursor&)>& filtro = {});

  int filas() const { return static_cast<int>(claves_.size()); }
  int filaActual() const;  // -1 when the grid is empty
  void ponFila(int fila);
  // The row of a table record (from a table load); -1 when it is not shown.
  int filaDeRegistro(uint32_t recno) const;
  uint32_t registro(int fila) const;  // 0 for a row of a query
  std::string clave(int fila) const;
  std::optional<std::string> claveActual() const;
  QString celda(int fila, int columna) const;

 private:
  std::vector<ColumnaConsulta> columnas_;
  QStandardItemModel* modelo_;
  std::vector<std::string> claves_;
  std::vector<uint32_t> registros_;
  std::unordered_map<uint32_t, int> filaDe_;
};

}  // namespace mostrador::ui
